// SampleScenesTest.cpp: the sample game's puzzle rooms load as their scene
// classes with every sprite their games use, and can be played by clicks:
// the card game deals and turns a card, noughts and crosses takes a move,
// each once its instructions panel has grown open and been played away.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/dialogs/GameInstructDialog.h"
#include "game/progress/ProgressRecord.h"
#include "scenes/concentration/Concentration.h"
#include "scenes/tictac/TicTac.h"
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
    bool framesUntil(const std::function<bool()>& done, int maxFrames)
    {
        for (int i = 0; i < maxFrames && !done(); ++i)
            world.stepFrames(1);
        return done();
    }
    // A puzzle's first visit opens its instructions by themselves; the panel's
    // play button shrinks them away and leaves the question mark. (The
    // panel's zooms end by messages that only the world's frames deliver.)
    void playPastInstructions(int game)
    {
        auto* panel = static_cast<GameInstructDialog*>(canvas->getSprite("GameInstructions"));
        ASSERT_TRUE(framesUntil([panel] { return panel->isVisible() && !panel->isZooming(); }, 100));
        EXPECT_EQ(game, panel->getGame());
        // It grows to the middle of the room, wholly on the screen.
        EXPECT_GE(panel->left(), 0);
        EXPECT_GE(panel->top(), 0);
        EXPECT_LE(panel->left() + panel->width(), 800);
        EXPECT_LE(panel->top() + panel->height(), 600);
        sprite::SpriteBase* play = panel->getSprite("playButton");
        world.click(panel->left() + play->left() + play->width() / 2, panel->top() + play->top() + play->height() / 2);
        ASSERT_TRUE(framesUntil([panel] { return !panel->isVisible(); }, 20));
        EXPECT_TRUE(canvas->isSpriteVisible("GameInsQuestionMark"));
    }
};

TEST_F(SampleScenesTest, TheCardGameDealsAndTurnsACardUp)
{
    auto* cards = static_cast<Concentration*>(room(17));
    ASSERT_TRUE(cards->isInstanceOf("Concentration"));
    enter(17);
    playPastInstructions(3);
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
    playPastInstructions(10);
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

} // namespace
} // namespace scenetest
