// OggReaderTest.cpp: the Ogg Vorbis reader over files made by libvorbisenc:
// recognition and format bits, refusals, chained files, whole-file loads
// against libvorbisfile's own decode (a damaged file included), a setup
// header libvorbis takes but cannot decode with, and the window tables.
#include "sound/core/system_file.h"
#include "sound/formats/format_oggvorbis.h"
#include "sound/streams/hvsound_stream.h"

#include "tests/sound/core/SoundTestSupport.h"
#include "tests/sound/formats/VorbisFixtures.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace {

class SoundOggReader : public soundtest::SoundFixture {
protected:
    struct Opened {
        bool ok = false;
        uint32_t mode = 0;
        int rate = 0;
        int dataLength = 0;
        int samples = 0;
        int sourceSize = -1;
        int lengthMs = 0;
    };

    Opened open(std::vector<uint8_t>& bytes, uint32_t mode = 0)
    {
        Opened o;
        o.mode = mode;
        HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
        EXPECT_NE(file, nullptr);
        HVSOUND_VORBIS_CODEC* codec = nullptr;
        int offset = 0;
        o.ok = HVSOUND_Vorbis_Open(file, &o.mode, &o.rate, &o.dataLength, &o.samples, &codec, &o.sourceSize, &offset,
                                   &o.lengthMs);
        EXPECT_EQ(o.ok, codec != nullptr);
        if (!o.ok && bytes.size() >= 4) {
            // A refused file is left open and unchanged for the next reader.
            EXPECT_EQ(o.mode, mode);
            uint8_t first[4] = {};
            EXPECT_EQ(HVSOUND_File_Seek(file, 0, SEEK_SET), 0);
            EXPECT_EQ(HVSOUND_File_Read(first, 1, 4, file), 4);
            EXPECT_EQ(std::vector<uint8_t>(first, first + 4), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4));
        }
        HVSOUND_Vorbis_Close(codec);
        HVSOUND_File_Close(file);
        return o;
    }

    HVSOUND_SAMPLE* load(std::vector<uint8_t>& bytes, uint32_t mode = 0)
    {
        return HVSOUND_Sample_Load(-1, bytes.data(), mode | HVSOUND_MODE_LOADMEMORY, 0, int(bytes.size()));
    }

    static std::vector<int16_t> valuesOf(const HVSOUND_SAMPLE* s)
    {
        const auto* data = reinterpret_cast<const int16_t*>(s->data);
        return std::vector<int16_t>(data, data + HVSOUND_Sample_ByteLength(s) / 2);
    }
};

TEST_F(SoundOggReader, OpensMonoAndStereoWithTheirFormatAndLength)
{
    struct Case {
        int channels;
        int rate;
        uint32_t format;
    };
    const Case cases[] = {
        {1, 22050, HVSOUND_MODE_16BITS | HVSOUND_MODE_SIGNED | HVSOUND_MODE_MONO},
        {2, 22050, HVSOUND_MODE_16BITS | HVSOUND_MODE_SIGNED | HVSOUND_MODE_STEREO},
        {2, 44100, HVSOUND_MODE_16BITS | HVSOUND_MODE_SIGNED | HVSOUND_MODE_STEREO},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = vorbistest::encodeTone(c.channels, c.rate, 33075);
        // Format bits asked for are replaced; others are kept.
        Opened o = open(bytes, HVSOUND_MODE_8BITS | HVSOUND_MODE_UNSIGNED | HVSOUND_MODE_STEREO |
                                   HVSOUND_MODE_LOADMEMORY | HVSOUND_MODE_LOOP_NORMAL);
        ASSERT_TRUE(o.ok) << c.channels;
        EXPECT_EQ(o.mode, c.format | HVSOUND_MODE_LOADMEMORY | HVSOUND_MODE_LOOP_NORMAL) << c.channels;
        EXPECT_EQ(o.rate, c.rate);
        EXPECT_EQ(o.samples, 33075);
        EXPECT_EQ(o.dataLength, int(bytes.size()));
        EXPECT_EQ(o.sourceSize, 0) << "no source buffer";
        EXPECT_EQ(o.lengthMs, int(33075.0 * 1000 / c.rate));
    }
}

TEST_F(SoundOggReader, RefusesWhatItCannotPlay)
{
    std::vector<uint8_t> riff = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    std::vector<uint8_t> capture = {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<uint8_t> short3 = {'O', 'g', 'g'};
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    Case cases[] = {
        {"a RIFF file", riff},
        {"a capture pattern and nothing behind it", capture},
        {"three bytes", short3},
        {"three channels", vorbistest::encodeTone(3, 22050, 2000)},
        {"six channels", vorbistest::encodeTone(6, 22050, 2000)},
    };
    for (Case& c : cases) {
        EXPECT_FALSE(open(c.bytes).ok) << c.what;
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT) << c.what;
    }
}

TEST_F(SoundOggReader, AChainedFileReportsItsFirstLinkOnly)
{
    start();
    std::vector<uint8_t> bytes = vorbistest::encodeTone(1, 22050, 10000, 1);
    std::vector<uint8_t> second = vorbistest::encodeTone(1, 22050, 4000, 2);
    bytes.insert(bytes.end(), second.begin(), second.end());
    Opened o = open(bytes);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.samples, 10000);
    HVSOUND_SAMPLE* s = load(bytes);
    ASSERT_NE(s, nullptr) << HVSOUND_GetError();
    EXPECT_EQ(s->length, 10000);
    std::vector<int16_t> reference = vorbistest::referenceDecode(bytes);
    ASSERT_EQ(reference.size(), size_t(14000));
    reference.resize(10000);
    EXPECT_EQ(valuesOf(s), reference) << "the first link's sound";
}

TEST_F(SoundOggReader, WholeFileLoadsHoldLibvorbisfilesDecode)
{
    start();
    for (int channels : {1, 2}) {
        std::vector<uint8_t> bytes = vorbistest::encodeTone(channels, 22050, 25000);
        HVSOUND_SAMPLE* s = load(bytes, HVSOUND_MODE_LOOP_OFF);
        ASSERT_NE(s, nullptr) << HVSOUND_GetError();
        EXPECT_EQ(s->length, 25000);
        EXPECT_EQ(s->frequency, 22050);
        EXPECT_EQ(s->pan, channels == 2 ? -1 : 128);
        EXPECT_EQ(s->loopStart, 0);
        EXPECT_EQ(s->loopLength, 25000);
        EXPECT_EQ(valuesOf(s), vorbistest::referenceDecode(bytes)) << channels;
    }
    // A stereo file wanted in 3D is loaded mono, without the 3D bit.
    std::vector<uint8_t> stereo = vorbistest::encodeTone(2, 22050, 3000);
    HVSOUND_SAMPLE* s = load(stereo, HVSOUND_MODE_HW3D | HVSOUND_MODE_FORCEMONO);
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->mode & HVSOUND_MODE_MONO);
    EXPECT_FALSE(s->mode & HVSOUND_MODE_HW3D);
}

TEST_F(SoundOggReader, ADamagedPageIsSkippedAndTheSampleEndsWhereTheDecodeDid)
{
    start();
    std::vector<uint8_t> bytes = vorbistest::encodeTone(2, 22050, 300000);
    std::vector<vorbistest::Page> pages = vorbistest::pagesOf(bytes);
    ASSERT_GE(pages.size(), size_t(6));
    const vorbistest::Page& damaged = pages[pages.size() / 2];
    bytes[damaged.at + damaged.header + 10] ^= 0xFF;
    int holes = 0;
    std::vector<int16_t> reference = vorbistest::referenceDecode(bytes, &holes);
    ASSERT_GE(holes, 1) << "libvorbisfile reports the hole";
    ASSERT_LT(reference.size(), size_t(300000 * 2)) << "the file claims more than decodes";

    HVSOUND_SAMPLE* s = load(bytes);
    ASSERT_NE(s, nullptr) << HVSOUND_GetError();
    EXPECT_EQ(s->length, int(reference.size() / 2));
    EXPECT_EQ(s->loopLength, s->length);
    EXPECT_EQ(valuesOf(s), reference);
}

// The last page's granule position, rewritten and resealed, claims more
// frames than a sample can hold: 0x40000400 stereo frames are 2^32 + 4 KiB
// bytes, which a count in an int takes for 4 KiB; 0x90000000 frames are
// more than an int counts.
TEST_F(SoundOggReader, ALastGranuleBeyondWhatASampleHoldsIsRefused)
{
    start();
    // Audio pages enough that the first is not the last.
    const std::vector<uint8_t> tone = vorbistest::encodeTone(2, 22050, 100000);
    for (uint64_t granule : {uint64_t(0x60000000), uint64_t(0x40000400), uint64_t(0x90000000)}) {
        std::vector<uint8_t> bytes = tone;
        const vorbistest::Page last = vorbistest::pagesOf(bytes).back();
        for (size_t i = 0; i < 8; ++i)
            bytes[last.at + 6 + i] = uint8_t(granule >> (8 * i));
        vorbistest::resealPage(bytes, last.at, last.header + last.body);
        EXPECT_EQ(load(bytes), nullptr) << granule;
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_BAD) << granule;
        if (granule > INT_MAX)
            continue;
        ASSERT_EQ(open(bytes).samples, int(granule));
        // At 1 Hz its length in milliseconds is more than an int holds.
        const vorbistest::Page first = vorbistest::pagesOf(bytes).at(0);
        const uint8_t oneHz[4] = {1, 0, 0, 0};
        std::copy_n(oneHz, 4, bytes.begin() + long(first.at + first.header + 12));
        vorbistest::resealPage(bytes, first.at, first.header + first.body);
        EXPECT_EQ(open(bytes).lengthMs, INT_MAX) << granule;
    }
}

// As the encoder laid the file out, with noise between its first two
// pages, which the check reads on past, and behind a comment header of
// megabytes (a cover picture), which it reads through.
TEST_F(SoundOggReader, ASetupHeaderThatMakesLibvorbisDivideByZeroIsRefused)
{
    struct Case {
        std::string what;
        std::vector<uint8_t> good, damaged;
    };
    std::vector<Case> cases;
    for (int channels : {1, 2}) {
        std::vector<uint8_t> good = vorbistest::encodeTone(channels, 22050, 12000);
        std::vector<uint8_t> damaged = vorbistest::withDamagedBooks(good);
        ASSERT_FALSE(damaged.empty()) << channels;
        std::string what = std::to_string(channels) + " channel(s)";
        cases.push_back({what, good, damaged});
        cases.push_back({what + ", a gap after the first page", vorbistest::withGapAfterPage(good, 0, 45),
                         vorbistest::withGapAfterPage(damaged, 0, 45)});
        if (channels == 1)
            cases.push_back({what + ", a 5 MB comment", vorbistest::withLongComment(good, 5 << 20),
                             vorbistest::withLongComment(damaged, 5 << 20)});
    }
    // libvorbis alone takes the headers and dies decoding the audio (by the
    // signal, or through a sanitizer's report of it); checked before the
    // engine's threads start.
    for (const Case& c : cases)
        EXPECT_DEATH(vorbistest::referenceDecode(c.damaged), "") << c.what;
    start();
    for (Case& c : cases) {
        EXPECT_FALSE(open(c.damaged).ok) << c.what;
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT) << c.what;
        EXPECT_EQ(load(c.damaged), nullptr) << c.what;
        EXPECT_EQ(HVSOUND_Stream_Open(c.damaged.data(), HVSOUND_MODE_LOADMEMORY, 0, int(c.damaged.size())), nullptr)
            << c.what;

        // The file it was made from still plays.
        HVSOUND_SAMPLE* s = load(c.good);
        ASSERT_NE(s, nullptr) << c.what << ": error " << HVSOUND_GetError();
        EXPECT_EQ(s->length, 12000) << c.what;
        EXPECT_EQ(valuesOf(s), vorbistest::referenceDecode(c.good)) << c.what;
    }
}

// A link is played only when every link before it is and it has the first
// link's rate and channel count and a setup header the check takes: decoding
// ends at the first other link, as if the file ended there.
TEST_F(SoundOggReader, AChainedFilePlaysOnlyUpToTheFirstLinkItCannotPlay)
{
    start();
    std::vector<uint8_t> mono = vorbistest::encodeTone(1, 22050, 11025, 1);
    std::vector<uint8_t> mono2 = vorbistest::encodeTone(1, 22050, 6000, 2);
    std::vector<uint8_t> stereo = vorbistest::encodeTone(2, 44100, 22050, 3);
    std::vector<uint8_t> mono44 = vorbistest::encodeTone(1, 44100, 22050, 6);
    std::vector<uint8_t> damaged = vorbistest::withDamagedBooks(vorbistest::encodeTone(1, 22050, 8000, 4));
    std::vector<uint8_t> endless =
        vorbistest::withDamagedBooks(vorbistest::encodeTone(1, 22050, 8000, 5), vorbistest::BookDamage::EmptyLattices);
    ASSERT_FALSE(damaged.empty());
    ASSERT_FALSE(endless.empty());
    struct Case {
        const char* what;
        std::vector<std::vector<uint8_t>> links;
        size_t played; // links played
        int rate;
        int channels;
    };
    const Case cases[] = {
        {"a setup header libvorbis divides by zero on", {mono, damaged}, 1, 22050, 1},
        {"a setup header libvorbis never gets ready with", {mono, endless}, 1, 22050, 1},
        {"a faster stereo link", {mono, stereo}, 1, 22050, 1},
        {"a faster mono link", {mono, mono44}, 1, 22050, 1},
        {"a slower mono link", {stereo, mono}, 1, 44100, 2},
        {"two of one format, then another", {mono, mono2, stereo}, 2, 22050, 1},
        {"a damaged link after a faster one", {mono, stereo, damaged}, 1, 22050, 1},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes, expected;
        for (size_t i = 0; i < c.links.size(); ++i) {
            bytes.insert(bytes.end(), c.links[i].begin(), c.links[i].end());
            if (i < c.played)
                expected.insert(expected.end(), c.links[i].begin(), c.links[i].end());
        }
        std::vector<int16_t> reference = vorbistest::referenceDecode(expected);
        ASSERT_FALSE(reference.empty()) << c.what;

        HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
        ASSERT_NE(file, nullptr);
        uint32_t mode = 0;
        int rate = 0, dataLength = 0, samples = 0, sourceSize = 0, offset = 0, lengthMs = 0;
        HVSOUND_VORBIS_CODEC* codec = nullptr;
        ASSERT_TRUE(HVSOUND_Vorbis_Open(file, &mode, &rate, &dataLength, &samples, &codec, &sourceSize, &offset,
                                        &lengthMs))
            << c.what;
        EXPECT_EQ(rate, c.rate) << c.what;
        EXPECT_EQ(dataLength, int(expected.size())) << c.what << ": the data ends before the first link not played";
        // A stream starts from the first byte (as its prefill seeks there).
        ASSERT_TRUE(HVSOUND_Vorbis_SeekBytes(codec, 0, false));
        std::vector<int16_t> decoded;
        for (;;) {
            int16_t buffer[2048];
            int length = int(sizeof buffer);
            if (!HVSOUND_Vorbis_Decode(codec, buffer, &length) || length == 0)
                break;
            decoded.insert(decoded.end(), buffer, buffer + length / 2);
        }
        EXPECT_EQ(decoded.size(), reference.size()) << c.what;
        EXPECT_TRUE(decoded == reference) << c.what;
        int frames = int(reference.size()) / c.channels;
        EXPECT_EQ(lengthMs, int(int64_t(frames) * 1000 / c.rate)) << c.what;
        HVSOUND_Vorbis_Close(codec);
        HVSOUND_File_Close(file);
    }
}

// A seek out of the data is refused and leaves the decoder reading on where
// it was; a lapped seek in a file of 64-sample short blocks (which libvorbis
// has no lapping window for) lands on its sample as a plain seek does.
TEST_F(SoundOggReader, ASeekLandsOnItsSampleOrIsRefusedAndTheDecoderReadsOn)
{
    start();
    std::vector<uint8_t> tone = vorbistest::encodeTone(1, 22050, 20000);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int64_t target;
        bool lap;
        bool lands;
    };
    const Case cases[] = {
        {"a lapped seek, short blocks of 64 samples", vorbistest::withBlockSizes(tone, 6, 6), 700, true, true},
        {"a seek past the end", tone, 25000, false, false},
    };
    constexpr size_t kRead = 256;
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = c.bytes;
        std::vector<int16_t> reference = vorbistest::referenceDecode(bytes);
        const long from = c.lands ? long(c.target) : long(kRead);
        ASSERT_GE(reference.size(), size_t(from) + kRead) << c.what;
        HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
        uint32_t mode = 0;
        HVSOUND_VORBIS_CODEC* codec = nullptr;
        ASSERT_TRUE(HVSOUND_Vorbis_Open(file, &mode, nullptr, nullptr, nullptr, &codec, nullptr, nullptr, nullptr))
            << c.what;
        ASSERT_TRUE(HVSOUND_Vorbis_SeekBytes(codec, 0, false));
        // The next `kRead` values the decoder gives.
        auto read = [&] {
            std::vector<int16_t> values(kRead);
            for (size_t got = 0; got < kRead;) {
                int length = int((kRead - got) * 2);
                if (!HVSOUND_Vorbis_Decode(codec, values.data() + got, &length) || length == 0)
                    return std::vector<int16_t>(values.begin(), values.begin() + long(got));
                got += size_t(length) / 2;
            }
            return values;
        };
        EXPECT_EQ(read(), std::vector<int16_t>(reference.begin(), reference.begin() + kRead)) << c.what;
        EXPECT_EQ(HVSOUND_Vorbis_SeekSamples(codec, c.target, c.lap), c.lands) << c.what;
        EXPECT_FALSE(HVSOUND_Vorbis_Failed(codec)) << c.what;
        EXPECT_EQ(read(), std::vector<int16_t>(reference.begin() + from, reference.begin() + from + long(kRead)))
            << c.what;
        HVSOUND_Vorbis_Close(codec);
        HVSOUND_File_Close(file);
    }
}

// After libvorbis has reported a fault the decoder is never handed to it
// again: a second decode answers nothing and reads no more of the file.
TEST_F(SoundOggReader, AFailedDecoderAnswersNothingAgainWithoutReading)
{
    start();
    std::vector<uint8_t> bytes =
        vorbistest::withDamagedBooks(vorbistest::encodeTone(1, 22050, 20000), vorbistest::BookDamage::WrongLength);
    ASSERT_FALSE(bytes.empty());
    HVSOUND_FILE* file = HVSOUND_File_Open(bytes.data(), HVSOUND_FILE_KIND_MEMORY, int(bytes.size()));
    uint32_t mode = 0;
    HVSOUND_VORBIS_CODEC* codec = nullptr;
    ASSERT_TRUE(HVSOUND_Vorbis_Open(file, &mode, nullptr, nullptr, nullptr, &codec, nullptr, nullptr, nullptr));
    ASSERT_TRUE(HVSOUND_Vorbis_SeekBytes(codec, 0, false));
    int16_t buffer[2048];
    for (int decode = 1; decode <= 2; ++decode) {
        const int at = HVSOUND_File_Tell(file);
        int length = int(sizeof buffer);
        EXPECT_FALSE(HVSOUND_Vorbis_Decode(codec, buffer, &length)) << "decode " << decode;
        EXPECT_EQ(length, 0) << "decode " << decode;
        ASSERT_TRUE(HVSOUND_Vorbis_Failed(codec)) << "decode " << decode;
        if (decode == 2) {
            EXPECT_EQ(HVSOUND_File_Tell(file), at) << "the file is left where the fault left it";
        }
    }
    HVSOUND_Vorbis_Close(codec);
    HVSOUND_File_Close(file);
}

TEST_F(SoundOggReader, WindowTablesArePowerComplementaryVorbisWindows)
{
    HVSOUND_Vorbis_InitWindows();
    const float* w256 = HVSOUND_Vorbis_GetWindow(0, 256);
    ASSERT_NE(w256, nullptr);
    double s = std::sin(M_PI / 1024.0);
    EXPECT_NEAR(w256[0], std::sin(M_PI / 2.0 * s * s), 1e-7);
    EXPECT_EQ(HVSOUND_Vorbis_GetWindow(1, 256), nullptr);
    EXPECT_EQ(HVSOUND_Vorbis_GetWindow(0, 8192), nullptr);
    EXPECT_EQ(HVSOUND_Vorbis_GetWindow(0, 48), nullptr);
    for (int n = 32; n <= 4096; n *= 2) {
        const float* w = HVSOUND_Vorbis_GetWindow(0, n);
        ASSERT_NE(w, nullptr) << n;
        for (int i = 0; i < n; ++i) {
            // The window rises, and with its mirror image keeps the power.
            if (i > 0) {
                ASSERT_GE(w[i], w[i - 1]) << n << " " << i;
            }
            ASSERT_NEAR(double(w[i]) * w[i] + double(w[n - 1 - i]) * w[n - 1 - i], 1.0, 1e-6) << n << " " << i;
        }
    }
}

} // namespace
