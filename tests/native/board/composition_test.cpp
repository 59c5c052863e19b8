// The memory pen against the rasteriser, and its frames and their damage against the world drawn afresh.
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
    // The Wayland program's rules, the memory pen's only user (the GDI and X11 pens' tests run their own); the
    // whole case at scale 1, its start at the others.
    for (const DisplayScale& s : kDisplayScales) {
        // shown: what a compositor shows, told only of the pen's damage.
        std::vector<uint32_t> composed(pixels), buffer(pixels), afresh(pixels), shown(pixels);
        MemoryPen pen(s.scale), fresh(s.scale);
        pen.SetTarget(PixelImage{composed.data(), c.width, c.height, c.width});
        pen.SetBuffer(PixelImage{buffer.data(), c.width, c.height, c.width});
        fresh.SetTarget(PixelImage{afresh.data(), c.width, c.height, c.width});
        Composition composition(CompositionRules{true, false});
        const auto same = [&] {
            for (const Rect& r : pen.TakeDamage())
                for (int y = r.top; y < r.bottom; ++y)
                    std::copy_n(&composed[size_t(y * c.width + r.left)], r.right - r.left, &shown[size_t(y * c.width + r.left)]);
            return composed == afresh && shown == composed;
        };
        raster::CheckComposedFrames(
            c, s.scale, fresh, [&](World& world, const Rect& board, bool whole) { composition.Compose(world, pen, board, whole); },
            [&] { pen.ClearTarget(); }, same, s.scale == 1 ? c.frames : 60);
        if (HasFatalFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(Frame, ComposedFrames, ::testing::ValuesIn(raster::kFrameCases));

// The memory pen's pixels are 0x00RRGGBB, as the check reads them.
TEST(MemoryPen, DrawsAsTheRasteriserDoes)
{
    std::vector<uint32_t> target(100 * 100, 0x123456), buffer(100 * 100);
    MemoryPen pen;
    pen.SetTarget(PixelImage{target.data(), 100, 100, 100});
    pen.SetBuffer(PixelImage{buffer.data(), 100, 100, 100});
    raster::CheckPen(pen, [&] { return target; });
}

}  // namespace
