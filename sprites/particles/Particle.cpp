// Particle.cpp: the initial state of a particle.
#include "sprites/particles/Particle.h"

namespace sprite {

Particle::Particle()
    : position(0.0f, 0.0f, 1.0f), velocity(0.0f, 0.0f, 1.0f), damping(0.95f, 0.95f, 1.0f),
      acceleration(0.0f, 0.0f, 1.0f), image(nullptr), lifetime(0), age(0), step(1), fadeFrames(0),
      colour(0xFF000000u), startColour(0xFF000000u), endColour(0xFF000000u), motionFlags(0), alive(false)
{
}

} // namespace sprite
