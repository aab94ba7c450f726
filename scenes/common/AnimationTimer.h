// AnimationTimer.h: waits made from animations. A sprite moves to the place
// where it already stands (or a sprite that is never shown moves at all) in
// so many ticks, and its action at the end of the move sends the command
// that goes on from the wait.
#pragma once

namespace sprite {
class SpriteBase;
}

namespace window {
class Receiver;
}

class AnimationTimer {
public:
    // In `frames` ticks the sprite sends `command` to `receiver` (an action
    // event, window::Receiver::handleEvent); a wait already running on the
    // sprite is replaced. Nothing for a null sprite.
    static void start(sprite::SpriteBase* timer, int frames, window::Receiver* receiver, const char* command);
    // The wait sends nothing: the sprite's action is cleared.
    static void cancel(sprite::SpriteBase* timer);
};
