// Millionaire.h: the mansion's millionaire, whose idle replay nods his head
// now and then and always moves his right arm.
#pragma once

#include "game/characters/Townsperson.h"

class Millionaire : public Townsperson {
public:
    Millionaire();

    HV_CLASS_NAME("Millionaire", Character)
    HV_DECLARE_METACLASS(Millionaire);

    // The standing pose, then the head runs once.
    void enterIdlePose() override;

protected:
    // The alternative head for a wait from numbers 7 and 8.
    void showAlternativeHead() override;
    void replayNormalPose() override;
    void conversationTorso() override {}
};
