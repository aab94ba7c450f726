// StreamTestSupport.h: a fixture for streams on the update-driven engine
// (one mixed block and one refill pass per HVSOUND_Update): WAV fixtures of
// known values, memory and file opens, a recorder of everything the stream
// writes into its buffer, and a capture of what the float mixer outputs.
#pragma once

#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/mixer_fpui.h"
#include "sound/streams/hvsound_stream.h"
#include "tests/sound/core/SoundTestSupport.h"
#include "tests/sound/formats/WavBuilder.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace streamtest {

constexpr int kRate = 22050;
constexpr int kBlock = 512;      // mixer block at 22,050 Hz
constexpr int kHalf = 17 * 512;  // 400 ms rounded down to whole blocks
constexpr int kRingBlocks = 4;   // the output ring: 100 ms in whole blocks

// A distinct, easily recognised 16-bit value for frame i of channel c.
inline int16_t valueAt(int i, int c = 0)
{
    return int16_t(((i * 7 + c * 1000) % 30000) - 15000);
}

// 16-bit PCM frames (interleaved) holding valueAt.
inline std::vector<int16_t> pcmValues(int frames, int channels)
{
    std::vector<int16_t> v(size_t(frames) * size_t(channels));
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            v[size_t(i) * size_t(channels) + size_t(c)] = valueAt(i, c);
    return v;
}

inline std::vector<uint8_t> bytesOf(const std::vector<int16_t>& values)
{
    std::vector<uint8_t> b(values.size() * 2);
    std::memcpy(b.data(), values.data(), b.size());
    return b;
}

// A 16-bit PCM WAV of `frames` frames of valueAt; `extra` adds chunks
// (cue points, labels, a sampler loop) before the data.
inline std::vector<uint8_t> wav16(int frames, int channels, int rate = kRate,
                                  const std::function<void(wavtest::WavBuilder&)>& extra = nullptr)
{
    wavtest::WavBuilder b;
    b.pcm(uint16_t(channels), uint32_t(rate), 16);
    if (extra)
        extra(b);
    b.data(bytesOf(pcmValues(frames, channels)));
    return b.build();
}

// Where two runs of values first differ (-1: nowhere, the shorter's length
// when one is a prefix of the other).
inline long firstDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return long(i);
    }
    return a.size() == b.size() ? -1 : long(n);
}

class StreamFixture : public soundtest::SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        HVSOUND_GetState()->mixerType = HVSOUND_MIXER_QUALITY_FPU;
    }

    void TearDown() override
    {
        for (HVSOUND_STREAM* s : m_open)
            HVSOUND_Stream_Close(s);
        m_open.clear();
        SoundFixture::TearDown();
        HVSOUND_GetState()->mixerType = HVSOUND_MIXER_QUALITY_AUTODETECT;
    }

    // The engine, update-driven, with the float mixer and a capture of its
    // output behind every other unit.
    void startEngine(int channels = 8)
    {
        start(channels);
        capture = HVSOUND_DSP_Create(captureBlock, 5000, this);
        ASSERT_NE(capture, nullptr);
        HVSOUND_DSP_SetActive(capture, true);
    }

    // Opens from a copy of `bytes` kept for the stream's life (mode 0x8000).
    HVSOUND_STREAM* openMemory(const std::vector<uint8_t>& bytes, uint32_t mode = HVSOUND_MODE_LOOP_NORMAL)
    {
        m_memory.push_back(std::make_unique<std::vector<uint8_t>>(bytes));
        return kept(HVSOUND_Stream_Open(m_memory.back()->data(), mode | HVSOUND_MODE_LOADMEMORY, 0,
                                        int(bytes.size())));
    }

    HVSOUND_STREAM* openFile(const std::vector<uint8_t>& bytes, const std::string& name,
                             uint32_t mode = HVSOUND_MODE_LOOP_NORMAL, const std::string& prefix = "")
    {
        std::string path = dir.write(name, std::string(bytes.begin(), bytes.end()));
        return kept(HVSOUND_Stream_Open((prefix + path).c_str(), mode, 0, 0));
    }

    void close(HVSOUND_STREAM* s)
    {
        forget(s);
        EXPECT_TRUE(HVSOUND_Stream_Close(s));
    }

    // A stream the test closes itself is not closed again at its end.
    void forget(HVSOUND_STREAM* s)
    {
        for (auto it = m_open.begin(); it != m_open.end(); ++it) {
            if (*it == s) {
                m_open.erase(it);
                break;
            }
        }
    }

    // The 16-bit values of the buffer's half `half`.
    static std::vector<int16_t> bufferHalf(HVSOUND_STREAM* s, int half)
    {
        HVSOUND_SAMPLE* sample = s->sample;
        int values = sample->length / 2 * ((sample->mode & HVSOUND_MODE_STEREO) ? 2 : 1);
        const auto* data = reinterpret_cast<const int16_t*>(sample->data);
        return std::vector<int16_t>(data + size_t(half) * size_t(values), data + size_t(half + 1) * size_t(values));
    }

    static bool recordingFill(HVSOUND_STREAM* s, void* destination, int bytes, void* self)
    {
        bool result = HVSOUND_Stream_FileFill(s, destination, bytes, nullptr);
        auto* fixture = static_cast<StreamFixture*>(self);
        const auto* values = static_cast<const int16_t*>(destination);
        fixture->recorded.insert(fixture->recorded.end(), values, values + bytes / 2);
        return result;
    }

    // From now on, records in `recorded` every value (16-bit data) the
    // stream writes into its buffer, after the first half as the open or a
    // prefill left it.
    void recordFromStart(HVSOUND_STREAM* s)
    {
        recorded = bufferHalf(s, 0);
        s->fillProcedure = recordingFill;
        s->fillUserData = this;
    }

    void update(int blocks = 1)
    {
        for (int i = 0; i < blocks; ++i)
            HVSOUND_Update();
    }

    static void* captureBlock(void*, void* buffer, int length, void* self)
    {
        auto* fixture = static_cast<StreamFixture*>(self);
        std::vector<uint32_t> words(static_cast<size_t>(length));
        HVSOUND_Software_Mixer()->output(words.data(), buffer, length);
        for (uint32_t w : words) {
            fixture->heard.push_back(int16_t(uint16_t(w & 0xFFFF)));
            fixture->heard.push_back(int16_t(uint16_t(w >> 16)));
        }
        return buffer;
    }

    testsupport::TempDir dir;
    HVSOUND_DSPUNIT* capture = nullptr;
    std::vector<int16_t> recorded;
    std::vector<int16_t> heard; // left, right, left, right ...

private:
    // Streams still open are closed at the end of the test.
    HVSOUND_STREAM* kept(HVSOUND_STREAM* s)
    {
        if (s)
            m_open.push_back(s);
        return s;
    }

    std::vector<HVSOUND_STREAM*> m_open;
    std::vector<std::unique_ptr<std::vector<uint8_t>>> m_memory;
};

} // namespace streamtest
