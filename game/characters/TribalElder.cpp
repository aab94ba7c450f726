// TribalElder.cpp: the metaclass of TribalElder.
#include "game/characters/TribalElder.h"

HV_DEFINE_METACLASS(TribalElder);
