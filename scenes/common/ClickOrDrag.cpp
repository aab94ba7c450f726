// ClickOrDrag.cpp: the click-or-drag rule of the piece-moving puzzles.
#include "scenes/common/ClickOrDrag.h"

#include "windowing/window/Event.h"

void ClickOrDrag::press(int x, int y, uint32_t when)
{
    m_nX = x;
    m_nY = y;
    m_dwWhen = when;
    m_bPressed = true;
}

void ClickOrDrag::press(const window::Event* e)
{
    press(e->x, e->y, e->when);
}

bool ClickOrDrag::isDrop(int x, int y, uint32_t when) const
{
    if (!m_bPressed)
        return false;
    const int64_t dx = int64_t(x) - m_nX;
    const int64_t dy = int64_t(y) - m_nY;
    return dx * dx + dy * dy > DROP_DISTANCE_SQUARED || isLongHold(when);
}

bool ClickOrDrag::isDrop(const window::Event* e) const
{
    return isDrop(e->x, e->y, e->when);
}

bool ClickOrDrag::isLongHold(uint32_t when) const
{
    // Event times are a wrapping millisecond count: the difference is taken
    // in 32 bits, so a release just after the count wraps is still close.
    return m_bPressed && int32_t(when - m_dwWhen) > DROP_HOLD_MS;
}
