// Trailhead.h: the trailhead (room 28): the way into the jungle shows the north arrow; off it the moon, fish and sun stay on the pointer.
#pragma once

#include "game/rooms/Room.h"

class Trailhead : public Room {
public:
    HV_CLASS_NAME("Trailhead", Room)
    HV_DECLARE_METACLASS(Trailhead);

    // The door-hover cursor, then the room's own handling.
    bool mouseMove(window::Event* e) override;
};
