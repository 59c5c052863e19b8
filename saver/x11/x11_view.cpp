#include "x11/x11_view.h"

#include <X11/Xutil.h>

#include "sim/scene.h"

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

X11Pen::X11Pen(Display* display, Drawable drawable, Visual* visual, int depth)
    : display(display), masks_{visual->red_mask, visual->green_mask, visual->blue_mask}
{
    const unsigned long all = depth >= 32 ? ~0ul : (1ul << depth) - 1;
    opaque_ = all & ~(masks_[0] | masks_[1] | masks_[2]) & 0xFFFFFFFFul;
    XGCValues values;
    values.graphics_exposures = False;  // copies never ask for exposure events
    values.cap_style = CapNotLast;      // a spark's segment leaves out its end point, as on Windows
    gc_ = XCreateGC(display, drawable, GCGraphicsExposures | GCCapStyle, &values);
}

X11Pen::~X11Pen() { XFreeGC(display, gc_); }

unsigned long X11Pen::Pixel(Colour colour) const
{
    return opaque_ | Channel(colour & 0xFF, masks_[0]) | Channel((colour >> 8) & 0xFF, masks_[1]) |
           Channel((colour >> 16) & 0xFF, masks_[2]);
}

void X11Pen::Fill(Drawable target, const Rect& r, Colour colour)
{
    if (IsEmpty(r)) return;
    XSetForeground(display, gc_, Pixel(colour));
    XFillRectangle(display, target, gc_, r.left, r.top, unsigned(r.right - r.left), unsigned(r.bottom - r.top));
}

void X11Pen::Draw(Drawable target, Disc& disc)
{
    if (disc.colour == 0) return;
    disc.RecomputeBounds();
    const Rect& b = disc.bounds;
    if (IsEmpty(b)) return;
    // The arc fills the pixels whose centres lie inside the ellipse inscribed
    // in the bounds: nothing beyond them, which the damage logic relies on.
    XSetForeground(display, gc_, Pixel(disc.colour));
    XFillArc(display, target, gc_, b.left, b.top, unsigned(b.right - b.left), unsigned(b.bottom - b.top), 0, 360 * 64);
}

void X11Pen::EraseSparks(Drawable target, const SparkRing& sparks)
{
    // The segment drawn white last frame runs from the previous position to
    // the current one; no life test, so a burst's last frame is erased too.
    XSetForeground(display, gc_, Pixel(0));
    ForEachSparkOfLiveBursts(sparks, [&](const Spark&, const Spark& s) {
        if (s.prevX != s.x || s.prevY != s.y) XDrawLine(display, target, gc_, s.prevX, s.prevY, s.x, s.y);
    });
}

void X11Pen::DrawSparks(Drawable target, const SparkRing& sparks)
{
    // A burst at life 1 leaves the ring in the next step, before anything
    // could erase it: drawing it now would leave its segments behind.
    XSetForeground(display, gc_, Pixel(0xFFFFFF));
    ForEachSparkOfLiveBursts(sparks, [&](const Spark& first, const Spark& s) {
        if (first.life > 1 && (s.vx || s.vy)) XDrawLine(display, target, gc_, s.x, s.y, s.x + s.vx, s.y + s.vy);
    });
}

void X11Pen::Copy(Drawable from, Drawable to, const Rect& r)
{
    if (IsEmpty(r)) return;
    XCopyArea(display, from, to, gc_, r.left, r.top, unsigned(r.right - r.left), unsigned(r.bottom - r.top), r.left,
              r.top);
}

void X11Pen::ClipTo(const std::vector<Rect>& areas)
{
    if (areas.empty()) {
        if (clipped_) XSetClipMask(display, gc_, None);
        clipped_ = false;
        return;
    }
    // A region, since the areas overlap, which clip rectangles must not.
    Region region = XCreateRegion();
    for (const Rect& a : areas) {
        if (IsEmpty(a)) continue;
        XRectangle r{short(a.left), short(a.top), static_cast<unsigned short>(a.right - a.left),
                     static_cast<unsigned short>(a.bottom - a.top)};
        XUnionRectWithRegion(&r, region, region);
    }
    XSetRegion(display, gc_, region);
    XDestroyRegion(region);
    clipped_ = true;
}

X11Frames::X11Frames(Display* display, Drawable target, Visual* visual, int depth, int width, int height)
    : pen(display, target, visual, depth), target_(target), depth_(depth)
{
    Resize(width, height);
}

X11Frames::~X11Frames()
{
    if (buffer_) XFreePixmap(pen.display, buffer_);
}

void X11Frames::Resize(int width, int height)
{
    if (buffer_) XFreePixmap(pen.display, buffer_);
    width_ = width > 0 ? width : 1;
    height_ = height > 0 ? height : 1;
    buffer_ = XCreatePixmap(pen.display, target_, unsigned(width_), unsigned(height_), unsigned(depth_));
    // A new Pixmap knows nothing of the target: its first frame repaints all.
    wholeNext_ = true;
}

void X11Frames::Clear() { pen.Fill(target_, Rect{0, 0, width_, height_}, 0); }

void X11Frames::Compose(World& world, bool whole)
{
    const bool everything = whole || wholeNext_ || !FindFrameDamage(world, shown_, damage_);
    NoteShownPins(world, shown_);
    if (everything) {
        // As a fresh black Pixmap would be: every disc drawn in order.
        pen.Fill(buffer_, Rect{0, 0, width_, height_}, 0);
        for (Disc* pin : world.pins) {
            pen.Fill(buffer_, pin->bounds, 0);
            pen.Draw(buffer_, *pin);
        }
    } else {
        // The same, inside the areas only: every pin that reaches into them
        // is drawn there in order, over black, and the rest of the Pixmap
        // keeps what earlier frames left, which is what they would draw.
        for (const Rect& a : damage_.areas) pen.Fill(buffer_, a, 0);
        pen.ClipTo(damage_.areas);
        for (size_t i : damage_.pins) {
            pen.Fill(buffer_, world.pins[i]->bounds, 0);
            pen.Draw(buffer_, *world.pins[i]);
        }
    }
    for (Disc* ball : world.balls) {
        if (ball->inPlay) pen.Draw(buffer_, *ball);
    }
    pen.ClipTo({});

    pen.EraseSparks(target_, world.sparks);
    if (everything) {
        // Every pixel: the target may show anything (the root window's
        // background, another program's window, an uncovered area).
        pen.Copy(buffer_, target_, Rect{0, 0, width_, height_});
    } else {
        for (const Rect& r : damage_.copies) pen.Copy(buffer_, target_, r);
    }
    // The wrap is consumed: from now on the ball's old and new places are close.
    for (Disc* ball : world.balls) {
        if (ball->inPlay) ball->wrapped = false;
    }
    pen.DrawSparks(target_, world.sparks);
    wholeNext_ = false;
}

X11View::X11View(Display* display, Window window, const XWindowAttributes& attributes, SettingsReader& settings)
    : settings_(settings),
      // The pace of the animation: a frame every RefreshRate + 1 ms, as on Windows.
      period_(int(settings.ReadSetting(kRefreshRate)) + 1),
      board_{0, 0, attributes.width, attributes.height},
      frames_(display, window, attributes.visual, attributes.depth, attributes.width, attributes.height)
{
    SetUpScene(world_, board_, 0, settings_);
}

int X11View::Tick()
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

void X11View::Reshape(int width, int height)
{
    if (width == board_.right && height == board_.bottom) return;
    // Pins laid out for the old size would leave part of the window empty
    // or lie beyond it: the new size gets a new scene.
    board_ = Rect{0, 0, width, height};
    frames_.Resize(width, height);
    frames_.Clear();
    SetUpScene(world_, board_, 0, settings_);
}
