// SampleChapter6Test.cpp: the sample story's last chapter played on the real
// program from a player saved at its start: its slides, the island's errands
// and puzzles, and the story's end in the main menu; and the island's
// progress kept over quitting and starting the program again.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "tests/scenes/support/SampleChapters.h"
#include "tests/scenes/support/SampleStoryTest.h"

#include <gtest/gtest.h>

#include <string>

namespace scenetest {
namespace {

class SampleChapter6Test : public SampleStoryTest {};

// A run of the program on the settings, started, with the last chapter's
// slides paged into the dock when they show.
void startIsland(SampleWalk& w)
{
    w.start();
    if (w.current() == LanternfieldCanvas::ROOM_VIGNETTE)
        w.pageThrough({"NextButton", "ContinueButton"});
}

TEST_F(SampleChapter6Test, TheLastChapterIsPlayedFromTheDockToTheStorysEnd)
{
    gametest::SampleRun run(chapterStartSettings(6));
    ASSERT_TRUE(run.started);
    SampleWalk w(run);
    w.startChapter(6, "Dock");
    ASSERT_FALSE(HasFatalFailure());
    playChapter6(w);
    ASSERT_FALSE(HasFatalFailure());
    const std::vector<const char*> route = {
        "IslandLanding",    "Lures",           "IslandLanding",   "Temple1",         "Temple2",
        "TempleDoorPuzzle", "Temple2",         "Temple3",         "AmuletDoor",      "GoldenRoom",
        "TreasureChestCU",  "GoldenRoom",      "TreasureChestCU", "GoldenRoom",      "TreasureChestCU",
        "GoldenRoom",
    };
    std::vector<int> expected;
    for (const char* name : route)
        expected.push_back(SampleWalk::roomOf(name));
    EXPECT_EQ(expected, w.entered);

    // The finished story is saved: the next start begins the first chapter.
    gametest::clickPart(run.world, run.canvas, "MainMenu", "bMenuExit");
    ASSERT_TRUE(run.world.pumpUntil([&run] { return run.world.hasQuit(); }, 5000));
    gametest::SampleRun again(run.settings());
    ASSERT_TRUE(again.started);
    EXPECT_EQ(1, again.canvas->getProgress()->chapter);
    EXPECT_EQ(6, again.canvas->getProgress()->maxChapter);
}

TEST_F(SampleChapter6Test, TheIslandsProgressIsKeptOverARestart)
{
    std::string settings;
    {
        gametest::SampleRun run(chapterStartSettings(6));
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        startIsland(w);
        ASSERT_EQ(SampleWalk::roomOf("Dock"), w.current());
        w.player.settle();
        w.click("IslandBoat");
        ASSERT_TRUE(w.player.arrivedIn(SampleWalk::roomOf("IslandLanding")));
        w.walkTo({"Lures"});
        ASSERT_FALSE(HasFatalFailure());
        w.player.closeInstructions();
        // Two lures laid, then the program left in the middle of the game.
        for (const char* lure : {"Spoon", "Plug"}) {
            w.click(("Lure" + std::string(lure)).c_str());
            w.click(("Shadow" + std::string(lure)).c_str());
        }
        EXPECT_TRUE(w.story("LF.lurePlaced.Plug"));
        settings = w.quit();
    }
    gametest::SampleRun run(settings);
    ASSERT_TRUE(run.started);
    SampleWalk w(run);
    startIsland(w);
    ASSERT_EQ(SampleWalk::roomOf("Lures"), w.current()) << "back where the player left";
    EXPECT_EQ(6, w.chapter());
    for (const char* item : {"Amulet", "Gem_1", "Gem_4"})
        EXPECT_TRUE(w.has(item)) << item;
    EXPECT_EQ(w.room()->getSprite("ShadowPlug")->left(), w.room()->getSprite("LurePlug")->left())
        << "a laid lure stays on its shadow";
    w.player.closeInstructions(10);
    for (const char* lure : {"Fly", "Spinner"}) {
        w.click(("Lure" + std::string(lure)).c_str());
        w.click(("Shadow" + std::string(lure)).c_str());
    }
    ASSERT_TRUE(w.player.arrivedIn(SampleWalk::roomOf("IslandLanding")));
    EXPECT_TRUE(w.story("LF.luresWon"));
    w.walkTo({"Temple1"});
    ASSERT_FALSE(HasFatalFailure());
    w.expectClean();
}

} // namespace
} // namespace scenetest
