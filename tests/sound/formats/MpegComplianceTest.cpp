// MpegComplianceTest.cpp: the layer III compliance streams of ISO/IEC
// 11172-4 and 13818-4 decoded through the reader and compared with their
// reference outputs.
#include "tests/sound/formats/MpegTestSupport.h"

#include "sound/formats/mpeg_tables.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

std::string vectorDir()
{
    return std::string(HV_SOURCE_DIR) + "/../shared/mp3-vectors/";
}

bool haveVectors()
{
    struct stat st;
    return stat((vectorDir() + "README.md").c_str(), &st) == 0;
}

struct ComplianceCase {
    const char* name;
};

class MpegCompliance : public ::testing::TestWithParam<ComplianceCase> {};

TEST_P(MpegCompliance, Probe)
{
    if (!haveVectors())
        GTEST_SKIP() << "no compliance streams beside the repository";
    std::string base = vectorDir() + GetParam().name;
    std::vector<uint8_t> bits = mpegtest::readFile(base + ".bit");
    std::vector<int16_t> reference = mpegtest::asPcm(mpegtest::readFile(base + ".pcm"));
    HVSOUND_MPEG_InitSynthTables(32768);
    std::vector<int> frames;
    std::vector<int16_t> ours = mpegtest::decodeStream(bits, &frames);
    HVSOUND_MPEG_InitSynthTables(32767);
    printf("%s: ours %zu ref %zu frames %zu\n", GetParam().name, ours.size(), reference.size(), frames.size());
    for (int skip = 0; skip <= 1 && !frames.empty(); ++skip) {
        size_t offset = skip ? size_t(frames[0]) : 0;
        if (offset > ours.size())
            continue;
        size_t n = std::min(ours.size() - offset, reference.size());
        mpegtest::Difference d = mpegtest::compare(ours.data() + offset, reference.data(), n);
        printf("  skip %d: rms %.3g max %d snr %.1f over %zu\n", skip, d.rms, d.maxLsb, d.snrDb, n);
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, MpegCompliance,
                         ::testing::Values(ComplianceCase{"l3-compl"}, ComplianceCase{"l3-he_32khz"},
                                           ComplianceCase{"l3-he_44khz"}, ComplianceCase{"l3-he_48khz"},
                                           ComplianceCase{"l3-he_mode"}, ComplianceCase{"l3-hecommon"},
                                           ComplianceCase{"l3-he_free"}, ComplianceCase{"l3-si"},
                                           ComplianceCase{"l3-si_block"}, ComplianceCase{"l3-si_huff"},
                                           ComplianceCase{"M2L3_bitrate_16_all"}, ComplianceCase{"M2L3_bitrate_22_all"},
                                           ComplianceCase{"M2L3_bitrate_24_all"}, ComplianceCase{"M2L3_compl24"},
                                           ComplianceCase{"M2L3_noise"}),
                         [](const ::testing::TestParamInfo<ComplianceCase>& info) {
                             std::string n = info.param.name;
                             for (char& c : n)
                                 if (c == '-')
                                     c = '_';
                             return n;
                         });

} // namespace
