// SceneInstructions.cpp: the puzzle rooms' side of the mini-game instructions.
#include "scenes/common/SceneInstructions.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"

void SceneInstructions::queue(Room* room, int game, int delay)
{
    if (LanternfieldCanvas* c = LanternfieldCanvas::instance)
        c->queueGameInstructions(room->getX(), room->getY(), game, delay);
}

bool SceneInstructions::openOnQuestionMark(Room* room, int game, int x, int y)
{
    LanternfieldCanvas* c = LanternfieldCanvas::instance;
    if (!c || !c->isOverGameInsQuestionMark(x, y))
        return false;
    c->showGameInstructions(room->getX(), room->getY(), game, true, true, GROW_FRAMES, ORIGIN_X, ORIGIN_Y,
                            START_SCALE, END_SCALE);
    return true;
}

void SceneInstructions::close(Room* room, int game)
{
    LanternfieldCanvas* c = LanternfieldCanvas::instance;
    if (!c)
        return;
    c->showGameInstructions(room->getX(), room->getY(), game, false, false, GROW_FRAMES, ORIGIN_X, ORIGIN_Y,
                            START_SCALE, END_SCALE);
    c->setGameInstructionsInfo(-1, 0, 0);
}

void SceneInstructions::enterPuzzle(Room* room, int game, int delay)
{
    if (LanternfieldCanvas* c = LanternfieldCanvas::instance)
        c->setPuzzleActive(true);
    queue(room, game, delay);
}

void SceneInstructions::leavePuzzle(Room* room, int game)
{
    if (LanternfieldCanvas* c = LanternfieldCanvas::instance)
        c->setPuzzleActive(false);
    close(room, game);
}
