// Temple1.h: the first temple hall (room 58): the way on shows the north arrow, the door puzzle the hand; the three sticks and the prism (43 to 46) keep their cursors.
#pragma once

#include "game/rooms/Room.h"

class Temple1 : public Room {
public:
    HV_CLASS_NAME("Temple1", Room)
    HV_DECLARE_METACLASS(Temple1);

    // The door-hover cursor, then the room's own handling.
    bool mouseMove(window::Event* e) override;
};
