// Two worlds from one seed, one drawn afresh every frame, the other by X11Frames: every frame agrees in every pixel.
#include <gtest/gtest.h>

#include "frame_cases.h"
#include "x11_support.h"

namespace {

struct X11FrameComposition : ::testing::TestWithParam<FrameCase> {};

TEST_P(X11FrameComposition, ShowsWhatEveryDiscDrawnAfreshEveryFrameShows)
{
    const FrameCase& c = GetParam();
    Xvfb xvfb("1024x768x24");
    Display* display = XOpenDisplay(xvfb.Name());
    ASSERT_NE(display, nullptr) << "no Xvfb display";
    const int depth = DefaultDepth(display, DefaultScreen(display));
    // Pixmaps stand in for the windows: their pixels can always be read back.
    Pixmap canvases[2];
    for (Pixmap& canvas : canvases)
        canvas = XCreatePixmap(display, DefaultRootWindow(display), unsigned(c.width), unsigned(c.height), unsigned(depth));
    {
        X11Frames kept(display, canvases[1], DefaultVisual(display, DefaultScreen(display)), depth, c.width, c.height);
        const auto clear = [&](int i) { i == 0 ? void(XFillRectangle(display, canvases[0], DefaultGC(display, 0), 0, 0, unsigned(c.width), unsigned(c.height))) : kept.Clear(); };
        clear(0), clear(1);
        RunFrameCase(
            c,
            [&](World& world, int i, bool whole) {
                if (i == 0) FreshFrame(display, DefaultVisual(display, DefaultScreen(display)), world, canvases[0], c.width, c.height, depth);
                else whole ? kept.DrawWhole(world) : kept.DrawFrame(world);
            },
            clear, [&] { return SamePixels(display, canvases[0], canvases[1], c.width, c.height, depth); });
    }
    for (Pixmap canvas : canvases) XFreePixmap(display, canvas);
    XCloseDisplay(display);
}

INSTANTIATE_TEST_SUITE_P(Frame, X11FrameComposition, ::testing::ValuesIn(kFrameCases));

}  // namespace
