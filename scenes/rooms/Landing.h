// Landing.h: the landing (room 25): its way up to the trailhead shows the north arrow; off it the normal cursor.
#pragma once

#include "game/rooms/Room.h"

class Landing : public Room {
public:
    HV_CLASS_NAME("Landing", Room)
    HV_DECLARE_METACLASS(Landing);

    // The door-hover cursor, then the room's own handling.
    bool mouseMove(window::Event* e) override;
};
