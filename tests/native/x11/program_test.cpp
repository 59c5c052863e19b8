// The X11 pen against the software rasteriser (the composition above it is checked natively),
// then the whole program as its users see it: in a window of the test's, as the daemon hands it
// one, and under XScreenSaver's own daemon.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "raster.h"
#include "x11/x11_view.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

bool Within(double seconds, const std::function<bool()>& check)
{
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    for (; !check(); std::this_thread::sleep_for(std::chrono::milliseconds(20)))
        if (Clock::now() > end) return false;
    return true;
}

// Where a window shows pins (every component 170 to 229), right of the column it was looked at from.
struct Shot {
    std::vector<bool> pin;
    long Pins() const { return std::count(pin.begin(), pin.end(), true); }
    bool Board() const { return Pins() > 300; }
    // The share of these pins' pixels that are pins in the other shot: low when it shows another scene.
    double Overlap(const Shot& other) const
    {
        long same = 0;
        for (size_t i = 0; i < pin.size() && pin.size() == other.pin.size(); ++i) same += pin[i] && other.pin[i];
        return Board() ? double(same) / double(Pins()) : 0;
    }
};

// An Xvfb of the test's own, on a free display it picks itself (-displayfd) so that tests starting together
// never share one, with a window on it for the program to draw into. display is null when it did not start.
struct InAWindow {
    // screen: "WIDTHxHEIGHTxDEPTH". Open to every local user (-ac), as the daemon runs its programs as another.
    explicit InAWindow(const std::string& screen = "640x480x24")
        : server(popen(("echo $$; exec Xvfb -displayfd 1 -nolisten tcp -ac -screen 0 " + screen + " 2>/dev/null").c_str(), "re"))
    {
        // Its pid, then the display number once it accepts connections.
        int number = -1;
        if (!server || std::fscanf(server, "%d %d", &serverPid, &number) != 2) return;
        name = ":" + std::to_string(number);
        if (!(display = XOpenDisplay(name.c_str()))) return;
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // looked at as it goes
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 240, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~InAWindow()
    {
        if (pid > 0) kill(-pid, SIGKILL), waitpid(pid, nullptr, 0);
        if (out) pclose(out);
        if (display) XCloseDisplay(display);
        if (serverPid > 0) kill(serverPid, SIGTERM);
        if (server) pclose(server);
    }
    // Started with these options and the board shown; at a real-time priority, where allowed, so that
    // the machine's load does not make it miss frames. In a session of its own, stopped as a whole (as is
    // the daemon, run here in its place); the shell says its pid.
    bool Start(const std::string& options)
    {
        out = popen(("echo $$; chrt -f -p 1 $$ >/dev/null 2>&1; DISPLAY=" + name + " exec setsid " VELLORAN_X11_PROGRAM
                     " --window-id " + std::to_string(window) + " " + options + " 2>&1").c_str(), "re");
        char line[32];
        return display && out && std::fgets(line, sizeof line, out) && (pid = std::atoi(line)) > 0 &&
               Within(5, [&] { return Look().Board(); });
    }
    Shot Look(int left = 0)
    {
        Shot shot;
        XWindowAttributes a;
        XImage* image = !XGetWindowAttributes(display, window, &a) || a.width <= left ? nullptr
                        : XGetImage(display, window, left, 0, unsigned(a.width - left), unsigned(a.height), AllPlanes, ZPixmap);
        if (!image) return shot;
        for (int i = 0; i < image->width * image->height; ++i) {
            const unsigned long p = XGetPixel(image, i % image->width, i / image->width) & 0xFFFFFF;
            const auto grey = [p](int shift) { return ((p >> shift) & 0xFF) - 170 < 60; };
            shot.pin.push_back(grey(16) && grey(8) && grey(0));
        }
        XDestroyImage(image);
        return shot;
    }

    std::FILE* const server;
    pid_t serverPid = 0;
    std::string name;
    Display* display = nullptr;
    Window window = 0;
    std::FILE* out = nullptr;
    pid_t pid = 0;
};

// Each colour as near as the screen's depth allows: 5, 6 and 5 bits, 8, or 10 a
// component; the drawing where pixels read as the rasteriser's, at 24 bits.
TEST(X11Pen, GivesEveryColourTheNearestPixelAndDrawsAsTheRasteriserDoes)
{
    const Colour colours[] = {0xFFFFFF, 0x123456, 0x00FF80};
    const std::pair<int, std::vector<unsigned long>> cases[] = {{16, {0xFFFF, 0x51A2, 0x87E0}},
        {24, {0xFFFFFF, 0x563412, 0x80FF00}}, {30, {0x3FFFFFFF, 0x15934448, 0x202FFC00}}};
    for (const auto& [depth, pixels] : cases) {
        InAWindow w("200x200x" + std::to_string(depth));
        Display* const display = w.display;
        ASSERT_NE(display, nullptr) << depth;
        const Pixmap target = XCreatePixmap(display, DefaultRootWindow(display), 100, 100, unsigned(depth));
        X11Pen pen(display, target, DefaultVisual(display, DefaultScreen(display)), depth);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(pen.Pixel(colours[i]), pixels[size_t(i)]) << depth << " bits, colour " << i;
        pen.buffer = XCreatePixmap(display, target, 100, 100, unsigned(depth));
        if (depth == 24) raster::CheckPen(pen, [&] {
            XImage* image = XGetImage(display, target, 0, 0, 100, 100, AllPlanes, ZPixmap);
            std::vector<uint32_t> read(10000);
            for (int i = 0; i < 10000; ++i) read[size_t(i)] = uint32_t(XGetPixel(image, i % 100, i / 100));
            XDestroyImage(image);
            return read;
        });
    }
}

// A frame every 4 ms: a scene of 600 frames every 2.4 s. Load can only slow the
// program down, so the quickest of a few scenes counts. Resized, it lays a new
// scene out over the new size (the pins mirrored about its middle); hidden for
// 3.5 s, it would show another scene if it had drawn meanwhile.
TEST(Program, KeepsItsPaceFollowsItsWindowsSizeAndDrawsNothingWhileHidden)
{
    InAWindow w;
    ASSERT_TRUE(w.Start("--refresh-rate 3 --scenario-counter 1"));
    Shot scene = w.Look(), now;
    double quickest = 1e9;  // ms a frame
    for (int i = 0; i < 4 && std::fabs(quickest - 4.0) > 0.2; ++i) {
        const auto since = Clock::now();
        ASSERT_TRUE(Within(20, [&] { return (now = w.Look()).Board() && scene.Overlap(now) < 0.5; })) << "no new scene";
        quickest = std::min(quickest, std::chrono::duration<double, std::milli>(Clock::now() - since).count() / 600);
        scene = now;
    }
    EXPECT_NEAR(quickest, 4.0, 0.2);

    XResizeWindow(w.display, w.window, 640, 480);
    ASSERT_TRUE(Within(5, [&] { return w.Look(320).Board(); })) << "no pins beyond the old width";
    scene = w.Look();
    const Window cover = XCreateSimpleWindow(w.display, DefaultRootWindow(w.display), 0, 0, 640, 480, 0, 0, 0);
    for (const bool unmap : {true, false}) {
        unmap ? XUnmapWindow(w.display, w.window) : XMapRaised(w.display, cover);
        XSync(w.display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(3500));
        unmap ? XMapWindow(w.display, w.window) : XUnmapWindow(w.display, cover);
        XSync(w.display, False);
        EXPECT_TRUE(Within(2, [&] { return (now = w.Look()).Board(); })) << unmap;
        EXPECT_GT(scene.Overlap(now), 0.5) << (unmap ? "unmapped" : "covered") << ": frames went on while hidden";
    }
}

// Destroyed by its owner, it ends as if all went well: once unmapped (-1), when only
// the news of it can tell; or as it draws (0), with the server held meanwhile so that
// frames reach it after the window has gone, errors that are the owner's doing. Stopped
// by a signal, it ends by that signal, as the daemon's own programs do, so that the
// daemon logs a normal end.
TEST(Program, EndsCleanlyWhenItsWindowIsDestroyedOrASignalStopsIt)
{
    for (const int signal : {-1, 0, SIGTERM, SIGINT}) {
        InAWindow w;
        ASSERT_TRUE(w.Start("--refresh-rate 3"));
        if (signal < 0) XUnmapWindow(w.display, w.window);
        XSync(w.display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        XGrabServer(w.display);
        XSync(w.display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        signal > 0 ? void(kill(w.pid, signal)) : void(XDestroyWindow(w.display, w.window));
        XUngrabServer(w.display);
        XSync(w.display, False);
        int status = -1;
        ASSERT_TRUE(Within(5, [&] { return waitpid(w.pid, &status, WNOHANG) == w.pid; })) << signal << ": still running";
        w.pid = 0;
        std::string output;
        for (char line[1024]; std::fgets(line, sizeof line, w.out);) output += line;
        EXPECT_TRUE(signal > 0 ? WIFSIGNALED(status) && WTERMSIG(status) == signal : WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << signal << ": " << status;
        EXPECT_EQ(output, "") << signal;
    }
}

TEST(XScreenSaverDaemon, ShowsTheBoardWhenActivatedAndEndsTheProgramWhenDeactivated)
{
    // The daemon starts no program as root: it runs as nobody, with a copy of
    // the program and a home that go with the test, so the machine keeps no trace.
    char dirTemplate[] = "/tmp/velloransaver-daemon.XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    // $VELLORAN_DAEMON_PROGRAM names an installed program to run instead: a path, or a name the daemon looks up.
    const char* installed = std::getenv("VELLORAN_DAEMON_PROGRAM");
    const fs::path dir = dirTemplate, home = dir / "home", program = installed ? installed : dir / "velloransaver";
    const std::shared_ptr<void> removeDir(nullptr, [&](void*) { fs::remove_all(dir); });
    fs::permissions(dir, fs::perms(0755));
    if (!installed) fs::copy_file(VELLORAN_X11_PROGRAM, program);
    fs::create_directory(home);
    std::ofstream(home / ".xscreensaver") << "mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\n"
                                          << "splash: False\nprograms: \"Velloran Saver\" " << program.string() << " --root \\n\n";
    ASSERT_EQ(std::system(("chown -R nobody " + home.string()).c_str()), 0);

    InAWindow w;  // its display, the daemon in the program's place, and its root to look at
    ASSERT_NE(w.display, nullptr);
    w.window = DefaultRootWindow(w.display);
    w.out = popen(("echo $$; exec setsid runuser -u nobody -- env HOME=" + home.string() + " DISPLAY=" + w.name +
                   " xscreensaver --no-splash >" + (dir / "daemon.log").string() + " 2>&1").c_str(), "re");
    ASSERT_TRUE(w.out && std::fscanf(w.out, "%d", &w.pid) == 1);

    const auto command = [&](const std::string& text) { return std::system(("DISPLAY=" + w.name + " " + text).c_str()) == 0; };
    // Ready once a window of its own carries its version, where xscreensaver-command
    // finds it; asked before then, the daemon now and then ends at once.
    ASSERT_TRUE(Within(10, [&] {
        return command("sh -c 'for w in $(xwininfo -root -children | grep -o \"^ *0x[0-9a-f]*\"); do "
                       "xprop -id $w _SCREENSAVER_VERSION | grep -q = && exit 0; done; exit 1'");
    })) << "the daemon did not start";
    const std::string toDaemon = "xscreensaver-command >/dev/null 2>&1 ";
    // Whether a process runs the program file, whose path no other has (a zombie runs none).
    const auto running = [&] { return command("pgrep -f '^" + program.string() + "' >/dev/null"); };
    ASSERT_TRUE(command(toDaemon + "-activate"));
    ASSERT_TRUE(Within(10, [&] { return running(); })) << "the daemon did not start the program";
    EXPECT_TRUE(Within(10, [&] { return w.Look().Board(); })) << "no board shown";

    ASSERT_TRUE(command(toDaemon + "-deactivate"));
    EXPECT_TRUE(Within(5, [&] { return !running(); })) << "the program is still running";
}

}  // namespace
