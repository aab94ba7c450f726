// AmbientButterfly.cpp: the butterfly's look, headings and wing beats.
#include "game/ambient/AmbientButterfly.h"

#include "core/util/Random.h"
#include "core/util/Vector.h"

HV_DEFINE_METACLASS(AmbientButterfly);

namespace {

// The tilt of a new look: 0 to 60 degrees; of a new heading: 10 to 60.
constexpr int kLookTilt = 60;
constexpr int kHeadingTiltBase = 10;
constexpr int kHeadingTiltSpread = 50;
// Chances per heading of a turn back (1 in 11) and a new tilt (2 in 3).
constexpr int kTurnDraw = 10;
constexpr int kTurnHit = 5;
constexpr int kTiltDraw = 2;
// Chances per frame of a new heading (1 in 18) and of closing the wings
// at rest (1 in 14).
constexpr int kHeadingDraw = 17;
constexpr int kHeadingHit = 8;
constexpr int kRestDraw = 13;
constexpr int kRestHit = 5;
// A butterfly sinks up to 2 pixels a frame between flaps.
constexpr double kSinkLimit = 2.0;

} // namespace

AmbientButterfly::AmbientButterfly(int respawnMin, int respawnMax) : AmbientAnimal(respawnMin, respawnMax)
{
    reset();
}

util::Vector& AmbientButterfly::templates()
{
    static util::Vector looks(10);
    return looks;
}

util::Random& AmbientButterfly::random()
{
    static util::Random generator;
    return generator;
}

void AmbientButterfly::tilt(int degrees)
{
    rotateBy(-degrees - getRotation());
}

void AmbientButterfly::reset()
{
    tilt(random().nextInt(kLookTilt));
    resetLook(templates(), SIZE_BASE, SIZE_SPREAD);
    newHeading(m_nSpeedRange, LIFT);
}

void AmbientButterfly::newHeading(int range, int lift)
{
    util::Random& r = random();
    if (r.nextInt(kTurnDraw) == kTurnHit)
        turnAround();
    if (r.nextInt(kTiltDraw) != 0)
        tilt(kHeadingTiltBase + r.nextInt(kHeadingTiltSpread));
    setFrame(0);
    if (getFrameCount() == 2) {
        const int loops = 9 + r.nextInt(5);
        playAnimation(0, 1, loops, 2 + r.nextInt(2), false, 1);
    } else {
        flapPingPong();
    }
    drawSpeeds(range, lift);
}

void AmbientButterfly::steer()
{
    util::Random& r = random();
    if (r.nextInt(kHeadingDraw) == kHeadingHit)
        newHeading(m_nSpeedRange, LIFT);
    else if (getMoveSteps() < 1 && getAlphaSteps() < 1 && getScaleSteps() < 1 && getFrame() == 1 &&
             r.nextInt(kRestDraw) == kRestHit)
        setFrame(0);
}

double AmbientButterfly::sinkLimit() const
{
    return kSinkLimit;
}
