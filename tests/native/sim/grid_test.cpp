#include <gtest/gtest.h>

#include <cmath>

#include "sim/world.h"

namespace {

struct GridSize {
    int32_t width, height, cell;
    int32_t columns, rows;
};

class GridDimensions : public ::testing::TestWithParam<GridSize> {};

TEST_P(GridDimensions, HaveOneCellBeyondTheBoard)
{
    const GridSize& p = GetParam();
    CellGrid grid;
    grid.Init(p.width, p.height, p.cell, p.cell);
    EXPECT_EQ(grid.columns, p.columns);
    EXPECT_EQ(grid.rows, p.rows);
    EXPECT_NE(grid.CellAt(p.columns - 1, p.rows - 1), nullptr);
    EXPECT_EQ(grid.CellAt(p.columns, 0), nullptr);
    EXPECT_EQ(grid.CellAt(0, p.rows), nullptr);
    EXPECT_EQ(grid.CellAt(-1, 0), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Boards, GridDimensions,
                         ::testing::Values(GridSize{800, 600, 120, 7, 6}, GridSize{1920, 1080, 40, 49, 28},
                                           GridSize{799, 600, 40, 20, 16}, GridSize{0, 0, 40, 1, 1},
                                           GridSize{10, 3, 0, 11, 4},     // a cell of 0 is taken as 1
                                           GridSize{-5, 7, 2, 1, 4}));    // a negative size counts as 0

TEST(CellGrid, TinyCellsOnAHugeBoardAreWidenedToKeepTheGridBounded)
{
    CellGrid grid;
    grid.Init(16384, 16384, 1, 1);
    EXPECT_LE(int64_t(grid.columns) * grid.rows, kMaxGridCells);
    EXPECT_EQ(grid.cellWidth, grid.cellHeight);
    EXPECT_EQ(grid.columns, 16384 / grid.cellWidth + 1);
}

TEST(CellGrid, KeepsTheLatestDiscFirstAndMovesOnlyAcrossCells)
{
    CellGrid grid;
    grid.Init(400, 400, 100, 100);
    Disc a(50, 50, 0, 5), b(50, 50, 1, 5), c(0, 0, 7, 5);
    grid.Insert(&a, 50, 50);
    grid.Insert(&b, 50, 50);
    GridCell* first = grid.CellAt(0, 0);
    ASSERT_EQ(a.cell, first);
    EXPECT_EQ(first->head, &b);
    EXPECT_EQ(b.cellNext, &a);

    grid.Relocate(&a, 99, 10);  // same cell: the list keeps its order
    EXPECT_EQ(first->head, &b);

    grid.Relocate(&a, 100, 399);
    EXPECT_EQ(a.cell, grid.CellAt(1, 3));
    EXPECT_EQ(first->head, &b);
    EXPECT_EQ(b.cellNext, nullptr);

    grid.Insert(&c, 150, 350);
    EXPECT_EQ(grid.CellAt(1, 3)->head, &c);
    EXPECT_TRUE(CellGrid::Remove(c.cell, &a));
    EXPECT_FALSE(CellGrid::Remove(c.cell, &a));
    EXPECT_EQ(c.cellNext, nullptr);
}

TEST(CellGrid, DiscsBeyondTheBoardLiveInTheNearestBorderCell)
{
    CellGrid grid;
    grid.Init(400, 300, 100, 100);  // 5 by 4 cells
    Disc left(-250, 150, 0, 5), below(120, 99999, 1, 5), far(3e9, -3e9, 2, 5);
    grid.Insert(&left, -250, 150);
    grid.Insert(&below, 120, 99999);
    grid.Insert(&far, TruncToInt(far.x), TruncToInt(far.y));
    EXPECT_EQ(left.cell, grid.CellAt(0, 1));
    EXPECT_EQ(below.cell, grid.CellAt(1, 3));
    EXPECT_EQ(far.cell, grid.CellAt(4, 0));
}

TEST(TruncToInt, TruncatesTowardZeroAndSaturates)
{
    EXPECT_EQ(TruncToInt(-0.9), 0);
    EXPECT_EQ(TruncToInt(-1.5), -1);
    EXPECT_EQ(TruncToInt(2147483647.9), INT32_MAX);
    EXPECT_EQ(TruncToInt(-2147483648.9), INT32_MIN);
    EXPECT_EQ(TruncToInt(1e300), INT32_MAX);
    EXPECT_EQ(TruncToInt(-1e300), INT32_MIN);
    EXPECT_EQ(TruncToInt(std::nan("")), 0);
}

TEST(Disc, BoundsAreTruncatedAndPrevBoundsStartAtTheCentre)
{
    Disc pin(10.7, -3.2, 0, 4.5);
    EXPECT_EQ(pin.bounds.left, 6);
    EXPECT_EQ(pin.bounds.top, -7);
    EXPECT_EQ(pin.bounds.right, 15);
    EXPECT_EQ(pin.bounds.bottom, 1);
    EXPECT_EQ(pin.prevBounds.left, 10);
    EXPECT_EQ(pin.prevBounds.right, 10);
    EXPECT_EQ(pin.prevBounds.top, -3);
    pin.x = 100;
    pin.UpdateBounds();
    EXPECT_EQ(pin.prevBounds.left, 6);
    EXPECT_EQ(pin.bounds.left, 95);
}

}  // namespace
