// TicTacGameTest.cpp: the noughts-and-crosses room in the fixture game,
// driven by clicks and frames: a scripted game to the first won game, the
// scoring animation's timing and sounds, the end of a game and who starts
// the next, a visit left during a scoring, the difficulty kept across
// visits, the clicks that play and those that do not, and the Lua face.
#include "scenes/tictac/TicTac.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "tests/scenes/support/SceneFixture.h"

#include <algorithm>

namespace scenetest {
namespace {

constexpr int kRoom = 52;
constexpr int kPiece = 60;

// The middle of the cell of row r, column c, as the board places it.
int cellX(int c)
{
    return 240 + 80 * c;
}

int cellY(int r)
{
    return 150 + 80 * r;
}

std::string manifest()
{
    std::string m = "<data>\n1\n<sprites>\n"
                    "Door0 DoorSprite 0 520 80 80 1 52 6 44\n"
                    "Prototype_X AnimateSprite xpiece -300 0 4 1 0\n"
                    "Prototype_O AnimateSprite opiece -300 0 4 1 0\n"
                    "Rollover Sprite rollover 0 0\n"
                    "FloatingNumbers AnimateSprite points 0 0 10 1 -1\n"
                    "Wins AnimateSprite wins 600 540 3 1 0\n";
    return m + turnLabelSprites() + "<end>\n";
}

class TicTacGameTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        framesPicture(data, "xpiece", 4, kPiece, kPiece);
        framesPicture(data, "opiece", 4, kPiece, kPiece);
        data.picture("rollover", kPiece, kPiece, 0x80FFFFFFu);
        framesPicture(data, "points", 10, 40, 30);
        framesPicture(data, "wins", 3, 90, 30);
        turnLabelData(data);
        SceneSetup scene;
        scene.index = kRoom;
        scene.className = "TicTac";
        scene.manifest = manifest();
        scene.callbacks = {"winGame1Scene", "winGame2Scene", "solvedGameScene", "loseGameScene", "tieGameScene",
                           "playerTurn",    "squareNotFree"};
        gametest::GameOptions options;
        options.gameScript = "LF.ticTacRound = 0\n"
                             "function LF_getTicTacRoundNumber() record('LF_getTicTacRoundNumber') "
                             "return LF.ticTacRound end\n"
                             "function LF_setTicTacRoundNumber(n) record('LF_setTicTacRoundNumber', n) "
                             "LF.ticTacRound = n end\n";
        ASSERT_TRUE(startScene(scene, options));
        game = static_cast<TicTac*>(room(kRoom));
        ASSERT_TRUE(game->isInstanceOf("TicTac"));
        // Ties go to the first cell worth as much in row 0 or column 0.
        game->setTieDraw([] { return 0.0; });
    }
    bool inState(int state) { return game->getState() == state; }
    // Enters the room and waits for the computer's first move, then for the
    // player's turn.
    void enterToPlayersTurn()
    {
        enter(kRoom);
        ASSERT_TRUE(stepUntil([this] { return inState(TicTac::STATE_PLAYER_TURN); }));
    }
    void clickCell(int cell) { world.click(cellX(cell % 5), cellY(cell / 5)); }
    // Every empty cell but `keep` taken by the computer's marks, leaving
    // no run for the player through `keep`.
    void fillBoardBut(std::initializer_list<int> keep)
    {
        for (int i = 0; i < TicTacBoard::CELLS; ++i) {
            if (game->board().at(i) == TicTacBoard::EMPTY && std::find(keep.begin(), keep.end(), i) == keep.end())
                game->board().set(i, TicTacBoard::BLOCKED);
        }
    }

    TicTac* game = nullptr;
};

TEST_F(TicTacGameTest, AScriptedGameToTheFirstWonGame)
{
    enterToPlayersTurn();
    EXPECT_EQ((std::vector<std::string>{"LF_getTicTacRoundNumber()"}), calls("LF_get"));
    EXPECT_EQ(0, game->getLevel());
    EXPECT_FALSE(game->didPlayerStart()) << "the computer opens the first game";
    EXPECT_TRUE(world.debugText().find("STATE: AI TURN 1\n") != std::string::npos);
    EXPECT_TRUE(world.debugText().find("STATE: PLAYER TURN\n") != std::string::npos);
    // The player fills row 3, then row 1, then anything; the weakest
    // opponent mostly keeps to row 0 and column 0.
    const int preference[] = {16, 17, 18, 19, 15, 6, 7, 8, 9, 5, 1, 2, 3, 4, 10, 11, 13, 14, 21, 22, 23, 24};
    while (calls("winGame").empty() && calls("loseGame").empty() && calls("tieGame").empty()) {
        ASSERT_TRUE(stepUntil([this] {
            return inState(TicTac::STATE_PLAYER_TURN) || inState(TicTac::STATE_PLAYER_WON) ||
                   inState(TicTac::STATE_COMPUTER_WON) || inState(TicTac::STATE_TIE);
        }));
        if (!inState(TicTac::STATE_PLAYER_TURN))
            break;
        const int* next = std::find_if(std::begin(preference), std::end(preference),
                                       [this](int cell) { return game->board().at(cell) == TicTacBoard::EMPTY; });
        ASSERT_NE(std::end(preference), next);
        clickCell(*next);
        EXPECT_EQ(TicTacBoard::PLAYER, game->board().at(*next));
    }
    EXPECT_TRUE(game->board().isFull());
    EXPECT_GT(game->getPlayerScore(), game->getAIScore());
    EXPECT_EQ((std::vector<std::string>{"winGame1Scene:TicTac(1)"}), calls("winGame"));
    EXPECT_EQ((std::vector<std::string>{"LF_setTicTacRoundNumber(1)"}), calls("LF_set"));
    EXPECT_EQ(1, game->getRound());
    EXPECT_EQ(1, game->getLevel());
    EXPECT_FALSE(game->isPlayerTurn()) << "the loser starts the next game";
    auto* wins = static_cast<sprite::AnimateSprite*>(game->getSprite("Wins"));
    EXPECT_FALSE(wins->isVisible());
    frames(65);
    EXPECT_TRUE(wins->isVisible());
    EXPECT_EQ(0, wins->getFrame());
    EXPECT_TRUE(sprite::ButtonMixin::fromSprite(game->getSprite("CloseButton"))->isEnabled());
}

TEST_F(TicTacGameTest, AScoringMoveHighlightsBlinksFloatsAndCountsItsPoints)
{
    enterToPlayersTurn();
    // Two O in row 1 beside an empty (1, 3); the computer has played elsewhere.
    const int a = 6, b = 7, played = 8;
    for (int cell : {a, b, played})
        ASSERT_EQ(TicTacBoard::EMPTY, game->board().at(cell));
    game->board().set(a, TicTacBoard::PLAYER);
    game->board().set(b, TicTacBoard::PLAYER);
    clearRecords();
    const int before = canvas->getFrameCounter();
    clickCell(played);
    auto frameAfter = [&](int n) {
        ASSERT_TRUE(stepUntil([&] { return canvas->getFrameCounter() >= before + n; }));
    };
    sprite::AnimateSprite* piece = game->getOPiece(played);
    auto* floating = static_cast<sprite::AnimateSprite*>(game->getSprite("FloatingNumbers"));
    EXPECT_TRUE(piece->isVisible());
    EXPECT_EQ(2, game->getPlayerScore());
    EXPECT_EQ(1, floating->getFrame()) << "frame n - 1 shows n points";
    EXPECT_EQ(3u, game->getScoredCells().size());
    frameAfter(9);
    EXPECT_EQ(2, piece->getFrame()) << "the placing animation stops short of the last frame";
    EXPECT_FALSE(floating->isVisible());
    // The highlight: the last frame 10, 5 plain, 10, 5 plain, 10, then plain.
    const struct {
        int frame;
        int look;
    } blink[] = {{10, 3}, {19, 3}, {20, 2}, {24, 2}, {25, 3}, {35, 2}, {40, 3}, {50, 2}, {80, 2}};
    for (const auto& step : blink) {
        frameAfter(step.frame);
        EXPECT_EQ(step.look, piece->getFrame()) << "frame " << step.frame;
        EXPECT_EQ(step.look, game->getOPiece(a)->getFrame()) << "frame " << step.frame;
        if (step.frame == 10) {
            // In the gap below and left of the piece, towards the board's middle.
            EXPECT_TRUE(floating->isVisible());
            EXPECT_EQ(piece->left() + piece->width() / 2 - 40, floating->left() + floating->width() / 2);
            EXPECT_EQ(piece->top() + piece->height() / 2 + 40, floating->top() + floating->height() / 2);
            EXPECT_EQ(0u, game->getScoredCells().size());
            EXPECT_EQ((std::vector<int>{TicTac::SOUND_PIECE_PLACED, TicTac::SOUND_PLAYER_RUN}), soundsPlayed());
        }
    }
    // The floating points grew, flew into the player's score and were counted.
    EXPECT_FALSE(floating->isVisible());
    const util::RectangleNM score = *game->getSprite("PlayerScore")->getBounds();
    EXPECT_EQ(score.x + (score.width - floating->width()) / 2, floating->left());
    EXPECT_EQ(score.y + (score.height - floating->height()) / 2, floating->top());
    EXPECT_DOUBLE_EQ(1.0, floating->getScaleX());
    const std::vector<int> sounds = soundsPlayed();
    EXPECT_EQ(1, std::count(sounds.begin(), sounds.end(), TicTac::SOUND_PLAYER_SCORES));
    EXPECT_FALSE(game->isPlayerTurn()) << "the turn passed on";
    EXPECT_EQ(0.0, game->getSlackAdjust()) << "a scoring move leaves the difficulty alone";
}

TEST_F(TicTacGameTest, LeavingDuringAScoringStartsTheNextVisitAfreshWithTheSameSide)
{
    enterToPlayersTurn();
    game->board().set(6, TicTacBoard::PLAYER);
    game->board().set(7, TicTacBoard::PLAYER);
    clickCell(8);
    frames(3);
    ASSERT_EQ(3u, game->getScoredCells().size()) << "the run is about to light up";
    game->onExit();
    // Back again: the computer, who began the left game, begins again, and
    // no move of it comes in the player's turn.
    auto computerMarks = [this] {
        int marks = 0;
        for (int i = 0; i < TicTacBoard::CELLS; ++i)
            marks += game->board().at(i) == TicTacBoard::COMPUTER;
        return marks;
    };
    enterToPlayersTurn();
    EXPECT_FALSE(game->didPlayerStart());
    EXPECT_EQ(1, computerMarks());
    frames(150);
    EXPECT_TRUE(inState(TicTac::STATE_PLAYER_TURN));
    EXPECT_EQ(1, computerMarks());
}

// While a game runs, the lit label is always that of the side on turn: from
// the new game's layout (the computer opens the first), through each move,
// to the turn passing either way.
TEST_F(TicTacGameTest, TheLitLabelFollowsTheTurnFrameByFrame)
{
    auto lit = [this](const char* name) {
        return static_cast<sprite::AnimateSprite*>(game->getSprite(name))->getFrame() == 1;
    };
    const int running[] = {TicTac::STATE_NEW_GAME,     TicTac::STATE_PLAYER_TURN,   TicTac::STATE_PLAYER_MOVE,
                           TicTac::STATE_COMPUTER_MOVE, TicTac::STATE_COMPUTER_TURN, TicTac::STATE_NEXT_TURN};
    enter(kRoom);
    int checked = 0;
    int moves = 0;
    for (int f = 0; f < 600 && moves < 3; ++f) {
        frames(1);
        if (std::find(std::begin(running), std::end(running), game->getState()) == std::end(running))
            continue;
        ++checked;
        const bool player = game->isPlayerTurn();
        ASSERT_EQ(player, lit("PlayerTurnBG")) << "frame " << f << ", state " << game->getState();
        ASSERT_EQ(!player, lit("AITurnBG")) << "frame " << f << ", state " << game->getState();
        if (inState(TicTac::STATE_PLAYER_TURN)) {
            int cell = TicTacBoard::CELLS - 1;
            while (game->board().at(cell) != TicTacBoard::EMPTY)
                --cell;
            clickCell(cell);
            ++moves;
        }
    }
    EXPECT_EQ(3, moves);
    EXPECT_GT(checked, 100);
}

TEST_F(TicTacGameTest, TheEndOfAGameAndWhoStartsTheNext)
{
    enterToPlayersTurn();
    // A full board at 0 : 0 after the player's last move: a tie. The
    // computer opened, so the player starts the next game.
    const int last = 24;
    fillBoardBut({last});
    clearCalls();
    clickCell(last);
    frames(1);
    EXPECT_EQ((std::vector<std::string>{"tieGameScene:TicTac(1)"}), calls("tieGame"));
    EXPECT_DOUBLE_EQ(0.5, game->getSlackAdjust());
    EXPECT_TRUE(game->isPlayerTurn());
    // "startround": the player opens; the next tie gives the computer the
    // next first move.
    EXPECT_EQ("StartRound", runLua(game, "return self:setState('StartRound')")) << "its argument back";
    frames(1);
    EXPECT_TRUE(inState(TicTac::STATE_PLAYER_TURN));
    EXPECT_TRUE(game->didPlayerStart());
    fillBoardBut({last});
    clearCalls();
    clickCell(last);
    frames(1);
    EXPECT_EQ((std::vector<std::string>{"tieGameScene:TicTac(0)"}), calls("tieGame"));
    EXPECT_FALSE(game->isPlayerTurn());
    EXPECT_DOUBLE_EQ(1.0, game->getSlackAdjust());
}

TEST_F(TicTacGameTest, ALostGameRaisesTheSlackAndTheLoserStarts)
{
    enter(kRoom);
    ASSERT_TRUE(stepUntil([this] { return inState(TicTac::STATE_COMPUTER_TURN); }));
    // The computer's two X in row 1 beside an empty (1, 3), and one more
    // empty cell at (4, 4) for the player: the computer takes the row.
    game->board().set(6, TicTacBoard::COMPUTER);
    game->board().set(7, TicTacBoard::COMPUTER);
    fillBoardBut({8, 24});
    clearRecords();
    ASSERT_TRUE(stepUntil([this] { return inState(TicTac::STATE_PLAYER_TURN); }));
    EXPECT_EQ(TicTacBoard::COMPUTER, game->board().at(8));
    EXPECT_EQ(2, game->getAIScore());
    const std::vector<int> sounds = soundsPlayed();
    EXPECT_EQ(1, std::count(sounds.begin(), sounds.end(), TicTac::SOUND_COMPUTER_RUN));
    EXPECT_EQ(1, std::count(sounds.begin(), sounds.end(), TicTac::SOUND_COMPUTER_SCORES));
    clickCell(24);
    frames(1);
    EXPECT_EQ((std::vector<std::string>{"loseGameScene:TicTac(1)"}), calls("loseGame"));
    EXPECT_EQ(TicTac::SOUND_COMPUTER_WON, soundsPlayed().back());
    EXPECT_DOUBLE_EQ(0.7, game->getSlackAdjust());
    EXPECT_TRUE(game->isPlayerTurn());
    // Leaving and coming back keeps who starts and the adjustment; the
    // level follows the script's count again.
    game->onExit();
    runLua(game, "LF.ticTacRound = 2");
    game->onEnter();
    EXPECT_DOUBLE_EQ(0.7, game->getSlackAdjust());
    EXPECT_TRUE(game->didPlayerStart());
    EXPECT_EQ(2, game->getLevel());
    EXPECT_EQ(2 + 0, game->slack()) << "2 + 0.7, truncated";
}

TEST_F(TicTacGameTest, TheLevelAndTheWonGamesFollowTheScriptsCount)
{
    enterToPlayersTurn();
    auto* wins = static_cast<sprite::AnimateSprite*>(game->getSprite("Wins"));
    const struct {
        int round;
        int level;
        bool shown;
        int frame;
    } cases[] = {{0, 0, false, -1}, {-3, 0, false, -1}, {1, 1, true, 0}, {2, 2, true, 1}, {5, 2, true, 2}};
    for (const auto& c : cases) {
        runLua(game, "LF.ticTacRound = " + std::to_string(c.round) + " self:setState('start')");
        EXPECT_EQ(c.level, game->getLevel()) << c.round;
        EXPECT_EQ(c.shown, wins->isVisible()) << c.round;
        if (c.shown) {
            EXPECT_EQ(c.frame, wins->getFrame()) << c.round;
        }
        frames(1);
    }
}

TEST_F(TicTacGameTest, OnlyClicksOnEmptyCellsOfALaidOutBoardPlay)
{
    enterToPlayersTurn();
    const int before = game->getPlayerScore();
    auto count = [this](int mark) {
        int n = 0;
        for (int i = 0; i < TicTacBoard::CELLS; ++i)
            n += game->board().at(i) == mark;
        return n;
    };
    const int marks = count(TicTacBoard::PLAYER);
    world.click(620, cellY(1));
    world.click(100, cellY(1));
    world.click(cellX(2), cellY(2));
    EXPECT_EQ(marks, count(TicTacBoard::PLAYER)) << "column 5, column -1 and the blocked centre";
    EXPECT_TRUE(inState(TicTac::STATE_PLAYER_TURN));
    // With the pieces gone (as after leaving the room), a click in the idle
    // state on the player's turn plays nothing.
    game->removePieces();
    game->setState(Room::STATE_PLAYING);
    ASSERT_TRUE(game->isPlayerTurn());
    const int empty = count(TicTacBoard::EMPTY);
    world.click(cellX(4), cellY(4));
    world.click(150, cellY(3));
    EXPECT_EQ(empty, count(TicTacBoard::EMPTY));
    // Laid out again, the idle state takes the click; 50 pixels left of the
    // board still counts as column 0.
    game->resetBoard();
    world.click(150, cellY(3));
    EXPECT_EQ(TicTacBoard::PLAYER, game->board().at(15));
    EXPECT_EQ(before, game->getPlayerScore());
}

TEST_F(TicTacGameTest, TheRolloverMarksTheEmptyCellUnderThePointer)
{
    enterToPlayersTurn();
    sprite::SpriteBase* rollover = game->getSprite("Rollover");
    int empty = -1;
    int taken = -1;
    for (int i = 0; i < TicTacBoard::CELLS; ++i) {
        if (game->board().at(i) == TicTacBoard::EMPTY && empty < 0)
            empty = i;
        if (game->board().at(i) == TicTacBoard::COMPUTER)
            taken = i;
    }
    ASSERT_GE(taken, 0);
    world.mouseMove(cellX(empty % 5), cellY(empty / 5));
    EXPECT_TRUE(rollover->isVisible());
    EXPECT_EQ(game->getXPiece(empty)->left(), rollover->left());
    EXPECT_EQ(game->getXPiece(empty)->top(), rollover->top());
    world.mouseMove(cellX(taken % 5), cellY(taken / 5));
    EXPECT_FALSE(rollover->isVisible());
    world.mouseMove(700, 50);
    EXPECT_FALSE(rollover->isVisible());
}

TEST_F(TicTacGameTest, EndRoundFadesThePiecesAndTheScriptsArgumentsAreChecked)
{
    enterToPlayersTurn();
    clearRecords();
    EXPECT_EQ("EndRound", runLua(game, "return self:setState('EndRound')"));
    EXPECT_EQ((std::vector<int>{TicTac::SOUND_BOARD_CLEARED}), soundsPlayed());
    sprite::SpriteBase* played = nullptr;
    for (int i = 0; i < TicTacBoard::CELLS && !played; ++i) {
        if (game->board().at(i) == TicTacBoard::COMPUTER)
            played = game->getXPiece(i);
    }
    ASSERT_NE(nullptr, played);
    frames(12);
    EXPECT_EQ(0, played->getAlpha());
    frames(9);
    EXPECT_TRUE(inState(TicTac::STATE_END_GAME));
    frames(1);
    EXPECT_TRUE(inState(TicTac::STATE_NEW_GAME)) << "a new game 22 frames after";
    for (int i = 0; i < TicTacBoard::CELLS; ++i)
        EXPECT_NE(played, game->getXPiece(i)) << "new pieces";
    EXPECT_EQ(0, game->getAIScore());
    expectLuaErrors(game, {
                              {"self.setState(self)", "bad argument #3 to 'setState' (too many arguments)"},
                              {"self.setState(self, 'start', 1)", "bad argument #3 to 'setState' (too many arguments)"},
                              {"self.setState({}, 'start')", "bad argument #1 to 'setState' (not a Sprite object)"},
                              {"self.setState(canvas, 'start')", "bad argument #1 to 'setState' (not a TicTac)"},
                          });
}

} // namespace
} // namespace scenetest
