#include "settings/link_control.h"

#include <shellapi.h>

#include "resource.h"

LinkControl::~LinkControl() {}

bool LinkControl::HandleMessage(Message& m)
{
    switch (m.id) {
    case WM_PAINT:
        OnPaint();
        m.result = 0;
        return true;
    case WM_MOUSEMOVE:
        OnMouseMove();
        m.result = 0;
        return true;
    case WM_LBUTTONDOWN:
        OnLButtonDown();
        m.result = 0;
        return true;
    default:
        return StaticControl::HandleMessage(m);
    }
}

void LinkControl::OnPaint()
{
    char text[512];
    GetText(text, sizeof text);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT client;
    GetClientRect(Handle(), &client);

    // The dialog's font, underlined. A control without a font of its own
    // falls back to the GUI font rather than the system's bold one.
    HFONT base = reinterpret_cast<HFONT>(Send(WM_GETFONT));
    if (!base) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA description = {};
    GetObjectA(base, sizeof description, &description);
    description.lfUnderline = TRUE;
    HFONT underlined = CreateFontIndirectA(&description);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 255));
    HGDIOBJ previous = SelectObject(dc, underlined);
    TextOutA(dc, client.left, client.top, text, lstrlenA(text));
    // The font must not be selected anywhere when it is deleted.
    SelectObject(dc, previous);
    EndPaint(Handle(), &ps);
    DeleteObject(underlined);
}

void LinkControl::OnMouseMove()
{
    SetCursor(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND)));
}

void LinkControl::OnLButtonDown()
{
    // Whatever the control holds at the time of the click is what opens.
    char text[512];
    GetText(text, sizeof text);
    ShellExecuteA(GetDesktopWindow(), "open", text, "", "", SW_SHOW);
}
