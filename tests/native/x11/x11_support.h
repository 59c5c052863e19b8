// Helpers of the X11 tests: a display of their own, the program started, and
// a comparison of two drawables in the server.
#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>


extern char** environ;

// Starts a program found on PATH, with this environment ("NAME=value" each;
// none: ours) and the descriptors of ours that each pair dups to one of its.
// Its pid, or 0.
inline pid_t Spawn(std::vector<const char*> argv, std::vector<std::string> env = {}, std::vector<std::pair<int, int>> dups = {})
{
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const auto& [ours, theirs] : dups) posix_spawn_file_actions_adddup2(&actions, ours, theirs);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv.data()), env.empty() ? environ : envp.data()))
        pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// An Xvfb server for one test: it picks a free display itself (-displayfd),
// so that tests starting together never share one; stopped by its pid.
// Name() is empty when it did not start.
class Xvfb {
public:
    // screen: "WIDTHxHEIGHTxDEPTH"; openAccess (-ac) lets other users' programs connect.
    explicit Xvfb(const char* screen, bool openAccess = false)
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        std::vector<const char*> argv = {"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp"};
        if (openAccess) argv.push_back("-ac");
        pid_ = Spawn(argv, {}, {{fds[1], 3}});
        close(fds[1]);
        // The display number and a newline, once the server accepts connections.
        pollfd ready{fds[0], POLLIN, 0};
        for (char c; pid_ && poll(&ready, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n';) name_ += c;
        close(fds[0]);
        if (!name_.empty()) name_.insert(0, ":");
    }
    ~Xvfb()
    {
        if (pid_) kill(pid_, SIGTERM), waitpid(pid_, nullptr, 0);
    }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    const char* Name() const { return name_.c_str(); }

private:
    pid_t pid_ = 0;
    std::string name_;
};

// Whether two drawables hold the same pixels, decided by the server: their
// XOR, folded in halves with OR down to one pixel, is 0 exactly when they
// agree. Only that pixel crosses the connection.
inline bool SamePixels(Display* display, Drawable a, Drawable b, int width, int height, int depth)
{
    const Pixmap diff = XCreatePixmap(display, a, unsigned(width), unsigned(height), unsigned(depth));
    XGCValues values;
    values.graphics_exposures = False;
    const GC gc = XCreateGC(display, diff, GCGraphicsExposures, &values);
    XCopyArea(display, a, diff, gc, 0, 0, unsigned(width), unsigned(height), 0, 0);
    XSetFunction(display, gc, GXxor);
    XCopyArea(display, b, diff, gc, 0, 0, unsigned(width), unsigned(height), 0, 0);
    XSetFunction(display, gc, GXor);
    for (int w = width; w > 1; w = (w + 1) / 2) XCopyArea(display, diff, diff, gc, (w + 1) / 2, 0, unsigned(w / 2), unsigned(height), 0, 0);
    for (int h = height; h > 1; h = (h + 1) / 2) XCopyArea(display, diff, diff, gc, 0, (h + 1) / 2, 1, unsigned(h / 2), 0, 0);
    XImage* pixel = XGetImage(display, diff, 0, 0, 1, 1, AllPlanes, ZPixmap);
    const bool same = pixel && XGetPixel(pixel, 0, 0) == 0;
    if (pixel) XDestroyImage(pixel);
    XFreeGC(display, gc);
    XFreePixmap(display, diff);
    return same;
}
