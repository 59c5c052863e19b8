// velloransaver: the pin board for XScreenSaver and any X11 desktop.
//
// Where it draws: the window named by $XSCREENSAVER_WINDOW (the daemon's), by
// --window-id, the root window with --root, or else a window of its own that
// a key press or the window manager closes. It follows that window's size and
// ends cleanly on SIGTERM, which is how the daemon stops it. Frames come on
// absolute deadlines of the monotonic clock, so that the mean period is the
// chosen one however long each frame takes within it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "sim/random.h"
#include "x11/options.h"
#include "x11/x11_view.h"

namespace {

volatile sig_atomic_t stopRequested = 0;
void OnStopSignal(int) { stopRequested = 1; }

// X errors end the program at the next event check: the window it draws into
// is gone, or was never one.
bool xFailed = false;
int OnXError(Display* display, XErrorEvent* error)
{
    char text[128];
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "velloransaver: X error: %s\n", text);
    xFailed = true;
    return 0;
}

int64_t NowNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

Window OpenOwnWindow(Display* display, Atom closeAtom)
{
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 1024, 768, 0,
                                        BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, window, "Velloran Saver");
    XSetWMProtocols(display, window, &closeAtom, 1);
    XSelectInput(display, window, KeyPressMask | StructureNotifyMask | ExposureMask);
    XMapWindow(display, window);
    return window;
}

// Whether the event ends the program.
bool Handle(const XEvent& event, Window window, bool ownWindow, Atom closeAtom, X11View& view)
{
    switch (event.type) {
    case ConfigureNotify:
        if (event.xconfigure.window == window) view.Reshape(event.xconfigure.width, event.xconfigure.height);
        return false;
    case Expose:
        if (event.xexpose.count == 0) view.Uncovered();
        return false;
    case DestroyNotify:
        return event.xdestroywindow.window == window;
    case KeyPress:
        return ownWindow;
    case ClientMessage:
        return ownWindow && Atom(event.xclient.data.l[0]) == closeAtom;
    default:
        return false;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    if (!ParseCommandLine(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), line)) {
        PrintUsage(stderr);
        return 2;
    }

    // The stop signals are let through only while the loop waits, so that
    // no X call is ever interrupted and no signal is missed.
    sigset_t stopSignals, waitMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "velloransaver: cannot open display %s\n", XDisplayName(nullptr));
        return 1;
    }
    XSetErrorHandler(OnXError);
    const Atom closeAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    const bool ownWindow = line.target == DrawTarget::OwnWindow;
    const Window window = ownWindow                           ? OpenOwnWindow(display, closeAtom)
                          : line.target == DrawTarget::Root ? DefaultRootWindow(display)
                                                              : Window(line.window);
    if (!ownWindow) XSelectInput(display, window, StructureNotifyMask | ExposureMask);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || xFailed) {
        std::fprintf(stderr, "velloransaver: no window 0x%lx\n", static_cast<unsigned long>(window));
        XCloseDisplay(display);
        return 1;
    }
    if (attributes.visual->c_class != TrueColor && attributes.visual->c_class != DirectColor) {
        std::fprintf(stderr, "velloransaver: the window's visual has no true colours\n");
        XCloseDisplay(display);
        return 1;
    }

    // Every scene is different: one random sequence, seeded once.
    SeedRuntimeRandom(uint32_t(std::time(nullptr)) ^ uint32_t(getpid()));
    int exitCode = 0;
    {
        X11View view(display, window, attributes, line);
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        int64_t deadline = NowNs();
        bool done = false;
        while (!done && !stopRequested && !xFailed) {
            while (!done && XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                done = Handle(event, window, ownWindow, closeAtom, view);
            }
            if (done || xFailed) break;
            const int64_t now = NowNs();
            if (now >= deadline) {
                const int64_t period = int64_t(view.Tick()) * 1000000;
                XFlush(display);
                // A frame that overran its whole period is not made up for.
                deadline = now - deadline >= period ? now + period : deadline + period;
                continue;
            }
            const int64_t wait = deadline - now;
            const timespec timeout{time_t(wait / 1000000000), long(wait % 1000000000)};
            ppoll(&connection, 1, &timeout, &waitMask);
        }
        if (xFailed) exitCode = 1;
    }
    if (ownWindow && !xFailed) XDestroyWindow(display, window);
    XCloseDisplay(display);
    return exitCode;
}
