// Any stored value and any board up to 16384 by 16384 must give a sound
// world: no crash, no undefined behaviour (run this under the sanitizers),
// no hang, and a grid that holds exactly the discs it should.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "sim/scene.h"
#include "sim_test_support.h"

namespace {

uint32_t PickValue(std::mt19937& gen, uint32_t low, uint32_t high)
{
    static const uint32_t kEdges[] = {0u, 1u, 2u, 3u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFFFEu, 100000u};
    switch (gen() % 8) {
    case 0: return kEdges[gen() % (sizeof kEdges / sizeof kEdges[0])];
    case 1: return gen();  // anything at all
    case 2: return gen() % 1000;
    default: return low + gen() % (high - low + 1);  // the dialog's range
    }
}

int32_t PickSide(std::mt19937& gen)
{
    switch (gen() % 6) {
    case 0: return int32_t(gen() % 4);    // next to nothing
    case 1: return int32_t(gen() % 200);  // tiny
    case 2: return int32_t(gen() % 16385);
    default: return int32_t(200 + gen() % 1800);
    }
}

// Every disc that should be in the grid is found in exactly the cell it
// names, and nothing else is in the grid.
void ExpectGridConsistent(World& world)
{
    std::set<const Disc*> expected;
    for (const Disc* pin : world.pins) {
        if (pin->colour != 0) expected.insert(pin);
    }
    for (const Disc* ball : world.balls) {
        if (ball->inPlay) expected.insert(ball);
    }
    size_t found = 0;
    for (int32_t c = 0; c < world.grid.columns; ++c) {
        for (int32_t r = 0; r < world.grid.rows; ++r) {
            GridCell* cell = world.grid.CellAt(c, r);
            for (const Disc* d = cell->head; d; d = d->cellNext) {
                ASSERT_EQ(d->cell, cell);
                ASSERT_EQ(expected.count(d), 1u);
                ++found;
            }
        }
    }
    EXPECT_EQ(found, expected.size());
}

TEST(Robustness, AnySettingsOnAnyBoardGiveASoundWorld)
{
    std::mt19937 gen(20261206);
    const int kRounds = 2000;
    for (int round = 0; round < kRounds; ++round) {
        MapSettings settings;
        // A value is missing now and then; the others come from all over.
        const uint32_t ranges[9][2] = {{1, 10}, {4, 200}, {10, 200}, {6, 200}, {0, 2},
                                       {1, 100}, {1, 100}, {3, 127}, {0, 2}};
        for (int i = 0; i < 9; ++i) {
            if (gen() % 10 != 0) settings.values[kStoredSettings[i].name] = PickValue(gen, ranges[i][0], ranges[i][1]);
        }
        // Thousands of discs crowded onto a tiny board cost far more than the
        // other rounds; a few such rounds are enough.
        const bool crowded = round % 80 == 0;
        if (!crowded) {
            for (const char* count : {"NumBalls", "NumPins"}) {
                auto found = settings.values.find(count);
                if (found != settings.values.end() && int32_t(found->second) > 300) found->second %= 300;
            }
        }
        const Rect board = Board(PickSide(gen), PickSide(gen));
        SeedRuntimeRandom(gen());
        World world;
        SetUpScene(world, board, gen() % 16 == 0, settings);
        SCOPED_TRACE(testing::Message() << "round " << round << " board " << board.right << "x" << board.bottom);

        ASSERT_LE(world.balls.size(), size_t(kMaxBalls));
        ASSERT_LE(world.pins.size(), size_t(kMaxPins) + 1);
        ASSERT_LE(int64_t(world.grid.columns) * world.grid.rows, kMaxGridCells);
        for (int frame = 0; frame < (crowded ? 8 : 30); ++frame) {
            StepWorld(world, board);
            if (++world.frameCounter >= world.scene.sceneFrames && frame % 10 == 0) {
                SetUpScene(world, board, 0, settings);
            }
            ASSERT_GE(world.sparks.head, 0);
            ASSERT_LT(world.sparks.head, std::max(world.sparks.capacity, 1));
            ASSERT_GE(world.sparks.tail, 0);
            ASSERT_LT(world.sparks.tail, std::max(world.sparks.capacity, 1));
        }
        ExpectGridConsistent(world);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
