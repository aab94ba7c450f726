// Lures.h: the fishing-lure mini-game (room 64), whose rules its script
// keeps: in puzzle mode while entered, with the instructions of game 16. A
// lure taken into the hand and let go away from its press clicks there, so
// a drag onto its shadow lays it as the click on the shadow does.
#pragma once

#include "core/util/Point.h"
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
    // The room's press; remembered when it left a lure in the hand.
    int mouseDown(window::Event* e) override;
    // A release away from such a press clicks the room there.
    int mouseUp(window::Event* e) override;

private:
    // Where the press that left a lure in the hand was ((-1, -1) for none).
    util::Point m_lurePress{-1, -1};
};
