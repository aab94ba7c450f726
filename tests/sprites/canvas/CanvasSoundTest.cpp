// The canvas's sound table: sounds switched on and off, the by-clip and
// by-index calls, the per-frame listeners of fades and bends, and stopping
// every clip when the canvas stops.
#include "tests/sprites/canvas/CanvasTestSupport.h"

namespace {

using canvastest::CanvasTest;
using canvastest::RecordingClip;

class CanvasSoundTest : public CanvasTest {
protected:
    void SetUp() override
    {
        lang::ObjectArray table;
        table.setLength(3);
        for (int i = 0; i < 3; ++i) {
            clips[i] = new RecordingClip();
            *table.at(i) = clips[i];
        }
        // An entry may be empty.
        *table.at(2) = nullptr;
        canvas->setSoundTableAndReset(&table);
        canvas->start();
    }
    void TearDown() override
    {
        for (RecordingClip* clip : clips)
            clip->release();
    }

    RecordingClip* clips[3] = {};
};

TEST_F(CanvasSoundTest, WithSoundsOffNothingStartsButStoppingStillStops)
{
    canvas->playSound(0);
    canvas->setSoundsEnabled(false);
    EXPECT_EQ(clips[0]->calls, (std::vector<std::string>{"play", "stop"})) << "switching off stops the table";
    EXPECT_EQ(clips[1]->calls, (std::vector<std::string>{"stop"}));
    canvas->playSound(0);
    canvas->loopSound(clips[1]);
    canvas->stopSound(0);
    EXPECT_EQ(clips[0]->calls.back(), "stop");
    EXPECT_EQ(clips[0]->calls.size(), 3u);
    EXPECT_EQ(clips[1]->calls.size(), 1u);
    canvas->setSoundsEnabled(true);
    canvas->loopSound(1);
    EXPECT_EQ(clips[1]->calls.back(), "loop");
}

TEST_F(CanvasSoundTest, EmptyEntriesAndIndexesOutsideTheTableDoNothing)
{
    for (int index : {2, 3, -1, 1000}) {
        canvas->playSound(index);
        canvas->fadeSound(index, 0, 5, true);
        canvas->bendSound(index, 2.0f, 5);
    }
    canvas->fadeSound(static_cast<window::AudioClip*>(nullptr), 0, 5, true);
    EXPECT_EQ(canvas->getFrameListenerCount(), 0);
    EXPECT_TRUE(clips[0]->calls.empty());
}

TEST_F(CanvasSoundTest, AClipWithTwoFadesIsListenedToOnceAndLeavesWhenBothEnd)
{
    canvas->fadeSound(0, 100, 3, false);
    canvas->bendSound(0, 2.0f, 5);
    canvas->fadeSound(1, 10, 2, false);
    EXPECT_EQ(canvas->getFrameListenerCount(), 2);
    world.runFrames(2);
    EXPECT_EQ(canvas->getFrameListenerCount(), 1) << "clip 1's fade is over";
    world.runFrames(3);
    EXPECT_EQ(canvas->getFrameListenerCount(), 0);
    EXPECT_EQ(clips[0]->updates, 5);
    EXPECT_EQ(clips[0]->getVolume(), 100);
    EXPECT_FLOAT_EQ(clips[0]->getPitch(), 2.0f);
}

TEST_F(CanvasSoundTest, StoppingTheCanvasStopsEveryClipAndShutdownLetsGoOfTheirData)
{
    canvas->stop();
    EXPECT_EQ(clips[0]->calls, (std::vector<std::string>{"stop"}));
    EXPECT_EQ(clips[1]->calls, (std::vector<std::string>{"stop"}));
    canvas->shutdown();
    EXPECT_EQ(clips[0]->calls.size(), 2u);
}

TEST_F(CanvasSoundTest, ANewSoundTableReplacesTheOldOneAndEmptiesTheTextLists)
{
    lang::ObjectArray* listA = canvas->getTextListA();
    listA->setLength(1);
    *listA->at(0) = new lang::String("old");
    lang::ObjectArray table;
    table.setLength(1);
    *table.at(0) = clips[1];
    canvas->setSoundTableAndReset(&table);
    EXPECT_EQ(canvas->getSoundCount(), 1);
    EXPECT_EQ(canvas->getSound(0), clips[1]);
    EXPECT_EQ(canvas->getTextListA()->length(), 0);
    EXPECT_TRUE(canvas->isDataLoaded());
}

} // namespace
