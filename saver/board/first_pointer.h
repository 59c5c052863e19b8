// The saver's rule for the pointer, on every platform: the first position a
// board's window learns is only remembered, since the system may report one
// as soon as the window appears under the pointer; any later position other
// than it, by however little, is a real move. Positions are in the
// platform's own units (whole pixels on Windows, 1/256 pixels on Wayland).
#pragma once
#include <cstdint>

struct FirstPointer {
    bool known = false;
    int32_t x = 0, y = 0;

    // True when a report of the pointer at (atX, atY) is a real move.
    bool MovedTo(int32_t atX, int32_t atY)
    {
        if (!known) {
            known = true, x = atX, y = atY;
            return false;
        }
        return atX != x || atY != y;
    }
};
