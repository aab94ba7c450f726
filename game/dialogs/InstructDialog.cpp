// InstructDialog.cpp: the metaclass of InstructDialog.
#include "game/dialogs/InstructDialog.h"

HV_DEFINE_METACLASS(InstructDialog);
