// ParticleEffectTest.cpp: the particle bursts a room script starts on one of
// the room's sprites: each effect's setter values on the particle sprites,
// and the reuse of sprites whose burst has ended.
#include "sprites/particles/ExplosionSpritePSX.h"
#include "tests/game/support/BareCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gametest {
namespace {

using sprite::ExplosionSpritePSX;

// What one particle sprite of an effect is set up with.
struct Expected {
    int particles;
    int x;
    uint32_t colour1;
    uint32_t colour2;
    float dampingX;
    float dampingY;
    int option;
    int lifetimeMin; // frames
    int lifetimeMax;
    float speed;
    float accelerationX;
    float accelerationY;
    float scale;
    // The end-of-burst message is cleared (else it stays as it was).
    bool actionCleared;
};

class ParticleEffectTest : public ::testing::Test {
protected:
    ParticleEffectTest()
    {
        room = world.addRoom(2, {0});
        world.enter(2);
        auto* flower = new sprite::BoundsSprite(200, 300, 20, 20);
        room->addChild("Flower", flower);
        flower->release();
        receiver = new sprite::BoundsSprite(0, 0, 1, 1);
    }
    ~ParticleEffectTest() override { receiver->release(); }

    ExplosionSpritePSX* burst(int i) { return room->getParticles()->elementAt(i); }
    int bursts() { return room->getParticles() ? room->getParticles()->size() : 0; }
    // Every burst ends.
    void runOut()
    {
        for (int frame = 1; frame <= 400; ++frame)
            world.canvas->doFrame();
    }
    // The sprites' end-of-burst messages go to `receiver`.
    void giveActions()
    {
        for (int i = 0; i < bursts(); ++i)
            burst(i)->setAction(receiver, nullptr);
    }
    void check(ExplosionSpritePSX* p, const Expected& e, const std::string& what)
    {
        SCOPED_TRACE(what);
        EXPECT_EQ(e.particles, p->getParticleCount());
        EXPECT_EQ(e.x, p->left());
        EXPECT_EQ(300, p->top());
        EXPECT_EQ(ExplosionSpritePSX::COLOURS_GRADIENT, p->getColourMode());
        EXPECT_EQ(e.colour1, p->getColour1().getValue());
        EXPECT_EQ(e.colour2, p->getColour2().getValue());
        EXPECT_EQ(1, p->getImageCount());
        EXPECT_FLOAT_EQ(e.dampingX, p->getDamping().x);
        EXPECT_FLOAT_EQ(e.dampingY, p->getDamping().y);
        EXPECT_EQ(e.option, p->getOption());
        EXPECT_EQ(50, p->getDuration()) << "50 frames are 2 seconds";
        EXPECT_EQ(e.lifetimeMin, p->getLifetimeMin());
        EXPECT_EQ(e.lifetimeMax, p->getLifetimeMax());
        EXPECT_FLOAT_EQ(e.speed, p->speed);
        EXPECT_FLOAT_EQ(0.0f, p->fadeFraction);
        EXPECT_FLOAT_EQ(e.accelerationX, p->accelerationX);
        EXPECT_FLOAT_EQ(e.accelerationY, p->accelerationY);
        EXPECT_FLOAT_EQ(e.scale, p->particleScale);
        EXPECT_EQ(e.actionCleared ? nullptr : receiver, p->getActionReceiver());
        EXPECT_TRUE(p->isRunning());
        EXPECT_TRUE(p->isVisible());
        EXPECT_EQ(room, p->getParent());
    }

    BareWorld world;
    Room* room = nullptr;
    sprite::BoundsSprite* receiver = nullptr;
};

TEST_F(ParticleEffectTest, EachEffectSetsItsParticleSpritesUp)
{
    const uint32_t neutral = 0xFF808080u;
    // (the sprite's x 200, y 300; 50 frames: lifetimes of 10 to 50 frames)
    const Expected flower1{8, 197, neutral, 0xFF008000u, 0.8f, 0.6f, 5, 10, 50, 1.5f, 0.4f, 0.8f, 16.0f, false};
    const Expected flower2{8, 203, neutral, 0xFF807300u, 0.8f, 0.6f, 5, 10, 50, 1.5f, 0.4f, 0.8f, 16.0f, false};
    const Expected lock{12, 200, neutral, neutral, 0.95f, 0.95f, 1, 10, 50, 1.8f, 0.0f, 0.7f, 8.0f, true};
    // Fixed lifetimes; the sideways drift the sprite had stays.
    const Expected pipes{100, 197, 0xFFFFFFFFu, 0xFFFFFFFFu, 0.95f, 0.95f, 5, -1, -1, 2.0f, 0.25f, 0.5f, 16.0f, true};

    room->createParticleEffect(lang::String("Flower"), lang::String("Lock"), 50);
    runOut();
    giveActions();
    room->createParticleEffect(lang::String("Flower"), lang::String("Flower"), 50);
    ASSERT_EQ(2, bursts()) << "ended bursts are used again";
    check(burst(0), flower1, "Flower, first");
    check(burst(1), flower2, "Flower, second");
    sprite::SpriteBase* top = room->childAt(room->getChildCount() - 1);
    EXPECT_EQ(burst(1), top) << "on top";
    top->release();

    runOut();
    giveActions();
    room->createParticleEffect(lang::String("Flower"), lang::String("Lock"), 50);
    check(burst(0), lock, "Lock, first");
    check(burst(1), lock, "Lock, second");

    runOut();
    giveActions();
    burst(0)->accelerationX = 0.25f;
    room->createParticleEffect(lang::String("Flower"), lang::String("PipesFixed"), 50);
    ASSERT_EQ(2, bursts());
    check(burst(0), pipes, "PipesFixed");
    EXPECT_FALSE(burst(1)->isRunning());
}

TEST_F(ParticleEffectTest, RunningBurstsAreLeftAloneAndUnknownNamesDoNothing)
{
    room->createParticleEffect(lang::String("Flower"), lang::String("Lock"), 50);
    room->createParticleEffect(lang::String("Flower"), lang::String("PipesFixed"), 50);
    EXPECT_EQ(3, bursts()) << "a new sprite while the others still run";
    room->createParticleEffect(lang::String("Flower"), lang::String("flower"), 50);
    room->createParticleEffect(lang::String("Nobody"), lang::String("Lock"), 50);
    EXPECT_EQ(3, bursts());
}

} // namespace
} // namespace gametest
