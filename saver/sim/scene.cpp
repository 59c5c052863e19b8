#include "sim/scene.h"

#include <algorithm>
#include <memory>

#include "sim/portable_math.h"
#include "sim/random.h"

namespace {

constexpr int32_t kSparkBursts = 30;
constexpr int32_t kSparksPerBurst = 4;
constexpr int kAttemptsPerGroup = 20;  // the last attempt is taken even if crowded

// The preview window is tiny: a fixed small scene that never restarts.
constexpr int32_t kPreviewBalls = 1;
constexpr int32_t kPreviewPins = 6;
constexpr double kPreviewBallRadius = 10.0;
constexpr double kPreviewPinRadius = 6.0;
constexpr uint32_t kPreviewSceneFrames = 2147483647;

// A pin group is a turtle path: a pin, then turn, then advance by the spacing.
struct PinShape {
    int pins;
    double turn;  // radians, after each pin
};
constexpr PinShape kPinShapes[] = {
    {1, 0.0},                 // single pin
    {3, 0.0},                 // straight row of three
    {3, 0.4},                 // curved row of three
    {3, 2.0943951023333334},  // triangle
    {4, 1.57079632675},       // square
    {4, 0.0},                 // straight row of four
    {4, 0.4},                 // curved row of four
};

// 0 is off, 2 ("Whatever") is decided by a draw, anything else is on.
bool OnOffOrWhatever(uint32_t stored)
{
    if (stored == 0) return false;
    if (stored == 2) return Rand() % 2 != 0;
    return true;
}

int32_t CappedCount(uint32_t stored, int32_t cap) { return std::min(static_cast<int32_t>(stored), cap); }

double CappedRadius(uint32_t stored) { return std::min(static_cast<double>(stored), kMaxRadius); }

void ReadSceneValues(SceneSettings& scene, SettingsReader& settings)
{
    if (scene.preview) {
        scene.symmetric = OnOffOrWhatever(settings.ReadSetting(kSymmetry));
        scene.gravity = static_cast<double>(settings.ReadSetting(kGravity)) * 0.05;
        scene.ballCount = kPreviewBalls;
        scene.pinCount = kPreviewPins;
        scene.ballRadius = kPreviewBallRadius;
        scene.pinRadius = kPreviewPinRadius;
        scene.sparksOn = true;
        scene.sceneFrames = kPreviewSceneFrames;
        return;
    }
    scene.ballCount = CappedCount(settings.ReadSetting(kNumBalls), kMaxBalls);
    scene.pinCount = CappedCount(settings.ReadSetting(kNumPins), kMaxPins);
    scene.ballRadius = CappedRadius(settings.ReadSetting(kBallSize));
    scene.pinRadius = CappedRadius(settings.ReadSetting(kPinSize));
    scene.symmetric = OnOffOrWhatever(settings.ReadSetting(kSymmetry));
    scene.gravity = static_cast<double>(settings.ReadSetting(kGravity)) * 0.05;
    scene.sceneFrames = settings.ReadSetting(kScenarioCounter) * 600u;  // wraps like the 32-bit product it is
    scene.sparksOn = OnOffOrWhatever(settings.ReadSetting(kSparks));
}

int32_t CellSize(const SceneSettings& scene)
{
    if (scene.ballRadius > scene.pinRadius) return TruncToInt(4 * scene.ballRadius);
    return TruncToInt(2 * (scene.pinRadius + scene.ballRadius));
}

// Distance between the centres of neighbouring pins of a group: room for a
// ball and 4 pixels between them, more for balls smaller than the pins.
double PinSpacing(double ballRadius, double pinRadius)
{
    double d = 2 * pinRadius + ballRadius + 4.0;
    if (ballRadius < pinRadius) d = d + ballRadius;
    return d;
}

// rand() % span, with a span of 0 (a pin area of no width) giving 0. The
// draw is made either way, so the sequence of draws does not depend on it.
int32_t DrawBelow(int32_t span)
{
    const int32_t r = Rand();
    return span == 0 ? 0 : r % span;
}

// Whether a pin lies closer than d to any pin already accepted. Accepted pins
// are all in the grid, so only the cells within reach are searched; the
// reach gets two pixels of slack so that rounding cannot hide a neighbour.
bool TooClose(CellGrid& grid, const Disc& pin, double d)
{
    const double reach = d + 2.0;
    const int32_t firstColumn = grid.ColumnOf(TruncToInt(pin.x - reach));
    const int32_t lastColumn = grid.ColumnOf(TruncToInt(pin.x + reach));
    const int32_t firstRow = grid.RowOf(TruncToInt(pin.y - reach));
    const int32_t lastRow = grid.RowOf(TruncToInt(pin.y + reach));
    for (int32_t column = firstColumn; column <= lastColumn; ++column) {
        for (int32_t row = firstRow; row <= lastRow; ++row) {
            const GridCell* cell = grid.CellAt(column, row);
            for (const Disc* other = cell ? cell->head : nullptr; other; other = other->cellNext) {
                const double dx = pin.x - other->x;
                const double dy = pin.y - other->y;
                if (dx * dx + dy * dy < d * d) return true;
            }
        }
    }
    return false;
}

int32_t Width(const Rect& r) { return r.right - r.left; }
int32_t Height(const Rect& r) { return r.bottom - r.top; }

}  // namespace

Rect ClampBoard(const Rect& board)
{
    auto clamp = [](int32_t v) { return std::clamp(v, -kMaxBoardCoord, kMaxBoardCoord); };
    return Rect{clamp(board.left), clamp(board.top), clamp(board.right), clamp(board.bottom)};
}

void SetUpScene(World& world, const Rect& boardIn, int previewRequest, SettingsReader& settings)
{
    const Rect board = ClampBoard(boardIn);
    SceneSettings& scene = world.scene;
    if (!scene.previewLatched) {
        scene.preview = previewRequest != 0;
        scene.previewLatched = true;
    }
    ReadSceneValues(scene, settings);
    // Without gravity the balls would never come down from the entry.
    if (scene.gravity == 0.0) scene.gravity = 0.05;
    world.frameCounter = 0;

    // A cell at least twice the largest contact distance lets the step look
    // at four cells per ball.
    const int32_t cellSize = CellSize(scene);
    world.grid.Clear();
    world.grid.Init(Width(board), Height(board), cellSize, cellSize);

    world.sparks.Clear();
    world.sparks.Init(kSparkBursts, kSparksPerBurst);

    world.DeleteDiscs();
    world.hitList.clear();

    LayOutPins(world, board);
    const int32_t firstBallId = static_cast<int32_t>(world.pins.size());
    for (int32_t i = 0; i < scene.ballCount; ++i) world.balls.push_back(new Disc(firstBallId + i, scene.ballRadius));
}

// Expects the grid of the scene to be initialised and empty.
void LayOutPins(World& world, const Rect& boardIn)
{
    const SceneSettings& scene = world.scene;
    const bool symmetric = scene.symmetric;
    const double pinRadius = scene.pinRadius;

    // Keep pins two ball radii from every edge so that balls pass around them.
    Rect area = ClampBoard(boardIn);
    const int32_t inset = TruncToInt(2 * scene.ballRadius);
    area.left += inset;
    area.top += inset;
    area.right -= inset;
    area.bottom -= inset;
    // Symmetric layouts fill the left half and mirror it about area.right.
    if (symmetric) area.right = (area.left + area.right) / 2 - TruncToInt(pinRadius);

    const double d = PinSpacing(scene.ballRadius, pinRadius);
    const int32_t pinCount = std::min(scene.pinCount, kMaxPins);
    if (pinCount <= 0) return;

    std::vector<std::unique_ptr<Disc>> group;
    int32_t placed = 0;  // pins created so far, mirror images included; the next id
    while (placed < pinCount) {
        for (int attempts = 1;; ++attempts) {
            const int32_t remaining = pinCount - placed;
            int shape = 0;
            if (remaining >= (symmetric ? 8 : 4)) {
                shape = Rand() % 7;
            } else if (remaining >= (symmetric ? 6 : 3)) {
                shape = Rand() % 4;  // the shapes of at most three pins
            }
            double heading = (Rand() % 6283) * 0.001;
            double px = DrawBelow(area.right - area.left) + area.left;
            double py = DrawBelow(area.bottom - area.top) + area.top;

            int32_t minX = TruncToInt(px), maxX = minX;
            int32_t minY = TruncToInt(py), maxY = minY;
            group.clear();
            for (int i = 0; i < kPinShapes[shape].pins; ++i) {
                group.emplace_back(new Disc(px, py, placed, pinRadius));
                ++placed;
                if (px - pinRadius < minX) {
                    minX = TruncToInt(px - pinRadius);
                } else if (px + pinRadius > maxX) {
                    maxX = TruncToInt(px + pinRadius);
                }
                if (py - pinRadius < minY) {
                    minY = TruncToInt(py - pinRadius);
                } else if (py + pinRadius > maxY) {
                    maxY = TruncToInt(py + pinRadius);
                }
                heading += kPinShapes[shape].turn;
                px += Cosine(heading) * d;
                py += Sine(heading) * d;
            }

            // Bounds keep the places the pins were created at; drawing
            // catches up with the shift.
            int32_t shiftX = 0, shiftY = 0;
            if (minX < area.left) {
                shiftX = area.left - minX;
            } else if (maxX > area.right) {
                shiftX = -(maxX - area.right);
            }
            if (minY < area.top) {
                shiftY = area.top - minY;
            } else if (maxY > area.bottom) {
                shiftY = -(maxY - area.bottom);
            }
            for (auto& pin : group) {
                if (shiftX != 0) pin->x = pin->x + shiftX;
                if (shiftY != 0) pin->y = pin->y + shiftY;
            }

            bool conflict = false;
            for (auto& pin : group) {
                if (TooClose(world.grid, *pin, d)) {
                    conflict = true;
                    break;
                }
            }
            if (conflict && attempts < kAttemptsPerGroup) {
                placed -= static_cast<int32_t>(group.size());
                group.clear();
                continue;
            }

            const size_t firstNew = world.pins.size();
            for (auto& pin : group) {
                Disc* accepted = pin.release();
                world.pins.push_back(accepted);
                world.grid.Insert(accepted, TruncToInt(accepted->x), TruncToInt(accepted->y));
            }
            group.clear();
            if (symmetric) {
                const size_t end = world.pins.size();
                for (size_t i = firstNew; i < end; ++i) {
                    const Disc& original = *world.pins[i];
                    const double mirrorX = TruncToInt(2 * area.right - original.x);
                    const double mirrorY = TruncToInt(original.y);
                    Disc* mirror = new Disc(mirrorX, mirrorY, placed, pinRadius);
                    ++placed;
                    world.pins.push_back(mirror);
                    world.grid.Insert(mirror, TruncToInt(mirror->x), TruncToInt(mirror->y));
                }
            }
            break;
        }
    }
}
