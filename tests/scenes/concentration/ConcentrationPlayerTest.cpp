// ConcentrationPlayerTest.cpp: the card game's deal and its computer player
// on a canvas without data, with scripted draws: what the computer
// remembers, when it plays a known pair, the limit of two pairs in a row,
// and the weak opponent the script can ask for.
#include "scenes/concentration/Concentration.h"

#include "platform/kernel/DebugOutput.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/script/ScriptHost.h"
#include "tests/game/support/BareCanvas.h"
#include "tests/scenes/support/ScriptedDraw.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenetest {
namespace {

// A definition of the room's own children and these numbers.
class OwnChildrenDefinition : public gametest::NumbersDefinition {
public:
    OwnChildrenDefinition(std::initializer_list<int> numbers, util::Hashtable* names)
        : gametest::NumbersDefinition(numbers), m_pNames(names)
    {
    }
    util::Hashtable* getNames() override { return m_pNames; }

private:
    util::Hashtable* m_pNames;
};

// The cards' pictures are 60 x 80.
constexpr int kConcentrationPlayerCardWidth = 60;
constexpr int kConcentrationPlayerCardHeight = 80;

std::vector<int> ints(util::TVector<int>& list)
{
    std::vector<int> out;
    for (int i = 0; i < list.size(); ++i)
        out.push_back(list.elementAt(i));
    return out;
}

class ConcentrationPlayerTest : public ::testing::Test {
protected:
    // The room with every card picture, the deck at (10, 20), the memory
    // chance and the deal's interval given; the script's weak flag set.
    Concentration* makeRoom(int memoryPercent, int dealInterval = 0, bool weak = false, bool floatingPoint = true)
    {
        const std::string flag = std::string("function LF_dumbDownConcentrationAI() return ") +
                                 (weak ? "true" : "false") + " end\n";
        ScriptHost::instance->runScriptBuffer(flag.c_str(), flag.size(), "test", nullptr);
        auto* room = world.addRoom<Concentration>(17, {1});
        auto* back = new sprite::ButtonSprite();
        back->setGrid(image(), 1, 1);
        room->addChild("CardBackPrototype", back);
        back->release();
        for (int v = 0; v < 12; ++v) {
            auto* face = new sprite::AnimateSprite(image(), 1, 1);
            room->addChild(("CardFacePrototype_" + std::to_string(v)).c_str(), face);
            face->release();
        }
        if (floatingPoint) {
            auto* floating = new sprite::BoundsSprite(0, 0, 20, 20);
            room->addChild("FloatingNumbers", floating);
            floating->release();
        }
        OwnChildrenDefinition definition({1, memoryPercent, dealInterval, 4, 10, 20}, room->getSpriteTable());
        room->setDefinition(&definition);
        room->setRandomDraw(&draw);
        return room;
    }
    window::ImageBase* image()
    {
        auto* picture = new window::ImageWinDX(kConcentrationPlayerCardWidth, kConcentrationPlayerCardHeight, 0, false);
        world.made.push_back(picture);
        return picture;
    }
    // Entered, dealt unshuffled (card n holds value n mod 12, so the
    // partner of card n is card n + 12 mod 24): the player's turn.
    Concentration* dealtRoom(int memoryPercent, bool weak = false)
    {
        Concentration* room = makeRoom(memoryPercent, 0, weak);
        draw.add(unshuffled());
        world.enter(17);
        frames(30);
        return room;
    }
    static std::vector<int> unshuffled()
    {
        std::vector<int> draws;
        for (int i = 0; i < 24; ++i)
            draws.push_back(i);
        return draws;
    }
    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            world.canvas->doFrame();
    }
    // The computer's turn begins now (its first pick made).
    void computerTurn(Concentration* room)
    {
        room->setState(Concentration::STATE_TURN_PASSES);
        draw.clearAsked();
        room->setState(Concentration::STATE_COMPUTER_FIRST);
    }

    gametest::BareWorld world;
    ScriptedDraw draw;
};

TEST_F(ConcentrationPlayerTest, TheDealLaysTheShuffledPairsOutCardByCard)
{
    Concentration* room = makeRoom(50, 2);
    // Swap the first card with the last; every other draw leaves its card.
    std::vector<int> draws = unshuffled();
    draws[0] = 23;
    draw.add(draws);
    world.enter(17);
    EXPECT_EQ(std::vector<std::string>(24, "0..23"), draw.asked());
    EXPECT_TRUE(room->isDealing());
    EXPECT_EQ(11, room->card(0).value);
    EXPECT_EQ(0, room->card(23).value);
    for (int n = 1; n < 23; ++n)
        EXPECT_EQ(n % 12, room->card(n).value) << n;
    for (int n = 0; n < 24; ++n) {
        EXPECT_EQ(135 + n % 6 * 68, room->getCardFace(n)->left()) << n;
        EXPECT_EQ(124 + n / 6 * 85, room->getCardFace(n)->top()) << n;
        EXPECT_FALSE(room->getCardFace(n)->isVisible());
        EXPECT_EQ(10, room->getCardBack(n)->left()) << "on the deck";
    }
    // One card every three ticks (interval 2), each flying for 4 ticks from
    // the tick after it was dealt.
    frames(2);
    EXPECT_EQ(0, room->getCardBack(0)->getMoveSteps());
    frames(1);
    EXPECT_EQ(4, room->getCardBack(0)->getMoveSteps());
    EXPECT_EQ(10, room->getCardBack(0)->left());
    frames(3);
    EXPECT_GT(room->getCardBack(0)->left(), 10);
    EXPECT_LT(room->getCardBack(0)->left(), 135) << "three of four steps";
    EXPECT_EQ(4, room->getCardBack(1)->getMoveSteps());
    EXPECT_EQ(0, room->getCardBack(2)->getMoveSteps());
    frames(1);
    EXPECT_EQ(135, room->getCardBack(0)->left());
    EXPECT_EQ(124, room->getCardBack(0)->top());
    // The last card is dealt at tick 72, and the player's turn begins.
    frames(64);
    EXPECT_TRUE(room->isDealing());
    EXPECT_NE(Concentration::STATE_PLAYER_TURN, room->getState());
    frames(1);
    EXPECT_FALSE(room->isDealing());
    EXPECT_EQ(Concentration::STATE_PLAYER_TURN, room->getState());
    frames(4);
    EXPECT_EQ(room->getCardFace(23)->left(), room->getCardBack(23)->left());
    EXPECT_EQ(room->getCardFace(23)->top(), room->getCardBack(23)->top());
}

TEST_F(ConcentrationPlayerTest, EveryCardTurnedUpIsRememberedAndPairsEnterTwoAtATime)
{
    Concentration* room = dealtRoom(50);
    // The player's miss: 3 and 4. Later 16 (4's partner) and 15 (3's).
    room->selectCard(3);
    room->selectCard(4);
    EXPECT_EQ((std::vector<int>{3, 4}), ints(room->getSeenList()));
    EXPECT_TRUE(ints(room->getKnownPairs()).empty());
    room->rememberCard(16);
    EXPECT_EQ((std::vector<int>{4, 16}), ints(room->getKnownPairs())) << "the partner first";
    room->rememberCard(16);
    room->rememberCard(15);
    EXPECT_EQ((std::vector<int>{4, 16, 3, 15}), ints(room->getKnownPairs()));
    EXPECT_EQ((std::vector<int>{3, 4, 16, 15}), ints(room->getSeenList())) << "each card once";
    EXPECT_TRUE(room->card(15).seen);
    // Taking a pair drops it from the pairs but not from the seen cards.
    room->setState(Concentration::STATE_PLAYER_TURN);
    room->selectCard(4);
    room->selectCard(16);
    EXPECT_TRUE(room->card(4).taken && room->card(16).taken);
    EXPECT_EQ((std::vector<int>{3, 15}), ints(room->getKnownPairs()));
    EXPECT_EQ(4u, room->getSeenList().size());
    EXPECT_EQ(-1, room->findPartner(24));
    EXPECT_EQ(12, room->findPartner(0));
}

TEST_F(ConcentrationPlayerTest, MissingNumbersAndScoringSpritesAreSkipped)
{
    platform::DebugCapture debug;
    auto* room = world.addRoom<Concentration>(17, {1, 50});
    EXPECT_EQ(50, room->getMemoryPercent());
    EXPECT_TRUE(debug.contains("Concentration: the definition lacks number 2"));
    EXPECT_TRUE(debug.contains("Concentration: the definition lacks number 5"));
    // Without the card pictures no game is laid out, and nothing breaks.
    world.enter(17);
    frames(2);
    EXPECT_EQ(0, room->getCardCount());
    EXPECT_EQ(Concentration::STATE_PLAYER_TURN, room->getState());
    EXPECT_TRUE(debug.contains("the card pictures are incomplete"));
}

TEST_F(ConcentrationPlayerTest, WithoutTheFloatingPointAndSparklesAPairIsCountedAtOnce)
{
    Concentration* room = makeRoom(50, 0, false, false);
    draw.add(unshuffled());
    world.enter(17);
    frames(30);
    room->selectCard(2);
    room->selectCard(14);
    EXPECT_EQ(1, room->getPlayerScore());
    EXPECT_EQ(Concentration::STATE_PLAYER_TURN, room->getState()) << "the player plays again";
    room->selectCard(3);
    room->selectCard(15);
    EXPECT_EQ(2, room->getPlayerScore());
}

struct MemoryCase {
    int percent;
    int draw;
    bool remembers;
};

class MemoryChanceTest : public ConcentrationPlayerTest, public ::testing::WithParamInterface<MemoryCase> {};

TEST_P(MemoryChanceTest, TheChanceDecidesWhetherAKnownPairIsPlayed)
{
    const MemoryCase c = GetParam();
    Concentration* room = dealtRoom(c.percent);
    room->rememberCard(5);
    room->rememberCard(17);
    // The chance, then either the pair's card or a random one.
    draw.add({c.draw, 1});
    computerTurn(room);
    if (c.remembers) {
        EXPECT_EQ((std::vector<std::string>{"0..100", "0..1"}), draw.asked());
        EXPECT_EQ(17, room->getFirstCard()) << "element 1 of the known pairs";
        EXPECT_EQ(5, room->getPlannedSecond());
        room->setState(Concentration::STATE_COMPUTER_SECOND);
        EXPECT_TRUE(room->card(5).taken && room->card(17).taken) << "the planned partner, with no draw";
        EXPECT_EQ(2u, draw.asked().size());
    } else {
        EXPECT_EQ((std::vector<std::string>{"0..100", "0..23"}), draw.asked());
        EXPECT_EQ(1, room->getFirstCard()) << "the random draw";
        EXPECT_EQ(-1, room->getPlannedSecond());
        // A random first card is followed by a random second even when its
        // partner is known.
        room->rememberCard(13);
        draw.clearAsked();
        draw.add({4});
        room->setState(Concentration::STATE_COMPUTER_SECOND);
        EXPECT_EQ((std::vector<std::string>{"0..22"}), draw.asked());
        EXPECT_FALSE(room->card(13).taken);
    }
}

INSTANTIATE_TEST_SUITE_P(Chances, MemoryChanceTest,
                         ::testing::Values(MemoryCase{0, 0, false}, MemoryCase{50, 49, true},
                                           MemoryCase{50, 50, false}, MemoryCase{101, 100, true},
                                           MemoryCase{100, 100, false}));

TEST_F(ConcentrationPlayerTest, MemoryNeedsAKnownPair)
{
    Concentration* room = dealtRoom(101);
    room->rememberCard(5);
    draw.add({0, 2});
    computerTurn(room);
    EXPECT_EQ((std::vector<std::string>{"0..100", "0..23"}), draw.asked()) << "one card seen is no pair";
    EXPECT_EQ(2, room->getFirstCard());
}

TEST_F(ConcentrationPlayerTest, AfterTwoPairsInARowTheComputerNeverTakesAThird)
{
    Concentration* room = dealtRoom(101);
    room->rememberCard(5);
    room->rememberCard(17);
    computerTurn(room);
    // Two pairs in a row: the states a scored pair passes through.
    for (int i = 0; i < 2; ++i) {
        room->setState(Concentration::STATE_SECOND_PICKED);
        room->setState(Concentration::STATE_PAIR_SCORED);
    }
    ASSERT_EQ(2, room->getComputerPairsInRow());
    draw.clearAsked();
    // First card: at random without the memory draw, though a pair is known.
    draw.add({0});
    room->setState(Concentration::STATE_COMPUTER_FIRST);
    EXPECT_EQ((std::vector<std::string>{"0..23"}), draw.asked());
    EXPECT_EQ(0, room->getFirstCard());
    // Second card: drawn again while it is card 0's partner, 12 (element 11
    // of the 23 cards left).
    draw.clearAsked();
    draw.add({11, 11, 3});
    room->setState(Concentration::STATE_COMPUTER_SECOND);
    EXPECT_EQ((std::vector<std::string>{"0..22", "0..22", "0..22"}), draw.asked());
    EXPECT_FALSE(room->card(12).taken);
    EXPECT_TRUE(room->card(4).faceUp) << "element 3: card 4";
    // The player's turn resets the count.
    room->setState(Concentration::STATE_TURN_PASSES);
    room->setState(Concentration::STATE_TURN_PASSES);
    EXPECT_EQ(0, room->getComputerPairsInRow());
}

TEST_F(ConcentrationPlayerTest, WhenThePartnerIsTheLastCardLeftTheDrawEnds)
{
    Concentration* room = dealtRoom(0);
    // The player takes eleven pairs (the scores stay, the floating point
    // never being ticked); pair 0 and 12 is left.
    for (int n = 1; n < 12; ++n) {
        room->setState(Concentration::STATE_PLAYER_TURN);
        room->selectCard(n);
        room->selectCard(n + 12);
        ASSERT_TRUE(room->card(n).taken) << n;
    }
    computerTurn(room);
    for (int i = 0; i < 2; ++i) {
        room->setState(Concentration::STATE_SECOND_PICKED);
        room->setState(Concentration::STATE_PAIR_SCORED);
    }
    draw.clearAsked();
    draw.add({1, 0});
    room->setState(Concentration::STATE_COMPUTER_FIRST);
    EXPECT_EQ(12, room->getFirstCard());
    room->setState(Concentration::STATE_COMPUTER_SECOND);
    EXPECT_EQ((std::vector<std::string>{"0..1", "0..0"}), draw.asked()) << "one draw, no loop";
    EXPECT_TRUE(room->card(0).taken);
}

TEST_F(ConcentrationPlayerTest, TheWeakComputerPlaysAtRandomButStillRemembers)
{
    Concentration* room = dealtRoom(101, true);
    EXPECT_TRUE(room->isWeakComputer());
    room->selectCard(5);
    room->selectCard(6);
    room->rememberCard(17);
    EXPECT_EQ((std::vector<int>{5, 17}), ints(room->getKnownPairs()));
    draw.add({2, 2});
    computerTurn(room);
    room->setState(Concentration::STATE_COMPUTER_SECOND);
    EXPECT_EQ((std::vector<std::string>{"0..23", "0..22"}), draw.asked());
    EXPECT_FALSE(room->card(5).taken);
}

} // namespace
} // namespace scenetest
