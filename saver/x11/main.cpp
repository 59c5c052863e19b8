// velloransaver: the pin board for XScreenSaver and any X11 desktop.
//
// Where it draws: the window named by $XSCREENSAVER_WINDOW (the daemon's), by
// --window-id, the root window with --root, or else a window of its own that
// a key press or the window manager closes. It follows that window's size,
// draws nothing while the window cannot be seen, and on SIGTERM (how the
// daemon stops it) or SIGINT lets go of the display and then ends by that
// signal, as the daemon expects of its programs. Frames come on absolute
// deadlines of the monotonic clock, so that the mean period is the chosen one
// however long each frame takes within it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "linux/clock.h"
#include "linux/options.h"
#include "linux/stop_signals.h"
#include "sim/random.h"
#include "x11/window_board.h"

namespace {

// X errors end the program at the next event check. The first is kept: it is
// reported only if the window still exists, since drawing into a window that
// its owner has just destroyed fails before the news of it arrives.
bool xFailed = false;
char xErrorText[128];
int OnXError(Display* display, XErrorEvent* error)
{
    if (!xFailed) XGetErrorText(display, error->error_code, xErrorText, sizeof xErrorText);
    xFailed = true;
    return 0;
}

// Size, end, uncovering and whether it can be seen, on whichever window it draws into.
constexpr long kWindowEvents = StructureNotifyMask | ExposureMask | VisibilityChangeMask;

Window OpenOwnWindow(Display* display, Atom closeAtom)
{
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 1024, 768, 0,
                                        BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, window, "Velloran Saver");
    XSetWMProtocols(display, window, &closeAtom, 1);
    XSelectInput(display, window, KeyPressMask | kWindowEvents);
    XMapWindow(display, window);
    return window;
}

// What the events have told of the window.
struct WindowState {
    bool gone = false;      // destroyed, or closed by the user
    bool mapped = true;
    bool obscured = false;  // fully covered
    bool Shown() const { return mapped && !obscured; }
};

void Handle(const XEvent& event, Window window, bool ownWindow, Atom closeAtom, WindowBoard& board, WindowState& state)
{
    const bool ours = event.xany.window == window;
    switch (event.type) {
    case ConfigureNotify:
        if (ours) board.Reshape(event.xconfigure.width, event.xconfigure.height);
        break;
    case Expose:
        if (event.xexpose.count == 0 && state.Shown()) board.Uncovered();
        break;
    case MapNotify:
    case UnmapNotify:
        if (ours) state.mapped = event.type == MapNotify;
        break;
    case VisibilityNotify:
        if (ours) state.obscured = event.xvisibility.state == VisibilityFullyObscured;
        break;
    case DestroyNotify:
        state.gone = state.gone || event.xdestroywindow.window == window;
        break;
    case KeyPress:
        state.gone = state.gone || ownWindow;
        break;
    case ClientMessage:
        state.gone = state.gone || (ownWindow && Atom(event.xclient.data.l[0]) == closeAtom);
        break;
    }
}

// Events, then the frames that are due, until something ends it: the exit
// code, 1 when an X error on a window that still exists ended it.
int Run(Display* display, Window window, bool ownWindow, Atom closeAtom, const XWindowAttributes& attributes,
        CommandLine& line, const StopSignals& stop)
{
    WindowBoard board(display, window, attributes, line);
    WindowState state;
    state.mapped = attributes.map_state == IsViewable;
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    int64_t deadline = NowNs();
    while (!state.gone && !stop.Caught() && !xFailed) {
        const bool wasShown = state.Shown();
        while (!state.gone && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            Handle(event, window, ownWindow, closeAtom, board, state);
        }
        if (state.gone || xFailed) break;
        const int64_t now = NowNs();
        // Hidden, it only waits for events; shown again, it starts afresh
        // instead of catching up.
        if (!state.Shown()) {
            ppoll(&connection, 1, nullptr, &stop.WaitMask());
            continue;
        }
        if (!wasShown) deadline = now;
        if (now >= deadline) {
            const int64_t period = int64_t(board.Tick()) * 1000000;
            XFlush(display);
            // A frame that overran its whole period is not made up for.
            deadline = now - deadline >= period ? now + period : deadline + period;
            continue;
        }
        const int64_t wait = deadline - now;
        const timespec timeout{time_t(wait / 1000000000), long(wait % 1000000000)};
        ppoll(&connection, 1, &timeout, &stop.WaitMask());
    }
    // An error on a window that has gone since is the owner's doing, not a failure.
    if (xFailed && !state.gone) {
        XWindowAttributes still;
        state.gone = !XGetWindowAttributes(display, window, &still);
    }
    if (!xFailed || state.gone) return 0;
    std::fprintf(stderr, "velloransaver: X error: %s\n", xErrorText);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    const int refused = TakeCommandLine(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), line, kX11Program);
    if (refused >= 0) return refused;

    const StopSignals stop;

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        // Without DISPLAY, Xlib names no display at all.
        const char* name = XDisplayName(nullptr);
        std::fprintf(stderr, "velloransaver: cannot open display %s\n", *name ? name : "(DISPLAY is not set)");
        return 1;
    }
    XSetErrorHandler(OnXError);
    const Atom closeAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    const bool ownWindow = line.target == DrawTarget::OwnWindow;
    const Window window = ownWindow                           ? OpenOwnWindow(display, closeAtom)
                          : line.target == DrawTarget::Root ? DefaultRootWindow(display)
                                                              : Window(line.window);
    if (!ownWindow) XSelectInput(display, window, kWindowEvents);
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
    const int exitCode = Run(display, window, ownWindow, closeAtom, attributes, line, stop);
    if (ownWindow && !xFailed) XDestroyWindow(display, window);
    XCloseDisplay(display);
    stop.EndBySignal();
    return exitCode;
}
