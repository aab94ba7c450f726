// RoomChangeTest.cpp: moving through the fixture game: a click on an exit
// starts its wipe and changes rooms when the wipe has the old screen, an
// item on the cursor is used on the room instead (a use that ends the
// chapter ending the press), chapters start, continue
// and end, and scripts that fail or lack a callback leave the game going.
#include "game/cutscenes/Vignette.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/transitions/TransitionBase.h"
#include "tests/game/support/GameFixture.h"

#include <lua.hpp>

namespace gametest {
namespace {

using sprite::TransitionBase;

// Dock's two exits lie on top of each other at (700, 300): Door0 to the
// Professor's house leads west, the disabled Door1 to the market north.
const char kDockDoors[] = "700 300 100 100 1 0 3 1";
const char kDockDisabledDoor[] = "650 250 200 200 0 0 0 2";

class RoomChangeTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameOptions options;
        options.roomManifests["Dock"] = roomWithDoors({kDockDoors, kDockDisabledDoor});
        ASSERT_TRUE(startGame(options));
    }
    int current() { return canvas->getProgress()->currentRoom; }
    lua_State* L() { return ScriptHost::instance->getState(); }
};

TEST_F(RoomChangeTest, AClickOnAnExitWipesToTheNextRoomAndLeavesTheOldOneFirst)
{
    enter(0);
    EXPECT_EQ(Room::STATE_PLAYING, room(0)->getState());
    clearCalls();
    world.mouseDown(750, 350);
    TransitionBase* wipe = canvas->getTransition();
    ASSERT_NE(nullptr, wipe);
    EXPECT_EQ(24, wipe->getFrames());
    EXPECT_EQ(TransitionBase::DIR_RIGHT, wipe->getDirection()) << "exit direction 3 wipes right";
    EXPECT_TRUE(wipe->getFade());
    EXPECT_FALSE(wipe->getSrcMoves());
    EXPECT_EQ(Room::STATE_LEAVING, room(0)->getState());
    world.mouseUp(750, 350);
    world.stepFrames(2);
    // The change happened when the wipe took the old screen: exit, then enter.
    EXPECT_EQ((std::vector<std::string>{"onExit:Dock(1)", "onEnter:ProfessorHouse(1)"}), calls("on"));
    EXPECT_EQ(1, current());
    EXPECT_EQ(0, canvas->getProgress()->lastRoom);
    EXPECT_FALSE(room(0)->isVisible());
    EXPECT_TRUE(room(1)->isVisible());
    EXPECT_EQ(Room::STATE_LEAVING, room(1)->getState()) << "no input while the wipe runs";
    world.stepFrames(30);
    EXPECT_EQ(nullptr, canvas->getTransition());
    EXPECT_EQ(Room::STATE_PLAYING, room(1)->getState()) << "the end of the wipe activates the room";
    EXPECT_EQ(-1, canvas->getPendingRoom());
}

TEST_F(RoomChangeTest, AnItemOnTheCursorIsUsedOnTheRoomAndNeverReachesTheExits)
{
    enter(0);
    clearCalls();
    canvas->setItemOnCursor(3, true);
    world.click(750, 350);
    world.stepFrames(2);
    EXPECT_EQ((std::vector<std::string>{"onUse:Dock(750, 350)"}), calls("on"));
    EXPECT_EQ(nullptr, canvas->getTransition());
    EXPECT_EQ(0, current());
    // An item that only hangs on the cursor without being held leaves the
    // exits open.
    canvas->setItemOnCursor(3, false);
    clearCalls();
    world.click(750, 350);
    world.stepFrames(2);
    EXPECT_EQ(1, current());
    // A use that ends the chapter ends the press: the next chapter's
    // slides, shown under the pointer at once, take none of it.
    world.stepFrames(30);
    canvas->getProgress()->chapter = 2;
    enter(10);
    ASSERT_EQ(0, luaL_dostring(L(), "rooms.TavernGallery.onUse = function(self, x, y) self:endChapter() end"));
    canvas->setItemOnCursor(3, true);
    clearCalls();
    world.click(400, 200);
    ASSERT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, current());
    EXPECT_TRUE(calls("onClick").empty());
}

TEST_F(RoomChangeTest, AClickBesideTheExitsReachesTheScriptAndADisabledExitLetsItThrough)
{
    enter(0);
    clearCalls();
    world.click(660, 260);
    world.stepFrames(1);
    EXPECT_EQ((std::vector<std::string>{"onClick:Dock(660, 260)"}), calls("on"));
    EXPECT_EQ(0, current());
    EXPECT_EQ(Room::STATE_PLAYING, room(0)->getState());
}

TEST_F(RoomChangeTest, AClickOnTheInventoryBarBelongsToTheInventory)
{
    enter(0);
    clearCalls();
    // The bar's opaque background covers the bottom 100 rows.
    world.click(750, 550);
    world.stepFrames(1);
    EXPECT_TRUE(calls("on").empty());
    EXPECT_EQ(Room::STATE_PLAYING, room(0)->getState());
}

TEST_F(RoomChangeTest, RoomIndexesOutsideTheTableChangeNothing)
{
    enter(0);
    clearCalls();
    for (int index : {-1, 66, 1000}) {
        canvas->changeRoom(index);
        canvas->enterRoom(index);
        room(0)->goToRoom(index);
        EXPECT_EQ(0, current()) << index;
        EXPECT_EQ(Room::STATE_PLAYING, room(0)->getState()) << index;
    }
    EXPECT_TRUE(calls("on").empty());
    EXPECT_NE(std::string::npos, world.debugText().find("changeRoom: no room 66"));
    // Outside the playing state no room is entered at all.
    canvas->setGameState(LanternfieldCanvas::STATE_PAUSED);
    canvas->enterRoom(5);
    EXPECT_EQ(0, current());
}

TEST_F(RoomChangeTest, AnUnseenChapterPlaysItsCutSceneAndASeenOneEntersTheSavedRoom)
{
    ProgressRecord* progress = canvas->getProgress();
    progress->chapter = 3;
    progress->currentRoom = 27;
    canvas->setResetGame(false);
    clearCalls();
    canvas->startChapter();
    EXPECT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, current());
    EXPECT_EQ(2, static_cast<Vignette*>(room(9))->getGroup());
    EXPECT_FALSE(canvas->isSpriteVisible("BlackBarTop"));
    EXPECT_FALSE(canvas->isSpriteVisible("BlackBarBottom"));
    EXPECT_TRUE(canvas->isSpriteVisible("Quit"));
    EXPECT_FALSE(canvas->getInventory()->isVisible());
    EXPECT_EQ(66, int(calls("resetGlobalItems:").size())) << "the first start resets the world";
    EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, canvas->getGameState());

    canvas->setVignetteSeen(3);
    progress->currentRoom = 27;
    canvas->showSprite("DimFull", true);
    clearCalls();
    canvas->startChapter();
    EXPECT_EQ(27, current());
    EXPECT_EQ(30, canvas->getSprite("DimFull")->getAlphaSteps()) << "a 30-frame fade from the dim screen";
    EXPECT_TRUE(calls("resetGlobalItems:").empty());
    EXPECT_EQ((std::vector<std::string>{"LF_replaceMusic(\"+sMusicChapter3\")"}), calls("LF_replaceMusic"));

    // With the reset-game flag a seen chapter starts in its start room.
    progress->chapter = 5;
    canvas->setVignetteSeen(5);
    canvas->setResetGame(true);
    canvas->startChapter();
    EXPECT_EQ(48, current());
}

TEST_F(RoomChangeTest, AdvancingAChapterSavesWhileTheOldRoomIsStillCurrent)
{
    canvas->setProfileName(lang::String("Ann"));
    ProgressRecord* progress = canvas->getProgress();
    progress->chapter = 2;
    progress->maxChapter = 0;
    enter(10);
    clearCalls();
    canvas->advanceChapter();
    EXPECT_EQ(3, progress->chapter);
    EXPECT_EQ(2, progress->maxChapter);
    const std::vector<std::string> order = calls("");
    std::vector<std::string> relevant;
    for (const std::string& c : order) {
        if (c == "LF_save()" || c.rfind("onExit:", 0) == 0 || c.rfind("onEnter:", 0) == 0)
            relevant.push_back(c);
    }
    EXPECT_EQ((std::vector<std::string>{"LF_save()", "onExit:TavernGallery(1)", "onEnter:Vignette(1)"}), relevant);

    // The end of chapter 6 marks every chapter unseen and returns to the menu.
    progress->chapter = 6;
    for (int n = 1; n <= 6; ++n)
        canvas->setVignetteSeen(n);
    canvas->advanceChapter();
    EXPECT_EQ(1, progress->chapter);
    EXPECT_EQ(6, progress->maxChapter);
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState());
    for (int n = 1; n <= 6; ++n)
        EXPECT_EQ(0, canvas->getVignetteSeen(n)) << n;
}

TEST_F(RoomChangeTest, ScriptErrorsAndMissingCallbacksLeaveTheGameGoingAndTheStackLevel)
{
    enter(0);
    const int top = lua_gettop(L());
    ASSERT_EQ(0, luaL_dostring(L(), "rooms.Dock.onClick = function() error('boom') end"));
    world.click(100, 100);
    world.stepFrames(1);
    std::vector<platform::MessageBoxRecord> boxes = world.boxes("Script Error");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("boom"));
    EXPECT_EQ(top, lua_gettop(L()));

    ASSERT_EQ(0, luaL_dostring(L(), "rooms.Dock = nil"));
    world.click(100, 100);
    world.stepFrames(1);
    boxes = world.boxes("Script Error");
    ASSERT_EQ(2u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[1].text.find("rooms[\"Dock\"]"));
    EXPECT_EQ(top, lua_gettop(L()));

    // The exits still work, and so does the next room's script.
    for (int i = 0; i < 100; ++i)
        room(0)->callScript("Dock", "onEnter");
    EXPECT_EQ(top, lua_gettop(L())) << "a hundred failed calls leave nothing behind";
    clearCalls();
    world.click(750, 350);
    world.stepFrames(2);
    EXPECT_EQ((std::vector<std::string>{"onEnter:ProfessorHouse(1)"}), calls("on"));
}

TEST_F(RoomChangeTest, ReturningToTheMenuLeavesTheRoomThenSaves)
{
    canvas->setProfileName(lang::String("Ann"));
    enter(4);
    clearCalls();
    canvas->exitToMenu();
    std::vector<std::string> relevant;
    for (const std::string& c : calls("")) {
        if (c == "LF_save()" || c.rfind("onExit:", 0) == 0)
            relevant.push_back(c);
    }
    EXPECT_EQ((std::vector<std::string>{"onExit:KnickKnackStore(1)", "LF_save()"}), relevant);
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState());
    EXPECT_TRUE(canvas->isSpriteVisible("MainMenu"));
    EXPECT_FALSE(room(4)->isVisible());
    EXPECT_EQ(4, canvas->getProgress()->lastRoom);
}

} // namespace
} // namespace gametest
