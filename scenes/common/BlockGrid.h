// BlockGrid.h: the board geometry of the sliding-block puzzles: a grid of
// cells of one size placed at a board corner, the cell of a row and column
// (row x columns + column), and the row, column and cell under a point.
#pragma once

class BlockGrid {
public:
    int columns = 0;
    int rows = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    int left = 0;
    int top = 0;

    int width() const { return cellWidth * columns; }
    int height() const { return cellHeight * rows; }

    int cellIndex(int row, int column) const { return row * columns + column; }
    // Both 0 on a board without columns.
    int rowOfCell(int cell) const { return columns > 0 ? cell / columns : 0; }
    int columnOfCell(int cell) const { return columns > 0 ? cell % columns : 0; }
    // Integer division truncating toward zero, so a point just left of or
    // above the board still falls in column or row 0; 0 with no cell size.
    int columnOfX(int x) const { return cellWidth > 0 ? (x - left) / cellWidth : 0; }
    int rowOfY(int y) const { return cellHeight > 0 ? (y - top) / cellHeight : 0; }
    // The left and top edges of a cell's column and row.
    int xOfColumn(int column) const { return column * cellWidth + left; }
    int yOfRow(int row) const { return row * cellHeight + top; }
    int xOfCell(int cell) const { return xOfColumn(columnOfCell(cell)); }
    int yOfCell(int cell) const { return yOfRow(rowOfCell(cell)); }
    // The cell under a block whose left and top edges are (x, y).
    int cellAt(int x, int y) const { return cellIndex(rowOfY(y), columnOfX(x)); }
    // A dragged block may stand with its left and top at (x, y): the point
    // lies on the board's rectangle, edges included, or up to `beyondRight`
    // past its right edge.
    bool takes(int x, int y, int beyondRight) const
    {
        return x >= left && x <= left + width() + beyondRight && y >= top && y <= top + height();
    }
    bool containsCell(int row, int column) const { return row >= 0 && row < rows && column >= 0 && column < columns; }

    // A released block settles on the cell edge `start` or the next one
    // `size` further: on the next only when it lies more than half a cell
    // past `start` (exactly half way stays).
    static int snap(int position, int start, int size) { return position > start + size / 2 ? start + size : start; }
};
