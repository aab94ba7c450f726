// MpegStagesTest.cpp: the layer III decoder's stages against the standard's
// definitions computed directly in double precision: the synthesis
// filterbank (matrixing, the 1024-value FIFO and the window), the 36- and
// 12-point IMDCTs, and the Huffman tables as prefix codes.
#include "sound/formats/mpeg_huffman.h"
#include "sound/formats/mpeg_layer3.h"
#include "sound/formats/mpeg_synth.h"
#include "sound/formats/mpeg_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr double kPi = 3.14159265358979323846;

// The standard's synthesis, one time slot: returns 32 samples in units of
// full scale.
struct ReferenceSynth {
    double v[1024] = {};

    void run(const float* s, double* out)
    {
        for (int i = 1023; i >= 64; --i)
            v[i] = v[i - 64];
        for (int i = 0; i < 64; ++i) {
            double sum = 0;
            for (int k = 0; k < 32; ++k)
                sum += std::cos((16 + i) * (2 * k + 1) * kPi / 64.0) * s[k];
            v[i] = sum;
        }
        double u[512];
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 32; ++j) {
                u[i * 64 + j] = v[i * 128 + j];
                u[i * 64 + 32 + j] = v[i * 128 + 96 + j];
            }
        const HVSOUND_MPEG_TABLES& t = HVSOUND_MPEG_Tab;
        for (int j = 0; j < 32; ++j) {
            double sum = 0;
            for (int i = 0; i < 16; ++i) {
                int n = j + 32 * i;
                sum += u[n] * double(t.window[n / 32][n % 32]) / double(t.outputScale);
            }
            out[j] = sum;
        }
    }
};

class MpegStages : public ::testing::Test {
protected:
    void SetUp() override { HVSOUND_MPEG_InitTables(); }
};

TEST_F(MpegStages, DctMatchesItsDefinition)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    float in[32], out[32];
    for (float& x : in)
        x = value(rng);
    HVSOUND_MPEG_Dct64(in, out);
    for (int i = 0; i < 32; ++i) {
        double expected = 0;
        for (int k = 0; k < 32; ++k)
            expected += in[k] * std::cos((2 * k + 1) * i * kPi / 64.0);
        EXPECT_NEAR(out[i], expected, 1e-4) << "output " << i;
    }
}

TEST_F(MpegStages, SynthesisMatchesTheStandardsFilterbank)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> value(-0.05f, 0.05f);
    ReferenceSynth reference;
    HVSOUND_MPEG_SYNTH synth[2] = {};
    int position = 1;
    for (int slot = 0; slot < 40; ++slot) {
        float s[32];
        for (float& x : s)
            x = value(rng);
        const float* channels[1] = {s};
        int16_t out[32];
        HVSOUND_MPEG_Synth(synth, &position, channels, 1, out);
        double expected[32];
        reference.run(s, expected);
        for (int j = 0; j < 32; ++j)
            ASSERT_NEAR(out[j], expected[j] * 32767.0, 0.51) << "slot " << slot << " sample " << j;
    }
}

// Every code table is a complete prefix code: the lengths fill the code
// space exactly (Kraft sum 1) and the lookups built from them found no
// code that is a prefix of another.
TEST_F(MpegStages, HuffmanTablesAreCompletePrefixCodes)
{
    ASSERT_TRUE(HVSOUND_MPEG_BuildHuffmanLookups());
    auto check = [](const HVSOUND_MPEG_HuffmanCodes& codes, const char* kind, int index) {
        if (!codes.codes)
            return;
        double kraft = 0;
        for (int i = 0; i < codes.size * codes.size; ++i) {
            kraft += std::ldexp(1.0, -codes.lengths[i]);
            EXPECT_LT(codes.codes[i], 1u << codes.lengths[i]) << kind << " " << index << " entry " << i;
        }
        EXPECT_DOUBLE_EQ(kraft, 1.0) << kind << " table " << index;
    };
    for (int t = 0; t < 32; ++t)
        check(HVSOUND_MPEG_BigValueCodes[t], "big-value", t);
    for (int t = 0; t < 2; ++t)
        check(HVSOUND_MPEG_Count1Codes[t], "count1", t);
}

// Two granules through the transform of one block type must equal the
// standard's IMDCT, windowed, overlapped with the granule before.
TEST_F(MpegStages, ImdctMatchesItsDefinition)
{
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (int type : {0, 1, 2, 3}) {
        float overlap[18] = {};
        double previousTail[18] = {};
        for (int granule = 0; granule < 2; ++granule) {
            float in[18];
            for (float& x : in)
                x = value(rng);
            double x[36] = {};
            if (type == 2) {
                for (int w = 0; w < 3; ++w)
                    for (int i = 0; i < 12; ++i) {
                        double sum = 0;
                        for (int k = 0; k < 6; ++k)
                            sum += in[w * 6 + k] * std::cos(kPi / 24.0 * (2 * i + 1 + 6) * (2 * k + 1));
                        x[6 + 6 * w + i] += sum * std::sin(kPi / 12.0 * (i + 0.5));
                    }
            } else {
                for (int i = 0; i < 36; ++i) {
                    double sum = 0;
                    for (int k = 0; k < 18; ++k)
                        sum += in[k] * std::cos(kPi / 72.0 * (2 * i + 19) * (2 * k + 1));
                    x[i] = sum * HVSOUND_MPEG_Tab.longWindow[type][i];
                }
            }
            float out[18];
            if (type == 2)
                HVSOUND_MPEG_IMDCT12(in, overlap, out);
            else
                HVSOUND_MPEG_IMDCT36(in, overlap, out, HVSOUND_MPEG_Tab.longWindow[type]);
            for (int i = 0; i < 18; ++i) {
                EXPECT_NEAR(out[i], x[i] + previousTail[i], 1e-4) << "type " << type << " sample " << i;
                previousTail[i] = x[18 + i];
            }
        }
    }
}

} // namespace
