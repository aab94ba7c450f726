// TicTacBoard.h: the rules of the scored noughts and crosses on a 5 x 5
// board with three blocked cells: the marks in the cells, the points a move
// scores for the runs of three to five through the cell played, and the
// computer's choice of cell by a heuristic value of each empty cell, with a
// slack that lets it keep an earlier, worse cell.
#pragma once

#include "core/util/TVector.h"

#include <functional>

class TicTacBoard {
public:
    static constexpr int SIZE = 5;
    static constexpr int CELLS = SIZE * SIZE;
    // Cell contents.
    static constexpr int EMPTY = 0;
    static constexpr int PLAYER = 1;
    static constexpr int COMPUTER = 2;
    static constexpr int BLOCKED = -1;
    // The slack of the weakest opponent.
    static constexpr int MAX_SLACK = 7;

    // An empty board with its three cells blocked.
    TicTacBoard() { clear(); }

    // Every cell empty, then cells 0 (row 0, column 0), 12 (the centre) and
    // 20 (row 4, column 0) blocked.
    void clear();
    // The cell's mark (cell = row x 5 + column); BLOCKED outside the board.
    int at(int cell) const { return cell >= 0 && cell < CELLS ? m_cells[cell] : BLOCKED; }
    // At column x, row y.
    int at(int x, int y) const { return inside(x, y) ? m_cells[y * SIZE + x] : BLOCKED; }
    void set(int cell, int mark)
    {
        if (cell >= 0 && cell < CELLS)
            m_cells[cell] = mark;
    }
    static bool inside(int x, int y) { return x >= 0 && x < SIZE && y >= 0 && y < SIZE; }
    // No cell is empty.
    bool isFull() const;

    // The points of the move of `mark` just played in `cell`: over the 20
    // lines of three cells or more (rows, columns, both diagonals), each
    // line whose longest run of the mark is three or more and holds the
    // played cell adds pointsForRun of that run; the cells of such runs are
    // added to `scoredCells`, each once.
    int scoreLines(int mark, int cell, util::TVector<int>& scoredCells) const;
    // 3 -> 2, 4 -> 5, 5 -> 10, shorter -> 0.
    static int pointsForRun(int n);

    // The heuristic value (0 or more) of the empty cell at column x, row y
    // for the mark.
    int evaluateCell(int x, int y, int mark) const;
    // One direction's part of evaluateCell: the runs of the mark on each side
    // (counts) and whether each side ends at an empty cell (open).
    static int scoreDirection(int score, int count1, int count2, bool open1, bool open2, int mark);
    // The value of a run the cell would make: 2 -> 2, 3 -> 4, 4 -> 12,
    // 5 -> 24, shorter -> 0.
    static int evalPointsForRun(int n);

    // The slack of the computer: 5 at level 1, 2 at level 2, else 7, plus the
    // adjustment, truncated toward zero and at most 7.
    static int slack(int level, double adjustment);
    // The computer's cell: every empty cell, column by column and row by row
    // within a column, valued for the computer plus for the player (halved
    // above slack 6); a cell replaces the one chosen when it is worth more
    // than that one plus the slack, or as much and `random()` (uniform in
    // [0, 1)) is at least x * y / 25. (-1, -1) when no cell is empty.
    void chooseMove(int slack, const std::function<double()>& random, int& row, int& column) const;

private:
    // Scans from (x, y) in the direction (dx, dy): the count of the mark's
    // cells next to it, whether the scan ended at an empty cell, and whether
    // the cell beyond that empty one holds the mark.
    void scanSide(int x, int y, int dx, int dy, int mark, int& count, bool& open, bool& markBeyondGap) const;

    int m_cells[CELLS];
};
