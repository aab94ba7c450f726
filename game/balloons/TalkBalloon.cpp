// TalkBalloon.cpp: the balloon's settings.
#include "game/balloons/TalkBalloon.h"

HV_DEFINE_METACLASS(TalkBalloon);

TalkBalloon::TalkBalloon()
    : m_nHomeLeft(0),
      m_nHomeTop(0),
      // Ten pixels of space around the text until the canvas sets the margins.
      m_nTextPadX(10),
      m_nTextPadY(10),
      m_nTextDX(0),
      m_nTextDY(0),
      m_textColor{-1, 0, 0, 0},
      m_tails{},
      m_pButton(nullptr),
      m_nButtonDX(0),
      m_nButtonDY(0)
{
}

void TalkBalloon::setTail(int code, sprite::SpriteBase* tail)
{
    if (code < 0 || code >= TAIL_COUNT)
        return;
    m_tails[code] = tail;
    if (tail)
        tail->setVisible(false);
}

void TalkBalloon::attachButton(sprite::SpriteBase* button)
{
    m_pButton = button;
    m_nButtonDX = -8;
    m_nButtonDY = -5;
}

void TalkBalloon::resetTextColor()
{
    m_textColor[0] = 128;
    m_textColor[1] = 0;
    m_textColor[2] = 0;
    m_textColor[3] = 0;
}
