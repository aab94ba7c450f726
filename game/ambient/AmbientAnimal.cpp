// AmbientAnimal.cpp: the look, size band, flight and return of butterflies
// and fireflies.
#include "game/ambient/AmbientAnimal.h"

#include "core/util/Random.h"
#include "core/util/Vector.h"

#include <algorithm>
#include <cmath>

namespace {

// A band of the screen and the speed range of the animals of one size.
struct SizeBand {
    double below; // the size fraction up to which the band holds
    int top;
    int bottom;
    int speedRange; // tenths of a pixel a frame
};

// Small animals are far away: high up and slow; large ones near and fast.
constexpr SizeBand kBands[] = {
    {0.33, 50, 175, 32},
    {0.66, 200, 375, 56},
    {2.0, 375, 525, 80},
};

// Speeds below this are raised to it after every move.
constexpr double kMinSpeedX = 1.0;
// Per frame: the slowing of the horizontal speed, the fall of a rising
// speed, and the fall of a sinking one.
constexpr double kSlowX = 0.1;
constexpr double kRiseDecay = 0.21;
constexpr double kSinkStep = 0.1;

} // namespace

AmbientAnimal::AmbientAnimal(int respawnMin, int respawnMax)
    : sprite::AnimateSprite(nullptr, 1, 1),
      m_dSpeedX(0.0),
      m_dSpeedY(0.0),
      m_dScale(1.0),
      m_nBandBottom(0),
      m_nBandTop(0),
      m_nSpeedRange(0),
      m_nRespawnMin(respawnMin),
      m_nRespawnMax(respawnMax),
      m_nRespawnCountdown(-1),
      m_bFlyLeft(false)
{
}

void AmbientAnimal::startle()
{
    newHeading(int(m_nSpeedRange * 1.5), STARTLE_LIFT);
}

int AmbientAnimal::randomBandY(util::Random& random)
{
    return m_nBandTop + random.nextInt(m_nBandBottom - m_nBandTop);
}

bool AmbientAnimal::waitOffScreen(util::Random& random)
{
    if (m_nRespawnCountdown == -1) {
        m_nRespawnCountdown = m_nRespawnMin + random.nextInt(m_nRespawnMax - m_nRespawnMin);
        return false;
    }
    if (--m_nRespawnCountdown >= 0)
        return false;
    reset();
    const int x = m_bFlyLeft ? ENTER_RIGHT_X : -1 - width();
    setPosition(x, randomBandY(random));
    setVisible(true);
    return true;
}

void AmbientAnimal::resetLook(util::Vector& templates, int sizeBase, int sizeSpread)
{
    util::Random& random = generator();
    if (templates.size() > 0) {
        auto* model = static_cast<sprite::SpriteBase*>(templates.elementAt(random.nextInt(templates.size() - 1)));
        auto* grid = model->isInstanceOf("AnimateSprite") ? static_cast<sprite::AnimateSprite*>(model) : nullptr;
        auto* picture = model->isInstanceOf("ImageSprite") ? static_cast<sprite::ImageSprite*>(model) : nullptr;
        if (picture)
            setGrid(picture->getImage(), grid ? grid->getColumns() : 1, grid ? grid->getRows() : 1);
    }
    m_bFlyLeft = random.nextInt(1) != 0;
    showDirection();
    m_dScale = (sizeBase + random.nextInt(sizeSpread)) / 100.0;
    setScale(m_dScale);
    const double fraction = (m_dScale * 100.0 - sizeBase) / sizeSpread;
    const SizeBand* band = &kBands[0];
    while (fraction >= band->below)
        ++band;
    m_nBandTop = band->top;
    m_nBandBottom = band->bottom;
    m_nSpeedRange = band->speedRange;
    m_dSpeedX = random.nextInt(m_nSpeedRange) / 10.0;
    m_dSpeedY = random.nextInt(LIFT) / 10.0;
    setFrame(0);
}

void AmbientAnimal::turnAround()
{
    m_bFlyLeft = !m_bFlyLeft;
    showDirection();
}

void AmbientAnimal::showDirection()
{
    setFlipType(m_bFlyLeft ? FLIP_NONE : FLIP_HORIZONTAL);
}

void AmbientAnimal::drawSpeeds(int range, int lift)
{
    util::Random& random = generator();
    m_dSpeedX = (random.nextInt(range) + range - m_nSpeedRange) / 10.0;
    m_dSpeedY = (random.nextInt(int(lift - 1.5)) + 1.5 + lift - LIFT) / 10.0;
}

void AmbientAnimal::flapPingPong()
{
    util::Random& random = generator();
    playAnimation(0, -1, 6 + random.nextInt(3), 1, true, 1);
}

void AmbientAnimal::fly()
{
    const double x = m_bFlyLeft ? left() - m_dSpeedX : left() + m_dSpeedX;
    setPosition(int(x), int(top() - m_dSpeedY));
    m_dSpeedX = std::max(kMinSpeedX, m_dSpeedX - kSlowX);
    if (m_dSpeedY > 0.0)
        m_dSpeedY -= kRiseDecay;
    else if (std::fabs(m_dSpeedY) < sinkLimit())
        m_dSpeedY -= kSinkStep;
    if (left() >= GONE_RIGHT_X || left() < -1 - width() || top() < -GONE_ABOVE_MARGIN - height() ||
        top() >= GONE_BOTTOM_Y)
        setVisible(false);
}

bool AmbientAnimal::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (isVisible()) {
        steer();
        fly();
    }
    afterFlight();
    return sprite::AnimateSprite::tick(frame, boundsOut, region);
}
