#include "msgbox.h"

#include <algorithm>
#include <cstdint>

#include "winhelp.h"

namespace wt {

const char* ToString(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::None: return "none";
    case BoxIcon::Information: return "information";
    case BoxIcon::Warning: return "warning";
    case BoxIcon::Error: return "error";
    case BoxIcon::Question: return "question";
    case BoxIcon::Unknown: break;
    }
    return "unknown";
}

namespace {

struct Children {
    std::vector<HWND> buttons;
    HWND icon = nullptr;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    auto* found = reinterpret_cast<Children*>(param);
    if (!IsWindowVisible(child)) return TRUE;
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(cls, "Button") == 0) found->buttons.push_back(child);
    if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) found->icon = child;
    return TRUE;
}

Children Collect(HWND box)
{
    Children found;
    EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Draws a standard icon over the given background colour (0x00BBGGRR).
std::vector<uint32_t> Render(LPCSTR which, int width, int height, uint32_t background)
{
    std::vector<uint32_t> pixels(size_t(width) * height, background);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    auto* px = static_cast<uint32_t*>(bits);
    const uint32_t dibBackground =
        ((background & 0xFF) << 16) | (background & 0xFF00) | ((background >> 16) & 0xFF);
    std::fill(px, px + pixels.size(), dibBackground);
    DrawIconEx(mem, 0, 0, LoadIconA(nullptr, which), 0, 0, 0, nullptr, DI_NORMAL);
    GdiFlush();
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = ((px[i] & 0xFF) << 16) | (px[i] & 0xFF00) | ((px[i] >> 16) & 0xFF);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace

std::vector<int> MessageBoxButtons(HWND box)
{
    Children found = Collect(box);
    std::sort(found.buttons.begin(), found.buttons.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    std::vector<int> ids;
    for (HWND b : found.buttons) ids.push_back(GetDlgCtrlID(b));
    return ids;
}

BoxIcon MessageBoxIcon(HWND box, DWORD timeoutMs)
{
    const Children found = Collect(box);
    if (!found.icon || !SendMessageA(found.icon, STM_GETICON, 0, 0)) return BoxIcon::None;

    const struct {
        LPCSTR id;
        BoxIcon icon;
    } candidates[] = {
        {MAKEINTRESOURCEA(32516), BoxIcon::Information},  // IDI_INFORMATION
        {MAKEINTRESOURCEA(32515), BoxIcon::Warning},      // IDI_WARNING
        {MAKEINTRESOURCEA(32513), BoxIcon::Error},        // IDI_ERROR
        {MAKEINTRESOURCEA(32514), BoxIcon::Question},     // IDI_QUESTION
    };
    BoxIcon match = BoxIcon::Unknown;
    WaitUntil([&] {
        RECT r;
        GetWindowRect(found.icon, &r);
        const int width = std::min<int>(r.right - r.left, GetSystemMetrics(SM_CXICON));
        const int height = std::min<int>(r.bottom - r.top, GetSystemMetrics(SM_CYICON));
        if (width <= 0 || height <= 0) return false;
        const Screen shot = CaptureScreen();
        if (r.left < 0 || r.top < 0 || r.left + width > shot.width || r.top + height > shot.height) return false;
        std::vector<uint32_t> seen;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) seen.push_back(shot.At(r.left + x, r.top + y));
        for (const auto& c : candidates) {
            if (Render(c.id, width, height, seen[0]) == seen) {
                match = c.icon;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    return match;
}

}  // namespace wt
