// Character.cpp: the character stand-in's bindings and talk state.
#include "game/characters/Character.h"

#include "game/balloons/TalkBalloon.h"
#include "game/canvas/LanternfieldCanvas.h"

HV_DEFINE_METACLASS(Character);

Character::Character()
    : sprite::DialogSprite(false),
      m_pTalkText(nullptr),
      m_pTalkBalloon(nullptr),
      m_pSkipButton(nullptr),
      m_nState(STATE_IDLE),
      m_bEnabled(false),
      m_bHasTalkToMeButton(true),
      m_nFixedBalloonX(0),
      m_nFixedBalloonY(0),
      m_nBalloonAnchor(-1),
      m_bFixedBalloon(false),
      m_nOffsetX(0),
      m_nOffsetY(0)
{
}

void Character::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    setVisible(false);
}

bool Character::isTalking()
{
    return m_pTalkBalloon && m_pTalkBalloon->isVisible();
}

bool Character::canSkipTalk()
{
    return true;
}

void Character::stopTalk()
{
    if (LanternfieldCanvas* canvas = LanternfieldCanvas::instance) {
        if (canvas->getTalkingCharacter() == this)
            canvas->setTalkingCharacter(nullptr);
    }
    if (m_pTalkText)
        m_pTalkText->setVisible(false);
    if (m_pTalkBalloon)
        m_pTalkBalloon->setVisible(false);
    m_nState = STATE_IDLE;
}

void Character::changeState(int state)
{
    if (m_nState != 0 && m_nState == state)
        return;
    m_nState = state;
    if (state == STATE_OFF) {
        if (isTalking())
            stopTalk();
        m_nState = STATE_OFF;
        if (isVisible())
            setVisible(false);
    }
}

void Character::setOffset(int x, int y)
{
    setPosition(x - m_nOffsetX, y - m_nOffsetY);
}

bool Character::isOverTalkToMeButton(int x, int y)
{
    if (!m_bHasTalkToMeButton || !m_bEnabled || !isVisible())
        return false;
    sprite::SpriteBase* button = getSprite("TalkToMeButton");
    if (!button || !button->isVisible())
        return false;
    int lx = x;
    int ly = y;
    toLocal(lx, ly);
    return button->hittest(lx, ly);
}

void Character::setFixedTalkBalloonPosition(bool fixed, int x, int y, int anchor)
{
    if (fixed) {
        m_nFixedBalloonX = x;
        m_nFixedBalloonY = y;
        m_nBalloonAnchor = anchor;
    }
    m_bFixedBalloon = fixed;
}
