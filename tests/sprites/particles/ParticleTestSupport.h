// ParticleTestSupport.h: what the particle sprite tests share: a particle
// batch and a graphics that record what they are asked to draw, a reference
// copy of the C runtime's small generator to predict the explosion's draws,
// a particle sprite whose particles are launched with chosen velocities, and
// a reference model of one particle's frame written from the motion rules.
#pragma once

#include "../support/RecordingGraphics.h"

#include "core/lang/Math.h"
#include "core/util/Vector3D.h"
#include "platform/kernel/CRuntime.h"
#include "sprites/particles/ParticleSpritePSX.h"
#include "windowing/graphics/ColorBase.h"
#include "windowing/graphics/GraphicsParticle.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace particletest {

// A batch that records begin, addParticle and end.
class RecordingBatch : public window::GraphicsParticle {
public:
    struct Call {
        std::string op;
        int count = 0;
        float size = 0.0f;
        window::ImageWinDX* image = nullptr;
        float x = 0.0f, y = 0.0f;
        uint32_t colour = 0;
    };

    int begin(int count, float size, window::ImageWinDX* texture) override
    {
        Call c;
        c.op = "begin";
        c.count = count;
        c.size = size;
        c.image = texture;
        calls.push_back(c);
        return count;
    }
    void addParticle(util::Vector3D* position, ColorBase* colour) override
    {
        Call c;
        c.op = "add";
        c.x = position->x;
        c.y = position->y;
        c.colour = colour->getValue();
        calls.push_back(c);
    }
    void end() override
    {
        Call c;
        c.op = "end";
        calls.push_back(c);
    }
    void releaseBuffers() override {}

    std::string ops() const
    {
        std::string out;
        for (const Call& c : calls)
            out += (out.empty() ? "" : " ") + c.op;
        return out;
    }
    std::vector<Call> ofOp(const std::string& op) const
    {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.op == op)
                out.push_back(c);
        return out;
    }

    std::vector<Call> calls;
};

// A recording graphics that hands out recording batches (or none).
class ParticleGraphics : public spritetest::RecordingGraphics {
public:
    window::GraphicsParticle* createParticle() override
    {
        ++batchesMade;
        if (!givesBatches)
            return nullptr;
        lastBatch = new RecordingBatch();
        return lastBatch;
    }

    bool givesBatches = true;
    int batchesMade = 0;
    RecordingBatch* lastBatch = nullptr; // owned by the sprite that asked for it
};

// The C runtime's small generator as published: state * 214013 + 2531011,
// the draw is bits 16..30.
class CrtModel {
public:
    explicit CrtModel(unsigned seed) : m_state(seed) {}
    int next()
    {
        m_state = m_state * 214013u + 2531011u;
        return int((m_state >> 16) & 0x7FFF);
    }
    double random() { return next() / 32768.0; }

private:
    uint32_t m_state;
};

// Seeds the calling thread's C runtime generator for lang::Math::random,
// after making sure its once-per-thread seeding from the clock is behind us.
inline void seedMathRandom(unsigned seed)
{
    lang::Math::random();
    crtSrand(seed);
}

// A particle sprite whose spawn, after the plain one, gives particle i the
// velocity, motion flags and age step the test chose.
class LaunchedParticles : public sprite::ParticleSpritePSX {
public:
    struct Launch {
        float vx = 0.0f, vy = 0.0f;
        uint8_t flags = 0;
        int step = 1;
    };

    explicit LaunchedParticles(int count) : sprite::ParticleSpritePSX(count) {}

    void spawn(sprite::Particle& p) override
    {
        sprite::ParticleSpritePSX::spawn(p);
        const size_t i = size_t(&p - &getParticle(0));
        if (i < launches.size()) {
            p.velocity = util::Vector3D(launches[i].vx, launches[i].vy, 0.0f);
            p.motionFlags = launches[i].flags;
            p.step = launches[i].step;
        }
    }

    std::vector<Launch> launches;
};

// One particle as the motion rules describe it, in doubles.
struct ModelParticle {
    double x = 0, y = 0, vx = 0, vy = 0;
    double dampX = 0.95, dampY = 0.95;
    double ax = 0, ay = 0;
    int flags = 0;
    int step = 1;
    int age = 0;
    int lifetime = 0;
    bool alive = true;

    // One frame: move, damp (or settle), turn, accelerate, age, and die past
    // the lifetime or off the 800 x 600 screen.
    void frame()
    {
        if (!alive)
            return;
        x += vx;
        y += vy;
        if (dampX == 0 && dampY == 0) {
            if (flags & 1) {
                vx *= 0.95;
                vy *= 0.95;
            }
        } else {
            vx *= dampX;
            vy *= dampY;
        }
        const double k = 0.1 * step;
        if (flags & 2) {
            vx -= k * vy;
            vy += k * vx;
        } else if (flags & 8) {
            vx += k * vy;
            vy -= k * vx;
        }
        if (flags & 4) {
            vx += ax;
            vy += ay;
        }
        age += step;
        const double rx = std::nearbyint(x), ry = std::nearbyint(y);
        if (age > lifetime || rx < 0 || rx >= 800 || ry < 0 || ry >= 600)
            alive = false;
    }
};

} // namespace particletest
