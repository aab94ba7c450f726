// MpegComplianceTest.cpp: the layer III compliance streams of ISO/IEC
// 11172-4 and 13818-4 decoded through the reader and compared with their
// reference outputs. "Full accuracy" is an RMS difference below
// 2^-15 / sqrt(12) of full scale with no sample more than 1 LSB off; the
// reference is the standard's reconstruction scaled by 32768, so that is
// checked at that scale, and the engine's output (scaled by 32767, which
// alone moves a loud sample by up to one LSB) is held to 1 LSB with its RMS
// recorded.
#include "tests/sound/formats/MpegTestSupport.h"

#include "sound/core/hvsound.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

constexpr double kFullAccuracyRms = 8.8e-6;

std::string vectorDir()
{
    return std::string(HV_SOURCE_DIR) + "/../shared/mp3-vectors/";
}

bool haveVectors()
{
    struct stat st;
    return stat((vectorDir() + "README.md").c_str(), &st) == 0;
}

class MpegCompliance : public ::testing::TestWithParam<const char*> {};

TEST_P(MpegCompliance, DecodesWithFullAccuracy)
{
    if (!haveVectors())
        GTEST_SKIP() << "no compliance streams beside the repository";
    std::string base = vectorDir() + GetParam();
    std::vector<uint8_t> bits = mpegtest::readFile(base + ".bit");
    std::vector<int16_t> reference = mpegtest::asPcm(mpegtest::readFile(base + ".pcm"));
    ASSERT_FALSE(bits.empty());
    ASSERT_FALSE(reference.empty());

    // A stream plays only the frames of its first format; the decoder
    // itself follows l3-he_mode's switches between mono and stereo, which
    // its reference holds one after another.
    std::vector<int16_t> exact;
    {
        mpegtest::OutputScale scale(32768);
        exact = mpegtest::decodeStream(bits, nullptr, 0, true);
    }
    // The MPEG-1 references end one frame early; everything they hold is
    // compared.
    ASSERT_GE(exact.size(), reference.size());
    ASSERT_LE(exact.size() - reference.size(), size_t(2304));
    mpegtest::Difference d = mpegtest::compare(exact.data(), reference.data(), reference.size());
    EXPECT_LT(d.rms, kFullAccuracyRms);
    EXPECT_LE(d.maxLsb, 1);

    std::vector<int16_t> engine = mpegtest::decodeStream(bits, nullptr, 0, true);
    ASSERT_EQ(engine.size(), exact.size());
    mpegtest::Difference e = mpegtest::compare(engine.data(), reference.data(), reference.size());
    EXPECT_LE(e.maxLsb, 1);
    RecordProperty("rms_at_32768", std::to_string(d.rms));
    RecordProperty("rms_at_32767", std::to_string(e.rms));
    std::printf("%s: RMS %.3g (max %d LSB) at 32768; %.3g (max %d LSB) at 32767\n", GetParam(), d.rms, d.maxLsb,
                e.rms, e.maxLsb);
}

std::string streamName(const ::testing::TestParamInfo<const char*>& info)
{
    std::string n = info.param;
    for (char& c : n)
        if (c == '-')
            c = '_';
    return n;
}

INSTANTIATE_TEST_SUITE_P(Streams, MpegCompliance,
                         ::testing::Values("l3-compl", "l3-he_32khz", "l3-he_44khz", "l3-he_48khz", "l3-he_mode",
                                           "l3-hecommon", "l3-si", "l3-si_block", "l3-si_huff", "M2L3_bitrate_16_all",
                                           "M2L3_bitrate_22_all", "M2L3_bitrate_24_all", "M2L3_compl24",
                                           "M2L3_noise"),
                         streamName);

// Free format (bit rate index 0) is refused on purpose.
TEST(MpegComplianceRefusal, FreeFormatStreamIsRefused)
{
    if (!haveVectors())
        GTEST_SKIP() << "no compliance streams beside the repository";
    std::vector<uint8_t> bits = mpegtest::readFile(vectorDir() + "l3-he_free.bit");
    ASSERT_FALSE(bits.empty());
    EXPECT_TRUE(mpegtest::decodeStream(bits).empty());
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_FILE_FORMAT);
}

} // namespace
