// ClickOrDrag.h: tells a click from a drag for the puzzles that move a
// piece with the mouse. A press picks the piece up; its release puts it
// down (a drop) when the pointer moved far enough or the button was held
// long enough, otherwise the piece stays on the pointer until the next click.
#pragma once

#include <cstdint>

namespace window {
class Event;
}

class ClickOrDrag {
public:
    // A release more than 100 pixels from the press is a drop (compared
    // squared, so no root is taken).
    static constexpr int64_t DROP_DISTANCE_SQUARED = 10000;
    // A release more than 550 ms of event time after the press is a drop.
    static constexpr int32_t DROP_HOLD_MS = 550;

    // No press yet.
    ClickOrDrag() = default;

    // Remembers the press: its point and its event time.
    void press(int x, int y, uint32_t when);
    void press(const window::Event* e);
    // Forgets the press.
    void clear() { m_bPressed = false; }
    bool hasPress() const { return m_bPressed; }

    // A release at (x, y) at `when` is a drop: farther than 100 pixels from
    // the press, or later than 550 ms after it. Without a press: false.
    bool isDrop(int x, int y, uint32_t when) const;
    bool isDrop(const window::Event* e) const;
    // The button was held longer than 550 ms (the rule of the hedge maze,
    // which ignores the distance). Without a press: false.
    bool isLongHold(uint32_t when) const;

    int pressX() const { return m_nX; }
    int pressY() const { return m_nY; }
    uint32_t pressTime() const { return m_dwWhen; }

private:
    int m_nX = 0;
    int m_nY = 0;
    uint32_t m_dwWhen = 0;
    bool m_bPressed = false;
};
