// MixerTestSupport.h: a fixture that starts the engine update-driven with a
// chosen mixer and captures every mixed block as the output writes it (a
// last DSP unit converts the block with the mixer's own output routine),
// plus sample makers and the arithmetic of the two mixer kinds, written out
// frame by frame for computing expected output.
#pragma once

#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/mixer_fpui.h"
#include "tests/sound/core/SoundTestSupport.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace mixertest {

struct Frame {
    int left;
    int right;
};

constexpr int kRate = 22050;
constexpr int kBlock = 512; // frames per block at 22,050 Hz
constexpr int kRamp = 64;   // ramp frames at 22,050 Hz

class MixerFixture : public soundtest::SoundFixture {
protected:
    void startMixer(int type, uint32_t flags = 0, int channels = 8)
    {
        HVSOUND_GetState()->mixerType = type;
        HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
        ASSERT_TRUE(HVSOUND_Init(kRate, channels, flags)) << "error " << HVSOUND_GetError();
        ASSERT_EQ(HVSOUND_GetMixer(), type);
        capture = HVSOUND_DSP_Create(captureBlock, 5000, this);
        ASSERT_NE(capture, nullptr);
        HVSOUND_DSP_SetActive(capture, true);
    }

    bool isFloat() const { return HVSOUND_GetMixer() == HVSOUND_MIXER_QUALITY_FPU; }

    // Mixes `blocks` blocks and answers what the output made of them.
    std::vector<Frame> render(int blocks = 1)
    {
        captured.clear();
        for (int b = 0; b < blocks; ++b)
            HVSOUND_Update();
        return captured;
    }

    // A sample of `values`, 16-bit unless `eightBit`, mono unless `stereo`
    // (values then interleaved), with the loop mode given. The samples are
    // 2D: their pan is the one set, not one from a place.
    HVSOUND_SAMPLE* makeSample(const std::vector<int>& values, uint32_t loop, bool eightBit = false,
                               bool stereo = false)
    {
        uint32_t mode = loop | HVSOUND_MODE_2D | (eightBit ? HVSOUND_MODE_8BITS : HVSOUND_MODE_16BITS) |
                        (stereo ? HVSOUND_MODE_STEREO : HVSOUND_MODE_MONO);
        int length = int(values.size()) / (stereo ? 2 : 1);
        HVSOUND_SAMPLE* s = HVSOUND_Sample_Alloc(-1, length, mode, kRate, 255, stereo ? -1 : 0, 128);
        EXPECT_NE(s, nullptr);
        if (!s)
            return nullptr;
        void* p1;
        void* p2;
        int l1, l2;
        HVSOUND_Sample_Lock(s, 0, HVSOUND_Sample_ByteLength(s), &p1, &p2, &l1, &l2);
        for (size_t i = 0; i < values.size(); ++i) {
            if (eightBit)
                static_cast<int8_t*>(p1)[i] = int8_t(values[i]);
            else
                static_cast<int16_t*>(p1)[i] = int16_t(values[i]);
        }
        HVSOUND_Sample_Unlock(s, p1, p2, l1, l2);
        return s;
    }

    HVSOUND_SAMPLE* constantSample(int value, int length = 1000, uint32_t loop = HVSOUND_MODE_LOOP_NORMAL)
    {
        return makeSample(std::vector<int>(size_t(length), value), loop);
    }

    // Plays a sample at full volume with the pan given (the sample default
    // of frequency 22,050 Hz: one source frame per output frame).
    HVSOUND_CHANNEL* play(HVSOUND_SAMPLE* sample, int pan = 0, int volume = 255)
    {
        int handle = HVSOUND_PlaySound(HVSOUND_FREE, sample);
        EXPECT_GE(handle, 0);
        HVSOUND_SetVolume(handle, volume);
        if (pan != -1)
            HVSOUND_SetPan(handle, pan);
        lastHandle = handle;
        return HVSOUND_Channel_Find(handle);
    }

    static void* captureBlock(void*, void* buffer, int length, void* self)
    {
        auto* fixture = static_cast<MixerFixture*>(self);
        std::vector<uint32_t> words(static_cast<size_t>(length));
        HVSOUND_Software_Mixer()->output(words.data(), buffer, length);
        for (uint32_t w : words)
            fixture->captured.push_back(Frame{int16_t(uint16_t(w & 0xFFFF)), int16_t(uint16_t(w >> 16))});
        return buffer;
    }

    HVSOUND_DSPUNIT* capture = nullptr;
    std::vector<Frame> captured;
    int lastHandle = -1;
};

// The gain a started sound has at frame j of its ramp up from silence to
// full volume (255), in each mixer kind's arithmetic.
inline double floatRampGain(int j)
{
    return j >= kRamp ? 1.0 : double(j) / kRamp;
}

// 16-bit mixers hold the volume x 256; each frame of the ramp adds 65280 / R.
inline int32_t intRampVolume(int j)
{
    return j >= kRamp ? 255 * 256 : j * (255 * 256 / kRamp);
}

// What a 16-bit mixer adds for value v (16-bit scale) at volume x 256 h.
inline int intContribution(int32_t v, int32_t h)
{
    return int(std::floor(double(v) * double(h) / 65536.0));
}

// Linear interpolation as each mixer kind does it: the float mixer with the
// whole fraction, the 16-bit ones with its upper 15 bits.
inline double floatInterpolate(double a, double b, uint64_t position)
{
    return a + (b - a) * double(uint32_t(position)) / 4294967296.0;
}

inline int intInterpolate(int a, int b, uint64_t position)
{
    int w = int(uint32_t(position) >> 17);
    return a + int(std::floor(double(b - a) * w / 32768.0));
}

inline int roundToOutput(double x)
{
    x = std::nearbyint(x);
    return int(x < -32768 ? -32768 : x > 32767 ? 32767 : x);
}

} // namespace mixertest
