// The pin board in an X window: the same frames as the Win32 view draws.
//
// Frames are built in a Pixmap kept for the window's life and copied to the
// window by rectangles, exactly where board/frame_damage.h says that something
// can have changed; the Pixmap always holds what a fresh black one would hold
// after every pin and every ball in play had been drawn on it in order. Sparks
// never enter the Pixmap: they are drawn on the window after the copy and
// painted over in black before the next one.
#pragma once
#include <X11/Xlib.h>

#include <vector>

#include "board/frame_damage.h"
#include "sim/stored_settings.h"
#include "sim/world.h"

// Drawing the board's pieces with one GC: fills, discs, sparks and copies.
// Colours become pixels of a TrueColor visual (every X server of today).
class X11Pen {
public:
    X11Pen(Display* display, Drawable drawable, Visual* visual, int depth);
    ~X11Pen();
    X11Pen(const X11Pen&) = delete;
    X11Pen& operator=(const X11Pen&) = delete;

    unsigned long Pixel(Colour colour) const;
    void Fill(Drawable target, const Rect& r, Colour colour);
    // A filled circle in the disc's colour within its bounds, which it
    // recomputes first; a disc of colour 0 draws nothing and keeps its bounds.
    void Draw(Drawable target, Disc& disc);
    // Paints black over the segments that the previous frame's DrawSparks drew.
    void EraseSparks(Drawable target, const SparkRing& sparks);
    // One white segment per spark of every burst that still has frames to live.
    void DrawSparks(Drawable target, const SparkRing& sparks);
    void Copy(Drawable from, Drawable to, const Rect& r);
    // Later drawing stays inside these areas; none lifts the restriction.
    void ClipTo(const std::vector<Rect>& areas);

    Display* const display;

private:
    GC gc_;
    unsigned long masks_[3];  // red, green, blue
    unsigned long opaque_;    // bits of a depth-32 visual outside the colour masks
    bool clipped_ = false;
};

// The frames of one world on one target (a window, or a Pixmap in tests).
class X11Frames {
public:
    X11Frames(Display* display, Drawable target, Visual* visual, int depth, int width, int height);
    ~X11Frames();
    X11Frames(const X11Frames&) = delete;
    X11Frames& operator=(const X11Frames&) = delete;

    // A tick's frame: only what changed, or everything when the Pixmap knows
    // nothing of the target yet (a new size, the first frame of a scene).
    void DrawFrame(World& world) { Compose(world, false); }
    // The whole frame, every pixel of the target, as an Expose needs it.
    void DrawWhole(World& world) { Compose(world, true); }
    // The target black, as after the last frame of a scene.
    void Clear();
    // A new Pixmap for the target's new size.
    void Resize(int width, int height);

    X11Pen pen;

private:
    void Compose(World& world, bool whole);

    Drawable target_;
    int depth_;
    Pixmap buffer_ = 0;
    int width_ = 0, height_ = 0;
    bool wholeNext_ = true;
    std::vector<ShownPin> shown_;
    FrameDamage damage_;
};

// The program's state for the window it draws into: the world, its frames and
// the settings every scene is built from.
class X11View {
public:
    // attributes: the window's, for its size, visual and depth.
    X11View(Display* display, Window window, const XWindowAttributes& attributes, SettingsReader& settings);

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
    Rect board_;
    World world_;
    X11Frames frames_;
};
