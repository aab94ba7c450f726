// VertexBuffer.cpp: vertex memory and its locks.
#include "platform/d3d9/VertexBuffer.h"

#include "platform/d3d9/DeviceControls.h"
#include "platform/d3d9/DeviceCore.h"

#include <new>

namespace platform::d3d9 {

// Largest vertex buffer accepted (bytes).
static constexpr UINT kMaxLength = 64u * 1024u * 1024u;

HRESULT VertexBuffer::create(const std::shared_ptr<DeviceCore>& core, UINT length, DWORD, D3DPOOL pool,
                             VertexBuffer** buffer)
{
    *buffer = nullptr;
    HRESULT fault = DeviceControls::takeFault(FaultPoint::CreateVertexBuffer);
    if (FAILED(fault))
        return fault;
    if (length == 0 || length > kMaxLength)
        return D3DERR_INVALIDCALL;
    if (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM)
        return D3DERR_INVALIDCALL;
    try {
        *buffer = new VertexBuffer(core, length, pool);
    } catch (const std::bad_alloc&) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    return D3D_OK;
}

VertexBuffer::VertexBuffer(const std::shared_ptr<DeviceCore>& core, UINT length, D3DPOOL pool)
    : m_core(core), m_pool(pool), m_bytes(length, 0)
{
    m_core->addResource(this, pool == D3DPOOL_DEFAULT, 0);
}

VertexBuffer::~VertexBuffer() { m_core->removeResource(this, m_pool == D3DPOOL_DEFAULT, 0); }

bool VertexBuffer::implements(REFIID riid) const
{
    return riid == IID_IDirect3DVertexBuffer9 || riid == IID_IDirect3DResource9;
}

HRESULT VertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD)
{
    if (!data)
        return D3DERR_INVALIDCALL;
    // Offset and size 0 lock the whole buffer; a size of 0 reaches to its end.
    if (offsetToLock > m_bytes.size() || sizeToLock > m_bytes.size() - offsetToLock) {
        *data = nullptr;
        return D3DERR_INVALIDCALL;
    }
    std::lock_guard<std::recursive_mutex> lock(m_core->mutex());
    ++m_locks;
    *data = m_bytes.data() + offsetToLock;
    return D3D_OK;
}

HRESULT VertexBuffer::Unlock()
{
    std::lock_guard<std::recursive_mutex> lock(m_core->mutex());
    if (m_locks == 0)
        return D3DERR_INVALIDCALL;
    --m_locks;
    return D3D_OK;
}

} // namespace platform::d3d9
