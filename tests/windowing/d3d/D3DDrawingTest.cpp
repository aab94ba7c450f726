// Drawing through the window graphics, read back from the device: fills,
// unscaled blits, the image colour and corner colours, blend and composite
// modes, clipping by scissor and by viewport, lines, the transform stack.
#include "D3DTestSupport.h"

#include "platform/kernel/DebugOutput.h"
#include "windowing/graphics/HVMatrixStack.h"
#include "windowing/graphics/Polygon.h"

#include <cmath>

namespace {

using namespace d3dtest;

class D3DDrawingTest : public D3DTest {};

TEST_F(D3DDrawingTest, AFillCoversExactlyItsTranslatedRectangleAndTheSceneStartsTransparent)
{
    openFrame();
    paint([](window::GraphicsWWinDX* g) {
        g->translate(5, 7);
        g->setColor(0xFF204060u);
        g->fillRect(10, 20, 30, 40);
    });
    const auto pixels = backBuffer();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool inside = x >= 15 && x < 45 && y >= 27 && y < 67;
            ASSERT_EQ(at(pixels, x, y), inside ? 0xFF204060u : 0u) << x << "," << y;
        }
}

TEST_F(D3DDrawingTest, AHalfTransparentFillBlendsOverWhatIsThere)
{
    openFrame();
    paint([](window::GraphicsWWinDX* g) {
        background(g, 0xFF0000FFu);
        g->fillRectAlpha(0, 0, 100, 100, 0x80FF0000u);
    });
    const auto pixels = backBuffer();
    EXPECT_PRED2(sameColour, at(pixels, 50, 50), over(0x80FF0000u, 0xFF0000FFu)) << hex(at(pixels, 50, 50));
    EXPECT_EQ(at(pixels, 100, 50), 0xFF0000FFu);
}

TEST_F(D3DDrawingTest, AnUnscaledImageIsItsSourcePixelForPixel)
{
    openFrame();
    window::ImageWinDX* image = makeImage(37, 23, patternPixel);
    paint([&](window::GraphicsWWinDX* g) { EXPECT_TRUE(g->drawImage(image, 101, 53)); });
    const auto pixels = backBuffer();
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_EQ(at(pixels, 101 + x, 53 + y), patternPixel(x, y)) << x << "," << y;
    EXPECT_EQ(at(pixels, 100, 53), 0u);
    EXPECT_EQ(at(pixels, 138, 53), 0u);
    EXPECT_EQ(at(pixels, 101, 52), 0u);
    EXPECT_EQ(at(pixels, 101, 76), 0u);
    image->release();
}

TEST_F(D3DDrawingTest, ImageColour0x80IsAnIdentityAndOtherColoursModulateTwofold)
{
    openFrame();
    // Texels with partial alpha over a known background.
    auto texel = [](int x, int y) { return argb((x * 37 + y * 11) & 0xFF, x * 9 & 0xFF, y * 13 & 0xFF, 200); };
    window::ImageWinDX* image = makeImage(16, 16, texel);
    const uint32_t bg = 0xFF305070u;
    paint([&](window::GraphicsWWinDX* g) {
        background(g, bg);
        g->drawImage(image, 0, 0);
        g->setImageColor(0x80FF4020u);
        g->drawImage(image, 100, 0);
    });
    const auto pixels = backBuffer();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint32_t t = texel(x, y);
            ASSERT_PRED2(sameColour, at(pixels, x, y), over(t, bg)) << x << "," << y;
            // Colour bytes: texel * colour / 128, capped; alpha 0x80 doubles to opaque.
            auto mod = [](int c, int m) { return std::min(255, c * m / 128); };
            const uint32_t modulated = argb(alphaOf(t), mod(redOf(t), 0xFF), mod(greenOf(t), 0x40), mod(blueOf(t), 0x20));
            ASSERT_PRED2(sameColour, at(pixels, 100 + x, y), over(modulated, bg)) << x << "," << y;
        }
    image->release();
}

TEST_F(D3DDrawingTest, GlobalAlphaScalesTheImageAlphaAndCornerColoursInterpolate)
{
    openFrame();
    window::ImageWinDX* white = makeImage(64, 64, [](int, int) { return 0xFFFFFFFFu; });
    paint([&](window::GraphicsWWinDX* g) {
        background(g, 0xFF000000u);
        g->setAlpha(64); // half of opaque
        g->drawImage(white, 0, 0);
        g->setAlpha(128);
        // Red, green, blue and black corners (colour bytes 0x80 = full texel).
        g->setCornerColors(ColorBase(0x80800000u), ColorBase(0x80008000u), ColorBase(0x80000080u),
                           ColorBase(0x80000000u));
        g->drawImage(white, 100, 0);
    });
    const auto pixels = backBuffer();
    EXPECT_PRED2(sameColour, at(pixels, 32, 32), over(0x80FFFFFFu, 0xFF000000u)) << hex(at(pixels, 32, 32));
    // Corners are close to their own colour.
    EXPECT_PRED3(nearColour, at(pixels, 100, 0), 0xFFFF0000u, 8) << hex(at(pixels, 100, 0));
    EXPECT_PRED3(nearColour, at(pixels, 163, 0), 0xFF00FF00u, 8) << hex(at(pixels, 163, 0));
    EXPECT_PRED3(nearColour, at(pixels, 163, 63), 0xFF0000FFu, 8) << hex(at(pixels, 163, 63));
    EXPECT_PRED3(nearColour, at(pixels, 100, 63), 0xFF000000u, 8) << hex(at(pixels, 100, 63));
    // Half-way along the top edge, red and green mix evenly.
    const uint32_t mid = at(pixels, 131, 0);
    EXPECT_NEAR(redOf(mid), 128, 10);
    EXPECT_NEAR(greenOf(mid), 128, 10);
    EXPECT_NEAR(blueOf(mid), 0, 4);
    white->release();
}

TEST_F(D3DDrawingTest, AdditiveModeAddsAndOpaqueBlendCopiesAlpha)
{
    openFrame();
    window::ImageWinDX* image = makeImage(8, 8, [](int, int) { return 0x80402010u; });
    const uint32_t bg = 0xFF606060u;
    paint([&](window::GraphicsWWinDX* g) {
        background(g, bg);
        EXPECT_TRUE(g->setCompositeMode(1));
        g->drawImage(image, 0, 0);
        EXPECT_TRUE(g->setCompositeMode(0));
        EXPECT_FALSE(g->setCompositeMode(2));
        g->setBlendMode(false);
        g->drawImage(image, 20, 0);
        g->setBlendMode(true);
        g->drawImage(image, 40, 0);
    });
    const auto pixels = backBuffer();
    // Destination + source x source alpha, per channel (alpha too), capped.
    auto add = [](int d, int s, int a) { return std::min(255, d + (s * a + 127) / 255); };
    const uint32_t added = argb(add(0xFF, 0x80, 0x80), add(0x60, 0x40, 0x80), add(0x60, 0x20, 0x80), add(0x60, 0x10, 0x80));
    EXPECT_PRED2(sameColour, at(pixels, 4, 4), added) << hex(at(pixels, 4, 4));
    EXPECT_EQ(at(pixels, 24, 4), 0x80402010u);
    EXPECT_PRED2(sameColour, at(pixels, 44, 4), over(0x80402010u, bg));
    image->release();
}

TEST_F(D3DDrawingTest, TheClipLimitsFillsAndImagesBothWithScissorsAndWithTheViewport)
{
    for (bool scissor : {true, false}) {
        SCOPED_TRACE(scissor ? "scissor" : "viewport");
        SoftwareCaps caps;
        caps.scissorTest = scissor;
        DeviceControls::setCaps(caps);
        openFrame();
        ASSERT_EQ(graphics->isScissorSupported(), scissor);
        window::ImageWinDX* image = makeImage(100, 100, patternPixel);
        paint([&](window::GraphicsWWinDX* g) {
            g->clipRect(20, 30, 40, 50);
            g->setColor(0xFFFF0000u);
            g->fillRect(0, 0, 200, 200);
            g->clipRect(0, 0, 800, 600); // stays the narrower one
            g->drawImage(image, 25, 35);
        });
        const auto pixels = backBuffer();
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 120; ++x) {
                const bool inside = x >= 20 && x < 60 && y >= 30 && y < 80;
                const bool onImage = x >= 25 && y >= 35;
                const uint32_t expected = !inside ? 0u : onImage ? patternPixel(x - 25, y - 35) : 0xFFFF0000u;
                ASSERT_EQ(at(pixels, x, y), expected) << x << "," << y;
            }
        // The clip was part of the saved state: the next paint covers all.
        paint([](window::GraphicsWWinDX* g) {
            g->setColor(0xFF00FF00u);
            g->fillRect(0, 0, 800, 600);
        });
        EXPECT_EQ(at(backBuffer(), 799, 599), 0xFF00FF00u);
        image->release();
        graphics->release();
        graphics = nullptr;
        DestroyWindow(frame->getHWND());
        frame->release();
        frame = nullptr;
    }
}

TEST_F(D3DDrawingTest, OnePixelLinesAreVisibleAndLeaveOutTheirEndPoint)
{
    openFrame();
    paint([](window::GraphicsWWinDX* g) {
        g->setColor(0x00FFFFFFu); // the alpha is forced opaque
        g->drawLine(10, 10, 20, 10, 1);
        g->drawLine(30, 20, 30, 10, 0);
        g->drawLine(5, 5, 5, 5, 1);
    });
    auto pixels = backBuffer();
    // From the start point up to the end point, which stays out.
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(at(pixels, x, 10), x >= 10 && x < 20 ? 0xFFFFFFFFu : 0u) << x;
    for (int y = 5; y < 25; ++y)
        EXPECT_EQ(at(pixels, 30, y), y > 10 && y <= 20 ? 0xFFFFFFFFu : 0u) << y;
    EXPECT_EQ(at(pixels, 5, 5), 0u);
    EXPECT_EQ(at(pixels, 11, 11), 0u);
}

TEST_F(D3DDrawingTest, ASlantedOnePixelLineSetsOnePixelPerStepNextToTheIdealLine)
{
    openFrame();
    struct Line {
        int x1, y1, x2, y2;
    };
    const Line lines[] = {{100, 100, 160, 121}, {300, 200, 287, 150}, {400, 400, 350, 450}};
    for (const Line& l : lines) {
        paint([&](window::GraphicsWWinDX* g) {
            g->setColor(0xFFFFFFFFu);
            g->drawLine(l.x1, l.y1, l.x2, l.y2, 1);
        });
        const auto pixels = backBuffer();
        const int dx = l.x2 - l.x1, dy = l.y2 - l.y1;
        const bool shallow = std::abs(dx) >= std::abs(dy);
        const int steps = shallow ? std::abs(dx) : std::abs(dy);
        int count = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                count += at(pixels, x, y) != 0;
        EXPECT_EQ(count, steps);
        for (int i = 0; i < steps; ++i) {
            // Along the longer axis every step has its one pixel within half a
            // pixel of the ideal line.
            const int major = shallow ? l.x1 + (dx > 0 ? i : -i) : l.y1 + (dy > 0 ? i : -i);
            const double ideal = shallow ? l.y1 + double(dy) * i / steps : l.x1 + double(dx) * i / steps;
            int hits = 0;
            for (int m = -3; m <= 3; ++m) {
                const int minor = int(std::lround(ideal)) + m;
                const uint32_t p = shallow ? at(pixels, major, minor) : at(pixels, minor, major);
                if (p) {
                    ++hits;
                    EXPECT_LE(std::fabs(minor - ideal), 0.5 + 1e-9);
                }
            }
            EXPECT_EQ(hits, 1) << "step " << i;
        }
        EXPECT_EQ(at(pixels, l.x2, l.y2), 0u);
    }
}

TEST_F(D3DDrawingTest, WideLinesAreBandsOnOneSideAndRectanglesAreTwoPixelFramesInside)
{
    openFrame();
    paint([](window::GraphicsWWinDX* g) {
        g->setColor(0xFF00FF00u);
        g->drawLine(10, 10, 30, 10, 3);   // below, left to right
        g->drawLine(50, 10, 50, 10, 4);   // no length: nothing
        g->setColor(0xFFFF0000u);
        g->drawRect(100, 100, 20, 10);
    });
    const auto pixels = backBuffer();
    for (int y = 8; y < 16; ++y)
        for (int x = 8; x < 32; ++x)
            EXPECT_EQ(at(pixels, x, y), x >= 10 && x < 30 && y >= 10 && y < 13 ? 0xFF00FF00u : 0u) << x << "," << y;
    EXPECT_EQ(at(pixels, 50, 10), 0u);
    // Bands inside the rectangle from (100, 100) to (119, 109).
    for (int y = 98; y < 112; ++y)
        for (int x = 98; x < 122; ++x) {
            const bool in = x >= 100 && x < 119 && y >= 100 && y < 109;
            const bool band = in && (x < 102 || x >= 117 || y < 102 || y >= 107);
            EXPECT_EQ(at(pixels, x, y), band ? 0xFFFF0000u : 0u) << x << "," << y;
        }
}

TEST_F(D3DDrawingTest, APolygonOutlineClosesOnItsFirstPointAndAPathDoesNot)
{
    openFrame();
    window::Polygon* square = new window::Polygon();
    square->addPoint(10, 10);
    square->addPoint(20, 10);
    square->addPoint(20, 20);
    square->addPoint(10, 20);
    paint([&](window::GraphicsWWinDX* g) {
        g->setColor(0xFFFFFFFFu);
        g->drawPolygon(square);
        g->translate(100, 0);
        g->drawPath(square, 1);
    });
    const auto pixels = backBuffer();
    int outline = 0, path = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool edge = (x >= 10 && x <= 20 && (y == 10 || y == 20)) || (y >= 10 && y <= 20 && (x == 10 || x == 20));
            EXPECT_EQ(at(pixels, x, y) != 0, edge) << x << "," << y;
            outline += at(pixels, x, y) != 0;
            path += at(pixels, 100 + x, y) != 0;
        }
    EXPECT_EQ(outline, 40);
    EXPECT_EQ(path, 30); // three sides
    EXPECT_EQ(at(pixels, 110, 15), 0u);
    square->release();
}

TEST_F(D3DDrawingTest, ImagesFollowTheTransformStackAndFlipMirrorsThem)
{
    openFrame();
    window::ImageWinDX* image = makeImage(10, 6, patternPixel);
    paint([&](window::GraphicsWWinDX* g) {
        g->translate(200, 100);
        g->drawImage(image, 0, 0);
        // Flipped across: the quad turns round its centre (5, 3) + (300, 100).
        g->drawImageCentered(image, 305, 3, nullptr, 1.0, 1.0, 0.0, 1);
        // Turned half a circle: both axes mirrored.
        g->drawImageCentered(image, 405, 3, nullptr, 1.0, 1.0, 180.0, 0);
    });
    const auto pixels = backBuffer();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(at(pixels, 200 + x, 100 + y), patternPixel(x, y));
            // Mirroring an even width about the centre moves the columns by one.
            ASSERT_EQ(at(pixels, 501 + (9 - x), 100 + y), patternPixel(x, y)) << x << "," << y;
        }
    // The half turn keeps every texel (bilinear reads land on texel centres).
    int same = 0;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            same += at(pixels, 601 + (9 - x), 101 + (5 - y)) == patternPixel(x, y);
    EXPECT_GE(same, 50);
    image->release();
}

// A flip mirrors the quad's corners about its centre and nothing else: the
// texture coordinates stay as they are (swapping them as well would mirror
// the picture back).
TEST_F(D3DDrawingTest, FlippedImagesAreMirroredByTheirCornersAlone)
{
    openFrame();
    window::ImageWinDX* image = makeImage(10, 6, patternPixel);
    const struct {
        int flip;
        bool acrossX, acrossY;
    } cases[] = {{1, true, false}, {2, false, true}, {3, true, true}};
    for (const auto& c : cases) {
        paint([&](window::GraphicsWWinDX* g) { g->drawImageCentered(image, 105, 103, nullptr, 1.0, 1.0, 0.0, c.flip); });
        const auto pixels = backBuffer();
        // Unflipped the picture covers (100, 100) to (109, 105); mirroring an
        // even side about the centre moves it by one pixel.
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x) {
                const int px = c.acrossX ? 101 + (9 - x) : 100 + x;
                const int py = c.acrossY ? 101 + (5 - y) : 100 + y;
                ASSERT_EQ(at(pixels, px, py), patternPixel(x, y)) << "flip " << c.flip << " at " << x << "," << y;
            }
    }
    image->release();
}

TEST_F(D3DDrawingTest, ScalingThroughTheStackEnlargesImagesButNotFills)
{
    openFrame();
    window::ImageWinDX* block = makeImage(10, 10, [](int, int) { return 0xFF3366CCu; });
    paint([&](window::GraphicsWWinDX* g) {
        window::Graphics* inner = g->create();
        EXPECT_TRUE(g->scale(2.0, 2.0));
        EXPECT_TRUE(g->scale(1.0, 1.0));
        // 20 x 20 at (19, 19): the half-pixel shift is scaled with the quad.
        g->drawImage(block, 10, 10);
        g->setColor(0xFFFF0000u);
        g->fillRect(100, 100, 5, 5); // fills keep their size and place
        inner->dispose();
        inner->release();
        g->drawImage(block, 200, 200);
    });
    const auto pixels = backBuffer();
    int covered = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            covered += at(pixels, x, y) == 0xFF3366CCu;
    EXPECT_EQ(covered, 400);
    EXPECT_EQ(at(pixels, 19, 19), 0xFF3366CCu);
    EXPECT_EQ(at(pixels, 38, 38), 0xFF3366CCu);
    EXPECT_EQ(at(pixels, 39, 39), 0u);
    EXPECT_EQ(at(pixels, 104, 104), 0xFFFF0000u);
    EXPECT_EQ(at(pixels, 105, 105), 0u);
    // Outside the inner bracket the scale is gone.
    EXPECT_EQ(at(pixels, 209, 209), 0xFF3366CCu);
    EXPECT_EQ(at(pixels, 210, 210), 0u);
    block->release();
}

TEST_F(D3DDrawingTest, TransformsOutsideADrawingBracketAreRefusedAndTheStackReportsMisuse)
{
    openFrame();
    EXPECT_FALSE(graphics->rotate(10));
    EXPECT_FALSE(graphics->flip(3));
    EXPECT_FALSE(graphics->scale(2, 2));
    EXPECT_EQ(graphics->getScaleX(), 2.0); // the factor is recorded all the same
    graphics->scale(0.5, 0.5);
    paint([](window::GraphicsWWinDX* g) {
        const int depth = g->getMatrixStack()->depth();
        EXPECT_TRUE(g->flip(0));
        EXPECT_TRUE(g->rotate(0));
        EXPECT_EQ(g->getMatrixStack()->depth(), depth);
        EXPECT_TRUE(g->flip(3));
        EXPECT_EQ(g->getScaleX(), -1.0);
        EXPECT_EQ(g->getScaleY(), -1.0);
        D3DMATRIX m;
        g->getTopMatrix(&m);
        EXPECT_EQ(m.m[0][0], -1.0f);
        EXPECT_EQ(m.m[1][1], -1.0f);
    });
    EXPECT_EQ(graphics->getScaleX(), 1.0);
    EXPECT_TRUE(graphics->getMatrixStack()->isEmpty());
    platform::DebugCapture debug;
    graphics->getMatrixStack()->pop();
    graphics->translate(1, 1);
    EXPECT_TRUE(debug.contains("Warning!  Trying to pop matrix from empty stack!\n"));
    EXPECT_TRUE(debug.contains("Error!  Trying to get a matrix from empty stack!\n"));
}

TEST_F(D3DDrawingTest, TheBackBufferReadIsClampedToTheBuffer)
{
    openFrame();
    paint([](window::GraphicsWWinDX* g) { background(g, 0xFF112233u); });
    const int w = 1000, h = 700;
    std::vector<uint32_t> pixels(size_t(w) * h, 0xDEADBEEFu);
    graphics->getBackBuffer(0, 0, w, h, pixels.data());
    EXPECT_EQ(pixels[0], 0xFF112233u);
    EXPECT_EQ(pixels[size_t(599) * w + 799], 0xFF112233u);
    EXPECT_EQ(pixels[size_t(599) * w + 800], 0xDEADBEEFu);
    EXPECT_EQ(pixels[size_t(600) * w], 0xDEADBEEFu);
    EXPECT_EQ(pixels.back(), 0xDEADBEEFu);
}

} // namespace
