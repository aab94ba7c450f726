// GameInstructDialog.cpp: the metaclass of GameInstructDialog.
#include "game/dialogs/GameInstructDialog.h"

HV_DEFINE_METACLASS(GameInstructDialog);
