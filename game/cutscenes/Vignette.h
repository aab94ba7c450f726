// Vignette.h: the slide-show cut scene room (for now the slide group that the
// chapter start chooses; the slides are not written yet).
#pragma once

#include "game/rooms/Room.h"

class Vignette : public Room {
public:
    Vignette() = default;

    HV_CLASS_NAME("Vignette", Room)
    HV_DECLARE_METACLASS(Vignette);

    // The slide group shown when the room is entered next.
    void setGroup(int group) { m_nGroup = group; }
    int getGroup() const { return m_nGroup; }

private:
    int m_nGroup = 0;
};
