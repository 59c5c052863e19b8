#include "render/frame.h"

#include <algorithm>

namespace {

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The target's clip box, and the same box in device units with its corners in
// order: the part of the target that this frame can change.
struct FrameArea {
    RECT clip;
    RECT device;
};

FrameArea AreaOf(HDC target)
{
    FrameArea area;
    GetClipBox(target, &area.clip);
    POINT corners[2] = {{area.clip.left, area.clip.top}, {area.clip.right, area.clip.bottom}};
    LPtoDP(target, corners, 2);
    area.device = RECT{std::min(corners[0].x, corners[1].x), std::min(corners[0].y, corners[1].y),
                       std::max(corners[0].x, corners[1].x), std::max(corners[0].y, corners[1].y)};
    return area;
}

void ResetMapping(HDC dc)
{
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetMapMode(dc, MM_TEXT);
}

// The back buffer's pixel (0, 0) is the device box's top-left corner, so a
// client position is found in it shifted by that corner. For the usual frame
// (a whole, unobscured window) the shift is zero.
void CopyRect(HDC target, HDC buffer, const RECT& r, const POINT& bufferOrigin)
{
    BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer, r.left - bufferOrigin.x,
           r.top - bufferOrigin.y, SRCCOPY);
}

void BackBufferFrame(World& world, HDC target, HDC buffer, HBRUSH black, const POINT& bufferOrigin)
{
    // Old and new places of the moving balls first, so that nothing drawn
    // below is painted over. A wrapped ball's two places lie at opposite edges:
    // their union would span the whole board.
    for (Disc* ball : world.balls) {
        if (!ball->inPlay) continue;
        const RECT now = ToRECT(ball->bounds), before = ToRECT(ball->prevBounds);
        if (ball->wrapped) {
            FillRect(buffer, &now, black);
            FillRect(buffer, &before, black);
        } else {
            RECT both;
            UnionRect(&both, &now, &before);
            FillRect(buffer, &both, black);
        }
    }
    // Knocked-out pins (colour 0) keep their last bounds, which are blacked
    // out and copied every frame: that is how they vanish.
    for (Disc* pin : world.pins) {
        const RECT r = ToRECT(pin->bounds);
        FillRect(buffer, &r, black);
        Draw(*pin, buffer);
    }
    for (Disc* ball : world.balls) {
        if (ball->inPlay) Draw(*ball, buffer);
    }

    ResetMapping(target);
    ResetMapping(buffer);
    EraseSparks(world.sparks, target);
    for (Disc* pin : world.pins) CopyRect(target, buffer, ToRECT(pin->bounds), bufferOrigin);
    for (Disc* ball : world.balls) {
        if (!ball->inPlay) continue;
        const RECT now = ToRECT(ball->bounds), before = ToRECT(ball->prevBounds);
        if (ball->wrapped) {
            CopyRect(target, buffer, now, bufferOrigin);
            CopyRect(target, buffer, before, bufferOrigin);
            ball->wrapped = false;
        } else {
            RECT both;
            UnionRect(&both, &now, &before);
            CopyRect(target, buffer, both, bufferOrigin);
        }
    }
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

template <class Visit> void ForEachSparkOfLiveBursts(const SparkRing& sparks, Visit&& visit)
{
    sparks.ForEachLive([&](int32_t, const std::vector<Spark>& burst) {
        if (burst.empty()) return;
        const size_t count = std::min(burst.size(), size_t(std::max(sparks.perBurst, 0)));
        visit(burst.front(), burst.data(), count);
    });
}

}  // namespace

void DrawFrame(World& world, HDC target)
{
    const FrameArea area = AreaOf(target);
    const int width = area.device.right - area.device.left;
    const int height = area.device.bottom - area.device.top;

    HDC buffer = CreateCompatibleDC(target);
    HBITMAP bitmap = nullptr;
    HGDIOBJ keptBitmap = nullptr;
    bool buffered = false;
    if (buffer) {
        bitmap = CreateCompatibleBitmap(target, width, height);
        if (bitmap) {
            OffsetViewportOrgEx(buffer, -area.device.left, -area.device.top, nullptr);
            keptBitmap = SelectObject(buffer, bitmap);
            SetBrushOrgEx(buffer, area.device.left % 8, area.device.top % 8, nullptr);
            IntersectClipRect(buffer, area.clip.left, area.clip.top, area.clip.right, area.clip.bottom);
            buffered = true;
        }
    }

    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    if (black) {
        UnrealizeObject(black);
        if (buffered) {
            BackBufferFrame(world, target, buffer, black, POINT{area.device.left, area.device.top});
            SelectObject(buffer, keptBitmap);
        } else {
            DirectFrame(world, target, black);
        }
        DrawSparks(world.sparks, target);
        DeleteObject(black);
    }
    if (bitmap) DeleteObject(bitmap);
    if (buffer) DeleteDC(buffer);
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
    ForEachSparkOfLiveBursts(sparks, [&](const Spark&, const Spark* spark, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            MoveToEx(target, spark[i].prevX, spark[i].prevY, nullptr);
            LineTo(target, spark[i].x, spark[i].y);
        }
    });
}

void DrawSparks(const SparkRing& sparks, HDC target)
{
    // A burst at life 1 leaves the ring in the next step, before anything
    // could erase it: drawing it now would leave its segments behind.
    SelectObject(target, GetStockObject(WHITE_PEN));
    ForEachSparkOfLiveBursts(sparks, [&](const Spark& first, const Spark* spark, size_t count) {
        if (first.life <= 1) return;
        for (size_t i = 0; i < count; ++i) {
            MoveToEx(target, spark[i].x, spark[i].y, nullptr);
            LineTo(target, spark[i].x + spark[i].vx, spark[i].y + spark[i].vy);
        }
    });
}
