// LostDeviceFlag.h: whether the window graphics' device is lost and not yet
// restored. Every reader and writer holds the object's monitor.
#pragma once

#include "core/lang/Object.h"

namespace window {

class LostDeviceFlag : public lang::Object {
public:
    LostDeviceFlag() : m_bLost(false) {}

    // Callers hold the monitor (lang::Synchronized on this object).
    bool isLost() const { return m_bLost; }
    void setLost(bool lost) { m_bLost = lost; }

private:
    bool m_bLost;
};

} // namespace window
