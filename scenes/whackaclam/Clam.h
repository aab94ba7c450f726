// Clam.h: one clam of the pearl game: a shell that opens and closes on its
// own timer, sometimes holding a pearl while open. A click takes the pearl
// out: it floats up, then flies into the room's next dark pearl slot. The
// clam asks its room for every delay, pearl decision and slot.
#pragma once

#include "sprites/images/ImageSprite.h"

namespace sprite {
class AnimateSprite;
}

class WhackAClam;

class Clam : public sprite::ImageSprite {
public:
    // States.
    static constexpr int STATE_IDLE = 0;
    static constexpr int STATE_CLOSED = 1;
    static constexpr int STATE_OPEN = 2;
    static constexpr int STATE_CLOSING = 3;
    static constexpr int STATE_OPENING = 4;
    // Sound table entries: opening, the first of four closing sounds, a
    // pearl taken, a click on an open clam without a pearl.
    static constexpr int SOUND_OPENING = 106;
    static constexpr int SOUND_CLOSING = 107;
    static constexpr int CLOSING_SOUNDS = 4;
    static constexpr int SOUND_PEARL_TAKEN = 111;
    static constexpr int SOUND_NO_PEARL = 112;
    // Looks 1 to 5.
    static constexpr int TYPES = 5;

    // Idle, closed look of type 1, centred on its position.
    Clam();
    // Drops the top, the pearls and the bubbles.
    ~Clam() override;

    HV_CLASS_NAME("Clam", sprite::ImageSprite)
    HV_DECLARE_METACLASS(Clam);

    // The bottom shell, then (in the clam's own frame) the pearl while it
    // holds one, the top shell and the bubbles while they show.
    void paint(window::Graphics* g) override;
    // A clam of the same look, state of play and position; without the
    // shells' and pearls' sprites.
    SpriteBase* clone() override;
    // One step of the opening and closing while the room's game runs.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // The point (the parent's frame) lies on the pearl's picture.
    bool hittest(int x, int y) override;
    // The end actions of the pearl's float and flight and of the bubbles.
    bool handleEvent(window::Event* e) override;

    // A new game: the look of the clam's type from the room's templates,
    // closed and without a pearl, the next step after `countdown` ticks.
    void setup(int countdown, WhackAClam* room);
    // A click on an open (or closing or opening) clam: the pearl is taken,
    // or the empty clam answers; false when the click does not count.
    bool click(int x, int y);
    // A click at the point would take a pearl.
    bool isPearlClickable(int x, int y);
    // The end of the game: the next step at once.
    void startEndGame();

    void setType(int type) { m_nType = type; }
    int getType() const { return m_nType; }
    int getState() const { return m_nState; }
    int getCountdown() const { return m_nCountdown; }
    bool hasPearl() const { return m_bHasPearl; }
    int getPearlsGiven() const { return m_nPearlsGiven; }
    sprite::AnimateSprite* getTop() const { return m_pTop; }
    sprite::ImageSprite* getPearl() const { return m_pPearl; }
    sprite::SpriteBase* getFloatingPearl() const { return m_pFloatingPearl; }
    sprite::AnimateSprite* getBubbles() const { return m_pBubbles; }

    // The letter of a type's templates ("A" .. "E") and its pearl's left
    // edge in the clam's picture; type 1's for a type outside 1 .. 5.
    static const char* letterOf(int type);
    static int pearlXOf(int type);

private:
    // The pearl starts floating up once the clam is open (it reopens first).
    void startPearlFloat();
    // Settles closed or open for the room's delay.
    void settle(int state);
    // Takes the floating pearl out of the room and drops it.
    void dropFloatingPearl();

    sprite::AnimateSprite* m_pTop;
    sprite::ImageSprite* m_pPearl;
    sprite::SpriteBase* m_pFloatingPearl;
    sprite::AnimateSprite* m_pBubbles;
    WhackAClam* m_pRoom;
    bool m_bHasPearl;
    int m_nCountdown;
    int m_nPearlsGiven;
    int m_nState;
    int m_nType;
};
