// SampleGameThreadsTest.cpp: one short run of the sample game for the
// ThreadSanitizer build: the loader thread loads while the window thread
// reads the loading progress and paints, then a new player starts, walks
// through a few rooms and closes the window (the save on exit, the loader
// thread joined). The sanitizer, not an assertion, finds the faults here.
#include "game/rooms/Room.h"
#include "tests/game/support/GameFixture.h"
#include "tests/game/support/SampleSession.h"

#include <gtest/gtest.h>

namespace gametest {
namespace {

TEST(SampleGameThreadsTest, ANewPlayerWalksThroughAFewRoomsAndQuits)
{
    if (!hasSampleGame())
        GTEST_SKIP() << "the game data is built with the tools";
    testsupport::GameWorld world;
    auto* frame = new testsupport::TestLoaderFrame();
    Canvas* canvas = nullptr;
    double progress = 0.0;
    // The main frame's loading bar reads these while the loader thread counts.
    world.whileLoading = [&canvas, &progress] {
        if (canvas && canvas->getManifestTotal() != 0)
            progress = double(canvas->getEntriesLoaded()) / canvas->getManifestTotal();
    };
    ASSERT_TRUE(startSampleGame(world, frame, canvas));
    EXPECT_LE(progress, 1.0);

    newPlayer(world, "Ann");
    world.click(400, 410); // "Start"
    world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + 2);
    ASSERT_EQ(LanternfieldCanvas::ROOM_STORY_INTRO, canvas->getProgress()->currentRoom);
    leaveBy(world, canvas->getRoom(LanternfieldCanvas::ROOM_STORY_INTRO), 0);
    for (const char* button : {"NextButton", "ContinueButton", "NextButton", "NextButton", "ContinueButton"})
        pressCutSceneButton(world, canvas, button);
    world.stepFrames(25);
    ASSERT_EQ(0, canvas->getProgress()->currentRoom);
    leaveBy(world, canvas->getRoom(0), 0);
    ASSERT_EQ(2, canvas->getProgress()->currentRoom);
    leaveBy(world, canvas->getRoom(2), 0);
    EXPECT_NE(2, canvas->getProgress()->currentRoom);

    EXPECT_TRUE(world.close());
    EXPECT_TRUE(world.boxes().empty());
}

} // namespace
} // namespace gametest
