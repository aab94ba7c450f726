// Blocks rendered by the float and the 16-bit mixers, update-driven, against
// values worked out frame by frame here: the pan law, volume ramps, the end
// of a one-shot sample, bidirectional loops, speed 0, clamping, 8-bit data.
#include "tests/sound/mixer/MixerTestSupport.h"

#include <cmath>

namespace {

using namespace mixertest;

int panLaw(int i)
{
    return int(std::floor(16.0 * std::sqrt(double(i))));
}

class SoundMixerRender : public MixerFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        MixerFixture::SetUp();
        startMixer(GetParam());
    }

    // The left value a mixer makes of source value v at volume `volume`
    // (0..255) once no ramp runs.
    int steady(double v, int volume) const
    {
        if (isFloat())
            return roundToOutput(v * volume / 255.0);
        return intContribution(int32_t(v), volume * 256);
    }

    // The same at frame j of a ramp up from silence to full volume.
    int rampingUp(double v, int j) const
    {
        if (isFloat())
            return roundToOutput(v * floatRampGain(j));
        return intContribution(int32_t(v), intRampVolume(j));
    }

    // Positions of a channel in a bidirectional loop [start, end) frame by
    // frame: a position that passes a boundary in its direction of travel
    // is mirrored there (boundary - 1 - integer part, fraction complemented)
    // until it lies inside the loop again.
    static std::vector<uint64_t> bidiPositions(uint64_t step, int64_t start, int64_t end, int frames)
    {
        const int64_t b = start << 32;
        const int64_t e = end << 32;
        std::vector<uint64_t> positions;
        int64_t p = 0;
        int direction = 1;
        for (int j = 0; j < frames; ++j) {
            positions.push_back(uint64_t(p));
            p += direction > 0 ? int64_t(step) : -int64_t(step);
            if ((direction > 0 && p >= e) || (direction < 0 && p < b)) {
                while (p >= e || p < b) {
                    if (p >= e) {
                        p = e - 1 - (p - e);
                        direction = -1;
                    } else {
                        p = b - 1 + (b - p);
                        direction = 1;
                    }
                }
            }
        }
        return positions;
    }

    // The left output for a mono 16-bit source `v` (with the value after
    // the last read from `guard`) played at `positions`, full volume, pan 0.
    void expectMonoAt(const std::vector<Frame>& out, const std::vector<int>& v, const std::vector<uint64_t>& positions)
    {
        ASSERT_GE(out.size(), positions.size());
        for (size_t j = 0; j < positions.size(); ++j) {
            size_t i = size_t(positions[j] >> 32);
            int a = v[i];
            int b = v[i + 1];
            if (isFloat()) {
                double s = floatInterpolate(a, b, positions[j]) * floatRampGain(int(j));
                EXPECT_NEAR(out[j].left, s, 1.0) << "frame " << j;
            } else {
                int s = intInterpolate(a, b, positions[j] & ~uint64_t(0xFFFF));
                EXPECT_EQ(out[j].left, intContribution(s, intRampVolume(int(j)))) << "frame " << j;
            }
            EXPECT_EQ(out[j].right, 0) << "frame " << j;
        }
    }
};

// Side volumes P[255 - pan] and P[pan] with P[i] = floor(16 sqrt(i)), pan
// 128 giving P[128] to both sides, and what each mixer kind then makes of
// 10000 at full volume: float 10000 x v / 255 rounded, 16-bit 10000 x v /
// 256 truncated. Worked out by hand, not by the formulas above.
TEST_P(SoundMixerRender, AConstantSampleGoesThroughThePanLaw)
{
    struct Case {
        int pan;
        int left, right;
        int floatLeft, floatRight;
        int intLeft, intRight;
    };
    const Case cases[] = {
        {0, 255, 0, 10000, 0, 9960, 0},         {64, 221, 128, 8667, 5020, 8632, 5000},
        {128, 181, 181, 7098, 7098, 7070, 7070}, {200, 118, 226, 4627, 8863, 4609, 8828},
        {255, 0, 255, 0, 10000, 0, 9960},
    };
    HVSOUND_CHANNEL* c = play(constantSample(10000), 0);
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "pan " << k.pan);
        HVSOUND_SetPan(lastHandle, k.pan);
        render(1); // the ramp to the new volumes
        std::vector<Frame> out = render(1);
        ASSERT_EQ(out.size(), size_t(kBlock));
        EXPECT_EQ(c->leftVolume, k.left);
        EXPECT_EQ(c->rightVolume, k.right);
        EXPECT_EQ(c->meanVolume, (k.left + k.right) / 2);
        for (int j : {0, 1, 255, 511}) {
            EXPECT_EQ(out[size_t(j)].left, isFloat() ? k.floatLeft : k.intLeft) << "frame " << j;
            EXPECT_EQ(out[size_t(j)].right, isFloat() ? k.floatRight : k.intRight) << "frame " << j;
        }
    }
}

// A mono sample of 50 x i played at half speed (11,025 Hz), pan 0, full
// volume, from silence: frame j reads position j / 2, so value 25 j. The
// ramp (64 frames at 22,050 Hz) is halfway at frame 32: gain 0.5 (float) or
// volume 32 x 1020 = 32640 / 65536 (16-bit). After it the float gain is 1
// and the 16-bit one 65280 / 65536, applied after interpolating.
TEST_P(SoundMixerRender, HandWorkedFramesOfAHalfSpeedRamp)
{
    std::vector<int> v;
    for (int i = 0; i < 600; ++i)
        v.push_back(50 * i);
    play(makeSample(v, HVSOUND_MODE_LOOP_NORMAL), 0);
    HVSOUND_SetFrequency(lastHandle, kRate / 2);
    std::vector<Frame> out = render(1);
    struct Case {
        int frame;
        int floatLeft;
        int intLeft;
    };
    const Case cases[] = {
        {0, 0, 0},         // value 0
        {32, 400, 398},    // 800 x 0.5; floor(800 x 32640 / 65536)
        {100, 2500, 2490}, // 2500; floor(2500 x 65280 / 65536)
        {101, 2525, 2515}, // halfway between 2500 and 2550
    };
    for (const Case& k : cases) {
        EXPECT_EQ(out[size_t(k.frame)].left, isFloat() ? k.floatLeft : k.intLeft) << "frame " << k.frame;
        EXPECT_EQ(out[size_t(k.frame)].right, 0) << "frame " << k.frame;
    }
}

TEST_P(SoundMixerRender, VolumeChangesOfAMonoChannelRampOverRFrames)
{
    EXPECT_EQ(HVSOUND_GetState()->mixer.rampConstant, kRamp);
    EXPECT_EQ(HVSOUND_Mixer_RampLength(), kRamp);
    play(constantSample(10000), 0);
    std::vector<Frame> up = render(1);
    ASSERT_EQ(up.size(), size_t(kBlock));
    for (int j = 0; j < kBlock; ++j) {
        int expected = rampingUp(10000, j);
        if (isFloat())
            EXPECT_NEAR(up[size_t(j)].left, expected, 1) << "frame " << j;
        else
            EXPECT_EQ(up[size_t(j)].left, expected) << "frame " << j;
        EXPECT_EQ(up[size_t(j)].right, 0);
    }
    EXPECT_EQ(up[size_t(kRamp)].left, steady(10000, 255)) << "full volume right after R frames";

    // Down to silence over the next R frames, then nothing.
    HVSOUND_SetVolume(lastHandle, 0);
    std::vector<Frame> down = render(1);
    for (int j = 0; j < kBlock; ++j) {
        int expected = isFloat() ? roundToOutput(10000.0 * (1.0 - floatRampGain(j)))
                                 : intContribution(10000, 255 * 256 - intRampVolume(j));
        if (isFloat())
            EXPECT_NEAR(down[size_t(j)].left, expected, 1) << "frame " << j;
        else
            EXPECT_EQ(down[size_t(j)].left, expected) << "frame " << j;
    }
    EXPECT_EQ(down[size_t(kRamp)].left, 0);
    EXPECT_EQ(down.back().left, 0);
}

TEST_P(SoundMixerRender, AStereoChannelTakesANewVolumeAtOnce)
{
    std::vector<int> values;
    for (int i = 0; i < 600; ++i) {
        values.push_back(8000);
        values.push_back(-8000);
    }
    play(makeSample(values, HVSOUND_MODE_LOOP_NORMAL, false, true), -1);
    std::vector<Frame> out = render(1);
    EXPECT_EQ(out[0].left, steady(8000, 255)) << "no ramp up from silence either";
    EXPECT_EQ(out[0].right, steady(-8000, 255));
    HVSOUND_SetVolume(lastHandle, 128);
    out = render(1);
    EXPECT_EQ(out[0].left, steady(8000, 128));
    EXPECT_EQ(out[0].right, steady(-8000, 128));
    EXPECT_EQ(out[kBlock - 1].left, steady(8000, 128));
}

TEST_P(SoundMixerRender, AOneShotSampleEndsInsideTheBlockAndStops)
{
    std::vector<int> v;
    for (int i = 0; i < 100; ++i)
        v.push_back(100 * i);
    HVSOUND_SAMPLE* sample = makeSample(v, HVSOUND_MODE_LOOP_OFF);
    HVSOUND_CHANNEL* c = play(sample, 0);
    HVSOUND_SetFrequency(lastHandle, kRate / 2); // half a source frame per output frame
    v.push_back(0); // the interpolator reads silence after the end
    std::vector<uint64_t> positions;
    for (int j = 0; j < 200; ++j)
        positions.push_back(uint64_t(j) << 31);
    std::vector<Frame> out = render(1);
    expectMonoAt(out, v, positions);
    for (int j = 200; j < kBlock; ++j)
        ASSERT_EQ(out[size_t(j)].left, 0) << "the rest of the block is left alone, frame " << j;
    EXPECT_FALSE(HVSOUND_IsPlaying(lastHandle));
    EXPECT_EQ(c->currentSample, nullptr);
    EXPECT_EQ(c->priority, 0);
    EXPECT_EQ(c->playPosition, 0u);
    out = render(1);
    EXPECT_EQ(out[0].left, 0);
}

// A one-shot channel that ended stays on its list with the old sample's
// data. Given a new sample it stays silent until it is started, even when
// the old sample is gone meanwhile: the mixer never reads the old data.
TEST_P(SoundMixerRender, AChannelGivenANewSampleIsSilentUntilStarted)
{
    HVSOUND_SAMPLE* old = makeSample(std::vector<int>(100, 3000), HVSOUND_MODE_LOOP_OFF);
    HVSOUND_CHANNEL* c = play(old, 0);
    render(1);
    ASSERT_EQ(c->currentSample, nullptr) << "the one-shot ended";
    HVSOUND_Sample_Free(old);
    HVSOUND_SAMPLE* next = constantSample(7000);
    ASSERT_EQ(HVSOUND_Channel_Allocate(c->index, &HVSOUND_GetState()->softwarePool, next, 128, -1, true), c);
    std::vector<Frame> out = render(1);
    EXPECT_EQ(out[0].left, 0);
    EXPECT_EQ(out[kBlock - 1].left, 0);
    EXPECT_EQ(c->playPosition, 0u) << "not mixed before its start";
    ASSERT_TRUE(c->functions.start(c, nullptr, next));
    out = render(2);
    EXPECT_EQ(out[kBlock + 10].left, steady(7000, 255)) << "mixed once started";
}

TEST_P(SoundMixerRender, ABidirectionalLoopReflectsBackAndForth)
{
    std::vector<int> v;
    for (int i = 0; i < 16; ++i)
        v.push_back(1000 * i + 37);
    HVSOUND_SAMPLE* sample = makeSample(v, HVSOUND_MODE_LOOP_BIDI);
    ASSERT_TRUE(HVSOUND_Sample_SetLoopPoints(sample, 4, 7)); // frames 4..7
    HVSOUND_CHANNEL* c = play(sample, 0);
    HVSOUND_SetFrequency(lastHandle, kRate * 3 / 2);
    std::vector<int> guarded = v;
    guarded[8] = v[7]; // the frame after a bidirectional loop repeats its last
    std::vector<uint64_t> positions = bidiPositions(uint64_t(3) << 31, 4, 8, 2 * kBlock + 1);
    std::vector<Frame> out = render(2);
    expectMonoAt(out, guarded, std::vector<uint64_t>(positions.begin(), positions.end() - 1));
    // The 16-bit mixers drop the lower 16 bits of the fraction at each
    // block, so their position may lie that little below.
    uint64_t next = positions.back();
    uint64_t actual = (uint64_t(c->playPosition) << 32) | c->fraction;
    EXPECT_LE(actual, next);
    EXPECT_LT(next - actual, isFloat() ? 1u : 0x10000u);
    EXPECT_TRUE(HVSOUND_IsPlaying(lastHandle));
}

TEST_P(SoundMixerRender, AShortBidirectionalLoopReflectsSeveralTimesPerEnd)
{
    std::vector<int> v;
    for (int i = 0; i < 16; ++i)
        v.push_back(-3000 * i);
    HVSOUND_SAMPLE* sample = makeSample(v, HVSOUND_MODE_LOOP_BIDI);
    ASSERT_TRUE(HVSOUND_Sample_SetLoopPoints(sample, 6, 7)); // two frames
    play(sample, 0);
    HVSOUND_SetFrequency(lastHandle, kRate * 7 / 2); // 3.5 frames a step
    std::vector<int> guarded = v;
    guarded[8] = v[7];
    std::vector<uint64_t> positions = bidiPositions(uint64_t(7) << 31, 6, 8, kBlock);
    bool outside = false;
    for (size_t j = 3; j < positions.size(); ++j)
        outside = outside || (positions[j] >> 32) < 6 || (positions[j] >> 32) > 7;
    ASSERT_FALSE(outside) << "the reference stays in the loop once there";
    expectMonoAt(render(1), guarded, positions);
}

TEST_P(SoundMixerRender, PlayedBackwardsALoopWrapsToItsEndAndAOneShotEndsAfterFrameZero)
{
    std::vector<int> v;
    for (int i = 0; i < 16; ++i)
        v.push_back(100 * i + 50);
    HVSOUND_SAMPLE* looped = makeSample(v, HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_TRUE(HVSOUND_Sample_SetLoopPoints(looped, 4, 7));
    play(looped, 0);
    ASSERT_TRUE(HVSOUND_SetCurrentPosition(lastHandle, 6));
    HVSOUND_SetFrequency(lastHandle, -kRate);
    int loopHandle = lastHandle;
    HVSOUND_CHANNEL* oneShot = play(makeSample(v, HVSOUND_MODE_LOOP_OFF), 255);
    ASSERT_TRUE(HVSOUND_SetCurrentPosition(lastHandle, 10));
    HVSOUND_SetFrequency(lastHandle, -kRate);
    std::vector<Frame> out = render(1);
    for (int j = 0; j < kBlock; ++j) {
        int loopFrame = 4 + ((6 - 4 - j) % 4 + 4) % 4; // 6, 5, 4, 7, 6, ...
        ASSERT_EQ(out[size_t(j)].left, rampingUp(v[size_t(loopFrame)], j)) << "frame " << j;
        int shot = j <= 10 ? rampingUp(v[size_t(10 - j)], j) : 0; // frames 10 .. 0, then the end
        ASSERT_EQ(out[size_t(j)].right, shot) << "frame " << j;
    }
    EXPECT_EQ(oneShot->currentSample, nullptr);
    EXPECT_TRUE(HVSOUND_IsPlaying(loopHandle));
    EXPECT_EQ(HVSOUND_GetCurrentPosition(loopHandle), 4 + ((6 - 4 - kBlock) % 4 + 4) % 4);
}

TEST_P(SoundMixerRender, SpeedZeroPlaysOneFrameForTheWholeBlock)
{
    std::vector<int> v;
    for (int i = 0; i < 50; ++i)
        v.push_back(100 * i);
    HVSOUND_CHANNEL* c = play(makeSample(v, HVSOUND_MODE_LOOP_OFF), 0);
    ASSERT_TRUE(HVSOUND_SetCurrentPosition(lastHandle, 49));
    c->step = 0;
    std::vector<Frame> out = render(1);
    for (int j = 0; j < kBlock; ++j)
        ASSERT_NEAR(out[size_t(j)].left, rampingUp(4900, j), isFloat() ? 1 : 0) << "frame " << j;
    out = render(1);
    EXPECT_EQ(out[0].left, steady(4900, 255));
    EXPECT_EQ(out[kBlock - 1].left, steady(4900, 255));
    EXPECT_TRUE(HVSOUND_IsPlaying(lastHandle)) << "a still channel never reaches the end";
    EXPECT_EQ(HVSOUND_GetCurrentPosition(lastHandle), 49);
}

TEST_P(SoundMixerRender, SumsBeyondSixteenBitsAreClamped)
{
    for (int k = 0; k < 2; ++k) {
        play(constantSample(30000), 0);
        play(constantSample(-30000), 255);
    }
    render(1);
    std::vector<Frame> out = render(1);
    EXPECT_EQ(out[0].left, 32767);
    EXPECT_EQ(out[0].right, -32768);
    EXPECT_EQ(out[kBlock - 1].left, 32767);
    EXPECT_EQ(out[kBlock - 1].right, -32768);
}

TEST_P(SoundMixerRender, EightBitDataIsScaledToTheSixteenBitRange)
{
    // Bytes 127, 0, 128 and 255, read as signed values.
    play(makeSample({127, 0, -128, -1}, HVSOUND_MODE_LOOP_NORMAL, true), 0);
    render(1);
    std::vector<Frame> out = render(1);
    const int expected[4][2] = {{32767, 127 * 255}, {0, 0}, {-32768, -128 * 255}, {-256, -255}};
    int index = isFloat() ? 0 : 1;
    for (int j = 0; j < 8; ++j)
        EXPECT_EQ(out[size_t(j)].left, expected[j % 4][index]) << "frame " << j;
}

TEST_P(SoundMixerRender, WithTheInvertFlagTheLeftSideIsNegated)
{
    HVSOUND_CHANNEL* c = play(constantSample(9000), 0);
    c->flags |= HVSOUND_CHANNEL_INVERT_LEFT;
    HVSOUND_SetPan(lastHandle, 128); // the channel functions pass the flag on
    render(1);
    std::vector<Frame> out = render(1);
    EXPECT_EQ(out[0].right, steady(9000, panLaw(128)));
    EXPECT_EQ(out[0].left, -steady(9000, panLaw(128))) << "centred: the same volume on both sides";
    EXPECT_LT(out[0].left, 0);
}

TEST_P(SoundMixerRender, PausedChannelsAreSkippedAndSilentOnesStillMove)
{
    HVSOUND_CHANNEL* paused = play(constantSample(5000, 100, HVSOUND_MODE_LOOP_OFF), 0);
    HVSOUND_SetPaused(lastHandle, true);
    int pausedHandle = lastHandle;
    HVSOUND_CHANNEL* silent = play(constantSample(5000, 300, HVSOUND_MODE_LOOP_OFF), 0, 0);
    std::vector<Frame> out = render(1);
    EXPECT_EQ(out[0].left, 0);
    EXPECT_EQ(out[10].left, 0);
    EXPECT_EQ(paused->playPosition, 0u);
    EXPECT_TRUE(HVSOUND_IsPlaying(pausedHandle));
    EXPECT_EQ(silent->currentSample, nullptr) << "a silent one-shot still reaches its end";
    HVSOUND_SetPaused(pausedHandle, false);
    out = render(1);
    EXPECT_GT(out[kRamp + 10].left, 0);
    EXPECT_EQ(out[200].left, 0) << "100 frames, then the end";
}

TEST_P(SoundMixerRender, LevelsAreMeasuredOverOneBlock)
{
    play(constantSample(12800), 0);
    float left = -1.0f;
    float right = -1.0f;
    HVSOUND_CHANNEL* c = HVSOUND_Channel_Find(lastHandle);
    ASSERT_TRUE(c->functions.getLevels(c, &left, &right));
    // |(12800 >> 8) x 255| / 65536.
    EXPECT_FLOAT_EQ(left, 50.0f * 255.0f / 65536.0f);
    EXPECT_FLOAT_EQ(right, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Mixers, SoundMixerRender,
                         ::testing::Values(HVSOUND_MIXER_QUALITY_FPU, HVSOUND_MIXER_QUALITY_MMXP5,
                                           HVSOUND_MIXER_QUALITY_MMXP6),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == HVSOUND_MIXER_QUALITY_FPU ? std::string("Float")
                                    : info.param == HVSOUND_MIXER_QUALITY_MMXP5 ? std::string("Int16P5")
                                                                                 : std::string("Int16P6");
                         });

} // namespace
