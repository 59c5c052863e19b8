// The installer's backdrop: a vertical gradient from pure blue at the top to
// black at the bottom, painted as 256 horizontal bands.
#pragma once

#include <array>

struct Band {
    int left, top, right, bottom;
    unsigned char blue;  // red and green are 0
};

constexpr int kBandCount = 256;

// The bands for a client area of this size. The band height is held in
// single precision and every edge is truncated, so unequal heights arise when
// the height is not a multiple of 256, yet each band starts where the one
// above it ends. Each band reaches one pixel past the right edge.
std::array<Band, kBandCount> BackdropBands(int clientRight, int clientBottom);
