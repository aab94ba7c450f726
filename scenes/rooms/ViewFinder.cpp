// ViewFinder.cpp: the buttons' look of ViewFinder.
#include "scenes/rooms/ViewFinder.h"

#include "scenes/rooms/KeypadLook.h"

HV_DEFINE_METACLASS(ViewFinder);

void ViewFinder::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    KeypadLook::apply(this, {"number0_ArrowUp", "number0_ArrowDown", "number1_ArrowUp", "number1_ArrowDown", "number2_ArrowUp", "number2_ArrowDown", "number3_ArrowUp", "number3_ArrowDown", "LookBtn"});
}

void ViewFinder::onExit()
{
    KeypadLook::leave(this);
}
