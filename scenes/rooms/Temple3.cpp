// Temple3.cpp: the door-hover cursor of Temple3.
#include "scenes/rooms/Temple3.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/rooms/DoorHoverCursor.h"
#include "windowing/window/Event.h"

HV_DEFINE_METACLASS(Temple3);

bool Temple3::mouseMove(window::Event* e)
{
    DoorHoverCursor::update(this, e->x, e->y, {{{"DoorToAmulet", 0}}, {29, 30, 31, 32, 33, 34, 35, 36}, {LanternfieldCanvas::CURSOR_NORMAL}});
    return Room::mouseMove(e);
}
