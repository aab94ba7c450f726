// Where drawing lands: scissor and viewport (for draws and clears), render
// targets and rendering into a texture, read-backs, and point sprites.
#include "DeviceFixture.h"

#include <cmath>
#include <cstring>

namespace d3d9test {
namespace {

class Targets : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        createDevice();
        engineStates();
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    }

    static bool inRect(int x, int y, const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

    // A render-target texture that draws go into from now on; `saved`
    // receives the target drawn on before. Null when it cannot be made.
    IDirect3DTexture9* renderIntoTexture(UINT width, UINT height, IDirect3DSurface9** surface,
                                         IDirect3DSurface9** saved)
    {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                        &texture, nullptr),
                  D3D_OK);
        if (!texture)
            return nullptr;
        device->GetRenderTarget(0, saved);
        texture->GetSurfaceLevel(0, surface);
        device->SetRenderTarget(0, *surface);
        return texture;
    }
};

TEST_F(Targets, TheScissorLimitsDrawsAndClears)
{
    RECT scissor = {5, 6, 20, 17};
    device->SetScissorRect(&scissor);
    fillQuad(0, 0, 30, 30, 0xFFFF0000);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    // A clear rectangle is cut by the scissor too.
    D3DRECT part = {15, 0, 40, 40};
    device->SetScissorRect(&scissor);
    device->Clear(1, &part, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    Image image = readRenderTarget();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint32_t expected = 0;
            if (inRect(x, y, scissor))
                expected = x >= 15 ? 0xFF0000FFu : 0xFF00FF00u;
            ASSERT_EQ(image.at(x, y), expected) << x << "," << y;
        }
    // With the scissor test off the whole target is reached.
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    EXPECT_EQ(readRenderTarget().at(0, 0), 0xFFFFFFFFu);
}

TEST_F(Targets, TheViewportClipsWithoutMovingPreTransformedVertices)
{
    D3DVIEWPORT9 viewport = {10, 4, 12, 8, 0.0f, 0.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    D3DVIEWPORT9 read = {};
    device->GetViewport(&read);
    EXPECT_EQ(std::memcmp(&read, &viewport, sizeof read), 0);
    fillQuad(0, 0, 16, 16, 0xFFFF0000);
    Image image = readRenderTarget();
    RECT visible = {10, 4, 16, 12};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(image.at(x, y), inRect(x, y, visible) ? 0xFFFF0000u : 0u) << x << "," << y;
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    image = readRenderTarget();
    EXPECT_EQ(image.at(21, 11), 0xFF00FF00u);
    EXPECT_EQ(image.at(22, 11), 0u);
    // A viewport reaching beyond the target is refused.
    D3DVIEWPORT9 tooBig = {60, 0, 10, 10, 0.0f, 1.0f};
    EXPECT_EQ(device->SetViewport(&tooBig), D3DERR_INVALIDCALL);
}

TEST_F(Targets, RenderingIntoATextureThenDrawingIt)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                    nullptr),
              D3D_OK);
    IDirect3DSurface9* saved = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &saved), D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    RECT small = {2, 2, 4, 4};
    device->SetScissorRect(&small);
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    // A new render target brings a full viewport and scissor rectangle.
    D3DVIEWPORT9 viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 16u);
    EXPECT_EQ(viewport.Height, 8u);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x80112233, 1.0f, 0);
    fillQuad(8, 0, 16, 8, 0xFFFF8000);
    ASSERT_EQ(device->SetRenderTarget(0, saved), D3D_OK);
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, UINT(kWidth));

    // Read the texture back as the engine does, through a system-memory copy.
    IDirect3DSurface9* copy = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(16, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr), D3D_OK);
    ASSERT_EQ(device->GetRenderTargetData(surface, copy), D3D_OK);
    Image rendered = readSurface(copy, 16, 8);
    EXPECT_EQ(rendered.at(0, 0), 0x80112233u);
    EXPECT_EQ(rendered.at(15, 7), 0xFFFF8000u);
    // Sizes must match.
    IDirect3DSurface9* wrong = nullptr;
    device->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &wrong, nullptr);
    EXPECT_EQ(device->GetRenderTargetData(surface, wrong), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetRenderTargetData(copy, copy), D3DERR_INVALIDCALL);
    wrong->Release();

    // Draw the rendered texture unscaled onto the back buffer.
    device->SetTexture(0, target);
    drawTexturedQuad(19.5f, 9.5f, 35.5f, 17.5f, 0xFF808080);
    Image image = readRenderTarget();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(image.at(20 + x, 10 + y), rendered.at(x, y)) << x << "," << y;
    device->SetTexture(0, nullptr);
    copy->Release();
    surface->Release();
    saved->Release();
    target->Release();
}

TEST_F(Targets, ARenderTargetLargerThanTheStencilBufferDrawsEverywhere)
{
    IDirect3DSurface9* saved = nullptr;
    IDirect3DSurface9* surface = nullptr;
    IDirect3DTexture9* target = renderIntoTexture(128, 64, &surface, &saved);
    ASSERT_NE(target, nullptr);
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device->SetRenderState(D3DRS_STENCILREF, 0);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_STENCIL, 0, 1.0f, 0);
    fillQuad(0, 0, 128, 64, 0xFFFFFFFF);
    device->SetRenderTarget(0, saved);
    IDirect3DSurface9* copy = nullptr;
    device->CreateOffscreenPlainSurface(128, 64, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr);
    ASSERT_EQ(device->GetRenderTargetData(surface, copy), D3D_OK);
    Image image = readSurface(copy, 128, 64);
    EXPECT_EQ(image.at(10, 10), 0xFFFFFFFFu);
    EXPECT_EQ(image.at(127, 63), 0xFFFFFFFFu);
    copy->Release();
    surface->Release();
    saved->Release();
    target->Release();
}

TEST_F(Targets, TheLockableBackBufferReadsBackWithItsPitch)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF010203, 1.0f, 0);
    fillQuad(1, 1, 2, 2, 0xFFFFFFFF);
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    Image image = readSurface(back);
    EXPECT_EQ(image.at(0, 0), 0xFF010203u);
    EXPECT_EQ(image.at(1, 1), 0xFFFFFFFFu);
    back->Release();
}

TEST_F(Targets, PointSpritesAreSquaresOfTheirSizeInPixels)
{
    auto pointSize = [&](float size) {
        DWORD bits;
        std::memcpy(&bits, &size, sizeof bits);
        device->SetRenderState(D3DRS_POINTSIZE, bits);
    };
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);  // no effect on pre-transformed points
    device->SetRenderState(D3DRS_POINTSCALE_A, 0);
    device->SetRenderState(D3DRS_POINTSCALE_B, 0);
    device->SetRenderState(D3DRS_POINTSCALE_C, 1);
    pointSize(4.0f);
    drawColoured(D3DPT_POINTLIST, {{10, 10, 0, 1, 0xFFFF0000}, {30.5f, 20.5f, 0, 1, 0xFF00FF00}}, 2);
    pointSize(3.0f);
    drawColoured(D3DPT_POINTLIST, {{50.5f, 10.5f, 0, 1, 0xFF0000FF}}, 1);
    Image image = readRenderTarget();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint32_t expected = 0;
            // A point of side s at (px, py) covers the centres in [p - s/2, p + s/2).
            if (x >= 8 && x < 12 && y >= 8 && y < 12)
                expected = 0xFFFF0000;
            if (x >= 29 && x < 33 && y >= 19 && y < 23)
                expected = 0xFF00FF00;
            if (x >= 49 && x < 52 && y >= 9 && y < 12)
                expected = 0xFF0000FF;
            ASSERT_EQ(image.at(x, y), expected) << x << "," << y;
        }

    // A textured sprite spans its texture from corner to corner; at the size
    // of the texture, placed on texel centres, it shows every texel.
    IDirect3DTexture9* texture = makeTexture(4, 4, [](int x, int y) { return 0xFF000000u | uint32_t(x * 60) << 8 | uint32_t(y * 60); });
    device->SetTexture(0, texture);
    pointSize(4.0f);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    drawTextured(D3DPT_POINTLIST, {{9.5f, 9.5f, 0, 1, 0xFF808080, 0, 0}}, 1);
    image = readRenderTarget();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(image.at(8 + x, 8 + y), 0xFF000000u | uint32_t(x * 60) << 8 | uint32_t(y * 60));
    EXPECT_EQ(image.at(12, 8), 0u);
    texture->Release();
}

TEST_F(Targets, PointSizesAreLimitedByTheCaps)
{
    float huge = 1000.0f;
    DWORD bits;
    std::memcpy(&bits, &huge, sizeof bits);
    device->SetRenderState(D3DRS_POINTSIZE, bits);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    drawColoured(D3DPT_POINTLIST, {{0, 0, 0, 1, 0xFFFFFFFF}}, 1);
    // Clamped to the default maximum of 256: still covers the whole target.
    EXPECT_EQ(readRenderTarget().at(kWidth - 1, kHeight - 1), 0xFFFFFFFFu);
}

TEST_F(Targets, DrawCallsCheckTheirInputs)
{
    device->SetVertexDeclaration(colouredDecl);
    ColouredVertex line[2] = {{0, 0, 0, 1, 0}, {5, 5, 0, 1, 0}};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_LINELIST, 1, line, sizeof(ColouredVertex)), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, line, 8), D3DERR_INVALIDCALL);  // stride too small
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);       // no stream
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(80, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT, &buffer,
                                         nullptr),
              D3D_OK);
    device->SetStreamSource(0, buffer, 0, sizeof(ColouredVertex));
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 1, 2), D3DERR_INVALIDCALL);  // past the end
    EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 4, 1), D3DERR_INVALIDCALL);
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(40, 60, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(40, 40, &data, D3DLOCK_NOOVERWRITE), D3D_OK);
    buffer->Unlock();
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
    // Declarations of what this device does not read are refused.
    const D3DVERTEXELEMENT9 unknown[] = {{0, 0, 9 /* a packed type */, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                         D3DDECL_END()};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    EXPECT_EQ(device->CreateVertexDeclaration(unknown, &declaration), D3DERR_INVALIDCALL);
    // A position of three floats is accepted (the particles' unused declaration).
    const D3DVERTEXELEMENT9 sprite[] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                        {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
                                        {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
                                        D3DDECL_END()};
    ASSERT_EQ(device->CreateVertexDeclaration(sprite, &declaration), D3D_OK);
    declaration->Release();
}

// A clear of the whole target may be written late; whatever comes next must
// find exactly the pixels of a clear written at once.
TEST_F(Targets, AWholeClearReadsAsIfWrittenAtOnce)
{
    constexpr uint32_t kCleared = 0xFF204060;
    constexpr uint32_t kOther = 0xFF0A0B0C;
    // Source over destination with the source's alpha, each channel rounded.
    auto over = [](uint32_t src, uint32_t dst) {
        const double a = channelOf(src, 24) / 255.0;
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8)
            out |= uint32_t(std::lround(channelOf(src, shift) * a + channelOf(dst, shift) * (1.0 - a))) << shift;
        return out;
    };
    const RECT band = {8, 10, 40, 20};
    enum class Read { Copy, LockedBackBuffer, Presented };
    struct Case {
        const char* name;
        std::function<void()> then;
        Read read;
        std::function<uint32_t(int, int)> expected;
    };
    const Case cases[] = {
        {"read through a copy", [] {}, Read::Copy, [&](int, int) { return kCleared; }},
        {"read from the locked back buffer", [] {}, Read::LockedBackBuffer, [&](int, int) { return kCleared; }},
        {"presented", [] {}, Read::Presented, [&](int, int) { return kCleared; }},
        {"a blended quad on some rows",
         [&] {
             device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
             fillQuad(float(band.left), float(band.top), float(band.right), float(band.bottom), 0x80FF0000);
         },
         Read::LockedBackBuffer,
         [&](int x, int y) { return inRect(x, y, band) ? over(0x80FF0000, kCleared) : kCleared; }},
        {"a rectangle cleared over it",
         [&] {
             const D3DRECT part = {band.left, band.top, band.right, band.bottom};
             device->Clear(1, &part, D3DCLEAR_TARGET, kOther, 1.0f, 0);
         },
         Read::Copy, [&](int x, int y) { return inRect(x, y, band) ? kOther : kCleared; }},
        {"drawn on, then cleared whole again",
         [&] {
             fillQuad(0, 0, float(kWidth), 12, kOther);
             device->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
         },
         Read::Presented, [&](int, int) { return kCleared; }},
        {"a cleared render texture drawn magnified",
         [&] {
             IDirect3DSurface9* saved = nullptr;
             IDirect3DSurface9* surface = nullptr;
             IDirect3DTexture9* texture = renderIntoTexture(8, 8, &surface, &saved);
             ASSERT_NE(texture, nullptr);
             device->Clear(0, nullptr, D3DCLEAR_TARGET, kOther, 1.0f, 0);
             device->SetRenderTarget(0, saved);
             // Bilinear samples read two texel rows at a time: every one
             // of them must hold the clear.
             device->SetTexture(0, texture);
             drawTexturedQuad(float(band.left), float(band.top), float(band.right), float(band.bottom), 0xFF808080);
             device->SetTexture(0, nullptr);
             surface->Release();
             saved->Release();
             texture->Release();
         },
         Read::Copy, [&](int x, int y) { return inRect(x, y, band) ? kOther : kCleared; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, kCleared, 1.0f, 0);
        c.then();
        Image image;
        if (c.read == Read::Copy) {
            image = readRenderTarget();
        } else if (c.read == Read::LockedBackBuffer) {
            IDirect3DSurface9* back = nullptr;
            ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
            image = readSurface(back);
            back->Release();
        } else {
            ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
            image.width = host.frames[window].width;
            image.height = host.frames[window].height;
            image.pixels = host.frames[window].pixels;
        }
        ASSERT_EQ(image.width, kWidth);
        ASSERT_EQ(image.height, kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(image.at(x, y), c.expected(x, y)) << x << "," << y;
    }
}

} // namespace
} // namespace d3d9test
