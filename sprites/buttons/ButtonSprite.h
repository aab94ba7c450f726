// ButtonSprite.h: an animated picture that is a button: each of the seven
// button states shows a frame of the grid. By default the whole box is the
// click area, not only the opaque pixels.
#pragma once

#include "sprites/images/AnimateSprite.h"
#include "sprites/buttons/ButtonMixin.h"

namespace sprite {

class ButtonSprite : public AnimateSprite, public ButtonMixin {
public:
    // Frame indexes in state order; -1 shows no frame.
    static constexpr int NO_FRAME = -1;

    // No image, disabled, hit anywhere in its bounds; every state shows
    // frame 0 but the selected ones, which show none.
    ButtonSprite();

    HV_CLASS_NAME("ButtonSprite", AnimateSprite)
    HV_DECLARE_METACLASS(ButtonSprite);

    // The animated sprite's set-up (numbers 0 to 3 and the frame), then the
    // frames of rollover (4), normal (5) and disabled (6); with 8 numbers, 7
    // is the state. The frames follow the state only: they do not play.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    // A new ButtonSprite with this one's picture, frames, state and flags.
    SpriteBase* clone() override;
    bool isInteractive() override;
    // The rollover look follows the pointer; true when it is over the button.
    bool mouseMoved(int x, int y) override;
    void setMouseOver(bool over) override;
    // The bounds with boundsHitTest on, else the pixels of the frame shown.
    bool hittest(int x, int y) override;
    // Drops the passing looks (rollover, pressed) before the pixels go.
    void unloadImages() override;

    // Shows the frame of the new state: refuses the selected-rollover state
    // when it has no frame; the mouse-over cursor is the hand unless disabled.
    bool applyState(int newState) override;
    // Visible, hit and enabled.
    bool hitAndEnabled(int x, int y) override;

    // The frames of the states; selectedRollover -1 takes the selected
    // frame, pressed -2 the rollover frame, selectedPressed -2 the selected-
    // rollover frame. The current state's frame is shown.
    void setStateFrames(int rollover, int normal, int disabled, int selected, int selectedRollover, int pressed,
                        int selectedPressed);
    // The frame of state n (0..6).
    int getStateFrame(int n) const { return n >= 0 && n < 7 ? m_stateFrames[n] : NO_FRAME; }

    // The native methods of hv.ButtonSprite, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    int m_stateFrames[7];
};

} // namespace sprite
