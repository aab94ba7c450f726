// VertexBuffer.h: a block of vertex bytes that the device draws from.
#pragma once

#include "platform/d3d9/ComObject.h"
#include "platform/d3d9/D3D9.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform::d3d9 {

class DeviceCore;

class VertexBuffer final : public ComObject<IDirect3DVertexBuffer9> {
public:
    static HRESULT create(const std::shared_ptr<DeviceCore>& core, UINT length, DWORD usage, D3DPOOL pool,
                          VertexBuffer** buffer);

    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT Unlock() override;

    const uint8_t* data() const { return m_bytes.data(); }
    size_t length() const { return m_bytes.size(); }

protected:
    bool implements(REFIID riid) const override;

private:
    VertexBuffer(const std::shared_ptr<DeviceCore>& core, UINT length, D3DPOOL pool);
    ~VertexBuffer() override;

    std::shared_ptr<DeviceCore> m_core;
    D3DPOOL m_pool;
    int m_locks = 0;
    std::vector<uint8_t> m_bytes;
};

} // namespace platform::d3d9
