// TicTacBoardTest.cpp: the scoring of runs through the cell played, the
// heuristic value of a cell, the slack, and the computer's choice of cell,
// on boards set up cell by cell.
#include "scenes/tictac/TicTacBoard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int O = TicTacBoard::PLAYER;
constexpr int X = TicTacBoard::COMPUTER;

// Cell of row r, column c.
constexpr int cell(int r, int c)
{
    return r * 5 + c;
}

std::vector<int> ints(util::TVector<int>& list)
{
    std::vector<int> out;
    for (int i = 0; i < list.size(); ++i)
        out.push_back(list.elementAt(i));
    return out;
}

TEST(TicTacBoardTest, AMoveScoresTheRunsThroughItsCell)
{
    const struct {
        const char* what;
        std::vector<int> marks; // the mover's other cells
        std::vector<int> others; // the opponent's cells
        int played;
        int points;
        std::vector<int> scored;
    } cases[] = {
        {"a row and a column of three", {cell(1, 1), cell(1, 2), cell(0, 3), cell(2, 3)}, {}, cell(1, 3), 4,
         {cell(1, 1), cell(1, 2), cell(1, 3), cell(0, 3), cell(2, 3)}},
        {"five in a row, played in the middle", {cell(3, 0), cell(3, 1), cell(3, 3), cell(3, 4)}, {}, cell(3, 2), 10,
         {cell(3, 0), cell(3, 1), cell(3, 2), cell(3, 3), cell(3, 4)}},
        {"four in a row, played at its end", {cell(1, 1), cell(1, 2), cell(1, 3)}, {}, cell(1, 4), 5,
         {cell(1, 1), cell(1, 2), cell(1, 3), cell(1, 4)}},
        {"a run of three without the cell played", {cell(3, 0), cell(3, 1), cell(3, 2)}, {}, cell(1, 4), 0, {}},
        {"the opponent's piece breaks the run", {cell(1, 1), cell(1, 3)}, {cell(1, 2)}, cell(1, 4), 0, {}},
        {"blocked corners bound a column", {cell(1, 0), cell(3, 0)}, {}, cell(2, 0), 2,
         {cell(1, 0), cell(2, 0), cell(3, 0)}},
        {"the blocked centre breaks a row", {cell(2, 0), cell(2, 1), cell(2, 3)}, {}, cell(2, 4), 0, {}},
        {"a short down-right diagonal", {cell(2, 0), cell(4, 2)}, {}, cell(3, 1), 2,
         {cell(2, 0), cell(3, 1), cell(4, 2)}},
        {"a short down-left diagonal", {cell(0, 2), cell(1, 1)}, {}, cell(2, 0), 2,
         {cell(0, 2), cell(1, 1), cell(2, 0)}},
        {"a run of two", {cell(1, 1)}, {}, cell(1, 2), 0, {}},
    };
    for (const auto& c : cases) {
        for (int mark : {O, X}) {
            TicTacBoard board;
            for (int m : c.marks)
                board.set(m, mark);
            for (int m : c.others)
                board.set(m, mark == O ? X : O);
            board.set(c.played, mark);
            util::TVector<int> scored(10);
            EXPECT_EQ(c.points, board.scoreLines(mark, c.played, scored)) << c.what;
            EXPECT_EQ(c.scored, ints(scored)) << c.what;
        }
    }
}

TEST(TicTacBoardTest, PointsForRuns)
{
    const int run[] = {0, 1, 2, 3, 4, 5};
    const int points[] = {0, 0, 0, 2, 5, 10};
    const int value[] = {0, 0, 2, 4, 12, 24};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(points[i], TicTacBoard::pointsForRun(run[i])) << run[i];
        EXPECT_EQ(value[i], TicTacBoard::evalPointsForRun(run[i])) << run[i];
    }
}

TEST(TicTacBoardTest, TheValueOfACellOnTheSpecsBoards)
{
    TicTacBoard board;
    // The empty board: the player's centre bonus only.
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            if (board.at(x, y) != TicTacBoard::EMPTY)
                continue;
            const bool beside = (x == 2) != (y == 2) && std::abs(x - 2) + std::abs(y - 2) == 1;
            const bool diagonal = std::abs(x - 2) == 1 && std::abs(y - 2) == 1;
            EXPECT_EQ(beside ? 5 : diagonal ? 2 : 0, board.evaluateCell(x, y, O)) << x << "," << y;
            EXPECT_EQ(0, board.evaluateCell(x, y, X)) << x << "," << y;
        }
    }
    // O at (2, 3) and (3, 3): cell (1, 3) is worth 8 to the player (centre
    // bonus 2, both ends open 1 + 1, a run of three 4) and 0 to the computer.
    board.set(cell(3, 2), O);
    board.set(cell(3, 3), O);
    EXPECT_EQ(8, board.evaluateCell(1, 3, O));
    EXPECT_EQ(0, board.evaluateCell(1, 3, X));
}

TEST(TicTacBoardTest, AMarkBeyondOneEmptyCellAddsTwo)
{
    const struct {
        const char* what;
        int gapCell; // what lies at (2, 1)
        int farCell; // what lies at (1, 1)
        int value;   // of (3, 1) for the player
    } cases[] = {
        {"nothing on the left", TicTacBoard::EMPTY, TicTacBoard::EMPTY, 2},
        {"a mark beyond the gap", TicTacBoard::EMPTY, O, 4},
        {"the opponent in the gap", X, O, 2},
        {"the opponent beyond the gap", TicTacBoard::EMPTY, X, 2},
        {"two marks in a row, no gap", O, O, 2 + 2 + 4},
    };
    for (const auto& c : cases) {
        TicTacBoard board;
        board.set(cell(1, 2), c.gapCell);
        board.set(cell(1, 1), c.farCell);
        EXPECT_EQ(c.value, board.evaluateCell(3, 1, O)) << c.what;
    }
}

TEST(TicTacBoardTest, OneDirectionsShare)
{
    const struct {
        int count1, count2;
        bool open1, open2;
        int mark;
        int result;
    } cases[] = {
        {1, 0, false, false, O, 0},  // a lone closed neighbour counts for nothing
        {1, 1, false, false, O, 4},  // closed, but a run of three
        {1, 0, true, false, O, 1 + 2},
        {1, 1, true, true, O, 2 + 4},
        {0, 0, true, true, O, 0},
        {2, 0, true, false, X, 2},  // the computer's one-sided open run counts one less
        {2, 0, true, true, X, 4},
        {0, 2, false, true, X, 2},
        {2, 0, false, true, X, 4},  // open on the other side: no discount
        {3, 1, false, false, X, 24},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.result, TicTacBoard::scoreDirection(0, c.count1, c.count2, c.open1, c.open2, c.mark))
            << c.count1 << " " << c.count2 << " " << c.open1 << c.open2 << " mark " << c.mark;
}

TEST(TicTacBoardTest, TheSlackFollowsTheLevelAndTheAdjustment)
{
    const struct {
        int level;
        double adjustment;
        int slack;
    } cases[] = {
        {0, 0.0, 7}, {1, 0.0, 5}, {2, 0.0, 2}, {3, 0.0, 7}, {0, 5.0, 7}, {2, 0.5, 2},
        {2, 0.7 + 0.7 + 0.7, 4}, {1, 2.9, 7}, {1, 1.9, 6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.slack, TicTacBoard::slack(c.level, c.adjustment)) << c.level << " " << c.adjustment;
}

// Every cell blocked but (0, 1), (0, 3), (1, 3) and (4, 3), with O at (2, 3)
// and (3, 3): for the computer they are worth 0; for the player 0, 2 (a
// mark beyond the gap), 8 (the cell the rule names) and 5 (a run of three, one end
// open).
TicTacBoard fourCellBoard()
{
    TicTacBoard board;
    for (int i = 0; i < TicTacBoard::CELLS; ++i)
        board.set(i, TicTacBoard::BLOCKED);
    for (int free : {cell(1, 0), cell(3, 0), cell(3, 1), cell(3, 4)})
        board.set(free, TicTacBoard::EMPTY);
    board.set(cell(3, 2), O);
    board.set(cell(3, 3), O);
    return board;
}

TEST(TicTacBoardTest, ABetterCellWinsOnlyWhenItBeatsTheSlack)
{
    const TicTacBoard board = fourCellBoard();
    const int expectedValues[4][2] = {{0, 1}, {0, 3}, {1, 3}, {4, 3}};
    const int values[4] = {0, 2, 8, 5};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(values[i], board.evaluateCell(expectedValues[i][0], expectedValues[i][1], O));
    const struct {
        int slack;
        int row, column;
    } cases[] = {
        {0, 3, 1}, // the best cell
        {2, 3, 1}, {6, 3, 1},
        {7, 1, 0}, // halved: 0, 1, 4, 2; nothing beats the first by more than 7
    };
    for (const auto& c : cases) {
        int row = -2;
        int column = -2;
        board.chooseMove(c.slack, [] { return 0.5; }, row, column);
        EXPECT_EQ(c.row, row) << c.slack;
        EXPECT_EQ(c.column, column) << c.slack;
    }
}

TEST(TicTacBoardTest, TiesOnTheEmptyBoardAreDecidedByTheDraws)
{
    TicTacBoard board;
    int row = -2;
    int column = -2;
    // Draws near 1 take every tie: the last cell worth 0, (4, 4).
    board.chooseMove(7, [] { return 0.99; }, row, column);
    EXPECT_EQ(4, row);
    EXPECT_EQ(4, column);
    // Draws of 0 take only ties in row 0 or column 0: the last is (4, 0).
    board.chooseMove(7, [] { return 0.0; }, row, column);
    EXPECT_EQ(0, row);
    EXPECT_EQ(4, column);
    // A tie at (4, 4) is taken with a draw of 0.64 (16 / 25) but not 0.63,
    // which leaves the last tie taken at (4, 3) (12 / 25).
    board.chooseMove(7, [] { return 0.64; }, row, column);
    EXPECT_EQ(4, row);
    EXPECT_EQ(4, column);
    board.chooseMove(7, [] { return 0.63; }, row, column);
    EXPECT_EQ(3, row);
    EXPECT_EQ(4, column);
    // A full board has no move.
    for (int i = 0; i < TicTacBoard::CELLS; ++i)
        board.set(i, X);
    EXPECT_TRUE(board.isFull());
    board.chooseMove(7, [] { return 0.5; }, row, column);
    EXPECT_EQ(-1, row);
    EXPECT_EQ(-1, column);
}

} // namespace
