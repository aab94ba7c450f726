// Landing.cpp: the door-hover cursor of Landing.
#include "scenes/rooms/Landing.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/rooms/DoorHoverCursor.h"
#include "windowing/window/Event.h"

HV_DEFINE_METACLASS(Landing);

bool Landing::mouseMove(window::Event* e)
{
    DoorHoverCursor::update(this, e->x, e->y, {{{"DoorToTrailhead", 0}}, {}, {}});
    return Room::mouseMove(e);
}
