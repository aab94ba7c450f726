// MpegLameTest.cpp: MP3 files made by lame at test time (MPEG-1, 2 and 2.5,
// mono, stereo, joint and forced mid/side stereo, CRC-protected, VBR,
// without bit reservoir, and signals with transients that force short
// blocks) decoded by the reader and by mpg123, an independent decoder; and
// the sample game's MP3 music, which lame made at build time.
#include "tests/sound/formats/MpegTestSupport.h"

#include "tools/archive/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct LameCase {
    const char* name;
    int rate;
    int channels;
    bool transients;
    const char* options;
};

class MpegLame : public ::testing::TestWithParam<LameCase> {};

TEST_P(MpegLame, MatchesTheIndependentDecoder)
{
    if (!mpegtest::haveTool("lame") || !mpegtest::haveTool("mpg123"))
        GTEST_SKIP() << "lame and mpg123 are needed";
    const LameCase& c = GetParam();
    testsupport::TempDir dir;
    std::vector<int16_t> input = mpegtest::testSignal(c.rate, c.channels, 1.5, c.transients);
    std::vector<uint8_t> mp3 = mpegtest::lameEncode(dir, input, c.rate, c.channels, c.options);
    ASSERT_FALSE(mp3.empty()) << "lame failed";
    std::vector<int16_t> reference = mpegtest::mpg123Decode(dir, mp3);
    ASSERT_FALSE(reference.empty()) << "mpg123 failed";

    // The decoder itself, at the standard's scale.
    std::vector<int16_t> exact;
    {
        mpegtest::OutputScale scale(32768);
        exact = mpegtest::decodeStream(mp3);
    }
    ASSERT_EQ(exact.size(), reference.size());
    mpegtest::Difference d = mpegtest::compare(exact.data(), reference.data(), reference.size());
    EXPECT_GE(d.snrDb, 85.0);
    EXPECT_LE(d.maxLsb, 2);

    // The engine's output, scaled by 32767: within 2 LSB; the SNR is
    // bounded near 80 dB by the scale difference alone.
    std::vector<int16_t> engine = mpegtest::decodeStream(mp3);
    ASSERT_EQ(engine.size(), reference.size());
    mpegtest::Difference e = mpegtest::compare(engine.data(), reference.data(), reference.size());
    EXPECT_LE(e.maxLsb, 2);
    RecordProperty("snr_db_at_32768", std::to_string(d.snrDb));
    RecordProperty("snr_db_at_32767", std::to_string(e.snrDb));
    std::printf("%s: SNR %.1f dB (max %d LSB) at 32768, %.1f dB (max %d LSB) at 32767\n", c.name, d.snrDb, d.maxLsb,
                e.snrDb, e.maxLsb);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MpegLame,
    ::testing::Values(LameCase{"mpeg1_joint", 44100, 2, true, "-b 128"},
                      LameCase{"mpeg1_left_right", 44100, 2, false, "-m s -b 160"},
                      LameCase{"mpeg1_forced_mid_side", 44100, 2, true, "-m f -b 128"},
                      LameCase{"mpeg1_mono", 44100, 1, true, "-m m -b 96"},
                      LameCase{"mpeg1_crc", 44100, 2, true, "-p -b 128"},
                      LameCase{"mpeg1_vbr", 44100, 2, true, "-V 2"},
                      LameCase{"mpeg1_no_reservoir", 44100, 2, true, "--nores -b 128"},
                      LameCase{"mpeg1_48k", 48000, 2, true, "-b 192"},
                      LameCase{"mpeg1_32k_mono", 32000, 1, true, "-b 64"},
                      LameCase{"mpeg2_22k_mono", 22050, 1, true, "-b 48"},
                      LameCase{"mpeg2_24k_joint", 24000, 2, true, "-b 64"},
                      LameCase{"mpeg2_16k_crc", 16000, 1, true, "-p -b 32"},
                      LameCase{"mpeg25_8k_mono", 8000, 1, true, "-b 16"},
                      LameCase{"mpeg25_11k_joint", 11025, 2, true, "-b 32"},
                      LameCase{"mpeg25_12k_vbr", 12000, 1, true, "-V 4"}),
    [](const ::testing::TestParamInfo<LameCase>& info) { return std::string(info.param.name); });

// The reader plays every frame, lame's tag frame too (a frame of silence):
// the game's looping music is made without one, so it loops without a gap.
TEST(MpegLameSample, TheSampleGamesMp3sHaveNoTagFrame)
{
#ifndef HV_SAMPLE_DIR
    GTEST_SKIP() << "this build makes no game data";
#else
    std::vector<uint8_t> data;
    std::vector<tools::ArchiveEntry> entries;
    std::string error;
    ASSERT_TRUE(tools::readArchive(std::string(HV_SAMPLE_DIR) + "/Lanternfield.bin", data, entries, error)) << error;
    int checked = 0;
    for (const tools::ArchiveEntry& entry : entries) {
        const std::string& name = entry.name;
        std::vector<uint8_t> mp3(data.begin() + entry.offset, data.begin() + entry.offset + entry.size);
        // The MP3 items: those that begin with a frame.
        if (mp3.size() < 4 || mp3[0] != 0xFF || (mp3[1] & 0xE0) != 0xE0)
            continue;
        std::vector<uint32_t> frames = mpegtest::frameOffsets(mp3);
        ASSERT_GE(frames.size(), 2u) << name;
        // lame writes its tag ("Xing" for variable rates, "Info" otherwise)
        // into the body of the first frame.
        auto first = mp3.begin() + frames[0];
        auto second = mp3.begin() + frames[1];
        for (const char* tag : {"Xing", "Info"}) {
            EXPECT_TRUE(std::search(first, second, tag, tag + 4) == second)
                << name << " starts with a " << tag << " frame";
        }
        ++checked;
    }
    EXPECT_GT(checked, 0) << "the game has MP3 music";
#endif
}

} // namespace
