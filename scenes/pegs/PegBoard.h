// PegBoard.h: the rules of peg solitaire on a full rectangle of holes: which
// holes hold a peg, whether a move is a jump (two holes straight across a
// peg into an empty hole), whether a peg can still jump, and where each
// puzzle's pegs lie in the close-up's number list.
#pragma once

#include <vector>

class PegBoard {
public:
    // An empty board of columns x rows holes (each at least 0).
    PegBoard(int columns, int rows);

    int columns() const { return m_nColumns; }
    int rows() const { return m_nRows; }
    bool inside(int column, int row) const;
    // row x columns + column.
    int cellOf(int column, int row) const { return row * m_nColumns + column; }
    bool isCell(int cell) const { return cell >= 0 && cell < m_nColumns * m_nRows; }

    // Every hole empty.
    void clear();
    // A peg put into (or taken out of) the hole; nothing outside the board.
    void set(int cell, bool peg);
    bool has(int cell) const { return isCell(cell) && m_holes[cell]; }

    // The hole jumped over when the peg of `from` moves to (column, row): the
    // target is a hole of the board two holes away in the same row or column,
    // it is empty, and the hole between holds a peg. -1 for any other move.
    int jumpOver(int from, int column, int row) const;
    // The peg of the cell has a jump: up only from row 2 on, down only up to
    // rows - 3, left from column 2 on, right up to columns - 3; the neighbour
    // holds a peg and the hole beyond is empty.
    bool canJump(int cell) const;
    // Some peg on the board can jump.
    bool anyJump() const;

    // The index in the number list of puzzle p's first cell, given the peg
    // counts of puzzles 1 .. c in order: 6 for puzzle 1; for a later one 3 plus
    // the counts of puzzles 2 .. p (the layout the game's data follow). -1
    // for a puzzle outside 1 .. c.
    static int firstCellIndex(const std::vector<int>& counts, int puzzle);

private:
    int m_nColumns;
    int m_nRows;
    std::vector<char> m_holes;
};
