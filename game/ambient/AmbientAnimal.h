// AmbientAnimal.h: what butterflies and fireflies share: a look taken from a
// random template, a size that sets the band of the screen they keep to and
// their speed, a fluttering flight across the screen, and the wait off
// screen before they come back.
#pragma once

#include "sprites/images/AnimateSprite.h"

namespace util {
class Random;
class Vector;
} // namespace util

class AmbientAnimal : public sprite::AnimateSprite {
public:
    // The lift of an ordinary new heading, and of a startled one.
    static constexpr int LIFT = 34;
    static constexpr int STARTLE_LIFT = 51;
    // Where an animal re-enters: just past the right edge, or just before
    // the left one.
    static constexpr int ENTER_RIGHT_X = 801;
    // Off screen: left from this x on, or top from this y on; or past the
    // left edge by its width plus 1, or above the top by its height plus 15.
    static constexpr int GONE_RIGHT_X = 802;
    static constexpr int GONE_BOTTOM_Y = 606;
    static constexpr int GONE_ABOVE_MARGIN = 15;

    // Waits respawnMin to respawnMax frames off screen before coming back.
    AmbientAnimal(int respawnMin, int respawnMax);

    HV_CLASS_NAME("AmbientAnimal", sprite::AnimateSprite)

    // A new look, size and speed, at frame 0, before every return.
    virtual void reset() = 0;
    // A new speed (range in tenths of a pixel, lift in tenths above the
    // sinking), perhaps a new direction.
    virtual void newHeading(int range, int lift) = 0;
    // A click on the animal: it speeds off upwards.
    void startle();
    // One frame of the manager while the animal is off screen: the wait is
    // armed, counted, and when it runs out the animal comes back from the
    // edge it flies from; true then.
    bool waitOffScreen(util::Random& random);
    // While visible the flight; then the animal's own step and its frames.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;

    double getSpeedX() const { return m_dSpeedX; }
    double getSpeedY() const { return m_dSpeedY; }
    double getSize() const { return m_dScale; }
    int getBandTop() const { return m_nBandTop; }
    int getBandBottom() const { return m_nBandBottom; }
    int getSpeedRange() const { return m_nSpeedRange; }
    int getRespawnMin() const { return m_nRespawnMin; }
    int getRespawnMax() const { return m_nRespawnMax; }
    int getRespawnCountdown() const { return m_nRespawnCountdown; }
    void setRespawnCountdown(int frames) { m_nRespawnCountdown = frames; }
    bool isFlyingLeft() const { return m_bFlyLeft; }
    // A random y of the animal's band.
    int randomBandY(util::Random& random);

protected:
    // The generator the animals of the class share.
    virtual util::Random& generator() = 0;
    // The course change a visible animal may make before it moves.
    virtual void steer() = 0;
    // The speed up to which it sinks between flaps.
    virtual double sinkLimit() const = 0;
    // Each frame after the flight, visible or not.
    virtual void afterFlight() {}

    // The picture and grid of a random template, the direction, the size
    // (base + random(spread) hundredths) with its band and speed range, a
    // first speed, and frame 0.
    void resetLook(util::Vector& templates, int sizeBase, int sizeSpread);
    // The sprite is mirrored when it flies right.
    void turnAround();
    void showDirection();
    // The new speeds of a heading.
    void drawSpeeds(int range, int lift);
    // Plays the frames 0 .. last, ping-pong, 6 to 9 times.
    void flapPingPong();
    // Moves, slows, sinks, and hides when off the screen.
    void fly();

    double m_dSpeedX;
    double m_dSpeedY;
    double m_dScale;
    int m_nBandBottom;
    int m_nBandTop;
    int m_nSpeedRange;
    int m_nRespawnMin;
    int m_nRespawnMax;
    int m_nRespawnCountdown;
    bool m_bFlyLeft;
};
