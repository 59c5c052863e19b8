// The whole program: XScreenSaver's own daemon runs it, activating it shows
// the board, deactivating it ends the program; and SIGTERM ends it cleanly.
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "x11_support.h"

namespace {

namespace fs = std::filesystem;

// The daemon refuses to start programs as root; as root, the test runs it as this user.
const char kUser[] = "velloransaver-test";

bool Command(const std::string& display, const char* arguments)
{
    return std::system(("DISPLAY=" + display + " xscreensaver-command " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

// The pid of a process running the program file, or 0.
pid_t FindProcess(const fs::path& program)
{
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        if (fs::read_symlink(entry.path() / "exe", error) == program) return pid_t(std::stol(name));
    }
    return 0;
}

bool Alive(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, name, state;
    return stat >> pidText >> name >> state && state != "Z";
}

template <class Check> bool Within(double seconds, Check&& check)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (check()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// Pixels of the screen: black, in the pins' colour range (every component 170
// to 229) and any other colour (balls, sparks).
struct ScreenCounts {
    long black = 0, pin = 0, other = 0;
};

ScreenCounts CountScreen(Display* display)
{
    ScreenCounts counts;
    const int width = DisplayWidth(display, 0), height = DisplayHeight(display, 0);
    XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image) return counts;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(image, x, y) & 0xFFFFFF;
            const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            const auto grey = [](unsigned c) { return c >= 170 && c <= 229; };
            if (p == 0) ++counts.black;
            else if (grey(r) && grey(g) && grey(b)) ++counts.pin;
            else ++counts.other;
        }
    }
    XDestroyImage(image);
    return counts;
}

// The daemon as the given user, in a process group of its own, writing to log.
pid_t StartDaemon(const std::string& display, const fs::path& home, uid_t uid, gid_t gid, const fs::path& log)
{
    const pid_t pid = fork();
    if (pid != 0) return pid;
    setpgid(0, 0);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1), dup2(out, 2);
    if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)) _exit(126);
    std::string homeVar = "HOME=" + home.string(), displayVar = "DISPLAY=" + display;
    char* env[] = {homeVar.data(), displayVar.data(), const_cast<char*>("PATH=/usr/bin:/bin"), nullptr};
    char* argv[] = {const_cast<char*>("xscreensaver"), const_cast<char*>("--no-splash"), nullptr};
    execve("/usr/bin/xscreensaver", argv, env);
    _exit(127);
}

TEST(XScreenSaverDaemon, ShowsTheBoardWhenActivatedAndEndsTheProgramWhenDeactivated)
{
    // The user, the program's copy and the daemon's home, all readable by that user.
    uid_t uid = getuid();
    gid_t gid = getgid();
    if (uid == 0) {
        if (!getpwnam(kUser))
            std::system((std::string("useradd --system --no-create-home --shell /usr/sbin/nologin ") + kUser + " >/dev/null 2>&1").c_str());
        const passwd* user = getpwnam(kUser);  // or made meanwhile by a test running beside this one
        ASSERT_NE(user, nullptr) << "no user " << kUser;
        uid = user->pw_uid, gid = user->pw_gid;
    }
    char dirTemplate[] = "/tmp/velloransaver-daemon.XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    const fs::path dir = dirTemplate, home = dir / "home", program = dir / "velloransaver";
    struct RemoveDir {
        fs::path dir;
        ~RemoveDir() { fs::remove_all(dir); }
    } removeDir{dir};
    fs::permissions(dir, fs::perms(0755));
    fs::copy_file(VELLORAN_X11_PROGRAM, program);
    fs::create_directory(home);
    std::ofstream(home / ".xscreensaver") << "mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\n"
                                             "splash: False\nprograms: \"Velloran Saver\" "
                                          << program.string() << " --root \\n\n";
    ASSERT_EQ(chown(home.c_str(), uid, gid) | chown((home / ".xscreensaver").c_str(), uid, gid), 0);

    Xvfb xvfb("800x600x24", true);
    ASSERT_STRNE(xvfb.Name(), "") << "Xvfb did not start";
    Display* display = XOpenDisplay(xvfb.Name());
    ASSERT_NE(display, nullptr);
    struct Close {
        Display* display;
        ~Close() { XCloseDisplay(display); }
    } close{display};
    // Ready once a window of its own carries its version, which is where
    // xscreensaver-command finds it; asking that before then now and then
    // makes the daemon end at once.
    const Atom version = XInternAtom(display, "_SCREENSAVER_VERSION", False);
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window gone between the two calls
    const auto ready = [&] {
        Window rootReturn, parent, *children = nullptr;
        unsigned count = 0;
        bool found = false;
        XQueryTree(display, DefaultRootWindow(display), &rootReturn, &parent, &children, &count);
        for (unsigned i = 0; i < count && !found; ++i) {
            Atom type = None;
            int format;
            unsigned long items, after;
            unsigned char* data = nullptr;
            XGetWindowProperty(display, children[i], version, 0, 0, False, AnyPropertyType, &type, &format, &items,
                               &after, &data);
            if (data) XFree(data);
            found = type != None;
        }
        if (children) XFree(children);
        return found;
    };
    const pid_t daemon = StartDaemon(xvfb.Name(), home, uid, gid, dir / "daemon.log");
    pid_t saver = 0;
    struct Stop {
        pid_t daemon;
        pid_t& saver;
        ~Stop()
        {
            kill(-daemon, SIGTERM);
            waitpid(daemon, nullptr, 0);
            if (saver && Alive(saver)) kill(saver, SIGKILL);
        }
    } stop{daemon, saver};
    ASSERT_TRUE(Within(10, ready)) << "the daemon did not start";

    ASSERT_TRUE(Command(xvfb.Name(), "-activate"));
    ASSERT_TRUE(Within(10, [&] { return (saver = FindProcess(program)) != 0; })) << "the daemon did not start the program";
    ScreenCounts counts;
    // Black ground, pins and at least one ball in play.
    const bool board = Within(10, [&] {
        counts = CountScreen(display);
        return counts.black > 400000 && counts.pin > 2000 && counts.other > 1000;
    });
    EXPECT_TRUE(board) << "black " << counts.black << ", pin colours " << counts.pin << ", others " << counts.other;

    ASSERT_TRUE(Command(xvfb.Name(), "-deactivate"));
    EXPECT_TRUE(Within(5, [&] { return !Alive(saver); })) << "the program is still running";
}

TEST(Program, EndsCleanlyOnSigterm)
{
    Xvfb xvfb("640x480x24");
    ASSERT_STRNE(xvfb.Name(), "") << "Xvfb did not start";
    const pid_t pid = SpawnProgram({"--root"}, {std::string("DISPLAY=") + xvfb.Name()});
    ASSERT_NE(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // some frames in
    kill(pid, SIGTERM);
    int status = 0;
    const bool ended = Within(3, [&] { return waitpid(pid, &status, WNOHANG) == pid; });
    if (!ended) kill(pid, SIGKILL), waitpid(pid, &status, 0);
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
