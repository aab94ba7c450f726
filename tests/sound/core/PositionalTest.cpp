// Positional sound: distance volume, pan and Doppler factor of software
// channels against the fixed listener at the origin.
#include "sound/core/hvsound_3d.h"
#include "tests/sound/core/SoundTestSupport.h"

namespace {

using SoundCorePositional = soundtest::SoundFixture;

class SoundCorePositioned : public SoundCorePositional {
protected:
    void SetUp() override
    {
        SoundCorePositional::SetUp();
        start();
        sample = rampSample(1000);
        handle = HVSOUND_PlaySound(HVSOUND_FREE, sample);
        ASSERT_GE(handle, 0);
        channel = HVSOUND_Channel_Find(handle);
    }

    void placeAt(float x, float y, float z)
    {
        HVSOUND_VECTOR position{x, y, z};
        ASSERT_TRUE(HVSOUND_3D_SetAttributes(handle, &position, nullptr));
        HVSOUND_Update();
    }

    HVSOUND_SAMPLE* sample = nullptr;
    int handle = -1;
    HVSOUND_CHANNEL* channel = nullptr;
};

TEST_F(SoundCorePositioned, AtTheListenerASoundIsFullCentredAndUnbent)
{
    EXPECT_EQ(channel->secondVolume, 255);
    EXPECT_EQ(channel->mixPan, 128);
    EXPECT_FLOAT_EQ(channel->frequencyScale, 1.0f);
    EXPECT_EQ(channel->step, uint64_t(1) << 32);
}

TEST_F(SoundCorePositioned, DistanceLowersTheVolume)
{
    placeAt(0.0f, 0.0f, 4.0f);
    EXPECT_EQ(channel->secondVolume, 63) << "255 / 4, truncated";
    EXPECT_EQ(channel->mixPan, 128) << "straight ahead stays centred";
    EXPECT_EQ(channel->rightVolume, 181 * 63 / 255);

    channel->maxDistance = 10.0f;
    placeAt(0.0f, 0.0f, 50.0f);
    EXPECT_EQ(channel->secondVolume, 25) << "beyond the maximum distance the volume stays that of the maximum";
}

TEST_F(SoundCorePositioned, SidesPanFully)
{
    placeAt(10.0f, 0.0f, 0.0f);
    EXPECT_EQ(channel->mixPan, 255);
    EXPECT_EQ(channel->leftVolume, 0);
    placeAt(-10.0f, 0.0f, 0.0f);
    EXPECT_EQ(channel->mixPan, 0);
    EXPECT_EQ(channel->rightVolume, 0);
    EXPECT_EQ(channel->pan, 128) << "the caller's own pan is kept";
}

TEST_F(SoundCorePositioned, AnApproachingSoundIsRaisedInPitch)
{
    // 1 unit closer per second at 340 units/s: Doppler (340 + 1) / 340.
    HVSOUND_VECTOR position{0.0f, 0.0f, 20.0f};
    HVSOUND_VECTOR velocity{0.0f, 0.0f, -1.0f};
    ASSERT_TRUE(HVSOUND_3D_SetAttributes(handle, &position, &velocity));
    HVSOUND_Update();
    EXPECT_NEAR(channel->frequencyScale, 341.0f / 340.0f, 1e-6);
    EXPECT_EQ(channel->step, (uint64_t(int64_t(22050.0 * double(channel->frequencyScale))) << 32) / 22050);
}

TEST_F(SoundCorePositioned, StereoAnd2DSamplesIgnoreTheirPlace)
{
    HVSOUND_SAMPLE* stereo =
        HVSOUND_Sample_Alloc(-1, 100, HVSOUND_MODE_16BITS | HVSOUND_MODE_STEREO, 22050, 255, -1, 128);
    int s = HVSOUND_PlaySound(HVSOUND_FREE, stereo);
    HVSOUND_CHANNEL* sc = HVSOUND_Channel_Find(s);
    HVSOUND_VECTOR far{100.0f, 0.0f, 0.0f};
    HVSOUND_3D_SetAttributes(s, &far, nullptr);

    HVSOUND_SAMPLE* flat = rampSample(100, HVSOUND_MODE_16BITS | HVSOUND_MODE_2D);
    int f = HVSOUND_PlaySound(HVSOUND_FREE, flat);
    HVSOUND_CHANNEL* fc = HVSOUND_Channel_Find(f);
    HVSOUND_3D_SetAttributes(f, &far, nullptr);

    HVSOUND_Update();
    EXPECT_EQ(sc->secondVolume, 255);
    EXPECT_EQ(sc->mixPan, -1);
    EXPECT_EQ(fc->secondVolume, 255);
    EXPECT_EQ(fc->mixPan, 128);
}

TEST_F(SoundCorePositioned, APausedChannelIsUpdatedAtOnce)
{
    HVSOUND_SetPaused(handle, true);
    HVSOUND_VECTOR position{0.0f, 2.0f, 0.0f};
    ASSERT_TRUE(HVSOUND_3D_SetAttributes(handle, &position, nullptr));
    EXPECT_EQ(channel->secondVolume, 127) << "no engine update was needed";
    EXPECT_FLOAT_EQ(HVSOUND_3D_NearestListenerDistance(channel), 2.0f);
}

TEST_F(SoundCorePositional, AttributesNeedARunningEngineAndALiveHandle)
{
    HVSOUND_VECTOR position{1.0f, 0.0f, 0.0f};
    EXPECT_FALSE(HVSOUND_3D_SetAttributes(0, &position, nullptr));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_UNINITIALISED);
    start();
    int handle = HVSOUND_PlaySound(HVSOUND_FREE, rampSample(100));
    HVSOUND_StopSound(handle);
    EXPECT_FALSE(HVSOUND_3D_SetAttributes(handle, &position, nullptr));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    const HVSOUND_3DSETTINGS* settings = HVSOUND_3D_Settings();
    EXPECT_EQ(settings->listenerCount, 1);
    EXPECT_FLOAT_EQ(settings->listenerRight[0].x, 1.0f);
}

} // namespace
