// PlayerCharacter.h: the player's own figure, who thinks aloud in the
// thought balloon (stand-in: the home point and the alternative x that the
// canvas set-up gives it; its thinking is not written yet).
#pragma once

#include "game/characters/Character.h"

class PlayerCharacter : public Character {
public:
    PlayerCharacter() = default;

    HV_CLASS_NAME("PlayerCharacter", Character)
    HV_DECLARE_METACLASS(PlayerCharacter);

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
