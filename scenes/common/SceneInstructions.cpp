// SceneInstructions.cpp: the puzzle rooms' side of the mini-game instructions.
#include "scenes/common/SceneInstructions.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"
#include "sprites/canvas/GameCanvas3.h"

namespace {

// The canvas's named action that opens queued instructions.
const char kExpandCommand[] = "ExpandInstructions";

} // namespace

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
    open(room, game);
    return true;
}

void SceneInstructions::open(Room* room, int game)
{
    if (LanternfieldCanvas* c = LanternfieldCanvas::instance)
        c->showGameInstructions(room->getX(), room->getY(), game, true, true, GROW_FRAMES, ORIGIN_X, ORIGIN_Y,
                                START_SCALE, END_SCALE);
}

void SceneInstructions::openOrMark(Room* room, int game)
{
    if (LanternfieldCanvas* c = LanternfieldCanvas::instance)
        c->showGameInstructions(room->getX(), room->getY(), game, true, false, GROW_FRAMES, ORIGIN_X, ORIGIN_Y,
                                START_SCALE, END_SCALE);
}

void SceneInstructions::close(Room* room, int game)
{
    LanternfieldCanvas* c = LanternfieldCanvas::instance;
    if (!c)
        return;
    // Instructions queued on entering must not open over the next room.
    lang::String queued(kExpandCommand);
    c->scheduleAction(0, &queued, sprite::GameCanvas3::ACTION_REMOVE, nullptr, nullptr);
    c->showGameInstructions(room->getX(), room->getY(), game, false, false, GROW_FRAMES, ORIGIN_X, ORIGIN_Y,
                            START_SCALE, END_SCALE);
    c->setGameInstructionsInfo(-1, 0, 0);
}

void SceneInstructions::info(Room* room, int number, int& game, int& x, int& y)
{
    game = number;
    x = room->getX();
    y = room->getY();
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
