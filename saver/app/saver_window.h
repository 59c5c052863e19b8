// The full-screen saver: the drawing view over the primary monitor, with the
// input rules that end the saver, and over every other monitor a black
// BlankMonitorWindow or, when the stored "Monitors" asks for it, a board of
// its own (MonitorBoardWindow). Every board has its own world and scenes; all
// end together.
//
// Input by the rules of input_rules.h, and any loss of activation, post a
// close request (WM_CLOSE, whose default processing destroys the window).
// Destroying the window destroys the blank windows first, then stops the
// animation timer and ends the message loop.
//
// A change of the monitors' layout does not end it: many monitors leave the
// layout when they sleep, while nobody is at the machine. It follows the new
// layout instead: a monitor that came (or changed its size or place) gets a
// window of its own, black or a board, as at the start; the window of one
// that went goes; the saver window's board goes on while the primary monitor
// stays as it was, and else starts anew over the new primary one.
//
// Like the preview, it stands still while the session's display is off
// (reported from Windows 8 on): see saver_view.h.
#pragma once
#include <vector>

#include "board/first_pointer.h"
#include "render/saver_view.h"
#include "render/monitors.h"

class BlankMonitorWindow;
class MonitorBoardWindow;

class SaverWindow : public SaverView {
public:
    explicit SaverWindow(SettingsReader& settings);
    ~SaverWindow() override;

    // Covers every non-primary monitor with a blank window or a board, then
    // creates the saver window over the primary one, last, so that it ends up
    // active. seed: the program's random seed; each other board's sequence
    // starts from a seed of its own derived from it. True when the saver
    // window was created.
    bool CreateFullScreen(uint32_t seed);

    // A new scene on the saver window's board; every other board sets up
    // its first one from its own sequence as it is made.
    void SetUpScenes();

    // Posts WM_CLOSE to the saver window. A request that finds the window
    // gone, or queued behind another, has no effect.
    void RequestClose();

protected:
    bool HandleMessage(Message& m) override;

private:
    // A window of its own over a monitor other than the primary one, shown
    // without taking the activation, whose loss would end the saver.
    void CoverMonitor(const RECT& monitor);
    void AddBlankWindow(const RECT& monitor);
    void AddBoard(const RECT& monitor);
    void FollowLayout();
    void DestroyMonitorWindows();
    static bool SameLayout(const std::vector<MonitorArea>& a, const std::vector<MonitorArea>& b);
    void OnDestroy();

    FirstPointer firstMouse_;
    bool boardOnEvery_ = false;  // the stored "Monitors", as at the start
    uint32_t seed_ = 0;          // the last board's seed
    std::vector<BlankMonitorWindow*> blankWindows_;  // owned, in creation order
    std::vector<MonitorBoardWindow*> boards_;        // owned, in creation order
    std::vector<MonitorArea> covered_;               // the layout the windows cover
};
