// SampleScenesTest.cpp: the sample game's puzzle rooms load as their scene
// classes with every sprite their games use, and can be played by clicks:
// the card game deals and turns a card, noughts and crosses takes a move,
// a village's peg board is won, the inlay is solved and a pearl is taken.
#include "game/progress/ProgressRecord.h"
#include "scenes/concentration/Concentration.h"
#include "scenes/inlay/Inlay.h"
#include "scenes/pegs/PegsCU.h"
#include "scenes/tictac/TicTac.h"
#include "scenes/whackaclam/Clam.h"
#include "scenes/whackaclam/WhackAClam.h"
#include "sprites/images/ImageSprite.h"
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

TEST_F(SampleScenesTest, TheFirstVillagesPegBoardIsWonDownToOnePeg)
{
    enter(40);
    auto* pegs = static_cast<PegsCU*>(canvas->getCloseUp(1));
    ASSERT_TRUE(pegs->isInstanceOf("PegsCU"));
    world.click(180, 240);
    for (int i = 0; i < 60 && !pegs->acceptsInput(); ++i)
        world.stepFrames(1);
    ASSERT_TRUE(pegs->acceptsInput());
    // Cell 2 jumps to 4 over 3, then 4 to 14 over 9.
    auto hole = [pegs](int cell, int& x, int& y) {
        x = pegs->left() + 85 * (cell % 5) + 72;
        y = pegs->top() + 85 * (cell / 5) + 77;
    };
    for (const auto& move : {std::make_pair(2, 4), std::make_pair(4, 14)}) {
        int x, y;
        hole(move.first, x, y);
        world.click(x, y);
        hole(move.second, x, y);
        world.click(x, y);
    }
    EXPECT_EQ(1, pegs->getPegsLeft());
    world.stepFrames(30);
    EXPECT_FALSE(pegs->isVisible());
    EXPECT_EQ("true", runLua(room(40), "return tostring(LF.pegsSolved[1])"));
    expectCleanRun();
}

TEST_F(SampleScenesTest, TheInlayTakesItsPiecesIntoTheGridAndIsSolved)
{
    auto* inlay = static_cast<Inlay*>(room(34));
    ASSERT_TRUE(inlay->isInstanceOf("Inlay"));
    enter(34);
    ASSERT_EQ(2, inlay->getPuzzle()) << "the cave maze is on no puzzle screen";
    ASSERT_EQ(5u, inlay->getPieces().size());
    for (const Inlay::PieceInfo& piece : inlay->getPieces()) {
        world.click(piece.tray->left() + 10, piece.tray->top() + 10);
        ASSERT_TRUE(inlay->getHeld() >= 0);
        const int x = inlay->getGridLeft() + 42 * (piece.target % 5) + 4 + piece.grid->width() / 2;
        const int y = inlay->getGridTop() + 42 * (piece.target / 5) + 4 + piece.grid->height() / 2;
        world.mouseMove(x, y);
        world.click(x, y);
    }
    EXPECT_TRUE(inlay->isSolved());
    EXPECT_EQ("true", runLua(inlay, "return tostring(LF.inlaySolved[2])"));
    expectCleanRun();
}

TEST_F(SampleScenesTest, ADiveAmongTheClamsTakesAPearl)
{
    auto* game = static_cast<WhackAClam*>(room(18));
    ASSERT_TRUE(game->isInstanceOf("WhackAClam"));
    enter(18);
    ASSERT_EQ(5, game->getClamCount());
    world.click(400, 200);
    EXPECT_TRUE(game->isRunning());
    Clam* open = nullptr;
    for (int i = 0; i < 2000 && !open; ++i) {
        canvas->doFrame();
        for (int c = 0; c < game->getClamCount(); ++c) {
            Clam* clam = game->getClam(c);
            if (clam->getState() == Clam::STATE_OPEN && clam->hasPearl())
                open = clam;
        }
    }
    ASSERT_TRUE(open);
    sprite::ImageSprite* pearl = open->getPearl();
    // The pearl's centre in the clam's frame, turned into the room's.
    int dx = pearl->getX() - open->width() / 2;
    int dy = pearl->getY() - open->height() / 2;
    open->toScreen(dx, dy);
    world.click(open->getX() + dx, open->getY() + dy);
    EXPECT_EQ(1, game->getPearlsClicked());
    world.stepFrames(40);
    EXPECT_EQ(1, game->getPearlsCollected());
    expectCleanRun();
}

} // namespace
} // namespace scenetest
