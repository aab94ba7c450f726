// AnimationTimer.cpp: waits made from a sprite's move to its own place.
#include "scenes/common/AnimationTimer.h"

#include "sprites/base/SpriteBase.h"

void AnimationTimer::start(sprite::SpriteBase* timer, int frames, window::Receiver* receiver, const char* command)
{
    if (!timer)
        return;
    auto* text = new lang::String(command);
    timer->setAction(receiver, text);
    text->release();
    timer->setDestination(timer->left(), timer->top(), frames);
}

void AnimationTimer::cancel(sprite::SpriteBase* timer)
{
    if (!timer)
        return;
    // The move to its own place may run on: it changes nothing on screen.
    timer->setAction(nullptr, nullptr);
}
