// InstructionsOpen.h: a room's script or button opens the mini-game
// instructions at once, growing from the room's left and top as every
// puzzle room opens them.
#pragma once

class Room;

class InstructionsOpen {
public:
    // The instructions of `game` shown now, with their grow animation.
    static void open(Room* room, int game);
};
