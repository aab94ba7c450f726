// SwapChain.cpp: additional swap chains.
#include "platform/d3d9/SwapChain.h"

#include "platform/d3d9/DeviceCore.h"
#include "platform/d3d9/Surface.h"

#include <new>

namespace platform::d3d9 {

HRESULT SwapChain::create(const std::shared_ptr<DeviceCore>& core, const D3DPRESENT_PARAMETERS& parameters,
                          SwapChain** swapChain)
{
    try {
        *swapChain = new SwapChain(core, parameters);
    } catch (const std::bad_alloc&) {
        *swapChain = nullptr;
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    return D3D_OK;
}

SwapChain::SwapChain(const std::shared_ptr<DeviceCore>& core, const D3DPRESENT_PARAMETERS& parameters)
    : m_core(core), m_parameters(parameters)
{
    bool lockable = (parameters.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0;
    m_backBuffer = Surface::createContained(core, this, this, false, parameters.BackBufferWidth,
                                            parameters.BackBufferHeight, parameters.BackBufferFormat,
                                            D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, lockable);
    m_core->addResource(this, true, 0);
}

SwapChain::~SwapChain()
{
    m_core->removeResource(this, true, 0);
    m_backBuffer->destroyContained();
}

bool SwapChain::implements(REFIID riid) const { return riid == IID_IDirect3DSwapChain9; }

HRESULT SwapChain::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride, const RGNDATA*, DWORD)
{
    std::lock_guard<std::recursive_mutex> lock(m_core->mutex());
    HWND window = destWindowOverride ? destWindowOverride : m_parameters.hDeviceWindow;
    // Additional swap chains are always windowed.
    return m_core->present(window, m_backBuffer->buffer(), sourceRect, destRect, false);
}

HRESULT SwapChain::GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (backBuffer != 0 || type != D3DBACKBUFFER_TYPE_MONO)
        return D3DERR_INVALIDCALL;
    m_backBuffer->AddRef();
    *surface = m_backBuffer;
    return D3D_OK;
}

} // namespace platform::d3d9
