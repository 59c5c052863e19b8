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
                         ::testing::Values(GridSize{800, 600, 120, 7, 6}, GridSize{799, 600, 40, 20, 16},
                                           GridSize{0, 0, 40, 1, 1}, GridSize{10, 3, 0, 11, 4},  // cell 0 is 1
                                           GridSize{-5, 7, 2, 1, 4},                           // width below 0 is 0
                                           GridSize{16384, 16384, 1, 513, 513}));  // widened to 32 by 32

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
    for (Disc* d : {&left, &below, &far}) grid.Insert(d, TruncToInt(d->x), TruncToInt(d->y));
    EXPECT_EQ(left.cell, grid.CellAt(0, 1));
    EXPECT_EQ(below.cell, grid.CellAt(1, 3));
    EXPECT_EQ(far.cell, grid.CellAt(4, 0));
}

TEST(TruncToInt, TruncatesTowardZeroAndSaturates)
{
    const double in[] = {-0.9, -1.5, 2147483647.9, -2147483648.9, 1e300, -1e300, std::nan("")};
    const int32_t out[] = {0, -1, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN, 0};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(TruncToInt(in[i]), out[i]) << in[i];
}

}  // namespace
