// Which pixels quads and triangles cover: pixel centres, the top-left rule,
// shared edges, culling, and the fast quad path against the triangle path.
#include "DeviceFixture.h"

#include <random>

namespace d3d9test {
namespace {

class Coverage : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        createDevice();
        engineStates();
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        clear();
    }
    void clear() { ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK); }
};

TEST_F(Coverage, QuadsCoverThePixelCentresInsideTheirLeftAndTopEdges)
{
    struct Case {
        float x0, y0, x1, y1;
    };
    const Case cases[] = {{3, 4, 13, 11}, {20.5f, 2.25f, 23.5f, 4.75f}, {30, 30, 31, 31}, {-5, -5, 2, 1.5f},
                          {60.25f, 40, 70, 60}, {10, 10, 10.75f, 10.75f}};
    for (const Case& c : cases) {
        clear();
        fillQuad(c.x0, c.y0, c.x1, c.y1, 0xFFFF0000);
        Image image = readRenderTarget();
        int count = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                bool inside = c.x0 <= x && x < c.x1 && c.y0 <= y && y < c.y1;
                ASSERT_EQ(image.at(x, y), inside ? 0xFFFF0000u : 0u)
                    << "quad " << c.x0 << "," << c.y0 << " pixel " << x << "," << y;
                count += inside;
            }
        if (c.x0 == 3) {
            EXPECT_EQ(count, 70);  // a w x h quad at integer corners covers w x h pixels
        }
    }
}

TEST_F(Coverage, TrianglesFollowTheTopLeftRule)
{
    std::mt19937 random(20240611);
    // Coordinates on a quarter-pixel grid, so that many vertices and edges
    // pass exactly through pixel centres.
    std::uniform_int_distribution<int> xs(-16, 4 * (kWidth + 4)), ys(-16, 4 * (kHeight + 4));
    for (int round = 0; round < 150; ++round) {
        double v[6];
        for (int i = 0; i < 3; ++i) {
            v[2 * i] = xs(random) / 4.0;
            v[2 * i + 1] = ys(random) / 4.0;
        }
        if (round % 3 == 0)
            v[3] = v[1];  // a horizontal edge
        if (round % 5 == 0)
            v[2] = v[0];  // a vertical edge
        clear();
        drawColoured(D3DPT_TRIANGLELIST,
                     {{float(v[0]), float(v[1]), 0, 1, 0xFFFFFFFF},
                      {float(v[2]), float(v[3]), 0, 1, 0xFFFFFFFF},
                      {float(v[4]), float(v[5]), 0, 1, 0xFFFFFFFF}},
                     1);
        Image image = readRenderTarget();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                bool expected = referenceCovers(v[0], v[1], v[2], v[3], v[4], v[5], x, y);
                ASSERT_EQ(image.at(x, y) != 0, expected) << "round " << round << " pixel " << x << "," << y;
            }
    }
}

TEST_F(Coverage, TrianglesSharingEdgesDrawEachPixelOnce)
{
    // Adding 1 per covered pixel counts how often each pixel is drawn.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    const double cx = 30, cy = 22;
    const double ring[][2] = {{30, 2},    {45.5, 6},  {52, 22},  {47.25, 37}, {30, 44},
                              {13, 38.5}, {8, 22},    {14, 7.75}};
    const int n = 8;
    std::vector<ColouredVertex> fan = {{float(cx), float(cy), 0, 1, 0x01010101}};
    for (int i = 0; i <= n; ++i)
        fan.push_back({float(ring[i % n][0]), float(ring[i % n][1]), 0, 1, 0x01010101});
    drawColoured(D3DPT_TRIANGLEFAN, fan, n);
    Image image = readRenderTarget();
    int covered = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            int expected = 0;
            for (int i = 0; i < n; ++i)
                expected += referenceCovers(cx, cy, ring[i][0], ring[i][1], ring[(i + 1) % n][0],
                                            ring[(i + 1) % n][1], x, y);
            ASSERT_LE(expected, 1);
            ASSERT_EQ(image.at(x, y), expected ? 0x01010101u : 0u) << x << "," << y;
            covered += expected;
        }
    EXPECT_GT(covered, 500);
}

TEST_F(Coverage, CullModesDropTrianglesByTheirWindingOnScreen)
{
    // (10,10) (20,10) (10,20) turns clockwise on screen, where y grows downward.
    const std::vector<ColouredVertex> clockwise = {
        {10, 10, 0, 1, 0xFFFFFFFF}, {20, 10, 0, 1, 0xFFFFFFFF}, {10, 20, 0, 1, 0xFFFFFFFF}};
    const std::vector<ColouredVertex> counter = {clockwise[0], clockwise[2], clockwise[1]};
    struct Case {
        DWORD cull;
        bool clockwiseDrawn, counterDrawn;
    };
    for (Case c : {Case{D3DCULL_NONE, true, true}, Case{D3DCULL_CCW, true, false}, Case{D3DCULL_CW, false, true}}) {
        device->SetRenderState(D3DRS_CULLMODE, c.cull);
        clear();
        drawColoured(D3DPT_TRIANGLELIST, clockwise, 1);
        EXPECT_EQ(readRenderTarget().at(12, 12) != 0, c.clockwiseDrawn) << c.cull;
        clear();
        drawColoured(D3DPT_TRIANGLELIST, counter, 1);
        EXPECT_EQ(readRenderTarget().at(12, 12) != 0, c.counterDrawn) << c.cull;
    }
}

TEST_F(Coverage, AxisAlignedQuadsMatchTheTrianglePath)
{
    // A fan of four corners takes the fast path; the same quad as a triangle
    // list goes through general triangle setup. Both must give the same pixels.
    IDirect3DTexture9* texture = makeTexture(16, 12, [](int x, int y) {
        return uint32_t((x * 16 + y * 5) & 0xFF) << 24 | uint32_t(x * 15) << 16 | uint32_t(y * 20) << 8 | 0x33u;
    });
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    struct Case {
        float x0, y0;
        DWORD colour;
        float u0, v0, u1, v1;
        bool scissor;
    };
    const Case cases[] = {
        {4.5f, 6.5f, 0xFF808080, 0, 0, 1, 1, false},       // texel-exact blit
        {4.5f, 6.5f, 0xC0408020, 0, 0, 1, 1, false},       // modulated
        {4.5f, 6.5f, 0xFF808080, 1, 0, 0, 1, false},       // mirrored in x
        {4.5f, 6.5f, 0xFF808080, 0, 1, 1, 0, false},       // mirrored in y
        {-5.5f, -3.5f, 0xFF808080, 0, 0, 1, 1, false},     // partly off the target
        {4.5f, 6.5f, 0xFF808080, 0, 0, 1, 1, true},        // cut by the scissor
        {4.0f, 6.0f, 0xFF808080, 0, 0, 1, 1, false},       // between texel centres
        {4.5f, 6.5f, 0xFF808080, 0.25f, 0, 0.75f, 1, false},  // stretched
    };
    for (const Case& c : cases) {
        RECT scissor = c.scissor ? RECT{7, 8, 13, 15} : RECT{0, 0, kWidth, kHeight};
        device->SetScissorRect(&scissor);
        float x1 = c.x0 + 16, y1 = c.y0 + 12;
        TexturedVertex tl = {c.x0, c.y0, 0, 1, c.colour, c.u0, c.v0}, tr = {x1, c.y0, 0, 1, c.colour, c.u1, c.v0},
                       br = {x1, y1, 0, 1, c.colour, c.u1, c.v1}, bl = {c.x0, y1, 0, 1, c.colour, c.u0, c.v1};
        clear();
        drawTextured(D3DPT_TRIANGLEFAN, {tl, tr, br, bl}, 2);
        Image fast = readRenderTarget();
        clear();
        drawTextured(D3DPT_TRIANGLELIST, {tl, tr, br, tl, br, bl}, 2);
        Image general = readRenderTarget();
        EXPECT_EQ(fast.pixels, general.pixels) << "case at " << c.x0 << " colour " << std::hex << c.colour;
        clear();
        drawTextured(D3DPT_TRIANGLESTRIP, {tl, tr, bl, br}, 2);
        EXPECT_EQ(readRenderTarget().pixels, general.pixels) << "strip at " << c.x0;
    }
    texture->Release();
}

} // namespace
} // namespace d3d9test
