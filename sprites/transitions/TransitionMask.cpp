// TransitionMask.cpp: the mask list, the scale run and the drawing of a
// layer through the stencil made from the scaled masks.
#include "sprites/transitions/TransitionMask.h"

#include "windowing/graphics/Graphics.h"
#include "windowing/d3d/ImageWinDX.h"

#include <algorithm>

namespace sprite {

HV_DEFINE_METACLASS(TransitionMask);

namespace {

const uint32_t kOpaqueBlack = 0xFF000000u;

} // namespace

TransitionMask::TransitionMask() : TransitionMask(DEFAULT_FRAMES, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, false) {}

TransitionMask::TransitionMask(int frames, int x, int y, int width, int height, bool overlay)
    : TransitionBase(frames, x, y, width, height, overlay), m_fScaleInit(1.0f), m_fScaleEnd(2.0f), m_fScale(1.0f)
{
}

TransitionMask::~TransitionMask()
{
    clearMasks();
}

int TransitionMask::appendMask(window::ImageBase* image, const lang::String& name)
{
    TransitionImage* mask = new TransitionImage();
    mask->setImage(image);
    int width = image ? image->getWidth() : 0;
    int height = image ? image->getHeight() : 0;
    mask->rect = util::RectangleNM(0, 0, width, height);
    mask->baseRect = mask->rect;
    mask->position = util::Point(0, 0);
    mask->name = name;
    m_masks.addElement(mask);
    return m_masks.size() - 1;
}

int TransitionMask::addImageByName(const lang::String& name)
{
    window::ImageWinDX* image = new window::ImageWinDX(name);
    int index = appendMask(image, name);
    image->release();
    return index;
}

int TransitionMask::addImage(window::ImageBase* image)
{
    return appendMask(image, lang::String());
}

void TransitionMask::setImagePosition(int index, int x, int y)
{
    TransitionImage* mask = nullptr;
    if (getMask(index, mask))
        mask->position = util::Point(x, y);
}

bool TransitionMask::getMask(int index, TransitionImage*& mask)
{
    if (index < 0 || index >= m_masks.size())
        return false;
    mask = m_masks.elementAt(index);
    return true;
}

void TransitionMask::setMaskScale(float init, float end)
{
    m_fScaleInit = init;
    m_fScaleEnd = end;
}

void TransitionMask::clearMasks()
{
    for (int i = m_masks.size() - 1; i >= 0; --i) {
        TransitionImage* mask = m_masks.elementAt(i);
        m_masks.removeElementAt(i);
        delete mask;
    }
}

TransitionBase* TransitionMask::clone()
{
    TransitionMask* copy = new TransitionMask();
    copyStateTo(copy);
    int count = m_masks.size();
    for (int i = 0; i < count; ++i) {
        TransitionImage* from = m_masks.elementAt(i);
        TransitionImage* to = new TransitionImage();
        if (from->image) {
            to->setImage(from->image);
        } else if (!from->name.isEmpty()) {
            window::ImageWinDX* image = new window::ImageWinDX(from->name);
            to->setImage(image);
            image->release();
        }
        to->rect = from->rect;
        to->baseRect = from->baseRect;
        to->name = from->name;
        to->position = from->position;
        copy->m_masks.addElement(to);
    }
    return copy;
}

int TransitionMask::stepFrame()
{
    // A frame count below 1 would divide by zero: the whole run in one frame.
    int frames = m_nFrames < 1 ? 1 : m_nFrames;
    float d = (m_fScaleEnd - m_fScaleInit) / float(frames);
    if (m_nCurrentLayer == 2 && m_bReverse)
        d = -d;
    m_fScale = std::max(m_fScale + d, SMALLEST_SCALE);
    return 0;
}

int TransitionMask::advanceCapture()
{
    if (m_nState == 0 && m_bFillSecondLayer)
        m_nState = 1;
    else if (m_nState == 1 && m_bReverse)
        m_nState = 2;
    else
        m_nState = -1;
    return m_nState;
}

void TransitionMask::computeDrawOrder()
{
    if (m_nCurrentLayer == 2 && m_bReverse) {
        m_drawOrder[0] = 0;
        m_drawOrder[1] = 1;
        m_drawOrder[2] = 2;
        return;
    }
    TransitionBase::computeDrawOrder();
}

void TransitionMask::reset()
{
    TransitionBase::reset();
    m_fScale = m_fScaleInit;
}

void TransitionMask::onLayerChanged()
{
    if (m_nCurrentLayer == -1)
        return;
    if (m_nCurrentLayer == 1) {
        if (!m_bReverse) {
            m_fScale = m_fScaleInit;
            return;
        }
        m_nCurrentLayer = 2;
    }
    // The third picture runs the masks back from the end scale.
    m_fScale = m_bReverse ? m_fScaleEnd : m_fScaleInit;
}

bool TransitionMask::drawLayer(int layer, window::Graphics* g)
{
    if (layer != m_nCurrentLayer)
        return TransitionBase::drawLayer(layer, g);
    // The masks go into the stencil; a shrinking run keeps the layer inside
    // them, a growing one outside.
    g->beginMask();
    g->setMaskInverted(m_fScaleEnd < m_fScaleInit);
    g->setMaskMode(true);
    int count = m_masks.size();
    for (int i = 0; i < count; ++i) {
        TransitionImage* mask = m_masks.elementAt(i);
        if (!mask->image) {
            g->fillRectAlpha(mask->position.x, mask->position.y, mask->rect.width, mask->rect.height, kOpaqueBlack);
            continue;
        }
        g->drawImageCentered(mask->image, mask->position.x + mask->rect.width / 2,
                             mask->position.y + mask->rect.height / 2, &mask->rect, m_fScale, m_fScale, 0.0, 0);
    }
    g->setMaskMode(false);
    g->setBlendMode(false);
    TransitionBase::drawLayer(layer, g);
    g->endMask();
    // The masked layer is the last one drawn. Only an opaque paint that is
    // not fading switches blending back on itself; in every other case what
    // is drawn after the transition must not be left unblended.
    g->setBlendMode(true);
    return true;
}

bool TransitionMask::isLayerActive(int layer)
{
    if (m_nCurrentLayer == 2 && m_bReverse)
        return layer >= 1;
    return m_nCurrentLayer <= layer;
}

} // namespace sprite
