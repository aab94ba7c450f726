// TalkBalloon.h: the framed speech balloon a character talks through (for
// now the settings the canvas set-up gives it: tails, margins, text shift,
// the attached button and the home position; its layout is not written yet).
#pragma once

#include "sprites/dialogs/BorderedDialog.h"

class TalkBalloon : public sprite::BorderedDialog {
public:
    // Tail codes 0 to 6.
    static constexpr int TAIL_COUNT = 7;

    TalkBalloon();

    HV_CLASS_NAME("TalkBalloon", sprite::BorderedDialog)
    HV_DECLARE_METACLASS(TalkBalloon);

    // The tail for an anchor code (ignored outside 0..6); it is hidden.
    void setTail(int code, sprite::SpriteBase* tail);
    sprite::SpriteBase* getTail(int code) const { return code >= 0 && code < TAIL_COUNT ? m_tails[code] : nullptr; }
    // The space added around the text when the balloon is sized.
    void setMargins(int x, int y)
    {
        m_nTextPadX = x;
        m_nTextPadY = y;
    }
    // The text's shift from the balloon's centre.
    void setTextShift(int dx, int dy)
    {
        m_nTextDX = dx;
        m_nTextDY = dy;
    }
    // A button that moves and shows with the balloon, at (-8, -5).
    void attachButton(sprite::SpriteBase* button);
    // The text colour balance alpha 128, red, green, blue 0.
    void resetTextColor();
    // Wraps the text to the screen's width, sizes the balloon to it with the
    // margins, centres it over the balloon and gives it the text colour.
    void layout(sprite::SpriteBase* text);
    // Centres the text over the balloon, shifted by the text shift.
    void placeOver(sprite::SpriteBase* text);
    // Jumps past the right edge of the screen and glides back to where it
    // stood in 12 frames, the companion sprite keeping its offset.
    void slideInFromRight(sprite::SpriteBase* companion);
    // The position the balloon returns to.
    void setHome(int left, int top)
    {
        m_nHomeLeft = left;
        m_nHomeTop = top;
    }

    int getTextPadX() const { return m_nTextPadX; }
    int getTextPadY() const { return m_nTextPadY; }
    int getTextDX() const { return m_nTextDX; }
    int getTextDY() const { return m_nTextDY; }
    int getHomeLeft() const { return m_nHomeLeft; }
    int getHomeTop() const { return m_nHomeTop; }
    sprite::SpriteBase* getButton() const { return m_pButton; }
    int getButtonDX() const { return m_nButtonDX; }
    int getButtonDY() const { return m_nButtonDY; }
    int getTextAlpha() const { return m_textColor[0]; }

private:
    int m_nHomeLeft;
    int m_nHomeTop;
    int m_nTextPadX;
    int m_nTextPadY;
    int m_nTextDX;
    int m_nTextDY;
    int m_textColor[4];
    sprite::SpriteBase* m_tails[TAIL_COUNT];
    sprite::SpriteBase* m_pButton;
    int m_nButtonDX;
    int m_nButtonDY;
};
