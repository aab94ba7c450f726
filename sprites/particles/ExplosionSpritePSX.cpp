// ExplosionSpritePSX.cpp: particles that burst out in random directions.
#include "sprites/particles/ExplosionSpritePSX.h"

#include "core/lang/Math.h"

namespace sprite {

HV_DEFINE_METACLASS_WITH(ExplosionSpritePSX, 0);

namespace {

// Particles per 0.1 pixel per frame² of fall when the sprite sets no acceleration.
constexpr int kParticlesPerFall = 50;

} // namespace

ExplosionSpritePSX::ExplosionSpritePSX(int count) : ParticleSpritePSX(count) {}

SpriteBase* ExplosionSpritePSX::clone()
{
    ExplosionSpritePSX* copy = new ExplosionSpritePSX(0);
    copyParticlesTo(copy);
    return copy;
}

void ExplosionSpritePSX::spawn(Particle& p)
{
    ParticleSpritePSX::spawn(p);
    if (explosionStep != 0)
        p.step = explosionStep;
    else
        p.step = m_nParticleCount < kParticlesPerFall ? 2 : 1;
    if (accelerationX == 0.0f && accelerationY == 0.0f)
        p.acceleration = util::Vector3D(0.0f, float(m_nParticleCount / kParticlesPerFall) * 0.1f, 0.0f);
    if (m_nOption == OPTION_RANDOM_TURN)
        p.motionFlags = lang::Math::random() <= 0.5 ? Particle::TURN_RIGHT : Particle::TURN_LEFT;
    else
        p.motionFlags = uint8_t(m_nOption);
    p.velocity.setRandomBetween(util::Vector3D(-1.0f, -1.0f, -1.0f), util::Vector3D(1.0f, 1.0f, 1.0f));
    p.velocity.normalize();
    p.velocity.scale(float((2.0 * lang::Math::random() + 3.0) * speed));
    p.damping = util::Vector3D(m_damping.x, m_damping.y, 0.0f);
}

} // namespace sprite
