// What every front end's pen must show: its pieces where a software rasteriser that shares no code with the pens
// puts them, and, at every display scale, frames composed through its kept buffer that equal the same world drawn
// afresh.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <functional>
#include <vector>

#include "../sim/sim_test_support.h"
#include "board/composition.h"
#include "board/pixel_scale.h"

namespace raster {

// Where a piece lies: certainly not, on its rim (where the platforms' pixel rules differ), or certainly.
enum class Cover { kOff, kRim, kOn };

// Against the circle inscribed in b (right and bottom edges excluded): the pixel's centre inside it (on), within a
// pixel of its edge, or beyond (off).
inline Cover DiscCover(const Rect& b, int x, int y)
{
    if (x < b.left || x >= b.right || y < b.top || y >= b.bottom) return Cover::kOff;
    const double rx = (b.right - b.left) / 2.0, ry = (b.bottom - b.top) / 2.0;
    const double dx = (x + 0.5 - b.left - rx) / rx, dy = (y + 0.5 - b.top - ry) / ry, d = dx * dx + dy * dy;
    const double in = std::max(0.0, 1 - 1 / std::min(rx, ry)), out = 1 + 1 / std::min(rx, ry);
    return d < in * in ? Cover::kOn : d < out * out ? Cover::kRim : Cover::kOff;
}

// Against the segment from (x0, y0) to (x1, y1), end point excluded: at each step along its longer axis the pixel
// nearest the true line; a tie is a rim.
inline Cover SegmentCover(int x0, int y0, int x1, int y1, int x, int y)
{
    const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
    const int along = steep ? y1 - y0 : x1 - x0, step = steep ? y - y0 : x - x0;
    if (along == 0 || step * along < 0 || std::abs(step) >= std::abs(along)) return Cover::kOff;
    const double off = std::fabs((steep ? x - x0 : y - y0) - double(steep ? x1 - x0 : y1 - y0) * step / along);
    return off < 0.5 ? Cover::kOn : off == 0.5 ? Cover::kRim : Cover::kOff;
}

// A front end's pen, once: discs drawn and copied, sparks drawn, each where and in the colour the rasteriser says
// (the composed frames below compare a pen only with itself). pen: of a black target and a buffer, both 100 by 100;
// read(): the target's pixels, row by row, as 0x00RRGGBB (the order of both platforms' 24-bit pixels).
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
    ::Disc discs[] = {{20.5, 20.25, 0, 3.3}, {60.7, 20.1, 1, 12.9}, {24, 60, 2, 1.2}, {70.2, 70.8, 3, 19.5}, {5, 95, 4, 8}};
    pen.Fill(Surface::kTarget, Rect{0, 0, 100, 100});
    pen.Fill(Surface::kBuffer, Rect{0, 0, 100, 100});
    for (::Disc& disc : discs) disc.colour = 0x3080F0, Draw(disc, pen, Surface::kBuffer);  // 0xF08030 as a pixel
    pen.Copy(Rect{0, 0, 80, 80});  // through the fourth disc
    expect("discs", 0xF08030, [&](int x, int y) {
        Cover c = Cover::kOff;
        for (const ::Disc& disc : discs) c = std::max(c, DiscCover(disc.bounds, x, y));
        return x >= 80 || y >= 80 ? Cover::kOff : c;
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
    pen.End();
}

struct FrameCase {
    const char* name;
    std::map<std::string, uint32_t> settings;
    int width, height, frames;      // the target's pixels
    int knockOutEvery, paintEvery;  // a pin knocked out, the whole target painted, every so many frames (0: never)
};
inline void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

inline const FrameCase kFrameCases[] = {
    {"largest balls and pins", {{"NumBalls", 10}, {"BallSize", 200}, {"PinSize", 200}}, 1024, 768, 200, 0, 0},
    {"wraps at the fastest fall", {{"NumBalls", 10}, {"Gravity", 100}, {"BallSize", 10}}, 640, 480, 600, 0, 0},
    {"a new scene after every tick", {{"ScenarioCounter", 0}, {"NumPins", 60}}, 640, 480, 200, 0, 0},
    {"200 pins, knock-outs, paints between ticks", {{"NumBalls", 10}, {"NumPins", 200}}, 640, 480, 400, 7, 37},
};

// A front end's frames of case c at a scale, each composed through its kept buffer onto its target (compose),
// against the same world drawn afresh by fresh on a black target of its own; same() compares the two targets after
// every frame. clear() paints the composed target black, as a new window's paint, a scene's end and a paint between
// ticks do. frames: at most this many of the case's frames.
inline void CheckComposedFrames(const FrameCase& c, double scale, FramePen& fresh,
                                const std::function<void(World&, const Rect& board, bool whole)>& compose,
                                const std::function<void()>& clear, const std::function<bool()>& same,
                                int frames = 1 << 30)
{
    using Surface = FramePen::Surface;
    const Rect board{0, 0, LogicalPixels(c.width, scale), LogicalPixels(c.height, scale)};
    const auto frame = [&](World& world, bool whole) {
        fresh.Fill(Surface::kTarget, Rect{0, 0, c.width, c.height});  // as board pixels, beyond the target
        for (const Disc* pin : world.pins) {
            Disc drawn = *pin;
            fresh.Fill(Surface::kTarget, drawn.bounds);
            Draw(drawn, fresh, Surface::kTarget);
        }
        for (const Disc* ball : world.balls) {
            if (Disc drawn = *ball; drawn.inPlay) Draw(drawn, fresh, Surface::kTarget);
        }
        fresh.DrawSparks(world.sparks);
        compose(world, board, whole);
        ASSERT_TRUE(same()) << c.name << ", scale " << scale << ", frame " << world.frameCounter;
        for (Disc* ball : world.balls) ASSERT_FALSE(ball->inPlay && ball->wrapped) << "the wrap is consumed";
    };
    MapSettings settings(c.settings);
    uint32_t seed = 20261207;
    RandomScope sequence(&seed);
    World world;
    SetUpScene(world, board, 0, settings);
    clear();
    for (int f = 0; f < std::min(c.frames, frames) && !::testing::Test::HasFatalFailure(); ++f) {
        if (c.paintEvery && f % c.paintEvery == 0) clear(), frame(world, true);
        StepWorld(world, board);
        if (c.knockOutEvery && f % c.knockOutEvery == 0 && !world.pins.empty())
            world.pins[size_t(f / c.knockOutEvery) * 7 % world.pins.size()]->colour = 0;
        frame(world, false);
        if (++world.frameCounter >= world.scene.sceneFrames)  // as the tick after a scene's last frame
            clear(), SetUpScene(world, board, 0, settings);
    }
}

}  // namespace raster
