// Which parts of the board one frame can change, worked out without drawing.
//
// Both front ends (the Win32 view and the X11 program) keep one back buffer
// for the life of their window and repaint in it only what can differ from
// what the window already shows: the old and new
// places of the balls in play, the segments of the sparks that are painted
// over on the window, and pins whose colour or bounds have changed since the
// last frame. Every pin that lies in such an area is repainted, clipped to the
// areas, so that the buffer stays what a fresh black one would hold after
// drawing every disc, and only those pixels are copied to the window.
#pragma once
#include <algorithm>
#include <cstddef>
#include <vector>

#include "sim/world.h"

// A pin as the previous frame found it before drawing it.
struct ShownPin {
    Rect bounds;
    Colour colour = 0;
};

struct FrameDamage {
    // Where the back buffer is cleared and repainted.
    std::vector<Rect> areas;
    // Pins that meet an area, in array order (drawing order).
    std::vector<size_t> pins;
    // What goes to the window: each ball's areas whole, and the other areas
    // only where a repainted pin lies (elsewhere the window keeps its pixels),
    // one box per pin.
    std::vector<Rect> copies;
};

bool IsEmpty(const Rect& r);
// Whether two rectangles share a pixel (right and bottom edges excluded).
bool Meets(const Rect& a, const Rect& b);
Rect Intersection(const Rect& a, const Rect& b);
// The smallest rectangle around both; an empty one contributes nothing.
Rect Union(const Rect& a, const Rect& b);

// A ball's areas of this frame: the union of its old and new bounds, or both
// separately when it has just wrapped (their union would span the board).
template <class Visit> void ForEachBallArea(const Disc& ball, Visit&& visit)
{
    if (ball.wrapped) {
        visit(ball.bounds);
        visit(ball.prevBounds);
    } else {
        visit(Union(ball.bounds, ball.prevBounds));
    }
}

// Every spark of every live burst, with the burst's first spark (which
// carries the burst's life).
template <class Visit> void ForEachSparkOfLiveBursts(const SparkRing& sparks, Visit&& visit)
{
    sparks.ForEachLive([&](int32_t, const std::vector<Spark>& burst) {
        if (burst.empty()) return;
        const size_t count = std::min(burst.size(), size_t(std::max(sparks.perBurst, 0)));
        for (size_t i = 0; i < count; ++i) visit(burst.front(), burst[i]);
    });
}

// shown: the pins as the previous frame found them. False when it does not
// describe these pins (a new scene): then the frame must repaint everything.
bool FindFrameDamage(const World& world, const std::vector<ShownPin>& shown, FrameDamage& damage);
// Records the pins as this frame finds them, before it draws them.
void NoteShownPins(const World& world, std::vector<ShownPin>& shown);
