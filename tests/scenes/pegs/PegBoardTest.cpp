// PegBoardTest.cpp: the jump rules of peg solitaire on boards laid out cell
// by cell: legal and illegal moves, the edges of canJump, and where each
// puzzle's pegs lie in the number list.
#include "scenes/pegs/PegBoard.h"

#include <gtest/gtest.h>

namespace {

// A board from rows of text: 'o' a peg, '.' an empty hole.
PegBoard boardOf(const std::vector<std::string>& rows)
{
    PegBoard board(int(rows[0].size()), int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < int(rows[r].size()); ++c)
            board.set(board.cellOf(c, r), rows[r][c] == 'o');
    }
    return board;
}

struct JumpCase {
    const char* what;
    int fromColumn, fromRow, toColumn, toRow;
    int middle; // -1: no jump
};

TEST(PegBoardTest, OnlyAJumpOfTwoHolesStraightOverAPegIntoAnEmptyHoleIsLegal)
{
    const PegBoard board = boardOf({
        "oooo.",
        ".o.o.",
        "..o..",
        "ooo..",
        "..o..",
    });
    const JumpCase cases[] = {
        {"right from (2, 0) over (3, 0)", 2, 0, 4, 0, 3},
        {"down from (1, 0) over (1, 1)", 1, 0, 1, 2, 6},
        {"up from (2, 3) over (2, 2)", 2, 3, 2, 1, 12},
        {"left onto a peg", 3, 0, 1, 0, -1},
        {"right onto a peg", 0, 3, 2, 3, -1},
        {"up onto a peg", 2, 4, 2, 2, -1},
        {"diagonal", 1, 1, 3, 3, -1},
        {"one hole", 3, 1, 4, 1, -1},
        {"three holes", 0, 0, 3, 0, -1},
        {"over an empty hole", 3, 1, 3, 3, -1},
        {"up over an empty hole", 0, 3, 0, 1, -1},
        {"off the board", 3, 1, 5, 1, -1},
    };
    for (const JumpCase& c : cases)
        EXPECT_EQ(c.middle, board.jumpOver(board.cellOf(c.fromColumn, c.fromRow), c.toColumn, c.toRow)) << c.what;
}

struct EdgeCase {
    const char* what;
    std::vector<std::string> rows;
    int column, row;
    bool canJump;
};

TEST(PegBoardTest, CanJumpLooksOnlyWhereTwoHolesLieAhead)
{
    const EdgeCase cases[] = {
        {"second-to-last row over the last row", {"...", "...", "o..", "o.."}, 0, 2, false},
        {"third-to-last row down", {"...", "o..", "o..", "..."}, 0, 1, true},
        {"second-to-last column over the last column", {"...oo"}, 3, 0, false},
        {"third-to-last column right", {"..oo."}, 2, 0, true},
        {"second column over the first", {"oo..."}, 1, 0, false},
        {"third column left", {".oo.."}, 2, 0, true},
        {"second row up over the first", {"o..", "o..", "...", "..."}, 0, 1, false},
        {"third row up", {"...", "o..", "o..", "..."}, 0, 2, true},
        {"the hole beyond is taken", {"ooo.."}, 0, 0, false},
        {"a lone peg", {".....", "..o..", "....."}, 2, 1, false},
    };
    for (const EdgeCase& c : cases) {
        const PegBoard board = boardOf(c.rows);
        EXPECT_EQ(c.canJump, board.canJump(board.cellOf(c.column, c.row))) << c.what;
    }
    EXPECT_FALSE(boardOf({"o.o.o", ".....", "o.o.o"}).anyJump());
    EXPECT_TRUE(boardOf({"o.o.o", "..o..", "o...o"}).anyJump());
}

TEST(PegBoardTest, LaterPuzzlesCountTheirCellsFromThreePlusTheCountsOfPuzzlesTwoOn)
{
    // The game's own counts: puzzle 2's cells follow puzzle 1's only when
    // the second and third counts are the first plus three.
    const std::vector<int> counts = {3, 6, 6};
    EXPECT_EQ(6, PegBoard::firstCellIndex(counts, 1));
    EXPECT_EQ(9, PegBoard::firstCellIndex(counts, 2));
    EXPECT_EQ(15, PegBoard::firstCellIndex(counts, 3));
    EXPECT_EQ(3 + 4 + 5, PegBoard::firstCellIndex({3, 4, 5}, 3));
    EXPECT_EQ(-1, PegBoard::firstCellIndex(counts, 0));
    EXPECT_EQ(-1, PegBoard::firstCellIndex(counts, 4));
}

} // namespace
