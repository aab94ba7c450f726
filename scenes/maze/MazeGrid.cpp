// MazeGrid.cpp: the hedge maze's grid, its check and its travel bounds.
#include "scenes/maze/MazeGrid.h"

#include "core/lang/IntArray.h"

#include <algorithm>

const int MazeGrid::kDirection[DIRECTIONS] = {0, 1, 2, 3};
const int MazeGrid::kOpposite[DIRECTIONS] = {1, 0, 3, 2};
const int MazeGrid::kColumnStep[DIRECTIONS] = {0, 0, -1, 1};
const int MazeGrid::kRowStep[DIRECTIONS] = {-1, 1, 0, 0};
const int MazeGrid::kWall[DIRECTIONS] = {WALL_NORTH, WALL_SOUTH, WALL_WEST, WALL_EAST};

bool MazeGrid::load(const lang::IntArray& numbers, std::string& error)
{
    if (numbers.length() < FIRST_WALL_NUMBER) {
        error = "the grid needs " + std::to_string(FIRST_WALL_NUMBER) + " numbers, the definition has " +
                std::to_string(numbers.length());
        return false;
    }
    const int r = numbers[NUMBER_ROWS];
    const int c = numbers[NUMBER_COLUMNS];
    if (r < 1 || c < 1 || r > MAX_CELLS || c > MAX_CELLS || r * c > MAX_CELLS) {
        error = "a grid of " + std::to_string(r) + " x " + std::to_string(c) + " cells";
        return false;
    }
    const int count = r * c;
    const int start = numbers[NUMBER_START];
    const int end = numbers[NUMBER_END];
    if (start < 0 || start >= count || end < 0 || end >= count) {
        error = "start cell " + std::to_string(start) + " or end cell " + std::to_string(end) + " outside the grid";
        return false;
    }
    if (numbers.length() < FIRST_WALL_NUMBER + count) {
        error = "walls for " + std::to_string(numbers.length() - FIRST_WALL_NUMBER) + " of " +
                std::to_string(count) + " cells";
        return false;
    }
    std::vector<Cell> read(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int walls = numbers[FIRST_WALL_NUMBER + i];
        if (walls < 0 || walls > ALL_WALLS) {
            error = "wall value " + std::to_string(walls) + " of cell " + std::to_string(i);
            return false;
        }
        read[size_t(i)].walls = walls;
    }
    rows = r;
    columns = c;
    startCell = start;
    endCell = end;
    left = numbers[NUMBER_LEFT];
    top = numbers[NUMBER_TOP];
    cells = std::move(read);
    return true;
}

void MazeGrid::setCellSize(int width, int height)
{
    cellWidth = std::max(1, width);
    cellHeight = std::max(1, height);
}

int MazeGrid::rowAt(int y) const
{
    return std::clamp((y - top) / cellHeight, 0, rows - 1);
}

int MazeGrid::columnAt(int x) const
{
    return std::clamp((x - left) / cellWidth, 0, columns - 1);
}

MazeGrid::Bounds MazeGrid::travelBounds(int row, int column, int x, int y, int w, int h) const
{
    Bounds b;
    const int cx = cellX(column);
    const int cy = cellY(row);
    // The column under the traveller's right edge (held inside the grid) and
    // the row under its bottom edge (taken only while it lies in the grid).
    const int rightColumn = std::clamp((x + w - left) / cellWidth, 0, columns - 1);
    const int bottomRow = (y + h - top) / cellHeight;
    const bool straddlesColumns = rightColumn != column;
    const bool straddlesRows = bottomRow != row && bottomRow >= 0 && bottomRow < rows;

    // Up the column as far as the first north wall.
    b.minY = cy + WALL_MARGIN;
    for (int r = row; r >= 0 && !hasWall(r, column, WALL_NORTH); --r)
        b.minY -= cellHeight;
    if (straddlesColumns && row - 1 >= 0 &&
        (hasWall(row - 1, column, WALL_WEST) || hasWall(row - 1, rightColumn, WALL_EAST)))
        b.minY = cy + WALL_MARGIN;

    // Down the column as far as the first south wall; the corridor ends at
    // the start cell, so the traveller never leaves by the entrance.
    b.maxY = cy + cellHeight - WALL_MARGIN;
    for (int r = row; r < rows && !hasWall(r, column, WALL_SOUTH) && cellIndex(r, column) != startCell; ++r)
        b.maxY += cellHeight;
    if (straddlesColumns && row + 1 < rows &&
        (hasWall(row + 1, column, WALL_WEST) || hasWall(row + 1, rightColumn, WALL_EAST)))
        b.maxY = cy + cellHeight - WALL_MARGIN;

    // Along the row to the first west wall, then to the first east wall.
    b.minX = cx + WALL_MARGIN;
    for (int c = column; c >= 0 && !hasWall(row, c, WALL_WEST); --c)
        b.minX -= cellWidth;
    if (straddlesRows && column - 1 >= 0 &&
        (hasWall(bottomRow, column, WALL_SOUTH) || hasWall(bottomRow, column - 1, WALL_NORTH)))
        b.minX = cx + WALL_MARGIN;

    b.maxX = cx + cellWidth - WALL_MARGIN;
    for (int c = column; c < columns && !hasWall(row, c, WALL_EAST); ++c)
        b.maxX += cellWidth;
    if (straddlesRows && column + 1 < columns &&
        (hasWall(bottomRow, column, WALL_SOUTH) || hasWall(bottomRow, column + 1, WALL_NORTH)))
        b.maxX = cx + cellWidth - WALL_MARGIN;

    // The bounds hold the top-left corner.
    b.maxY -= h;
    b.maxX -= w;

    // Only from the end cell and the cell before it may the traveller leave
    // the grid upward; every other way stays inside it.
    const int here = cellIndex(row, column);
    if (b.minY < top && here != endCell && here != endCell - 1)
        b.minY = top;
    b.maxY = std::min(b.maxY, bottom());
    b.minX = std::max(b.minX, left);
    b.maxX = std::min(b.maxX, right());
    return b;
}
