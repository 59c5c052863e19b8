#include "x11/window_board.h"

#include <X11/Xutil.h>

#include "sim/scene.h"
#include "x11/display_scale.h"

namespace {

// A colour component of 0 to 255 scaled into a visual's channel mask.
unsigned long Channel(unsigned component, unsigned long mask)
{
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long top = mask >> shift;
    return ((component * top + 127) / 255) << shift;
}

}  // namespace

X11Pen::X11Pen(Display* display, Drawable target, Visual* visual, int depth, double scale)
    : display(display), target(target), scale_(scale), masks_{visual->red_mask, visual->green_mask, visual->blue_mask}
{
    const unsigned long all = depth >= 32 ? ~0ul : (1ul << depth) - 1;
    opaque_ = all & ~(masks_[0] | masks_[1] | masks_[2]) & 0xFFFFFFFFul;
    XGCValues values;
    values.graphics_exposures = False;  // copies never ask for exposure events
    values.cap_style = CapNotLast;      // a spark's segment leaves out its end point, as on Windows
    gc_ = XCreateGC(display, target, GCGraphicsExposures | GCCapStyle, &values);
}

X11Pen::~X11Pen() { XFreeGC(display, gc_); }

unsigned long X11Pen::Pixel(Colour colour) const
{
    return opaque_ | Channel(colour & 0xFF, masks_[0]) | Channel((colour >> 8) & 0xFF, masks_[1]) |
           Channel((colour >> 16) & 0xFF, masks_[2]);
}

void X11Pen::Fill(Surface surface, const Rect& board)
{
    const Rect r = scale_.Of(board);
    if (IsEmpty(r)) return;
    XSetForeground(display, gc_, Pixel(0));
    XFillRectangle(display, On(surface), gc_, r.left, r.top, unsigned(r.right - r.left), unsigned(r.bottom - r.top));
}

void X11Pen::Draw(Surface surface, const Disc& disc)
{
    const Rect b = scale_.Of(disc.bounds);
    if (IsEmpty(b)) return;
    // The arc fills the pixels whose centres lie inside the ellipse inscribed
    // in the bounds: nothing beyond them.
    XSetForeground(display, gc_, Pixel(disc.colour));
    XFillArc(display, On(surface), gc_, b.left, b.top, unsigned(b.right - b.left), unsigned(b.bottom - b.top), 0,
             360 * 64);
}

void X11Pen::Line(const SparkSegment& s)
{
    scale_.ForEachLine(s.x0, s.y0, s.x1, s.y1, [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        XDrawLine(display, target, gc_, x0, y0, x1, y1);
    });
}

void X11Pen::EraseSparks(const SparkRing& sparks)
{
    XSetForeground(display, gc_, Pixel(0));
    ForEachSparkToErase(sparks, [&](const SparkSegment& s) { Line(s); });
}

void X11Pen::DrawSparks(const SparkRing& sparks)
{
    XSetForeground(display, gc_, Pixel(0xFFFFFF));
    ForEachSparkToDraw(sparks, [&](const SparkSegment& s) { Line(s); });
}

void X11Pen::Copy(const Rect& board)
{
    const Rect r = scale_.Of(board);
    if (IsEmpty(r)) return;
    XCopyArea(display, buffer, target, gc_, r.left, r.top, unsigned(r.right - r.left), unsigned(r.bottom - r.top),
              r.left, r.top);
}

bool X11Pen::ClipTo(const std::vector<Rect>& areas)
{
    if (areas.empty()) {
        if (clipped_) XSetClipMask(display, gc_, None);
        clipped_ = false;
        return true;
    }
    // A region, since the areas overlap, which clip rectangles must not.
    Region region = XCreateRegion();
    for (const Rect& board : areas) {
        const Rect a = scale_.Of(board);
        if (IsEmpty(a)) continue;
        XRectangle r{short(a.left), short(a.top), static_cast<unsigned short>(a.right - a.left),
                     static_cast<unsigned short>(a.bottom - a.top)};
        XUnionRectWithRegion(&r, region, region);
    }
    XSetRegion(display, gc_, region);
    XDestroyRegion(region);
    clipped_ = true;
    return true;
}

X11Frames::X11Frames(Display* display, Drawable target, Visual* visual, int depth, int width, int height,
                     double scale)
    : pen(display, target, visual, depth, scale), depth_(depth), scale_(scale)
{
    Resize(width, height);
}

X11Frames::~X11Frames()
{
    if (pen.buffer) XFreePixmap(pen.display, pen.buffer);
}

void X11Frames::Resize(int width, int height)
{
    if (pen.buffer) XFreePixmap(pen.display, pen.buffer);
    width_ = width > 0 ? width : 1;
    height_ = height > 0 ? height : 1;
    pen.buffer = XCreatePixmap(pen.display, pen.target, unsigned(width_), unsigned(height_), unsigned(depth_));
    // A new Pixmap knows nothing of the target: its first frame repaints all.
    composition_.Forget();
}

// The pen maps the rectangle as a board's, to one at least as large: every
// pixel of the target, beyond the board's last whole logical pixel too.
void X11Frames::Clear() { pen.Fill(FramePen::Surface::kTarget, Rect{0, 0, width_, height_}); }

WindowBoard::WindowBoard(Display* display, Window window, const XWindowAttributes& attributes, SettingsReader& settings)
    : settings_(settings),
      // The pace of the animation: a frame every RefreshRate + 1 ms, as on Windows.
      period_(int(settings.ReadSetting(kRefreshRate)) + 1),
      width_(attributes.width),
      height_(attributes.height),
      frames_(display, window, attributes.visual, attributes.depth, attributes.width, attributes.height,
              DisplayScale(display))
{
    board_ = frames_.Board();
    SetUpScene(world_, board_, 0, settings_);
}

int WindowBoard::Tick()
{
    StepWorld(world_, board_);
    frames_.DrawFrame(world_);
    // The last frame of a scene is shown in full before the board is cleared.
    // Set-up starts the count again, and a frame that finds the count at 0
    // repaints everything.
    if (++world_.frameCounter >= world_.scene.sceneFrames) {
        frames_.Clear();
        SetUpScene(world_, board_, 0, settings_);
    }
    return period_;
}

void WindowBoard::Reshape(int width, int height)
{
    if (width == width_ && height == height_) return;
    // Pins laid out for the old size would leave part of the window empty
    // or lie beyond it: the new size gets a new scene.
    width_ = width;
    height_ = height;
    frames_.Resize(width, height);
    board_ = frames_.Board();
    frames_.Clear();
    SetUpScene(world_, board_, 0, settings_);
}
