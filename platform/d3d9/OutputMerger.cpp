// OutputMerger.cpp: alpha test, stencil and blending over spans of pixels.
#include "platform/d3d9/OutputMerger.h"

#include "platform/d3d9/ColourMath.h"
#include "platform/d3d9/PixelBuffer.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::d3d9 {

OutputMerger::OutputMerger(const DrawState& state) : m_state(state)
{
    m_alphaOr = state.target->hasAlpha() ? 0u : 0xFF000000u;
    m_stencilRefMasked = state.stencilRef & state.stencilMask & 0xFF;
    bool stencil = state.stencilEnable && state.stencil != nullptr;
    if (stencil) {
        m_stencilWidth = int(state.stencil->width());
        m_stencilHeight = int(state.stencil->height());
    }
    // An always-passing alpha test needs no work.
    bool alphaTest = state.alphaTest && state.alphaFunc != D3DCMP_ALWAYS;

    Blend mode = Blend::Replace;
    if (state.blendEnable) {
        if (state.srcBlend == D3DBLEND_SRCALPHA && state.destBlend == D3DBLEND_INVSRCALPHA)
            mode = Blend::AlphaOver;
        else if (state.srcBlend == D3DBLEND_SRCALPHA && state.destBlend == D3DBLEND_ONE)
            mode = Blend::AlphaAdd;
        else if (state.srcBlend == D3DBLEND_ONE && state.destBlend == D3DBLEND_ZERO)
            mode = Blend::Replace;
        else if (state.srcBlend == D3DBLEND_ZERO && state.destBlend == D3DBLEND_ONE)
            mode = Blend::KeepTarget;
        else
            mode = Blend::Generic;
    }
    if (alphaTest)
        m_span = stencil ? pick<true, true>(mode) : pick<true, false>(mode);
    else
        m_span = stencil ? pick<false, true>(mode) : pick<false, false>(mode);
}

template <bool AlphaTest, bool Stencil>
OutputMerger::SpanFunction OutputMerger::pick(Blend mode)
{
    switch (mode) {
    case Blend::Replace:
        return &OutputMerger::span<AlphaTest, Stencil, Blend::Replace>;
    case Blend::AlphaOver:
        return &OutputMerger::span<AlphaTest, Stencil, Blend::AlphaOver>;
    case Blend::AlphaAdd:
        return &OutputMerger::span<AlphaTest, Stencil, Blend::AlphaAdd>;
    case Blend::KeepTarget:
        return &OutputMerger::span<AlphaTest, Stencil, Blend::KeepTarget>;
    case Blend::Generic:
        break;
    }
    return &OutputMerger::span<AlphaTest, Stencil, Blend::Generic>;
}

bool OutputMerger::compare(DWORD func, uint32_t a, uint32_t b)
{
    switch (func) {
    case D3DCMP_NEVER:
        return false;
    case D3DCMP_LESS:
        return a < b;
    case D3DCMP_EQUAL:
        return a == b;
    case D3DCMP_LESSEQUAL:
        return a <= b;
    case D3DCMP_GREATER:
        return a > b;
    case D3DCMP_NOTEQUAL:
        return a != b;
    case D3DCMP_GREATEREQUAL:
        return a >= b;
    default:
        return true;
    }
}

uint8_t OutputMerger::stencilOperation(DWORD op, uint8_t value, uint8_t ref)
{
    switch (op) {
    case D3DSTENCILOP_ZERO:
        return 0;
    case D3DSTENCILOP_REPLACE:
        return ref;
    case D3DSTENCILOP_INCRSAT:
        return value == 255 ? 255 : uint8_t(value + 1);
    case D3DSTENCILOP_DECRSAT:
        return value == 0 ? 0 : uint8_t(value - 1);
    case D3DSTENCILOP_INVERT:
        return uint8_t(~value);
    case D3DSTENCILOP_INCR:
        return uint8_t(value + 1);
    case D3DSTENCILOP_DECR:
        return uint8_t(value - 1);
    default:
        return value;
    }
}

bool OutputMerger::stencilPasses(uint8_t& value) const
{
    // The reference is compared with the stored value, both masked.
    bool pass = compare(m_state.stencilFunc, m_stencilRefMasked, value & m_state.stencilMask & 0xFF);
    DWORD op = pass ? m_state.stencilPass : m_state.stencilFail;
    if (op != D3DSTENCILOP_KEEP) {
        uint8_t changed = stencilOperation(op, value, uint8_t(m_state.stencilRef));
        uint8_t writeMask = uint8_t(m_state.stencilWriteMask);
        value = uint8_t((value & ~writeMask) | (changed & writeMask));
    }
    return pass;
}

uint32_t OutputMerger::factor(DWORD blend, int shift, uint32_t src, uint32_t dst)
{
    switch (blend) {
    case D3DBLEND_ZERO:
        return 0;
    case D3DBLEND_ONE:
        return 255;
    case D3DBLEND_SRCCOLOR:
        return channel(src, shift);
    case D3DBLEND_INVSRCCOLOR:
        return 255 - channel(src, shift);
    case D3DBLEND_SRCALPHA:
        return src >> 24;
    case D3DBLEND_INVSRCALPHA:
        return 255 - (src >> 24);
    case D3DBLEND_DESTALPHA:
        return dst >> 24;
    case D3DBLEND_INVDESTALPHA:
        return 255 - (dst >> 24);
    case D3DBLEND_DESTCOLOR:
        return channel(dst, shift);
    case D3DBLEND_INVDESTCOLOR:
        return 255 - channel(dst, shift);
    default:
        return 255;
    }
}

uint32_t OutputMerger::blendGeneric(uint32_t src, uint32_t dst) const
{
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t value = channel(src, shift) * factor(m_state.srcBlend, shift, src, dst) +
                         channel(dst, shift) * factor(m_state.destBlend, shift, src, dst);
        value = (value + 127) / 255;
        result |= std::min(value, 255u) << shift;
    }
    return result;
}

template <bool AlphaTest, bool Stencil, OutputMerger::Blend Mode>
void OutputMerger::span(int x, int y, int count, const uint32_t* colours, int step)
{
    uint32_t* target = m_state.target->drawRow(UINT(y)) + x;
    if (!AlphaTest && !Stencil && Mode == Blend::Replace && step == 0) {
        std::fill(target, target + count, *colours | m_alphaOr);
        return;
    }
#if defined(__SSE2__)
    // Four pixels at a time; the scalar loop below finishes the rest.
    if (!AlphaTest && !Stencil && Mode == Blend::AlphaOver && step == 1) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i c255 = _mm_set1_epi16(255);
        const __m128i c128 = _mm_set1_epi16(128);
        const __m128i alphaOr = _mm_set1_epi32(int(m_alphaOr));
        int i = 0;
        for (; i + 4 <= count; i += 4) {
            __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colours + i));
            __m128i a32 = _mm_srli_epi32(s, 24);
            int opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(a32, _mm_set1_epi32(255)));
            if (opaque == 0xFFFF) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i), s);
                continue;
            }
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(a32, zero)) == 0xFFFF)
                continue;
            __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + i));
            auto half = [&](__m128i sh, __m128i dh) {
                __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sh, 0xFF), 0xFF);
                __m128i ia = _mm_sub_epi16(c255, a);
                __m128i t = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(sh, a), _mm_mullo_epi16(dh, ia)), c128);
                return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
            };
            __m128i lo = half(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
            __m128i hi = half(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i), _mm_or_si128(_mm_packus_epi16(lo, hi), alphaOr));
        }
        colours += i;
        target += i;
        count -= i;
    }
#endif
    uint8_t* stencil = nullptr;
    int stencilEnd = 0;
    if (Stencil && y < m_stencilHeight) {
        // Pixels beyond a smaller depth-stencil buffer pass and write nothing.
        stencil = m_state.stencil->stencilRow(UINT(y)) + x;
        stencilEnd = std::max(0, std::min(count, m_stencilWidth - x));
    }
    for (int i = 0; i < count; ++i, colours += step) {
        uint32_t src = *colours;
        if (AlphaTest && !compare(m_state.alphaFunc, src >> 24, m_state.alphaRef & 0xFF))
            continue;
        if (Stencil && i < stencilEnd && !stencilPasses(stencil[i]))
            continue;
        uint32_t& dst = target[i];
        switch (Mode) {
        case Blend::Replace:
            dst = src | m_alphaOr;
            break;
        case Blend::KeepTarget:
            break;
        case Blend::AlphaOver: {
            uint32_t a = src >> 24;
            if (a == 255) {
                dst = src;
            } else if (a != 0) {
                // src * a + dst * (255 - a), divided by 255 and rounded, two
                // channels at a time in 16-bit lanes (255 * 255 + 383 fits).
                uint32_t ia = 255 - a;
                uint32_t d = dst;
                uint32_t rb = (src & 0xFF00FFu) * a + (d & 0xFF00FFu) * ia + 0x800080u;
                rb = ((rb + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
                uint32_t ag = ((src >> 8) & 0xFF00FFu) * a + ((d >> 8) & 0xFF00FFu) * ia + 0x800080u;
                ag = (ag + ((ag >> 8) & 0xFF00FFu)) & 0xFF00FF00u;
                dst = rb | ag | m_alphaOr;
            }
            break;
        }
        case Blend::AlphaAdd: {
            uint32_t a = src >> 24;
            if (a != 0) {
                uint32_t d = dst;
                uint32_t result = 0;
                for (int shift = 0; shift < 32; shift += 8)
                    result |= std::min(255u, channel(d, shift) + mul255(channel(src, shift), a)) << shift;
                dst = result | m_alphaOr;
            }
            break;
        }
        case Blend::Generic:
            dst = blendGeneric(src, dst) | m_alphaOr;
            break;
        }
    }
}

} // namespace platform::d3d9
