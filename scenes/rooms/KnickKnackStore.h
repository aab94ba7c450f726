// KnickKnackStore.h: the knick-knack store (room 4): the room comes out of
// the dark each time it is entered, and the way back to the old town
// connector (room 3) zooms out through the shop door.
#pragma once

#include "game/rooms/Room.h"

class KnickKnackStore : public Room {
public:
    static constexpr int OLD_TOWN_CONNECTOR_ROOM = 3;
    // The dark overlay fades out over this many frames.
    static constexpr int DARK_FADE_FRAMES = 44;
    // The door zoom: the mask, where it stands, and its frames; it scales
    // between 6.0 (the door fills the screen) and 0.0625.
    static const char kDoorMask[];
    static constexpr int DOOR_ZOOM_X = -190;
    static constexpr int DOOR_ZOOM_Y = -100;
    static constexpr float DOOR_ZOOM_WIDE = 6.0f;
    static constexpr float DOOR_ZOOM_NARROW = 0.0625f;
    static constexpr int DOOR_ZOOM_FRAMES = 36;

    KnickKnackStore() = default;
    // Takes the overlay out of the room and lets go of it.
    ~KnickKnackStore() override;

    HV_CLASS_NAME("KnickKnackStore", Room)
    HV_DECLARE_METACLASS(KnickKnackStore);

    // The room's entering, then the dark overlay (the canvas's "Dim",
    // cloned once) on top, fading out.
    void onEnter() override;
    void activate() override;
    // The old town connector through the door zoom; the rest as the room.
    void goToRoom(int index) override;

    // Leaves `room` for `target` through the shop door's zoom, from one
    // scale to the other.
    static void zoomThroughDoor(Room* room, int target, float from, float to);

    sprite::SpriteBase* getDarkOverlay() const { return m_pDark; }

private:
    // The clone of the canvas's "Dim" (owned), null until first entered.
    sprite::SpriteBase* m_pDark = nullptr;
};
