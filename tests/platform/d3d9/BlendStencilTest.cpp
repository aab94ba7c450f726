// What happens to a drawn pixel: blending, the alpha test, and stencil masks
// written and drawn through, as the engine's mask operations use them.
#include "DeviceFixture.h"

#include <cmath>

namespace d3d9test {
namespace {

class Output : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        createDevice();
        engineStates();
    }

    uint32_t drawOver(uint32_t background, uint32_t colour, DWORD src, DWORD dest)
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
        device->SetRenderState(D3DRS_SRCBLEND, src);
        device->SetRenderState(D3DRS_DESTBLEND, dest);
        fillQuad(0, 0, 4, 4, colour);
        return readRenderTarget().at(1, 1);
    }
};

// src x srcFactor + dest x destFactor per channel, all four channels, in
// real numbers, rounded and capped.
uint32_t referenceBlend(uint32_t src, uint32_t dst, double (*sf)(uint32_t, uint32_t, int),
                        double (*df)(uint32_t, uint32_t, int))
{
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        double value = channelOf(src, shift) * sf(src, dst, shift) + channelOf(dst, shift) * df(src, dst, shift);
        result |= uint32_t(std::min(255.0, std::floor(value + 0.5))) << shift;
    }
    return result;
}

double srcAlpha(uint32_t s, uint32_t, int) { return channelOf(s, 24) / 255.0; }
double invSrcAlpha(uint32_t s, uint32_t, int) { return 1.0 - channelOf(s, 24) / 255.0; }
double one(uint32_t, uint32_t, int) { return 1.0; }
double zero(uint32_t, uint32_t, int) { return 0.0; }
double destColour(uint32_t, uint32_t d, int shift) { return channelOf(d, shift) / 255.0; }

TEST_F(Output, BlendModesCombineSourceAndTarget)
{
    const uint32_t backgrounds[] = {0xFF204060, 0x80FFFFFF, 0x00000000};
    const uint32_t colours[] = {0x40FF8000, 0xFF123456, 0x00ABCDEF, 0xC0C0C0C0, 0x80808080};
    for (uint32_t background : backgrounds)
        for (uint32_t colour : colours) {
            EXPECT_EQ(drawOver(background, colour, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA),
                      referenceBlend(colour, background, srcAlpha, invSrcAlpha))
                << std::hex << colour << " over " << background;
            EXPECT_EQ(drawOver(background, colour, D3DBLEND_SRCALPHA, D3DBLEND_ONE),
                      referenceBlend(colour, background, srcAlpha, one))
                << std::hex << colour << " added to " << background;
            EXPECT_EQ(drawOver(background, colour, D3DBLEND_ONE, D3DBLEND_ZERO), colour);
            EXPECT_EQ(drawOver(background, colour, D3DBLEND_ZERO, D3DBLEND_ONE), background);
            EXPECT_EQ(drawOver(background, colour, D3DBLEND_DESTCOLOR, D3DBLEND_ZERO),
                      referenceBlend(colour, background, destColour, zero));
        }
    // Blending off writes the source as it is.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    EXPECT_EQ(drawOver(0xFFFFFFFF, 0x10203040, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA), 0x10203040u);
}

TEST_F(Output, WideSpansOfMixedAlphaBlendPixelByPixel)
{
    // Spans wider than four pixels, of an odd width, with every pixel's own
    // alpha and colour, modulated by a tinted vertex colour: the wide paths
    // must agree with the per-pixel formula, tail included.
    const int w = 23, h = 3;
    auto texel = [](int x, int y) {
        uint32_t a = uint32_t((x * 37 + y * 91) % 256);
        return a << 24 | uint32_t(x * 11 % 256) << 16 | uint32_t(y * 70 + x) % 256 << 8 | uint32_t(255 - x * 9);
    };
    IDirect3DTexture9* texture = makeTexture(w, h, texel);
    const uint32_t background = 0xFF336699;
    const DWORD tint = 0xC0806040;
    device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    drawTexturedQuad(-0.5f, -0.5f, w - 0.5f, h - 0.5f, tint);
    Image out = readRenderTarget();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t t = texel(x, y);
            // Stage: colour channels t * tint / 128 capped (0x80 is identity),
            // alpha t * tint / 255 rounded.
            uint32_t src = uint32_t(std::floor(channelOf(t, 24) * channelOf(tint, 24) / 255.0 + 0.5)) << 24;
            for (int shift = 0; shift < 24; shift += 8)
                src |= uint32_t(std::min(255, int(channelOf(t, shift) * channelOf(tint, shift) / 128))) << shift;
            uint32_t expected = referenceBlend(src, background, srcAlpha, invSrcAlpha);
            uint32_t got = out.at(x, y);
            for (int shift = 0; shift < 32; shift += 8)
                ASSERT_NEAR(int(channelOf(got, shift)), int(channelOf(expected, shift)), 1)
                    << "pixel " << x << "," << y << std::hex << " got " << got << " expected " << expected;
        }
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(Output, TheAlphaTestDropsPixelsBeforeTheyAreWritten)
{
    // A texture whose left half is fully transparent.
    IDirect3DTexture9* texture = makeTexture(4, 4, [](int x, int) { return x < 2 ? 0x00FF0000u : 0xFF00FF00u; });
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 0);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NOTEQUAL);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    drawTexturedQuad(-0.5f, -0.5f, 3.5f, 3.5f, 0xFF808080);
    Image image = readRenderTarget();
    EXPECT_EQ(image.at(0, 0), 0xFF0000FFu);
    EXPECT_EQ(image.at(1, 3), 0xFF0000FFu);
    EXPECT_EQ(image.at(2, 0), 0xFF00FF00u);
    // A reference above the alpha: GREATER passes nothing of alpha 0x7F.
    device->SetRenderState(D3DRS_ALPHAREF, 0x7F);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    fillQuad(0, 0, 4, 4, 0x7FFFFFFF);
    EXPECT_EQ(readRenderTarget().at(3, 3), 0xFF00FF00u);
    texture->Release();
}

// Texel-aligned quads of opaque textures under the neutral tint, and of any
// texture with blending off, are copied rather than blended, and a whole-target
// clear is not written to rows such a copy covers: every case must read as the
// per-pixel blend over the clear.
TEST_F(Output, OpaqueTexelAlignedQuadsReadAsTheBlendOverTheClear)
{
    const uint32_t background = 0xFF336699;
    // Wider than the target by 8 texels each side, 6 rows, drawn at rows 10 to 15.
    const int w = kWidth + 16, h = 6, top = 10;
    auto opaque = [](int x, int y) {
        return 0xFF000000u | uint32_t(x * 3 % 256) << 16 | uint32_t(y * 40) << 8 | uint32_t(x ^ (y * 17));
    };
    auto translucent = [&](int x, int y) { return x == 20 && y == 3 ? 0x40FFFFFFu : opaque(x, y); };
    struct Case {
        const char* name;
        std::function<uint32_t(int, int)> texel;
        bool blend;
        DWORD alphaRef;  // alpha test GREATER than this; 0 leaves the test off
        RECT scissor;
        DWORD tint;
        // Drawn once, then locked again and given one translucent texel.
        bool relocked;
    };
    const RECT whole = {0, 0, kWidth, kHeight};
    const RECT part = {5, 12, 41, kHeight};
    const Case cases[] = {
        {"opaque, blended, whole rows", opaque, true, 0, whole, 0xFF808080, false},
        {"opaque, blended, scissored", opaque, true, 0, part, 0xFF808080, false},
        {"opaque, blending off", opaque, false, 0, whole, 0xFF808080, false},
        {"opaque, alpha test passing all", opaque, true, 0x80, whole, 0xFF808080, false},
        {"opaque, tinted", opaque, true, 0, whole, 0xC0806040, false},
        {"one translucent texel, blended", translucent, true, 0, whole, 0xFF808080, false},
        {"one translucent texel, scissored", translucent, true, 0, part, 0xFF808080, false},
        {"one translucent texel, blending off", translucent, false, 0, part, 0xFF808080, false},
        {"one translucent texel, alpha test", translucent, true, 0x80, whole, 0xFF808080, false},
        {"opaque, then relocked translucent", opaque, true, 0, whole, 0xFF808080, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IDirect3DTexture9* texture = makeTexture(w, h, c.texel);
        ASSERT_NE(texture, nullptr);
        std::function<uint32_t(int, int)> texel = c.texel;
        device->SetTexture(0, texture);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, c.blend ? TRUE : FALSE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, c.alphaRef != 0 ? TRUE : FALSE);
        device->SetRenderState(D3DRS_ALPHAREF, c.alphaRef);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        device->SetScissorRect(&c.scissor);
        auto draw = [&] {
            // The scissor limits clears too: the whole target is cleared first.
            device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
            device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
            device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
            drawTexturedQuad(-8.5f, top - 0.5f, w - 8.5f, top + h - 0.5f, c.tint);
        };
        draw();
        if (c.relocked) {
            readRenderTarget();
            IDirect3DSurface9* level = nullptr;
            ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
            D3DLOCKED_RECT locked;
            ASSERT_EQ(level->LockRect(&locked, nullptr, 0), D3D_OK);
            static_cast<uint32_t*>(locked.pBits)[20] = 0x40FFFFFF;
            level->UnlockRect();
            level->Release();
            texel = [&](int x, int y) { return x == 20 && y == 0 ? 0x40FFFFFFu : opaque(x, y); };
            draw();
        }
        Image out = readRenderTarget();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint32_t expected = background;
                const bool drawn = y >= top && y < top + h && x >= c.scissor.left && x < c.scissor.right &&
                                   y >= c.scissor.top && y < c.scissor.bottom;
                const uint32_t t = drawn ? texel(x + 8, y - top) : 0;
                if (drawn && (c.alphaRef == 0 || (t >> 24) > c.alphaRef)) {
                    // The stage: colour channels t * tint / 128 capped, alpha t * tint / 255 rounded.
                    uint32_t src = uint32_t(std::floor(channelOf(t, 24) * channelOf(c.tint, 24) / 255.0 + 0.5))
                                   << 24;
                    for (int shift = 0; shift < 24; shift += 8)
                        src |= uint32_t(std::min(255, channelOf(t, shift) * channelOf(c.tint, shift) / 128)) << shift;
                    expected = c.blend ? referenceBlend(src, background, srcAlpha, invSrcAlpha) : src;
                }
                const uint32_t got = out.at(x, y);
                for (int shift = 0; shift < 32; shift += 8)
                    ASSERT_NEAR(channelOf(got, shift), channelOf(expected, shift), 1)
                        << "pixel " << x << "," << y << std::hex << " got " << got << " expected " << expected;
            }
        device->SetTexture(0, nullptr);
        texture->Release();
    }
}

class Masks : public Output {
protected:
    // The mask: a 16 x 16 texture, opaque in a ring, transparent elsewhere.
    static bool inMask(int x, int y)
    {
        int dx = x - 8, dy = y - 8;
        int d = dx * dx + dy * dy;
        return d >= 9 && d < 49;
    }

    // Writes the mask at (8, 8) the way the engine's beginMask does: stencil
    // replaced by 1 where the alpha test passes, nothing reaches the colours.
    void writeMask(IDirect3DTexture9* mask)
    {
        device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
        device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
        device->SetRenderState(D3DRS_STENCILREF, 1);
        device->SetRenderState(D3DRS_STENCILMASK, 1);
        device->SetRenderState(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
        device->SetRenderState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
        device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_ALPHAREF, 0);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NOTEQUAL);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0xFF000000, 1.0f, 0), D3D_OK);
        device->SetTexture(0, mask);
        drawTexturedQuad(7.5f, 7.5f, 23.5f, 23.5f, 0xFF808080);
    }

    // Draws through the mask (the engine's setMaskMode(false)).
    void drawThrough(bool inverted)
    {
        device->SetRenderState(D3DRS_STENCILFUNC, inverted ? D3DCMP_EQUAL : D3DCMP_NOTEQUAL);
        device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        fillQuad(0, 0, 32, 32, 0xFFFF0000);
    }
};

TEST_F(Masks, DrawingThroughAMaskReachesOutsideOrInsideIt)
{
    IDirect3DTexture9* mask = makeTexture(16, 16, [](int x, int y) { return inMask(x, y) ? 0xFFFFFFFFu : 0u; });
    for (bool inverted : {false, true}) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        writeMask(mask);
        // Writing the mask changed no colour.
        Image written = readRenderTarget();
        for (uint32_t pixel : written.pixels)
            ASSERT_EQ(pixel, 0xFF000000u);
        drawThrough(inverted);
        Image image = readRenderTarget();
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                bool masked = x >= 8 && x < 24 && y >= 8 && y < 24 && inMask(x - 8, y - 8);
                bool drawn = inverted ? masked : !masked;
                ASSERT_EQ(image.at(x, y), drawn ? 0xFFFF0000u : 0xFF000000u)
                    << (inverted ? "inverted " : "normal ") << x << "," << y;
            }
    }
    mask->Release();
}

TEST_F(Masks, StencilOperationsFollowFailAndPassWithTheWriteMask)
{
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 5), D3D_OK);
    // Count up where the test passes (stored < 7), invert where it fails.
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_GREATER);  // ref 7 > stored
    device->SetRenderState(D3DRS_STENCILREF, 7);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCRSAT);
    device->SetRenderState(D3DRS_STENCILFAIL, D3DSTENCILOP_ZERO);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    for (int i = 0; i < 3; ++i)
        fillQuad(0, 0, 2, 2, 0xFFFFFFFF);
    // 5 -> 6 -> 7, then 7 fails and becomes 0. Only EQUAL 0 passes now.
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device->SetRenderState(D3DRS_STENCILREF, 0);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    device->SetRenderState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    fillQuad(0, 0, 4, 4, 0xFFFFFFFF);
    Image image = readRenderTarget();
    EXPECT_EQ(image.at(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(image.at(3, 3), 0u);  // still 5
    // The write mask keeps the bits it does not name: REPLACE 0xFF with
    // mask 0x0F turns 5 into 0x0F.
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    device->SetRenderState(D3DRS_STENCILREF, 0xFF);
    device->SetRenderState(D3DRS_STENCILWRITEMASK, 0x0F);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    fillQuad(2, 2, 4, 4, 0xFFFFFFFF);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device->SetRenderState(D3DRS_STENCILREF, 0x0F);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    fillQuad(0, 0, 4, 4, 0xFF00FF00);
    image = readRenderTarget();
    EXPECT_EQ(image.at(3, 3), 0xFF00FF00u);
    EXPECT_EQ(image.at(1, 1), 0u);
}

TEST_F(Masks, WithoutStencilBitsMasksDoNothing)
{
    // A 16-bit depth buffer has no stencil: clearing it is refused and the
    // stencil test passes everything.
    device->Release();
    device = nullptr;
    colouredDecl->Release();
    colouredDecl = nullptr;
    texturedDecl->Release();
    texturedDecl = nullptr;
    createDevice(D3DFMT_D16);
    engineStates();
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_NEVER);
    fillQuad(0, 0, 4, 4, 0xFFFFFFFF);
    EXPECT_EQ(readRenderTarget().at(1, 1), 0xFFFFFFFFu);
}

} // namespace
} // namespace d3d9test
