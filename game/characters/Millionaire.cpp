// Millionaire.cpp: the metaclass of Millionaire.
#include "game/characters/Millionaire.h"

HV_DEFINE_METACLASS(Millionaire);
