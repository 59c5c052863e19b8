#include "x11/window_board.h"

#include <X11/Xutil.h>

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

namespace {

int Positive(int length) { return length > 0 ? length : 1; }

}  // namespace

WindowBoard::WindowBoard(Display* display, Window window, const XWindowAttributes& attributes, SettingsReader& settings)
    : width_(attributes.width),
      height_(attributes.height),
      depth_(attributes.depth),
      scale_(DisplayScale(display)),
      pen_(display, window, attributes.visual, attributes.depth, scale_),
      animation_(settings, CompositionRules{true, false})
{
    NewPixmap();
    animation_.SetUp(Positive(width_), Positive(height_), scale_);
}

WindowBoard::~WindowBoard()
{
    if (pen_.buffer) XFreePixmap(pen_.display, pen_.buffer);
}

void WindowBoard::NewPixmap()
{
    if (pen_.buffer) XFreePixmap(pen_.display, pen_.buffer);
    pen_.buffer = XCreatePixmap(pen_.display, pen_.target, unsigned(Positive(width_)), unsigned(Positive(height_)),
                                unsigned(depth_));
    animation_.Forget();
}

void WindowBoard::Reshape(int width, int height)
{
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    NewPixmap();
    // The pen maps the rectangle as a board's, to one at least as large: every
    // pixel of the window, beyond the board's last whole logical pixel too.
    pen_.Fill(FramePen::Surface::kTarget, Rect{0, 0, width_, height_});
    animation_.Follow(Positive(width_), Positive(height_), scale_);
}
