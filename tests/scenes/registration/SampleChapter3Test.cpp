// SampleChapter3Test.cpp: the sample story's third chapter played alone from
// a player saved at its start, on the real program: its slides, the island's
// errand up to the caves' map, a quit and restart at the welcome centre that
// keeps the map, the gems and the bookshelf's state, and the rest of the
// chapter through the cave and its inlay, over the bridge and on to the
// inner sanctum's board, into the fourth's slides.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"
#include "tests/scenes/support/SampleChapters.h"
#include "tests/scenes/support/SampleStoryTest.h"
#include "tests/scenes/support/SampleWalk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenetest {
namespace {

constexpr int kCh3TestWelcomeCenter = 26;

class SampleChapter3Test : public SampleStoryTest {};

TEST_F(SampleChapter3Test, TheIslandsErrandLeadsThroughTheCaveOverTheBridge)
{
    std::string settings = chapterStartSettings(3);
    ASSERT_FALSE(settings.empty());
    {
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.startChapter(3, "Landing");
        ASSERT_FALSE(HasFatalFailure());
        // The jungle's way east and the cave are shut until the errand opens them.
        EXPECT_FALSE(w.story("LF.bridgeReached"));
        playChapter3ToTheMap(w);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ((std::vector<int>{26, 27, 26}), w.entered);
        settings = w.quit();
    }
    {
        // The program again: the saved game goes on at the welcome centre
        // with the map and the first gem, the shelf sorted and the drawer
        // open.
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.start();
        ASSERT_EQ(kCh3TestWelcomeCenter, w.current());
        EXPECT_EQ(3, w.chapter());
        for (const char* item : {"CaveMapScroll", "Gem_1"})
            EXPECT_TRUE(w.has(item)) << item;
        for (const char* flag : {"LF.bookshelfSorted", "LF.clockSolved", "LF.bookshelfDrawerOpen", "LF.bookshelfMapTaken"})
            EXPECT_TRUE(w.story(flag)) << flag;
        EXPECT_FALSE(w.has("Gem_2")) << "the second gem is won in the cave";
        playChapter3FromTheMap(w);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ((std::vector<int>{25, 28, 29, 30, 31, 34, 31, 34, 31, 32, 33}), w.entered);
        EXPECT_EQ(4, w.chapter());
    }
}

} // namespace
} // namespace scenetest
