// MiniGameRoom.h: a scene room whose mini-game rules live in its script:
// the room offers the game's instructions (the question mark opens them,
// leaving closes them) and pauses its tick while they show or the game
// does not play.
#pragma once

#include "game/rooms/Room.h"

class MiniGameRoom : public Room {
public:
    // The room of the instructions of mini-game `game`.
    explicit MiniGameRoom(int game) : m_nGame(game) {}

    // Room's tick only while no instructions show and the game plays.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // The question mark opens the instructions (handled); else the room's.
    int mouseDown(window::Event* e) override;
    // The room's leaving, then the instructions closed.
    void onExit() override;
    // The game, and the room's left and top.
    void getGameInstructionsInfo(int& game, int& x, int& y) override;

    int getGame() const { return m_nGame; }

private:
    int m_nGame;
};
