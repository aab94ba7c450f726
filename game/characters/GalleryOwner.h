// GalleryOwner.h: the gallery's owner. In her normal mood her torso, head
// and arms move without pause and she never changes heads; in her "happy"
// mood she stands with other arms and head and turns to an alternative head
// now and then, which stays until she next takes up her idle pose.
#pragma once

#include "game/characters/Townsperson.h"

class GalleryOwner : public Townsperson {
public:
    // Mood 1.
    static constexpr int MOOD_HAPPY = 1;

    GalleryOwner();

    HV_CLASS_NAME("GalleryOwner", Character)
    HV_DECLARE_METACLASS(GalleryOwner);

    // The pose of the mood, moving.
    void enterIdlePose() override;
    // "happy" (any case) turns her happy at once; "normal" takes effect at
    // the next idle pose.
    void setState(const lang::String& name) override;

protected:
    // Steps only in the happy mood while no alternative head is up; the
    // wait counts down in either mood.
    bool idleStepDue() override;
    void showAlternativeHead() override;
    void replayNormalPose() override;
    void buildStandingPose() override;
    // "TorsoB".
    void conversationTorso() override;
    bool keepsMoodAfterConversation() const override { return true; }
};
