// Barkeeper.cpp: the metaclass of Barkeeper.
#include "game/characters/Barkeeper.h"

HV_DEFINE_METACLASS(Barkeeper);
