#include "app/saver_window.h"

#include <cstring>

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

// The power setting whose changes say that the console display went off (0),
// on (1) or dim (2, still seen).
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

// The registration calls came with Vista: looked up at run time, so that the
// saver starts where they are missing and simply never hears of the display.
template <class Function> Function User32Function(const char* name)
{
    const FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

HPOWERNOTIFY ListenToDisplayState(HWND window)
{
    using Register = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
    const auto registerNotification = User32Function<Register>("RegisterPowerSettingNotification");
    if (!registerNotification) return nullptr;
    return registerNotification(window, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void StopListening(HPOWERNOTIFY notification)
{
    using Unregister = BOOL(WINAPI*)(HPOWERNOTIFY);
    const auto unregisterNotification = User32Function<Unregister>("UnregisterPowerSettingNotification");
    if (notification && unregisterNotification) unregisterNotification(notification);
}

}  // namespace

std::vector<MonitorArea> SystemMonitors()
{
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

void SetMonitorSource(MonitorSource source) { monitorSource = source ? source : SystemMonitors; }

SaverWindow::SaverWindow(SettingsReader& settings) : SaverView(true, settings) {}

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
    if (!Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, primary, nullptr, 0, nullptr)) return false;
    displayNotification_ = ListenToDisplayState(Handle());
    return true;
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
    case WM_POWERBROADCAST:
        if (m.wParam != PBT_POWERSETTINGCHANGE) return false;
        OnPowerSettingChange(reinterpret_cast<const POWERBROADCAST_SETTING*>(m.lParam));
        m.result = TRUE;
        return true;
    case WM_DESTROY:
        OnDestroy();
        return false;  // then the default destroy processing
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
    StopListening(displayNotification_);
    displayNotification_ = nullptr;
    KillAnimTimer(Handle(), kTickTimerId);
    PostQuitMessage(0);
}

void SaverWindow::OnPowerSettingChange(const POWERBROADCAST_SETTING* setting)
{
    // The system also reports the display's state as soon as the window
    // registers; only a change from what the view believes does anything.
    if (!setting || !IsEqualGUID(setting->PowerSetting, kConsoleDisplayState)) return;
    if (setting->DataLength < sizeof(DWORD)) return;
    DWORD state;
    std::memcpy(&state, setting->Data, sizeof state);
    SetDisplayOn(state != 0);
}
