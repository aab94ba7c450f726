// Drawing particles: the batch made once from the graphics, one begin ... end
// bracket per run of particles with the same picture and point size, live
// particles only; and on the window graphics' software device, the particles
// read back as squares of their size, plain or showing their picture.
#include "ParticleTestSupport.h"

#include "../../windowing/d3d/D3DTestSupport.h"

#include "sprites/particles/ParticleSpritePSX.h"

#include <gtest/gtest.h>

using particletest::LaunchedParticles;
using particletest::ParticleGraphics;
using particletest::RecordingBatch;
using sprite::ParticleSpritePSX;

namespace {

class ParticleDrawTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (lang::Object* o : owned)
            o->release();
        g->release();
    }
    template <class T> T* keep(T* o)
    {
        owned.push_back(o);
        return o;
    }

    ParticleGraphics* g = new ParticleGraphics();
    std::vector<lang::Object*> owned;
};

TEST_F(ParticleDrawTest, RunsOfTheSamePictureShareOneBracketOfTheBatch)
{
    window::ImageWinDX* a = keep(new window::ImageWinDX(2, 2, 1, false));
    window::ImageWinDX* b = keep(new window::ImageWinDX(2, 2, 1, false));
    window::ImageBase* pictures[] = {a, b};
    ParticleSpritePSX* s = keep(new ParticleSpritePSX(6));
    s->getRandom().seed(2);
    s->setImages(2, pictures);
    s->setCenter(50, 60);
    s->setLifetime(2.0f, 0.0f, 0.0f);
    s->particleScale = 12.0f;
    s->start();
    // Particles 0 .. k-1 show b, the rest a.
    int k = 0;
    while (k < 6 && s->getParticle(k).image == b)
        ++k;
    ASSERT_GE(k, 2);
    ASSERT_LE(k, 4);
    s->getParticle(5).alive = false; // the dead are not drawn

    s->draw(g);
    ASSERT_EQ(g->batchesMade, 1);
    RecordingBatch* batch = g->lastBatch;
    ASSERT_EQ(s->getBatch(), batch);
    std::string expected = "begin";
    for (int i = 0; i < k; ++i)
        expected += " add";
    expected += " end begin";
    for (int i = k; i < 5; ++i)
        expected += " add";
    expected += " end";
    EXPECT_EQ(batch->ops(), expected);
    const auto begins = batch->ofOp("begin");
    ASSERT_EQ(begins.size(), 2u);
    EXPECT_EQ(begins[0].image, b);
    EXPECT_EQ(begins[1].image, a);
    for (const auto& c : begins) {
        EXPECT_EQ(c.count, 6);
        EXPECT_FLOAT_EQ(c.size, 12.0f);
    }
    for (const auto& c : batch->ofOp("add")) {
        EXPECT_FLOAT_EQ(c.x, 50.0f);
        EXPECT_FLOAT_EQ(c.y, 60.0f);
        EXPECT_EQ(c.colour, 0xFF808080u);
    }
    EXPECT_FALSE(batch->active);
    EXPECT_EQ(batch->maxCount, 6);

    // The batch is kept for later paints, which see the particles' new places.
    batch->calls.clear();
    util::RectangleNM bounds;
    s->getParticle(0).velocity = util::Vector3D(5.0f, -3.0f, 0.0f);
    s->tick(1, &bounds, nullptr);
    s->draw(g);
    EXPECT_EQ(g->batchesMade, 1);
    const auto adds = batch->ofOp("add");
    ASSERT_EQ(adds.size(), 5u);
    EXPECT_FLOAT_EQ(adds[0].x, 55.0f);
    EXPECT_FLOAT_EQ(adds[0].y, 57.0f);
}

TEST_F(ParticleDrawTest, PlainParticlesFormOneBracketAndNothingIsDrawnWhileNotShowing)
{
    ParticleSpritePSX* s = keep(new ParticleSpritePSX(4));
    s->setColors(1, ColorBase(0xFF336699u), ColorBase(0u));
    s->setLifetime(1.0f, 0.0f, 0.0f);
    s->draw(g); // never started: nothing alive, not showing
    EXPECT_EQ(g->batchesMade, 0);
    s->start();
    s->draw(g);
    ASSERT_EQ(g->batchesMade, 1);
    EXPECT_EQ(g->lastBatch->ops(), "begin add add add add end");
    EXPECT_EQ(g->lastBatch->ofOp("begin")[0].image, nullptr);
    EXPECT_EQ(g->lastBatch->ofOp("add")[3].colour, 0xFF336699u);

    // A different point size closes the bracket and opens another.
    g->lastBatch->calls.clear();
    s->particleScale = 3.0f;
    s->drawParticles(g->lastBatch);
    s->particleScale = 4.0f;
    s->getParticle(0).alive = false;
    s->drawParticles(g->lastBatch);
    EXPECT_EQ(g->lastBatch->ops(), "begin add add add add end begin add add add");
    EXPECT_TRUE(g->lastBatch->active) << "the caller ends the last bracket";
    g->lastBatch->end();
    g->lastBatch->active = false;

    // A graphics without batches: nothing is drawn, and the next paint asks again.
    ParticleGraphics* none = keep(new ParticleGraphics());
    none->givesBatches = false;
    ParticleSpritePSX* other = keep(new ParticleSpritePSX(3));
    other->setLifetime(1.0f, 0.0f, 0.0f);
    other->start();
    other->draw(none);
    other->draw(none);
    EXPECT_EQ(none->batchesMade, 2);
    EXPECT_EQ(other->getBatch(), nullptr);
}

// On the window graphics' software device.
class ParticleDeviceTest : public d3dtest::D3DTest {
protected:
    void TearDown() override
    {
        for (lang::Object* o : owned)
            o->release();
        owned.clear();
        d3dtest::D3DTest::TearDown();
    }

    // Three particles launched from (100, 100) to (150, 100), (100, 150) and
    // (200, 200) in their first frame.
    LaunchedParticles* threeParticles()
    {
        auto* s = new LaunchedParticles(3);
        owned.push_back(s);
        s->getRandom().seed(1);
        s->launches = {{50.0f, 0.0f, 0, 1}, {0.0f, 50.0f, 0, 1}, {100.0f, 100.0f, 0, 1}};
        s->setCenter(100, 100);
        s->setDamping(1.0f, 1.0f);
        s->setLifetime(2.0f, 0.0f, 0.0f);
        return s;
    }

    void drawSprite(sprite::SpriteBase* s)
    {
        paint([&](window::GraphicsWWinDX* g) {
            background(g, 0xFF000000u);
            s->draw(g);
        });
    }

    std::vector<lang::Object*> owned;
};

TEST_F(ParticleDeviceTest, ParticlesAreSquaresOfTheirScaleAtTheirPositions)
{
    openFrame();
    LaunchedParticles* s = threeParticles();
    s->setColors(1, ColorBase(0xFFFF0000u), ColorBase(0u));
    s->particleScale = 6.0f;
    s->start();
    util::RectangleNM bounds;
    s->tick(1, &bounds, nullptr);
    drawSprite(s);
    auto pixels = backBuffer();
    // A 6-pixel point centred on (x, y) covers x - 3 .. x + 2 both ways.
    const int centres[3][2] = {{150, 100}, {100, 150}, {200, 200}};
    for (const auto& c : centres) {
        for (int y = c[1] - 6; y < c[1] + 6; ++y)
            for (int x = c[0] - 6; x < c[0] + 6; ++x) {
                const bool inside = x >= c[0] - 3 && x < c[0] + 3 && y >= c[1] - 3 && y < c[1] + 3;
                ASSERT_EQ(at(pixels, x, y), inside ? 0xFFFF0000u : 0xFF000000u) << x << "," << y;
            }
    }
    EXPECT_EQ(at(pixels, 100, 100), 0xFF000000u) << "nothing is left at the start";

    // The next frame moves them on; a particle off the screen is not drawn.
    s->getParticle(2).position = util::Vector3D(790.0f, 590.0f, 0.0f);
    s->tick(2, &bounds, nullptr);
    EXPECT_FALSE(s->getParticle(2).alive);
    drawSprite(s);
    pixels = backBuffer();
    EXPECT_EQ(at(pixels, 200, 100), 0xFFFF0000u);
    EXPECT_EQ(at(pixels, 150, 100), 0xFF000000u);
    EXPECT_EQ(at(pixels, 100, 200), 0xFFFF0000u);
    int lit = 0;
    for (uint32_t p : pixels)
        lit += p == 0xFFFF0000u;
    EXPECT_EQ(lit, 2 * 36);
}

TEST_F(ParticleDeviceTest, ParticlesShowTheirPicturesAsTheyAreInTheNeutralTint)
{
    openFrame();
    // Left half green, right half blue.
    window::ImageWinDX* picture =
        d3dtest::makeImage(4, 4, [](int x, int) { return x < 2 ? 0xFF00FF00u : 0xFF0000FFu; });
    owned.push_back(picture);
    LaunchedParticles* s = threeParticles();
    window::ImageBase* pictures[] = {picture};
    s->setImages(1, pictures);
    s->particleScale = 16.0f;
    s->start();
    util::RectangleNM bounds;
    s->tick(1, &bounds, nullptr);
    drawSprite(s);
    const auto pixels = backBuffer();
    EXPECT_EQ(at(pixels, 143, 100), 0xFF00FF00u);
    EXPECT_EQ(at(pixels, 156, 100), 0xFF0000FFu);
    EXPECT_EQ(at(pixels, 193, 200), 0xFF00FF00u);
    EXPECT_EQ(at(pixels, 206, 200), 0xFF0000FFu);
    EXPECT_EQ(at(pixels, 140, 100), 0xFF000000u);
    EXPECT_EQ(at(pixels, 100, 100), 0xFF000000u);
}

} // namespace
