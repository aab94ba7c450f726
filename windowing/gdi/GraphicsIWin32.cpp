// GraphicsIWin32.cpp: drawing into an image with GDI and software pixel work.
#include "windowing/gdi/GraphicsIWin32.h"

#include "core/util/Region.h"
#include "platform/gdi/Gdi.h"
#include "windowing/gdi/FancyHelper.h"
#include "windowing/gdi/ImageWin32.h"

#include <algorithm>
#include <cstring>

namespace window {

GraphicsIWin32::GraphicsIWin32(ImageWin32* target, FancyHelper* fancyHelper)
    : GraphicsWWin32(nullptr), GraphicsIMixin(target, fancyHelper)
{
}

GraphicsIWin32::~GraphicsIWin32()
{
    // The context is the target's: restore it while the target is still held.
    dispose();
}

void GraphicsIWin32::prepareDC()
{
    if (m_pDC != nullptr || m_pTarget == nullptr)
        return;
    CDCWin32* dc = m_pTarget->getDC();
    if (dc == nullptr)
        return;
    attachContext(dc);
    // The GDI clip starts equal to the software clip.
    clipRect(m_imageClip.x - m_nTranslateX, m_imageClip.y - m_nTranslateY, m_imageClip.width, m_imageClip.height);
}

void GraphicsIWin32::clipRect(int x, int y, int w, int h)
{
    if (m_pTarget != nullptr) {
        util::RectangleNM bounds(0, 0, m_pTarget->getWidth(), m_pTarget->getHeight());
        bounds.intersect(util::RectangleNM(x + m_nTranslateX, y + m_nTranslateY, w, h));
        m_imageClip = bounds;
    }
    GraphicsWWin32::clipRect(x, y, w, h);
}

bool GraphicsIWin32::readClipBox(RECT& box)
{
    if (m_pDC == nullptr || m_pTarget == nullptr)
        return false;
    RECT bounds{0, 0, m_pTarget->getWidth(), m_pTarget->getHeight()};
    box = bounds;
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    if (clip == nullptr)
        return true;
    if (GetClipRgn(hdc(), clip) == 1) {
        RECT r{0, 0, 0, 0};
        GetRgnBox(clip, &r);
        box.left = std::max(r.left, bounds.left);
        box.top = std::max(r.top, bounds.top);
        box.right = std::min(r.right, bounds.right);
        box.bottom = std::min(r.bottom, bounds.bottom);
        if (box.left >= box.right || box.top >= box.bottom)
            box = RECT{0, 0, 0, 0};
    }
    DeleteObject(clip);
    return true;
}

void GraphicsIWin32::clipRectangles(std::vector<util::RectangleNM>& out)
{
    out.clear();
    if (m_pDC == nullptr) {
        out.push_back(m_imageClip);
        return;
    }
    util::Region* region = getClipRegion();
    if (HRGN handle = region->getHandle()) {
        DWORD size = GetRegionData(handle, 0, nullptr);
        std::vector<unsigned char> buffer(std::max<DWORD>(size, sizeof(RGNDATAHEADER)));
        RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
        if (size != 0 && GetRegionData(handle, size, data) != 0) {
            const unsigned char* rects = buffer.data() + sizeof(RGNDATAHEADER);
            for (DWORD i = 0; i < data->rdh.nCount; ++i) {
                RECT r;
                std::memcpy(&r, rects + i * sizeof(RECT), sizeof(RECT));
                out.push_back(util::RectangleNM(r.left, r.top, r.right - r.left, r.bottom - r.top));
            }
        }
    }
    region->release();
}

FancyHelper* GraphicsIWin32::getFancyHelper()
{
    if (m_pFancyHelper == nullptr)
        m_pFancyHelper = new FancyHelper();
    return m_pFancyHelper;
}

int GraphicsIWin32::setBlitMode(int mode)
{
    int previous = m_nBlitMode;
    m_nBlitMode = mode;
    return previous;
}

void GraphicsIWin32::setPixel(int x, int y)
{
    GdiFlush();
    x += m_nTranslateX;
    y += m_nTranslateY;
    uint32_t* pixels = m_pTarget ? m_pTarget->getPixels() : nullptr;
    if (pixels == nullptr || x < 0 || y < 0 || x >= m_pTarget->getWidth() || y >= m_pTarget->getHeight())
        return;
    pixels[size_t(y) * size_t(m_pTarget->getWidth()) + size_t(x)] = m_color.getOpaqueRGB();
    m_pTarget->setModified(true);
}

void GraphicsIWin32::setPixel(int x, int y, uint32_t argb)
{
    GdiFlush();
    x += m_nTranslateX;
    y += m_nTranslateY;
    uint32_t* pixels = m_pTarget ? m_pTarget->getPixels() : nullptr;
    if (pixels == nullptr || x < 0 || y < 0 || x >= m_pTarget->getWidth() || y >= m_pTarget->getHeight())
        return;
    uint32_t& p = pixels[size_t(y) * size_t(m_pTarget->getWidth()) + size_t(x)];
    uint32_t a = argb >> 24;
    if (a < 255) {
        uint32_t out = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            uint32_t s = (argb >> shift) & 0xFF, d = (p >> shift) & 0xFF;
            out |= ((s * a + d * (256 - a)) >> 8) << shift;
        }
        p = out;
    } else {
        p = argb;
    }
    m_pTarget->setModified(true);
}

uint32_t GraphicsIWin32::getPixel(int x, int y)
{
    GdiFlush();
    x += m_nTranslateX;
    y += m_nTranslateY;
    uint32_t* pixels = m_pTarget ? m_pTarget->getPixels() : nullptr;
    if (pixels == nullptr || x < 0 || y < 0 || x >= m_pTarget->getWidth() || y >= m_pTarget->getHeight())
        return 0;
    return pixels[size_t(y) * size_t(m_pTarget->getWidth()) + size_t(x)];
}

void GraphicsIWin32::fillRect(int x, int y, int w, int h)
{
    GdiFlush();
    uint32_t* pixels = m_pTarget ? m_pTarget->getPixels() : nullptr;
    if (pixels == nullptr)
        return;
    util::RectangleNM r(x + m_nTranslateX, y + m_nTranslateY, w, h);
    r.intersect(m_imageClip);
    if (r.width <= 0 || r.height <= 0)
        return;
    FancyHelper* helper = getFancyHelper();
    helper->fillRectOpaque(pixels, m_pTarget->getWidth(), m_pTarget->getHeight(),
                           helper->modulateColor(m_color.getRed(), m_color.getGreen(), m_color.getBlue()), &r);
    m_pTarget->setModified(true);
}

void GraphicsIWin32::fillRectBlended(int x, int y, int w, int h, uint32_t argb)
{
    GdiFlush();
    uint32_t* pixels = m_pTarget ? m_pTarget->getPixels() : nullptr;
    if (pixels == nullptr)
        return;
    const util::RectangleNM r(x + m_nTranslateX, y + m_nTranslateY, w, h);
    std::vector<util::RectangleNM> clips;
    clipRectangles(clips);
    FancyHelper* helper = getFancyHelper();
    for (const util::RectangleNM& clip : clips) {
        util::RectangleNM part(r);
        part.intersect(clip);
        helper->fillRectBlend(pixels, m_pTarget->getWidth(), m_pTarget->getHeight(), argb, &part);
    }
    m_pTarget->setModified(true);
}

bool GraphicsIWin32::blitImage(ImageBase* image, int x, int y, const util::RectangleNM* src)
{
    GdiFlush();
    uint32_t* pixels = m_pTarget ? m_pTarget->getPixels() : nullptr;
    if (pixels == nullptr)
        return true;
    FancyHelper* helper = getFancyHelper();
    if (!helper->attach(image))
        return false;
    helper->setModulation(m_imageColor.getAlpha(), m_imageColor.getRed(), m_imageColor.getGreen(),
                          m_imageColor.getBlue());
    const int width = m_pTarget->getWidth(), height = m_pTarget->getHeight(), pitch = m_pTarget->getPitch();
    const bool targetAlpha = m_pTarget->hasAlpha();
    std::vector<util::RectangleNM> clips;
    clipRectangles(clips);
    for (const util::RectangleNM& clip : clips) {
        if (m_nBlitMode == kBlitAdditive)
            helper->blitAdditive(pixels, pitch, width, height, x, y, &clip, src, targetAlpha);
        else
            helper->blitBlend(pixels, pitch, width, height, x, y, &clip, src, targetAlpha);
    }
    m_pTarget->setModified(true);
    return true;
}

bool GraphicsIWin32::drawImage(ImageBase* image, int x, int y)
{
    if (image == nullptr || image->getPixels() == nullptr)
        return false;
    if (!image->hasAlpha() && image->hasSurface() && m_pTarget != nullptr && m_pTarget->hasSurface() &&
        m_nBlitMode != kBlitAdditive) {
        bool drawn = GraphicsWWin32::drawImage(image, x, y);
        if (drawn)
            m_pTarget->setModified(true);
        return drawn;
    }
    return blitImage(image, x + m_nTranslateX, y + m_nTranslateY, nullptr);
}

bool GraphicsIWin32::drawShadow(ImageBase* image, int x, int y)
{
    GdiFlush();
    uint32_t* pixels = m_pTarget ? m_pTarget->getPixels() : nullptr;
    FancyHelper* helper = getFancyHelper();
    if (pixels == nullptr || !helper->attach(image))
        return false;
    helper->blitShadow(pixels, m_pTarget->getWidth(), m_pTarget->getHeight(), x + m_nTranslateX, y + m_nTranslateY,
                       &m_imageClip, nullptr);
    m_pTarget->setModified(true);
    return true;
}

void GraphicsIWin32::copyStateInto(GraphicsIWin32* copy)
{
    copy->setTranslation(m_nTranslateX, m_nTranslateY);
    copy->m_imageClip = m_imageClip;
}

Graphics* GraphicsIWin32::create()
{
    GraphicsIWin32* copy = new GraphicsIWin32(m_pTarget, m_pFancyHelper);
    copyStateInto(copy);
    if (m_pDC != nullptr)
        copy->attachContext(m_pDC);
    return copy;
}

} // namespace window
