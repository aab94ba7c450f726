// OldTownConnector.h: the old town connector (room 3): the way into the
// knick-knack store (room 4) zooms in through the shop door, and coming
// back the background music plays again.
#pragma once

#include "game/rooms/Room.h"

class OldTownConnector : public Room {
public:
    static constexpr int KNICK_KNACK_STORE_ROOM = 4;
    // The music comes back to its volume over this many frames.
    static constexpr int MUSIC_FADE_FRAMES = 24;

    HV_CLASS_NAME("OldTownConnector", Room)
    HV_DECLARE_METACLASS(OldTownConnector);

    // The room's activation, then the background music looping again,
    // fading to the music volume.
    void activate() override;
    // The knick-knack store through the door zoom; the rest as the room.
    void goToRoom(int index) override;
};
