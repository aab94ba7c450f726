// AmbientFirefly.cpp: the firefly's look, headings, glow and blinking.
#include "game/ambient/AmbientFirefly.h"

#include "core/util/Random.h"
#include "core/util/Vector.h"

HV_DEFINE_METACLASS(AmbientFirefly);

namespace {

// Chance per heading of a turn back: 1 in 33.
constexpr int kFireflyTurnDraw = 32;
constexpr int kFireflyTurnHit = 16;
// Chance per frame of a new heading: 1 in 18.
constexpr int kFireflyHeadingDraw = 17;
constexpr int kFireflyHeadingHit = 8;
// A firefly drifts down only slowly.
constexpr double kFireflySinkLimit = 0.5;

} // namespace

AmbientFirefly::AmbientFirefly(int respawnMin, int respawnMax)
    : AmbientAnimal(respawnMin, respawnMax), m_nBlinkCountdown(24)
{
    reset();
}

util::Vector& AmbientFirefly::templates()
{
    static util::Vector looks(10);
    return looks;
}

util::Random& AmbientFirefly::random()
{
    static util::Random generator;
    return generator;
}

void AmbientFirefly::reset()
{
    resetLook(templates(), SIZE_BASE, SIZE_SPREAD);
    m_nBlinkCountdown = random().nextInt(LIT_MIN, LIT_MAX);
    newHeading(m_nSpeedRange, LIFT);
    if (getFrameCount() == 2)
        playAnimation(0, 1, -1, 1, false, 1);
    else
        flapPingPong();
}

void AmbientFirefly::newHeading(int range, int lift)
{
    if (random().nextInt(kFireflyTurnDraw) == kFireflyTurnHit)
        turnAround();
    drawSpeeds(range, lift);
}

void AmbientFirefly::steer()
{
    if (random().nextInt(kFireflyHeadingDraw) == kFireflyHeadingHit)
        newHeading(m_nSpeedRange, LIFT);
}

double AmbientFirefly::sinkLimit() const
{
    return kFireflySinkLimit;
}

void AmbientFirefly::afterFlight()
{
    if (--m_nBlinkCountdown >= 1)
        return;
    const bool lit = isVisible();
    m_nBlinkCountdown = lit ? random().nextInt(DARK_MIN, DARK_MAX) : random().nextInt(LIT_MIN, LIT_MAX);
    setVisible(!lit);
}
