// The display monitors, which of them show a board, and their scale: the
// factor by which a display's pixels outnumber the logical pixels that a
// board is laid out and simulated in (1 at 96 dots per inch, 2 at 192).
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "board/pixel_scale.h"

// A display monitor: its rectangle in virtual-screen coordinates, whether it
// is the primary one, and its scale.
struct MonitorArea {
    RECT rect;
    bool primary;
    double scale = 1.0;
};

// Where the monitors come from: the system's display monitors, in the
// system's order, unless a test puts its own list in their place.
using MonitorSource = std::vector<MonitorArea> (*)();
std::vector<MonitorArea> SystemMonitors();
void SetMonitorSource(MonitorSource source);  // nullptr restores SystemMonitors
std::vector<MonitorArea> Monitors();

// The monitors that show a board: the primary one, or every one when the
// stored "Monitors" says so (monitors as the saver reads it, clamped).
std::vector<MonitorArea> BoardMonitors(uint32_t monitors);

// The scale of a window's pixels: the window's own where the system knows it
// (Windows 10 1607 on), else its monitor's (8.1 on), else the system's one.
double WindowScale(HWND window);
