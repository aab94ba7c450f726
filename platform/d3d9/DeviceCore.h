// DeviceCore.h: the state a device shares with the resources it made: its lock,
// capabilities, lost-device state, the default-pool resources still alive and
// the texture memory in use. Resources keep it alive after the device goes.
#pragma once

#include "platform/d3d9/ComBase.h"
#include "platform/d3d9/CooperativeLevel.h"
#include "platform/d3d9/SoftwareCaps.h"

#include <mutex>
#include <set>

namespace platform::d3d9 {

class PixelBuffer;

class DeviceCore {
public:
    explicit DeviceCore(const SoftwareCaps& caps) : m_caps(caps) {}

    // Every call into the device and its resources holds this lock.
    std::recursive_mutex& mutex() { return m_mutex; }
    const SoftwareCaps& caps() const { return m_caps; }
    CooperativeLevel& cooperative() { return m_cooperative; }

    // Brings the lost-device state up to date with the window host and the controls.
    void pollCooperative();

    // Shows a back buffer in a window (over the whole display for a
    // full-screen device): D3DERR_DEVICELOST while the device is lost, or an
    // injected Present failure.
    HRESULT present(HWND window, const PixelBuffer& buffer, const RECT* source, const RECT* dest, bool fullScreen);

    // Resources announce themselves while they live.
    void addResource(ComBase* resource, bool defaultPool, size_t textureBytes);
    void removeResource(ComBase* resource, bool defaultPool, size_t textureBytes);
    const std::set<ComBase*>& defaultPoolResources() const { return m_defaultPool; }
    size_t textureBytes() const { return m_textureBytes; }

private:
    std::recursive_mutex m_mutex;
    SoftwareCaps m_caps;
    CooperativeLevel m_cooperative;
    std::set<ComBase*> m_defaultPool;
    size_t m_textureBytes = 0;
};

} // namespace platform::d3d9
