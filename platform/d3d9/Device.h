// Device.h: the software graphics device: its implicit swap chain and
// depth-stencil buffer, resource creation, render state, bindings, drawing
// through the rasterizer, presentation and the lost-device rules of Reset.
#pragma once

#include "platform/d3d9/ComObject.h"
#include "platform/d3d9/D3D9.h"
#include "platform/d3d9/Rasterizer.h"

#include <memory>
#include <vector>

namespace platform::d3d9 {

class DeviceCore;
class Surface;
class Texture;
class VertexBuffer;
class VertexDeclaration;

class Device final : public ComObject<IDirect3DDevice9> {
public:
    // Checks and completes `parameters` (as CreateDevice does) and makes the
    // device, which holds a reference on `factory`.
    static HRESULT create(IDirect3D9* factory, HWND focusWindow, DWORD behaviorFlags,
                          D3DPRESENT_PARAMETERS* parameters, Device** device);

    HRESULT TestCooperativeLevel() override;
    UINT GetAvailableTextureMem() override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* parameters, IDirect3DSwapChain9** swapChain) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const RGNDATA* dirtyRegion) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface9** surface) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE* sharedHandle) override;
    HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface) override;
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DSurface9** surface, HANDLE* sharedHandle) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT SetScissorRect(const RECT* rect) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                            UINT vertexStride) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override;
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetInBytes, UINT stride) override;

protected:
    bool implements(REFIID riid) const override;

private:
    static constexpr int kRenderStates = 256;
    static constexpr int kStages = 8;
    static constexpr int kStageStates = 33;
    static constexpr int kSamplers = 16;
    static constexpr int kSamplerStates = 14;

    Device(IDirect3D9* factory, const std::shared_ptr<DeviceCore>& core, HWND focusWindow);
    ~Device() override;

    // Checks present parameters and fills in what they leave to the device.
    static HRESULT completeParameters(D3DPRESENT_PARAMETERS& parameters, HWND focusWindow, const DeviceCore& core);
    // Makes the back buffer and automatic depth-stencil buffer the
    // parameters ask for; the old ones are replaced only on success.
    HRESULT makeSwapBuffers(const D3DPRESENT_PARAMETERS& parameters);
    // Default states, bindings on the implicit buffers, full viewport and scissor.
    void resetState();
    void unbindAll();
    bool applicationHoldsDefaultResources() const;
    RECT clipRect() const;
    HRESULT draw(D3DPRIMITIVETYPE type, UINT primitiveCount, const uint8_t* data, size_t available, UINT stride);

    IDirect3D9* m_factory;
    std::shared_ptr<DeviceCore> m_core;
    HWND m_focusWindow;
    D3DPRESENT_PARAMETERS m_parameters = {};
    Surface* m_backBuffer = nullptr;
    Surface* m_autoDepthStencil = nullptr;

    Surface* m_renderTarget = nullptr;
    Surface* m_depthStencil = nullptr;
    Texture* m_textures[kStages] = {};
    VertexBuffer* m_stream = nullptr;
    UINT m_streamOffset = 0;
    UINT m_streamStride = 0;
    VertexDeclaration* m_declaration = nullptr;

    DWORD m_renderStates[kRenderStates] = {};
    DWORD m_stageStates[kStages][kStageStates] = {};
    DWORD m_samplerStates[kSamplers][kSamplerStates] = {};
    D3DVIEWPORT9 m_viewport = {};
    RECT m_scissor = {};
    bool m_inScene = false;

    Rasterizer m_rasterizer;
    std::vector<RasterVertex> m_vertices;
};

} // namespace platform::d3d9
