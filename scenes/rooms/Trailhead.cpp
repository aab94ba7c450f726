// Trailhead.cpp: the door-hover cursor of Trailhead.
#include "scenes/rooms/Trailhead.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/rooms/DoorHoverCursor.h"
#include "windowing/window/Event.h"

HV_DEFINE_METACLASS(Trailhead);

bool Trailhead::mouseMove(window::Event* e)
{
    DoorHoverCursor::update(this, e->x, e->y, {{{"DoorToJungle", 0}}, {}, {LanternfieldCanvas::CURSOR_NORMAL, 19, 20, 21}});
    return Room::mouseMove(e);
}
