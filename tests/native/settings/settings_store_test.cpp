#include <gtest/gtest.h>

#include "settings/settings_store.h"

namespace {

struct ClampCase {
    SettingId which;
    uint32_t stored, used;
};

TEST(ClampStoredSetting, KeepsEveryValueWithinTheDialogsRange)
{
    const ClampCase cases[] = {
        // Within the range nothing changes, at either end.
        {kNumBalls, 1, 1}, {kNumBalls, 10, 10}, {kNumPins, 4, 4}, {kNumPins, 200, 200}, {kPinSize, 6, 6},
        {kGravity, 27, 27}, {kScenarioCounter, 100, 100}, {kRefreshRate, 3, 3},
        // Beyond it, the nearer end; the 32 bits count as signed, as on the dialog's sliders.
        {kNumBalls, 0, 1}, {kNumBalls, 11, 10}, {kNumPins, 2147483647, 200}, {kBallSize, 0xFFFFFFFF, 10},
        {kBallSize, 0x80000000, 10}, {kPinSize, 2147483647, 200}, {kGravity, 0, 1}, {kGravity, 101, 100},
        {kScenarioCounter, 0, 1}, {kRefreshRate, 0xFFFFFFFF, 3}, {kRefreshRate, 128, 127},
        // The lists: 0 off and 2 per scene stay; anything else reads as on.
        {kSymmetry, 0, 0}, {kSymmetry, 1, 1}, {kSymmetry, 2, 2}, {kSymmetry, 5, 1}, {kSymmetry, 0xFFFFFFFF, 1},
        {kSparks, 0, 0}, {kSparks, 2, 2}, {kSparks, 3, 1}, {kSparks, 0x80000000, 1},
    };
    for (const ClampCase& c : cases)
        EXPECT_EQ(ClampStoredSetting(c.which, c.stored), c.used) << kStoredSettings[c.which].name << " " << c.stored;
}

}  // namespace
