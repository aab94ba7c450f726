// Temple3.h: the third temple hall (room 60): the way to the amulet shows the north arrow; the shovel to the plant (29 to 36) keep their cursors.
#pragma once

#include "game/rooms/Room.h"

class Temple3 : public Room {
public:
    HV_CLASS_NAME("Temple3", Room)
    HV_DECLARE_METACLASS(Temple3);

    // The door-hover cursor, then the room's own handling.
    bool mouseMove(window::Event* e) override;
};
