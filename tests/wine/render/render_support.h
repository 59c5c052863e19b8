// Helpers of the render tests and benchmark: a bitmap to draw on or read a window into, a stand-in for a system
// function that the program imports, and one frame composed the plain way.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "board/frame_damage.h"
#include "../common/imports.h"
#include "render/frame.h"

namespace rt {

// A top-down 32-bit bitmap in its own memory context; pixels 0x00RRGGBB.
struct Canvas {
    Canvas(int width, int height) : width(width), height(height)
    {
        BITMAPINFO bi = {{sizeof bi.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        kept = SelectObject(dc, CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    ~Canvas()
    {
        DeleteObject(SelectObject(dc, kept));
        DeleteDC(dc);
    }
    // What a window's client area shows, from its top-left corner.
    Canvas& CopyOf(HWND window)
    {
        HDC client = GetDC(window);
        BitBlt(dc, 0, 0, width, height, client, 0, 0, SRCCOPY);
        ReleaseDC(window, client);
        GdiFlush();
        return *this;
    }
    uint32_t At(int x, int y) const { return static_cast<const uint32_t*>(bits)[size_t(y) * width + x]; }

    const HDC dc = CreateCompatibleDC(nullptr);
    const int width, height;
    HGDIOBJ kept;
    void* bits = nullptr;
};

using wt::ReplaceImport;

// Every disc drawn afresh in a black buffer and copied by rectangles; the wrap consumed.
inline void LiteralFrame(World& world, HDC target)
{
    using Surface = FramePen::Surface;
    RECT clip;
    GetClipBox(target, &clip);
    HDC buffer = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, clip.right, clip.bottom);
    HGDIOBJ kept = SelectObject(buffer, bitmap);  // a new bitmap is black
    GdiPen pen(target, buffer);
    pen.Begin();
    for (Disc* ball : world.balls)
        if (ball->inPlay) ForEachBallArea(*ball, [&](const Rect& r) { pen.Fill(Surface::kBuffer, r); });
    for (Disc* pin : world.pins) {
        pen.Fill(Surface::kBuffer, pin->bounds);
        Draw(*pin, pen, Surface::kBuffer);
    }
    for (Disc* ball : world.balls)
        if (ball->inPlay) Draw(*ball, pen, Surface::kBuffer);
    pen.EraseSparks(world.sparks);
    for (Disc* pin : world.pins) pen.Copy(pin->bounds);
    for (Disc* ball : world.balls) {
        if (ball->inPlay) ForEachBallArea(*ball, [&](const Rect& r) { pen.Copy(r); });
        ball->wrapped = ball->wrapped && !ball->inPlay;
    }
    pen.DrawSparks(world.sparks);
    pen.End();
    SelectObject(buffer, kept);
    DeleteObject(bitmap);
    DeleteDC(buffer);
}

}  // namespace rt
