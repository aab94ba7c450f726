// D3D9.h: the graphics-device interfaces the engine draws through, with exactly
// the methods it calls, and the factory function that creates the device layer.
#pragma once

#include "platform/d3d9/D3D9Types.h"
#include "platform/d3d9/Unknown.h"

// Identifiers of this layer's interfaces, answered by QueryInterface.
constexpr IID IID_IDirect3D9 = {0x6c3f1a01, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x01}};
constexpr IID IID_IDirect3DDevice9 = {0x6c3f1a01, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x02}};
constexpr IID IID_IDirect3DSwapChain9 = {0x6c3f1a01, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x03}};
constexpr IID IID_IDirect3DResource9 = {0x6c3f1a01, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x04}};
constexpr IID IID_IDirect3DBaseTexture9 = {0x6c3f1a01, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x05}};
constexpr IID IID_IDirect3DTexture9 = {0x6c3f1a01, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x06}};
constexpr IID IID_IDirect3DSurface9 = {0x6c3f1a01, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x07}};
constexpr IID IID_IDirect3DVertexBuffer9 = {0x6c3f1a01, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x08}};
constexpr IID IID_IDirect3DVertexDeclaration9 = {0x6c3f1a01, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x09}};

struct IDirect3DDevice9;
struct IDirect3DSurface9;

// A resource created by a device.
struct IDirect3DResource9 : IUnknown {
protected:
    ~IDirect3DResource9() = default;
};

// A texture of any kind, as stage bindings take it.
struct IDirect3DBaseTexture9 : IDirect3DResource9 {
protected:
    ~IDirect3DBaseTexture9() = default;
};

// A two-dimensional texture; its levels are surfaces.
struct IDirect3DTexture9 : IDirect3DBaseTexture9 {
    virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) = 0;
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;

protected:
    ~IDirect3DTexture9() = default;
};

// A rectangle of pixels: a texture level, a back buffer, the depth-stencil
// buffer or a plain off-screen surface.
struct IDirect3DSurface9 : IDirect3DResource9 {
    virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect() = 0;

protected:
    ~IDirect3DSurface9() = default;
};

struct IDirect3DVertexBuffer9 : IDirect3DResource9 {
    virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;

protected:
    ~IDirect3DVertexBuffer9() = default;
};

struct IDirect3DVertexDeclaration9 : IUnknown {
protected:
    ~IDirect3DVertexDeclaration9() = default;
};

// A back buffer presented to a window of its own.
struct IDirect3DSwapChain9 : IUnknown {
    virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                            const RGNDATA* dirtyRegion, DWORD flags) = 0;
    virtual HRESULT GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) = 0;

protected:
    ~IDirect3DSwapChain9() = default;
};

struct IDirect3DDevice9 : IUnknown {
    virtual HRESULT TestCooperativeLevel() = 0;
    virtual UINT GetAvailableTextureMem() = 0;
    virtual HRESULT GetDeviceCaps(D3DCAPS9* caps) = 0;
    virtual HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* parameters, IDirect3DSwapChain9** swapChain) = 0;
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) = 0;
    virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                            const RGNDATA* dirtyRegion) = 0;
    virtual HRESULT GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                                  IDirect3DSurface9** surface) = 0;
    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture9** texture, HANDLE* sharedHandle) = 0;
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle) = 0;
    virtual HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface) = 0;
    virtual HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                                IDirect3DSurface9** surface, HANDLE* sharedHandle) = 0;
    virtual HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) = 0;
    virtual HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) = 0;
    virtual HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) = 0;
    virtual HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
    virtual HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) = 0;
    virtual HRESULT SetScissorRect(const RECT* rect) = 0;
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) = 0;
    virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                    UINT vertexStride) = 0;
    virtual HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                            IDirect3DVertexDeclaration9** declaration) = 0;
    virtual HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) = 0;
    virtual HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) = 0;
    virtual HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetInBytes, UINT stride) = 0;

protected:
    ~IDirect3DDevice9() = default;
};

// The factory of devices.
struct IDirect3D9 : IUnknown {
    virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                      D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) = 0;
    virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) = 0;
    virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) = 0;
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) = 0;

protected:
    ~IDirect3D9() = default;
};

// Creates the device factory; null when sdkVersion is not D3D_SDK_VERSION or
// when creation was made to fail (DeviceControls).
IDirect3D9* Direct3DCreate9(UINT sdkVersion);
