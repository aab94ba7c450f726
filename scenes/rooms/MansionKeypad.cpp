// MansionKeypad.cpp: the buttons' look of MansionKeypad.
#include "scenes/rooms/MansionKeypad.h"

#include "scenes/rooms/KeypadLook.h"

HV_DEFINE_METACLASS(MansionKeypad);

void MansionKeypad::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    KeypadLook::apply(this, {"Button_0", "Button_1", "Button_2", "Button_3", "Button_4", "Button_5", "Button_6", "Button_7", "Button_8", "Button_9", "EnterButton", "ClearButton"});
}

void MansionKeypad::onExit()
{
    KeypadLook::leave(this);
}
