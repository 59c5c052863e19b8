// Helpers of the X11 tests and benchmarks: a display of their own, the plain
// way of drawing a frame, and a comparison of two drawables in the server.
#pragma once
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>

#include <cstdio>
#include <string>

#include "x11/x11_view.h"

// An Xvfb server for one test, on a free display it picks itself (-displayfd), so that tests starting
// together never share one; stopped by its pid. Name() is empty when it did not start.
class Xvfb {
public:
    // screen: "WIDTHxHEIGHTxDEPTH"; openAccess (-ac) lets other users' programs connect.
    explicit Xvfb(const std::string& screen, bool openAccess = false)
        : out_(popen(("echo $$; exec Xvfb -displayfd 1 -nolisten tcp -screen 0 " + screen + (openAccess ? " -ac" : "") +
                      " 2>/dev/null").c_str(), "re"))
    {
        // Its pid, then the display number once it accepts connections.
        int number = -1;
        if (out_ && std::fscanf(out_, "%d %d", &pid_, &number) == 2) name_ = ":" + std::to_string(number);
    }
    ~Xvfb()
    {
        if (pid_ > 0) kill(pid_, SIGTERM);
        if (out_) pclose(out_);
    }
    const char* Name() const { return name_.c_str(); }

private:
    std::FILE* out_;
    pid_t pid_ = 0;
    std::string name_;
};

// One frame drawn the plain way: every disc afresh in a new black Pixmap, and
// the places of all pins and balls copied to the target; the wrap consumed.
inline void FreshFrame(Display* display, Visual* visual, World& world, Drawable target, int width, int height, int depth)
{
    X11Pen pen(display, target, visual, depth);
    pen.buffer = XCreatePixmap(display, target, unsigned(width), unsigned(height), unsigned(depth));
    pen.Fill(FramePen::Surface::kBuffer, Rect{0, 0, width, height});
    for (Disc* pin : world.pins) {
        pen.Fill(FramePen::Surface::kBuffer, pin->bounds);
        Draw(*pin, pen, FramePen::Surface::kBuffer);
    }
    for (Disc* ball : world.balls)
        if (ball->inPlay) Draw(*ball, pen, FramePen::Surface::kBuffer);
    pen.EraseSparks(world.sparks);
    for (Disc* pin : world.pins) pen.Copy(pin->bounds);
    for (Disc* ball : world.balls) {
        if (ball->inPlay) ForEachBallArea(*ball, [&](const Rect& r) { pen.Copy(r); });
        ball->wrapped = ball->wrapped && !ball->inPlay;
    }
    pen.DrawSparks(world.sparks);
    XFreePixmap(display, pen.buffer);
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
