// RectSprite.cpp: the one-colour box.
#include "sprites/shapes/RectSprite.h"

#include "sprites/base/DefinitionArgs.h"
#include "windowing/graphics/Graphics.h"

namespace sprite {

HV_DEFINE_METACLASS_WITH(RectSprite, 0, 0, 0u, false);

RectSprite::RectSprite(int width, int height, uint32_t colour, bool filled)
    : BoundsSprite(0, 0, width, height), m_nColor(colour), m_bFilled(filled)
{
}

uint32_t RectSprite::modulate(uint32_t colour, const ColorBase& balance)
{
    const uint32_t factors[4] = {uint32_t(balance.getBlue()), uint32_t(balance.getGreen()),
                                 uint32_t(balance.getRed()), uint32_t(balance.getAlpha())};
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i) {
        uint32_t channel = (colour >> (8 * i)) & 0xFF;
        uint32_t value = channel * factors[i] / 128;
        out |= (value > 255 ? 255 : value) << (8 * i);
    }
    return out;
}

void RectSprite::paint(window::Graphics* g)
{
    g->fillRectAlpha(left(), top(), width(), height(), modulate(m_nColor, m_colorBalance));
}

bool RectSprite::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    if (!BoundsSprite::configure(resources, params))
        return false;
    setColor(uint32_t(DefinitionArgs::number(params, 4)));
    int count = DefinitionArgs::count(params);
    if (count > 5)
        setVisible(DefinitionArgs::number(params, 5) != 0);
    if (count >= 7)
        setFilled(DefinitionArgs::number(params, 6) != 0);
    return true;
}

SpriteBase* RectSprite::clone()
{
    RectSprite* copy = new RectSprite(m_nWidth, m_nHeight, m_nColor, m_bFilled);
    copyStateTo(copy);
    return copy;
}

void RectSprite::setColor(uint32_t colour)
{
    if (colour == m_nColor)
        return;
    m_nColor = colour;
    if (m_bVisible)
        m_bDirty = true;
}

void RectSprite::setFilled(bool filled)
{
    if (filled == m_bFilled)
        return;
    m_bFilled = filled;
    if (m_bVisible)
        m_bDirty = true;
}

} // namespace sprite
