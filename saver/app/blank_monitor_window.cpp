#include "app/blank_monitor_window.h"

#include "app/input_rules.h"
#include "app/saver_window.h"
#include "render/saver_view.h"

BlankMonitorWindow::~BlankMonitorWindow() = default;

bool BlankMonitorWindow::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent)
{
    firstMouse_ = FirstPointer{};
    return CreateWindowOfClass(InvisiblePointerClass(), "", exStyle, style, rect, parent);
}

bool BlankMonitorWindow::HandleMessage(Message& m)
{
    if (InputEndsSaver(m, firstMouse_)) {
        RequestClose();
        return false;
    }
    switch (m.id) {
    case WM_PAINT:
        OnPaint();
        m.result = 0;
        return true;
    default:
        return Window::HandleMessage(m);
    }
}

void BlankMonitorWindow::RequestClose()
{
    if (owner) owner->RequestClose();
}

void BlankMonitorWindow::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, black);
    DeleteObject(black);
    EndPaint(Handle(), &ps);
}
