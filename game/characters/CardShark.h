// CardShark.h: the card player in the tavern. In conversation his eyelids
// wait eleven ticks of talking before they start to blink, and his right arm
// stays where it is when his reading time runs out.
#pragma once

#include "game/characters/Townsperson.h"

class CardShark : public Townsperson {
public:
    // Ticks of talking before the conversation pose blinks, less one.
    static constexpr int BLINK_DELAY = 10;

    CardShark();

    HV_CLASS_NAME("CardShark", Character)
    HV_DECLARE_METACLASS(CardShark);

    // The blink delay counts down while he talks without blinking; then the
    // idle step and the character's tick.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // The blink delay cleared, then the standing pose.
    void enterIdlePose() override;
    // Only the mouth closes.
    void onTalkTimeUp() override;

    int getBlinkDelay() const { return m_nBlinkDelay; }

protected:
    void buildStandingPose() override;
    // Both arms and the torso replay.
    void replayGestures() override;
    // "TorsoB1", played once.
    void conversationTorso() override;
    // "HeadB" hidden too, and "HeadB1" played once.
    void conversationHead() override;
    // "BlinkB1" on top but hidden until the delay runs out.
    void conversationBlink() override;

private:
    int m_nBlinkDelay;
};
