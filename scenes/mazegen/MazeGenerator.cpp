// MazeGenerator.cpp: the random perfect maze and the grid dump.
#include "scenes/mazegen/MazeGenerator.h"

#include "core/io/FileOutputStream.h"
#include "core/lang/Exception.h"
#include "core/util/TVector.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/common/RandomDraw.h"

#include <string>

const char MazeGenerator::kDumpFile[] = "MazeTEST.txt";

namespace {

// Directions 0 north, 1 south, 2 west, 3 east: row and column steps, the
// wall on that side and the opposite direction.
constexpr int kRowStep[4] = {-1, 1, 0, 0};
constexpr int kColumnStep[4] = {0, 0, -1, 1};
constexpr int kWall[4] = {MazeGenerator::WALL_NORTH, MazeGenerator::WALL_SOUTH, MazeGenerator::WALL_WEST,
                          MazeGenerator::WALL_EAST};
constexpr int kOpposite[4] = {1, 0, 3, 2};
// A grid has at most this many cells: a room definition holds 1000 numbers.
constexpr int kMaxCells = 1000;
// The candidate list and the path start with room for this many entries.
constexpr int kListCapacity = 10;

} // namespace

bool MazeGenerator::generate(Grid& grid, RandomDraw& draw)
{
    const int count = grid.cellCount();
    if (grid.rows < 1 || grid.columns < 1 || count > kMaxCells || grid.start < 0 || grid.start >= count ||
        grid.end < 0 || grid.end >= count) {
        OutputDebugStringA("MazeGenerator: the grid's size or its start or end is out of range\n");
        return false;
    }
    std::vector<int> walls(size_t(count), ALL_WALLS);
    std::vector<bool> visited(size_t(count), false);
    walls[size_t(grid.start)] &= ~WALL_SOUTH;
    if (grid.end != grid.start)
        walls[size_t(grid.end)] &= ~WALL_NORTH;
    util::TVector<int> candidates(kListCapacity);
    // The path back to the start; its top is its first element.
    util::TVector<int> path(kListCapacity);
    int visitedCount = 1;
    int current = grid.start;
    visited[size_t(current)] = true;
    path.addElement(current);
    while (visitedCount < count) {
        candidates.removeAllElements();
        const int row = current / grid.columns;
        const int column = current % grid.columns;
        for (int d = 0; d < 4; ++d) {
            const int r = row + kRowStep[d];
            const int c = column + kColumnStep[d];
            if (r >= 0 && r < grid.rows && c >= 0 && c < grid.columns && !visited[size_t(r * grid.columns + c)])
                candidates.addElement(d);
        }
        if (candidates.size() > 0) {
            const int d = candidates.elementAt(draw.nextInt(candidates.size() - 1));
            const int next = (row + kRowStep[d]) * grid.columns + column + kColumnStep[d];
            walls[size_t(current)] &= ~kWall[d];
            walls[size_t(next)] &= ~kWall[kOpposite[d]];
            visited[size_t(next)] = true;
            path.insertElementAtFront(current);
            current = next;
            OutputDebugStringA(("INDEX : " + std::to_string(next) + "\n").c_str());
            ++visitedCount;
        } else {
            // Every cell is reachable, so the path is never empty here.
            current = path.elementAt(0);
            path.removeElementAt(0);
        }
    }
    grid.walls = walls;
    return true;
}

std::string MazeGenerator::dumpText(const Grid& grid)
{
    std::string text = "GRID ROWS: " + std::to_string(grid.rows) + "\n" + "GRID COLS: " +
                       std::to_string(grid.columns) + "\n" + "GRID START: " + std::to_string(grid.start) + "\n" +
                       "GRID END: " + std::to_string(grid.end) + "\n" +
                       "TOTAL GRID CELLS: " + std::to_string(grid.cellCount()) + "\n";
    for (int i = 0; i < grid.cellCount() && i < int(grid.walls.size()); ++i)
        text += std::to_string(grid.walls[size_t(i)] & ALL_WALLS) + " ; " + std::to_string(i) + "\n";
    return text;
}

bool MazeGenerator::writeGridDump(const Grid& grid, const char* path, std::string& error)
{
    const std::string text = dumpText(grid);
    OutputDebugStringA("****************************************************\n");
    OutputDebugStringA(text.c_str());
    error.clear();
    io::FileOutputStream* out = nullptr;
    try {
        out = new io::FileOutputStream(path);
        out->write(reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
        out->close();
        out->release();
    } catch (lang::Exception* e) {
        if (out)
            out->release();
        // A debug key must not end the program: the failure is reported.
        error = e->toString().c_str();
        e->release();
        OutputDebugStringA(("MazeGenerator: the grid dump was not written: " + error + "\n").c_str());
        return false;
    }
    return true;
}
