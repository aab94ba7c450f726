// TempleDoorPuzzleTest.cpp: the temple door's sliding-block lock in the
// fixture game: the drag limits of its two boards, each rule shown by a
// board built for it; the axis each drag takes, a pull that leaves a stone
// where it stood; the key's way out, the goal and the script's calls; the
// reset; the blocks that are checked.
#include "scenes/templedoor/TempleDoorPuzzle.h"
#include "sprites/buttons/ButtonSprite.h"

#include "tests/scenes/support/PointerEvents.h"
#include "tests/scenes/support/SceneFixture.h"

#include <string>
#include <vector>

namespace scenetest {
namespace {

constexpr int kTempleDoorPuzzleRoom = 61;
constexpr int kTempleDoorCell = TempleDoorPuzzle::CELL_SIZE;
// Both boards are placed with their top-left corner here.
constexpr int kLeft = 100;
constexpr int kTop = 50;

// The left and top edges of column c and row r.
constexpr int X(int c)
{
    return kLeft + kTempleDoorCell * c;
}
constexpr int Y(int r)
{
    return kTop + kTempleDoorCell * r;
}

struct Block {
    int kind;
    int cell;
};

// One board, with the exit above cell 2.
struct Board {
    int key;
    int target;
    std::vector<Block> blocks;
};

// The first board is 5 x 6 cells, every later one 6 x 6.
std::string layoutNumbers(const std::vector<Board>& boards)
{
    std::string out = "0 " + std::to_string(boards.size()) + "\n";
    for (size_t i = 0; i < boards.size(); ++i)
        out += std::to_string(i == 0 ? 5 : 6) + " 6 " + std::to_string(boards[i].target) + " " +
               std::to_string(boards[i].blocks.size()) + " " + std::to_string(boards[i].key) + " " +
               std::to_string(kLeft) + " " + std::to_string(kTop) + "\n";
    for (const Board& board : boards) {
        for (const Block& block : board.blocks)
            out += std::to_string(block.kind) + " " + std::to_string(block.cell) + "\n";
    }
    return out;
}

class TempleDoorFixture : public SceneFixture {
protected:
    void start(const std::vector<Board>& boards)
    {
        testsupport::GameData& data = world.data();
        data.picture("bg", 400, 400, 0xFF303030u);
        data.picture("button", 40, 40, 0xFF808080u);
        data.picture("bling", 60, 60, 0xFFFFFF00u);
        const struct {
            const char* name;
            int kind;
        } prototypes[] = {{"Block_1", 1}, {"Block_2_V", 2}, {"Block_2_H", 3}, {"Block_4", 4}, {"Key", 1}};
        std::string sprites = "TempleDoorPuzzle1BG Sprite bg 0 0\n"
                              "TempleDoorPuzzle2BG Sprite bg 0 0\n"
                              "CloseButton ButtonSprite button 740 540 1 1 0 0 0\n"
                              "ResetButton ButtonSprite button 690 540 1 1 0 0 0\n"
                              "KeyBling Sprite bling 0 0\n";
        for (const auto& p : prototypes) {
            const std::string picture = std::string("pic_") + p.name;
            framesPicture(data, picture, 2, TempleDoorPuzzle::widthOf(p.kind) * kTempleDoorCell,
                          TempleDoorPuzzle::heightOf(p.kind) * kTempleDoorCell);
            sprites += std::string(p.name) + " ButtonSprite " + picture + " -400 0 2 1 -1 0 0\n";
        }
        SceneSetup scene;
        scene.index = kTempleDoorPuzzleRoom;
        scene.className = "TempleDoorPuzzle";
        scene.manifest = "<data>\n" + layoutNumbers(boards) + "<sprites>\n" + sprites + "<end>\n";
        scene.callbacks = {"exitToTempleRoom", "winGameScene", "cannotMove", "stoneMoved"};
        ASSERT_TRUE(startScene(scene));
        puzzle = static_cast<TempleDoorPuzzle*>(room(kTempleDoorPuzzleRoom));
        ASSERT_TRUE(puzzle->isInstanceOf("TempleDoorPuzzle"));
        enter(kTempleDoorPuzzleRoom);
    }
    sprite::SpriteBase* block(int i) { return puzzle->getBlocks()[size_t(i)].sprite; }
    // A press 5 pixels inside block i's top-left corner.
    void pressBlock(int i) { press(puzzle, block(i)->left() + 5, block(i)->top() + 5); }

    TempleDoorPuzzle* puzzle = nullptr;
};

// A board for one rule: the dragged block's limits.
struct LimitCase {
    const char* what;
    int puzzle;
    Board board;
    int dragged;
    int lowestX;
    int highestX;
    int lowestY;
    int highestY;
};

const Board kSpare = {0, 2, {{1, 7}}};

const LimitCase kLimitCases[] = {
    {"a wall above stops one cell short; the bottom row is out of reach", 0, {1, 2, {{1, 11}, {1, 5}}}, 0, X(0),
     X(4), Y(1), Y(4)},
    {"the column of cell 27 reaches the bottom row", 0, {1, 2, {{1, 12}, {1, 5}}}, 0, X(0), X(4), Y(0), Y(5)},
    {"a block in the way, a wide block's second column", 0, {2, 2, {{3, 15}, {1, 18}, {1, 9}}}, 0, X(0), X(1),
     Y(1), Y(4)},
    {"cell 27 stays while a block stands above it", 0, {1, 2, {{1, 27}, {1, 22}}}, 0, X(2), X(2), Y(5), Y(5)},
    {"cell 27 is left by the column alone", 0, {1, 2, {{1, 27}, {1, 5}}}, 0, X(2), X(2), Y(0), Y(5)},
    {"the second board's square in row 1 stays in its row, one column short", 1, {1, 2, {{4, 8}, {1, 24}}}, 0,
     X(1), X(3), Y(1), Y(3)},
    {"the column of cell 33 reaches the bottom row", 1, {1, 2, {{1, 21}, {1, 6}}}, 0, X(1), X(4), Y(1), Y(5)},
    {"a single at cell 22 is held from the right", 1, {1, 2, {{1, 22}, {1, 6}}}, 0, X(1), X(4), Y(1), Y(4)},
    {"the key below a walled target may leave at the top", 1, {0, 1, {{1, 7}}}, 0, X(0), X(5), Y(-1), Y(4)},
};

class TempleDoorLimitsTest : public TempleDoorFixture, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(TempleDoorLimitsTest, LimitsOfTheDraggedBlock)
{
    const LimitCase& c = GetParam();
    start({c.puzzle == 0 ? c.board : kSpare, c.puzzle == 1 ? c.board : kSpare});
    puzzle->setupPuzzle(c.puzzle);
    ASSERT_EQ(c.board.blocks.size(), puzzle->getBlocks().size());
    pressBlock(c.dragged);
    ASSERT_EQ(c.dragged, puzzle->getDraggedBlock());
    EXPECT_EQ(c.lowestX, puzzle->getLowestX()) << c.what;
    EXPECT_EQ(c.highestX, puzzle->getHighestX()) << c.what;
    EXPECT_EQ(c.lowestY, puzzle->getLowestY()) << c.what;
    EXPECT_EQ(c.highestY, puzzle->getHighestY()) << c.what;
}

// Named by their place in the table: the default name prints the case's bytes.
INSTANTIATE_TEST_SUITE_P(Boards, TempleDoorLimitsTest, ::testing::ValuesIn(kLimitCases),
                         [](const ::testing::TestParamInfo<LimitCase>& info) {
                             return "Rule" + std::to_string(info.index);
                         });

class TempleDoorPuzzleTest : public TempleDoorFixture {};

TEST_F(TempleDoorPuzzleTest, EachDragTakesTheAxisOfTheFirstMovement)
{
    // A single in the middle of the first board, free but for a single on
    // its left.
    start({{1, 2, {{1, 12}, {1, 5}, {1, 11}}}});
    puzzle->setupPuzzle(0);
    const struct {
        const char* what;
        int dx;
        int dy;
        int axis;
        int left;
        int top;
    } cases[] = {
        {"mostly across", 20, 5, TempleDoorPuzzle::HORIZONTAL, X(2) + 20, Y(2)},
        {"mostly down", 5, 20, TempleDoorPuzzle::VERTICAL, X(2), Y(2) + 20},
        {"exactly diagonal: undecided, moved down", 20, 20, TempleDoorPuzzle::UNDECIDED, X(2), Y(2) + 20},
    };
    for (const auto& c : cases) {
        puzzle->setupPuzzle(0);
        const int x = X(2) + 30;
        const int y = Y(2) + 30;
        press(puzzle, x, y);
        EXPECT_TRUE(move(puzzle, x + c.dx, y + c.dy)) << c.what;
        EXPECT_EQ(c.axis, puzzle->getBlocks()[0].dragOrientation) << c.what;
        EXPECT_EQ(c.left, block(0)->left()) << c.what;
        EXPECT_EQ(c.top, block(0)->top()) << c.what;
        release(puzzle, x + c.dx, y + c.dy);
        EXPECT_EQ(TempleDoorPuzzle::UNDECIDED, puzzle->getBlocks()[0].dragOrientation) << c.what;
    }
    // Against the wall on the move that decides: back where it stood, so
    // the block may choose again; the room keeps the axis it chose.
    puzzle->setupPuzzle(0);
    press(puzzle, X(2) + 30, Y(2) + 30);
    move(puzzle, X(2) + 30 + 200, Y(2) + 31);
    EXPECT_EQ(X(2), block(0)->left()) << "refused: past the board";
    move(puzzle, X(2) + 30 + 40, Y(2) + 31);
    EXPECT_EQ(X(2) + 40, block(0)->left());
    release(puzzle, X(2) + 70, Y(2) + 31);
    EXPECT_EQ(13, puzzle->getBlocks()[0].cell) << "40 pixels over: the next cell";
    // Pushed left against its neighbour on the move that decides: it stays
    // where it stood, so it may choose again; the room keeps the axis.
    puzzle->setupPuzzle(0);
    press(puzzle, X(2) + 30, Y(2) + 30);
    move(puzzle, X(2) + 20, Y(2) + 31);
    EXPECT_EQ(X(2), block(0)->left());
    EXPECT_EQ(TempleDoorPuzzle::UNDECIDED, puzzle->getBlocks()[0].dragOrientation);
    EXPECT_EQ(TempleDoorPuzzle::HORIZONTAL, puzzle->getDragOrientation());
    move(puzzle, X(2) + 31, Y(2) + 50);
    EXPECT_EQ(TempleDoorPuzzle::VERTICAL, puzzle->getBlocks()[0].dragOrientation);
    EXPECT_EQ(Y(2) + 20, block(0)->top());
    release(puzzle, X(2) + 31, Y(2) + 50);
    // Pulled against its neighbour and let go there, it stayed: the script
    // hears that it cannot go that way; a click tells nothing; a stone that
    // moves is told.
    puzzle->setupPuzzle(0);
    clearCalls();
    drag(puzzle, {X(2) + 30, Y(2) + 30}, {{X(2) + 10, Y(2) + 31}});
    EXPECT_EQ(X(2), block(0)->left());
    EXPECT_EQ((std::vector<std::string>{"cannotMove:TempleDoorPuzzle(0)"}), calls("cannotMove"));
    press(puzzle, X(2) + 30, Y(2) + 30);
    release(puzzle, X(2) + 30, Y(2) + 30);
    EXPECT_EQ(1u, calls("cannotMove").size());
    EXPECT_TRUE(calls("stoneMoved").empty());
    drag(puzzle, {X(2) + 30, Y(2) + 30}, {{X(2) + 70, Y(2) + 31}});
    EXPECT_EQ((std::vector<std::string>{"stoneMoved:TempleDoorPuzzle(0)"}), calls("stoneMoved"));
}

TEST_F(TempleDoorPuzzleTest, TheKeyLeavesAtTheTopAndTheScriptIsTold)
{
    const struct {
        const char* what;
        int target;
        int dy;
        int cell;
        bool solved;
    } cases[] = {
        {"up onto the target", 2, -50, 2, true},
        {"let go in row 1: on to row 0", 2, 10, 2, true},
        {"a target one past the key's cell", 3, -50, 2, true},
        {"a target before it does not count", 1, -50, 2, false},
    };
    // The boards from 2 on are 6 x 6 with the second board's walls: the
    // key at cell 8 below the exit, a single at cell 6.
    std::vector<Board> boards = {kSpare, kSpare};
    for (const auto& c : cases)
        boards.push_back({0, c.target, {{1, 8}, {1, 6}}});
    start(boards);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.what);
        puzzle->setupPuzzle(int(i) + 2);
        clearCalls();
        canvas->clearRecords();
        drag(puzzle, {X(2) + 30, Y(1) + 30}, {{X(2) + 30, Y(1) + 30 + c.dy}});
        EXPECT_EQ(c.cell, puzzle->getBlocks()[0].cell);
        EXPECT_EQ(Y(0), block(0)->top());
        EXPECT_EQ(c.solved, puzzle->isSolved());
        EXPECT_EQ((std::vector<int>{TempleDoorPuzzle::SOUND_PICK_UP, TempleDoorPuzzle::SOUND_DROP}),
                  soundsPlayed());
        sprite::SpriteBase* bling = puzzle->getSprite("KeyBling");
        EXPECT_EQ(c.solved, bling->isVisible());
        if (c.solved) {
            EXPECT_EQ((std::vector<std::string>{"winGameScene:TempleDoorPuzzle(" + std::to_string(i + 2) + ")"}),
                      calls("winGame"));
            EXPECT_EQ(X(2), bling->left());
            EXPECT_EQ(Y(0), bling->top());
            // Solved: no block takes a press until the next board.
            pressBlock(1);
            EXPECT_EQ(-1, puzzle->getDraggedBlock());
        }
    }
}

TEST_F(TempleDoorPuzzleTest, TheNextBoardBroughtByTheScriptKeepsTheQuestionMark)
{
    // The first board's key sits below its exit (5 columns: cell 7 is row
    // 1, column 2); the script brings the second board when it is solved.
    start({kSpare, {0, 2, {{1, 8}, {1, 6}}}});
    runLua(puzzle, "rooms.TempleDoorPuzzle.winGameScene = function(self, n) "
                   "if n == 0 then canvas:setupTempleDoorPuzzle(1) end end");
    puzzle->setupPuzzle(0);
    ASSERT_TRUE(stepUntil([this] { return canvas->isGameInsQuestionMarkShowing(); }, 100));
    drag(puzzle, {X(2) + 30, Y(1) + 30}, {{X(2) + 30, Y(1) - 20}});
    ASSERT_EQ(1, puzzle->getCurrentPuzzle()) << "the second board follows";
    EXPECT_FALSE(puzzle->isSolved());
    EXPECT_TRUE(canvas->isGameInsQuestionMarkShowing()) << "its rules stay one click away";
    // The last board solved leaves no board to play: the question mark goes.
    drag(puzzle, {X(2) + 30, Y(1) + 30}, {{X(2) + 30, Y(1) - 20}});
    EXPECT_TRUE(puzzle->isSolved());
    EXPECT_FALSE(canvas->isGameInsQuestionMarkShowing());
}

TEST_F(TempleDoorPuzzleTest, CloseResetAndTheCanvasBuildTheBoards)
{
    start({{1, 2, {{1, 12}, {1, 5}}}, {0, 2, {{1, 8}, {4, 19}, {1, 24}}}});
    EXPECT_TRUE(shownOnceDefined<TempleDoorPuzzle>({0, 0}));
    // The canvas's script method builds a board through its hook.
    ASSERT_NE(nullptr, LanternfieldCanvas::sceneHooks.setupTempleDoorPuzzle);
    LanternfieldCanvas::sceneHooks.setupTempleDoorPuzzle(puzzle, 1);
    EXPECT_EQ(1, puzzle->getCurrentPuzzle());
    EXPECT_EQ(3u, puzzle->getBlocks().size());
    EXPECT_TRUE(puzzle->getSprite("TempleDoorPuzzle2BG")->isVisible());
    EXPECT_FALSE(puzzle->getSprite("TempleDoorPuzzle1BG")->isVisible());
    EXPECT_EQ(14u, puzzle->getWalledCells().size());
    drag(puzzle, {X(2) + 30, Y(1) + 30}, {{X(2) + 90, Y(1) + 31}});
    ASSERT_EQ(9, puzzle->getBlocks()[0].cell);
    world.click(700, 550);
    EXPECT_EQ(8, puzzle->getBlocks()[0].cell) << "the reset builds the board again at once";
    clearCalls();
    world.click(750, 550);
    EXPECT_EQ((std::vector<std::string>{"exitToTempleRoom:TempleDoorPuzzle(1)"}), calls("exitTo"));
}

TEST_F(TempleDoorPuzzleTest, BlocksAreCheckedBeforeTheyAreBuilt)
{
    start({{0, 2, {{1, 7}, {0, 12}, {5, 12}, {1, 30}, {1, -1}, {3, 14}, {2, 27}, {4, 24}}}, {7, 2, {{1, 8}}}});
    puzzle->setupPuzzle(0);
    EXPECT_EQ(1u, puzzle->getBlocks().size()) << "kinds 0 and 5, cells off the board, blocks over its edge";
    puzzle->setupPuzzle(1);
    EXPECT_EQ(1u, puzzle->getBlocks().size());
    EXPECT_FALSE(puzzle->getBlocks()[0].key) << "a key index past the blocks names no key";
    puzzle->setupPuzzle(2);
    EXPECT_TRUE(puzzle->getBlocks().empty());
    EXPECT_NE(std::string::npos, world.debugText().find("TempleDoorPuzzle: there is no puzzle 2"));
}

} // namespace
} // namespace scenetest
