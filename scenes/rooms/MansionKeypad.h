// MansionKeypad.h: the mansion's door keypad (room 54): ten number keys, enter and clear; what the buttons do is the room's script's.
#pragma once

#include "game/rooms/Room.h"

class MansionKeypad : public Room {
public:
    HV_CLASS_NAME("MansionKeypad", Room)
    HV_DECLARE_METACLASS(MansionKeypad);

    // The room's definition, then the buttons' keypad look.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The room left, and puzzle mode off.
    void onExit() override;
};
