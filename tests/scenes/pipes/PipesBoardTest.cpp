// PipesBoardTest.cpp: the pipes puzzle's rules: the sides a turned piece
// shows, the water's flow from both ends (closed ends, turning pieces),
// the solution test with its half-turn symmetric pipes, and the check of the
// numbers a board is read from.
#include "scenes/pipes/PipesBoard.h"

#include "tests/scenes/support/DefinitionNumbers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int ELBOW = 2;    // open left and up, unturned
constexpr int STRAIGHT = 12; // open left and right, unturned
constexpr int BLANK = 0;

// The numbers of a board of width x height with the cells' kinds, start
// angles and solutions; start cell 0, end cell the last.
std::vector<int> boardNumbers(int width, int height, const std::vector<int>& kinds, const std::vector<int>& angles,
                              const std::vector<int>& solutions)
{
    std::vector<int> v = {width, height};
    for (int k = 0; k < PipesBoard::KIND_COUNT; ++k) {
        const bool elbow = k >= 1 && k <= 10;
        const bool straight = k >= 11;
        // ignored, left, up, right, down, glow index
        v.insert(v.end(), {0, elbow || straight ? 1 : 0, elbow ? 1 : 0, straight ? 1 : 0, 0, k % 4});
    }
    v.push_back(0);
    v.push_back(width * height - 1);
    v.insert(v.end(), kinds.begin(), kinds.end());
    v.insert(v.end(), angles.begin(), angles.end());
    v.insert(v.end(), solutions.begin(), solutions.end());
    return v;
}

using Numbers = scenetest::DefinitionNumbers;

PipesBoard load(const std::vector<int>& values)
{
    PipesBoard b;
    std::string error;
    EXPECT_TRUE(b.load(Numbers(values).array, error)) << error;
    return b;
}

std::vector<bool> reached(const PipesBoard& b)
{
    std::vector<bool> out;
    for (const PipesBoard::Cell& c : b.cells)
        out.push_back(c.reached);
    return out;
}

TEST(PipesBoardTest, ATurnedPieceShowsItsSidesClockwise)
{
    const struct {
        int direction, angle, side;
    } cases[] = {
        {0, 0, 0}, {0, 90, 3}, {1, 90, 0}, {2, 270, 3}, {3, 180, 1}, {0, 360, 0}, {1, 360, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.side, PipesBoard::localSide(c.direction, c.angle)) << c.direction << " at " << c.angle;
}

TEST(PipesBoardTest, WaterRunsFromBothEndsThroughOpenPieces)
{
    // A row of three straight pipes: water enters the first from the left
    // and the last from the right.
    const struct {
        const char* what;
        std::vector<int> angles;
        std::vector<bool> turning;
        std::vector<bool> expected;
    } cases[] = {
        {"all open", {0, 0, 0}, {false, false, false}, {true, true, true}},
        {"a half turn keeps a straight pipe open", {180, 0, 180}, {false, false, false}, {true, true, true}},
        {"the middle across: both ends still fill", {0, 90, 0}, {false, false, false}, {true, false, true}},
        {"the start closed to the left: the end fills back to it", {90, 0, 0}, {false, false, false},
         {false, true, true}},
        {"the end closed to the right", {0, 0, 270}, {false, false, false}, {true, true, false}},
        {"a turning middle blocks the water", {0, 0, 0}, {false, true, false}, {true, false, true}},
        {"a turning start starts no flow", {0, 0, 0}, {true, false, false}, {false, true, true}},
    };
    for (const auto& c : cases) {
        PipesBoard b = load(boardNumbers(3, 1, {STRAIGHT, STRAIGHT, STRAIGHT}, c.angles, {0, 0, 0}));
        for (size_t i = 0; i < 3; ++i)
            b.cells[i].turning = c.turning[i];
        b.updateFlow();
        EXPECT_EQ(c.expected, reached(b)) << c.what;
    }
}

TEST(PipesBoardTest, WaterTurnsCornersAndStopsAtTheEdges)
{
    // 2 x 2: elbows at the start (0) and below it (2), a blank piece (1), a
    // straight pipe at the end (3). An elbow opens left and up at 0, up and
    // right at 90, right and down at 180, down and left at 270.
    const struct {
        const char* what;
        std::vector<int> angles;
        std::vector<bool> expected;
    } cases[] = {
        {"down the corner and along the bottom", {270, 0, 90, 0}, {true, false, true, true}},
        {"the end closed: the water stops in the corner", {270, 0, 0, 90}, {true, false, true, false}},
        {"a start open to the top edge goes nowhere", {0, 0, 90, 90}, {true, false, false, false}},
        {"the corner open to the left edge only", {270, 0, 270, 90}, {true, false, false, false}},
    };
    for (const auto& c : cases) {
        PipesBoard b = load(boardNumbers(2, 2, {ELBOW, BLANK, ELBOW, STRAIGHT}, c.angles, {-1, -1, -1, -1}));
        b.updateFlow();
        EXPECT_EQ(c.expected, reached(b)) << c.what;
    }
}

TEST(PipesBoardTest, ThePiecesAreInPlaceAtTheirSolutionAngles)
{
    const struct {
        const char* what;
        int kind, angle, solution;
        bool inPlace;
    } cases[] = {
        {"the solution angle", ELBOW, 90, 90, true},
        {"another angle", ELBOW, 180, 90, false},
        {"any angle", ELBOW, 270, -1, true},
        {"360 counts as 0", ELBOW, 360, 0, true},
        {"a straight pipe half a turn off (180 for 0)", STRAIGHT, 180, 0, true},
        {"a straight pipe half a turn off (0 for 180)", 11, 0, 180, true},
        {"a straight pipe half a turn off (90 for 270)", STRAIGHT, 90, 270, true},
        {"a straight pipe half a turn off (270 for 90)", 11, 270, 90, true},
        {"a straight pipe a quarter turn off", STRAIGHT, 90, 0, false},
        {"an elbow half a turn off", ELBOW, 180, 0, false},
    };
    for (const auto& c : cases) {
        PipesBoard b = load(boardNumbers(2, 1, {BLANK, c.kind}, {0, c.angle}, {-1, c.solution}));
        EXPECT_EQ(c.inPlace, b.piecesInPlace()) << c.what;
    }
}

TEST(PipesBoardTest, AFaultyBoardIsRefusedAndTheOldOneKept)
{
    const std::vector<int> good = boardNumbers(3, 1, {STRAIGHT, STRAIGHT, STRAIGHT}, {0, 0, 0}, {0, 0, 0});
    const struct {
        const char* what;
        int index; // the number changed (-1: the list cut to `value` numbers)
        int value;
    } cases[] = {
        {"no room for the kinds", -1, 40},
        {"the solution of the last cell missing", -1, 90},
        {"no columns", 0, 0},
        {"more cells than a definition holds", 1, 200},
        {"the start off the board", PipesBoard::NUMBER_START, 3},
        {"the end off the board", PipesBoard::NUMBER_END, -1},
        {"a kind above 12", PipesBoard::FIRST_CELL_NUMBER + 1, 13},
        {"a negative kind", PipesBoard::FIRST_CELL_NUMBER, -1},
    };
    for (const auto& c : cases) {
        PipesBoard b = load(good);
        std::vector<int> values = good;
        if (c.index < 0)
            values.resize(size_t(c.value));
        else
            values[size_t(c.index)] = c.value;
        std::string error;
        EXPECT_FALSE(b.load(Numbers(values).array, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_EQ(3, b.cellCount()) << c.what;
        EXPECT_EQ(STRAIGHT, b.cells[1].kind) << c.what;
    }
}

} // namespace
