// The X11 pen against the software rasteriser; the composition above it is
// checked natively, frame by frame (tests/native/board).
#include <gtest/gtest.h>

#include "raster.h"
#include "x11_support.h"

namespace {

TEST(X11Pen, DrawsAsTheRasteriserDoes)
{
    Xvfb xvfb("200x200x24");
    Display* display = XOpenDisplay(xvfb.Name());
    ASSERT_NE(display, nullptr) << "no Xvfb display";
    const int screen = DefaultScreen(display), depth = DefaultDepth(display, screen);
    const Pixmap target = XCreatePixmap(display, RootWindow(display, screen), 100, 100, unsigned(depth));
    {
        X11Pen pen(display, target, DefaultVisual(display, screen), depth);
        pen.buffer = XCreatePixmap(display, target, 100, 100, unsigned(depth));
        raster::CheckPen(pen, [&] {
            XImage* image = XGetImage(display, target, 0, 0, 100, 100, AllPlanes, ZPixmap);
            std::vector<uint32_t> pixels(10000);
            for (int i = 0; i < 10000; ++i) pixels[size_t(i)] = uint32_t(XGetPixel(image, i % 100, i / 100));
            XDestroyImage(image);
            return pixels;
        });
        XFreePixmap(display, pen.buffer);
    }
    XFreePixmap(display, target);
    XCloseDisplay(display);
}

}  // namespace
