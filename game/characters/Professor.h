// Professor.h: the professor in his house. He never blinks in conversation,
// and after a speech he stays as he is until his conversation ends.
#pragma once

#include "game/characters/Townsperson.h"

class Professor : public Townsperson {
public:
    Professor();

    HV_CLASS_NAME("Professor", Character)
    HV_DECLARE_METACLASS(Professor);

protected:
    // Blinking off whenever the conversation pose changes.
    void conversationStarting() override;
    // No eyelids in the conversation pose.
    void conversationBlink() override {}
};
