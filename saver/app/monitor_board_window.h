// A board of its own over a monitor other than the primary one, when the
// stored "Monitors" asks for a board on every monitor: a drawing view with its
// own world, scenes and random sequence, which follows the saver's input rules
// (input_rules.h) and forwards its close requests to the saver window, which
// owns it.
#pragma once
#include "board/first_pointer.h"
#include "render/saver_view.h"

class SaverWindow;

class MonitorBoardWindow : public SaverView {
public:
    // seed: where the board's own random sequence starts.
    MonitorBoardWindow(SettingsReader& settings, uint32_t seed);
    ~MonitorBoardWindow() override;

    // Receives this window's close requests; not owned. Set before Create.
    SaverWindow* owner = nullptr;
    // The monitor it was made for, in virtual-screen coordinates.
    RECT monitor = {};

protected:
    bool HandleMessage(Message& m) override;

private:
    FirstPointer firstMouse_;
};
