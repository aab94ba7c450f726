// ButtonSprite.cpp: the animated button.
#include "sprites/buttons/ButtonSprite.h"

#include "sprites/base/DefinitionArgs.h"
#include "sprites/base/SpriteBaseLua.h"

namespace sprite {

HV_DEFINE_METACLASS(ButtonSprite);

ButtonSprite::ButtonSprite() : AnimateSprite(nullptr, 1, 1), m_stateFrames{0, 0, 0, -1, -1, 0, -1}
{
    m_bBoundsHitTest = true;
    setStateFrames(0, 0, 0, -1, -1, 0, -1);
    SpriteBaseLua::bindClass(this, "hv.ButtonSprite", "hv.AnimateSprite", "ButtonSprite.lua", "ButtonSprite",
                             luaMethods());
}

bool ButtonSprite::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    if (!AnimateSprite::configure(resources, params))
        return false;
    // Numbers 5 to 7 are frames and the state here, not the animated
    // sprite's frame rate, ping-pong and looping step: the frames must not
    // play on their own.
    setFrameStep(0, true);
    setStateFrames(DefinitionArgs::number(params, 4), DefinitionArgs::number(params, 5),
                   DefinitionArgs::number(params, 6), -1, -1, -2, -2);
    if (DefinitionArgs::count(params) >= 8)
        setState(DefinitionArgs::number(params, 7));
    return true;
}

SpriteBase* ButtonSprite::clone()
{
    ButtonSprite* copy = new ButtonSprite();
    copyStateTo(copy);
    copyTo(copy);
    copyFramesTo(copy);
    for (int i = 0; i < 7; ++i)
        copy->m_stateFrames[i] = m_stateFrames[i];
    copy->m_nState = m_nState;
    copy->m_bFireOnRelease = m_bFireOnRelease;
    copy->m_bPressed = m_bPressed;
    return copy;
}

bool ButtonSprite::isInteractive()
{
    return true;
}

bool ButtonSprite::mouseMoved(int x, int y)
{
    if (m_nState == DISABLED || !isShowing())
        return false;
    bool over = AnimateSprite::hittestImage(x, y);
    ButtonMixin::setMouseOver(over);
    return over;
}

void ButtonSprite::setMouseOver(bool over)
{
    ButtonMixin::setMouseOver(over);
}

bool ButtonSprite::hittest(int x, int y)
{
    if (m_bBoundsHitTest)
        return SpriteBase::hittest(x, y);
    return AnimateSprite::hittestImage(x, y);
}

void ButtonSprite::unloadImages()
{
    if (m_nState == ROLLOVER || m_nState == PRESSED)
        setState(NORMAL);
    else if (m_nState == SELECTED_ROLLOVER || m_nState == SELECTED_PRESSED)
        setState(SELECTED);
    AnimateSprite::unloadImages();
}

bool ButtonSprite::applyState(int newState)
{
    setMouseOverCursor(newState != DISABLED ? CURSOR_HAND : CURSOR_NORMAL);
    if (newState < DISABLED || newState > SELECTED_PRESSED)
        return false;
    if (newState == SELECTED_ROLLOVER && m_stateFrames[SELECTED_ROLLOVER] == NO_FRAME)
        return false;
    setFrame(m_stateFrames[newState]);
    return true;
}

bool ButtonSprite::hitAndEnabled(int x, int y)
{
    return m_bVisible && hittest(x, y) && m_nState != DISABLED;
}

void ButtonSprite::setStateFrames(int rollover, int normal, int disabled, int selected, int selectedRollover,
                                  int pressed, int selectedPressed)
{
    if (selectedRollover == -1)
        selectedRollover = selected;
    if (pressed == -2)
        pressed = rollover;
    if (selectedPressed == -2)
        selectedPressed = selectedRollover;
    m_stateFrames[DISABLED] = disabled;
    m_stateFrames[NORMAL] = normal;
    m_stateFrames[ROLLOVER] = rollover;
    m_stateFrames[SELECTED] = selected;
    m_stateFrames[SELECTED_ROLLOVER] = selectedRollover;
    m_stateFrames[PRESSED] = pressed;
    m_stateFrames[SELECTED_PRESSED] = selectedPressed;
    setFrame(m_stateFrames[m_nState]);
}

} // namespace sprite
