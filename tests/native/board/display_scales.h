// The display scales that laptops mostly use, the whole ones and those between, and the drawn width of a pin of
// radius 32 at each. Shared by every test of the display's scale.
#pragma once

struct DisplayScale {
    int dpi;  // dots per inch: Windows' LogPixels, X11's Xft.dpi
    double scale;
    int pinWidth;
};

constexpr int kScaledPinRadius = 32;
constexpr DisplayScale kDisplayScales[] = {
    {96, 1.0, 64}, {120, 1.25, 80}, {144, 1.5, 96}, {168, 1.75, 112}, {192, 2.0, 128}, {288, 3.0, 192},
};
