// Surface.h: a rectangle of pixels. A plain off-screen surface counts its own
// references; a texture level, a back buffer or the automatic depth-stencil
// buffer belongs to a container (texture, swap chain or device) and its
// references are the container's.
#pragma once

#include "platform/d3d9/ComBase.h"
#include "platform/d3d9/D3D9.h"
#include "platform/d3d9/PixelBuffer.h"

#include <atomic>
#include <memory>

namespace platform::d3d9 {

class DeviceCore;

class Surface final : public IDirect3DSurface9, public ComBase {
public:
    // A plain off-screen surface with one reference.
    static HRESULT createOffscreen(const std::shared_ptr<DeviceCore>& core, UINT width, UINT height, D3DFORMAT format,
                                   D3DPOOL pool, Surface** surface);

    // A surface of `container` (whose count `containerCount` is); destroyed by
    // the container through destroyContained. A surface owned by the device
    // itself (`deviceOwned`) takes no reference when the device binds it.
    static Surface* createContained(const std::shared_ptr<DeviceCore>& core, IUnknown* container,
                                    ComBase* containerCount, bool deviceOwned, UINT width, UINT height,
                                    D3DFORMAT format, DWORD usage, D3DPOOL pool, bool lockable);
    void destroyContained();

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    PixelBuffer& buffer() { return m_buffer; }
    const D3DSURFACE_DESC& desc() const { return m_desc; }
    bool isRenderTarget() const { return (m_desc.Usage & D3DUSAGE_RENDERTARGET) != 0; }
    bool isDepthStencil() const { return (m_desc.Usage & D3DUSAGE_DEPTHSTENCIL) != 0; }
    bool belongsTo(const IUnknown* container) const { return m_container == container; }

    // References a device binding holds: on the container, none for a surface
    // the device owns.
    void bindReference();
    void unbindReference();
    // The object whose count a binding of this surface holds, or null.
    ComBase* bindingOwner();
    // References taken through this surface's own AddRef and not yet released.
    ULONG heldReferences() const { return m_held.load(); }

private:
    Surface(const std::shared_ptr<DeviceCore>& core, IUnknown* container, ComBase* containerCount, bool deviceOwned,
            UINT width, UINT height, D3DFORMAT format, DWORD usage, D3DPOOL pool, bool lockable);
    ~Surface() override;

    std::shared_ptr<DeviceCore> m_core;
    IUnknown* m_container;
    ComBase* m_containerCount;
    bool m_deviceOwned;
    bool m_lockable;
    bool m_locked = false;
    std::atomic<ULONG> m_held{0};
    D3DSURFACE_DESC m_desc;
    PixelBuffer m_buffer;
};

} // namespace platform::d3d9
