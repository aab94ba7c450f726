// MpegReaderTest.cpp: the MPEG audio reader: header and length rules, the
// sync search and its limit, RIFF-wrapped MPEG, whole-file sample loads,
// exact scans and their frame table, seeking, reset, CRC words, damaged
// streams, and the decoder's bounds on what the bitstream says.
#include "tests/sound/formats/MpegTestSupport.h"

#include "sound/formats/mpeg_layer3.h"
#include "tests/sound/core/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <thread>

namespace {

using mpegtest::frameOffsets;
using mpegtest::lameFile;


struct Opened {
    bool ok = false;
    int error = 0;
    uint32_t mode = 0;
    int rate = 0, dataLength = 0, pcmLength = 0, dataOffset = 0, lengthMs = 0, pcmPerFrame = 0;
};

Opened openBytes(std::vector<uint8_t>& bytes, uint32_t mode = 0)
{
    Opened o;
    HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
    HVSOUND_MPEG_DECODER* decoder = nullptr;
    int sourceSize = 0;
    HVSOUND_SetError(HVSOUND_ERR_NONE);
    o.mode = mode;
    o.ok = HVSOUND_MPEG_Open(file, &o.mode, &o.rate, &o.dataLength, &o.pcmLength, &decoder, &sourceSize,
                             &o.dataOffset, &o.lengthMs, nullptr, nullptr, nullptr);
    o.error = HVSOUND_GetError();
    if (decoder)
        o.pcmPerFrame = decoder->pcmBytesPerFrame;
    HVSOUND_MPEG_FreeDecoder(decoder);
    HVSOUND_File_Close(file);
    return o;
}

class MpegReader : public soundtest::SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        if (!mpegtest::haveTool("lame"))
            GTEST_SKIP() << "lame is needed";
    }
};

struct HeaderCase {
    uint8_t bytes[4];
    int valid;
    int frequency;
    int channels;
    int body;
};

TEST(MpegHeader, FieldsAndRefusals)
{
    const HeaderCase cases[] = {
        {{0xFF, 0xFB, 0x90, 0x00}, 1, 44100, 2, 413}, // MPEG-1, 128 kbit/s
        {{0xFF, 0xFB, 0x92, 0x00}, 1, 44100, 2, 414}, // padded
        {{0xFF, 0xFB, 0x90, 0xC0}, 1, 44100, 1, 413}, // single channel
        {{0xFF, 0xFB, 0x14, 0x00}, 1, 48000, 2, 92},  // 32 kbit/s at 48000 Hz
        {{0xFF, 0xF3, 0x90, 0xC0}, 1, 22050, 1, 257}, // MPEG-2, 80 kbit/s
        {{0xFF, 0xE3, 0x18, 0xC0}, 1, 8000, 1, 68},   // MPEG-2.5, 8 kbit/s
        {{0xFF, 0xFA, 0x90, 0x00}, 1, 44100, 2, 413}, // with CRC
        {{0xFF, 0xFF, 0x90, 0x00}, 0, 0, 0, 0},       // layer I
        {{0xFF, 0xFD, 0x90, 0x00}, 0, 0, 0, 0},       // layer II
        {{0xFF, 0xF9, 0x90, 0x00}, 0, 0, 0, 0},       // reserved layer
        {{0xFF, 0xFB, 0x00, 0x00}, 0, 0, 0, 0},       // free format
        {{0xFF, 0xFB, 0xF0, 0x00}, 0, 0, 0, 0},       // bit rate index 15
        {{0xFF, 0xFB, 0x9C, 0x00}, 0, 0, 0, 0},       // sampling frequency index 3
        {{0xFF, 0x7B, 0x90, 0x00}, 0, 0, 0, 0},       // broken sync
        {{0xFE, 0xFB, 0x90, 0x00}, 0, 0, 0, 0},       // broken sync
    };
    HVSOUND_MPEG_DECODER* d = HVSOUND_MPEG_CreateDecoder();
    ASSERT_NE(d, nullptr);
    for (const HeaderCase& c : cases) {
        int frequency = 0, channels = 0, body = 0;
        d->rememberedLayer = 0;
        int valid = HVSOUND_MPEG_ParseHeader(d, c.bytes, &frequency, &channels, &body);
        EXPECT_EQ(valid, c.valid) << std::hex << int(c.bytes[1]) << " " << int(c.bytes[2]);
        if (valid && c.valid) {
            EXPECT_EQ(frequency, c.frequency);
            EXPECT_EQ(channels, c.channels);
            EXPECT_EQ(body, c.body);
        }
    }
    EXPECT_TRUE(HVSOUND_MPEG_FreeDecoder(d));
    EXPECT_FALSE(HVSOUND_MPEG_FreeDecoder(nullptr));
}

TEST_F(MpegReader, PcmBytesPerFrameAndLengths)
{
    struct Case {
        int rate, channels, pcmPerFrame;
        uint32_t modeBits;
    };
    for (Case c : {Case{44100, 1, 2304, HVSOUND_MODE_MONO}, Case{44100, 2, 4608, HVSOUND_MODE_STEREO},
                   Case{22050, 1, 1152, HVSOUND_MODE_MONO}, Case{8000, 1, 1152, HVSOUND_MODE_MONO}}) {
        std::vector<uint8_t> bytes = lameFile(c.rate, c.channels, c.channels == 1 ? "-m m" : "");
        ASSERT_FALSE(bytes.empty());
        size_t frames = frameOffsets(bytes).size();
        Opened estimated = openBytes(bytes, HVSOUND_MODE_8BITS | HVSOUND_MODE_UNSIGNED);
        ASSERT_TRUE(estimated.ok) << c.rate;
        EXPECT_EQ(estimated.pcmPerFrame, c.pcmPerFrame) << c.rate;
        EXPECT_EQ(estimated.rate, c.rate);
        EXPECT_EQ(estimated.mode, HVSOUND_MODE_16BITS | HVSOUND_MODE_SIGNED | c.modeBits);
        // The estimate from the first frame's size is near the exact count.
        double exactBytes = double(frames) * c.pcmPerFrame;
        EXPECT_NEAR(estimated.pcmLength, exactBytes, exactBytes * 0.02) << c.rate;
        Opened exact = openBytes(bytes, HVSOUND_MODE_MPEGACCURATE);
        ASSERT_TRUE(exact.ok);
        EXPECT_EQ(exact.pcmLength, int(exactBytes));
        EXPECT_EQ(exact.lengthMs, int(exactBytes / 2 / c.channels / c.rate * 1000));
    }
}

TEST_F(MpegReader, JunkBeforeTheFirstFrameIsSkippedWithinReach)
{
    const std::vector<uint8_t>& mp3 = lameFile(44100, 2, "");
    ASSERT_FALSE(mp3.empty());
    std::string tag = "ID3 tag block: title, artist, album";
    for (int junk : {300, 4000, 5000}) {
        std::vector<uint8_t> bytes(tag.begin(), tag.end());
        bytes.resize(size_t(junk), 0);
        bytes.insert(bytes.end(), mp3.begin(), mp3.end());
        Opened o = openBytes(bytes);
        if (junk <= 4096) {
            EXPECT_TRUE(o.ok) << junk;
            EXPECT_EQ(o.dataOffset, junk);
            EXPECT_EQ(o.dataLength, int(mp3.size()));
        } else {
            EXPECT_FALSE(o.ok) << junk;
            EXPECT_EQ(o.error, HVSOUND_ERR_FILE_FORMAT);
        }
    }
}

TEST_F(MpegReader, MpegInsideRiffWaveIsReadAndOtherFormatsAreLeft)
{
    std::vector<uint8_t> mp3 = lameFile(22050, 1, "-m m");
    ASSERT_FALSE(mp3.empty());
    for (uint16_t tag : {uint16_t(85), uint16_t(80), uint16_t(1)}) {
        std::vector<uint8_t> bytes = wavtest::WavBuilder().format(tag, 1, 22050, 0, 1).data(mp3).sampler(100, 900).build();
        Opened o = openBytes(bytes);
        if (tag == 1) {
            EXPECT_FALSE(o.ok);
            EXPECT_EQ(o.error, HVSOUND_ERR_FILE_FORMAT);
            continue;
        }
        ASSERT_TRUE(o.ok) << tag;
        EXPECT_EQ(o.dataOffset, 12 + 8 + 18 + 8);
        EXPECT_EQ(o.dataLength, int(mp3.size()));
        std::vector<int16_t> wrapped = mpegtest::decodeStream(bytes);
        EXPECT_EQ(wrapped, mpegtest::decodeStream(mp3));
    }
    // Loaded whole, the sampler chunk's loop comes along.
    std::vector<uint8_t> bytes = wavtest::WavBuilder().format(85, 1, 22050, 0, 1).data(mp3).sampler(100, 900).build();
    start();
    HVSOUND_SAMPLE* s = HVSOUND_Sample_Load(-1, bytes.data(), HVSOUND_MODE_LOADMEMORY, 0, int(bytes.size()));
    ASSERT_NE(s, nullptr) << HVSOUND_GetError();
    EXPECT_EQ(s->loopStart, 100);
    EXPECT_EQ(s->loopLength, 801);
    EXPECT_TRUE(s->mode & HVSOUND_MODE_LOOP_NORMAL);
    HVSOUND_Sample_Free(s);
}

// The whole stream lands in the sample, its last frame included, for
// every frame size.
TEST_F(MpegReader, LoadedSampleHoldsEveryFrame)
{
    start();
    struct Case {
        int rate, channels;
        uint32_t mode;
    };
    for (Case c : {Case{44100, 1, 0}, Case{44100, 1, HVSOUND_MODE_MPEGACCURATE}, Case{22050, 1, 0},
                   Case{11025, 2, HVSOUND_MODE_MPEGACCURATE}, Case{44100, 2, 0}}) {
        std::vector<uint8_t> bytes = lameFile(c.rate, c.channels, c.channels == 1 ? "-m m" : "");
        ASSERT_FALSE(bytes.empty());
        std::vector<int16_t> decoded = mpegtest::decodeStream(bytes);
        HVSOUND_SAMPLE* s =
            HVSOUND_Sample_Load(-1, bytes.data(), c.mode | HVSOUND_MODE_LOADMEMORY, 0, int(bytes.size()));
        ASSERT_NE(s, nullptr) << c.rate << " error " << HVSOUND_GetError();
        EXPECT_EQ(s->frequency, c.rate);
        ASSERT_EQ(size_t(s->length) * size_t(c.channels), decoded.size()) << c.rate << " " << c.channels;
        EXPECT_EQ(std::memcmp(s->data, decoded.data(), decoded.size() * 2), 0);
        EXPECT_EQ(s->loopStart, 0);
        EXPECT_EQ(s->loopLength, s->length);
        HVSOUND_Sample_Free(s);
    }
}

TEST_F(MpegReader, StereoLoadedFor3DBecomesMono)
{
    start();
    std::vector<uint8_t> bytes = lameFile(44100, 2, "");
    HVSOUND_SAMPLE* s = HVSOUND_Sample_Load(-1, bytes.data(), HVSOUND_MODE_LOADMEMORY | HVSOUND_MODE_HW3D, 0,
                                            int(bytes.size()));
    ASSERT_NE(s, nullptr) << HVSOUND_GetError();
    EXPECT_TRUE(s->mode & HVSOUND_MODE_MONO);
    EXPECT_FALSE(s->mode & (HVSOUND_MODE_STEREO | HVSOUND_MODE_HW3D));
    HVSOUND_Sample_Free(s);
}

// Junk between frames moves the scan on byte by byte; the frame table still
// holds each frame's true offset.
TEST_F(MpegReader, FrameTableOffsetsAfterJunk)
{
    std::vector<uint8_t> mp3 = lameFile(44100, 2, "");
    std::vector<uint32_t> clean = frameOffsets(mp3);
    ASSERT_GT(clean.size(), 6u);
    std::vector<uint8_t> bytes(mp3.begin(), mp3.begin() + clean[3]);
    bytes.insert(bytes.end(), {0x12, 0x34, 0x56, 0x78, 0x9A});
    bytes.insert(bytes.end(), mp3.begin() + clean[3], mp3.end());
    std::vector<uint32_t> offsets = frameOffsets(bytes);
    ASSERT_EQ(offsets.size(), clean.size());
    for (size_t i = 0; i < clean.size(); ++i)
        EXPECT_EQ(offsets[i], clean[i] + (i >= 3 ? 5u : 0u)) << "frame " << i;
}

// Decodes `count` frames from the frame at `offset`, each frame's PCM
// apart.
std::vector<std::vector<int16_t>> decodeFrames(std::vector<uint8_t>& bytes, HVSOUND_MPEG_DECODER* decoder,
                                               uint32_t offset, int count)
{
    std::vector<std::vector<int16_t>> frames;
    HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
    HVSOUND_File_Seek(file, int(offset), SEEK_SET);
    std::vector<uint8_t> source(HVSOUND_MPEG_SOURCE_SIZE);
    HVSOUND_MPEG_ReadSource from{file, decoder, int(bytes.size())};
    for (int i = 0; i < count; ++i) {
        int16_t pcm[HVSOUND_MPEG_MAX_FRAME_PCM / 2];
        int length = sizeof(pcm);
        HVSOUND_MPEG_Read(from, source.data(), int(source.size()), pcm, &length);
        frames.emplace_back(pcm, pcm + length / 2);
    }
    HVSOUND_File_Close(file);
    return frames;
}

// A seek to frame k starts decoding at frame k - 2 after a reset: frame k
// comes out exactly as in a decode from the start whenever the reservoir
// of frame k - 1 lies within frame k - 2 (at 320 kbit/s it does from frame
// 10 on; lame's 128 kbit/s files reach further back at times).
TEST_F(MpegReader, SeekDecodesExactlyFromTwoFramesEarlier)
{
    for (const char* options : {"-b 320", "-b 128"}) {
        std::vector<uint8_t> bytes = lameFile(44100, 2, options);
        std::vector<uint32_t> offsets = frameOffsets(bytes);
        ASSERT_GT(offsets.size(), 14u);
        HVSOUND_MPEG_DECODER* d = HVSOUND_MPEG_CreateDecoder();
        std::vector<std::vector<int16_t>> straight = decodeFrames(bytes, d, offsets[0], int(offsets.size()) - 1);
        int tested = 0;
        for (size_t k = 10; k + 1 < straight.size() && tested < 3; ++k) {
            const uint8_t* before = bytes.data() + offsets[k - 1];
            int reservoir = before[4] << 1 | before[5] >> 7;
            int heldBefore = int(offsets[k - 1] - offsets[k - 2]) - 4 - 32;
            if (reservoir > heldBefore)
                continue;
            HVSOUND_MPEG_ResetDecoder(d);
            std::vector<std::vector<int16_t>> sought = decodeFrames(bytes, d, offsets[k - 2], 4);
            EXPECT_EQ(sought[2], straight[k]) << options << " frame " << k;
            EXPECT_EQ(sought[3], straight[k + 1]) << options << " frame " << k + 1;
            if (std::strcmp(options, "-b 320") == 0) {
                EXPECT_EQ(k, size_t(10 + tested));
            }
            ++tested;
        }
        EXPECT_EQ(tested, 3) << options;
        HVSOUND_MPEG_FreeDecoder(d);
    }
}

TEST_F(MpegReader, ResetThenDecodeLeaksNoHistory)
{
    std::vector<uint8_t> first = lameFile(44100, 2, "-b 192");
    std::vector<uint8_t> second = lameFile(44100, 2, "-b 128", false, 0.5);
    HVSOUND_MPEG_DECODER* fresh = HVSOUND_MPEG_CreateDecoder();
    std::vector<std::vector<int16_t>> expected = decodeFrames(second, fresh, 0, 6);
    HVSOUND_MPEG_DECODER* used = HVSOUND_MPEG_CreateDecoder();
    decodeFrames(first, used, 0, 9);
    HVSOUND_MPEG_ResetDecoder(used);
    std::vector<std::vector<int16_t>> after = decodeFrames(second, used, 0, 6);
    // The synthesis position is not reset: the history it reads is zero.
    EXPECT_EQ(after, expected);
    HVSOUND_MPEG_FreeDecoder(fresh);
    HVSOUND_MPEG_FreeDecoder(used);
}

// Main data that begins in frames the decoder never saw gives silence.
TEST_F(MpegReader, FrameWithoutItsReservoirIsSilent)
{
    std::vector<uint8_t> bytes = lameFile(44100, 1, "-m m -b 128");
    std::vector<uint32_t> offsets = frameOffsets(bytes);
    HVSOUND_MPEG_DECODER* d = HVSOUND_MPEG_CreateDecoder();
    bool found = false;
    for (size_t i = 1; i + 1 < offsets.size() && !found; ++i) {
        const uint8_t* frame = bytes.data() + offsets[i];
        int mainDataBegin = frame[4] << 1 | frame[5] >> 7;
        if (mainDataBegin == 0)
            continue;
        found = true;
        HVSOUND_MPEG_ResetDecoder(d);
        int16_t pcm[HVSOUND_MPEG_MAX_FRAME_PCM / 2];
        int bytesOut = 0;
        EXPECT_EQ(HVSOUND_MPEG_DecodeFrame(d, frame, int(offsets[i + 1] - offsets[i]), pcm, &bytesOut), 1);
        ASSERT_EQ(bytesOut, 2304);
        for (int k = 0; k < bytesOut / 2; ++k)
            ASSERT_EQ(pcm[k], 0) << "sample " << k;
    }
    EXPECT_TRUE(found) << "no frame uses the reservoir";
    HVSOUND_MPEG_FreeDecoder(d);
}

TEST_F(MpegReader, WrongCrcWordDecodesLikeTheIntactFile)
{
    std::vector<uint8_t> bytes = lameFile(44100, 2, "-p");
    std::vector<uint32_t> offsets = frameOffsets(bytes);
    ASSERT_FALSE(offsets.empty());
    ASSERT_EQ(bytes[offsets[0] + 1] & 1, 0) << "lame -p writes a CRC";
    std::vector<uint8_t> broken = bytes;
    for (uint32_t o : offsets) {
        broken[o + 4] ^= 0x5A;
        broken[o + 5] ^= 0xC3;
    }
    EXPECT_EQ(mpegtest::decodeStream(broken), mpegtest::decodeStream(bytes));
}

// A sound loaded on the window thread makes a new decoder while a stream
// decodes on its own thread: making it must leave the shared tables as the
// decoding thread reads them (the thread sanitizer build sees any write).
TEST_F(MpegReader, ANewDecoderLeavesTheTablesAnotherThreadDecodesWith)
{
    std::vector<uint8_t> bytes = lameFile(44100, 2, "");
    const std::vector<int16_t> alone = mpegtest::decodeStream(bytes);
    ASSERT_FALSE(alone.empty());
    std::vector<uint8_t> copy = bytes;
    std::vector<int16_t> beside;
    std::thread decoding([&copy, &beside] { beside = mpegtest::decodeStream(copy); });
    for (int i = 0; i < 200; ++i)
        HVSOUND_MPEG_FreeDecoder(HVSOUND_MPEG_CreateDecoder());
    decoding.join();
    EXPECT_EQ(alone, beside);
}

TEST_F(MpegReader, DamagedStreamsDecodeWhatTheyCan)
{
    std::vector<uint8_t> bytes = lameFile(44100, 2, "");
    std::vector<uint32_t> offsets = frameOffsets(bytes);
    size_t frames = offsets.size();
    ASSERT_GT(frames, 10u);
    std::vector<int> sizes;
    size_t full = mpegtest::decodeStream(bytes, &sizes).size();

    // Cut inside the last frame: every whole frame still decodes.
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + offsets[frames - 1] + 100);
    EXPECT_EQ(mpegtest::decodeStream(cut).size(), full - 2304);

    // Garbage between frames: the read slides to the next confirmed frame.
    std::vector<uint8_t> spliced(bytes.begin(), bytes.begin() + offsets[5]);
    std::mt19937 random(5);
    for (int i = 0; i < 700; ++i)
        spliced.push_back(uint8_t(random()));
    spliced.insert(spliced.end(), bytes.begin() + offsets[5], bytes.end());
    std::vector<int> splicedSizes;
    mpegtest::decodeStream(spliced, &splicedSizes);
    EXPECT_GE(splicedSizes.size(), frames);

    // A frame body overwritten with noise (its side information may be
    // refused) still leaves the rest decodable.
    std::vector<uint8_t> noisy = bytes;
    for (uint32_t i = offsets[4] + 4; i < offsets[5]; ++i)
        noisy[i] = uint8_t(random());
    std::vector<int> noisySizes;
    mpegtest::decodeStream(noisy, &noisySizes);
    EXPECT_GE(noisySizes.size(), frames - 1);

    // A refused frame (side information of all ones) whose header gives a
    // shorter length (32 kbit/s) that lands on a false header: that header
    // is not trusted, and the sound goes on as if the frame were not there.
    std::vector<uint8_t> lying = bytes;
    uint8_t* frame = lying.data() + offsets[4];
    frame[2] = uint8_t((frame[2] & 0x0F) | 0x10);
    std::fill(frame + 4, frame + 4 + 32, uint8_t(0xFF));
    size_t falseHeader = offsets[4] + 4 + 100 + (frame[2] >> 1 & 1);
    std::copy(bytes.begin() + offsets[6], bytes.begin() + offsets[6] + 4, lying.begin() + long(falseHeader));
    size_t landing = falseHeader + 4 + 413 + (lying[falseHeader + 2] >> 1 & 1);
    ASSERT_FALSE(lying[landing] == 0xFF && (lying[landing + 1] & 0xE0) == 0xE0);
    std::vector<uint8_t> without(bytes.begin(), bytes.begin() + offsets[4]);
    without.insert(without.end(), bytes.begin() + offsets[5], bytes.end());
    EXPECT_EQ(mpegtest::decodeStream(lying), mpegtest::decodeStream(without));
}

// The stream's format is the one its frames agree on: a first frame with a
// flipped mode bit does not set it, and frames of another rate or channel
// count (another file joined on) are passed over; what plays is the good
// frames, at their own rate, whole or loaded.
TEST_F(MpegReader, FramesOfAnotherFormatAreNotPlayedInTheStreamsFormat)
{
    start();
    std::vector<uint8_t> mono = lameFile(44100, 1, "-m m");
    std::vector<uint8_t> stereo = lameFile(44100, 2, "-m j");
    std::vector<uint8_t> lowRate = lameFile(22050, 1, "-m m");
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes, good;
        int rate, channels;
    };
    auto withoutFirstFrame = [](std::vector<uint8_t> bytes) {
        return std::vector<uint8_t>(bytes.begin() + frameOffsets(bytes)[1], bytes.end());
    };
    std::vector<uint8_t> joined = stereo;
    joined.insert(joined.end(), lowRate.begin(), lowRate.end());
    std::vector<uint8_t> monoJoined = stereo;
    monoJoined.insert(monoJoined.end(), mono.begin(), mono.end());
    std::vector<Case> cases = {{"mono, first frame dual channel", mono, withoutFirstFrame(mono), 44100, 1},
                               {"joint stereo, first frame mono", stereo, withoutFirstFrame(stereo), 44100, 2},
                               {"22050 Hz joined on", joined, stereo, 44100, 2},
                               {"mono at the same rate joined on", monoJoined, stereo, 44100, 2}};
    cases[0].bytes[3] ^= 0x40;
    cases[1].bytes[3] ^= 0x80;
    for (Case& c : cases) {
        Opened o = openBytes(c.bytes, HVSOUND_MODE_MPEGACCURATE);
        ASSERT_TRUE(o.ok) << c.name;
        EXPECT_EQ(o.rate, c.rate) << c.name;
        EXPECT_EQ(o.mode & HVSOUND_MODE_STEREO, c.channels == 2 ? HVSOUND_MODE_STEREO : 0u) << c.name;
        std::vector<int16_t> expected = mpegtest::decodeStream(c.good);
        EXPECT_EQ(o.pcmLength, int(expected.size() * 2)) << c.name;
        EXPECT_EQ(mpegtest::decodeStream(c.bytes), expected) << c.name;
        HVSOUND_SAMPLE* s =
            HVSOUND_Sample_Load(-1, c.bytes.data(), HVSOUND_MODE_LOADMEMORY, 0, int(c.bytes.size()));
        ASSERT_NE(s, nullptr) << c.name;
        EXPECT_EQ(s->frequency, c.rate) << c.name;
        ASSERT_EQ(size_t(s->length) * size_t(c.channels), expected.size()) << c.name;
        EXPECT_EQ(std::memcmp(s->data, expected.data(), expected.size() * 2), 0) << c.name;
        HVSOUND_Sample_Free(s);
    }
}

// A frame the decoder refuses is passed over inside the read: every read
// that says more data follows delivers a frame's sound.
TEST_F(MpegReader, ARefusedFrameIsPassedOverWithinOneRead)
{
    std::vector<uint8_t> bytes = lameFile(22050, 1, "-m m -b 48");
    std::vector<uint32_t> offsets = frameOffsets(bytes);
    ASSERT_GT(offsets.size(), 20u);
    // Bodies of all ones: side information the decoder refuses.
    for (size_t f = 8; f < 12; ++f)
        std::fill(bytes.begin() + offsets[f] + 4, bytes.begin() + offsets[f + 1], uint8_t(0xFF));
    HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
    uint32_t mode = 0;
    int rate = 0, dataLength = 0, pcmLength = 0, sourceSize = 0, dataOffset = 0, ms = 0;
    HVSOUND_MPEG_DECODER* decoder = nullptr;
    ASSERT_TRUE(HVSOUND_MPEG_Open(file, &mode, &rate, &dataLength, &pcmLength, &decoder, &sourceSize, &dataOffset,
                                  &ms, nullptr, nullptr, nullptr));
    HVSOUND_File_Seek(file, dataOffset, SEEK_SET);
    std::vector<uint8_t> source(static_cast<size_t>(sourceSize));
    int16_t pcm[HVSOUND_MPEG_MAX_FRAME_PCM / 2];
    HVSOUND_MPEG_ReadSource from{file, decoder, dataOffset + dataLength};
    size_t reads = 0, delivered = 0;
    for (bool more = true; more && reads < 2 * offsets.size(); ++reads) {
        int length = sizeof(pcm);
        more = HVSOUND_MPEG_Read(from, source.data(), sourceSize, pcm, &length);
        if (more) {
            EXPECT_EQ(length, decoder->pcmBytesPerFrame) << "read " << reads;
        }
        delivered += length > 0;
    }
    EXPECT_EQ(delivered, offsets.size() - 4) << "every frame but the four refused";
    HVSOUND_MPEG_FreeDecoder(decoder);
    HVSOUND_File_Close(file);
}

// Writes bit fields most significant bit first.
struct BitWriter {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(64, 0);
    int position = 0;
    void put(uint32_t value, int count)
    {
        for (int i = count - 1; i >= 0; --i, ++position)
            if (value >> i & 1)
                bytes[size_t(position >> 3)] |= uint8_t(0x80 >> (position & 7));
    }
};

// MPEG-1 mono side information with one granule's fields repeated.
int sideInfo(HVSOUND_MPEG_DECODER* d, int bigValues, bool windowSwitching, int blockType, int region0, int region1)
{
    BitWriter w;
    w.put(0, 9 + 5 + 4);
    for (int gr = 0; gr < 2; ++gr) {
        w.put(100, 12);
        w.put(uint32_t(bigValues), 9);
        w.put(150, 8);
        w.put(0, 4);
        w.put(windowSwitching, 1);
        if (windowSwitching) {
            w.put(uint32_t(blockType), 2);
            w.put(0, 1 + 10 + 9);
        } else {
            w.put(0, 15);
            w.put(uint32_t(region0), 4);
            w.put(uint32_t(region1), 3);
        }
        w.put(0, 3);
    }
    HVSOUND_MPEG_BitReader r;
    r.start(w.bytes.data(), 17 * 8);
    return HVSOUND_MPEG_SideInfo(d, r);
}

TEST(MpegSideInfo, RefusalsAndRegionBounds)
{
    HVSOUND_MPEG_DECODER* d = HVSOUND_MPEG_CreateDecoder();
    uint8_t header[4] = {0xFF, 0xFB, 0x90, 0xC0};
    ASSERT_EQ(HVSOUND_MPEG_ParseHeader(d, header, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(sideInfo(d, 288, false, 0, 3, 2), 1);
    EXPECT_EQ(d->side.granule[0][0].region1Start, 16);
    EXPECT_EQ(d->side.granule[0][0].region2Start, 30);
    EXPECT_EQ(sideInfo(d, 289, false, 0, 3, 2), 0);
    EXPECT_EQ(sideInfo(d, 100, true, 0, 0, 0), 0);
    // The largest region counts point past the band table: cut to 576.
    EXPECT_EQ(sideInfo(d, 288, false, 0, 15, 7), 1);
    EXPECT_EQ(d->side.granule[0][0].region1Start, 162);
    EXPECT_EQ(d->side.granule[0][0].region2Start, 576);
    // Start and short blocks: the standard's implicit region 0.
    EXPECT_EQ(sideInfo(d, 200, true, 1, 0, 0), 1);
    EXPECT_EQ(d->side.granule[0][0].region1Start, 36);
    EXPECT_EQ(sideInfo(d, 200, true, 2, 0, 0), 1);
    EXPECT_EQ(d->side.granule[0][0].region1Start, 36);
    HVSOUND_MPEG_FreeDecoder(d);
}

// MPEG-2 intensity positions reach 30 with 5-bit scale factors; the ratio
// table covers them, and the "no intensity" position leaves a band alone.
TEST(MpegIntensity, LsfPositionsUpToThirty)
{
    HVSOUND_MPEG_DECODER* d = HVSOUND_MPEG_CreateDecoder();
    uint8_t header[4] = {0xFF, 0xF3, 0x90, 0x50}; // MPEG-2 joint stereo, intensity on
    ASSERT_EQ(HVSOUND_MPEG_ParseHeader(d, header, nullptr, nullptr, nullptr), 1);
    d->side.granule[0][1] = HVSOUND_MPEG_GRANULE{};
    d->intensityScale = 1;
    d->rightEnd = 0;
    for (int sfb = 0; sfb < 22; ++sfb) {
        d->scalefacLong[1][sfb] = sfb == 3 ? 31 : 30;
        d->isIllegalLong[sfb] = 31;
    }
    for (int i = 0; i < 576; ++i) {
        d->spectrum[0][i] = 1.0f;
        d->spectrum[1][i] = 0.0f;
    }
    HVSOUND_MPEG_IntensityStereo(d, 0, false);
    const int16_t* bands = HVSOUND_MPEG_LongBands[d->frequencyIndex];
    EXPECT_FLOAT_EQ(d->spectrum[0][0], 1.0f);
    EXPECT_NEAR(d->spectrum[1][0], std::pow(2.0, -0.5 * 15), 1e-6);
    EXPECT_FLOAT_EQ(d->spectrum[0][bands[3]], 1.0f); // position 31: not intensity coded
    EXPECT_FLOAT_EQ(d->spectrum[1][bands[3]], 0.0f);
    EXPECT_NEAR(d->spectrum[1][575], std::pow(2.0, -0.5 * 15), 1e-6);
    HVSOUND_MPEG_FreeDecoder(d);
}

// A full-scale square wave decodes past full scale: the output clamps and
// never wraps around.
TEST_F(MpegReader, FullScaleClampsAndNeverWraps)
{
    if (!mpegtest::haveTool("mpg123"))
        GTEST_SKIP() << "mpg123 is needed";
    testsupport::TempDir dir;
    std::vector<int16_t> square(44100);
    for (size_t i = 0; i < square.size(); ++i)
        square[i] = (i / 50) % 2 ? 32767 : -32768;
    std::vector<uint8_t> mp3 = mpegtest::lameEncode(dir, square, 44100, 1, "-m m -b 128");
    std::vector<int16_t> reference = mpegtest::mpg123Decode(dir, mp3);
    std::vector<int16_t> ours = mpegtest::decodeStream(mp3);
    ASSERT_EQ(ours.size(), reference.size());
    int clamped = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        ASSERT_LE(std::abs(int(ours[i]) - int(reference[i])), 2) << "sample " << i;
        clamped += ours[i] == 32767 || ours[i] == -32768;
    }
    EXPECT_GT(clamped, 1000);
}

} // namespace
