// TextureStage.cpp: stage 0 colour and alpha operations.
#include "platform/d3d9/TextureStage.h"

#include "platform/d3d9/ColourMath.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::d3d9 {
namespace {

bool readsTexture(DWORD arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE; }

} // namespace

TextureStage::Op TextureStage::decodeOp(DWORD op)
{
    switch (op) {
    case D3DTOP_SELECTARG1:
        return Op::Arg1;
    case D3DTOP_SELECTARG2:
        return Op::Arg2;
    case D3DTOP_MODULATE2X:
        return Op::Modulate2x;
    default:
        return Op::Modulate;  // MODULATE, and the operations this device does not offer
    }
}

TextureStage::TextureStage(const DrawState& state)
{
    m_passDiffuse = !state.texture || state.colourOp == D3DTOP_DISABLE;
    if (m_passDiffuse)
        return;
    m_colourOp = decodeOp(state.colourOp);
    m_colourTex1 = readsTexture(state.colourArg1);
    m_colourTex2 = readsTexture(state.colourArg2);
    if (state.alphaOp == D3DTOP_DISABLE) {
        m_alphaOp = Op::Arg1;  // the vertex alpha
    } else {
        m_alphaOp = decodeOp(state.alphaOp);
        m_alphaTex1 = readsTexture(state.alphaArg1);
        m_alphaTex2 = readsTexture(state.alphaArg2);
    }
    bool colourReads = (m_colourOp != Op::Arg2 && m_colourTex1) || (m_colourOp != Op::Arg1 && m_colourTex2);
    bool alphaReads = (m_alphaOp != Op::Arg2 && m_alphaTex1) || (m_alphaOp != Op::Arg1 && m_alphaTex2);
    m_samples = colourReads || alphaReads;
    m_standard = m_colourOp == Op::Modulate2x && m_colourTex1 != m_colourTex2 && m_alphaOp == Op::Modulate &&
                 m_alphaTex1 != m_alphaTex2;
}

uint32_t TextureStage::apply(Op op, uint32_t a, uint32_t b)
{
    switch (op) {
    case Op::Arg1:
        return a;
    case Op::Arg2:
        return b;
    case Op::Modulate:
        return mul255(a, b);
    case Op::Modulate2x:
        return mul128(a, b);
    }
    return a;
}

uint32_t TextureStage::combine(uint32_t texel, uint32_t diffuse) const
{
    if (m_passDiffuse)
        return diffuse;
    if (m_standard)
        return packArgb(mul255(channel(texel, 24), channel(diffuse, 24)), mul128(channel(texel, 16), channel(diffuse, 16)),
                        mul128(channel(texel, 8), channel(diffuse, 8)), mul128(channel(texel, 0), channel(diffuse, 0)));
    uint32_t c1 = m_colourTex1 ? texel : diffuse;
    uint32_t c2 = m_colourTex2 ? texel : diffuse;
    uint32_t a1 = m_alphaTex1 ? texel : diffuse;
    uint32_t a2 = m_alphaTex2 ? texel : diffuse;
    return packArgb(apply(m_alphaOp, channel(a1, 24), channel(a2, 24)),
                    apply(m_colourOp, channel(c1, 16), channel(c2, 16)),
                    apply(m_colourOp, channel(c1, 8), channel(c2, 8)),
                    apply(m_colourOp, channel(c1, 0), channel(c2, 0)));
}

const uint32_t* TextureStage::combineSpan(const uint32_t* texels, int step, uint32_t diffuse, uint32_t* out,
                                          int count) const
{
    if (m_standard) {
        if (diffuse == 0xFF808080u) {
            // 0x80 colour and opaque alpha leave texels unchanged.
            if (step == 1)
                return texels;
            for (int i = 0; i < count; ++i, texels += step)
                out[i] = *texels;
            return out;
        }
        uint32_t da = channel(diffuse, 24), dr = channel(diffuse, 16), dg = channel(diffuse, 8),
                 db = channel(diffuse, 0);
#if defined(__SSE2__)
    // Four pixels at a time; the scalar loop below finishes the rest.
        if (step == 1) {
            const __m128i zero = _mm_setzero_si128();
            const __m128i factors = _mm_set_epi16(short(da), short(dr), short(dg), short(db), short(da), short(dr),
                                                  short(dg), short(db));
            const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
            const __m128i c128 = _mm_set1_epi16(128);
            int i = 0;
            for (; i + 4 <= count; i += 4) {
                __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + i));
                auto half = [&](__m128i th) {
                    __m128i p = _mm_mullo_epi16(th, factors);
                    // Colour: p >> 7 (saturated by the pack); alpha: p / 255 rounded.
                    __m128i colour = _mm_srli_epi16(p, 7);
                    __m128i x = _mm_add_epi16(p, c128);
                    __m128i alpha = _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
                    return _mm_or_si128(_mm_and_si128(alphaLanes, alpha), _mm_andnot_si128(alphaLanes, colour));
                };
                __m128i lo = half(_mm_unpacklo_epi8(t, zero));
                __m128i hi = half(_mm_unpackhi_epi8(t, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
            }
            for (; i < count; ++i) {
                uint32_t tx = texels[i];
                out[i] = packArgb(mul255(channel(tx, 24), da), mul128(channel(tx, 16), dr), mul128(channel(tx, 8), dg),
                                  mul128(channel(tx, 0), db));
            }
            return out;
        }
#endif
        for (int i = 0; i < count; ++i, texels += step) {
            uint32_t t = *texels;
            out[i] = packArgb(mul255(channel(t, 24), da), mul128(channel(t, 16), dr), mul128(channel(t, 8), dg),
                              mul128(channel(t, 0), db));
        }
        return out;
    }
    for (int i = 0; i < count; ++i, texels += step)
        out[i] = combine(*texels, diffuse);
    return out;
}

} // namespace platform::d3d9
