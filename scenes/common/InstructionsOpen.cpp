// InstructionsOpen.cpp: the mini-game instructions opened on request.
#include "scenes/common/InstructionsOpen.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"
#include "scenes/common/SceneInstructions.h"

void InstructionsOpen::open(Room* room, int game)
{
    if (LanternfieldCanvas* c = LanternfieldCanvas::instance)
        c->showGameInstructions(room->left(), room->top(), game, true, true, SceneInstructions::GROW_FRAMES,
                                SceneInstructions::ORIGIN_X, SceneInstructions::ORIGIN_Y,
                                SceneInstructions::START_SCALE, SceneInstructions::END_SCALE);
}
