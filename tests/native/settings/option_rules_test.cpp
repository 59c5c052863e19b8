#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <set>
#include <string>

#include "settings/option_rules.h"

namespace {

struct LabelCase {
    LabelFormat format;
    int32_t value;
    const char* expected;
    friend std::ostream& operator<<(std::ostream& os, const LabelCase& c)
    {
        return os << (c.format == LabelFormat::Count ? "count " : "twentieths ") << c.value;
    }
};

class SliderLabelTest : public ::testing::TestWithParam<LabelCase> {};

TEST_P(SliderLabelTest, Text)
{
    EXPECT_EQ(FormatSliderLabel(GetParam().format, GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SliderLabelTest,
    ::testing::Values(
        LabelCase{LabelFormat::Count, 3, "3"}, LabelCase{LabelFormat::Count, 200, "200"},
        // Stored values outside the ranges show as they are, at full width.
        LabelCase{LabelFormat::Count, -1, "-1"}, LabelCase{LabelFormat::Count, INT_MIN, "-2147483648"},
        LabelCase{LabelFormat::Count, INT_MAX, "2147483647"},
        LabelCase{LabelFormat::Twentieths, 20, "1.00"}, LabelCase{LabelFormat::Twentieths, 27, "1.35"},
        LabelCase{LabelFormat::Twentieths, 1, "0.05"}, LabelCase{LabelFormat::Twentieths, 100, "5.00"},
        LabelCase{LabelFormat::Twentieths, 3, "0.15"}, LabelCase{LabelFormat::Twentieths, 0, "0.00"},
        LabelCase{LabelFormat::Twentieths, -1, "-0.05"},
        LabelCase{LabelFormat::Twentieths, INT_MAX, "107374182.35"},
        LabelCase{LabelFormat::Twentieths, INT_MIN, "-107374182.40"}));

struct AreaCase {
    int32_t balls, radius, width, height;
    bool refused;
    friend std::ostream& operator<<(std::ostream& os, const AreaCase& c)
    {
        return os << c.balls << " balls of " << c.radius << " on " << c.width << "x" << c.height;
    }
};

class BallAreaTest : public ::testing::TestWithParam<AreaCase> {};

TEST_P(BallAreaTest, RefusesBallsThatNearlyFillTheScreen)
{
    const AreaCase& c = GetParam();
    EXPECT_EQ(BallsFillScreen(c.balls, c.radius, c.width, c.height), c.refused);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, BallAreaTest,
    ::testing::Values(
        AreaCase{10, 103, 800, 600, false},  // 424360 against 432000
        AreaCase{10, 104, 800, 600, true},   // 432640
        AreaCase{30, 60, 800, 600, true},    // exactly nine tenths: refused
        AreaCase{3, 30, 800, 600, false}, AreaCase{10, 200, 1920, 1080, false},
        AreaCase{10, 200, 1024, 768, true},
        // Products far beyond 32 bits would wrap to small or negative areas
        // and slip through; they must be refused.
        AreaCase{10, 20000, 800, 600, true},  // 1.6e10, wraps to a negative 32-bit value
        AreaCase{1, 46341, 800, 600, true}, AreaCase{INT_MAX, INT_MAX, 800, 600, true},
        AreaCase{1, INT_MIN, 800, 600, true}, AreaCase{65536, 32768, 1920, 1080, true}));

TEST(BallArea, EverySliderCombinationFitsAFullHdScreen)
{
    const StoredSetting& balls = StoredSettingOf(&SaverSettings::numBalls);
    const StoredSetting& radius = StoredSettingOf(&SaverSettings::ballSize);
    for (int32_t n = balls.minimum; n <= balls.maximum; ++n) {
        for (int32_t r = radius.minimum; r <= radius.maximum; ++r) {
            ASSERT_FALSE(BallsFillScreen(n, r, 1920, 1080)) << n << " balls of radius " << r;
        }
    }
}

TEST(SliderBindings, SevenDistinctSlidersForEverySettingButTheLists)
{
    std::set<std::string> fields;
    std::set<int> ids;
    for (const SliderBinding& b : kSliderBindings) {
        fields.insert(StoredSettingOf(b.field).name);
        ids.insert(b.sliderId);
        ids.insert(b.labelId);
        EXPECT_EQ(b.format == LabelFormat::Twentieths, b.field == &SaverSettings::gravity) << StoredSettingOf(b.field).name;
    }
    EXPECT_EQ(fields.size(), 7u);
    EXPECT_EQ(ids.size(), 14u);
    EXPECT_EQ(fields.count("Symmetry"), 0u);
    EXPECT_EQ(fields.count("Sparks"), 0u);
}

}  // namespace
