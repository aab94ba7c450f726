// ButtonMixin.cpp: the button state machine.
#include "sprites/buttons/ButtonMixin.h"

#include "sprites/buttons/ButtonSprite.h"
#include "sprites/buttons/RectButtonSprite.h"

namespace sprite {

bool ButtonMixin::releaseAt(int x, int y)
{
    setMouseDown(false);
    return hitAndEnabled(x, y);
}

void ButtonMixin::setState(int n)
{
    // Only the seven states have a look (and a frame) to show.
    if (n < DISABLED || n > SELECTED_PRESSED)
        return;
    if (n != m_nState && applyState(n))
        m_nState = n;
}

void ButtonMixin::setEnabled(bool on)
{
    if (!on)
        setState(DISABLED);
    else if (m_nState != SELECTED && m_nState != SELECTED_ROLLOVER)
        setState(NORMAL);
}

bool ButtonMixin::isSelected() const
{
    return m_nState == SELECTED || m_nState == SELECTED_ROLLOVER || m_nState == SELECTED_PRESSED;
}

void ButtonMixin::setMouseOver(bool over)
{
    if (m_nState == DISABLED)
        return;
    bool selected = isSelected();
    if (!over)
        setState(selected ? SELECTED : NORMAL);
    else if (m_bPressed)
        setState(selected ? SELECTED_PRESSED : PRESSED);
    else
        setState(selected ? SELECTED_ROLLOVER : ROLLOVER);
}

void ButtonMixin::setMouseDown(bool down)
{
    if (m_nState == DISABLED)
        return;
    if (down) {
        m_bPressed = true;
        if (m_nState == NORMAL || m_nState == ROLLOVER)
            setState(PRESSED);
        else if (m_nState == SELECTED || m_nState == SELECTED_ROLLOVER)
            setState(SELECTED_PRESSED);
    } else {
        m_bPressed = false;
        if (m_nState == PRESSED)
            setState(NORMAL);
        else if (m_nState == SELECTED_PRESSED)
            setState(SELECTED);
    }
}

bool ButtonMixin::armIfClickOnRelease()
{
    if (!m_bFireOnRelease)
        return true;
    setMouseDown(true);
    return false;
}

ButtonMixin* ButtonMixin::fromSprite(SpriteBase* sprite)
{
    if (!sprite)
        return nullptr;
    if (sprite->isInstanceOf("ButtonSprite"))
        return static_cast<ButtonSprite*>(sprite);
    if (sprite->isInstanceOf("RectButtonSprite"))
        return static_cast<RectButtonSprite*>(sprite);
    return nullptr;
}

void ButtonMixin::enableIfButton(SpriteBase* sprite, bool on)
{
    if (ButtonMixin* button = fromSprite(sprite))
        button->setEnabled(on);
}

} // namespace sprite
