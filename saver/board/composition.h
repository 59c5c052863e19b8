// How a frame of the pin board is composed, once for every front end.
//
// A front end keeps one back buffer for the life of its window and supplies a
// pen that draws on it and on the target (the window). The composition decides
// what to repaint (everything, or what frame_damage.h finds), repaints it in
// the buffer in drawing order, paints last frame's sparks over in black on the
// target, copies what changed, consumes the balls' wraps and draws the live
// sparks on the target. Sparks never enter the buffer.
//
// Every coordinate that reaches a pen is a board coordinate (the world's
// pixels); a pen that draws at another resolution maps them itself.
#pragma once
#include <vector>

#include "board/frame_damage.h"
#include "sim/world.h"

// What a front end draws with. Fills are black; a copy takes a rectangle of
// the buffer to the same place on the target. Rectangles may reach beyond
// the surfaces: a pen keeps to them.
class FramePen {
public:
    enum class Surface { kBuffer, kTarget };

    virtual ~FramePen() = default;

    // A frame's drawing starts; false when it cannot draw at all now (the
    // frame is skipped and the next one repaints everything). End follows
    // every Begin that returned true.
    virtual bool Begin() { return true; }
    virtual void End() {}
    // Whether there is a back buffer; without one a frame goes straight onto
    // the target.
    virtual bool Buffered() const { return true; }

    virtual void Fill(Surface surface, const Rect& r) = 0;
    // The filled circle inscribed in the disc's bounds, in its colour. Nothing
    // may land outside the bounds: the damage logic relies on it.
    virtual void Draw(Surface surface, const Disc& disc) = 0;
    // Paints black over the segments that the previous frame's DrawSparks
    // drew, on the target (see ForEachSparkToErase).
    virtual void EraseSparks(const SparkRing& sparks) = 0;
    // One white segment per spark that is still to be seen, on the target
    // (see ForEachSparkToDraw).
    virtual void DrawSparks(const SparkRing& sparks) = 0;
    virtual void Copy(const Rect& r) = 0;
    // Later drawing in the buffer stays inside these areas; none lifts the
    // restriction. False when the restriction cannot be made.
    virtual bool ClipTo(const std::vector<Rect>& areas) = 0;
};

// Where the front ends differ, each for a reason of its platform.
struct CompositionRules {
    // A frame that repaints everything copies the whole buffer, not only the
    // places of the discs: the target may show anything (another program's
    // window, an uncovered area), not a cleared board.
    bool copyWholeBuffer = false;
    // The frame after a whole one is whole too: a paint's clipping may have
    // kept part of the whole frame from the target.
    bool wholeAfterWhole = false;
};

// A segment from (x0, y0) to (x1, y1), end point excluded. A segment of no
// length paints nothing, so neither visit gets one.
struct SparkSegment {
    int32_t x0, y0, x1, y1;
};

// Last frame's segments: previous position to position. No life test, so a
// burst's last frame is erased too.
template <class Visit> void ForEachSparkToErase(const SparkRing& sparks, Visit&& visit)
{
    ForEachSparkOfLiveBursts(sparks, [&](const Spark&, const Spark& s) {
        if (s.prevX != s.x || s.prevY != s.y) visit(SparkSegment{s.prevX, s.prevY, s.x, s.y});
    });
}

// This frame's segments: position to position plus velocity. A burst at life
// 1 leaves the ring in the next step, before anything could erase it: drawing
// it now would leave its segments behind.
template <class Visit> void ForEachSparkToDraw(const SparkRing& sparks, Visit&& visit)
{
    ForEachSparkOfLiveBursts(sparks, [&](const Spark& first, const Spark& s) {
        if (first.life > 1 && (s.vx || s.vy)) visit(SparkSegment{s.x, s.y, s.x + s.vx, s.y + s.vy});
    });
}

// A disc drawn as drawing always has: a disc of colour 0 draws nothing and
// keeps its bounds; any other first has its bounds recomputed.
void Draw(Disc& disc, FramePen& pen, FramePen::Surface surface);

class Composition {
public:
    explicit Composition(CompositionRules rules) : rules_(rules) {}

    // One frame of the world onto the pen's target, whose board is this size:
    // only what changed, or everything when whole, when the buffer knows
    // nothing of the target yet, and at the first frame of a scene.
    void Compose(World& world, FramePen& pen, const Rect& board, bool whole);
    // The buffer is new, or the target may no longer show what it holds: the
    // next frame repaints everything.
    void Forget() { wholeNext_ = true; }

private:
    void Direct(World& world, FramePen& pen);

    CompositionRules rules_;
    bool wholeNext_ = true;
    std::vector<ShownPin> shown_;
    FrameDamage damage_;
};
