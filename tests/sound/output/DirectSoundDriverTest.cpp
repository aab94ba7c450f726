// DirectSoundDriverTest.cpp: the DirectSound driver over the manual-pump
// backend: device start, the mix buffer and its handover to the device,
// hardware channels' volume, pan and frequency as heard, pause, lost buffers
// and failures.
#include "platform/audio/DirectSound.h"
#include "sound/output/output_dsound.h"
#include "sound/output/output_winmm.h"
#include "tests/sound/output/OutputTestSupport.h"

#include <cmath>

namespace {

using soundtest::OutputFixture;

class DirectSoundDriverTest : public OutputFixture {
protected:
    // A looping 16-bit mono sample on a hardware voice holding one value.
    HVSOUND_SAMPLE* hardwareSample(int16_t value, uint32_t extraMode = 0)
    {
        HVSOUND_SAMPLE* s = HVSOUND_Sample_Alloc(-1, 2205,
                                                 HVSOUND_MODE_HW2D | HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO |
                                                     HVSOUND_MODE_LOOP_NORMAL | extraMode,
                                                 22050, 255, 128, 128);
        EXPECT_NE(s, nullptr);
        if (!s)
            return nullptr;
        std::vector<int16_t> data(size_t(s->length), value);
        EXPECT_TRUE(HVSOUND_Sample_Upload(s, data.data(), HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO));
        return s;
    }

    // The mean left and right values over `frames` frames, skipping one
    // device request for settings to reach the output.
    std::pair<double, double> levels(size_t frames = 512)
    {
        play(256);
        std::vector<int16_t> heard = play(frames);
        double left = 0, right = 0;
        for (size_t i = 0; i + 1 < heard.size(); i += 2) {
            left += heard[i];
            right += heard[i + 1];
        }
        return {left / double(frames), right / double(frames)};
    }

    static double gain(int hundredthsDb) { return std::pow(10.0, hundredthsDb / 2000.0); }
};

TEST_F(DirectSoundDriverTest, VolumeTablePassesItsFixedPointsAndRises)
{
    EXPECT_EQ(HVSOUND_DSound_VolumeTable(0), -10000);
    EXPECT_EQ(HVSOUND_DSound_VolumeTable(1), -7678);
    EXPECT_EQ(HVSOUND_DSound_VolumeTable(2), -6830);
    EXPECT_EQ(HVSOUND_DSound_VolumeTable(64), -1994);
    EXPECT_EQ(HVSOUND_DSound_VolumeTable(128), -997);
    EXPECT_EQ(HVSOUND_DSound_VolumeTable(254), -5);
    EXPECT_EQ(HVSOUND_DSound_VolumeTable(255), 0);
    for (int v = 1; v < 256; ++v)
        ASSERT_LT(HVSOUND_DSound_VolumeTable(v - 1), HVSOUND_DSound_VolumeTable(v)) << v;
}

TEST_F(DirectSoundDriverTest, OpensTheDeviceWithAStereo16BitPrimaryAtTheMixRate)
{
    start(8, HVSOUND_OUTPUT_DSOUND);
    HVSOUND_STATE* s = HVSOUND_GetState();
    EXPECT_EQ(s->driver, HVSOUND_Output_DirectSound());
    ASSERT_EQ(backend->openOutputs(), 1);
    EXPECT_EQ(backend->outputFormat(), (platform::audio::AudioFormat{22050, 2, 16}));
    EXPECT_NE(s->driver->getOutputHandle(), nullptr);
    // The device has no hardware 3D voices: the software-3D flag gives 32
    // nominal ones, placed after the software channels, then the 2D ones.
    EXPECT_EQ(s->hardware3DCount, 32);
    EXPECT_EQ(s->hardware2DCount, 32);
    EXPECT_EQ(s->totalChannels, 8 + 32 + 32);
    EXPECT_EQ(s->hardware3DPool.first, 8);
    EXPECT_EQ(s->hardware3DPool.last, 39);
    EXPECT_EQ(s->hardware2DPool.first, 40);
    EXPECT_EQ(s->hardware2DPool.last, 71);
    EXPECT_FALSE(s->emulatedOutput);
    EXPECT_EQ(s->driverCount, 2) << "the default device, then the backend's one";
    EXPECT_STREQ(s->driverNames[0], "Primary Sound Driver");
    // The mix buffer is a looping secondary buffer that plays from the start.
    EXPECT_TRUE(HVSOUND_IsPlaying(HVSOUND_SYSTEMCHANNEL));
    std::vector<int16_t> first = play(256);
    for (int16_t v : first)
        ASSERT_EQ(v, 0);

    HVSOUND_Close();
    EXPECT_EQ(backend->openOutputs(), 0);
    EXPECT_EQ(s->driver->getOutputHandle(), nullptr);
}

TEST_F(DirectSoundDriverTest, TheDeviceNeverPlaysABlockOfTheRingWhileTheMixerThreadWritesIt)
{
    for (bool late : {false, true}) {
        SCOPED_TRACE(late ? "the cursor read after the hold" : "the cursor read before the hold");
        expectTheDeviceNeverReadsTheBlockBeingWritten(HVSOUND_OUTPUT_DSOUND, late);
        HVSOUND_Close();
    }
}

TEST_F(DirectSoundDriverTest, HardwareVoiceVolumePanAndFrequencyReachTheBuffer)
{
    start(8, HVSOUND_OUTPUT_DSOUND);
    HVSOUND_SAMPLE* tone = hardwareSample(10000);
    ASSERT_NE(tone, nullptr);
    int channel = HVSOUND_PlaySound(HVSOUND_FREE, tone);
    ASSERT_GE(channel, 0);
    EXPECT_GE(channel & HVSOUND_CHANNEL_INDEX_MASK, 8) << "a hardware voice, past the software channels";
    EXPECT_TRUE(HVSOUND_IsPlaying(channel));

    // Centre pan is +5: the left side a little quieter.
    auto centre = levels();
    EXPECT_NEAR(centre.first, 10000 * gain(-5), 3);
    EXPECT_NEAR(centre.second, 10000, 3);

    ASSERT_TRUE(HVSOUND_SetVolume(channel, 128));
    auto half = levels();
    EXPECT_NEAR(half.second, 10000 * gain(-997), 3);

    ASSERT_TRUE(HVSOUND_SetVolume(channel, 255));
    ASSERT_TRUE(HVSOUND_SetPan(channel, 0));
    auto left = levels();
    EXPECT_NEAR(left.first, 10000, 3);
    EXPECT_NEAR(left.second, 0, 3);
    ASSERT_TRUE(HVSOUND_SetPan(channel, 255));
    auto right = levels();
    EXPECT_NEAR(right.first, 0, 3);
    EXPECT_NEAR(right.second, 10000, 3);

    // Double the rate: the voice's position moves two samples a frame.
    ASSERT_TRUE(HVSOUND_SetFrequency(channel, 44100));
    play(256);
    int before = HVSOUND_GetCurrentPosition(channel);
    play(100);
    int after = HVSOUND_GetCurrentPosition(channel);
    EXPECT_EQ((after - before + tone->length) % tone->length, 200);

    EXPECT_TRUE(HVSOUND_StopSound(channel));
    EXPECT_FALSE(HVSOUND_IsPlaying(channel));
    HVSOUND_Sample_Free(tone);
}

TEST_F(DirectSoundDriverTest, PausingAStoppedVoiceAndUnpausingDoesNotStartIt)
{
    start(8, HVSOUND_OUTPUT_DSOUND);
    HVSOUND_SAMPLE* tone = hardwareSample(5000);
    ASSERT_NE(tone, nullptr);
    int channel = HVSOUND_PlaySound(HVSOUND_FREE, tone);
    ASSERT_GE(channel, 0);
    HVSOUND_CHANNEL* record = HVSOUND_Channel_Find(channel);
    ASSERT_NE(record, nullptr);

    // Pause and resume a playing voice: it goes on.
    ASSERT_TRUE(record->functions.setPaused(record, true));
    EXPECT_NE(record->flags & HVSOUND_CHANNEL_RESUME_PENDING, 0u);
    auto paused = levels();
    EXPECT_NEAR(paused.second, 0, 1);
    ASSERT_TRUE(record->functions.setPaused(record, false));
    EXPECT_EQ(record->flags & HVSOUND_CHANNEL_RESUME_PENDING, 0u);
    EXPECT_GT(levels().second, 4000);

    // Stop it, then pause and unpause: it stays silent.
    ASSERT_TRUE(HVSOUND_SetPaused(channel, false));
    record->currentSample = tone;
    record->functions.stop(record);
    ASSERT_TRUE(record->functions.setSample(record, tone));
    ASSERT_TRUE(record->functions.setPaused(record, true));
    ASSERT_TRUE(record->functions.setPaused(record, false));
    EXPECT_FALSE(record->functions.isPlaying(record));
    EXPECT_NEAR(levels().second, 0, 1);
    HVSOUND_Sample_Free(tone);
}

TEST_F(DirectSoundDriverTest, LockingALostBufferRestoresAndRestartsIt)
{
    start(8, HVSOUND_OUTPUT_DSOUND);
    // A sample that plays its own buffer, so the voice's buffer is the one locked.
    HVSOUND_SAMPLE* tone = hardwareSample(6000, HVSOUND_MODE_STOPSAME);
    ASSERT_NE(tone, nullptr);
    int channel = HVSOUND_PlaySound(HVSOUND_FREE, tone);
    ASSERT_GE(channel, 0);
    ASSERT_TRUE(HVSOUND_IsPlaying(channel));

    auto* device = reinterpret_cast<IDirectSound*>(HVSOUND_GetState()->driver->getOutputHandle());
    ASSERT_NE(device, nullptr);
    platform::audio::loseSoundBuffers(device);
    EXPECT_FALSE(HVSOUND_IsPlaying(channel)) << "a lost buffer stops";

    void* p1 = nullptr;
    void* p2 = nullptr;
    int l1 = 0, l2 = 0;
    ASSERT_TRUE(HVSOUND_Sample_Lock(tone, 0, 8, &p1, &p2, &l1, &l2));
    EXPECT_EQ(l1, 8);
    ASSERT_TRUE(HVSOUND_Sample_Unlock(tone, p1, p2, l1, l2));
    EXPECT_TRUE(HVSOUND_IsPlaying(channel)) << "restored and playing, looping, again";
    HVSOUND_Sample_Free(tone);
}

TEST_F(DirectSoundDriverTest, EightBitSoundIsStoredUnsignedInTheBuffer)
{
    start(8, HVSOUND_OUTPUT_DSOUND);
    HVSOUND_SAMPLE* s = HVSOUND_Sample_Alloc(-1, 64, HVSOUND_MODE_HW2D | HVSOUND_MODE_8BITS | HVSOUND_MODE_MONO,
                                             22050, 255, 128, 128);
    ASSERT_NE(s, nullptr);
    // A new buffer is silence: 0x80 once unsigned.
    void* p1 = nullptr;
    void* p2 = nullptr;
    int l1 = 0, l2 = 0;
    ASSERT_TRUE(s->functions.lock(s, 0, 64, &p1, &p2, &l1, &l2));
    ASSERT_EQ(l1, 64);
    EXPECT_EQ(static_cast<uint8_t*>(p1)[10], 0x80);
    static_cast<uint8_t*>(p1)[10] = 0x10; // signed +16
    ASSERT_TRUE(s->functions.unlock(s, p1, p2, l1, l2));
    ASSERT_TRUE(s->functions.lock(s, 0, 64, &p1, &p2, &l1, &l2));
    EXPECT_EQ(static_cast<uint8_t*>(p1)[10], 0x90);
    s->functions.unlock(s, nullptr, nullptr, 0, 0);
    HVSOUND_Sample_Free(s);
}

TEST_F(DirectSoundDriverTest, NoDeviceFailsWithError3AndWaveOutIsTheFallback)
{
    backend->setDevices({});
    HVSOUND_SetOutput(HVSOUND_OUTPUT_DSOUND);
    EXPECT_FALSE(HVSOUND_Init(22050, 8, 0));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INIT);
    HVSOUND_Close();

    // A device that cannot be opened fails the same way ...
    backend->setDevices({"Test audio output"});
    backend->setOpenRefused(true);
    EXPECT_FALSE(HVSOUND_Init(22050, 8, 0));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INIT);
    HVSOUND_Close();

    // A device that opens but then refuses the mix format fails with 6 and
    // is given up, not left open beside the output the caller tries next.
    backend->setOpenRefused(false);
    backend->refuseOneOpen(1);
    EXPECT_FALSE(HVSOUND_Init(22050, 8, 0));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FORMAT);
    EXPECT_EQ(backend->openOutputs(), 0);
    HVSOUND_Close();

    // ... and the caller's second try with waveOut is accepted and opens it.
    EXPECT_TRUE(HVSOUND_SetOutput(HVSOUND_OUTPUT_WINMM));
    ASSERT_TRUE(HVSOUND_Init(22050, 8, 0)) << "error " << HVSOUND_GetError();
    EXPECT_EQ(HVSOUND_GetState()->driver, HVSOUND_Output_WinMM());
    EXPECT_EQ(backend->openOutputs(), 1);
}

} // namespace
