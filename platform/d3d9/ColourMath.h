// ColourMath.h: byte arithmetic on 0xAARRGGBB colours shared by the texture
// stage and the output merger.
#pragma once

#include <cstdint>

namespace platform::d3d9 {

// a * b / 255 rounded to nearest, exact for bytes (255 is an identity).
inline uint32_t mul255(uint32_t a, uint32_t b)
{
    uint32_t x = a * b + 128;
    return (x + (x >> 8)) >> 8;
}

// a * b / 128 capped at 255: a modulation in which 0x80 is an exact identity.
inline uint32_t mul128(uint32_t a, uint32_t b)
{
    uint32_t x = (a * b) >> 7;
    return x > 255 ? 255 : x;
}

inline uint32_t channel(uint32_t colour, int shift) { return (colour >> shift) & 0xFF; }

inline uint32_t packArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

} // namespace platform::d3d9
