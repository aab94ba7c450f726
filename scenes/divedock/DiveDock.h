// DiveDock.h: the dive dock (room 14): a scene room whose script starts and
// stops the blinking warning light of the air compressor. The light fades
// in over 12 frames, stays lit 12, fades out over 12 and stays dark 12: a
// cycle of 48 frames that stands still while the game is paused.
#pragma once

#include "game/rooms/Room.h"

class DiveDock : public Room {
public:
    // The phases of the light.
    static constexpr int PHASE_NONE = -1;
    static constexpr int PHASE_FADING_IN = 0;
    static constexpr int PHASE_LIT = 1;
    static constexpr int PHASE_FADING_OUT = 2;
    static constexpr int PHASE_DARK = 3;
    // Each fade and each wait lasts this many frames.
    static constexpr int STEP_FRAMES = 12;
    // The light's sprite and the action its fades end with.
    static const char kLight[];
    static const char kFadeDone[];

    // Binds the room to hv.DiveDock; no light routine.
    DiveDock();

    HV_CLASS_NAME("DiveDock", Room)
    HV_DECLARE_METACLASS(DiveDock);

    // Counts down to the next fade, unless paused; then the room's tick.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The room's entering, with the normal cursor.
    void onEnter() override;
    // "FadeDone": the next wait begins.
    bool handleEvent(window::Event* e) override;

    // The light fades in now (the routine starts, or starts again).
    void startLightRoutine() { fadeLight(true); }
    // The light goes out and stays out: hidden, its fade completed, its
    // action and the pending fade dropped.
    void stopLightRoutine();

    int getLightPhase() const { return m_nLightPhase; }
    int getLightCountdown() const { return m_nLightCountdown; }

    // The native methods of hv.DiveDock, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // Shows the light and fades it in from 0 or out from 255.
    void fadeLight(bool in);

    int m_nLightPhase;
    // Frames before the next fade; 0 when none is pending.
    int m_nLightCountdown;
};
