// PegsCUTest.cpp: the peg close-up in the fixture game, opened by the
// canvas's script method over the first outer village room: the pegs laid
// out by the number list's offsets, a won board told to the script at once
// and its stand and shrink, the ring round a picked peg's hole, illegal
// clicks said on the line under the board and a drag, a stuck board shown
// with its word and laid out again, the close button, and a won board
// closed at once on the way to the menu.
#include "scenes/pegs/PegsCU.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "game/rooms/Room.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SceneFixture.h"

namespace scenetest {
namespace {

constexpr int kHost = 40;
// The close-up is 500 x 440 and opens centred on (400, 300).
constexpr int kLeft = 150;
constexpr int kTop = 80;
// 5 x 4 holes; three puzzles of 3, 6 and 6 pegs. Puzzle 1 can be won,
// puzzle 2 is stuck after its one jump.
const char kNumbers[] = "5 4 3  3 6 6  5 6 8  0 1 10 12 14 16  15 16 17 18 19 13";

class PegsCUTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        data.picture("peg", 40, 40, 0xFFC08040u);
        data.picture("button", 60, 30, 0xFF406080u);
        data.picture("dim", 800, 600, 0xFF000000u);
        data.picture("ring", 60, 60, 0xFFFFF0A0u);
        data.text("STR_PEGS_WON", "Won");
        data.text("STR_PEGS_STUCK", "Stuck");
        data.text("STR_PEGS_NO_JUMP", "Not there");
        data.manifest("pegs", "<data>\n" + numbers() +
                                  "\n<sprites>\n"
                                  "Peg_1 ButtonSprite peg -300 0 1 1 0 0 0\n"
                                  "Peg_2 ButtonSprite peg -300 0 1 1 0 0 0\n"
                                  "Peg_3 ButtonSprite peg -300 0 1 1 0 0 0\n"
                                  "PegRing Sprite ring -300 0\n"
                                  "CloseButton ButtonSprite button 420 400 1 1 0 0 0 1\n"
                                  "ResetButton ButtonSprite button 20 400 1 1 0 0 0 1\n"
                                  "Status NewFontSprite " +
                                  std::string(kFont) + " " + kFontGlyphs + " 250 398 1\n<end>\n");
        SceneSetup scene;
        scene.index = kHost;
        scene.className = "Room";
        scene.manifest = "<data>\n0\n<sprites>\nDimOverlay Sprite dim 0 0\n<end>\n";
        scene.callbacks = {"setSolvedPegPuzzle", "setupPuzzle", "stuckPegPuzzle", "onClick"};
        gametest::GameOptions options;
        options.canvasSprites["PegsCU"] = "PegsCU:+pegs 150 80 500 440 0 0";
        ASSERT_TRUE(startScene(scene, options));
        pegs = static_cast<PegsCU*>(canvas->getCloseUp(1));
        ASSERT_TRUE(pegs && pegs->isInstanceOf("PegsCU"));
        enter(kHost);
    }
    virtual std::string numbers() { return kNumbers; }
    // Opens the puzzle through the canvas and waits until the pegs take clicks.
    void open(int puzzle)
    {
        EXPECT_EQ("", runLua(room(kHost), "canvas:enterPegsCU(" + std::to_string(puzzle) + ")"));
        ASSERT_TRUE(paintedUntil([this] { return pegs->acceptsInput(); }));
    }
    // Whole frames, painted (the grow and shrink run as they paint), until
    // `done`; the frames run are counted in framesRun.
    bool paintedUntil(const std::function<bool()>& done)
    {
        for (framesRun = 0; framesRun < 200; ++framesRun) {
            if (done())
                return true;
            world.stepFrames(1);
        }
        return false;
    }
    static int holeX(int column) { return kLeft + 85 * column + 72; }
    static int holeY(int row) { return kTop + 85 * row + 77; }
    void clickHole(int column, int row) { world.click(holeX(column), holeY(row)); }
    void jump(int fromColumn, int fromRow, int toColumn, int toRow)
    {
        clickHole(fromColumn, fromRow);
        clickHole(toColumn, toRow);
    }
    std::vector<int> cells()
    {
        std::vector<int> out;
        for (const PegsCU::PegInfo& peg : pegs->getPegs()) {
            if (!peg.removed)
                out.push_back(peg.cell);
        }
        return out;
    }

    PegsCU* pegs = nullptr;
};

TEST_F(PegsCUTest, AWonBoardTellsTheVillageAtOnceThenStandsWithItsLineAndCloses)
{
    open(1);
    EXPECT_GE(framesRun, 20) << "the pegs take clicks once their 20-frame fade has ended";
    for (const PegsCU::PegInfo& peg : pegs->getPegs())
        EXPECT_EQ(128, peg.sprite->getAlpha());
    EXPECT_TRUE(room(kHost)->getSprite("DimOverlay")->isVisible());
    // The pegs stand on their holes, from the number list's sixth number on.
    EXPECT_EQ((std::vector<int>{5, 6, 8}), cells());
    for (const PegsCU::PegInfo& peg : pegs->getPegs()) {
        EXPECT_EQ(85 * peg.column - 20 + 72, peg.sprite->left()) << peg.cell;
        EXPECT_EQ(85 * peg.row - 20 + 77, peg.sprite->top()) << peg.cell;
    }
    clearRecords();
    jump(0, 1, 2, 1);
    EXPECT_EQ((std::vector<int>{7, 8}), cells());
    EXPECT_EQ((std::vector<int>{PegsCU::SOUND_PEG_SELECTED, PegsCU::SOUND_PEG_REMOVED}), soundsPlayed());
    EXPECT_TRUE(calls("setSolvedPegPuzzle").empty());
    jump(3, 1, 1, 1);
    EXPECT_EQ((std::vector<int>{6}), cells());
    EXPECT_NE(std::string::npos, world.debugText().find("WINNER!!!!!!!!!!!!!!!!!!!!\n"));
    // The village hears of the win at once: a game saved or left while the
    // won board stands keeps it.
    const std::vector<std::string> told = {"setSolvedPegPuzzle:OuterVillage_1(1)"};
    EXPECT_EQ(told, calls("setSolvedPegPuzzle"));
    // A click on the won board, on its close button too, reaches
    // neither the board nor the room under it (the two clicks take a
    // frame).
    world.click(kLeft + 450, kTop + 415);
    clickHole(0, 0);
    EXPECT_TRUE(calls("onClick").empty());
    EXPECT_TRUE(calls("setupPuzzle").empty());
    // The won board stands with its last peg and the line under it saying
    // so, taking no clicks, while the jumped peg fades over 8 frames and
    // three seconds pass; then the close-up shrinks in 9.
    auto* line = static_cast<sprite::NewFontSprite*>(pegs->getSprite("Status"));
    world.stepFrames(8 + PegsCU::END_FRAMES - 3);
    EXPECT_TRUE(pegs->isVisible() && !pegs->isTransitioning()) << "the won board is shown";
    EXPECT_TRUE(line->isVisible());
    EXPECT_STREQ("Won", line->getText().c_str());
    EXPECT_EQ(128, pegs->getPegs()[2].sprite->getAlpha()) << "the peg left stands on the board";
    EXPECT_FALSE(pegs->acceptsInput());
    ASSERT_TRUE(paintedUntil([this] { return !pegs->isVisible(); }));
    EXPECT_EQ(2 + 9, framesRun) << "the rest of the wait, then the shrink";
    EXPECT_FALSE(room(kHost)->getSprite("DimOverlay")->isVisible());
    EXPECT_FALSE(canvas->isPuzzleActive());
    EXPECT_EQ(told, calls("setSolvedPegPuzzle")) << "told once";
}

// The way to the menu while the won board stands closes it at once with
// its wait and its room's dimming: nothing of it goes on under the menu.
TEST_F(PegsCUTest, AWonBoardLeftForTheMenuClosesAtOnceWithItsWait)
{
    open(1);
    jump(0, 1, 2, 1);
    jump(3, 1, 1, 1);
    canvas->exitToMenu();
    EXPECT_FALSE(pegs->isVisible());
    EXPECT_FALSE(room(kHost)->getSprite("DimOverlay")->isVisible());
    world.stepFrames(8 + PegsCU::END_FRAMES + 2);
    EXPECT_FALSE(pegs->isVisible() || pegs->isTransitioning()) << "no shrink under the menu";
    EXPECT_FALSE(canvas->getInventory()->isVisible()) << "no bar over the menu";
}

TEST_F(PegsCUTest, IllegalTargetsPutThePegBackAndAStuckBoardIsLaidOutAgain)
{
    open(2);
    const std::vector<int> start = {0, 1, 10, 12, 14, 16};
    EXPECT_EQ(start, cells()) << "puzzle 2's cells begin at 3 plus its own count";
    // The peg picked up shows the ring round its hole until it is put down.
    sprite::SpriteBase* ring = pegs->getSprite("PegRing");
    clickHole(0, 0);
    EXPECT_TRUE(ring->isVisible());
    EXPECT_EQ((std::vector<int>{72 - 30, 77 - 30}), (std::vector<int>{ring->left(), ring->top()}));
    clickHole(0, 0);
    EXPECT_FALSE(ring->isVisible());
    auto* line = static_cast<sprite::NewFontSprite*>(pegs->getSprite("Status"));
    EXPECT_FALSE(line->isVisible()) << "a peg put back on its own hole is no try";
    // Diagonal, one hole, three holes and an occupied hole: nothing moves,
    // and the line under the board says the peg cannot jump there.
    const int targets[][2] = {{1, 1}, {0, 1}, {3, 0}, {0, 2}};
    for (const auto& t : targets) {
        jump(0, 0, t[0], t[1]);
        EXPECT_EQ(start, cells()) << t[0] << "," << t[1];
        EXPECT_EQ(-1, pegs->getSelected());
        EXPECT_EQ(52, pegs->getPegs()[0].sprite->left());
        EXPECT_TRUE(line->isVisible());
        EXPECT_STREQ("Not there", line->getText().c_str());
    }
    // A drag of more than 100 pixels puts the peg down where it is let go.
    world.mouseDown(holeX(0), holeY(0));
    world.mouseMove(holeX(2), holeY(0));
    world.mouseUp(holeX(2), holeY(0));
    EXPECT_EQ((std::vector<int>{2, 10, 12, 14, 16}), cells());
    EXPECT_NE(std::string::npos, world.debugText().find("GAME OVER!!!!!!!!!!!!!!!!!!!!\n"));
    // No peg can jump: the stuck board stands, taking no clicks, with the
    // line under it saying so; the jumped peg fades over 8 frames, three
    // seconds pass, then all go, and the board comes back without the line.
    EXPECT_TRUE(line->isVisible());
    EXPECT_STREQ("Stuck", line->getText().c_str());
    world.stepFrames(8 + PegsCU::END_FRAMES - 2);
    EXPECT_EQ((std::vector<int>{2, 10, 12, 14, 16}), cells());
    EXPECT_EQ(128, pegs->getPegs()[2].sprite->getAlpha()) << "the stuck board is still shown";
    clickHole(2, 0);
    EXPECT_EQ(-1, pegs->getSelected()) << "no clicks on the stuck board nor while the pegs fade";
    ASSERT_TRUE(paintedUntil([this] { return pegs->acceptsInput(); }));
    EXPECT_FALSE(line->isVisible());
    EXPECT_EQ(start, cells());
    EXPECT_EQ(6, pegs->getPegsLeft());
}

TEST_F(PegsCUTest, TheCloseButtonSetsTheVillagesPuzzleUpAndShrinks)
{
    open(3);
    EXPECT_EQ((std::vector<int>{15, 16, 17, 18, 19, 13}), cells());
    EXPECT_EQ("", runLua(room(kHost), "canvas:exitPegsCU()"));
    ASSERT_TRUE(paintedUntil([this] { return !pegs->isVisible(); }));
    EXPECT_TRUE(calls("setupPuzzle").empty());
    open(1);
    world.click(kLeft + 450, kTop + 415);
    EXPECT_EQ((std::vector<std::string>{"setupPuzzle:OuterVillage_1(1)"}), calls("setupPuzzle"));
    ASSERT_TRUE(paintedUntil([this] { return !pegs->isVisible(); }));
    EXPECT_TRUE(calls("setSolvedPegPuzzle").empty());
}

// Cells off the board or given twice, and a list that ends before a
// puzzle's cells.
class PegsCUOddDataTest : public PegsCUTest {
protected:
    std::string numbers() override { return "5 4 3  3 6 6  5 5 99"; }
};

TEST_F(PegsCUOddDataTest, LeavesOutCellsItCannotPlaceAndStillCloses)
{
    open(1);
    EXPECT_EQ((std::vector<int>{5}), cells());
    EXPECT_NE(std::string::npos, world.debugText().find("PegsCU: puzzle 1 skips the cell at number 7\n"));
    EXPECT_NE(std::string::npos, world.debugText().find("PegsCU: puzzle 1 skips the cell at number 8\n"));
    EXPECT_EQ("", runLua(room(kHost), "canvas:exitPegsCU()"));
    ASSERT_TRUE(paintedUntil([this] { return !pegs->isVisible(); }));
    // Puzzle 2 has no cells at all: the board takes clicks at once.
    open(2);
    EXPECT_TRUE(cells().empty());
    EXPECT_TRUE(pegs->acceptsInput());
    world.click(kLeft + 50, kTop + 415);
    EXPECT_TRUE(pegs->acceptsInput()) << "laid out again at once";
    EXPECT_TRUE(world.boxes().empty());
}

} // namespace
} // namespace scenetest
