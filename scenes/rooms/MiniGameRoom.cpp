// MiniGameRoom.cpp: the instructions and the pausing tick of the scene rooms
// with a scripted mini-game.
#include "scenes/rooms/MiniGameRoom.h"

#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneRoom.h"
#include "windowing/window/Event.h"

bool MiniGameRoom::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    return SceneRoom::pausingTick(this, frame, boundsOut, region);
}

int MiniGameRoom::mouseDown(window::Event* e)
{
    if (SceneInstructions::openOnQuestionMark(this, m_nGame, e->x, e->y))
        return COMMAND_READY;
    return Room::mouseDown(e);
}

void MiniGameRoom::onExit()
{
    Room::onExit();
    SceneInstructions::close(this, m_nGame);
}

void MiniGameRoom::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = m_nGame;
    x = getX();
    y = getY();
}
