// ParkRanger.h: one of the people met in the rooms (for now only
// its class, so that the data makes it by name).
#pragma once

#include "game/characters/Character.h"

class ParkRanger : public Character {
public:
    ParkRanger() = default;

    HV_CLASS_NAME("ParkRanger", Character)
    HV_DECLARE_METACLASS(ParkRanger);
};
