// TalkBalloon.h: the framed box a character's words, the player's thoughts,
// the tutorial guide's advice and the inventory's tool tips show in: it sizes
// itself to its text sprite and centres the text in itself, points a tail
// (one per anchor code) at the speaker, carries a button that moves and
// shows with it, and can glide in from beyond the right edge.
#pragma once

#include "sprites/dialogs/BorderedDialog.h"

namespace sprite {
class NewFontSprite;
}

class TalkBalloon : public sprite::BorderedDialog {
public:
    // Tail codes 0 to 6, one per balloon anchor code of the characters.
    static constexpr int TAIL_COUNT = 7;
    // The width a balloon's text is wrapped to: the screen's.
    static constexpr int WRAP_WIDTH = 800;
    // Frames of the glide in from the right edge.
    static constexpr int SLIDE_FRAMES = 12;

    TalkBalloon();

    HV_CLASS_NAME("TalkBalloon", sprite::BorderedDialog)
    HV_DECLARE_METACLASS(TalkBalloon);

    // Moves the balloon; an attached button follows.
    void setPosition(int x, int y) override;
    // The transition is not used: the balloon shows or hides at once.
    void showWithTransition(bool visible, int type) override;
    // An attached button shows and hides with the balloon.
    void setVisible(bool visible) override;
    // The dialog's own; then the balloon's place and size become its home.
    void setDefinition(sprite::SpriteDefinition* definition) override;

    // The tail for an anchor code (ignored outside 0..6); it is hidden.
    void setTail(int code, sprite::SpriteBase* tail);
    sprite::SpriteBase* getTail(int code) const { return code >= 0 && code < TAIL_COUNT ? m_tails[code] : nullptr; }
    // A button that moves and shows with the balloon, at (-8, -5) from its
    // top-left corner.
    void attachButton(sprite::SpriteBase* button);
    // The text colour balance alpha 128, red, green, blue 0.
    void resetTextColor();

    // Wraps the text to the screen's width, sizes the balloon to it plus the
    // margins, centres the text in it and gives the text the colour balance.
    void layout(sprite::NewFontSprite* text);
    // Puts the text in the balloon's centre (shifted by the text shift).
    void placeOver(sprite::SpriteBase* text);
    // Points the tail of that code at (x, y) and makes it the current tail;
    // nothing when the balloon has no tail for the code.
    void placeTail(int code, int x, int y);
    // The current tail shown or hidden.
    void showTail(bool show);
    // The current tail's alpha set at once (frames <= 0) or faded, hiding it
    // when a fade ends at 0.
    void fadeTail(int alpha, int frames);
    // No current tail (a speaker stopped).
    void clearTail() { m_nTail = -1; }
    // Jumps beyond the right edge and glides back in 12 frames, the
    // companion (the tip's text) gliding with it.
    void slideInFromRight(sprite::SpriteBase* companion);

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
    int getHomeWidth() const { return m_nHomeWidth; }
    int getHomeHeight() const { return m_nHomeHeight; }
    int getCurrentTail() const { return m_nTail; }
    sprite::SpriteBase* getButton() const { return m_pButton; }
    int getButtonDX() const { return m_nButtonDX; }
    int getButtonDY() const { return m_nButtonDY; }
    int getTextAlpha() const { return m_textColor[0]; }

private:
    // The current tail, or null.
    sprite::SpriteBase* currentTail() const { return getTail(m_nTail); }

    int m_nHomeWidth;
    int m_nHomeHeight;
    int m_nHomeLeft;
    int m_nHomeTop;
    int m_nTail;
    int m_nTextPadX;
    int m_nTextPadY;
    int m_nTextDX;
    int m_nTextDY;
    // Alpha, red, green, blue; alpha -1 leaves the text's own colour.
    int m_textColor[4];
    bool m_bHasTails;
    sprite::SpriteBase* m_tails[TAIL_COUNT];
    sprite::SpriteBase* m_pButton;
    int m_nButtonDX;
    int m_nButtonDY;
};
