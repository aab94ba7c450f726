// ClockCU.h: the close-up of the wall clock over the bookshelf room (room
// 27): it grows out of the clock, lets the player drag the hour and the
// minute hand round, and tells the bookshelf's script when both hands are
// let go inside the solution's angle windows. The bookshelf opens and closes
// it; its own close button closes it too.
#pragma once

#include "sprites/dialogs/DialogSprite.h"

class Room;

class ClockCU : public sprite::DialogSprite {
public:
    // Sound table entries: opening, closing, a hand held (looped), solved.
    static constexpr int SOUND_OPEN = 48;
    static constexpr int SOUND_CLOSE = 47;
    static constexpr int SOUND_HAND = 140;
    static constexpr int SOUND_SOLVED = 139;
    // The bookshelf room, whose "DimOverlay" darkens under the close-up.
    static constexpr int BOOKSHELF_ROOM = 27;
    // The grow and shrink runs last 9 frames; the overlay fades to 128.
    static constexpr int TRANSITION_FRAMES = 9;
    static constexpr int DIM_ALPHA = 128;
    // The point the close-up opens to, and the screen point both hands turn
    // about while it is open.
    static constexpr int OPEN_X = 500;
    static constexpr int OPEN_Y = 350;
    static constexpr int PIVOT_X = 405;
    static constexpr int PIVOT_Y = 219;
    // Every opening starts from these hand angles (degrees clockwise from
    // twelve); the definition's minute hand starts at 30.
    static constexpr int HOUR_START = 270;
    static constexpr int MINUTE_START = 138;
    static constexpr int MINUTE_DEFINED = 30;
    // The solution: both truncated angles inside these windows (ends
    // included) when a hand is let go.
    static constexpr int HOUR_LOW = 47;
    static constexpr int HOUR_HIGH = 80;
    static constexpr int MINUTE_LOW = 266;
    static constexpr int MINUTE_HIGH = 283;

    // Hidden, non-modal, no host, origin (0, 0), no open point yet.
    ClockCU();
    ~ClockCU() override;

    HV_CLASS_NAME("ClockCU", sprite::DialogSprite)
    HV_DECLARE_METACLASS(ClockCU);

    // The dialog's definition; finds the two hands and sets the minute
    // hand to its defined angle.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The close button closes; otherwise a press on a hand holds it.
    int mouseDown(window::Event* e) override;
    // A held hand points from the pivot toward the pointer.
    bool mouseMove(window::Event* e) override;
    // Lets the hand go and checks the solution; 0.
    int mouseUp(window::Event* e) override;
    // The ends of the grow and shrink runs.
    bool handleEvent(window::Event* e) override;
    // Hidden at once, calling off its waits, its host room undimmed and no
    // longer paused.
    void closeNow() override;

    // The point the close-up grows from and shrinks to.
    void setOrigin(int x, int y);
    // The room whose close button comes back when the close-up has closed
    // (not owned).
    void setHost(Room* host) { m_pHost = host; }
    Room* getHost() const { return m_pHost; }
    // Shows the close-up growing from the origin; the hands start afresh.
    void grow();
    // Shrinks it back to the origin and hides it at the end.
    void shrinkOut();
    // The opener's names for the two moves.
    void open() { grow(); }
    void close() { shrinkOut(); }
    // No grow or shrink runs: the hands take input.
    bool isIdle();

    // A hand's angle for a pointer at (x, y): from the pivot toward the
    // point, 0 up, clockwise, in [0, 360).
    static double handAngleToward(int x, int y);
    // Truncated hour and minute angles inside the solution's windows.
    static bool isSolution(double hour, double minute);

    int getOriginX() const { return m_nOriginX; }
    int getOriginY() const { return m_nOriginY; }
    bool isClosing() const { return m_bClosing; }
    sprite::SpriteBase* getHourHand() const { return m_pHourHand; }
    sprite::SpriteBase* getMinuteHand() const { return m_pMinuteHand; }
    sprite::SpriteBase* getHeldHand() const { return m_pHeldHand; }

private:
    // Turns the hand to the angle.
    static void turnTo(sprite::SpriteBase* hand, double degrees);
    // The bookshelf's "DimOverlay", or null.
    static sprite::SpriteBase* dimOverlay();
    // Runs the scale transition between the two points and sets the action.
    void runTransition(bool growing, const char* command);

    int m_nOriginX;
    int m_nOriginY;
    int m_nOpenX;
    int m_nOpenY;
    bool m_bClosing;
    Room* m_pHost;
    // The hands (children of the dialog, not owned) and the one held.
    sprite::SpriteBase* m_pHourHand;
    sprite::SpriteBase* m_pMinuteHand;
    sprite::SpriteBase* m_pHeldHand;
};
