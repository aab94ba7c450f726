// Lures.cpp: the lure mini-game's puzzle mode and instructions.
#include "scenes/rooms/Lures.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/SceneInstructions.h"

HV_DEFINE_METACLASS(Lures);

namespace {

// The instructions open by themselves this many frames after entering.
constexpr int kInstructionsDelay = 36;

} // namespace

void Lures::onEnter()
{
    if (LanternfieldCanvas* c = LanternfieldCanvas::instance)
        c->setPuzzleActive(true);
    Room::onEnter();
    // Puzzle mode hid the inventory bar; the question mark comes in its place.
    SceneInstructions::queue(this, INSTRUCTIONS_GAME, kInstructionsDelay);
}

void Lures::onExit()
{
    MiniGameRoom::onExit();
    if (LanternfieldCanvas* c = LanternfieldCanvas::instance)
        c->setPuzzleActive(false);
}
