// PipesBoard.h: the rules of the pipes puzzle without its sprites: the piece
// kinds with their openings, the board read from a definition's numbers, the
// water's flow from the two ends through the pieces as they are turned, and
// the test of every piece at its solution angle.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace lang {
class IntArray;
}

class PipesBoard {
public:
    // Directions, clockwise: 0 left, 1 up, 2 right, 3 down.
    static constexpr int DIRECTIONS = 4;
    static constexpr int KIND_COUNT = 13;
    // The half-turn symmetric pieces (straight pipes), right also when turned
    // half a turn from their solution angle.
    static constexpr int SYMMETRIC_KIND_A = 11;
    static constexpr int SYMMETRIC_KIND_B = 12;
    // The water enters the start cell moving right and leaves the end cell
    // moving right, so the start cell needs its left opening (direction + 2)
    // and the end cell its right one.
    static constexpr int START_DIRECTION = 2;
    static constexpr int END_DIRECTION = 0;
    // Where the numbers hold the board: width, height, 13 kind records of
    // six numbers (an ignored one, the four sides, the glow index), the start
    // and end cells, then per cell its kind, start angle and solution angle.
    static constexpr int KIND_RECORD = 6;
    static constexpr int FIRST_KIND_NUMBER = 2;
    static constexpr int NUMBER_START = 80;
    static constexpr int NUMBER_END = 81;
    static constexpr int FIRST_CELL_NUMBER = 82;
    // A definition holds at most 1000 numbers: (1000 - 82) / 3 cells.
    static constexpr int MAX_CELLS = 306;
    // Any angle is right for a piece with this solution angle.
    static constexpr int ANY_ANGLE = -1;

    struct Kind {
        // The unturned piece's openings toward left, up, right, down.
        std::array<int, DIRECTIONS> sides{};
        // Its glow picture is "Glow_<glow>".
        int glow = 0;
    };

    struct Cell {
        int kind = 0;
        int startAngle = 0;
        int solutionAngle = ANY_ANGLE;
        // The angle the piece shows now, in whole degrees (0 to 360).
        int angle = 0;
        bool reached = false;
        bool turning = false;
    };

    // Reads the board: width and height at least 1 and at most 306 cells,
    // the numbers for every cell present, start and end cells on the board,
    // every kind 0 to 12. A definition that breaks any of these leaves the
    // board as it was and gives false with the fault in `error`.
    bool load(const lang::IntArray& numbers, std::string& error);

    int columnOf(int cell) const { return cell % width; }
    int rowOf(int cell) const { return cell / width; }
    int cellCount() const { return int(cells.size()); }
    bool isEnd(int cell) const { return cell == startCell || cell == endCell; }

    // The piece's side that faces `direction` after its quarter turns.
    static int localSide(int direction, int angle);
    // The piece at that angle is open toward the direction.
    bool opensTo(const Cell& cell, int direction) const;
    // Piece a opens toward the direction and b, its neighbour that way,
    // opens back toward a.
    bool connects(const Cell& a, const Cell& b, int direction) const;
    bool isAtEdge(int cell, int direction) const;
    int neighbour(int cell, int direction) const;

    // Marks every piece the water reaches from the start cell (open to its
    // left) and from the end cell (open to its right); a turning piece
    // blocks the water and is never reached.
    void updateFlow();
    void clearReached();
    // Clears every turning mark; the highest cell that had one, or -1.
    int takeTurningPiece();
    // Every piece stands at its solution angle (a half turn off counts for
    // the straight pipes). An angle of 360 counts as 0.
    bool piecesInPlace() const;

    int width = 0;
    int height = 0;
    int startCell = 0;
    int endCell = 0;
    std::array<Kind, KIND_COUNT> kinds{};
    std::vector<Cell> cells;
};
