// FrameNotify.h: one scheduled action of the canvas: a command delivered to a
// receiver after a number of logic frames, once or every period.
#pragma once

#include "sprites/canvas/GameCanvas3.h"

namespace sprite {

class GameCanvas3::FrameNotify : public lang::Object {
public:
    FrameNotify();
    // Releases the target and the parameter.
    ~FrameNotify() override;

    HV_CLASS_NAME("FrameNotify", lang::Object)

    // Replaces the target and the parameter (references taken on the new ones).
    void setReceivers(SpriteBase* target, lang::Object* parameter);
    // Whether the entry answers to the command (ignoring letter case) and,
    // with matchBoth, has this parameter and target.
    bool matches(const lang::String& command, bool matchBoth, lang::Object* parameter, SpriteBase* target) const;
    // Whether a repeating entry is due in this frame.
    bool isDue(int frameCounter) const;

    SpriteBase* target;     // null: the canvas itself
    int frames;             // one-shot: the countdown; repeating: the period
    lang::Object* parameter; // the sender argument of the delivery
    lang::String command;
    bool repeating;
    int startFrame; // the phase of a repeating entry
};

} // namespace sprite
