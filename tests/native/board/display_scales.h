// The display scales that laptops mostly use, the whole ones and those between, and what a board shows at each
// on a display of 1024 by 768 pixels: its logical size (the display's pixels divided by the scale, truncated)
// and the drawn width of a pin of radius 32. Shared by every test of the display's scale.
#pragma once

struct DisplayScale {
    int dpi;  // dots per inch: Windows' LogPixels, X11's Xft.dpi
    double scale;
    int boardWidth, boardHeight, pinWidth;
};

constexpr int kScaledDisplayWidth = 1024, kScaledDisplayHeight = 768, kScaledPinRadius = 32;
constexpr DisplayScale kDisplayScales[] = {
    {96, 1.0, 1024, 768, 64}, {120, 1.25, 819, 614, 80}, {144, 1.5, 682, 512, 96},
    {168, 1.75, 585, 438, 112}, {192, 2.0, 512, 384, 128}, {288, 3.0, 341, 256, 192},
};
