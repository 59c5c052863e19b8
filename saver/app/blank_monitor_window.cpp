#include "app/blank_monitor_window.h"

#include "app/saver_window.h"
#include "resource.h"

bool MovedFromFirstPosition(POINT& firstMouse, LPARAM position)
{
    const POINT at = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (firstMouse.x == -1 && firstMouse.y == -1) {
        firstMouse = at;
        return false;
    }
    return at.x != firstMouse.x || at.y != firstMouse.y;
}

BlankMonitorWindow::~BlankMonitorWindow() = default;

bool BlankMonitorWindow::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT, void*)
{
    firstMouse_ = POINT{-1, -1};
    static const std::string className =
        RegisterWindowClass(CS_HREDRAW | CS_VREDRAW,
                            LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_INVISIBLE)), nullptr, nullptr);
    return CreateWindowOfClass(className, "", exStyle, style, rect, parent, 0);
}

bool BlankMonitorWindow::HandleMessage(Message& m)
{
    switch (m.id) {
    case WM_MOUSEMOVE:
        if (MovedFromFirstPosition(firstMouse_, m.lParam)) RequestClose();
        return false;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        RequestClose();
        return false;
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
