// TurnLabels.cpp: the turn labels and scores of the two-sided games.
#include "scenes/common/TurnLabels.h"

#include "core/lang/String.h"
#include "game/rooms/Room.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/base/SpriteBase.h"

#include <string>

namespace {

// The sprite's alpha byte set, or faded in to as drawn from the off-turn
// alpha over `frames`.
void onTurn(Room* room, const char* name, int frames)
{
    if (frames <= 0) {
        SceneRoom::setAlpha(room, name, TurnLabels::ALPHA_ON_TURN);
        return;
    }
    if (sprite::SpriteBase* s = SceneRoom::find(room, name)) {
        s->setAlphaBalance(TurnLabels::ALPHA_OFF_TURN);
        s->setAlphaDestination(TurnLabels::ALPHA_ON_TURN, frames, 0);
    }
}

} // namespace

void TurnLabels::showNames(Room* room, int inactiveAlpha)
{
    const lang::String computer = lang::String::loadText("STR_CONCENTRATION_AI_TURN_NAME");
    const lang::String player = lang::String::loadText("STR_CONCENTRATION_PLAYER_TURN_NAME");
    SceneRoom::setAlpha(room, "AITurnInactive", inactiveAlpha);
    SceneRoom::setAlpha(room, "PlayerTurnInactive", inactiveAlpha);
    SceneRoom::setText(room, "AITurnActive", computer.c_str());
    SceneRoom::setText(room, "AITurnInactive", computer.c_str());
    SceneRoom::setText(room, "PlayerTurnActive", player.c_str());
    SceneRoom::setText(room, "PlayerTurnInactive", player.c_str());
}

void TurnLabels::clearTurn(Room* room)
{
    SceneRoom::setFrame(room, "AITurnBG", 0);
    SceneRoom::setFrame(room, "PlayerTurnBG", 0);
}

void TurnLabels::showTurn(Room* room, bool player, int fadeFrames)
{
    const char* const on[3] = {"PlayerTurnBG", "PlayerTurnActive", "PlayerTurnInactive"};
    const char* const off[3] = {"AITurnBG", "AITurnActive", "AITurnInactive"};
    const char* const* onSide = player ? on : off;
    const char* const* offSide = player ? off : on;
    SceneRoom::setFrame(room, offSide[0], 0);
    SceneRoom::setAlpha(room, offSide[0], ALPHA_OFF_TURN);
    SceneRoom::setAlpha(room, offSide[1], ALPHA_FADED);
    SceneRoom::setAlpha(room, offSide[2], ALPHA_FADED);
    SceneRoom::setFrame(room, onSide[0], 1);
    onTurn(room, onSide[0], fadeFrames);
    onTurn(room, onSide[1], fadeFrames);
}

void TurnLabels::showScores(Room* room, int player, int computer)
{
    SceneRoom::setText(room, "PlayerScore", std::to_string(player).c_str());
    SceneRoom::setText(room, "AIScore", std::to_string(computer).c_str());
}
