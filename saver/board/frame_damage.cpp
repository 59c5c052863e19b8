#include "board/frame_damage.h"

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Meets(const Rect& a, const Rect& b)
{
    return !IsEmpty(a) && !IsEmpty(b) && a.left < b.right && b.left < a.right && a.top < b.bottom &&
           b.top < a.bottom;
}

Rect Intersection(const Rect& a, const Rect& b)
{
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

Rect Union(const Rect& a, const Rect& b)
{
    if (IsEmpty(a)) return IsEmpty(b) ? Rect{} : b;
    if (IsEmpty(b)) return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

namespace {

bool Same(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

bool FindFrameDamage(const World& world, const std::vector<ShownPin>& shown, FrameDamage& damage)
{
    damage.areas.clear();
    damage.pins.clear();
    damage.copies.clear();
    // The first frame of a scene: the window was cleared and nothing of it is
    // in the buffer yet.
    if (world.frameCounter == 0 || shown.size() != world.pins.size()) return false;

    for (const Disc* ball : world.balls) {
        if (!ball->inPlay) continue;
        ForEachBallArea(*ball, [&](const Rect& r) {
            if (IsEmpty(r)) return;
            damage.areas.push_back(r);
            damage.copies.push_back(r);  // balls always go to the window, as they always did
        });
    }
    const size_t ballAreas = damage.areas.size();

    // The window paints last frame's sparks over in black, pins included:
    // whatever such a segment crosses must be copied again. A segment runs
    // from the previous position to the current one, end point excluded; one
    // that has not moved paints nothing.
    // Most segments lie within a ball's places, which are repainted anyway.
    const auto insideBallArea = [&](const Rect& box) {
        for (size_t a = 0; a < ballAreas; ++a) {
            if (Same(Intersection(box, damage.areas[a]), box)) return true;
        }
        return false;
    };
    ForEachSparkOfLiveBursts(world.sparks, [&](const Spark&, const Spark& s) {
        if (s.prevX == s.x && s.prevY == s.y) return;
        const Rect box{std::min(s.prevX, s.x), std::min(s.prevY, s.y), std::max(s.prevX, s.x) + 1,
                       std::max(s.prevY, s.y) + 1};
        if (!insideBallArea(box)) damage.areas.push_back(box);
    });

    // A pin that changed colour (a knocked-out one is blacked out once) or
    // bounds (drawing moves a pin laid out beyond the pin area's edge at the
    // first frame, whose fill still used the old place).
    for (size_t i = 0; i < world.pins.size(); ++i) {
        const Disc& pin = *world.pins[i];
        if (pin.colour == shown[i].colour && Same(pin.bounds, shown[i].bounds)) continue;
        if (!IsEmpty(shown[i].bounds)) damage.areas.push_back(shown[i].bounds);
        if (!IsEmpty(pin.bounds) && !Same(pin.bounds, shown[i].bounds)) damage.areas.push_back(pin.bounds);
    }

    // Repainting is clipped to the areas, so a pin outside them keeps its
    // pixels in the buffer and needs nothing, however it overlaps the others.
    // Outside the areas the buffer and the window agree wherever a disc lies,
    // so one copy per pin of the box around its part in the other areas is
    // exact; a box within a ball's areas is copied with them.
    for (size_t i = 0; i < world.pins.size(); ++i) {
        const Rect& bounds = world.pins[i]->bounds;
        bool repaint = false;
        Rect box;
        for (size_t a = 0; a < damage.areas.size(); ++a) {
            if (!Meets(bounds, damage.areas[a])) continue;
            repaint = true;
            if (a >= ballAreas) box = Union(box, Intersection(bounds, damage.areas[a]));
        }
        if (!repaint) continue;
        damage.pins.push_back(i);
        if (!IsEmpty(box) && !insideBallArea(box)) damage.copies.push_back(box);
    }
    return true;
}

void NoteShownPins(const World& world, std::vector<ShownPin>& shown)
{
    shown.resize(world.pins.size());
    for (size_t i = 0; i < world.pins.size(); ++i) shown[i] = ShownPin{world.pins[i]->bounds, world.pins[i]->colour};
}
