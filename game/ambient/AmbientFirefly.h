// AmbientFirefly.h: a firefly drifting across a room, its light going on
// for a few seconds and off for one or two.
#pragma once

#include "game/ambient/AmbientAnimal.h"

class AmbientFirefly : public AmbientAnimal {
public:
    // Sizes from 0.80 to 1.00.
    static constexpr int SIZE_BASE = 80;
    static constexpr int SIZE_SPREAD = 20;
    // Frames lit, and frames dark, between two blinks.
    static constexpr int LIT_MIN = 120;
    static constexpr int LIT_MAX = 148;
    static constexpr int DARK_MIN = 24;
    static constexpr int DARK_MAX = 63;

    // A firefly of a random template that waits respawnMin to respawnMax
    // frames off screen; the class's registry makes one of 0 to 0.
    AmbientFirefly(int respawnMin = 0, int respawnMax = 0);

    HV_CLASS_NAME("AmbientFirefly", AmbientAnimal)
    HV_DECLARE_METACLASS(AmbientFirefly);

    // The looks fireflies take ("Firefly_1").
    static util::Vector& templates();
    // The generator every firefly draws from.
    static util::Random& random();

    // A look, a direction, a size and speed, the time lit, a first heading
    // and the glow.
    void reset() override;
    // Rarely a turn back; a new speed.
    void newHeading(int range, int lift) override;

    int getBlinkCountdown() const { return m_nBlinkCountdown; }

protected:
    util::Random& generator() override { return random(); }
    // A new heading now and then.
    void steer() override;
    double sinkLimit() const override;
    // The light goes off or on when its time is up.
    void afterFlight() override;

    int m_nBlinkCountdown;
};
