// Barkeeper.h: one of the people met in the rooms (for now only
// its class, so that the data makes it by name).
#pragma once

#include "game/characters/Character.h"

class Barkeeper : public Character {
public:
    Barkeeper() = default;

    HV_CLASS_NAME("Barkeeper", Character)
    HV_DECLARE_METACLASS(Barkeeper);
};
