// SampleScenesTest.cpp: the sample game's puzzle rooms load as their scene
// classes with every sprite their games use, and can be played by clicks:
// the card game deals and turns a card, noughts and crosses takes a move,
// the call box takes its number, the bridge's game is won by reading its
// previews, the cave maze moves between chambers and the cave's mouth shows
// the forward arrow, the chest's first board and the temple door's first
// board are solved, and the safe's lock opens over the study and closes.
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "scenes/bridge/Bridge.h"
#include "scenes/callbox/CallBox.h"
#include "scenes/caves/CaveMaze.h"
#include "scenes/concentration/Concentration.h"
#include "scenes/safecrack/SafeCrack.h"
#include "scenes/slideblock/SlideBlockPuzzle.h"
#include "scenes/templedoor/TempleDoorPuzzle.h"
#include "scenes/tictac/TicTac.h"
#include "scenes/treasurechest/TreasureChestCU.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SceneFixture.h"

namespace scenetest {
namespace {

class SampleScenesTest : public SceneFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGame());
    }
    // Nothing the rooms look for is missing from the data, and nothing failed.
    void expectCleanRun()
    {
        EXPECT_EQ(std::string::npos, world.debugText().find(": no sprite ")) << world.debugText();
        EXPECT_EQ(std::string::npos, world.debugText().find(" is no ")) << world.debugText();
        EXPECT_TRUE(world.boxes().empty()) << world.boxes()[0].caption << ": " << world.boxes()[0].text;
    }
    // Drags with the pointer from the middle of a sprite by (dx, dy), in a
    // few moves, and lets go; the sprite's place is offset by its dialog's
    // (ox, oy) on the screen.
    void dragSprite(sprite::SpriteBase* s, int dx, int dy, int ox = 0, int oy = 0)
    {
        const int x = ox + s->left() + s->width() / 2;
        const int y = oy + s->top() + s->height() / 2;
        world.mouseMove(x, y);
        world.mouseDown(x, y);
        for (int step = 1; step <= 4; ++step)
            world.mouseMove(x + dx * step / 4, y + dy * step / 4);
        world.mouseUp(x + dx, y + dy);
        world.stepFrames(1);
    }
};

TEST_F(SampleScenesTest, TheCardGameDealsAndTurnsACardUp)
{
    auto* cards = static_cast<Concentration*>(room(17));
    ASSERT_TRUE(cards->isInstanceOf("Concentration"));
    enter(17);
    ASSERT_TRUE(stepUntil([cards] {
        return cards->getState() == Concentration::STATE_PLAYER_TURN && !cards->isDealing();
    }));
    world.stepFrames(10);
    EXPECT_EQ(24, cards->getCardCount());
    sprite::SpriteBase* back = cards->getCardBack(7);
    world.click(back->left() + back->width() / 2, back->top() + back->height() / 2);
    EXPECT_TRUE(cards->card(7).faceUp);
    world.stepFrames(10);
    EXPECT_TRUE(cards->getCardFace(7)->isVisible());
    auto* score = static_cast<sprite::NewFontSprite*>(cards->getSprite("PlayerScore"));
    EXPECT_STREQ("0", score->getText().c_str());
    EXPECT_GT(score->width(), 0) << "the bitmap font lays the text out";
    expectCleanRun();
}

TEST_F(SampleScenesTest, NoughtsAndCrossesTakesTheComputersMoveAndThePlayers)
{
    auto* game = static_cast<TicTac*>(room(52));
    ASSERT_TRUE(game->isInstanceOf("TicTac"));
    enter(52);
    ASSERT_TRUE(stepUntil([game] { return game->getState() == TicTac::STATE_PLAYER_TURN; }));
    int free = -1;
    for (int i = 24; i >= 0 && free < 0; --i) {
        if (game->board().at(i) == TicTacBoard::EMPTY)
            free = i;
    }
    ASSERT_GE(free, 0);
    world.click(240 + 80 * (free % 5), 150 + 80 * (free / 5));
    EXPECT_EQ(TicTacBoard::PLAYER, game->board().at(free));
    world.stepFrames(10);
    EXPECT_TRUE(game->getOPiece(free)->isVisible());
    expectCleanRun();
}

// The middle of a sprite of the room.
void clickOn(testsupport::GameWorld& world, sprite::SpriteBase* s)
{
    world.click(s->left() + s->width() / 2, s->top() + s->height() / 2);
}

TEST_F(SampleScenesTest, TheCallBoxTakesTheNumberOnTheCard)
{
    auto* box = static_cast<CallBox*>(room(22));
    ASSERT_TRUE(box->isInstanceOf("CallBox"));
    enter(22);
    // The first click ends the intercom's greeting; the next lifts the receiver.
    clickOn(world, box->getSprite("ReceiverOnHook"));
    clickOn(world, box->getSprite("ReceiverOnHook"));
    EXPECT_TRUE(box->getSprite("ReceiverOffHook")->isVisible());
    for (int digit : {3, 1, 4, 1})
        clickOn(world, box->getSprite(("CallBox" + std::to_string(digit)).c_str()));
    EXPECT_EQ(4, box->getEnteredCount());
    clickOn(world, box->getSprite("CallBoxEnter"));
    EXPECT_EQ("true", runLua(box, "return tostring(LF.callBoxSolved)"));
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheBridgeIsRaisedByRememberingTheStones)
{
    auto* bridge = static_cast<Bridge*>(room(32));
    ASSERT_TRUE(bridge->isInstanceOf("Bridge"));
    enter(32);
    for (int round = 0; round < 4; ++round) {
        std::vector<sprite::SpriteBase*> sequence;
        sprite::SpriteBase* lit = nullptr;
        ASSERT_TRUE(stepUntil([&] {
            sprite::SpriteBase* now = nullptr;
            for (int k = 1; k <= 4; ++k) {
                auto* stone = static_cast<sprite::AnimateSprite*>(bridge->getSprite(("bChoice" + std::to_string(k)).c_str()));
                if (stone->getFrame() == 0)
                    now = stone;
            }
            if (now && now != lit)
                sequence.push_back(now);
            lit = now;
            return bridge->getGameState() == Bridge::STATE_PLAYER_TURN;
        }, 1000));
        for (sprite::SpriteBase* stone : sequence) {
            clickOn(world, stone);
            ASSERT_TRUE(stepUntil([&] { return bridge->getGameState() != Bridge::STATE_CORRECT; }));
        }
    }
    EXPECT_EQ("true", runLua(bridge, "return tostring(LF.bridgeSolved)"));
    EXPECT_TRUE(bridge->getSprite("Planks")->isVisible());
    EXPECT_TRUE(static_cast<DoorSprite*>(bridge->getSprite("Door0"))->isEnabled());
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheCaveMouthLeadsIntoTheMazeWhoseChambersAreWalked)
{
    enter(30);
    world.mouseMove(400, 60);
    EXPECT_EQ(0, canvas->getCurrentCursor());
    auto* maze = static_cast<CaveMaze*>(room(31));
    ASSERT_TRUE(maze->isInstanceOf("CaveMaze"));
    enter(31);
    EXPECT_EQ(22, maze->getCurrentScreen()) << "the chamber at the cave's mouth";
    world.click(400, 80);
    ASSERT_TRUE(stepUntil([maze] { return maze->getState() == Room::STATE_PLAYING; }, 200));
    EXPECT_EQ(18, maze->getCurrentScreen());
    world.click(725, 300);
    ASSERT_TRUE(stepUntil([maze] { return maze->getState() == Room::STATE_PLAYING; }, 200));
    EXPECT_EQ(19, maze->getCurrentScreen());
    EXPECT_TRUE(maze->getSprite("PuzzleDoor")->isVisible());
    EXPECT_EQ("19", runLua(maze, "return tostring(LF.caveMazeScreen)"));
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheChestsFirstBoardIsSolvedAndTheNextComesBehindTheDoors)
{
    canvas->getProgress()->chapter = 1;
    auto* chest = static_cast<TreasureChestCU*>(room(6));
    ASSERT_TRUE(chest->isInstanceOf("TreasureChestCU"));
    enter(6);
    SlideBlockPuzzle* board = chest->getBoard();
    ASSERT_NE(nullptr, board);
    ASSERT_EQ(3u, board->getBlocks().size());
    const int cell = SlideBlockPuzzle::CELL_SIZE;
    // The block across the bottom goes left, the tall one down, the key out.
    dragSprite(board->getBlocks()[2].sprite, -cell, 0);
    dragSprite(board->getBlocks()[1].sprite, 0, 3 * cell);
    dragSprite(board->getBlocks()[0].sprite, 5 * cell, 0);
    world.stepFrames(2);
    EXPECT_EQ(1, chest->getCurrentPuzzle());
    ASSERT_TRUE(board->isBusy());
    for (int i = 0; i < 60 && board->isBusy(); ++i)
        world.stepFrames(1);
    EXPECT_EQ(1, board->getCurrentPuzzle()) << "the next board behind the doors";
    EXPECT_EQ(5u, board->getBlocks().size());
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheTempleDoorsFirstBoardIsSolved)
{
    auto* door = static_cast<TempleDoorPuzzle*>(room(61));
    ASSERT_TRUE(door->isInstanceOf("TempleDoorPuzzle"));
    enter(61);
    ASSERT_EQ(4u, door->getBlocks().size()) << "the room's script builds the first board";
    const int cell = TempleDoorPuzzle::CELL_SIZE;
    // The single left, the tall block down, the wide one right, the key up.
    dragSprite(door->getBlocks()[3].sprite, -2 * cell, 0);
    dragSprite(door->getBlocks()[2].sprite, 0, 2 * cell);
    dragSprite(door->getBlocks()[1].sprite, cell, 0);
    dragSprite(door->getBlocks()[0].sprite, 0, -4 * cell);
    EXPECT_EQ(1, door->getCurrentPuzzle()) << "the second board follows the first";
    EXPECT_EQ(5u, door->getBlocks().size());
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheSafesLockOpensOverTheStudyAndCloses)
{
    auto* safe = static_cast<SafeCrack*>(canvas->getCloseUp(6));
    ASSERT_TRUE(safe->isInstanceOf("SafeCrack"));
    enter(51);
    sprite::SpriteBase* box = room(51)->getSprite("Safe");
    world.click(box->left() + 30, box->top() + 60);
    world.stepFrames(15);
    ASSERT_TRUE(safe->isVisible());
    EXPECT_TRUE(safe->isInputEnabled());
    EXPECT_EQ(104, safe->left());
    EXPECT_EQ(65, safe->top());
    // The third gold piece goes right along row 2 to the middle.
    sprite::SpriteBase* piece = safe->getPieces()[2].sprite;
    dragSprite(piece, 2 * SafeCrack::PITCH - 20, 0, safe->left(), safe->top());
    EXPECT_EQ(12, safe->getPieces()[2].cell);
    sprite::SpriteBase* leave = safe->getSprite("CloseButton");
    world.click(safe->left() + leave->left() + 20, safe->top() + leave->top() + 10);
    world.stepFrames(15);
    EXPECT_FALSE(safe->isVisible());
    expectCleanRun();
}

} // namespace
} // namespace scenetest
