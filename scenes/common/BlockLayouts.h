// BlockLayouts.h: the layout tables of the sliding-block rooms, read from a
// room definition's numbers: entry 1 is the number of puzzles P, then come P
// headers of a fixed size (header entry 3 being the puzzle's block count),
// then the blocks of puzzle 0, of puzzle 1 and so on, each of a fixed size.
// What the table holds is checked before any of it is used.
#pragma once

#include <string>
#include <vector>

namespace lang {
class IntArray;
}

class BlockLayouts {
public:
    // The numbers of one puzzle: its header and its blocks.
    struct Layout {
        std::vector<int> header;
        std::vector<std::vector<int>> blocks;
    };

    // The header entry that holds the block count.
    static constexpr int BLOCK_COUNT_ENTRY = 3;
    // The largest number of columns or rows a board may have: far more
    // cells than fit the screen, and cell indexes stay far from overflow.
    static constexpr int MAX_SIDE = 100;

    // Reads the table from `numbers` (entry 0 is the room's door count): the
    // layouts of the puzzles from 0 on up to the first whose header or
    // blocks lie past the end of the list or whose block count is negative
    // (the blocks of the puzzles after it cannot be found), so that there
    // may be fewer layouts than P. Each problem is written to the debug
    // output with `owner` in front; a negative P counts as 0.
    static std::vector<Layout> read(const lang::IntArray& numbers, int headerSize, int blockSize, const char* owner);

    // The side count (columns or rows) is in 1 .. MAX_SIDE.
    static bool isSide(int n) { return n >= 1 && n <= MAX_SIDE; }

    // Writes "<owner>: <text>" to the debug output.
    static void report(const char* owner, const std::string& text);
};
