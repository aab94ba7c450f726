// CircuitRouterTest.cpp: the circuit board's wire routing: the direction a
// pointer asks for, wires dragged to their poles with their straight pieces
// and corners, pulling a wire back, what a wire may not enter (its stop
// told), the fixed wire, and pointers and poles at the grid's borders.
#include "scenes/circuit/CircuitRouter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using R = CircuitRouter;

constexpr int cell(int row, int column)
{
    return row * R::SIZE + column;
}

// What the board hears, in order.
struct Recorder : R::Listener {
    void tileAdded(int wire, const R::Tile& tile) override
    {
        log.push_back("add " + std::to_string(wire) + " " + std::to_string(tile.cell));
    }
    void tileRemoved(int wire) override { log.push_back("remove " + std::to_string(wire)); }
    void dragEnded(int wire) override { log.push_back("end " + std::to_string(wire)); }
    void wireCompleted(int wire, bool all) override
    {
        log.push_back("complete " + std::to_string(wire) + (all ? " all" : ""));
    }
    void boardCompleted() override { log.push_back("board"); }
    void wireStopped(int wire) override { log.push_back("stopped " + std::to_string(wire)); }
    std::vector<std::string> log;
};

// Wire 0 from (1, 1) along row 1 and down column 5 to (5, 5); wire 1 fixed
// down column 13; wire 2 from (6, 1) down to row 9 and along it to (9, 5);
// wire 3 along row 21 from column 1 to 5.
const std::array<int, 8> kPoles = {cell(1, 1),  cell(5, 5),  cell(5, 13),  cell(17, 13),
                                   cell(6, 1),  cell(9, 5),  cell(21, 1), cell(21, 5)};

class CircuitRouterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(router.setPoles(kPoles));
        router.setListener(&recorder);
        router.reset();
        recorder.log.clear();
    }
    // The pointer on the centre of each cell in turn.
    void dragThrough(const std::vector<int>& cells)
    {
        for (int c : cells)
            router.dragTo(R::cellToPixelX(c), R::cellToPixelY(c));
    }
    std::vector<int> corners(int wire)
    {
        std::vector<int> out;
        for (const R::Tile& t : router.wire(wire).tiles)
            out.push_back(t.corner);
        return out;
    }

    R router;
    Recorder recorder;
};

TEST_F(CircuitRouterTest, ThePointerGivesADirectionByItsOffsetFromTheHead)
{
    const int h = cell(13, 13);
    const struct {
        int offset;
        int expected;
    } straight[] = {
        {1, R::RIGHT},  {-25, R::RIGHT}, {-24, R::RIGHT}, {-51, R::RIGHT}, {29, R::RIGHT}, {30, R::RIGHT},
        {57, R::RIGHT}, {-1, R::LEFT},   {-29, R::LEFT},  {-30, R::LEFT},  {-57, R::LEFT}, {25, R::LEFT},
        {24, R::LEFT},  {51, R::LEFT},   {-27, R::UP},    {-55, R::UP},    {-82, R::UP},   {-83, R::UP},
        {-53, R::UP},   {-80, R::UP},    {-79, R::UP},    {27, R::DOWN},   {53, R::DOWN},  {80, R::DOWN},
        {79, R::DOWN},  {55, R::DOWN},   {82, R::DOWN},   {83, R::DOWN},
    };
    for (const auto& s : straight) {
        const int t = h + s.offset;
        EXPECT_EQ(s.expected, router.directionTo(h, t, R::cellToPixelX(t), R::cellToPixelY(t))) << s.offset;
    }
    // Diagonals: across when the pointer lies farther from the target's
    // centre sideways than up or down; nothing exactly on the diagonal.
    const struct {
        int offset, dx, dy, expected;
    } diagonal[] = {
        {-26, 5, 0, R::RIGHT}, {-26, 0, 5, R::UP},   {-52, -3, 7, R::UP},   {-28, 6, 1, R::LEFT},
        {-84, 1, 6, R::UP},    {28, 6, 1, R::RIGHT}, {56, 2, 9, R::DOWN},   {26, 6, 1, R::LEFT},
        {78, 1, 6, R::DOWN},   {-26, 4, 4, R::NONE}, {26, -4, 4, R::NONE},  {2, 6, 1, R::NONE},
        {-54, 6, 1, R::NONE},
    };
    for (const auto& d : diagonal) {
        const int t = h + d.offset;
        EXPECT_EQ(d.expected, router.directionTo(h, t, R::cellToPixelX(t) + d.dx, R::cellToPixelY(t) + d.dy))
            << d.offset << " (" << d.dx << ", " << d.dy << ")";
    }
}

TEST_F(CircuitRouterTest, WiresAreLaidToTheirPolesWithCornersOnlyAfterFourTiles)
{
    EXPECT_TRUE(router.isWireComplete(R::FIXED_WIRE)) << "the fixed wire joins its poles";
    ASSERT_EQ(12u, router.wire(R::FIXED_WIRE).tiles.size());
    for (int row = 6; row <= 17; ++row)
        EXPECT_TRUE(router.isCellTaken(cell(row, 13))) << row;

    const int N = R::NONE;
    const struct {
        int wire;
        std::vector<int> path;
        std::vector<int> corners;
        bool all;
    } wires[] = {
        {0,
         {cell(1, 2), cell(1, 3), cell(1, 4), cell(1, 5), cell(2, 5), cell(3, 5), cell(4, 5), cell(5, 5)},
         {N, N, N, N, R::TOP_RIGHT, N, N, N},
         false},
        // The turn after three tiles is drawn straight; the piece after it
        // takes the corner.
        {2,
         {cell(7, 1), cell(8, 1), cell(9, 1), cell(9, 2), cell(9, 3), cell(9, 4), cell(9, 5)},
         {N, N, N, N, R::BOTTOM_LEFT, N, N},
         false},
        {3, {cell(21, 2), cell(21, 3), cell(21, 4), cell(21, 5)}, {N, N, N, N}, true},
    };
    for (const auto& w : wires) {
        recorder.log.clear();
        router.beginAtPole(w.wire, 1);
        dragThrough(w.path);
        EXPECT_EQ(w.corners, corners(w.wire)) << "wire " << w.wire;
        EXPECT_TRUE(router.isWireComplete(w.wire)) << "wire " << w.wire;
        EXPECT_EQ(R::NONE, router.getCurrentWire()) << "the drag ends at the far pole";
        const std::vector<std::string> tail(recorder.log.end() - 3, recorder.log.end());
        const std::string id = std::to_string(w.wire);
        EXPECT_EQ((std::vector<std::string>{"add " + id + " " + std::to_string(w.path.back()), "end " + id,
                                            "complete " + id + (w.all ? " all" : "")}),
                  tail);
    }
    EXPECT_TRUE(router.allWiresComplete());
}

TEST_F(CircuitRouterTest, AWireIsPulledBackAndKeepsOffWhatIsTaken)
{
    // Wire 3 from pole B leftward.
    router.beginAtPole(3, 2);
    dragThrough({cell(21, 4), cell(21, 3)});
    ASSERT_EQ(2u, router.wire(3).tiles.size());
    EXPECT_FALSE(router.canEnter(cell(21, 5))) << "its start pole, with more than one tile";
    dragThrough({cell(21, 4)});
    EXPECT_EQ(1u, router.wire(3).tiles.size()) << "the opposite way takes the last tile back";
    EXPECT_EQ(cell(21, 4), router.wire(3).headCell);
    EXPECT_TRUE(router.canEnter(cell(21, 5))) << "its start pole, with one tile";
    dragThrough({cell(21, 5)});
    EXPECT_TRUE(router.wire(3).tiles.empty()) << "back into the start pole: nothing left";
    EXPECT_EQ(R::NONE, router.getCurrentWire());

    const struct {
        const char* what;
        int wire;
        int pole;
        std::vector<int> path;
        size_t tiles;
    } blocked[] = {
        {"the fixed wire's tiles", 2, 2,
         {cell(9, 6), cell(9, 7), cell(9, 8), cell(9, 9), cell(9, 10), cell(9, 11), cell(9, 12), cell(9, 13)}, 7},
        {"a cell off the channels", 2, 1, {cell(6, 2)}, 0},
        {"a channel the picture blocks", 2, 2, {cell(9, 6), cell(9, 7), cell(9, 8), cell(9, 9), cell(8, 9)}, 4},
    };
    for (const auto& b : blocked) {
        SetUp();
        router.beginAtPole(b.wire, b.pole);
        dragThrough(b.path);
        EXPECT_EQ(b.tiles, router.wire(b.wire).tiles.size()) << b.what;
    }
    // Wire 0 laid along row 1 and into column 5: wire 2 coming up column 5
    // stops before wire 0's pole.
    SetUp();
    router.beginAtPole(0, 1);
    dragThrough({cell(1, 2), cell(1, 3), cell(1, 4), cell(1, 5), cell(2, 5)});
    router.endDrag();
    router.beginAtPole(2, 2);
    dragThrough({cell(8, 5), cell(7, 5), cell(6, 5), cell(5, 5)});
    EXPECT_EQ(3u, router.wire(2).tiles.size()) << "another wire's pole";
    EXPECT_EQ("stopped 2", recorder.log.back()) << "which the board says";
    EXPECT_TRUE(router.isCellTaken(cell(2, 5)));
}

TEST_F(CircuitRouterTest, PointersAndPolesAtTheBordersStayOnTheGrid)
{
    EXPECT_EQ(26, R::columnAt(5000));
    EXPECT_EQ(0, R::columnAt(-40));
    EXPECT_EQ(27, R::rowAt(5000));
    EXPECT_EQ(0, R::rowAt(1));
    // A pointer below the grid is ignored.
    router.beginAtPole(3, 1);
    router.dragTo(R::cellToPixelX(cell(21, 1)), 27 * R::CELL_PIXELS + 10);
    EXPECT_TRUE(router.wire(3).tiles.empty());
    // Poles on the border: a step right from the last column must not
    // wrap to the first column of the next row.
    R border;
    std::array<int, 8> poles = kPoles;
    poles[0] = cell(0, 26);
    poles[1] = cell(1, 0);
    ASSERT_TRUE(border.setPoles(poles));
    border.reset();
    border.beginAtPole(0, 1);
    border.dragTo(R::cellToPixelX(cell(1, 0)), R::cellToPixelY(cell(1, 0)));
    EXPECT_TRUE(border.wire(0).tiles.empty());
    EXPECT_EQ(R::NONE, R::neighbour(cell(26, 26), R::DOWN));
    EXPECT_EQ(R::NONE, R::neighbour(cell(0, 3), R::UP));
    poles[5] = R::CELLS;
    EXPECT_FALSE(border.setPoles(poles)) << "a pole off the grid";
}

} // namespace
