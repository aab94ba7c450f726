// Textures: exact blits, the stage's colour operations, filtering and
// addressing, locks with a padded pitch, and the creation rules and caps.
#include "DeviceFixture.h"

#include <cmath>

namespace d3d9test {
namespace {

class Textures : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        createDevice();
        engineStates();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    }

    // Distinct opaque texels.
    static uint32_t pattern(int x, int y) { return 0xFF000000u | uint32_t(x * 37 + 11) << 16 | uint32_t(y * 53 + 7) << 8 | uint32_t((x ^ y) * 29); }
};

TEST_F(Textures, AnUnscaledQuadShiftedByHalfAPixelReproducesTheTexture)
{
    IDirect3DTexture9* texture = makeTexture(7, 5, [](int x, int y) { return pattern(x, y); });
    device->SetTexture(0, texture);
    // The image's top-left pixel is (10, 20); the quad starts half a pixel
    // before it so that texel centres fall on pixel centres.
    drawTexturedQuad(9.5f, 19.5f, 16.5f, 24.5f, 0xFF808080);
    // The same through the general triangle path, rotated by nothing but
    // drawn as a list.
    drawTextured(D3DPT_TRIANGLELIST,
                 {{29.5f, 19.5f, 0, 1, 0xFF808080, 0, 0}, {36.5f, 19.5f, 0, 1, 0xFF808080, 1, 0},
                  {36.5f, 24.5f, 0, 1, 0xFF808080, 1, 1}, {29.5f, 19.5f, 0, 1, 0xFF808080, 0, 0},
                  {36.5f, 24.5f, 0, 1, 0xFF808080, 1, 1}, {29.5f, 24.5f, 0, 1, 0xFF808080, 0, 1}},
                 2);
    Image image = readRenderTarget();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint32_t expected = 0xFF000000;
            if (y >= 20 && y < 25 && x >= 10 && x < 17)
                expected = pattern(x - 10, y - 20);
            if (y >= 20 && y < 25 && x >= 30 && x < 37)
                expected = pattern(x - 30, y - 20);
            ASSERT_EQ(image.at(x, y), expected) << x << "," << y;
        }
    texture->Release();
}

TEST_F(Textures, Modulate2xTakesHalfIntensityAsIdentity)
{
    const uint32_t texel = 0xC8F0643Cu;  // alpha 200, colour 240, 100, 60
    IDirect3DTexture9* texture = makeTexture(4, 4, [&](int, int) { return texel; });
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    const DWORD colours[] = {0xFF808080, 0x80404040, 0xFFFFFFFF, 0x00FF8000, 0xFF80FF01};
    for (DWORD colour : colours) {
        drawTexturedQuad(-0.5f, -0.5f, 3.5f, 3.5f, colour);
        uint32_t got = readRenderTarget().at(1, 1);
        // Colour: texel x vertex / 128, capped; alpha: texel x vertex / 255, rounded.
        for (int shift = 0; shift < 24; shift += 8) {
            int expected = std::min(255, channelOf(texel, shift) * channelOf(colour, shift) / 128);
            EXPECT_EQ(channelOf(got, shift), expected) << std::hex << colour << " shift " << shift;
        }
        int alpha = int(std::lround(channelOf(texel, 24) * channelOf(colour, 24) / 255.0));
        EXPECT_EQ(channelOf(got, 24), alpha) << std::hex << colour;
    }
    // 0x80 in every channel with opaque alpha leaves every texel as it is.
    drawTexturedQuad(-0.5f, -0.5f, 3.5f, 3.5f, 0xFF808080);
    EXPECT_EQ(readRenderTarget().at(2, 3), texel);
    texture->Release();
}

TEST_F(Textures, WithoutATextureTheStageGivesTheVertexColour)
{
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    fillQuad(0, 0, 8, 8, 0x7F123456);
    EXPECT_EQ(readRenderTarget().at(3, 3), 0x7F123456u);
}

TEST_F(Textures, SelectArgumentsPickTextureOrVertex)
{
    IDirect3DTexture9* texture = makeTexture(2, 2, [](int, int) { return 0x40A0B0C0u; });
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    drawTexturedQuad(-0.5f, -0.5f, 1.5f, 1.5f, 0x11223344);
    EXPECT_EQ(readRenderTarget().at(0, 0), 0x40223344u);  // texture alpha, vertex colour
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    drawTexturedQuad(-0.5f, -0.5f, 1.5f, 1.5f, 0x11223344);
    EXPECT_EQ(readRenderTarget().at(0, 0), 0x11A0B0C0u);
    texture->Release();
}

TEST_F(Textures, FilteringAndAddressing)
{
    // Two texels, black and white, stretched over four pixels.
    IDirect3DTexture9* texture = makeTexture(2, 1, [](int x, int) { return x ? 0xFFFFFFFFu : 0xFF000000u; });
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    auto row = [&]() {
        Image image = readRenderTarget();
        std::vector<int> values;
        for (int x = 0; x < 4; ++x)
            values.push_back(channelOf(image.at(x, 0), 0));
        return values;
    };
    // Pixel i samples u = (i + 0.5) / 4, texel position 2u - 0.5 = i/2 - 0.25,
    // clamped at the edges: weights 0, 0.25, 0.75 and 1 of the white texel.
    drawTexturedQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFF808080);
    EXPECT_EQ(row(), (std::vector<int>{0, 64, 191, 255}));
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    drawTexturedQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFF808080);
    EXPECT_EQ(row(), (std::vector<int>{0, 0, 255, 255}));
    // Coordinates from -1 to 1 over four pixels: clamping repeats the edge
    // texel, wrapping repeats the texture.
    drawTexturedQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFF808080, -1, 0, 1, 1);
    EXPECT_EQ(row(), (std::vector<int>{0, 0, 0, 255}));
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    drawTexturedQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFF808080, -1, 0, 1, 1);
    EXPECT_EQ(row(), (std::vector<int>{0, 255, 0, 255}));
    texture->Release();
}

TEST_F(Textures, CornerColoursInterpolateAcrossTheQuad)
{
    IDirect3DTexture9* texture = makeTexture(1, 1, [](int, int) { return 0xFFFFFFFFu; });
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    const DWORD corners[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    // A 33 x 33 pixel quad from (0, 0): corner colours at the corner points.
    drawTexturedQuad(0, 0, 32, 32, 0, 0, 0, 1, 1, corners);
    Image image = readRenderTarget();
    // The fan splits along the top-left to bottom-right diagonal; each
    // triangle interpolates linearly between its three corners.
    for (int y = 0; y < 32; y += 3)
        for (int x = 0; x < 32; x += 3) {
            double s = x / 32.0, t = y / 32.0;
            // Barycentric weights of (tl, tr, br) above the diagonal, (tl, br, bl) below.
            double w[4] = {0, 0, 0, 0};
            if (x >= y) {
                w[0] = 1 - s;
                w[1] = s - t;
                w[2] = t;
            } else {
                w[0] = 1 - t;
                w[2] = s;
                w[3] = t - s;
            }
            for (int shift = 0; shift < 24; shift += 8) {
                double expected = 0;
                for (int i = 0; i < 4; ++i)
                    expected += w[i] * channelOf(corners[i], shift);
                EXPECT_NEAR(channelOf(image.at(x, y), shift), expected, 1.0) << x << "," << y << " shift " << shift;
            }
        }
    texture->Release();
}

TEST_F(Textures, LocksReturnAPaddedPitchThatRowsMustFollow)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(5, 3, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(level->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_GT(locked.Pitch, 5 * 4);
    EXPECT_EQ(locked.Pitch % 4, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch)[x] = pattern(x, y);
    EXPECT_EQ(level->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);  // already locked
    ASSERT_EQ(level->UnlockRect(), D3D_OK);
    EXPECT_EQ(level->UnlockRect(), D3DERR_INVALIDCALL);
    // A locked rectangle starts at its corner, at the same pitch.
    RECT part = {2, 1, 4, 3};
    ASSERT_EQ(level->LockRect(&locked, &part, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(*static_cast<uint32_t*>(locked.pBits), pattern(2, 1));
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + locked.Pitch + 4), pattern(3, 2));
    level->UnlockRect();
    RECT outside = {3, 0, 6, 1};
    EXPECT_EQ(level->LockRect(&locked, &outside, 0), D3DERR_INVALIDCALL);

    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    drawTexturedQuad(-0.5f, -0.5f, 4.5f, 2.5f, 0xFF808080);
    Image image = readRenderTarget();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(image.at(x, y), pattern(x, y)) << x << "," << y;
    level->Release();
    texture->Release();
}

TEST_F(Textures, OnlySomePoolsAndUsagesCanBeLocked)
{
    D3DLOCKED_RECT locked;
    struct Case {
        DWORD usage;
        D3DPOOL pool;
        bool lockable;
    };
    for (Case c : {Case{0, D3DPOOL_MANAGED, true}, Case{0, D3DPOOL_SYSTEMMEM, true},
                   Case{D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT, true}, Case{0, D3DPOOL_DEFAULT, false},
                   Case{D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, false}}) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(device->CreateTexture(8, 8, 1, c.usage, D3DFMT_A8R8G8B8, c.pool, &texture, nullptr), D3D_OK);
        IDirect3DSurface9* level = nullptr;
        texture->GetSurfaceLevel(0, &level);
        HRESULT hr = level->LockRect(&locked, nullptr, c.usage & D3DUSAGE_DYNAMIC ? D3DLOCK_DISCARD : 0);
        EXPECT_EQ(hr, c.lockable ? D3D_OK : D3DERR_INVALIDCALL) << c.usage << " pool " << c.pool;
        if (hr == D3D_OK)
            level->UnlockRect();
        level->Release();
        texture->Release();
    }
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_D24S8, D3DPOOL_MANAGED, &texture, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(0, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
}

class TextureCaps : public DeviceFixture {};

TEST_F(TextureCaps, SizesAreCheckedAgainstTheConfiguredCaps)
{
    SoftwareCaps caps;
    caps.maxTextureWidth = 256;
    caps.maxTextureHeight = 128;
    caps.powerOfTwoTextures = true;
    caps.maxTextureAspectRatio = 4;
    DeviceControls::setCaps(caps);
    createDevice();
    D3DCAPS9 reported;
    ASSERT_EQ(device->GetDeviceCaps(&reported), D3D_OK);
    EXPECT_EQ(reported.MaxTextureWidth, 256u);
    EXPECT_EQ(reported.MaxTextureHeight, 128u);
    EXPECT_TRUE(reported.TextureCaps & D3DPTEXTURECAPS_POW2);
    EXPECT_FALSE(reported.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY);
    struct Case {
        UINT width, height;
        HRESULT result;
    };
    for (Case c : {Case{128, 64, D3D_OK}, Case{100, 64, D3DERR_INVALIDCALL}, Case{256, 128, D3D_OK},
                   Case{512, 64, D3DERR_INVALIDCALL}, Case{128, 256, D3DERR_INVALIDCALL},
                   Case{256, 32, D3DERR_INVALIDCALL} /* aspect 8 */}) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(c.width, c.height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
                  c.result)
            << c.width << "x" << c.height;
        if (texture)
            texture->Release();
    }
}

TEST_F(TextureCaps, SquareOnlyDevicesRefuseOtherShapes)
{
    SoftwareCaps caps;
    caps.squareTextures = true;
    DeviceControls::setCaps(caps);
    createDevice();
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(64, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
    ASSERT_EQ(device->CreateTexture(48, 48, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    texture->Release();
}

TEST_F(TextureCaps, TextureMemoryIsCountedAndCanRunOut)
{
    SoftwareCaps caps;
    caps.textureMemory = 100000;  // room for one 128 x 128 texture, not two
    DeviceControls::setCaps(caps);
    createDevice();
    EXPECT_EQ(device->GetAvailableTextureMem(), 100000u);
    IDirect3DTexture9* first = nullptr;
    IDirect3DTexture9* second = nullptr;
    ASSERT_EQ(device->CreateTexture(128, 128, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &first, nullptr), D3D_OK);
    UINT left = device->GetAvailableTextureMem();
    EXPECT_LE(left, 100000u - 128 * 128 * 4);
    EXPECT_EQ(device->CreateTexture(128, 128, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &second, nullptr),
              D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(second, nullptr);
    // System-memory textures take no texture memory.
    ASSERT_EQ(device->CreateTexture(128, 128, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &second, nullptr), D3D_OK);
    EXPECT_EQ(device->GetAvailableTextureMem(), left);
    second->Release();
    first->Release();
    EXPECT_EQ(device->GetAvailableTextureMem(), 100000u);
}

TEST_F(TextureCaps, InjectedCreationFailuresReturnTheirCode)
{
    createDevice();
    DeviceControls::failNext(FaultPoint::CreateTexture, 2, D3DERR_OUTOFVIDEOMEMORY);
    IDirect3DTexture9* texture = nullptr;
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
                  D3DERR_OUTOFVIDEOMEMORY);
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    texture->Release();
    DeviceControls::failNext(FaultPoint::CreateVertexBuffer, 1, D3DERR_OUTOFVIDEOMEMORY);
    IDirect3DVertexBuffer9* buffer = nullptr;
    EXPECT_EQ(device->CreateVertexBuffer(80, D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT, &buffer, nullptr),
              D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(buffer, nullptr);
}

} // namespace
} // namespace d3d9test
