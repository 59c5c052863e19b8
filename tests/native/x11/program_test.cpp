// The whole program: XScreenSaver's own daemon runs it, activating it shows
// the board, deactivating it ends the program; and SIGTERM ends it cleanly.
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>

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
    while (!check()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

bool Command(const std::string& display, const char* arguments)
{
    return std::system(("DISPLAY=" + display + " xscreensaver-command " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

// A process running the program file (a zombie has no file), or 0.
pid_t FindProcess(const fs::path& program)
{
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") == std::string::npos && fs::read_symlink(entry.path() / "exe", error) == program)
            return pid_t(std::stol(name));
    }
    return 0;
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

// The daemon in a process group of its own, as uid and gid when we are root.
pid_t StartDaemon(const std::string& display, const fs::path& home, uid_t uid, gid_t gid)
{
    const pid_t pid = fork();
    if (pid != 0) return pid;
    setpgid(0, 0);
    if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)) _exit(126);
    std::string homeVar = "HOME=" + home.string(), displayVar = "DISPLAY=" + display, path = "PATH=/usr/bin:/bin";
    char* env[] = {homeVar.data(), displayVar.data(), path.data(), nullptr};
    char* argv[] = {const_cast<char*>("xscreensaver"), const_cast<char*>("--no-splash"), nullptr};
    execve("/usr/bin/xscreensaver", argv, env);
    _exit(127);
}

TEST(XScreenSaverDaemon, ShowsTheBoardWhenActivatedAndEndsTheProgramWhenDeactivated)
{
    // The daemon refuses to start programs as root: as root, the test runs it as a user of its own.
    uid_t uid = getuid();
    gid_t gid = getgid();
    if (uid == 0) {
        std::system("id -u velloransaver-test >/dev/null 2>&1 || useradd --system --no-create-home "
                    "--shell /usr/sbin/nologin velloransaver-test >/dev/null 2>&1");
        const passwd* user = getpwnam("velloransaver-test");  // or made meanwhile by a test running beside this one
        ASSERT_NE(user, nullptr) << "no user velloransaver-test";
        uid = user->pw_uid, gid = user->pw_gid;
    }
    // A copy of the program and the daemon's home, which that user can read.
    char dirTemplate[] = "/tmp/velloransaver-daemon.XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    const fs::path dir = dirTemplate, home = dir / "home", program = dir / "velloransaver";
    Defer removeDir{[&] { fs::remove_all(dir); }};
    fs::permissions(dir, fs::perms(0755));
    fs::copy_file(VELLORAN_X11_PROGRAM, program);
    fs::create_directory(home);
    std::ofstream(home / ".xscreensaver") << "mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\n"
                                          << "splash: False\nprograms: \"Velloran Saver\" " << program.string() << " --root \\n\n";
    ASSERT_EQ(chown(home.c_str(), uid, gid) | chown((home / ".xscreensaver").c_str(), uid, gid), 0);

    Xvfb xvfb("800x600x24", true);
    ASSERT_STRNE(xvfb.Name(), "") << "Xvfb did not start";
    Display* display = XOpenDisplay(xvfb.Name());
    ASSERT_NE(display, nullptr);
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window gone while it is looked at
    const pid_t daemon = StartDaemon(xvfb.Name(), home, uid, gid);
    Defer stop{[&] {
        XCloseDisplay(display);
        kill(-daemon, SIGTERM);
        waitpid(daemon, nullptr, 0);
        if (const pid_t left = FindProcess(program)) kill(left, SIGKILL);
    }};
    ASSERT_TRUE(Within(10, [&] { return DaemonReady(display); })) << "the daemon did not start";

    ASSERT_TRUE(Command(xvfb.Name(), "-activate"));
    ASSERT_TRUE(Within(10, [&] { return FindProcess(program) != 0; })) << "the daemon did not start the program";
    long pins = 0, others = 0;
    EXPECT_TRUE(Within(10, [&] { return BoardShows(display, pins, others); })) << pins << " pin pixels, " << others << " others";

    ASSERT_TRUE(Command(xvfb.Name(), "-deactivate"));
    EXPECT_TRUE(Within(5, [&] { return FindProcess(program) == 0; })) << "the program is still running";
}

TEST(Program, EndsCleanlyOnSigterm)
{
    Xvfb xvfb("640x480x24");
    ASSERT_STRNE(xvfb.Name(), "") << "Xvfb did not start";
    const pid_t pid = Spawn({VELLORAN_X11_PROGRAM, "--root"}, {std::string("DISPLAY=") + xvfb.Name()});
    ASSERT_NE(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // some frames in
    kill(pid, SIGTERM);
    int status = 0;
    const bool ended = Within(3, [&] { return waitpid(pid, &status, WNOHANG) == pid; });
    if (!ended) kill(pid, SIGKILL), waitpid(pid, &status, 0);
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
