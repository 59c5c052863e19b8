// A software rasteriser of the board's pieces that shares no code with the
// front ends' pens, the frame tests' reference, and the check of a pen
// against it. Pixels are 0x00BBGGRR.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <functional>
#include <vector>

#include "board/composition.h"

namespace raster {

// Where a piece lies: certainly not, on its rim (where the platforms' pixel
// rules differ), or certainly.
enum class Cover { kOff, kRim, kOn };

// Against the circle inscribed in b (right and bottom edges excluded): the
// pixel's centre inside it (on), within rim of its edge, or beyond (off).
inline Cover DiscCover(const Rect& b, int x, int y, double rim)
{
    if (x < b.left || x >= b.right || y < b.top || y >= b.bottom) return Cover::kOff;
    const double rx = (b.right - b.left) / 2.0, ry = (b.bottom - b.top) / 2.0;
    const double dx = (x + 0.5 - b.left - rx) / rx, dy = (y + 0.5 - b.top - ry) / ry, d = dx * dx + dy * dy;
    const double in = std::max(0.0, 1 - rim / std::min(rx, ry)), out = 1 + rim / std::min(rx, ry);
    return d < in * in ? Cover::kOn : d < out * out ? Cover::kRim : Cover::kOff;
}

// Against the segment from (x0, y0) to (x1, y1), end point excluded: at each
// step along its longer axis the pixel nearest the true line; a tie is a rim.
inline Cover SegmentCover(int x0, int y0, int x1, int y1, int x, int y)
{
    const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
    const int along = steep ? y1 - y0 : x1 - x0, step = steep ? y - y0 : x - x0;
    if (along == 0 || step * along < 0 || std::abs(step) >= std::abs(along)) return Cover::kOff;
    const double off = std::fabs((steep ? x - x0 : y - y0) - double(steep ? x1 - x0 : y1 - y0) * step / along);
    return off < 0.5 ? Cover::kOn : off == 0.5 ? Cover::kRim : Cover::kOff;
}

struct Canvas {
    Canvas(int width, int height) : width(width), height(height), pixels(size_t(width) * height) {}

    // Pixels x0 to x1 - 1 of row y, inside the clip areas when there are any.
    void Span(int y, int x0, int x1, Colour colour)
    {
        const auto fill = [&](int from, int to) {
            from = std::max(from, 0), to = std::min(to, width);
            if (from < to && y >= 0 && y < height) std::fill(&pixels[size_t(y) * width + from], &pixels[size_t(y) * width] + to, colour);
        };
        if (clip.empty()) return fill(x0, x1);
        for (const Rect& a : clip)
            if (y >= a.top && y < a.bottom) fill(std::max(x0, a.left), std::min(x1, a.right));
    }
    void Fill(const Rect& r, Colour colour)
    {
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, height); ++y) Span(y, r.left, r.right, colour);
    }
    // A pixel is painted when its centre lies inside.
    void Disc(const Rect& b, Colour colour)
    {
        const double rx = (b.right - b.left) / 2.0, ry = (b.bottom - b.top) / 2.0;
        for (int y = std::max(b.top, 0); y < std::min(b.bottom, height); ++y) {
            const double dy = (y + 0.5 - b.top - ry) / ry, half = dy * dy < 1 ? rx * std::sqrt(1 - dy * dy) : 0;
            Span(y, int(std::floor(b.left + rx - half + 0.5)), int(std::ceil(b.left + rx + half - 0.5)), colour);
        }
    }
    // Ties are painted both ways.
    void Segment(int x0, int y0, int x1, int y1, Colour colour)
    {
        for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
            for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x)
                if (SegmentCover(x0, y0, x1, y1, x, y) != Cover::kOff) Span(y, x, x + 1, colour);
    }
    void Copy(const Canvas& from, const Rect& r)
    {
        const int x0 = std::max(r.left, 0), x1 = std::max(std::min(r.right, width), x0);
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, height); ++y)
            std::copy(&from.pixels[size_t(y) * width] + x0, &from.pixels[size_t(y) * width] + x1, &pixels[size_t(y) * width] + x0);
    }

    int width, height;
    std::vector<uint32_t> pixels;
    std::vector<Rect> clip;
};

// A front end's pen, once: discs drawn, clipped and copied, sparks drawn and
// erased. pen: of a black target and a buffer, both 100 by 100; read(): the
// target's pixels, row by row, as 0x00RRGGBB (the order of both platforms'
// 24-bit pixels).
inline void CheckPen(FramePen& pen, const std::function<std::vector<uint32_t>()>& read)
{
    using Surface = FramePen::Surface;
    const auto expect = [&](const char* what, Colour colour, const std::function<Cover(int, int)>& cover) {
        const std::vector<uint32_t> pixels = read();
        int wrong = 0;
        for (int i = 0; i < 100 * 100; ++i) {
            const Cover c = cover(i % 100, i / 100);
            wrong += pixels[size_t(i)] != (c == Cover::kOn ? colour : 0) && !(c == Cover::kRim && pixels[size_t(i)] == colour);
        }
        EXPECT_EQ(wrong, 0) << what;
    };
    ASSERT_TRUE(pen.Begin());
    constexpr Colour kColour = 0x3080F0;  // 0xF08030 as a pixel
    ::Disc discs[] = {{20.5, 20.25, 0, 3.3}, {60.7, 20.1, 1, 12.9}, {24, 60, 2, 1.2}, {70.2, 70.8, 3, 19.5}, {5, 95, 4, 8}};
    pen.Fill(Surface::kTarget, Rect{0, 0, 100, 100});
    pen.Fill(Surface::kBuffer, Rect{0, 0, 100, 100});
    for (::Disc& disc : discs) disc.colour = kColour, Draw(disc, pen, Surface::kBuffer);
    pen.ClipTo({Rect{0, 0, 100, 40}});
    pen.Fill(Surface::kBuffer, Rect{0, 0, 40, 100});  // the first disc, within the clip only
    pen.ClipTo({});
    pen.Copy(Rect{0, 0, 80, 80});  // through the fourth disc
    expect("discs", 0xF08030, [&](int x, int y) {
        Cover c = Cover::kOff;
        for (const ::Disc& disc : discs) c = std::max(c, DiscCover(disc.bounds, x, y, 1.0));
        return x >= 80 || y >= 80 || (x < 40 && y < 40) ? Cover::kOff : c;
    });

    // Every direction, ties among them; the second burst is at its last frame.
    SparkRing ring;
    ring.Init(2, 12);
    const int moves[12][2] = {{7, 0}, {0, 7}, {-7, 0}, {0, -7}, {5, 5}, {-4, 4}, {6, 3}, {-3, -6}, {2, -5}, {-6, 1}, {0, 0}, {4, -2}};
    for (int i = 0; i < 24; ++i)
        ring.bursts[i / 12][i % 12] = Spark{20 + 16 * (i % 4) + 30 * (i / 12), 20 + 16 * (i % 12 / 4), 0, 0, moves[i % 12][0], moves[i % 12][1], 0};
    ring.bursts[0][0].life = 3;
    ring.bursts[1][0].life = 1;
    ring.tail = 2;
    pen.Fill(Surface::kTarget, Rect{0, 0, 100, 100});
    pen.DrawSparks(ring);
    expect("sparks drawn", 0xFFFFFF, [&](int x, int y) {
        Cover c = Cover::kOff;
        for (const Spark& s : ring.bursts[0]) c = std::max(c, SegmentCover(s.x, s.y, s.x + s.vx, s.y + s.vy, x, y));
        return c;
    });
    for (auto& burst : ring.bursts)  // as the world moves them
        for (Spark& s : burst) s.prevX = s.x, s.prevY = s.y, s.x += s.vx, s.y += s.vy;
    pen.EraseSparks(ring);
    expect("sparks erased", 0xFFFFFF, [](int, int) { return Cover::kOff; });
    pen.End();
}

}  // namespace raster
