// BoundsSprite.cpp: the sized sprite.
#include "sprites/base/BoundsSprite.h"

#include "sprites/base/DefinitionArgs.h"

namespace sprite {

HV_DEFINE_METACLASS_WITH(BoundsSprite, 0, 0, 0, 0);

BoundsSprite::BoundsSprite(int x, int y, int w, int h)
    : SpriteBase(x + (w >> 1), y + (h >> 1)), m_nWidth(w), m_nHeight(h)
{
    m_nAnchor = ANCHOR_LEFT | ANCHOR_TOP;
    updateBounds();
    syncMoveTarget();
}

bool BoundsSprite::configure(lang::ObjectArray*, lang::IntArray* params)
{
    setPosition(DefinitionArgs::number(params, 0), DefinitionArgs::number(params, 1));
    setSize(DefinitionArgs::number(params, 2), DefinitionArgs::number(params, 3));
    return true;
}

SpriteBase* BoundsSprite::clone()
{
    BoundsSprite* copy = new BoundsSprite(0, 0, m_nWidth, m_nHeight);
    copyStateTo(copy);
    return copy;
}

int BoundsSprite::width()
{
    return m_nWidth;
}

int BoundsSprite::height()
{
    return m_nHeight;
}

void BoundsSprite::setSize(int w, int h)
{
    if (w == m_nWidth && h == m_nHeight)
        return;
    int oldLeft = left();
    int oldTop = top();
    m_nWidth = w;
    m_nHeight = h;
    updateBounds();
    movePosition(oldLeft - left(), oldTop - top());
    if (m_bVisible)
        m_bDirty = true;
}

} // namespace sprite
