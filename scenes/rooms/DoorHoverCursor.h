// DoorHoverCursor.h: the cursor of the scene rooms whose doors show a
// direction (or the hand) while the pointer rests on them: which door
// counts, which item cursors keep their look, and when the cursor stays as
// it is off the doors.
#pragma once

#include <initializer_list>

class Room;

class DoorHoverCursor {
public:
    // A door of the room and the cursor it shows.
    struct Door {
        const char* name;
        int cursor;
    };
    // The hover rules of one room: its doors in the order they are tested,
    // the item cursors that skip the door test, and the cursors that stay
    // when no door counts (every other one becomes the normal cursor).
    struct Rules {
        std::initializer_list<Door> doors;
        std::initializer_list<int> items;
        std::initializer_list<int> keepOffDoor;
    };

    // The cursor index a pointer at (x, y) shows in the room, given the
    // current one: a door counts when its button is not disabled and its
    // hit test holds the point. -1 when the cursor is left as it is.
    // `locked` tells whether a door's cursor was chosen (it is set locked).
    static int choose(Room* room, int x, int y, int current, const Rules& rules, bool& locked);
    // The same, applied to the game canvas's cursor.
    static void update(Room* room, int x, int y, const Rules& rules);
};
