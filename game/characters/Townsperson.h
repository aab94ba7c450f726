// Townsperson.h: what the nine people met in the rooms share. Each stands in
// body type B built from its own sprites with its alternative parts hidden,
// runs an idle routine while it stands idle (after a random wait it turns to
// another head or replays the gestures of its standing pose), and takes up a
// conversation pose while it talks. The nine classes differ in a few steps,
// which they override. This class adds no name of its own: each of the nine
// answers to its own name and then as a Character.
#pragma once

#include "game/characters/Character.h"

class Townsperson : public Character {
public:
    // The idle step, then the character's tick.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // The character's set-up, then the alternative parts hidden; the figure
    // counts as shown, so its pictures load when it first appears.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // Only type B: the standing pose; any other type changes nothing.
    void setBodyType(int type) override;
    // Heads A, B and D only.
    void findHeadSprites() override;
    // Mouth closed, idle and blinking again; one who stays after a speech
    // only closes the mouth (the state stays "stopped", blinking stays off).
    void onTalkStopped() override;
    // In the normal mood: the standing pose, shown at its first frames.
    void enterIdlePose() override;
    // The conversation pose with an arm gesture, or back to standing.
    void setConversation(bool on) override;

    int getIdleCountdown() const { return m_nIdleCountdown; }
    bool isIdlePose() const { return m_bIdlePose; }

protected:
    // The alternative sprites of the class (null-ended), whether hiding them
    // also empties the talk and blink layers, and whether the person stays as
    // they are after a speech (no idle routine) until the conversation ends.
    Townsperson(const char* const* extraParts, bool emptiesTalkAndBlink, bool staysAfterSpeech = false);

    // Whether an idle step is due this tick: visible, idle with ambient
    // gestures on, and the wait counted down below 0 (only then is it
    // counted).
    virtual bool idleStepDue();
    // An alternative head (A or D) for a wait from numbers 5 and 6.
    virtual void showAlternativeHead();
    // The normal head replays, then the class's gestures; a wait from
    // numbers 7 and 8.
    virtual void replayNormalPose();
    // The gestures of a normal replay: the left arm, then the right arm
    // back to rest at its end.
    virtual void replayGestures();
    // Binds the standing pose's layers and shows its head.
    virtual void buildStandingPose();
    // The arms of the standing pose: at rest.
    virtual void restArms();
    // The conversation pose's steps.
    virtual void conversationStarting() {}
    virtual void conversationTorso();
    virtual void conversationHead();
    virtual void conversationBlink();
    // One who stays after a speech is idle again before the standing pose returns.
    virtual void conversationEnding();
    virtual bool keepsMoodAfterConversation() const { return false; }

    // Hides the alternative sprites.
    void hideExtraParts();
    // The layer's sprite hidden, the layer bound to the child of that name,
    // and that child shown; nothing when the child is missing.
    void swapLayer(int layer, const char* name);
    // The layer bound to the child of that name (or emptied without one).
    void bindLayer(int layer, const char* name);
    void showLayerSprite(int layer);
    void hideLayerSprite(int layer);
    void hideChild(const char* name);
    // Frames 0 to the last at `rate` ticks a frame, `loops` times (-1 for
    // ever), reported with the notification; the layer shows.
    void playLayer(int layer, int rate, int loops, const char* notification = "");
    // The same from frame 0.
    void playLayerFromStart(int layer, int rate, int loops, const char* notification = "");
    // The layer's frames run without a report and without a change of
    // visibility: once (loops 0), n times, or for ever (-1).
    void runLayer(int layer, int rate, int loops);
    // The head turned to A or D (drawn at random).
    void turnToAlternativeHead();
    // A wait drawn between the definition's numbers `first` and `first` + 1.
    int drawWait(int first);

    int m_nIdleCountdown;
    bool m_bIdlePose;

private:
    const char* const* m_extraParts;
    bool m_bEmptiesTalkAndBlink;
    bool m_bStaysAfterSpeech;
};
