// What a frame repaints and copies, from a world whose pins, balls and sparks
// are placed by their rectangles.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "render/frame_damage.h"

bool operator==(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
void PrintTo(const Rect& r, std::ostream* os) { *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}"; }

namespace {

struct Ball {
    Rect now, before;
    bool inPlay, wrapped;
};
struct Segment {
    int32_t fromX, fromY, toX, toY;
};
struct DamageCase {
    const char* name;
    std::vector<Rect> pins;
    std::vector<Ball> balls;
    std::vector<Segment> sparks;  // last frame's segments, as the window erases them now
    int changedPin;               // -1, or a pin the last frame found elsewhere or knocked it out since
    Rect shownBounds;             // that pin's bounds last frame (empty: the same as now)
    bool sameScene;               // false: frame 0 of a scene
    std::vector<size_t> repaint;
    std::vector<Rect> copies;
};
void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

const Rect kPin{0, 0, 10, 10};

const DamageCase kCases[] = {
    {"first frame of a scene", {kPin}, {}, {}, -1, {}, false, {}, {}},
    {"nothing moves", {kPin, {30, 0, 40, 10}}, {}, {}, -1, {}, true, {}, {}},
    {"a ball over one pin", {kPin, {30, 0, 40, 10}}, {{{8, 0, 18, 10}, {6, 0, 16, 10}, true, false}}, {}, -1, {}, true,
     {0}, {{6, 0, 18, 10}}},
    {"a ball beside a pin's right edge", {kPin}, {{{10, 0, 20, 10}, {12, 0, 22, 10}, true, false}}, {}, -1, {}, true,
     {}, {{10, 0, 22, 10}}},
    {"a pin overlapping a repainted one but not the ball", {kPin, {8, 0, 18, 10}},
     {{{0, 20, 4, 24}, {0, 0, 4, 4}, true, false}}, {}, -1, {}, true, {0}, {{0, 0, 4, 24}}},
    {"a wrapped ball: two places, nothing between", {{0, 40, 10, 50}},
     {{{0, 0, 10, 10}, {0, 90, 10, 100}, true, true}}, {}, -1, {}, true, {}, {{0, 0, 10, 10}, {0, 90, 10, 100}}},
    {"a ball coming into play from its waiting place", {{20, 0, 30, 10}},
     {{{40, 0, 50, 10}, {-5, -5, 5, 5}, true, false}}, {}, -1, {}, true, {0}, {{-5, -5, 50, 10}}},
    {"a waiting ball", {kPin}, {{kPin, kPin, false, false}}, {}, -1, {}, true, {}, {}},
    {"a spark segment across a pin", {kPin, {30, 0, 40, 10}}, {}, {{5, -5, 5, 3}}, -1, {}, true, {0}, {{5, 0, 6, 4}}},
    {"a segment ends just before a pin", {kPin}, {}, {{-6, 5, -1, 5}}, -1, {}, true, {}, {}},
    {"a spark that has not moved", {kPin}, {}, {{5, 5, 5, 5}}, -1, {}, true, {}, {}},
    {"a knocked-out pin and its neighbour", {kPin, {8, 0, 18, 10}, {30, 0, 40, 10}}, {}, {}, 0, {}, true, {0, 1},
     {{0, 0, 10, 10}, {8, 0, 10, 10}}},
    {"a pin drawn away from its first place", {{-8, 0, 2, 10}, {4, 0, 14, 10}}, {}, {}, 1, kPin, true, {0, 1},
     {{0, 0, 2, 10}, {4, 0, 14, 10}}},
    {"a spark within a ball's places", {kPin}, {{{0, 0, 20, 20}, {0, 0, 20, 20}, true, false}}, {{5, 5, 8, 5}}, -1,
     {}, true, {0}, {{0, 0, 20, 20}}},
};

class FrameDamageTable : public ::testing::TestWithParam<DamageCase> {};

TEST_P(FrameDamageTable, RepaintsAndCopiesOnlyWhatCanHaveChanged)
{
    const DamageCase& c = GetParam();
    World world;
    for (const Rect& r : c.pins) {
        world.pins.push_back(new Disc(0, 0, int32_t(world.pins.size()), 5));
        world.pins.back()->bounds = r;
    }
    for (const Ball& b : c.balls) {
        world.balls.push_back(new Disc(100 + int32_t(world.balls.size()), 5));
        world.balls.back()->bounds = b.now;
        world.balls.back()->prevBounds = b.before;
        world.balls.back()->inPlay = b.inPlay;
        world.balls.back()->wrapped = b.wrapped;
    }
    world.sparks.Init(30, 4);
    for (size_t i = 0; i < c.sparks.size(); ++i) {
        Spark& s = world.sparks.bursts[i / 4][i % 4];
        s = Spark{c.sparks[i].toX, c.sparks[i].toY, c.sparks[i].fromX, c.sparks[i].fromY, 0, 0, 2};
        world.sparks.tail = int32_t(i / 4 + 1);
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

    // Other pins than the last frame's are a new scene too.
    shown.pop_back();
    EXPECT_FALSE(FindFrameDamage(world, shown, damage));
}

INSTANTIATE_TEST_SUITE_P(Frame, FrameDamageTable, ::testing::ValuesIn(kCases));

}  // namespace
