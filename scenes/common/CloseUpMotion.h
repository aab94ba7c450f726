// CloseUpMotion.h: how the puzzle close-ups the canvas owns open and close:
// a 9-frame scale transition between their origin and their open point,
// from scale 0.1 to 1.0 and back, the end of which sends the close-up its
// command; the dimming of the host room behind them, and what a close-up
// closed at once leaves of it; and commands set on sprites by their text.
#pragma once

namespace sprite {
class DialogSprite;
class SpriteBase;
} // namespace sprite

namespace window {
class Receiver;
}

class Room;

class CloseUpMotion {
public:
    // Frames of the grow and shrink, and the dimming's alpha when open.
    static constexpr int FRAMES = 9;
    static constexpr int DIM_ALPHA = 128;

    // The sprite sends `command` (text) to `receiver` at the end of its
    // animation or move; a null command clears it.
    static void setCommand(sprite::SpriteBase* sprite, window::Receiver* receiver, const char* command);
    // Shows the close-up growing from (fromX, fromY) to be centred on
    // (toX, toY); it sends itself `command` once open.
    static void grow(sprite::DialogSprite* closeUp, int fromX, int fromY, int toX, int toY, const char* command);
    // Hides it shrinking and fading from (fromX, fromY) to (toX, toY); it
    // sends itself `command` once closed.
    static void shrink(sprite::DialogSprite* closeUp, int fromX, int fromY, int toX, int toY, const char* command);
    // The host room's dimming fades in (to 128) or out (to 0), shown
    // throughout; nothing for a null sprite.
    static void fadeDim(sprite::SpriteBase* dim, bool in);
    // What a close-up closed at once leaves behind: the host room's dimming
    // hidden and its pause ended; nothing for a null sprite or room.
    static void releaseHost(sprite::SpriteBase* dim, Room* host);
};
