// DialogInput.h: a press, a move or a release handed straight to a dialog at
// a point of its parent, without the canvas's event queue, so that a test
// counts the frames that follow exactly.
#pragma once

#include "sprites/dialogs/DialogSprite.h"
#include "windowing/window/Event.h"

namespace gametest {

// The dialog's answer to one pointer event of that kind at (x, y), with
// those modifier keys.
inline int sendToDialog(sprite::DialogSprite* dialog, int id, int x, int y, int modifiers = 0)
{
    auto* e = new window::Event(dialog, id, dialog);
    e->x = x;
    e->y = y;
    e->modifiers = modifiers;
    int result = 0;
    if (id == window::Event::MOUSE_DOWN)
        result = dialog->mouseDown(e);
    else if (id == window::Event::MOUSE_UP)
        result = dialog->mouseUp(e);
    else
        result = dialog->mouseMove(e) ? 1 : 0;
    e->release();
    return result;
}

inline int pressOn(sprite::DialogSprite* dialog, int x, int y)
{
    return sendToDialog(dialog, window::Event::MOUSE_DOWN, x, y);
}

inline bool moveOn(sprite::DialogSprite* dialog, int x, int y)
{
    return sendToDialog(dialog, window::Event::MOUSE_MOVE, x, y) != 0;
}

inline int releaseOn(sprite::DialogSprite* dialog, int x, int y)
{
    return sendToDialog(dialog, window::Event::MOUSE_UP, x, y);
}

} // namespace gametest
