// MazeGridTest.cpp: the hedge maze's grid read from a definition's numbers
// (and the faulty ones refused), and the corridor the traveller may move
// along on a 3 x 3 maze: walls, the closed entrance, the exit at the top only
// from the end cell, and the narrowing while the traveller straddles cells.
#include "scenes/maze/MazeGrid.h"

#include "tests/scenes/support/DefinitionNumbers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int N = MazeGrid::WALL_NORTH, S = MazeGrid::WALL_SOUTH, W = MazeGrid::WALL_WEST, E = MazeGrid::WALL_EAST;

// Rows 3, columns 3, start 6 (bottom left, open to the south), end 2 (top
// right, open to the north), the grid at (100, 100). The way runs up the
// left column and along the top row.
const std::vector<int> kMaze = {1, 3, 3, 6, 2, 100, 100,
                                N | W, N | S, S | E,
                                W | E, 15, 15,
                                W | E, 15, 15};

using Numbers = scenetest::DefinitionNumbers;

MazeGrid grid3x3()
{
    MazeGrid g;
    std::string error;
    EXPECT_TRUE(g.load(Numbers(kMaze).array, error)) << error;
    g.setCellSize(40, 40);
    return g;
}

TEST(MazeGridTest, AFaultyGridIsRefusedAndTheOldOneKept)
{
    const struct {
        const char* what;
        int index; // the number changed (-1: the list cut to `value` numbers)
        int value;
    } cases[] = {
        {"too few numbers for the header", -1, 6},
        {"walls missing for the last cell", -1, 15},
        {"no rows", 1, 0},
        {"negative columns", 2, -3},
        {"more cells than a definition holds", 1, 1000},
        {"start outside the grid", 3, 9},
        {"end before the grid", 4, -1},
        {"a wall value above 15", 10, 16},
        {"a negative wall value", 7, -1},
    };
    for (const auto& c : cases) {
        MazeGrid g = grid3x3();
        std::vector<int> values = kMaze;
        if (c.index < 0)
            values.resize(size_t(c.value));
        else
            values[size_t(c.index)] = c.value;
        std::string error;
        EXPECT_FALSE(g.load(Numbers(values).array, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_EQ(3, g.rows) << c.what;
        EXPECT_EQ(9u, g.cells.size()) << c.what;
        EXPECT_EQ(N | W, g.cells[0].walls) << c.what;
    }
}

TEST(MazeGridTest, TravelBoundsFollowTheCorridorsOfA3x3Maze)
{
    // A 20 x 20 traveller; bounds hold its top-left corner.
    const struct {
        const char* what;
        int row, column, x, y;
        MazeGrid::Bounds expected; // minY, maxY, minX, maxX
        int openWallsOfCell0;      // -1 keeps the maze as it is
    } cases[] = {
        {"the start cell: up the column, never down through the entrance", 2, 0, 110, 190, {106, 194, 106, 114}, -1},
        {"the top-left corner: down to the start, along the top row", 0, 0, 110, 110, {106, 194, 106, 194}, -1},
        {"the end cell: out through the top, left to the first wall", 0, 2, 190, 110, {66, 114, 106, 194}, -1},
        {"straddling two columns with a west wall below: no way down", 0, 0, 130, 110, {106, 114, 106, 194}, -1},
        {"straddling two rows beside walls: held in its cell along the row", 0, 1, 150, 125, {106, 114, 146, 154}, -1},
        {"an opening at the top of another cell stays closed", 0, 0, 110, 110, {100, 194, 106, 194}, W},
    };
    for (const auto& c : cases) {
        MazeGrid g = grid3x3();
        if (c.openWallsOfCell0 >= 0)
            g.cells[0].walls = c.openWallsOfCell0;
        const MazeGrid::Bounds b = g.travelBounds(c.row, c.column, c.x, c.y, 20, 20);
        EXPECT_EQ(c.expected.minY, b.minY) << c.what;
        EXPECT_EQ(c.expected.maxY, b.maxY) << c.what;
        EXPECT_EQ(c.expected.minX, b.minX) << c.what;
        EXPECT_EQ(c.expected.maxX, b.maxX) << c.what;
    }
}

TEST(MazeGridTest, TheStraddleTestsStayInsideTheGrid)
{
    // A traveller wider than a cell at the right edge of the grid reaches a
    // column past the last one; the test looks at the last column instead.
    MazeGrid g = grid3x3();
    const MazeGrid::Bounds b = g.travelBounds(1, 2, 190, 150, 60, 20);
    EXPECT_EQ(146, b.minY);
    EXPECT_EQ(154, b.maxY);
}

} // namespace
