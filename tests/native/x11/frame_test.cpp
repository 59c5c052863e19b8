// The X11 pen against the software rasteriser; the composition above it is
// checked natively, frame by frame (tests/native/board).
#include <gtest/gtest.h>

#include "raster.h"
#include "x11_support.h"

namespace {

// Each colour as near as the screen's depth allows: 5, 6 and 5 bits, 8, or 10 a
// component; the drawing where pixels read as the rasteriser's, at 24 bits.
TEST(X11Pen, GivesEveryColourTheNearestPixelAndDrawsAsTheRasteriserDoes)
{
    const Colour colours[] = {0xFFFFFF, 0x123456, 0x00FF80};
    const std::pair<int, std::vector<unsigned long>> cases[] = {{16, {0xFFFF, 0x51A2, 0x87E0}},
        {24, {0xFFFFFF, 0x563412, 0x80FF00}}, {30, {0x3FFFFFFF, 0x15934448, 0x202FFC00}}};
    for (const auto& [depth, pixels] : cases) {
        Xvfb xvfb("200x200x" + std::to_string(depth));
        Display* display = XOpenDisplay(xvfb.name.c_str());
        ASSERT_NE(display, nullptr) << depth;
        const int screen = DefaultScreen(display);
        const Pixmap target = XCreatePixmap(display, RootWindow(display, screen), 100, 100, unsigned(depth));
        {
            X11Pen pen(display, target, DefaultVisual(display, screen), depth);
            for (int i = 0; i < 3; ++i) EXPECT_EQ(pen.Pixel(colours[i]), pixels[size_t(i)]) << depth << " bits, colour " << i;
            pen.buffer = XCreatePixmap(display, target, 100, 100, unsigned(depth));
            if (depth == 24) raster::CheckPen(pen, [&] {
                XImage* image = XGetImage(display, target, 0, 0, 100, 100, AllPlanes, ZPixmap);
                std::vector<uint32_t> read(10000);
                for (int i = 0; i < 10000; ++i) read[size_t(i)] = uint32_t(XGetPixel(image, i % 100, i / 100));
                XDestroyImage(image);
                return read;
            });
        }
        XCloseDisplay(display);
    }
}

}  // namespace
