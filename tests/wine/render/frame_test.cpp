// The GDI pen against the software rasteriser; the composition above it is
// checked natively, frame by frame (tests/native/board).
#include <gtest/gtest.h>

#include "raster.h"
#include "render_support.h"

namespace {

TEST(GdiPen, DrawsAsTheRasteriserDoes)
{
    rt::Canvas target(100, 100), buffer(100, 100);
    GdiPen pen(target.dc, buffer.dc);
    raster::CheckPen(pen, [&] {
        GdiFlush();
        return std::vector<uint32_t>(static_cast<uint32_t*>(target.bits), static_cast<uint32_t*>(target.bits) + 10000);
    });
}

}  // namespace
