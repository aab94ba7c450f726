// SlideBlockPuzzleTest.cpp: the sliding-block board on small layouts: where a
// dropped block settles, the key's way out and the goal, the moves that are
// refused, the gold set, the chest doors' cycle and the layouts that are
// checked before they are built.
#include "tests/scenes/slideblock/SlideBlockFixture.h"

#include "game/progress/ProgressRecord.h"
#include "sprites/images/ImageSprite.h"
#include "tests/scenes/support/PointerEvents.h"

#include <algorithm>

namespace scenetest {
namespace {

// A 4 x 3 board: the key (two cells) in row 1 from column 0, a one-cell
// horizontal block at cell 0 and a one-cell vertical block at cell 2; the
// key's goal is the last column of row 1.
SlidePuzzle smallBoard(int target = 7)
{
    return {4, 3, target, 0, {{2, 4, 2}, {1, 0, 2}, {1, 2, 1}}};
}

class SlideBlockPuzzleTest : public SlideBlockFixture {
protected:
    // Drags block i from its middle by (dx, dy) and releases it there.
    void dragBlock(int i, int dx, int dy)
    {
        sprite::SpriteBase* s = block(i);
        const int x = s->left() + s->width() / 2;
        const int y = s->top() + s->height() / 2;
        drag(board, {x, y}, {{x + dx, y + dy}});
    }
    window::ImageBase* image(sprite::SpriteBase* s) { return static_cast<sprite::ImageSprite*>(s)->getImage(); }
    window::ImageBase* image(const char* prototype) { return image(board->getSprite(prototype)); }
};

TEST_F(SlideBlockPuzzleTest, ADroppedBlockSettlesOnTheNearerCellAndTheKeyLeavesThroughTheExit)
{
    const struct {
        const char* what;
        int target;
        int block;
        int dx;
        int dy;
        int cell;
        bool solved;
    } cases[] = {
        {"half a cell snaps back", 7, 1, kCell / 2, 0, 0, false},
        {"one pixel more snaps forward", 7, 1, kCell / 2 + 1, 0, 1, false},
        {"a block in the way holds it back", 7, 1, 3 * kCell, 0, 1, false},
        {"vertically, half a cell snaps back", 7, 2, 0, kCell / 2, 2, false},
        {"vertically, one pixel more snaps forward", 7, 2, 0, kCell / 2 + 1, 6, false},
        {"the key sticks out through the exit by one cell", 7, 0, 4 * kCell, 0, 7, true},
        {"the key in the second-to-last column goes to the last", 7, 0, 2 * kCell + 6, 0, 7, true},
        {"a target one past the key's cell solves", 8, 0, 2 * kCell + 6, 0, 7, true},
        {"a target before the key's cell does not", 6, 0, 2 * kCell + 6, 0, 7, false},
    };
    startBoard({smallBoard(7), smallBoard(8), smallBoard(6)});
    for (const auto& c : cases) {
        board->buildBoard(c.target == 7 ? 0 : c.target == 8 ? 1 : 2);
        ASSERT_EQ(c.target, board->getTargetCell()) << c.what;
        canvas->clearRecords();
        dragBlock(c.block, c.dx, c.dy);
        EXPECT_EQ(c.cell, blockCell(c.block)) << c.what;
        EXPECT_EQ(board->getGrid().xOfCell(c.cell), block(c.block)->left()) << c.what;
        EXPECT_EQ(board->getGrid().yOfCell(c.cell), block(c.block)->top()) << c.what;
        EXPECT_EQ(c.solved, board->isSolved()) << c.what;
        EXPECT_EQ((std::vector<int>{SlideBlockPuzzle::SOUND_PICK_UP, SlideBlockPuzzle::SOUND_DROP}), soundsPlayed())
            << c.what;
        EXPECT_EQ(-1, board->getDraggedBlock()) << c.what;
    }
}

TEST_F(SlideBlockPuzzleTest, MovesThatAreRefusedAndTheGoalTestedWithoutAMove)
{
    // The key starts on its target in the second puzzle.
    startBoard({smallBoard(), {4, 3, 4, 0, {{2, 4, 2}}}});
    board->buildBoard(0);
    const BlockGrid& grid = board->getGrid();
    sprite::SpriteBase* plain = block(1);
    const int x = plain->left() + kCell / 2;
    const int y = plain->top() + kCell / 2;
    press(board, x, y);
    ASSERT_EQ(1, board->getDraggedBlock());
    EXPECT_EQ(grid.left, board->getLowestPosition());
    EXPECT_EQ(grid.xOfColumn(1), board->getHighestPosition()) << "the vertical block at column 2 is in the way";
    move(board, x + 30, y);
    EXPECT_EQ(grid.left + 30, plain->left());
    // The candidate left of the board: the block stays where it was, not
    // clamped to the edge.
    move(board, x - 100, y);
    EXPECT_EQ(grid.left + 30, plain->left());
    // Ctrl held: the drop waits.
    release(board, x, y, window::Event::CTRL_MASK);
    EXPECT_EQ(1, board->getDraggedBlock());
    release(board, x + 30, y);
    EXPECT_EQ(1, blockCell(1));

    // A plain block with a free road stops at the board's edge; only the
    // key may leave through the exit.
    board->buildBoard(0);
    dragBlock(2, 0, 2 * kCell + 30);
    EXPECT_EQ(grid.top + 2 * kCell, block(2)->top());

    board->buildBoard(1);
    EXPECT_FALSE(board->isSolved());
    canvas->clearRecords();
    dragBlock(0, 0, 0);
    EXPECT_TRUE(board->isSolved()) << "a click on the key on its target";
    EXPECT_EQ((std::vector<int>{SlideBlockPuzzle::SOUND_PICK_UP}), soundsPlayed()) << "no drop without a move";
}

TEST_F(SlideBlockPuzzleTest, APressOnNoneOfItsPartsGoesOnToTheRoomBelow)
{
    // The chest shows the board over itself: a press on the board's picture
    // away from its blocks and buttons is left to the chest (its exits), one
    // on a block is the board's.
    startBoard({smallBoard()});
    board->buildBoard(0);
    board->setVisible(true);
    sprite::SpriteBase* door = board->getSprite("ChestDoor1");
    door->setVisible(true);
    const int x = door->left() + 2, y = door->top() + 2;
    for (const auto& b : board->getBlocks())
        ASSERT_FALSE(b.sprite->hittest(x, y));
    EXPECT_EQ(sprite::DialogSprite::NOT_HANDLED, press(board, x, y));
    release(board, x, y);
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, press(board, cellX(0), cellY(0)));
    EXPECT_EQ(1, board->getDraggedBlock()) << "the block in the corner";
}

TEST_F(SlideBlockPuzzleTest, BoardsFromTwelveOnUseTheGoldSet)
{
    startBoard(std::vector<SlidePuzzle>(13, smallBoard()));
    const struct {
        int puzzle;
        const char* key;
        const char* block;
    } cases[] = {{11, "Key", "Block_1_V"}, {12, "Key_Gold", "Block_1_V_Gold"}};
    for (const auto& c : cases) {
        board->buildBoard(c.puzzle);
        ASSERT_EQ(3u, board->getBlocks().size());
        EXPECT_EQ(image(c.key), image(block(0))) << c.puzzle;
        EXPECT_EQ(image(c.block), image(block(2))) << c.puzzle;
        EXPECT_EQ(block(0), static_cast<sprite::SpriteBase*>(board->getKeyBlock()));
    }
}

TEST_F(SlideBlockPuzzleTest, TheDoorsCloseOverTheRebuildAndOpenAgain)
{
    const struct {
        int chapter;
        const char* door;
        const char* overlay;
    } cases[] = {{5, "ChestDoor1", ""}, {1, "ChestDoor1", "keyOverlay3"}, {6, "ChestDoor1_Gold", "KeyOverlay_Chapter6"}};
    startBoard({smallBoard(), smallBoard(8)});
    EXPECT_TRUE(shownOnceDefined<SlideBlockPuzzle>({0, 0}));
    enter(kBoardRoom);
    for (const auto& c : cases) {
        canvas->getProgress()->chapter = c.chapter;
        board->buildBoard(0);
        dragBlock(1, kCell, 0);
        ASSERT_EQ(1, blockCell(1));
        canvas->clearRecords();
        board->startDoorAnimation(1);
        EXPECT_EQ((std::vector<int>{SlideBlockPuzzle::SOUND_DOORS}), soundsPlayed());
        EXPECT_TRUE(board->isBusy());
        EXPECT_EQ(2, board->getPendingDoorActions());
        EXPECT_TRUE(board->getSprite(c.door)->isVisible()) << c.chapter;
        EXPECT_FALSE(board->isInputEnabled());
        // Painted frames: the wipes run on what is drawn.
        int painted = 0;
        while (board->isBusy() && painted < 100) {
            world.stepFrames(1);
            ++painted;
        }
        // Ten frames shut, five waiting, ten open (each end reported a
        // frame later).
        EXPECT_GE(painted, 25) << c.chapter;
        EXPECT_LE(painted, 30) << c.chapter;
        EXPECT_EQ(1, board->getCurrentPuzzle());
        EXPECT_EQ(8, board->getTargetCell());
        EXPECT_EQ(0, blockCell(1)) << "built afresh";
        EXPECT_FALSE(board->getSprite(c.door)->isVisible());
        for (const char* overlay : {"keyOverlay3", "KeyOverlay_Chapter6"})
            EXPECT_EQ(std::string(overlay) == c.overlay, board->getSprite(overlay)->isVisible()) << c.chapter;
        board->showGodRays();
        EXPECT_EQ(c.chapter != 5, board->getSprite("KeyRaysMiddle3")->isVisible()) << c.chapter;
        world.stepFrames(10);
        EXPECT_FALSE(board->getSprite("KeyRaysMiddle3")->isVisible()) << "hidden when played";
    }
}

TEST_F(SlideBlockPuzzleTest, LayoutsAreCheckedBeforeTheyAreBuilt)
{
    // Block definitions outside the board or of no axis are left out; a
    // key index past the blocks leaves the board without a key; a list
    // that ends inside a puzzle keeps the puzzles before it.
    const struct {
        const char* what;
        std::vector<int> block;
    } bad[] = {
        {"no length", {0, 1, 2}},  {"past the last cell", {1, 12, 2}},  {"before the first", {1, -1, 1}},
        {"no axis", {1, 1, 3}},    {"too long for its row", {3, 2, 2}}, {"too long for its column", {2, 9, 1}},
    };
    std::vector<SlidePuzzle> puzzles;
    for (const auto& b : bad)
        puzzles.push_back({4, 3, 7, 0, {{2, 4, 2}, b.block}});
    puzzles.push_back({4, 3, 7, 5, {{2, 4, 2}}});
    puzzles.push_back({0, 3, 7, 0, {{2, 4, 2}}});
    startBoard(puzzles);
    for (size_t i = 0; i < std::size(bad); ++i) {
        board->buildBoard(int(i));
        EXPECT_EQ(1u, board->getBlocks().size()) << bad[i].what;
    }
    board->buildBoard(int(std::size(bad)));
    EXPECT_TRUE(board->getKeyBlock() == nullptr);
    EXPECT_EQ(0, board->getKeyBlockColumnDeltaX()) << "no key block";
    board->buildBoard(int(std::size(bad)) + 1);
    EXPECT_TRUE(board->getBlocks().empty()) << "a board without columns";
    board->buildBoard(99);
    EXPECT_TRUE(board->getBlocks().empty());
    EXPECT_NE(std::string::npos, world.debugText().find("SlideBlockPuzzle: there is no puzzle 99"));
    // With a key: the distance that takes it off the board.
    board->buildBoard(0);
    EXPECT_EQ((4 - 0 + 1) * kCell, board->getKeyBlockColumnDeltaX());
}

} // namespace
} // namespace scenetest
