// TalkBalloon.cpp: the balloon's settings and its layout around a text.
#include "game/balloons/TalkBalloon.h"

#include "sprites/text/NewFontSprite.h"

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

void TalkBalloon::layout(sprite::SpriteBase* text)
{
    if (!text)
        return;
    // Balloon texts wrap at the screen's width.
    if (text->isInstanceOf("NewFontSprite"))
        static_cast<sprite::NewFontSprite*>(text)->wrapToWidth(800);
    setSize(text->width() + m_nTextPadX, text->height() + m_nTextPadY);
    placeOver(text);
    if (m_textColor[0] != -1)
        text->setColorBalance(m_textColor[0], m_textColor[1], m_textColor[2], m_textColor[3]);
}

void TalkBalloon::placeOver(sprite::SpriteBase* text)
{
    if (text)
        text->setPosition(left() + m_nTextDX + width() / 2, top() + m_nTextDY + height() / 2 - text->height() / 2);
}

void TalkBalloon::slideInFromRight(sprite::SpriteBase* companion)
{
    // The glide takes half a second.
    constexpr int kSlideFrames = 12;
    const int l = left();
    const int t = top();
    const int dx = width() + 800 - l;
    setPosition(l + dx, t);
    setDestination(l, t, kSlideFrames);
    if (companion) {
        const int cl = companion->left();
        const int ct = companion->top();
        companion->setPosition(cl + dx, ct);
        companion->setDestination(cl, ct, kSlideFrames);
    }
}
