// GraphicsIMixin.cpp: holding and letting go of the target image and its helper.
#include "windowing/graphics/GraphicsIMixin.h"

#include "windowing/gdi/FancyHelper.h"
#include "windowing/gdi/ImageWin32.h"

namespace window {

GraphicsIMixin::GraphicsIMixin(ImageWin32* target, FancyHelper* fancyHelper)
    : m_pTarget(target), m_pFancyHelper(fancyHelper), m_nBlitMode(0)
{
    if (m_pTarget) {
        m_pTarget->addRef();
        m_imageClip = util::RectangleNM(0, 0, m_pTarget->getWidth(), m_pTarget->getHeight());
    }
    if (m_pFancyHelper)
        m_pFancyHelper->addRef();
}

GraphicsIMixin::~GraphicsIMixin()
{
    if (m_pFancyHelper)
        m_pFancyHelper->release();
    if (m_pTarget)
        m_pTarget->release();
}

} // namespace window
