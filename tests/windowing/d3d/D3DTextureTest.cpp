// Image textures and the drawing that depends on them: tiles within the
// device's texture limit, power-of-two and square devices, more tiles than
// the first records, deferred releases and the live image list, stencil
// masks drawn from images with holes, and rendering into an image.
#include "D3DTestSupport.h"

#include "windowing/d3d/TileDX.h"

#include <thread>

namespace {

using namespace d3dtest;

class D3DTextureTest : public D3DTest {
protected:
    static D3DSURFACE_DESC descOf(window::ImageWinDX* image, int index)
    {
        D3DSURFACE_DESC desc{};
        IDirect3DTexture9* texture = image->getTexture(index);
        EXPECT_NE(texture, nullptr) << "texture " << index;
        if (texture)
            texture->GetLevelDesc(0, &desc);
        return desc;
    }
};

TEST_F(D3DTextureTest, APictureWiderThanTheTextureLimitIsCutIntoTilesAndDrawnSeamlessly)
{
    openFrame();
    ASSERT_EQ(graphics->getMaxTextureWidth(), 1024); // the device offers 4096; 1024 is the cap
    window::ImageWinDX* image = makeImage(1500, 700, patternPixel);
    paint([&](window::GraphicsWWinDX* g) { g->drawImage(image, -600, -50); });
    ASSERT_EQ(image->getTextureCount(), 2);
    EXPECT_EQ(image->getTilesAcross(), 2);
    EXPECT_EQ(image->getTilesDown(), 1);
    EXPECT_EQ(descOf(image, 0).Width, 1024u);
    EXPECT_EQ(descOf(image, 0).Height, 700u);
    EXPECT_EQ(descOf(image, 1).Width, 476u);
    EXPECT_EQ(descOf(image, 1).Height, 700u);
    // The screen shows columns 600 .. 1399 and rows 50 .. 649, across the seam at 1024.
    const auto pixels = backBuffer();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(at(pixels, x, y), patternPixel(x + 600, y + 50)) << x << "," << y;
    image->release();
}

TEST_F(D3DTextureTest, PowerOfTwoAndSquareDevicesGetPaddedTilesAndStillDrawTheSource)
{
    SoftwareCaps caps;
    caps.powerOfTwoTextures = true;
    caps.squareTextures = true;
    caps.maxTextureWidth = 2048;
    caps.maxTextureHeight = 2048;
    DeviceControls::setCaps(caps);
    openFrame();
    EXPECT_EQ(graphics->getMaxTextureWidth(), 512); // square devices stop at 512
    window::ImageWinDX* image = makeImage(600, 100, patternPixel);
    paint([&](window::GraphicsWWinDX* g) { g->drawImage(image, 0, 0); });
    ASSERT_EQ(image->getTextureCount(), 2);
    EXPECT_EQ(descOf(image, 0).Width, 512u);
    EXPECT_EQ(descOf(image, 0).Height, 512u);
    EXPECT_EQ(descOf(image, 1).Width, 128u); // 88 x 100 rounded up, made square
    EXPECT_EQ(descOf(image, 1).Height, 128u);
    const auto pixels = backBuffer();
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 600; ++x)
            ASSERT_EQ(at(pixels, x, y), patternPixel(x, y)) << x << "," << y;
    EXPECT_EQ(at(pixels, 600, 0), 0u);
    EXPECT_EQ(at(pixels, 0, 100), 0u);
    image->release();
}

TEST_F(D3DTextureTest, AnImageShowingMoreThanFourTilesGetsARecordForEach)
{
    SoftwareCaps caps;
    caps.maxTextureWidth = 64;
    caps.maxTextureHeight = 64;
    DeviceControls::setCaps(caps);
    openFrame();
    window::ImageWinDX* image = makeImage(300, 200, patternPixel);
    paint([&](window::GraphicsWWinDX* g) { g->drawImage(image, 10, 20); });
    EXPECT_EQ(image->getTextureCount(), 5 * 4);
    EXPECT_EQ(image->getTileRecordCount(), 20);
    const auto pixels = backBuffer();
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(at(pixels, 10 + x, 20 + y), patternPixel(x, y)) << x << "," << y;
    // Part of the picture (columns 100 .. 159, rows 40 .. 103) touches four tiles.
    util::RectangleNM part(100, 40, 60, 64);
    paint([&](window::GraphicsWWinDX* g) { g->drawImageAt(image, 0, 0, &part, 1.0, 1.0, 0.0, 0); });
    const auto second = backBuffer();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(at(second, x, y), patternPixel(100 + x, 40 + y)) << x << "," << y;
    EXPECT_EQ(at(second, 60, 0), 0u);
    image->release();
}

TEST_F(D3DTextureTest, TexturesAreMadeOnceAndRemadeOnlyAfterAChangeWithTheOldOnesReleasedNextFrame)
{
    openFrame();
    window::ImageWinDX* image = makeImage(32, 32, [](int, int) { return 0xFF0000FFu; });
    EXPECT_EQ(image->getTextureCount(), 0);
    paint([&](window::GraphicsWWinDX* g) { g->drawImage(image, 0, 0); });
    const int generation = image->getGeneration();
    IDirect3DTexture9* first = image->getTexture(0);
    EXPECT_TRUE(window::ImageWinDX::isLive(image));
    paint([&](window::GraphicsWWinDX* g) { g->drawImage(image, 0, 0); });
    EXPECT_EQ(image->getTexture(0), first);
    EXPECT_EQ(image->getGeneration(), generation);

    image->getPixels()[0] = 0xFFFF0000u;
    image->setModified(true);
    paint([&](window::GraphicsWWinDX* g) { g->drawImage(image, 0, 0); });
    EXPECT_GT(image->getGeneration(), generation);
    EXPECT_EQ(window::ImageWinDX::pendingReleaseCount(), 1); // the old texture, until the next scene
    EXPECT_EQ(at(backBuffer(), 0, 0), 0xFFFF0000u);
    paint([](window::GraphicsWWinDX* g) { g->fillRect(0, 0, 1, 1); });
    EXPECT_EQ(window::ImageWinDX::pendingReleaseCount(), 0);

    // Freed pixels give the textures up at the next frame; the next draw
    // cannot reload an unnamed image and draws nothing.
    image->freePixels();
    EXPECT_EQ(image->getTextureCount(), 0);
    EXPECT_EQ(window::ImageWinDX::pendingReleaseCount(), 1);
    paint([&](window::GraphicsWWinDX* g) { EXPECT_FALSE(g->drawImage(image, 0, 0)); });
    EXPECT_EQ(window::ImageWinDX::pendingReleaseCount(), 1); // nothing was drawn: no scene began
    image->release();
}

TEST_F(D3DTextureTest, TheLastOutsideReferenceToADrawnImageDestroysIt)
{
    openFrame();
    window::ImageWinDX* image = makeImage(8, 8, patternPixel);
    paint([&](window::GraphicsWWinDX* g) { g->drawImage(image, 0, 0); });
    EXPECT_EQ(image->getRefCount(), 2); // ours and the live list's
    EXPECT_EQ(window::ImageWinDX::liveImageCount(), 1);
    image->release();
    EXPECT_EQ(window::ImageWinDX::liveImageCount(), 0);
}

TEST_F(D3DTextureTest, DrawnImagesReleasedOnTwoThreadsAtOnceAllLeaveTheLiveList)
{
    openFrame();
    // The loader thread releases images while the window thread releases
    // others: neither may see the other's removal and keep its image listed.
    std::vector<window::ImageWinDX*> images;
    for (int i = 0; i < 64; ++i)
        images.push_back(makeImage(4, 4, patternPixel));
    paint([&](window::GraphicsWWinDX* g) {
        for (window::ImageWinDX* image : images)
            g->drawImage(image, 0, 0);
    });
    ASSERT_EQ(window::ImageWinDX::liveImageCount(), 64);
    std::thread other([&images] {
        for (size_t i = 0; i < images.size(); i += 2)
            images[i]->release();
    });
    for (size_t i = 1; i < images.size(); i += 2)
        images[i]->release();
    other.join();
    EXPECT_EQ(window::ImageWinDX::liveImageCount(), 0);
}

TEST_F(D3DTextureTest, ATextureFailureIsLoggedAndTheNextDrawTriesAgain)
{
    openFrame();
    window::ImageWinDX* image = makeImage(16, 16, patternPixel);
    platform::DebugCapture debug;
    DeviceControls::failNext(FaultPoint::CreateTexture, 1, D3DERR_OUTOFVIDEOMEMORY);
    paint([&](window::GraphicsWWinDX* g) { g->drawImage(image, 0, 0); });
    EXPECT_TRUE(debug.contains("Failed to create Texture...\n"));
    EXPECT_TRUE(debug.contains("Available texture Mem = "));
    EXPECT_EQ(image->getTextureCount(), 0);
    EXPECT_EQ(at(backBuffer(), 0, 0), 0u);
    paint([&](window::GraphicsWWinDX* g) { g->drawImage(image, 0, 0); });
    EXPECT_EQ(image->getTextureCount(), 1);
    EXPECT_EQ(at(backBuffer(), 0, 0), patternPixel(0, 0));
    image->release();
}

// A 40 x 40 mask picture: opaque except a transparent 10 x 10 hole in the middle.
uint32_t maskPixel(int x, int y)
{
    const bool hole = x >= 15 && x < 25 && y >= 15 && y < 25;
    return hole ? 0x00FFFFFFu : 0xFF808080u;
}

TEST_F(D3DTextureTest, AStencilMaskFromAnImageWithAHoleLimitsDrawingNormallyAndInverted)
{
    for (bool inverted : {false, true}) {
        SCOPED_TRACE(inverted ? "inverted" : "normal");
        openFrame();
        window::ImageWinDX* mask = makeImage(40, 40, maskPixel);
        paint([&](window::GraphicsWWinDX* g) {
            background(g, 0xFF000000u);
            g->setMaskInverted(inverted);
            g->beginMask();
            EXPECT_EQ(g->getMaskState(), 2);
            g->drawImage(mask, 100, 100); // marks the mask, draws no colour
            g->setMaskMode(false);
            EXPECT_EQ(g->getMaskState(), 1);
            g->setColor(0xFF00FF00u);
            g->fillRect(80, 80, 80, 80);
            g->endMask();
            EXPECT_EQ(g->getMaskState(), 0);
            g->setColor(0xFFFF0000u);
            g->fillRect(0, 0, 10, 10); // unmasked again
        });
        const auto pixels = backBuffer();
        for (int y = 80; y < 160; ++y)
            for (int x = 80; x < 160; ++x) {
                const bool marked = x >= 100 && x < 140 && y >= 100 && y < 140 && maskPixel(x - 100, y - 100) >> 24;
                // Normal: drawing reaches where the mask is absent; inverted: only where it is present.
                const bool drawn = inverted ? marked : !marked;
                ASSERT_EQ(at(pixels, x, y), drawn ? 0xFF00FF00u : 0xFF000000u) << x << "," << y;
            }
        EXPECT_EQ(at(pixels, 5, 5), 0xFFFF0000u);
        mask->release();
        graphics->release();
        graphics = nullptr;
        DestroyWindow(frame->getHWND());
        frame->release();
        frame = nullptr;
    }
}

TEST_F(D3DTextureTest, WithoutAlphaTestsTheWholeImageRectangleMarksTheMask)
{
    SoftwareCaps caps;
    caps.alphaCompare = false;
    DeviceControls::setCaps(caps);
    openFrame();
    EXPECT_FALSE(graphics->isAlphaTestSupported());
    window::ImageWinDX* mask = makeImage(40, 40, maskPixel);
    paint([&](window::GraphicsWWinDX* g) {
        g->beginMask();
        g->drawImage(mask, 100, 100);
        g->setMaskMode(false);
        g->setMaskMode(false); // a second call changes nothing
        g->setColor(0xFF00FF00u);
        g->fillRect(80, 80, 80, 80);
        g->endMask();
    });
    const auto pixels = backBuffer();
    EXPECT_EQ(at(pixels, 120, 120), 0u); // the hole is marked too
    EXPECT_EQ(at(pixels, 90, 90), 0xFF00FF00u);
    mask->release();
}

TEST_F(D3DTextureTest, RenderingIntoAnImageAndDrawingItGivesBackWhatWasDrawn)
{
    openFrame();
    window::ImageWinDX* source = makeImage(30, 20, patternPixel);
    window::ImageWinDX* target = nullptr;
    paint([&](window::GraphicsWWinDX* g) {
        int w = 64, h = 48;
        window::Graphics* offscreen = g->beginRenderToImage(&w, &h);
        ASSERT_EQ(offscreen, g);
        EXPECT_EQ(w, 64);
        EXPECT_EQ(h, 48);
        EXPECT_TRUE(g->isRenderingToImage());
        g->setColor(0xFF0000FFu);
        g->fillRect(0, 0, 64, 48);
        g->drawImage(source, 0, 0); // drawn at the image's own origin while rendering to an image
        target = new window::ImageWinDX(w, h, 1, false);
        g->endRenderToImage(target, w, h);
        offscreen->release();
        EXPECT_FALSE(g->isRenderingToImage());
        background(g, 0xFF000000u);
        g->drawImage(target, 200, 100);
    });
    ASSERT_NE(target, nullptr);
    const uint32_t* p = target->getPixels();
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint32_t expected = x < 30 && y < 20 ? patternPixel(x, y) : 0xFF0000FFu;
            ASSERT_EQ(p[y * 64 + x], expected) << x << "," << y;
        }
    const auto pixels = backBuffer();
    EXPECT_EQ(at(pixels, 200, 100), patternPixel(0, 0));
    EXPECT_EQ(at(pixels, 229, 119), patternPixel(29, 19));
    EXPECT_EQ(at(pixels, 263, 147), 0xFF0000FFu);
    EXPECT_EQ(at(pixels, 264, 147), 0xFF000000u);
    EXPECT_EQ(at(pixels, 199, 100), 0xFF000000u);
    source->release();
    target->release();
}

TEST_F(D3DTextureTest, ARenderedCopyIsClampedToAnImageSmallerThanTheTexture)
{
    SoftwareCaps caps;
    caps.powerOfTwoTextures = true;
    DeviceControls::setCaps(caps);
    openFrame();
    window::ImageWinDX* small = new window::ImageWinDX(20, 10, 1, false);
    paint([&](window::GraphicsWWinDX* g) {
        int w = 20, h = 10;
        window::Graphics* offscreen = g->beginRenderToImage(&w, &h);
        EXPECT_EQ(w, 32); // rounded up to powers of two
        EXPECT_EQ(h, 16);
        g->setColor(0xFF00FF00u);
        g->fillRect(0, 0, 32, 16);
        // The image keeps its 20 x 10: only that much is copied.
        g->endRenderToImage(small, w, h);
        offscreen->release();
    });
    EXPECT_EQ(small->getWidth(), 20);
    EXPECT_EQ(small->getHeight(), 10);
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(small->getPixels()[i], 0xFF00FF00u) << i;

    // An image without pixels is made at the size asked for.
    window::ImageWinDX* empty = new window::ImageWinDX(0, 0, 0, true);
    paint([&](window::GraphicsWWinDX* g) {
        int w = 8, h = 8;
        window::Graphics* offscreen = g->beginRenderToImage(&w, &h);
        g->setColor(0xFFFF0000u);
        g->fillRect(0, 0, 8, 8);
        g->endRenderToImage(empty, w, h);
        offscreen->release();
    });
    ASSERT_TRUE(empty->hasPixels());
    EXPECT_EQ(empty->getWidth(), 8);
    EXPECT_EQ(empty->getPixels()[63], 0xFFFF0000u);
    small->release();
    empty->release();
}

TEST_F(D3DTextureTest, AFailedCopyIsLoggedAndLeavesTheImageAlone)
{
    openFrame();
    window::ImageWinDX* image = makeImage(4, 4, [](int, int) { return 0xFF123456u; });
    platform::DebugCapture debug;
    DeviceControls::failNext(FaultPoint::GetRenderTargetData, 1, D3DERR_DEVICELOST);
    paint([&](window::GraphicsWWinDX* g) {
        int w = 4, h = 4;
        window::Graphics* offscreen = g->beginRenderToImage(&w, &h);
        g->fillRect(0, 0, 4, 4);
        g->endRenderToImage(image, w, h);
        offscreen->release();
    });
    EXPECT_TRUE(debug.contains("Failed to lock rect, Graphics::copyTextureToImage, hr = " +
                               std::to_string(long(D3DERR_DEVICELOST)) + "\n"));
    EXPECT_EQ(image->getPixels()[0], 0xFF123456u);
    image->release();
}

} // namespace
