// Two worlds from one seed, one drawn the plain way, the other by FrameComposer: every frame agrees in every pixel.
#include <gtest/gtest.h>

#include <cstring>

#include "render_support.h"
#include "sim_test_support.h"

namespace {

// One generator per world, so that both draw the same numbers however their draws interleave.
uint32_t generators[2];
int drawing = 0;
int Next()
{
    uint32_t& state = generators[drawing];
    state = state * 214013u + 2531011u;
    return int((state >> 16) & 0x7FFF);
}

struct FrameCase {
    const char* name;
    std::map<std::string, uint32_t> settings;
    int width, height, frames;
    int knockOutEvery, paintEvery;  // a pin knocked out, the whole window painted, every so many frames (0: never)
};
void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

const FrameCase kCases[] = {
    {"defaults", {}, 640, 480, 800, 0, 0},
    {"largest balls and pins", {{"NumBalls", 10}, {"BallSize", 200}, {"PinSize", 200}}, 1024, 768, 200, 0, 0},
    {"sparks at every contact", {{"NumBalls", 10}, {"NumPins", 120}, {"BallSize", 40}, {"Gravity", 4}, {"Sparks", 1}},
     640, 480, 600, 0, 0},
    {"knock-outs", {{"NumBalls", 6}, {"NumPins", 80}, {"PinSize", 20}}, 640, 480, 500, 7, 0},
    {"wraps at the fastest fall", {{"NumBalls", 10}, {"Gravity", 100}, {"BallSize", 10}}, 640, 480, 600, 0, 0},
    {"a new scene after every tick", {{"ScenarioCounter", 0}, {"NumPins", 60}}, 640, 480, 200, 0, 0},
    {"200 pins, paints between ticks", {{"NumBalls", 10}, {"NumPins", 200}}, 640, 480, 400, 0, 37},
};

struct FrameComposition : ::testing::TestWithParam<FrameCase> {
    ~FrameComposition() override { BindRandom(nullptr); }
};

TEST_P(FrameComposition, ShowsWhatEveryDiscDrawnAfreshEveryFrameShows)
{
    const FrameCase& c = GetParam();
    MapSettings settings(c.settings);
    const Rect board{0, 0, c.width, c.height};
    const RECT client{0, 0, c.width, c.height};
    World worlds[2];
    rt::Canvas canvases[2] = {{c.width, c.height}, {c.width, c.height}};
    FrameComposer composer;
    auto draw = [&](World& world, HDC dc, bool whole) {
        if (drawing == 0) rt::LiteralFrame(world, dc);
        else whole ? composer.DrawWhole(world, dc, client) : composer.DrawFrame(world, dc, client);
    };
    BindRandom(Next);
    for (drawing = 0; drawing < 2; ++drawing) {
        generators[drawing] = 20261207;
        SetUpScene(worlds[drawing], board, 0, settings);
    }
    size_t inPlay = 0;
    for (int frame = 0; frame < c.frames; ++frame) {
        for (drawing = 0; drawing < 2; ++drawing) {
            World& world = worlds[drawing];
            const HDC dc = canvases[drawing].dc;
            if (c.paintEvery && frame % c.paintEvery == 0) {
                PatBlt(dc, 0, 0, c.width, c.height, BLACKNESS);
                draw(world, dc, true);
            }
            StepWorld(world, board);
            if (c.knockOutEvery && frame % c.knockOutEvery == 0 && !world.pins.empty())
                world.pins[size_t(frame / c.knockOutEvery) * 7 % world.pins.size()]->colour = 0;
            for (Disc* ball : world.balls) inPlay += drawing == 0 && ball->inPlay;
            draw(world, dc, false);
            for (Disc* ball : world.balls) ASSERT_FALSE(ball->inPlay && ball->wrapped) << "the drawing consumes a wrap";
            if (++world.frameCounter >= world.scene.sceneFrames) {  // as the view's tick after a scene's last frame
                PatBlt(dc, 0, 0, c.width, c.height, BLACKNESS);
                SetUpScene(world, board, 0, settings);
            }
        }
        GdiFlush();
        ASSERT_EQ(std::memcmp(canvases[0].bits, canvases[1].bits, size_t(c.width) * c.height * 4), 0) << "frame " << frame;
    }
    EXPECT_GT(inPlay, size_t(c.frames / 2)) << "balls came into play";
}

INSTANTIATE_TEST_SUITE_P(Frame, FrameComposition, ::testing::ValuesIn(kCases));

}  // namespace
