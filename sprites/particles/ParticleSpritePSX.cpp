// ParticleSpritePSX.cpp: the particle pool, its spawning, its motion frame by
// frame and its drawing through particle batches.
#include "sprites/particles/ParticleSpritePSX.h"

#include "core/lang/Synchronized.h"
#include "core/util/Vector.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/graphics/GraphicsParticle.h"
#include "windowing/images/ImageBase.h"
#include "windowing/d3d/ImageWinDX.h"

#include <algorithm>
#include <cmath>

namespace sprite {

HV_DEFINE_METACLASS_WITH(ParticleSpritePSX, 0);

namespace {

// How far a turning particle turns per frame and age step.
constexpr float kTurn = 0.1f;
// The slow-down of a settling particle whose damping is (0, 0).
constexpr float kSettle = 0.95f;
// The tint that leaves a particle's picture as it is.
constexpr uint32_t kNeutral = 0xFF808080u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

// A colour channel computed by interpolation, held to a byte.
int clampByte(int v)
{
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// Whether the position rounded to the nearest pixel lies on the screen. The
// rounding stays in floating point, so far-away or undefined positions are
// simply off the screen.
bool onScreen(const util::Vector3D& p)
{
    const double x = std::nearbyint(double(p.x));
    const double y = std::nearbyint(double(p.y));
    return x >= 0.0 && x < ParticleSpritePSX::SCREEN_WIDTH && y >= 0.0 && y < ParticleSpritePSX::SCREEN_HEIGHT;
}

} // namespace

ParticleSpritePSX::ParticleSpritePSX(int count)
    : BoundsSprite(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT), speed(1.0f), fadeFraction(0.0f), explosionStep(0),
      accelerationX(0.0f), accelerationY(0.0f), particleScale(1.0f), m_nParticleCount(0),
      m_damping(0.95f, 0.95f, 1.0f), m_nOption(0), m_colour1(kWhite), m_colour2(kWhite), m_pImages(nullptr),
      m_pBatch(nullptr), m_nFrameCounter(0), m_nDuration(-1), m_nLifetimeMin(-1), m_nLifetimeMax(-1),
      m_nColourMode(COLOURS_NEUTRAL), m_bRunning(false), m_bAnyAlive(false),
      m_screen(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
{
    m_nAnchor = ANCHOR_CENTER_X | ANCHOR_CENTER_Y;
    syncMoveTarget();
    setParticleCount(count);
}

ParticleSpritePSX::~ParticleSpritePSX()
{
    if (m_pImages)
        m_pImages->release();
    if (m_pBatch)
        m_pBatch->release();
}

void ParticleSpritePSX::setParticleCount(int n)
{
    lang::Synchronized guard(this);
    n = std::max(0, n);
    if (n == m_nParticleCount)
        return;
    m_particles.clear();
    m_particles.resize(size_t(n));
    m_nParticleCount = n;
    dealImages();
}

void ParticleSpritePSX::setImages(int count, window::ImageBase** images)
{
    // Particles borrow their pictures from the list: replacing it and dealing
    // the new pictures is one step for the paint path.
    lang::Synchronized guard(this);
    if (m_pImages) {
        m_pImages->release();
        m_pImages = nullptr;
    }
    if (count > 0 && images) {
        m_pImages = new util::Vector(count);
        for (int i = 0; i < count; ++i)
            m_pImages->addElement(images[i]);
    }
    dealImages();
}

int ParticleSpritePSX::getImageCount() const
{
    return m_pImages ? m_pImages->size() : 0;
}

window::ImageBase* ParticleSpritePSX::getImage(int i) const
{
    if (!m_pImages || i < 0 || i >= m_pImages->size())
        return nullptr;
    return static_cast<window::ImageBase*>(m_pImages->get(i));
}

void ParticleSpritePSX::dealImages()
{
    lang::Synchronized guard(this);
    if (!m_pImages) {
        for (Particle& p : m_particles)
            p.image = nullptr;
        return;
    }
    int n = m_pImages->size();
    int remaining = m_nParticleCount;
    int next = 0;
    while (n > 0 && remaining > 0) {
        const int share = remaining / n;
        int take;
        if (share < 2)
            take = 1;
        else if (n == 1)
            take = remaining;
        else
            take = m_random.nextInt(share - share / 2, share + share / 2);
        take = std::min(take, remaining);
        --n;
        window::ImageBase* image = getImage(n);
        for (int i = 0; i < take; ++i)
            m_particles[size_t(next + i)].image = image;
        next += take;
        remaining -= take;
    }
}

void ParticleSpritePSX::setColors(int colourMode, ColorBase colour1, ColorBase colour2)
{
    m_nColourMode = colourMode;
    m_colour1 = colour1;
    m_colour2 = colour2;
}

void ParticleSpritePSX::setLifetime(float seconds, float minSeconds, float maxSeconds)
{
    const int framesPerSecond = 1000 / FRAME_PERIOD_MS;
    m_nDuration = toInt(float(framesPerSecond) * seconds);
    if (minSeconds > 0.0f && maxSeconds > 0.0f && maxSeconds > minSeconds) {
        m_nLifetimeMin = toInt(float(framesPerSecond) * minSeconds);
        m_nLifetimeMax = toInt(float(framesPerSecond) * maxSeconds);
    } else {
        m_nLifetimeMin = -1;
        m_nLifetimeMax = -1;
    }
}

void ParticleSpritePSX::setOption(int option)
{
    m_nOption = option;
}

void ParticleSpritePSX::setDamping(float x, float y)
{
    m_damping = util::Vector3D(x, y, 0.0f);
}

void ParticleSpritePSX::start()
{
    lang::Synchronized guard(this);
    spawnAll();
    m_bRunning = true;
    m_bAnyAlive = true;
    setVisible(true);
    m_nFrameCounter = 0;
}

void ParticleSpritePSX::spawnAll()
{
    for (Particle& p : m_particles)
        spawn(p);
}

void ParticleSpritePSX::spawn(Particle& p)
{
    p.position = util::Vector3D(float(m_nX), float(m_nY), 0.0f);
    p.velocity = util::Vector3D(0.0f, 0.0f, 0.0f);
    p.damping = util::Vector3D(m_damping.x, m_damping.y, 0.0f);
    if (m_nLifetimeMax >= 1)
        p.lifetime = m_nLifetimeMin + m_random.nextInt(m_nLifetimeMax - m_nLifetimeMin);
    else
        p.lifetime = m_nDuration;
    p.age = 0;
    p.fadeFrames = 0;
    if (fadeFraction != 0.0f) {
        const int fade = p.lifetime - toInt(double(p.lifetime) * fadeFraction);
        p.fadeFrames = std::max(0, std::min(fade, p.lifetime));
    }
    if (accelerationX != 0.0f || accelerationY != 0.0f)
        p.acceleration = util::Vector3D(accelerationX, accelerationY, 0.0f);
    switch (m_nColourMode) {
    case COLOURS_NEUTRAL:
        p.colour = m_pImages ? kNeutral : kWhite;
        break;
    case COLOURS_FIRST:
        p.colour = m_colour1;
        break;
    case COLOURS_RANDOM: {
        const int red = m_random.nextInt(128);
        const int green = m_random.nextInt(128);
        const int blue = m_random.nextInt(128);
        p.colour.setRGBA(red, green, blue, 255);
        break;
    }
    case COLOURS_BETWEEN: {
        auto between = [this](int a, int b) { return std::min(a, b) + m_random.nextInt(std::abs(a - b)); };
        const int red = between(m_colour1.getRed(), m_colour2.getRed());
        const int green = between(m_colour1.getGreen(), m_colour2.getGreen());
        const int blue = between(m_colour1.getBlue(), m_colour2.getBlue());
        p.colour.setRGBA(red, green, blue, 255);
        break;
    }
    case COLOURS_GRADIENT:
        p.colour = m_colour1;
        p.startColour = m_colour1;
        p.endColour = m_colour2;
        break;
    default:
        break;
    }
    p.alive = true;
}

bool ParticleSpritePSX::stepParticle(Particle& p)
{
    if (!p.alive)
        return false;
    util::Vector3D& v = p.velocity;
    p.position.x += v.x;
    p.position.y += v.y;

    if (p.damping.x == 0.0f && p.damping.y == 0.0f) {
        if (p.motionFlags & Particle::SETTLE) {
            v.x *= kSettle;
            v.y *= kSettle;
            v.z = 0.0f;
        }
    } else {
        v.x *= p.damping.x;
        v.y *= p.damping.y;
    }

    const float turn = kTurn * float(p.step);
    if (p.motionFlags & Particle::TURN_LEFT) {
        v.x = v.x - turn * v.y;
        v.y = v.y + turn * v.x;
    } else if (p.motionFlags & Particle::TURN_RIGHT) {
        v.x = v.x + turn * v.y;
        v.y = v.y - turn * v.x;
    }

    if (p.motionFlags & Particle::ACCELERATE) {
        v.x += p.acceleration.x;
        v.y += p.acceleration.y;
    }

    p.age += p.step;
    if (p.age > p.lifetime || !onScreen(p.position)) {
        p.alive = false;
        return false;
    }

    if (m_nColourMode == COLOURS_GRADIENT) {
        // toInt makes the 0 / 0 of a lifetime of 0 (reachable only with an age
        // step of 0) the start colour.
        auto mix = [&p](int start, int end) {
            return clampByte(start + toInt(double(end - start) * p.age / double(p.lifetime)));
        };
        p.colour.setRGBA(mix(p.startColour.getRed(), p.endColour.getRed()),
                         mix(p.startColour.getGreen(), p.endColour.getGreen()),
                         mix(p.startColour.getBlue(), p.endColour.getBlue()), 255);
    }

    if (p.fadeFrames != 0 && p.fadeFrames > p.lifetime - p.age) {
        p.fadeFrames = std::min(p.fadeFrames, p.lifetime);
        if (p.fadeFrames > 0) {
            const int alpha = 128 - (p.fadeFrames - p.lifetime + p.age) * (128 / p.fadeFrames);
            p.colour.setAlpha(std::max(0, alpha));
        }
    }
    return true;
}

bool ParticleSpritePSX::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    bool lived = false;
    if (m_bRunning) {
        lang::Synchronized guard(this);
        if (m_nDuration > 0 && ++m_nFrameCounter > m_nDuration) {
            m_bRunning = false;
        } else {
            m_bAnyAlive = false;
            for (Particle& p : m_particles)
                if (stepParticle(p))
                    m_bAnyAlive = true;
            lived = m_bAnyAlive;
        }
        if (!lived) {
            setVisible(false);
            m_bRunning = false;
            m_bActionPending = true;
        }
    }
    const bool changed = BoundsSprite::tick(frame, boundsOut, region);
    return changed || lived;
}

void ParticleSpritePSX::paint(window::Graphics* g)
{
    lang::Synchronized guard(this);
    if (!m_pBatch)
        m_pBatch = g->createParticle();
    if (!m_pBatch)
        return;
    m_pBatch->maxCount = m_nParticleCount;
    m_pBatch->active = false;
    drawParticles(m_pBatch);
    if (m_pBatch->active) {
        m_pBatch->end();
        m_pBatch->active = false;
    }
}

void ParticleSpritePSX::drawParticles(window::GraphicsParticle* batch)
{
    for (Particle& p : m_particles) {
        if (!p.alive)
            continue;
        // Batches texture their points from window pictures; any other picture draws plain points.
        window::ImageWinDX* image = dynamic_cast<window::ImageWinDX*>(p.image);
        if (batch->active && (batch->pointSize != particleScale || batch->image != image)) {
            batch->active = false;
            batch->end();
        }
        if (!batch->active) {
            batch->pointSize = particleScale;
            batch->image = image;
            batch->active = true;
            batch->begin(batch->maxCount, particleScale, image);
        }
        batch->addParticle(&p.position, &p.colour);
    }
}

bool ParticleSpritePSX::isShowing()
{
    return m_nParticleCount > 0 && m_bAnyAlive && BoundsSprite::isShowing();
}

bool ParticleSpritePSX::isAnimating()
{
    return BoundsSprite::isAnimating() || m_bRunning;
}

util::RectangleNM* ParticleSpritePSX::getBounds()
{
    m_screen = util::RectangleNM(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    return &m_screen;
}

SpriteBase* ParticleSpritePSX::clone()
{
    ParticleSpritePSX* copy = new ParticleSpritePSX(0);
    copyParticlesTo(copy);
    return copy;
}

void ParticleSpritePSX::copyParticlesTo(ParticleSpritePSX* other)
{
    lang::Synchronized guard(this);
    copyStateTo(other);
    lang::Synchronized otherGuard(other);
    other->m_nDuration = m_nDuration;
    other->m_nLifetimeMin = m_nLifetimeMin;
    other->m_nLifetimeMax = m_nLifetimeMax;
    other->m_nFrameCounter = m_nFrameCounter;
    other->m_damping = m_damping;
    other->m_nOption = m_nOption;
    other->m_nColourMode = m_nColourMode;
    other->m_colour1 = m_colour1;
    other->m_colour2 = m_colour2;
    other->m_bRunning = m_bRunning;
    other->fadeFraction = fadeFraction;
    if (m_pImages) {
        const int n = m_pImages->size();
        std::vector<window::ImageBase*> images(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            images[size_t(i)] = getImage(i);
        other->setImages(n, images.data());
    } else {
        other->setImages(0, nullptr);
    }
    other->setParticleCount(m_nParticleCount);
    other->m_particles = m_particles;
}

} // namespace sprite
