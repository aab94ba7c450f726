// PixelBuffer.h: the memory of a surface: 32-bit 0xAARRGGBB words in rows with
// a padded pitch for the colour formats, or stencil bytes for a depth-stencil
// format. New buffers are transparent black (opaque black without alpha).
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

    // Colour rows: the pitch is padded beyond width * 4 bytes.
    int pitchBytes() const { return static_cast<int>(m_pitch * 4); }
    int pitchPixels() const { return static_cast<int>(m_pitch); }
    uint32_t* row(UINT y) { return m_pixels.data() + size_t(y) * m_pitch; }
    const uint32_t* row(UINT y) const { return m_pixels.data() + size_t(y) * m_pitch; }
    uint32_t* pixels() { return m_pixels.data(); }
    const uint32_t* pixels() const { return m_pixels.data(); }

    // Stencil rows of a D24S8 buffer (one byte per pixel, pitch = width).
    uint8_t* stencilRow(UINT y) { return m_stencil.data() + size_t(y) * m_width; }
    const uint8_t* stencilRow(UINT y) const { return m_stencil.data() + size_t(y) * m_width; }

    // Fills the rectangle [left, right) x [top, bottom), already inside the buffer.
    void fill(const RECT& rect, uint32_t colour);
    void fillStencil(const RECT& rect, uint8_t value);

private:
    UINT m_width;
    UINT m_height;
    D3DFORMAT m_format;
    UINT m_pitch = 0;  // in pixels
    std::vector<uint32_t> m_pixels;
    std::vector<uint8_t> m_stencil;
};

} // namespace platform::d3d9
