// TransitionWipe.h: a transition that takes the old picture away from one
// side or corner, or with reverse brings it back from one pixel.
#pragma once

#include "sprites/transitions/TransitionBase.h"

namespace sprite {

class TransitionWipe : public TransitionBase {
public:
    TransitionWipe();
    TransitionWipe(int direction, int frames, int x, int y, int width, int height, bool overlay);

    HV_CLASS_NAME("TransitionWipe", TransitionBase)
    HV_DECLARE_METACLASS(TransitionWipe);

    // Moves the current layer's edge by its share of the layer's size.
    int stepFrame() override;
    // Rewinds and puts the first layer back as captured (collapsed to one
    // pixel row or column where the wipe would end, when reversed).
    void reset() override;
    // A ping-pong wipe first plays reversed.
    void setPingPong(bool on) override;
};

} // namespace sprite
