// Frame composition on Windows: the pen and the back buffer under the
// portable composition (board/composition.h).
//
// The view keeps one back buffer for its whole life and copies it to the
// window by rectangles; everything else on the window stays as earlier frames
// left it. The buffer always holds, wherever a disc lies, what a fresh black
// bitmap would hold after every pin and every ball in play had been drawn on
// it in order. So a tick repaints and copies only the places that can have
// changed, and the window shows the same pixels as if every disc were redrawn
// in a new buffer every frame, at a fraction of the cost: no full-screen
// bitmap is made and freed per frame, and a pin that nothing touched is
// neither drawn nor copied.
#pragma once
#include <windows.h>

#include "board/composition.h"
#include "board/pixel_scale.h"
#include "sim/world.h"

// GDI drawing on a target context and, when there is one, a buffer context,
// both at the display's scale (pixel_scale.h). A frame's black brush is made
// by Begin and freed by End.
class GdiPen : public FramePen {
public:
    // buffer: null to draw straight onto the target.
    GdiPen(HDC target, HDC buffer, double scale = 1.0) : target_(target), buffer_(buffer), scale_(scale) {}

    bool Begin() override;
    void End() override;
    bool Buffered() const override { return buffer_ != nullptr; }
    void Fill(Surface surface, const Rect& r) override;
    // One Ellipse over the bounds, with a pen and a brush of the disc's colour.
    void Draw(Surface surface, const Disc& disc) override;
    // Stock pens, one line per spark, each leaving out its end point.
    void EraseSparks(const SparkRing& sparks) override;
    void DrawSparks(const SparkRing& sparks) override;
    void Copy(const Rect& r) override;
    // A region of the areas selected into the buffer; false when none can be made.
    bool ClipTo(const std::vector<Rect>& areas) override;

private:
    HDC On(Surface surface) const { return surface == Surface::kBuffer && buffer_ ? buffer_ : target_; }

    void Lines(const SparkSegment& s);

    HDC target_, buffer_;
    PixelScale scale_;
    HBRUSH black_ = nullptr;
};

// The view's back buffer, kept from frame to frame while the window's size
// stays the same.
class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // The buffer for target, a context of a client area of the given size;
    // null when none can be made (the frame then goes straight onto the
    // target). fresh: it was made anew and knows nothing of the window.
    HDC For(HDC target, const RECT& client, bool* fresh);

private:
    void Release();

    HDC buffer_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ keptBitmap_ = nullptr;  // selected back before the bitmap is deleted
    int width_ = 0, height_ = 0;
};
