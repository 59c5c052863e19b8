#include "board/composition.h"

void Draw(Disc& disc, FramePen& pen, FramePen::Surface surface)
{
    if (disc.colour == 0) return;
    disc.RecomputeBounds();
    pen.Draw(surface, disc);
}

void Composition::Compose(World& world, FramePen& pen, const Rect& board, bool whole)
{
    using Surface = FramePen::Surface;
    if (!pen.Begin()) {
        // The frame is skipped; the next one makes up for everything.
        wholeNext_ = true;
        return;
    }
    if (!pen.Buffered()) {
        Direct(world, pen);
        pen.End();
        return;
    }

    // At a scale that is not whole the target reaches up to a logical pixel
    // beyond the board's last whole one, where discs at the edge show too.
    const Rect all{board.left, board.top, board.right + 1, board.bottom + 1};
    bool everything = whole || wholeNext_ || !FindFrameDamage(world, shown_, damage_);
    NoteShownPins(world, shown_);
    if (!everything) {
        for (const Rect& a : damage_.areas) pen.Fill(Surface::kBuffer, a);
        everything = !pen.ClipTo(damage_.areas);
    }
    if (everything) {
        // As a fresh black buffer would be: every disc drawn in order.
        pen.Fill(Surface::kBuffer, all);
        for (Disc* pin : world.pins) {
            pen.Fill(Surface::kBuffer, pin->bounds);
            Draw(*pin, pen, Surface::kBuffer);
        }
    } else {
        // The same, inside the areas only: every pin that reaches into them
        // is drawn there in order, over black, and the rest of the buffer
        // keeps what earlier frames left, which is what they would draw.
        for (size_t i : damage_.pins) {
            pen.Fill(Surface::kBuffer, world.pins[i]->bounds);
            Draw(*world.pins[i], pen, Surface::kBuffer);
        }
    }
    for (Disc* ball : world.balls) {
        if (ball->inPlay) Draw(*ball, pen, Surface::kBuffer);
    }
    if (!everything) pen.ClipTo({});

    pen.EraseSparks(world.sparks);
    if (everything && rules_.copyWholeBuffer) {
        pen.Copy(all);
    } else if (everything) {
        // Pins are copied where drawing has just put them.
        for (Disc* pin : world.pins) pen.Copy(pin->bounds);
        for (Disc* ball : world.balls) {
            if (ball->inPlay) ForEachBallArea(*ball, [&](const Rect& r) { pen.Copy(r); });
        }
    } else {
        for (const Rect& r : damage_.copies) pen.Copy(r);
    }
    // The wrap is consumed: from now on the ball's old and new places are close.
    for (Disc* ball : world.balls) {
        if (ball->inPlay) ball->wrapped = false;
    }
    pen.DrawSparks(world.sparks);
    pen.End();
    wholeNext_ = whole && rules_.wholeAfterWhole;
}

void Composition::Direct(World& world, FramePen& pen)
{
    // Everything straight onto the target, every ball whether in play or not;
    // the wrap is left alone, since no copy depends on it.
    using Surface = FramePen::Surface;
    for (Disc* ball : world.balls) {
        const Rect& b = ball->prevBounds;
        pen.Fill(Surface::kTarget, Rect{b.left - 1, b.top - 1, b.right + 1, b.bottom + 1});
    }
    pen.EraseSparks(world.sparks);
    for (Disc* pin : world.pins) Draw(*pin, pen, Surface::kTarget);
    for (Disc* ball : world.balls) Draw(*ball, pen, Surface::kTarget);
    pen.DrawSparks(world.sparks);
}
