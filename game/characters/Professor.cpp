// Professor.cpp: the metaclass of Professor.
#include "game/characters/Professor.h"

HV_DEFINE_METACLASS(Professor);
