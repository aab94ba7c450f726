// mpeg_tables.cpp: the layer III decoder's tables. The scale factor bands,
// pretab, scale factor lengths and the synthesis window are the standard's
// (ISO/IEC 11172-3 annex B, ISO/IEC 13818-3 for the lower rates); the rest
// is computed from the standard's formulas.
#include "sound/formats/mpeg_tables.h"

#include "sound/formats/mpeg_huffman.h"

#include <cmath>
#include <mutex>

HVSOUND_MPEG_TABLES HVSOUND_MPEG_Tab;

const int HVSOUND_MPEG_Frequencies[9] = {44100, 48000, 32000, 22050, 24000, 16000, 11025, 12000, 8000};

const int16_t HVSOUND_MPEG_LongBands[9][23] = {
    {0, 4, 8, 12, 16, 20, 24, 30, 36, 44, 52, 62, 74, 90, 110, 134, 162, 196, 238, 288, 342, 418, 576},
    {0, 4, 8, 12, 16, 20, 24, 30, 36, 42, 50, 60, 72, 88, 106, 128, 156, 190, 230, 276, 330, 384, 576},
    {0, 4, 8, 12, 16, 20, 24, 30, 36, 44, 54, 66, 82, 102, 126, 156, 194, 240, 296, 364, 448, 550, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 114, 136, 162, 194, 232, 278, 332, 394, 464, 540, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
    {0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
    {0, 12, 24, 36, 48, 60, 72, 88, 108, 132, 160, 192, 232, 280, 336, 400, 476, 566, 568, 570, 572, 574, 576},
};

const int16_t HVSOUND_MPEG_ShortBands[9][14] = {
    {0, 4, 8, 12, 16, 22, 30, 40, 52, 66, 84, 106, 136, 192},
    {0, 4, 8, 12, 16, 22, 28, 38, 50, 64, 80, 100, 126, 192},
    {0, 4, 8, 12, 16, 22, 30, 42, 58, 78, 104, 138, 180, 192},
    {0, 4, 8, 12, 18, 24, 32, 42, 56, 74, 100, 132, 174, 192},
    {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 136, 180, 192},
    {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192},
    {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192},
    {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192},
    {0, 8, 16, 24, 36, 52, 72, 96, 124, 160, 162, 164, 166, 192},
};

const uint8_t HVSOUND_MPEG_Pretab[22] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 3, 3, 3, 2, 0};

const uint8_t HVSOUND_MPEG_Slen[2][16] = {
    {0, 0, 0, 0, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4},
    {0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 2, 3},
};

const uint8_t HVSOUND_MPEG_LsfPartitions[6][3][4] = {
    {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}},
    {{6, 5, 7, 3}, {9, 9, 12, 6}, {6, 9, 12, 6}},
    {{11, 10, 0, 0}, {18, 18, 0, 0}, {15, 18, 0, 0}},
    {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}},
    {{6, 6, 6, 3}, {12, 9, 9, 6}, {6, 12, 9, 6}},
    {{8, 8, 5, 0}, {15, 12, 9, 0}, {6, 18, 9, 0}},
};

namespace {

// The synthesis window D of the standard, times 65536 (it gives D as
// multiples of 1 / 65536), is a prototype filter p symmetric about value 256
// whose sign changes every 64 values: D[i] = p[i] (-1)^(i / 64). These are
// p[0..256]; p[512 - i] = p[i].
const int32_t kWindow[257] = {
    0, -1, -1, -1, -1, -1, -1, -2, -2, -2, -2, -3, -3, -4, -4, -5,
    -5, -6, -7, -7, -8, -9, -10, -11, -13, -14, -16, -17, -19, -21, -24, -26,
    -29, -31, -35, -38, -41, -45, -49, -53, -58, -63, -68, -73, -79, -85, -91, -97,
    -104, -111, -117, -125, -132, -139, -147, -154, -161, -169, -176, -183, -190, -196, -202, -208,
    -213, -218, -222, -225, -227, -228, -228, -227, -224, -221, -215, -208, -200, -189, -177, -163,
    -146, -127, -106, -83, -57, -29, 2, 36, 72, 111, 153, 197, 244, 294, 347, 401,
    459, 519, 581, 645, 711, 779, 848, 919, 991, 1064, 1137, 1210, 1283, 1356, 1428, 1498,
    1567, 1634, 1698, 1759, 1817, 1870, 1919, 1962, 2001, 2032, 2057, 2075, 2085, 2087, 2080, 2063,
    2037, 2000, 1952, 1893, 1822, 1739, 1644, 1535, 1414, 1280, 1131, 970, 794, 605, 402, 185,
    -45, -288, -545, -814, -1095, -1388, -1692, -2006, -2330, -2663, -3004, -3351, -3705, -4063, -4425, -4788,
    -5153, -5517, -5879, -6237, -6589, -6935, -7271, -7597, -7910, -8209, -8491, -8755, -8998, -9219, -9416, -9585,
    -9727, -9838, -9916, -9959, -9966, -9935, -9863, -9750, -9592, -9389, -9139, -8840, -8492, -8092, -7640, -7134,
    -6574, -5959, -5288, -4561, -3776, -2935, -2037, -1082, -70, 998, 2122, 3300, 4533, 5818, 7154, 8540,
    9975, 11455, 12980, 14548, 16155, 17799, 19478, 21189, 22929, 24694, 26482, 28289, 30112, 31947, 33791, 35640,
    37489, 39336, 41176, 43006, 44821, 46617, 48390, 50137, 51853, 53534, 55178, 56778, 58333, 59838, 61289, 62684,
    64019, 65290, 66494, 67629, 68692, 69679, 70590, 71420, 72169, 72835, 73415, 73908, 74313, 74630, 74856, 74992,
    75038,

};

constexpr double kPi = 3.14159265358979323846;

} // namespace

void HVSOUND_MPEG_InitSynthTables(long scale)
{
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    HVSOUND_MPEG_TABLES& t = HVSOUND_MPEG_Tab;
    if (t.outputScale == scale)
        return;
    for (int j = 0; j < 5; ++j)
        for (int k = 0; k < (16 >> j); ++k)
            t.dctCos[j][k] = float(1.0 / (2.0 * std::cos((2 * k + 1) * kPi / double(64 >> j))));
    for (int i = 0; i < 512; ++i) {
        int32_t p = kWindow[i <= 256 ? i : 512 - i];
        int32_t d = (i / 64) & 1 ? -p : p;
        t.window[i / 32][i % 32] = float(double(d) * double(scale) / 65536.0);
    }
    t.outputScale = scale;
}

void HVSOUND_MPEG_InitLayer3Tables(int subbands)
{
    static std::once_flag once;
    std::call_once(once, [] {
        HVSOUND_MPEG_TABLES& t = HVSOUND_MPEG_Tab;
        for (int x = HVSOUND_MPEG_GAIN_MIN; x <= HVSOUND_MPEG_GAIN_MAX; ++x)
            t.gain[x - HVSOUND_MPEG_GAIN_MIN] = float(std::pow(2.0, x / 4.0));
        for (int i = 0; i <= HVSOUND_MPEG_POW43_MAX; ++i)
            t.pow43[i] = float(std::pow(double(i), 4.0 / 3.0));

        const double c[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};
        for (int i = 0; i < 8; ++i) {
            double s = 1.0 / std::sqrt(1.0 + c[i] * c[i]);
            t.cs[i] = float(s);
            t.ca[i] = float(c[i] * s);
        }

        // Block type 0 (normal), 1 (start), 3 (stop); 2 is the short window.
        for (int i = 0; i < 36; ++i) {
            double normal = std::sin(kPi / 36.0 * (i + 0.5));
            t.longWindow[0][i] = float(normal);
            t.longWindow[2][i] = 0.0f;
            double start = i < 18 ? normal : i < 24 ? 1.0 : i < 30 ? std::sin(kPi / 12.0 * (i - 18 + 0.5)) : 0.0;
            double stop = i < 6 ? 0.0 : i < 12 ? std::sin(kPi / 12.0 * (i - 6 + 0.5)) : i < 18 ? 1.0 : normal;
            t.longWindow[1][i] = float(start);
            t.longWindow[3][i] = float(stop);
        }
        for (int i = 0; i < 12; ++i)
            t.shortWindow[i] = float(std::sin(kPi / 12.0 * (i + 0.5)));
        for (int m = 0; m < 9; ++m)
            for (int n = 0; n < 9; ++n)
                t.dct9[m][n] = float(std::cos(kPi * m * (2 * n + 1) / 18.0));
        for (int n = 0; n < 9; ++n)
            t.dct9Odd[n] = float(1.0 / (2.0 * std::cos(kPi * (2 * n + 1) / 36.0)));
        for (int n = 0; n < 18; ++n)
            t.dct18Post[n] = float(1.0 / (2.0 * std::cos(kPi * (2 * n + 1) / 72.0)));
        for (int k = 0; k < 6; ++k)
            for (int i = 0; i < 12; ++i)
                t.imdct12[k][i] = float(std::cos(kPi / 24.0 * (2 * i + 1 + 6) * (2 * k + 1)));

        const double root2 = 1.4142135;
        for (int i = 0; i < 16; ++i) {
            double r = std::tan(i * kPi / 12.0);
            // tan(9 pi / 12) is -1, where 1 + r would divide by zero.
            if (std::fabs(r + 1.0) < 1e-9)
                r = -0.9999999;
            double left = r / (1.0 + r);
            double right = 1.0 / (1.0 + r);
            t.isRatio[i][0] = float(left);
            t.isRatio[i][1] = float(right);
            t.isRatioMs[i][0] = float(left * root2);
            t.isRatioMs[i][1] = float(right * root2);
        }
        // MPEG-2 positions reach 30 with 5-bit intensity scale factors; 31
        // and every 2^slen - 1 are "no intensity" and never looked up.
        const double base[2] = {std::pow(2.0, -0.25), std::pow(2.0, -0.5)};
        for (int s = 0; s < 2; ++s)
            for (int i = 0; i < 32; ++i) {
                double left = 1.0, right = 1.0;
                if (i & 1)
                    left = std::pow(base[s], (i + 1) / 2);
                else if (i > 0)
                    right = std::pow(base[s], i / 2);
                t.isLsf[s][i][0] = float(left);
                t.isLsf[s][i][1] = float(right);
                t.isLsfMs[s][i][0] = float(left * root2);
                t.isLsfMs[s][i][1] = float(right * root2);
            }
        HVSOUND_MPEG_BuildHuffmanLookups();
    });
    // Every new decoder asks for the tables while other decoders may be
    // decoding on the stream and mixer threads: the limit is written only
    // when it changes, so those readers never meet a write.
    const int limit = subbands < 1 || subbands > 32 ? 32 : subbands;
    if (HVSOUND_MPEG_Tab.subbandLimit != limit)
        HVSOUND_MPEG_Tab.subbandLimit = limit;
}

void HVSOUND_MPEG_InitTables()
{
    // A scale set before (tests measure at 32768) is kept.
    if (HVSOUND_MPEG_Tab.outputScale == 0)
        HVSOUND_MPEG_InitSynthTables(32767);
    HVSOUND_MPEG_InitLayer3Tables(32);
}
