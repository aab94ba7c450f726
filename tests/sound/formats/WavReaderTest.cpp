// WavReaderTest.cpp: the WAV reader over fixtures built at test time: PCM
// widths and layouts, extensible headers, odd chunks, cue labels, sampler
// loops, and truncated or malformed files.
#include "sound/formats/format_wav.h"
#include "sound/core/system_file.h"

#include "tests/sound/core/SoundTestSupport.h"
#include "tests/sound/formats/WavBuilder.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>

using wavtest::put16;
using wavtest::put32;
using wavtest::WavBuilder;

namespace {

class SoundWavReader : public soundtest::SoundFixture {
protected:
    // Walks the chunks of `bytes` from a memory file.
    bool parse(std::vector<uint8_t>& bytes, int* dataOffset, int* dataLength, HVSOUND_WAV_CueList* cues = nullptr,
               int* loop = nullptr)
    {
        HVSOUND_FILE* f = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
        EXPECT_NE(f, nullptr);
        if (!f)
            return false;
        WAVEFORMATEX* format = nullptr;
        *dataOffset = -1;
        bool ok = HVSOUND_WAV_ParseChunks(f, &format, dataOffset, dataLength, nullptr, cues, loop);
        HVSOUND_FREE(format);
        HVSOUND_File_Close(f);
        return ok;
    }

    bool open(std::vector<uint8_t>& bytes, uint32_t* mode, int* pcmLength = nullptr, int* loop = nullptr)
    {
        HVSOUND_FILE* f = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
        EXPECT_NE(f, nullptr);
        if (!f)
            return false;
        int rate = 0, dataLength = 0, pcm = 0, align = 0, offset = -1;
        int loopPoints[2] = {-7, -7};
        HVSOUND_WAV_CODEC* codec = nullptr;
        bool ok = HVSOUND_WAV_Open(f, mode, &rate, &dataLength, &pcm, &codec, &align, &offset, loopPoints, nullptr);
        HVSOUND_WAV_Close(codec);
        HVSOUND_File_Close(f);
        if (pcmLength)
            *pcmLength = pcm;
        if (loop) {
            loop[0] = loopPoints[0];
            loop[1] = loopPoints[1];
        }
        return ok;
    }

    HVSOUND_SAMPLE* load(std::vector<uint8_t>& bytes, uint32_t mode = 0)
    {
        return HVSOUND_Sample_Load(-1, bytes.data(), mode | HVSOUND_MODE_LOADMEMORY, 0, int(bytes.size()));
    }
};

std::vector<uint8_t> pcm16(const std::vector<int16_t>& values)
{
    std::vector<uint8_t> out;
    for (int16_t v : values)
        put16(out, uint16_t(v));
    return out;
}

TEST_F(SoundWavReader, OddChunksArePaddedAndTheFirstDataChunkWins)
{
    std::vector<uint8_t> bytes =
        WavBuilder().pcm(1, 22050, 8).chunk("LIST", {'a', 'b', 'c'}).data({1, 2, 3, 4}).data({9, 9}).build();
    int offset = -1, length = 0;
    ASSERT_TRUE(parse(bytes, &offset, &length));
    EXPECT_EQ(length, 4);
    // 12 header + fmt (8 + 18) + LIST (8 + 3 + pad) + data header 8.
    EXPECT_EQ(offset, 12 + 26 + 12 + 8);
    EXPECT_EQ(bytes[size_t(offset)], 1);
}

TEST_F(SoundWavReader, CuePointsAreSortedAndLabelledById)
{
    std::vector<uint8_t> bytes = WavBuilder()
                                     .pcm(1, 22050, 16)
                                     .cue({{1, 300}, {2, 100}, {3, 200}})
                                     .labels({{3, "third"}, {1, "first!"}, {9, "nobody"}})
                                     .data(pcm16(std::vector<int16_t>(400, 0)))
                                     .build();
    int offset = -1, length = 0;
    HVSOUND_WAV_CueList cues;
    ASSERT_TRUE(parse(bytes, &offset, &length, &cues));
    ASSERT_EQ(cues.size(), 3u);
    EXPECT_EQ(cues[0].offset, 100u);
    EXPECT_STREQ(cues[0].name, "");
    EXPECT_EQ(cues[1].offset, 200u);
    EXPECT_STREQ(cues[1].name, "third");
    EXPECT_EQ(cues[2].offset, 300u);
    EXPECT_STREQ(cues[2].name, "first!");
}

TEST_F(SoundWavReader, OpenSetsFormatBitsFromTheData)
{
    std::vector<uint8_t> stereo16 = WavBuilder().pcm(2, 44100, 16).data(pcm16({1, 2, 3, 4})).build();
    uint32_t mode = HVSOUND_MODE_8BITS | HVSOUND_MODE_MONO | HVSOUND_MODE_UNSIGNED | HVSOUND_MODE_LOOP_NORMAL;
    int pcm = 0;
    ASSERT_TRUE(open(stereo16, &mode, &pcm));
    EXPECT_EQ(mode, uint32_t(0x110 | 0x40 | HVSOUND_MODE_LOOP_NORMAL));
    EXPECT_EQ(pcm, 8);

    std::vector<uint8_t> mono8 = WavBuilder().pcm(1, 8000, 8).data({0x80}).build();
    mode = 0;
    ASSERT_TRUE(open(mono8, &mode));
    EXPECT_EQ(mode, 0x88u | 0x20u);

    // An extensible header carries the real tag in its sub-format.
    std::vector<uint8_t> extra;
    put16(extra, 16); // valid bits
    put32(extra, 3);  // channel mask
    put16(extra, 1);  // sub-format: PCM
    for (int i = 0; i < 14; ++i)
        extra.push_back(uint8_t(i));
    std::vector<uint8_t> extensible = WavBuilder().format(0xFFFE, 2, 22050, 16, 4, extra).data(pcm16({5, 6})).build();
    mode = 0;
    ASSERT_TRUE(open(extensible, &mode, &pcm));
    EXPECT_EQ(mode, 0x110u | 0x40u);
    EXPECT_EQ(pcm, 4);
}

// The usual PCM format chunk is 16 bytes, without the extension size: it
// loads like the 18-byte one, in every width and layout, also from inside a
// larger memory block.
TEST_F(SoundWavReader, SixteenByteFormatChunksLoad)
{
    start();
    struct Case {
        uint16_t channels;
        uint16_t bits;
        uint32_t rate;
        std::vector<uint8_t> data;
        std::vector<int> expected; // as the sample holds them (8-bit signed)
    };
    const Case cases[] = {
        {1, 8, 8000, {0x80, 0x00, 0xFF, 0x7F}, {0, -128, 127, -1}},
        {2, 8, 11025, {0x81, 0x7F, 0x40, 0xC0}, {1, -1, -64, 64}},
        {1, 16, 22050, pcm16({-32768, 32767, 5}), {-32768, 32767, 5}},
        {2, 16, 44100, pcm16({1, -2, 300, -400}), {1, -2, 300, -400}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.channels << " channels, " << k.bits << " bits");
        uint16_t align = uint16_t(k.channels * k.bits / 8);
        std::vector<uint8_t> bytes = WavBuilder().format(1, k.channels, k.rate, k.bits, align, {}, false).data(k.data).build();
        ASSERT_EQ(bytes[16], 16) << "the format chunk is 16 bytes long";
        uint32_t mode = 0;
        int pcm = 0;
        ASSERT_TRUE(open(bytes, &mode, &pcm)) << "error " << HVSOUND_GetError();
        EXPECT_EQ(mode, (k.bits == 8 ? 0x88u : 0x110u) | (k.channels == 1 ? 0x20u : 0x40u));
        EXPECT_EQ(pcm, int(k.data.size()));

        // Loaded whole, from the block alone and from 5 bytes into a larger one.
        std::vector<uint8_t> embedded = {1, 2, 3, 4, 5};
        embedded.insert(embedded.end(), bytes.begin(), bytes.end());
        embedded.insert(embedded.end(), {9, 9, 9});
        for (int offset : {0, 5}) {
            std::vector<uint8_t>& block = offset ? embedded : bytes;
            HVSOUND_SAMPLE* s = HVSOUND_Sample_Load(-1, block.data(), HVSOUND_MODE_LOADMEMORY, offset, int(bytes.size()));
            ASSERT_NE(s, nullptr) << "offset " << offset << ", error " << HVSOUND_GetError();
            EXPECT_EQ(s->frequency, int(k.rate));
            EXPECT_EQ(s->length, int(k.expected.size()) / k.channels);
            std::vector<int> got;
            for (size_t i = 0; i < k.expected.size(); ++i)
                got.push_back(k.bits == 8 ? int(reinterpret_cast<int8_t*>(s->data)[i])
                                          : int(reinterpret_cast<int16_t*>(s->data)[i]));
            EXPECT_EQ(got, k.expected) << "offset " << offset;
            HVSOUND_Sample_Free(s);
        }
    }
}

TEST_F(SoundWavReader, RefusedFormatsSetTheFormatError)
{
    uint32_t mode = 0;
    std::vector<uint8_t> mpeg = WavBuilder().format(85, 2, 44100, 0, 1).data({0xFF, 0xFB}).build();
    EXPECT_FALSE(open(mpeg, &mode));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT);

    HVSOUND_SetError(0);
    std::vector<uint8_t> unknown = WavBuilder().format(0x1234, 1, 8000, 8, 1).data({1}).build();
    EXPECT_FALSE(open(unknown, &mode));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT);

    HVSOUND_SetError(0);
    std::vector<uint8_t> pcm24 = WavBuilder().pcm(1, 8000, 24).data({1, 2, 3}).build();
    EXPECT_FALSE(open(pcm24, &mode));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT);

    HVSOUND_SetError(0);
    std::vector<uint8_t> notRiff = {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_FALSE(open(notRiff, &mode));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT);

    // Compressed data needs a block size; without one it is refused.
    HVSOUND_SetError(0);
    std::vector<uint8_t> imaNoAlign = WavBuilder().format(0x11, 1, 8000, 4, 0, {0xF9, 0x01}).data({1, 2}).build();
    EXPECT_FALSE(open(imaNoAlign, &mode));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT);
}

TEST_F(SoundWavReader, SamplerLoopsAreUsedOnlyWhenInsideTheData)
{
    std::vector<int16_t> values(100, 0);
    uint32_t mode = 0;
    int loop[2];
    std::vector<uint8_t> good = WavBuilder().pcm(1, 22050, 16).sampler(10, 50).data(pcm16(values)).build();
    ASSERT_TRUE(open(good, &mode, nullptr, loop));
    EXPECT_EQ(loop[0], 10);
    EXPECT_EQ(loop[1], 50);

    std::vector<uint8_t> pastEnd = WavBuilder().pcm(1, 22050, 16).sampler(10, 5000).data(pcm16(values)).build();
    ASSERT_TRUE(open(pastEnd, &mode, nullptr, loop));
    EXPECT_EQ(loop[1], 99) << "clamped to the last sample";

    for (auto bad : {std::pair<uint32_t, uint32_t>{50, 50}, {60, 20}, {200, 300}}) {
        std::vector<uint8_t> bytes =
            WavBuilder().pcm(1, 22050, 16).sampler(bad.first, bad.second).data(pcm16(values)).build();
        ASSERT_TRUE(open(bytes, &mode, nullptr, loop));
        EXPECT_EQ(loop[0], 0);
        EXPECT_EQ(loop[1], 0);
    }

    start();
    HVSOUND_SAMPLE* s = load(good);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->loopStart, 10);
    EXPECT_EQ(s->loopLength, 41);
    EXPECT_TRUE(s->mode & HVSOUND_MODE_LOOP_NORMAL);
    HVSOUND_Sample_Free(s);
}

TEST_F(SoundWavReader, EightBitMonoLoadsSigned)
{
    start();
    std::vector<uint8_t> bytes = WavBuilder().pcm(1, 11025, 8).data({0x80, 0x00, 0xFF, 0x81, 0x7F}).build();
    HVSOUND_SAMPLE* s = load(bytes);
    ASSERT_NE(s, nullptr) << "error " << HVSOUND_GetError();
    EXPECT_EQ(s->length, 5);
    EXPECT_EQ(s->frequency, 11025);
    EXPECT_EQ(s->pan, 128);
    EXPECT_TRUE(s->mode & HVSOUND_MODE_SIGNED);
    EXPECT_FALSE(s->mode & HVSOUND_MODE_UNSIGNED);
    auto* d = reinterpret_cast<int8_t*>(s->data);
    EXPECT_EQ(std::vector<int>(d, d + 5), (std::vector<int>{0, -128, 127, 1, -1}));
    HVSOUND_Sample_Free(s);
}

TEST_F(SoundWavReader, SixteenBitStereoLoadsFromMemoryAndFromDisk)
{
    start();
    std::vector<int16_t> values = {100, -100, 32767, -32768, 0, 7};
    std::vector<uint8_t> bytes = WavBuilder().pcm(2, 22050, 16).data(pcm16(values)).build();
    HVSOUND_SAMPLE* s = load(bytes);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->length, 3);
    EXPECT_EQ(s->pan, -1);
    EXPECT_TRUE(s->mode & HVSOUND_MODE_STEREO);
    auto* d = reinterpret_cast<int16_t*>(s->data);
    EXPECT_EQ(std::vector<int16_t>(d, d + 6), values);
    HVSOUND_Sample_Free(s);

    testsupport::TempDir dir;
    std::string path = dir.file("sound.wav");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    s = HVSOUND_Sample_Load(-1, path.c_str(), 0, 0, 0);
    ASSERT_NE(s, nullptr) << "error " << HVSOUND_GetError();
    d = reinterpret_cast<int16_t*>(s->data);
    EXPECT_EQ(std::vector<int16_t>(d, d + 6), values);
    HVSOUND_Sample_Free(s);
}

TEST_F(SoundWavReader, DamagedHeadersStillLoadWhatIsThere)
{
    start();
    std::vector<int16_t> values = {1, 2, 3, 4, 5, 6, 7, 8};
    // A streaming writer's unknown RIFF size, and a PCM block align of 0.
    std::vector<uint8_t> bytes = WavBuilder().format(1, 1, 8000, 16, 0).data(pcm16(values)).build(0xFFFFFFFF);
    HVSOUND_SAMPLE* s = load(bytes);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->length, 8);
    HVSOUND_Sample_Free(s);

    // A data chunk that claims more than the file holds: the sample ends
    // with the file.
    bytes = WavBuilder().pcm(1, 8000, 16).data(pcm16(values), 100000).build();
    s = load(bytes);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->length, 8);
    EXPECT_EQ(reinterpret_cast<int16_t*>(s->data)[7], 8);
    HVSOUND_Sample_Free(s);

    // A cue count far beyond its chunk is bounded by the chunk.
    bytes = WavBuilder().pcm(1, 8000, 16).cue({{1, 2}}, 0xFFFFFFFF).data(pcm16(values)).build();
    int offset = -1, length = 0;
    HVSOUND_WAV_CueList cues;
    ASSERT_TRUE(parse(bytes, &offset, &length, &cues));
    EXPECT_EQ(cues.size(), 1u);
}

TEST_F(SoundWavReader, BrokenFilesFailCleanly)
{
    start();
    std::vector<int16_t> values(64, 3);
    // No data chunk.
    std::vector<uint8_t> noData = WavBuilder().pcm(1, 8000, 16).build();
    EXPECT_EQ(load(noData), nullptr);
    // A format chunk too short to describe anything.
    std::vector<uint8_t> shortFmt = WavBuilder().chunk("fmt ", {1, 0}).data(pcm16(values)).build();
    EXPECT_EQ(load(shortFmt), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT);
    // Many empty chunks behind a huge RIFF size: the walk ends with the file.
    WavBuilder empties;
    empties.pcm(1, 8000, 16);
    for (int i = 0; i < 1000; ++i)
        empties.chunk("junk", {});
    std::vector<uint8_t> bytes = empties.build(0x7FFFFFF0);
    EXPECT_EQ(load(bytes), nullptr);
    // A chunk size that wraps the walk's position.
    std::vector<uint8_t> wrap =
        WavBuilder().pcm(1, 8000, 16).chunk("junk", {1, 2}, 0xFFFFFFF0).data(pcm16(values)).build();
    EXPECT_EQ(load(wrap), nullptr);
}

// Every prefix of a full-featured file, and files with random bytes
// changed, either load or fail; none may read out of bounds (run under the
// sanitizers) or hang.
TEST_F(SoundWavReader, TruncatedAndCorruptedFilesNeverCrash)
{
    start();
    std::vector<uint8_t> adpcmExtra = {0xF9, 0x01};
    std::vector<uint8_t> block(256, 0x37);
    // Samples per block, then seven coefficient pairs.
    std::vector<uint8_t> msExtra = {0xF4, 0x01, 7, 0};
    for (int v : {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232})
        put16(msExtra, uint16_t(int16_t(v)));
    const std::vector<std::vector<uint8_t>> fixtures = {
        WavBuilder()
            .pcm(2, 22050, 16)
            .cue({{1, 5}, {2, 9}})
            .labels({{2, "two"}})
            .chunk("LIST", {'x'})
            .sampler(1, 20)
            .chunk("fact", {40, 0, 0, 0})
            .data(pcm16(std::vector<int16_t>(80, -5)))
            .build(),
        WavBuilder().format(0x11, 1, 8000, 4, 256, adpcmExtra).data(block).build(),
        WavBuilder().format(0x02, 1, 8000, 4, 256, msExtra).data(block).chunk("fact", {1, 2, 3, 4}).build(),
        WavBuilder().format(0x06, 2, 8000, 8, 2).data({1, 2, 3, 4, 5}).build(),
    };
    std::mt19937 rng(4242);
    for (const auto& fixture : fixtures) {
        for (size_t cut = 0; cut <= fixture.size(); ++cut) {
            std::vector<uint8_t> bytes(fixture.begin(), fixture.begin() + long(cut));
            if (bytes.empty())
                continue;
            HVSOUND_SAMPLE* s = load(bytes);
            if (s)
                HVSOUND_Sample_Free(s);
        }
        for (int round = 0; round < 1500; ++round) {
            std::vector<uint8_t> bytes = fixture;
            int flips = 1 + int(rng() % 4);
            for (int i = 0; i < flips; ++i)
                bytes[rng() % bytes.size()] = uint8_t(rng());
            HVSOUND_SAMPLE* s = load(bytes);
            if (s)
                HVSOUND_Sample_Free(s);
        }
    }
}

} // namespace

namespace {

// The stream read callback's contract: PCM delivered up to the data's end,
// false on the last block; compressed data converted piece by piece.
TEST(SoundWavRead, PcmReadStopsAtTheDataEndAndConvertsCompressedData)
{
    std::vector<uint8_t> bytes =
        WavBuilder().pcm(1, 8000, 16).data(pcm16({1, 2, 3, 4, 5})).chunk("junk", {9, 9}).build();
    HVSOUND_FILE* f = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
    ASSERT_NE(f, nullptr);
    uint32_t mode = 0;
    int rate, dataLength, pcm, align, offset = -1, loop[2];
    HVSOUND_WAV_CODEC* codec = nullptr;
    ASSERT_TRUE(HVSOUND_WAV_Open(f, &mode, &rate, &dataLength, &pcm, &codec, &align, &offset, loop, nullptr));
    HVSOUND_WAV_ReadSource source{f, codec, offset, dataLength, true};
    HVSOUND_File_Seek(f, offset, SEEK_SET);
    int16_t out[8] = {};
    int length = 6;
    EXPECT_TRUE(HVSOUND_PCM_Read(source, nullptr, 0, out, &length));
    EXPECT_EQ(length, 6);
    length = 16;
    EXPECT_FALSE(HVSOUND_PCM_Read(source, nullptr, 0, out, &length)) << "the last block";
    EXPECT_EQ(length, 4);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 5);
    length = 4;
    EXPECT_FALSE(HVSOUND_PCM_Read(source, nullptr, 0, nullptr, &length));
    EXPECT_EQ(length, 0);
    HVSOUND_WAV_Close(codec);
    HVSOUND_File_Close(f);

    bytes = WavBuilder().format(7, 1, 8000, 8, 1).data({0xFF, 0x80, 0x00}).build();
    f = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
    ASSERT_NE(f, nullptr);
    mode = 0;
    ASSERT_TRUE(HVSOUND_WAV_Open(f, &mode, &rate, &dataLength, &pcm, &codec, &align, &offset, loop, nullptr));
    EXPECT_EQ(pcm, 6);
    EXPECT_EQ(mode & 0x1F8u, 0x110u | 0x20u);
    source = HVSOUND_WAV_ReadSource{f, codec, offset, dataLength, true};
    HVSOUND_File_Seek(f, offset, SEEK_SET);
    uint8_t staging[16];
    length = 16;
    EXPECT_TRUE(HVSOUND_PCM_Read(source, staging, 16, out, &length));
    EXPECT_EQ(length, 6);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 32124);
    EXPECT_EQ(out[2], -32124);
    length = 16;
    EXPECT_FALSE(HVSOUND_PCM_Read(source, staging, 16, out, &length)) << "nothing left";
    EXPECT_EQ(length, 0);
    HVSOUND_WAV_Close(codec);
    HVSOUND_File_Close(f);
}

} // namespace
