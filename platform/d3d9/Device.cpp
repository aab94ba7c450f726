// Device.cpp: the software graphics device.
#include "platform/d3d9/Device.h"

#include "platform/d3d9/DeviceControls.h"
#include "platform/d3d9/DeviceCore.h"
#include "platform/d3d9/DrawState.h"
#include "platform/d3d9/PixelBuffer.h"
#include "platform/d3d9/Surface.h"
#include "platform/d3d9/SwapChain.h"
#include "platform/d3d9/Texture.h"
#include "platform/d3d9/VertexBuffer.h"
#include "platform/d3d9/VertexDeclaration.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace platform::d3d9 {
namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

DWORD floatBits(float value)
{
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float bitsFloat(DWORD bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

RECT intersect(const RECT& a, const RECT& b)
{
    RECT r = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

// Device bindings hold references: a surface's binding is held on its container.
void hold(Surface* surface)
{
    if (surface)
        surface->bindReference();
}
void drop(Surface* surface)
{
    if (surface)
        surface->unbindReference();
}
template <class T>
void hold(T* object)
{
    if (object)
        object->AddRef();
}
template <class T>
void drop(T* object)
{
    if (object)
        object->Release();
}

// Replaces a binding; the old object may go once the slot no longer names it.
template <class T>
void rebind(T*& slot, T* value)
{
    hold(value);
    T* old = slot;
    slot = value;
    drop(old);
}

Surface* asSurface(IDirect3DSurface9* surface) { return static_cast<Surface*>(surface); }

// Vertices a primitive count needs; 0 for the primitive types not offered.
UINT vertexCount(D3DPRIMITIVETYPE type, UINT primitives)
{
    switch (type) {
    case D3DPT_POINTLIST:
        return primitives;
    case D3DPT_TRIANGLELIST:
        return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return primitives + 2;
    default:
        return 0;
    }
}

// Largest primitive count of one draw; keeps vertex counts far from overflow.
constexpr UINT kMaxPrimitives = 1u << 20;

} // namespace

HRESULT Device::create(IDirect3D9* factory, HWND focusWindow, DWORD behaviorFlags, D3DPRESENT_PARAMETERS* parameters,
                       Device** device)
{
    *device = nullptr;
    int processing = ((behaviorFlags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) ? 1 : 0) +
                     ((behaviorFlags & D3DCREATE_HARDWARE_VERTEXPROCESSING) ? 1 : 0) +
                     ((behaviorFlags & D3DCREATE_MIXED_VERTEXPROCESSING) ? 1 : 0);
    if (processing != 1)
        return D3DERR_INVALIDCALL;
    auto core = std::make_shared<DeviceCore>(DeviceControls::caps());
    if (!focusWindow)
        focusWindow = parameters->hDeviceWindow;
    D3DPRESENT_PARAMETERS completed = *parameters;
    HRESULT hr = completeParameters(completed, focusWindow, *core);
    if (FAILED(hr))
        return hr;

    Device* made = new (std::nothrow) Device(factory, core, focusWindow);
    if (!made)
        return E_OUTOFMEMORY;
    hr = made->makeSwapBuffers(completed);
    if (FAILED(hr)) {
        made->Release();
        return hr;
    }
    made->m_parameters = completed;
    *parameters = completed;
    made->resetState();
    core->cooperative().start(focusWindow, !completed.Windowed, DeviceControls::windowHost(),
                              DeviceControls::lossGeneration());
    *device = made;
    return D3D_OK;
}

Device::Device(IDirect3D9* factory, const std::shared_ptr<DeviceCore>& core, HWND focusWindow)
    : m_factory(factory), m_core(core), m_focusWindow(focusWindow)
{
    m_factory->AddRef();
}

Device::~Device()
{
    {
        Lock lock(m_core->mutex());
        unbindAll();
        if (m_backBuffer)
            m_backBuffer->destroyContained();
        if (m_autoDepthStencil)
            m_autoDepthStencil->destroyContained();
    }
    m_factory->Release();
}

bool Device::implements(REFIID riid) const { return riid == IID_IDirect3DDevice9; }

HRESULT Device::completeParameters(D3DPRESENT_PARAMETERS& p, HWND focusWindow, const DeviceCore& core)
{
    if (p.BackBufferCount > 1 || p.MultiSampleType != D3DMULTISAMPLE_NONE)
        return D3DERR_INVALIDCALL;
    if (p.SwapEffect != D3DSWAPEFFECT_DISCARD && p.SwapEffect != D3DSWAPEFFECT_FLIP &&
        p.SwapEffect != D3DSWAPEFFECT_COPY)
        return D3DERR_INVALIDCALL;
    HWND window = p.hDeviceWindow ? p.hDeviceWindow : focusWindow;
    if (!window)
        return D3DERR_INVALIDCALL;
    if (p.Windowed) {
        if (p.BackBufferFormat == D3DFMT_UNKNOWN)
            p.BackBufferFormat = core.caps().displayMode.Format;
        if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
            int width = 0, height = 0;
            if (!DeviceControls::windowHost().clientSize(window, &width, &height) || width <= 0 || height <= 0)
                return D3DERR_INVALIDCALL;
            if (p.BackBufferWidth == 0)
                p.BackBufferWidth = UINT(width);
            if (p.BackBufferHeight == 0)
                p.BackBufferHeight = UINT(height);
        }
    } else if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
        return D3DERR_INVALIDCALL;
    }
    if (!PixelBuffer::isColourFormat(p.BackBufferFormat) || p.BackBufferWidth > PixelBuffer::kMaxSide ||
        p.BackBufferHeight > PixelBuffer::kMaxSide)
        return D3DERR_INVALIDCALL;
    if (p.EnableAutoDepthStencil && !PixelBuffer::isDepthFormat(p.AutoDepthStencilFormat))
        return D3DERR_INVALIDCALL;
    if (p.BackBufferCount == 0)
        p.BackBufferCount = 1;
    return D3D_OK;
}

HRESULT Device::makeSwapBuffers(const D3DPRESENT_PARAMETERS& p)
{
    Surface* backBuffer = nullptr;
    Surface* depthStencil = nullptr;
    try {
        bool lockable = (p.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0;
        backBuffer = Surface::createContained(m_core, this, this, true, p.BackBufferWidth, p.BackBufferHeight,
                                              p.BackBufferFormat, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, lockable);
        if (p.EnableAutoDepthStencil)
            depthStencil = Surface::createContained(m_core, this, this, true, p.BackBufferWidth, p.BackBufferHeight,
                                                    p.AutoDepthStencilFormat, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT,
                                                    false);
    } catch (const std::bad_alloc&) {
        if (backBuffer)
            backBuffer->destroyContained();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    if (m_backBuffer)
        m_backBuffer->destroyContained();
    if (m_autoDepthStencil)
        m_autoDepthStencil->destroyContained();
    m_backBuffer = backBuffer;
    m_autoDepthStencil = depthStencil;
    return D3D_OK;
}

void Device::unbindAll()
{
    for (Texture*& texture : m_textures)
        rebind<Texture>(texture, nullptr);
    rebind<VertexBuffer>(m_stream, nullptr);
    rebind<VertexDeclaration>(m_declaration, nullptr);
    rebind<Surface>(m_renderTarget, nullptr);
    rebind<Surface>(m_depthStencil, nullptr);
}

void Device::resetState()
{
    unbindAll();
    std::fill(std::begin(m_renderStates), std::end(m_renderStates), 0u);
    m_renderStates[D3DRS_ZENABLE] = m_autoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    m_renderStates[D3DRS_ZWRITEENABLE] = TRUE;
    m_renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    m_renderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    m_renderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
    m_renderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    m_renderStates[D3DRS_STENCILFAIL] = D3DSTENCILOP_KEEP;
    m_renderStates[D3DRS_STENCILZFAIL] = D3DSTENCILOP_KEEP;
    m_renderStates[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
    m_renderStates[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    m_renderStates[D3DRS_STENCILMASK] = 0xFFFFFFFF;
    m_renderStates[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFF;
    m_renderStates[D3DRS_LIGHTING] = TRUE;
    m_renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    m_renderStates[D3DRS_POINTSIZE] = floatBits(1.0f);
    m_renderStates[D3DRS_POINTSCALE_A] = floatBits(1.0f);
    for (int stage = 0; stage < kStages; ++stage) {
        DWORD* s = m_stageStates[stage];
        std::fill(s, s + kStageStates, 0u);
        s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        s[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        s[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    }
    for (int sampler = 0; sampler < kSamplers; ++sampler) {
        DWORD* s = m_samplerStates[sampler];
        std::fill(s, s + kSamplerStates, 0u);
        s[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
        s[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        s[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        s[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        s[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    }
    rebind(m_renderTarget, m_backBuffer);
    rebind(m_depthStencil, m_autoDepthStencil);
    m_viewport = {0, 0, m_backBuffer->desc().Width, m_backBuffer->desc().Height, 0.0f, 1.0f};
    m_scissor = {0, 0, LONG(m_backBuffer->desc().Width), LONG(m_backBuffer->desc().Height)};
    m_inScene = false;
}

bool Device::applicationHoldsDefaultResources() const
{
    for (ComBase* resource : m_core->defaultPoolResources()) {
        ULONG bound = 0;
        for (Texture* texture : m_textures)
            if (texture && static_cast<ComBase*>(texture) == resource)
                ++bound;
        if (m_stream && static_cast<ComBase*>(m_stream) == resource)
            ++bound;
        if (m_renderTarget && m_renderTarget->bindingOwner() == resource)
            ++bound;
        if (m_depthStencil && m_depthStencil->bindingOwner() == resource)
            ++bound;
        if (resource->refCount() > bound)
            return true;
    }
    return false;
}

RECT Device::clipRect() const
{
    const D3DSURFACE_DESC& target = m_renderTarget->desc();
    RECT clip = {0, 0, LONG(target.Width), LONG(target.Height)};
    RECT viewport = {LONG(m_viewport.X), LONG(m_viewport.Y), LONG(m_viewport.X + m_viewport.Width),
                     LONG(m_viewport.Y + m_viewport.Height)};
    clip = intersect(clip, viewport);
    if (m_renderStates[D3DRS_SCISSORTESTENABLE])
        clip = intersect(clip, m_scissor);
    return clip;
}

HRESULT Device::TestCooperativeLevel()
{
    Lock lock(m_core->mutex());
    m_core->pollCooperative();
    return m_core->cooperative().test();
}

UINT Device::GetAvailableTextureMem()
{
    Lock lock(m_core->mutex());
    size_t total = m_core->caps().textureMemory;
    size_t used = m_core->textureBytes();
    return used >= total ? 0 : UINT(total - used);
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* caps)
{
    if (!caps)
        return D3DERR_INVALIDCALL;
    *caps = m_core->caps().toCaps();
    return D3D_OK;
}

HRESULT Device::CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* parameters, IDirect3DSwapChain9** swapChain)
{
    if (!parameters || !swapChain)
        return D3DERR_INVALIDCALL;
    *swapChain = nullptr;
    Lock lock(m_core->mutex());
    HRESULT fault = DeviceControls::takeFault(FaultPoint::CreateAdditionalSwapChain);
    if (FAILED(fault))
        return fault;
    m_core->pollCooperative();
    if (!m_core->cooperative().operational())
        return D3DERR_DEVICELOST;
    // Additional swap chains exist only beside a windowed device.
    if (!m_parameters.Windowed || !parameters->Windowed)
        return D3DERR_INVALIDCALL;
    D3DPRESENT_PARAMETERS completed = *parameters;
    HRESULT hr = completeParameters(completed, m_focusWindow, *m_core);
    if (FAILED(hr))
        return hr;
    if (!completed.hDeviceWindow)
        completed.hDeviceWindow = m_focusWindow;
    SwapChain* chain = nullptr;
    hr = SwapChain::create(m_core, completed, &chain);
    if (FAILED(hr))
        return hr;
    *parameters = completed;
    *swapChain = chain;
    return D3D_OK;
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* parameters)
{
    if (!parameters)
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    CooperativeLevel& cooperative = m_core->cooperative();
    m_core->pollCooperative();
    if (!cooperative.canReset())
        return D3DERR_DEVICELOST;
    HRESULT hr = DeviceControls::takeFault(FaultPoint::Reset);
    D3DPRESENT_PARAMETERS completed = *parameters;
    if (SUCCEEDED(hr))
        hr = completeParameters(completed, m_focusWindow, *m_core);
    // The implicit buffers go; references the application still holds on them
    // would dangle.
    if (SUCCEEDED(hr) && (m_backBuffer->heldReferences() > 0 ||
                          (m_autoDepthStencil && m_autoDepthStencil->heldReferences() > 0)))
        hr = D3DERR_INVALIDCALL;
    if (SUCCEEDED(hr) && m_core->caps().strictReset && applicationHoldsDefaultResources())
        hr = D3DERR_INVALIDCALL;
    if (SUCCEEDED(hr)) {
        unbindAll();
        hr = makeSwapBuffers(completed);
    }
    if (FAILED(hr)) {
        m_inScene = false;
        cooperative.resetFailed();
        if (!m_renderTarget)
            resetState();
        return hr;
    }
    m_parameters = completed;
    *parameters = completed;
    resetState();
    cooperative.start(m_focusWindow, !completed.Windowed, DeviceControls::windowHost(),
                      DeviceControls::lossGeneration());
    return D3D_OK;
}

HRESULT Device::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride, const RGNDATA*)
{
    Lock lock(m_core->mutex());
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    HWND window = destWindowOverride;
    if (!window)
        window = (m_parameters.Windowed && m_parameters.hDeviceWindow) ? m_parameters.hDeviceWindow : m_focusWindow;
    return m_core->present(window, m_backBuffer->buffer(), sourceRect, destRect, !m_parameters.Windowed);
}

HRESULT Device::GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (swapChain != 0 || backBuffer != 0 || type != D3DBACKBUFFER_TYPE_MONO)
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    m_backBuffer->AddRef();
    *surface = m_backBuffer;
    return D3D_OK;
}

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture9** texture, HANDLE* sharedHandle)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (sharedHandle)
        return D3DERR_INVALIDCALL;
    Texture* made = nullptr;
    HRESULT hr = Texture::create(m_core, width, height, levels, usage, format, pool, &made);
    *texture = made;
    return hr;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                                   HANDLE* sharedHandle)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (sharedHandle)
        return D3DERR_INVALIDCALL;
    VertexBuffer* made = nullptr;
    HRESULT hr = VertexBuffer::create(m_core, length, usage, pool, &made);
    *buffer = made;
    return hr;
}

HRESULT Device::GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface)
{
    Lock lock(m_core->mutex());
    HRESULT fault = DeviceControls::takeFault(FaultPoint::GetRenderTargetData);
    if (FAILED(fault))
        return fault;
    if (!renderTarget || !destSurface)
        return D3DERR_INVALIDCALL;
    Surface* source = asSurface(renderTarget);
    Surface* dest = asSurface(destSurface);
    const D3DSURFACE_DESC& from = source->desc();
    const D3DSURFACE_DESC& to = dest->desc();
    if (!source->isRenderTarget() || to.Pool != D3DPOOL_SYSTEMMEM || from.Width != to.Width ||
        from.Height != to.Height || from.Format != to.Format)
        return D3DERR_INVALIDCALL;
    if (!m_core->cooperative().operational())
        return D3DERR_DEVICELOST;
    for (UINT y = 0; y < from.Height; ++y)
        std::memcpy(dest->buffer().row(y), source->buffer().row(y), size_t(from.Width) * 4);
    return D3D_OK;
}

HRESULT Device::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                            IDirect3DSurface9** surface, HANDLE* sharedHandle)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    HRESULT fault = DeviceControls::takeFault(FaultPoint::CreateOffscreenPlainSurface);
    if (FAILED(fault))
        return fault;
    if (sharedHandle || width == 0 || height == 0 || width > PixelBuffer::kMaxSide ||
        height > PixelBuffer::kMaxSide || !PixelBuffer::isColourFormat(format) ||
        (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_SYSTEMMEM))
        return D3DERR_INVALIDCALL;
    Surface* made = nullptr;
    HRESULT hr = Surface::createOffscreen(m_core, width, height, format, pool, &made);
    *surface = made;
    return hr;
}

HRESULT Device::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    if (index != 0 || !surface || !asSurface(surface)->isRenderTarget())
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    rebind(m_renderTarget, asSurface(surface));
    // A new render target brings a viewport and scissor rectangle of its size.
    const D3DSURFACE_DESC& desc = m_renderTarget->desc();
    m_viewport = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
    m_scissor = {0, 0, LONG(desc.Width), LONG(desc.Height)};
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (index != 0)
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    m_renderTarget->AddRef();
    *surface = m_renderTarget;
    return D3D_OK;
}

HRESULT Device::SetDepthStencilSurface(IDirect3DSurface9* surface)
{
    if (surface && !asSurface(surface)->isDepthStencil())
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    rebind(m_depthStencil, asSurface(surface));
    return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    *surface = nullptr;
    if (!m_depthStencil)
        return D3DERR_NOTFOUND;
    m_depthStencil->AddRef();
    *surface = m_depthStencil;
    return D3D_OK;
}

HRESULT Device::BeginScene()
{
    Lock lock(m_core->mutex());
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = true;
    return D3D_OK;
}

HRESULT Device::EndScene()
{
    Lock lock(m_core->mutex());
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    return DeviceControls::takeFault(FaultPoint::EndScene);
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float, DWORD stencil)
{
    if ((count > 0) != (rects != nullptr))
        return D3DERR_INVALIDCALL;
    if (flags == 0 || (flags & ~DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !m_depthStencil)
        return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) && !m_depthStencil->buffer().hasStencil())
        return D3DERR_INVALIDCALL;
    if (!m_core->cooperative().operational())
        return D3D_OK;
    // Clears are limited by the viewport and, when enabled, the scissor rectangle.
    RECT area = clipRect();
    DWORD regions = count ? count : 1;
    for (DWORD i = 0; i < regions; ++i) {
        RECT region = area;
        if (count)
            region = intersect(area, RECT{rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2});
        if (region.left >= region.right || region.top >= region.bottom)
            continue;
        if (flags & D3DCLEAR_TARGET) {
            PixelBuffer& target = m_renderTarget->buffer();
            // A clear of the whole target is written as drawing reaches its
            // rows: one pass over the memory instead of two.
            if (region.left == 0 && region.top == 0 && region.right == LONG(target.width()) &&
                region.bottom == LONG(target.height()))
                target.fillLater(color);
            else
                target.fill(region, color);
        }
        if (flags & D3DCLEAR_STENCIL)
            m_depthStencil->buffer().fillStencil(region, uint8_t(stencil));
    }
    return D3D_OK;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX* matrix)
{
    // Vertices arrive transformed; the matrices are accepted and not used.
    return matrix ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    const D3DSURFACE_DESC& target = m_renderTarget->desc();
    if (uint64_t(viewport->X) + viewport->Width > target.Width ||
        uint64_t(viewport->Y) + viewport->Height > target.Height)
        return D3DERR_INVALIDCALL;
    m_viewport = *viewport;
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    *viewport = m_viewport;
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (DWORD(state) >= DWORD(kRenderStates))
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    m_renderStates[state] = value;
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    if (stage >= DWORD(kStages))
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    // Every texture of this device is a two-dimensional one.
    Texture* made = texture ? static_cast<Texture*>(static_cast<IDirect3DTexture9*>(texture)) : nullptr;
    rebind(m_textures[stage], made);
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage >= DWORD(kStages) || DWORD(type) >= DWORD(kStageStates))
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    m_stageStates[stage][type] = value;
    return D3D_OK;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (sampler >= DWORD(kSamplers) || DWORD(type) >= DWORD(kSamplerStates))
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    m_samplerStates[sampler][type] = value;
    return D3D_OK;
}

HRESULT Device::SetScissorRect(const RECT* rect)
{
    if (!rect)
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    m_scissor = *rect;
    return D3D_OK;
}

HRESULT Device::draw(D3DPRIMITIVETYPE type, UINT primitiveCount, const uint8_t* data, size_t available, UINT stride)
{
    UINT count = vertexCount(type, primitiveCount);
    if (count == 0 || primitiveCount > kMaxPrimitives || !m_declaration)
        return D3DERR_INVALIDCALL;
    const VertexDeclaration& layout = *m_declaration;
    if (layout.positionOffset() < 0 || stride < UINT(layout.minimumStride()))
        return D3DERR_INVALIDCALL;
    if (uint64_t(count - 1) * stride + UINT(layout.minimumStride()) > available)
        return D3DERR_INVALIDCALL;
    // Drawing on a lost device does nothing and succeeds.
    if (!m_core->cooperative().operational())
        return D3D_OK;

    m_vertices.resize(count);
    for (UINT i = 0; i < count; ++i) {
        const uint8_t* bytes = data + size_t(i) * stride;
        RasterVertex& v = m_vertices[i];
        float position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        std::memcpy(position, bytes + layout.positionOffset(), layout.positionHasRhw() ? 16 : 12);
        v.x = position[0];
        v.y = position[1];
        v.z = position[2];
        v.rhw = position[3];
        v.diffuse = 0xFFFFFFFF;
        if (layout.colourOffset() >= 0)
            std::memcpy(&v.diffuse, bytes + layout.colourOffset(), 4);
        float uv[2] = {0.0f, 0.0f};
        if (layout.texCoordOffset() >= 0)
            std::memcpy(uv, bytes + layout.texCoordOffset(), size_t(layout.texCoordCount()) * 4);
        v.u = uv[0];
        v.v = uv[1];
    }

    DrawState state;
    state.target = &m_renderTarget->buffer();
    if (m_depthStencil && m_depthStencil->buffer().hasStencil())
        state.stencil = &m_depthStencil->buffer();
    state.clip = clipRect();
    state.cullMode = m_renderStates[D3DRS_CULLMODE];
    if (m_textures[0])
        state.texture = &m_textures[0]->level(0).buffer();
    const DWORD* stage = m_stageStates[0];
    state.colourOp = stage[D3DTSS_COLOROP];
    state.colourArg1 = stage[D3DTSS_COLORARG1];
    state.colourArg2 = stage[D3DTSS_COLORARG2];
    state.alphaOp = stage[D3DTSS_ALPHAOP];
    state.alphaArg1 = stage[D3DTSS_ALPHAARG1];
    state.alphaArg2 = stage[D3DTSS_ALPHAARG2];
    const DWORD* sampler = m_samplerStates[0];
    state.magFilter = sampler[D3DSAMP_MAGFILTER];
    state.minFilter = sampler[D3DSAMP_MINFILTER];
    state.addressU = sampler[D3DSAMP_ADDRESSU];
    state.addressV = sampler[D3DSAMP_ADDRESSV];
    state.alphaTest = m_renderStates[D3DRS_ALPHATESTENABLE] != 0;
    state.alphaFunc = m_renderStates[D3DRS_ALPHAFUNC];
    state.alphaRef = m_renderStates[D3DRS_ALPHAREF];
    state.stencilEnable = m_renderStates[D3DRS_STENCILENABLE] != 0;
    state.stencilFunc = m_renderStates[D3DRS_STENCILFUNC];
    state.stencilRef = m_renderStates[D3DRS_STENCILREF];
    state.stencilMask = m_renderStates[D3DRS_STENCILMASK];
    state.stencilWriteMask = m_renderStates[D3DRS_STENCILWRITEMASK];
    state.stencilFail = m_renderStates[D3DRS_STENCILFAIL];
    state.stencilPass = m_renderStates[D3DRS_STENCILPASS];
    state.blendEnable = m_renderStates[D3DRS_ALPHABLENDENABLE] != 0;
    state.srcBlend = m_renderStates[D3DRS_SRCBLEND];
    state.destBlend = m_renderStates[D3DRS_DESTBLEND];
    // Points keep their size in pixels: pre-transformed vertices are not
    // scaled by distance, whatever POINTSCALEENABLE says.
    float size = bitsFloat(m_renderStates[D3DRS_POINTSIZE]);
    if (!(size >= 1.0f))
        size = 1.0f;
    state.pointSize = std::min(size, m_core->caps().maxPointSize);
    state.pointSprite = m_renderStates[D3DRS_POINTSPRITEENABLE] != 0;

    m_rasterizer.draw(state, type, m_vertices.data(), count);
    return D3D_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    Lock lock(m_core->mutex());
    if (!m_stream)
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return D3D_OK;
    uint64_t start = m_streamOffset + uint64_t(startVertex) * m_streamStride;
    if (start > m_stream->length())
        return D3DERR_INVALIDCALL;
    return draw(type, primitiveCount, m_stream->data() + start, m_stream->length() - size_t(start), m_streamStride);
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData, UINT vertexStride)
{
    if (!vertexData)
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    // Drawing from memory leaves stream 0 unbound.
    rebind<VertexBuffer>(m_stream, nullptr);
    m_streamOffset = 0;
    m_streamStride = 0;
    if (primitiveCount == 0)
        return D3D_OK;
    UINT count = vertexCount(type, primitiveCount);
    size_t available = size_t(count) * vertexStride;
    return draw(type, primitiveCount, static_cast<const uint8_t*>(vertexData), available, vertexStride);
}

HRESULT Device::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements, IDirect3DVertexDeclaration9** declaration)
{
    if (!declaration)
        return D3DERR_INVALIDCALL;
    VertexDeclaration* made = nullptr;
    HRESULT hr = VertexDeclaration::create(elements, &made);
    *declaration = made;
    return hr;
}

HRESULT Device::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration)
{
    Lock lock(m_core->mutex());
    rebind(m_declaration, static_cast<VertexDeclaration*>(declaration));
    return D3D_OK;
}

HRESULT Device::GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration)
{
    if (!declaration)
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    hold(m_declaration);
    *declaration = m_declaration;
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetInBytes, UINT stride)
{
    if (stream != 0)
        return D3DERR_INVALIDCALL;
    Lock lock(m_core->mutex());
    rebind(m_stream, static_cast<VertexBuffer*>(buffer));
    m_streamOffset = offsetInBytes;
    m_streamStride = stride;
    return D3D_OK;
}

} // namespace platform::d3d9
