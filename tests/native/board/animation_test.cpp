// One board's life as every front end runs it: its scenes, its pace, its board and its random sequence.
#include <gtest/gtest.h>

#include "board/animation.h"
#include "board/memory_pen.h"
#include "sim_test_support.h"

namespace {

// A scene lasts exactly its frames, counted unsigned (at least one); its last frame is drawn, then every pixel of
// the target is cleared, beyond the board's last whole logical pixel too, and the next scene is set up.
TEST(Animation, ShowsAScenesLastFrameThenClearsTheTargetAndSetsUpTheNext)
{
    const struct { uint32_t scenario, refreshRate; bool endsEveryTick; } rows[] = {
        {0, 18, true}, {3579140, 127, false}};  // the last: 2^31 frames and more
    for (const auto& row : rows) {
        MapSettings settings({{"ScenarioCounter", row.scenario}, {"RefreshRate", row.refreshRate}, {"BallSize", 10}});
        Animation animation(settings, CompositionRules{});
        animation.SetUp(100, 75, 1.5);  // a board of 66 by 50
        std::vector<uint32_t> target(100 * 75, 0x123456), buffer(target.size());
        MemoryPen pen(1.5);
        pen.SetTarget(PixelImage{target.data(), 100, 75, 100}), pen.SetBuffer(PixelImage{buffer.data(), 100, 75, 100});
        for (int tick = 1; tick <= 3; ++tick) {
            ASSERT_EQ(animation.Tick(pen), row.refreshRate + 1);
            const bool ended = animation.BoardWorld().frameCounter == 0;
            ASSERT_EQ(ended, row.endsEveryTick) << row.scenario << " at " << tick;
            if (!ended) continue;
            EXPECT_NE(std::count(buffer.begin(), buffer.end(), 0u), long(buffer.size())) << row.scenario << ": the frame";
            EXPECT_EQ(std::count(target.begin(), target.end(), 0u), long(target.size())) << row.scenario;
            std::fill(target.begin(), target.end(), 0x123456);
        }
    }
}

TEST(Animation, LaysItsBoardOutInLogicalPixelsAndStartsAfreshOnlyForANewSizeOrScale)
{
    MapSettings settings;
    Animation animation(settings, CompositionRules{});
    MemoryPen nowhere;
    animation.SetUp(1920, 1080, 1.5);
    const struct { int32_t width, height; double scale; bool changed; int32_t boardWidth, boardHeight; } rows[] = {
        {1920, 1080, 1.5, false, 1280, 720}, {1920, 1080, 1.0, true, 1920, 1080}, {1000, 1080, 1.0, true, 1000, 1080},
        {1000, 701, 1.0, true, 1000, 701},   {1000, 701, 0.5, true, 1000, 701},   {1001, 701, 2.0, true, 500, 350}};
    for (const auto& row : rows) {
        animation.Tick(nowhere);
        EXPECT_EQ(animation.Follow(row.width, row.height, row.scale), row.changed) << row.width << "x" << row.height;
        EXPECT_EQ(animation.BoardWorld().frameCounter, row.changed ? 0u : 1u) << row.width << ": a new scene";
        EXPECT_EQ(animation.Board().right * 10000 + animation.Board().bottom, row.boardWidth * 10000 + row.boardHeight);
    }
}

// Busy enough for sparks, whose steps draw as well as the set-up.
TEST(Animation, OnASequenceOfItsOwnComputesWhatItWouldAloneAndLeavesTheProgramsSequenceAlone)
{
    MapSettings settings({{"NumBalls", 10}, {"NumPins", 200}, {"BallSize", 10}, {"PinSize", 6}, {"Gravity", 100}});
    Animation own(settings, CompositionRules{}), alone(settings, CompositionRules{});
    MemoryPen nowhere;
    own.UseOwnSequence(77);
    for (Animation* animation : {&own, &alone}) {
        SeedRuntimeRandom(animation == &own ? 5 : 77);
        animation->SetUp(640, 480, 1.0);
        for (int i = 0; i < 300; ++i) animation->Tick(nowhere);
        const int next = RuntimeRandom();
        SeedRuntimeRandom(5);
        EXPECT_TRUE(animation == &alone || next == RuntimeRandom()) << "the program's sequence untouched";
    }
    ASSERT_NE(own.BoardWorld().sparks.tail, 0);
    const auto &a = own.BoardWorld().balls, &b = alone.BoardWorld().balls;
    EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Disc* p, const Disc* q) {
        return p->x == q->x && p->y == q->y && p->colour == q->colour;
    }));
}

}  // namespace
