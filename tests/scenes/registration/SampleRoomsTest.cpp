// SampleRoomsTest.cpp: the sample game's scene rooms, sanctums, wind race,
// dive dock and clock close-up load as their classes with every sprite
// they look for, and the wind race is won with the mouse.
#include "game/characters/Character.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "scenes/clock/ClockCU.h"
#include "scenes/windrace/WindRace.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SceneFixture.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace scenetest {
namespace {

class SampleRoomsTest : public SceneFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGameSeenInstructions());
    }
    void expectCleanRun()
    {
        EXPECT_EQ(std::string::npos, world.debugText().find(": no sprite ")) << world.debugText();
        EXPECT_EQ(std::string::npos, world.debugText().find(" is no ")) << world.debugText();
        EXPECT_EQ(std::string::npos, world.debugText().find("no grid is built")) << world.debugText();
        EXPECT_EQ(std::string::npos, world.debugText().find("lacks pattern numbers")) << world.debugText();
        EXPECT_TRUE(world.boxes().empty()) << world.boxes()[0].caption << ": " << world.boxes()[0].text;
    }
};

TEST_F(SampleRoomsTest, EveryRoomIsItsClassAndEntersCleanly)
{
    const std::pair<int, const char*> rooms[] = {
        {1, "ProfessorHouse"}, {3, "OldTownConnector"}, {4, "KnickKnackStore"}, {14, "DiveDock"},
        {25, "Landing"},       {28, "Trailhead"},       {33, "InnerSanctum"},   {35, "OuterSanctum"},
        {37, "Waterfall"},     {53, "ViewFinder"},      {54, "MansionKeypad"},  {56, "WindRace"},
        {58, "Temple1"},       {59, "Temple2"},         {60, "Temple3"},        {64, "Lures"},
    };
    for (const auto& r : rooms)
        EXPECT_TRUE(room(r.first)->isInstanceOf(r.second)) << r.second;
    EXPECT_TRUE(canvas->getSprite("ClockCU")->isInstanceOf("ClockCU"));
    auto* clock = static_cast<ClockCU*>(canvas->getSprite("ClockCU"));
    EXPECT_NE(nullptr, clock->getHourHand());
    EXPECT_NE(nullptr, clock->getMinuteHand());
    for (int index : {14, 33, 35, 1, 54}) {
        enter(index);
        world.stepFrames(5);
    }
    expectCleanRun();
}

TEST_F(SampleRoomsTest, TheWindRaceIsWonByTurningItsThreeGreenWindsocks)
{
    auto* race = static_cast<WindRace*>(room(56));
    ASSERT_TRUE(race->hasGrid());
    enter(56);
    ASSERT_TRUE(stepUntil([race] {
        return sprite::ButtonMixin::fromSprite(race->buoy(7).turnSprite)->isEnabled();
    }));
    // Buoy 17 from left to right, 13 from down to left, 7 from right to up.
    for (const auto& turns : {std::pair<int, int>{17, 2}, {13, 1}, {7, 3}}) {
        for (int i = 0; i < turns.second; ++i)
            world.click(WindRace::centreX(turns.first), WindRace::centreY(turns.first));
    }
    EXPECT_EQ(WindRace::RIGHT, race->buoy(17).direction);
    EXPECT_EQ(WindRace::LEFT, race->buoy(13).direction);
    EXPECT_EQ(WindRace::UP, race->buoy(7).direction);
    // The script takes the winner on to the island.
    ASSERT_TRUE(stepUntil([this, race] { return runLua(race, "return LF.windRaceWon") == "true"; }, 800));
    expectCleanRun();
}

// The exit of the room that leads to the target room is open.
bool sampleExitOpen(Room* room, int target)
{
    for (int i = 0; i < room->getDoorCount(); ++i) {
        DoorSprite* door = room->getDoor(i);
        if (door && door->getTargetRoom() == target)
            return door->isEnabled();
    }
    ADD_FAILURE() << room->getName().c_str() << " has no exit to " << target;
    return false;
}

TEST_F(SampleRoomsTest, TheNightsLockedWaysOpenWithTheirPuzzlesInTheFifthChapterOnly)
{
    // Room, the exit's target, and the story flag that opens it.
    struct Gate {
        int room;
        int target;
        const char* flag;
    };
    const Gate gates[] = {
        {43, 50, "mansionDoorOpen"},    {50, 51, "viewFinderSolved"}, {45, 49, "safeOpened"},
        {45, 55, "circuitBoardSolved"}, {56, 57, "windRaceWon"},
    };
    for (int chapter : {5, 6}) {
        canvas->getProgress()->chapter = chapter;
        for (const Gate& gate : gates) {
            runLua(room(gate.room), std::string("LF.") + gate.flag + " = false");
            enter(gate.room);
            world.stepFrames(2);
            // The race's way on to the island is never open: the last
            // chapter reaches the island by the fisherman's boat.
            EXPECT_EQ(chapter != 5 && gate.room != 56, sampleExitOpen(room(gate.room), gate.target))
                << "chapter " << chapter << ", room " << gate.room << " to " << gate.target;
            if (gate.room == 56)
                continue;
            runLua(room(gate.room), std::string("LF.") + gate.flag + " = true");
            enter(gate.room);
            world.stepFrames(2);
            EXPECT_TRUE(sampleExitOpen(room(gate.room), gate.target)) << gate.flag;
        }
    }
    expectCleanRun();
}

TEST_F(SampleRoomsTest, EachChapterKeepsToItsOwnPlaces)
{
    // Room, the exit's target, and the chapters in which that way is open.
    struct Way {
        int room;
        int target;
        std::vector<int> open;
    };
    const Way ways[] = {
        {2, 10, {2}},    // the market place to the tavern square
        {3, 13, {2}},    // the old town to the mansion gate
        {2, 0, {1}},     // the market place back to the dock
        {3, 4, {1}},     // the old town to the knick knack store
        {0, 2, {1}},     // the dock to the market place
        {14, 23, {}},    // the dive dock to the interlude
        {25, 23, {}},    // the island's landing to the interlude
        {32, 29, {3}},   // the bridge back to the jungle
        {48, 42, {}},    // the tavern square at night to the hidden village
        {57, 56, {}},    // the island landing to the wind race
    };
    for (int chapter = 1; chapter <= 6; ++chapter) {
        canvas->getProgress()->chapter = chapter;
        for (const Way& way : ways) {
            enter(way.room);
            const bool open = std::find(way.open.begin(), way.open.end(), chapter) != way.open.end();
            EXPECT_EQ(open, sampleExitOpen(room(way.room), way.target))
                << "chapter " << chapter << ", room " << way.room << " to " << way.target;
        }
    }
    expectCleanRun();
}

TEST_F(SampleRoomsTest, TheShopkeepersWordOnTheVaseFollowsWhetherItWasTaken)
{
    enter(4);
    world.stepFrames(2);
    auto* keeper = static_cast<Character*>(room(4)->getSprite("ShopKeeper"));
    ASSERT_NE(nullptr, keeper);
    // The texts of the lines the shopkeeper starts over six clicks on him
    // (a click on a talking figure ends the line).
    auto lines = [this, keeper] {
        std::set<std::string> said;
        for (int i = 0; i < 6; ++i) {
            world.click(keeper->left() + keeper->width() / 2, keeper->top() + keeper->height() / 2);
            world.stepFrames(2);
            if (keeper->isTalking())
                said.insert(keeper->getTalkText()->getText().c_str());
        }
        return said;
    };
    const std::string offer = lang::String::loadText("STR_SHOPKEEPER_2").c_str();
    const std::string taken = lang::String::loadText("STR_SHOPKEEPER_4").c_str();
    std::set<std::string> said = lines();
    EXPECT_EQ(1u, said.count(offer));
    EXPECT_EQ(0u, said.count(taken));
    runLua(room(4), "LF.found.Vase = true");
    said = lines();
    EXPECT_EQ(0u, said.count(offer)) << "the vase is no longer on the counter";
    EXPECT_EQ(1u, said.count(taken));
    expectCleanRun();
}

TEST_F(SampleRoomsTest, TheMansionKeypadOpensTheDoorOnlyWithTheCardSharksCode)
{
    enter(54);
    world.stepFrames(2);
    Room* keypad = room(54);
    auto type = [this, keypad](const std::string& keys) {
        for (char c : keys) {
            const std::string name = c == 'C' ? "ClearButton" : c == 'E' ? "EnterButton" : "Button_" + std::string(1, c);
            sprite::SpriteBase* key = keypad->getSprite(name.c_str());
            world.click(key->left() + key->width() / 2, key->top() + key->height() / 2);
        }
    };
    // The right code before the board game is won, a wrong one after, a
    // fifth digit that does not count, and the right code.
    const std::pair<const char*, const char*> tries[] = {
        {"4721E", "false"}, {"TicTac", ""}, {"4722E", "false"}, {"47215E", "true"},
    };
    for (const auto& t : tries) {
        if (std::string(t.first) == "TicTac") {
            runLua(keypad, "LF.ticTacSolved = true");
            continue;
        }
        type(std::string("C") + t.first);
        EXPECT_EQ(t.second, runLua(keypad, "return tostring(LF.mansionDoorOpen)")) << t.first;
        EXPECT_STREQ(std::string(t.second) == "true" ? "OPEN" : "WRONG",
                     static_cast<sprite::NewFontSprite*>(keypad->getSprite("Display"))->getText().c_str())
            << "the display answers " << t.first;
    }
    expectCleanRun();
}

TEST_F(SampleRoomsTest, AClickOnTheBookshelfsClockOpensItsCloseUp)
{
    auto* clock = static_cast<ClockCU*>(canvas->getSprite("ClockCU"));
    enter(27);
    world.stepFrames(2);
    sprite::SpriteBase* face = room(27)->getSprite("Clock");
    ASSERT_NE(nullptr, face);
    // The clock opens once the shelves are sorted (the note behind the books
    // gives its time).
    world.click(face->left() + 10, face->top() + face->height() / 2);
    EXPECT_FALSE(clock->isVisible()) << "the shelves are not sorted";
    runLua(room(27), "LF.bookshelfSorted = true");
    world.click(face->left() + 10, face->top() + face->height() / 2);
    EXPECT_TRUE(clock->isVisible());
    EXPECT_EQ(room(27), clock->getHost());
    world.stepFrames(ClockCU::TRANSITION_FRAMES + 2);
    EXPECT_TRUE(clock->isIdle());
    EXPECT_EQ(ClockCU::OPEN_X - clock->width() / 2, clock->left());
    expectCleanRun();
}

} // namespace
} // namespace scenetest
