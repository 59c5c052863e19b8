// The memory pen against the rasteriser, and its frames through a kept buffer against the world drawn afresh.
#include <gtest/gtest.h>

#include "board/memory_pen.h"
#include "display_scales.h"
#include "raster.h"

namespace {

struct ComposedFrames : ::testing::TestWithParam<raster::FrameCase> {};

TEST_P(ComposedFrames, ShowWhatEveryDiscDrawnAfreshEveryFrameShowsAtEveryScale)
{
    const raster::FrameCase& c = GetParam();
    const size_t pixels = size_t(c.width) * size_t(c.height);
    // The Windows view's rules, then the X11 and Wayland programs'; the whole
    // case at scale 1, its start at the others.
    for (const CompositionRules rules : {CompositionRules{false, true}, CompositionRules{true, false}}) {
        for (const DisplayScale& s : kDisplayScales) {
            std::vector<uint32_t> composed(pixels), buffer(pixels), afresh(pixels);
            MemoryPen pen(s.scale), fresh(s.scale);
            pen.SetTarget(PixelImage{composed.data(), c.width, c.height, c.width});
            pen.SetBuffer(PixelImage{buffer.data(), c.width, c.height, c.width});
            fresh.SetTarget(PixelImage{afresh.data(), c.width, c.height, c.width});
            Composition composition(rules);
            raster::CheckComposedFrames(
                c, s.scale, fresh, [&](World& world, const Rect& board, bool whole) { composition.Compose(world, pen, board, whole); },
                [&] { pen.ClearTarget(); }, [&] { return composed == afresh; }, s.scale == 1 ? c.frames : 60);
            if (HasFatalFailure()) return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Frame, ComposedFrames, ::testing::ValuesIn(raster::kFrameCases));

// The memory pen's pixels are 0x00RRGGBB, as the check reads them; it reports
// as damage every pixel of the target that it changed.
TEST(MemoryPen, DrawsAsTheRasteriserDoes)
{
    std::vector<uint32_t> target(100 * 100, 0x123456), buffer(100 * 100), before;
    MemoryPen pen;
    pen.SetTarget(PixelImage{target.data(), 100, 100, 100});
    pen.SetBuffer(PixelImage{buffer.data(), 100, 100, 100});
    raster::CheckPen(pen, [&] {
        std::vector<bool> damaged(target.size());
        for (const Rect& r : pen.TakeDamage())
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) damaged[size_t(y * 100 + x)] = true;
        for (size_t i = 0; i < target.size() && !before.empty(); ++i)
            EXPECT_TRUE(damaged[i] || target[i] == before[i]) << "undamaged pixel " << i << " changed";
        return before = target;
    });
    pen.TakeDamage();
    pen.Copy(Rect{10, 20, 30, 40});
    const std::vector<Rect> copied = pen.TakeDamage();
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_TRUE(copied[0].left == 10 && copied[0].top == 20 && copied[0].right == 30 && copied[0].bottom == 40);
}

}  // namespace
