// ExplosionSpritePSX.h: a particle sprite whose particles burst out of its
// position in random directions at random speeds.
#pragma once

#include "core/lang/Class.h"
#include "sprites/particles/ParticleSpritePSX.h"

namespace sprite {

class ExplosionSpritePSX : public ParticleSpritePSX {
public:
    // The motion option that turns each particle one way or the other at random.
    static constexpr int OPTION_RANDOM_TURN = 10;

    explicit ExplosionSpritePSX(int count);

    HV_CLASS_NAME("ExplosionSpritePSX", ParticleSpritePSX)
    HV_DECLARE_METACLASS(ExplosionSpritePSX);

    SpriteBase* clone() override;
    // The plain start, then: the age step (explosionStep, else 2 below 50
    // particles and 1 from 50), a fall of 0.1 per 50 particles when the
    // sprite sets no acceleration, the option as motion flags, and a velocity
    // in a random direction of 3 to 5 times speed pixels per frame.
    void spawn(Particle& p) override;
};

} // namespace sprite
