// A pen for plain pixel memory: the buffer and the target are 32-bit pixels
// 0x00RRGGBB (the order of Wayland's XRGB8888 and of most 24-bit screens),
// drawn by the CPU. Any front end that hands its frames over as memory draws
// with it, at the display's scale (pixel_scale.h).
#pragma once
#include <cstdint>
#include <vector>

#include "board/composition.h"
#include "board/pixel_scale.h"

// Rows of pixels; stride in pixels. Null pixels: nothing to draw on.
struct PixelImage {
    uint32_t* pixels = nullptr;
    int32_t width = 0, height = 0, stride = 0;
};

class MemoryPen : public FramePen {
public:
    explicit MemoryPen(double scale = 1.0) : scale_(scale) {}

    static uint32_t Pixel(Colour colour)
    {
        return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    }

    void SetBuffer(const PixelImage& image) { buffer_ = image; }
    void SetTarget(const PixelImage& image) { target_ = image; }

    // Every pixel of the target black, whatever the board covers.
    void ClearTarget();

    void Fill(Surface surface, const Rect& r) override;
    // The pixels whose centres lie inside the ellipse inscribed in the bounds.
    void Draw(Surface surface, const Disc& disc) override;
    // Lines that leave out their end point, as on Windows.
    void EraseSparks(const SparkRing& sparks) override;
    void DrawSparks(const SparkRing& sparks) override;
    void Copy(const Rect& r) override;
    bool ClipTo(const std::vector<Rect>& areas) override;

    // The target's rectangles drawn on since the last call, in its pixels and
    // within it: what a compositor must be told has changed.
    std::vector<Rect> TakeDamage();

private:
    PixelImage& On(Surface surface) { return surface == Surface::kBuffer ? buffer_ : target_; }
    // Pixels x0 to x1 - 1 of row y, within the image and, in the buffer, the clip.
    void Span(Surface surface, int32_t y, int32_t x0, int32_t x1, uint32_t pixel);
    void Line(const SparkSegment& s, uint32_t pixel);
    void Damage(const Rect& r);

    PixelScale scale_;
    PixelImage buffer_, target_;
    std::vector<Rect> clip_;  // in the target's pixels; empty: none
    std::vector<Rect> damage_;
};
