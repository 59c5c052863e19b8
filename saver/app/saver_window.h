// The full-screen saver: the drawing view over the primary monitor, with the
// input rules that end the saver, and over every other monitor a black
// BlankMonitorWindow or, when the stored "Monitors" asks for it, a board of
// its own (MonitorBoardWindow). Every board has its own world and scenes; all
// end together.
//
// Input by the rules of input_rules.h, and any loss of activation, post a
// close request (WM_CLOSE, whose default processing destroys the window).
// Destroying the window destroys the blank windows first, then stops the
// animation timer and ends the message loop. A change of the monitors'
// layout while it runs (one added or removed, a new resolution) ends it too.
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

    // A new scene on every board, the saver window's first.
    void SetUpScenes();

    // Posts WM_CLOSE to the saver window. A request that finds the window
    // gone, or queued behind another, has no effect.
    void RequestClose();

protected:
    bool HandleMessage(Message& m) override;

private:
    void AddBlankWindow(const RECT& monitor);
    void AddBoard(const RECT& monitor, uint32_t seed);
    void DestroyMonitorWindows();
    static bool SameLayout(const std::vector<MonitorArea>& a, const std::vector<MonitorArea>& b);
    void OnDestroy();

    FirstPointer firstMouse_;
    std::vector<BlankMonitorWindow*> blankWindows_;  // owned, in creation order
    std::vector<MonitorBoardWindow*> boards_;        // owned, in creation order
    std::vector<MonitorArea> covered_;               // the monitors as they were at the start
};
