#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "sim_test_support.h"

// pins: those laid out, where a mirrored odd count gets one more, the last single pin's image.
TEST(SetUpScene, FollowsTheStoredSettings)
{
    const struct {  // draws: the per-scene ("2") decisions, drawn first
        std::map<std::string, uint32_t> stored; bool preview; std::deque<int> draws;
        int32_t balls, pins; double ballRadius, pinRadius; bool symmetric; double gravity; bool sparks; uint32_t sceneFrames;
    } cases[] = {
        {{{"Symmetry", 0}, {"Sparks", 0}, {"ScenarioCounter", 7158279}}, false, {}, 3, 40, 30, 8, false, 1.0, false, 104},
        {{{"Symmetry", 2}, {"Sparks", 2}, {"NumPins", 41}}, false, {1, 32766}, 3, 42, 30, 8, true, 1.0, false, 12000},
        {{{"NumBalls", 0x7FFFFFFF}, {"NumPins", 20000}, {"BallSize", 0xFFFFFFFF}, {"PinSize", 70000}, {"Symmetry", 5}},
         false, {}, kMaxBalls, kMaxPins, kMaxRadius, kMaxRadius, true, 1.0, true, 12000},
        {{{"Symmetry", 2}, {"Sparks", 0}, {"Gravity", 40}}, true, {4}, 1, 6, 10, 6, false, 2, true, INT32_MAX},
    };
    for (const auto& c : cases) {
        World world;
        MapSettings settings(c.stored);
        ScriptedRandom random(c.draws);
        SetUpScene(world, Rect{0, 0, 800, 600}, c.preview, settings);
        const SceneSettings& s = world.scene;
        EXPECT_EQ(std::make_tuple(s.preview, world.balls.size(), world.pins.size(), s.ballRadius, s.pinRadius, s.symmetric,
                                  s.gravity, s.sparksOn, s.sceneFrames, ScriptedRandom::Script().size()),
                  std::make_tuple(c.preview, size_t(c.balls), size_t(c.pins), c.ballRadius, c.pinRadius, c.symmetric,
                                  c.gravity, c.sparks, c.sceneFrames, size_t(0))) << &c - cases;
    }
}

TEST(Robustness, AnySettingsOnAnyBoardGiveASoundWorld)
{
    std::mt19937 gen(20261206);
    const uint32_t kEdges[] = {0u, 1u, 2u, 3u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 100000u};
    auto side = [&] { return int32_t(gen() % 3 == 0 ? gen() % 16385 : gen() % 4 == 0 ? gen() % 8 : 200 + gen() % 1800); };
    for (int round = 0; round < 2000; ++round) {
        MapSettings settings;
        auto& v = settings.values;
        for (const Setting& s : kSettings) {
            const uint32_t pick = gen() % 8, range = uint32_t(s.maximum - s.minimum + 1);
            if (pick) v[s.name] = pick == 1 ? kEdges[gen() % 8] : pick == 2 ? uint32_t(gen()) : s.minimum + gen() % range;
        }
        for (const char* count : {"NumBalls", "NumPins"})
            if (round % 80 && v.count(count) && int32_t(v[count]) > 300) v[count] %= 300;
        const Rect board{0, 0, side(), side()};
        SCOPED_TRACE(testing::Message() << "round " << round << " board " << board.right << "x" << board.bottom);
        World world;
        SetUpScene(world, board, gen() % 16 == 0, settings);
        for (int frame = 0; frame < (round % 80 ? 30 : 8); ++frame) {
            StepWorld(world, board);
            if (++world.frameCounter >= world.scene.sceneFrames && frame % 10 == 0) SetUpScene(world, board, 0, settings);
        }
        ASSERT_LE(world.balls.size() + world.pins.size(), size_t(kMaxBalls + kMaxPins + 1));
    }
}
