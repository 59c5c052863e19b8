#include <gtest/gtest.h>

#include <climits>

#include "settings/option_rules.h"

namespace {

TEST(FormatSliderLabel, CountsAsTheyAreGravityInTwentieths)
{
    constexpr LabelFormat kCount = LabelFormat::Count, kTwentieths = LabelFormat::Twentieths;
    const struct {
        LabelFormat format;
        int32_t value;
        const char* text;
    } cases[] = {
        {kCount, 3, "3"}, {kCount, 200, "200"}, {kTwentieths, 20, "1.00"}, {kTwentieths, 27, "1.35"},
        {kTwentieths, 1, "0.05"}, {kTwentieths, 100, "5.00"}, {kTwentieths, 3, "0.15"}, {kTwentieths, 0, "0.00"},
        // Stored values outside the ranges show as they are, at full width.
        {kCount, -1, "-1"}, {kCount, INT_MIN, "-2147483648"}, {kCount, INT_MAX, "2147483647"},
        {kTwentieths, -1, "-0.05"}, {kTwentieths, INT_MAX, "107374182.35"}, {kTwentieths, INT_MIN, "-107374182.40"},
    };
    for (const auto& c : cases) {
        char text[32];
        FormatSliderLabel(c.format, c.value, text);
        EXPECT_STREQ(text, c.text) << c.value;
    }
}

TEST(BallsFillScreen, RefusesBallsThatCoverNineTenthsOfTheScreen)
{
    const struct {
        int32_t balls, radius, width, height;
        bool refused;
    } cases[] = {
        {10, 103, 800, 600, false}, {10, 104, 800, 600, true},  // 424360 and 432640 against 432000
        {30, 60, 800, 600, true},                                // exactly nine tenths
        {3, 30, 800, 600, false}, {10, 200, 1920, 1080, false}, {10, 200, 1024, 768, true},
        // Products that would wrap in 32 bits to small or negative areas.
        {10, 20000, 800, 600, true}, {1, 46341, 800, 600, true}, {INT_MAX, INT_MAX, 800, 600, true},
        {1, INT_MIN, 800, 600, true}, {65536, 32768, 1920, 1080, true},
    };
    for (const auto& c : cases) EXPECT_EQ(BallsFillScreen(c.balls, c.radius, c.width, c.height), c.refused) << c.radius;
    // Nothing the sliders can reach is refused on a full HD screen.
    const StoredSetting &balls = kStoredSettings[kNumBalls], &radius = kStoredSettings[kBallSize];
    for (int32_t n = balls.minimum; n <= balls.maximum; ++n) {
        for (int32_t r = radius.minimum; r <= radius.maximum; ++r) ASSERT_FALSE(BallsFillScreen(n, r, 1920, 1080)) << n << " " << r;
    }
}

}  // namespace
