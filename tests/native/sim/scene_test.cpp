#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/scene.h"
#include "sim_test_support.h"

namespace {

struct SceneCase {
    const char* name;
    std::map<std::string, uint32_t> stored;
    bool preview;
    std::vector<int> draws;  // the first draws of the set-up: the "Whatever" decisions
    int32_t balls, pins;
    double ballRadius, pinRadius;
    bool symmetric;
    double gravity;
    bool sparks;
    uint32_t sceneFrames;
};

class SceneValues : public ::testing::TestWithParam<SceneCase> {};

TEST_P(SceneValues, FollowTheStoredSettings)
{
    const SceneCase& c = GetParam();
    World world;
    MapSettings settings;
    settings.values = c.stored;
    ScriptedRandom random(c.draws);  // then zeros for the layout
    SetUpScene(world, Board(800, 600), c.preview, settings);
    EXPECT_EQ(random.Left(), 0u) << "a Whatever draw was not made";

    const SceneSettings& s = world.scene;
    EXPECT_EQ(s.preview, c.preview);
    EXPECT_EQ(s.ballCount, c.balls);
    EXPECT_EQ(s.pinCount, c.pins);
    EXPECT_EQ(s.ballRadius, c.ballRadius);
    EXPECT_EQ(s.pinRadius, c.pinRadius);
    EXPECT_EQ(s.symmetric, c.symmetric);
    EXPECT_EQ(s.gravity, c.gravity);
    EXPECT_EQ(s.sparksOn, c.sparks);
    EXPECT_EQ(s.sceneFrames, c.sceneFrames);
    EXPECT_EQ(world.balls.size(), size_t(std::max(c.balls, 0)));
    std::vector<std::string> expectedReads;
    for (const StoredSetting& setting : kStoredSettings) {
        const std::string name = setting.name;
        if (!c.preview || name == "Symmetry" || name == "Gravity") expectedReads.push_back("Settings/" + name);
    }
    EXPECT_EQ(settings.reads, expectedReads);
}

constexpr uint32_t kMinusOne = 0xFFFFFFFFu;

INSTANTIATE_TEST_SUITE_P(
    Settings, SceneValues,
    ::testing::Values(
        SceneCase{"Defaults", {}, false, {}, 3, 40, 30, 8, true, 1.0, true, 12000},
        SceneCase{"Gravity27", {{"Gravity", 27}}, false, {}, 3, 40, 30, 8, true, 27 * 0.05, true, 12000},
        SceneCase{"Gravity1", {{"Gravity", 1}}, false, {}, 3, 40, 30, 8, true, 0.05, true, 12000},
        SceneCase{"Gravity0", {{"Gravity", 0}}, false, {}, 3, 40, 30, 8, true, 0.05, true, 12000},
        SceneCase{"Gravity100", {{"Gravity", 100}}, false, {}, 3, 40, 30, 8, true, 5.0, true, 12000},
        SceneCase{"ShortScenes", {{"ScenarioCounter", 1}}, false, {}, 3, 40, 30, 8, true, 1.0, true, 600},
        SceneCase{"NoScene", {{"ScenarioCounter", 0}}, false, {}, 3, 40, 30, 8, true, 1.0, true, 0},
        SceneCase{"SceneLengthWraps", {{"ScenarioCounter", 7158279}}, false, {}, 3, 40, 30, 8, true, 1.0, true, 104},
        SceneCase{"Off", {{"Symmetry", 0}, {"Sparks", 0}}, false, {}, 3, 40, 30, 8, false, 1.0, false, 12000},
        SceneCase{"OtherValuesAreOn", {{"Symmetry", 5}, {"Sparks", kMinusOne}}, false, {}, 3, 40, 30, 8, true, 1.0,
                  true, 12000},
        SceneCase{"WhateverOddEven", {{"Symmetry", 2}, {"Sparks", 2}}, false, {1, 32766}, 3, 40, 30, 8, true, 1.0,
                  false, 12000},
        SceneCase{"WhateverEvenOdd", {{"Symmetry", 2}, {"Sparks", 2}}, false, {0, 32767}, 3, 40, 30, 8, false, 1.0,
                  true, 12000},
        SceneCase{"WhateverSparksOnly", {{"Sparks", 2}}, false, {3}, 3, 40, 30, 8, true, 1.0, true, 12000},
        SceneCase{"DialogMaxima", {{"NumBalls", 10}, {"NumPins", 200}, {"BallSize", 10}, {"PinSize", 6}}, false, {},
                  10, 200, 10, 6, true, 1.0, true, 12000},
        SceneCase{"NegativeCounts", {{"NumBalls", kMinusOne}, {"NumPins", 0x80000000u}}, false, {}, -1, INT32_MIN,
                  30, 8, true, 1.0, true, 12000},
        SceneCase{"Capped", {{"NumBalls", 0x7FFFFFFF}, {"NumPins", 20000}, {"BallSize", kMinusOne}, {"PinSize", 70000}},
                  false, {}, kMaxBalls, kMaxPins, kMaxRadius, kMaxRadius, true, 1.0, true, 12000},
        SceneCase{"Preview", {{"NumBalls", 9}, {"BallSize", 50}, {"Sparks", 0}, {"ScenarioCounter", 1}, {"Gravity", 40}},
                  true, {}, 1, 6, 10, 6, true, 2.0, true, 2147483647},
        SceneCase{"PreviewWhatever", {{"Symmetry", 2}, {"Sparks", 2}}, true, {4}, 1, 6, 10, 6, false, 1.0, true,
                  2147483647}),
    [](const auto& info) { return info.param.name; });

TEST(SetUpScene, TheFirstCallDecidesPreviewForGood)
{
    for (int first : {0, 1}) {
        World world;
        MapSettings settings;
        SetUpScene(world, Board(800, 600), first, settings);
        SetUpScene(world, Board(800, 600), !first, settings);
        EXPECT_EQ(world.scene.preview, first != 0);
        EXPECT_EQ(world.pins.size(), first ? 6u : 40u);
    }
}

TEST(SetUpScene, RebuildsTheWorldInPlace)
{
    World world;
    MapSettings settings;
    SetUpScene(world, Board(800, 600), 0, settings);
    for (int i = 0; i < 300; ++i) StepWorld(world, Board(800, 600));
    world.frameCounter = 300;
    world.hitList.push_back(PinHit{world.pins[0], 0, 1});
    world.sparks.Spawn(5, 5);
    SetUpScene(world, Board(800, 600), 0, settings);
    EXPECT_EQ(world.frameCounter, 0u);
    EXPECT_TRUE(world.hitList.empty());
    EXPECT_EQ(world.sparks.head, world.sparks.tail);
    for (size_t i = 0; i < world.balls.size(); ++i) {
        EXPECT_FALSE(world.balls[i]->inPlay);
        EXPECT_EQ(world.balls[i]->id, int32_t(world.pins.size() + i));
    }
}

// Layout with every random number scripted: ball radius 10 and pin radius 6
// on a 400 by 400 board give the pin area 20..380 (20..194 when mirrored)
// and the spacing d = 26.
class ScriptedLayout : public ::testing::Test {
protected:
    void Build(uint32_t pins, uint32_t symmetry, const std::vector<int>& draws)
    {
        MapSettings settings{{"NumBalls", 0}, {"NumPins", pins}, {"BallSize", 10}, {"PinSize", 6}, {"Symmetry", symmetry}};
        ScriptedRandom random(draws);
        SetUpScene(world, Board(400, 400), 0, settings);
        EXPECT_EQ(random.Left(), 0u) << "fewer draws than scripted";
        EXPECT_EQ(random.Overrun(), 0) << "more draws than scripted";
    }
    World world;
};

TEST_F(ScriptedLayout, DrawsHeadingPositionThenColourBlueGreenRed)
{
    Build(1, 0, {1000, 100, 50, 0, 1, 2});  // a single pin: no shape draw
    ASSERT_EQ(world.pins.size(), 1u);
    EXPECT_EQ(world.pins[0]->x, 120);
    EXPECT_EQ(world.pins[0]->y, 70);
    EXPECT_EQ(world.pins[0]->colour, 0xAAABACu);  // blue 170, green 171, red 172
}

TEST_F(ScriptedLayout, ShiftsAGroupIntoTheAreaButKeepsItsFirstBounds)
{
    // Shape 5 (row of four), heading 0, from the area's left edge: the first
    // pin reaches 14 < 20, so the group moves right by 6.
    std::vector<int> draws = {5, 0, 0, 100};
    draws.resize(draws.size() + 12, 0);
    Build(4, 0, draws);
    ASSERT_EQ(world.pins.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(world.pins[i]->x, 26 + 26 * i) << i;
    EXPECT_EQ(world.pins[0]->bounds.left, 14);  // where it was created; drawing catches up
}

TEST_F(ScriptedLayout, MirrorsEachAcceptedGroupAboutTheAreaEdge)
{
    // Five pins, mirrored: remaining 5, 3 and 1 are all below 6, so three
    // single pins, each followed by its mirror image (colour drawn after).
    Build(5, 1, {0, 10, 10, 1, 1, 1, 2, 2, 2, 0, 60, 60, 3, 3, 3, 4, 4, 4, 0, 120, 30, 5, 5, 5, 6, 6, 6});
    ASSERT_EQ(world.pins.size(), 6u);
    const double expected[6][2] = {{30, 30}, {358, 30}, {80, 80}, {308, 80}, {140, 50}, {248, 50}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(world.pins[i]->id, i);
        EXPECT_EQ(world.pins[i]->x, expected[i][0]) << i;
        EXPECT_EQ(world.pins[i]->y, expected[i][1]) << i;
    }
    EXPECT_EQ(world.pins[1]->colour, 0xACACACu);
}

TEST_F(ScriptedLayout, MirroredLayoutsUseRowsOfFourOnlyWithEightOrMoreLeft)
{
    // Seven left: 6 % 4 = 2, a curved row of three, mirrored; then one pin
    // and its mirror image.
    std::vector<int> draws = {6, 0, 60, 60};
    draws.resize(draws.size() + 18, 0);
    draws.insert(draws.end(), {0, 150, 250, 0, 0, 0, 0, 0, 0});
    Build(7, 1, draws);
    ASSERT_EQ(world.pins.size(), 8u);
    EXPECT_EQ(world.pins[6]->x, 170);
    EXPECT_EQ(world.pins[7]->x, 388 - 170);
}

TEST_F(ScriptedLayout, RetriesAGroupThatCrowdsAPinAcrossACellBorder)
{
    // 40-pixel cells: the first pin at x = 119 (column 2), the second tried
    // at 121 (column 3) and then, with its colour drawn all the same, at 300.
    Build(2, 0, {0, 99, 50, 0, 0, 0, 0, 101, 50, 0, 0, 0, 0, 280, 280, 0, 0, 0});
    ASSERT_EQ(world.pins.size(), 2u);
    EXPECT_EQ(world.pins[1]->x, 300);
    EXPECT_EQ(world.pins[1]->id, 1);
}

TEST_F(ScriptedLayout, TakesTheTwentiethAttemptEvenWhenCrowded)
{
    std::vector<int> draws;
    for (int attempt = 0; attempt < 21; ++attempt) draws.insert(draws.end(), {0, 100, 100, 0, 0, 0});
    Build(2, 0, draws);
    ASSERT_EQ(world.pins.size(), 2u);
    EXPECT_EQ(world.pins[1]->x, world.pins[0]->x);
}

struct PinCountCase {
    int32_t requested;
    uint32_t symmetry;
    size_t created;
};

class PinCounts : public ::testing::TestWithParam<PinCountCase> {};

TEST_P(PinCounts, MatchTheRequestOrOneMoreWhenMirrored)
{
    const PinCountCase& c = GetParam();
    for (uint32_t seed : {1u, 2u, 99u}) {
        World world;
        MapSettings settings{{"NumPins", uint32_t(c.requested)}, {"Symmetry", c.symmetry}};
        SeedRuntimeRandom(seed);
        SetUpScene(world, Board(1024, 768), 0, settings);
        ASSERT_EQ(world.pins.size(), c.created) << "seed " << seed;
        for (size_t i = 0; i < world.pins.size(); ++i) EXPECT_EQ(world.pins[i]->id, int32_t(i));
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PinCounts,
                         ::testing::Values(PinCountCase{5, 1, 6}, PinCountCase{4, 1, 4}, PinCountCase{1, 1, 2},
                                           PinCountCase{41, 1, 42}, PinCountCase{40, 1, 40}, PinCountCase{0, 1, 0},
                                           PinCountCase{-3, 0, 0}, PinCountCase{3, 0, 3}, PinCountCase{7, 0, 7},
                                           PinCountCase{200, 0, 200}, PinCountCase{199, 1, 200}));

TEST(World, StepsAndDrawsNothingBeforeTheFirstSetUp)
{
    World world;
    EXPECT_EQ(world.scene.sceneFrames, 1000u);
    StepWorld(world, Board(800, 600));
    int live = 0;
    world.sparks.ForEachLive([&](int32_t, const std::vector<Spark>&) { ++live; });
    EXPECT_EQ(live, 0);
    EXPECT_EQ(world.hitStamp, 0);
}

}  // namespace
