#include "app/saver_window.h"

#include "app/blank_monitor_window.h"
#include "app/input_rules.h"
#include "render/anim_timer.h"

namespace {

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM list)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
        MonitorArea{*rect, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

MonitorSource monitorSource = SystemMonitors;

}  // namespace

std::vector<MonitorArea> SystemMonitors()
{
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

void SetMonitorSource(MonitorSource source) { monitorSource = source ? source : SystemMonitors; }

SaverWindow::SaverWindow() : SaverView(true) {}

SaverWindow::~SaverWindow()
{
    // Empty after a normal shutdown; only a window that never came to be
    // leaves blank windows behind.
    DestroyBlankWindows();
}

bool SaverWindow::CreateFullScreen()
{
    // The primary monitor's top-left corner is (0, 0) of the virtual screen.
    const RECT primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    for (const MonitorArea& monitor : monitorSource()) {
        if (!monitor.primary) AddBlankWindow(monitor.rect);
    }
    // A window created visible is activated, and losing activation ends the
    // saver: the saver window must come last.
    return Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, primary, nullptr, 0, nullptr);
}

void SaverWindow::AddBlankWindow(const RECT& monitor)
{
    auto* blank = new BlankMonitorWindow();
    blank->owner = this;
    blank->Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, monitor, nullptr, 0, nullptr);
    blankWindows_.push_back(blank);
}

void SaverWindow::RequestClose()
{
    if (Handle()) PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

bool SaverWindow::HandleMessage(Message& m)
{
    if (InputEndsSaver(m, firstMouse_)) {
        RequestClose();
        return false;
    }
    switch (m.id) {
    case WM_ACTIVATE:
        if (LOWORD(m.wParam) == WA_INACTIVE) RequestClose();
        return false;
    case WM_ACTIVATEAPP:
        if (m.wParam == 0) RequestClose();
        return false;
    case WM_NCACTIVATE:
        if (m.wParam != 0) return false;
        m.result = 0;
        return true;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        m.result = 1;
        return true;
    case WM_SYSCOMMAND:
        // Compared whole: a command with its low bits set is some other one.
        if (m.wParam != SC_SCREENSAVE && m.wParam != SC_CLOSE) return false;
        m.result = 0;
        return true;
    case WM_DESTROY:
        OnDestroy();
        return SaverView::HandleMessage(m);  // the view stops hearing of the display
    default:
        return SaverView::HandleMessage(m);
    }
}

void SaverWindow::DestroyBlankWindows()
{
    for (BlankMonitorWindow* blank : blankWindows_) {
        if (blank->Handle()) DestroyWindow(blank->Handle());
        delete blank;
    }
    blankWindows_.clear();
    blankWindows_.shrink_to_fit();
}

void SaverWindow::OnDestroy()
{
    DestroyBlankWindows();
    KillAnimTimer(Handle(), kTickTimerId);
    PostQuitMessage(0);
}
