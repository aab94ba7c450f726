// PlayerCharacter.h: the player's own figure. It never speaks aloud: it
// thinks in the thought balloon at its home point (or at an alternative x
// while the mini-game question mark shows), its thoughts fade in, last
// eight frames a character counted down twice a frame, and end by
// themselves with a fade out.
#pragma once

#include "game/characters/Character.h"

class PlayerCharacter : public Character {
public:
    // A thought lasts this many frames a character (before the double count).
    static constexpr int FRAMES_PER_CHAR = 8;

    PlayerCharacter() = default;

    HV_CLASS_NAME("PlayerCharacter", Character)
    HV_DECLARE_METACLASS(PlayerCharacter);

    // While thinking, the countdowns run a second time and the thought ends
    // by itself.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // The text fades in over 6 frames and out over 5.
    void showTalkText(bool show) override;
    // The balloon and its tail fade in over 6 frames and out over 5.
    void showTalkBalloon(bool show, bool hideSkip, int transition) override;
    // Goes to its thinking place, shows itself and thinks the text item.
    void talk(const lang::String& textId, bool timed) override;

    void setHome(int x, int y)
    {
        m_nHomeX = x;
        m_nHomeY = y;
    }
    void setAltX(int x) { m_nAltX = x; }
    int getHomeX() const { return m_nHomeX; }
    int getHomeY() const { return m_nHomeY; }
    int getAltX() const { return m_nAltX; }

private:
    int m_nHomeX = 0;
    int m_nHomeY = 0;
    int m_nAltX = 0;
};
