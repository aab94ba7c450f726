// The particle sprite: lifetimes and durations from seconds, what a spawned
// particle starts with (position, damping, colour by mode, fade length), the
// motion frame by frame against a model, death by age and off the screen,
// colour gradients and fades, the end of the effect with its action, the deal
// of pictures to particles, counts and clones.
#include "ParticleTestSupport.h"

#include "../support/TestSprite.h"

#include "core/lang/Class.h"
#include "sprites/particles/ExplosionSpritePSX.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <thread>

using particletest::LaunchedParticles;
using particletest::ModelParticle;
using sprite::Particle;
using sprite::ParticleSpritePSX;

namespace {

class ParticleSpriteTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (lang::Object* o : owned)
            o->release();
        command->release();
    }
    template <class T> T* keep(T* o)
    {
        owned.push_back(o);
        return o;
    }
    ParticleSpritePSX* make(int count, int seed = 1)
    {
        ParticleSpritePSX* s = keep(new ParticleSpritePSX(count));
        s->getRandom().seed(seed);
        s->setAction(&receiver, command);
        return s;
    }
    LaunchedParticles* launched(const std::vector<LaunchedParticles::Launch>& launches)
    {
        LaunchedParticles* s = keep(new LaunchedParticles(int(launches.size())));
        s->getRandom().seed(1);
        s->launches = launches;
        s->setAction(&receiver, command);
        return s;
    }
    window::ImageWinDX* image()
    {
        return keep(new window::ImageWinDX(2, 2, 1, false));
    }
    bool tick(ParticleSpritePSX* s)
    {
        util::RectangleNM bounds;
        return s->tick(++frame, &bounds, nullptr);
    }

    std::vector<lang::Object*> owned;
    spritetest::RecordingReceiver receiver;
    lang::String* command = new lang::String("effectDone");
    int frame = 0;
};

TEST_F(ParticleSpriteTest, ANewSpriteCoversTheScreenAroundItsCentreAndWaitsHidden)
{
    ParticleSpritePSX* s = make(7);
    EXPECT_EQ(s->getAnchor(), 0x22);
    s->setCenter(10, 20);
    EXPECT_EQ(s->left(), 10);
    util::RectangleNM* b = s->getBounds(); // the screen, wherever the sprite is
    EXPECT_EQ(b->x + b->y, 0);
    EXPECT_EQ(b->width, 800);
    EXPECT_EQ(b->height, 600);
    EXPECT_FALSE(s->isShowing());
    EXPECT_FALSE(s->isAnimating());
    EXPECT_FALSE(s->getParticle(6).alive);
    // The registry makes empty pools; negative counts are an empty pool too.
    lang::Object* o = keep(lang::Class::forName(lang::String("ExplosionSpritePSX", true))->newInstance());
    EXPECT_EQ(static_cast<ParticleSpritePSX*>(o)->getParticleCount(), 0);
    s->setParticleCount(-3);
    EXPECT_EQ(s->getParticleCount(), 0);
}

TEST_F(ParticleSpriteTest, SecondsBecomeFramesAtTwentyFiveFramesASecond)
{
    ParticleSpritePSX* s = make(400, 7);
    s->setLifetime(2.0f, 1.0f, 3.0f);
    EXPECT_EQ(s->getDuration(), 50);
    EXPECT_EQ(s->getLifetimeMin(), 25);
    EXPECT_EQ(s->getLifetimeMax(), 75);
    s->start();
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        const int life = s->getParticle(i).lifetime;
        ASSERT_GE(life, 25);
        ASSERT_LE(life, 75);
        seen.insert(life);
    }
    EXPECT_TRUE(seen.count(25)) << "the shortest life is drawn too";
    EXPECT_TRUE(seen.count(75)) << "the longest life is drawn too";
    EXPECT_GT(seen.size(), 40u);

    // The range needs 0 < min < max; otherwise every particle lives the duration.
    s->setLifetime(2.0f, 3.0f, 3.0f);
    EXPECT_EQ(s->getLifetimeMin(), -1);
    EXPECT_EQ(s->getLifetimeMax(), -1);
    s->start();
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(s->getParticle(i).lifetime, 50);
    s->setLifetime(1.5f, 0.0f, 3.0f);
    EXPECT_EQ(s->getDuration(), 37); // 37.5 truncated
    EXPECT_EQ(s->getLifetimeMax(), -1);
    s->setLifetime(2.0f, 2.0f, 1.0f);
    EXPECT_EQ(s->getLifetimeMin(), -1);
}

TEST_F(ParticleSpriteTest, StartSpawnsEveryParticleAtTheSpritesPositionWithItsSettings)
{
    ParticleSpritePSX* s = make(5);
    s->setCenter(120, 80);
    s->setDamping(0.5f, 0.25f);
    s->setLifetime(2.0f, 0.0f, 0.0f);
    s->setVisible(false);
    s->start();
    EXPECT_TRUE(s->isRunning());
    EXPECT_TRUE(s->isShowing());
    EXPECT_TRUE(s->isAnimating());
    for (int i = 0; i < 5; ++i) {
        const Particle& p = s->getParticle(i);
        EXPECT_TRUE(p.alive);
        EXPECT_EQ(p.position.x + p.position.y * 1000.0f, 80120.0f);
        EXPECT_EQ(p.velocity.x + p.velocity.y, 0.0f);
        EXPECT_FLOAT_EQ(p.damping.x, 0.5f);
        EXPECT_FLOAT_EQ(p.damping.y, 0.25f);
        EXPECT_EQ(p.lifetime, 50);
        EXPECT_EQ(p.motionFlags, 0);
        EXPECT_EQ(p.colour.getValue(), 0xFFFFFFFFu); // no pictures: white
    }
    // Only a set acceleration replaces the particles' own.
    s->getParticle(0).acceleration = util::Vector3D(0.0f, 0.5f, 0.0f);
    s->start();
    EXPECT_FLOAT_EQ(s->getParticle(0).acceleration.y, 0.5f);
    s->accelerationX = 0.25f;
    s->start();
    EXPECT_FLOAT_EQ(s->getParticle(0).acceleration.x, 0.25f);
    EXPECT_FLOAT_EQ(s->getParticle(0).acceleration.y, 0.0f);
}

TEST_F(ParticleSpriteTest, ColourModesGiveEachParticleItsStartingColour)
{
    ParticleSpritePSX* s = make(200, 3);
    s->setLifetime(2.0f, 0.0f, 0.0f);

    window::ImageBase* pictures[] = {image()};
    s->setImages(1, pictures);
    s->start();
    EXPECT_EQ(s->getParticle(0).colour.getValue(), 0xFF808080u); // pictures shown as they are

    s->setColors(1, ColorBase(0x80112233u), ColorBase(0xFF000000u));
    s->start();
    EXPECT_EQ(s->getParticle(0).colour.getValue(), 0x80112233u);

    s->setColors(2, ColorBase(0u), ColorBase(0u));
    s->start();
    std::set<int> reds;
    for (int i = 0; i < 200; ++i) {
        const ColorBase& c = s->getParticle(i).colour;
        ASSERT_EQ(c.getAlpha(), 255);
        ASSERT_LE(c.getRed(), 128);
        ASSERT_LE(c.getGreen(), 128);
        ASSERT_LE(c.getBlue(), 128);
        reds.insert(c.getRed());
    }
    EXPECT_GT(reds.size(), 50u);

    // Between the two colours channel by channel, in either order.
    s->setColors(3, ColorBase(0x00105070u), ColorBase(0x00401060u));
    s->start();
    std::set<int> greens;
    for (int i = 0; i < 200; ++i) {
        const ColorBase& c = s->getParticle(i).colour;
        ASSERT_EQ(c.getAlpha(), 255);
        ASSERT_GE(c.getRed(), 0x10);
        ASSERT_LE(c.getRed(), 0x40);
        ASSERT_GE(c.getGreen(), 0x10);
        ASSERT_LE(c.getGreen(), 0x50);
        ASSERT_GE(c.getBlue(), 0x60);
        ASSERT_LE(c.getBlue(), 0x70);
        greens.insert(c.getGreen());
    }
    EXPECT_TRUE(greens.count(0x10) && greens.count(0x50));

    s->setColors(4, ColorBase(0x00102030u), ColorBase(0x00F0C080u));
    s->start();
    EXPECT_EQ(s->getParticle(0).colour.getValue(), 0x00102030u);
    EXPECT_EQ(s->getParticle(0).startColour.getValue(), 0x00102030u);
    EXPECT_EQ(s->getParticle(0).endColour.getValue(), 0x00F0C080u);

    // An unknown mode leaves the colour as the last spawn made it.
    s->getParticle(0).colour = 0x12345678u;
    s->setColors(9, ColorBase(0u), ColorBase(0u));
    s->start();
    EXPECT_EQ(s->getParticle(0).colour.getValue(), 0x12345678u);
}

TEST_F(ParticleSpriteTest, TheFadeCoversTheUnfadedFractionsRestOfTheLifetime)
{
    ParticleSpritePSX* s = make(1);
    s->setLifetime(2.0f, 0.0f, 0.0f); // 50 frames
    struct Case {
        float fraction;
        int fadeFrames;
    } cases[] = {{0.0f, 0}, {0.6f, 20}, {0.25f, 38}, {1.0f, 0}, {1.5f, 0}, {-0.5f, 50}};
    for (const Case& c : cases) {
        s->fadeFraction = c.fraction;
        s->start();
        EXPECT_EQ(s->getParticle(0).fadeFrames, c.fadeFrames) << c.fraction;
    }
}

TEST_F(ParticleSpriteTest, ParticlesMoveFrameByFrameAsTheModelDoes)
{
    LaunchedParticles* s = launched({
        {3.0f, -2.0f, 0, 1},                      // damped only
        {2.0f, 1.0f, Particle::TURN_LEFT, 1},     // turning one way
        {-1.5f, 2.0f, Particle::TURN_RIGHT, 2},   // turning the other way, twice as fast, ageing by 2
        {1.0f, 0.0f, Particle::ACCELERATE, 1},    // accelerated
        {1.0f, 0.5f, Particle::TURN_LEFT | Particle::TURN_RIGHT | Particle::ACCELERATE, 1},
    });
    s->setCenter(400, 300);
    s->setDamping(0.9f, 0.98f);
    s->accelerationX = 0.05f;
    s->accelerationY = 0.3f;
    s->setLifetime(4.0f, 0.0f, 0.0f); // 100 frames
    s->start();

    std::vector<ModelParticle> model(s->launches.size());
    for (size_t i = 0; i < model.size(); ++i) {
        ModelParticle& m = model[i];
        m.x = 400;
        m.y = 300;
        m.vx = s->launches[i].vx;
        m.vy = s->launches[i].vy;
        m.dampX = 0.9;
        m.dampY = 0.98;
        m.ax = 0.05;
        m.ay = 0.3;
        m.flags = s->launches[i].flags;
        m.step = s->launches[i].step;
        m.lifetime = 100;
    }
    for (int f = 1; f <= 30; ++f) {
        EXPECT_TRUE(tick(s)) << "particles alive report a change";
        for (size_t i = 0; i < model.size(); ++i) {
            model[i].frame();
            const Particle& p = s->getParticle(int(i));
            ASSERT_EQ(p.alive, model[i].alive) << "frame " << f << " particle " << i;
            ASSERT_NEAR(p.position.x, model[i].x, 1e-3) << "frame " << f << " particle " << i;
            ASSERT_NEAR(p.position.y, model[i].y, 1e-3) << "frame " << f << " particle " << i;
            ASSERT_NEAR(p.velocity.x, model[i].vx, 1e-4) << "frame " << f << " particle " << i;
            ASSERT_NEAR(p.velocity.y, model[i].vy, 1e-4) << "frame " << f << " particle " << i;
            ASSERT_EQ(p.age, model[i].age);
        }
    }
    // The accelerated particle really fell: 30 frames of 0.3 added under damping.
    EXPECT_GT(s->getParticle(3).position.y, 340.0f);
    EXPECT_LT(s->getParticle(0).position.y, 300.0f);
}

TEST_F(ParticleSpriteTest, MotionMatchesValuesWorkedOutByHand)
{
    // Set up as game code does: gravity is the damping multiplier,
    // acceleration is set directly. Each frame: move by the velocity, damp,
    // turn with k = 0.1 x step (the new vx feeds the vy change), accelerate.
    LaunchedParticles* s = launched({
        {2.0f, -1.0f, 0, 1},                  // halved each frame
        {1.0f, 0.0f, Particle::TURN_LEFT, 1}, // vx -= 0.1 vy, then vy += 0.1 vx
        {0.0f, 1.0f, Particle::TURN_RIGHT, 2}, // vx += 0.2 vy, then vy -= 0.2 vx
        {0.0f, 0.0f, Particle::ACCELERATE, 1}, // + (0, 0.5) a frame
    });
    s->setCenter(100, 100);
    s->setGravity(0.5f, 0.5f);
    s->accelerationY = 0.5f;
    s->setLifetime(4.0f, 0.0f, 0.0f);
    s->start();
    for (int i = 1; i < 4; ++i)
        s->getParticle(i).damping = util::Vector3D(1.0f, 1.0f, 0.0f);

    struct Expected {
        int particle;
        float x, y, vx, vy;
        int age;
    };
    const Expected afterThree[] = {
        // (102, 99) v (1, -0.5); (103, 98.5) v (0.5, -0.25); (103.5, 98.25) v (0.25, -0.125).
        {0, 103.5f, 98.25f, 0.25f, -0.125f, 3},
        // (101, 100) v (1, 0.1); (102, 100.1) v (0.99, 0.199); (102.99, 100.299)
        // v (0.99 - 0.0199, 0.199 + 0.09701) = (0.9701, 0.29601).
        {1, 102.99f, 100.299f, 0.9701f, 0.29601f, 3},
        // (100, 101) v (0.2, 0.96); (100.2, 101.96) v (0.392, 0.8816);
        // (100.592, 102.8416) v (0.392 + 0.17632, 0.8816 - 0.113664) = (0.56832, 0.767936).
        {2, 100.592f, 102.8416f, 0.56832f, 0.767936f, 6},
        // (100, 100) v (0, 0.5); (100, 100.5) v (0, 1); (100, 101.5) v (0, 1.5).
        {3, 100.0f, 101.5f, 0.0f, 1.5f, 3},
    };
    for (int f = 0; f < 3; ++f)
        tick(s);
    for (const Expected& e : afterThree) {
        const Particle& p = s->getParticle(e.particle);
        SCOPED_TRACE(e.particle);
        EXPECT_NEAR(e.x, p.position.x, 1e-4);
        EXPECT_NEAR(e.y, p.position.y, 1e-4);
        EXPECT_NEAR(e.vx, p.velocity.x, 1e-5);
        EXPECT_NEAR(e.vy, p.velocity.y, 1e-5);
        EXPECT_EQ(e.age, p.age);
    }
}

TEST_F(ParticleSpriteTest, LifetimeFadeAndColourMatchValuesWorkedOutByHand)
{
    ParticleSpritePSX* s = make(1);
    s->setCenter(400, 300);
    // 0.4 s at 25 frames a second: 10 frames. Fraction 0.6 unfaded: the
    // last 10 - 6 = 4 frames fade by 128 / 4 = 32 each from 128 (opaque).
    s->setLifetime(0.4f, 0.0f, 0.0f);
    s->fadeFraction = 0.6f;
    s->setParameters(ParticleSpritePSX::COLOURS_FIRST, ColorBase(0xFF102030u), ColorBase(0u));
    s->start();
    EXPECT_EQ(10, s->getParticle(0).lifetime);
    EXPECT_EQ(4, s->getParticle(0).fadeFrames);
    const int alphaByAge[] = {255, 255, 255, 255, 255, 255, 96, 64, 32, 0};
    for (int age = 1; age <= 10; ++age) {
        tick(s);
        ASSERT_TRUE(s->getParticle(0).alive) << age;
        EXPECT_EQ(alphaByAge[age - 1], s->getParticle(0).colour.getAlpha()) << "age " << age;
    }
    // Frame 11 is past the 10-frame duration: the effect ends, not stepped.
    tick(s);
    EXPECT_FALSE(s->isRunning());
    EXPECT_FALSE(s->isVisible());
    ASSERT_EQ(1u, receiver.received.size());

    // Colour mode 4 by hand: red 0 -> 100, green 100 -> 0, blue 200 -> 255
    // over 8 frames; at age 3: 37 (37.5), 63 (100 - 37.5 toward zero), 220 (220.6).
    ParticleSpritePSX* g = make(1);
    g->setCenter(400, 300);
    g->setLifetime(0.32f, 0.0f, 0.0f);
    g->setParameters(ParticleSpritePSX::COLOURS_GRADIENT, ColorBase(ColorBase::pack(0, 100, 200, 255)),
                     ColorBase(ColorBase::pack(100, 0, 255, 255)));
    g->start();
    EXPECT_EQ(8, g->getParticle(0).lifetime);
    for (int f = 0; f < 3; ++f)
        tick(g);
    EXPECT_EQ(ColorBase::pack(37, 63, 220, 255), g->getParticle(0).colour.getValue());
}

TEST_F(ParticleSpriteTest, WithoutDampingOnlySettlingParticlesSlowDown)
{
    LaunchedParticles* s = launched({{2.0f, 1.0f, 0, 1}, {2.0f, 1.0f, Particle::SETTLE, 1}});
    s->setCenter(100, 100);
    s->setDamping(0.0f, 0.0f);
    s->setLifetime(4.0f, 0.0f, 0.0f);
    s->start();
    for (int f = 1; f <= 10; ++f)
        tick(s);
    EXPECT_FLOAT_EQ(s->getParticle(0).position.x, 120.0f);
    EXPECT_FLOAT_EQ(s->getParticle(0).velocity.x, 2.0f);
    // 2 + 2 * 0.95 + ... + 2 * 0.95^9.
    EXPECT_NEAR(s->getParticle(1).position.x, 100.0 + 2.0 * (1.0 - std::pow(0.95, 10)) / 0.05, 1e-4);
    EXPECT_NEAR(s->getParticle(1).velocity.x, 2.0 * std::pow(0.95, 10), 1e-5);
}

TEST_F(ParticleSpriteTest, ParticlesDieOnceOffTheScreenRoundedToTheNearestPixel)
{
    // Unit damping keeps the steps exact: right edge at 800, left edge at 0.
    LaunchedParticles* s = launched({{0.4f, 0.0f, 0, 1}, {-0.6f, 0.0f, 0, 1}, {0.0f, 0.6f, 0, 1}});
    s->setDamping(1.0f, 1.0f);
    s->setLifetime(4.0f, 0.0f, 0.0f);
    s->setCenter(799, 1);
    s->start();
    // Particle 1 starts at the left edge instead, particle 2 near the bottom.
    s->getParticle(1).position = util::Vector3D(1.0f, 1.0f, 0.0f);
    s->getParticle(2).position = util::Vector3D(10.0f, 598.0f, 0.0f);

    tick(s); // 799.4 | 0.4 | 598.6
    EXPECT_TRUE(s->getParticle(0).alive);
    EXPECT_TRUE(s->getParticle(1).alive);
    EXPECT_TRUE(s->getParticle(2).alive); // rounds to 599
    tick(s); // 799.8 | -0.2 | 599.2
    EXPECT_FALSE(s->getParticle(0).alive) << "799.8 rounds to 800";
    EXPECT_TRUE(s->getParticle(1).alive) << "-0.2 rounds to 0";
    EXPECT_TRUE(s->getParticle(2).alive);
    EXPECT_TRUE(s->isRunning());
    tick(s); // -0.8 | 599.8
    EXPECT_FALSE(s->getParticle(1).alive);
    EXPECT_FALSE(s->getParticle(2).alive);
    // Nobody is left: the effect hid itself and sent its action in that tick.
    EXPECT_FALSE(s->isRunning());
    EXPECT_FALSE(s->isVisible());
    EXPECT_FALSE(s->isShowing());
    ASSERT_EQ(receiver.received.size(), 1u);
    EXPECT_EQ(receiver.received[0].id, 7);
    EXPECT_EQ(receiver.received[0].target, s);
    EXPECT_EQ(receiver.received[0].command, "effectDone");
    // Stopped: further ticks change nothing and send nothing.
    EXPECT_FALSE(tick(s));
    EXPECT_EQ(receiver.received.size(), 1u);
}

TEST_F(ParticleSpriteTest, ParticlesLiveTheirLifetimeInAgeStepsThenTheEffectEnds)
{
    LaunchedParticles* s = launched({{0, 0, 0, 1}, {0, 0, 0, 3}});
    s->setCenter(400, 300);
    s->setLifetime(0.4f, 0.0f, 0.0f); // 10 frames of duration, lifetime 10
    s->start();
    // Ageing by 3: ages 3, 6, 9, then 12 > 10.
    for (int f = 1; f <= 3; ++f)
        tick(s);
    EXPECT_TRUE(s->getParticle(1).alive);
    tick(s);
    EXPECT_FALSE(s->getParticle(1).alive);
    EXPECT_EQ(s->getParticle(1).age, 12);
    for (int f = 5; f <= 10; ++f) {
        tick(s);
        EXPECT_TRUE(s->getParticle(0).alive) << f; // age 10 is not past 10
        EXPECT_TRUE(s->isRunning());
    }
    EXPECT_TRUE(receiver.received.empty());
    // Frame 11 is past the duration: the effect ends without a further step.
    tick(s);
    EXPECT_FALSE(s->isRunning());
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(s->getParticle(0).age, 10);
    EXPECT_EQ(receiver.received.size(), 1u);
}

TEST_F(ParticleSpriteTest, WhenTheDurationElapsesTheEffectHidesAtOnceWithParticlesAlive)
{
    ParticleSpritePSX* s = make(20, 5);
    s->setCenter(300, 300);
    s->setLifetime(0.2f, 1.0f, 2.0f); // 5 frames; particles live 25..50
    s->start();
    for (int f = 1; f <= 5; ++f) {
        EXPECT_TRUE(tick(s));
        EXPECT_TRUE(s->isShowing());
        EXPECT_EQ(s->getFrameCounter(), f);
    }
    EXPECT_TRUE(receiver.received.empty());
    EXPECT_TRUE(tick(s)) << "hiding is a change";
    EXPECT_FALSE(s->isRunning());
    EXPECT_FALSE(s->isShowing());
    EXPECT_FALSE(s->isAnimating());
    EXPECT_TRUE(s->getParticle(0).alive);
    EXPECT_EQ(s->getParticle(0).age, 5);
    ASSERT_EQ(receiver.received.size(), 1u);
    EXPECT_EQ(receiver.received[0].command, "effectDone");
    // A new start runs the effect again from frame 0.
    s->start();
    EXPECT_TRUE(s->isShowing());
    EXPECT_EQ(s->getFrameCounter(), 0);
    EXPECT_EQ(s->getParticle(0).age, 0);
}

TEST_F(ParticleSpriteTest, GradientColoursAreTruncatedBetweenStartAndEndOverTheLifetime)
{
    ParticleSpritePSX* s = make(1);
    s->setCenter(400, 300);
    s->setLifetime(1.6f, 0.0f, 0.0f); // 40 frames
    s->setColors(4, ColorBase(0x00C81000u), ColorBase(0x00640064u)); // red 200 -> 100, green 16 -> 0, blue 0 -> 100
    s->start();
    for (int age = 1; age <= 40; ++age) {
        tick(s);
        const ColorBase& c = s->getParticle(0).colour;
        const int red = 200 + int(-100.0 * age / 40);
        const int green = 16 + int(-16.0 * age / 40);
        const int blue = int(100.0 * age / 40);
        ASSERT_EQ(c.getValue(), ColorBase::pack(red, green, blue, 255)) << "age " << age;
    }
    EXPECT_EQ(s->getParticle(0).colour.getValue(), 0xFF640064u);
}

TEST_F(ParticleSpriteTest, FadingParticlesLoseAlphaInEqualStepsOverTheirLastFrames)
{
    ParticleSpritePSX* s = make(1);
    s->setCenter(400, 300);
    s->setLifetime(2.0f, 0.0f, 0.0f); // 50 frames
    s->setColors(1, ColorBase(0xFF204060u), ColorBase(0u));
    s->fadeFraction = 0.6f; // the last 20 frames fade
    s->start();
    for (int age = 1; age <= 50; ++age) {
        tick(s);
        const ColorBase& c = s->getParticle(0).colour;
        // 128 is opaque; each faded frame takes 128 / 20 = 6 off.
        const int alpha = age > 30 ? 128 - (age - 30) * 6 : 255;
        ASSERT_EQ(c.getAlpha(), alpha) << "age " << age;
        ASSERT_EQ(c.getValue() & 0xFFFFFFu, 0x204060u);
    }
    // The effect lasts as long as its particles live.
    EXPECT_TRUE(s->isRunning());
    tick(s);
    EXPECT_FALSE(s->isRunning());
}

TEST_F(ParticleSpriteTest, ParticlesFlungFarOrToNoNumberAreOffTheScreen)
{
    const float huge = 1e30f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    LaunchedParticles* s = launched({{huge, 0.0f, 0, 1}, {0.0f, -huge, 0, 1}, {nan, 0.0f, 0, 1}, {0.0f, 0.0f, 0, 1}});
    s->setCenter(400, 300);
    s->setLifetime(4.0f, 0.0f, 0.0f);
    s->start();
    tick(s);
    EXPECT_FALSE(s->getParticle(0).alive);
    EXPECT_FALSE(s->getParticle(1).alive);
    EXPECT_FALSE(s->getParticle(2).alive);
    EXPECT_TRUE(s->getParticle(3).alive);
}

TEST_F(ParticleSpriteTest, AParticleThatNeverAgesWithNoLifetimeKeepsItsStartColour)
{
    // Age step 0 and a lifetime of 0: the gradient would be 0 / 0.
    LaunchedParticles* s = launched({{0.0f, 0.0f, 0, 0}});
    s->setCenter(400, 300);
    s->setLifetime(0.0f, 0.0f, 0.0f);
    s->setColors(4, ColorBase(0xFF102030u), ColorBase(0xFF405060u));
    s->fadeFraction = 0.5f;
    s->start();
    for (int f = 0; f < 3; ++f)
        EXPECT_TRUE(tick(s));
    EXPECT_TRUE(s->getParticle(0).alive);
    EXPECT_EQ(s->getParticle(0).colour.getValue(), 0xFF102030u);
}

TEST_F(ParticleSpriteTest, NewPicturesNeverLeaveAPaintWithPicturesAlreadyLetGo)
{
    // Another thread deals fresh pictures, held by the sprite's list alone,
    // while this one paints: each paint sees one deal or the next, never a
    // picture already freed (which the address sanitizer would report).
    ParticleSpritePSX* s = make(50);
    s->setLifetime(4.0f, 0.0f, 0.0f);
    s->start();
    particletest::ParticleGraphics* g = keep(new particletest::ParticleGraphics());
    std::atomic<bool> done(false);
    std::thread dealer([&] {
        for (int round = 0; round < 200; ++round) {
            window::ImageBase* pictures[] = {new window::ImageWinDX(1, 1, 1, false),
                                             new window::ImageWinDX(1, 1, 1, false)};
            s->setImages(2, pictures);
            pictures[0]->release();
            pictures[1]->release();
        }
        done = true;
    });
    int paints = 0;
    while (!done || paints == 0) {
        s->paint(g);
        if (g->lastBatch)
            g->lastBatch->calls.clear();
        ++paints;
    }
    dealer.join();
    EXPECT_EQ(s->getImageCount(), 2);
    EXPECT_GE(paints, 1);
}

TEST_F(ParticleSpriteTest, PicturesAreDealtInRunsFromTheLastPictureToTheFirst)
{
    window::ImageBase* pictures[] = {image(), image(), image()};
    std::set<int> lastShares;
    for (int seed = 1; seed <= 60; ++seed) {
        ParticleSpritePSX* s = make(10, seed);
        s->setImages(3, pictures);
        std::map<window::ImageBase*, int> counts;
        int runs = 1;
        for (int i = 0; i < 10; ++i) {
            ASSERT_NE(s->getParticle(i).image, nullptr);
            ++counts[s->getParticle(i).image];
            if (i > 0 && s->getParticle(i).image != s->getParticle(i - 1).image)
                ++runs;
        }
        ASSERT_EQ(s->getParticle(0).image, pictures[2]) << "the last picture comes first";
        ASSERT_EQ(s->getParticle(9).image, pictures[0]) << "the first picture takes the rest";
        ASSERT_EQ(runs, 3);
        const int last = counts[pictures[2]];
        ASSERT_GE(last, 2);
        ASSERT_LE(last, 4);
        // The middle picture's share is around half of what is left.
        const int share = (10 - last) / 2;
        ASSERT_GE(counts[pictures[1]], share - share / 2);
        ASSERT_LE(counts[pictures[1]], share + share / 2);
        lastShares.insert(last);
    }
    EXPECT_EQ(lastShares, (std::set<int>{2, 3, 4}));
}

TEST_F(ParticleSpriteTest, FewParticlesGetOnePictureEachAndTheListIsReferenced)
{
    window::ImageBase* pictures[] = {image(), image(), image(), image(), image()};
    const int before = pictures[0]->getRefCount();
    ParticleSpritePSX* s = make(3);
    s->setImages(5, pictures);
    EXPECT_EQ(pictures[0]->getRefCount(), before + 1);
    EXPECT_EQ(s->getParticle(0).image, pictures[4]);
    EXPECT_EQ(s->getParticle(1).image, pictures[3]);
    EXPECT_EQ(s->getParticle(2).image, pictures[2]);
    // A new count deals again; no pictures means none for anybody.
    s->setImages(1, pictures);
    EXPECT_EQ(pictures[4]->getRefCount(), before);
    s->setParticleCount(12);
    EXPECT_EQ(s->getParticle(11).image, pictures[0]);
    s->setImages(2, nullptr);
    EXPECT_EQ(s->getImageCount(), 0);
    EXPECT_EQ(pictures[0]->getRefCount(), before);
    EXPECT_EQ(s->getParticle(11).image, nullptr);
}

TEST_F(ParticleSpriteTest, AClonesKeepsTheSettingsPicturesAndParticlesOfItsClass)
{
    window::ImageBase* pictures[] = {image(), image()};
    sprite::ExplosionSpritePSX* s = keep(new sprite::ExplosionSpritePSX(6));
    s->getRandom().seed(4);
    s->setCenter(200, 150);
    s->setImages(2, pictures);
    s->setLifetime(2.0f, 1.0f, 3.0f);
    s->setDamping(0.8f, 0.7f);
    s->setOption(5);
    s->setColors(4, ColorBase(0xFF010203u), ColorBase(0xFF040506u));
    s->fadeFraction = 0.5f;
    particletest::seedMathRandom(11);
    s->start();
    tick(s);

    sprite::SpriteBase* copyBase = s->clone();
    keep(copyBase);
    ASSERT_TRUE(copyBase->isInstanceOf("ExplosionSpritePSX"));
    auto* copy = static_cast<sprite::ExplosionSpritePSX*>(copyBase);
    EXPECT_EQ(copy->getX(), 200);
    EXPECT_EQ(copy->getLifetimeMax(), 75);
    EXPECT_EQ(copy->getFrameCounter(), 1);
    EXPECT_FLOAT_EQ(copy->getDamping().x, 0.8f);
    EXPECT_EQ(copy->getOption(), 5);
    EXPECT_EQ(copy->getColour2().getValue(), 0xFF040506u);
    EXPECT_TRUE(copy->isRunning());
    EXPECT_FLOAT_EQ(copy->fadeFraction, 0.5f);
    EXPECT_EQ(copy->getImage(1), pictures[1]);
    ASSERT_EQ(copy->getParticleCount(), 6);
    for (int i = 0; i < 6; ++i) {
        const Particle& a = s->getParticle(i);
        const Particle& b = copy->getParticle(i);
        EXPECT_EQ(b.image, a.image);
        EXPECT_EQ(b.lifetime, a.lifetime);
        EXPECT_EQ(b.fadeFrames, a.fadeFrames);
        EXPECT_EQ(b.colour.getValue(), a.colour.getValue());
        EXPECT_FLOAT_EQ(b.velocity.y, a.velocity.y);
    }
    // The two run on independently.
    tick(s);
    EXPECT_EQ(copy->getFrameCounter(), 1);
    EXPECT_EQ(copy->getParticle(0).age + s->getParticle(0).step, s->getParticle(0).age);

    ParticleSpritePSX* plain = make(2);
    keep(plain->clone());
    EXPECT_FALSE(owned.back()->isInstanceOf("ExplosionSpritePSX"));
    EXPECT_TRUE(owned.back()->isInstanceOf("ParticleSpritePSX"));
}

} // namespace
