// Temple1.cpp: the door-hover cursor of Temple1.
#include "scenes/rooms/Temple1.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/rooms/DoorHoverCursor.h"
#include "windowing/window/Event.h"

HV_DEFINE_METACLASS(Temple1);

bool Temple1::mouseMove(window::Event* e)
{
    DoorHoverCursor::update(this, e->x, e->y, {{{"DoorToTemple2", 0}, {"DoorToPuzzle1", 9}}, {43, 44, 45, 46}, {LanternfieldCanvas::CURSOR_NORMAL}});
    return Room::mouseMove(e);
}
