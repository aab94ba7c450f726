// CaveEntrance.h: the cave entrance (room 30), a plain scene room whose
// script does everything but one thing: while the pointer is over the cave
// mouth ("DoorToCave", a rectangle button) the cursor is the forward arrow,
// unless one of the seven cave items hangs on the pointer.
#pragma once

#include "game/rooms/Room.h"

namespace window {
class Event;
}

class CaveEntrance : public Room {
public:
    // The special cursors of the cave items ("Spear" to "CircleBit_2"),
    // whose pictures show the items placed in this scene.
    static constexpr int FIRST_CAVE_ITEM = 22;
    static constexpr int LAST_CAVE_ITEM = 28;

    CaveEntrance() = default;

    HV_CLASS_NAME("CaveEntrance", Room)
    HV_DECLARE_METACLASS(CaveEntrance);

    // Reports a definition without the cave mouth's button.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The cave mouth's cursor, then the room's.
    bool mouseMove(window::Event* e) override;

    static bool isCaveItem(int cursor) { return cursor >= FIRST_CAVE_ITEM && cursor <= LAST_CAVE_ITEM; }
};
