// Particle batches: points drawn as squares of their size in pixels, plain or
// textured, batches of 500 within a buffer of 1,000 points, the cap on what
// one batch claims, re-creation after a reset and detaching from the graphics.
#include "D3DTestSupport.h"

#include "core/util/Vector3D.h"
#include "windowing/d3d/GraphicsParticleDX.h"

namespace {

using namespace d3dtest;

class D3DParticleTest : public D3DTest {
protected:
    window::GraphicsParticleDX* makeBatch()
    {
        auto* batch = dynamic_cast<window::GraphicsParticleDX*>(graphics->createParticle());
        EXPECT_NE(batch, nullptr);
        return batch;
    }

    static void add(window::GraphicsParticle* batch, float x, float y, uint32_t colour)
    {
        util::Vector3D position(x, y, 0.0f);
        ColorBase c(colour);
        batch->addParticle(&position, &c);
    }
};

TEST_F(D3DParticleTest, PointsAreSquaresOfTheirSizeInPixelsInTheirColour)
{
    openFrame();
    window::GraphicsParticleDX* batch = makeBatch();
    paint([&](window::GraphicsWWinDX* g) {
        background(g, 0xFF000000u);
        EXPECT_EQ(batch->begin(3, 8.0f, nullptr), 3);
        add(batch, 100.0f, 100.0f, 0xFFFF0000u);
        add(batch, 200.0f, 150.0f, 0xFF00FF00u);
        add(batch, 300.0f, 50.0f, 0x800000FFu);
        batch->end();
    });
    const auto pixels = backBuffer();
    // An 8-pixel point centred on (100, 100) covers 96 .. 103 both ways.
    for (int y = 90; y < 110; ++y)
        for (int x = 90; x < 110; ++x)
            ASSERT_EQ(at(pixels, x, y), x >= 96 && x < 104 && y >= 96 && y < 104 ? 0xFFFF0000u : 0xFF000000u)
                << x << "," << y;
    EXPECT_EQ(at(pixels, 196, 146), 0xFF00FF00u);
    EXPECT_EQ(at(pixels, 203, 153), 0xFF00FF00u);
    EXPECT_PRED2(sameColour, at(pixels, 300, 50), over(0x800000FFu, 0xFF000000u));
    batch->release();
}

TEST_F(D3DParticleTest, ATexturedBatchShowsTheImageOnEveryPoint)
{
    openFrame();
    // A 4 x 4 picture: left half red, right half blue.
    window::ImageWinDX* image = makeImage(4, 4, [](int x, int) { return x < 2 ? 0xFFFF0000u : 0xFF0000FFu; });
    window::GraphicsParticleDX* batch = makeBatch();
    paint([&](window::GraphicsWWinDX* g) {
        background(g, 0xFF000000u);
        batch->begin(2, 16.0f, image);
        add(batch, 100.0f, 100.0f, 0xFF808080u); // 0x80: the picture as it is
        add(batch, 200.0f, 100.0f, 0xFF800000u); // red channel only
        batch->end();
    });
    const auto pixels = backBuffer();
    EXPECT_EQ(at(pixels, 93, 100), 0xFFFF0000u);
    EXPECT_EQ(at(pixels, 106, 100), 0xFF0000FFu);
    EXPECT_EQ(at(pixels, 193, 100), 0xFFFF0000u);
    EXPECT_EQ(at(pixels, 206, 100), 0xFF000000u);
    EXPECT_EQ(at(pixels, 91, 100), 0xFF000000u);
    batch->release();
    image->release();
}

TEST_F(D3DParticleTest, BatchesOfFiveHundredFillTheBufferAndWrapToItsStart)
{
    openFrame();
    window::GraphicsParticleDX* batch = makeBatch();
    paint([&](window::GraphicsWWinDX* g) {
        EXPECT_EQ(batch->begin(1000, 1.0f, nullptr), 1000);
        EXPECT_EQ(batch->getBatchSize(), 500);
        EXPECT_EQ(batch->getFirstVertex(), 0);
        EXPECT_EQ(batch->getBatchLimit(), 500);
        for (int i = 0; i < 500; ++i)
            add(batch, float(i % 800), float(i / 800), 0xFFFFFFFFu);
        EXPECT_EQ(batch->getFirstVertex(), 500); // the first batch was drawn
        EXPECT_EQ(batch->getBatchLimit(), 500);
        for (int i = 500; i < 1000; ++i)
            add(batch, float(i % 800), float(i / 800), 0xFFFFFFFFu);
        EXPECT_EQ(batch->getFirstVertex(), 0); // wrapped
        for (int i = 1000; i < 1200; ++i)
            add(batch, float(i % 800), float(i / 800), 0xFFFFFFFFu);
        batch->end();
        (void)g;
    });
    const auto pixels = backBuffer();
    int lit = 0;
    for (int i = 0; i < kWidth * kHeight; ++i)
        lit += pixels[size_t(i)] == 0xFFFFFFFFu;
    EXPECT_EQ(lit, 1200);
    batch->release();
}

TEST_F(D3DParticleTest, ABatchNeverClaimsMoreThanTheThousandPointsOfItsBuffer)
{
    openFrame();
    window::GraphicsParticleDX* batch = makeBatch();
    paint([&](window::GraphicsWWinDX*) {
        EXPECT_EQ(batch->begin(5000, 1.0f, nullptr), 1000);
        EXPECT_EQ(batch->getCapacity(), 1000);
        for (int i = 0; i < 3000; ++i)
            add(batch, float(i % 800), float(i / 800), 0xFFFFFFFFu);
        batch->end();
    });
    const auto pixels = backBuffer();
    int lit = 0;
    for (int i = 0; i < kWidth * kHeight; ++i)
        lit += pixels[size_t(i)] == 0xFFFFFFFFu;
    EXPECT_EQ(lit, 3000);
    batch->release();
}

TEST_F(D3DParticleTest, EndingAnEmptyBatchOnlyRestoresTheStatesAndImagesDrawAfterIt)
{
    openFrame();
    window::GraphicsParticleDX* batch = makeBatch();
    window::ImageWinDX* image = makeImage(4, 4, patternPixel);
    paint([&](window::GraphicsWWinDX* g) {
        batch->begin(10, 4.0f, nullptr);
        batch->end();
        g->drawImage(image, 0, 0);
    });
    EXPECT_EQ(at(backBuffer(), 3, 3), patternPixel(3, 3));
    batch->release();
    image->release();
}

TEST_F(D3DParticleTest, TheGraphicsListsItsBatchesAndLetsThemGoWhenEitherEnds)
{
    openFrame();
    window::GraphicsParticleDX* kept = makeBatch();
    window::GraphicsParticleDX* dropped = makeBatch();
    EXPECT_EQ(graphics->getParticleCount(), 2);
    dropped->release();
    EXPECT_EQ(graphics->getParticleCount(), 1);
    graphics->markParticlesForRecreate(true);
    EXPECT_TRUE(kept->needsRecreate());
    paint([&](window::GraphicsWWinDX*) {
        kept->begin(10, 2.0f, nullptr);
        kept->end();
    });
    EXPECT_FALSE(kept->needsRecreate());

    // The window goes first: the batch is detached and draws nothing more.
    kept->active = true;
    graphics->release();
    graphics = nullptr;
    DestroyWindow(frame->getHWND());
    frame->release();
    frame = nullptr;
    EXPECT_EQ(kept->getOwner(), nullptr);
    EXPECT_FALSE(kept->active);
    EXPECT_EQ(kept->begin(10, 2.0f, nullptr), 0);
    kept->end();
    kept->release();
}

} // namespace
