// AmbientButterfly.h: a butterfly fluttering across a room: it flaps, tilts,
// now and then turns back, sinks between flaps and leaves by a screen edge.
#pragma once

#include "game/ambient/AmbientAnimal.h"

class AmbientButterfly : public AmbientAnimal {
public:
    // Sizes from 0.45 to 1.00.
    static constexpr int SIZE_BASE = 45;
    static constexpr int SIZE_SPREAD = 55;

    // A butterfly of a random template that waits respawnMin to respawnMax
    // frames off screen; the class's registry makes one of 0 to 0.
    AmbientButterfly(int respawnMin = 0, int respawnMax = 0);

    HV_CLASS_NAME("AmbientButterfly", AmbientAnimal)
    HV_DECLARE_METACLASS(AmbientButterfly);

    // The looks butterflies take ("Butterfly_1" .. "Butterfly_5"), each once.
    static util::Vector& templates();
    // The generator every butterfly draws from.
    static util::Random& random();

    // A tilt, a look, a direction, a size and speed, then a first heading.
    void reset() override;
    // Perhaps a turn back and a new tilt; the wings beat again.
    void newHeading(int range, int lift) override;

protected:
    util::Random& generator() override { return random(); }
    // A new heading now and then; else the wings close at rest.
    void steer() override;
    double sinkLimit() const override;
    // Rotates to `degrees` below the horizontal.
    void tilt(int degrees);
};
