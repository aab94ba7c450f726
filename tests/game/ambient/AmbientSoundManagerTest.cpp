// AmbientSoundManagerTest.cpp: a room's recurring sounds: when they first
// play and recur, that nothing counts while the manager is off, their
// fade-out when the room is left, and the volume of sounds and loops.
#include "sound/clip/AudioClip.h"
#include "tests/game/support/BareCanvas.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace gametest {
namespace {

using Calls = std::vector<std::string>;

// The effects volume without a setting.
constexpr int kDefaultVolume = 170;

class AmbientSoundManagerTest : public ::testing::Test {
protected:
    AmbientSoundManagerTest()
    {
        lang::ObjectArray table;
        table.setLength(5);
        for (int i = 0; i < 5; ++i)
            *table.at(i) = new window::AudioClip();
        world.canvas->setSoundTableAndReset(&table);
        for (int i = 0; i < 5; ++i)
            (*table.at(i))->release();
        world.canvas->makeAmbientManagers();
        sounds = world.canvas->getAmbientSoundManager();
        sounds->setEnabled(true);
        world.canvas->clearRecords();
    }

    // The sound calls of the next `frames` ticks, each as "<verb> <index>"
    // with a fade's volume and steps.
    Calls tick(int frames)
    {
        world.canvas->clearRecords();
        for (int i = 0; i < frames; ++i)
            sounds->tick();
        return calls();
    }
    // The sound calls noted so far; the clips have no names, so that
    // "fade 3  170 4" is shown as "fade 3 170 4".
    Calls calls()
    {
        Calls out;
        for (const std::string& call : world.canvas->sounds()) {
            std::istringstream words(call);
            std::string shown;
            for (std::string word; words >> word;)
                shown += (shown.empty() ? "" : " ") + word;
            out.push_back(shown);
        }
        return out;
    }
    // Frames until the next call, at most `limit`.
    int framesToNextCall(int limit)
    {
        for (int frame = 1; frame <= limit; ++frame) {
            if (!tick(1).empty())
                return frame;
        }
        return -1;
    }

    BareWorld world;
    AmbientSoundManager* sounds = nullptr;
};

TEST_F(AmbientSoundManagerTest, ASoundFirstPlaysAfterItsStartWaitThenAfterEachRepeatWait)
{
    util::Random expected;
    expected.seed(7);
    sounds->getRandom().seed(7);
    sounds->addSound(3, 200, 400, 50, 100);
    const int first = expected.nextInt(200, 400);
    EXPECT_EQ(first, sounds->soundAt(0)->countdown);
    EXPECT_TRUE(tick(first).empty()) << "it plays when the countdown passes below zero";
    EXPECT_EQ((Calls{"play 3", "fade 3 0 0", "fade 3 170 4"}), tick(1)) << "from silence up to the effects volume";
    const int repeat = expected.nextInt(50, 100);
    EXPECT_EQ(repeat + 1, framesToNextCall(200));
}

TEST_F(AmbientSoundManagerTest, TheFirstPlayComesBetweenFrames201And401WhateverTheSeed)
{
    for (int seed = 1; seed <= 12; ++seed) {
        world.canvas->makeAmbientManagers();
        sounds = world.canvas->getAmbientSoundManager();
        sounds->setEnabled(true);
        sounds->getRandom().seed(seed);
        // Either order of the bounds draws from the same range.
        if (seed % 2)
            sounds->addSound(1, 200, 400, 50, 100);
        else
            sounds->addSound(1, 400, 200, 50, 100);
        const int frame = framesToNextCall(500);
        EXPECT_GE(frame, 201) << seed;
        EXPECT_LE(frame, 401) << seed;
    }
}

TEST_F(AmbientSoundManagerTest, NothingCountsOrPlaysWhileDisabled)
{
    sounds->addSound(2, 0, 0, 10, 10);
    sounds->setEnabled(false);
    EXPECT_TRUE(tick(50).empty());
    EXPECT_EQ(0, sounds->soundAt(0)->countdown);
    sounds->setEnabled(true);
    EXPECT_EQ(1, framesToNextCall(5));
}

TEST_F(AmbientSoundManagerTest, LeavingFadesTheSoundsOutDuringTheNextRoomThenStopsThem)
{
    sounds->addSound(1, 500, 500, 50, 50);
    sounds->addSound(4, 500, 500, 50, 50);
    world.canvas->clearRecords();
    sounds->stopSounds(64);
    EXPECT_EQ(0, sounds->getSoundCount());
    EXPECT_EQ(2, sounds->getFadingCount());
    EXPECT_TRUE(sounds->isFading());
    sounds->setEnabled(false);
    EXPECT_TRUE(tick(100).empty()) << "the fade counts only while enabled";
    sounds->setEnabled(true);
    EXPECT_TRUE(tick(64).empty());
    EXPECT_EQ((Calls{"stop 1", "fade 1 170 0", "stop 4", "fade 4 170 0"}), tick(1))
        << "stopped, and the clips get their volume back";
    EXPECT_EQ(0, sounds->getFadingCount());
    EXPECT_FALSE(sounds->isFading());
}

TEST_F(AmbientSoundManagerTest, ASecondExitEndsTheFirstFadeAtOnceAndRestoresItsClips)
{
    sounds->addSound(1, 500, 500, 50, 50);
    sounds->stopSounds(64);
    tick(10);
    sounds->addSound(2, 500, 500, 50, 50);
    world.canvas->clearRecords();
    sounds->stopSounds(64);
    EXPECT_EQ((Calls{"stop 1", "fade 1 170 0", "fade 2 0 64"}), calls())
        << "clip 1 must not stay at the volume it had reached";
    EXPECT_EQ(1, sounds->getFadingCount());
    EXPECT_EQ(64, sounds->getFadeFrames());
}

TEST_F(AmbientSoundManagerTest, TheVolumeReachesSoundsAndLoopsEachLoopListedOnce)
{
    sounds->addSound(0, 500, 500, 50, 50);
    sounds->addLoop(2);
    sounds->addLoop(3);
    sounds->addLoop(2);
    sounds->removeLoop(3);
    ASSERT_EQ(1, sounds->getLoopCount());
    EXPECT_EQ(2, sounds->loopAt(0));
    world.canvas->clearRecords();
    sounds->setVolume(-1);
    sounds->setVolume(40);
    EXPECT_EQ(Calls({"fade 0 170 1", "fade 2 170 1", "fade 0 40 1", "fade 2 40 1"}), calls())
        << "-1 is the effects volume, " << kDefaultVolume << " without a setting";
}

} // namespace
} // namespace gametest
