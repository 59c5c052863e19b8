// Limits that keep the simulation sound for any stored setting and any board.
//
// The options dialog offers 1-10 balls, 4-200 pins and radii of 6-200 pixels,
// and views are at most a few thousand pixels wide; nothing below touches
// those values. Beyond them, values are capped so that no count, radius or
// grid can exhaust memory or overflow a 32-bit integer.
#pragma once
#include <cstdint>

// Counts above these are treated as these; counts of 0 or less stay as they are.
constexpr int32_t kMaxBalls = 10000;
constexpr int32_t kMaxPins = 10000;
// Radii (pixels) above this are treated as this. 4 x the cap still fits the
// cell size, and 2 x the cap the shrink of the pin area, in an int.
constexpr double kMaxRadius = 65536.0;
// Board coordinates are clamped to +-kMaxBoardCoord, so that sums and
// doubled coordinates of the layout stay inside an int.
constexpr int32_t kMaxBoardCoord = 1 << 28;
// The grid never has more cells than this; a cell that would be smaller is
// widened (a larger cell only makes the contact search look at more discs).
constexpr int64_t kMaxGridCells = int64_t(1) << 20;

// Truncation toward zero of a position, as every real-to-integer conversion of
// the world does. Values outside the int range saturate and NaN gives 0, where
// a plain cast would be undefined.
inline int32_t TruncToInt(double v)
{
    if (v > -2147483649.0 && v < 2147483648.0) return static_cast<int32_t>(v);
    if (v >= 2147483648.0) return INT32_MAX;
    if (v <= -2147483649.0) return INT32_MIN;
    return 0;
}
