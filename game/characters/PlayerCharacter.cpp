// PlayerCharacter.cpp: the player figure's thoughts.
#include "game/characters/PlayerCharacter.h"

#include "game/balloons/TalkBalloon.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/text/NewFontSprite.h"

#include <initializer_list>

HV_DEFINE_METACLASS(PlayerCharacter);

bool PlayerCharacter::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (!isVisible() || (m_nState != STATE_TALKING && m_nState != STATE_TIME_UP))
        return Character::tick(frame, boundsOut, region);
    const bool wasTalking = isTalking();
    const bool changed = Character::tick(frame, boundsOut, region);
    if (m_pTalkText && m_pTalkText->isVisible() && isTalking() && !m_pTalkText->isRevealPaused()) {
        --m_nMinTalkFrames;
        if (!m_pTalkText->isRevealing())
            --m_nTalkFrames;
    }
    if (m_nTalkFrames <= 0 && wasTalking)
        stopTalk();
    if (!isTalking())
        stopTalk();
    return changed;
}

void PlayerCharacter::showTalkText(bool show)
{
    if (!m_pTalkText)
        return;
    if (show)
        fadeIn(m_pTalkText);
    else
        fadeOut(m_pTalkText);
}

void PlayerCharacter::showTalkBalloon(bool show, bool, int)
{
    for (sprite::SpriteBase* part : {static_cast<sprite::SpriteBase*>(m_pTalkBalloon), m_pSkipButton}) {
        if (part && show)
            fadeIn(part);
        else if (part)
            fadeOut(part);
    }
    sprite::ButtonMixin::enableIfButton(m_pSkipButton, show);
    if (!m_pTalkBalloon)
        return;
    if (show) {
        m_pTalkBalloon->showTail(true);
        m_pTalkBalloon->fadeTail(0, 0);
        m_pTalkBalloon->fadeTail(128, 6);
    } else {
        m_pTalkBalloon->fadeTail(0, 5);
    }
}

void PlayerCharacter::talk(const lang::String& textId, bool timed)
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    const bool questionMark = canvas && canvas->isSpriteVisible("GameInsQuestionMark");
    setPosition(questionMark ? m_nAltX : m_nHomeX, m_nHomeY);
    setVisible(true);
    m_nMinTalkFrames = MIN_TALK_FRAMES;
    say(lang::String::loadText(textId), timed, FRAMES_PER_CHAR);
}
