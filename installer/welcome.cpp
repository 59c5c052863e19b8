// The backdrop behind the installer, the welcome dialog and its web link.
#include "installer.h"

#include <shellapi.h>

#include "backdrop_bands.h"
#include "link_font.h"
#include "resource.h"

const char kBackdropClass[] = "InstallClass";

namespace {

// Appends text to what buffer holds, cutting it to fit.
void AppendText(char* buffer, int size, const char* text)
{
    const int used = lstrlenA(buffer);
    if (used < size - 1) lstrcpynA(buffer + used, text, size - used);
}

void PaintBackdrop(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    for (const Band& band : BackdropBands(client.right, client.bottom)) {
        const RECT r = {band.left, band.top, band.right, band.bottom};
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, band.blue));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    EndPaint(window, &ps);
}

void FillInWelcomeTexts(HWND dialog)
{
    char thanks[256];
    GetDlgItemTextA(dialog, IDC_THANKS, thanks, 255);
    AppendText(thanks, sizeof thanks, g_displayName);
    AppendText(thanks, sizeof thanks, "!");
    SetDlgItemTextA(dialog, IDC_THANKS, thanks);

    // The template text follows the name, read in straight behind it.
    char freeware[512];
    lstrcpynA(freeware, g_displayName, sizeof freeware);
    const int nameLength = lstrlenA(freeware);
    GetDlgItemTextA(dialog, IDC_FREEWARE, freeware + nameLength, sizeof freeware - nameLength);
    SetDlgItemTextA(dialog, IDC_FREEWARE, freeware);

    char title[256];
    lstrcpynA(title, g_displayName, sizeof title);
    AppendText(title, sizeof title, " Installer");
    SetWindowTextA(dialog, title);
}

void PaintLink(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT bounds;
    GetWindowRect(window, &bounds);
    POINT origin = {bounds.left, bounds.top};
    ScreenToClient(window, &origin);

    // The dialog's text grows with the screen's resolution; the link keeps step.
    HFONT font = CreateFontA(LinkFontHeight(GetDeviceCaps(dc, LOGPIXELSY)), 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 255));
    HGDIOBJ previous = SelectObject(dc, font);
    char address[256];
    const int length = GetWindowTextA(window, address, sizeof address);
    TextOutA(dc, origin.x, origin.y, address, length);
    SelectObject(dc, previous);
    EndPaint(window, &ps);
    DeleteObject(font);
}

}  // namespace

ATOM RegisterBackdropClass()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = BackdropWndProc;
    wc.hInstance = g_instance;
    wc.lpszClassName = kBackdropClass;
    return RegisterClassExA(&wc);
}

LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintBackdrop(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK WelcomeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        // The link is drawn and driven wholly by LinkWndProc; the static
        // control's own procedure is not needed any more.
        SetWindowLongPtrA(GetDlgItem(dialog, IDC_WEB_LINK), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkWndProc));
        FillInWelcomeTexts(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK LinkWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintLink(window);
        return 1;
    case WM_MOUSEMOVE:
        SetCursor(LoadCursorA(g_instance, MAKEINTRESOURCEA(IDCUR_LINK_HAND)));
        break;
    case WM_LBUTTONDOWN: {
        char address[256];
        GetWindowTextA(window, address, sizeof address);
        ShellExecuteA(GetDesktopWindow(), "open", address, "", "", SW_SHOW);
        return 1;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
