// The display's scale: how many of a target's pixels make one logical pixel
// of the board (1 at 96 dots per inch, 2 at 192). The board is laid out and
// simulated in logical pixels, so a scene and its trace do not depend on the
// scale; pens draw discs, sparks and fills at the target's full resolution,
// mapping every board coordinate through PixelScale. At a scale of 1 every
// coordinate is itself, and every pixel is what it always was.
#pragma once
#include <cmath>
#include <cstdint>

#include "sim/world.h"

// A length in logical pixels: the target's divided by the scale, truncated.
// Scales up to 1 leave it as it is: a board never grows beyond its target.
inline int32_t LogicalPixels(int32_t targetPixels, double scale)
{
    return scale > 1.0 ? static_cast<int32_t>(targetPixels / scale) : targetPixels;
}

class PixelScale {
public:
    explicit PixelScale(double scale) : scale_(scale > 1.0 ? scale : 1.0) {}

    bool IsOne() const { return scale_ == 1.0; }

    // A board coordinate on the target, rounded: rectangles that meet on the
    // board meet on the target, and those apart stay apart.
    int32_t At(int32_t v) const { return IsOne() ? v : static_cast<int32_t>(std::floor(v * scale_ + 0.5)); }
    Rect Of(const Rect& r) const { return Rect{At(r.left), At(r.top), At(r.right), At(r.bottom)}; }

    // A spark's segment (end point excluded) as the lines that draw it one
    // logical pixel thick: the segment at the target's resolution, repeated at
    // offsets of 0 to Thickness() - 1 in each direction. Every line stays in
    // the target's rectangle of the logical pixels that the segment crosses.
    template <class Line> void ForEachLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Line&& line) const
    {
        const int32_t thick = IsOne() ? 1 : static_cast<int32_t>(scale_);
        const int32_t ax = At(x0), ay = At(y0), bx = At(x1), by = At(y1);
        for (int32_t dy = 0; dy < thick; ++dy) {
            for (int32_t dx = 0; dx < thick; ++dx) line(ax + dx, ay + dy, bx + dx, by + dy);
        }
    }

private:
    double scale_;
};
