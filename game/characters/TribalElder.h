// TribalElder.h: the village's elder, who stops blinking at his first idle
// step and blinks again only in conversation or after a speech.
#pragma once

#include "game/characters/Townsperson.h"

class TribalElder : public Townsperson {
public:
    TribalElder();

    HV_CLASS_NAME("TribalElder", Character)
    HV_DECLARE_METACLASS(TribalElder);

protected:
    // The alternative head, then the eyelids hidden and blinking off.
    void showAlternativeHead() override;
    // Blinking off, then the shared arm gestures.
    void replayGestures() override;
    void conversationTorso() override {}
};
