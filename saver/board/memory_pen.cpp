#include "board/memory_pen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void MemoryPen::ClearTarget()
{
    for (int32_t y = 0; y < target_.height; ++y) Span(Surface::kTarget, y, 0, target_.width, 0);
    Damage(Rect{0, 0, target_.width, target_.height});
}

void MemoryPen::Span(Surface surface, int32_t y, int32_t x0, int32_t x1, uint32_t pixel)
{
    const PixelImage& image = On(surface);
    if (!image.pixels || y < 0 || y >= image.height) return;
    uint32_t* const row = image.pixels + int64_t(y) * image.stride;
    const auto fill = [&](int32_t from, int32_t to) {
        from = std::max(from, 0), to = std::min(to, image.width);
        if (from < to) std::fill(row + from, row + to, pixel);
    };
    if (surface == Surface::kTarget || clip_.empty()) return fill(x0, x1);
    for (const Rect& a : clip_) {
        if (y >= a.top && y < a.bottom) fill(std::max(x0, a.left), std::min(x1, a.right));
    }
}

void MemoryPen::Damage(const Rect& r)
{
    const Rect within = Intersection(r, Rect{0, 0, target_.width, target_.height});
    if (!IsEmpty(within)) damage_.push_back(within);
}

void MemoryPen::Fill(Surface surface, const Rect& board)
{
    const Rect r = scale_.Of(board);
    if (IsEmpty(r)) return;
    const int32_t top = std::max(r.top, 0), bottom = std::min(r.bottom, On(surface).height);
    for (int32_t y = top; y < bottom; ++y) Span(surface, y, r.left, r.right, 0);
    if (surface == Surface::kTarget) Damage(r);
}

void MemoryPen::Draw(Surface surface, const Disc& disc)
{
    const Rect b = scale_.Of(disc.bounds);
    if (IsEmpty(b)) return;
    const uint32_t pixel = Pixel(disc.colour);
    // Row by row, the run of pixel centres strictly inside the ellipse.
    const double cx = (double(b.left) + b.right) / 2, cy = (double(b.top) + b.bottom) / 2;
    const double rx = (double(b.right) - b.left) / 2, ry = (double(b.bottom) - b.top) / 2;
    const int32_t top = std::max(b.top, 0), bottom = std::min(b.bottom, On(surface).height);
    for (int32_t y = top; y < bottom; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        if (dy * dy >= 1) continue;
        const double half = rx * std::sqrt(1 - dy * dy);
        // x + 0.5 strictly between cx - half and cx + half.
        const double from = std::floor(cx - half - 0.5) + 1, to = std::ceil(cx + half - 0.5);
        Span(surface, y, int32_t(std::max(from, double(b.left))), int32_t(std::min(to, double(b.right))), pixel);
    }
    if (surface == Surface::kTarget) Damage(b);
}

void MemoryPen::Line(const SparkSegment& s, uint32_t pixel)
{
    scale_.ForEachLine(s.x0, s.y0, s.x1, s.y1, [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        // Bresenham's steps along the longer axis, each to the pixel nearest
        // the line; the end point is left out.
        const int32_t dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
        const int32_t sx = x1 > x0 ? 1 : -1, sy = y1 > y0 ? 1 : -1;
        const bool steep = dy > dx;
        const int32_t along = steep ? dy : dx, across = steep ? dx : dy;
        int32_t x = x0, y = y0, error = 2 * across - along;
        for (int32_t i = 0; i < along; ++i) {
            Span(Surface::kTarget, y, x, x + 1, pixel);
            if (error > 0) {
                steep ? x += sx : y += sy;
                error -= 2 * along;
            }
            error += 2 * across;
            steep ? y += sy : x += sx;
        }
        Damage(Rect{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1});
    });
}

void MemoryPen::EraseSparks(const SparkRing& sparks)
{
    ForEachSparkToErase(sparks, [&](const SparkSegment& s) { Line(s, 0); });
}

void MemoryPen::DrawSparks(const SparkRing& sparks)
{
    ForEachSparkToDraw(sparks, [&](const SparkSegment& s) { Line(s, 0xFFFFFF); });
}

void MemoryPen::Copy(const Rect& board)
{
    const Rect r = Intersection(scale_.Of(board), Rect{0, 0, std::min(buffer_.width, target_.width),
                                                       std::min(buffer_.height, target_.height)});
    if (IsEmpty(r) || !buffer_.pixels || !target_.pixels) return;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        const uint32_t* from = buffer_.pixels + int64_t(y) * buffer_.stride;
        std::copy(from + r.left, from + r.right, target_.pixels + int64_t(y) * target_.stride + r.left);
    }
    Damage(r);
}

bool MemoryPen::ClipTo(const std::vector<Rect>& areas)
{
    clip_.clear();
    for (const Rect& a : areas) {
        const Rect r = scale_.Of(a);
        if (!IsEmpty(r)) clip_.push_back(r);
    }
    // Areas that all vanish at this scale still restrict: to nothing.
    if (clip_.empty() && !areas.empty()) clip_.push_back(Rect{0, 0, 0, 0});
    return true;
}

std::vector<Rect> MemoryPen::TakeDamage()
{
    std::vector<Rect> taken;
    taken.swap(damage_);
    return taken;
}
