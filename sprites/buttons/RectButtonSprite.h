// RectButtonSprite.h: an invisible rectangular button: a click area with
// the button states and no look of its own.
#pragma once

#include "sprites/base/BoundsSprite.h"
#include "sprites/buttons/ButtonMixin.h"

struct luaL_Reg;

namespace sprite {

class RectButtonSprite : public BoundsSprite, public ButtonMixin {
public:
    // At 0, 0 with size 0 x 0, disabled.
    RectButtonSprite();

    HV_CLASS_NAME("RectButtonSprite", BoundsSprite)
    HV_DECLARE_METACLASS(RectButtonSprite);

    // Numbers 0, 1: left, top; 2, 3: width, height (fewer than four: refused);
    // a fifth number is the state.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    bool isInteractive() override;
    // The rollover state follows the pointer over the bounds, shown or not;
    // true when it is over the button.
    bool mouseMoved(int x, int y) override;

    // Only the mouse-over cursor changes: the hand unless disabled.
    bool applyState(int newState) override;
    // Hit and enabled, whether shown or not.
    bool hitAndEnabled(int x, int y) override;

    // The native methods of hv.RectButtonSprite, ending with an empty entry.
    static const luaL_Reg* luaMethods();
};

} // namespace sprite
