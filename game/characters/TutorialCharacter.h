// TutorialCharacter.h: the guide of the opening tutorial, who speaks in the
// tutorial balloon (with its help button) and whose words fade in and out.
#pragma once

#include "game/characters/Character.h"

class TutorialCharacter : public Character {
public:
    TutorialCharacter() = default;

    HV_CLASS_NAME("TutorialCharacter", Character)
    HV_DECLARE_METACLASS(TutorialCharacter);

    // The text shows in the font's own colours, fading in over 6 frames,
    // and fades out over 5.
    void showTalkText(bool show) override;
};
