// PuzzleCheats.h: the developer's jump screen (for now only its class, so that
// the data makes it by name; its jumps are not written yet).
#pragma once

#include "game/rooms/Room.h"

class PuzzleCheats : public Room {
public:
    PuzzleCheats() = default;

    HV_CLASS_NAME("PuzzleCheats", Room)
    HV_DECLARE_METACLASS(PuzzleCheats);
};
