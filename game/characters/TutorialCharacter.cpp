// TutorialCharacter.cpp: the metaclass of TutorialCharacter.
#include "game/characters/TutorialCharacter.h"

HV_DEFINE_METACLASS(TutorialCharacter);
