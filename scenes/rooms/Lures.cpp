// Lures.cpp: the lure mini-game's puzzle mode and instructions.
#include "scenes/rooms/Lures.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/SceneInstructions.h"
#include "windowing/window/Event.h"

#include <cstdlib>

HV_DEFINE_METACLASS(Lures);

namespace {

// The instructions open by themselves this many frames after entering.
constexpr int kInstructionsDelay = 36;
// A release farther than this from its press, in either direction, ends a
// drag rather than a click.
constexpr int kLuresDragSlack = 3;

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

int Lures::mouseDown(window::Event* e)
{
    m_lurePress = util::Point(-1, -1);
    if (SceneInstructions::openOnQuestionMark(this, INSTRUCTIONS_GAME, e->x, e->y))
        return COMMAND_READY;
    const int result = Room::mouseDown(e);
    // The script frames the lure in the hand.
    sprite::SpriteBase* ring = getSprite("LureRing");
    if (ring && ring->isVisible())
        m_lurePress = util::Point(e->x, e->y);
    return result;
}

int Lures::mouseUp(window::Event* e)
{
    const util::Point from = m_lurePress;
    m_lurePress = util::Point(-1, -1);
    if (from.x >= 0 && (std::abs(e->x - from.x) > kLuresDragSlack || std::abs(e->y - from.y) > kLuresDragSlack)) {
        clickAt(e->x, e->y);
        return HANDLED;
    }
    return MiniGameRoom::mouseUp(e);
}
