// S3mLoaderTest.cpp: the S3M loader on modules built in memory: header and
// channel map, default pans, the order list and jump targets, instruments
// held to the data the file has, notes and packed patterns, damaged files.
#include "tests/sound/music/MusicTestSupport.h"

#include "sound/core/hvsound_sample.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using s3mtest::fx;
using s3mtest::Instrument;
using s3mtest::kC4;
using s3mtest::note;
using s3mtest::S3mBuilder;

class S3mLoaderTest : public musictest::MusicFixture {
protected:
    // Loads and expects a failure with `error`.
    void expectRefused(const std::vector<uint8_t>& bytes, int error, const char* what)
    {
        EXPECT_EQ(load(bytes), nullptr) << what;
        EXPECT_EQ(HVSOUND_GetError(), error) << what;
    }

    static HVMUSIC_CELL cellAt(HVMUSIC_SONG* song, int pattern, int row, int channel)
    {
        return song->patterns[pattern].cells[row * song->channelCount + channel];
    }
};

TEST_F(S3mLoaderTest, HeaderGivesSpeedTempoGlobalVolumeAndTheEnabledChannels)
{
    S3mBuilder b;
    b.speed(4).tempo(150).globalVolume(48).constantInstrument();
    b.channelSetting(0, 0).channelSetting(1, 8).channelSetting(2, 255).channelSetting(3, 20).channelSetting(4, 3);
    b.note(0, 0, 4, kC4, 1).note(0, 0, 3, kC4, 1);
    HVMUSIC_SONG* song = load(b.build());
    ASSERT_NE(song, nullptr) << HVSOUND_GetError();
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_NONE);
    EXPECT_STREQ(song->name, "Test module");
    EXPECT_EQ(song->format, HVMUSIC_FORMAT_S3M);
    EXPECT_EQ(song->defaultSpeed, 4);
    EXPECT_EQ(song->defaultTempo, 150);
    EXPECT_EQ(song->initialGlobalVolume, 48);
    EXPECT_EQ(song->masterVolume, 256);
    ASSERT_EQ(song->channelCount, 3) << "settings 255 and 20 (AdLib) are not played";
    EXPECT_EQ(song->defaultPan[0], 0);
    EXPECT_EQ(song->defaultPan[1], 255);
    EXPECT_EQ(song->defaultPan[2], 0);
    EXPECT_EQ(cellAt(song, 0, 0, 2).note, 49) << "slot 4 is the third channel played";
}

TEST_F(S3mLoaderTest, StoredPansApplyWhereTheirPanBitIsSetAndMonoCentresAll)
{
    S3mBuilder b;
    b.constantInstrument();
    // Bit 0x20 marks a stored pan; 0x13 has only 0x10 and is not one.
    b.panTable({0x2C, 0x13, 0x20, 0x27});
    HVMUSIC_SONG* song = load(b.build());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->defaultPan[0], 12 * 16);
    EXPECT_EQ(song->defaultPan[1], 255) << "no pan given: the right channel stays right";
    EXPECT_EQ(song->defaultPan[2], 0);
    EXPECT_EQ(song->defaultPan[3], 7 * 16);

    b.stereo(false);
    HVMUSIC_SONG* mono = load(b.build());
    ASSERT_NE(mono, nullptr);
    for (int i = 0; i < mono->channelCount; ++i)
        EXPECT_EQ(mono->defaultPan[i], 128) << "channel " << i;
}

TEST_F(S3mLoaderTest, TheOrderListEndsAtTheFirstEndMarkerAndDropsSkipMarkers)
{
    struct Case {
        std::vector<uint8_t> orders;
        std::vector<uint8_t> kept;
    };
    const Case cases[] = {
        {{0, 254, 1, 255, 2}, {0, 1}},
        {{3, 3, 1}, {3, 3, 1}},
        {{254, 2, 254}, {2}},
        {{0, 255, 255, 1, 255}, {0}},
    };
    for (const Case& c : cases) {
        S3mBuilder b;
        b.orders(c.orders).constantInstrument();
        HVMUSIC_SONG* song = load(b.build());
        ASSERT_NE(song, nullptr);
        EXPECT_EQ(std::vector<uint8_t>(song->orders, song->orders + song->orderCount), c.kept);
        int highest = 0;
        for (uint8_t o : c.kept)
            highest = o > highest ? o : highest;
        EXPECT_GE(song->patternCount, highest + 1) << "every order names a pattern";
    }
}

TEST_F(S3mLoaderTest, AModuleWithNothingToPlayIsRefused)
{
    for (const std::vector<uint8_t>& orders : {std::vector<uint8_t>{}, std::vector<uint8_t>{255, 0},
                                               std::vector<uint8_t>{254, 254}}) {
        S3mBuilder b;
        b.orders(orders).constantInstrument();
        expectRefused(b.build(), HVSOUND_ERR_FILE_BAD, "orders without a pattern");
    }
}

TEST_F(S3mLoaderTest, JumpTargetsNameOrdersOfTheSongList)
{
    S3mBuilder b;
    b.orders({0, 254, 1, 255, 2}).constantInstrument();
    // File order -> song order: 0 -> 0, 1 (skip) -> 1, 2 -> 1, 3 (end) and
    // beyond -> past the end.
    const int targets[] = {0, 1, 2, 3, 4, 200};
    for (int i = 0; i < 6; ++i)
        b.effect(0, i, 0, fx('B'), targets[i]);
    HVMUSIC_SONG* song = load(b.build());
    ASSERT_NE(song, nullptr);
    const int expected[] = {0, 1, 1, 255, 255, 255};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(cellAt(song, 0, i, 0).parameter, expected[i]) << "B" << targets[i];
}

TEST_F(S3mLoaderTest, InstrumentsAreHeldToTheDataTheFileHas)
{
    struct Case {
        const char* what;
        Instrument instrument;
        int length;
        uint32_t loop; // loop mode bit
        int loopStart;
        int loopLength;
    };
    auto make = [](size_t bytes, uint32_t length, uint32_t loopStart, uint32_t loopEnd, int flags, int type = 1) {
        Instrument i;
        i.data.assign(bytes, 0x90);
        i.length = length;
        i.loopStart = loopStart;
        i.loopEnd = loopEnd;
        i.flags = flags;
        i.type = type;
        return i;
    };
    const Case cases[] = {
        {"plain loop", make(500, 500, 100, 400, 1), 500, HVSOUND_MODE_LOOP_NORMAL, 100, 300},
        {"loop end past the sample", make(500, 500, 100, 9000, 1), 500, HVSOUND_MODE_LOOP_NORMAL, 100, 400},
        {"loop start past the sample", make(500, 500, 600, 700, 1), 500, HVSOUND_MODE_LOOP_OFF, 0, 500},
        {"loop of two samples", make(500, 500, 100, 102, 1), 500, HVSOUND_MODE_LOOP_OFF, 0, 500},
        {"loop flag clear", make(500, 500, 100, 400, 0), 500, HVSOUND_MODE_LOOP_OFF, 0, 500},
        {"length past the file", make(300, 0x7FFFFFF0u, 0, 0, 0), 300, HVSOUND_MODE_LOOP_OFF, 0, 300},
        {"16-bit length in samples", make(600, 300, 0, 0, 4), 300, HVSOUND_MODE_LOOP_OFF, 0, 300},
        {"not a sample instrument", make(300, 300, 0, 0, 0, 2), 0, HVSOUND_MODE_LOOP_OFF, 0, 0},
    };
    for (const Case& c : cases) {
        S3mBuilder b;
        b.instrument(c.instrument);
        HVMUSIC_SONG* song = load(b.build());
        ASSERT_NE(song, nullptr) << c.what;
        ASSERT_EQ(song->sampleCount, 1) << c.what;
        HVSOUND_SAMPLE* s = song->samples[0];
        ASSERT_NE(s, nullptr) << c.what;
        EXPECT_EQ(s->length, c.length) << c.what;
        EXPECT_EQ(s->mode & (HVSOUND_MODE_LOOP_NORMAL | HVSOUND_MODE_LOOP_OFF), c.loop) << c.what;
        EXPECT_EQ(s->loopStart, c.loopStart) << c.what;
        EXPECT_EQ(s->loopLength, c.loopLength) << c.what;
        EXPECT_EQ((s->mode & HVSOUND_MODE_16BITS) != 0, (c.instrument.flags & 4) != 0) << c.what;
        EXPECT_EQ(s->moduleSample, 1) << c.what;
    }
}

TEST_F(S3mLoaderTest, SampleDataIsStoredSignedFromUnsignedOrSignedFiles)
{
    Instrument i;
    i.data = {0x00, 0x80, 0xFF, 0x7F};
    i.c2 = 11025;
    i.volume = 40;
    i.name = "Bell";
    for (bool signedFile : {false, true}) {
        S3mBuilder b;
        b.signedSamples(signedFile).instrument(i);
        HVMUSIC_SONG* song = load(b.build());
        ASSERT_NE(song, nullptr);
        HVSOUND_SAMPLE* s = song->samples[0];
        const auto* data = reinterpret_cast<const int8_t*>(s->data);
        std::vector<int> values(data, data + 4);
        EXPECT_EQ(values, signedFile ? (std::vector<int>{0, -128, -1, 127}) : (std::vector<int>{-128, 0, 127, -1}));
        EXPECT_EQ(s->moduleRate, 11025);
        EXPECT_EQ(s->volume, 40);
        EXPECT_STREQ(s->name, "Bell");
    }
}

TEST_F(S3mLoaderTest, SampleDataBeyondOneMegabyteIsFoundThroughTheSegmentHighByte)
{
    Instrument i;
    i.data = {0x90, 0xA0, 0xB0};
    i.segmentHigh = 1;
    S3mBuilder b;
    b.instrument(i);
    HVMUSIC_SONG* song = load(b.build());
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(song->samples[0]->length, 3);
    const auto* data = reinterpret_cast<const int8_t*>(song->samples[0]->data);
    EXPECT_EQ(std::vector<int>(data, data + 3), (std::vector<int>{0x10, 0x20, 0x30}));
}

TEST_F(S3mLoaderTest, NotesOutsideThePeriodTableAreDropped)
{
    struct Case {
        int stored;
        int note;
    };
    const Case cases[] = {{kC4, 49}, {note(0, 0), 1}, {note(10, 11), 132}, {note(4, 12), 0},
                          {note(11, 0), 0},  {254, 255},  {255, 0}};
    S3mBuilder b;
    b.constantInstrument();
    for (int i = 0; i < 7; ++i)
        b.note(0, i, 0, cases[i].stored, 1);
    HVMUSIC_SONG* song = load(b.build());
    ASSERT_NE(song, nullptr);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(cellAt(song, 0, i, 0).note, cases[i].note) << "stored " << cases[i].stored;
    EXPECT_EQ(cellAt(song, 0, 0, 0).instrument, 1);
}

TEST_F(S3mLoaderTest, EffectNumbersPastZAreDropped)
{
    S3mBuilder b;
    b.constantInstrument();
    b.effect(0, 0, 0, 26, 0x11).effect(0, 1, 0, 27, 0x22).effect(0, 2, 0, 119, 0x89);
    HVMUSIC_SONG* song = load(b.build());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(cellAt(song, 0, 0, 0).effect, 26);
    EXPECT_EQ(cellAt(song, 0, 0, 0).parameter, 0x11);
    for (int row : {1, 2}) {
        EXPECT_EQ(cellAt(song, 0, row, 0).effect, 0) << "row " << row;
        EXPECT_EQ(cellAt(song, 0, row, 0).parameter, 0) << "row " << row;
    }
}

TEST_F(S3mLoaderTest, PackedPatternsEndAtTheirStoredLength)
{
    S3mBuilder b;
    b.constantInstrument();
    b.note(0, 0, 0, kC4, 1).note(0, 5, 1, kC4, 1, fx('A'), 3);
    b.note(1, 0, 0, kC4, 1);
    // Row 0's entry with its row end and the ends of rows 1..4 take 8 bytes;
    // the next 4 hold only part of row 5's 5-byte entry. The stored length
    // counts its own two bytes too.
    b.packedLength(0, 2 + 12);
    HVMUSIC_SONG* song = load(b.build());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(cellAt(song, 0, 0, 0).note, 49);
    for (int row = 1; row < 64; ++row) {
        for (int ch = 0; ch < song->channelCount; ++ch) {
            HVMUSIC_CELL c = cellAt(song, 0, row, ch);
            ASSERT_EQ(c.note | c.instrument | c.volume | c.effect, 0) << "row " << row << " channel " << ch;
        }
    }
    EXPECT_EQ(cellAt(song, 1, 0, 0).note, 49) << "the next pattern is read from its own start";
}

TEST_F(S3mLoaderTest, ARealPatternCutShortEndsItsLastRowAtItsStoredLength)
{
    // menu.s3m saves most patterns without the last row's end byte; the
    // byte pair after each (the padding up to the next pattern) is no entry.
    std::vector<uint8_t> bytes = musictest::readFile(musictest::moduleDir() / "menu.s3m");
    if (bytes.empty())
        GTEST_SKIP() << "pachi-data is not unpacked in " << musictest::moduleDir();
    HVMUSIC_SONG* song = load(bytes);
    ASSERT_NE(song, nullptr) << HVSOUND_GetError();
    ASSERT_EQ(song->channelCount, 9);
    struct Expected {
        int pattern;
        std::vector<std::pair<int, HVMUSIC_CELL>> cells; // channel, cell; every other channel is empty
    };
    // Read by hand from the file's bytes: pattern 1 ends "63 3A 01 14 27 47
    // 03 28", pattern 3 ends "... 20 40 0A" before their padding.
    const Expected expected[] = {
        {1, {{3, HVMUSIC_CELL{47, 1, 0x14 + 1, 0, 0}}, {7, HVMUSIC_CELL{56, 3, 0, 0, 0}}}},
        {3,
         {{0, HVMUSIC_CELL{0, 0, 0, uint8_t(fx('Q')), 0x03}},
          {1, HVMUSIC_CELL{0, 0, 0, uint8_t(fx('D')), 0x00}},
          {2, HVMUSIC_CELL{0, 0, 0, uint8_t(fx('D')), 0x00}},
          {4, HVMUSIC_CELL{49, 10, 0, 0, 0}}}},
    };
    for (const Expected& e : expected) {
        for (int ch = 0; ch < song->channelCount; ++ch) {
            HVMUSIC_CELL want = {};
            for (const auto& c : e.cells) {
                if (c.first == ch)
                    want = c.second;
            }
            HVMUSIC_CELL got = cellAt(song, e.pattern, 63, ch);
            EXPECT_EQ(std::vector<int>({got.note, got.instrument, got.volume, got.effect, got.parameter}),
                      std::vector<int>({want.note, want.instrument, want.volume, want.effect, want.parameter}))
                << "pattern " << e.pattern << " row 63 channel " << ch;
        }
    }
}

TEST_F(S3mLoaderTest, FastVolumeSlidesFollowTheHexDigitTrackerVersionOfRealFiles)
{
    // Real files keep the version as hex digits after the tracker's own
    // digit (0x3214 is 2.14), so version 3.00 is 0x300 in the low 12 bits.
    std::vector<uint8_t> bytes = musictest::readFile(musictest::moduleDir() / "menu.s3m");
    if (bytes.empty())
        GTEST_SKIP() << "pachi-data is not unpacked in " << musictest::moduleDir();
    const struct {
        uint16_t version;
        bool fast;
    } cases[] = {{0x3214, false}, {0x1300, true}, {0x3300, true}, {300, false}, {0x1320, false}};
    for (const auto& c : cases) {
        bytes[40] = uint8_t(c.version & 0xFF);
        bytes[41] = uint8_t(c.version >> 8);
        HVMUSIC_SONG* song = load(bytes);
        ASSERT_NE(song, nullptr);
        EXPECT_EQ(song->fastVolumeSlides, c.fast) << std::hex << "version 0x" << c.version;
    }
}

TEST_F(S3mLoaderTest, DamagedFilesAreRefusedWithTheirError)
{
    std::vector<uint8_t> good = S3mBuilder().orders({0, 1}).build();
    std::vector<uint8_t> noTag = good;
    noTag[44] = 'X';
    expectRefused(noTag, HVSOUND_ERR_FILE_FORMAT, "no SCRM");
    expectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 40), HVSOUND_ERR_FILE_FORMAT, "cut in the header");
    S3mBuilder withInstruments;
    withInstruments.constantInstrument();
    withInstruments.constantInstrument();
    std::vector<uint8_t> full = withInstruments.build();
    // Cut inside the parapointers (the order list is one byte at 96).
    expectRefused(std::vector<uint8_t>(full.begin(), full.begin() + 99), HVSOUND_ERR_FILE_BAD, "cut parapointers");
    expectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 96), HVSOUND_ERR_FILE_BAD, "cut orders");
    std::string text = "RIFF but not a module at all, and long enough to hold a header of its own.";
    expectRefused(std::vector<uint8_t>(text.begin(), text.end()), HVSOUND_ERR_FILE_FORMAT, "not S3M");
}

TEST_F(S3mLoaderTest, AWindowOfAMemoryBlockIsReadAsTheWholeModule)
{
    std::vector<uint8_t> module = S3mBuilder().speed(3).build();
    std::vector<uint8_t> block(1000, 0xEE);
    block.insert(block.end(), module.begin(), module.end());
    block.resize(block.size() + 500, 0xEE);
    m_data.push_back(std::make_unique<std::vector<uint8_t>>(block));
    const uint8_t* data = m_data.back()->data();

    HVMUSIC_SONG* song = HVMUSIC_LoadSongEx(data, 1000, int(module.size()), HVSOUND_MODE_LOADMEMORY, nullptr, 0);
    ASSERT_NE(song, nullptr) << HVSOUND_GetError();
    m_songs.push_back(song);
    EXPECT_EQ(song->defaultSpeed, 3);

    EXPECT_EQ(HVMUSIC_LoadSongEx(data, 0, int(block.size()), HVSOUND_MODE_LOADMEMORY, nullptr, 0), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT);
}

TEST_F(S3mLoaderTest, ModulesLoadFromFilesAndAMissingFileIsError9)
{
    namespace fs = std::filesystem;
    testsupport::TempDir temp;
    const fs::path& dir = temp.path();
    fs::path path = dir / "song.s3m";
    std::vector<uint8_t> module = S3mBuilder().tempo(140).build();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(module.data()), long(module.size()));

    HVMUSIC_SONG* song = HVMUSIC_LoadSong(path.string().c_str());
    ASSERT_NE(song, nullptr) << HVSOUND_GetError();
    m_songs.push_back(song);
    EXPECT_EQ(song->defaultTempo, 140);
    EXPECT_EQ(HVMUSIC_LoadSong((dir / "missing.s3m").string().c_str()), nullptr);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_NOTFOUND);
}

} // namespace
