// SafeCrackTest.cpp: the safe-lock close-up over the study in the fixture
// game, opened and closed through the canvas's hooks: the track's limits and
// the junctions, the axis of a drag, the drop at 48 pixels, a slow drag past
// the junctions, a whole solve and the unlock chain's timing, closing, and
// the line that counts the pieces across, says a pull went nowhere and the
// lock is open.
#include "scenes/safecrack/SafeCrack.h"

#include "game/rooms/Room.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/PointerEvents.h"
#include "tests/scenes/support/SceneFixture.h"

#include <string>
#include <utility>
#include <vector>

namespace scenetest {
namespace {

constexpr int kStudy = 51;
// The pieces are a little smaller than the cells, so a point 55 pixels
// inside a cell's place is on its piece.
constexpr int kPiece = 110;
constexpr int kInside = 55;

class SafeCrackTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        framesPicture(data, "piece1", 2, kPiece, kPiece);
        framesPicture(data, "piece2", 2, kPiece, kPiece);
        data.picture("piston", 20, 20, 0xFF909090u);
        data.picture("button", 40, 40, 0xFF808080u);
        std::string sprites;
        for (int type = 1; type <= 2; ++type) {
            for (int i : rows)
                sprites += "PieceType_" + std::to_string(type) + "_" + std::to_string(i) + " ButtonSprite piece" +
                           std::to_string(type) + " 0 0 2 1 1 0 0\n";
        }
        if (withProgress) {
            sprites += std::string("Progress NewFontSprite ") + kFont + " " + kFontGlyphs + " 300 80 1\n";
            data.text("STR_SAFE_PROGRESS", "Across: %1 of %2");
            data.text("STR_SAFE_BLOCKED", "Not that way");
            data.text("STR_SAFE_OPEN", "Open!");
        }
        for (int i = 0; i < 8; ++i)
            sprites += "piston" + std::to_string(i) + " Sprite piston 0 0\n";
        // The data enable the close button: the close-up never does.
        sprites += "CloseButton ButtonSprite button 840 10 1 1 0 0 0 1\n"
                   "ResetButton ButtonSprite button 840 60 1 1 0 0 0\n"
                   "DummySprite BoundsSprite -500 -500 1 1\n";
        data.manifest("safecrack", "<sprites>\n" + sprites + "<end>\n");
        gametest::GameOptions options;
        options.canvasSprites["SafeCrack"] = "SafeCrack:+safecrack 0 0 908 670 0 0";
        options.gameScript = "function LF_setWonSafeCrack(n) record('LF_setWonSafeCrack', n) end\n"
                             "function LF_showTaskCompleted() record('LF_showTaskCompleted') end\n";
        SceneSetup study;
        study.index = kStudy;
        study.className = "Room";
        study.manifest = "<data>\n0\n<sprites>\nDimOverlay BoundsSprite 0 0 800 600\n<end>\n";
        study.callbacks = {"closeSafeCrack", "setRoomState"};
        ASSERT_TRUE(startScene(study, options));
        safe = static_cast<SafeCrack*>(canvas->getCloseUp(6));
        ASSERT_TRUE(safe && safe->isInstanceOf("SafeCrack"));
        enter(kStudy);
        open();
    }
    // Opens the safe as the canvas's "enterSafeCrack" does and waits for
    // the grow to end.
    void open()
    {
        ASSERT_NE(nullptr, LanternfieldCanvas::sceneHooks.openSafeCrack);
        LanternfieldCanvas::sceneHooks.openSafeCrack(safe, room(kStudy));
        ASSERT_TRUE(safe->isVisible());
        ASSERT_FALSE(safe->isInputEnabled()) << "growing";
        for (int i = 0; i < 30 && !safe->isInputEnabled(); ++i)
            world.stepFrames(1);
        ASSERT_TRUE(safe->isInputEnabled());
    }
    // The close-up's local point in its parent's frame, as events give it.
    Point at(int x, int y)
    {
        int dx = 0;
        int dy = 0;
        safe->toLocal(dx, dy);
        return {x - dx, y - dy};
    }
    // A point on the piece standing on the cell, and the same point when
    // the piece stands on another cell.
    static int xIn(int cell) { return SafeCrack::xOfColumn(cell % 5) + kInside; }
    static int yIn(int cell) { return SafeCrack::yOfRow(cell / 5) + kInside; }
    void pressCell(int cell)
    {
        const Point p = at(xIn(cell), yIn(cell));
        press(safe, p.x, p.y);
    }
    void moveLocal(int x, int y)
    {
        const Point p = at(x, y);
        move(safe, p.x, p.y);
    }
    void releaseLocal(int x, int y)
    {
        const Point p = at(x, y);
        release(safe, p.x, p.y);
    }
    // Drags the piece on `from` straight to `to`, letting go `shortBy`
    // pixels before the place, so that it drops there (with 0 it settles
    // there on the move, and nothing is left to drop).
    void slide(int from, int to, int shortBy = 30)
    {
        const int dx = (to % 5 - from % 5) * SafeCrack::PITCH;
        const int dy = (to / 5 - from / 5) * SafeCrack::PITCH;
        const int x = xIn(from) + dx - (dx > 0 ? shortBy : dx < 0 ? -shortBy : 0);
        const int y = yIn(from) + dy - (dy > 0 ? shortBy : dy < 0 ? -shortBy : 0);
        pressCell(from);
        moveLocal(x, y);
        releaseLocal(x, y);
    }
    int pieceOn(int cell)
    {
        for (size_t i = 0; i < safe->getPieces().size(); ++i) {
            if (safe->getPieces()[i].sprite && safe->getPieces()[i].cell == cell)
                return int(i);
        }
        return -1;
    }

    SafeCrack* safe = nullptr;
    // The rows whose pieces the definition gives, and its progress line.
    std::vector<int> rows = {0, 1, 2, 3};
    bool withProgress = false;
};

// The lock with the pieces of its two middle rows only, and its line that
// counts the pieces across.
class SafeCrackTwoRowsTest : public SafeCrackTest {
protected:
    SafeCrackTwoRowsTest()
    {
        rows = {1, 2};
        withProgress = true;
    }
    std::string progress()
    {
        return static_cast<sprite::NewFontSprite*>(safe->getSprite("Progress"))->getText().c_str();
    }
};

TEST_F(SafeCrackTest, TheTrackGivesEachPieceItsRoad)
{
    // From the left column into row 2 and on to the junction in the middle.
    slide(10, 12);
    ASSERT_EQ(2, pieceOn(12));
    const struct {
        const char* what;
        int cell;
        int lowestX;
        int highestX;
        int lowestY;
        int highestY;
    } cases[] = {
        {"the junction: all of row 2 up to the right column's piece, and up to 7 only", 12, 49, 409, 149, 269},
        {"the top of the left column: held by the piece below", 0, 49, 49, 29, 29},
        {"the bottom of the left column: up into the freed junction", 15, 49, 49, 269, 389},
        {"the right column's middle: nowhere to go", 9, 529, 529, 149, 149},
    };
    for (const auto& c : cases) {
        pressCell(c.cell);
        ASSERT_EQ(pieceOn(c.cell), safe->getDraggedPiece()) << c.what;
        EXPECT_EQ(c.lowestX, safe->getLowestX()) << c.what;
        EXPECT_EQ(c.highestX, safe->getHighestX()) << c.what;
        EXPECT_EQ(c.lowestY, safe->getLowestY()) << c.what;
        EXPECT_EQ(c.highestY, safe->getHighestY()) << c.what;
        releaseLocal(xIn(c.cell), yIn(c.cell));
    }
    // Up from the junction to 7 and back: column 2 has no other cell.
    slide(12, 7);
    EXPECT_EQ(2, pieceOn(7));
    pressCell(7);
    EXPECT_EQ(SafeCrack::yOfRow(2), safe->getHighestY()) << "down to 12 only";
    EXPECT_EQ(SafeCrack::yOfRow(1), safe->getLowestY());
    EXPECT_EQ(SafeCrack::xOfColumn(2), safe->getHighestX());
    releaseLocal(xIn(7), yIn(7));
}

TEST_F(SafeCrackTest, TheAxisOfADragAndWhereItDrops)
{
    const struct {
        const char* what;
        int cell;
        int dx;
        int dy;
        int left;
        int top;
        int dropped;
        bool sound;
    } cases[] = {
        {"48 pixels past a place snap back", 10, 48, 2, 49, 269, 10, true},
        {"49 pixels go on", 10, 49, 2, 169, 269, 11, true},
        {"exactly diagonal decides nothing", 10, 30, 30, 49, 269, 10, false},
        {"an axis the cell does not allow is not taken", 0, 30, 5, 49, 29, 0, false},
        {"a press and release without a move", 10, 0, 0, 49, 269, 10, false},
    };
    for (const auto& c : cases) {
        canvas->clearRecords();
        pressCell(c.cell);
        moveLocal(xIn(c.cell) + c.dx, yIn(c.cell) + c.dy);
        releaseLocal(xIn(c.cell) + c.dx, yIn(c.cell) + c.dy);
        const SafeCrack::Piece& piece = safe->getPieces()[size_t(pieceOn(c.dropped))];
        EXPECT_EQ(c.left, piece.sprite->left()) << c.what;
        EXPECT_EQ(c.top, piece.sprite->top()) << c.what;
        const int type = piece.type;
        std::vector<int> sounds = {type == 1 ? SafeCrack::SOUND_PICK_UP_1 : SafeCrack::SOUND_PICK_UP_2};
        if (c.sound)
            sounds.push_back(SafeCrack::SOUND_DROP);
        EXPECT_EQ(sounds, soundsPlayed()) << c.what;
        // Each case starts from home again.
        safe->setupPieces();
    }
}

TEST_F(SafeCrackTest, ASlowDragTurnsAtTheJunctionsAndGoesOn)
{
    // Five pixels a move: right along row 2 to the middle, then up to 7.
    pressCell(10);
    int x = xIn(10);
    int y = yIn(10);
    for (; x < xIn(12); x += 5)
        moveLocal(x, y);
    for (; y > yIn(7) - 40; y -= 5)
        moveLocal(x, y);
    releaseLocal(x, y);
    EXPECT_EQ(2, pieceOn(7)) << "a piece settled on a junction moves on from it";
}

TEST_F(SafeCrackTest, AWholeSolveOpensTheLockAndClosesTheSafe)
{
    // The shortest solve, one straight slide at a time.
    const std::pair<int, int> moves[] = {
        {10, 12}, {12, 7},  {14, 10}, {9, 14},  {14, 11}, {7, 12},  {12, 14}, {14, 9},  {11, 14}, {10, 13}, {5, 10},
        {10, 12}, {12, 7},  {13, 10}, {10, 5},  {14, 10}, {19, 14}, {14, 11}, {9, 14},  {7, 12},  {14, 13}, {4, 19},
        {13, 14}, {14, 4},  {12, 14}, {14, 9},  {11, 14}, {10, 13}, {15, 10}, {10, 12}, {5, 10},  {12, 7},  {10, 11},
        {0, 15},  {11, 10}, {10, 0},  {13, 10}, {10, 5},  {14, 10}, {19, 14}, {14, 11}, {7, 12},  {12, 14}, {14, 19},
        {11, 14}, {10, 13}, {15, 10}, {10, 12}, {12, 7},  {13, 10}, {10, 15}, {14, 10}, {7, 12},  {12, 14},
    };
    clearCalls();
    for (const auto& m : moves) {
        const int piece = pieceOn(m.first);
        ASSERT_GE(piece, 0) << m.first;
        // The last slide ends right on its place: the lock opens all the same.
        slide(m.first, m.second, &m == std::end(moves) - 1 ? 0 : 30);
        ASSERT_EQ(piece, pieceOn(m.second)) << m.first << " to " << m.second;
    }
    ASSERT_TRUE(safe->isWon());
    EXPECT_EQ((std::vector<std::string>{"LF_setWonSafeCrack(1)"}), calls("LF_setWon"));
    EXPECT_FALSE(safe->getSprite("CloseButton")->isVisible());
    EXPECT_FALSE(safe->isInputEnabled());
    // Stage 1, a 12-frame wait, stage 2, a 24-frame wait, the banner for
    // 101 frames (a move of n steps ends in its n-th frame or the one
    // before).
    ASSERT_TRUE(stepUntil([this] { return !calls("LF_showTaskCompleted").empty(); }, 200));
    EXPECT_GE(framesRun, 24 + 12 + 24 + 24 - 4);
    EXPECT_LE(framesRun, 24 + 12 + 24 + 24 + 4);
    EXPECT_EQ(421, safe->getSprite("piston2")->left()) << "stage 2 open";
    EXPECT_EQ(375, safe->getSprite("piston6")->top()) << "stage 1 open";
    ASSERT_TRUE(stepUntil([this] { return !calls("setRoomState").empty(); }, 200));
    EXPECT_GE(framesRun, 100);
    EXPECT_LE(framesRun, 102);
    EXPECT_EQ((std::vector<std::string>{"setRoomState:MansionStudy(1)"}), calls("setRoomState"));
    EXPECT_TRUE(safe->isClosing());
    for (int i = 0; i < 30 && safe->isVisible(); ++i)
        world.stepFrames(1);
    EXPECT_FALSE(safe->isVisible());
    EXPECT_FALSE(room(kStudy)->getSprite("DimOverlay")->isVisible());
}

TEST_F(SafeCrackTest, TheCloseButtonAndTheCanvasCloseIt)
{
    clearCalls();
    // Closed with the hand over its button, it leaves the normal cursor.
    canvas->setCursor(LanternfieldCanvas::CURSOR_HAND, false);
    const Point close = at(845, 15);
    press(safe, close.x, close.y);
    EXPECT_EQ((std::vector<std::string>{"closeSafeCrack:MansionStudy(1)"}), calls("closeSafeCrack"));
    EXPECT_TRUE(safe->isClosing());
    EXPECT_EQ(LanternfieldCanvas::CURSOR_NORMAL, canvas->getCurrentCursor());
    for (int i = 0; i < 30 && safe->isVisible(); ++i)
        world.stepFrames(1);
    EXPECT_FALSE(safe->isVisible());
    // Opened again: the pieces are home, and the canvas's close shrinks it.
    open();
    EXPECT_EQ(0, pieceOn(0));
    LanternfieldCanvas::sceneHooks.closeSafeCrack(safe);
    EXPECT_TRUE(safe->isClosing());
    EXPECT_TRUE(calls("setRoomState").empty());
}

TEST_F(SafeCrackTwoRowsTest, FewerPiecesOpenTheLockAndTheLineCountsThemAcross)
{
    EXPECT_EQ(4, safe->piecesOnTrack());
    EXPECT_EQ("Across: 0 of 4", progress());
    EXPECT_EQ(-1, pieceOn(0)) << "the rows left out stay empty";
    // A piece pulled across where its track runs up and down stays, and the
    // line says so until the next slide.
    const int pulled = pieceOn(5);
    pressCell(5);
    moveLocal(xIn(5) + 40, yIn(5) + 3);
    releaseLocal(xIn(5) + 40, yIn(5) + 3);
    EXPECT_EQ(pulled, pieceOn(5));
    EXPECT_EQ("Not that way", progress());
    // The shortest solve: the column ends are sidings now.
    const std::pair<int, int> moves[] = {{10, 12}, {12, 7}, {14, 10}, {10, 15}, {5, 10}, {10, 14},
                                         {14, 19}, {9, 14}, {14, 10}, {7, 12}, {12, 14}};
    const char* const counts[] = {"Across: 0 of 4", "Across: 0 of 4", "Across: 1 of 4", "Across: 1 of 4",
                                  "Across: 1 of 4", "Across: 2 of 4", "Across: 2 of 4", "Across: 2 of 4",
                                  "Across: 3 of 4", "Across: 3 of 4", "Open!"};
    clearCalls();
    for (size_t i = 0; i < std::size(moves); ++i) {
        const int piece = pieceOn(moves[i].first);
        ASSERT_GE(piece, 0) << moves[i].first;
        slide(moves[i].first, moves[i].second);
        ASSERT_EQ(piece, pieceOn(moves[i].second)) << moves[i].first << " to " << moves[i].second;
        EXPECT_EQ(counts[i], progress()) << "after the slide to " << moves[i].second;
    }
    EXPECT_TRUE(safe->isWon());
    EXPECT_EQ((std::vector<std::string>{"LF_setWonSafeCrack(1)"}), calls("LF_setWon"));
    // Laid out again, the count starts afresh.
    safe->setupPieces();
    EXPECT_EQ("Across: 0 of 4", progress());
}

} // namespace
} // namespace scenetest
