// Two worlds from one seed, one drawn the plain way, the other by FrameComposer: every frame agrees in every pixel.
#include <gtest/gtest.h>

#include <cstring>

#include "frame_cases.h"
#include "render_support.h"

namespace {

struct FrameComposition : ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameComposition, ShowsWhatEveryDiscDrawnAfreshEveryFrameShows)
{
    const FrameCase& c = GetParam();
    const RECT client{0, 0, c.width, c.height};
    rt::Canvas canvases[2] = {{c.width, c.height}, {c.width, c.height}};
    FrameComposer composer;
    RunFrameCase(
        c,
        [&](World& world, int i, bool whole) {
            if (i == 0) rt::LiteralFrame(world, canvases[0].dc);
            else whole ? composer.DrawWhole(world, canvases[1].dc, client) : composer.DrawFrame(world, canvases[1].dc, client);
        },
        [&](int i) { PatBlt(canvases[i].dc, 0, 0, c.width, c.height, BLACKNESS); },
        [&] {
            GdiFlush();
            return std::memcmp(canvases[0].bits, canvases[1].bits, size_t(c.width) * c.height * 4) == 0;
        });
}

INSTANTIATE_TEST_SUITE_P(Frame, FrameComposition, ::testing::ValuesIn(kFrameCases));

}  // namespace
