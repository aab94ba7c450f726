// Surface.cpp: surfaces, their references and their locks.
#include "platform/d3d9/Surface.h"

#include "platform/d3d9/DeviceControls.h"
#include "platform/d3d9/DeviceCore.h"

#include <new>

namespace platform::d3d9 {

Surface::Surface(const std::shared_ptr<DeviceCore>& core, IUnknown* container, ComBase* containerCount,
                 bool deviceOwned, UINT width, UINT height, D3DFORMAT format, DWORD usage, D3DPOOL pool, bool lockable)
    : m_core(core), m_container(container), m_containerCount(containerCount), m_deviceOwned(deviceOwned),
      m_lockable(lockable), m_buffer(width, height, format)
{
    m_desc = {};
    m_desc.Format = format;
    m_desc.Type = D3DRTYPE_SURFACE;
    m_desc.Usage = usage;
    m_desc.Pool = pool;
    m_desc.MultiSampleType = D3DMULTISAMPLE_NONE;
    m_desc.Width = width;
    m_desc.Height = height;
    if (!m_container)
        m_core->addResource(this, pool == D3DPOOL_DEFAULT, 0);
}

Surface::~Surface()
{
    if (!m_container)
        m_core->removeResource(this, m_desc.Pool == D3DPOOL_DEFAULT, 0);
}

HRESULT Surface::createOffscreen(const std::shared_ptr<DeviceCore>& core, UINT width, UINT height, D3DFORMAT format,
                                 D3DPOOL pool, Surface** surface)
{
    try {
        *surface = new Surface(core, nullptr, nullptr, false, width, height, format, 0, pool, true);
    } catch (const std::bad_alloc&) {
        *surface = nullptr;
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

Surface* Surface::createContained(const std::shared_ptr<DeviceCore>& core, IUnknown* container,
                                  ComBase* containerCount, bool deviceOwned, UINT width, UINT height,
                                  D3DFORMAT format, DWORD usage, D3DPOOL pool, bool lockable)
{
    return new Surface(core, container, containerCount, deviceOwned, width, height, format, usage, pool, lockable);
}

void Surface::destroyContained() { delete this; }

HRESULT Surface::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_INVALIDARG;
    if (riid == IID_IUnknown || riid == IID_IDirect3DResource9 || riid == IID_IDirect3DSurface9) {
        *object = static_cast<IDirect3DSurface9*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Surface::AddRef()
{
    if (!m_container)
        return addReference();
    ++m_held;
    return m_container->AddRef();
}

ULONG Surface::Release()
{
    if (!m_container)
        return releaseReference();
    ULONG held = m_held.load();
    while (held > 0 && !m_held.compare_exchange_weak(held, held - 1)) {
    }
    // The container may go, and this surface with it.
    return m_container->Release();
}

void Surface::bindReference()
{
    if (m_deviceOwned)
        return;
    if (m_container)
        m_container->AddRef();
    else
        addReference();
}

void Surface::unbindReference()
{
    if (m_deviceOwned)
        return;
    if (m_container)
        m_container->Release();
    else
        releaseReference();
}

ComBase* Surface::bindingOwner()
{
    if (m_deviceOwned)
        return nullptr;
    return m_container ? m_containerCount : this;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD)
{
    if (!locked)
        return D3DERR_INVALIDCALL;
    std::lock_guard<std::recursive_mutex> lock(m_core->mutex());
    HRESULT fault = DeviceControls::takeFault(FaultPoint::LockRect);
    if (FAILED(fault))
        return fault;
    if (!m_lockable || m_locked || !PixelBuffer::isColourFormat(m_desc.Format))
        return D3DERR_INVALIDCALL;
    LONG left = 0, top = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            rect->right > LONG(m_desc.Width) || rect->bottom > LONG(m_desc.Height))
            return D3DERR_INVALIDCALL;
        left = rect->left;
        top = rect->top;
    }
    m_locked = true;
    locked->Pitch = m_buffer.pitchBytes();
    locked->pBits = m_buffer.row(UINT(top)) + left;
    return D3D_OK;
}

HRESULT Surface::UnlockRect()
{
    std::lock_guard<std::recursive_mutex> lock(m_core->mutex());
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    m_buffer.forgetOpacity();
    return D3D_OK;
}

} // namespace platform::d3d9
