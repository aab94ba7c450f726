// TicTacBoard.cpp: the board's scoring and the computer's heuristic.
#include "scenes/tictac/TicTacBoard.h"

#include <cstdlib>

namespace {

// The blocked cells: the top-left and bottom-left corners and the centre.
constexpr int kBlockedCells[] = {0, 12, 20};

// One line of the board: its first cell and the step to the next, with its
// length.
struct Line {
    int row;
    int column;
    int dRow;
    int dColumn;
};

// The 20 lines in their scoring order: the rows top to bottom, the columns
// left to right, the down-right diagonals of three cells or more, the
// down-left ones; each from its upper (or left) end.
constexpr Line kLines[] = {
    {0, 0, 0, 1}, {1, 0, 0, 1}, {2, 0, 0, 1}, {3, 0, 0, 1}, {4, 0, 0, 1},
    {0, 0, 1, 0}, {0, 1, 1, 0}, {0, 2, 1, 0}, {0, 3, 1, 0}, {0, 4, 1, 0},
    {2, 0, 1, 1}, {1, 0, 1, 1}, {0, 0, 1, 1}, {0, 1, 1, 1}, {0, 2, 1, 1},
    {0, 2, 1, -1}, {0, 3, 1, -1}, {0, 4, 1, -1}, {1, 4, 1, -1}, {2, 4, 1, -1},
};

// The four directions of evaluateCell, each as the step to its first side
// (the second side is the opposite): left, up, up-left, up-right.
constexpr int kDirections[4][2] = {{-1, 0}, {0, -1}, {-1, -1}, {1, -1}};

// A cell's bonus for the player's mark in the central 3 x 3 square.
constexpr int kBesideCentreBonus = 5;
constexpr int kDiagonalCentreBonus = 2;
// A mark one empty cell beyond a side.
constexpr int kGapBonus = 2;
// The computer's first value is below anything a cell can be worth.
constexpr int kNoValue = -2000;
// Above this slack the player's value of a cell counts half.
constexpr int kHalvingSlack = 6;
// The tie rule: a tie at column x, row y is taken when the draw is at least
// x * y / 25.
constexpr double kTieScale = 25.0;

} // namespace

void TicTacBoard::clear()
{
    for (int& cell : m_cells)
        cell = EMPTY;
    for (int cell : kBlockedCells)
        m_cells[cell] = BLOCKED;
}

bool TicTacBoard::isFull() const
{
    for (int cell : m_cells) {
        if (cell == EMPTY)
            return false;
    }
    return true;
}

int TicTacBoard::pointsForRun(int n)
{
    switch (n) {
    case 3:
        return 2;
    case 4:
        return 5;
    case 5:
        return 10;
    default:
        return 0;
    }
}

int TicTacBoard::scoreLines(int mark, int cell, util::TVector<int>& scoredCells) const
{
    int points = 0;
    for (const Line& line : kLines) {
        int run = 0;
        int runCells[SIZE];
        bool runHasPlayed = false;
        int longest = 0;
        bool scores = false;
        for (int r = line.row, c = line.column; inside(c, r); r += line.dRow, c += line.dColumn) {
            const int here = r * SIZE + c;
            if (m_cells[here] != mark) {
                run = 0;
                runHasPlayed = false;
                continue;
            }
            runCells[run++] = here;
            runHasPlayed = runHasPlayed || here == cell;
            if (run <= longest)
                continue;
            longest = run;
            if (longest >= 3 && runHasPlayed) {
                scores = true;
                for (int i = 0; i < run; ++i) {
                    if (scoredCells.indexOf(runCells[i]) < 0)
                        scoredCells.addElement(runCells[i]);
                }
            }
        }
        if (scores)
            points += pointsForRun(longest);
    }
    return points;
}

int TicTacBoard::evalPointsForRun(int n)
{
    switch (n) {
    case 2:
        return 2;
    case 3:
        return 4;
    case 4:
        return 12;
    case 5:
        return 24;
    default:
        return 0;
    }
}

void TicTacBoard::scanSide(int x, int y, int dx, int dy, int mark, int& count, bool& open,
                           bool& markBeyondGap) const
{
    count = 0;
    int cx = x + dx;
    int cy = y + dy;
    while (inside(cx, cy) && at(cx, cy) == mark) {
        ++count;
        cx += dx;
        cy += dy;
    }
    open = inside(cx, cy) && at(cx, cy) == EMPTY;
    markBeyondGap = open && inside(cx + dx, cy + dy) && at(cx + dx, cy + dy) == mark;
}

int TicTacBoard::scoreDirection(int score, int count1, int count2, bool open1, bool open2, int mark)
{
    const int n = count1 + count2;
    if (n < 2 && !open1 && !open2) {
        count1 = 0;
        count2 = 0;
    } else if (mark == PLAYER) {
        if (n > 0 && (open1 || open2)) {
            ++score;
            if (open1 && open2)
                ++score;
        }
    } else if (mark == COMPUTER) {
        if (count1 > 0 && count2 == 0 && open1 && !open2)
            --count1;
        else if (count2 > 0 && count1 == 0 && open2 && !open1)
            --count2;
    }
    return score + evalPointsForRun(count1 + count2 + 1);
}

int TicTacBoard::evaluateCell(int x, int y, int mark) const
{
    int score = 0;
    if (mark == PLAYER && std::abs(2 - x) <= 1 && std::abs(2 - y) <= 1)
        score = x == 2 || y == 2 ? kBesideCentreBonus : kDiagonalCentreBonus;
    for (const auto& d : kDirections) {
        int count1 = 0;
        int count2 = 0;
        bool open1 = false;
        bool open2 = false;
        bool beyond1 = false;
        bool beyond2 = false;
        scanSide(x, y, d[0], d[1], mark, count1, open1, beyond1);
        scanSide(x, y, -d[0], -d[1], mark, count2, open2, beyond2);
        if (beyond1)
            score += kGapBonus;
        if (beyond2)
            score += kGapBonus;
        score = scoreDirection(score, count1, count2, open1, open2, mark);
    }
    return score;
}

int TicTacBoard::slack(int level, double adjustment)
{
    const int base = level == 1 ? 5 : level == 2 ? 2 : MAX_SLACK;
    const int slack = int(base + adjustment);
    return slack > MAX_SLACK ? MAX_SLACK : slack;
}

void TicTacBoard::chooseMove(int slack, const std::function<double()>& random, int& row, int& column) const
{
    int best = kNoValue;
    row = -1;
    column = -1;
    for (int x = 0; x < SIZE; ++x) {
        for (int y = 0; y < SIZE; ++y) {
            if (at(x, y) != EMPTY)
                continue;
            int forPlayer = evaluateCell(x, y, PLAYER);
            if (slack > kHalvingSlack)
                forPlayer /= 2;
            const int value = evaluateCell(x, y, COMPUTER) + forPlayer;
            bool take = value > best + slack;
            if (!take && value == best)
                take = x * y / kTieScale <= random();
            if (take) {
                best = value;
                row = y;
                column = x;
            }
        }
    }
}
