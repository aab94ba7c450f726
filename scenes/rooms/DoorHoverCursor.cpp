// DoorHoverCursor.cpp: the door-hover cursor of the scene rooms.
#include "scenes/rooms/DoorHoverCursor.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"
#include "sprites/buttons/ButtonMixin.h"

#include <algorithm>

namespace {

bool contains(std::initializer_list<int> list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

} // namespace

int DoorHoverCursor::choose(Room* room, int x, int y, int current, const Rules& rules, bool& locked)
{
    locked = false;
    if (contains(rules.items, current))
        return -1;
    room->toLocal(x, y);
    for (const Door& door : rules.doors) {
        sprite::SpriteBase* sprite = room->getSprite(door.name);
        sprite::ButtonMixin* button = sprite ? sprite::ButtonMixin::fromSprite(sprite) : nullptr;
        if (!button || button->getState() == sprite::ButtonMixin::DISABLED || !sprite->hittest(x, y))
            continue;
        locked = true;
        return door.cursor;
    }
    if (contains(rules.keepOffDoor, current))
        return -1;
    return LanternfieldCanvas::CURSOR_NORMAL;
}

void DoorHoverCursor::update(Room* room, int x, int y, const Rules& rules)
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    if (!canvas)
        return;
    bool locked = false;
    const int cursor = choose(room, x, y, canvas->getCurrentCursor(), rules, locked);
    if (cursor >= 0)
        canvas->setCursor(cursor, locked);
}
