// Texture.h: a two-dimensional texture of one or more levels, each a surface
// that shares the texture's reference count.
#pragma once

#include "platform/d3d9/ComObject.h"
#include "platform/d3d9/D3D9.h"

#include <memory>
#include <vector>

namespace platform::d3d9 {

class DeviceCore;
class Surface;

class Texture final : public ComObject<IDirect3DTexture9> {
public:
    // Checks the arguments against the device's capabilities and memory, then
    // makes the texture with one reference.
    static HRESULT create(const std::shared_ptr<DeviceCore>& core, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, Texture** texture);

    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;

    Surface& level(UINT index) { return *m_levels[index]; }
    UINT levelCount() const { return UINT(m_levels.size()); }

protected:
    bool implements(REFIID riid) const override;

private:
    Texture(const std::shared_ptr<DeviceCore>& core, UINT width, UINT height, UINT levels, DWORD usage,
            D3DFORMAT format, D3DPOOL pool, size_t bytes);
    ~Texture() override;

    std::shared_ptr<DeviceCore> m_core;
    D3DPOOL m_pool;
    size_t m_bytes;
    std::vector<Surface*> m_levels;
};

} // namespace platform::d3d9
