// GraphicsIWinDX.cpp: centred image drawing and copies of the graphics of an image.
#include "windowing/d3d/GraphicsIWinDX.h"

#include "windowing/d3d/ImageWinDX.h"

namespace window {

GraphicsIWinDX::GraphicsIWinDX(ImageWinDX* target, FancyHelper* fancyHelper) : GraphicsIWin32(target, fancyHelper) {}

bool GraphicsIWinDX::drawImageCentered(ImageBase* image, int cx, int cy, util::RectangleNM* src, double, double,
                                       double, int)
{
    if (image == nullptr || image->getPixels() == nullptr)
        return false;
    const util::RectangleNM part = src ? *src : util::RectangleNM(0, 0, image->getWidth(), image->getHeight());
    // The corner of the area, translated once.
    const int left = cx - part.width / 2 + m_nTranslateX;
    const int top = cy - part.height / 2 + m_nTranslateY;
    if (m_pTarget != nullptr) {
        util::RectangleNM area(0, 0, m_pTarget->getWidth(), m_pTarget->getHeight());
        area.intersect(util::RectangleNM(left, top, part.width, part.height));
        m_imageClip = area;
    }
    return blitImage(image, left, top, &part);
}

Graphics* GraphicsIWinDX::create()
{
    GraphicsIWinDX* copy = new GraphicsIWinDX(static_cast<ImageWinDX*>(m_pTarget), m_pFancyHelper);
    copyStateInto(copy);
    return copy;
}

} // namespace window
