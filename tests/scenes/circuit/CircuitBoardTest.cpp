// CircuitBoardTest.cpp: the circuit board close-up in the fixture game,
// opened by the canvas over room 49 and played with the mouse: the laid
// wire's lights on, no input before it has grown open, four wires solved
// (once) to "setSolvedCircuitBoard" 85 frames after the banner, a wire
// stopped by a wire told beside the board, the reset button and the close
// button, and a quick drag laying every cell it passed.
#include "scenes/circuit/CircuitBoard.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SceneFixture.h"

#include <algorithm>

namespace scenetest {
namespace {

using R = CircuitRouter;

constexpr int kHost = CircuitBoard::HOST_ROOM;
// The board is 600 x 600; grown open about (420, 310) its top-left corner
// lies here.
constexpr int kCircuitBoardLeft = 120;
constexpr int kCircuitBoardTop = 10;

constexpr int cell(int row, int column)
{
    return row * R::SIZE + column;
}

// The poles of the four wires: wire 1 is laid already from (5, 13) down to
// (17, 13).
const int kPoles[8] = {cell(1, 1), cell(1, 5), cell(5, 13), cell(17, 13), cell(9, 1), cell(9, 5), cell(21, 1), cell(21, 5)};

std::string boardManifest()
{
    std::string m = "<data>\n22";
    for (int p : kPoles)
        m += " " + std::to_string(p);
    m += "\n<sprites>\n";
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i);
        for (int side = 0; side < 2; ++side) {
            const int c = kPoles[2 * i + side];
            m += "Pole_" + n + "_" + std::to_string(side + 1) + " AnimateSprite pole " +
                 std::to_string(22 * (c % 27) + 2) + " " + std::to_string(22 * (c / 27) + 2) + " 2 1 0\n";
        }
        m += "WireHead_" + n + " AnimateSprite head 0 0 2 1 0\n";
        m += "WireHorizontal_" + n + " RectSprite 0 0 22 9 -0xff0100 0\n";
        m += "WireVertical_" + n + " RectSprite 0 0 9 22 -0xff0100 0\n";
        for (const char* corner : {"_TL", "_TR", "_BR", "_BL"})
            m += "WireCorner_" + n + corner + " RectSprite 0 0 22 22 -0xff0100 0\n";
    }
    m += "debugGrid RectSprite 0 0 600 600 -0x1000000 1\n"
         "CloseButton RectButtonSprite 560 0 40 40 1\n"
         "ResetButton RectButtonSprite 560 560 40 40 1\n"
         "Status NewFontSprite " +
         std::string(kFont) + " " + kFontGlyphs + " 640 240 1\n<end>\n";
    return m;
}

class CircuitBoardTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        framesPicture(data, "pole", 2, 22, 22);
        framesPicture(data, "head", 2, 16, 16);
        data.text("STR_CIRCUIT_STOPPED", "Stopped");
        data.manifest("cu_CircuitBoard", boardManifest());
        SceneSetup scene;
        scene.index = kHost;
        scene.className = "Room";
        scene.manifest = "<data>\n0\n<sprites>\nDimOverlay RectSprite 0 0 800 600 -0x1000000 0\n<end>\n";
        scene.callbacks = {"enterFromCircuitBoardNotSolved", "setSolvedCircuitBoard"};
        gametest::GameOptions options;
        options.canvasSprites["CircuitBoard"] = "CircuitBoard:+cu_CircuitBoard 120 10 600 600 0 0";
        options.gameScript = "function LF_showTaskCompleted() record('LF_showTaskCompleted') end\n"
                             "function LF_getShowGameInstructions(n) return false end\n";
        ASSERT_TRUE(startScene(scene, options));
        board = static_cast<CircuitBoard*>(canvas->getCloseUp(LanternfieldCanvas::CLOSE_UP_CIRCUIT_BOARD));
        ASSERT_TRUE(board->isInstanceOf("CircuitBoard"));
        ASSERT_TRUE(board->isBuilt());
        enter(kHost);
    }
    void open()
    {
        EXPECT_EQ("", runLua(room(kHost), "canvas:enterCircuitBoard()").substr(0, 6));
        ASSERT_TRUE(grown());
        EXPECT_EQ(kCircuitBoardLeft, board->left());
        EXPECT_EQ(kCircuitBoardTop, board->top());
    }
    // Whole frames, painted, until the grow transition has ended (a scale
    // transition runs once its sprite has been drawn).
    bool grown()
    {
        return painted([this] { return board->isReady() && !board->isTransitioning(); });
    }
    bool painted(const std::function<bool()>& done)
    {
        for (int i = 0; i < 100 && !done(); ++i)
            world.stepFrames(1);
        return done();
    }
    // The pole's light burns (its frames play on to the lit one).
    bool lit(const char* pole)
    {
        return static_cast<sprite::AnimateSprite*>(board->getSprite(pole))->getEndFrame() > 0;
    }
    static int screenX(int c) { return kCircuitBoardLeft + R::cellToPixelX(c); }
    static int screenY(int c) { return kCircuitBoardTop + R::cellToPixelY(c); }
    // A press on the first cell, moves through the rest, a release.
    void drag(const std::vector<int>& cells)
    {
        world.mouseDown(screenX(cells.front()), screenY(cells.front()));
        for (size_t i = 1; i < cells.size(); ++i)
            world.mouseMove(screenX(cells[i]), screenY(cells[i]));
        world.mouseUp(screenX(cells.back()), screenY(cells.back()));
    }
    // Wire 0 along row 1; wire 2 along row 9; wire 3 along row 21.
    static std::vector<int> row(int r) { return {cell(r, 1), cell(r, 2), cell(r, 3), cell(r, 4), cell(r, 5)}; }

    CircuitBoard* board = nullptr;
};

TEST_F(CircuitBoardTest, FourWiresSolveTheBoardAndItReportsAfterTheBanner)
{
    // Before the board has grown open, a press takes up nothing.
    EXPECT_EQ("", runLua(room(kHost), "canvas:enterCircuitBoard()").substr(0, 6));
    EXPECT_TRUE(board->isVisible());
    EXPECT_EQ(12, board->tileSpriteCount(R::FIXED_WIRE));
    // The laid wire looks joined: its lights burn, the others' do not.
    for (const char* pole : {"Pole_1_1", "Pole_1_2"})
        EXPECT_TRUE(lit(pole)) << pole;
    for (const char* pole : {"Pole_0_1", "Pole_0_2", "Pole_2_1", "Pole_3_2"})
        EXPECT_FALSE(lit(pole)) << pole;
    EXPECT_FALSE(board->canAcceptInput());
    ASSERT_TRUE(grown());
    clearRecords();
    drag(row(1));
    EXPECT_EQ(4, board->tileSpriteCount(0));
    EXPECT_TRUE(board->router().isWireComplete(0));
    std::vector<int> sounds = soundsPlayed();
    EXPECT_EQ((std::vector<int>{CircuitBoard::SOUND_DRAG_START, CircuitBoard::SOUND_DRAG_END,
                                CircuitBoard::SOUND_WIRE_DONE}),
              sounds);
    // Every joined pair shows lit together, frame after frame: the laid
    // wire's lights and the lights of the wire just joined.
    for (int f = 0; f < 2; ++f) {
        world.stepFrames(1);
        for (const char* pole : {"Pole_0_1", "Pole_0_2", "Pole_1_1", "Pole_1_2"})
            EXPECT_EQ(1, static_cast<sprite::AnimateSprite*>(board->getSprite(pole))->getFrame()) << pole << " " << f;
    }
    drag(row(9));
    clearRecords();
    clearCalls();
    drag(row(21));
    EXPECT_TRUE(board->router().allWiresComplete());
    sounds = soundsPlayed();
    EXPECT_EQ((std::vector<int>{CircuitBoard::SOUND_DRAG_START, CircuitBoard::SOUND_DRAG_END,
                                CircuitBoard::SOUND_WIRE_DONE, CircuitBoard::SOUND_SOLVED}),
              sounds);
    EXPECT_EQ((std::vector<std::string>{"LF_showTaskCompleted()"}), calls("LF_show"));
    EXPECT_TRUE(calls("setSolved").empty());
    // The banner's wait still takes presses: one starts a drag.
    clearRecords();
    world.mouseDown(screenX(cell(9, 5)), screenY(cell(9, 5)));
    world.mouseUp(screenX(cell(9, 5)), screenY(cell(9, 5)));
    const std::vector<int> taken = soundsPlayed();
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(CircuitBoard::SOUND_DRAG_START, taken.front());
    // That press took wire 2 up: laid again during the wait, it completes
    // the board once more, but the board is solved once.
    clearRecords();
    drag(row(9));
    ASSERT_TRUE(board->router().allWiresComplete());
    sounds = soundsPlayed();
    EXPECT_EQ(0, std::count(sounds.begin(), sounds.end(), CircuitBoard::SOUND_SOLVED));
    EXPECT_EQ(1u, calls("LF_show").size());
    // The board reports and shrinks 85 frames after the solving move (a few
    // of which ran with the mouse events).
    const int waitLeft = board->getSprite("WireHorizontal_0")->getMoveSteps();
    EXPECT_GE(waitLeft, CircuitBoard::SOLVED_WAIT - 4);
    ASSERT_TRUE(stepUntil([this] { return !calls("setSolved").empty(); }));
    EXPECT_EQ(waitLeft, framesRun) << "the report comes with the wait's last step";
    const std::string host = LanternfieldCanvas::kRoomNames[kHost];
    EXPECT_EQ((std::vector<std::string>{"setSolvedCircuitBoard:" + host + "(1)"}), calls("setSolved"));
    ASSERT_TRUE(painted([this] { return !board->isVisible(); }));
    EXPECT_FALSE(canvas->isPuzzleActive());
}

TEST_F(CircuitBoardTest, ResetAndCloseStartTheWiresAfresh)
{
    open();
    drag(row(1));
    world.mouseDown(screenX(cell(9, 1)), screenY(cell(9, 1)));
    world.mouseMove(screenX(cell(9, 2)), screenY(cell(9, 2)));
    world.mouseUp(screenX(cell(9, 2)), screenY(cell(9, 2)));
    ASSERT_EQ(4, board->tileSpriteCount(0));
    ASSERT_EQ(1, board->tileSpriteCount(2));
    // A press on the head takes the wire up where it ended.
    world.mouseDown(screenX(cell(9, 2)), screenY(cell(9, 2)));
    EXPECT_EQ(2, board->router().getCurrentWire());
    world.mouseMove(screenX(cell(9, 3)), screenY(cell(9, 3)));
    world.mouseUp(screenX(cell(9, 3)), screenY(cell(9, 3)));
    EXPECT_EQ(2, board->tileSpriteCount(2));
    // Led on into the laid wire it stops, and the line beside the board
    // says why until the wire moves again.
    auto* line = static_cast<sprite::NewFontSprite*>(board->getSprite("Status"));
    world.mouseDown(screenX(cell(9, 5)), screenY(cell(9, 5)));
    for (int column = 6; column <= 13; ++column)
        world.mouseMove(screenX(cell(9, column)), screenY(cell(9, column)));
    EXPECT_EQ(cell(9, 12), board->router().wire(2).headCell);
    EXPECT_TRUE(line->isVisible());
    EXPECT_STREQ("Stopped", line->getText().c_str());
    world.mouseMove(screenX(cell(9, 11)), screenY(cell(9, 11)));
    world.mouseUp(screenX(cell(9, 11)), screenY(cell(9, 11)));
    EXPECT_FALSE(line->isVisible());

    world.click(kCircuitBoardLeft + 580, kCircuitBoardTop + 580);
    EXPECT_EQ(0, board->tileSpriteCount(0)) << "the reset button clears the drawn wires";
    EXPECT_EQ(0, board->tileSpriteCount(2));
    EXPECT_EQ(12, board->tileSpriteCount(R::FIXED_WIRE)) << "and lays the fixed wire again";
    EXPECT_EQ(R::OPEN, board->router().gridAt(cell(1, 1)));

    drag(row(1));
    clearCalls();
    world.click(kCircuitBoardLeft + 580, kCircuitBoardTop + 20);
    const std::string host = LanternfieldCanvas::kRoomNames[kHost];
    EXPECT_EQ((std::vector<std::string>{"enterFromCircuitBoardNotSolved:" + host + "(1)"}), calls("enterFrom"));
    ASSERT_TRUE(painted([this] { return !board->isVisible(); }));
    open();
    EXPECT_EQ(0, board->tileSpriteCount(0)) << "the next opening starts afresh";
    // A quick drag, one move from pole to pole, lays every cell it passed.
    drag({cell(1, 1), cell(1, 5)});
    EXPECT_EQ(4, board->tileSpriteCount(0));
    EXPECT_TRUE(board->router().isWireComplete(0));
}

} // namespace
} // namespace scenetest
