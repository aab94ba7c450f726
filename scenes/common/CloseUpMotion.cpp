// CloseUpMotion.cpp: the close-ups' grow, shrink and dimming.
#include "scenes/common/CloseUpMotion.h"

#include "game/rooms/Room.h"
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/transitions/TransitionScale.h"

namespace {

// The close-ups' transition: even moves and scaling (modes and kinds 1),
// no bounce; `fade` is the share of the run over which it fades.
sprite::TransitionScale* scaleRun(int fromX, int fromY, int toX, int toY, float fromScale, float toScale, float fade)
{
    return new sprite::TransitionScale(CloseUpMotion::FRAMES, fromX, fromY, toX, toY, fromScale, toScale, fade, 1, 1,
                                       1, 1, 0, 0);
}

} // namespace

void CloseUpMotion::setCommand(sprite::SpriteBase* sprite, window::Receiver* receiver, const char* command)
{
    if (!command) {
        sprite->setAction(nullptr, nullptr);
        return;
    }
    auto* text = new lang::String(command);
    sprite->setAction(receiver, text);
    text->release();
}

void CloseUpMotion::grow(sprite::DialogSprite* closeUp, int fromX, int fromY, int toX, int toY, const char* command)
{
    sprite::TransitionScale* t = scaleRun(fromX, fromY, toX, toY, 0.1f, 1.0f, 0.0f);
    setCommand(closeUp, closeUp, command);
    closeUp->show(true, t);
    t->release();
}

void CloseUpMotion::shrink(sprite::DialogSprite* closeUp, int fromX, int fromY, int toX, int toY, const char* command)
{
    sprite::TransitionScale* t = scaleRun(fromX, fromY, toX, toY, 1.0f, 0.1f, 0.5f);
    t->setFade(true);
    setCommand(closeUp, closeUp, command);
    closeUp->show(false, t);
    t->release();
}

void CloseUpMotion::fadeDim(sprite::SpriteBase* dim, bool in)
{
    if (!dim)
        return;
    dim->setVisible(true);
    dim->setAlphaBalance(in ? 0 : DIM_ALPHA);
    dim->setAlphaDestination(in ? DIM_ALPHA : 0, FRAMES, false);
}

void CloseUpMotion::releaseHost(sprite::SpriteBase* dim, Room* host)
{
    if (dim)
        dim->setVisible(false);
    if (host)
        host->resumeIfPaused();
}
