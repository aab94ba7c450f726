// TalkBalloon.cpp: the balloon's settings, its layout around a text, its
// tails, the button it carries and its glide in from the right.
#include "game/balloons/TalkBalloon.h"

#include "sprites/buttons/ButtonMixin.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/text/NewFontSprite.h"

HV_DEFINE_METACLASS(TalkBalloon);

namespace {

// How far the tail's corner reaches into the balloon's edge.
constexpr int kTailOverlap = 15;

} // namespace

TalkBalloon::TalkBalloon()
    : m_nHomeWidth(0),
      m_nHomeHeight(0),
      m_nHomeLeft(0),
      m_nHomeTop(0),
      m_nTail(-1),
      // Ten pixels of space around the text until the canvas sets the margins.
      m_nTextPadX(10),
      m_nTextPadY(10),
      m_nTextDX(0),
      m_nTextDY(0),
      m_textColor{-1, 0, 0, 0},
      m_bHasTails(false),
      m_tails{},
      m_pButton(nullptr),
      m_nButtonDX(0),
      m_nButtonDY(0)
{
}

void TalkBalloon::setPosition(int x, int y)
{
    sprite::BorderedDialog::setPosition(x, y);
    if (m_pButton)
        m_pButton->setPosition(left() + m_nButtonDX, top() + m_nButtonDY);
}

void TalkBalloon::showWithTransition(bool visible, int)
{
    setVisible(visible);
}

void TalkBalloon::setVisible(bool visible)
{
    sprite::BorderedDialog::setVisible(visible);
    if (m_pButton) {
        m_pButton->setVisible(visible);
        sprite::ButtonMixin::enableIfButton(m_pButton, visible);
    }
}

void TalkBalloon::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::BorderedDialog::setDefinition(definition);
    m_nHomeWidth = width();
    m_nHomeHeight = height();
    m_nHomeLeft = left();
    m_nHomeTop = top();
}

void TalkBalloon::setTail(int code, sprite::SpriteBase* tail)
{
    if (code < 0 || code >= TAIL_COUNT)
        return;
    m_tails[code] = tail;
    if (tail)
        tail->setVisible(false);
    m_bHasTails = true;
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

void TalkBalloon::layout(sprite::NewFontSprite* text)
{
    if (!text)
        return;
    text->wrapToWidth(WRAP_WIDTH);
    const util::RectangleNM* bounds = text->getBounds();
    resize(bounds->width + m_nTextPadX, bounds->height + m_nTextPadY);
    placeOver(text);
    if (m_textColor[0] != -1)
        text->setColorBalance(m_textColor[0], m_textColor[1], m_textColor[2], m_textColor[3]);
}

void TalkBalloon::placeOver(sprite::SpriteBase* text)
{
    if (!text)
        return;
    text->setPosition(left() + m_nTextDX + width() / 2, top() + m_nTextDY + height() / 2 - text->height() / 2);
}

void TalkBalloon::placeTail(int code, int x, int y)
{
    sprite::SpriteBase* tail = m_bHasTails ? getTail(code) : nullptr;
    if (!tail)
        return;
    m_nTail = code;
    switch (code) {
    case 0:
        tail->setPosition(x - tail->width() + kTailOverlap, y);
        break;
    case 1:
    case 2:
        tail->setPosition(x, y - kTailOverlap);
        break;
    case 4:
        tail->setPosition(x - width(), y - kTailOverlap);
        break;
    case 6:
        tail->setPosition(x, y + height() - tail->height());
        break;
    default:
        tail->setPosition(x - kTailOverlap, y);
        break;
    }
}

void TalkBalloon::showTail(bool show)
{
    if (sprite::SpriteBase* tail = currentTail())
        tail->setVisible(show);
}

void TalkBalloon::fadeTail(int alpha, int frames)
{
    sprite::SpriteBase* tail = currentTail();
    if (!tail)
        return;
    if (frames <= 0)
        tail->setAlphaBalance(alpha);
    else
        tail->setAlphaDestination(alpha, frames, 1);
}

void TalkBalloon::slideInFromRight(sprite::SpriteBase* companion)
{
    const int homeLeft = left();
    const int homeTop = top();
    const int dx = width() + SCREEN_WIDTH - homeLeft;
    setPosition(homeLeft + dx, homeTop);
    setDestination(homeLeft, homeTop, SLIDE_FRAMES);
    if (companion) {
        const int companionLeft = companion->left();
        const int companionTop = companion->top();
        companion->setPosition(companionLeft + dx, companionTop);
        companion->setDestination(companionLeft, companionTop, SLIDE_FRAMES);
    }
}
