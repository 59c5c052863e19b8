// The pin board in an X window: the pen and the Pixmap under the portable
// composition (board/composition.h), so the same frames as the Win32 view's.
//
// The Pixmap is kept for the window's life and always holds what a fresh
// black one would hold after every pin and every ball in play had been drawn
// on it in order.
#pragma once
#include <X11/Xlib.h>

#include <vector>

#include "board/composition.h"
#include "board/pixel_scale.h"
#include "sim/settings_reader.h"
#include "sim/world.h"

// Drawing the board's pieces with one GC, in a Pixmap (the buffer) and on a
// target, at the display's scale (pixel_scale.h). Colours become pixels of a
// TrueColor visual (every X server of today).
class X11Pen : public FramePen {
public:
    X11Pen(Display* display, Drawable target, Visual* visual, int depth, double scale = 1.0);
    ~X11Pen() override;
    X11Pen(const X11Pen&) = delete;
    X11Pen& operator=(const X11Pen&) = delete;

    unsigned long Pixel(Colour colour) const;
    void Fill(Surface surface, const Rect& r) override;
    // XFillArc over the bounds.
    void Draw(Surface surface, const Disc& disc) override;
    // Lines that leave out their end point, as on Windows.
    void EraseSparks(const SparkRing& sparks) override;
    void DrawSparks(const SparkRing& sparks) override;
    void Copy(const Rect& r) override;
    bool ClipTo(const std::vector<Rect>& areas) override;

    Display* const display;
    const Drawable target;
    Pixmap buffer = 0;

private:
    Drawable On(Surface surface) const { return surface == Surface::kBuffer ? buffer : target; }
    void Line(const SparkSegment& s);

    PixelScale scale_;
    GC gc_;
    unsigned long masks_[3];  // red, green, blue
    unsigned long opaque_;    // bits of a depth-32 visual outside the colour masks
    bool clipped_ = false;
};

// The frames of one world on one target (a window, or a Pixmap in tests).
class X11Frames {
public:
    // width and height: the target's, in its own pixels.
    X11Frames(Display* display, Drawable target, Visual* visual, int depth, int width, int height,
              double scale = 1.0);
    ~X11Frames();
    X11Frames(const X11Frames&) = delete;
    X11Frames& operator=(const X11Frames&) = delete;

    // A tick's frame: only what changed, or everything when the Pixmap knows
    // nothing of the target yet (a new size, the first frame of a scene).
    void DrawFrame(World& world) { composition_.Compose(world, pen, Board(), false); }
    // The whole frame, every pixel of the target, as an Expose needs it.
    void DrawWhole(World& world) { composition_.Compose(world, pen, Board(), true); }
    // The board that the target shows: its size in logical pixels.
    Rect Board() const { return Rect{0, 0, LogicalPixels(width_, scale_), LogicalPixels(height_, scale_)}; }
    // The target black, as after the last frame of a scene.
    void Clear();
    // A new Pixmap for the target's new size.
    void Resize(int width, int height);

    X11Pen pen;

private:
    int depth_;
    double scale_;
    int width_ = 0, height_ = 0;
    // The target may show anything where no disc lies: a whole frame copies
    // every pixel, and after it the window shows the Pixmap whole.
    Composition composition_{CompositionRules{true, false}};
};

// The board in the window the program draws into: the world, its frames and
// the settings every scene is built from.
class WindowBoard {
public:
    // attributes: the window's, for its size, visual and depth. The board is
    // laid out in logical pixels, the window's divided by the display's scale
    // (display_scale.h).
    WindowBoard(Display* display, Window window, const XWindowAttributes& attributes, SettingsReader& settings);

    // One frame: step, draw, and the scene cycle. The time until the next
    // frame is due, in milliseconds.
    int Tick();
    // The window's size has become this: a new Pixmap and a new scene.
    void Reshape(int width, int height);
    // Part of the window has been uncovered: it shows the current frame whole.
    void Uncovered() { frames_.DrawWhole(world_); }

private:
    SettingsReader& settings_;
    int period_;
    int width_, height_;  // the window's
    Rect board_;
    World world_;
    X11Frames frames_;
};
