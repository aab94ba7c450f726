// SampleGameTest.cpp: the game data the build makes beside the game program
// loads cleanly, its exits and cut scenes join all 66 rooms into one graph
// that a player can walk from the story's introduction, and a new player
// makes a profile, sees the story's cut scenes and walks on by clicks; the
// first chapter's errand gives, takes and uses inventory items; the
// story's save is taken back the same; the menus, book, options and jump
// screen find every part they use.
#include "core/lang/ByteArray.h"
#include "core/lang/ResourceFile.h"
#include "core/lang/System.h"
#include "game/ambient/AmbientSoundManager.h"
#include "game/characters/Character.h"
#include "game/cutscenes/Vignette.h"
#include "game/cutscenes/VignetteAnimate.h"
#include "game/debug/PuzzleCheats.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/dialogs/GameInstructDialog.h"
#include "game/menus/BookDlgSprite.h"
#include "game/menus/MenuSprite.h"
#include "game/menus/OptionsSprite.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/progress/SavedStory.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "platform/user/Backend.h"
#include "platform/user/Input.h"
#include "sound/clip/AudioClip.h"
#include "sprites/particles/ExplosionSpritePSX.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/game/support/GameFixture.h"
#include "tests/game/support/SampleSession.h"
#include "tests/support/TestLoaderFrame.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <vector>

#include <lua.hpp>

namespace gametest {
namespace {

// Frames until `done`, at most `maxFrames`.
bool framesUntil(testsupport::GameWorld& world, const std::function<bool()>& done, int maxFrames)
{
    for (int i = 0; i < maxFrames && !done(); ++i)
        world.stepFrames(1);
    return done();
}

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
    sprite::DialogSprite* dialog(const char* name)
    {
        auto* d = static_cast<sprite::DialogSprite*>(canvas->getSprite(name));
        EXPECT_NE(nullptr, d) << name;
        return d;
    }
    // Clicks the middle of a dialog's part.
    void clickOn(sprite::DialogSprite* d, const char* part) { clickPart(world, d, part); }
    void newPlayer(const std::string& name) { gametest::newPlayer(world, name); }
    void pressCutSceneButton(const char* name) { gametest::pressCutSceneButton(world, canvas, name); }

    SamplePlayer player{world, canvas};
};

// Where a room leads: its exits' rooms (or a close-up's, left by its
// button), or a cut scene's rooms after its last slide or page.
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
    // The temple door's lock is left by its Leave button, back to the hall.
    if (room->isInstanceOf("TempleDoorPuzzle"))
        out.push_back(59);
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
    // Pictures whose decoding waits until they are shown are not damaged.
    EXPECT_EQ(std::string::npos, world.debugText().find("is damaged"));
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
    sprite::NewFontSprite* menuName = static_cast<MenuSprite*>(dialog("MainMenu"))->getProfileNameText();
    ASSERT_NE(nullptr, menuName);
    EXPECT_FALSE(menuName->isVisible()) << "the menu without a player shows no name";
    newPlayer("Ann");
    EXPECT_TRUE(menuName->isVisible());
    EXPECT_STREQ("Ann", menuName->getText().c_str());
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
    // The animated cut scene: two pages, then the first chapter's slides,
    // all without the inventory bar.
    ASSERT_EQ(LanternfieldCanvas::ROOM_VIGNETTE_INTRO, current());
    EXPECT_FALSE(canvas->isSpriteVisible("Inventory"));
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

TEST_F(SampleGameTest, TheMenusDialogsAndJumpScreenHaveEveryPartTheyUse)
{
    sprite::DialogSprite* menu = dialog("MainMenu");
    for (const char* part : {"ProfileName", "ClickHere", "bStart1", "bMenuOptions", "bMenuHowtoPlay", "bMenuExit",
                             "upsellHV"})
        EXPECT_NE(nullptr, menu->getSprite(part)) << part;
    EXPECT_TRUE(menu->getSprite("ProfileName")->isInstanceOf("NewFontSprite"));

    auto* book = static_cast<BookDlgSprite*>(dialog("BookDialog"));
    canvas->getProgress()->maxChapter = 6;
    for (int n = 1; n <= 6; ++n) {
        book->showChapterPage(n);
        for (const char* text : {"ChapterTitleText", "ChapterDescriptionText"}) {
            auto* t = static_cast<sprite::NewFontSprite*>(book->getSprite(text));
            ASSERT_NE(nullptr, t) << text;
            EXPECT_GT(t->width(), 0) << "the font draws " << text << " " << n;
        }
        EXPECT_STREQ(("Chapter " + std::to_string(n)).c_str(),
                     static_cast<sprite::NewFontSprite*>(book->getSprite("ChapterTitleText"))->getText().c_str());
    }
    for (const char* part : {"ChapterComplete", "PlayButton", "ResumeGame", "ReplayGame", "EndGame", "bMenuOptions",
                             "bMenuInstructions", "ArrowLeftNormal", "ArrowLeftRollover", "ArrowRightNormal",
                             "ArrowRightRollover", "BackToChapterText", "NextChapterText", "PageFlip_Overlay"})
        EXPECT_NE(nullptr, book->getSprite(part)) << part;

    sprite::DialogSprite* panel = dialog("GameInstructions");
    for (const char* picture : GameInstructDialog::kPictureNames) {
        if (*picture) {
            EXPECT_NE(nullptr, panel->getSprite(picture)) << picture;
        }
    }
    for (const char* part : {"insQuestionMark", "playButton", "closeButton"})
        EXPECT_NE(nullptr, panel->getSprite(part)) << part;

    sprite::DialogSprite* screen = dialog("PuzzleCheats");
    for (int c = 1; c <= 6; ++c)
        EXPECT_NE(nullptr, screen->getSprite(("Background_" + std::to_string(c)).c_str())) << c;
    for (const PuzzleCheats::CheckBox& box : PuzzleCheats::kCheckBoxes)
        EXPECT_NE(nullptr, screen->getSprite(box.sprite)) << box.sprite;
    for (const PuzzleCheats::Jump& jump : PuzzleCheats::kJumps)
        EXPECT_NE(nullptr, screen->getSprite(jump.sprite)) << jump.sprite;

    // The sound table holds the click, the panel's zooms and the page flip.
    ASSERT_GT(canvas->getSoundCount(), BookDlgSprite::SOUND_PAGE_FLIP);
    EXPECT_STREQ("+sounds/click.wav", canvas->getSound(0)->getName().c_str());
    EXPECT_STREQ("+sounds/zoomout.wav", canvas->getSound(GameInstructDialog::SOUND_SHRINK)->getName().c_str());
    EXPECT_STREQ("+sounds/zoomin.wav", canvas->getSound(GameInstructDialog::SOUND_GROW)->getName().c_str());
    EXPECT_STREQ("+sounds/pageflip.wav", canvas->getSound(BookDlgSprite::SOUND_PAGE_FLIP)->getName().c_str());
    EXPECT_TRUE(world.boxes().empty());
}

TEST_F(SampleGameTest, TheOptionsKnobsSetTheVolumesHeardAndStoredOnClose)
{
    newPlayer("Ann");
    auto* options = static_cast<OptionsSprite*>(dialog("Options"));
    EXPECT_EQ(85, options->musicVolume()) << "the default volumes";
    EXPECT_EQ(170, options->effectsVolume());
    window::AudioClip* music = canvas->getMusicClip();
    ASSERT_TRUE(music->hasData()) << "the menu's music is in the data";
    EXPECT_TRUE(music->isPlaying());
    // The menu's button opens the dialog over the dimmed menu.
    clickOn(dialog("MainMenu"), "bMenuOptions");
    world.stepFrames(2);
    ASSERT_TRUE(options->isVisible());
    EXPECT_TRUE(canvas->isSpriteVisible("Dim"));
    sprite::SpriteBase* knob = options->getSprite("butmuknob");
    const int x = options->left() + knob->left() + knob->width() / 2;
    const int y = options->top() + knob->top() + knob->height() / 2;
    world.mouseDown(x, y);
    world.mouseMove(x - 45, y);
    world.mouseUp(x - 45, y);
    EXPECT_EQ(40, options->musicVolume());
    EXPECT_EQ(40, music->getVolume()) << "heard at once";
    EXPECT_EQ(-1, world.setting("VOLUMEMUSIC", -1));
    clickOn(options, "bOptionsClose");
    EXPECT_EQ(40, world.setting("VOLUMEMUSIC", -1));
    EXPECT_EQ(170, world.setting("VOLUMEFX", -1));
    EXPECT_FALSE(canvas->isSpriteVisible("Dim"));
    world.stepFrames(20);
    EXPECT_FALSE(options->isVisible());
}

TEST_F(SampleGameTest, TheJumpScreenOfTheDebugModeReachesARoomOfTheChapter)
{
    newPlayer("Ann");
    canvas->enterGame(0);
    canvas->getProgress()->chapter = 3;
    auto* screen = static_cast<PuzzleCheats*>(dialog("PuzzleCheats"));
    lang::System::setDebugMode(true);
    world.key('C');
    lang::System::setDebugMode(false);
    world.stepFrames(2);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_TRUE(screen->getSprite("Background_3")->isVisible());
    EXPECT_TRUE(screen->getSprite("CleanedBookshelf")->isVisible());
    EXPECT_FALSE(screen->getSprite("SolvedLures")->isVisible()) << "the script shows only the page's boxes";
    clickOn(screen, "CleanedBookshelf");
    EXPECT_TRUE(ScriptHost::instance->getLuaBoolean("LF.cheats.CleanedBookshelf"));
    clickOn(screen, "To_Bridge");
    world.stepFrames(2);
    EXPECT_EQ(32, current());
    EXPECT_FALSE(screen->isVisible());
    EXPECT_TRUE(canvas->getRoom(32)->isVisible());
    EXPECT_TRUE(world.boxes().empty());
}

TEST_F(SampleGameTest, OutdoorRoomsHaveAnimalsSoundsSparklesAndAnExitAScriptOpens)
{
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
    // The errand done, the paper names the chapter's next goals: the lever
    // before the chest by the river, and the dry fountain.
    EXPECT_EQ((std::vector<std::string>{"STR_HINT_10", "STR_HINT_8"}), hints());
    EXPECT_EQ(1, canvas->getProgress()->itemOwned[0]);
    EXPECT_EQ(8, canvas->getProgress()->hint[0]);
    EXPECT_TRUE(world.boxes().empty()) << world.boxes()[0].caption << ": " << world.boxes()[0].text;
}

// The story as the sample's scripts save it: what the restore takes is saved
// within what the settings keep and taken back the same, again and again;
// a story that could not be saved so is not taken. What the save writes of
// a story the restore refuses for its size runs whole, however many values
// it names.
TEST_F(SampleGameTest, AStoryTheRestoreTakesIsSavedAndTakenBackTheSame)
{
    lua_State* L = ScriptHost::instance->getState();
    world.setSetting("Ann\\displayName", "Ann");
    canvas->setProfileName(lang::String("Ann"));
    canvas->saveProfile();
    struct Case {
        const char* what;
        std::string stored; // the saved story the game starts from, if any
        const char* played; // what the scripts then put into the story
        const char* check;  // true of the story after two saves; none: the story is not taken
        const char* refusal = "";
    };
    std::string nuls;
    for (int i = 0; i < 1000000; ++i)
        nuls += "\\0";
    std::string emptyTables = "LF.x = {";
    for (int i = 0; i < 900000; ++i)
        emptyTables += "{},";
    const char* tooLarge = "a story larger than a story may be";
    const std::vector<Case> cases = {
        {"a table held in many places",
         "local t = {1} for d = 1, 6 do local n = {} for i = 1, 10 do n[i] = t end t = n end LF.bomb = t", "", nullptr,
         "a table held twice"},
        {"a text longer than a save holds", "local s = 'x' for i = 1, 23 do s = s .. s end LF.long = s", "", nullptr,
         "a story its save cannot write"},
        // A story taken leaves itself room to grow: its save takes at most
        // half of the 4 MB the settings keep of it.
        {"a save over half of what the settings keep", "local s = 'x' for i = 1, 21 do s = s .. s end LF.long = s",
         "", nullptr, "a story whose save is longer than a story taken may be ("},
        {"many empty tables", emptyTables + "}", "", nullptr, "a story that needs more than"},
        {"NUL bytes", "LF.nul = \"" + nuls + "\\0001\"", "", "LF.nul == ('\\0'):rep(1000001) .. '1'"},
        // A list its save builds by two functions (100,000 numbers each at
        // most). Its numbers repeat: each different number costs the save
        // far more, and 270,000 of them took more than the two seconds of
        // processor time a save may take, under the sanitizers on a slow
        // machine. The strings' rows below reach a function's limit.
        {"a long list", "local t = {} for i = 1, 110000 do t[i] = i % 997 end LF.list = t", "",
         "#LF.list == 110000 and LF.list[1] == 1 and LF.list[100001] == 100001 % 997 and "
         "LF.list[110000] == 110000 % 997"},
        {"minus zero", "LF.minus = -0", "", "1 / LF.minus < 0 and 1 / LF.ticTacRound > 0"},
        {"a table held twice", "", "local t = {1} LF.twice = {t, t}", "LF.twice[1][1] == 1 and LF.twice[2][1] == 1"},
        {"numbers of 17 digits", "", "LF.third = 1 / 3", "LF.third == 1 / 3"},
        {"a key between a list's numbers", "", "LF.list = {1, 2, 3, [1.5] = 'x'}",
         "#LF.list == 3 and LF.list[3] == 3 and LF.list[1.5] == 'x'"},
        // A Lua function names at most 262,143 numbers and strings.
        {"270,000 strings", "", "local t = {} for i = 1, 270000 do t[i] = 's' .. i end LF.strings = t", nullptr,
         tooLarge},
        {"262,144 numbers and strings in the story table itself", "",
         "for i = 1, 131072 do LF[i] = 's' .. i end", nullptr, tooLarge},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SavedStory::makeFresh(L);
        const size_t said = world.debugText().size();
        auto refused = [&] {
            EXPECT_NE(std::string::npos,
                      world.debugText().find("the saved story of Ann is not taken (" + std::string(c.refusal), said))
                << world.debugText().substr(said, 1000);
        };
        if (!c.stored.empty()) {
            lang::ByteArray text;
            text.setLength(int(c.stored.size()));
            std::copy(c.stored.begin(), c.stored.end(), text.data());
            world.settings()->setBytesChunked(lang::String("Ann\\LF"), text);
            EXPECT_EQ(c.check != nullptr, canvas->loadProfile());
            if (!c.check) {
                refused();
                EXPECT_EQ(0, luaL_dostring(L, "assert(LF.ticTacRound == 0 and LF.bomb == nil and LF.long == nil)"));
                continue;
            }
        }
        const std::string played = std::string(c.played) + " LF.round = " + std::to_string(++round);
        ASSERT_EQ(0, luaL_dostring(L, played.c_str()));
        for (int save = 0; save < 2; ++save) {
            ASSERT_TRUE(canvas->saveProfile());
            ASSERT_EQ(0, luaL_dostring(L, "LF = {}"));
            if (!c.check) {
                EXPECT_FALSE(canvas->loadProfile());
                refused();
                break;
            }
            ASSERT_TRUE(canvas->loadProfile()) << save;
            const std::string check = "assert(LF.round == " + std::to_string(round) + " and " + c.check + ")";
            EXPECT_EQ(0, luaL_dostring(L, check.c_str())) << save << ": " << lua_tostring(L, -1);
            lua_settop(L, 0);
        }
    }
    EXPECT_TRUE(world.boxes().empty());
}

TEST_F(SampleGameTest, TheHintPaperOpensAndClosesByAClickAnywhereOnItsTab)
{
    Inventory* bar = canvas->getInventory();
    world.click(400, 410);
    world.stepFrames(2);
    enter(0);
    ASSERT_TRUE(framesUntil(world, [bar] { return bar->getHintState() == Inventory::HINTS_RESTING; }, 400));
    const util::RectangleNM paper = *canvas->getSprite("InventoryHintPaper")->getBounds();
    const util::RectangleNM arrow = *canvas->getSprite("InventoryHintArrowButton")->getBounds();
    // The sheet's top edge (below the picture's clear band), its arrow, a
    // corner of the tab just above the bar.
    const std::pair<int, int> points[] = {
        {paper.x + paper.width / 2, paper.y + 11},
        {arrow.x + arrow.width / 2, arrow.y + 1},
        {paper.x + 4, 518},
    };
    for (const auto& point : points) {
        SCOPED_TRACE(std::to_string(point.first) + ", " + std::to_string(point.second));
        world.click(point.first, point.second);
        EXPECT_TRUE(framesUntil(world, [bar] { return bar->getHintState() == Inventory::HINTS_RAISED; }, 40));
        // The raised paper is lowered by a click on its arrow.
        const util::RectangleNM raised = *canvas->getSprite("InventoryHintArrowButton")->getBounds();
        world.click(raised.x + raised.width / 2, raised.y + raised.height / 2);
        EXPECT_TRUE(framesUntil(world, [bar] { return bar->getHintState() == Inventory::HINTS_RESTING; }, 40));
    }
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
    // The play button shrinks the panel away.
    auto* panel = static_cast<GameInstructDialog*>(canvas->getSprite("GameInstructions"));
    ASSERT_TRUE(framesUntil(world, [panel] { return !panel->isZooming(); }, 20));
    clickPart(world, canvas, "GameInstructions", "playButton");
    EXPECT_TRUE(framesUntil(world, [this] { return !canvas->isGameInstructionsShowing(); }, 20));
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

TEST_F(SampleGameTest, EscPressedOnTheKeyboardCancelsTheNewPlayersPrompt)
{
    auto* chooser = static_cast<ChoosePlayer*>(canvas->getSprite("ChoosePlayer"));
    ASSERT_TRUE(chooser->isInputPromptVisible());
    world.key(VK_ESCAPE);
    world.stepFrames(1);
    EXPECT_FALSE(chooser->isInputPromptVisible());
    EXPECT_TRUE(chooser->isVisible()) << "the empty list shows";
    // With the prompt closed, Esc is the frame's again and never queued.
    world.key('A');
    world.stepFrames(1);
    const int last = canvas->getLastKey();
    world.key(VK_ESCAPE);
    world.stepFrames(1);
    EXPECT_EQ(last, canvas->getLastKey());
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
        clickPart(run.world, run.canvas, "BookDialog", "ResumeGame");
        EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, run.canvas->getGameState());
        EXPECT_TRUE(run.canvas->isSpriteVisible("Quit"));
        // The book fades away.
        EXPECT_TRUE(framesUntil(run.world, [&run] { return !run.canvas->isSpriteVisible("BookDialog"); }, 60));

        run.canvas->setShowGameInstructions(3, false); // a mini-game's instructions were seen
        // And anything else a saved story may hold.
        ASSERT_EQ(0, luaL_dostring(ScriptHost::instance->getState(),
                                   "LF.callBoxSolved = true LF.odd = {[true] = 'a\\0\"\\n', [1/0] = 0.1, "
                                   "none = 0/0, low = -1/0, deep = {{{{{{1}}}}}}}"));
        run.world.click(776, 24);
        clickPart(run.world, run.canvas, "BookDialog", "EndGame"); // "Main menu": the game is saved
        EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, run.canvas->getGameState());
        clickPart(run.world, run.canvas, "MainMenu", "bMenuExit"); // "Quit"
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
    EXPECT_EQ(0, luaL_dostring(ScriptHost::instance->getState(),
                               "local o = LF.odd assert(o[true] == 'a\\0\"\\n' and o[1/0] == 0.1 and o.none ~= o.none "
                               "and o.low == -1/0 and o.deep[1][1][1][1][1][1] == 1)"))
        << lua_tostring(ScriptHost::instance->getState(), -1);
    EXPECT_FALSE(again.canvas->getShowGameInstructions(3)) << "seen instructions stay seen";
    EXPECT_TRUE(again.canvas->getShowGameInstructions(4));
    EXPECT_TRUE(again.canvas->isSpriteVisible("Quit"));
}

} // namespace
} // namespace gametest

