// ButtonMixin.h: the button part of the button sprites: a seven-state
// machine (disabled, normal, rollover, selected, selected rollover, pressed,
// selected pressed) driven by the dialog's mouse handling, with the owner's
// reaction to each state change.
#pragma once

namespace sprite {

class SpriteBase;

class ButtonMixin {
public:
    // Button states.
    static constexpr int DISABLED = 0;
    static constexpr int NORMAL = 1;
    static constexpr int ROLLOVER = 2;
    static constexpr int SELECTED = 3;
    static constexpr int SELECTED_ROLLOVER = 4;
    static constexpr int PRESSED = 5;
    static constexpr int SELECTED_PRESSED = 6;

    ButtonMixin() = default;
    ButtonMixin(const ButtonMixin&) = delete;
    ButtonMixin& operator=(const ButtonMixin&) = delete;

    // The owner's reaction to a change to newState; false refuses it.
    virtual bool applyState(int newState) = 0;
    virtual ~ButtonMixin() = default;
    // The mouse button went up at (x, y): leaves the pressed state and tells
    // whether the release was over the enabled button.
    virtual bool releaseAt(int x, int y);
    // The point is on the button and the button is enabled.
    virtual bool hitAndEnabled(int x, int y) = 0;

    // Changes to state n (0..6) when it differs and the owner accepts it.
    void setState(int n);
    // On: normal, unless selected (3 or 4); off: disabled.
    void setEnabled(bool on);
    // The rollover look on or off (pressed looks while the mouse is held);
    // a disabled button ignores it.
    void setMouseOver(bool over);
    // The mouse button held on the button or let go; a disabled button
    // ignores it.
    void setMouseDown(bool down);
    // On a press: true when the command fires now; a button that fires on
    // release is pressed instead and the answer is false.
    bool armIfClickOnRelease();

    int getState() const { return m_nState; }
    bool isEnabled() const { return m_nState != DISABLED; }
    // States 3, 4 and 6.
    bool isSelected() const;
    bool getFireOnRelease() const { return m_bFireOnRelease; }
    void setFireOnRelease(bool on) { m_bFireOnRelease = on; }
    bool isPressed() const { return m_bPressed; }

    // The button part of a ButtonSprite or RectButtonSprite, else null.
    static ButtonMixin* fromSprite(SpriteBase* sprite);
    // Enables or disables the sprite when it is a button: a click area that
    // is shown and hidden with something else is disabled while hidden, as
    // a rect button takes presses whether shown or not.
    static void enableIfButton(SpriteBase* sprite, bool on);

protected:
    int m_nState = DISABLED;
    bool m_bFireOnRelease = false;
    bool m_bPressed = false;
};

} // namespace sprite
