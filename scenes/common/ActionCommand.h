// ActionCommand.h: gives a sprite the action it sends when its animation,
// move or transition ends, from a plain text.
#pragma once

namespace sprite {
class SpriteBase;
}

namespace window {
class Receiver;
}

class ActionCommand {
public:
    // The sprite sends `command` to `receiver` at the end of what it does
    // next. Nothing for a null sprite.
    static void give(sprite::SpriteBase* sprite, window::Receiver* receiver, const char* command);
};
