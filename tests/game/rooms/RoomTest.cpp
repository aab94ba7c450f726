// RoomTest.cpp: a room's state machine, its delayed state, the order in
// which a press tries the exits, and its exit and zoom transitions, on a
// canvas without data or scripts.
#include "sprites/transitions/TransitionMask.h"
#include "tests/game/support/BareCanvas.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

namespace gametest {
namespace {

using sprite::TransitionBase;

class RoomTest : public ::testing::Test {
protected:
    BareWorld world;
};

TEST_F(RoomTest, TheStates)
{
    Room* room = world.addRoom(2, {0});
    room->setVisible(false);
    room->setState(Room::STATE_ENTER);
    EXPECT_TRUE(room->isVisible());
    EXPECT_EQ(Room::STATE_PLAYING, room->getState()) << "entering ends in play";
    room->setState(Room::STATE_SUSPENDED);
    EXPECT_EQ(Room::STATE_PLAYING, room->getSavedState());
    room->setState(Room::STATE_RESUME);
    EXPECT_EQ(Room::STATE_PLAYING, room->getState());
    room->setState(Room::STATE_EXIT);
    EXPECT_FALSE(room->isVisible());
    EXPECT_EQ(Room::STATE_LEFT, room->getState()) << "the exit runs onExit, which ends in state 0";
    room->setVisible(false);
    room->setState(Room::STATE_SHOWN_UNDER_TRANSITION);
    EXPECT_TRUE(room->isVisible());
}

TEST_F(RoomTest, TheDelayedStateCountsOnlyWhileTheRoomPlays)
{
    Room* room = world.addRoom(2, {0});
    world.enter(2);
    room->setStateAfter(Room::STATE_LEAVING, 10);
    world.canvas->doFrame();
    // A pause stops the count; so does a suspended room.
    world.canvas->forceGameState(LanternfieldCanvas::STATE_PAUSED);
    for (int i = 0; i < 20; ++i)
        world.canvas->doFrame();
    world.canvas->forceGameState(LanternfieldCanvas::STATE_PLAYING);
    room->pauseIfVisible();
    room->setStateAfter(Room::STATE_ENTER, 1);
    EXPECT_EQ(Room::STATE_LEAVING, room->getDelayedState()) << "ignored while suspended";
    for (int i = 0; i < 20; ++i)
        world.canvas->doFrame();
    room->resumeIfPaused();
    for (int i = 0; i < 8; ++i)
        world.canvas->doFrame();
    EXPECT_EQ(Room::STATE_PLAYING, room->getState()) << "nine frames counted";
    world.canvas->doFrame();
    EXPECT_EQ(Room::STATE_LEAVING, room->getState()) << "the tenth frame of play sets it";
}

TEST_F(RoomTest, APressTriesTheExitsInIndexOrder)
{
    Room* room = world.addRoom(2, {3});
    // Door0 and Door2 overlap; Door1 is missing.
    world.addDoor(room, 0, {100, 100, 100, 100, 1, 2, 1, 4});
    world.addDoor(room, 2, {100, 100, 100, 100, 1, 2, 0, 5});
    world.addRoom(4, {0});
    world.addRoom(5, {0});
    world.enter(2);
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, world.pressAt(room, 150, 150));
    EXPECT_EQ(4, world.canvas->getPendingRoom()) << "the lower index wins";
    ASSERT_NE(nullptr, world.canvas->getTransition());
    EXPECT_EQ(TransitionBase::DIR_UP, world.canvas->getTransition()->getDirection()) << "direction 1 wipes up";
    EXPECT_EQ(Room::STATE_LEAVING, room->getState());
    // While leaving every press is swallowed.
    EXPECT_EQ(sprite::DialogSprite::COMMAND_READY, world.pressAt(room, 150, 150));
    EXPECT_EQ(4, world.canvas->getPendingRoom());
}

TEST_F(RoomTest, DisabledExitsAndRoomsWithoutNumbersLetThePressThrough)
{
    Room* shut = world.addRoom(2, {1});
    world.addDoor(shut, 0, {100, 100, 100, 100, 0, 2, 1, 4});
    Room* bare = world.addRoom(3, {});
    world.addDoor(bare, 0, {100, 100, 100, 100, 1, 3, 1, 4});
    world.addRoom(4, {0});
    EXPECT_EQ(0, bare->getDoorCount()) << "no numbers, no exits";
    for (int index : {2, 3}) {
        world.enter(index);
        world.pressAt(world.canvas->getRoom(index), 150, 150);
        EXPECT_EQ(-1, world.canvas->getPendingRoom()) << index;
        EXPECT_EQ(Room::STATE_PLAYING, world.canvas->getRoom(index)->getState()) << index;
    }
}

TEST_F(RoomTest, EachExitDirectionWipesItsWay)
{
    const int expected[8] = {
        TransitionBase::DIR_DOWN,
        TransitionBase::DIR_UP,
        TransitionBase::DIR_LEFT,
        TransitionBase::DIR_RIGHT,
        TransitionBase::DIR_DOWN + TransitionBase::DIR_RIGHT,
        TransitionBase::DIR_DOWN + TransitionBase::DIR_LEFT,
        TransitionBase::DIR_UP + TransitionBase::DIR_RIGHT,
        TransitionBase::DIR_UP + TransitionBase::DIR_LEFT,
    };
    Room* room = world.addRoom(2, {9});
    for (int d = 0; d < 8; ++d)
        world.addDoor(room, d, {0, 0, 10, 10, 1, 2, d, 10 + d});
    world.addDoor(room, 8, {0, 0, 10, 10, 1, 2, 8, 20});
    for (int d = 0; d < 8; ++d) {
        TransitionBase* t = nullptr;
        ASSERT_TRUE(room->findExitTransition(10 + d, &t)) << d;
        EXPECT_EQ(expected[d], t->getDirection()) << d;
        EXPECT_EQ(24, t->getFrames());
        t->release();
    }
    // Direction 8 has no wipe: the room is left at once.
    world.addRoom(20, {0});
    world.enter(2);
    TransitionBase* none = nullptr;
    EXPECT_FALSE(room->findExitTransition(20, &none));
    EXPECT_EQ(nullptr, none);
    EXPECT_FALSE(room->isVisible());
    EXPECT_EQ(20, world.canvas->getProgress()->currentRoom);
}

TEST_F(RoomTest, AnExitWithoutATransitionChangesAtOnceAndLeavesNoRoomPending)
{
    Room* room = world.addRoom(2, {2});
    // Exit 0 has no wipe direction; exit 1's transition cannot be made (the
    // exits lead to rooms of their own: the first exit to a room is the one
    // whose transition is asked for).
    world.addDoor(room, 0, {0, 0, 100, 100, 1, 2, 8, 4});
    world.addDoor(room, 1, {200, 0, 100, 100, 1, 2, 1, 5});
    world.addRoom(4, {0});
    world.addRoom(5, {0});
    const struct {
        int x, target, transitionType;
    } exits[] = {{50, 4, 100}, {250, 5, 999}};
    for (const auto& exit : exits) {
        SCOPED_TRACE(exit.x);
        const_cast<DoorTransitionSettings&>(world.canvas->getDoorTransitionSettings()).type = exit.transitionType;
        world.enter(2);
        world.pressAt(room, exit.x, 50);
        EXPECT_EQ(nullptr, world.canvas->getTransition());
        EXPECT_EQ(exit.target, world.canvas->getProgress()->currentRoom);
        EXPECT_EQ(-1, world.canvas->getPendingRoom()) << "the save on exit would name the old room";
        EXPECT_NE(Room::STATE_LEAVING, room->getState()) << "a room left waiting swallows every press";
    }
}

TEST_F(RoomTest, EnteringUnderARunningTransitionWaitsForActivation)
{
    Room* room = world.addRoom(2, {0});
    TransitionBase* t = nullptr;
    room->makeDoorTransition(&t, TransitionBase::DIR_LEFT);
    world.canvas->setTransition(t);
    t->release();
    world.enter(2);
    EXPECT_TRUE(room->isVisible());
    EXPECT_EQ(Room::STATE_LEAVING, room->getState());
    EXPECT_TRUE(room->isTransitioning());
    world.canvas->setTransition(nullptr);
    world.canvas->onTransitionFinished();
    EXPECT_EQ(Room::STATE_PLAYING, room->getState());
}

TEST_F(RoomTest, AZoomDoorGrowsItsMaskFromTheDoorsValues)
{
    Room* room = world.addRoom(2, {1});
    world.addRoom(7, {0});
    auto* mask = new window::ImageWinDX(8, 8, 0, false);
    lang::ObjectArray* images = spritetest::imageList({mask});
    world.addDoor(room, 0, {0, 0, 100, 100, 1, 2, 0, 7, 400, 36, 12, 34, 50, 700}, images);
    images->release();
    mask->release();
    world.enter(2);
    world.pressAt(room, 50, 50);
    ASSERT_NE(nullptr, world.canvas->getTransition());
    ASSERT_TRUE(world.canvas->getTransition()->isInstanceOf("TransitionMask"));
    auto* zoom = static_cast<sprite::TransitionMask*>(world.canvas->getTransition());
    EXPECT_EQ(7, world.canvas->getPendingRoom());
    EXPECT_EQ(36, zoom->getFrames());
    EXPECT_FLOAT_EQ(0.5f, zoom->getScaleInit());
    EXPECT_FLOAT_EQ(7.0f, zoom->getScaleEnd());
    EXPECT_FALSE(zoom->isReverse()) << "a growing mask";
    sprite::TransitionImage* layer = nullptr;
    ASSERT_TRUE(zoom->getMask(0, layer));
    EXPECT_EQ(mask, layer->image);
    EXPECT_EQ(12, layer->position.x);
    EXPECT_EQ(34, layer->position.y);
    // The change comes when the mask has the old screen.
    world.canvas->afterTransitionPaint(0);
    EXPECT_EQ(7, world.canvas->getProgress()->currentRoom);
    EXPECT_EQ(-1, world.canvas->getPendingRoom());
}

TEST_F(RoomTest, ExitsOnAndOffByTarget)
{
    Room* room = world.addRoom(2, {4});
    const int targets[4] = {5, 6, 5, 5};
    DoorSprite* doors[4];
    for (int i = 0; i < 4; ++i)
        doors[i] = world.addDoor(room, i, {0, 0, 10, 10, 0, 2, 0, targets[i]});
    room->enableDoorTo(5, true, 1);
    EXPECT_FALSE(doors[0]->isEnabled()) << "the first exit to 5 is skipped";
    EXPECT_FALSE(doors[1]->isEnabled()) << "another target";
    EXPECT_TRUE(doors[2]->isEnabled());
    EXPECT_TRUE(doors[3]->isEnabled());
    room->enableDoors(true);
    room->enableDoorTo(5, false, 0);
    EXPECT_FALSE(doors[0]->isEnabled());
    EXPECT_TRUE(doors[1]->isEnabled());
    EXPECT_FALSE(doors[3]->isEnabled());
}

TEST_F(RoomTest, LeavingARoomTakesEveryCharacterOut)
{
    Room* room = world.addRoom(2, {0});
    const char* names[2] = {"Professor", "ShopKeeper"};
    for (int i = 0; i < 2; ++i) {
        auto* character = new Character();
        world.canvas->addSprite(names[i], character, -1);
        world.canvas->bindCharacter(2 + i, character);
        world.made.push_back(character);
    }
    world.enter(2);
    room->addCharacter(lang::String("Professor"), lang::String(""), 100, 200, true, true, true);
    room->addCharacter(lang::String("ShopKeeper"), lang::String("Professor"), 300, 200, true, true, true);
    room->addCharacter(lang::String("Nobody"), lang::String(""), 0, 0, true, true, true);
    ASSERT_EQ(2, room->getCharacterCount());
    EXPECT_TRUE(world.canvas->getCharacter(2)->isVisible()) << "the script's visibility stays";
    EXPECT_TRUE(room->hasCharacter(lang::String("ShopKeeper")));
    room->onExit();
    EXPECT_EQ(0, room->getCharacterCount());
    for (int i = 0; i < 2; ++i) {
        Character* c = world.canvas->getCharacter(2 + i);
        EXPECT_FALSE(c->isVisible()) << names[i];
        EXPECT_EQ(Character::STATE_OFF, c->getState()) << names[i];
        EXPECT_EQ(c, world.canvas->getSprite(names[i])) << "back on the canvas under its name";
    }
}

} // namespace
} // namespace gametest
