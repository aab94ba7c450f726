// mpeg_tables.h: the layer III decoder's constant tables (scale factor
// bands, pretab, scale factor lengths) and the tables computed once at
// start-up (synthesis window and DCT cosines, requantisation powers, alias
// butterflies, IMDCT windows and cosines, intensity stereo ratios).
#pragma once

#include <cstdint>

// Sampling frequencies by table index: MPEG-1, then MPEG-2, then MPEG-2.5.
extern const int HVSOUND_MPEG_Frequencies[9];
// Scale factor band edges in spectral lines: 22 long bands, 13 short bands
// (short edges count the lines of one window).
extern const int16_t HVSOUND_MPEG_LongBands[9][23];
extern const int16_t HVSOUND_MPEG_ShortBands[9][14];
extern const uint8_t HVSOUND_MPEG_Pretab[22];
// MPEG-1 scale factor lengths by scalefac_compress.
extern const uint8_t HVSOUND_MPEG_Slen[2][16];
// MPEG-2 scale factors per partition: [table][block kind: long, short,
// mixed][partition].
extern const uint8_t HVSOUND_MPEG_LsfPartitions[6][3][4];

// Global-gain exponents x of 2^(x / 4) held in the gain table.
constexpr int HVSOUND_MPEG_GAIN_MIN = -256;
constexpr int HVSOUND_MPEG_GAIN_MAX = 121;
// Largest quantised magnitude: 15 plus 13 linbits.
constexpr int HVSOUND_MPEG_POW43_MAX = 8206;

struct HVSOUND_MPEG_TABLES {
    // Synthesis: the window by tap (age of the column, 0 newest) and output
    // sample, the standard's D scaled by the output scale; the cosine
    // factors 1 / (2 cos((2k + 1) pi / (64 >> j))) of the 32-point DCT.
    alignas(16) float window[16][32];
    float dctCos[5][16];
    long outputScale;
    // Requantisation.
    float gain[HVSOUND_MPEG_GAIN_MAX - HVSOUND_MPEG_GAIN_MIN + 1];
    float pow43[HVSOUND_MPEG_POW43_MAX + 1];
    // Alias reduction butterflies.
    float cs[8];
    float ca[8];
    // IMDCT: the 36-tap windows of block types 0, 1 and 3 (2 unused), the
    // 12-tap short window, the factors of the 18-point DCT-IV behind the
    // 36-point transform (the 9-point kernel cos(pi m (2n + 1) / 18), the
    // odd half's 1 / (2 cos(pi (2n + 1) / 36)) and the final
    // 1 / (2 cos(pi (2n + 1) / 72))), and the cosines of the 12-point one.
    float longWindow[4][36];
    float shortWindow[12];
    alignas(16) float dct9[9][12]; // columns 9..11 are 0
    float dct9Odd[9];
    float dct18Post[18];
    float imdct12[6][12];
    // Intensity stereo [position][0 left, 1 right]; the "ms" forms are
    // multiplied by sqrt(2) for bands where mid/side is on too.
    float isRatio[16][2];
    float isRatioMs[16][2];
    float isLsf[2][32][2];
    float isLsfMs[2][32][2];
    int subbandLimit;
};
extern HVSOUND_MPEG_TABLES HVSOUND_MPEG_Tab;

// Builds the synthesis tables for output samples of +-`scale` (32767 for
// the engine); rebuilding with the same scale does nothing.
void HVSOUND_MPEG_InitSynthTables(long scale);
// Builds the requantisation, alias, IMDCT and stereo tables and the Huffman
// lookups (once); `subbands` is the highest subband decoded (32 = all).
void HVSOUND_MPEG_InitLayer3Tables(int subbands);
// Both; the synthesis tables with the engine's output scale 32767 unless
// they were built already.
void HVSOUND_MPEG_InitTables();

inline float HVSOUND_MPEG_Gain(int exponent)
{
    if (exponent < HVSOUND_MPEG_GAIN_MIN)
        exponent = HVSOUND_MPEG_GAIN_MIN;
    if (exponent > HVSOUND_MPEG_GAIN_MAX)
        exponent = HVSOUND_MPEG_GAIN_MAX;
    return HVSOUND_MPEG_Tab.gain[exponent - HVSOUND_MPEG_GAIN_MIN];
}
