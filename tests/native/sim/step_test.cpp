#include <gtest/gtest.h>

#include <cmath>

#include "sim/scene.h"
#include "sim_test_support.h"

namespace {

// A hand-built world on an 800 by 600 board with 40-pixel cells.
class HandBuiltWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.scene.gravity = 1.0;
        world.scene.sparksOn = true;
        world.grid.Init(800, 600, 40, 40);
        world.sparks.Init(30, 4);
    }
    Disc* AddPin(double x, double y, double r)
    {
        Disc* pin = new Disc(x, y, static_cast<int32_t>(world.pins.size()), r);
        world.pins.push_back(pin);
        world.grid.Insert(pin, TruncToInt(x), TruncToInt(y));
        return pin;
    }
    // Ball ids follow the pins'; the ball is in play, at rest unless told.
    Disc* AddBall(double x, double y, double r, double vx = 0, double vy = 0)
    {
        Disc* ball = new Disc(1000 + static_cast<int32_t>(world.balls.size()), r);
        ball->x = x;
        ball->y = y;
        ball->vx = ball->nextVx = vx;
        ball->vy = ball->nextVy = vy;
        ball->inPlay = true;
        world.balls.push_back(ball);
        world.grid.Insert(ball, TruncToInt(x), TruncToInt(y));
        return ball;
    }
    World world;
    const Rect board = Board(800, 600);
};

struct MoveCase {
    const char* name;
    double x, y, nextVx, nextVy;
    double x1, y1, vx1, vy1, nextVx1, nextVy1;
    bool wrapped;
};

class MoveBall : public HandBuiltWorld, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveBall, AppliesGravityWallsAndWrap)
{
    const MoveCase& c = GetParam();
    Disc* ball = AddBall(c.x, c.y, 10);
    ball->nextVx = c.nextVx;
    ball->nextVy = c.nextVy;
    Move(world, *ball, board);
    EXPECT_EQ(ball->x, c.x1);
    EXPECT_EQ(ball->y, c.y1);
    EXPECT_EQ(ball->vx, c.vx1);
    EXPECT_EQ(ball->vy, c.vy1);
    EXPECT_EQ(ball->nextVx, c.nextVx1);
    EXPECT_EQ(ball->nextVy, c.nextVy1);
    EXPECT_EQ(ball->wrapped, c.wrapped);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MoveBall,
    ::testing::Values(MoveCase{"Falls", 400, 300, 2, 3, 402, 304, 2, 4, 2, 4, false},
                      MoveCase{"SlowsAtTerminalSpeed", 400, 300, 0, 20, 400, 319, 0, 19, 0, 19, false},
                      MoveCase{"SpeedsUpBelowIt", 400, 300, 0, 19.5, 400, 320.5, 0, 20.5, 0, 20.5, false},
                      MoveCase{"RightWall", 788, 300, 5, 0, 790, 301, 5, 1, -5, 1, false},
                      MoveCase{"LeftWall", 12, 300, -5, 0, 10, 301, -5, 1, 5, 1, false},
                      MoveCase{"StillBallIgnoresWalls", 795, 300, 0, 0, 795, 301, 0, 1, 0, 1, false},
                      MoveCase{"CentreOnTheBottomEdgeStays", 400, 595, 0, 4, 400, 600, 0, 5, 0, 5, false},
                      MoveCase{"LeavesAtTheBottom", 400, 598, 0, 4, 400, 3, 0, 5, 0, 5, true},
                      MoveCase{"LeavesAtTheTop", 400, 2, 0, -6, 400, 597, 0, -5, 0, -5, true}),
    [](const auto& info) { return info.param.name; });

class SingleBall : public ::testing::TestWithParam<uint32_t> {};

// A lone ball enters at the top centre, falls to the terminal speed and
// hovers there, wraps from the bottom to the top, and keeps its horizontal
// speed apart from the sign.
TEST_P(SingleBall, FallsWrapsAndBouncesWithoutLoss)
{
    World world;
    MapSettings settings{{"NumPins", 0}, {"NumBalls", 1}, {"Gravity", GetParam()}};
    const Rect board = Board(640, 480);
    SeedRuntimeRandom(3);
    SetUpScene(world, board, 0, settings);
    Disc& ball = *world.balls[0];
    const double g = world.scene.gravity;
    const double speed = std::fabs(ball.vx);
    const int32_t cell = world.grid.cellWidth;
    const int32_t cx = cell * (320 / cell) + cell / 2;

    StepWorld(world, board);
    ASSERT_TRUE(ball.inPlay);
    EXPECT_EQ(ball.x, cx + ball.vx);
    EXPECT_EQ(ball.y, g);
    int wraps = 0;
    double lastY = ball.y;
    for (int frame = 2; frame <= 800; ++frame) {
        const double before = ball.nextVy;
        ball.wrapped = false;
        StepWorld(world, board);
        if (before < 20) {
            EXPECT_EQ(ball.vy, before + g) << frame;
        } else {
            EXPECT_GE(ball.vy, 20 - g) << frame;
            EXPECT_LT(ball.vy, 20 + g) << frame;
        }
        EXPECT_EQ(std::fabs(ball.vx), speed) << frame;
        EXPECT_EQ(ball.wrapped, ball.y < lastY) << frame;
        wraps += ball.wrapped;
        lastY = ball.y;
    }
    EXPECT_GT(wraps, 0);
}

INSTANTIATE_TEST_SUITE_P(Gravity, SingleBall, ::testing::Values(1u, 20u, 27u, 100u));

// Balls enter one per frame at most, from the last index down, and each
// waits while the one before still covers the entry.
TEST(DropIn, BallsEnterOneAfterAnother)
{
    World world;
    MapSettings settings{{"NumPins", 0}, {"NumBalls", 3}};
    SeedRuntimeRandom(5);
    SetUpScene(world, Board(800, 600), 0, settings);
    std::vector<int> enteredAt;
    for (int frame = 1; frame < 100 && enteredAt.size() < 3; ++frame) {
        StepWorld(world, Board(800, 600));
        size_t inPlay = 0;
        for (const Disc* ball : world.balls) inPlay += ball->inPlay;
        ASSERT_LE(inPlay, enteredAt.size() + 1) << "two balls entered at once";
        if (inPlay > enteredAt.size()) {
            ASSERT_TRUE(world.balls[3 - inPlay]->inPlay) << "out of order";
            enteredAt.push_back(frame);
        }
    }
    ASSERT_EQ(enteredAt.size(), 3u);
    EXPECT_EQ(enteredAt[0], 1);
    EXPECT_GT(enteredAt[1], 2) << "entered while the first ball still covered the entry";
    EXPECT_GT(enteredAt[2], enteredAt[1] + 1);
}

struct EntryCase {
    const char* name;
    Rect bounds;
    bool blocked;
};

class EntryRectangle : public HandBuiltWorld, public ::testing::WithParamInterface<EntryCase> {};

// Cell 40 wide, board 800: the entry is the top cell of column 10, centre
// 420; a ball of radius 10 needs 410..430 by -10..10 free.
TEST_P(EntryRectangle, IsBlockedByAnyBoundsThatMeetIt)
{
    Disc* pin = AddPin(420, 5, 2);
    pin->bounds = GetParam().bounds;
    Disc* ball = new Disc(5, 10);
    world.balls.push_back(ball);
    StepWorld(world, board);
    EXPECT_EQ(ball->inPlay, !GetParam().blocked);
}

INSTANTIATE_TEST_SUITE_P(Edges, EntryRectangle,
                         ::testing::Values(EntryCase{"TouchesRight", {430, 0, 440, 5}, true},
                                           EntryCase{"ClearOfRight", {431, 0, 440, 5}, false},
                                           EntryCase{"TouchesLeft", {400, 0, 410, 5}, true},
                                           EntryCase{"ClearOfLeft", {400, 0, 409, 5}, false},
                                           EntryCase{"TouchesBottom", {415, 10, 425, 20}, true},
                                           EntryCase{"ClearOfBottom", {415, 11, 425, 20}, false}),
                         [](const auto& info) { return info.param.name; });

struct ContactCase {
    const char* name;
    double y, vy;       // ball above a pin at (400, 300); contact distance 18
    bool response;
    double yAfter;      // after the back-off
    double nextVyAfter;
};

class PinContact : public HandBuiltWorld, public ::testing::WithParamInterface<ContactCase> {};

TEST_P(PinContact, RespondsOnlyToContactsThatBeganApart)
{
    const ContactCase& c = GetParam();
    Disc* pin = AddPin(400, 300, 8);
    Disc* ball = AddBall(400, c.y, 10, 0, c.vy);
    Collide(world, *ball, pin->cell, board);
    EXPECT_EQ(ball->y, c.yAfter);
    EXPECT_NEAR(ball->nextVy, c.nextVyAfter, 1e-12);
    EXPECT_EQ(world.sparks.tail, c.response ? 1 : 0);
    EXPECT_EQ(world.hitList.size(), c.response ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PinContact,
    ::testing::Values(ContactCase{"ClosingFromOutside", 284, 5, true, 282, -3.5},
                      ContactCase{"TouchingCounts", 282, 5, true, 282, -3.5},
                      ContactCase{"JustApart", 281.9, 5, false, 281.9, 5},
                      ContactCase{"StartedInContact", 284, 1, false, 284, 1},
                      ContactCase{"StartedTouching", 284, 2, false, 284, 2},
                      ContactCase{"SlowClosingIsNotMovedBack", 282.005, 0.01, true, 282.005, -0.007}),
    [](const auto& info) { return info.param.name; });

TEST_F(HandBuiltWorld, BallsMeetingHeadOnLeaveWithSeventyPercent)
{
    Disc* other = AddBall(361, 300, 10, 2, 0);
    Disc* ball = AddBall(380, 300, 10, -2, 0);
    ASSERT_EQ(ball->cell, other->cell);
    Collide(world, *ball, ball->cell, board);
    EXPECT_EQ(ball->x, 380.5);  // moved back to the moment of contact
    EXPECT_EQ(other->x, 360.5);
    EXPECT_DOUBLE_EQ(ball->nextVx, 1.4);
    EXPECT_DOUBLE_EQ(other->nextVx, -1.4);
    EXPECT_TRUE(world.hitList.empty());

    Collide(world, *other, other->cell, board);  // the lower id never starts a contact
    EXPECT_DOUBLE_EQ(other->nextVx, -1.4);
}

struct StandstillCase {
    const char* name;
    bool againstPin;
};

class ContactEndingAtRest : public HandBuiltWorld, public ::testing::WithParamInterface<StandstillCase> {};

// The push can cancel the next velocities exactly; with nothing to scale
// they stay 0 instead of becoming NaN.
TEST_P(ContactEndingAtRest, LeavesTheNextVelocitiesAtZero)
{
    Disc* other = GetParam().againstPin ? AddPin(400, 300, 8) : AddBall(400, 300, 10);
    const double contact = other->radius + 10;
    Disc* ball = AddBall(400 + contact, 300, 10, -3, 0);
    ball->nextVx = GetParam().againstPin ? -6 : -3;
    if (!other->isPin) other->nextVx = 3;
    Collide(world, *ball, ball->cell, board);
    EXPECT_EQ(ball->nextVx, 0);
    EXPECT_EQ(ball->nextVy, 0);
    EXPECT_EQ(other->nextVx, 0);
    EXPECT_EQ(other->nextVy, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ContactEndingAtRest,
                         ::testing::Values(StandstillCase{"Pin", true}, StandstillCase{"Ball", false}),
                         [](const auto& info) { return info.param.name; });

struct KnockOutCase {
    const char* name;
    int hitsBefore, breakSteps, hitsAfter;
    bool knockedOut;
};

class KnockOut : public HandBuiltWorld, public ::testing::WithParamInterface<KnockOutCase> {
protected:
    // One step in which the ball falls onto the pin from 5 pixels above contact.
    void Hit(Disc* ball)
    {
        ball->x = 400;
        ball->y = 277;
        ball->nextVx = 0;
        ball->nextVy = 4;
        StepWorld(world, board);
    }
    void Miss(Disc* ball)
    {
        ball->x = 100;
        ball->y = 100;
        ball->nextVx = ball->nextVy = 0;
        StepWorld(world, board);
    }
};

TEST_P(KnockOut, RemovesAPinAtTheHundredAndFirstHitInARow)
{
    const KnockOutCase& c = GetParam();
    world.scene.sparksOn = false;
    Disc* pin = AddPin(400, 300, 8);
    GridCell* cell = pin->cell;
    Disc* ball = AddBall(100, 100, 10);
    for (int i = 0; i < c.hitsBefore; ++i) Hit(ball);
    for (int i = 0; i < c.breakSteps; ++i) Miss(ball);
    if (c.breakSteps >= 2) {
        EXPECT_EQ(world.hitStamp, 0);
    }
    for (int i = 0; i < c.hitsAfter - 1; ++i) Hit(ball);
    EXPECT_NE(pin->colour, 0u) << "knocked out too early";
    Hit(ball);
    EXPECT_EQ(pin->colour == 0, c.knockedOut);
    bool inCell = false;
    for (Disc* d = cell->head; d; d = d->cellNext) inCell = inCell || d == pin;
    EXPECT_EQ(inCell, !c.knockedOut);
    if (c.knockedOut) {
        EXPECT_TRUE(world.hitList.empty());
        const double yBefore = 277 + 5;
        Hit(ball);  // nothing is there to touch any more
        EXPECT_EQ(ball->y, yBefore);
        EXPECT_EQ(ball->nextVy, 5);
    }
}

TEST_F(KnockOut, ForgettingAPinKeepsTheOrderOfTheOtherRecords)
{
    world.scene.sparksOn = false;
    Disc* pins[3];
    Disc* balls[3];
    for (int i = 0; i < 3; ++i) pins[i] = AddPin(100 + 200 * i, 300, 8);
    for (int i = 0; i < 3; ++i) balls[i] = AddBall(100 + 200 * i, 100, 10);
    auto step = [&](bool middleHits) {
        for (int i = 0; i < 3; ++i) {
            balls[i]->x = 100 + 200 * i;
            balls[i]->y = (i == 1 && !middleHits) ? 100 : 277;
            balls[i]->nextVx = 0;
            balls[i]->nextVy = 4;
        }
        StepWorld(world, board);
    };
    step(true);  // the last ball is resolved first, so its pin's record comes first
    ASSERT_EQ(world.hitList.size(), 3u);
    EXPECT_EQ(world.hitList[0].pin, pins[2]);
    EXPECT_EQ(world.hitList[2].pin, pins[0]);
    step(false);
    step(false);
    ASSERT_EQ(world.hitList.size(), 2u);
    EXPECT_EQ(world.hitList[0].pin, pins[2]);
    EXPECT_EQ(world.hitList[1].pin, pins[0]);
    step(true);
    ASSERT_EQ(world.hitList.size(), 3u);
    EXPECT_EQ(world.hitList[1].hits, 4);
    EXPECT_EQ(world.hitList[2].pin, pins[1]);
    EXPECT_EQ(world.hitList[2].hits, 1);
}

INSTANTIATE_TEST_SUITE_P(Sequences, KnockOut,
                         ::testing::Values(KnockOutCase{"Continuous", 0, 0, 101, true},
                                           KnockOutCase{"HundredIsNotEnough", 0, 0, 100, false},
                                           KnockOutCase{"OneStepBreakKeepsTheCount", 50, 1, 51, true},
                                           KnockOutCase{"TwoStepBreakStartsAfresh", 50, 2, 51, false},
                                           KnockOutCase{"AfreshAfterTheBreak", 50, 2, 101, true}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
