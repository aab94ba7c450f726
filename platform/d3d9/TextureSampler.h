// TextureSampler.h: reads a texture at texel-space coordinates with point or
// bilinear filtering and clamped or wrapped addressing. Texel (i, j) has its
// centre at (i, j); a texture coordinate u maps to u * width - 0.5.
#pragma once

#include "platform/d3d9/D3D9Types.h"

#include <cstdint>

namespace platform::d3d9 {

class PixelBuffer;

class TextureSampler {
public:
    TextureSampler(const PixelBuffer& texture, DWORD filter, DWORD addressU, DWORD addressV);

    uint32_t sample(float x, float y) const;
    // The texel at (i, j) after addressing.
    uint32_t texel(int i, int j) const;

    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    static int address(int i, int size, bool wrap);

    const PixelBuffer& m_texture;
    int m_width;
    int m_height;
    bool m_linear;
    bool m_wrapU;
    bool m_wrapV;
};

} // namespace platform::d3d9
