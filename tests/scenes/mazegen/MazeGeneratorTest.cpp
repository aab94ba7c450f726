// MazeGeneratorTest.cpp: the random perfect maze (a spanning tree with its
// two openings, the same for the same seed) and the grid dump, byte for
// byte, with a file that cannot be written.
#include "scenes/mazegen/MazeGenerator.h"

#include "core/util/Random.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/common/RandomDraw.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>

namespace {

namespace fs = std::filesystem;

MazeGenerator::Grid makeGrid(int rows, int columns, int start, int end)
{
    MazeGenerator::Grid grid;
    grid.rows = rows;
    grid.columns = columns;
    grid.start = start;
    grid.end = end;
    grid.walls.assign(size_t(rows * columns), 0);
    return grid;
}

MazeGenerator::Grid generated(int rows, int columns, int start, int end, int seed)
{
    MazeGenerator::Grid grid = makeGrid(rows, columns, start, end);
    util::Random random;
    random.seed(seed);
    RandomDraw draw(random);
    EXPECT_TRUE(MazeGenerator::generate(grid, draw));
    return grid;
}

// The cells reached from cell 0 through open walls, counted independently
// of the generator, and the open passages between neighbours.
void walk(const MazeGenerator::Grid& g, int& reached, int& passages)
{
    std::vector<int> parent(size_t(g.cellCount()));
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&parent](int i) {
        while (parent[size_t(i)] != i)
            i = parent[size_t(i)];
        return i;
    };
    passages = 0;
    for (int i = 0; i < g.cellCount(); ++i) {
        const int r = i / g.columns, c = i % g.columns;
        // East and south neighbours: both sides of a wall must agree.
        if (c + 1 < g.columns) {
            const bool open = !(g.walls[size_t(i)] & 1);
            EXPECT_EQ(open, !(g.walls[size_t(i + 1)] & 2)) << "cell " << i;
            if (open) {
                ++passages;
                parent[size_t(root(i))] = root(i + 1);
            }
        }
        if (r + 1 < g.rows) {
            const bool open = !(g.walls[size_t(i)] & 4);
            EXPECT_EQ(open, !(g.walls[size_t(i + g.columns)] & 8)) << "cell " << i;
            if (open) {
                ++passages;
                parent[size_t(root(i))] = root(i + g.columns);
            }
        }
    }
    reached = 0;
    for (int i = 0; i < g.cellCount(); ++i)
        reached += root(i) == root(0);
}

TEST(MazeGeneratorTest, EveryGridBecomesASpanningTreeWithItsOpenings)
{
    struct Case {
        int rows, columns, start, end;
        int seed;
    };
    const Case cases[] = {{1, 1, 0, 0, 1}, {2, 2, 2, 1, 7}, {5, 7, 32, 3, 42}, {8, 8, 60, 4, 99}, {1, 9, 0, 8, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rows << "x" << c.columns << " seed " << c.seed);
        const MazeGenerator::Grid g = generated(c.rows, c.columns, c.start, c.end, c.seed);
        int reached = 0, passages = 0;
        walk(g, reached, passages);
        EXPECT_EQ(g.cellCount(), reached) << "every cell reachable";
        EXPECT_EQ(g.cellCount() - 1, passages) << "no loops";
        EXPECT_EQ(0, g.walls[size_t(c.start)] & MazeGenerator::WALL_SOUTH);
        if (c.end != c.start) {
            EXPECT_EQ(0, g.walls[size_t(c.end)] & MazeGenerator::WALL_NORTH);
        }
        for (int i = 0; i < g.cellCount(); ++i) {
            // The outer wall stands except at the two openings.
            const int r = i / c.columns, col = i % c.columns;
            if (r == 0 && i != c.end) {
                EXPECT_TRUE(g.walls[size_t(i)] & MazeGenerator::WALL_NORTH) << i;
            }
            if (r == c.rows - 1 && i != c.start) {
                EXPECT_TRUE(g.walls[size_t(i)] & MazeGenerator::WALL_SOUTH) << i;
            }
            if (col == 0) {
                EXPECT_TRUE(g.walls[size_t(i)] & MazeGenerator::WALL_WEST) << i;
            }
            if (col == c.columns - 1) {
                EXPECT_TRUE(g.walls[size_t(i)] & MazeGenerator::WALL_EAST) << i;
            }
        }
    }
    // One cell: all walls but the start's south.
    EXPECT_EQ(std::vector<int>{11}, generated(1, 1, 0, 0, 3).walls);
}

TEST(MazeGeneratorTest, TheSameSeedMakesTheSameMazeAndBadGridsAreRefused)
{
    EXPECT_EQ(generated(6, 6, 33, 2, 1234).walls, generated(6, 6, 33, 2, 1234).walls);
    EXPECT_NE(generated(6, 6, 33, 2, 1234).walls, generated(6, 6, 33, 2, 4321).walls);
    platform::DebugCapture debug;
    util::Random random;
    RandomDraw draw(random);
    for (MazeGenerator::Grid bad : {makeGrid(0, 3, 0, 0), makeGrid(3, 3, 9, 0), makeGrid(3, 3, 0, -1)}) {
        const std::vector<int> before = bad.walls;
        EXPECT_FALSE(MazeGenerator::generate(bad, draw));
        EXPECT_EQ(before, bad.walls);
    }
    EXPECT_TRUE(debug.contains("out of range"));
}

class MazeDumpTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
};

TEST_F(MazeDumpTest, ATwoByTwoGridIsWrittenByteForByte)
{
    MazeGenerator::Grid grid = makeGrid(2, 2, 2, 1);
    grid.walls = {13, 25, 3, 6};
    platform::DebugCapture debug;
    std::string error;
    const std::string file = dir.file(MazeGenerator::kDumpFile);
    ASSERT_TRUE(MazeGenerator::writeGridDump(grid, file.c_str(), error)) << error;
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string expected = "GRID ROWS: 2\nGRID COLS: 2\nGRID START: 2\nGRID END: 1\nTOTAL GRID CELLS: 4\n"
                                 "13 ; 0\n9 ; 1\n3 ; 2\n6 ; 3\n";
    EXPECT_EQ(expected, text.str());
    EXPECT_TRUE(debug.contains(std::string(52, '*') + "\n" + expected));
}

TEST_F(MazeDumpTest, AFileThatCannotBeWrittenIsReportedAndTheProgramGoesOn)
{
    const MazeGenerator::Grid grid = makeGrid(1, 1, 0, 0);
    platform::DebugCapture debug;
    std::string error;
    // A directory stands where the file should be: it cannot be opened.
    const std::string file = dir.file(MazeGenerator::kDumpFile);
    fs::create_directories(file);
    EXPECT_FALSE(MazeGenerator::writeGridDump(grid, file.c_str(), error));
    EXPECT_NE(std::string::npos, error.find("Error Opening")) << error;
    EXPECT_TRUE(debug.contains("the grid dump was not written"));
    EXPECT_TRUE(debug.contains("GRID ROWS: 1\n")) << "the debugger still gets the dump";
}

} // namespace
