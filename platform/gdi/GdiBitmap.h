// GdiBitmap.h: the object behind a bitmap handle: a DIB section or a
// compatible bitmap, 32 bits per pixel, with its pixels in memory it owns.
#pragma once

#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PixelSurface.h"

#include <memory>
#include <vector>

namespace platform {

class DeviceContext;

class GdiBitmap final : public GdiObject {
public:
    // A 32-bit bitmap; null when the size is not positive or too large.
    // topDown false lays the bottom row first in memory, as a positive
    // biHeight asks of a DIB section.
    static std::shared_ptr<GdiBitmap> create(int width, int height, bool topDown, bool dibSection);
    // The 1 x 1 monochrome bitmap that a new memory device context holds; it has no pixels to draw into.
    static std::shared_ptr<GdiBitmap> createPlaceholder();

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    bool isDibSection() const { return m_dib; }
    bool isTopDown() const { return m_topDown; }
    // The pixel memory as laid out (for a bottom-up bitmap, the bottom row first).
    void* bits() { return m_pixels.empty() ? nullptr : m_pixels.data(); }
    // The pixels to draw into; invalid for the placeholder.
    PixelSurface surface();

    // Fills BITMAP or, for a DIB section and a big enough buffer, DIBSECTION;
    // returns the bytes written, or the size needed when `out` is null.
    int describe(int size, void* out);

    // The device context the bitmap is selected into, if any (a bitmap can be
    // selected into one context at a time).
    DeviceContext* selectedIn = nullptr;

private:
    GdiBitmap() : GdiObject(OBJ_BITMAP) {}

    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 32;
    bool m_dib = false;
    bool m_topDown = true;
    std::vector<uint32_t> m_pixels;
};

} // namespace platform
