// SpriteAction.cpp: a sprite's end-of-animation command.
#include "scenes/common/SpriteAction.h"

#include "sprites/base/SpriteBase.h"

void SpriteAction::set(sprite::SpriteBase* sprite, window::Receiver* receiver, const char* command)
{
    // The sprite keeps its own reference to the command.
    lang::String* text = new lang::String(command);
    sprite->setAction(receiver, text);
    text->release();
}
