// Millionaire.h: one of the people met in the rooms (for now only
// its class, so that the data makes it by name).
#pragma once

#include "game/characters/Character.h"

class Millionaire : public Character {
public:
    Millionaire() = default;

    HV_CLASS_NAME("Millionaire", Character)
    HV_DECLARE_METACLASS(Millionaire);
};
