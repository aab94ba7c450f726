// CaveEntrance.cpp: the cursor over the cave mouth.
#include "scenes/caves/CaveEntrance.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/buttons/ButtonMixin.h"
#include "windowing/window/Event.h"

HV_DEFINE_METACLASS(CaveEntrance);

namespace {

// The forward arrow and the normal pointer.
constexpr int kCursorNorth = 0;
constexpr int kCursorNormal = 8;
const char kDoor[] = "DoorToCave";

} // namespace

void CaveEntrance::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    SceneRoom::findButton(this, kDoor);
}

bool CaveEntrance::mouseMove(window::Event* e)
{
    if (LanternfieldCanvas* c = SceneRoom::canvas()) {
        const int cursor = c->getCurrentCursor();
        sprite::SpriteBase* door = getSprite(kDoor);
        sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(door);
        int x = e->x;
        int y = e->y;
        toLocal(x, y);
        if (!isCaveItem(cursor) && button && button->isEnabled() && door->hittest(x, y))
            c->setCursor(kCursorNorth, true);
        else if (cursor != kCursorNormal && !isCaveItem(cursor))
            c->setCursor(kCursorNormal, false);
    }
    return Room::mouseMove(e);
}
