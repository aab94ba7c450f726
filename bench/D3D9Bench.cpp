// Speed of the software graphics device on the engine's common work: a
// full-screen 800 x 600 image blit (the fast quad path), the same blit
// colour-modulated, a rotated bilinear sprite (the general path), a
// full-screen fill and a batch of particle points.
#include "platform/d3d9/D3D9.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Vertex {
    float x, y, z, rhw;
    DWORD colour;
    float u, v;
};

// A windowed 800 x 600 device with the engine's scene states and a texture
// of the given size holding half-transparent noise.
class Scene {
public:
    Scene(UINT textureWidth, UINT textureHeight)
    {
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS p = {};
        p.BackBufferWidth = 800;
        p.BackBufferHeight = 600;
        p.BackBufferFormat = D3DFMT_A8R8G8B8;
        p.BackBufferCount = 1;
        p.SwapEffect = D3DSWAPEFFECT_DISCARD;
        p.hDeviceWindow = reinterpret_cast<HWND>(uintptr_t(0x1000));
        p.Windowed = TRUE;
        p.EnableAutoDepthStencil = TRUE;
        p.AutoDepthStencilFormat = D3DFMT_D24S8;
        p.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        d3d->CreateDevice(0, D3DDEVTYPE_HAL, p.hDeviceWindow, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device);
        const D3DVERTEXELEMENT9 elements[] = {
            {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
            {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
            {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
            D3DDECL_END()};
        device->CreateVertexDeclaration(elements, &declaration);
        device->SetVertexDeclaration(declaration);
        device->CreateVertexBuffer(1000 * sizeof(Vertex), D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT,
                                   &buffer, nullptr);
        device->SetStreamSource(0, buffer, 0, sizeof(Vertex));
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE2X);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);

        device->CreateTexture(textureWidth, textureHeight, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
        IDirect3DSurface9* level = nullptr;
        texture->GetSurfaceLevel(0, &level);
        D3DLOCKED_RECT locked;
        level->LockRect(&locked, nullptr, 0);
        uint32_t seed = 12345;
        for (UINT y = 0; y < textureHeight; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < textureWidth; ++x) {
                seed = seed * 1664525u + 1013904223u;
                // Mostly opaque, some transparent and some partly transparent texels.
                uint32_t alpha = (seed >> 24) < 200 ? 0xFF : (seed >> 24) < 230 ? 0x00 : 0x80;
                row[x] = alpha << 24 | (seed & 0xFFFFFF);
            }
        }
        level->UnlockRect();
        level->Release();
        device->SetTexture(0, texture);
    }

    ~Scene()
    {
        device->SetTexture(0, nullptr);
        device->SetStreamSource(0, nullptr, 0, 0);
        device->SetVertexDeclaration(nullptr);
        texture->Release();
        buffer->Release();
        declaration->Release();
        device->Release();
        d3d->Release();
    }

    void quad(const Vertex (&corners)[4])
    {
        void* data = nullptr;
        buffer->Lock(0, sizeof corners, &data, D3DLOCK_DISCARD);
        std::memcpy(data, corners, sizeof corners);
        buffer->Unlock();
        device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
    }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    IDirect3DVertexDeclaration9* declaration = nullptr;
    IDirect3DVertexBuffer9* buffer = nullptr;
    IDirect3DTexture9* texture = nullptr;
};

void blit(benchmark::State& state, DWORD colour)
{
    Scene scene(800, 600);
    const Vertex corners[4] = {{-0.5f, -0.5f, 0, 1, colour, 0, 0},
                               {799.5f, -0.5f, 0, 1, colour, 1, 0},
                               {799.5f, 599.5f, 0, 1, colour, 1, 1},
                               {-0.5f, 599.5f, 0, 1, colour, 0, 1}};
    for (auto _ : state)
        scene.quad(corners);
    state.SetItemsProcessed(state.iterations() * 800 * 600);
}

void BM_FullScreenBlit(benchmark::State& state) { blit(state, 0xFF808080); }
BENCHMARK(BM_FullScreenBlit)->Unit(benchmark::kMillisecond);

void BM_FullScreenBlitModulated(benchmark::State& state) { blit(state, 0xC0A06040); }
BENCHMARK(BM_FullScreenBlitModulated)->Unit(benchmark::kMillisecond);

void BM_RotatedSprite(benchmark::State& state)
{
    Scene scene(256, 256);
    Vertex corners[4];
    const float angle = 0.5f, c = std::cos(angle), s = std::sin(angle);
    const float xs[4] = {-128, 128, 128, -128}, ys[4] = {-128, -128, 128, 128};
    const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i)
        corners[i] = {400 + xs[i] * c - ys[i] * s, 300 + xs[i] * s + ys[i] * c, 0, 1, 0xFF808080, us[i], vs[i]};
    for (auto _ : state)
        scene.quad(corners);
    state.SetItemsProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(BM_RotatedSprite)->Unit(benchmark::kMillisecond);

void BM_FullScreenFill(benchmark::State& state)
{
    Scene scene(1, 1);
    scene.device->SetTexture(0, nullptr);
    const Vertex corners[4] = {{0, 0, 0, 1, 0x80FF0000, 0, 0},
                               {800, 0, 0, 1, 0x80FF0000, 0, 0},
                               {800, 600, 0, 1, 0x80FF0000, 0, 0},
                               {0, 600, 0, 1, 0x80FF0000, 0, 0}};
    for (auto _ : state)
        scene.quad(corners);
    state.SetItemsProcessed(state.iterations() * 800 * 600);
}
BENCHMARK(BM_FullScreenFill)->Unit(benchmark::kMillisecond);

void BM_ParticlePoints(benchmark::State& state)
{
    Scene scene(8, 8);
    float size = 8.0f;
    DWORD bits;
    std::memcpy(&bits, &size, sizeof bits);
    scene.device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    scene.device->SetRenderState(D3DRS_POINTSIZE, bits);
    std::vector<Vertex> points(500);
    for (size_t i = 0; i < points.size(); ++i)
        points[i] = {float((i * 37) % 800), float((i * 91) % 600), 0, 1, 0xFF808080, 0, 0};
    void* data = nullptr;
    scene.buffer->Lock(0, UINT(points.size() * sizeof(Vertex)), &data, D3DLOCK_DISCARD);
    std::memcpy(data, points.data(), points.size() * sizeof(Vertex));
    scene.buffer->Unlock();
    for (auto _ : state)
        scene.device->DrawPrimitive(D3DPT_POINTLIST, 0, UINT(points.size()));
    state.SetItemsProcessed(state.iterations() * int64_t(points.size()));
}
BENCHMARK(BM_ParticlePoints)->Unit(benchmark::kMicrosecond);

} // namespace
BENCHMARK_MAIN();
