// TutorialCharacter.cpp: the tutorial guide's fading words.
#include "game/characters/TutorialCharacter.h"

#include "sprites/text/NewFontSprite.h"

HV_DEFINE_METACLASS(TutorialCharacter);

namespace {

// The colour balance that leaves a channel as the font draws it.
constexpr int kNeutral = 128;
// The fade in of the words.
constexpr int kTutorialFadeInFrames = 6;

} // namespace

void TutorialCharacter::showTalkText(bool show)
{
    if (!m_pTalkText)
        return;
    if (show) {
        m_pTalkText->setVisible(true);
        m_pTalkText->setColorBalance(0, kNeutral, kNeutral, kNeutral);
        m_pTalkText->setAlphaDestination(kNeutral, kTutorialFadeInFrames, 0);
    } else {
        fadeOut(m_pTalkText);
    }
}
