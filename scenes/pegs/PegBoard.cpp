// PegBoard.cpp: the jump rules of peg solitaire.
#include "scenes/pegs/PegBoard.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Puzzle 1's cells follow the three header numbers and its count block.
constexpr int kFirstPuzzleStart = 6;
// Later puzzles count from just after the header numbers.
constexpr int kLaterPuzzleBase = 3;

} // namespace

PegBoard::PegBoard(int columns, int rows)
    : m_nColumns(std::max(0, columns)), m_nRows(std::max(0, rows)), m_holes(size_t(m_nColumns) * m_nRows, 0)
{
}

bool PegBoard::inside(int column, int row) const
{
    return column >= 0 && column < m_nColumns && row >= 0 && row < m_nRows;
}

void PegBoard::clear()
{
    std::fill(m_holes.begin(), m_holes.end(), 0);
}

void PegBoard::set(int cell, bool peg)
{
    if (isCell(cell))
        m_holes[cell] = peg ? 1 : 0;
}

int PegBoard::jumpOver(int from, int column, int row) const
{
    if (!isCell(from) || !inside(column, row))
        return -1;
    const int fromColumn = from % m_nColumns;
    const int fromRow = from / m_nColumns;
    const int dc = column - fromColumn;
    const int dr = row - fromRow;
    const bool straight = (dr == 0 && std::abs(dc) == 2) || (dc == 0 && std::abs(dr) == 2);
    if (!straight || has(cellOf(column, row)))
        return -1;
    const int middle = cellOf(fromColumn + dc / 2, fromRow + dr / 2);
    return has(middle) ? middle : -1;
}

bool PegBoard::canJump(int cell) const
{
    if (!isCell(cell))
        return false;
    const int column = cell % m_nColumns;
    const int row = cell / m_nColumns;
    const int w = m_nColumns;
    if (row >= 2 && has(cell - w) && !has(cell - 2 * w))
        return true;
    if (row <= m_nRows - 3 && has(cell + w) && !has(cell + 2 * w))
        return true;
    if (column >= 2 && has(cell - 1) && !has(cell - 2))
        return true;
    return column <= m_nColumns - 3 && has(cell + 1) && !has(cell + 2);
}

bool PegBoard::anyJump() const
{
    for (int cell = 0; cell < int(m_holes.size()); ++cell) {
        if (m_holes[cell] && canJump(cell))
            return true;
    }
    return false;
}

int PegBoard::firstCellIndex(const std::vector<int>& counts, int puzzle)
{
    if (puzzle < 1 || puzzle > int(counts.size()))
        return -1;
    if (puzzle == 1)
        return kFirstPuzzleStart;
    int start = kLaterPuzzleBase;
    for (int p = 2; p <= puzzle; ++p)
        start += counts[p - 1];
    return start;
}
