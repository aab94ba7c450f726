// TiledSprite.cpp: the tiled box.
#include "sprites/images/TiledSprite.h"

#include "sprites/base/DefinitionArgs.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/images/ImageBase.h"

#include <cstdint>

namespace sprite {

namespace {

// The first tile position from `offset` on (in steps of `step`) whose tile of
// `size` pixels reaches past 0: tiles wholly before the box would be cut
// away whole, so they are not walked.
int64_t firstTile(int64_t offset, int64_t size, int64_t step)
{
    if (offset + size > 0)
        return offset;
    return offset + ((-offset - size) / step + 1) * step;
}

} // namespace

HV_DEFINE_METACLASS_WITH(TiledSprite, 0, 0, nullptr, 0, 0, 0, 0);

TiledSprite::TiledSprite(int width, int height, window::ImageBase* image, int offsetX, int offsetY, int gapX,
                         int gapY)
    : BoundsSprite(0, 0, width, height),
      m_pImage(nullptr),
      m_nOffsetX(offsetX),
      m_nOffsetY(offsetY),
      m_nGapX(gapX),
      m_nGapY(gapY),
      m_bKeepImages(false)
{
    setImage(image);
}

TiledSprite::~TiledSprite()
{
    if (m_pImage)
        m_pImage->release();
}

void TiledSprite::setImage(window::ImageBase* image)
{
    if (image == m_pImage)
        return;
    if (image)
        image->addRef();
    if (m_pImage)
        m_pImage->release();
    m_pImage = image;
    if (m_bVisible)
        m_bDirty = true;
}

void TiledSprite::setOffset(int x, int y)
{
    if (x == m_nOffsetX && y == m_nOffsetY)
        return;
    m_nOffsetX = x;
    m_nOffsetY = y;
    if (m_bVisible)
        m_bDirty = true;
}

void TiledSprite::setGap(int x, int y)
{
    if (x == m_nGapX && y == m_nGapY)
        return;
    m_nGapX = x;
    m_nGapY = y;
    if (m_bVisible)
        m_bDirty = true;
}

bool TiledSprite::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    int count = DefinitionArgs::count(params);
    auto n = [params](int i) { return DefinitionArgs::number(params, i); };
    window::ImageBase* image = DefinitionArgs::image(resources, 0);
    if (image) {
        if (count < 4)
            return false;
        setImage(image);
        setPosition(n(0), n(1));
        setSize(n(2), n(3));
        if (count >= 6)
            setOffset(n(4), n(5));
        if (count >= 8)
            setGap(n(6), n(7));
    } else {
        if (count < 7)
            return false;
        m_fillColor = ColorWin32(n(0), n(1), n(2), 255);
        setPosition(n(3), n(4));
        setSize(n(5), n(6));
        if (count >= 9)
            setOffset(n(7), n(8));
        if (count >= 11)
            setGap(n(9), n(10));
    }
    return true;
}

SpriteBase* TiledSprite::clone()
{
    TiledSprite* copy = new TiledSprite(m_nWidth, m_nHeight, m_pImage, m_nOffsetX, m_nOffsetY, m_nGapX, m_nGapY);
    copyStateTo(copy);
    copy->m_fillColor = m_fillColor;
    return copy;
}

void TiledSprite::paint(window::Graphics* g)
{
    int l = left();
    int t = top();
    int w = width();
    int h = height();
    if (!m_pImage) {
        g->setColor(m_fillColor);
        g->fillRect(l, t, w, h);
        return;
    }
    // A tile and its gap must move the pen on, or the walk would never end
    // (a picture that failed to load is 0 x 0).
    int64_t stepX = int64_t(m_pImage->getWidth()) + m_nGapX;
    int64_t stepY = int64_t(m_pImage->getHeight()) + m_nGapY;
    if (stepX < 1 || stepY < 1)
        return;
    g->setImageColor(m_colorBalance);
    g->clipRect(l, t, w, h);
    g->translate(l, t);
    int64_t startX = firstTile(m_nOffsetX, m_pImage->getWidth(), stepX);
    int64_t startY = firstTile(m_nOffsetY, m_pImage->getHeight(), stepY);
    for (int64_t x = startX; x < w; x += stepX)
        for (int64_t y = startY; y < h; y += stepY)
            g->drawImage(m_pImage, int(x), int(y));
}

void TiledSprite::unloadImages()
{
    // A picture without a name could not be read back: it keeps its pixels.
    if (m_pImage && !m_bKeepImages && !m_pImage->getName().isEmpty())
        m_pImage->freePixels();
}

void TiledSprite::loadImages()
{
    if (m_pImage)
        m_pImage->load();
}

} // namespace sprite
