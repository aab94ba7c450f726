// Texture.cpp: texture creation rules and levels.
#include "platform/d3d9/Texture.h"

#include "platform/d3d9/DeviceControls.h"
#include "platform/d3d9/DeviceCore.h"
#include "platform/d3d9/PixelBuffer.h"
#include "platform/d3d9/Surface.h"

#include <algorithm>
#include <new>

namespace platform::d3d9 {
namespace {

bool isPowerOfTwo(UINT n) { return n != 0 && (n & (n - 1)) == 0; }

UINT fullChainLength(UINT width, UINT height)
{
    UINT levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
        ++levels;
    }
    return levels;
}

} // namespace

HRESULT Texture::create(const std::shared_ptr<DeviceCore>& core, UINT width, UINT height, UINT levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool, Texture** texture)
{
    *texture = nullptr;
    HRESULT fault = DeviceControls::takeFault(FaultPoint::CreateTexture);
    if (FAILED(fault))
        return fault;
    const SoftwareCaps& caps = core->caps();
    if (width == 0 || height == 0 || width > caps.maxTextureWidth || height > caps.maxTextureHeight ||
        width > PixelBuffer::kMaxSide || height > PixelBuffer::kMaxSide)
        return D3DERR_INVALIDCALL;
    if (caps.powerOfTwoTextures && (!isPowerOfTwo(width) || !isPowerOfTwo(height)))
        return D3DERR_INVALIDCALL;
    if (caps.squareTextures && width != height)
        return D3DERR_INVALIDCALL;
    if (caps.maxTextureAspectRatio != 0 &&
        std::max(width, height) / std::min(width, height) > caps.maxTextureAspectRatio)
        return D3DERR_INVALIDCALL;
    if (!PixelBuffer::isColourFormat(format))
        return D3DERR_INVALIDCALL;
    if (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM)
        return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_RENDERTARGET) && pool != D3DPOOL_DEFAULT)
        return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED)
        return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_RENDERTARGET) && (usage & D3DUSAGE_DYNAMIC))
        return D3DERR_INVALIDCALL;
    if (levels == 0)
        levels = fullChainLength(width, height);
    if (levels > fullChainLength(width, height))
        return D3DERR_INVALIDCALL;

    size_t bytes = 0;
    for (UINT i = 0, w = width, h = height; i < levels; ++i, w = std::max(1u, w / 2), h = std::max(1u, h / 2))
        bytes += PixelBuffer::byteSize(w, h, format);
    if (pool != D3DPOOL_SYSTEMMEM) {
        std::lock_guard<std::recursive_mutex> lock(core->mutex());
        if (core->textureBytes() + bytes > caps.textureMemory)
            return D3DERR_OUTOFVIDEOMEMORY;
    }
    try {
        *texture = new Texture(core, width, height, levels, usage, format, pool, pool != D3DPOOL_SYSTEMMEM ? bytes : 0);
    } catch (const std::bad_alloc&) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    return D3D_OK;
}

Texture::Texture(const std::shared_ptr<DeviceCore>& core, UINT width, UINT height, UINT levels, DWORD usage,
                 D3DFORMAT format, D3DPOOL pool, size_t bytes)
    : m_core(core), m_pool(pool), m_bytes(bytes)
{
    // Render targets and static default-pool textures are not lockable; their
    // pixels are reached by rendering and by GetRenderTargetData.
    bool lockable = pool != D3DPOOL_DEFAULT || (usage & D3DUSAGE_DYNAMIC) != 0;
    try {
        for (UINT i = 0; i < levels; ++i) {
            m_levels.push_back(Surface::createContained(core, this, this, false, width, height, format, usage, pool,
                                                        lockable));
            width = std::max(1u, width / 2);
            height = std::max(1u, height / 2);
        }
    } catch (...) {
        for (Surface* level : m_levels)
            level->destroyContained();
        throw;
    }
    m_core->addResource(this, pool == D3DPOOL_DEFAULT, m_bytes);
}

Texture::~Texture()
{
    m_core->removeResource(this, m_pool == D3DPOOL_DEFAULT, m_bytes);
    for (Surface* level : m_levels)
        level->destroyContained();
}

bool Texture::implements(REFIID riid) const
{
    return riid == IID_IDirect3DTexture9 || riid == IID_IDirect3DBaseTexture9 || riid == IID_IDirect3DResource9;
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    if (level >= m_levels.size()) {
        *surface = nullptr;
        return D3DERR_INVALIDCALL;
    }
    m_levels[level]->AddRef();
    *surface = m_levels[level];
    return D3D_OK;
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    if (!desc || level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    *desc = m_levels[level]->desc();
    return D3D_OK;
}

} // namespace platform::d3d9
