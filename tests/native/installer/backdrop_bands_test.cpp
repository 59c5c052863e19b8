#include "backdrop_bands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct Area {
    int right, bottom;
};

void PrintTo(const Area& a, std::ostream* os) { *os << a.right << "x" << a.bottom; }

class BackdropBandsTest : public ::testing::TestWithParam<Area> {};

// Whatever the height, the bands tile the client area from top to bottom
// without gap or overlap, fading one blue step per band.
TEST_P(BackdropBandsTest, TileTheAreaTopToBottom)
{
    const Area a = GetParam();
    const auto bands = BackdropBands(a.right, a.bottom);
    const double exact = a.bottom / 256.0;
    EXPECT_EQ(bands.front().top, 0);
    EXPECT_EQ(bands.back().bottom, a.bottom);
    for (int i = 0; i < kBandCount; ++i) {
        SCOPED_TRACE(i);
        const Band& b = bands[i];
        if (i > 0) {
            EXPECT_EQ(b.top, bands[i - 1].bottom);
        }
        EXPECT_EQ(b.left, 0);
        EXPECT_EQ(b.right, a.right + 1);
        EXPECT_EQ(b.blue, 255 - i);
        const int height = b.bottom - b.top;
        EXPECT_GE(height, static_cast<int>(std::floor(exact)));
        EXPECT_LE(height, static_cast<int>(std::ceil(exact)));
    }
}

INSTANTIATE_TEST_SUITE_P(Areas, BackdropBandsTest, ::testing::Values(
    Area{1023, 768}, Area{1279, 1000}, Area{799, 600}, Area{1023, 740}, Area{99, 100}, Area{639, 1}, Area{0, 0}),
    [](const auto& info) { return std::to_string(info.param.right) + "x" + std::to_string(info.param.bottom); });

TEST(BackdropBands, EqualBandsWhenHeightIsAMultipleOf256)
{
    for (const Band& b : BackdropBands(1023, 768)) EXPECT_EQ(b.bottom - b.top, 3);
}

TEST(BackdropBands, TruncatesEachEdge)
{
    // 1000 / 256 = 3.90625: edges at 0, 3, 7, 11, 15, 19, 23, 27, 31, 35, ...
    const auto bands = BackdropBands(1279, 1000);
    const int edges[] = {0, 3, 7, 11, 15, 19, 23, 27, 31, 35};
    for (int i = 0; i + 1 < 10; ++i) {
        EXPECT_EQ(bands[i].top, edges[i]);
        EXPECT_EQ(bands[i].bottom, edges[i + 1]);
    }
}

TEST(BackdropBands, ShortAreaLeavesSomeBandsEmpty)
{
    int empty = 0;
    for (const Band& b : BackdropBands(99, 100)) empty += (b.bottom == b.top);
    EXPECT_EQ(empty, 256 - 100);
}

}  // namespace
