// AmbientButterfly.cpp: the metaclass of AmbientButterfly.
#include "game/ambient/AmbientButterfly.h"

HV_DEFINE_METACLASS(AmbientButterfly);
