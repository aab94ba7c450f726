// ParticleSpritePSX.h: a sprite that runs a fixed pool of particles. Each
// particle starts at the sprite's position, moves by its own velocity (damped,
// turned and accelerated every frame), changes colour over its life, may fade
// out at its end, and dies when its life is over or it leaves the screen. The
// particles are drawn as point batches through the graphics, each with one of
// the sprite's pictures.
#pragma once

#include "core/lang/Class.h"
#include "core/util/Random.h"
#include "core/util/RectangleNM.h"
#include "core/util/Vector3D.h"
#include "sprites/base/BoundsSprite.h"
#include "sprites/particles/Particle.h"
#include "windowing/graphics/ColorWin32.h"

#include <cstdint>
#include <vector>

namespace util {
class Vector;
}

namespace window {
class GraphicsParticle;
class ImageBase;
} // namespace window

namespace sprite {

class ParticleSpritePSX : public BoundsSprite {
public:
    // The length of one logic frame of the canvas, which turns seconds into frames.
    static constexpr int FRAME_PERIOD_MS = 40;
    // Particles live only on the screen: its rectangle is the sprite's bounds.
    static constexpr int SCREEN_WIDTH = 800;
    static constexpr int SCREEN_HEIGHT = 600;

    // Colour modes of setColors.
    static constexpr int COLOURS_NEUTRAL = 0;  // the pictures as they are (white without pictures)
    static constexpr int COLOURS_FIRST = 1;    // colour 1
    static constexpr int COLOURS_RANDOM = 2;   // a random dark colour each
    static constexpr int COLOURS_BETWEEN = 3;  // a random colour between colour 1 and colour 2
    static constexpr int COLOURS_GRADIENT = 4; // colour 1 at birth to colour 2 at the end of life

    // A pool of count dead particles; not running, with no pictures, a
    // duration of -1 frames and colours 1 and 2 white.
    explicit ParticleSpritePSX(int count);
    // Releases the pictures and the batch.
    ~ParticleSpritePSX() override;

    HV_CLASS_NAME("ParticleSpritePSX", BoundsSprite)
    HV_DECLARE_METACLASS(ParticleSpritePSX);

    // A new pool of n dead particles (negative counts as 0); the pictures are
    // dealt out again. Nothing when the count stays.
    void setParticleCount(int n);
    // Keeps the pictures (a reference on each) in place of the earlier ones,
    // none when count < 1, and deals them out to the particles.
    void setImages(int count, window::ImageBase** images);
    // The colour mode (COLOURS_*) and its two colours, used by later spawns.
    void setColors(int colourMode, ColorBase colour1, ColorBase colour2);
    // setColors under the name game code sets an effect up with.
    void setParameters(int colourMode, ColorBase colour1, ColorBase colour2)
    {
        setColors(colourMode, colour1, colour2);
    }
    // The effect runs seconds long (that is also the particles' lifetime);
    // with 0 < minSeconds < maxSeconds each particle lives a random time
    // between the two instead.
    void setLifetime(float seconds, float minSeconds, float maxSeconds);
    // The motion flags given to explosion particles (10: a random turn).
    void setOption(int option);
    // The velocity multiplier per frame given to new particles.
    void setDamping(float x, float y);
    // setDamping under the name game code sets an effect up with (its
    // values, such as 0.95, are multipliers; the pull of gravity is the
    // acceleration, set directly).
    void setGravity(float x, float y) { setDamping(x, y); }
    // Spawns every particle and runs the effect from frame 0, visible.
    void start();

    // Draws the live particles through the graphics' particle batch.
    void paint(window::Graphics* g) override;
    // A plain copy of the same class: state, settings, pictures and particles.
    SpriteBase* clone() override;
    // One frame of every live particle while running; hides the sprite and
    // sends its action when the duration is over or no particle is left.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Visible with particles of which some are alive.
    bool isShowing() override;
    // Running, or a base animation runs.
    bool isAnimating() override;
    // The screen rectangle.
    util::RectangleNM* getBounds() override;

    // Starts every particle.
    virtual void spawnAll();
    // Starts one particle at the sprite's position, with the sprite's
    // damping, acceleration and lifetime and a colour by the colour mode.
    virtual void spawn(Particle& p);
    // Adds every live particle to the batch; consecutive particles with the
    // same picture share one begin ... end bracket.
    virtual void drawParticles(window::GraphicsParticle* batch);

    int getParticleCount() const { return m_nParticleCount; }
    // Particle i (0 <= i < getParticleCount()).
    Particle& getParticle(int i) { return m_particles[size_t(i)]; }
    int getImageCount() const;
    window::ImageBase* getImage(int i) const;
    int getColourMode() const { return m_nColourMode; }
    const ColorWin32& getColour1() const { return m_colour1; }
    const ColorWin32& getColour2() const { return m_colour2; }
    const util::Vector3D& getDamping() const { return m_damping; }
    int getOption() const { return m_nOption; }
    int getDuration() const { return m_nDuration; }
    int getLifetimeMin() const { return m_nLifetimeMin; }
    int getLifetimeMax() const { return m_nLifetimeMax; }
    int getFrameCounter() const { return m_nFrameCounter; }
    bool isRunning() const { return m_bRunning; }
    bool isAnyAlive() const { return m_bAnyAlive; }
    window::GraphicsParticle* getBatch() const { return m_pBatch; }
    // The sprite's own generator (lifetimes, random colours, the deal of pictures).
    util::Random& getRandom() { return m_random; }

    // Settings game code sets directly.
    float speed;             // start speed factor of explosion particles
    float fadeFraction;      // fraction of the lifetime that is not faded; 0 = no fade
    int16_t explosionStep;   // age step of explosion particles; 0 = by the particle count
    float accelerationX;     // acceleration given to new particles; (0, 0) = none
    float accelerationY;
    float particleScale;     // point size of every particle in pixels

protected:
    // One frame of a live particle; false when it died in this frame.
    bool stepParticle(Particle& p);
    // Copies what a clone keeps into another sprite of this class family.
    void copyParticlesTo(ParticleSpritePSX* other);
    // Gives each particle its picture: runs of particles from the last
    // picture to the first, of random lengths around an even share.
    void dealImages();

    std::vector<Particle> m_particles;
    int m_nParticleCount;
    util::Vector3D m_damping;
    int m_nOption;
    ColorWin32 m_colour1;
    ColorWin32 m_colour2;
    util::Vector* m_pImages;
    window::GraphicsParticle* m_pBatch;
    int m_nFrameCounter;
    int m_nDuration;
    int m_nLifetimeMin;
    int m_nLifetimeMax;
    int m_nColourMode;
    bool m_bRunning;
    bool m_bAnyAlive;
    util::Random m_random;
    util::RectangleNM m_screen;
};

} // namespace sprite
