// ShopKeeper.h: the keeper of the knick-knack store. He talks in his normal
// pose and otherwise stands with his clipboard (mood "clipboard"), where his
// idle routine runs; in his normal mood he has none.
#pragma once

#include "game/characters/Townsperson.h"

class ShopKeeper : public Townsperson {
public:
    // Mood 1.
    static constexpr int MOOD_CLIPBOARD = 1;

    ShopKeeper();

    HV_CLASS_NAME("ShopKeeper", Character)
    HV_DECLARE_METACLASS(ShopKeeper);

    // The clipboard pose, or the standing pose with mouth and eyelids hidden.
    void enterIdlePose() override;
    // "clipboard" (any case) is mood 1, taken up at the next idle pose.
    void setState(const lang::String& name) override;
    // On: the normal pose, both arms gesturing; off: back to the clipboard.
    void setConversation(bool on) override;

protected:
    // Only in the clipboard mood (the wait stands still in the other).
    bool idleStepDue() override;
    // Head A, B or D, without eyelids or blinking.
    void showAlternativeHead() override;
    // The clipboard head and eyelids back; the arms once or twice.
    void replayNormalPose() override;
    // No legs; mouth and eyelids shown on top.
    void buildStandingPose() override;
};
