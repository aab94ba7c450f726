// Waterfall.h: the waterfall mini-game (room 37), whose rules its script
// keeps; the script opens and closes the instructions of game 17 itself.
#pragma once

#include "scenes/rooms/MiniGameRoom.h"

class Waterfall : public MiniGameRoom {
public:
    static constexpr int INSTRUCTIONS_GAME = 17;

    // Binds the room to hv.Waterfall.
    Waterfall();

    HV_CLASS_NAME("Waterfall", Room)
    HV_DECLARE_METACLASS(Waterfall);

    // The native methods of hv.Waterfall, ending with an empty entry.
    static const luaL_Reg* luaMethods();
};
