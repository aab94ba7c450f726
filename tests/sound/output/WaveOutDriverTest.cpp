// WaveOutDriverTest.cpp: the waveOut driver over the manual-pump backend:
// opening, the looping ring and its handover to the device, play position,
// lock wrap and failures.
#include "platform/audio/WinMM.h"
#include "sound/output/output_winmm.h"
#include "tests/sound/output/OutputTestSupport.h"

#include <cstring>

namespace {

using soundtest::OutputFixture;

class WaveOutDriverTest : public OutputFixture {};

// Hands out blocks full of a marker value instead of zeros.
void* dirtyAlloc(size_t size)
{
    void* block = malloc(size);
    if (block)
        memset(block, 0xAB, size);
    return block;
}

TEST_F(WaveOutDriverTest, OpensTheDeviceAtTheMixRateAsSoftwareOnlyOutput)
{
    start(32, HVSOUND_OUTPUT_WINMM);
    HVSOUND_STATE* s = HVSOUND_GetState();
    EXPECT_EQ(s->driver, HVSOUND_Output_WinMM());
    ASSERT_EQ(backend->openOutputs(), 1);
    EXPECT_EQ(backend->outputFormat(), (platform::audio::AudioFormat{22050, 2, 16}));
    EXPECT_EQ(backend->outputDevice(), -1) << "a negative driver index opens the default device";
    EXPECT_NE(s->driver->getOutputHandle(), nullptr);
    EXPECT_EQ(s->hardware2DCount, 0);
    EXPECT_EQ(s->hardware3DCount, 0);
    EXPECT_EQ(s->driver->hardware2D, 0);
    EXPECT_EQ(s->driver->hardware3D, 0);
    EXPECT_EQ(s->driverCount, 1);
    EXPECT_STREQ(s->driverNames[0], "Test audio output");

    HVSOUND_Close();
    EXPECT_EQ(backend->openOutputs(), 0) << "close resets, unprepares and closes the device";
}

TEST_F(WaveOutDriverTest, AChosenDriverIndexOpensThatDevice)
{
    backend->setDevices({"first", "second"});
    HVSOUND_GetState()->driverIndex = 1;
    start(8, HVSOUND_OUTPUT_WINMM);
    EXPECT_EQ(backend->outputDevice(), 1);
    EXPECT_STREQ(HVSOUND_GetState()->driverNames[1], "second");
}

TEST_F(WaveOutDriverTest, TheRingStartsSilentWhateverTheHeapHeld)
{
    HVSOUND_GetState()->memoryPool.userAlloc = dirtyAlloc;
    start(8, HVSOUND_OUTPUT_WINMM);
    // Block 0 plays first and is never mixed before the cursor leaves it.
    int frames = HVSOUND_GetState()->mixer.blockLength;
    ASSERT_GT(frames, 0);
    std::vector<int16_t> heard = play(size_t(frames));
    ASSERT_EQ(heard.size(), size_t(frames) * 2);
    for (int16_t v : heard)
        ASSERT_EQ(v, 0);
}

TEST_F(WaveOutDriverTest, PositionCountsFramesPlayedPastTheRingEnd)
{
    start(8, HVSOUND_OUTPUT_WINMM);
    HVSOUND_STATE* s = HVSOUND_GetState();
    HVSOUND_CHANNEL* system = s->systemChannel;
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->functions.getPosition(system), 0);
    int ring = s->mixBufferLength;
    play(size_t(ring) + 100);
    EXPECT_EQ(system->functions.getPosition(system), ring + 100) << "not reduced modulo the ring";
}

TEST_F(WaveOutDriverTest, ALockPastTheEndWrapsIntoTwoParts)
{
    start(8, HVSOUND_OUTPUT_WINMM);
    HVSOUND_SAMPLE* ring = HVSOUND_GetState()->primaryBuffer;
    int size = ring->length * 4;
    void* p1 = nullptr;
    void* p2 = nullptr;
    int l1 = 0, l2 = 0;
    ASSERT_TRUE(ring->functions.lock(ring, size - 16, 64, &p1, &p2, &l1, &l2));
    EXPECT_EQ(p1, ring->data + size - 16);
    EXPECT_EQ(l1, 16);
    EXPECT_EQ(p2, ring->data);
    EXPECT_EQ(l2, 48);
    ASSERT_TRUE(ring->functions.lock(ring, 8, 64, &p1, &p2, &l1, &l2));
    EXPECT_EQ(l1, 64);
    EXPECT_EQ(p2, nullptr);
    EXPECT_EQ(l2, 0);
}

TEST_F(WaveOutDriverTest, TheMixerRefillsTheRingAsTheDevicePlays)
{
    start(8, HVSOUND_OUTPUT_WINMM);
    HVSOUND_SAMPLE* tone = HVSOUND_Sample_Alloc(-1, 1000, HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO |
                                                                  HVSOUND_MODE_LOOP_NORMAL,
                                                22050, 255, 128, 128);
    ASSERT_NE(tone, nullptr);
    auto* data = reinterpret_cast<int16_t*>(tone->data);
    for (int i = 0; i < tone->length; ++i)
        data[i] = 8000;
    HVSOUND_Sample_WriteGuards(tone);
    ASSERT_GE(HVSOUND_PlaySound(HVSOUND_FREE, tone), 0);

    int block = HVSOUND_GetState()->mixer.blockLength;
    bool heard = soundtest::within([&] {
        for (int16_t v : play(size_t(block)))
            if (v != 0)
                return true;
        return false;
    });
    EXPECT_TRUE(heard) << "the playing sample reaches the device through the ring";
    HVSOUND_StopSound(HVSOUND_ALL);
}

TEST_F(WaveOutDriverTest, TheDeviceNeverPlaysABlockOfTheRingWhileTheMixerThreadWritesIt)
{
    for (bool late : {false, true}) {
        SCOPED_TRACE(late ? "the cursor read after the hold" : "the cursor read before the hold");
        expectTheDeviceNeverReadsTheBlockBeingWritten(HVSOUND_OUTPUT_WINMM, late);
        HVSOUND_Close();
    }
}

TEST_F(WaveOutDriverTest, NoDeviceOrARefusedOpenFailsWithError3)
{
    backend->setDevices({});
    HVSOUND_SetOutput(HVSOUND_OUTPUT_WINMM);
    EXPECT_FALSE(HVSOUND_Init(22050, 8, 0));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INIT);
    HVSOUND_Close();

    backend->setDevices({"Test audio output"});
    backend->setOpenRefused(true);
    EXPECT_FALSE(HVSOUND_Init(22050, 8, 0));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INIT);
    EXPECT_EQ(backend->openOutputs(), 0);
}

TEST_F(WaveOutDriverTest, StartAfterAFailedWriteLeavesThePlayingStateOff)
{
    start(8, HVSOUND_OUTPUT_WINMM);
    HVSOUND_CHANNEL* system = HVSOUND_GetState()->systemChannel;
    // The header is already queued: a second write of it is refused.
    HVSOUND_SetError(HVSOUND_ERR_NONE);
    bool started = system->functions.start(system, nullptr, HVSOUND_GetState()->primaryBuffer);
    if (!started) {
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_PLAY);
    }
    EXPECT_TRUE(system->functions.stop(system));
    EXPECT_EQ(system->functions.getPosition(system), 0) << "a reset device starts counting again";
}

TEST_F(WaveOutDriverTest, TheMonoMixersOpenOneChannelAndCountMonoPositions)
{
    // No mixing routines exist for the mono mixer: the engine start fails
    // after the driver has opened the device, which stays open until close.
    HVSOUND_GetState()->mixerType = HVSOUND_MIXER_MONO;
    HVSOUND_SetOutput(HVSOUND_OUTPUT_WINMM);
    HVSOUND_Init(22050, 8, 0);
    ASSERT_EQ(backend->openOutputs(), 1);
    EXPECT_EQ(backend->outputFormat(), (platform::audio::AudioFormat{22050, 1, 16}));

    HVSOUND_SAMPLE ring;
    memset(&ring, 0, sizeof ring);
    ring.mode = HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO;
    ring.length = 4096;
    HVSOUND_CHANNEL channel;
    memset(&channel, 0, sizeof channel);
    HVSOUND_Output_WinMM()->initChannelFunctions(&channel);
    EXPECT_EQ(channel.functions.getPosition(&channel), 0) << "no sample, no position";
    channel.currentSample = &ring;
    HVSOUND_Output_WinMM()->initSampleFunctions(&ring);
    ASSERT_TRUE(ring.functions.createBuffer(&ring));
    ASSERT_TRUE(channel.functions.start(&channel, nullptr, &ring));
    play(300);
    EXPECT_EQ(channel.functions.getPosition(&channel), 300);
    channel.functions.stop(&channel);
    ring.functions.releaseBuffer(&ring);
}

} // namespace
