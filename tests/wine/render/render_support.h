// Helpers of the render tests and benchmark: a bitmap to draw on or read a window into, and a stand-in for a
// system function that the program imports.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>

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

}  // namespace rt
