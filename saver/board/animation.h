// One board's life, the same under every front end: a world laid out for an
// area, stepped and composed one frame a tick, its scenes ended and set up
// anew, at the pace the settings ask for.
//
// A front end holds one per board and keeps only its pen, its buffer and its
// event loop: it sets the animation up for its window's area, calls Tick when
// the delay that the last tick returned has passed, shows the frame whole when
// its window was uncovered, and tells of a new size or scale.
#pragma once
#include <cstdint>

#include "board/composition.h"
#include "sim/settings_reader.h"
#include "sim/world.h"

class Animation {
public:
    // The settings must outlive the animation: every scene is read from them,
    // the pace once, now. rules: the front end's (composition.h).
    Animation(SettingsReader& settings, CompositionRules rules);

    // From now on the board's scenes and steps draw from a random sequence of
    // its own, started at seed, and the program's sequence waits untouched: a
    // board beside others computes exactly what it would compute alone.
    void UseOwnSequence(uint32_t seed);

    // A new scene on an area of width by height of the target's pixels, at
    // the display's scale; previewRequest as the scene set-up takes it (only
    // the world's first scene decides).
    void SetUp(int32_t width, int32_t height, double scale, int previewRequest = 0);
    // The area or the scale may have changed: if so, a new scene on the new
    // board, drawn whole. True when something changed.
    bool Follow(int32_t width, int32_t height, double scale);

    // One frame: the world steps and is composed into the pen (everything
    // when whole); the frame is counted, and when it was the scene's last,
    // the target is cleared and the next scene set up, to be drawn from the
    // next tick on. The delay until the next tick, in milliseconds.
    uint32_t Tick(FramePen& pen, bool whole = false);
    // The current frame whole, without a step: what a paint or an uncovered
    // window needs.
    void Show(FramePen& pen) { composition_.Compose(world_, pen, board_, true); }
    // The pen's buffer is new, or the target may no longer show what it
    // holds: the next frame repaints everything.
    void Forget() { composition_.Forget(); }

    // The tick period: the "RefreshRate" setting plus 1 ms.
    uint32_t Period() const { return period_; }
    // The board: the area in logical pixels, the target's divided by the
    // scale (pixel_scale.h), left and top 0.
    const Rect& Board() const { return board_; }
    const World& BoardWorld() const { return world_; }

private:
    void NewScene(int previewRequest);

    SettingsReader& settings_;
    const uint32_t period_;
    Composition composition_;
    int32_t width_ = 0, height_ = 0;
    double scale_ = 1.0;
    Rect board_;
    World world_;
    bool ownSequence_ = false;
    uint32_t sequence_ = 0;
};
