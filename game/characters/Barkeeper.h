// Barkeeper.h: the tavern's barkeeper, whose arms never rest while he
// stands (he polishes the glasses) and whose idle replay moves only his head.
#pragma once

#include "game/characters/Townsperson.h"

class Barkeeper : public Townsperson {
public:
    Barkeeper();

    HV_CLASS_NAME("Barkeeper", Character)
    HV_DECLARE_METACLASS(Barkeeper);

protected:
    // Both arms run for ever.
    void restArms() override;
    // No arm gesture: the arms move anyway.
    void replayGestures() override {}
};
