// DeviceFixture.h: a fake window host, a device fixture with the engine's
// vertex formats and render states, read-back helpers and an independent
// reference for pixel coverage.
#pragma once

#include "platform/d3d9/D3D9.h"
#include "platform/d3d9/DeviceControls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <vector>

namespace d3d9test {

using platform::d3d9::DeviceControls;
using platform::d3d9::FaultPoint;
using platform::d3d9::SoftwareCaps;

inline HWND fakeWindow(int n) { return reinterpret_cast<HWND>(uintptr_t(0x1000) * uintptr_t(n)); }

// Windows that exist only as sizes; presented frames are kept for inspection.
class FakeWindowHost : public platform::d3d9::WindowHost {
public:
    struct Frame {
        std::vector<uint32_t> pixels;
        int width = 0;
        int height = 0;
        int count = 0;
    };

    std::map<HWND, std::pair<int, int>> sizes;
    std::set<HWND> active;
    uint32_t generation = 0;
    std::map<HWND, Frame> frames;

    bool clientSize(HWND hwnd, int* width, int* height) override
    {
        auto found = sizes.find(hwnd);
        if (found == sizes.end())
            return false;
        *width = found->second.first;
        *height = found->second.second;
        return true;
    }

    bool present(HWND hwnd, const uint32_t* pixels, int width, int height, int pitchBytes, const RECT*,
                 const RECT*, bool) override
    {
        Frame& frame = frames[hwnd];
        frame.width = width;
        frame.height = height;
        frame.pixels.resize(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(&frame.pixels[size_t(y) * width],
                        reinterpret_cast<const uint8_t*>(pixels) + size_t(y) * pitchBytes, size_t(width) * 4);
        ++frame.count;
        return sizes.count(hwnd) != 0;
    }

    bool isActive(HWND hwnd) override { return active.count(hwnd) != 0; }
    uint32_t displayModeGeneration() override { return generation; }
};

// The engine's two vertex formats.
struct ColouredVertex {
    float x, y, z, rhw;
    DWORD colour;
};
struct TexturedVertex {
    float x, y, z, rhw;
    DWORD colour;
    float u, v;
};

// A rectangle of 32-bit pixels read back from a surface.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

class DeviceFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override;
    void TearDown() override;

    D3DPRESENT_PARAMETERS parameters(bool windowed = true, D3DFORMAT depth = D3DFMT_D24S8) const;
    // Creates `device` windowed on `window` with the engine's parameters.
    void createDevice(D3DFORMAT depth = D3DFMT_D24S8);
    // The states the engine sets when it opens a scene (blending, texture
    // stage 0 MODULATE2X, bilinear clamped sampling, no culling).
    void engineStates();

    IDirect3DTexture9* makeTexture(int width, int height, const std::function<uint32_t(int, int)>& pixel,
                                   D3DPOOL pool = D3DPOOL_MANAGED);
    // A quad as a triangle fan from (x0, y0) to (x1, y1), with the corner
    // colours top-left, top-right, bottom-right, bottom-left.
    void fillQuad(float x0, float y0, float x1, float y1, DWORD colour);
    void drawTexturedQuad(float x0, float y0, float x1, float y1, DWORD colour, float u0 = 0, float v0 = 0,
                          float u1 = 1, float v1 = 1, const DWORD* corners = nullptr);
    void drawTextured(D3DPRIMITIVETYPE type, const std::vector<TexturedVertex>& vertices, UINT primitives);
    void drawColoured(D3DPRIMITIVETYPE type, const std::vector<ColouredVertex>& vertices, UINT primitives);

    // The current render target, through GetRenderTargetData and a locked
    // system-memory surface.
    Image readRenderTarget();
    Image readSurface(IDirect3DSurface9* surface, int width = kWidth, int height = kHeight);

    FakeWindowHost host;
    HWND window = fakeWindow(1);
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    IDirect3DVertexDeclaration9* colouredDecl = nullptr;
    IDirect3DVertexDeclaration9* texturedDecl = nullptr;
};

// Whether the pixel centre (px, py) lies in triangle abc under the top-left
// rule, evaluated directly: inside every edge, or on an edge that is a top
// edge (horizontal, the triangle below it) or a left edge (the triangle to
// its right).
bool referenceCovers(double ax, double ay, double bx, double by, double cx, double cy, int px, int py);

inline int channelOf(uint32_t colour, int shift) { return int((colour >> shift) & 0xFF); }

} // namespace d3d9test
