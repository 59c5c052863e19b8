// The plain way of drawing a frame, against which the X11 tests and
// benchmarks hold the kept Pixmap.
#pragma once
#include <X11/Xlib.h>

#include "x11/x11_view.h"

// One frame drawn the plain way: every disc afresh in a new black Pixmap, and
// the places of all pins and balls copied to the target; the wrap consumed.
inline void FreshFrame(X11Pen& pen, World& world, Drawable target, int width, int height, int depth)
{
    const Pixmap buffer = XCreatePixmap(pen.display, target, unsigned(width), unsigned(height), unsigned(depth));
    pen.Fill(buffer, Rect{0, 0, width, height}, 0);
    for (Disc* pin : world.pins) {
        pen.Fill(buffer, pin->bounds, 0);
        pen.Draw(buffer, *pin);
    }
    for (Disc* ball : world.balls)
        if (ball->inPlay) pen.Draw(buffer, *ball);
    pen.EraseSparks(target, world.sparks);
    for (Disc* pin : world.pins) pen.Copy(buffer, target, pin->bounds);
    for (Disc* ball : world.balls) {
        if (ball->inPlay) ForEachBallArea(*ball, [&](const Rect& r) { pen.Copy(buffer, target, r); });
        ball->wrapped = ball->wrapped && !ball->inPlay;
    }
    pen.DrawSparks(target, world.sparks);
    XFreePixmap(pen.display, buffer);
}
