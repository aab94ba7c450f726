// PixelSurface.h: a view of 32-bit pixels (0xAARRGGBB words) that drawing
// writes into, whichever way round the rows lie in memory.
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstddef>
#include <cstdint>

namespace platform {

struct PixelSurface {
    uint32_t* top = nullptr; // the first pixel of the top row
    int width = 0;
    int height = 0;
    ptrdiff_t stride = 0; // pixels from one row to the next one down (negative for bottom-up memory)

    bool valid() const { return top != nullptr && width > 0 && height > 0; }
    uint32_t* row(int y) const { return top + static_cast<ptrdiff_t>(y) * stride; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// A GDI colour as a pixel: red and blue change places and the alpha byte is 0,
// as GDI leaves it in every pixel it draws.
inline uint32_t colorToPixel(COLORREF c)
{
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

inline COLORREF pixelToColor(uint32_t p)
{
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

} // namespace platform
