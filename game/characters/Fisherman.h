// Fisherman.h: one of the people met in the rooms (for now only
// its class, so that the data makes it by name).
#pragma once

#include "game/characters/Character.h"

class Fisherman : public Character {
public:
    Fisherman() = default;

    HV_CLASS_NAME("Fisherman", Character)
    HV_DECLARE_METACLASS(Fisherman);
};
