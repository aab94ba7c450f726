// SampleChapter5Test.cpp: the sample story's fifth chapter played on its own
// from a player saved at its start, with a quit and a new start of the
// program at the mansion's opened door in the middle: the saved story (the
// board game won, the note in the bar, the door open) holds.
#include "game/rooms/Room.h"
#include "tests/scenes/support/SampleChapter5.h"
#include "tests/scenes/support/SampleChapters.h"
#include "tests/scenes/support/SampleStoryTest.h"

#include <gtest/gtest.h>

#include <string>

namespace scenetest {
namespace {

class SampleChapter5Test : public SampleStoryTest {};

TEST_F(SampleChapter5Test, TheNightAtTheMansionIsPlayedToTheWindRacesBoat)
{
    std::string settings = chapterStartSettings(5);
    ASSERT_FALSE(settings.empty());
    {
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.startChapter(5, "TavernGallery_Night");
        ASSERT_FALSE(HasFatalFailure());
        playChapter5UpToTheMansionDoor(w);
        ASSERT_FALSE(HasFatalFailure());
        settings = w.quit();
    }
    {
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.start();
        ASSERT_EQ(SampleWalk::roomOf("MansionFront_Night"), w.current()) << "back where the player left";
        EXPECT_EQ(5, w.chapter());
        EXPECT_TRUE(w.story("LF.ticTacSolved"));
        EXPECT_TRUE(w.story("LF.mansionDoorOpen"));
        EXPECT_TRUE(w.has("MansionGateCode"));
        EXPECT_TRUE(w.has("RiddleCoaster"));
        EXPECT_FALSE(w.story("LF.safeOpened"));
        playChapter5FromTheMansionDoor(w);
    }
}

} // namespace
} // namespace scenetest
