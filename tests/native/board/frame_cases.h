// The frame-composition cases of both front ends: two worlds from one seed,
// one drawn afresh every frame, the other through the kept back buffer; after
// every frame both windows must hold the same pixels.
#pragma once
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "sim_test_support.h"

struct FrameCase {
    const char* name;
    std::map<std::string, uint32_t> settings;
    int width, height, frames;
    int knockOutEvery, paintEvery;  // a pin knocked out, the whole window painted, every so many frames (0: never)
};
inline void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

inline const FrameCase kFrameCases[] = {
    {"defaults", {}, 640, 480, 800, 0, 0},
    {"largest balls and pins", {{"NumBalls", 10}, {"BallSize", 200}, {"PinSize", 200}}, 1024, 768, 200, 0, 0},
    {"sparks at every contact", {{"NumBalls", 10}, {"NumPins", 120}, {"BallSize", 40}, {"Gravity", 4}, {"Sparks", 1}},
     640, 480, 600, 0, 0},
    {"knock-outs", {{"NumBalls", 6}, {"NumPins", 80}, {"PinSize", 20}}, 640, 480, 500, 7, 0},
    {"wraps at the fastest fall", {{"NumBalls", 10}, {"Gravity", 100}, {"BallSize", 10}}, 640, 480, 600, 0, 0},
    {"a new scene after every tick", {{"ScenarioCounter", 0}, {"NumPins", 60}}, 640, 480, 200, 0, 0},
    {"200 pins, paints between ticks", {{"NumBalls", 10}, {"NumPins", 200}}, 640, 480, 400, 0, 37},
};

// One generator per world, so that both draw the same numbers however their draws interleave.
struct FrameRandom {
    static inline uint32_t generators[2];
    static inline int drawing = 0;
    static int Next() { return int(((generators[drawing] = generators[drawing] * 214013u + 2531011u) >> 16) & 0x7FFF); }
};

// World 0 is drawn afresh, world 1 through the kept buffer, each on its window. draw(world, i, whole): a
// frame of world i (whole: a paint of the whole window after clear); clear(i): window i black, as before a
// paint and after a scene's last frame; same(): whether both windows agree.
template <class Draw, class Clear, class Same>
void RunFrameCase(const FrameCase& c, Draw&& draw, Clear&& clear, Same&& same)
{
    struct Unbind {
        ~Unbind() { BindRandom(nullptr); }
    } unbind;
    MapSettings settings(c.settings);
    const Rect board{0, 0, c.width, c.height};
    World worlds[2];
    BindRandom(FrameRandom::Next);
    for (int i = 0; i < 2; ++i) {
        FrameRandom::drawing = i;
        FrameRandom::generators[i] = 20261207;
        SetUpScene(worlds[i], board, 0, settings);
    }
    size_t inPlay = 0;
    for (int frame = 0; frame < c.frames; ++frame) {
        for (int i = 0; i < 2; ++i) {
            FrameRandom::drawing = i;
            World& world = worlds[i];
            if (c.paintEvery && frame % c.paintEvery == 0) {
                clear(i);
                draw(world, i, true);
            }
            StepWorld(world, board);
            if (c.knockOutEvery && frame % c.knockOutEvery == 0 && !world.pins.empty())
                world.pins[size_t(frame / c.knockOutEvery) * 7 % world.pins.size()]->colour = 0;
            for (Disc* ball : world.balls) inPlay += i == 0 && ball->inPlay;
            draw(world, i, false);
            for (Disc* ball : world.balls) ASSERT_FALSE(ball->inPlay && ball->wrapped) << "the drawing consumes a wrap";
            if (++world.frameCounter >= world.scene.sceneFrames) {  // as the view's tick after a scene's last frame
                clear(i);
                SetUpScene(world, board, 0, settings);
            }
        }
        ASSERT_TRUE(same()) << "frame " << frame;
    }
    EXPECT_GT(inPlay, size_t(c.frames / 2)) << "balls came into play";
}
