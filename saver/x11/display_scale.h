// The display's scale for the X11 program, as desktops announce it: the
// Xft.dpi resource divided by 96, or 1 when it is not set (or below 96). The
// board is laid out in logical pixels, the window's divided by the scale, and
// drawn at the window's full resolution, so a ball has the same physical size
// at every scale.
#pragma once
#include <X11/Xlib.h>

// From the text of the screen's resource database (XResourceManagerString):
// lines of "name:\tvalue". Null or without Xft.dpi gives 1.
double ScaleFromResources(const char* resources);

double DisplayScale(Display* display);
