// PipesBoard.cpp: the pipes puzzle's board, flow and solution test.
#include "scenes/pipes/PipesBoard.h"

#include "core/lang/IntArray.h"

namespace {

// Depth-first search node: a cell, the direction its search began with, the
// direction it looks at now.
struct Node {
    int cell;
    int first;
    int current;
};

} // namespace

bool PipesBoard::load(const lang::IntArray& numbers, std::string& error)
{
    if (numbers.length() < FIRST_CELL_NUMBER) {
        error = "the board needs " + std::to_string(FIRST_CELL_NUMBER) + " numbers, the definition has " +
                std::to_string(numbers.length());
        return false;
    }
    const int w = numbers[0];
    const int h = numbers[1];
    if (w < 1 || h < 1 || w > MAX_CELLS || h > MAX_CELLS || w * h > MAX_CELLS) {
        error = "a board of " + std::to_string(w) + " x " + std::to_string(h) + " cells";
        return false;
    }
    const int n = w * h;
    if (numbers.length() < FIRST_CELL_NUMBER + 3 * n) {
        error = "the board of " + std::to_string(n) + " cells needs " + std::to_string(FIRST_CELL_NUMBER + 3 * n) +
                " numbers, the definition has " + std::to_string(numbers.length());
        return false;
    }
    const int start = numbers[NUMBER_START];
    const int end = numbers[NUMBER_END];
    if (start < 0 || start >= n || end < 0 || end >= n) {
        error = "start cell " + std::to_string(start) + " or end cell " + std::to_string(end) + " off the board";
        return false;
    }
    std::array<Kind, KIND_COUNT> readKinds{};
    for (int k = 0; k < KIND_COUNT; ++k) {
        const int base = FIRST_KIND_NUMBER + KIND_RECORD * k;
        for (int s = 0; s < DIRECTIONS; ++s)
            readKinds[size_t(k)].sides[size_t(s)] = numbers[base + 1 + s];
        readKinds[size_t(k)].glow = numbers[base + 5];
    }
    std::vector<Cell> readCells(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        Cell& c = readCells[size_t(i)];
        c.kind = numbers[FIRST_CELL_NUMBER + i];
        if (c.kind < 0 || c.kind >= KIND_COUNT) {
            error = "kind " + std::to_string(c.kind) + " of cell " + std::to_string(i);
            return false;
        }
        c.startAngle = numbers[FIRST_CELL_NUMBER + n + i];
        c.solutionAngle = numbers[FIRST_CELL_NUMBER + 2 * n + i];
        c.angle = c.startAngle;
    }
    width = w;
    height = h;
    startCell = start;
    endCell = end;
    kinds = readKinds;
    cells = std::move(readCells);
    return true;
}

int PipesBoard::localSide(int direction, int angle)
{
    // Each quarter turn clockwise brings the next side round to the direction.
    const int quarters = angle / 90;
    return ((direction - quarters) % DIRECTIONS + DIRECTIONS) % DIRECTIONS;
}

bool PipesBoard::opensTo(const Cell& cell, int direction) const
{
    return kinds[size_t(cell.kind)].sides[size_t(localSide(direction, cell.angle))] == 1;
}

bool PipesBoard::connects(const Cell& a, const Cell& b, int direction) const
{
    return kinds[size_t(a.kind)].sides[size_t(localSide(direction, a.angle))] != 0 &&
           kinds[size_t(b.kind)].sides[size_t(localSide((direction + 2) % DIRECTIONS, b.angle))] != 0;
}

bool PipesBoard::isAtEdge(int cell, int direction) const
{
    switch (direction) {
    case 0:
        return cell % width == 0;
    case 1:
        return cell < width;
    case 2:
        return cell % width == width - 1;
    default:
        return cell >= (height - 1) * width;
    }
}

int PipesBoard::neighbour(int cell, int direction) const
{
    static const int kStepX[DIRECTIONS] = {-1, 0, 1, 0};
    static const int kStepY[DIRECTIONS] = {0, -1, 0, 1};
    return cell + kStepX[direction] + kStepY[direction] * width;
}

void PipesBoard::clearReached()
{
    for (Cell& c : cells)
        c.reached = false;
}

void PipesBoard::updateFlow()
{
    clearReached();
    if (cells.empty())
        return;
    const int ends[2] = {startCell, endCell};
    const int needs[2] = {(START_DIRECTION + 2) % DIRECTIONS, (END_DIRECTION + 2) % DIRECTIONS};
    std::vector<Node> stack;
    for (int e = 0; e < 2; ++e) {
        Cell& p = cells[size_t(ends[e])];
        if (p.turning || !opensTo(p, needs[e]))
            continue;
        p.reached = true;
        const int first = localSide(0, p.angle);
        stack.push_back({ends[e], first, first});
        while (!stack.empty()) {
            Node& node = stack.back();
            const Cell& here = cells[size_t(node.cell)];
            const int d = node.current;
            if (kinds[size_t(here.kind)].sides[size_t(localSide(d, here.angle))] != 0 && !isAtEdge(node.cell, d)) {
                const int next = neighbour(node.cell, d);
                Cell& there = cells[size_t(next)];
                if (!there.turning && !there.reached && connects(here, there, d)) {
                    there.reached = true;
                    const int nextFirst = localSide(0, there.angle);
                    stack.push_back({next, nextFirst, nextFirst});
                    continue;
                }
            }
            node.current = (node.current + 1) % DIRECTIONS;
            if (node.current == node.first)
                stack.pop_back();
        }
    }
}

int PipesBoard::takeTurningPiece()
{
    int last = -1;
    for (int i = 0; i < cellCount(); ++i) {
        if (cells[size_t(i)].turning)
            last = i;
        cells[size_t(i)].turning = false;
    }
    return last;
}

bool PipesBoard::piecesInPlace() const
{
    for (const Cell& c : cells) {
        const int a = c.angle >= 360 ? 0 : c.angle;
        const int s = c.solutionAngle;
        if (s == ANY_ANGLE || a == s)
            continue;
        const bool symmetric = c.kind == SYMMETRIC_KIND_A || c.kind == SYMMETRIC_KIND_B;
        if (symmetric && ((a == 180 && s == 0) || (a == 0 && s == 180) || (a == 90 && s == 270) ||
                          (a == 270 && s == 90)))
            continue;
        return false;
    }
    return true;
}
