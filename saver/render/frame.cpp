#include "render/frame.h"

namespace {

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void Fill(HDC dc, const Rect& r, HBRUSH brush)
{
    const RECT rect = ToRECT(r);
    FillRect(dc, &rect, brush);
}

void Copy(HDC target, HDC buffer, const Rect& r)
{
    BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer, r.left, r.top, SRCCOPY);
}

void ResetMapping(HDC dc)
{
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetMapMode(dc, MM_TEXT);
}

// The union of the areas, to keep repainting inside them; null when a region
// cannot be made.
HRGN RegionOf(const std::vector<Rect>& areas)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    HRGN part = CreateRectRgn(0, 0, 0, 0);
    if (region && part) {
        for (const Rect& a : areas) {
            SetRectRgn(part, a.left, a.top, a.right, a.bottom);
            CombineRgn(region, region, part, RGN_OR);
        }
    } else if (region) {
        DeleteObject(region);
        region = nullptr;
    }
    if (part) DeleteObject(part);
    return region;
}

// Without a back buffer: everything straight onto the target, every ball
// whether in play or not.
void DirectFrame(World& world, HDC target, HBRUSH black)
{
    for (Disc* ball : world.balls) {
        RECT r = ToRECT(ball->prevBounds);
        InflateRect(&r, 1, 1);
        FillRect(target, &r, black);
    }
    EraseSparks(world.sparks, target);
    for (Disc* pin : world.pins) Draw(*pin, target);
    for (Disc* ball : world.balls) Draw(*ball, target);
}

}  // namespace

FrameComposer::~FrameComposer() { ReleaseBuffer(); }

void FrameComposer::DrawFrame(World& world, HDC target, const RECT& client) { Compose(world, target, client, false); }

void FrameComposer::DrawWhole(World& world, HDC target, const RECT& client) { Compose(world, target, client, true); }

bool FrameComposer::KeepBuffer(HDC target, const RECT& client)
{
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (buffer_ && width == width_ && height == height_) return true;
    ReleaseBuffer();
    // A new buffer knows nothing of the window: its first frame repaints all.
    wholeNext_ = true;
    buffer_ = CreateCompatibleDC(target);
    if (!buffer_) return false;
    bitmap_ = CreateCompatibleBitmap(target, width, height);
    if (!bitmap_) {
        ReleaseBuffer();
        return false;
    }
    keptBitmap_ = SelectObject(buffer_, bitmap_);
    width_ = width;
    height_ = height;
    return true;
}

void FrameComposer::ReleaseBuffer()
{
    // The bitmap is put back out of the context before either is deleted: a
    // bitmap still selected into a context cannot be freed.
    if (buffer_ && keptBitmap_) SelectObject(buffer_, keptBitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    if (buffer_) DeleteDC(buffer_);
    buffer_ = nullptr;
    bitmap_ = nullptr;
    keptBitmap_ = nullptr;
    width_ = height_ = 0;
}

void FrameComposer::Compose(World& world, HDC target, const RECT& client, bool whole)
{
    const bool buffered = KeepBuffer(target, client);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    if (!black) {
        // The frame is skipped; the next one makes up for everything.
        wholeNext_ = true;
        return;
    }
    UnrealizeObject(black);
    if (!buffered) {
        DirectFrame(world, target, black);
        DrawSparks(world.sparks, target);
        DeleteObject(black);
        return;
    }

    bool everything = whole || wholeNext_ || !FindFrameDamage(world, shown_, damage_);
    NoteShownPins(world, shown_);
    HRGN clip = everything ? nullptr : RegionOf(damage_.areas);
    everything = everything || !clip;

    if (everything) {
        // As a fresh black bitmap would be: every disc drawn in order.
        PatBlt(buffer_, 0, 0, width_, height_, BLACKNESS);
        for (Disc* pin : world.pins) {
            Fill(buffer_, pin->bounds, black);
            Draw(*pin, buffer_);
        }
    } else {
        // The same, inside the areas only: every pin that reaches into them
        // is drawn there in order, over black, and the rest of the buffer
        // keeps what earlier frames left, which is what they would draw.
        for (const Rect& a : damage_.areas) Fill(buffer_, a, black);
        SelectClipRgn(buffer_, clip);
        for (size_t i : damage_.pins) {
            Fill(buffer_, world.pins[i]->bounds, black);
            Draw(*world.pins[i], buffer_);
        }
    }
    for (Disc* ball : world.balls) {
        if (ball->inPlay) Draw(*ball, buffer_);
    }
    if (clip) {
        SelectClipRgn(buffer_, nullptr);
        DeleteObject(clip);
    }

    ResetMapping(target);
    EraseSparks(world.sparks, target);
    if (everything) {
        // Pins are copied where drawing has just put them.
        for (Disc* pin : world.pins) Copy(target, buffer_, pin->bounds);
        for (Disc* ball : world.balls) {
            if (ball->inPlay) ForEachBallArea(*ball, [&](const Rect& r) { Copy(target, buffer_, r); });
        }
    } else {
        for (const Rect& r : damage_.copies) Copy(target, buffer_, r);
    }
    // The wrap is consumed: from now on the ball's old and new places are close.
    for (Disc* ball : world.balls) {
        if (ball->inPlay) ball->wrapped = false;
    }
    DrawSparks(world.sparks, target);
    DeleteObject(black);
    wholeNext_ = whole;
}

bool Draw(Disc& disc, HDC target)
{
    if (disc.colour == 0) return true;
    HPEN pen = CreatePen(PS_SOLID, 1, disc.colour);
    HGDIOBJ keptPen = SelectObject(target, pen);
    HBRUSH brush = CreateSolidBrush(disc.colour);
    HGDIOBJ keptBrush = SelectObject(target, brush);
    disc.RecomputeBounds();
    Ellipse(target, disc.bounds.left, disc.bounds.top, disc.bounds.right, disc.bounds.bottom);
    SelectObject(target, keptBrush);
    SelectObject(target, keptPen);
    DeleteObject(brush);
    DeleteObject(pen);
    return true;
}

void EraseSparks(const SparkRing& sparks, HDC target)
{
    // The segment drawn white last frame runs from the previous position to
    // the current one; no life test, so a burst's last frame is erased too.
    SelectObject(target, GetStockObject(BLACK_PEN));
    ForEachSparkOfLiveBursts(sparks, [&](const Spark&, const Spark& spark) {
        MoveToEx(target, spark.prevX, spark.prevY, nullptr);
        LineTo(target, spark.x, spark.y);
    });
}

void DrawSparks(const SparkRing& sparks, HDC target)
{
    // A burst at life 1 leaves the ring in the next step, before anything
    // could erase it: drawing it now would leave its segments behind.
    SelectObject(target, GetStockObject(WHITE_PEN));
    ForEachSparkOfLiveBursts(sparks, [&](const Spark& first, const Spark& spark) {
        if (first.life <= 1) return;
        MoveToEx(target, spark.x, spark.y, nullptr);
        LineTo(target, spark.x + spark.vx, spark.y + spark.vy);
    });
}
