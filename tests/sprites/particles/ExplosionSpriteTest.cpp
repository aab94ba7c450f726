// The explosion: the age step by particle count, the fall given by the count
// when no acceleration is set (felt only with the accelerate flag), motion
// flags from the option with its random turn, and burst velocities predicted
// from the C runtime generator's draws.
#include "ParticleTestSupport.h"

#include "sprites/particles/ExplosionSpritePSX.h"

#include <gtest/gtest.h>

#include <cmath>

using particletest::CrtModel;
using sprite::ExplosionSpritePSX;
using sprite::Particle;

namespace {

class ExplosionSpriteTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (ExplosionSpritePSX* s : sprites)
            s->release();
    }
    ExplosionSpritePSX* make(int count)
    {
        ExplosionSpritePSX* s = new ExplosionSpritePSX(count);
        sprites.push_back(s);
        s->getRandom().seed(3);
        s->setCenter(400, 300);
        s->setLifetime(4.0f, 0.0f, 0.0f);
        return s;
    }
    bool tick(ExplosionSpritePSX* s)
    {
        util::RectangleNM bounds;
        return s->tick(++frame, &bounds, nullptr);
    }

    std::vector<ExplosionSpritePSX*> sprites;
    int frame = 0;
};

// The velocity the burst rules give for the next draws of the generator.
util::Vector3D burst(CrtModel& crt, float speed)
{
    float x = -1.0f + 2.0f * float(crt.random());
    float y = -1.0f + 2.0f * float(crt.random());
    float z = -1.0f + 2.0f * float(crt.random());
    const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    const double factor = (2.0 * crt.random() + 3.0) * speed;
    return util::Vector3D(float(x / length * factor), float(y / length * factor), float(z / length * factor));
}

TEST_F(ExplosionSpriteTest, SmallExplosionsAgeByTwoLargeOnesByOneUnlessAStepIsSet)
{
    struct Case {
        int count;
        int16_t step;
        int expected;
    } cases[] = {{1, 0, 2}, {49, 0, 2}, {50, 0, 1}, {300, 0, 1}, {10, 3, 3}, {100, 5, 5}};
    for (const Case& c : cases) {
        ExplosionSpritePSX* s = make(c.count);
        s->explosionStep = c.step;
        particletest::seedMathRandom(1);
        s->start();
        for (int i = 0; i < c.count; ++i)
            ASSERT_EQ(s->getParticle(i).step, c.expected) << c.count << " particles, step " << c.step;
    }
}

TEST_F(ExplosionSpriteTest, ParticlesBurstOutInTheDirectionsAndSpeedsTheGeneratorDraws)
{
    ExplosionSpritePSX* s = make(6);
    s->speed = 1.5f;
    s->setOption(0);
    s->setDamping(0.9f, 0.8f);
    particletest::seedMathRandom(99);
    s->start();
    CrtModel crt(99);
    for (int i = 0; i < 6; ++i) {
        const Particle& p = s->getParticle(i);
        const util::Vector3D v = burst(crt, 1.5f);
        EXPECT_NEAR(p.velocity.x, v.x, 1e-5) << i;
        EXPECT_NEAR(p.velocity.y, v.y, 1e-5) << i;
        EXPECT_NEAR(p.velocity.z, v.z, 1e-5) << i;
        const double speed = std::sqrt(double(p.velocity.x) * p.velocity.x + double(p.velocity.y) * p.velocity.y +
                                       double(p.velocity.z) * p.velocity.z);
        EXPECT_GE(speed, 3.0 * 1.5 - 1e-4);
        EXPECT_LE(speed, 5.0 * 1.5 + 1e-4);
        EXPECT_EQ(p.motionFlags, 0);
        EXPECT_FLOAT_EQ(p.damping.x, 0.9f);
        EXPECT_FLOAT_EQ(p.damping.y, 0.8f);
        EXPECT_FLOAT_EQ(p.position.x, 400.0f);
    }
    // Different draws, different bursts.
    particletest::seedMathRandom(100);
    s->start();
    CrtModel first(99);
    EXPECT_NE(s->getParticle(0).velocity.x, burst(first, 1.5f).x);
}

TEST_F(ExplosionSpriteTest, OptionTenTurnsEachParticleOneWayOrTheOtherByADraw)
{
    ExplosionSpritePSX* s = make(40);
    s->setOption(ExplosionSpritePSX::OPTION_RANDOM_TURN);
    particletest::seedMathRandom(7);
    s->start();
    CrtModel crt(7);
    int right = 0;
    for (int i = 0; i < 40; ++i) {
        const int expected = crt.random() <= 0.5 ? Particle::TURN_RIGHT : Particle::TURN_LEFT;
        const util::Vector3D v = burst(crt, 1.0f);
        const Particle& p = s->getParticle(i);
        ASSERT_EQ(p.motionFlags, expected) << i;
        ASSERT_NEAR(p.velocity.x, v.x, 1e-5) << i;
        right += p.motionFlags == Particle::TURN_RIGHT;
    }
    EXPECT_GT(right, 5);
    EXPECT_LT(right, 35);

    // Any other option is the motion flags themselves.
    s->setOption(Particle::SETTLE | Particle::ACCELERATE);
    s->start();
    EXPECT_EQ(s->getParticle(0).motionFlags, 5);
}

TEST_F(ExplosionSpriteTest, AHundredParticlesFallByAFifthOfAPixelOnlyWithTheAccelerateFlag)
{
    for (int option : {0, int(Particle::ACCELERATE)}) {
        ExplosionSpritePSX* s = make(100);
        s->setDamping(1.0f, 1.0f);
        s->setOption(option);
        particletest::seedMathRandom(5);
        s->start();
        std::vector<util::Vector3D> before;
        for (int i = 0; i < 100; ++i) {
            EXPECT_FLOAT_EQ(s->getParticle(i).acceleration.x, 0.0f);
            EXPECT_FLOAT_EQ(s->getParticle(i).acceleration.y, 0.2f);
            before.push_back(s->getParticle(i).velocity);
        }
        for (int f = 1; f <= 3; ++f) {
            tick(s);
            for (int i = 0; i < 100; ++i) {
                const Particle& p = s->getParticle(i);
                const double fall = option ? 0.2 * f : 0.0;
                ASSERT_NEAR(p.velocity.x, before[size_t(i)].x, 1e-5) << "option " << option;
                ASSERT_NEAR(p.velocity.y, before[size_t(i)].y + fall, 1e-5) << "option " << option;
            }
        }
    }
    // The fall grows by 0.1 per 50 particles; fewer than 50 do not fall.
    ExplosionSpritePSX* few = make(49);
    particletest::seedMathRandom(5);
    few->start();
    EXPECT_FLOAT_EQ(few->getParticle(0).acceleration.y, 0.0f);
    ExplosionSpritePSX* many = make(160);
    particletest::seedMathRandom(5);
    many->start();
    EXPECT_FLOAT_EQ(many->getParticle(0).acceleration.y, 0.3f);
    // A set acceleration replaces the fall.
    many->accelerationX = 0.4f;
    many->start();
    EXPECT_FLOAT_EQ(many->getParticle(0).acceleration.x, 0.4f);
    EXPECT_FLOAT_EQ(many->getParticle(0).acceleration.y, 0.0f);
}

} // namespace
