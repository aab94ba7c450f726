// PixelBuffer.cpp: surface memory.
#include "platform/d3d9/PixelBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::d3d9 {
namespace {

// Rows are rounded up to 64 bytes and given 64 more, so that the pitch never
// equals width * 4 and code that ignores the pitch shows up at once.
UINT paddedPitchPixels(UINT width) { return ((width * 4 + 63) / 64 * 64 + 64) / 4; }

// Sets `count` words to `value`, four at a time where the processor has
// 16-byte stores (the compiler leaves a plain fill loop word by word here).
void fillWords(uint32_t* to, size_t count, uint32_t value)
{
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(int(value));
    for (; count >= 4; count -= 4, to += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), four);
#endif
    std::fill(to, to + count, value);
}

} // namespace

size_t PixelBuffer::byteSize(UINT width, UINT height, D3DFORMAT format)
{
    if (isColourFormat(format))
        return size_t(paddedPitchPixels(width)) * 4 * height;
    if (format == D3DFMT_D24S8)
        return size_t(width) * height;
    return 0;
}

PixelBuffer::PixelBuffer(UINT width, UINT height, D3DFORMAT format)
    : m_width(width), m_height(height), m_format(format)
{
    if (isColourFormat(format)) {
        m_pitch = paddedPitchPixels(width);
        const size_t words = size_t(m_pitch) * height;
        m_pixels.reset(static_cast<uint32_t*>(std::calloc(words, 4)));
        if (!m_pixels)
            throw std::bad_alloc();
        if (format == D3DFMT_X8R8G8B8)
            fillWords(m_pixels.get(), words, 0xFF000000u);
    } else if (format == D3DFMT_D24S8) {
        m_stencil.assign(size_t(width) * height, 0);
    }
}

void PixelBuffer::fill(const RECT& rect, uint32_t colour)
{
    if (!m_pixels)
        return;
    m_opacity = Opacity::Unknown;
    if (m_format == D3DFMT_X8R8G8B8)
        colour |= 0xFF000000u;
    for (LONG y = rect.top; y < rect.bottom; ++y)
        fillWords(row(UINT(y)) + rect.left, size_t(rect.right - rect.left), colour);
}

void PixelBuffer::fillLater(uint32_t colour)
{
    if (!m_pixels)
        return;
    if (m_format == D3DFMT_X8R8G8B8)
        colour |= 0xFF000000u;
    m_opacity = Opacity::Unknown;
    m_pending.assign(m_height, 1);
    m_pendingRows = m_height;
    m_pendingColour = colour;
}

void PixelBuffer::settleRow(UINT y) const
{
    if (!m_pending[y])
        return;
    m_pending[y] = 0;
    --m_pendingRows;
    fillWords(m_pixels.get() + size_t(y) * m_pitch, m_width, m_pendingColour);
}

void PixelBuffer::settleRows() const
{
    for (UINT y = 0; y < m_height && m_pendingRows; ++y)
        settleRow(y);
}

PixelBuffer::Opacity PixelBuffer::findOpacity() const
{
    if (!m_pixels)
        return Opacity::Translucent;
    const uint32_t* rows = pixels();
    for (UINT y = 0; y < m_height; ++y) {
        const uint32_t* p = rows + size_t(y) * m_pitch;
        UINT x = 0;
        uint32_t all = 0xFF000000u;
#if defined(__SSE2__)
        // The pixels of a row ANDed together, four at a time.
        __m128i four = _mm_set1_epi32(-1);
        for (; x + 4 <= m_width; x += 4)
            four = _mm_and_si128(four, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x)));
        four = _mm_and_si128(four, _mm_srli_si128(four, 8));
        four = _mm_and_si128(four, _mm_srli_si128(four, 4));
        all &= uint32_t(_mm_cvtsi128_si32(four));
#endif
        for (; x < m_width; ++x)
            all &= p[x];
        if ((all >> 24) != 0xFF)
            return Opacity::Translucent;
    }
    return Opacity::Opaque;
}

void PixelBuffer::fillStencil(const RECT& rect, uint8_t value)
{
    if (m_stencil.empty())
        return;
    LONG right = std::min<LONG>(rect.right, LONG(m_width));
    LONG bottom = std::min<LONG>(rect.bottom, LONG(m_height));
    for (LONG y = rect.top; y < bottom; ++y)
        if (right > rect.left)
            std::memset(stencilRow(UINT(y)) + rect.left, value, size_t(right - rect.left));
}

} // namespace platform::d3d9
