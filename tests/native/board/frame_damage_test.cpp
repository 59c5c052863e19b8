#include <gtest/gtest.h>

#include "board/frame_damage.h"

bool operator==(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct Ball { Rect now, before; bool inPlay, wrapped; };
const Rect kPin{0, 0, 10, 10};

// changedPin: a pin knocked out since (or, with shownBounds, drawn elsewhere); sparks: {fromX, fromY, toX, toY}.
TEST(FindFrameDamage, RepaintsAndCopiesOnlyWhatCanHaveChanged)
{
    const struct {
        std::vector<Rect> pins; std::vector<Ball> balls; std::vector<Rect> sparks; int changedPin; Rect shownBounds;
        std::vector<size_t> repaint; std::vector<Rect> copies;
    } cases[] = {
        {{kPin, {30, 0, 40, 10}}, {{{8, 0, 18, 10}, {6, 0, 16, 10}, true, false}}, {}, -1, {}, {0}, {{6, 0, 18, 10}}},
        {{{0, 40, 10, 50}}, {{{0, 0, 10, 10}, {0, 90, 10, 100}, true, true}}, {}, -1, {}, {},
         {{0, 0, 10, 10}, {0, 90, 10, 100}}},  // wrapped: two places, nothing between
        {{kPin}, {{kPin, kPin, false, false}}, {}, -1, {}, {}, {}},
        {{kPin, {30, 0, 40, 10}}, {}, {{5, -5, 5, 3}}, -1, {}, {0}, {{5, 0, 6, 4}}},
        {{kPin, {8, 0, 18, 10}, {30, 0, 40, 10}}, {}, {}, 0, {}, {0, 1}, {{0, 0, 10, 10}, {8, 0, 10, 10}}},
        {{{-8, 0, 2, 10}, {4, 0, 14, 10}}, {}, {}, 1, kPin, {0, 1}, {{0, 0, 2, 10}, {4, 0, 14, 10}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        World world;
        for (size_t i = 0; i < c.pins.size(); ++i) world.pins.push_back(new Disc(0, 0, int32_t(i), 5));
        for (size_t i = 0; i < c.pins.size(); ++i) world.pins[i]->bounds = c.pins[i];
        for (const Ball& b : c.balls) {
            Disc* ball = new Disc(100 + int32_t(world.balls.size()), 5);
            ball->bounds = b.now, ball->prevBounds = b.before, ball->inPlay = b.inPlay, ball->wrapped = b.wrapped;
            world.balls.push_back(ball);
        }
        world.sparks.Init(30, 4), world.sparks.tail = c.sparks.empty() ? 0 : 1;
        for (const Rect& s : c.sparks)
            world.sparks.bursts[0][&s - c.sparks.data()] = Spark{s.right, s.bottom, s.left, s.top, 0, 0, 2};
        world.frameCounter = 7;  // not the first frame of a scene
        std::vector<ShownPin> shown;
        NoteShownPins(world, shown);
        if (c.changedPin >= 0 && IsEmpty(c.shownBounds)) world.pins[c.changedPin]->colour = 0;
        if (c.changedPin >= 0 && !IsEmpty(c.shownBounds)) shown[c.changedPin].bounds = c.shownBounds;
        FrameDamage damage;
        ASSERT_TRUE(FindFrameDamage(world, shown, damage));
        EXPECT_EQ(damage.pins, c.repaint);
        EXPECT_EQ(damage.copies, c.copies);
        // The first frame of a scene, or other pins than the last frame's, are repainted whole.
        world.frameCounter = 0;
        EXPECT_FALSE(FindFrameDamage(world, shown, damage));
        world.frameCounter = 7, shown.pop_back();
        EXPECT_FALSE(FindFrameDamage(world, shown, damage));
    }
}
