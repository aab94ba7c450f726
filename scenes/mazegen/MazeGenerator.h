// MazeGenerator.h: the hedge maze's debug tools over a grid of wall bits: a
// random perfect maze (a spanning tree of the grid, carved depth first from
// the start cell, with an opening in the outer wall at the start or the end)
// and the dump of a grid to the debugger output and to "MazeTEST.txt".
#pragma once

#include <string>
#include <vector>

class RandomDraw;

class MazeGenerator {
public:
    // Wall bits of a cell.
    static constexpr int WALL_NORTH = 8;
    static constexpr int WALL_SOUTH = 4;
    static constexpr int WALL_WEST = 2;
    static constexpr int WALL_EAST = 1;
    static constexpr int ALL_WALLS = 15;
    // The file the dump writes, in the current directory.
    static const char kDumpFile[];

    // A grid: its size, start and end cells, and one wall value per cell
    // (row by row).
    struct Grid {
        int rows = 0;
        int columns = 0;
        int start = 0;
        int end = 0;
        std::vector<int> walls;
        int cellCount() const { return rows * columns; }
    };

    // Replaces the grid's walls by a random perfect maze of the same size:
    // every cell walled in, the start cell's south wall open (else, when the
    // end differs, the end cell's north wall), then a passage carved from
    // the start to an unvisited neighbour drawn from `draw` (directions
    // tried north, south, west, east), backing up the path when none is
    // left. Writes "INDEX : <cell>" for each cell reached. False, leaving
    // the grid as it was, when the size or the cells are out of range.
    static bool generate(Grid& grid, RandomDraw& draw);

    // The dump's lines: the five header lines, then "<walls> ; <cell>" for
    // every cell (walls masked to the four bits).
    static std::string dumpText(const Grid& grid);
    // Writes the asterisk line and the dump to the debugger output and the
    // dump to `path` (created or truncated, written as is). A file that
    // cannot be opened or written is reported on the debugger output and in
    // `error`; the answer is then false and the program goes on.
    static bool writeGridDump(const Grid& grid, const char* path, std::string& error);
};
