// TribalElder.h: one of the people met in the rooms (for now only
// its class, so that the data makes it by name).
#pragma once

#include "game/characters/Character.h"

class TribalElder : public Character {
public:
    TribalElder() = default;

    HV_CLASS_NAME("TribalElder", Character)
    HV_DECLARE_METACLASS(TribalElder);
};
