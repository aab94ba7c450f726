// PlayerCharacter.cpp: the metaclass of PlayerCharacter.
#include "game/characters/PlayerCharacter.h"

HV_DEFINE_METACLASS(PlayerCharacter);
