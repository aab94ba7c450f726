// ViewFinder.h: the view finder (room 53): four number dials with an arrow up and down each, and the look button; what the buttons do is the room's script's.
#pragma once

#include "game/rooms/Room.h"

class ViewFinder : public Room {
public:
    HV_CLASS_NAME("ViewFinder", Room)
    HV_DECLARE_METACLASS(ViewFinder);

    // The room's definition, then the buttons' keypad look.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The room left, and puzzle mode off.
    void onExit() override;
};
