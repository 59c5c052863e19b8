// The pin-board world: discs (pins and balls), the scene values, the cell grid,
// the spark ring and the hit list. Positions are doubles in view pixels, y down,
// (0, 0) at the top-left of the board; velocities are pixels per frame. Each
// board has a world of its own; scene set-up rebuilds it in place.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/limits.h"
#include "sim/sparks.h"

using Colour = uint32_t;  // 0x00BBGGRR; 0 marks a disc that is not drawn

// Integer rectangle, laid out like the Win32 RECT.
struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct GridCell;
class Disc;

// Base of everything that moves or is drawn: keeps its screen bounds.
class Body {
public:
    virtual ~Body() = default;
    virtual void UpdateBounds() = 0;
};

// What the cell grid needs of a disc: the intrusive list link.
class GridLink {
public:
    virtual ~GridLink() = default;
    Disc* cellNext = nullptr;
    GridCell* cell = nullptr;
};

// One class for pins (isPin) and balls.
class Disc : public Body, public GridLink {
public:
    // A pin at (x, y). Draws its colour: blue, green, red.
    Disc(double x, double y, int32_t id, double radius);
    // A ball, waiting at (0, 0). Draws its launch speed, then blue, green, red.
    Disc(int32_t id, double radius);

    // prevBounds := bounds, then bounds from the centre and radius.
    void UpdateBounds() override;
    // bounds from the centre and radius, as drawing does, leaving prevBounds.
    void RecomputeBounds();

    double x = 0, y = 0;
    double radius = 0;
    double vx = 0, vy = 0;
    double nextVx = 0, nextVy = 0;
    double mass = 0;
    Colour colour = 0;
    int32_t id = 0;
    bool isPin = false;
    bool inPlay = false;
    bool wrapped = false;
    Rect bounds;
    Rect prevBounds;
    // A pin's place in the world's hit list, or -1: finds its record without
    // a search when many balls keep touching many pins.
    int32_t hitRecord = -1;
};

struct SceneSettings {
    int32_t ballCount = 0;
    int32_t pinCount = 0;
    double ballRadius = 0;
    double pinRadius = 0;
    bool symmetric = false;
    double gravity = 0.05;
    bool sparksOn = false;
    uint32_t sceneFrames = 1000;
    bool preview = false;
    bool previewLatched = false;  // the first set-up decides `preview` for good
};

struct GridCell {
    Disc* head = nullptr;
};

class CellGrid {
public:
    // Sizes below 0 count as 0, cell sizes below 1 as 1; cells are widened
    // (both ways alike) when the grid would have more than kMaxGridCells.
    void Init(int32_t boardWidth, int32_t boardHeight, int32_t cellWidth, int32_t cellHeight);
    void Clear();
    // column = x / cellWidth, row = y / cellHeight, kept inside the grid: a
    // disc beyond the board lives in the nearest border cell.
    void Insert(Disc* disc, int32_t x, int32_t y);
    void Relocate(Disc* disc, int32_t x, int32_t y);
    static bool Remove(GridCell* cell, Disc* disc);
    GridCell* CellAt(int32_t column, int32_t row);  // nullptr outside the grid

    // The column and row of a truncated position, kept inside the grid.
    int32_t ColumnOf(int32_t x) const;
    int32_t RowOf(int32_t y) const;

    int32_t cellWidth = 0, cellHeight = 0;
    int32_t columns = 0, rows = 0;

private:
    std::vector<GridCell> cells_;  // column-major: column i, row j is cells_[i * rows + j]
};

struct PinHit {
    Disc* pin = nullptr;
    int32_t stamp = 0;
    int32_t hits = 0;
};

struct World {
    std::vector<Disc*> balls;  // owned
    std::vector<Disc*> pins;   // owned
    SceneSettings scene;
    CellGrid grid;
    SparkRing sparks;
    std::vector<PinHit> hitList;
    int32_t hitStamp = 0;
    uint32_t frameCounter = 0;

    World() = default;
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    // The discs' one owner.
    ~World();
    // Deletes every ball, then every pin, and empties both arrays.
    void DeleteDiscs();
};

// Fixed physical constants.
constexpr double kPi = 3.1415926535;
constexpr double kTerminalSpeed = 20.0;
constexpr double kRestitution = 0.7;
constexpr double kMinBackOffSpeed = 0.02;
