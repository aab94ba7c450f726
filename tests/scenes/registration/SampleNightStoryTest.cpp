// SampleNightStoryTest.cpp: the fifth and sixth chapters' words on the
// sample game: a click on a way the story keeps shut makes the player say
// why (there and in the earlier chapters), in a thought that leaves the
// way's name readable; the thoughts after
// the night's puzzles cover no exit and no one; the people's balloons keep
// inside the screen; the dock's bubbles rise behind its exits.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/ambient/AmbientAnimManager.h"
#include "game/balloons/TalkBalloon.h"
#include "game/characters/Character.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SampleWalk.h"
#include "tests/scenes/support/SceneFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace scenetest {
namespace {

class SampleNightStoryTest : public SceneFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGameSeenInstructions());
    }
    gametest::SamplePlayer player{world, canvas};
};

TEST_F(SampleNightStoryTest, AClickOnAShutWaySaysWhyItIsShut)
{
    const struct {
        int chapter;
        const char* room;
        const char* target;
        const char* story; // Lua that sets the story up first
        const char* thought;
    } ways[] = {
        {1, "Riverside", "TreasureChestCU", "LF.riversideLeverPulled = false", "STR_THINK_CHEST_SHUT"},
        {4, "Bridge", "Jungle", "", "STR_THINK_BRIDGE_JUNGLE_SHUT"},
        {5, "MansionFront_Night", "MansionHallway", "", "STR_THINK_MANSION_DOOR_SHUT"},
        {5, "MansionHallway", "MansionStudy", "LF.viewFinderSolved = false", "STR_THINK_STUDY_SHUT"},
        {5, "MansionHallway", "MansionStudy", "LF.viewFinderSolved = true", "STR_THINK_STUDY_KEY_IN_CLOCK"},
        {5, "DiveDock_Night", "DiveDockInterior", "", "STR_THINK_DIVE_SHOP_SHUT"},
        {5, "DiveDock_Night", "BehindDiveDock", "", "STR_THINK_JETTY_DARK"},
        {5, "TavernGallery_Night", "OuterVillage_3", "", "STR_THINK_NIGHT_VILLAGE_SHUT"},
        {6, "Dock", "MarketPlace", "", "STR_THINK_DOCK_TOWN_SHUT"},
        {6, "Dock", "ProfessorHouse", "", "STR_THINK_DOCK_TOWN_SHUT"},
        {6, "Dock", "Riverside", "", "STR_THINK_DOCK_TOWN_SHUT"},
        {6, "IslandLanding", "WindRace", "", "STR_THINK_LANDING_BEACH"},
        {6, "IslandLanding", "Temple1", "LF.luresWon = false", "STR_THINK_TEMPLE_GATE_SHUT"},
        {6, "Temple2", "Temple3", "LF.templeDoorOpened = false", "STR_THINK_TEMPLE_DOOR_SHUT"},
        {6, "Temple2", "TempleDoorPuzzle", "LF.templeDoorOpened = true", "STR_THINK_TEMPLE_DOOR_OPEN"},
        {6, "AmuletDoor", "GoldenRoom", "LF.amuletSet = false", "STR_THINK_SEALED_DOOR"},
    };
    Character* self = canvas->getPlayerCharacter();
    ASSERT_NE(nullptr, self);
    for (const auto& way : ways) {
        SCOPED_TRACE(way.thought);
        const int index = SampleWalk::roomOf(way.room);
        canvas->getProgress()->chapter = way.chapter;
        runLua(room(index), way.story);
        enter(index);
        DoorSprite* door = exitTo(room(index), SampleWalk::roomOf(way.target));
        ASSERT_NE(nullptr, door);
        ASSERT_FALSE(door->isEnabled());
        player.clickOn(door);
        world.stepFrames(2);
        EXPECT_EQ(index, canvas->getProgress()->currentRoom);
        ASSERT_TRUE(self->isTalking()) << "the player says why the way is shut";
        EXPECT_STREQ(lang::String::loadText(way.thought).c_str(), self->getTalkText()->getText().c_str());
        const util::RectangleNM t = *canvas->getSprite("ThoughtBalloon")->getBounds();
        const util::RectangleNM d = *door->getBounds();
        EXPECT_FALSE(t.x < d.x + d.width && d.x < t.x + t.width && t.y < d.y + d.height && d.y < t.y + t.height)
            << "the thought covers the way";
        EXPECT_TRUE(t.x >= 0 && t.y >= 0 && t.x + t.width <= 800 && t.y + t.height <= 600) << "on the screen";
        self->stopTalk();
    }
}

// What the player thinks after the night's puzzles leaves the room's exits
// and people in sight, on the screen.
TEST_F(SampleNightStoryTest, ThePlayersThoughtsAfterThePuzzlesCoverNoExitAndNoOne)
{
    const struct {
        const char* room;
        const char* thought;
    } thoughts[] = {
        {"ViewFinder", "STR_THINK_VIEWFINDER"},    {"MansionHallway", "STR_THINK_STUDY_KEY"},
        {"MansionHallway", "STR_THINK_HALL_CLOCK"}, {"MansionStudy", "STR_THINK_SAFE"},
        {"DiveDockInterior", "STR_THINK_CIRCUIT"},
    };
    canvas->getProgress()->chapter = 5;
    Character* self = canvas->getPlayerCharacter();
    for (const auto& t : thoughts) {
        SCOPED_TRACE(t.thought);
        const int index = SampleWalk::roomOf(t.room);
        enter(index);
        runLua(room(index), std::string("think('") + t.thought + "')");
        world.stepFrames(2);
        ASSERT_TRUE(self->isTalking());
        const util::RectangleNM b = *canvas->getSprite("ThoughtBalloon")->getBounds();
        auto meet = [&b](const util::RectangleNM& o) {
            return b.x < o.x + o.width && o.x < b.x + b.width && b.y < o.y + o.height && o.y < b.y + b.height;
        };
        EXPECT_TRUE(b.x >= 0 && b.y >= 0 && b.x + b.width <= 800 && b.y + b.height <= 600) << "on the screen";
        Room* here = room(index);
        for (int i = 0; i < here->getDoorCount(); ++i)
            EXPECT_FALSE(meet(*here->getDoor(i)->getBounds())) << "exit " << i;
        for (int i = 0; i < here->getCharacterCount(); ++i)
            EXPECT_FALSE(meet(*here->characterAt(i)->getBounds())) << here->characterAt(i)->getName().c_str();
        self->stopTalk();
    }
}

// The dock, where the last chapter starts, lets its harbour's bubbles rise
// behind its exits' boxes.
TEST_F(SampleNightStoryTest, TheDocksBubblesRiseBehindItsExits)
{
    canvas->getProgress()->chapter = 6;
    Room* dock = room(SampleWalk::roomOf("Dock"));
    enter(SampleWalk::roomOf("Dock"));
    world.stepFrames(5);
    // The room's bubbles (asked for again in the same room, the same ones).
    util::TVector<sprite::AnimateSprite*>* bubbles = canvas->getAmbientAnimManager()->addBubbles();
    ASSERT_NE(nullptr, bubbles);
    int exits = -1;
    int lastBubble = -1;
    for (int i = 0; i < dock->getChildCount(); ++i) {
        sprite::SpriteBase* child = dock->childAt(i);
        if (child->getName().equals("ExitBoxes"))
            exits = i;
        for (int b = 0; b < bubbles->size(); ++b) {
            if (bubbles->elementAt(b) == child)
                lastBubble = i;
        }
        child->release();
    }
    ASSERT_GE(lastBubble, 0) << "the harbour has its bubbles";
    EXPECT_GT(exits, lastBubble) << "the exits' boxes lie over the bubbles";
}

// The night's people say their lines in balloons that keep a little inside
// the screen's edges.
TEST_F(SampleNightStoryTest, ThePeoplesWordsKeepInsideTheScreen)
{
    const struct {
        const char* room;
        const char* who;
        const char* id;
    } lines[] = {
        {"MansionStudy", "Millionaire", "STR_MILLIONAIRE_1"},
        {"MansionStudy", "Millionaire", "STR_MILLIONAIRE_2"},
        {"MansionHallway", "Ghost", "STR_GHOST_1"},
        {"MansionHallway", "Ghost", "STR_GHOST_2"},
        {"TavernInterior_Night", "CardShark", "STR_CARDSHARK_NIGHT_1"},
        {"TavernInterior_Night", "CardShark", "STR_CARDSHARK_NIGHT_2"},
        {"TavernInterior_Night", "CardShark", "STR_CARDSHARK_NIGHT_PAID"},
    };
    canvas->getProgress()->chapter = 5;
    for (const auto& l : lines) {
        SCOPED_TRACE(l.id);
        const int index = SampleWalk::roomOf(l.room);
        enter(index);
        runLua(room(index), std::string("characterNamed(self, '") + l.who + "'):talk('" + l.id + "')");
        world.stepFrames(2);
        Character* speaker = canvas->findCharacter(l.who);
        ASSERT_NE(nullptr, speaker);
        ASSERT_TRUE(speaker->isTalking());
        const util::RectangleNM b = *speaker->getTalkBalloon()->getBounds();
        EXPECT_TRUE(b.x >= 4 && b.y >= 4 && b.x + b.width <= 796 && b.y + b.height <= 596)
            << b.x << ", " << b.y << ", " << b.width << " x " << b.height;
        speaker->stopTalk();
    }
}

} // namespace
} // namespace scenetest
