// ParkRanger.cpp: the metaclass of ParkRanger.
#include "game/characters/ParkRanger.h"

HV_DEFINE_METACLASS(ParkRanger);
