// CircuitRouter.cpp: the circuit board's channel grid and wire routing.
#include "scenes/circuit/CircuitRouter.h"

#include "windowing/window/DebugLine.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The listener of a router that has none.
CircuitRouter::Listener g_quiet;

// The target's offsets from the head that give each direction outright.
struct StraightOffsets {
    int direction;
    int offsets[7];
};
const StraightOffsets kStraight[] = {
    {CircuitRouter::RIGHT, {1, -25, -24, -51, 29, 30, 57}},
    {CircuitRouter::LEFT, {-1, -29, -30, -57, 25, 24, 51}},
    {CircuitRouter::UP, {-27, -55, -82, -83, -53, -80, -79}},
    {CircuitRouter::DOWN, {27, 53, 80, 79, 55, 82, 83}},
};

// The diagonal offsets: the first direction when the pointer lies farther
// from the target's centre across than along, else the second.
struct DiagonalOffsets {
    int offsets[3];
    int across;
    int along;
};
const DiagonalOffsets kDiagonal[] = {
    {{-26, -52, -78}, CircuitRouter::RIGHT, CircuitRouter::UP},
    {{-28, -56, -84}, CircuitRouter::LEFT, CircuitRouter::UP},
    {{28, 56, 84}, CircuitRouter::RIGHT, CircuitRouter::DOWN},
    {{26, 52, 78}, CircuitRouter::LEFT, CircuitRouter::DOWN},
};

// The cells the board's picture blocks in the channels, as (row, column).
const int kBlocked[][2] = {{1, 22},  {1, 23},  {1, 24},  {1, 25},  {2, 25},  {3, 25},  {4, 25},  {6, 9},  {7, 9},
                           {8, 9},   {22, 25}, {23, 25}, {24, 25}, {25, 25}, {25, 24}, {25, 23}, {25, 22}};

const char* const kDirectionNames[] = {"UP\n", "DOWN\n", "RIGHT\n", "LEFT\n"};

// The corner a wire makes turning from `previous` into `d`.
int cornerOf(int previous, int d)
{
    using R = CircuitRouter;
    if ((previous == R::LEFT && d == R::DOWN) || (previous == R::UP && d == R::RIGHT))
        return R::TOP_LEFT;
    if ((previous == R::RIGHT && d == R::DOWN) || (previous == R::UP && d == R::LEFT))
        return R::TOP_RIGHT;
    if ((previous == R::RIGHT && d == R::UP) || (previous == R::DOWN && d == R::LEFT))
        return R::BOTTOM_RIGHT;
    return R::BOTTOM_LEFT;
}

} // namespace

CircuitRouter::CircuitRouter() : m_nCurrentWire(NONE), m_pListener(&g_quiet)
{
    buildGrid();
}

void CircuitRouter::buildGrid()
{
    m_grid.fill(BLOCKED);
    for (int line = 1; line < SIZE; line += 4) {
        for (int i = 1; i <= 25; ++i) {
            m_grid[size_t(cellIndex(line, i))] = OPEN;
            m_grid[size_t(cellIndex(i, line))] = OPEN;
        }
    }
    for (const auto& rc : kBlocked)
        m_grid[size_t(cellIndex(rc[0], rc[1]))] = BLOCKED;
}

bool CircuitRouter::setPoles(const std::array<int, 2 * WIRES>& poles)
{
    for (int cell : poles) {
        if (cell < 0 || cell >= CELLS)
            return false;
    }
    for (int i = 0; i < WIRES; ++i) {
        m_wires[size_t(i)].poleA = poles[size_t(2 * i)];
        m_wires[size_t(i)].poleB = poles[size_t(2 * i + 1)];
    }
    return true;
}

int CircuitRouter::columnAt(int x)
{
    return std::clamp((x - 2) / CELL_PIXELS, 0, SIZE - 1);
}

int CircuitRouter::rowAt(int y)
{
    return std::clamp((y - 2) / CELL_PIXELS, 0, SIZE);
}

int CircuitRouter::step(int d)
{
    static const int kSteps[] = {-SIZE, SIZE, 1, -1};
    return kSteps[d];
}

int CircuitRouter::neighbour(int cell, int d)
{
    const int next = cell + step(d);
    if (next < 0 || next >= CELLS)
        return NONE;
    if ((d == LEFT || d == RIGHT) && next / SIZE != cell / SIZE)
        return NONE;
    return next;
}

void CircuitRouter::placeHead(int wire, int x, int y)
{
    m_pListener->headPlaced(wire, x, y);
}

void CircuitRouter::reset()
{
    for (int i = 0; i < WIRES; ++i) {
        Wire& w = m_wires[size_t(i)];
        w.headX = w.headY = w.startX = w.startY = 0;
        w.lastDirection = w.previousDirection = NONE;
        w.headCell = 0;
        w.tiles.clear();
        m_pListener->tilesCleared(i);
    }
    for (int i = 0; i < WIRES; ++i) {
        Wire& w = m_wires[size_t(i)];
        placeHead(i, cellToPixelX(w.poleA), cellToPixelY(w.poleA));
        m_pListener->headShown(i, false);
        w.startSide = 1;
    }
    m_nCurrentWire = FIXED_WIRE;
    for (int row = FIXED_FIRST_ROW; row <= FIXED_LAST_ROW; ++row)
        addTile(DOWN, cellIndex(row, FIXED_COLUMN));
    m_nCurrentWire = NONE;
}

void CircuitRouter::beginAtPole(int wire, int side)
{
    endDrag();
    Wire& w = m_wires[size_t(wire)];
    w.tiles.clear();
    m_pListener->tilesCleared(wire);
    w.startSide = side;
    m_nCurrentWire = wire;
    m_bPointerKnown = false;
    const int pole = side == 1 ? w.poleA : w.poleB;
    w.startX = w.headX = cellToPixelX(pole);
    w.startY = w.headY = cellToPixelY(pole);
    w.headCell = pole;
    placeHead(wire, w.headX, w.headY);
    m_pListener->headShown(wire, false);
}

bool CircuitRouter::resumeAtHead(int wire)
{
    Wire& w = m_wires[size_t(wire)];
    if (w.tiles.empty())
        return false;
    m_nCurrentWire = wire;
    m_bPointerKnown = false;
    w.headX = w.tiles.back().x;
    w.headY = w.tiles.back().y;
    return true;
}

void CircuitRouter::endDrag()
{
    if (m_nCurrentWire == NONE)
        return;
    const int wire = m_nCurrentWire;
    m_nCurrentWire = NONE;
    m_pListener->dragEnded(wire);
}

int CircuitRouter::directionTo(int h, int t, int x, int y) const
{
    const int offset = t - h;
    for (const StraightOffsets& s : kStraight) {
        if (std::find(std::begin(s.offsets), std::end(s.offsets), offset) != std::end(s.offsets))
            return s.direction;
    }
    const int dx = std::abs(cellToPixelX(t) - x);
    const int dy = std::abs(cellToPixelY(t) - y);
    if (dx == dy)
        return NONE;
    for (const DiagonalOffsets& d : kDiagonal) {
        if (std::find(std::begin(d.offsets), std::end(d.offsets), offset) != std::end(d.offsets))
            return dx > dy ? d.across : d.along;
    }
    return NONE;
}

int CircuitRouter::wireOfPole(int cell) const
{
    for (int i = 0; i < WIRES; ++i) {
        if (m_wires[size_t(i)].poleA == cell || m_wires[size_t(i)].poleB == cell)
            return i;
    }
    return NONE;
}

bool CircuitRouter::canEnter(int cell) const
{
    if (m_nCurrentWire == NONE || cell < 0 || cell >= CELLS)
        return false;
    const int owner = wireOfPole(cell);
    const bool allowed = owner != NONE ? owner == m_nCurrentWire : m_grid[size_t(cell)] == OPEN;
    if (!allowed)
        return false;
    const Wire& w = m_wires[size_t(m_nCurrentWire)];
    // The wire re-enters its start pole only to be pulled back to nothing.
    if (cell == cellIndex(rowAt(w.startY), columnAt(w.startX)))
        return w.tiles.size() == 1;
    return true;
}

bool CircuitRouter::isCellTaken(int cell) const
{
    for (const Wire& w : m_wires) {
        for (const Tile& t : w.tiles) {
            if (t.cell == cell)
                return true;
        }
    }
    return false;
}

bool CircuitRouter::isWireComplete(int wire) const
{
    const Wire& w = m_wires[size_t(wire)];
    return (w.headCell == w.poleA && w.startSide == 2) || (w.headCell == w.poleB && w.startSide == 1);
}

bool CircuitRouter::allWiresComplete() const
{
    for (int i = 0; i < WIRES; ++i) {
        if (!isWireComplete(i))
            return false;
    }
    return true;
}

void CircuitRouter::addTile(int d, int n)
{
    window::debugLine(kDirectionNames[d]);
    const int wire = m_nCurrentWire;
    Wire& w = m_wires[size_t(wire)];
    Tile tile;
    tile.cell = n;
    tile.x = cellToPixelX(n);
    tile.y = cellToPixelY(n);
    tile.fromX = w.headX;
    tile.fromY = w.headY;
    tile.direction = d;
    const bool corner = w.tiles.size() > size_t(STRAIGHT_START) && w.tiles.back().corner == NONE &&
                        w.headCell != w.poleA && w.headCell != w.poleB && w.previousDirection != NONE &&
                        w.previousDirection != d && w.previousDirection != oppositeDirection(d);
    if (corner) {
        tile.length = -1;
        tile.corner = cornerOf(w.previousDirection, d);
    } else {
        tile.length = 1;
        tile.corner = NONE;
        w.previousDirection = w.lastDirection;
    }
    w.lastDirection = d;
    w.headX = tile.x;
    w.headY = tile.y;
    w.headCell = n;
    w.tiles.push_back(tile);
    m_pListener->tileAdded(wire, tile);
    placeHead(wire, tile.x, tile.y);
}

void CircuitRouter::retractLastTile()
{
    const int wire = m_nCurrentWire;
    Wire& w = m_wires[size_t(wire)];
    w.tiles.pop_back();
    m_pListener->tileRemoved(wire);
    if (!w.tiles.empty()) {
        const Tile& last = w.tiles.back();
        w.lastDirection = w.previousDirection = last.direction;
        w.headX = last.x;
        w.headY = last.y;
        w.headCell = last.cell;
        placeHead(wire, w.headX, w.headY);
        return;
    }
    m_pListener->headShown(wire, false);
    w.lastDirection = w.previousDirection = NONE;
    w.headX = w.startX;
    w.headY = w.startY;
    endDrag();
}

void CircuitRouter::pressAt(int x, int y)
{
    m_bPointerKnown = true;
    m_nPointerX = x;
    m_nPointerY = y;
}

void CircuitRouter::dragTo(int x, int y)
{
    if (m_nCurrentWire == NONE)
        return;
    if (!m_bPointerKnown) {
        stepToward(x, y);
        pressAt(x, y);
        return;
    }
    // Mouse moves come a frame apart: a quick pointer crosses several cells
    // between two of them, and one step per move would leave the wire behind
    // it, out of reach of the next step.
    const int dx = x - m_nPointerX;
    const int dy = y - m_nPointerY;
    const int n = std::max({1, std::abs(dx), std::abs(dy)});
    int lastCell = cellIndex(rowAt(m_nPointerY), columnAt(m_nPointerX));
    for (int i = 1; i <= n && m_nCurrentWire != NONE; ++i) {
        const int px = m_nPointerX + dx * i / n;
        const int py = m_nPointerY + dy * i / n;
        const int c = cellIndex(rowAt(py), columnAt(px));
        if (c == lastCell && i < n)
            continue;
        lastCell = c;
        stepToward(px, py);
    }
    pressAt(x, y);
}

void CircuitRouter::stepToward(int x, int y)
{
    const int wire = m_nCurrentWire;
    Wire& w = m_wires[size_t(wire)];
    const int row = rowAt(y);
    const int target = cellIndex(row, columnAt(x));
    if (row >= SIZE || target == w.headCell)
        return;
    const int d = directionTo(w.headCell, target, x, y);
    if (d == NONE)
        return;
    // A pole on the grid's border must not lead a step off the grid.
    const int next = neighbour(w.headCell, d);
    if (next == NONE)
        return;
    const bool back = !w.tiles.empty() && d == oppositeDirection(w.tiles.back().direction);
    const int owner = wireOfPole(next);
    if (!back && (isCellTaken(next) || (owner != NONE && owner != wire))) {
        m_pListener->wireStopped(wire);
        return;
    }
    if (!canEnter(next))
        return;
    if (w.tiles.empty()) {
        addTile(d, next);
        m_pListener->headShown(wire, true);
        if (allWiresComplete())
            m_pListener->boardCompleted();
        return;
    }
    if (back) {
        retractLastTile();
        return;
    }
    addTile(d, next);
    if (isWireComplete(wire)) {
        m_pListener->headShown(wire, false);
        endDrag();
        m_pListener->wireCompleted(wire, allWiresComplete());
    } else {
        m_pListener->headShown(wire, true);
    }
}
