// Professor.h: one of the people met in the rooms (for now only
// its class, so that the data makes it by name).
#pragma once

#include "game/characters/Character.h"

class Professor : public Character {
public:
    Professor() = default;

    HV_CLASS_NAME("Professor", Character)
    HV_DECLARE_METACLASS(Professor);
};
