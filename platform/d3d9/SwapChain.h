// SwapChain.h: an additional swap chain: a back buffer of its own that is
// presented to its own window.
#pragma once

#include "platform/d3d9/ComObject.h"
#include "platform/d3d9/D3D9.h"

#include <memory>

namespace platform::d3d9 {

class DeviceCore;
class Surface;

class SwapChain final : public ComObject<IDirect3DSwapChain9> {
public:
    // `parameters` are already checked and completed by the device.
    static HRESULT create(const std::shared_ptr<DeviceCore>& core, const D3DPRESENT_PARAMETERS& parameters,
                          SwapChain** swapChain);

    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride, const RGNDATA* dirtyRegion,
                    DWORD flags) override;
    HRESULT GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;

    Surface& backBuffer() { return *m_backBuffer; }

protected:
    bool implements(REFIID riid) const override;

private:
    SwapChain(const std::shared_ptr<DeviceCore>& core, const D3DPRESENT_PARAMETERS& parameters);
    ~SwapChain() override;

    std::shared_ptr<DeviceCore> m_core;
    D3DPRESENT_PARAMETERS m_parameters;
    Surface* m_backBuffer = nullptr;
};

} // namespace platform::d3d9
