// mpeg_layer3.cpp: layer III decoding as ISO/IEC 11172-3 and 13818-3 give
// it, in single precision. Every index taken from the bitstream is bounded
// here: region starts by the band table and 576 lines, Huffman decoding by
// the bits the granule really holds, gains by the gain table, the
// reservoir by the bytes really kept.
#include "sound/formats/mpeg_layer3.h"

#include "sound/formats/mpeg_huffman.h"
#include "sound/formats/mpeg_tables.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kLines = 576;

// Four floats operated on at once (the compiler's generic vectors: SIMD
// where the processor has it).
typedef float V4 __attribute__((vector_size(16)));

bool isShort(const HVSOUND_MPEG_GRANULE& g)
{
    return g.windowSwitching && g.blockType == 2;
}

// Long bands of a mixed block: the first 36 lines at the standard rates
// (8 bands for MPEG-1, 6 for MPEG-2); short bands follow from band 3.
int mixedLongBands(const HVSOUND_MPEG_DECODER* d)
{
    return d->lsf ? 6 : 8;
}

// Region boundaries in lines, as the side information gives them.
void setRegions(const HVSOUND_MPEG_DECODER* d, HVSOUND_MPEG_GRANULE& g, int region0Count, int region1Count)
{
    const int16_t* bands = HVSOUND_MPEG_LongBands[d->frequencyIndex];
    if (g.windowSwitching) {
        // The standard's implicit counts: region 1 starts after short band
        // 3 in every window of a short block, else after long band 8; no
        // third region.
        bool allShort = g.blockType == 2 && !g.mixed;
        g.region1Start = allShort ? HVSOUND_MPEG_ShortBands[d->frequencyIndex][3] * 3 : bands[8];
        g.region2Start = kLines;
    } else {
        int r1 = std::min(region0Count + 1, 22);
        int r2 = std::min(region0Count + region1Count + 2, 22);
        g.region1Start = bands[r1];
        g.region2Start = bands[r2];
    }
}

// Reads the fields common to both syntaxes; false when they are refused.
bool readGranule(HVSOUND_MPEG_DECODER* d, HVSOUND_MPEG_GRANULE& g, HVSOUND_MPEG_BitReader& r, bool lsf)
{
    g.part23Length = int(r.read(12));
    g.bigValues = int(r.read(9));
    g.globalGain = int(r.read(8));
    g.scalefacCompress = int(r.read(lsf ? 9 : 4));
    g.windowSwitching = int(r.read(1));
    int region0Count = 0, region1Count = 0;
    if (g.windowSwitching) {
        g.blockType = int(r.read(2));
        g.mixed = int(r.read(1));
        g.tableSelect[0] = int(r.read(5));
        g.tableSelect[1] = int(r.read(5));
        g.tableSelect[2] = 0;
        for (int w = 0; w < 3; ++w)
            g.subblockGain[w] = int(r.read(3));
        if (g.blockType == 0)
            return false;
    } else {
        g.blockType = 0;
        g.mixed = 0;
        for (int i = 0; i < 3; ++i)
            g.tableSelect[i] = int(r.read(5));
        g.subblockGain[0] = g.subblockGain[1] = g.subblockGain[2] = 0;
        region0Count = int(r.read(4));
        region1Count = int(r.read(3));
    }
    g.preflag = lsf ? 0 : int(r.read(1));
    g.scalefacScale = int(r.read(1));
    g.count1Table = int(r.read(1));
    if (g.bigValues > 288)
        return false;
    setRegions(d, g, region0Count, region1Count);
    return true;
}

float signedPow43(int magnitude, uint32_t sign)
{
    float v = HVSOUND_MPEG_Tab.pow43[magnitude];
    return sign ? -v : v;
}

// Scales lines [first, last) of `xr` by `gain`.
void scale(float* xr, int first, int last, float gain)
{
    for (int i = first; i < last; ++i)
        xr[i] *= gain;
}

// The right channel's last non-zero line + 1 below `limit`.
int lastNonZero(const float* xr, int limit)
{
    while (limit > 0 && xr[limit - 1] == 0.0f)
        --limit;
    return limit;
}

} // namespace

int HVSOUND_MPEG_SideInfo(HVSOUND_MPEG_DECODER* d, HVSOUND_MPEG_BitReader& r)
{
    HVSOUND_MPEG_SIDEINFO& s = d->side;
    s.mainDataBegin = int(r.read(9));
    s.privateBits = int(r.read(d->channels == 1 ? 5 : 3));
    for (int ch = 0; ch < d->channels; ++ch)
        for (int i = 0; i < 4; ++i)
            s.scfsi[ch][i] = int(r.read(1));
    for (int gr = 0; gr < 2; ++gr)
        for (int ch = 0; ch < d->channels; ++ch)
            if (!readGranule(d, s.granule[gr][ch], r, false))
                return 0;
    return 1;
}

int HVSOUND_MPEG_SideInfoLSF(HVSOUND_MPEG_DECODER* d, HVSOUND_MPEG_BitReader& r)
{
    HVSOUND_MPEG_SIDEINFO& s = d->side;
    s.mainDataBegin = int(r.read(8));
    s.privateBits = int(r.read(d->channels == 1 ? 1 : 2));
    for (int ch = 0; ch < d->channels; ++ch)
        if (!readGranule(d, s.granule[0][ch], r, true))
            return 0;
    return 1;
}

void HVSOUND_MPEG_ScaleFactors(HVSOUND_MPEG_DECODER* d, int gr, int ch, HVSOUND_MPEG_BitReader& r)
{
    const HVSOUND_MPEG_GRANULE& g = d->side.granule[gr][ch];
    int slen0 = HVSOUND_MPEG_Slen[0][g.scalefacCompress];
    int slen1 = HVSOUND_MPEG_Slen[1][g.scalefacCompress];
    int* longs = d->scalefacLong[ch];
    int(*shorts)[3] = d->scalefacShort[ch];
    if (isShort(g)) {
        int first = 0;
        if (g.mixed) {
            for (int sfb = 0; sfb < 8; ++sfb)
                longs[sfb] = int(r.read(slen0));
            first = 3;
        }
        for (int sfb = first; sfb < 12; ++sfb)
            for (int w = 0; w < 3; ++w)
                shorts[sfb][w] = int(r.read(sfb < 6 ? slen0 : slen1));
        shorts[12][0] = shorts[12][1] = shorts[12][2] = 0;
    } else {
        // Four groups of bands; the second granule may reuse the first's.
        static const int groupStart[5] = {0, 6, 11, 16, 21};
        for (int i = 0; i < 4; ++i) {
            if (gr == 1 && d->side.scfsi[ch][i])
                continue;
            for (int sfb = groupStart[i]; sfb < groupStart[i + 1]; ++sfb)
                longs[sfb] = int(r.read(i < 2 ? slen0 : slen1));
        }
        longs[21] = 0;
    }
    for (int sfb = 0; sfb < 22; ++sfb)
        d->isIllegalLong[sfb] = 7;
    for (int sfb = 0; sfb < 13; ++sfb)
        d->isIllegalShort[sfb] = 7;
}

void HVSOUND_MPEG_ScaleFactorsLSF(HVSOUND_MPEG_DECODER* d, int ch, bool intensity, HVSOUND_MPEG_BitReader& r)
{
    HVSOUND_MPEG_GRANULE& g = d->side.granule[0][ch];
    int sfc = g.scalefacCompress;
    int slen[4] = {0, 0, 0, 0};
    int table = 0;
    g.preflag = 0;
    if (intensity) {
        d->intensityScale = sfc & 1;
        int c = sfc >> 1;
        if (c < 180) {
            slen[0] = c / 36;
            slen[1] = (c % 36) / 6;
            slen[2] = c % 6;
            table = 3;
        } else if (c < 244) {
            c -= 180;
            slen[0] = (c & 63) >> 4;
            slen[1] = (c & 15) >> 2;
            slen[2] = c & 3;
            table = 4;
        } else {
            c -= 244;
            slen[0] = c / 3;
            slen[1] = c % 3;
            table = 5;
        }
    } else if (sfc < 400) {
        slen[0] = (sfc >> 4) / 5;
        slen[1] = (sfc >> 4) % 5;
        slen[2] = (sfc & 15) >> 2;
        slen[3] = sfc & 3;
    } else if (sfc < 500) {
        sfc -= 400;
        slen[0] = (sfc >> 2) / 5;
        slen[1] = (sfc >> 2) % 5;
        slen[2] = sfc & 3;
        table = 1;
    } else {
        sfc -= 500;
        slen[0] = sfc / 3;
        slen[1] = sfc % 3;
        g.preflag = 1;
        table = 2;
    }
    int kind = isShort(g) ? (g.mixed ? 2 : 1) : 0;
    const uint8_t* counts = HVSOUND_MPEG_LsfPartitions[table][kind];

    // Scale factors fill the long bands of the block, then its short bands
    // window by window; each takes its partition's length.
    int* longs = d->scalefacLong[ch];
    int(*shorts)[3] = d->scalefacShort[ch];
    int longCount = kind == 0 ? 21 : kind == 2 ? 6 : 0;
    int shortFirst = kind == 2 ? 3 : 0;
    std::fill(longs, longs + 22, 0);
    for (int sfb = 0; sfb < 13; ++sfb)
        shorts[sfb][0] = shorts[sfb][1] = shorts[sfb][2] = 0;
    std::fill(d->isIllegalLong, d->isIllegalLong + 22, 0);
    std::fill(d->isIllegalShort, d->isIllegalShort + 13, 0);
    int slot = 0;
    for (int p = 0; p < 4; ++p) {
        int illegal = (1 << slen[p]) - 1;
        for (int n = 0; n < counts[p]; ++n, ++slot) {
            int value = int(r.read(slen[p]));
            if (slot < longCount) {
                longs[slot] = value;
                d->isIllegalLong[slot] = illegal;
            } else {
                int s = slot - longCount;
                int sfb = shortFirst + s / 3;
                if (sfb < 12) {
                    shorts[sfb][s % 3] = value;
                    d->isIllegalShort[sfb] = illegal;
                }
            }
        }
    }
}

void HVSOUND_MPEG_Dequantize(HVSOUND_MPEG_DECODER* d, int gr, int ch, bool ms, HVSOUND_MPEG_BitReader& r,
                             uint32_t end)
{
    const HVSOUND_MPEG_GRANULE& g = d->side.granule[gr][ch];
    const HVSOUND_MPEG_TABLES& tab = HVSOUND_MPEG_Tab;
    float* xr = d->spectrum[ch];
    if (end > r.limit)
        end = r.limit;

    // Big values: pairs in up to three regions with their own tables.
    int bigLines = std::min(g.bigValues * 2, kLines);
    int bounds[3] = {std::min(g.region1Start, bigLines), std::min(g.region2Start, bigLines), bigLines};
    int i = 0;
    for (int region = 0; region < 3; ++region) {
        const HVSOUND_MPEG_HuffmanLookup& lookup = HVSOUND_MPEG_BigValueLookup(g.tableSelect[region]);
        int regionEnd = std::max(i, bounds[region]);
        if (!lookup.entries) {
            std::fill(xr + i, xr + regionEnd, 0.0f);
            i = regionEnd;
            continue;
        }
        int linbits = lookup.linbits;
        for (; i < regionEnd; i += 2) {
            if (r.position >= end) {
                std::fill(xr + i, xr + regionEnd, 0.0f);
                i = regionEnd;
                break;
            }
            uint32_t bits = r.peek();
            uint32_t e = HVSOUND_MPEG_HuffmanDecode(lookup, bits);
            uint32_t length = (e >> 8) & 31;
            int x = int(e >> 4) & 15;
            int y = int(e) & 15;
            if (linbits && (x == 15 || y == 15)) {
                // Escapes: more bits than one peek holds.
                r.skip(length);
                if (x == 15)
                    x += int(r.read(linbits));
                xr[i] = x ? signedPow43(x, r.read(1)) : 0.0f;
                if (y == 15)
                    y += int(r.read(linbits));
                xr[i + 1] = y ? signedPow43(y, r.read(1)) : 0.0f;
                continue;
            }
            // The code (at most 19 bits) and both sign bits lie in the peek.
            uint32_t signs = bits << length;
            xr[i] = x ? signedPow43(x, signs >> 31) : 0.0f;
            signs <<= x ? 1 : 0;
            length += x ? 1 : 0;
            xr[i + 1] = y ? signedPow43(y, signs >> 31) : 0.0f;
            length += y ? 1 : 0;
            r.skip(length);
        }
    }

    // Count1: quadruples of -1, 0, 1 until the granule's bits run out. A
    // quadruple that ends past them was stuffing and is dropped.
    const HVSOUND_MPEG_HuffmanLookup& quads = HVSOUND_MPEG_Count1Lookup(g.count1Table);
    while (i + 4 <= kLines && r.position < end) {
        // The code (at most 6 bits) and its up to 4 sign bits in one peek.
        uint32_t bits = r.peek();
        uint32_t e = HVSOUND_MPEG_HuffmanDecode(quads, bits);
        uint32_t length = (e >> 8) & 31;
        uint32_t signs = bits << length;
        // v and w sit in the leaf's x field, x and y in its y field.
        static const uint32_t kQuadBits[4] = {0x20, 0x10, 0x2, 0x1};
        for (int k = 0; k < 4; ++k) {
            if (e & kQuadBits[k]) {
                xr[i + k] = (signs & 0x80000000u) ? -1.0f : 1.0f;
                signs <<= 1;
                ++length;
            } else {
                xr[i + k] = 0.0f;
            }
        }
        r.skip(length);
        if (r.position > end) {
            std::fill(xr + i, xr + i + 4, 0.0f);
            break;
        }
        i += 4;
    }
    std::fill(xr + i, xr + kLines, 0.0f);
    int nonzero = lastNonZero(xr, i);
    d->nonzero[ch] = nonzero;

    // Requantisation: the global gain, less 1 / sqrt(2) for mid/side, less
    // the subblock gain and scale factors of each band.
    int base = g.globalGain - 210 - (ms ? 2 : 0);
    int shift = 1 + g.scalefacScale;
    const int16_t* longBands = HVSOUND_MPEG_LongBands[d->frequencyIndex];
    const int16_t* shortBands = HVSOUND_MPEG_ShortBands[d->frequencyIndex];
    int longBandCount = 22;
    int shortFirst = 13;
    if (isShort(g)) {
        longBandCount = g.mixed ? mixedLongBands(d) : 0;
        shortFirst = g.mixed ? 3 : 0;
    }
    const int* longs = d->scalefacLong[ch];
    for (int sfb = 0; sfb < longBandCount && longBands[sfb] < nonzero; ++sfb) {
        int sf = longs[sfb] + (g.preflag ? HVSOUND_MPEG_Pretab[sfb] : 0);
        scale(xr, longBands[sfb], std::min<int>(longBands[sfb + 1], nonzero),
              HVSOUND_MPEG_Gain(base - (sf << shift)));
    }
    for (int sfb = shortFirst; sfb < 13 && shortBands[sfb] * 3 < nonzero; ++sfb) {
        int width = shortBands[sfb + 1] - shortBands[sfb];
        for (int w = 0; w < 3; ++w) {
            int first = shortBands[sfb] * 3 + w * width;
            int sf = d->scalefacShort[ch][sfb][w];
            scale(xr, first, std::min(first + width, nonzero),
                  HVSOUND_MPEG_Gain(base - 8 * g.subblockGain[w] - (sf << shift)));
        }
    }
    (void)tab;

    if (ch == 1) {
        // Where the right channel's own data ends, for intensity stereo.
        d->rightEnd = nonzero;
        for (int w = 0; w < 3; ++w) {
            d->rightShortBound[w] = shortFirst;
            for (int sfb = 12; sfb >= shortFirst && isShort(g); --sfb) {
                int width = shortBands[sfb + 1] - shortBands[sfb];
                int first = shortBands[sfb] * 3 + w * width;
                bool any = false;
                for (int k = first; k < first + width; ++k)
                    any = any || xr[k] != 0.0f;
                if (any) {
                    d->rightShortBound[w] = sfb + 1;
                    break;
                }
            }
        }
    }
}

void HVSOUND_MPEG_DequantizeMS(HVSOUND_MPEG_DECODER* d, int gr, HVSOUND_MPEG_BitReader& r, uint32_t end)
{
    HVSOUND_MPEG_Dequantize(d, gr, 1, true, r, end);
    int n = std::max(d->nonzero[0], d->nonzero[1]);
    float* left = d->spectrum[0];
    float* right = d->spectrum[1];
    for (int i = 0; i < n; ++i) {
        float m = left[i];
        float s = right[i];
        left[i] = m + s;
        right[i] = m - s;
    }
    d->nonzero[0] = d->nonzero[1] = n;
}

void HVSOUND_MPEG_IntensityStereo(HVSOUND_MPEG_DECODER* d, int gr, bool ms)
{
    const HVSOUND_MPEG_GRANULE& g = d->side.granule[gr][1];
    const HVSOUND_MPEG_TABLES& tab = HVSOUND_MPEG_Tab;
    float* left = d->spectrum[0];
    float* right = d->spectrum[1];
    const int16_t* longBands = HVSOUND_MPEG_LongBands[d->frequencyIndex];
    const int16_t* shortBands = HVSOUND_MPEG_ShortBands[d->frequencyIndex];

    // Lines [first, last) take the left values split by position `pos`.
    auto apply = [&](int first, int last, int pos, int illegal) {
        if (pos == illegal)
            return;
        const float* ratio;
        if (d->lsf)
            ratio = ms ? tab.isLsfMs[d->intensityScale][pos & 31] : tab.isLsf[d->intensityScale][pos & 31];
        else
            ratio = ms ? tab.isRatioMs[pos & 15] : tab.isRatio[pos & 15];
        for (int i = first; i < last; ++i) {
            float v = left[i];
            left[i] = v * ratio[0];
            right[i] = v * ratio[1];
        }
    };
    auto longBand = [&](int sfb) {
        // The last band has no scale factor of its own: it takes the one
        // below.
        int source = sfb == 21 ? 20 : sfb;
        apply(longBands[sfb], longBands[sfb + 1], d->scalefacLong[1][source], d->isIllegalLong[source]);
    };

    if (!isShort(g)) {
        int sfb = 0;
        while (sfb < 22 && longBands[sfb] < d->rightEnd)
            ++sfb;
        for (; sfb < 22; ++sfb)
            longBand(sfb);
        return;
    }
    int first = g.mixed ? 3 : 0;
    int highest = first;
    for (int w = 0; w < 3; ++w) {
        highest = std::max(highest, d->rightShortBound[w]);
        for (int sfb = d->rightShortBound[w]; sfb < 13; ++sfb) {
            int source = sfb == 12 ? 11 : sfb;
            int width = shortBands[sfb + 1] - shortBands[sfb];
            int start = shortBands[sfb] * 3 + w * width;
            apply(start, start + width, d->scalefacShort[1][source][w], d->isIllegalShort[source]);
        }
    }
    // A mixed block whose short windows hold no right-channel data: the
    // long bands above the right channel's end are intensity coded too.
    if (g.mixed && highest <= first) {
        int bands = mixedLongBands(d);
        for (int sfb = 0; sfb < bands; ++sfb)
            if (longBands[sfb] >= d->rightEnd)
                apply(longBands[sfb], longBands[sfb + 1], d->scalefacLong[1][sfb], d->isIllegalLong[sfb]);
    }
}

void HVSOUND_MPEG_Antialias(float* xr, int subbands)
{
    const float* cs = HVSOUND_MPEG_Tab.cs;
    const float* ca = HVSOUND_MPEG_Tab.ca;
    for (int sb = 1; sb < subbands; ++sb) {
        float* lower = xr + sb * 18 - 1;
        float* upper = xr + sb * 18;
        for (int i = 0; i < 8; ++i) {
            float a = lower[-i];
            float b = upper[i];
            lower[-i] = a * cs[i] - b * ca[i];
            upper[i] = b * cs[i] + a * ca[i];
        }
    }
}

void HVSOUND_MPEG_IMDCT36(const float* in, float* overlap, float* out, const float* window)
{
    // The 36-point IMDCT is an 18-point DCT-IV c, mirrored:
    // x[0..8] = c[9..17], x[9..26] = -c[17..0], x[27..35] = -c[0..8].
    // The DCT-IV becomes a DCT-III of the sums of neighbouring inputs, and
    // that one two 9-point transforms of its even and odd halves, whose sum
    // and difference give outputs n and 17 - n.
    const HVSOUND_MPEG_TABLES& t = HVSOUND_MPEG_Tab;
    float y[18];
    y[0] = in[0];
    for (int k = 1; k < 18; ++k)
        y[k] = in[k] + in[k - 1];
    float even[9], odd[9];
    even[0] = y[0];
    odd[0] = y[1];
    for (int m = 1; m < 9; ++m) {
        even[m] = y[2 * m];
        odd[m] = y[2 * m + 1] + y[2 * m - 1];
    }
    // Four outputs at a time; the kernel rows are padded to 12.
    V4 e[3] = {}, o[3] = {};
    for (int m = 0; m < 9; ++m) {
        const V4* row = reinterpret_cast<const V4*>(t.dct9[m]);
        for (int q = 0; q < 3; ++q) {
            e[q] += even[m] * row[q];
            o[q] += odd[m] * row[q];
        }
    }
    float ev[12], od[12];
    std::memcpy(ev, e, sizeof(ev));
    std::memcpy(od, o, sizeof(od));
    float c[18];
    for (int n = 0; n < 9; ++n) {
        float odds = od[n] * t.dct9Odd[n];
        c[n] = (ev[n] + odds) * t.dct18Post[n];
        c[17 - n] = (ev[n] - odds) * t.dct18Post[17 - n];
    }
    for (int i = 0; i < 9; ++i) {
        out[i] = c[9 + i] * window[i] + overlap[i];
        out[9 + i] = -c[17 - i] * window[9 + i] + overlap[9 + i];
        overlap[i] = -c[8 - i] * window[18 + i];
        overlap[9 + i] = -c[i] * window[27 + i];
    }
}

void HVSOUND_MPEG_IMDCT12(const float* in, float* overlap, float* out)
{
    float z[36] = {};
    const float* window = HVSOUND_MPEG_Tab.shortWindow;
    for (int w = 0; w < 3; ++w) {
        float x[12] = {};
        for (int k = 0; k < 6; ++k) {
            float v = in[w * 6 + k];
            const float* row = HVSOUND_MPEG_Tab.imdct12[k];
            for (int i = 0; i < 12; ++i)
                x[i] += v * row[i];
        }
        for (int i = 0; i < 12; ++i)
            z[6 + 6 * w + i] += x[i] * window[i];
    }
    for (int i = 0; i < 18; ++i) {
        out[i] = z[i] + overlap[i];
        overlap[i] = z[18 + i];
    }
}

void HVSOUND_MPEG_Hybrid(HVSOUND_MPEG_DECODER* d, int gr, int ch)
{
    const HVSOUND_MPEG_GRANULE& g = d->side.granule[gr][ch];
    float* xr = d->spectrum[ch];
    int nonzero = d->nonzero[ch];
    int subbands = (nonzero + 17) / 18;
    int longSubbands = 32;

    if (isShort(g)) {
        // Reorder the short bands from band-then-window order to the
        // transform's order: per subband, 6 lines of each window in turn.
        const int16_t* shortBands = HVSOUND_MPEG_ShortBands[d->frequencyIndex];
        int first = 0;
        longSubbands = 0;
        if (g.mixed) {
            first = 3;
            longSubbands = HVSOUND_MPEG_LongBands[d->frequencyIndex][mixedLongBands(d)] / 18;
        }
        float reordered[kLines];
        int lowest = shortBands[first] * 3;
        int highest = lowest;
        for (int sfb = first; sfb < 13; ++sfb) {
            int width = shortBands[sfb + 1] - shortBands[sfb];
            for (int w = 0; w < 3; ++w) {
                const float* src = xr + shortBands[sfb] * 3 + w * width;
                for (int k = 0; k < width; ++k) {
                    int f = shortBands[sfb] + k;
                    int to = (f / 6) * 18 + w * 6 + f % 6;
                    reordered[to] = src[k];
                    if (src[k] != 0.0f)
                        highest = std::max(highest, to + 1);
                }
            }
        }
        std::memcpy(xr + lowest, reordered + lowest, sizeof(float) * size_t(kLines - lowest));
        subbands = nonzero <= lowest ? subbands : (highest + 17) / 18;
        if (longSubbands > 0 && subbands > 0) {
            HVSOUND_MPEG_Antialias(xr, longSubbands);
            subbands = std::max(subbands, longSubbands);
        }
    } else {
        // A start or stop block flagged mixed keeps the normal window in
        // its lowest subbands, as the reference decoder does.
        if (g.windowSwitching && g.mixed)
            longSubbands = HVSOUND_MPEG_LongBands[d->frequencyIndex][mixedLongBands(d)] / 18;
        if (subbands > 0) {
            HVSOUND_MPEG_Antialias(xr, std::min(subbands + 1, 32));
            subbands = std::min(subbands + 1, 32);
        }
    }
    subbands = std::min(subbands, HVSOUND_MPEG_Tab.subbandLimit);

    int blockType = g.windowSwitching ? g.blockType : 0;
    float out[18];
    int live = std::max(subbands, d->overlapSubbands[ch]);
    for (int sb = 0; sb < 32; ++sb) {
        float* overlap = d->overlap[ch][sb];
        if (sb < subbands) {
            if (sb < longSubbands && g.mixed)
                HVSOUND_MPEG_IMDCT36(xr + sb * 18, overlap, out, HVSOUND_MPEG_Tab.longWindow[0]);
            else if (blockType == 2)
                HVSOUND_MPEG_IMDCT12(xr + sb * 18, overlap, out);
            else
                HVSOUND_MPEG_IMDCT36(xr + sb * 18, overlap, out, HVSOUND_MPEG_Tab.longWindow[blockType]);
        } else if (sb < live) {
            std::memcpy(out, overlap, sizeof(out));
            std::memset(overlap, 0, sizeof(float) * 18);
        } else {
            for (int t = 0; t < 18; ++t)
                d->hybrid[ch][t][sb] = 0.0f;
            continue;
        }
        // Frequency inversion: odd time samples of odd subbands change sign.
        if (sb & 1)
            for (int t = 1; t < 18; t += 2)
                out[t] = -out[t];
        for (int t = 0; t < 18; ++t)
            d->hybrid[ch][t][sb] = out[t];
    }
    d->overlapSubbands[ch] = subbands;
}

int HVSOUND_MPEG_DecodeLayer3(HVSOUND_MPEG_DECODER* d, const uint8_t* body, int bodyLength, void* destination,
                              int* pcmBytes)
{
    if (pcmBytes)
        *pcmBytes = 0;
    int channels = d->channels;
    int granules = d->lsf ? 1 : 2;
    bool ms = channels == 2 && d->mode == 1 && (d->modeExtension & 2);
    bool intensity = channels == 2 && d->mode == 1 && (d->modeExtension & 1);

    // Side information, from a padded copy.
    int crcBytes = d->protection ? 2 : 0;
    int sideBytes = d->lsf ? (channels == 1 ? 9 : 17) : (channels == 1 ? 17 : 32);
    if (bodyLength < crcBytes + sideBytes)
        return 0;
    uint8_t side[32 + HVSOUND_MPEG_BIT_PADDING] = {};
    std::memcpy(side, body + crcBytes, size_t(sideBytes));
    HVSOUND_MPEG_BitReader reader;
    reader.start(side, uint32_t(sideBytes) * 8);
    int result = d->lsf ? HVSOUND_MPEG_SideInfoLSF(d, reader) : HVSOUND_MPEG_SideInfo(d, reader);
    if (result <= 0)
        return result;

    // Main data: the kept tail of earlier main data, then this frame's.
    const uint8_t* previous = d->frameBuffers[d->activeBuffer];
    d->activeBuffer ^= 1;
    uint8_t* current = d->frameBuffers[d->activeBuffer];
    int keep = d->previousBodyLength >= 0 ? std::min(d->heldBytes, HVSOUND_MPEG_MAX_RESERVOIR) : 0;
    std::memmove(current, previous + d->heldBytes - keep, size_t(keep));
    int mainBytes = std::min(bodyLength - crcBytes - sideBytes, HVSOUND_MPEG_FRAME_BUFFER - keep);
    std::memcpy(current + keep, body + crcBytes + sideBytes, size_t(mainBytes));
    d->heldBytes = keep + mainBytes;
    std::memset(current + d->heldBytes, 0, HVSOUND_MPEG_BIT_PADDING);
    int mainDataBegin = d->side.mainDataBegin;
    // Main data that begins before what is kept (after a reset, or in a
    // damaged stream) cannot be decoded: the frame gives silence.
    bool missing = mainDataBegin > keep;
    d->bitPosition = missing ? 0 : uint32_t(keep - mainDataBegin) * 8;
    reader.start(current, uint32_t(d->heldBytes) * 8, d->bitPosition);

    auto* out = static_cast<int16_t*>(destination);
    for (int gr = 0; gr < granules; ++gr) {
        if (missing) {
            for (int ch = 0; ch < channels; ++ch) {
                std::memset(d->spectrum[ch], 0, sizeof(d->spectrum[ch]));
                d->nonzero[ch] = 0;
            }
        } else {
            for (int ch = 0; ch < channels; ++ch) {
                uint32_t start = reader.position;
                uint32_t end = start + uint32_t(d->side.granule[gr][ch].part23Length);
                if (d->lsf)
                    HVSOUND_MPEG_ScaleFactorsLSF(d, ch, ch == 1 && intensity, reader);
                else
                    HVSOUND_MPEG_ScaleFactors(d, gr, ch, reader);
                if (ch == 1 && ms)
                    HVSOUND_MPEG_DequantizeMS(d, gr, reader, end);
                else
                    HVSOUND_MPEG_Dequantize(d, gr, ch, ms, reader, end);
                reader.position = end;
            }
            if (intensity)
                HVSOUND_MPEG_IntensityStereo(d, gr, ms);
            if (ms || intensity)
                d->nonzero[0] = d->nonzero[1] = std::max(d->nonzero[0], d->nonzero[1]);
        }
        for (int ch = 0; ch < channels; ++ch)
            HVSOUND_MPEG_Hybrid(d, gr, ch);
        for (int t = 0; t < 18; ++t) {
            const float* subbands[2] = {d->hybrid[0][t], d->hybrid[1][t]};
            HVSOUND_MPEG_Synth(d->synth, &d->synthPosition, subbands, channels, out);
            out += 32 * channels;
        }
    }
    d->bitPosition = reader.position;
    if (pcmBytes)
        *pcmBytes = granules * channels * 1152;
    return 1;
}

void HVSOUND_MPEG_ResetLayer3(HVSOUND_MPEG_DECODER* d)
{
    std::memset(d->frameBuffers, 0, sizeof(d->frameBuffers));
    std::memset(d->overlap, 0, sizeof(d->overlap));
    std::memset(d->synth, 0, sizeof(d->synth));
    d->overlapSubbands[0] = d->overlapSubbands[1] = 0;
    d->heldBytes = 0;
    d->bitPosition = 0;
    d->previousBodyLength = -1;
}
