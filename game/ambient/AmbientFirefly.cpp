// AmbientFirefly.cpp: the metaclass of AmbientFirefly.
#include "game/ambient/AmbientFirefly.h"

HV_DEFINE_METACLASS(AmbientFirefly);
