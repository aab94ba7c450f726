// SampleWalk.cpp: the walkthrough's steps on a running sample game.
#include "tests/scenes/support/SampleWalk.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "sound/clip/AudioClip.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace scenetest {
namespace {

// Where the main menu's start button and the pause button lie on the screen.
constexpr int kWalkStartX = 400, kWalkStartY = 410;
constexpr int kWalkPauseX = 776, kWalkPauseY = 24;
// A spot in a room away from its exits and people, where an item from the
// bar is given.
constexpr int kWalkGiveX = 400, kWalkGiveY = 300;

} // namespace

int SampleWalk::roomOf(const char* name)
{
    for (int i = 0; i < LanternfieldCanvas::ROOM_COUNT; ++i) {
        if (std::strcmp(LanternfieldCanvas::kRoomNames[i], name) == 0)
            return i;
    }
    return -1;
}

int SampleWalk::chapter()
{
    return run.canvas->getProgress()->chapter;
}

bool SampleWalk::has(const char* item)
{
    return run.canvas->getInventory()->hasItem(lang::String(item));
}

bool SampleWalk::story(const char* flag)
{
    return ScriptHost::instance->getLuaBoolean(flag);
}

bool SampleWalk::told(const char* id)
{
    auto* tip = static_cast<sprite::NewFontSprite*>(run.canvas->getSprite("RoomItemTipText"));
    return run.canvas->isSpriteVisible("RoomItemsBalloon") && tip &&
           tip->getText().equals(lang::String::loadText(id));
}

Room* SampleWalk::room()
{
    return run.canvas->getRoom(current());
}

void SampleWalk::walk(const std::vector<int>& rooms)
{
    for (int target : rooms) {
        player.walkTo(target);
        if (::testing::Test::HasFatalFailure())
            return;
        entered.push_back(target);
    }
}

void SampleWalk::walkTo(const std::vector<const char*>& rooms)
{
    std::vector<int> indexes;
    for (const char* name : rooms) {
        indexes.push_back(roomOf(name));
        ASSERT_NE(-1, indexes.back()) << "no room is named " << name;
    }
    walk(indexes);
}

void SampleWalk::click(const char* sprite)
{
    player.clickSprite(room(), sprite);
    run.world.stepFrames(2);
}

void SampleWalk::give(const char* item)
{
    player.takeFromBar(item);
    run.world.click(kWalkGiveX, kWalkGiveY);
    run.world.stepFrames(2);
}

void SampleWalk::pageThrough(const std::vector<const char*>& buttons)
{
    for (const char* button : buttons)
        gametest::pressCutSceneButton(run.world, run.canvas, button);
    run.world.stepFrames(25);
}

void SampleWalk::endChapterOn(const char* sprite, int firstRoom)
{
    const int next = chapter() + 1;
    ASSERT_TRUE(room()->getSprite(sprite)->isVisible()) << sprite;
    click(sprite);
    EXPECT_EQ(next, chapter());
    ASSERT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, current()) << "chapter " << next << "'s slides";
    pageThrough({"NextButton", "ContinueButton"});
    ASSERT_EQ(firstRoom, current());
    EXPECT_EQ(1, run.canvas->getVignetteSeen(next));
}

void SampleWalk::start()
{
    run.world.click(kWalkStartX, kWalkStartY);
    run.world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + 2);
    // What comes (the story, a chapter's slides, the saved room) fades in
    // and takes clicks once the fade is over.
    player.painted([this] { return !run.canvas->isInTransition(); }, 200);
}

std::string SampleWalk::quit()
{
    run.world.click(kWalkPauseX, kWalkPauseY);
    EXPECT_EQ(LanternfieldCanvas::STATE_PAUSED, run.canvas->getGameState());
    gametest::clickPart(run.world, run.canvas, "BookDialog", "EndGame");
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, run.canvas->getGameState());
    gametest::clickPart(run.world, run.canvas, "MainMenu", "bMenuExit");
    EXPECT_TRUE(run.world.pumpUntil([this] { return run.world.hasQuit(); }, 5000));
    expectClean();
    return run.settings();
}

void SampleWalk::expectClean()
{
    EXPECT_TRUE(run.world.boxes("Script Error").empty()) << run.world.boxes("Script Error")[0].text;
    EXPECT_TRUE(run.world.boxes().empty()) << run.world.boxes()[0].caption << ": " << run.world.boxes()[0].text;
    const std::string debug = run.world.debugText();
    for (const char* fault : {"rror", ": no sprite ", " is no ", "no room "})
        EXPECT_EQ(std::string::npos, debug.find(fault)) << fault << " in:\n" << debug;
}

void SampleWalk::expectMusic(const char* name)
{
    window::AudioClip* music = run.canvas->getMusicClip();
    ASSERT_NE(nullptr, music);
    EXPECT_STREQ(name, music->getName().c_str());
    EXPECT_TRUE(music->hasData() && music->isPlaying()) << name;
}

DoorSprite* exitTo(Room* room, int target)
{
    for (int i = 0; i < room->getDoorCount(); ++i) {
        if (room->getDoor(i) && room->getDoor(i)->getTargetRoom() == target)
            return room->getDoor(i);
    }
    return nullptr;
}

std::string chapterStartSettings(int chapter, const std::string& name)
{
    gametest::SampleRun run("");
    EXPECT_TRUE(run.started);
    if (!run.started)
        return "";
    gametest::newPlayer(run.world, name);
    auto* canvas = static_cast<LanternfieldCanvas*>(run.canvas);
    ProgressRecord* progress = canvas->getProgress();
    progress->chapter = chapter;
    progress->maxChapter = chapter - 1;
    progress->currentRoom = canvas->getChapterStartRoom();
    canvas->saveProfile();
    gametest::clickPart(run.world, canvas, "MainMenu", "bMenuExit");
    EXPECT_TRUE(run.world.pumpUntil([&run] { return run.world.hasQuit(); }, 5000));
    return run.settings();
}

void SampleWalk::expectTasks(std::vector<int> ids)
{
    Inventory* bar = run.canvas->getInventory();
    std::vector<int> listed;
    for (int i = 0; i < bar->getHintCount(); ++i) {
        const std::string text = bar->getHintAt(i).c_str();
        listed.push_back(std::stoi(text.substr(text.find_last_of('_') + 1)));
    }
    const ProgressRecord* record = run.canvas->getProgress();
    std::vector<int> kept(record->hint, record->hint + record->hintCount());
    std::sort(ids.begin(), ids.end());
    std::sort(listed.begin(), listed.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(ids, listed) << "the task paper in chapter " << chapter() << ", room " << current();
    EXPECT_EQ(ids, kept) << "the saved tasks in chapter " << chapter();
}

} // namespace scenetest
