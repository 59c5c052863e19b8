#include "sim/world.h"

#include <algorithm>

#include "sim/random.h"

namespace {

Rect BoundsAround(double x, double y, double r)
{
    return Rect{TruncToInt(x - r), TruncToInt(y - r), TruncToInt(x + r), TruncToInt(y + r)};
}

Colour MakeColour(int red, int green, int blue)
{
    return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 | static_cast<Colour>(blue) << 16;
}

}  // namespace

Disc::Disc(double x, double y, int32_t id, double radius)
    : x(x), y(y), radius(radius), id(id), isPin(true), inPlay(true)
{
    const int blue = Rand() % 60 + 170;
    const int green = Rand() % 60 + 170;
    const int red = Rand() % 60 + 170;
    colour = MakeColour(red, green, blue);
    mass = kPi * radius * radius;
    bounds = BoundsAround(x, y, radius);
    prevBounds = Rect{TruncToInt(x), TruncToInt(y), TruncToInt(x), TruncToInt(y)};
}

Disc::Disc(int32_t id, double radius) : radius(radius), id(id)
{
    vx = Rand() % 10 - 5;
    nextVx = vx;
    const int blue = Rand() % 175 + 80;
    const int green = Rand() % 175 + 80;
    const int red = Rand() % 175 + 80;
    colour = MakeColour(red, green, blue);
    mass = kPi * radius * radius;
    bounds = BoundsAround(x, y, radius);
    prevBounds = Rect{0, 0, 0, 0};
}

void Disc::UpdateBounds()
{
    prevBounds = bounds;
    RecomputeBounds();
}

void Disc::RecomputeBounds() { bounds = BoundsAround(x, y, radius); }

void CellGrid::Init(int32_t boardWidth, int32_t boardHeight, int32_t cellW, int32_t cellH)
{
    boardWidth = std::max(boardWidth, 0);
    boardHeight = std::max(boardHeight, 0);
    cellWidth = std::max(cellW, 1);
    cellHeight = std::max(cellH, 1);
    auto cellCount = [&] {
        return (int64_t(boardWidth) / cellWidth + 1) * (int64_t(boardHeight) / cellHeight + 1);
    };
    while (cellCount() > kMaxGridCells) {
        cellWidth = cellWidth > INT32_MAX / 2 ? INT32_MAX : cellWidth * 2;
        cellHeight = cellHeight > INT32_MAX / 2 ? INT32_MAX : cellHeight * 2;
    }
    columns = boardWidth / cellWidth + 1;
    rows = boardHeight / cellHeight + 1;
    cells_.assign(size_t(columns) * size_t(rows), GridCell{});
}

void CellGrid::Clear()
{
    cells_.clear();
    cells_.shrink_to_fit();
    columns = rows = 0;
}

int32_t CellGrid::ColumnOf(int32_t x) const { return std::clamp(x / cellWidth, 0, std::max(columns - 1, 0)); }

int32_t CellGrid::RowOf(int32_t y) const { return std::clamp(y / cellHeight, 0, std::max(rows - 1, 0)); }

GridCell* CellGrid::CellAt(int32_t column, int32_t row)
{
    if (column < 0 || column >= columns || row < 0 || row >= rows) return nullptr;
    return &cells_[size_t(column) * size_t(rows) + size_t(row)];
}

void CellGrid::Insert(Disc* disc, int32_t x, int32_t y)
{
    GridCell* target = CellAt(ColumnOf(x), RowOf(y));
    if (!target) return;  // no grid before the first set-up
    disc->cellNext = target->head;
    target->head = disc;
    disc->cell = target;
}

void CellGrid::Relocate(Disc* disc, int32_t x, int32_t y)
{
    GridCell* target = CellAt(ColumnOf(x), RowOf(y));
    if (!target || target == disc->cell) return;
    if (disc->cell) Remove(disc->cell, disc);
    disc->cellNext = target->head;
    target->head = disc;
    disc->cell = target;
}

bool CellGrid::Remove(GridCell* cell, Disc* disc)
{
    if (!cell) return false;
    for (Disc** link = &cell->head; *link; link = &(*link)->cellNext) {
        if (*link == disc) {
            *link = disc->cellNext;
            disc->cellNext = nullptr;
            return true;
        }
    }
    return false;
}

World::~World() { DeleteDiscs(); }

void World::DeleteDiscs()
{
    for (Disc* ball : balls) delete ball;
    balls.clear();
    for (Disc* pin : pins) delete pin;
    pins.clear();
}
