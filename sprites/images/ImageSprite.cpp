// ImageSprite.cpp: the picture sprite: placement by its source rectangle,
// drawing, pixel hit tests and the unloading of pixels while hidden.
#include "sprites/images/ImageSprite.h"

#include "sprites/base/DefinitionArgs.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/images/ImageBase.h"
#include "windowing/d3d/ImageWinDX.h"

namespace sprite {

// The data manifest's word for a plain image sprite is "Sprite".
ImageSprite::ImageSpriteClass::ImageSpriteClass() : ::lang::Class(::lang::String("Sprite", true)) {}
::lang::Object* ImageSprite::ImageSpriteClass::newInstance()
{
    return new ImageSprite();
}

ImageSprite::ImageSprite()
    : SpriteBase(0, 0), m_pImage(nullptr), m_bUnloadPending(false), m_bKeepLoaded(false), m_bBoundsHitTest(false)
{
    m_nAnchor = ANCHOR_LEFT | ANCHOR_TOP;
}

ImageSprite::~ImageSprite()
{
    if (m_pImage)
        m_pImage->release();
}

void ImageSprite::setImage(window::ImageBase* image)
{
    if (image == m_pImage)
        return;
    int oldLeft = left();
    int oldTop = top();
    if (image)
        image->addRef();
    if (m_pImage)
        m_pImage->release();
    m_pImage = image;
    m_sourceRect = image ? util::RectangleNM(0, 0, image->getWidth(), image->getHeight()) : util::RectangleNM();
    m_bUnloadPending = false;
    updateBounds();
    movePosition(oldLeft - left(), oldTop - top());
    if (m_bVisible)
        m_bDirty = true;
}

void ImageSprite::setSourceRect(const util::RectangleNM& rect)
{
    if (rect.x == m_sourceRect.x && rect.y == m_sourceRect.y && rect.width == m_sourceRect.width &&
        rect.height == m_sourceRect.height)
        return;
    int oldLeft = left();
    int oldTop = top();
    m_sourceRect = rect;
    updateBounds();
    movePosition(oldLeft - left(), oldTop - top());
    if (m_bVisible)
        m_bDirty = true;
}

bool ImageSprite::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    window::ImageBase* picture = DefinitionArgs::image(resources, 0);
    window::ImageBase* mask = DefinitionArgs::image(resources, 1);
    if (picture && mask) {
        // The second image is the first one's alpha mask.
        window::ImageBase* masked = nullptr;
        if (!window::ImageBase::decodesImmediately() && !picture->getName().isEmpty() &&
            !mask->getName().isEmpty()) {
            // Decoded later, by name: "picture|mask".
            lang::String name(picture->getName());
            name.append('|');
            name.append(mask->getName());
            masked = new window::ImageWinDX(name);
        } else if (picture->isInstanceOf("ImageWin32")) {
            masked = static_cast<window::ImageWin32*>(picture)->clone();
            masked->setMask(mask);
        }
        setImage(masked ? masked : picture);
        if (masked)
            masked->release();
    } else if (picture) {
        setImage(picture);
    }
    setPosition(DefinitionArgs::number(params, 0), DefinitionArgs::number(params, 1));
    return true;
}

SpriteBase* ImageSprite::clone()
{
    ImageSprite* copy = new ImageSprite();
    copyStateTo(copy);
    copyTo(copy);
    return copy;
}

void ImageSprite::copyTo(ImageSprite* other)
{
    if (m_pImage)
        m_pImage->addRef();
    if (other->m_pImage)
        other->m_pImage->release();
    other->m_pImage = m_pImage;
    other->m_sourceRect = m_sourceRect;
    other->m_bUnloadPending = false;
    other->m_bKeepLoaded = m_bKeepLoaded;
    other->m_bBoundsHitTest = m_bBoundsHitTest;
}

int ImageSprite::width()
{
    return m_sourceRect.width;
}

int ImageSprite::height()
{
    return m_sourceRect.height;
}

bool ImageSprite::isShowing()
{
    return SpriteBase::isShowing() && m_pImage != nullptr;
}

void ImageSprite::paint(window::Graphics* g)
{
    if (!m_pImage)
        return;
    if (!m_bUseCornerColors)
        g->setImageColor(m_colorBalance);
    else
        g->setCornerColors(m_cornerColors[0], m_cornerColors[1], m_cornerColors[2], m_cornerColors[3]);
    g->drawImageCentered(m_pImage, m_nX, m_nY, &m_sourceRect, m_dScaleX, m_dScaleY, m_dRotation, m_nFlip);
}

bool ImageSprite::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (m_bUnloadPending)
        unloadImages();
    return SpriteBase::tick(frame, boundsOut, region);
}

bool ImageSprite::hittestOpaque(int x, int y)
{
    return hittestImage(x, y, 1);
}

void ImageSprite::unloadImages()
{
    m_bUnloadPending = false;
    // A picture without a name could not be read back: it keeps its pixels.
    if (m_pImage && !m_bKeepLoaded && !m_pImage->getName().isEmpty())
        m_pImage->freePixels();
}

void ImageSprite::loadImages()
{
    m_bUnloadPending = false;
    if (m_pImage)
        m_pImage->load();
}

bool ImageSprite::hittestImage(int x, int y, int threshold)
{
    // The bounds test of the base itself: a subclass whose hittest asks for
    // the image test would otherwise come back here.
    if (!m_pImage || m_bBoundsHitTest)
        return SpriteBase::hittest(x, y);
    // Into the unflipped picture: toLocal undoes scale and rotation and
    // negates the offset per flip axis, which is negated back here ...
    int dx = x - m_nX;
    int dy = y - m_nY;
    toLocal(dx, dy);
    if (m_nFlip & FLIP_HORIZONTAL)
        dx = -dx;
    if (m_nFlip & FLIP_VERTICAL)
        dy = -dy;
    const util::RectangleNM& src = m_sourceRect;
    int px = dx + (src.width >> 1) + src.x;
    int py = dy + (src.height >> 1) + src.y;
    if (px < src.x || py < src.y || px >= src.x + src.width || py >= src.y + src.height)
        return false;
    // ... and then mirrored within the source rectangle, so that the test
    // follows the picture as it is drawn.
    if (m_nFlip & FLIP_HORIZONTAL)
        px = src.x + (src.x + src.width - 1 - px);
    if (m_nFlip & FLIP_VERTICAL)
        py = src.y + (src.y + src.height - 1 - py);
    // Pixels that are not in memory are read in (none: a miss).
    const uint32_t* pixels = m_pImage->getPixels();
    if (!pixels || px < 0 || py < 0 || px >= m_pImage->getWidth() || py >= m_pImage->getHeight())
        return false;
    int rowLength = m_pImage->getPitch() / 4;
    uint32_t pixel = pixels[size_t(py) * size_t(rowLength) + size_t(px)];
    return int(pixel >> 24) >= threshold;
}

bool ImageSprite::findOpaqueEdge(int& x, int& y, char side, int threshold)
{
    if (!m_pImage)
        return false;
    int w = width();
    int h = height();
    int l0 = m_nX - (w >> 1);
    int t0 = m_nY - (h >> 1);
    switch (side) {
    case 'B':
        for (int i = h - 1; i >= 0; --i)
            if (hittestImage(x, t0 + i, threshold)) {
                y = t0 + i;
                return true;
            }
        return false;
    case 'T':
        for (int i = 0; i < h; ++i)
            if (hittestImage(x, t0 + i, threshold)) {
                y = t0 + i;
                return true;
            }
        return false;
    case 'L':
        for (int i = 0; i < w; ++i)
            if (hittestImage(l0 + i, y, threshold)) {
                x = l0 + i;
                return true;
            }
        return false;
    case 'R':
        for (int i = w - 1; i >= 0; --i)
            if (hittestImage(l0 + i, y, threshold)) {
                x = l0 + i;
                return true;
            }
        return false;
    default:
        return false;
    }
}

} // namespace sprite
