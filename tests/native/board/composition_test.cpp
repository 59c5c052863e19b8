// A world composed through a kept buffer by a software pen, under each front
// end's rules, against the same world drawn afresh every frame by the
// rasteriser alone: after every frame both agree in every pixel.
#include <gtest/gtest.h>

#include "board/memory_pen.h"
#include "raster.h"
#include "sim_test_support.h"

namespace {

struct SoftPen : FramePen {
    explicit SoftPen(raster::Canvas& target) : target(target), buffer(target.width, target.height) {}
    raster::Canvas& On(Surface s) { return s == Surface::kBuffer ? buffer : target; }
    auto Line(Colour c) { return [this, c](const SparkSegment& s) { target.Segment(s.x0, s.y0, s.x1, s.y1, c); }; }
    void Fill(Surface s, const Rect& r) override { On(s).Fill(r, 0); }
    void Draw(Surface s, const Disc& disc) override { On(s).Disc(disc.bounds, disc.colour); }
    void EraseSparks(const SparkRing& sparks) override { ForEachSparkToErase(sparks, Line(0)); }
    void DrawSparks(const SparkRing& sparks) override { ForEachSparkToDraw(sparks, Line(0xFFFFFF)); }
    void Copy(const Rect& r) override { target.Copy(buffer, r); }
    bool ClipTo(const std::vector<Rect>& areas) override { return buffer.clip = areas, true; }

    raster::Canvas& target;
    raster::Canvas buffer;
};

// Every disc drawn afresh on black, the live sparks over them. The world is
// left as it was, for the composition to draw next.
void ReferenceFrame(const World& world, raster::Canvas& screen)
{
    screen.Fill(Rect{0, 0, screen.width, screen.height}, 0);
    for (const std::vector<Disc*>* discs : {&world.pins, &world.balls}) {
        for (Disc* disc : *discs) {
            if (disc->isPin) screen.Fill(disc->bounds, 0);
            Disc drawn = *disc;
            if (drawn.colour && (drawn.isPin || drawn.inPlay)) drawn.RecomputeBounds(), screen.Disc(drawn.bounds, drawn.colour);
        }
    }
    world.sparks.ForEachLive([&](int32_t, const std::vector<Spark>& burst) {
        for (const Spark& s : burst)
            if (burst[0].life > 1) screen.Segment(s.x, s.y, s.x + s.vx, s.y + s.vy, 0xFFFFFF);
    });
}

struct FrameCase {
    const char* name;
    std::map<std::string, uint32_t> settings;
    int width, height, frames;
    int knockOutEvery, paintEvery;  // a pin knocked out, the whole window painted, every so many frames (0: never)
};
void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

const FrameCase kFrameCases[] = {
    {"largest balls and pins", {{"NumBalls", 10}, {"BallSize", 200}, {"PinSize", 200}}, 1024, 768, 200, 0, 0},
    {"knock-outs", {{"NumBalls", 6}, {"NumPins", 80}, {"PinSize", 20}}, 640, 480, 500, 7, 0},
    {"wraps at the fastest fall", {{"NumBalls", 10}, {"Gravity", 100}, {"BallSize", 10}}, 640, 480, 600, 0, 0},
    {"a new scene after every tick", {{"ScenarioCounter", 0}, {"NumPins", 60}}, 640, 480, 200, 0, 0},
    {"200 pins, paints between ticks", {{"NumBalls", 10}, {"NumPins", 200}}, 640, 480, 400, 0, 37},
};

struct ComposedFrames : ::testing::TestWithParam<FrameCase> {};

TEST_P(ComposedFrames, ShowWhatEveryDiscDrawnAfreshEveryFrameShows)
{
    const FrameCase& c = GetParam();
    const Rect board{0, 0, c.width, c.height};
    MapSettings settings(c.settings);
    // The Windows view's rules, then the X11 program's.
    for (const CompositionRules rules : {CompositionRules{false, true}, CompositionRules{true, false}}) {
        raster::Canvas afresh(c.width, c.height), composed(c.width, c.height);
        SoftPen pen(composed);
        Composition composition(rules);
        const auto frame = [&](World& world, bool whole) {
            ReferenceFrame(world, afresh);
            composition.Compose(world, pen, board, whole);
            ASSERT_TRUE(afresh.pixels == composed.pixels) << "frame " << world.frameCounter;
            for (Disc* ball : world.balls) ASSERT_FALSE(ball->inPlay && ball->wrapped) << "the wrap is consumed";
        };
        World world;
        SeedRuntimeRandom(20261207);
        SetUpScene(world, board, 0, settings);
        for (int f = 0; f < c.frames && !HasFatalFailure(); ++f) {
            if (c.paintEvery && f % c.paintEvery == 0) composed.Fill(board, 0), frame(world, true);
            StepWorld(world, board);
            if (c.knockOutEvery && f % c.knockOutEvery == 0 && !world.pins.empty())
                world.pins[size_t(f / c.knockOutEvery) * 7 % world.pins.size()]->colour = 0;
            frame(world, false);
            if (++world.frameCounter >= world.scene.sceneFrames)  // as the tick after a scene's last frame
                composed.Fill(board, 0), SetUpScene(world, board, 0, settings);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Frame, ComposedFrames, ::testing::ValuesIn(kFrameCases));

// The memory pen's pixels are 0x00RRGGBB, as the check reads them; it reports
// as damage every pixel of the target that it changed.
TEST(MemoryPen, DrawsAsTheRasteriserDoes)
{
    std::vector<uint32_t> target(100 * 100, 0x123456), buffer(100 * 100), before;
    MemoryPen pen;
    pen.SetTarget(PixelImage{target.data(), 100, 100, 100});
    pen.SetBuffer(PixelImage{buffer.data(), 100, 100, 100});
    raster::CheckPen(pen, [&] {
        std::vector<bool> damaged(target.size());
        for (const Rect& r : pen.TakeDamage())
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) damaged[size_t(y * 100 + x)] = true;
        for (size_t i = 0; i < target.size() && !before.empty(); ++i)
            EXPECT_TRUE(damaged[i] || target[i] == before[i]) << "undamaged pixel " << i << " changed";
        return before = target;
    });
    pen.TakeDamage();
    pen.Copy(Rect{10, 20, 30, 40});
    const std::vector<Rect> copied = pen.TakeDamage();
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_TRUE(copied[0].left == 10 && copied[0].top == 20 && copied[0].right == 30 && copied[0].bottom == 40);
}

}  // namespace
