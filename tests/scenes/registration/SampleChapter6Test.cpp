// SampleChapter6Test.cpp: the sample story's last chapter on the real
// program from a player saved at its start: the program quit and started
// again in the middle of the lure keeper's game, whose laid lures the saved
// game keeps.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"
#include "tests/scenes/support/SampleStoryTest.h"
#include "tests/scenes/support/SampleWalk.h"

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
