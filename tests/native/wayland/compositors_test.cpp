// Under a headless mutter 43 in a session bus of its own; mutter takes no screenshots here (that needs
// PipeWire), so libwayland's log tells what the program asks of it.
#include <gtest/gtest.h>

#include "../program_test_support.h"

namespace {

// By mutter's idle monitor (it offers no idle protocol): a fullscreen board on each of two outputs, once the
// seat has been idle for a second.
TEST(Compositors, ShowABoardOnEachOutputOnceTheSeatHasBeenIdle)
{
    const Folder folder;
    const std::string& dir = folder.path;
    ASSERT_FALSE(dir.empty());
    ::Run server;
    ASSERT_TRUE(server.Start("XDG_RUNTIME_DIR=" + dir + " exec setsid dbus-run-session -- sh -c 'GSETTINGS_BACKEND=memory mutter --headless "
                             "--wayland --no-x11 --sm-disable --wayland-display=wayland-1 --virtual-monitor 960x540 --virtual-monitor "
                             "960x540 >/dev/null 2>&1 & until [ -S " + dir + "/wayland-1 ]; do sleep 0.05; done; "
                             "WAYLAND_DISPLAY=wayland-1 WAYLAND_DEBUG=client exec " VELLORAN_WAYLAND_PROGRAM " --on-idle 1'"));
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    kill(-server.pid, SIGKILL);
    std::istringstream log(server.Ended(5));
    double start = -1, shown = -1;
    int boards = 0;
    for (std::string line; std::getline(log, line);) {
        double at;
        if (std::sscanf(line.c_str(), "[%lf]", &at) != 1) continue;
        if (start < 0) start = at;
        if (line.find("xdg_toplevel@") != std::string::npos && line.find(".set_fullscreen(") != std::string::npos)
            shown = shown < 0 ? at : shown, ++boards;
    }
    EXPECT_EQ(boards, 2);
    // mutter counts the idle second from its own start, a little before the program's.
    EXPECT_GT(shown - start, 500) << "milliseconds from its start to its first board";
}

}  // namespace
