#include "app/monitor_board_window.h"

#include "app/input_rules.h"
#include "app/saver_window.h"

MonitorBoardWindow::MonitorBoardWindow(SettingsReader& settings, uint32_t seed) : SaverView(false, settings)
{
    UseOwnSequence(seed);
}

MonitorBoardWindow::~MonitorBoardWindow() = default;

bool MonitorBoardWindow::HandleMessage(Message& m)
{
    if (InputEndsSaver(m, firstMouse_) && owner) owner->RequestClose();
    return SaverView::HandleMessage(m);
}
