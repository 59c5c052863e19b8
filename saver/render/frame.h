// Frame composition: what one tick or one paint puts on the window.
//
// Frames are built from dirty rectangles: a back buffer made for each frame
// repaints only what can have changed (every pin's bounds, each ball in
// play's old and new bounds) and only those rectangles are copied to the
// window; everything else stays as earlier frames left it. Sparks never enter
// the back buffer: they are drawn on the window after the copy and painted
// over in black before the next one.
#pragma once
#include <windows.h>

#include "sim/world.h"

// Composes one frame of the world onto target, within its clip box.
void DrawFrame(World& world, HDC target);

// A filled circle in the disc's colour; recomputes its bounds first. A disc of
// colour 0 draws nothing and keeps its bounds. Always true.
bool Draw(Disc& disc, HDC target);

// Paints black over the segments that the previous frame's DrawSparks drew.
void EraseSparks(const SparkRing& sparks, HDC target);
// One white segment per spark of every burst that still has frames to live.
void DrawSparks(const SparkRing& sparks, HDC target);
