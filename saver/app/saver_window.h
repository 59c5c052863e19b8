// The full-screen saver: the drawing view over the primary monitor, with the
// input rules that end the saver, and a black BlankMonitorWindow over every
// other monitor.
//
// Input by the rules of input_rules.h, and any loss of activation, post a
// close request (WM_CLOSE, whose default processing destroys the window).
// Destroying the window destroys the blank windows first, then stops the
// animation timer and ends the message loop.
//
// Where the system offers it (Vista on), the saver window hears when the
// console display turns off and on, and the animation stands still while
// nobody can see it.
#pragma once
#include <vector>

#include "render/saver_view.h"

class BlankMonitorWindow;

// A display monitor: its rectangle in virtual-screen coordinates and whether
// it is the primary one.
struct MonitorArea {
    RECT rect;
    bool primary;
};

// Where the covering takes its monitors from: the system's display monitors,
// in the system's order, unless a test puts its own list in their place.
using MonitorSource = std::vector<MonitorArea> (*)();
std::vector<MonitorArea> SystemMonitors();
void SetMonitorSource(MonitorSource source);  // nullptr restores SystemMonitors

class SaverWindow : public SaverView {
public:
    explicit SaverWindow(SettingsReader& settings);
    ~SaverWindow() override;

    // Covers every non-primary monitor with a blank window, then creates the
    // saver window over the primary one, last, so that it ends up active.
    // True when the saver window was created.
    bool CreateFullScreen();

    // Posts WM_CLOSE to the saver window. A request that finds the window
    // gone, or queued behind another, has no effect.
    void RequestClose();

protected:
    bool HandleMessage(Message& m) override;

private:
    void AddBlankWindow(const RECT& monitor);
    void DestroyBlankWindows();
    void OnDestroy();
    void OnPowerSettingChange(const POWERBROADCAST_SETTING* setting);

    POINT firstMouse_ = {-1, -1};
    HPOWERNOTIFY displayNotification_ = nullptr;
    std::vector<BlankMonitorWindow*> blankWindows_;  // owned, in creation order
};
