// GameInstructDialog.h: the mini-game instructions panel: one picture per
// mini-game explaining its rules, grown out of a point of the screen with a
// scaling transition over a dimming overlay and shrunk back into it when the
// player presses its play button or its own question mark; its close button
// (offered when it is opened from the menu) closes it at once.
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class GameInstructDialog : public sprite::DialogSprite {
public:
    // Mini-game numbers run from 0 to 17, each with its picture.
    static constexpr int GAME_COUNT = 18;
    // The grow and shrink of the panel itself: frames, origin and scales.
    static constexpr int ZOOM_FRAMES = 8;
    static constexpr int ORIGIN_X = 50;
    static constexpr int ORIGIN_Y = 50;
    static constexpr float SMALL_SCALE = 0.1f;
    static constexpr float FULL_SCALE = 1.0f;
    // The canvas's sounds of the shrink and the grow.
    static constexpr int SOUND_SHRINK = 47;
    static constexpr int SOUND_GROW = 48;
    // The dimming overlay's alpha while the panel is open.
    static constexpr int DIMMER_ALPHA = 128;

    // The picture of each mini-game number ("" for none).
    static const char* const kPictureNames[GAME_COUNT];

    GameInstructDialog();

    HV_CLASS_NAME("GameInstructDialog", sprite::DialogSprite)
    HV_DECLARE_METACLASS(GameInstructDialog);

    // The dialog's set-up; the panel counts as shown from the start.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // "playButton" and "insQuestionMark" shrink the panel, "closeButton"
    // closes it at once: 1 (handled, the canvas's command left as it is);
    // 0 passes any other command on.
    int translateCommand(lang::String* command, lang::String* out, int clickCount) override;
    // No press is taken while the panel grows or shrinks.
    int mouseDown(window::Event* e) override;
    // The end of a grow or a shrink ("GameInstructionsGrow",
    // "GameInstructionsShrink"); never consumes the event.
    bool handleEvent(window::Event* e) override;

    // Shows or hides the panel, in play mode, holding the game's picture.
    void setGame(int game, bool visible);
    // Grows the panel open from the origin toward (x, y), or shrinks it
    // closed toward the origin, over `frames` frames.
    void zoom(int game, bool closing, int x, int y, int frames, int originX, int originY, float smallScale,
              float fullScale);
    void showCloseButton(bool show);
    void showPlayButton(bool show);

    int getGame() const { return m_nGame; }
    bool isZooming() const { return m_bZooming; }

private:
    // The message the panel sends itself when its grow or shrink ends.
    void setEndAction(const char* command);

    int m_nGame;
    bool m_bZooming;
};
