#include "sim/portable_math.h"
#include "sim/scene.h"

namespace {

constexpr int32_t kKnockOutHits = 100;  // a pin hit more often than this is removed

double Length(double x, double y) { return SquareRoot(x * x + y * y); }

// Drops a waiting ball in at the top centre unless a disc still covers the
// entry.
void TryDropIn(World& world, Disc& ball, const Rect& board)
{
    CellGrid& grid = world.grid;
    if (grid.columns == 0) return;  // no scene set up yet
    const int32_t column = (board.right / 2) / grid.cellWidth;
    const int32_t cx = grid.cellWidth * column + grid.cellWidth / 2;
    const double r = ball.radius;
    const Rect entry{TruncToInt(cx - r), TruncToInt(-r), TruncToInt(cx + r), TruncToInt(r)};
    if (const GridCell* cell = grid.CellAt(column, 0)) {
        for (const Disc* disc = cell->head; disc; disc = disc->cellNext) {
            const Rect& b = disc->bounds;
            if (b.left <= entry.right && b.right >= entry.left && b.top <= entry.bottom && b.bottom >= entry.top) return;
        }
    }
    ball.x = cx;
    ball.y = 0;
    ball.inPlay = true;
    Move(world, ball, board);  // enters already moving
    grid.Insert(&ball, TruncToInt(ball.x), TruncToInt(ball.y));
}

void MotionPass(World& world, const Rect& board)
{
    for (size_t i = world.balls.size(); i-- > 0;) {
        Disc& ball = *world.balls[i];
        if (!ball.inPlay) {
            // Balls enter from the last index down: every ball below waits too.
            TryDropIn(world, ball, board);
            return;
        }
        Move(world, ball, board);
        world.grid.Relocate(&ball, TruncToInt(ball.x), TruncToInt(ball.y));
    }
}

// Contacts of each ball with its own cell and the three cells towards the
// quarter of the cell it is in; cells are large enough that nothing further
// away can touch it.
void CollisionPass(World& world, const Rect& board)
{
    CellGrid& grid = world.grid;
    for (size_t i = world.balls.size(); i-- > 0;) {
        Disc& ball = *world.balls[i];
        const int32_t column = grid.ColumnOf(TruncToInt(ball.x));
        const int32_t row = grid.RowOf(TruncToInt(ball.y));
        Collide(world, ball, grid.CellAt(column, row), board);

        const int64_t midX = int64_t(grid.cellWidth) * column + grid.cellWidth / 2;
        const int64_t midY = int64_t(grid.cellHeight) * row + grid.cellHeight / 2;
        const int32_t sideColumn = ball.x >= static_cast<double>(midX) ? column + 1 : column - 1;
        const int32_t sideRow = ball.y >= static_cast<double>(midY) ? row + 1 : row - 1;
        Collide(world, ball, grid.CellAt(sideColumn, row), board);
        Collide(world, ball, grid.CellAt(sideColumn, sideRow), board);
        Collide(world, ball, grid.CellAt(column, sideRow), board);

        ball.UpdateBounds();
    }
}

// Knocks out pins on which a ball has got stuck; forgets pins that have not
// been hit in the last two steps. Removing a record keeps the order of the
// others.
void HitListPass(World& world)
{
    std::vector<PinHit>& list = world.hitList;
    bool anyLive = false;
    for (size_t i = list.size(); i-- > 0;) {
        PinHit& record = list[i];
        bool remove = int64_t(record.stamp) + 1 < world.hitStamp;
        if (!remove) {
            anyLive = true;
            if (record.hits > kKnockOutHits) {
                Disc& pin = *record.pin;
                CellGrid::Remove(pin.cell, &pin);
                pin.cell = nullptr;
                pin.colour = 0;
                remove = true;
            }
        }
        if (remove) {
            record.pin->hitRecord = -1;
            record.pin = nullptr;
        }
    }
    size_t kept = 0;
    for (PinHit& record : list) {
        if (!record.pin) continue;
        record.pin->hitRecord = static_cast<int32_t>(kept);
        list[kept++] = record;
    }
    list.resize(kept);
    world.hitStamp = anyLive ? static_cast<int32_t>(static_cast<uint32_t>(world.hitStamp) + 1u) : 0;
}

void RecordHit(World& world, Disc& pin)
{
    std::vector<PinHit>& list = world.hitList;
    PinHit* record = nullptr;
    if (pin.hitRecord >= 0 && size_t(pin.hitRecord) < list.size() && list[size_t(pin.hitRecord)].pin == &pin) {
        record = &list[size_t(pin.hitRecord)];
    } else {
        for (PinHit& candidate : list) {
            if (candidate.pin == &pin) record = &candidate;
        }
    }
    if (record) {
        record->stamp = world.hitStamp;
        record->hits += 1;
        return;
    }
    pin.hitRecord = static_cast<int32_t>(list.size());
    list.push_back(PinHit{&pin, world.hitStamp, 1});
}

// Moves a disc back along its path to time t of the frame, kept off the walls.
void BackOff(Disc& disc, double startX, double startY, double t, const Rect& board)
{
    disc.x = startX + t * disc.vx;
    disc.y = startY + t * disc.vy;
    if (disc.x < disc.radius) {
        disc.x = disc.radius;
    } else if (disc.x > board.right - disc.radius) {
        disc.x = board.right - disc.radius;
    }
    if (disc.y < disc.radius) {
        disc.y = disc.radius;
    } else if (disc.y > board.bottom - disc.radius) {
        disc.y = board.bottom - disc.radius;
    }
}

void ScaleNext(Disc& disc, double f)
{
    disc.nextVx = disc.nextVx * f;
    disc.nextVy = disc.nextVy * f;
}

}  // namespace

void StepWorld(World& world, const Rect& boardIn)
{
    const Rect board = ClampBoard(boardIn);
    world.sparks.Update();
    MotionPass(world, board);
    CollisionPass(world, board);
    HitListPass(world);
}

void Move(World& world, Disc& ball, const Rect& board)
{
    // Gravity pulls towards the terminal speed from either side, so the fall
    // speed hovers around it.
    ball.vx = ball.nextVx;
    if (ball.nextVy < kTerminalSpeed) {
        ball.vy = ball.nextVy + world.scene.gravity;
    } else {
        ball.vy = ball.nextVy - world.scene.gravity;
    }
    ball.nextVy = ball.vy;

    // Side walls reflect without loss, from the next frame on.
    if (ball.vx != 0) {
        ball.x += ball.vx;
        if (ball.vx > 0 && ball.x + ball.radius > board.right) {
            ball.nextVx = -ball.vx;
            ball.x = board.right - ball.radius;
        }
        if (ball.vx < 0 && ball.x - ball.radius < board.left) {
            ball.nextVx = -ball.vx;
            ball.x = board.left + ball.radius;
        }
    }
    // The centre passing the bottom (or top) edge re-enters at the other one.
    if (ball.vy != 0) {
        ball.y += ball.vy;
        if (ball.vy > 0 && ball.y > board.bottom) {
            ball.y -= board.bottom;
            ball.wrapped = true;
        }
        if (ball.vy < 0 && ball.y < board.top) {
            ball.y += board.bottom;
            ball.wrapped = true;
        }
    }
}

void Collide(World& world, Disc& ball, GridCell* cell, const Rect& board)
{
    if (!cell) return;
    for (Disc* otherPtr = cell->head; otherPtr; otherPtr = otherPtr->cellNext) {
        Disc& other = *otherPtr;
        // The higher id resolves each pair once; pins, lowest of all, never start one.
        if (other.id >= ball.id) continue;
        double dx = ball.x - other.x;
        double dy = ball.y - other.y;
        const double rsum = other.radius + ball.radius;
        if (dx * dx + dy * dy > rsum * rsum) continue;

        const double dvx = ball.vx - other.vx;
        const double dvy = ball.vy - other.vy;
        const double speed = SquareRoot(dvx * dvx + dvy * dvy);

        // Discs that already touched when the frame began are separating or
        // resting; responding again would glue them together.
        const double ballStartX = ball.x - ball.vx, ballStartY = ball.y - ball.vy;
        const double otherStartX = other.x - other.vx, otherStartY = other.y - other.vy;
        const double sdx = ballStartX - otherStartX, sdy = ballStartY - otherStartY;
        const double sd2 = sdx * sdx + sdy * sdy;
        if (sd2 <= rsum * rsum) continue;

        // Move both back to the moment of contact; too slow a closing speed
        // would move them back by an unbounded time.
        if (speed >= kMinBackOffSpeed) {
            const double t = (SquareRoot(sd2) - rsum) / speed;
            BackOff(ball, ballStartX, ballStartY, t, board);
            if (!other.isPin) BackOff(other, otherStartX, otherStartY, t, board);
            dx = ball.x - other.x;
            dy = ball.y - other.y;
        }

        const double theta = ArcTangent2(dy, dx);
        const double ux = Cosine(theta);  // unit vector from other towards the ball
        const double uy = Sine(theta);
        if (world.scene.sparksOn) {
            world.sparks.Spawn(TruncToInt(ball.x - ux * ball.radius), TruncToInt(ball.y - uy * ball.radius));
        }

        // Not the dot product: the size of the push ignores the sign of the
        // closing speed, so it always pushes the ball away from other.
        const double m = SquareRoot((ux * dvx) * (ux * dvx) + (uy * dvy) * (uy * dvy));
        const double jx = ux * m;
        const double jy = uy * m;

        if (!other.isPin) {
            // Discs of no size have no mass; share the push evenly then.
            const double massSum = ball.mass + other.mass;
            const double q = massSum != 0 ? other.mass / massSum : 0.5;
            ball.nextVx += 2 * q * jx;
            ball.nextVy += 2 * q * jy;
            other.nextVx -= 2 * (1 - q) * jx;
            other.nextVy -= 2 * (1 - q) * jy;
            const double before = Length(other.vx, other.vy) + Length(ball.vx, ball.vy);
            const double after = Length(other.nextVx, other.nextVy) + Length(ball.nextVx, ball.nextVy);
            // Both at rest after the push: nothing to scale.
            if (after != 0) {
                const double f = kRestitution * before / after;
                ScaleNext(other, f);
                ScaleNext(ball, f);
            }
        } else {
            ball.nextVx += 2 * jx;
            ball.nextVy += 2 * jy;
            const double after = Length(ball.nextVx, ball.nextVy);
            if (after != 0) ScaleNext(ball, kRestitution * Length(ball.vx, ball.vy) / after);
            RecordHit(world, other);
        }
    }
}
