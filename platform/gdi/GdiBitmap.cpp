// GdiBitmap.cpp: bitmap memory and its description for GetObjectA.
#include "platform/gdi/GdiBitmap.h"

#include <cstring>
#include <new>

namespace platform {

namespace {
// Bitmaps above 1 GiB of pixels are refused: no picture of the engine comes
// near it, and a corrupt size must not exhaust memory.
const int64_t kMaxBitmapBytes = int64_t(1) << 30;
} // namespace

std::shared_ptr<GdiBitmap> GdiBitmap::create(int width, int height, bool topDown, bool dibSection)
{
    if (width <= 0 || height <= 0 || int64_t(width) * height * 4 > kMaxBitmapBytes)
        return nullptr;
    std::shared_ptr<GdiBitmap> bitmap(new GdiBitmap);
    try {
        bitmap->m_pixels.assign(static_cast<size_t>(width) * height, 0u);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    bitmap->m_width = width;
    bitmap->m_height = height;
    bitmap->m_topDown = topDown;
    bitmap->m_dib = dibSection;
    return bitmap;
}

std::shared_ptr<GdiBitmap> GdiBitmap::createPlaceholder()
{
    std::shared_ptr<GdiBitmap> bitmap(new GdiBitmap);
    bitmap->m_width = 1;
    bitmap->m_height = 1;
    bitmap->m_bitsPerPixel = 1;
    return bitmap;
}

PixelSurface GdiBitmap::surface()
{
    PixelSurface s;
    if (m_pixels.empty())
        return s;
    s.width = m_width;
    s.height = m_height;
    if (m_topDown) {
        s.top = m_pixels.data();
        s.stride = m_width;
    } else {
        s.top = m_pixels.data() + static_cast<size_t>(m_height - 1) * m_width;
        s.stride = -static_cast<ptrdiff_t>(m_width);
    }
    return s;
}

int GdiBitmap::describe(int size, void* out)
{
    BITMAP bm{};
    bm.bmType = 0;
    bm.bmWidth = m_width;
    bm.bmHeight = m_height;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(m_bitsPerPixel);
    // Rows of a bitmap are padded to 2 bytes, those of a DIB section to 4; 32-bit rows need neither.
    bm.bmWidthBytes = m_bitsPerPixel == 32 ? m_width * 4 : ((m_width + 15) / 16) * 2;
    bm.bmBits = m_dib ? bits() : nullptr;
    if (m_dib && (out == nullptr || size >= static_cast<int>(sizeof(DIBSECTION)))) {
        if (out == nullptr)
            return sizeof(DIBSECTION);
        DIBSECTION ds{};
        ds.dsBm = bm;
        ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
        ds.dsBmih.biWidth = m_width;
        ds.dsBmih.biHeight = m_topDown ? -m_height : m_height;
        ds.dsBmih.biPlanes = 1;
        ds.dsBmih.biBitCount = 32;
        ds.dsBmih.biCompression = BI_RGB;
        ds.dsBmih.biSizeImage = static_cast<DWORD>(m_width) * m_height * 4;
        std::memcpy(out, &ds, sizeof ds);
        return sizeof(DIBSECTION);
    }
    if (out == nullptr)
        return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    std::memcpy(out, &bm, sizeof bm);
    return sizeof(BITMAP);
}

} // namespace platform
