// CooperativeLevel.h: the lost-device state machine of a device. A display-mode
// change, a full-screen device whose window is no longer active, or an injected
// loss makes the device lost; it answers D3DERR_DEVICELOST while the loss holds
// and D3DERR_DEVICENOTRESET once a Reset can succeed; a successful Reset makes
// it operational again.
#pragma once

#include "platform/d3d9/WindowHost.h"

#include <cstdint>

namespace platform::d3d9 {

class CooperativeLevel {
public:
    enum class State { Operational, Lost, NotReset };

    // A device starts (or restarts after a Reset) operational, in the given mode.
    void start(HWND focusWindow, bool fullScreen, WindowHost& host, uint32_t lossGeneration);

    // Looks for causes of loss.
    void poll(WindowHost& host, uint32_t lossGeneration, int lossHoldCalls);

    // The answer of TestCooperativeLevel after a poll.
    HRESULT test();

    // Whether a Reset may proceed now (the loss no longer holds).
    bool canReset() const;
    // A failed Reset leaves the device waiting for another.
    void resetFailed() { m_state = State::NotReset; }

    State state() const { return m_state; }
    bool operational() const { return m_state == State::Operational; }
    bool fullScreen() const { return m_fullScreen; }

private:
    void lose(int holdCalls);

    State m_state = State::Operational;
    HWND m_focusWindow = nullptr;
    bool m_fullScreen = false;
    bool m_blocked = false;  // full screen without the foreground
    int m_holdCalls = 0;
    uint32_t m_modeGeneration = 0;
    uint32_t m_lossGeneration = 0;
};

} // namespace platform::d3d9
