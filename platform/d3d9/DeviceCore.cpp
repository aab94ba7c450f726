// DeviceCore.cpp: shared device state.
#include "platform/d3d9/DeviceCore.h"

#include "platform/d3d9/DeviceControls.h"
#include "platform/d3d9/PixelBuffer.h"

namespace platform::d3d9 {

void DeviceCore::pollCooperative()
{
    m_cooperative.poll(DeviceControls::windowHost(), DeviceControls::lossGeneration(), DeviceControls::lossHoldCalls());
}

HRESULT DeviceCore::present(HWND window, const PixelBuffer& buffer, const RECT* source, const RECT* dest,
                            bool fullScreen)
{
    HRESULT fault = DeviceControls::takeFault(FaultPoint::Present);
    if (FAILED(fault))
        return fault;
    pollCooperative();
    if (!m_cooperative.operational())
        return D3DERR_DEVICELOST;
    // A window that cannot show the frame (gone, or not yet made) is not a
    // failure of the device.
    DeviceControls::windowHost().present(window, buffer.pixels(), int(buffer.width()), int(buffer.height()),
                                         buffer.pitchBytes(), source, dest, fullScreen);
    return D3D_OK;
}

void DeviceCore::addResource(ComBase* resource, bool defaultPool, size_t textureBytes)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (defaultPool)
        m_defaultPool.insert(resource);
    m_textureBytes += textureBytes;
}

void DeviceCore::removeResource(ComBase* resource, bool defaultPool, size_t textureBytes)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (defaultPool)
        m_defaultPool.erase(resource);
    m_textureBytes -= textureBytes;
}

} // namespace platform::d3d9
