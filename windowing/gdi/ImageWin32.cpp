// ImageWin32.cpp: the DIB section of an image and its memory device context.
#include "windowing/gdi/ImageWin32.h"

#include "platform/gdi/GdiObjects.h"
#include "platform/user/Window.h"

#include <cstdlib>
#include <cstring>

namespace window {

ImageWin32::ImageWin32() : m_pMemDC(nullptr), m_hBitmap(nullptr), m_hOldBitmap(nullptr) {}

ImageWin32::ImageWin32(const lang::String& name) : ImageWin32()
{
    m_name = name;
    load();
}

ImageWin32::ImageWin32(const unsigned char* bytes, int length) : ImageWin32()
{
    decode(bytes, length);
}

ImageWin32::ImageWin32(int width, int height, int fillMode, bool noBuffer) : ImageWin32()
{
    create(width, height, fillMode, noBuffer);
}

ImageWin32::~ImageWin32()
{
    releaseSurface();
}

void ImageWin32::syncSize()
{
    if (m_hBitmap == nullptr)
        return;
    BITMAP bm;
    if (GetObjectA(m_hBitmap, sizeof bm, &bm) != 0) {
        m_nWidth = bm.bmWidth;
        m_nHeight = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    }
}

void ImageWin32::createSurface()
{
    if (m_hBitmap != nullptr || !isAcceptedSize(m_nWidth, m_nHeight))
        return;
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = m_nWidth;
    info.bmiHeader.biHeight = -m_nHeight; // rows top-down, as the image keeps them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = DWORD(m_nWidth) * DWORD(m_nHeight) * 4;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        return;
    }
    m_hBitmap = bitmap;
    if (m_pPixels != nullptr) {
        const int pitch = getPitch();
        for (int y = 0; y < m_nHeight; ++y)
            std::memcpy(static_cast<unsigned char*>(bits) + size_t(y) * size_t(pitch),
                        reinterpret_cast<unsigned char*>(m_pPixels) + size_t(y) * size_t(pitch), size_t(pitch));
        std::free(m_pPixels);
    }
    m_pPixels = static_cast<uint32_t*>(bits);
}

void ImageWin32::releaseSurface()
{
    if (m_hBitmap != nullptr) {
        if (m_pMemDC != nullptr && m_hOldBitmap != nullptr)
            SelectObject(m_pMemDC->getDC(), m_hOldBitmap);
        // The pixels were the section's own bits.
        if (m_pPixels != nullptr)
            m_pPixels = nullptr;
    }
    if (m_pMemDC != nullptr) {
        m_pMemDC->release();
        m_pMemDC = nullptr;
    }
    if (m_hBitmap != nullptr) {
        DeleteObject(m_hBitmap);
        m_hBitmap = nullptr;
    }
    m_hOldBitmap = nullptr;
}

void ImageWin32::freePixels()
{
    releaseSurface();
    ImageBase::freePixels();
}

Graphics* ImageWin32::getGraphics()
{
    return nullptr;
}

bool ImageWin32::hasSurface()
{
    return m_hBitmap != nullptr;
}

ImageWin32* ImageWin32::clone()
{
    ImageWin32* copy = new ImageWin32(m_nWidth, m_nHeight, 2, hasSurface());
    copyInto(copy);
    return copy;
}

CDCWin32* ImageWin32::getDC()
{
    if (m_pMemDC != nullptr)
        return m_pMemDC;
    createSurface();
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr)
        return nullptr;
    if (m_hBitmap != nullptr)
        m_hOldBitmap = static_cast<HBITMAP>(SelectObject(dc, m_hBitmap));
    m_pMemDC = new CDCWin32(dc, nullptr);
    return m_pMemDC;
}

CDCWin32* ImageWin32::selectInto(CDCWin32* dc)
{
    if (m_pMemDC != nullptr)
        return m_pMemDC;
    if (dc == nullptr)
        return nullptr;
    createSurface();
    if (m_hBitmap != nullptr)
        SelectObject(dc->getDC(), m_hBitmap);
    return dc;
}

} // namespace window
