// Engine start and stop, set-up calls, buffer sizes, the error word, the
// no-sound driver and its timer mixing.
#include "sound/output/output_nosound.h"
#include "tests/sound/core/SoundTestSupport.h"

#include <cstring>
#include <thread>

namespace {

using SoundCoreEngine = soundtest::SoundFixture;

TEST_F(SoundCoreEngine, InitRefusesRatesAndChannelCountsOutOfRange)
{
    EXPECT_FALSE(HVSOUND_Init(3999, 32, 0));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_FALSE(HVSOUND_Init(22050, 1025, 0));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    EXPECT_FALSE(HVSOUND_Init(22050, -1, 0));
    EXPECT_FALSE(HVSOUND_GetState()->initialised);
    EXPECT_TRUE(HVSOUND_Init(65535, 1024, 0));
    EXPECT_EQ(HVSOUND_GetMaxChannels(), 1024);
}

TEST_F(SoundCoreEngine, StartsAndStopsTwiceWithEitherSilentOutput)
{
    for (int output : {HVSOUND_OUTPUT_NOSOUND, HVSOUND_OUTPUT_NOSOUND_NONREALTIME}) {
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(testing::Message() << "output " << output << " round " << round);
            start(32, output);
            HVSOUND_STATE* s = HVSOUND_GetState();
            EXPECT_TRUE(s->initialised);
            EXPECT_EQ(s->driver, HVSOUND_Output_NoSound());
            EXPECT_EQ(HVSOUND_GetMaxChannels(), 32);
            EXPECT_EQ(s->hardware2DCount + s->hardware3DCount, 0);
            EXPECT_EQ(s->softwarePool.first, 0);
            EXPECT_EQ(s->softwarePool.last, 31);
            ASSERT_NE(s->primaryBuffer, nullptr);
            EXPECT_STREQ(s->primaryBuffer->name, "HVSOUND Primary MixBuffer");
            EXPECT_EQ(s->primaryBuffer->length, s->mixBufferLength);
            EXPECT_EQ(s->primaryBuffer->mode & 0x80084052u, 0x80084052u) << "16-bit stereo loop, primary";
            ASSERT_NE(s->systemChannel, nullptr);
            EXPECT_EQ(HVSOUND_GetCurrentSample(HVSOUND_SYSTEMCHANNEL), s->primaryBuffer);
            EXPECT_TRUE(s->systemChannel->flags & HVSOUND_CHANNEL_RESERVED);
            EXPECT_EQ(HVSOUND_GetFrequency(HVSOUND_SYSTEMCHANNEL), 22050);
            EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
            EXPECT_EQ((s->initFlags & HVSOUND_INIT_UPDATE_DRIVEN) != 0,
                      output == HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
            EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_NONE);
        }
        HVSOUND_Close();
        HVSOUND_Close();
        HVSOUND_STATE* s = HVSOUND_GetState();
        EXPECT_FALSE(s->initialised);
        EXPECT_EQ(s->channels, nullptr);
        EXPECT_EQ(s->samples, nullptr);
        EXPECT_EQ(s->primaryBuffer, nullptr);
        EXPECT_EQ(s->systemChannel, nullptr);
        EXPECT_EQ(s->outputType, output) << "the output survives close";
    }
}

TEST_F(SoundCoreEngine, SetUpCallsAreRefusedWhileRunning)
{
    start();
    EXPECT_FALSE(HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INITIALISED);
    EXPECT_FALSE(HVSOUND_SetBufferSize(200));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INITIALISED);
    EXPECT_FALSE(HVSOUND_SetHWND(nullptr));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INITIALISED);
    EXPECT_EQ(HVSOUND_GetState()->outputType, HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
    HVSOUND_Close();
    EXPECT_TRUE(HVSOUND_SetBufferSize(200));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_NONE);
}

TEST_F(SoundCoreEngine, BufferSizeIsAtLeast25AndAMultipleOf25)
{
    HVSOUND_SetBufferSize(10);
    EXPECT_EQ(HVSOUND_GetState()->bufferLength, 25);
    HVSOUND_SetBufferSize(99);
    EXPECT_EQ(HVSOUND_GetState()->bufferLength, 75);
    HVSOUND_SetBufferSize(100);
    EXPECT_EQ(HVSOUND_GetState()->bufferLength, 100);
}

TEST_F(SoundCoreEngine, BufferLengthBecomesWholeBlocksOfTheRing)
{
    // Default: 50 ms, doubled to 100 ms: 4 blocks of 512 samples at 22,050 Hz.
    start();
    HVSOUND_STATE* s = HVSOUND_GetState();
    EXPECT_EQ(s->mixer.blockLength, 512);
    EXPECT_EQ(s->mixBufferLength, 2048);
    EXPECT_EQ(s->bufferLengthMs, 92);
    EXPECT_EQ(s->mixer.rampConstant, 64);
    HVSOUND_Close();
    EXPECT_EQ(s->bufferLength, -1);

    // 100 ms set: 200 ms of ring, 8 blocks.
    HVSOUND_SetBufferSize(100);
    start();
    EXPECT_EQ(s->mixBufferLength, 4096);
    EXPECT_EQ(s->bufferLength, 100);
    HVSOUND_Close();
    EXPECT_EQ(s->bufferLength, -1) << "close puts the default back";

    // 44,100 Hz: blocks of 1,024 samples; 25 ms doubled still gives 2 blocks.
    HVSOUND_SetBufferSize(25);
    ASSERT_TRUE(HVSOUND_Init(44100, 8, 0));
    EXPECT_EQ(s->mixer.blockLength, 1024);
    EXPECT_EQ(s->mixBufferLength, 2048);
}

void* refuseLargeBlocks(size_t size)
{
    return size > 4096 ? nullptr : malloc(size);
}

TEST_F(SoundCoreEngine, FailedStartKeepsTheCallersBufferLength)
{
    HVSOUND_SetBufferSize(100);
    HVSOUND_STATE* s = HVSOUND_GetState();
    s->memoryPool.userAlloc = refuseLargeBlocks; // the channel table cannot be made
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_FALSE(HVSOUND_Init(22050, 32, 0));
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_MEMORY);
        EXPECT_EQ(s->bufferLength, 100) << "attempt " << attempt;
    }
    s->memoryPool.userAlloc = malloc;
    start();
    EXPECT_EQ(s->mixBufferLength, 4096) << "200 ms, not a doubled double";
}

TEST_F(SoundCoreEngine, WithoutSoftwareChannelsThereIsNoSystemChannel)
{
    ASSERT_TRUE(HVSOUND_Init(22050, 0, 0));
    HVSOUND_STATE* s = HVSOUND_GetState();
    EXPECT_TRUE(s->initialised);
    EXPECT_EQ(s->primaryBuffer, nullptr);
    EXPECT_EQ(s->systemChannel, nullptr);
    // The stream layer works in blocks of its own: 256 samples, 10 ms.
    EXPECT_EQ(s->mixer.blockLength, 256);
    EXPECT_EQ(s->mixer.blockDurationMs, 10.0f);
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
    EXPECT_FALSE(HVSOUND_IsPlaying(HVSOUND_SYSTEMCHANNEL));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    HVSOUND_Update();
}

TEST_F(SoundCoreEngine, UpdateDrivenOutputMixesOneBlockPerUpdate)
{
    start();
    HVSOUND_MIXERSTATE& mixer = HVSOUND_GetState()->mixer;
    EXPECT_EQ(mixer.currentBlock, 1) << "init's own update mixed block 0";
    HVSOUND_Update();
    EXPECT_EQ(mixer.currentBlock, 2);
    HVSOUND_Update();
    HVSOUND_Update();
    EXPECT_EQ(mixer.currentBlock, 0) << "wraps after the ring's 4 blocks";
    HVSOUND_Update();
    EXPECT_EQ(mixer.currentBlock, 1);
}

TEST_F(SoundCoreEngine, MixerThreadFlagComesBackAfterAnUpdateDrivenStart)
{
    start(8, HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
    EXPECT_EQ(HVSOUND_Output_NoSound()->mixerThread, 0);
    HVSOUND_Close();
    start(8, HVSOUND_OUTPUT_NOSOUND);
    EXPECT_EQ(HVSOUND_Output_NoSound()->mixerThread, 1);
}

TEST_F(SoundCoreEngine, NoSoundPositionFollowsTheClockPastThe32BitProduct)
{
    start(8, HVSOUND_OUTPUT_NOSOUND);
    clock.setTickCount(1000);
    EXPECT_EQ(HVSOUND_GetCurrentPosition(HVSOUND_SYSTEMCHANNEL), 22050);
    // 200 s: ms x rate is 4.41e9, beyond 32 bits.
    clock.setTickCount(200000);
    EXPECT_EQ(HVSOUND_GetCurrentPosition(HVSOUND_SYSTEMCHANNEL), 4410000);
    // Just before the microsecond clock wraps.
    clock.setTickCount(4294967);
    int position = HVSOUND_GetCurrentPosition(HVSOUND_SYSTEMCHANNEL);
    EXPECT_EQ(position, int(int64_t(4294967) * 22050 / 1000));
    EXPECT_GE(position % HVSOUND_GetState()->mixBufferLength, 0);
}

TEST_F(SoundCoreEngine, DriversAreEnumeratedOnceOnDemand)
{
    start();
    HVSOUND_STATE* s = HVSOUND_GetState();
    EXPECT_EQ(s->driverCount, 1);
    EXPECT_STREQ(s->driverNames[0], "No Sound Driver");
    strcpy(s->driverNames[0], "marked");
    EXPECT_TRUE(HVSOUND_Driver_EnsureEnumerated());
    EXPECT_STREQ(s->driverNames[0], "marked") << "a second call returns at once";
    HVSOUND_Close();
    EXPECT_EQ(s->driverCount, 0);
    EXPECT_FALSE(s->driversEnumerated);
}

TEST_F(SoundCoreEngine, DriverPropertiesNeedARecord)
{
    start();
    HVSOUND_OutputDriver* driver = HVSOUND_GetState()->driver;
    EXPECT_FALSE(driver->setProperties(nullptr));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    unsigned char in[HVSOUND_DRIVER_PROPERTY_BYTES];
    unsigned char out[HVSOUND_DRIVER_PROPERTY_BYTES] = {};
    for (int i = 0; i < HVSOUND_DRIVER_PROPERTY_BYTES; ++i)
        in[i] = static_cast<unsigned char>(i * 3);
    EXPECT_TRUE(driver->setProperties(in));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_NONE);
    EXPECT_TRUE(driver->getProperties(out));
    EXPECT_EQ(memcmp(in, out, sizeof in), 0);
    EXPECT_FALSE(driver->getProperties(nullptr));
    EXPECT_TRUE(driver->hardwareVoiceCheck());
}

TEST_F(SoundCoreEngine, NoSoundSampleLockYieldsNothing)
{
    start();
    HVSOUND_SAMPLE* primary = HVSOUND_GetState()->primaryBuffer;
    void* p1 = &p1;
    void* p2 = &p2;
    int l1 = 5, l2 = 5;
    EXPECT_TRUE(HVSOUND_Sample_Lock(primary, 0, 256, &p1, &p2, &l1, &l2));
    EXPECT_EQ(p1, nullptr);
    EXPECT_EQ(p2, nullptr);
    EXPECT_EQ(l1 + l2, 0);
}

TEST_F(SoundCoreEngine, InitPutsTheMasterVolumeBack)
{
    HVSOUND_SetSFXMasterVolume(300);
    EXPECT_EQ(HVSOUND_GetState()->sfxMasterVolume, 255);
    HVSOUND_SetSFXMasterVolume(100);
    start();
    EXPECT_EQ(HVSOUND_GetState()->sfxMasterVolume, 255);
}

TEST_F(SoundCoreEngine, MasterVolumeRescalesPlayingEffectsButNotAbsoluteOnes)
{
    start();
    HVSOUND_SAMPLE* sample = rampSample(1000);
    int a = HVSOUND_PlaySound(HVSOUND_FREE, sample);
    int b = HVSOUND_PlaySound(HVSOUND_FREE, sample);
    HVSOUND_SetVolume(a, 200);
    HVSOUND_SetVolumeAbsolute(b, 200);
    HVSOUND_SetSFXMasterVolume(170);
    EXPECT_EQ(HVSOUND_Channel_Find(a)->mixVolume, 170 * 200 / 255);
    EXPECT_EQ(HVSOUND_Channel_Find(b)->mixVolume, 200);
    EXPECT_EQ(HVSOUND_GetVolume(a), 200) << "the stored volume is before the master scale";
}

TEST_F(SoundCoreEngine, OnlyTheInitThreadClearsTheErrorWord)
{
    start();
    HVSOUND_SetError(HVSOUND_ERR_CHANNEL_ALLOC);
    std::thread other([] { HVSOUND_GetVolume(0); });
    other.join();
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_CHANNEL_ALLOC);
    HVSOUND_GetVolume(0);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_NONE);
}

TEST_F(SoundCoreEngine, CallsBeforeStartFailWithError2)
{
    HVSOUND_SetError(HVSOUND_ERR_NONE);
    EXPECT_FALSE(HVSOUND_SetVolume(0, 100));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_UNINITIALISED);
    HVSOUND_SetError(HVSOUND_ERR_NONE);
    EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_UNINITIALISED);
    HVSOUND_SetError(HVSOUND_ERR_NONE);
    EXPECT_EQ(HVSOUND_Sample_Load(-1, "x.wav", 0, 0, 0), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_UNINITIALISED);
}

} // namespace
