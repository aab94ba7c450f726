// Vignette.cpp: the metaclass of Vignette.
#include "game/cutscenes/Vignette.h"

HV_DEFINE_METACLASS(Vignette);
