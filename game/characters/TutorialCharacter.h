// TutorialCharacter.h: the tutorial guide (for now only
// its class, so that the data makes it by name).
#pragma once

#include "game/characters/Character.h"

class TutorialCharacter : public Character {
public:
    TutorialCharacter() = default;

    HV_CLASS_NAME("TutorialCharacter", Character)
    HV_DECLARE_METACLASS(TutorialCharacter);
};
