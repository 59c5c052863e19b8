// The X11 pen against the rasteriser, then the whole program in a window of the test's and under the daemon.
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cmath>

#include "../program_test_support.h"
#include "display_scales.h"
#include "raster.h"
#include "x11/window_board.h"

namespace {

namespace fs = std::filesystem;
// An Xvfb on a free display of its own choosing (-displayfd), so that tests starting together never share
// one, with a window for the program to draw into; display is null when it did not start.
struct InAWindow : Run {
    // screen: "WIDTHxHEIGHTxDEPTH". Open to every local user (-ac), as the daemon runs its programs as another.
    explicit InAWindow(const std::string& screen = "640x480x24", int width = 320, int height = 240)
        : server(popen(("echo $$; exec Xvfb -displayfd 1 -nolisten tcp -ac -screen 0 " + screen + " 2>/dev/null").c_str(), "re"))
    {
        int number = -1;
        if (!server || std::fscanf(server, "%d %d", &serverPid, &number) != 2) return;
        name = ":" + std::to_string(number);
        if (!(display = XOpenDisplay(name.c_str()))) return;
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // looked at as it goes
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, unsigned(width), unsigned(height), 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~InAWindow()
    {
        if (display) XCloseDisplay(display);
        if (serverPid > 0) kill(serverPid, SIGTERM);
        if (server) pclose(server);
    }
    // Until the board shows; real-time where allowed, so that load makes it miss no frames.
    bool Start(const std::string& options)
    {
        if (!display) return false;
        Stop();
        XClearWindow(display, window);  // of the frames of the program before
        XSync(display, False);
        return Run::Start("chrt -f -p 1 $$ >/dev/null 2>&1; DISPLAY=" + name + " exec setsid " VELLORAN_X11_PROGRAM
                          " --window-id " + std::to_string(window) + " " + options) &&
               Within(5, [&] { return Look().Board(); }, 2);
    }
    // On a 24-bit screen, as 0x00RRGGBB; none once the drawable has gone.
    std::vector<uint32_t> Pixels(Drawable drawable, int width, int height) const
    {
        XImage* image = XGetImage(display, drawable, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
        if (!image) return {};
        const auto* words = reinterpret_cast<const uint32_t*>(image->data);
        std::vector<uint32_t> pixels(words, words + size_t(width) * size_t(height));
        XDestroyImage(image);
        return pixels;
    }
    Shot Look()
    {
        Shot shot;
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, window, &a)) return shot;
        for (const uint32_t p : Pixels(window, a.width, a.height)) shot.Add((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        if (!shot.pin.empty()) shot.width = a.width, shot.height = a.height;
        return shot;
    }

    std::FILE* const server;
    pid_t serverPid = 0;
    std::string name;
    Display* display = nullptr;
    Window window = 0;
};

// Each colour as near as the screen's depth allows; the drawing where pixels read as the rasteriser's.
TEST(X11Pen, GivesEveryColourTheNearestPixelAndDrawsAsTheRasteriserDoes)
{
    const Colour colours[] = {0xFFFFFF, 0x123456, 0x00FF80};
    const struct { int depth; std::vector<unsigned long> pixels; } cases[] = {
        {16, {0xFFFF, 0x51A2, 0x87E0}}, {24, {0xFFFFFF, 0x563412, 0x80FF00}}, {30, {0x3FFFFFFF, 0x15934448, 0x202FFC00}}};
    for (const auto& [depth, pixels] : cases) {
        InAWindow w("200x200x" + std::to_string(depth));
        Display* const display = w.display;
        ASSERT_NE(display, nullptr) << depth;
        const Pixmap target = XCreatePixmap(display, DefaultRootWindow(display), 100, 100, unsigned(depth));
        X11Pen pen(display, target, DefaultVisual(display, DefaultScreen(display)), depth);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(pen.Pixel(colours[i]), pixels[size_t(i)]) << depth << " bits, colour " << i;
        pen.buffer = XCreatePixmap(display, target, 100, 100, unsigned(depth));
        if (depth == 24) raster::CheckPen(pen, [&] { return w.Pixels(target, 100, 100); });
    }
}

// The kept Pixmap's frames against the same world drawn afresh (every Pixmap is freed with the server).
TEST(X11Pen, ShowsThroughItsPixmapWhatEveryDiscDrawnAfreshEveryFrameShowsAtEveryScale)
{
    InAWindow w;
    Display* const display = w.display;
    ASSERT_NE(display, nullptr);
    Visual* const visual = DefaultVisual(display, DefaultScreen(display));
    for (const raster::FrameCase& c : raster::kFrameCases) {
        const auto target = [&] { return XCreatePixmap(display, DefaultRootWindow(display), unsigned(c.width), unsigned(c.height), 24); };
        const Pixmap composed = target(), afresh = target();
        for (const DisplayScale& s : kDisplayScales) {
            X11Pen pen(display, composed, visual, 24, s.scale), fresh(display, afresh, visual, 24, s.scale);
            pen.buffer = target();
            Composition composition(CompositionRules{true, false});
            raster::CheckComposedFrames(
                c, s.scale, fresh, [&](World& world, const Rect& board, bool whole) { composition.Compose(world, pen, board, whole); },
                [&] { pen.Fill(FramePen::Surface::kTarget, Rect{0, 0, c.width, c.height}); },
                [&] { return w.Pixels(composed, c.width, c.height) == w.Pixels(afresh, c.width, c.height); }, 20);
            if (HasFatalFailure()) return;
        }
    }
}

// At Xft.dpi's scale (1.5), the board is laid out in the window's pixels divided by the scale: its pins are
// mirrored a pin's radius left of the logical middle only then. Each size brings a new scene (two share under
// half their pins' pixels). Unmapped for longer than a scene lasts (600 frames of 4 ms), it shows the same one.
TEST(Program, FollowsItsWindowsSizeAtTheScaleThatXftDpiSetsAndDrawsNothingWhileHidden)
{
    InAWindow w("640x480x24", 640, 480);
    static const char kResources[] = "Xft.dpi:\t144\n";
    XChangeProperty(w.display, DefaultRootWindow(w.display), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(kResources), int(sizeof kResources - 1));
    ASSERT_TRUE(w.Start("--pin-size 20 --num-pins 20 --num-balls 1 --no-sparks --scenario-counter 100"));
    Shot scene, now;
    for (const auto& [width, height] : {std::pair{640, 480}, {400, 480}, {400, 200}, {640, 300}}) {
        XResizeWindow(w.display, w.window, unsigned(width), unsigned(height));
        XSync(w.display, False);
        const int axis = int(std::floor((int(width / 1.5) / 2 - 20) * 1.5 + 0.5));
        EXPECT_TRUE(Within(5, [&] {
            return (now = w.Look()).width == width && now.height == height && now.Overlap(scene) < 0.8 &&
                   now.MirroredAbout(axis) > 0.75;
        })) << width << "x" << height << ": no new scene over the new size, mirrored about " << axis;
        scene = now;
    }

    ASSERT_TRUE(w.Start("--refresh-rate 3 --scenario-counter 1"));
    scene = w.Look();
    XUnmapWindow(w.display, w.window);
    XSync(w.display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(3500));
    XMapWindow(w.display, w.window);
    XSync(w.display, False);
    EXPECT_TRUE(Within(2, [&] { return (now = w.Look()).Board(); }));
    EXPECT_GT(scene.Overlap(now), 0.5) << "frames went on while unmapped";
}

TEST(Program, SaysOnTheRightStreamWhyItCannotRun)
{
    InAWindow eightBits("320x240x8");
    ASSERT_NE(eightBits.display, nullptr);
    const std::pair<std::string, std::string> cases[] = {
        {"DISPLAY= $program --help 2>/dev/null", "exit 0\nusage: velloransaver [--help] "},
        {"DISPLAY= $program --num-balls 3x 2>&1 >/dev/null", "exit 2\nvelloransaver: bad argument: --num-balls 3x\nusage: "},
        {"unset DISPLAY; $program 2>&1 >/dev/null", "exit 1\nvelloransaver: cannot open display (DISPLAY is not set)"},
        {"DISPLAY=" + eightBits.name + " $program --window-id 0x3fffffff 2>&1 >/dev/null", "exit 1\nvelloransaver: no window 0x3fffffff"},
        {"DISPLAY=" + eightBits.name + " $program --root 2>&1 >/dev/null", "exit 1\nvelloransaver: the window's visual has no true colours"}};
    for (const auto& [command, shown] : cases) {
        ::Run run;
        ASSERT_TRUE(run.Start("program=" VELLORAN_X11_PROGRAM "; (" + command + ")"));
        EXPECT_EQ(run.Ended(5).substr(0, shown.size()), shown) << command;
    }
}

// Its window destroyed, it ends with 0: once unmapped (-1), told only by the news; or as it draws (0), the server
// held while frames are sent and the program stopped while the window goes, so that it reads their errors with
// the news. SIGINT ends it by that signal, as the daemon expects.
TEST(Program, EndsCleanlyWhenItsWindowIsDestroyedOrASignalStopsIt)
{
    for (const int signal : {-1, 0, SIGINT}) {
        InAWindow w;
        // Ten small balls: some always move, and every frame draws.
        ASSERT_TRUE(w.Start("--refresh-rate 3 --num-balls 10 --ball-size 10")) << signal;
        if (signal < 0) XUnmapWindow(w.display, w.window);
        XSync(w.display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (signal > 0) kill(w.pid, signal);
        if (signal <= 0) {
            XGrabServer(w.display);
            XSync(w.display, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            kill(w.pid, SIGSTOP);
            waitpid(w.pid, nullptr, WUNTRACED);
            XDestroyWindow(w.display, w.window);
            XUngrabServer(w.display);
            XSync(w.display, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            kill(w.pid, SIGCONT);
        }
        EXPECT_EQ(w.Ended(5), signal > 0 ? "signal " + std::to_string(signal) + "\n" : "exit 0\n") << signal;
    }
}

TEST(XScreenSaverDaemon, ShowsTheBoardWhenActivatedAndEndsTheProgramWhenDeactivated)
{
    // The daemon starts no program as root: it runs as nobody, in a home holding a copy of the program.
    const Folder folder;
    ASSERT_FALSE(folder.path.empty());
    // $VELLORAN_DAEMON_PROGRAM names an installed program to run instead: a path, or a name the daemon looks up.
    const char* installed = std::getenv("VELLORAN_DAEMON_PROGRAM");
    const fs::path home = folder.path, program = installed ? installed : home / "velloransaver";
    if (!installed) fs::copy_file(VELLORAN_X11_PROGRAM, program);
    std::ofstream(home / ".xscreensaver") << "mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\n"
                                          << "splash: False\nprograms: \"Velloran Saver\" " << program.string() << " --root \\n\n";
    ASSERT_EQ(std::system(("chown -R nobody " + home.string()).c_str()), 0);

    InAWindow w;  // the daemon in the program's place
    ASSERT_NE(w.display, nullptr);
    w.window = DefaultRootWindow(w.display);
    ASSERT_TRUE(w.Run::Start("exec setsid runuser -u nobody -- env HOME=" + home.string() + " DISPLAY=" + w.name +
                             " xscreensaver --no-splash >" + (home / "daemon.log").string()));

    const auto command = [&](const std::string& text) {
        return std::system(("DISPLAY=" + w.name + " " + text + " >/dev/null 2>&1").c_str()) == 0;
    };
    // Asked to act before its window carries its version, the daemon now and then ends at once.
    ASSERT_TRUE(Within(10, [&] { return command("xscreensaver-command -version"); })) << "the daemon did not start";
    // Whether a process runs the program file, whose path no other has (a zombie runs none).
    const auto running = [&] { return command("pgrep -f '^" + program.string() + "'"); };
    ASSERT_TRUE(command("xscreensaver-command -activate"));
    ASSERT_TRUE(Within(10, running)) << "the daemon did not start the program";
    EXPECT_TRUE(Within(10, [&] { return w.Look().Board(); })) << "no board shown";

    ASSERT_TRUE(command("xscreensaver-command -deactivate"));
    EXPECT_TRUE(Within(5, [&] { return !running(); })) << "the program is still running";
}

}  // namespace
