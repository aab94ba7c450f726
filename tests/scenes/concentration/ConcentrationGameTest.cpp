// ConcentrationGameTest.cpp: the card game in the fixture game, driven by
// clicks and frames with scripted draws: a whole game to its end scene with
// its sounds and scores, the timing of a miss and of the cards' flights, a
// pause that holds the table, the close button, and the Lua face.
#include "scenes/concentration/Concentration.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/progress/ProgressRecord.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/transitions/TransitionBase.h"
#include "tests/scenes/support/SceneFixture.h"
#include "tests/scenes/support/ScriptedDraw.h"

#include <algorithm>

namespace scenetest {
namespace {

constexpr int kRoom = 17;
// The cards' pictures are 60 x 80, so card n lies at these points.
constexpr int kCardWidth = 60;
constexpr int kCardHeight = 80;

int cardLeft(int n)
{
    return 135 + n % 6 * (kCardWidth + 8);
}

int cardTop(int n)
{
    return 124 + n / 6 * (kCardHeight + 5);
}

std::string manifest()
{
    std::string m = "<data>\n1 50 0 4 20 20   ; memory 50 %, a card every tick, 4 ticks' flight, deck (20, 20)\n"
                    "<sprites>\n"
                    "Door0 DoorSprite 0 500 100 100 1 17 6 11\n"
                    "CardBackPrototype ButtonSprite cardback -300 0 2 1 0 0 1\n";
    for (int v = 0; v < 12; ++v)
        m += "CardFacePrototype_" + std::to_string(v) + " Sprite face" + std::to_string(v) + " -300 0\n";
    m += "FloatingNumbers Sprite plus 0 0\n" + turnLabelSprites() + "<end>\n";
    return m;
}

class ConcentrationGameTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        framesPicture(data, "cardback", 2, kCardWidth, kCardHeight);
        for (int v = 0; v < 12; ++v)
            data.picture("face" + std::to_string(v), kCardWidth, kCardHeight, 0xFF102030u + uint32_t(v) * 0x80u);
        data.picture("plus", 30, 20, 0xFFFFFF00u);
        turnLabelData(data);
        SceneSetup scene;
        scene.index = kRoom;
        scene.className = "Concentration";
        scene.manifest = manifest();
        scene.callbacks = {"tieGameScene", "winGameScene", "loseGameScene", "playerTurn", "opponentPair"};
        gametest::GameOptions options;
        options.gameScript = "function LF_dumbDownConcentrationAI() record('LF_dumbDownConcentrationAI') "
                             "return LF.weak == true end\n";
        ASSERT_TRUE(startScene(scene, options));
        cards = static_cast<Concentration*>(room(kRoom));
        ASSERT_TRUE(cards->isInstanceOf("Concentration"));
        cards->setRandomDraw(&draw);
    }
    // Enters the room with the cards unshuffled (card n holds value n mod
    // 12: its partner is card n + 12 mod 24) and waits for the player's turn.
    void enterDealt()
    {
        for (int i = 0; i < 24; ++i)
            draw.add({i});
        enter(kRoom);
        ASSERT_TRUE(stepUntil([this] { return playerToPick(); }));
        // The last cards are still on their way from the deck.
        frames(4);
    }
    bool playerToPick() { return cards->getState() == Concentration::STATE_PLAYER_TURN && !cards->isDealing(); }
    void clickCard(int n) { world.click(cardLeft(n) + kCardWidth / 2, cardTop(n) + kCardHeight / 2); }
    // The draws asked for but the flights' angles.
    std::vector<std::string> picks()
    {
        std::vector<std::string> out;
        for (const std::string& range : draw.asked()) {
            if (range != "4..200")
                out.push_back(range);
        }
        return out;
    }

    ScriptedDraw draw;
    Concentration* cards = nullptr;
};

TEST_F(ConcentrationGameTest, AScriptedGameToThePlayersWin)
{
    enterDealt();
    EXPECT_EQ((std::vector<int>(24, Concentration::SOUND_DEAL)), soundsPlayed());
    EXPECT_EQ((std::vector<std::string>{"LF_dumbDownConcentrationAI()"}), calls("LF_dumb"));
    EXPECT_FALSE(cards->isWeakComputer());
    // Five pairs for the player, who keeps the turn; each point floats to
    // rest over the player's score.
    sprite::SpriteBase* point = cards->getSprite("FloatingNumbers");
    sprite::SpriteBase* score = cards->getSprite("PlayerScore");
    for (int n = 0; n < 5; ++n) {
        clickCard(n);
        clickCard(n + 12);
        ASSERT_TRUE(stepUntil([this] { return playerToPick(); })) << n;
        EXPECT_EQ(n + 1, cards->getPlayerScore());
        EXPECT_EQ(score->left() + score->width() / 2, point->left() + point->width() / 2) << n;
        EXPECT_EQ(score->top() + score->height() / 2, point->top() + point->height() / 2) << n;
    }
    // A miss passes the turn; the computer then takes two pairs at random
    // and misses its third, its second card drawn again off the partner.
    draw.add({0, 0, 6, 0, 0, 5, 0, 4, 0});
    draw.clearAsked();
    clearRecords();
    clickCard(5);
    clickCard(6);
    ASSERT_TRUE(stepUntil([this] { return !cards->isPlayerTurn(); }));
    ASSERT_TRUE(stepUntil([this] { return cards->isPlayerTurn() && playerToPick(); }));
    EXPECT_EQ((std::vector<std::string>{"0..100", "0..13", "0..12", "0..100", "0..11", "0..10", "0..9", "0..8",
                                        "0..8"}),
              picks());
    EXPECT_EQ(2, cards->getAIScore());
    EXPECT_TRUE(cards->card(17).taken && cards->card(18).taken);
    EXPECT_FALSE(cards->card(7).taken);
    const std::vector<int> sounds = soundsPlayed();
    EXPECT_EQ(1, std::count(sounds.begin(), sounds.end(), Concentration::SOUND_TO_COMPUTER));
    EXPECT_EQ(1, std::count(sounds.begin(), sounds.end(), Concentration::SOUND_TO_PLAYER));
    EXPECT_EQ(2, std::count(sounds.begin(), sounds.end(), Concentration::SOUND_COMPUTER_SCORES));
    EXPECT_EQ(4, std::count(sounds.begin(), sounds.end(), Concentration::SOUND_FLY_AWAY));
    // The sixth pair wins: the cards turn up, fly off and turn down, the
    // point is counted, and the script hears of the win.
    clearRecords();
    clickCard(19);
    clickCard(7);
    ASSERT_TRUE(stepUntil([this] { return !calls("winGameScene").empty(); }));
    EXPECT_EQ((std::vector<int>{113, 113, 119, 113, 119, 113, 115}), soundsPlayed());
    EXPECT_EQ(6, cards->getPlayerScore());
    EXPECT_EQ(2, cards->getAIScore());
    EXPECT_EQ((std::vector<std::string>{"winGameScene:Concentration(1)"}), calls("winGameScene"));
    EXPECT_TRUE(calls("loseGameScene").empty() && calls("tieGameScene").empty());
    EXPECT_FALSE(sprite::ButtonMixin::fromSprite(cards->getSprite("CloseButton"))->isEnabled());
    // The ended game starts no further turn.
    frames(60);
    EXPECT_EQ(Concentration::STATE_PAIR_SCORED, cards->getState());
}

TEST_F(ConcentrationGameTest, AMissTurnsBothCardsDownAndPassesTheTurnSixteenTicksLater)
{
    enterDealt();
    clearRecords();
    // Clicking the first card again, or a second time, picks nothing more.
    clickCard(0);
    clickCard(0);
    EXPECT_EQ(Concentration::STATE_PLAYER_TURN, cards->getState());
    // Input is taken before the frame of the same timer tick: every frame
    // from here on counts.
    const int before = world.canvas()->getFrameCounter();
    clickCard(1);
    EXPECT_EQ(Concentration::STATE_SECOND_PICKED, cards->getState());
    EXPECT_EQ((std::vector<int>{113, 113}), soundsPlayed());
    ASSERT_TRUE(stepUntil([this] { return cards->getState() != Concentration::STATE_SECOND_PICKED; }));
    EXPECT_EQ(16, world.canvas()->getFrameCounter() - before);
    EXPECT_FALSE(cards->isPlayerTurn());
    EXPECT_TRUE(cards->card(0).concealing && cards->card(1).concealing);
    EXPECT_EQ((std::vector<int>{113, 113, 116, 113, 113}), soundsPlayed()) << "the turn, then the cards";
    // The computer's turn: clicks pick nothing.
    clickCard(2);
    EXPECT_FALSE(cards->card(2).faceUp);
}

// The computer's turn shows: its label is lit from the moment the turn
// passes to it until the player's turn, and the two cards it misses with
// stay face up long enough to be seen before they turn down.
TEST_F(ConcentrationGameTest, TheComputersTurnIsLitThroughoutAndItsMissedCardsStayInSight)
{
    enterDealt();
    // The player misses with cards 0 and 1; the computer, at random, with
    // cards 2 and 3 (the third card left of those but card 2).
    draw.add({100, 2, 2});
    clickCard(0);
    clickCard(1);
    auto lit = [this](const char* name) {
        return static_cast<sprite::AnimateSprite*>(cards->getSprite(name))->getFrame() == 1;
    };
    int computerFrames = 0;
    int unlit = 0;
    int bothInSight = 0;
    ASSERT_TRUE(stepUntil([&] {
        if (!cards->isPlayerTurn()) {
            ++computerFrames;
            unlit += !lit("AITurnBG") || lit("PlayerTurnBG");
        }
        const Concentration::Card& second = cards->card(3);
        bothInSight += second.faceUp && cards->getSprite("CardFace_3")->isVisible() && !second.revealing &&
                       !second.concealing && cards->getSprite("CardFace_2")->isVisible();
        return cards->isPlayerTurn() && playerToPick();
    }));
    EXPECT_GT(computerFrames, 0);
    EXPECT_EQ(0, unlit) << "of " << computerFrames << " frames of the computer's turn";
    EXPECT_TRUE(cards->card(3).seen && !cards->card(3).taken);
    EXPECT_GE(bothInSight, 30) << "its two cards lie face up together for over a second";
    // The script defines no "opponentMissed": the notice is skipped.
    EXPECT_TRUE(world.boxes("Script Error").empty());
}

TEST_F(ConcentrationGameTest, EveryMissOfThePlayerHandsTheTurnOverAndSixComputerPairsLose)
{
    enterDealt();
    // The place of `card` among the cards the computer draws from: those
    // not taken, but for its first card of the turn.
    std::vector<int> taken;
    auto among = [&taken](int card, int first) {
        int k = 0;
        for (int c = 0; c < card; ++c)
            k += std::find(taken.begin(), taken.end(), c) == taken.end() && c != first;
        return k;
    };
    auto turnBackground = [this](const char* name) {
        return static_cast<sprite::AnimateSprite*>(cards->getSprite(name))->getFrame();
    };
    // Each computer turn: two pairs without its memory (a draw of 100 is
    // above its 50 %), then, two pairs in a row, a random miss.
    for (int turn = 0; turn < 3; ++turn) {
        const int a = 2 * turn;
        for (int pair : {a, a + 1}) {
            draw.add({100, among(pair, -1)});
            draw.add({among(pair + 12, pair)});
            taken.push_back(pair);
            taken.push_back(pair + 12);
        }
        if (turn < 2)
            draw.add({among(a + 2, -1), among(a + 3, a + 2)});
        // The player misses with cards 10 and 11; the computer's turn comes
        // 16 ticks later, its first pick 30 ticks after that.
        ASSERT_TRUE(playerToPick()) << turn;
        clickCard(10);
        const int before = world.canvas()->getFrameCounter();
        clickCard(11);
        ASSERT_TRUE(stepUntil([this] { return cards->getState() == Concentration::STATE_COMPUTER_FIRST; }, 60))
            << "turn " << turn;
        EXPECT_EQ(16 + 30, world.canvas()->getFrameCounter() - before) << turn;
        EXPECT_EQ(1, turnBackground("AITurnBG")) << turn;
        EXPECT_EQ(0, turnBackground("PlayerTurnBG")) << turn;
        if (turn < 2) {
            ASSERT_TRUE(stepUntil([this] { return playerToPick(); })) << turn;
        }
    }
    clearRecords();
    ASSERT_TRUE(stepUntil([this] { return !calls("loseGameScene").empty(); }));
    EXPECT_EQ(6, cards->getAIScore());
    EXPECT_EQ(0, cards->getPlayerScore());
    EXPECT_EQ((std::vector<std::string>{"loseGameScene:Concentration(1)"}), calls("loseGameScene"));
    EXPECT_TRUE(calls("winGameScene").empty() && calls("tieGameScene").empty());
    EXPECT_EQ(Concentration::SOUND_LOST, soundsPlayed().back());
    EXPECT_TRUE(sprite::ButtonMixin::fromSprite(cards->getSprite("CloseButton"))->isEnabled())
        << "a lost game can be left";
    frames(60);
    EXPECT_EQ(Concentration::STATE_PAIR_SCORED, cards->getState()) << "and starts no further turn";
}

// The table stands still under the pause book: a pause while the computer's
// pair is counted holds the point, and after the resume the computer plays
// on (the point landing under the book would ask for a turn no one gives),
// which its script is told.
TEST_F(ConcentrationGameTest, APauseWhileTheComputerScoresHoldsTheTableAndItsTurnGoesOnAfter)
{
    enterDealt();
    // The player misses; the computer takes the pair of cards 2 and 14 at
    // random (a draw of 100 is above its memory's 50 %).
    draw.add({100, 2, 13});
    clickCard(0);
    clickCard(1);
    ASSERT_TRUE(stepUntil([this] { return cards->card(14).taken; }, 100));
    canvas->setGameState(LanternfieldCanvas::STATE_PAUSED);
    frames(200);
    EXPECT_EQ(0, cards->getAIScore()) << "nothing moves under the book";
    canvas->setGameState(LanternfieldCanvas::STATE_PLAYING);
    ASSERT_TRUE(stepUntil([this] { return cards->getState() == Concentration::STATE_COMPUTER_FIRST; }, 200))
        << "the computer plays on";
    EXPECT_EQ(1, cards->getAIScore());
    EXPECT_FALSE(cards->isPlayerTurn());
    EXPECT_EQ(1u, calls("opponentPair").size());
}

TEST_F(ConcentrationGameTest, TakenCardsFlyTowardTheSideThatTookThemTheFarOnesLonger)
{
    enterDealt();
    // The player's pair 0 (row 0, far from the bottom) and 12 (row 2).
    clickCard(0);
    clickCard(12);
    ASSERT_TRUE(stepUntil([this] { return cards->card(0).flying; }));
    sprite::SpriteBase* far = cards->getCardFace(0);
    sprite::SpriteBase* near = cards->getCardFace(12);
    EXPECT_EQ(12 + 4 * 2, far->getMoveSteps());
    EXPECT_EQ(12, near->getMoveSteps());
    frames(20);
    for (sprite::SpriteBase* face : {far, near}) {
        EXPECT_EQ(400, face->left());
        EXPECT_EQ(700, face->top());
        EXPECT_FALSE(face->isVisible()) << "turned face down as it went";
    }
    // The computer's pair 1 (row 0, near the top) and 13 (row 2) fly up.
    ASSERT_TRUE(stepUntil([this] { return playerToPick(); }));
    // The memory chance, card 1 of the 22 left, card 13 (element 10 of the 21).
    draw.add({0, 0, 10});
    clickCard(2);
    clickCard(3);
    ASSERT_TRUE(stepUntil([this] { return cards->card(13).flying; }));
    EXPECT_EQ(12, cards->getCardFace(1)->getMoveSteps());
    EXPECT_EQ(12 + 2 * 2, cards->getCardFace(13)->getMoveSteps());
    frames(16);
    EXPECT_EQ(-100, cards->getCardFace(13)->top());
    // Flown off, the cards are gone, not turning at the screen's edge.
    for (int n : {0, 1, 12, 13}) {
        EXPECT_FALSE(cards->getCardBack(n)->isVisible()) << n;
        EXPECT_FALSE(cards->getCardFace(n)->isVisible()) << n;
    }
}

TEST_F(ConcentrationGameTest, TheScriptsWordsAndTheirArgumentErrors)
{
    enterDealt();
    EXPECT_EQ("", runLua(cards, "self:setState('nonsense')"));
    EXPECT_EQ(Concentration::STATE_PLAYER_TURN, cards->getState());
    EXPECT_EQ("", runLua(cards, "self:setState('EndRound')"));
    EXPECT_EQ(Concentration::STATE_END_ROUND, cards->getState());
    for (int i = 0; i < 24; ++i)
        draw.add({i});
    frames(11);
    EXPECT_EQ(Concentration::STATE_END_ROUND, cards->getState());
    frames(1);
    EXPECT_TRUE(cards->isDealing()) << "a new game twelve ticks later";
    EXPECT_EQ(0, cards->getPlayerScore());
    expectLuaErrors(cards, {
                               {"self.setState(self)", "bad argument #3 to 'setState' (too many arguments)"},
                               {"self.setState(self, 'start', 1)", "bad argument #3 to 'setState' (too many arguments)"},
                               {"self:setState()", "bad argument #2 to 'setState' (too many arguments)"},
                               {"self.setState({}, 'start')", "bad argument #1 to 'setState' (not a Sprite object)"},
                               {"self.setState(canvas, 'start')", "bad argument #1 to 'setState' (not a Concentration)"},
                           });
}

TEST_F(ConcentrationGameTest, TheCloseButtonTellsTheScriptAndZoomsBackToTheTavern)
{
    enterDealt();
    clearCalls();
    world.click(760, 560);
    EXPECT_EQ((std::vector<std::string>{"onExit:Concentration(1)"}), calls("onExit"));
    ASSERT_NE(nullptr, canvas->getTransition());
    EXPECT_TRUE(canvas->getTransition()->isInstanceOf("TransitionMask"));
    EXPECT_EQ(36, canvas->getTransition()->getFrames());
    EXPECT_EQ(Concentration::TAVERN_ROOM, canvas->getPendingRoom());
    world.stepFrames(40);
    EXPECT_EQ(Concentration::TAVERN_ROOM, canvas->getProgress()->currentRoom);
    EXPECT_EQ(0, cards->getCardCount()) << "leaving removes the cards";
    EXPECT_FALSE(canvas->isPuzzleActive());
    EXPECT_EQ(-1, canvas->getGameInstructionsGame());
}

} // namespace
} // namespace scenetest
