// SampleGameTest.cpp: the game data the build makes beside the game program
// loads cleanly, its exits and cut scenes join all 66 rooms into one graph
// that a player can walk from the story's introduction, and a new player
// makes a profile, sees the story's cut scenes and walks on by clicks; the
// first chapter's errand gives, takes and uses inventory items.
#include "core/lang/ResourceFile.h"
#include "core/lang/System.h"
#include "game/ambient/AmbientSoundManager.h"
#include "game/characters/Character.h"
#include "game/cutscenes/Vignette.h"
#include "game/cutscenes/VignetteAnimate.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "platform/user/Backend.h"
#include "platform/user/Input.h"
#include "sprites/particles/ExplosionSpritePSX.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "tests/game/support/GameFixture.h"
#include "tests/game/support/SampleSession.h"
#include "tests/support/TestLoaderFrame.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include <lua.hpp>

namespace gametest {
namespace {

class SampleGameTest : public GameFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGame());
    }

    void leaveBy(Room* room, int i) { gametest::leaveBy(world, room, i); }
    int current() { return canvas->getProgress()->currentRoom; }
    void newPlayer(const std::string& name) { gametest::newPlayer(world, name); }
    void pressCutSceneButton(const char* name) { gametest::pressCutSceneButton(world, canvas, name); }

    SamplePlayer player{world, canvas};
};

// Where a room leads: its exits' rooms, or a cut scene's rooms after its
// last slide or page.
std::vector<int> waysOn(Room* room)
{
    std::vector<int> out;
    if (room->isInstanceOf("Vignette")) {
        for (const Vignette::VignetteData& group : static_cast<Vignette*>(room)->getGroups()) {
            if (group.exitRoom >= 0)
                out.push_back(group.exitRoom);
        }
        return out;
    }
    if (room->isInstanceOf("VignetteAnimate")) {
        out.push_back(static_cast<VignetteAnimate*>(room)->getExitRoom());
        return out;
    }
    for (int i = 0; i < room->getDoorCount(); ++i) {
        if (DoorSprite* door = room->getDoor(i))
            out.push_back(door->getTargetRoom());
    }
    // The treasure chest shows its sliding-block board (room 8) over itself,
    // and the board is left as the chest is.
    if (room->isInstanceOf("TreasureChestCU"))
        out.push_back(8);
    if (room->isInstanceOf("SlideBlockPuzzle"))
        out.push_back(6);
    return out;
}

TEST_F(SampleGameTest, TheGameDataLoadsWithEverythingItCounts)
{
    EXPECT_TRUE(world.boxes().empty()) << world.boxes()[0].caption << ": " << world.boxes()[0].text;
    EXPECT_TRUE(canvas->isSetUp());
    EXPECT_GT(canvas->getManifestTotal(), 66);
    EXPECT_EQ(canvas->getManifestTotal(), canvas->getEntriesLoaded());
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState());
    EXPECT_TRUE(canvas->isSpriteVisible("MainMenu"));
}

TEST_F(SampleGameTest, EveryRoomCanBeReachedThroughTheExits)
{
    // A new game enters the introduction, which has no exit leading to it.
    std::set<int> reached;
    std::vector<int> todo{LanternfieldCanvas::ROOM_STORY_INTRO};
    while (!todo.empty()) {
        const int index = todo.back();
        todo.pop_back();
        if (!reached.insert(index).second)
            continue;
        Room* room = canvas->getRoom(index);
        ASSERT_NE(nullptr, room) << index;
        const std::vector<int> ways = waysOn(room);
        ASSERT_FALSE(ways.empty()) << room->getName().c_str() << " has no way on";
        for (int target : ways)
            EXPECT_NE(nullptr, canvas->getRoom(target)) << room->getName().c_str() << " leads to " << target;
        for (int i = 0; i < room->getDoorCount(); ++i) {
            DoorSprite* door = room->getDoor(i);
            ASSERT_NE(nullptr, door) << room->getName().c_str() << " Door" << i;
            EXPECT_EQ(index, door->getOwnerRoom()) << room->getName().c_str() << " Door" << i;
            EXPECT_TRUE(door->isEnabled()) << room->getName().c_str() << " Door" << i;
            EXPECT_GE(door->getDirection(), 0);
            EXPECT_LE(door->getDirection(), 7);
            // Clear of the inventory bar along the bottom.
            EXPECT_LE(door->top() + door->height(), 520) << room->getName().c_str() << " Door" << i;
        }
        todo.insert(todo.end(), ways.begin(), ways.end());
    }
    EXPECT_EQ(size_t(LanternfieldCanvas::ROOM_COUNT), reached.size());
}

TEST_F(SampleGameTest, AChaptersFirstStartShowsItsSlideShowWhichLeadsToTheDock)
{
    newPlayer("Ann");
    canvas->setResetGame(false);
    canvas->getProgress()->currentRoom = 2;
    canvas->startChapter();
    ASSERT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, current());
    world.stepFrames(2);
    // Three slides: Next, Next, then Continue closes the dimmer over the
    // screen and leads on.
    pressCutSceneButton("NextButton");
    pressCutSceneButton("NextButton");
    pressCutSceneButton("ContinueButton");
    world.stepFrames(25);
    EXPECT_EQ(0, current());
    EXPECT_EQ(1, canvas->getVignetteSeen(1)) << "the cut scene was seen";
    // The next start goes straight to the saved room.
    canvas->exitToMenu();
    canvas->startChapter();
    EXPECT_EQ(0, current());
}

TEST_F(SampleGameTest, ANewPlayerMakesAProfileHearsTheStoryAndWalksOn)
{
    // Without a profile the player selection asks for a name first.
    auto* chooser = static_cast<ChoosePlayer*>(canvas->getSprite("ChoosePlayer"));
    ASSERT_TRUE(chooser->isVisible());
    ASSERT_TRUE(chooser->isInputPromptVisible());
    newPlayer("Ann");
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_FALSE(canvas->isSpriteVisible("Dim"));
    EXPECT_EQ("Ann", std::string(canvas->getProfileName().c_str()));
    EXPECT_EQ("Ann", world.settingText("LASTPROFILE", ""));
    ASSERT_NE(nullptr, canvas->getProfileStore());
    EXPECT_EQ("Ann", std::string(canvas->getProfileStore()->getString("displayName", "").c_str()));

    world.click(400, 410);
    // The screen darkens first; the introduction comes behind the fade.
    world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + 2);
    ASSERT_EQ(LanternfieldCanvas::ROOM_STORY_INTRO, current()) << "the menu's start button opens a new game";
    EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, canvas->getGameState());
    EXPECT_FALSE(canvas->isSpriteVisible("MainMenu"));
    leaveBy(canvas->getRoom(current()), 0);
    // The animated cut scene: two pages, then the first chapter's slides.
    ASSERT_EQ(LanternfieldCanvas::ROOM_VIGNETTE_INTRO, current());
    pressCutSceneButton("NextButton");
    pressCutSceneButton("ContinueButton");
    ASSERT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, current());
    EXPECT_EQ(0, static_cast<Vignette*>(canvas->getRoom(current()))->getGroup());
    pressCutSceneButton("NextButton");
    pressCutSceneButton("NextButton");
    pressCutSceneButton("ContinueButton");
    world.stepFrames(25);
    ASSERT_EQ(0, current()) << "on to the dock";
    EXPECT_TRUE(canvas->isSpriteVisible("Inventory"));
    leaveBy(canvas->getRoom(0), 0);
    EXPECT_EQ(2, current()) << "north to the market";
    EXPECT_TRUE(ScriptHost::instance->getLuaBoolean("LF.visited.Dock"));
    EXPECT_TRUE(ScriptHost::instance->getLuaBoolean("LF.visited.MarketPlace"));
    EXPECT_TRUE(world.boxes().empty());
}

TEST_F(SampleGameTest, OutdoorRoomsHaveAnimalsSoundsSparklesAndAnExitAScriptOpens)
{
    EXPECT_EQ(6, canvas->getSoundCount());
    canvas->setResetGame(false);
    enter(5);
    world.stepFrames(1);
    Room* riverside = canvas->getRoom(5);
    AmbientSoundManager* sounds = canvas->getAmbientSoundManager();
    EXPECT_EQ(4, riverside->getAmbientSprites().size()) << "butterflies";
    EXPECT_EQ(1, sounds->getSoundCount()) << "the stream";
    EXPECT_GT(riverside->getEffects().size(), 0) << "sparkles on the lever";
    EXPECT_FALSE(riverside->getDoor(0)->isEnabled()) << "the way north waits for the lever";
    sprite::SpriteBase* lever = riverside->getSprite("Lever");
    ASSERT_NE(nullptr, lever);
    world.click(lever->left() + 20, lever->top() + 30);
    EXPECT_TRUE(riverside->getDoor(0)->isEnabled());
    ASSERT_NE(nullptr, riverside->getParticles()) << "the lock's burst";
    EXPECT_TRUE(riverside->getParticles()->elementAt(0)->isRunning());
    world.stepFrames(120);
    EXPECT_EQ(0, riverside->getEffects().size()) << "the sparkles are cleaned up";

    leaveBy(riverside, 1);
    ASSERT_EQ(0, current());
    EXPECT_EQ(50, canvas->getRoom(0)->getAmbientSprites().size()) << "bubbles in the harbour";
    EXPECT_EQ(1, sounds->getLoopCount()) << "the waves";
    EXPECT_EQ(0, riverside->getAmbientSprites().size()) << "the butterflies stayed behind";
    canvas->changeRoom(47);
    world.stepFrames(2);
    EXPECT_EQ(6, canvas->getRoom(47)->getAmbientSprites().size()) << "fireflies";
    EXPECT_EQ(0, sounds->getLoopCount()) << "the dock's waves stopped";
    EXPECT_TRUE(world.boxes().empty());
}

TEST_F(SampleGameTest, TheFirstChaptersErrandGivesTakesAndUsesItemsWithItsHints)
{
    Inventory* bar = canvas->getInventory();
    auto hints = [bar] {
        std::vector<std::string> list;
        for (int i = 0; i < bar->getHintCount(); ++i)
            list.push_back(bar->getHintAt(i).c_str());
        return list;
    };
    auto has = [bar](const char* name) { return bar->hasItem(lang::String(name)); };
    // Clicks the middle of a sprite of the current room.
    auto clickOn = [this](const char* name) {
        player.clickSprite(canvas->getRoom(current()), name);
        world.stepFrames(2);
    };
    // Enters the room and ends the first visit's thought or advice, whose
    // balloon would take the next click.
    auto visit = [this](int room) {
        enter(room);
        for (Character* c : {canvas->getPlayerCharacter(), canvas->getCharacter(1)})
            if (c && c->isTalking())
                c->stopTalk();
        world.stepFrames(10);
    };
    auto takeFromBar = [this](const char* name) { player.takeFromBar(name); };

    world.click(400, 410);
    world.stepFrames(2);
    visit(0);
    EXPECT_EQ((std::vector<std::string>{"STR_HINT_2", "STR_HINT_1"}), hints()) << "the errand's first tasks";
    EXPECT_EQ(2, canvas->getProgress()->hintCount());

    visit(4);
    clickOn("Item_Vase");
    EXPECT_TRUE(has("Vase"));
    EXPECT_FALSE(canvas->getRoom(4)->getSprite("Item_Vase")->isVisible());
    EXPECT_GT(bar->getSparkleCount(), 0);
    EXPECT_EQ((std::vector<std::string>{"STR_HINT_3", "STR_HINT_2"}), hints());

    visit(5);
    takeFromBar("Vase");
    world.click(400, 300);
    world.stepFrames(1);
    EXPECT_TRUE(has("Vase")) << "not the river: the vase goes back into the bar";
    EXPECT_FALSE(canvas->hasItemOnCursor());
    takeFromBar("Vase");
    clickOn("River");
    EXPECT_FALSE(has("Vase"));
    EXPECT_TRUE(has("VaseWithWater"));
    EXPECT_FALSE(canvas->hasItemOnCursor());

    visit(2);
    clickOn("Item_HiddenFlowerBouquet");
    EXPECT_TRUE(has("HiddenFlowerBouquet"));
    EXPECT_EQ((std::vector<std::string>{"STR_HINT_5", "STR_HINT_4"}), hints());

    visit(1);
    for (const char* gift : {"VaseWithWater", "HiddenFlowerBouquet"}) {
        takeFromBar(gift);
        world.click(400, 300);
        world.stepFrames(1);
        EXPECT_FALSE(has(gift)) << gift;
    }
    EXPECT_TRUE(has("Box"));
    EXPECT_EQ(std::vector<std::string>{"STR_HINT_6"}, hints());

    visit(0);
    takeFromBar("Box");
    world.click(400, 300);
    world.stepFrames(1);
    EXPECT_FALSE(has("Box"));
    EXPECT_TRUE(has("Amulet"));
    EXPECT_EQ(std::vector<std::string>{"STR_HINT_7"}, hints());
    EXPECT_EQ(1, canvas->getProgress()->itemOwned[0]);
    EXPECT_EQ(7, canvas->getProgress()->hint[0]);
    EXPECT_TRUE(world.boxes().empty()) << world.boxes()[0].caption << ": " << world.boxes()[0].text;
}

TEST_F(SampleGameTest, TheItemsHaveTheirPicturesTipsAndCursorPictures)
{
    Inventory* bar = canvas->getInventory();
    lang::ResourceFile* archive = lang::ResourceFile::getCurrent();
    ASSERT_NE(nullptr, archive);
    for (int id = 1; id <= Inventory::ITEM_COUNT; ++id) {
        ScriptHost::instance->callLuaFunctionIntResult("LF_getInventoryItemSpriteName", id);
        const lang::String name = ScriptHost::instance->popLuaString();
        EXPECT_STREQ(Inventory::kItems[id - 1].name, name.c_str()) << id;
        ASSERT_NE(nullptr, bar->getSprite(name.c_str())) << name.c_str();
        EXPECT_EQ(32, bar->getSprite(name.c_str())->width()) << name.c_str();
        ScriptHost::instance->callLuaFunctionIntResult("LF_getInventoryItemToolTipID", id);
        EXPECT_FALSE(lang::String::loadText(ScriptHost::instance->popLuaString()).isEmpty()) << name.c_str();
    }
    for (const char* cursor : {"iCursor_Peg_1", "iCursor_Peg_2", "iCursor_Peg_3", "iCursor_Machete", "iCursor_Vase",
                               "iCursor_VaseWithWater", "iCursor_Bouquet", "iCursor_Box", "iCursor_Cypher",
                               "iCursor_Seahorse", "iCursor_Pearls"}) {
        lang::ResourceItem* item = archive->getItem(lang::String(cursor), true);
        EXPECT_NE(nullptr, item) << cursor;
        if (item)
            item->release();
    }
    for (int i = 1; i <= 7; ++i)
        EXPECT_FALSE(lang::String::loadText(("STR_HINT_" + std::to_string(i)).c_str()).isEmpty()) << i;
    EXPECT_NE(nullptr, bar->getSprite("CaveMap_Current_22"));
    EXPECT_NE(nullptr, bar->getSprite("InventorySparkle"));
}

TEST_F(SampleGameTest, AMiniGamesInstructionsOpenOnTheFirstVisitAndAClickClosesThem)
{
    const int kCards = 17;
    world.click(400, 410);
    world.stepFrames(2);
    enter(kCards);
    int frames = 0;
    while (!canvas->isGameInstructionsShowing() && frames++ < 200)
        world.stepFrames(1);
    ASSERT_TRUE(canvas->isGameInstructionsShowing());
    sprite::SpriteBase* panel = canvas->getSprite("GameInstructions");
    world.click(panel->left() + panel->width() / 2, panel->top() + panel->height() / 2);
    world.stepFrames(1);
    EXPECT_FALSE(canvas->isGameInstructionsShowing());
    EXPECT_TRUE(canvas->isGameInsQuestionMarkShowing());
    EXPECT_FALSE(canvas->isSpriteVisible("GameInsDimmer"));
    EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, canvas->getGameState());
}

TEST_F(SampleGameTest, KeysTypedIntoTheNewPlayersNameNeverWorkTheDebugKeys)
{
    lang::System::setDebugMode(true);
    ASSERT_TRUE(static_cast<ChoosePlayer*>(canvas->getSprite("ChoosePlayer"))->isInputPromptVisible());
    platform::events::text("3c");
    world.pump();
    world.tick(16);
    world.stepFrames(1);
    EXPECT_EQ('c', canvas->getLastKey());
    EXPECT_EQ(1, canvas->getProgress()->chapter) << "no chapter jump";
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState());
}

TEST(SampleSessionsTest, APlayerPausesQuitsAndContinuesWhereTheyWereAfterARestart)
{
    if (!hasSampleGame())
        GTEST_SKIP() << "the game data is built with the tools";
    std::string settings;
    {
        SampleRun run("");
        ASSERT_TRUE(run.started);
        newPlayer(run.world, "Ann");
        run.world.click(400, 410); // "Start"
        run.world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + 2);
        ASSERT_EQ(LanternfieldCanvas::ROOM_STORY_INTRO, run.current());
        run.leaveBy(LanternfieldCanvas::ROOM_STORY_INTRO, 0);
        // The introduction's two cut scenes lead to the dock.
        for (const char* button : {"NextButton", "ContinueButton", "NextButton", "NextButton", "ContinueButton"})
            pressCutSceneButton(run.world, run.canvas, button);
        run.world.stepFrames(25);
        ASSERT_EQ(0, run.current());
        run.leaveBy(0, 0);
        ASSERT_EQ(2, run.current());
        EXPECT_TRUE(run.canvas->isSpriteVisible("Quit")) << "the pause button shows once the story has begun";

        run.world.click(776, 24); // the pause button
        EXPECT_EQ(LanternfieldCanvas::STATE_PAUSED, run.canvas->getGameState());
        EXPECT_TRUE(run.canvas->isSpriteVisible("BookDialog"));
        run.world.click(400, 290); // "Resume"
        EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, run.canvas->getGameState());
        EXPECT_FALSE(run.canvas->isSpriteVisible("BookDialog"));
        EXPECT_TRUE(run.canvas->isSpriteVisible("Quit"));

        run.canvas->setShowGameInstructions(3, false); // a mini-game's instructions were seen
        ASSERT_EQ(0, luaL_dostring(ScriptHost::instance->getState(), "LF.callBoxSolved = true"));
        run.world.click(776, 24);
        run.world.click(400, 380); // "Main menu": the game is saved
        EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, run.canvas->getGameState());
        run.world.click(400, 575); // "Quit"
        EXPECT_TRUE(run.world.pumpUntil([&run] { return run.world.hasQuit(); }, 5000));
        EXPECT_TRUE(run.world.boxes().empty());
        settings = run.settings();
    }
    SampleRun again(settings);
    ASSERT_TRUE(again.started);
    EXPECT_STREQ("Ann", again.canvas->getProfileName().c_str());
    EXPECT_FALSE(again.canvas->isSpriteVisible("ChoosePlayer")) << "the last player plays on";
    again.world.click(400, 410); // "Start" continues
    again.world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + 2);
    EXPECT_EQ(2, again.current()) << "back at the market";
    EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, again.canvas->getGameState());
    EXPECT_TRUE(ScriptHost::instance->getLuaBoolean("LF.visited.Dock")) << "the story's state came back";
    EXPECT_TRUE(ScriptHost::instance->getLuaBoolean("LF.callBoxSolved")) << "and every flag of it";
    EXPECT_FALSE(again.canvas->getShowGameInstructions(3)) << "seen instructions stay seen";
    EXPECT_TRUE(again.canvas->getShowGameInstructions(4));
    EXPECT_TRUE(again.canvas->isSpriteVisible("Quit"));
}

} // namespace
} // namespace gametest
