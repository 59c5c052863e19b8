#include <gtest/gtest.h>

#include <vector>

#include "sim/sparks.h"
#include "sim_test_support.h"

namespace {

struct AllocationCase {
    const char* name;
    int32_t head, tail;
    std::vector<int32_t> expected;  // slots handed out, -1 once full
};

class SparkAllocation : public ::testing::TestWithParam<AllocationCase> {};

TEST_P(SparkAllocation, KeepsOneSlotFree)
{
    SparkRing ring;
    ring.Init(30, 4);
    ring.head = GetParam().head;
    ring.tail = GetParam().tail;
    std::vector<int32_t> got;
    for (size_t i = 0; i < GetParam().expected.size(); ++i) got.push_back(ring.Allocate());
    EXPECT_EQ(got, GetParam().expected);
}

std::vector<int32_t> EmptyRingSequence()
{
    std::vector<int32_t> slots;
    for (int32_t i = 0; i < 29; ++i) slots.push_back(i);
    slots.insert(slots.end(), {-1, -1});
    return slots;
}

INSTANTIATE_TEST_SUITE_P(Rings, SparkAllocation,
                         ::testing::Values(AllocationCase{"Empty", 0, 0, EmptyRingSequence()},
                                           AllocationCase{"WrapsAtTheEnd", 5, 29, {29, 0, 1, 2, 3, -1, -1}},
                                           AllocationCase{"FullAtTheEnd", 0, 29, {-1}},
                                           AllocationCase{"EmptyAtTheEnd", 29, 29, {29, 0, 1}}),
                         [](const auto& info) { return info.param.name; });

TEST(SparkRing, SpawnDrawsVerticalSpeedBeforeHorizontal)
{
    SparkRing ring;
    ring.Init(30, 4);
    ScriptedRandom random({0, 16, 8, 9, 1, 2, 33, 34});
    ring.Spawn(100, 200);
    const int expected[4][2] = {{-8, 8}, {0, 1}, {-7, -6}, {8, -8}};  // {vy, vx}
    for (int i = 0; i < 4; ++i) {
        const Spark& spark = ring.bursts[0][i];
        EXPECT_EQ(spark.vy, expected[i][0]) << i;
        EXPECT_EQ(spark.vx, expected[i][1]) << i;
        EXPECT_EQ(spark.life, 4);
        EXPECT_EQ(spark.prevX, 100);
        EXPECT_EQ(spark.y, 200);
    }
}

TEST(SparkRing, ABurstLivesFourUpdatesAndMovesInTheLastOne)
{
    SparkRing ring;
    ring.Init(30, 4);
    ScriptedRandom random({10, 11, 10, 11, 10, 11, 10, 11});  // vy = 2, vx = 3
    ring.Spawn(0, 0);
    for (int update = 1; update <= 4; ++update) {
        EXPECT_EQ(ring.head, 0) << "expired before update " << update;
        ring.Update();
        EXPECT_EQ(ring.bursts[0][3].x, 3 * update);
        EXPECT_EQ(ring.bursts[0][3].prevY, 2 * (update - 1));
    }
    EXPECT_EQ(ring.head, 1);
    EXPECT_EQ(ring.tail, 1);
}

TEST(SparkRing, AgesWrappedBurstsInRingOrder)
{
    SparkRing ring;
    ring.Init(30, 4);
    ring.head = ring.tail = 28;
    for (int i = 0; i < 3; ++i) {  // slots 28, 29, then 0
        if (i > 0) ring.Update();
        ring.Spawn(0, 0);
    }
    std::vector<int32_t> order, lives;
    ring.ForEachLive([&](int32_t slot, const std::vector<Spark>& burst) {
        order.push_back(slot);
        lives.push_back(burst[0].life);
    });
    EXPECT_EQ(order, (std::vector<int32_t>{28, 29, 0}));
    EXPECT_EQ(lives, (std::vector<int32_t>{2, 3, 4}));
    ring.Update();
    ring.Update();
    EXPECT_EQ(ring.head, 29);
    ring.Update();
    EXPECT_EQ(ring.head, 0);
    EXPECT_EQ(ring.bursts[0][0].life, 1);
}

}  // namespace
