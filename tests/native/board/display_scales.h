// The display scales that laptops mostly use, between the whole ones, and what a board shows at each on a
// display of 1024 by 768 pixels: its logical size (the display's pixels divided by the scale, truncated) and
// the drawn width of a pin of radius 40. Shared by the Windows and the X11 tests of the display's scale.
#pragma once

struct DisplayScale {
    int dpi;  // dots per inch: Windows' LogPixels, X11's Xft.dpi
    double scale;
    int boardWidth, boardHeight, pinWidth;
};

constexpr int kScaledDisplayWidth = 1024, kScaledDisplayHeight = 768, kScaledPinRadius = 40;
constexpr DisplayScale kDisplayScales[] = {
    {96, 1.0, 1024, 768, 80}, {120, 1.25, 819, 614, 100}, {144, 1.5, 682, 512, 120},
    {168, 1.75, 585, 438, 140}, {192, 2.0, 512, 384, 160},
};
