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

// An Xvfb server for one test: it picks a free display itself (-displayfd),
// so that tests starting together never share one; stopped by its pid.
// Name() is empty when it did not start.
class Xvfb {
public:
    // screen: "WIDTHxHEIGHTxDEPTH"; openAccess (-ac) lets other users' programs connect.
    explicit Xvfb(const char* screen, bool openAccess = false)
    {
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<const char*> args = {"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp"};
        if (openAccess) args.push_back("-ac");
        args.push_back(nullptr);
        if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char* const*>(args.data()), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        // The display number and a newline, once the server accepts connections.
        std::string number;
        pollfd ready{fds[0], POLLIN, 0};
        char c;
        while (pid_ && poll(&ready, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (!number.empty()) name_ = ":" + number;
    }
    ~Xvfb()
    {
        if (!pid_) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    const char* Name() const { return name_.c_str(); }

private:
    pid_t pid_ = 0;
    std::string name_;
};

// Starts the X11 program with these arguments and environment ("NAME=value"
// each); its standard error goes to errorFd when that is not -1. Its pid, or 0.
inline pid_t SpawnProgram(const std::vector<const char*>& args, std::vector<std::string> env, int errorFd = -1)
{
    std::vector<const char*> argv = {VELLORAN_X11_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (errorFd != -1) posix_spawn_file_actions_adddup2(&actions, errorFd, 2);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv.data()), envp.data()) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

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
