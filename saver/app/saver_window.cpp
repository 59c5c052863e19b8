#include "app/saver_window.h"

#include <algorithm>

#include "app/blank_monitor_window.h"
#include "app/input_rules.h"
#include "app/monitor_board_window.h"
#include "render/anim_timer.h"

SaverWindow::SaverWindow(SettingsReader& settings) : SaverView(true, settings) {}

SaverWindow::~SaverWindow()
{
    // Empty after a normal shutdown; only a window that never came to be
    // leaves blank windows behind.
    DestroyMonitorWindows();
}

bool SaverWindow::CreateFullScreen(uint32_t seed)
{
    // The primary monitor's top-left corner is (0, 0) of the virtual screen.
    const RECT primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const bool boardOnEvery = Settings().ReadSetting(kMonitors) != 0;
    covered_ = Monitors();
    for (const MonitorArea& monitor : covered_) {
        if (monitor.primary) continue;
        if (!boardOnEvery) {
            AddBlankWindow(monitor.rect);
            continue;
        }
        // Seeds far apart in the generator's 32 bits, none equal to the
        // program's own: no board repeats another's scenes.
        seed += 0x9E3779B9u;
        AddBoard(monitor.rect, seed);
    }
    // A window created visible is activated, and losing activation ends the
    // saver: the saver window must come last.
    return Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, primary, nullptr);
}

void SaverWindow::AddBlankWindow(const RECT& monitor)
{
    auto* blank = new BlankMonitorWindow();
    blank->owner = this;
    blank->Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, monitor, nullptr);
    blankWindows_.push_back(blank);
}

void SaverWindow::AddBoard(const RECT& monitor, uint32_t seed)
{
    auto* board = new MonitorBoardWindow(Settings(), seed);
    board->owner = this;
    board->Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, monitor, nullptr);
    boards_.push_back(board);
}

void SaverWindow::SetUpScenes()
{
    SetUpScene(0);
    for (MonitorBoardWindow* board : boards_) {
        if (board->Handle()) board->SetUpScene(0);
    }
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
        // A monitor added would show the desktop, one removed or resized
        // leaves windows that cover the old layout: the saver ends, as on
        // input. A change that leaves the layout as it was (a colour depth)
        // changes nothing.
        if (!SameLayout(Monitors(), covered_)) RequestClose();
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
    PostQuitMessage(0);
}
