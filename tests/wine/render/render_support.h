// Helpers of the render tests and benchmark: a bitmap to draw on or read a window into, a stand-in for a system
// function that the program imports, and one frame composed the plain way.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "board/frame_damage.h"
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

// Points this program's import of dll!name at standIn; returns what it pointed at, null when not imported.
template <class Function> Function ReplaceImport(const char* dll, const char* name, Function standIn)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name) != 0)
                continue;
            DWORD kept;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &kept);
            const auto old = reinterpret_cast<Function>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(standIn);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, kept, &kept);
            return old;
        }
    }
    return nullptr;
}

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
