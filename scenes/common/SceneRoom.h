// SceneRoom.h: what the scene classes do alike with their rooms: the game
// canvas and its sounds, look-ups of the sprites a room's definition should
// hold (a missing or mistyped one is reported and skipped, never used), the
// close button, and the pausing tick of the puzzle rooms.
#pragma once

class LanternfieldCanvas;
class Room;

namespace sprite {
class AnimateSprite;
class ButtonMixin;
class DialogSprite;
class SpriteBase;
} // namespace sprite

namespace util {
class RectangleNM;
class Region;
} // namespace util

class SceneRoom {
public:
    // The name of every room's close button.
    static const char kCloseButton[];

    // The game canvas, or null.
    static LanternfieldCanvas* canvas();
    // Plays entry n of the canvas's sound table (nothing without a canvas
    // or for an index outside the table).
    static void playSound(int n);

    // The room's child of that name; null after a debug line naming the
    // room and the sprite when there is none.
    static sprite::SpriteBase* find(sprite::DialogSprite* room, const char* name);
    // The same for a child that must be an animation (an AnimateSprite) or
    // a button; a child of another kind is reported and gives null too.
    static sprite::AnimateSprite* findAnimation(sprite::DialogSprite* room, const char* name);
    static sprite::ButtonMixin* findButton(sprite::DialogSprite* room, const char* name);
    // Shows `text` in the room's bitmap-font text sprite of that name.
    static void setText(sprite::DialogSprite* room, const char* name, const char* text);
    // Shows the text item textId in the room's text sprite of that name, in
    // front of the room's other sprites; the sprite, or null without one.
    static sprite::SpriteBase* say(sprite::DialogSprite* room, const char* name, const char* textId);
    // The alpha byte of the room's sprite of that name; the frame of its
    // animation of that name (nothing for a missing one).
    static void setAlpha(sprite::DialogSprite* room, const char* name, int alpha);
    static void setFrame(sprite::DialogSprite* room, const char* name, int frame);

    // The room's "CloseButton" enabled (state 1 unless it is selected) or
    // disabled (state 0).
    static void enableCloseButton(Room* room, bool enable = true);
    // The point (in the room's parent frame, as events give it) lies on the
    // room's enabled "CloseButton".
    static bool isCloseButtonHit(Room* room, int x, int y);
    // A press at (x, y) on the enabled close button leaves the puzzle: the
    // script's rooms[table].onExit, the instructions' question mark
    // disabled, and the room's goToRoom(target). Whether it was hit.
    static bool leaveIfCloseButtonHit(Room* room, int x, int y, const char* table, int target);

    // The tick of the puzzle rooms that pause: under the room's monitor,
    // Room::tick runs only while the mini-game instructions are not showing
    // and the game plays; otherwise nothing runs and the answer is false.
    static bool pausingTick(Room* room, int frame, util::RectangleNM* boundsOut, util::Region* region);
};
