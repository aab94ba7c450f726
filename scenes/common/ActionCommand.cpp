// ActionCommand.cpp: a sprite's end action from a plain text.
#include "scenes/common/ActionCommand.h"

#include "sprites/base/SpriteBase.h"

void ActionCommand::give(sprite::SpriteBase* sprite, window::Receiver* receiver, const char* command)
{
    if (!sprite)
        return;
    auto* text = new lang::String(command);
    sprite->setAction(receiver, text);
    text->release();
}
