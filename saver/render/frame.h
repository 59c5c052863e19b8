// Frame composition: what one tick or one paint puts on the window.
//
// Frames are built in a back buffer that the view keeps for its whole life
// and copied to the window by rectangles; everything else on the window stays
// as earlier frames left it. The buffer always holds, wherever a disc lies,
// what a fresh black bitmap would hold after every pin and every ball in play
// had been drawn on it in order. So a tick repaints and copies only the
// places that can have changed (see frame_damage.h) and the window shows the
// same pixels as if every disc were redrawn in a new buffer every frame, at a
// fraction of the cost: no full-screen bitmap is made and freed per frame, and
// a pin that nothing touched is neither drawn nor copied. Sparks never enter
// the buffer: they are drawn on the window after the copy and painted over in
// black before the next one.
#pragma once
#include <windows.h>

#include <vector>

#include "board/frame_damage.h"
#include "sim/world.h"

class FrameComposer {
public:
    FrameComposer() = default;
    ~FrameComposer();
    FrameComposer(const FrameComposer&) = delete;
    FrameComposer& operator=(const FrameComposer&) = delete;

    // One tick's frame onto target, a context of a client area of the given
    // size. Repaints everything when the buffer is new, at the first frame of
    // a scene and after a paint; otherwise only what changed.
    void DrawFrame(World& world, HDC target, const RECT& client);
    // The whole frame, as a paint needs it (the paint's clipping keeps it to
    // the area to paint). The next frame repaints everything too.
    void DrawWhole(World& world, HDC target, const RECT& client);

private:
    void Compose(World& world, HDC target, const RECT& client, bool whole);
    bool KeepBuffer(HDC target, const RECT& client);
    void ReleaseBuffer();

    HDC buffer_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ keptBitmap_ = nullptr;  // selected back before the bitmap is deleted
    int width_ = 0, height_ = 0;
    bool wholeNext_ = true;
    std::vector<ShownPin> shown_;
    FrameDamage damage_;
};

// A filled circle in the disc's colour; recomputes its bounds first. A disc of
// colour 0 draws nothing and keeps its bounds. Always true.
bool Draw(Disc& disc, HDC target);

// Paints black over the segments that the previous frame's DrawSparks drew.
void EraseSparks(const SparkRing& sparks, HDC target);
// One white segment per spark of every burst that still has frames to live.
void DrawSparks(const SparkRing& sparks, HDC target);
