// SpriteAction.h: the action a scene gives a sprite: the command its
// receiver is sent when the sprite's animation (or transition) ends.
#pragma once

namespace sprite {
class SpriteBase;
}

namespace window {
class Receiver;
}

class SpriteAction {
public:
    // When the sprite's running animation ends, `receiver` gets `command`.
    static void set(sprite::SpriteBase* sprite, window::Receiver* receiver, const char* command);
};
