// Fisherman.h: the fisherman at the docks. After a speech he stays as he is
// (no idle routine) until his conversation ends.
#pragma once

#include "game/characters/Townsperson.h"

class Fisherman : public Townsperson {
public:
    Fisherman();

    HV_CLASS_NAME("Fisherman", Character)
    HV_DECLARE_METACLASS(Fisherman);
};
