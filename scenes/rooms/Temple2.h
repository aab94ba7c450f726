// Temple2.h: the second temple hall (room 59): the way on shows the hand
// until the script says its door puzzle is solved, then the north arrow; the
// two stones (47, 48) keep their cursors.
#pragma once

#include "game/rooms/Room.h"

class Temple2 : public Room {
public:
    HV_CLASS_NAME("Temple2", Room)
    HV_DECLARE_METACLASS(Temple2);

    // The door-hover cursor, then the room's own handling.
    bool mouseMove(window::Event* e) override;
};
