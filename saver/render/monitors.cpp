#include "render/monitors.h"

namespace {

MonitorSource monitorSource = SystemMonitors;

// Calls of later systems, looked up at run time so that the saver starts
// where they are missing: the scale of a window (Windows 10 1607 on) and of a
// monitor (8.1 on). Their DLLs by their full path in the system folder: shcore
// is no known DLL, and a bare name would be searched for through the current
// folder and PATH as well. Null where the system lacks either.
template <class Function> Function Lookup(const char* module, const char* name)
{
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + lstrlenA(module) + 2 > MAX_PATH) return nullptr;
    wsprintfA(path + length, "\\%s", module);
    HMODULE loaded = GetModuleHandleA(path);
    if (!loaded) loaded = LoadLibraryA(path);
    const FARPROC found = loaded ? GetProcAddress(loaded, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// Below 96 dots per inch a board keeps the display's pixels: it never
// grows beyond the display.
double ScaleOf(int dpi) { return dpi > 96 ? dpi / 96.0 : 1.0; }

// Before those systems, the saver runs aware of the system's one scale.
double SystemScale()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return ScaleOf(dpi);
}

double MonitorScale(HMONITOR monitor)
{
    using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    const auto dpiForMonitor = Lookup<DpiForMonitor>("shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (dpiForMonitor && dpiForMonitor(monitor, 0 /* effective */, &x, &y) == S_OK) return ScaleOf(int(x));
    return SystemScale();
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM list)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
        MonitorArea{*rect, (info.dwFlags & MONITORINFOF_PRIMARY) != 0, MonitorScale(monitor)});
    return TRUE;
}

}  // namespace

std::vector<MonitorArea> SystemMonitors()
{
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

void SetMonitorSource(MonitorSource source) { monitorSource = source ? source : SystemMonitors; }

std::vector<MonitorArea> Monitors() { return monitorSource(); }

std::vector<MonitorArea> BoardMonitors(uint32_t monitors)
{
    std::vector<MonitorArea> boards;
    for (const MonitorArea& monitor : Monitors()) {
        if (monitor.primary || monitors != 0) boards.push_back(monitor);
    }
    return boards;
}

double WindowScale(HWND window)
{
    using DpiForWindow = UINT(WINAPI*)(HWND);
    const auto dpiForWindow = Lookup<DpiForWindow>("user32.dll", "GetDpiForWindow");
    if (dpiForWindow) return ScaleOf(int(dpiForWindow(window)));
    // Before 1607, a window on a secondary monitor of another scale still
    // has that monitor's, which the system's one scale is not.
    return MonitorScale(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}
