// Fisherman.cpp: the metaclass of Fisherman.
#include "game/characters/Fisherman.h"

HV_DEFINE_METACLASS(Fisherman);
