// PuzzleCheats.cpp: the metaclass of PuzzleCheats.
#include "game/debug/PuzzleCheats.h"

HV_DEFINE_METACLASS(PuzzleCheats);
