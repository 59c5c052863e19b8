#include <gtest/gtest.h>

#include "backdrop_bands.h"
#include "link_font.h"

namespace {

// Whatever the height, the bands tile the client area from top to bottom
// without gap or overlap, one blue step per band, each edge truncated.
TEST(BackdropBands, TileTheAreaTopToBottom)
{
    struct Area {
        int right, bottom;
        int firstEdges[4];  // bottoms of the first bands
    } areas[] = {
        {1023, 768, {3, 6, 9, 12}}, {1279, 1000, {3, 7, 11, 15}}, {99, 100, {0, 0, 1, 1}}, {0, 0, {0, 0, 0, 0}}};
    for (const Area& a : areas) {
        SCOPED_TRACE(a.bottom);
        const auto bands = BackdropBands(a.right, a.bottom);
        EXPECT_EQ(bands.back().bottom, a.bottom);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(bands[i].bottom, a.firstEdges[i]) << i;
        for (int i = 0; i < kBandCount; ++i) {
            EXPECT_EQ(bands[i].top, i > 0 ? bands[i - 1].bottom : 0) << i;
            EXPECT_EQ(bands[i].left, 0);
            EXPECT_EQ(bands[i].right, a.right + 1);
            EXPECT_EQ(bands[i].blue, 255 - i);
        }
    }
}

TEST(LinkFontHeight, KeepsStepWithTheResolution)
{
    const int cases[][2] = {{96, 10}, {120, 13}, {144, 15}, {192, 20}, {288, 30}};
    for (const auto& c : cases) EXPECT_EQ(LinkFontHeight(c[0]), c[1]) << c[0] << " dpi";
}

}  // namespace
