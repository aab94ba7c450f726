// ParkRanger.h: the island's park ranger, who talks with a mouth and eyelids
// of his own in the conversation pose and keeps his standing torso.
#pragma once

#include "game/characters/Townsperson.h"

class ParkRanger : public Townsperson {
public:
    ParkRanger();

    HV_CLASS_NAME("ParkRanger", Character)
    HV_DECLARE_METACLASS(ParkRanger);

protected:
    void conversationTorso() override {}
    // "BlinkB1" and "MouthB1" shown on top, blinking on.
    void conversationBlink() override;
};
