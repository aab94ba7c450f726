// Direct3D.cpp: the device factory and the function that creates it.
#include "platform/d3d9/Direct3D.h"

#include "platform/d3d9/Device.h"
#include "platform/d3d9/DeviceControls.h"
#include "platform/d3d9/PixelBuffer.h"

#include <new>

namespace platform::d3d9 {

bool Direct3D::implements(REFIID riid) const { return riid == IID_IDirect3D9; }

HRESULT Direct3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                    D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat)
{
    HRESULT fault = DeviceControls::takeFault(FaultPoint::CheckDeviceFormat);
    if (FAILED(fault))
        return fault;
    if (adapter != 0 || !PixelBuffer::isColourFormat(adapterFormat))
        return D3DERR_INVALIDCALL;
    if (deviceType != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    if (usage & D3DUSAGE_DEPTHSTENCIL)
        return resourceType == D3DRTYPE_SURFACE && PixelBuffer::isDepthFormat(checkFormat) ? D3D_OK
                                                                                           : D3DERR_NOTAVAILABLE;
    if (resourceType != D3DRTYPE_SURFACE && resourceType != D3DRTYPE_TEXTURE)
        return D3DERR_NOTAVAILABLE;
    return PixelBuffer::isColourFormat(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps)
{
    HRESULT fault = DeviceControls::takeFault(FaultPoint::GetDeviceCaps);
    if (FAILED(fault))
        return fault;
    if (!caps || adapter != 0)
        return D3DERR_INVALIDCALL;
    if (deviceType != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    *caps = DeviceControls::caps().toCaps();
    return D3D_OK;
}

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode)
{
    if (!mode || adapter != 0)
        return D3DERR_INVALIDCALL;
    *mode = DeviceControls::caps().displayMode;
    return D3D_OK;
}

HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                               D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (!parameters || adapter != 0)
        return D3DERR_INVALIDCALL;
    if (deviceType != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    HRESULT fault = DeviceControls::takeFault(FaultPoint::CreateDevice);
    if (FAILED(fault))
        return fault;
    Device* made = nullptr;
    HRESULT hr = Device::create(this, focusWindow, behaviorFlags, parameters, &made);
    *device = made;
    return hr;
}

} // namespace platform::d3d9

IDirect3D9* Direct3DCreate9(UINT sdkVersion)
{
    // The debug flag in the top bit is accepted with the version.
    if ((sdkVersion & 0x7FFFFFFFu) != D3D_SDK_VERSION)
        return nullptr;
    if (FAILED(platform::d3d9::DeviceControls::takeFault(platform::d3d9::FaultPoint::Direct3DCreate9)))
        return nullptr;
    return new (std::nothrow) platform::d3d9::Direct3D();
}
