// Direct3D.h: the device factory: adapter queries and device creation.
#pragma once

#include "platform/d3d9/ComObject.h"
#include "platform/d3d9/D3D9.h"

namespace platform::d3d9 {

class Direct3D final : public ComObject<IDirect3D9> {
public:
    Direct3D() = default;

    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;

protected:
    bool implements(REFIID riid) const override;

private:
    ~Direct3D() override = default;
};

} // namespace platform::d3d9
