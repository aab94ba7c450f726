// PixelBuffer.h: the memory of a surface: 32-bit 0xAARRGGBB words in rows with
// a padded pitch for the colour formats, or stencil bytes for a depth-stencil
// format. New buffers are transparent black (opaque black without alpha). A
// fill of the whole buffer may be put off and written row by row as drawing
// first reaches each row, while the row is about to be in the cache anyway.
#pragma once

#include "platform/d3d9/D3D9Types.h"

#include <cstdint>
#include <vector>

namespace platform::d3d9 {

class PixelBuffer {
public:
    // Largest side of any buffer; keeps sizes far from overflow.
    static constexpr UINT kMaxSide = 16384;

    static bool isColourFormat(D3DFORMAT format) { return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8; }
    static bool isDepthFormat(D3DFORMAT format) { return format == D3DFMT_D24S8 || format == D3DFMT_D16; }
    // Bytes a buffer of this size and format occupies.
    static size_t byteSize(UINT width, UINT height, D3DFORMAT format);

    PixelBuffer(UINT width, UINT height, D3DFORMAT format);

    UINT width() const { return m_width; }
    UINT height() const { return m_height; }
    D3DFORMAT format() const { return m_format; }
    bool hasAlpha() const { return m_format == D3DFMT_A8R8G8B8; }
    bool hasStencil() const { return m_format == D3DFMT_D24S8; }

    // Colour rows: the pitch is padded beyond width * 4 bytes. Every access
    // but drawRow's writes a fill put off first, so callers may walk from
    // one row to the next.
    int pitchBytes() const { return static_cast<int>(m_pitch * 4); }
    int pitchPixels() const { return static_cast<int>(m_pitch); }
    uint32_t* row(UINT y) { return pixels() + size_t(y) * m_pitch; }
    const uint32_t* row(UINT y) const { return pixels() + size_t(y) * m_pitch; }
    uint32_t* pixels()
    {
        settleAll();
        return m_pixels.data();
    }
    const uint32_t* pixels() const
    {
        settleAll();
        return m_pixels.data();
    }
    // Row y for drawing on it alone: of a fill put off, only this row is written.
    uint32_t* drawRow(UINT y)
    {
        if (m_pendingRows)
            settleRow(y);
        return m_pixels.data() + size_t(y) * m_pitch;
    }

    // Stencil rows of a D24S8 buffer (one byte per pixel, pitch = width).
    uint8_t* stencilRow(UINT y) { return m_stencil.data() + size_t(y) * m_width; }
    const uint8_t* stencilRow(UINT y) const { return m_stencil.data() + size_t(y) * m_width; }

    // Fills the rectangle [left, right) x [top, bottom), already inside the buffer.
    void fill(const RECT& rect, uint32_t colour);
    // fill() of the whole buffer, put off until its rows are next used.
    void fillLater(uint32_t colour);
    void fillStencil(const RECT& rect, uint8_t value);

private:
    void settleAll() const
    {
        if (m_pendingRows)
            settleRows();
    }
    void settleRows() const;
    void settleRow(UINT y) const;

    UINT m_width;
    UINT m_height;
    D3DFORMAT m_format;
    UINT m_pitch = 0;  // in pixels
    // Mutable: writing a fill that was put off leaves the contents as seen unchanged.
    mutable std::vector<uint32_t> m_pixels;
    std::vector<uint8_t> m_stencil;
    // The rows a fill put off has yet to be written to (one flag per row), and its colour.
    mutable std::vector<uint8_t> m_pending;
    mutable UINT m_pendingRows = 0;
    uint32_t m_pendingColour = 0;
};

} // namespace platform::d3d9
