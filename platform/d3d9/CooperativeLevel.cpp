// CooperativeLevel.cpp: the lost-device state machine.
#include "platform/d3d9/CooperativeLevel.h"

#include "platform/d3d9/D3D9Types.h"

namespace platform::d3d9 {

void CooperativeLevel::start(HWND focusWindow, bool fullScreen, WindowHost& host, uint32_t lossGeneration)
{
    m_state = State::Operational;
    m_focusWindow = focusWindow;
    m_fullScreen = fullScreen;
    m_blocked = false;
    m_holdCalls = 0;
    m_modeGeneration = host.displayModeGeneration();
    m_lossGeneration = lossGeneration;
}

void CooperativeLevel::lose(int holdCalls)
{
    if (m_state == State::NotReset && holdCalls <= 0)
        return;
    if (m_state != State::Lost)
        m_holdCalls = 0;
    m_state = State::Lost;
    if (holdCalls > m_holdCalls)
        m_holdCalls = holdCalls;
}

void CooperativeLevel::poll(WindowHost& host, uint32_t lossGeneration, int lossHoldCalls)
{
    uint32_t generation = host.displayModeGeneration();
    if (generation != m_modeGeneration) {
        m_modeGeneration = generation;
        lose(0);
    }
    if (lossGeneration != m_lossGeneration) {
        m_lossGeneration = lossGeneration;
        lose(lossHoldCalls);
    }
    // A full-screen device without the foreground stays lost, even one that
    // was waiting for its Reset.
    m_blocked = m_fullScreen && !host.isActive(m_focusWindow);
    if (m_blocked && m_state != State::Lost) {
        m_state = State::Lost;
        m_holdCalls = 0;
    }
}

HRESULT CooperativeLevel::test()
{
    switch (m_state) {
    case State::Operational:
        return D3D_OK;
    case State::Lost:
        if (m_blocked)
            return D3DERR_DEVICELOST;
        if (m_holdCalls > 0) {
            --m_holdCalls;
            return D3DERR_DEVICELOST;
        }
        m_state = State::NotReset;
        return D3DERR_DEVICENOTRESET;
    case State::NotReset:
        break;
    }
    return D3DERR_DEVICENOTRESET;
}

bool CooperativeLevel::canReset() const
{
    return m_state != State::Lost || (!m_blocked && m_holdCalls == 0);
}

} // namespace platform::d3d9
