// mpeg_synth.cpp: the synthesis filterbank. The DCT halves recursively
// (even outputs from the sums of mirrored inputs, odd ones from their
// differences scaled by the cosine tables); templates unroll it fully.
// The standard's vector V is antisymmetric in its first half and symmetric
// in its second, so both halves come from the 32 DCT outputs.
#include "sound/formats/mpeg_synth.h"

#include "sound/formats/mpeg_tables.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Cosine table level of a DCT of size N: 32 -> 0, 16 -> 1 ... 2 -> 4.
template <int N> struct Level;
template <> struct Level<32> { static constexpr int value = 0; };
template <> struct Level<16> { static constexpr int value = 1; };
template <> struct Level<8> { static constexpr int value = 2; };
template <> struct Level<4> { static constexpr int value = 3; };
template <> struct Level<2> { static constexpr int value = 4; };

template <int N> struct Dct {
    static inline __attribute__((always_inline)) void run(const float* x, float* out)
    {
        constexpr int H = N / 2;
        const float* c = HVSOUND_MPEG_Tab.dctCos[Level<N>::value];
        float sums[H], diffs[H], even[H], odd[H];
        for (int n = 0; n < H; ++n) {
            sums[n] = x[n] + x[N - 1 - n];
            diffs[n] = (x[n] - x[N - 1 - n]) * c[n];
        }
        Dct<H>::run(sums, even);
        Dct<H>::run(diffs, odd);
        for (int m = 0; m < H - 1; ++m) {
            out[2 * m] = even[m];
            out[2 * m + 1] = odd[m] + odd[m + 1];
        }
        out[N - 2] = even[H - 1];
        out[N - 1] = odd[H - 1];
    }
};

template <> struct Dct<1> {
    static inline __attribute__((always_inline)) void run(const float* x, float* out) { out[0] = x[0]; }
};


// Four floats operated on at once (the compiler's generic vectors: SIMD
// where the processor has it).
typedef float V4 __attribute__((vector_size(16)));

inline V4 load(const float* p)
{
    V4 v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

// Rounds eight sums to the nearest integer (ties to even, the default
// mode) and clamps them to 16 bits.
inline void toPcm(V4 low, V4 high, int16_t* pcm)
{
#ifdef __SSE2__
    __m128 top = _mm_set1_ps(32767.0f);
    __m128 bottom = _mm_set1_ps(-32768.0f);
    __m128 a = _mm_max_ps(_mm_min_ps(_mm_loadu_ps(reinterpret_cast<const float*>(&low)), top), bottom);
    __m128 b = _mm_max_ps(_mm_min_ps(_mm_loadu_ps(reinterpret_cast<const float*>(&high)), top), bottom);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pcm), _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b)));
#else
    // 1.5 x 2^23: adding it leaves a float whose low mantissa bits hold the
    // value rounded to the nearest integer (ties to even, the default mode).
    constexpr float kRoundMagic = 12582912.0f;
    float sum[8];
    std::memcpy(sum, &low, 16);
    std::memcpy(sum + 4, &high, 16);
    for (int j = 0; j < 8; ++j) {
        float r = std::min(std::max(sum[j], -32768.0f), 32767.0f) + kRoundMagic;
        int32_t bits;
        std::memcpy(&bits, &r, 4);
        pcm[j] = int16_t(bits - 0x4B400000);
    }
#endif
}

} // namespace

void HVSOUND_MPEG_Dct64(const float* in, float* out)
{
    Dct<32>::run(in, out);
}

void HVSOUND_MPEG_SynthWindow(const HVSOUND_MPEG_SYNTH& synth, int position, int16_t* out, int stride)
{
    const float* columns[16];
    for (int t = 0; t < 16; ++t)
        columns[t] = synth.columns[(position + t) & 15] + (t & 1) * 32;
    // Eight outputs at a time, summed over the 16 taps in registers.
    for (int j0 = 0; j0 < 32; j0 += 8) {
        V4 low = {0, 0, 0, 0}, high = {0, 0, 0, 0};
        for (int t = 0; t < 16; ++t) {
            const float* w = HVSOUND_MPEG_Tab.window[t] + j0;
            const float* v = columns[t] + j0;
            low += load(w) * load(v);
            high += load(w + 4) * load(v + 4);
        }
        int16_t pcm[8];
        toPcm(low, high, pcm);
        for (int j = 0; j < 8; ++j)
            out[(j0 + j) * stride] = pcm[j];
    }
}

void HVSOUND_MPEG_Synth(HVSOUND_MPEG_SYNTH* synth, int* position, const float* const* subbands, int channels,
                        int16_t* out)
{
    int p = (*position - 1) & 15;
    *position = p;
    for (int ch = 0; ch < channels; ++ch) {
        float x[32];
        HVSOUND_MPEG_Dct64(subbands[ch], x);
        float* first = synth[ch].columns[p];
        float* second = first + 32;
        for (int j = 0; j < 16; ++j) {
            first[j] = x[16 + j];
            second[j] = -x[16 - j];
            second[16 + j] = -x[j];
        }
        first[16] = 0.0f;
        for (int j = 17; j < 32; ++j)
            first[j] = -x[48 - j];
        HVSOUND_MPEG_SynthWindow(synth[ch], p, out + ch, channels);
    }
}
