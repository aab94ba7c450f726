// The mixer thread under the no-sound output with a clock the test moves:
// the blocks of the primary buffer it mixes, in which order, what lands in
// them, and its stop.
#include "sound/output/output_nosound.h"
#include "tests/sound/mixer/MixerTestSupport.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace mixertest;

// The thread that last wrote a block of the ring: the mixer thread.
std::atomic<std::thread::id> g_mixerThread;

// A clock that moves only when the test sets it; a sleep waits a moment of
// real time and leaves the clock where it is. It counts the mixer thread's
// reads of its counter: each look at the play cursor reads it (the stream
// thread reads it too, for its rounds).
class StepClock : public platform::Clock {
public:
    void setMilliseconds(int64_t ms) { m_microseconds = ms * 1000; }
    uint32_t tickCount() override { return uint32_t(m_microseconds.load() / 1000); }
    int64_t performanceCounter() override
    {
        if (std::this_thread::get_id() == g_mixerThread.load())
            ++m_reads;
        return m_microseconds.load();
    }
    int64_t performanceFrequency() override { return 1000000; }
    void sleep(uint32_t) override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
    int reads() const { return m_reads; }

private:
    std::atomic<int64_t> m_microseconds{0};
    std::atomic<int> m_reads{0};
};

constexpr int kRingBlocks = 4;
constexpr int kFrameBytes = 4;

// The primary buffer of the recording output: plain memory, and a log of
// the blocks the output unit wrote (unlocked saying it wrote bytes), in
// order. Written by the mixer thread under the mixer lock; read by the test
// under the same lock.
std::vector<int16_t> g_ring(size_t(kRingBlocks * kBlock * 2));
std::vector<int> g_blocksWritten;

bool recordLock(HVSOUND_SAMPLE*, int offset, int length, void** p1, void** p2, int* l1, int* l2)
{
    *p1 = reinterpret_cast<uint8_t*>(g_ring.data()) + offset;
    *l1 = length;
    *p2 = nullptr;
    *l2 = 0;
    return true;
}

bool recordUnlock(HVSOUND_SAMPLE*, void* p1, void*, int l1, int l2)
{
    g_mixerThread = std::this_thread::get_id();
    if (l1 + l2 > 0)
        g_blocksWritten.push_back(int((static_cast<uint8_t*>(p1) - reinterpret_cast<uint8_t*>(g_ring.data())) /
                                      (kBlock * kFrameBytes)));
    return true;
}

void recordingSampleFunctions(HVSOUND_SAMPLE* sample)
{
    HVSOUND_NoSound_SetSampleFunctions(sample);
    sample->functions.lock = recordLock;
    sample->functions.unlock = recordUnlock;
}

HVSOUND_OutputDriver g_recordingOutput;

class SoundMixerThread : public MixerFixture {
protected:
    void SetUp() override
    {
        MixerFixture::SetUp();
        platform::setClock(&stepClock);
        g_blocksWritten.clear();
        std::fill(g_ring.begin(), g_ring.end(), int16_t(0));
        HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND);
        // The no-sound output with a primary buffer that can be read back.
        g_recordingOutput = *HVSOUND_Output_NoSound();
        g_recordingOutput.initSampleFunctions = recordingSampleFunctions;
        g_recordingOutput.mixerThread = 1;
        HVSOUND_GetState()->driver = &g_recordingOutput;
        HVSOUND_GetState()->mixerType = HVSOUND_MIXER_QUALITY_FPU;
    }

    void TearDown() override
    {
        MixerFixture::TearDown();
        HVSOUND_GetState()->driver = HVSOUND_Output_NoSound();
    }

    std::vector<int> blocksWritten()
    {
        HVSOUND_Software_Lock();
        std::vector<int> copy = g_blocksWritten;
        HVSOUND_Software_Unlock();
        return copy;
    }

    // Waits (a hang's limit) until the thread has written `count` blocks in
    // all.
    bool waitForBlocks(size_t count)
    {
        return soundtest::within([&] { return blocksWritten().size() >= count; });
    }

    // Waits (a hang's limit) until the thread has looked at the play cursor
    // three more times: it reads the clock five more times, the last two
    // reads of a pass it may be ending (its load meter's, and the look that
    // ends it) among them.
    bool waitForThreeLooks()
    {
        const int reads = stepClock.reads();
        return soundtest::within([&] { return stepClock.reads() >= reads + 5; });
    }

    // The block the output plays at the clock's time.
    int playingBlock()
    {
        int64_t position = HVSOUND_GetCurrentPosition(HVSOUND_SYSTEMCHANNEL);
        int64_t ring = kRingBlocks * kBlock;
        return int(((position % ring) + ring) % ring / kBlock);
    }

    // Waits until the thread has caught up with the play cursor. The
    // engine's start leaves block 0 as the current one before the thread
    // has begun: the thread has mixed a block by then.
    bool waitUntilCaughtUp()
    {
        return soundtest::within([&] {
            HVSOUND_Software_Lock();
            int current = HVSOUND_GetState()->mixer.currentBlock;
            int mixed = HVSOUND_GetState()->mixer.blocksMixed;
            HVSOUND_Software_Unlock();
            return mixed > 0 && current == playingBlock();
        });
    }

    StepClock stepClock;
};

TEST_F(SoundMixerThread, KeepsEveryBlockButThePlayingOneMixedInOrder)
{
    stepClock.setMilliseconds(0); // the cursor in block 0
    ASSERT_TRUE(HVSOUND_Init(kRate, 8, 0));
    ASSERT_EQ(HVSOUND_GetState()->mixBufferLength, kRingBlocks * kBlock);
    ASSERT_TRUE(waitForBlocks(3));
    EXPECT_EQ(blocksWritten(), (std::vector<int>{1, 2, 3})) << "filled before the cursor leaves block 0";
    ASSERT_TRUE(waitForThreeLooks());
    EXPECT_EQ(blocksWritten().size(), 3u) << "nothing more while the cursor stays";

    play(constantSample(1000), 0);
    // Each move of the cursor into the next block has the block it left mixed.
    size_t written = 3;
    for (int64_t ms : {24, 47, 70, 93}) { // positions 529, 1036, 1543, 2050 (block 0 again)
        stepClock.setMilliseconds(ms);
        ASSERT_TRUE(waitForBlocks(++written)) << ms << " ms";
    }
    EXPECT_EQ(blocksWritten(), (std::vector<int>{1, 2, 3, 0, 1, 2, 3}));

    // A cursor that jumps three blocks at once: all three, in ring order.
    stepClock.setMilliseconds(163); // position 3594: block 3
    ASSERT_TRUE(waitForBlocks(10));
    EXPECT_EQ(blocksWritten(), (std::vector<int>{1, 2, 3, 0, 1, 2, 3, 0, 1, 2}));

    // Block 1 was mixed after the ramp of block 0: the sound at full left.
    HVSOUND_Software_Lock();
    std::vector<int16_t> block1(g_ring.begin() + 2 * kBlock, g_ring.begin() + 4 * kBlock);
    HVSOUND_Software_Unlock();
    for (int j = 0; j < kBlock; ++j) {
        ASSERT_EQ(block1[size_t(2 * j)], 1000) << "frame " << j;
        ASSERT_EQ(block1[size_t(2 * j + 1)], 0) << "frame " << j;
    }

    // Two seconds at the pace the machine gives the test: a busy machine may
    // delay the thread, but the close must not wait out a limit or hang.
    testsupport::MachinePace pace;
    HVSOUND_Close();
    const int took = pace.counted();
    EXPECT_LT(took, 2000) << "milliseconds until the thread ended at the stop request, at the machine's pace, "
                          << pace.load();
}

TEST_F(SoundMixerThread, NeverWritesTheBlockTheCursorReachedWhileItWasMixed)
{
    stepClock.setMilliseconds(0);
    ASSERT_TRUE(HVSOUND_Init(kRate, 8, 0));
    ASSERT_TRUE(waitForBlocks(3));
    // A thread that falls behind: while block 0 is mixed the cursor comes
    // round into it again (position 2205: block 0 of the next pass).
    HVSOUND_DSPUNIT* slow = HVSOUND_DSP_Create(
        [](void*, void* buffer, int, void* clock) -> void* {
            if (HVSOUND_GetState()->mixer.currentBlock == 0)
                static_cast<StepClock*>(clock)->setMilliseconds(100);
            return buffer;
        },
        500, &stepClock);
    HVSOUND_DSP_SetActive(slow, true);
    stepClock.setMilliseconds(70); // position 1543: block 3, so 0, 1 and 2 are due
    ASSERT_TRUE(waitForBlocks(6));
    ASSERT_TRUE(waitForThreeLooks());
    EXPECT_EQ(blocksWritten(), (std::vector<int>{1, 2, 3, 1, 2, 3})) << "block 0 is left to the output";
}

TEST_F(SoundMixerThread, NeverWritesTheBlockTheDevicesNextRequestReaches)
{
    // In the second half of a block the device's next request (up to half a
    // block) may reach into the next block, round the ring's end too.
    struct Case {
        const char* what;
        int64_t ms;
        std::vector<int> written;
    };
    const Case cases[] = {
        {"position 308, in block 0: block 1 is mixed but left to the device", 14, {2, 3}},
        {"position 1940, in block 3: block 0 is mixed but left to the device", 88, {1, 2}},
    };
    for (const Case& c : cases) {
        g_blocksWritten.clear(); // no mixer thread runs between the engine's starts
        stepClock.setMilliseconds(c.ms);
        ASSERT_TRUE(HVSOUND_Init(kRate, 8, 0));
        ASSERT_TRUE(waitUntilCaughtUp()) << c.what;
        EXPECT_EQ(blocksWritten(), c.written) << c.what;
        HVSOUND_Close();
    }
    // Once the cursor has gone on, the block left is mixed with the others.
    g_blocksWritten.clear();
    stepClock.setMilliseconds(14);
    ASSERT_TRUE(HVSOUND_Init(kRate, 8, 0));
    ASSERT_TRUE(waitUntilCaughtUp());
    stepClock.setMilliseconds(47); // position 1036: block 2
    ASSERT_TRUE(waitForBlocks(4));
    EXPECT_EQ(blocksWritten(), (std::vector<int>{2, 3, 0, 1}));
}

TEST_F(SoundMixerThread, StartsWithTheBlockAfterTheOneThatPlays)
{
    stepClock.setMilliseconds(70); // position 1543: block 3
    ASSERT_TRUE(HVSOUND_Init(kRate, 8, 0));
    ASSERT_TRUE(waitForBlocks(3));
    EXPECT_EQ(blocksWritten(), (std::vector<int>{0, 1, 2}));
}

TEST_F(SoundMixerThread, SurvivesTheClockWrapping)
{
    // The microsecond clock wraps at 2^32: the play position jumps back.
    stepClock.setMilliseconds(4294960);
    ASSERT_TRUE(HVSOUND_Init(kRate, 8, 0));
    ASSERT_TRUE(waitUntilCaughtUp());
    stepClock.setMilliseconds(4294967 + 40);
    ASSERT_TRUE(waitUntilCaughtUp());
    stepClock.setMilliseconds(4294967 + 64);
    ASSERT_TRUE(waitUntilCaughtUp());
    EXPECT_GE(blocksWritten().size(), 3u);
}

TEST_F(SoundMixerThread, ChannelsChangeSafelyWhileTheThreadMixes)
{
    ASSERT_TRUE(HVSOUND_Init(kRate, 8, HVSOUND_INIT_ENABLE_LEVELS));
    HVSOUND_SAMPLE* shortShot = constantSample(3000, 300, HVSOUND_MODE_LOOP_OFF);
    HVSOUND_SAMPLE* looped = constantSample(-2000, 700);
    HVSOUND_DSPUNIT* group = HVSOUND_DSP_Create(nullptr, 150, nullptr);
    HVSOUND_DSP_SetActive(group, true);
    int handles[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int64_t ms = 0;
    for (int round = 0; round < 300; ++round) {
        int slot = round % 8;
        switch (round % 5) {
        case 0:
            handles[slot] = HVSOUND_PlaySound(HVSOUND_FREE, round % 2 ? shortShot : looped);
            break;
        case 1: {
            int list[HVSOUND_MAX_SUBCHANNELS] = {HVSOUND_FREE};
            handles[slot] = HVSOUND_PlaySoundEx(list, 1, looped, group, round % 3 == 0);
            break;
        }
        case 2:
            HVSOUND_SetVolume(handles[(slot + 3) % 8], round % 256);
            HVSOUND_SetPan(handles[(slot + 5) % 8], (round * 7) % 256);
            HVSOUND_SetFrequency(handles[(slot + 1) % 8], round % 2 ? -30000 : 11025);
            break;
        case 3:
            HVSOUND_SetPaused(handles[(slot + 2) % 8], round % 2 == 0);
            HVSOUND_SetCurrentPosition(handles[(slot + 6) % 8], 5);
            break;
        default:
            HVSOUND_StopSound(handles[(slot + 4) % 8]);
            float left, right;
            HVSOUND_CHANNEL* c = HVSOUND_Channel_Find(slot);
            c->functions.getLevels(c, &left, &right);
            HVSOUND_IsPlaying(handles[slot]);
            break;
        }
        if (round == 150)
            HVSOUND_DSP_SetPriority(group, 50);
        ms += 7;
        stepClock.setMilliseconds(ms);
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        // Every tenth round the thread is let catch up, so that it mixes
        // between the changes however busy the machine.
        if (round % 10 == 9) {
            ASSERT_TRUE(waitUntilCaughtUp());
        }
    }
    HVSOUND_DSP_Free(group);
    HVSOUND_Sample_Free(shortShot);
    EXPECT_GT(blocksWritten().size(), 10u);
}

TEST_F(SoundMixerThread, UpdateDrivenOutputHasNoMixerThread)
{
    HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
    ASSERT_TRUE(HVSOUND_Init(kRate, 8, 0));
    EXPECT_EQ(HVSOUND_Output_NoSound()->mixerThread, 0);
    EXPECT_TRUE(HVSOUND_Software_StartMixerThread()) << "asking for it anyway makes none";
    HVSOUND_Update();
    EXPECT_EQ(HVSOUND_GetState()->mixer.currentBlock, 2);
}

} // namespace
