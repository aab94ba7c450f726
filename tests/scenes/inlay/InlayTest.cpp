// InlayTest.cpp: the inlay room in the fixture game with puzzle 2 (the cave
// maze stands on no puzzle screen): drops within and beyond the grid's
// overhang, a drop on a placed piece, either set of targets solving it,
// its gem on entry, its close button on the next visit, and its Lua face.
#include "scenes/inlay/Inlay.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/images/ImageSprite.h"
#include "tests/scenes/support/SceneFixture.h"
#include "tests/scenes/support/ZoomCheck.h"

#include <sstream>

namespace scenetest {
namespace {

constexpr int kInlayRoom = 34;
constexpr int kGrid = 100;
// Pieces 1 to 5: columns x rows of cells; each picture is 8 pixels short of
// its cells in both directions.
const int kSizes[6][2] = {{0, 0}, {2, 1}, {1, 2}, {1, 1}, {2, 2}, {1, 1}};
const int kMainTargets[5] = {0, 2, 5, 16, 24};
const int kOtherTargets[5] = {20, 4, 10, 12, 0};

// The room's definition; `cut` numbers of it at the most, and puzzle 2's
// first piece given as `firstPiece`.
std::string inlayManifest(size_t cut = 112, int firstPiece = 1)
{
    std::vector<int> n(112, 0);
    n[2] = kGrid;
    n[3] = kGrid;
    for (int p = 1; p <= 5; ++p) {
        n[3 + p] = kSizes[p][0];
        n[32 + p] = kSizes[p][1];
        for (int puzzle = 0; puzzle < 4; ++puzzle) {
            n[62 + 10 * puzzle + p - 1] = p;
            n[67 + 10 * puzzle + p - 1] = kMainTargets[p - 1];
        }
        n[102 + p - 1] = p;
        n[107 + p - 1] = kOtherTargets[p - 1];
    }
    n[72] = firstPiece;
    n.resize(cut);
    std::ostringstream m;
    m << "<data>\n";
    for (int v : n)
        m << v << " ";
    m << "\n<sprites>\ngrid Sprite grid 100 100\n";
    for (int p = 1; p <= 5; ++p) {
        m << "TrayPiece_" << p << " Sprite tray 600 " << 80 + 80 * p << "\n";
        m << "Piece_" << p << " Sprite piece" << p << " -500 -500\n";
    }
    m << "Gem_2 Sprite tray 200 200\nIncorrectAnswer Sprite tray 400 20\n"
         "doorLeft AnimateSprite tray 0 0 1 1 0\ndoorRight AnimateSprite tray 770 0 1 1 0\n"
         "CloseButton ButtonSprite tray 700 550 1 1 0 0 0 1\n<end>\n";
    return m.str();
}

class InlayTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        data.picture("grid", 210, 210, 0xFF403020u);
        data.picture("tray", 30, 30, 0xFF808080u);
        for (int p = 1; p <= 5; ++p)
            data.picture("piece" + std::to_string(p), 42 * kSizes[p][0] - 8, 42 * kSizes[p][1] - 8, 0xFF20A0E0u);
        SceneSetup scene;
        scene.index = kInlayRoom;
        scene.className = "Inlay";
        scene.manifest = definition();
        scene.callbacks = {"onWin"};
        gametest::GameOptions options;
        options.gameScript = "function LF_setCurrentInlayPuzzle(p) record('LF_setCurrentInlayPuzzle', p) end\n"
                             "function LF_solvedCaveMazePuzzle_2() return false end\n"
                             "function LF_gemTakenFromInlay_2() return false end\n";
        ASSERT_TRUE(startScene(scene, options));
        inlay = static_cast<Inlay*>(room(kInlayRoom));
        ASSERT_TRUE(inlay->isInstanceOf("Inlay"));
        enter(kInlayRoom);
        EXPECT_EQ("true", runLua(inlay, "return self:setPlaying(true)"));
    }
    virtual std::string definition() { return inlayManifest(); }
    // Picks piece p up from the tray and drops it with its top-left corner
    // at (left, top).
    void drop(int p, int left, int top)
    {
        world.click(615, 95 + 80 * p);
        ASSERT_EQ(p - 1, inlay->getHeld());
        const int x = left + (42 * kSizes[p][0] - 8) / 2;
        const int y = top + (42 * kSizes[p][1] - 8) / 2;
        world.mouseMove(x, y);
        world.click(x, y);
    }
    void dropOnCell(int p, int cell) { drop(p, kGrid + 42 * (cell % 5) + 4, kGrid + 42 * (cell / 5) + 4); }
    const Inlay::PieceInfo& piece(int p) { return inlay->getPieces()[p - 1]; }

    Inlay* inlay = nullptr;
};

TEST_F(InlayTest, DropsWithinHalfACellOfOverhangSnapAndNoPieceCollidesWithItsOwnSecondRecord)
{
    EXPECT_EQ((std::vector<std::string>{"LF_setCurrentInlayPuzzle(2)"}), calls("LF_setCurrentInlayPuzzle"));
    ASSERT_EQ(5u, inlay->getAlternative().size()) << "puzzle 2 has its second set";
    struct Case {
        int dx, dy, cell;
    };
    // Piece 3 is 34 pixels square; the grid spans 210.
    const Case cases[] = {{-21, -21, 0}, {-22, 0, -1}, {0, -22, -1}, {197, 197, 24},
                          {198, 0, -1},  {0, 198, -1}, {50, 90, 11}};
    for (const Case& c : cases) {
        inlay->setupPuzzle();
        clearRecords();
        drop(3, kGrid + c.dx, kGrid + c.dy);
        EXPECT_EQ(c.cell, piece(3).placed) << c.dx << "," << c.dy;
        EXPECT_EQ(c.cell, inlay->getAlternative()[2].placed) << "the second set follows";
        EXPECT_EQ(-1, inlay->getHeld());
        if (c.cell < 0) {
            EXPECT_TRUE(piece(3).tray->isVisible());
            EXPECT_FALSE(piece(3).grid->isVisible());
            EXPECT_EQ((std::vector<int>{Inlay::SOUND_PICKED_UP, Inlay::SOUND_BACK_TO_TRAY}), soundsPlayed());
        } else {
            EXPECT_EQ(kGrid + 42 * (c.cell % 5) + 4, piece(3).grid->left());
            EXPECT_EQ(kGrid + 42 * (c.cell / 5) + 4, piece(3).grid->top());
            EXPECT_EQ((std::vector<int>{Inlay::SOUND_PICKED_UP, Inlay::SOUND_PLACED}), soundsPlayed());
        }
    }
    EXPECT_FALSE(inlay->getSprite("IncorrectAnswer")->isVisible());
}

TEST_F(InlayTest, ADropOnAPlacedPieceShowsTheWrongAnswerSixteenFramesAndGoesBack)
{
    dropOnCell(4, 6);
    ASSERT_EQ(6, piece(4).placed);
    clearRecords();
    dropOnCell(3, 12);
    EXPECT_EQ(-1, piece(3).placed);
    EXPECT_TRUE(piece(3).tray->isVisible());
    EXPECT_EQ((std::vector<int>{Inlay::SOUND_PICKED_UP, Inlay::SOUND_BACK_TO_TRAY}), soundsPlayed());
    sprite::SpriteBase* wrong = inlay->getSprite("IncorrectAnswer");
    EXPECT_TRUE(wrong->isVisible());
    frames(14);
    EXPECT_TRUE(wrong->isVisible());
    frames(1);
    EXPECT_FALSE(wrong->isVisible());
    // A piece taken off the grid keeps its cell until it is put down.
    world.click(kGrid + 42 + 4 + 38, kGrid + 42 + 4 + 38);
    EXPECT_EQ(3, inlay->getHeld());
    EXPECT_EQ(6, piece(4).placed);
}

TEST_F(InlayTest, EitherSetOfTargetsSolvesPuzzleTwo)
{
    for (const int* targets : {kMainTargets, kOtherTargets}) {
        inlay->setupPuzzle();
        clearCalls();
        for (int p = 1; p <= 5; ++p) {
            EXPECT_TRUE(calls("onWin").empty()) << p;
            dropOnCell(p, targets[p - 1]);
        }
        EXPECT_EQ((std::vector<std::string>{"onWin:Inlay(2)"}), calls("onWin"));
        frames(24);
        EXPECT_EQ(0, piece(1).grid->getAlpha());
        EXPECT_EQ(0, inlay->getSprite("grid")->getAlpha());
    }
}

TEST_F(InlayTest, ASolvedPuzzlesGemShowsOnEntryOnlyUntilItIsTaken)
{
    runLua(inlay, "function LF_solvedCaveMazePuzzle_2() return true end");
    for (const bool taken : {false, true}) {
        runLua(inlay, std::string("function LF_gemTakenFromInlay_2() return ") + (taken ? "true" : "false") + " end");
        sprite::SpriteBase* gem = inlay->getSprite("Gem_2");
        gem->setVisible(taken);
        inlay->onEnter();
        EXPECT_EQ(!taken, gem->isVisible()) << (taken ? "taken" : "not taken yet");
    }
}

TEST_F(InlayTest, AHeldPieceIsPutDownByAReleaseLateOrFarEnoughAndByADrag)
{
    // Piece 3 is picked up by the press on its tray place.
    const struct {
        const char* what;
        int dx, dy, ms;
        bool held;
    } cases[] = {
        {"a click leaves it held", 0, 0, 0, true},
        {"released 550 ms after the press", 0, 0, 550, true},
        {"released 551 ms after the press: put down, off the grid", 0, 0, 551, false},
        {"released 100 pixels away", -60, -80, 0, true},
        {"released 101 pixels away", -101, 0, 0, false},
    };
    for (const auto& c : cases) {
        inlay->setupPuzzle();
        world.mouseDown(615, 335);
        ASSERT_EQ(2, inlay->getHeld()) << c.what;
        // The fixture's press already moved the clock on by 16 ms.
        if (c.ms > 0)
            world.tick(c.ms - 16);
        world.mouseUp(615 + c.dx, 335 + c.dy);
        EXPECT_EQ(c.held ? 2 : -1, inlay->getHeld()) << c.what;
        EXPECT_EQ(-1, piece(3).placed) << c.what;
    }
    // Dragged from the tray onto cell 12 and let go there.
    inlay->setupPuzzle();
    world.mouseDown(615, 335);
    world.mouseMove(kGrid + 2 * 42 + 21, kGrid + 2 * 42 + 21);
    world.mouseUp(kGrid + 2 * 42 + 21, kGrid + 2 * 42 + 21);
    EXPECT_EQ(-1, inlay->getHeld());
    EXPECT_EQ(12, piece(3).placed);
}

TEST_F(InlayTest, TheCloseButtonZoomsBackToTheCaveMazeAndTellsTheCallBox)
{
    runLua(inlay, "rooms.CallBox = rooms.CallBox or {}\n"
                  "function rooms.CallBox.onExit(self) record('onExit:CallBox') end");
    clearCalls();
    world.click(710, 560);
    EXPECT_EQ((std::vector<std::string>{"onExit:CallBox()"}), calls("onExit:CallBox"));
    expectZoom(canvas, "+iCaveMazeDoorMask", 0, -56, 4.0f, 0.32f);
    EXPECT_EQ(Inlay::CAVE_MAZE_ROOM, canvas->getPendingRoom());
    world.stepFrames(40);
    EXPECT_EQ(Inlay::CAVE_MAZE_ROOM, canvas->getCurrentRoomIndex());
}

TEST_F(InlayTest, TheCloseButtonUsedOnceIsThereAgainOnTheNextVisit)
{
    sprite::SpriteBase* close = inlay->getSprite("CloseButton");
    world.click(710, 560);
    EXPECT_FALSE(close->isVisible()) << "it goes as the room zooms back";
    inlay->onExit();
    inlay->onEnter();
    EXPECT_TRUE(close->isVisible());
}

TEST_F(InlayTest, SetPlayingChecksItsArguments)
{
    expectLuaErrors(inlay, {{"self:setPlaying()", "too many arguments"},
                            {"self:setPlaying(true, 2)", "too many arguments"},
                            {"hv.Inlay.setPlaying({}, true)", "not a Sprite object"},
                            {"hv.Inlay.setPlaying(canvas, true)", "not a Inlay"}});
    runLua(inlay, "self:setPlaying(false)");
    world.click(615, 175);
    EXPECT_EQ(-1, inlay->getHeld());
}

// A definition cut short after puzzle 2's places, whose first piece is no
// piece of the game.
class InlayOddDataTest : public InlayTest {
protected:
    std::string definition() override { return inlayManifest(80, 40); }
};

TEST_F(InlayOddDataTest, LeavesOutPiecesItCannotFindAndPlaysTheRest)
{
    EXPECT_NE(std::string::npos, world.debugText().find("Inlay: the definition holds 80 of 112 numbers\n"));
    EXPECT_NE(std::string::npos, world.debugText().find("Inlay: puzzle 2 leaves out piece 40\n"));
    ASSERT_EQ(4u, inlay->getPieces().size());
    EXPECT_TRUE(inlay->getAlternative().empty()) << "its numbers are missing";
    EXPECT_EQ(0, inlay->getPieces()[3].target) << "a place past the list's end reads 0";
    world.click(615, 95 + 80 * 3);
    EXPECT_EQ(1, inlay->getHeld()) << "piece 3 is second of the four";
}

} // namespace
} // namespace scenetest
