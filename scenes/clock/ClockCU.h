// ClockCU.h: the clock close-up that opens over the bookshelf room, in the
// reduced form its opener needs: its origin, its host room, and opening and
// closing it (the hands and their solution come with the close-up itself).
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class Room;

class ClockCU : public sprite::DialogSprite {
public:
    // Sound table entries: the close-up opens and closes.
    static constexpr int SOUND_OPEN = 48;
    static constexpr int SOUND_CLOSE = 47;

    // Hidden, non-modal, no host, origin (0, 0).
    ClockCU();

    HV_CLASS_NAME("ClockCU", sprite::DialogSprite)
    HV_DECLARE_METACLASS(ClockCU);

    // The point the close-up grows from and shrinks to.
    void setOrigin(int x, int y);
    // The room whose script hears the close-up's result (not owned).
    void setHost(Room* host) { m_pHost = host; }
    Room* getHost() const { return m_pHost; }
    // Shows the close-up (sound 48).
    void open();
    // Puts it away (sound 47); the opener hides it.
    void close();

    int getOriginX() const { return m_nOriginX; }
    int getOriginY() const { return m_nOriginY; }

private:
    int m_nOriginX;
    int m_nOriginY;
    Room* m_pHost;
};
