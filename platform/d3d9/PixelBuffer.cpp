// PixelBuffer.cpp: surface memory.
#include "platform/d3d9/PixelBuffer.h"

#include <algorithm>
#include <cstring>
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
        m_pixels.assign(size_t(m_pitch) * height, format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u);
    } else if (format == D3DFMT_D24S8) {
        m_stencil.assign(size_t(width) * height, 0);
    }
}

void PixelBuffer::fill(const RECT& rect, uint32_t colour)
{
    if (m_pixels.empty())
        return;
    if (m_format == D3DFMT_X8R8G8B8)
        colour |= 0xFF000000u;
    for (LONG y = rect.top; y < rect.bottom; ++y)
        fillWords(row(UINT(y)) + rect.left, size_t(rect.right - rect.left), colour);
}

void PixelBuffer::fillLater(uint32_t colour)
{
    if (m_pixels.empty())
        return;
    if (m_format == D3DFMT_X8R8G8B8)
        colour |= 0xFF000000u;
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
    fillWords(m_pixels.data() + size_t(y) * m_pitch, m_width, m_pendingColour);
}

void PixelBuffer::settleRows() const
{
    for (UINT y = 0; y < m_height && m_pendingRows; ++y)
        settleRow(y);
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
