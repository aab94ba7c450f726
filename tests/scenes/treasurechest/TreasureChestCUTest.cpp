// TreasureChestCUTest.cpp: the treasure chest close-up over its sliding-block
// board: the chapter's board numbers, the locks, the solved board reported
// to the script, closing the chest once, the pauses, and the Lua face.
#include "scenes/treasurechest/TreasureChestCU.h"

#include "game/progress/ProgressRecord.h"
#include "sprites/images/AnimateSprite.h"
#include "tests/scenes/slideblock/SlideBlockFixture.h"
#include "scenes/common/SceneRoom.h"
#include "tests/scenes/support/PointerEvents.h"

#include <functional>

namespace scenetest {
namespace {

constexpr int kChestRoom = 6;
// Boards a chapter, as the script answers.
constexpr int kBoards = 3;
constexpr int kLockFrames = 4;

TEST(TreasureChestPuzzleNumbers, TheCurrentBoardIsBroughtIntoTheChapter)
{
    const struct {
        const char* what;
        int current;
        int chapter;
        int k;
        int script;
        int expected;
    } cases[] = {
        {"below the range: whole steps up", 1, 3, 4, 0, 9},
        {"above the range: whole steps down", 14, 3, 4, 0, 10},
        {"inside stays", 10, 3, 4, 0, 10},
        {"the script's higher counter wins", 8, 3, 4, 11, 11},
        {"the script's lower counter does not", 10, 3, 4, 2, 10},
        {"chapter 6 plays chapter 5's boards", 0, 6, 3, 0, 12},
        {"no boards a chapter counts as one", 7, 2, 0, 0, 1},
        {"nor do fewer", 0, 4, -5, 0, 3},
        {"a huge counter does not wrap", 2000000000, 1, 1000000000, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, TreasureChestCU::normalisePuzzle(c.current, c.chapter, c.k, c.script)) << c.what;
}

// The chest's sprites: camera flashes, locks and chapter 6's screws.
std::string chestManifest()
{
    std::string m = "<data>\n0\n<sprites>\n";
    for (int n = 1; n <= 3; ++n) {
        m += "CameraFlashesYellow" + std::to_string(n) + " AnimateSprite flash 100 100 3 1 0\n";
        m += "Lock" + std::to_string(n) + " AnimateSprite lock " + std::to_string(100 * n) + " 40 4 1 0\n";
    }
    m += "TCCU_screw Sprite flash 0 0\nTCCU_screw_flip Sprite flash 0 0\n"
         "TCCU_BigLock_anim AnimateSprite lock 300 40 4 1 2\n<end>\n";
    return m;
}

class TreasureChestCUTest : public SlideBlockFixture {
protected:
    // Starts the game with the chest and its board, whose every board has
    // the key on its target (a click on it solves), in `chapter`, with the
    // script's counter at `counter`.
    void startChest(int chapter, int counter)
    {
        framesPicture(world.data(), "flash", 3, 40, 40);
        framesPicture(world.data(), "lock", kLockFrames, 40, 40);
        gametest::GameOptions options;
        const std::string name = LanternfieldCanvas::kRoomNames[kChestRoom];
        options.roomClasses[name] = "TreasureChestCU";
        options.roomManifests[name] = chestManifest();
        options.roomScripts[name] = recordingScript(name, "TreasureChestCU", {"unlockLock", "unlockGoldLock"});
        options.gameScript = "LF.slide = 0\n"
                             "function LF_numTreasureChestPuzzles() return " +
                             std::to_string(kBoards) +
                             " end\n"
                             "function LF_getCurrentSlideBlockPuzzle() return LF.slide end\n"
                             "function LF_setCurrentSlideBlockPuzzle(n) record('LF_setCurrentSlideBlockPuzzle', n) "
                             "LF.slide = n end\n";
        startBoard(std::vector<SlidePuzzle>(18, {4, 3, 7, 0, {{2, 6, 2}}}), options);
        chest = static_cast<TreasureChestCU*>(room(kChestRoom));
        ASSERT_TRUE(chest->isInstanceOf("TreasureChestCU"));
        canvas->getProgress()->chapter = chapter;
        // The game's reset at the start saved a counter of its own.
        runLua(chest, "LF.slide = " + std::to_string(counter));
        clearCalls();
        enter(kChestRoom);
        ASSERT_EQ(board, chest->getBoard());
    }
    int lockFrame(const char* name) { return static_cast<sprite::AnimateSprite*>(chest->getSprite(name))->getFrame(); }
    // A click on the key block, then a frame for the chest to see it.
    void clickKey()
    {
        sprite::SpriteBase* key = block(0);
        press(board, key->left() + 5, key->top() + 5);
        release(board, key->left() + 5, key->top() + 5);
        frames(1);
    }
    // Painted frames until `done`, at most 100.
    bool stepUntilPainted(const std::function<bool()>& done)
    {
        for (int i = 0; i < 100 && !done(); ++i)
            world.stepFrames(1);
        return done();
    }
    void clickClose()
    {
        sprite::SpriteBase* close = board->getSprite("CloseButton");
        world.click(close->left() + 5, close->top() + 5);
    }

    TreasureChestCU* chest = nullptr;
};

TEST_F(TreasureChestCUTest, EnteringBuildsTheSavedBoardAndTheLocksShowTheBoardsSolved)
{
    startChest(2, 0);
    EXPECT_TRUE(shownOnceDefined<TreasureChestCU>({0}));
    EXPECT_EQ(3, chest->getCurrentPuzzle()) << "chapter 2's first board";
    EXPECT_EQ(3, board->getCurrentPuzzle());
    EXPECT_EQ((std::vector<std::string>{"LF_setCurrentSlideBlockPuzzle(3)"}), calls("LF_set"));
    EXPECT_TRUE(board->isVisible());
    EXPECT_EQ(chest->width() / 2 - 2 * kCell + 2, board->getGrid().left) << "centred, 15 px low";
    EXPECT_EQ(chest->height() / 2 + 15 - 63 + 2, board->getGrid().top);
    const struct {
        int counter;
        int frames[3];
    } cases[] = {{3, {0, 0, 0}}, {4, {3, 0, 0}}, {5, {3, 3, 0}}, {6, {3, 3, 3}}};
    for (const auto& c : cases) {
        runLua(chest, "LF.slide = " + std::to_string(c.counter));
        chest->onEnter();
        EXPECT_EQ(c.counter, board->getCurrentPuzzle());
        EXPECT_EQ(c.frames[0], lockFrame("Lock1")) << c.counter;
        EXPECT_EQ(c.frames[1], lockFrame("Lock2")) << c.counter;
        EXPECT_EQ(c.frames[2], lockFrame("Lock3")) << c.counter;
    }
}

TEST_F(TreasureChestCUTest, ASolvedBoardIsReportedOnceAndLocksTheBoard)
{
    startChest(2, 4);
    clearCalls();
    clickKey();
    EXPECT_EQ((std::vector<std::string>{"unlockLock:TreasureChestCU(2)"}), calls("unlock"))
        << "the second of the chapter's boards";
    EXPECT_EQ((std::vector<std::string>{"LF_setCurrentSlideBlockPuzzle(5)"}), calls("LF_set"));
    EXPECT_TRUE(board->isLocked());
    frames(3);
    EXPECT_EQ(1u, calls("unlock").size()) << "reported once";
    // Locked: the key takes no clicks until the doors bring the next board.
    canvas->clearRecords();
    press(board, block(0)->left() + 5, block(0)->top() + 5);
    EXPECT_EQ(-1, board->getDraggedBlock());
    EXPECT_TRUE(soundsPlayed().empty());
    runLua(chest, "self:startDoorAnimation(5)");
    EXPECT_TRUE(stepUntilPainted([this] { return !board->isLocked(); }));
    EXPECT_EQ(5, board->getCurrentPuzzle());
}

TEST_F(TreasureChestCUTest, ChapterSixShowsTheScrewsAndReportsTheGoldBoard)
{
    startChest(6, 13);
    EXPECT_EQ(160, chest->getSprite("TCCU_screw")->left());
    EXPECT_EQ(480, chest->getSprite("TCCU_screw_flip")->left());
    EXPECT_EQ(0, lockFrame("TCCU_BigLock_anim"));
    clearCalls();
    clickKey();
    EXPECT_EQ((std::vector<std::string>{"unlockGoldLock:TreasureChestCU(13)"}), calls("unlock"));
    EXPECT_EQ((std::vector<std::string>{"LF_setCurrentSlideBlockPuzzle(14)"}), calls("LF_set"));
}

TEST_F(TreasureChestCUTest, ClosingInChapterFiveLeavesTheRoomAloneAndIsActedOnOnce)
{
    startChest(5, 0);
    clearCalls();
    clickClose();
    frames(5);
    EXPECT_EQ((std::vector<std::string>{"onExit:TreasureChestCU(1)"}), calls("onExit:Treasure"));
    EXPECT_FALSE(board->isCloseRequested());
    EXPECT_EQ(kChestRoom, canvas->getCurrentRoomIndex());
    EXPECT_EQ(-1, canvas->getPendingRoom());
}

TEST_F(TreasureChestCUTest, NothingIsActedOnWhileTheGameIsPaused)
{
    startChest(1, 0);
    canvas->setGameState(LanternfieldCanvas::STATE_PAUSED);
    clearCalls();
    clickKey();
    frames(3);
    EXPECT_TRUE(board->isSolved());
    EXPECT_TRUE(calls("unlock").empty());
    canvas->setGameState(LanternfieldCanvas::STATE_PLAYING);
    frames(1);
    EXPECT_EQ((std::vector<std::string>{"unlockLock:TreasureChestCU(1)"}), calls("unlock"));
}

TEST_F(TreasureChestCUTest, TheLuaFace)
{
    startChest(1, 0);
    EXPECT_EQ(std::to_string((4 - 2 + 1) * kCell), runLua(chest, "return self:getKeyBlockColumnDeltaX()"));
    EXPECT_EQ("true", runLua(chest, "return self:getKeyBlock() ~= nil"));
    // The methods that act give back nothing.
    EXPECT_EQ("0", runLua(chest, "return select('#', self:setupPuzzle(2)) + select('#', self:showGodRays()) + "
                                 "select('#', self:startDoorAnimation(2)) + select('#', self:showLockUnlock(3)) + "
                                 "select('#', self:enableCloseButton(true)) + select('#', self:exitRoomTrans('x'))"));
    world.stepFrames(40);
    runLua(chest, "self:setupPuzzle(2)");
    EXPECT_EQ(2, board->getCurrentPuzzle());
    runLua(chest, "self:enableCloseButton(false)");
    EXPECT_FALSE(SceneRoom::isCloseButtonHit(board, board->getSprite("CloseButton")->left() + 5,
                                             board->getSprite("CloseButton")->top() + 5));
    runLua(chest, "self:showLockUnlock(2)");
    EXPECT_TRUE(chest->getSprite("CameraFlashesYellow2")->isVisible());
    world.stepFrames(6);
    EXPECT_FALSE(chest->getSprite("CameraFlashesYellow2")->isVisible()) << "hidden when played";
    expectLuaErrors(chest, {
                               {"self:setupPuzzle()", "too many arguments"},
                               {"self:getKeyBlock(1)", "too many arguments"},
                               {"self.showGodRays({})", "not a Sprite object"},
                               {"self.showGodRays(canvas)", "not a TreasureChestCU"},
                           });
    // The zoom into the golden room (last: it leaves the chest) gives back
    // nothing either, and takes the board away at once.
    EXPECT_EQ("0", runLua(chest, "return select('#', self:exitRoomTransChap6(1))"));
    EXPECT_FALSE(board->isVisible()) << "no block of the board is drawn over the golden room";
}

} // namespace
} // namespace scenetest
