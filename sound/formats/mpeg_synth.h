// mpeg_synth.h: the polyphase synthesis filterbank of MPEG audio: a
// 32-point DCT of each new set of subband samples and the 512-tap window
// over the last 16 of them, written out as rounded, clamped 16-bit PCM.
#pragma once

#include <cstdint>

// One channel's synthesis history: for each of the last 16 time slots the
// two 32-value halves of the standard's 64-value vector V that the window
// reads (the first half at even ages, the second at odd ones).
struct HVSOUND_MPEG_SYNTH {
    float columns[16][64];
};

// The 32-point DCT X[i] = sum over k of in[k] cos((2k + 1) i pi / 64),
// computed by halving over the five cosine tables.
void HVSOUND_MPEG_Dct64(const float* in, float* out);
// Applies the window to the 16 columns starting at `position` (the newest)
// and writes 32 samples, `stride` values apart.
void HVSOUND_MPEG_SynthWindow(const HVSOUND_MPEG_SYNTH& synth, int position, int16_t* out, int stride);
// One time slot of `channels` channels: the position steps back by one
// modulo 16, each channel's new column is computed from its 32 subband
// samples, and 32 samples per channel are written interleaved.
void HVSOUND_MPEG_Synth(HVSOUND_MPEG_SYNTH* synth, int* position, const float* const* subbands, int channels,
                        int16_t* out);
