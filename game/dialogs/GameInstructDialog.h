// GameInstructDialog.h: the mini-game instructions panel (for now only its class, so that
// the data makes it by name; its behaviour is not written yet).
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class GameInstructDialog : public sprite::DialogSprite {
public:
    GameInstructDialog() : sprite::DialogSprite(false) {}

    HV_CLASS_NAME("GameInstructDialog", sprite::DialogSprite)
    HV_DECLARE_METACLASS(GameInstructDialog);

    // The panel holds a game's picture and shows or hides (no pictures yet).
    void setGame(int game, bool visible)
    {
        m_nGame = game;
        setVisible(visible);
    }
    // Grows open or shrinks closed (at once, for now).
    void zoom(int game, bool closing, int, int, int, int, int, float, float) { setGame(game, !closing); }
    void showCloseButton(bool show) { showChild("closeButton", show); }
    void showPlayButton(bool show) { showChild("playButton", show); }
    int getGame() const { return m_nGame; }
    // "playButton", "insQuestionMark" and "closeButton" close the panel (at
    // once, for now) and bring the question mark back; the press is handled.
    int translateCommand(lang::String* command, lang::String* out, int clickCount) override;

private:
    void showChild(const char* name, bool show)
    {
        if (sprite::SpriteBase* child = getSprite(name))
            child->setVisible(show);
    }

    int m_nGame = -1;
};
