// Two worlds from one seed: one composed through a kept buffer by a software
// pen, under each front end's rules, the other drawn afresh every frame by the
// rasteriser alone. After every frame both screens agree in every pixel.
#include <gtest/gtest.h>

#include "frame_cases.h"
#include "raster.h"

namespace {

using Surface = FramePen::Surface;

class SoftPen : public FramePen {
    auto Line(Colour c)
    {
        return [this, c](const SparkSegment& s) { target_.Segment(s.x0, s.y0, s.x1, s.y1, c); };
    }

public:
    explicit SoftPen(raster::Canvas& target) : target_(target), buffer_(target.width, target.height) {}
    void Fill(Surface s, const Rect& r) override { On(s).Fill(r, 0); }
    void Draw(Surface s, const Disc& disc) override { On(s).Disc(disc.bounds, disc.colour); }
    void EraseSparks(const SparkRing& sparks) override { ForEachSparkToErase(sparks, Line(0)); }
    void DrawSparks(const SparkRing& sparks) override { ForEachSparkToDraw(sparks, Line(0xFFFFFF)); }
    void Copy(const Rect& r) override { target_.Copy(buffer_, r); }
    bool ClipTo(const std::vector<Rect>& areas) override { return buffer_.clip = areas, true; }

private:
    raster::Canvas& On(Surface s) { return s == Surface::kBuffer ? buffer_ : target_; }
    raster::Canvas& target_;
    raster::Canvas buffer_;
};

// Every disc drawn in a fresh black buffer, last frame's sparks painted over,
// the places of every pin and ball in play copied, the live sparks drawn. The
// world is left as it was, for the composition to draw next.
void ReferenceFrame(const World& world, raster::Canvas& screen, raster::Canvas& fresh)
{
    std::fill(fresh.pixels.begin(), fresh.pixels.end(), 0);
    for (const std::vector<Disc*>* discs : {&world.pins, &world.balls}) {
        for (Disc* disc : *discs) {
            if (disc->isPin) fresh.Fill(disc->bounds, 0);
            Disc drawn = *disc;
            if (drawn.colour && (drawn.isPin || drawn.inPlay)) drawn.RecomputeBounds(), fresh.Disc(drawn.bounds, drawn.colour);
        }
    }
    const auto eachSpark = [&](auto&& visit) {
        world.sparks.ForEachLive([&](int32_t, const std::vector<Spark>& burst) {
            for (size_t i = 0; i < burst.size() && i < size_t(world.sparks.perBurst); ++i) visit(burst[0], burst[i]);
        });
    };
    eachSpark([&](const Spark&, const Spark& s) { screen.Segment(s.prevX, s.prevY, s.x, s.y, 0); });
    for (Disc* pin : world.pins) {
        Disc drawn = *pin;
        if (drawn.colour) drawn.RecomputeBounds();
        screen.Copy(fresh, drawn.bounds);
    }
    for (Disc* ball : world.balls) {
        const Rect &a = ball->bounds, &b = ball->prevBounds;
        if (!ball->inPlay) continue;
        if (ball->wrapped || b.right <= b.left || b.bottom <= b.top) screen.Copy(fresh, a), screen.Copy(fresh, b);
        else screen.Copy(fresh, Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)});
    }
    eachSpark([&](const Spark& first, const Spark& s) {
        if (first.life > 1) screen.Segment(s.x, s.y, s.x + s.vx, s.y + s.vy, 0xFFFFFF);
    });
}

struct ComposedFrames : ::testing::TestWithParam<FrameCase> {};

TEST_P(ComposedFrames, ShowWhatEveryDiscDrawnAfreshEveryFrameShows)
{
    const FrameCase& c = GetParam();
    const Rect board{0, 0, c.width, c.height};
    MapSettings settings(c.settings);
    // The Windows view's rules, then the X11 program's.
    for (const CompositionRules rules : {CompositionRules{false, true}, CompositionRules{true, false}}) {
        raster::Canvas screens[2] = {{c.width, c.height}, {c.width, c.height}}, fresh(c.width, c.height);  // drawn afresh, composed
        SoftPen pen(screens[1]);
        Composition composition(rules);
        const auto frame = [&](World& world, bool whole) {
            ReferenceFrame(world, screens[0], fresh);
            composition.Compose(world, pen, board, whole);
            ASSERT_TRUE(screens[0].pixels == screens[1].pixels) << "frame " << world.frameCounter;
            for (Disc* ball : world.balls) ASSERT_FALSE(ball->inPlay && ball->wrapped) << "the wrap is consumed";
        };
        const auto clear = [&] { screens[0].Fill(board, 0), screens[1].Fill(board, 0); };
        World world;
        SeedRuntimeRandom(20261207);
        SetUpScene(world, board, 0, settings);
        for (int f = 0; f < c.frames && !HasFatalFailure(); ++f) {
            if (c.paintEvery && f % c.paintEvery == 0) clear(), frame(world, true);
            StepWorld(world, board);
            if (c.knockOutEvery && f % c.knockOutEvery == 0 && !world.pins.empty())
                world.pins[size_t(f / c.knockOutEvery) * 7 % world.pins.size()]->colour = 0;
            frame(world, false);
            if (++world.frameCounter >= world.scene.sceneFrames)  // as the tick after a scene's last frame
                clear(), SetUpScene(world, board, 0, settings);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Frame, ComposedFrames, ::testing::ValuesIn(kFrameCases));

}  // namespace
