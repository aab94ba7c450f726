// RectButtonSprite.cpp: the invisible rectangular button.
#include "sprites/buttons/RectButtonSprite.h"

#include "sprites/base/DefinitionArgs.h"
#include "sprites/base/SpriteBaseLua.h"

namespace sprite {

HV_DEFINE_METACLASS(RectButtonSprite);

RectButtonSprite::RectButtonSprite() : BoundsSprite(0, 0, 0, 0)
{
    SpriteBaseLua::bindClass(this, "hv.RectButtonSprite", SpriteBaseLua::kMetatable, "RectButtonSprite.lua",
                             "RectButtonSprite", luaMethods());
}

bool RectButtonSprite::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    if (DefinitionArgs::count(params) < 4)
        return false;
    if (!BoundsSprite::configure(resources, params))
        return false;
    if (DefinitionArgs::count(params) >= 5)
        setState(DefinitionArgs::number(params, 4));
    return true;
}

bool RectButtonSprite::isInteractive()
{
    return true;
}

bool RectButtonSprite::mouseMoved(int x, int y)
{
    if (m_nState == DISABLED)
        return false;
    bool over = hittest(x, y);
    ButtonMixin::setMouseOver(over);
    return over;
}

bool RectButtonSprite::applyState(int newState)
{
    setMouseOverCursor(newState != DISABLED ? CURSOR_HAND : CURSOR_NORMAL);
    return true;
}

bool RectButtonSprite::hitAndEnabled(int x, int y)
{
    return hittest(x, y) && m_nState != DISABLED;
}

} // namespace sprite
