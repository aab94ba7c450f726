// MazeGrid.h: the hedge maze's grid without its sprites: the cells with their
// walls and fog, where the grid lies on the screen, the check of a grid read
// from a room definition, and the corridor the traveller may move along from
// its cell (the travel bounds of its top-left corner).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lang {
class IntArray;
}

class MazeGrid {
public:
    // Wall bits of a cell; the value also names the cell's hedge picture.
    static constexpr int WALL_NORTH = 8;
    static constexpr int WALL_SOUTH = 4;
    static constexpr int WALL_WEST = 2;
    static constexpr int WALL_EAST = 1;
    static constexpr int ALL_WALLS = 15;

    // Directions 0 north, 1 south, 2 west, 3 east: each direction, its
    // opposite, its column and row steps and the wall on that side.
    static constexpr int DIRECTIONS = 4;
    static const int kDirection[DIRECTIONS];
    static const int kOpposite[DIRECTIONS];
    static const int kColumnStep[DIRECTIONS];
    static const int kRowStep[DIRECTIONS];
    static const int kWall[DIRECTIONS];

    // Where the room definition's numbers hold the grid: 1 rows, 2 columns,
    // 3 start cell, 4 end cell, 5 and 6 the grid's left and top on the
    // screen, then one wall value per cell, row by row.
    static constexpr int NUMBER_ROWS = 1;
    static constexpr int NUMBER_COLUMNS = 2;
    static constexpr int NUMBER_START = 3;
    static constexpr int NUMBER_END = 4;
    static constexpr int NUMBER_LEFT = 5;
    static constexpr int NUMBER_TOP = 6;
    static constexpr int FIRST_WALL_NUMBER = 7;
    // A definition holds at most 1000 numbers, so no grid has more cells.
    static constexpr int MAX_CELLS = 1000;
    // The traveller keeps this many pixels from a wall it faces.
    static constexpr int WALL_MARGIN = 6;

    struct Cell {
        int walls = 0;
        // Used only by the generator.
        uint8_t visited = 0;
        // 1 while the cell lies under fog.
        uint8_t fogged = 0;
    };

    // The travel bounds: the least and greatest y and x the traveller's
    // top-left corner may take.
    struct Bounds {
        int minY = 0;
        int maxY = 0;
        int minX = 0;
        int maxX = 0;
    };

    // Takes the grid from a definition's numbers: rows and columns at least
    // 1, start and end cells inside the grid, a wall value 0 to 15 for every
    // cell. A definition that breaks any of these leaves the grid as it was
    // and gives false with the fault in `error`.
    bool load(const lang::IntArray& numbers, std::string& error);
    // The cell's size in pixels (each at least 1).
    void setCellSize(int width, int height);

    int cellRow(int index) const { return index / columns; }
    int cellColumn(int index) const { return index % columns; }
    int cellIndex(int row, int column) const { return row * columns + column; }
    int cellCount() const { return rows * columns; }
    Cell& cell(int row, int column) { return cells[size_t(cellIndex(row, column))]; }
    const Cell& cell(int row, int column) const { return cells[size_t(cellIndex(row, column))]; }
    bool hasWall(int row, int column, int wall) const { return (cell(row, column).walls & wall) != 0; }

    // The screen position of a column's left edge and of a row's top edge.
    int cellX(int column) const { return left + cellWidth * column; }
    int cellY(int row) const { return top + cellHeight * row; }
    int gridWidth() const { return columns * cellWidth; }
    int gridHeight() const { return rows * cellHeight; }
    int right() const { return left + gridWidth(); }
    int bottom() const { return top + gridHeight(); }
    // The row and column that the point falls in, held to the grid.
    int rowAt(int y) const;
    int columnAt(int x) const;

    // The travel bounds of a traveller of w x h whose top-left corner is at
    // (x, y), standing in cell (row, column): as far along the row and the
    // column as no wall stands in the way (only the end cell and the one
    // before it open to the top), narrowed again while the traveller
    // straddles two cells and a wall stands beside it.
    Bounds travelBounds(int row, int column, int x, int y, int w, int h) const;

    int rows = 0;
    int columns = 0;
    int startCell = 0;
    int endCell = 0;
    int left = 0;
    int top = 0;
    int cellWidth = 1;
    int cellHeight = 1;
    std::vector<Cell> cells;
};
