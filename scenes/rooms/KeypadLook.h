// KeypadLook.h: the look of the keypad-like buttons of the mansion keypad
// and the view finder: a frame per state (normal 0, rollover 1, pressed 2,
// disabled 3, no selected look), firing on release, and hit only on the
// opaque pixels of their picture. What the keys do is the rooms' scripts'.
#pragma once

#include <initializer_list>

class Room;

class KeypadLook {
public:
    // The frames of the button states.
    static constexpr int FRAME_NORMAL = 0;
    static constexpr int FRAME_ROLLOVER = 1;
    static constexpr int FRAME_PRESSED = 2;
    static constexpr int FRAME_DISABLED = 3;

    // Dresses each named button of the room (a missing one is reported and
    // skipped).
    static void apply(Room* room, std::initializer_list<const char*> names);
    // Leaving such a room: the room's leaving, then puzzle mode off.
    static void leave(Room* room);
};
