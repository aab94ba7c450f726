// AcmCodecTest.cpp: the compressed WAV decoders against G.711 values from
// the defining segment formulas, small reference ADPCM decoders written
// here, and hand-worked first samples; and a compressed WAV loaded whole.
#include "sound/formats/acm_stream.h"
#include "sound/formats/format_wav.h"

#include "tests/sound/core/SoundTestSupport.h"
#include "tests/sound/formats/WavBuilder.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

using wavtest::put16;
using wavtest::WavBuilder;

namespace {

WAVEFORMATEX format(WORD tag, WORD channels, WORD bits, WORD blockAlign, WORD cbSize = 0)
{
    WAVEFORMATEX f{};
    f.wFormatTag = tag;
    f.nChannels = channels;
    f.nSamplesPerSec = 8000;
    f.nBlockAlign = blockAlign;
    f.wBitsPerSample = bits;
    f.cbSize = cbSize;
    return f;
}

// Decodes `source` with our ACM in one shot; the output as 16-bit values.
std::vector<int16_t> decode(const WAVEFORMATEX* source, const std::vector<uint8_t>& bytes)
{
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    EXPECT_EQ(acmFormatSuggest(nullptr, source, &pcm, sizeof pcm, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_NOERROR);
    EXPECT_EQ(pcm.wBitsPerSample, 16);
    EXPECT_EQ(pcm.nChannels, source->nChannels);
    HACMSTREAM stream = nullptr;
    EXPECT_EQ(acmStreamOpen(&stream, nullptr, source, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME),
              MMSYSERR_NOERROR);
    if (!stream)
        return {};
    DWORD size = 0;
    acmStreamSize(stream, DWORD(bytes.size()), &size, ACM_STREAMSIZEF_SOURCE);
    std::vector<uint8_t> out(size);
    ACMSTREAMHEADER h{};
    h.cbStruct = sizeof h;
    h.pbSrc = const_cast<uint8_t*>(bytes.data());
    h.cbSrcLength = DWORD(bytes.size());
    h.pbDst = out.data();
    h.cbDstLength = size;
    acmStreamPrepareHeader(stream, &h, 0);
    EXPECT_EQ(acmStreamConvert(stream, &h, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(h.cbDstLengthUsed, size);
    acmStreamUnprepareHeader(stream, &h, 0);
    acmStreamClose(stream, 0);
    std::vector<int16_t> values(size / 2);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = int16_t(out[2 * i] | out[2 * i + 1] << 8);
    return values;
}

// G.711 A-law: even bits inverted; sign bit set = positive; segment 0 is
// linear, segment s > 0 doubles from 2^(s+4) on the 13-bit scale.
int alawReference(int code)
{
    int c = code ^ 0x55;
    int segment = (c >> 4) & 7;
    int quant = c & 15;
    int value13 = segment == 0 ? 2 * quant + 1 : (2 * quant + 33) * (1 << (segment - 1));
    return (c & 0x80) ? value13 * 8 : -value13 * 8;
}

// G.711 mu-law: all bits inverted; sign bit set = negative; biased by 33 on
// the 14-bit scale.
int mulawReference(int code)
{
    int c = ~code & 0xFF;
    int segment = (c >> 4) & 7;
    int quant = c & 15;
    int value14 = (2 * quant + 33) * (1 << segment) - 33;
    return (c & 0x80) ? -value14 * 4 : value14 * 4;
}

TEST(SoundAcmCodecs, G711MatchesTheSegmentFormulasForAllCodes)
{
    std::vector<uint8_t> codes(256);
    for (int i = 0; i < 256; ++i)
        codes[size_t(i)] = uint8_t(i);
    WAVEFORMATEX a = format(WAVE_FORMAT_ALAW, 1, 8, 1);
    WAVEFORMATEX u = format(WAVE_FORMAT_MULAW, 1, 8, 1);
    std::vector<int16_t> alaw = decode(&a, codes);
    std::vector<int16_t> mulaw = decode(&u, codes);
    ASSERT_EQ(alaw.size(), 256u);
    ASSERT_EQ(mulaw.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(alaw[size_t(i)], alawReference(i)) << "A-law code " << i;
        EXPECT_EQ(mulaw[size_t(i)], mulawReference(i)) << "mu-law code " << i;
    }
    // Well-known points of the two laws.
    EXPECT_EQ(mulaw[0xFF], 0);
    EXPECT_EQ(mulaw[0x80], 32124);
    EXPECT_EQ(alaw[0xD5], 8);
    EXPECT_EQ(alaw[0x2A], -32256);
}

const int kImaSteps[89] = {7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
                           25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
                           88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
                           307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
                           1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
                           3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
                           12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// IMA ADPCM, one channel at a time: gather the channel's 4-byte groups,
// then run its nibbles through the step machine.
std::vector<int16_t> imaReference(const std::vector<uint8_t>& block, int channels)
{
    int perChannel = (int(block.size()) - 4 * channels) * 2 / channels + 1;
    std::vector<int16_t> out(size_t(perChannel * channels));
    for (int c = 0; c < channels; ++c) {
        int value = int16_t(block[size_t(4 * c)] | block[size_t(4 * c + 1)] << 8);
        int index = block[size_t(4 * c + 2)];
        std::vector<int> nibbles;
        for (size_t g = size_t(4 * channels) + size_t(4 * c); g + 4 <= block.size(); g += size_t(4 * channels))
            for (size_t b = g; b < g + 4; ++b) {
                nibbles.push_back(block[b] & 15);
                nibbles.push_back(block[b] >> 4);
            }
        out[size_t(c)] = int16_t(value);
        for (size_t i = 0; i < nibbles.size(); ++i) {
            int n = nibbles[i];
            int step = kImaSteps[index];
            int diff = (step >> 3) + ((n & 4) ? step : 0) + ((n & 2) ? step >> 1 : 0) + ((n & 1) ? step >> 2 : 0);
            value += (n & 8) ? -diff : diff;
            value = value > 32767 ? 32767 : value < -32768 ? -32768 : value;
            static const int adjust[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
            index += adjust[n & 7];
            index = index < 0 ? 0 : index > 88 ? 88 : index;
            out[(i + 1) * size_t(channels) + size_t(c)] = int16_t(value);
        }
    }
    return out;
}

const int kMsCoef[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};

// MS ADPCM: two history samples per channel, nibbles high first and the
// channels taking turns nibble by nibble.
std::vector<int16_t> msReference(const std::vector<uint8_t>& block, int channels)
{
    auto s16 = [&](size_t at) { return int(int16_t(block[at] | block[at + 1] << 8)); };
    int c1[2], c2[2], delta[2], h1[2], h2[2];
    std::vector<int16_t> out;
    for (int c = 0; c < channels; ++c) {
        c1[c] = kMsCoef[block[size_t(c)]][0];
        c2[c] = kMsCoef[block[size_t(c)]][1];
        delta[c] = s16(size_t(channels + 2 * c));
        h1[c] = s16(size_t(3 * channels + 2 * c));
        h2[c] = s16(size_t(5 * channels + 2 * c));
    }
    for (int c = 0; c < channels; ++c)
        out.push_back(int16_t(h2[c]));
    for (int c = 0; c < channels; ++c)
        out.push_back(int16_t(h1[c]));
    static const int adapt[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};
    int c = 0;
    for (size_t b = size_t(7 * channels); b < block.size(); ++b) {
        for (int n : {block[b] >> 4, block[b] & 15}) {
            int predicted = (h1[c] * c1[c] + h2[c] * c2[c]) >> 8;
            int value = predicted + (n >= 8 ? n - 16 : n) * delta[c];
            value = value > 32767 ? 32767 : value < -32768 ? -32768 : value;
            h2[c] = h1[c];
            h1[c] = value;
            delta[c] = int(std::min<int64_t>(int64_t(adapt[n]) * delta[c] >> 8, 1 << 24)); // bounded step
            if (delta[c] < 16)
                delta[c] = 16;
            out.push_back(int16_t(value));
            c = (c + 1) % channels;
        }
    }
    return out;
}

std::vector<uint8_t> msExtra(int samplesPerBlock)
{
    std::vector<uint8_t> extra;
    put16(extra, uint32_t(samplesPerBlock));
    put16(extra, 7);
    for (auto& pair : kMsCoef) {
        put16(extra, uint16_t(int16_t(pair[0])));
        put16(extra, uint16_t(int16_t(pair[1])));
    }
    return extra;
}

std::vector<uint8_t> randomImaBlocks(std::mt19937& rng, int channels, int blockAlign, int blocks)
{
    std::vector<uint8_t> bytes;
    for (int b = 0; b < blocks; ++b) {
        for (int i = 0; i < blockAlign; ++i)
            bytes.push_back(uint8_t(rng()));
        for (int c = 0; c < channels; ++c)
            bytes[size_t(b * blockAlign + 4 * c + 2)] = uint8_t(rng() % 89);
    }
    return bytes;
}

std::vector<uint8_t> randomMsBlocks(std::mt19937& rng, int channels, int blockAlign, int blocks)
{
    std::vector<uint8_t> bytes;
    for (int b = 0; b < blocks; ++b) {
        size_t at = bytes.size();
        for (int i = 0; i < blockAlign; ++i)
            bytes.push_back(uint8_t(rng()));
        for (int c = 0; c < channels; ++c) {
            bytes[at + size_t(c)] = uint8_t(rng() % 7);
            int delta = 16 + int(rng() % 2000);
            bytes[at + size_t(channels + 2 * c)] = uint8_t(delta);
            bytes[at + size_t(channels + 2 * c + 1)] = uint8_t(delta >> 8);
        }
    }
    return bytes;
}

TEST(SoundAcmCodecs, ImaAdpcmHandWorkedStart)
{
    // Predictor 0, index 0; nibbles 7 then 15.
    std::vector<uint8_t> block = {0, 0, 0, 0, 0xF7, 0, 0, 0};
    WAVEFORMATEX f = format(WAVE_FORMAT_IMA_ADPCM, 1, 4, 8);
    std::vector<int16_t> out = decode(&f, block);
    ASSERT_EQ(out.size(), 9u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 11);  // step 7: 0 + 7 + 3 + 1
    EXPECT_EQ(out[2], -19); // index 8, step 16: 11 - (2 + 16 + 8 + 4)
}

TEST(SoundAcmCodecs, MsAdpcmHandWorkedStart)
{
    // Coefficient set 0, delta 16, history 100 and 50, first nibble 1.
    std::vector<uint8_t> block = {0, 16, 0, 100, 0, 50, 0, 0x10};
    std::vector<uint8_t> extra = msExtra(4);
    std::vector<uint8_t> raw(sizeof(WAVEFORMATEX) + extra.size());
    WAVEFORMATEX f = format(WAVE_FORMAT_ADPCM, 1, 4, 8, WORD(extra.size()));
    std::memcpy(raw.data(), &f, sizeof f);
    std::memcpy(raw.data() + sizeof f, extra.data(), extra.size());
    std::vector<int16_t> out = decode(reinterpret_cast<WAVEFORMATEX*>(raw.data()), block);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], 50);
    EXPECT_EQ(out[1], 100);
    EXPECT_EQ(out[2], 116);
    EXPECT_EQ(out[3], 116) << "nibble 0 repeats the prediction";
}

TEST(SoundAcmCodecs, AdpcmBlocksMatchTheReferenceDecoders)
{
    std::mt19937 rng(777);
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        int imaAlign = 256 * channels;
        std::vector<uint8_t> ima = randomImaBlocks(rng, channels, imaAlign, 5);
        ima.resize(ima.size() + 100, 0x11); // a partial block is not decoded
        WAVEFORMATEX f = format(WAVE_FORMAT_IMA_ADPCM, WORD(channels), 4, WORD(imaAlign));
        std::vector<int16_t> got = decode(&f, ima);
        std::vector<int16_t> expected;
        for (int b = 0; b < 5; ++b) {
            std::vector<uint8_t> block(ima.begin() + b * imaAlign, ima.begin() + (b + 1) * imaAlign);
            std::vector<int16_t> part = imaReference(block, channels);
            expected.insert(expected.end(), part.begin(), part.end());
        }
        EXPECT_EQ(got, expected);

        int msAlign = 256 * channels;
        int samplesPerBlock = (msAlign - 7 * channels) * 2 / channels + 2;
        std::vector<uint8_t> extra = msExtra(samplesPerBlock);
        std::vector<uint8_t> raw(sizeof(WAVEFORMATEX) + extra.size());
        WAVEFORMATEX m = format(WAVE_FORMAT_ADPCM, WORD(channels), 4, WORD(msAlign), WORD(extra.size()));
        std::memcpy(raw.data(), &m, sizeof m);
        std::memcpy(raw.data() + sizeof m, extra.data(), extra.size());
        std::vector<uint8_t> ms = randomMsBlocks(rng, channels, msAlign, 5);
        got = decode(reinterpret_cast<WAVEFORMATEX*>(raw.data()), ms);
        expected.clear();
        for (int b = 0; b < 5; ++b) {
            std::vector<uint8_t> block(ms.begin() + b * msAlign, ms.begin() + (b + 1) * msAlign);
            std::vector<int16_t> part = msReference(block, channels);
            expected.insert(expected.end(), part.begin(), part.end());
        }
        EXPECT_EQ(got.size(), size_t(5 * samplesPerBlock * channels));
        EXPECT_EQ(got, expected);
    }
}

TEST(SoundAcmCodecs, UnsupportedFormatsAreRefused)
{
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    WAVEFORMATEX unknown = format(0x1234, 1, 8, 1);
    EXPECT_NE(acmFormatSuggest(nullptr, &unknown, &pcm, sizeof pcm, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_NOERROR);
    WAVEFORMATEX pcm32 = format(WAVE_FORMAT_PCM, 1, 32, 4);
    EXPECT_NE(acmFormatSuggest(nullptr, &pcm32, &pcm, sizeof pcm, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_NOERROR);
    WAVEFORMATEX noBlock = format(WAVE_FORMAT_ADPCM, 1, 4, 0);
    EXPECT_NE(acmFormatSuggest(nullptr, &noBlock, &pcm, sizeof pcm, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_NOERROR);
    WAVEFORMATEX sixChannels = format(WAVE_FORMAT_MULAW, 6, 8, 6);
    EXPECT_NE(acmFormatSuggest(nullptr, &sixChannels, &pcm, sizeof pcm, ACM_FORMATSUGGESTF_WFORMATTAG),
              MMSYSERR_NOERROR);
}

class SoundAcmLoad : public soundtest::SoundFixture {};

TEST_F(SoundAcmLoad, CompressedWavLoadsAsSixteenBitPcm)
{
    start();
    std::mt19937 rng(99);
    std::vector<uint8_t> blocks = randomImaBlocks(rng, 2, 512, 3);
    std::vector<uint8_t> extra;
    put16(extra, 505);
    std::vector<uint8_t> bytes =
        WavBuilder().format(WAVE_FORMAT_IMA_ADPCM, 2, 22050, 4, 512, extra).data(blocks).build();
    HVSOUND_SAMPLE* s = HVSOUND_Sample_Load(-1, bytes.data(), HVSOUND_MODE_LOADMEMORY, 0, int(bytes.size()));
    ASSERT_NE(s, nullptr) << "error " << HVSOUND_GetError();
    EXPECT_EQ(s->length, 3 * 505); // (512 - 8) * 2 / 2 + 1 frames a block
    EXPECT_TRUE(s->mode & HVSOUND_MODE_16BITS);
    EXPECT_TRUE(s->mode & HVSOUND_MODE_STEREO);
    std::vector<int16_t> expected;
    for (int b = 0; b < 3; ++b) {
        std::vector<uint8_t> block(blocks.begin() + b * 512, blocks.begin() + (b + 1) * 512);
        std::vector<int16_t> part = imaReference(block, 2);
        expected.insert(expected.end(), part.begin(), part.end());
    }
    auto* d = reinterpret_cast<int16_t*>(s->data);
    EXPECT_EQ(std::vector<int16_t>(d, d + expected.size()), expected);
    HVSOUND_Sample_Free(s);

    // A-law WAV through the same path.
    bytes = WavBuilder().format(WAVE_FORMAT_ALAW, 1, 8000, 8, 1).data({0xD5, 0x2A, 0x55}).build();
    s = HVSOUND_Sample_Load(-1, bytes.data(), HVSOUND_MODE_LOADMEMORY, 0, int(bytes.size()));
    ASSERT_NE(s, nullptr);
    d = reinterpret_cast<int16_t*>(s->data);
    EXPECT_EQ(std::vector<int16_t>(d, d + 3), (std::vector<int16_t>{8, -32256, -8}));
    HVSOUND_Sample_Free(s);
}

} // namespace
