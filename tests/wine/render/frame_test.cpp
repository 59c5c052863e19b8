// The view's frames against plain ones: two worlds built from the same seed
// run tick by tick, one drawn by rt::LiteralFrame (every disc in a fresh
// buffer every frame), the other by FrameComposer (only what changed, in a
// kept buffer). After every frame the two bitmaps must agree in every pixel.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "render/frame.h"
#include "render_support.h"
#include "sim/random.h"
#include "sim/scene.h"

namespace {

// One generator per world, both from the same seed, so that the worlds draw
// the same numbers however their draws interleave.
uint32_t generators[2];
int drawing = 0;
int Next()
{
    uint32_t& state = generators[drawing];
    state = state * 214013u + 2531011u;
    return int((state >> 16) & 0x7FFF);
}

struct StoredValues : SettingsReader {
    std::map<std::string, uint32_t> values;
    uint32_t ReadSetting(SettingId which) override
    {
        const auto it = values.find(kStoredSettings[which].name);
        return it == values.end() ? uint32_t(kStoredSettings[which].defaultValue) : it->second;
    }
};

// A 32-bit bitmap in a memory context, black at first, whose pixels can be compared.
struct Canvas {
    Canvas(int width, int height) : size(size_t(width) * height), dc(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof bi.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* p = nullptr;
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<const uint32_t*>(p);
        kept = SelectObject(dc, bitmap);
    }
    ~Canvas()
    {
        SelectObject(dc, kept);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    bool Same(const Canvas& other) const
    {
        GdiFlush();
        return std::memcmp(bits, other.bits, size * sizeof *bits) == 0;
    }

    const size_t size;
    const HDC dc;
    HBITMAP bitmap = nullptr;
    HGDIOBJ kept = nullptr;
    const uint32_t* bits = nullptr;
};

struct FrameCase {
    const char* name;
    std::map<std::string, uint32_t> settings;
    int width, height, frames;
    int knockOutEvery;  // the test knocks out a pin every so many frames (0: never)
    int paintEvery;     // and paints the whole window every so many (0: never)
};
void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

const FrameCase kCases[] = {
    {"defaults", {}, 640, 480, 800, 0, 0},
    {"200 pins and 10 balls", {{"NumBalls", 10}, {"NumPins", 200}}, 640, 480, 500, 0, 0},
    {"largest balls and pins", {{"NumBalls", 10}, {"BallSize", 200}, {"PinSize", 200}}, 1024, 768, 200, 0, 0},
    {"sparks at every contact", {{"NumBalls", 10}, {"NumPins", 120}, {"BallSize", 40}, {"Gravity", 4}, {"Sparks", 1}},
     640, 480, 600, 0, 0},
    {"knock-outs", {{"NumBalls", 6}, {"NumPins", 80}, {"PinSize", 20}}, 640, 480, 500, 7, 0},
    {"wraps at the fastest fall", {{"NumBalls", 10}, {"Gravity", 100}, {"BallSize", 10}}, 640, 480, 600, 0, 0},
    {"a new scene after every tick", {{"ScenarioCounter", 0}, {"NumPins", 60}}, 640, 480, 200, 0, 0},
    {"paints between ticks", {{"NumBalls", 10}, {"NumPins", 100}}, 640, 480, 400, 0, 37},
};

class FrameComposition : public ::testing::TestWithParam<FrameCase> {
protected:
    ~FrameComposition() override { BindRandom(nullptr); }
};

TEST_P(FrameComposition, ShowsWhatEveryDiscDrawnAfreshEveryFrameShows)
{
    const FrameCase& c = GetParam();
    StoredValues settings;
    settings.values = c.settings;
    const Rect board{0, 0, c.width, c.height};
    const RECT client{0, 0, c.width, c.height};
    World worlds[2];
    Canvas plain(c.width, c.height), kept(c.width, c.height);
    Canvas* canvases[2] = {&plain, &kept};
    FrameComposer composer;
    BindRandom(Next);
    for (drawing = 0; drawing < 2; ++drawing) {
        generators[drawing] = 20261207;
        SetUpScene(worlds[drawing], board, 0, settings);
    }

    size_t inPlay = 0;
    for (int frame = 0; frame < c.frames; ++frame) {
        for (drawing = 0; drawing < 2; ++drawing) {
            World& world = worlds[drawing];
            HDC dc = canvases[drawing]->dc;
            if (c.paintEvery && frame % c.paintEvery == 0) {
                PatBlt(dc, 0, 0, c.width, c.height, BLACKNESS);
                drawing == 0 ? rt::LiteralFrame(world, dc) : composer.DrawWhole(world, dc, client);
            }
            StepWorld(world, board);
            if (c.knockOutEvery && frame % c.knockOutEvery == 0 && !world.pins.empty())
                world.pins[size_t(frame / c.knockOutEvery) * 7 % world.pins.size()]->colour = 0;
            for (Disc* ball : world.balls) inPlay += drawing == 0 && ball->inPlay;
            drawing == 0 ? rt::LiteralFrame(world, dc) : composer.DrawFrame(world, dc, client);
            // The view's tick: the last frame of a scene shows, then the board is cleared.
            if (++world.frameCounter >= world.scene.sceneFrames) {
                PatBlt(dc, 0, 0, c.width, c.height, BLACKNESS);
                SetUpScene(world, board, 0, settings);
            }
        }
        ASSERT_TRUE(plain.Same(kept)) << "frame " << frame;
    }
    EXPECT_GT(inPlay, size_t(c.frames / 2)) << "balls came into play";
}

INSTANTIATE_TEST_SUITE_P(Frame, FrameComposition, ::testing::ValuesIn(kCases));

}  // namespace
