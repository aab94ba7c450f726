// Lures.h: the fishing-lure mini-game (room 64), whose rules its script
// keeps: in puzzle mode while entered, with the instructions of game 16.
#pragma once

#include "scenes/rooms/MiniGameRoom.h"

class Lures : public MiniGameRoom {
public:
    static constexpr int INSTRUCTIONS_GAME = 16;

    Lures() : MiniGameRoom(INSTRUCTIONS_GAME) {}

    HV_CLASS_NAME("Lures", Room)
    HV_DECLARE_METACLASS(Lures);

    // Puzzle mode on, the room entered, the instructions queued.
    void onEnter() override;
    // The room left, the instructions closed and puzzle mode off.
    void onExit() override;
};
