// Temple2.cpp: the door-hover cursor of Temple2.
#include "scenes/rooms/Temple2.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/ScriptValues.h"
#include "scenes/rooms/DoorHoverCursor.h"
#include "windowing/window/Event.h"

HV_DEFINE_METACLASS(Temple2);

bool Temple2::mouseMove(window::Event* e)
{
    const int door = ScriptValues::getBool("LF_solvedTempleDoorPuzzle2") ? 0 : 9;
    DoorHoverCursor::update(this, e->x, e->y, {{{"DoorToTemple3", door}}, {47, 48}, {LanternfieldCanvas::CURSOR_NORMAL}});
    return Room::mouseMove(e);
}
