#include "app/saver_window.h"

#include <algorithm>

#include "app/blank_monitor_window.h"
#include "app/input_rules.h"
#include "app/monitor_board_window.h"
#include "render/anim_timer.h"
#include "settings/settings_table.h"

SaverWindow::SaverWindow(SettingsReader& settings) : SaverView(true, settings) {}

SaverWindow::~SaverWindow()
{
    // Empty after a normal shutdown; only a window that never came to be
    // leaves blank windows behind.
    DestroyMonitorWindows();
}

namespace {

// The primary monitor, whose top-left corner is (0, 0) of the virtual screen.
RECT PrimaryOf(const std::vector<MonitorArea>& monitors)
{
    for (const MonitorArea& monitor : monitors) {
        if (monitor.primary) return monitor.rect;
    }
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool IsSecondary(const std::vector<MonitorArea>& monitors, const RECT& rect)
{
    return std::any_of(monitors.begin(), monitors.end(),
                       [&](const MonitorArea& m) { return !m.primary && EqualRect(&m.rect, &rect); });
}

// Destroys and deletes the windows whose monitor is no secondary one of the layout.
template <class Cover> void LetGoOfMonitorsGone(std::vector<Cover*>& windows, const std::vector<MonitorArea>& layout)
{
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [&](Cover* window) {
                                     if (IsSecondary(layout, window->monitor)) return false;
                                     if (window->Handle()) DestroyWindow(window->Handle());
                                     delete window;
                                     return true;
                                 }),
                  windows.end());
}

}  // namespace

bool SaverWindow::CreateFullScreen(uint32_t seed)
{
    seed_ = seed;
    boardOnEvery_ = Settings().ReadSetting(kMonitors) != 0;
    covered_ = Monitors();
    for (const MonitorArea& monitor : covered_) {
        if (!monitor.primary) CoverMonitor(monitor.rect);
    }
    // A window created visible is activated, and losing activation ends the
    // saver: the saver window must come last.
    return Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, PrimaryOf(covered_), nullptr);
}

void SaverWindow::CoverMonitor(const RECT& monitor)
{
    if (boardOnEvery_) AddBoard(monitor);
    else AddBlankWindow(monitor);
}

void SaverWindow::AddBlankWindow(const RECT& monitor)
{
    auto* blank = new BlankMonitorWindow();
    blank->owner = this;
    blank->monitor = monitor;
    if (blank->Create(WS_EX_TOPMOST, WS_POPUP, monitor, nullptr)) ShowWindow(blank->Handle(), SW_SHOWNOACTIVATE);
    blankWindows_.push_back(blank);
}

void SaverWindow::AddBoard(const RECT& monitor)
{
    // Seeds far apart in the generator's 32 bits, none equal to the
    // program's own: no board repeats another's scenes.
    seed_ += 0x9E3779B9u;
    auto* board = new MonitorBoardWindow(Settings(), seed_);
    board->owner = this;
    board->monitor = monitor;
    if (board->Create(WS_EX_TOPMOST, WS_POPUP, monitor, nullptr)) {
        // From the board's own sequence: it does not matter when.
        board->SetUpScene(0);
        ShowWindow(board->Handle(), SW_SHOWNOACTIVATE);
    }
    boards_.push_back(board);
}

void SaverWindow::SetUpScenes() { SetUpScene(0); }

void SaverWindow::FollowLayout()
{
    const std::vector<MonitorArea> layout = Monitors();
    if (SameLayout(layout, covered_)) return;  // a colour depth, say
    LetGoOfMonitorsGone(blankWindows_, layout);
    LetGoOfMonitorsGone(boards_, layout);
    for (const MonitorArea& monitor : layout) {
        if (monitor.primary || IsSecondary(covered_, monitor.rect)) continue;
        CoverMonitor(monitor.rect);
    }
    covered_ = layout;
    // The system may have moved the window as the monitors went: wherever
    // it is not exactly over the primary monitor, its board starts anew.
    const RECT primary = PrimaryOf(layout);
    RECT now;
    if (GetWindowRect(Handle(), &now) && EqualRect(&now, &primary)) return;
    SetWindowPos(Handle(), HWND_TOPMOST, primary.left, primary.top, primary.right - primary.left,
                 primary.bottom - primary.top, SWP_NOACTIVATE);
    SetUpScene(0);
}

bool SaverWindow::SameLayout(const std::vector<MonitorArea>& a, const std::vector<MonitorArea>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const MonitorArea& x, const MonitorArea& y) {
        return EqualRect(&x.rect, &y.rect) && x.primary == y.primary;
    });
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
    case WM_DISPLAYCHANGE:
        FollowLayout();
        return false;
    case WM_DESTROY:
        OnDestroy();
        return SaverView::HandleMessage(m);  // the view stops hearing of the display
    default:
        return SaverView::HandleMessage(m);
    }
}

void SaverWindow::DestroyMonitorWindows()
{
    for (BlankMonitorWindow* blank : blankWindows_) {
        if (blank->Handle()) DestroyWindow(blank->Handle());
        delete blank;
    }
    blankWindows_.clear();
    blankWindows_.shrink_to_fit();
    // Each board's destruction stops its own timer.
    for (MonitorBoardWindow* board : boards_) {
        if (board->Handle()) DestroyWindow(board->Handle());
        delete board;
    }
    boards_.clear();
}

void SaverWindow::OnDestroy()
{
    DestroyMonitorWindows();
    KillAnimTimer(Handle(), kTickTimerId);
    // The quit message follows by the main-window rule (framework/window.h).
}
