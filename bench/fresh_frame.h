// The plain frame that both drawing benchmarks set against the kept buffer:
// every disc drawn afresh over a buffer the caller has made black, the places
// of all pins and balls copied to the target, the wrap consumed.
#pragma once
#include "board/composition.h"
#include "board/frame_damage.h"

inline void DrawFreshFrame(World& world, FramePen& pen)
{
    using Surface = FramePen::Surface;
    for (Disc* pin : world.pins) {
        pen.Fill(Surface::kBuffer, pin->bounds);
        Draw(*pin, pen, Surface::kBuffer);
    }
    for (Disc* ball : world.balls)
        if (ball->inPlay) Draw(*ball, pen, Surface::kBuffer);
    pen.EraseSparks(world.sparks);
    for (Disc* pin : world.pins) pen.Copy(pin->bounds);
    for (Disc* ball : world.balls) {
        if (ball->inPlay) ForEachBallArea(*ball, [&](const Rect& r) { pen.Copy(r); });
        ball->wrapped = ball->wrapped && !ball->inPlay;
    }
    pen.DrawSparks(world.sparks);
}
