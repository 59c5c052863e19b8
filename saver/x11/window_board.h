// The pin board in an X window: the pen and the Pixmap under the board's
// portable animation (board/animation.h), so the same frames as the Win32
// view's.
//
// The Pixmap is kept for the window's life and always holds what a fresh
// black one would hold after every pin and every ball in play had been drawn
// on it in order.
#pragma once
#include <X11/Xlib.h>

#include <vector>

#include "board/animation.h"
#include "board/pixel_scale.h"
#include "sim/settings_reader.h"

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

// The board in the window the program draws into: its animation, its pen and
// its Pixmap.
class WindowBoard {
public:
    // attributes: the window's, for its size, visual and depth. The board is
    // laid out in logical pixels, the window's divided by the display's scale
    // (display_scale.h).
    WindowBoard(Display* display, Window window, const XWindowAttributes& attributes, SettingsReader& settings);
    ~WindowBoard();
    WindowBoard(const WindowBoard&) = delete;
    WindowBoard& operator=(const WindowBoard&) = delete;

    // One frame. The time until the next frame is due, in milliseconds.
    uint32_t Tick() { return animation_.Tick(pen_); }
    // The window's size has become this: a new Pixmap and a new scene.
    void Reshape(int width, int height);
    // Part of the window has been uncovered: it shows the current frame whole.
    void Uncovered() { animation_.Show(pen_); }

    const World& BoardWorld() const { return animation_.BoardWorld(); }

private:
    // A Pixmap of the window's size, which knows nothing of the window yet.
    void NewPixmap();

    int width_, height_;  // the window's
    int depth_;
    double scale_;
    X11Pen pen_;
    // The window may show anything where no disc lies: a whole frame copies
    // every pixel, and after it the window shows the Pixmap whole.
    Animation animation_;
};
