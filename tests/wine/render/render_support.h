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
    RECT clip;
    GetClipBox(target, &clip);
    HDC buffer = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, clip.right, clip.bottom);
    HGDIOBJ kept = SelectObject(buffer, bitmap);  // a new bitmap is black
    auto fill = [&](const Rect& r) {
        const RECT area{r.left, r.top, r.right, r.bottom};
        FillRect(buffer, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    };
    auto copy = [&](const Rect& r) {
        BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer, r.left, r.top, SRCCOPY);
    };
    for (Disc* ball : world.balls)
        if (ball->inPlay) ForEachBallArea(*ball, fill);
    for (Disc* pin : world.pins) {
        fill(pin->bounds);
        Draw(*pin, buffer);
    }
    for (Disc* ball : world.balls)
        if (ball->inPlay) Draw(*ball, buffer);
    EraseSparks(world.sparks, target);
    for (Disc* pin : world.pins) copy(pin->bounds);
    for (Disc* ball : world.balls) {
        if (ball->inPlay) ForEachBallArea(*ball, copy);
        ball->wrapped = ball->wrapped && !ball->inPlay;
    }
    DrawSparks(world.sparks, target);
    SelectObject(buffer, kept);
    DeleteObject(bitmap);
    DeleteDC(buffer);
}

}  // namespace rt
