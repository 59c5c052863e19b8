#include <gtest/gtest.h>

#include <tuple>

#include "sim_test_support.h"

class HandBuiltWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.DeleteDiscs(), world.hitList.clear(), world.hitStamp = 0;
        world.scene.gravity = 1.0, world.scene.sparksOn = true;
        world.grid.Init(800, 600, 40, 40), world.sparks.Init(30, 4);
    }
    Disc* Add(bool pin, double x, double y, double vx = 0, double vy = 0)
    {
        Disc* disc = pin ? new Disc(x, y, int32_t(world.pins.size()), 8) : new Disc(1000 + int32_t(world.balls.size()), 10);
        disc->x = x, disc->y = y, disc->inPlay = true, disc->vx = disc->nextVx = vx, disc->vy = disc->nextVy = vy;
        (pin ? world.pins : world.balls).push_back(disc);
        world.grid.Insert(disc, TruncToInt(x), TruncToInt(y));
        return disc;
    }
    World world;
    const Rect board{0, 0, 800, 600};
};

TEST_F(HandBuiltWorld, MoveAppliesGravityTerminalSpeedWallsAndWrap)
{
    const double cases[][9] = {// x, y, next vx, next vy; then x, y, next vy, next vx, wrapped
        {400, 300, 2, 3, 402, 304, 4, 2, 0}, {400, 300, 0, 20, 400, 319, 19, 0, 0}, {795, 300, 0, 0, 795, 301, 1, 0, 0},
        {788, 300, 5, 0, 790, 301, 1, -5, 0}, {12, 300, -5, 0, 10, 301, 1, 5, 0}, {400, 300, 0, 19.5, 400, 320.5, 20.5, 0, 0},
        {400, 595, 0, 4, 400, 600, 5, 0, 0}, {400, 598, 0, 4, 400, 3, 5, 0, 1}, {400, 2, 0, -6, 400, 597, -5, 0, 1}};
    for (const auto& c : cases) {
        Disc* ball = Add(false, c[0], c[1], c[2], c[3]);
        Move(world, *ball, board);
        EXPECT_EQ(std::make_tuple(ball->x, ball->y, ball->nextVy, ball->nextVx, ball->wrapped),
                  std::make_tuple(c[4], c[5], c[6], c[7], c[8] != 0)) << c[0] << "," << c[1];
    }
}

// Over a pin at (400, 300), 18 apart.
TEST_F(HandBuiltWorld, PinContactsBounceWithSeventyPercent)
{
    const double cases[][5] = {// y, vy, response, y after, next vy after
                               {284, 5, 1, 282, -3.5}, {282, 5, 1, 282, -3.5}, {281.9, 5, 0, 281.9, 5},
                               {284, 1, 0, 284, 1},    {284, 2, 0, 284, 2},    {282.005, 0.01, 1, 282.005, -0.007}};
    for (const auto& c : cases) {
        SetUp();
        Disc *pin = Add(true, 400, 300), *ball = Add(false, 400, c[0], 0, c[1]);
        Collide(world, *ball, pin->cell, board);
        EXPECT_EQ(std::make_tuple(ball->y, world.sparks.tail, world.hitList.size()),
                  std::make_tuple(c[3], int32_t(c[2]), size_t(c[2]))) << c[0] << " " << c[1];
        EXPECT_NEAR(ball->nextVy, c[4], 1e-12) << c[0] << " " << c[1];
    }
}

TEST(DropIn, BallsEnterOneAfterAnother)
{
    World world;
    MapSettings settings({{"NumPins", 0}, {"NumBalls", 3}});
    SetUpScene(world, Rect{0, 0, 800, 600}, 0, settings);
    std::vector<int> enteredAt;
    for (int frame = 1; frame < 100; ++frame) {
        StepWorld(world, Rect{0, 0, 800, 600});
        while (enteredAt.size() < 3 && world.balls[2 - enteredAt.size()]->inPlay) enteredAt.push_back(frame);
    }
    ASSERT_EQ(enteredAt.size(), 3u);
    EXPECT_TRUE(enteredAt[0] == 1 && enteredAt[1] > 2 && enteredAt[2] > enteredAt[1] + 1) << enteredAt[1];
}

TEST_F(HandBuiltWorld, KnocksOutAPinAtTheHundredAndFirstHitInARow)
{
    const int cases[][4] = {// hits, break, hits, knocked out
                            {0, 0, 101, 1}, {0, 0, 100, 0}, {50, 1, 51, 1}, {50, 2, 51, 0}, {50, 2, 101, 1}};
    for (const auto& c : cases) {
        SetUp();
        Disc *pin = Add(true, 400, 300), *ball = Add(false, 100, 100);
        auto step = [&](bool hit) {
            ball->x = hit ? 400 : 100, ball->y = hit ? 277 : 100, ball->nextVx = 0, ball->nextVy = hit ? 4 : 0;
            StepWorld(world, board);
        };
        for (int i = 0; i < c[0] + c[1] + c[2]; ++i) step(i < c[0] || i >= c[0] + c[1]);
        EXPECT_EQ(pin->colour == 0, c[3] != 0) << c[0] << " " << c[1] << " " << c[2];
        step(true);  // a knocked-out pin is no longer touched
        EXPECT_EQ(ball->nextVy, c[3] ? 5 : -3.5) << c[0] << " " << c[1] << " " << c[2];
    }
}
