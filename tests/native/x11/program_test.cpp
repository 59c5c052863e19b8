// The whole program: XScreenSaver's own daemon runs it, activating it shows
// the board, deactivating it ends the program; and SIGTERM ends it cleanly.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "x11_support.h"

namespace {

namespace fs = std::filesystem;

struct Defer {
    std::function<void()> run;
    ~Defer() { run(); }
};

bool Within(double seconds, const std::function<bool()>& check)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (; !check(); std::this_thread::sleep_for(std::chrono::milliseconds(100)))
        if (std::chrono::steady_clock::now() > end) return false;
    return true;
}

bool Command(const std::string& display, const char* arguments)
{
    return std::system(("DISPLAY=" + display + " xscreensaver-command " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

// Whether a process runs the program file, whose path no other has (a zombie runs none).
bool Running(const fs::path& program)
{
    return std::system(("pgrep -f '^" + program.string() + "' >/dev/null").c_str()) == 0;
}

// Whether the screen shows pins (every component 170 to 229) and balls (other colours but black).
bool BoardShows(Display* display, long& pins, long& others)
{
    const int width = DisplayWidth(display, 0), height = DisplayHeight(display, 0);
    XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    pins = others = 0;
    for (int y = 0; image && y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(image, x, y) & 0xFFFFFF;
            const auto grey = [p](int shift) { return ((p >> shift) & 0xFF) - 170 < 60; };
            if (grey(16) && grey(8) && grey(0)) ++pins;
            else others += p != 0;
        }
    }
    if (image) XDestroyImage(image);
    return pins > 2000 && others > 1000;
}

// Ready once a window of its own carries its version, where xscreensaver-command
// finds it; asked before then, the daemon now and then ends at once.
bool DaemonReady(Display* display)
{
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    bool found = false;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && !found; ++i) {
        Atom type = None;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, children[i], XInternAtom(display, "_SCREENSAVER_VERSION", False), 0, 0, False,
                           AnyPropertyType, &type, &format, &items, &after, &data);
        if (data) XFree(data);
        found = type != None;
    }
    if (children) XFree(children);
    return found;
}

TEST(XScreenSaverDaemon, ShowsTheBoardWhenActivatedAndEndsTheProgramWhenDeactivated)
{
    // A copy of the program and the daemon's home, for a user of our own: it starts no program as root.
    char dirTemplate[] = "/tmp/velloransaver-daemon.XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    // $VELLORAN_DAEMON_PROGRAM names an installed program to run instead: a path, or a name the daemon looks up.
    const char* installed = std::getenv("VELLORAN_DAEMON_PROGRAM");
    const fs::path dir = dirTemplate, home = dir / "home", program = installed ? installed : dir / "velloransaver";
    Defer removeDir{[&] { fs::remove_all(dir); }};
    fs::permissions(dir, fs::perms(0755));
    if (!installed) fs::copy_file(VELLORAN_X11_PROGRAM, program);
    fs::create_directory(home);
    std::ofstream(home / ".xscreensaver") << "mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\n"
                                          << "splash: False\nprograms: \"Velloran Saver\" " << program.string() << " --root \\n\n";
    // A test running beside this one may be making the user at the same moment.
    ASSERT_EQ(std::system(("(id -u velloransaver-test || useradd --system --no-create-home velloransaver-test || sleep 1)"
                           " >/dev/null 2>&1; chown -R velloransaver-test " + home.string()).c_str()), 0);

    Xvfb xvfb("800x600x24", true);
    ASSERT_STRNE(xvfb.Name(), "") << "Xvfb did not start";
    Display* display = XOpenDisplay(xvfb.Name());
    ASSERT_NE(display, nullptr);
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window gone while it is looked at
    // The daemon in a session of its own, stopped as a whole; the shell says its pid.
    std::FILE* shell = popen(("echo $$; exec setsid runuser -u velloransaver-test -- env HOME=" + home.string() + " DISPLAY=" +
                              xvfb.Name() + " xscreensaver --no-splash >" + (dir / "daemon.log").string() + " 2>&1").c_str(), "re");
    int daemon = 0;
    Defer stop{[&] {
        XCloseDisplay(display);
        if (daemon > 0) kill(-daemon, SIGTERM);
        if (shell) pclose(shell);
    }};
    ASSERT_TRUE(shell && std::fscanf(shell, "%d", &daemon) == 1);
    ASSERT_TRUE(Within(10, [&] { return DaemonReady(display); })) << "the daemon did not start";

    ASSERT_TRUE(Command(xvfb.Name(), "-activate"));
    ASSERT_TRUE(Within(10, [&] { return Running(program); })) << "the daemon did not start the program";
    long pins = 0, others = 0;
    EXPECT_TRUE(Within(10, [&] { return BoardShows(display, pins, others); })) << pins << " pin pixels, " << others << " others";

    ASSERT_TRUE(Command(xvfb.Name(), "-deactivate"));
    EXPECT_TRUE(Within(5, [&] { return !Running(program); })) << "the program is still running";
}

TEST(Program, EndsCleanlyOnSigterm)
{
    Xvfb xvfb("640x480x24");
    ASSERT_STRNE(xvfb.Name(), "") << "Xvfb did not start";
    // The shell prints the program's pid, then its exit code: 137 when it still ran 5 s on and was killed.
    std::FILE* shell = popen(("DISPLAY=" + std::string(xvfb.Name()) + " timeout -s KILL 5 " + VELLORAN_X11_PROGRAM +
                              " --root & echo $!; wait $!; echo $?").c_str(), "re");
    ASSERT_NE(shell, nullptr);
    int pid = 0, status = -1;
    if (std::fscanf(shell, "%d", &pid) == 1) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // some frames in
        kill(pid, SIGTERM);
        std::fscanf(shell, "%d", &status);
    }
    pclose(shell);
    EXPECT_EQ(status, 0);
}

}  // namespace
