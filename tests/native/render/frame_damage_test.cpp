// What a frame repaints and copies, from pins, balls and sparks placed by their rectangles.
#include <gtest/gtest.h>

#include <vector>

#include "render/frame_damage.h"

bool operator==(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}


struct Ball {
    Rect now, before;
    bool inPlay, wrapped;
};
const Rect kPin{0, 0, 10, 10};

TEST(FindFrameDamage, RepaintsAndCopiesOnlyWhatCanHaveChanged)
{
    const struct {
        const char* name;
        std::vector<Rect> pins;
        std::vector<Ball> balls;
        std::vector<Rect> sparks;  // last frame's segments {fromX, fromY, toX, toY}
        int changedPin;            // -1, or a pin knocked out (or, with shown bounds, drawn elsewhere) since
        Rect shownBounds;
        bool sameScene;  // false: frame 0 of a scene
        std::vector<size_t> repaint;
        std::vector<Rect> copies;
    } cases[] = {
        {"first frame", {kPin}, {}, {}, -1, {}, false, {}, {}},
        {"ball over a pin", {kPin, {30, 0, 40, 10}}, {{{8, 0, 18, 10}, {6, 0, 16, 10}, true, false}}, {}, -1, {}, true,
         {0}, {{6, 0, 18, 10}}},
        {"ball beside a pin", {kPin}, {{{10, 0, 20, 10}, {12, 0, 22, 10}, true, false}}, {}, -1, {}, true, {},
         {{10, 0, 22, 10}}},
        {"wrapped ball", {{0, 40, 10, 50}}, {{{0, 0, 10, 10}, {0, 90, 10, 100}, true, true}}, {}, -1, {}, true, {},
         {{0, 0, 10, 10}, {0, 90, 10, 100}}},
        {"spark across a pin", {kPin, {30, 0, 40, 10}}, {}, {{5, -5, 5, 3}}, -1, {}, true, {0}, {{5, 0, 6, 4}}},
        {"knocked-out pin", {kPin, {8, 0, 18, 10}, {30, 0, 40, 10}}, {}, {}, 0, {}, true, {0, 1},
         {{0, 0, 10, 10}, {8, 0, 10, 10}}},
        {"pin drawn elsewhere", {{-8, 0, 2, 10}, {4, 0, 14, 10}}, {}, {}, 1, kPin, true, {0, 1},
         {{0, 0, 2, 10}, {4, 0, 14, 10}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        World world;
        for (size_t i = 0; i < c.pins.size(); ++i) world.pins.push_back(new Disc(0, 0, int32_t(i), 5));
        for (size_t i = 0; i < c.pins.size(); ++i) world.pins[i]->bounds = c.pins[i];
        for (const Ball& b : c.balls) {
            world.balls.push_back(new Disc(100 + int32_t(world.balls.size()), 5));
            Disc& ball = *world.balls.back();
            ball.bounds = b.now, ball.prevBounds = b.before, ball.inPlay = b.inPlay, ball.wrapped = b.wrapped;
        }
        world.sparks.Init(30, 4);
        world.sparks.tail = c.sparks.empty() ? 0 : 1;
        for (size_t i = 0; i < c.sparks.size(); ++i) {
            const Rect& s = c.sparks[i];
            world.sparks.bursts[0][i] = Spark{s.right, s.bottom, s.left, s.top, 0, 0, 2};
        }
        world.frameCounter = c.sameScene ? 7 : 0;
        std::vector<ShownPin> shown;
        NoteShownPins(world, shown);
        if (c.changedPin >= 0 && IsEmpty(c.shownBounds)) world.pins[c.changedPin]->colour = 0;
        if (c.changedPin >= 0 && !IsEmpty(c.shownBounds)) shown[c.changedPin].bounds = c.shownBounds;
        FrameDamage damage;
        ASSERT_EQ(FindFrameDamage(world, shown, damage), c.sameScene);
        EXPECT_EQ(damage.pins, c.repaint);
        EXPECT_EQ(damage.copies, c.copies);
        shown.pop_back();  // other pins than the last frame's are a new scene too
        EXPECT_FALSE(FindFrameDamage(world, shown, damage));
    }
}
