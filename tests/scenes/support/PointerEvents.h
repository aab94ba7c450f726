// PointerEvents.h: presses, moves and releases handed straight to a dialog
// (a room or a close-up), at a point of the test's choice and with the
// modifier keys it chooses, as the canvas would hand them on.
#pragma once

#include "sprites/dialogs/DialogSprite.h"
#include "tests/game/support/DialogInput.h"
#include "windowing/window/Event.h"

namespace scenetest {

// The dialog's answer to one pointer event of that kind at (x, y).
inline int pointerEvent(sprite::DialogSprite* dialog, int id, int x, int y, int modifiers = 0)
{
    return gametest::sendToDialog(dialog, id, x, y, modifiers);
}

inline int press(sprite::DialogSprite* dialog, int x, int y, int modifiers = 0)
{
    return pointerEvent(dialog, window::Event::MOUSE_DOWN, x, y, modifiers);
}

inline bool move(sprite::DialogSprite* dialog, int x, int y, int modifiers = 0)
{
    return pointerEvent(dialog, window::Event::MOUSE_DRAG, x, y, modifiers) != 0;
}

inline int release(sprite::DialogSprite* dialog, int x, int y, int modifiers = 0)
{
    return pointerEvent(dialog, window::Event::MOUSE_UP, x, y, modifiers);
}

// A press at `from`, moves through each point of `path` and a release at
// the last (at `from` without a path).
struct Point {
    int x;
    int y;
};
inline void drag(sprite::DialogSprite* dialog, Point from, std::initializer_list<Point> path)
{
    press(dialog, from.x, from.y);
    Point last = from;
    for (const Point& p : path) {
        move(dialog, p.x, p.y);
        last = p;
    }
    release(dialog, last.x, last.y);
}

} // namespace scenetest
