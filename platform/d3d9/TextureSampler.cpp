// TextureSampler.cpp: point and bilinear sampling.
#include "platform/d3d9/TextureSampler.h"

#include "platform/d3d9/PixelBuffer.h"


namespace platform::d3d9 {
namespace {

// Coordinates beyond this are pinned; it keeps the fixed-point steps in range.
constexpr float kCoordinateLimit = 1.0e6f;

float pin(float value)
{
    if (!(value > -kCoordinateLimit))  // also NaN
        return -kCoordinateLimit;
    return value < kCoordinateLimit ? value : kCoordinateLimit;
}

// value * 256 rounded to nearest (halves up) and offset by 2^30 so that it is
// positive: a conversion that truncates is then a floor, with no library call.
constexpr double kBias = 1073741824.0;
constexpr int kBiasTexels = 1 << 22;  // kBias / 256

inline int64_t biasedFixed(float value) { return int64_t(double(value) * 256.0 + (0.5 + kBias)); }
inline int nearestTexel(float value) { return int(int64_t(double(value) + (0.5 + kBias)) - int64_t(kBias)); }

// a + (b - a) * w / 256 in every channel, rounded; two channels at a time in
// 16-bit lanes (255 * 256 + 128 fits).
inline uint32_t lerp(uint32_t a, uint32_t b, uint32_t w)
{
    uint32_t iw = 256 - w;
    uint32_t rb = (((a & 0xFF00FFu) * iw + (b & 0xFF00FFu) * w + 0x800080u) >> 8) & 0xFF00FFu;
    uint32_t ag = (((a >> 8) & 0xFF00FFu) * iw + ((b >> 8) & 0xFF00FFu) * w + 0x800080u) & 0xFF00FF00u;
    return rb | ag;
}

} // namespace

TextureSampler::TextureSampler(const PixelBuffer& texture, DWORD filter, DWORD addressU, DWORD addressV)
    : m_texture(texture), m_width(int(texture.width())), m_height(int(texture.height())),
      m_linear(filter == D3DTEXF_LINEAR), m_wrapU(addressU == D3DTADDRESS_WRAP), m_wrapV(addressV == D3DTADDRESS_WRAP)
{
}

int TextureSampler::address(int i, int size, bool wrap)
{
    if (wrap) {
        i %= size;
        return i < 0 ? i + size : i;
    }
    return i < 0 ? 0 : (i >= size ? size - 1 : i);
}

uint32_t TextureSampler::texel(int i, int j) const
{
    return m_texture.row(UINT(address(j, m_height, m_wrapV)))[address(i, m_width, m_wrapU)];
}

uint32_t TextureSampler::sample(float x, float y) const
{
    x = pin(x);
    y = pin(y);
    if (!m_linear)
        return texel(nearestTexel(x), nearestTexel(y));

    // Weights in 1/256 steps; a position within 1/512 of a texel centre reads
    // that texel alone, which keeps texel-aligned quads exact.
    int64_t bx = biasedFixed(x), by = biasedFixed(y);
    int i = int(bx >> 8) - kBiasTexels, j = int(by >> 8) - kBiasTexels;
    uint32_t fx = uint32_t(bx & 255), fy = uint32_t(by & 255);
    uint32_t c00, c10, c01, c11;
    if (unsigned(i) < unsigned(m_width - 1) && unsigned(j) < unsigned(m_height - 1)) {
        // All four texels inside: no addressing needed.
        const uint32_t* p = m_texture.row(UINT(j)) + i;
        int pitch = m_texture.pitchPixels();
        c00 = p[0];
        c10 = p[1];
        c01 = p[pitch];
        c11 = p[pitch + 1];
    } else {
        c00 = texel(i, j);
        c10 = texel(i + 1, j);
        c01 = texel(i, j + 1);
        c11 = texel(i + 1, j + 1);
    }
    if (fx == 0 && fy == 0)
        return c00;
    uint32_t top = lerp(c00, c10, fx);
    if (fy == 0)
        return top;
    return lerp(top, lerp(c01, c11, fx), fy);
}

} // namespace platform::d3d9
