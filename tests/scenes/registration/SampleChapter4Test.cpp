// SampleChapter4Test.cpp: the sample story's fourth chapter played alone,
// from a player saved at its start: its slides, the sanctums, the volcano
// and the waterfall, then the program quit and started again at the
// village's entrance, where the saved story goes on through the peg boards
// to the canoe and the fifth chapter.
#include "game/canvas/LanternfieldCanvas.h"
#include "tests/scenes/support/SampleChapter4.h"
#include "tests/scenes/support/SampleChapters.h"
#include "tests/scenes/support/SampleStoryTest.h"

#include <gtest/gtest.h>

#include <string>

namespace scenetest {
namespace {

class SampleChapter4Test : public SampleStoryTest {};

TEST_F(SampleChapter4Test, TheVillageIsReachedAndItsBoardsWonAcrossARestart)
{
    std::string settings = chapterStartSettings(4);
    ASSERT_FALSE(settings.empty());
    {
        gametest::SampleRun run(settings);
        ASSERT_TRUE(run.started);
        SampleWalk w(run);
        w.startChapter(4, "InnerSanctum");
        ASSERT_FALSE(HasFatalFailure());
        playChapter4ToTheVillage(w);
        ASSERT_FALSE(HasFatalFailure());
        settings = w.quit();
    }
    gametest::SampleRun run(settings);
    ASSERT_TRUE(run.started);
    SampleWalk w(run);
    w.start();
    ASSERT_EQ(SampleWalk::roomOf("VillageEnterance"), w.current()) << "back where the player left";
    EXPECT_EQ(4, w.chapter());
    EXPECT_TRUE(w.story("LF.outerSanctumSolved"));
    EXPECT_TRUE(w.story("LF.vinesCut"));
    EXPECT_TRUE(w.has("Peg_1") && w.has("Peg_2") && w.has("Peg_3"));
    EXPECT_FALSE(w.has("Machete")) << "the machete stayed in the vines";
    playChapter4Villages(w);
    ASSERT_FALSE(HasFatalFailure());
    w.expectClean();
}

} // namespace
} // namespace scenetest
