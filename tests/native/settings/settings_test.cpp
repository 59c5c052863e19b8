#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "settings/option_rules.h"

TEST(BallsFillScreen, RefusesBallsThatCoverNineTenthsOfTheScreen)
{
    const int32_t cases[][5] = {
        {10, 103, 800, 600, 0}, {10, 104, 800, 600, 1}, {30, 60, 800, 600, 1}, {29, 60, 800, 600, 0},  // of 432000
        {10, 200, 1920, 1080, 0}, {1, 46341, 800, 600, 1}, {INT_MAX, INT_MAX, 800, 600, 1}, {1, INT_MIN, 800, 600, 1}};
    for (const auto& c : cases) EXPECT_EQ(BallsFillScreen(c[0], c[1], c[2], c[3]), c[4] != 0) << c[0] << " x " << c[1];
}

TEST(ResolveSetting, PolicyThenUserThenMachineThenBuiltIn)
{
    const auto none = std::nullopt;
    const std::tuple<SettingId, SettingLevels, uint32_t, bool> cases[] = {{kNumBalls, {none, none, none}, 3, false},
        {kNumBalls, {none, none, 7}, 7, false}, {kNumBalls, {none, 0, 7}, 0, false}, {kNumBalls, {5, 0, 7}, 5, true},
        {kNumBalls, {11, none, none}, 10, true}, {kSparks, {none, 5, 0xFFFFFFFF}, 5, false}, {kSparks, {none, none, 7}, 1, false},
        {kSparks, {0, none, none}, 0, true}, {kSymmetry, {2, none, none}, 2, true}, {kSymmetry, {none, none, 0xFFFFFFFF}, 1, false}};
    for (const auto& [which, levels, value, fixed] : cases)
        EXPECT_TRUE(ResolveSetting(which, levels).value == value && ResolveSetting(which, levels).fixed == fixed) << value;
}
