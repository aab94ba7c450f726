// ContainerTestSupport.h: helpers for the container and dialog tests: a
// sprite that counts what its container asks of it, a recording context that
// also records the transform calls, containers that expose their child list,
// definition numbers, and a check that an operation waits for a monitor.
#pragma once

#include "core/lang/IntArray.h"
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/containers/FancyContainer.h"
#include "tests/sprites/support/RecordingGraphics.h"
#include "tests/sprites/support/TestSprite.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

namespace spritetest {

// A test sprite that counts picture loads and unloads and transition
// preparations, and notes the frames it was ticked in.
class CountingSprite : public TestSprite {
public:
    using TestSprite::TestSprite;

    void loadImages() override { ++loads; }
    void unloadImages() override { ++unloads; }
    void prepareTransition(window::Graphics* g) override
    {
        ++prepares;
        TestSprite::prepareTransition(g);
    }
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override
    {
        ticks.push_back(frame);
        if (onTick)
            onTick();
        return TestSprite::tick(frame, boundsOut, region);
    }

    int loads = 0;
    int unloads = 0;
    int prepares = 0;
    std::vector<int> ticks;
    std::function<void()> onTick;
};

// A recording context that also notes translate, rotate, scale and flip.
class TransformGraphics : public RecordingGraphics {
public:
    struct Transform {
        std::string op;
        double a;
        double b;
    };

    void translate(int dx, int dy) override
    {
        transforms.push_back({"translate", double(dx), double(dy)});
        RecordingGraphics::translate(dx, dy);
    }
    bool rotate(double degrees) override
    {
        transforms.push_back({"rotate", degrees, 0.0});
        return false;
    }
    bool scale(double sx, double sy) override
    {
        transforms.push_back({"scale", sx, sy});
        return RecordingGraphics::scale(sx, sy);
    }
    bool flip(int bits) override
    {
        transforms.push_back({"flip", double(bits), 0.0});
        return false;
    }

    std::vector<Transform> transforms;
};

// A container whose child list can be locked from a test.
class OpenContainer : public sprite::FancyContainer {
public:
    OpenContainer(int w, int h) : sprite::FancyContainer(w, h, 0) {}
    util::Vector& list() { return m_children; }
};

// A dialog whose child list can be locked from a test.
class OpenDialog : public sprite::DialogSprite {
public:
    explicit OpenDialog(bool modal = false) : sprite::DialogSprite(modal) {}
    util::Vector& list() { return m_children; }
};

// Definition numbers (one reference).
inline lang::IntArray* numbers(std::initializer_list<int> values)
{
    lang::IntArray* a = new lang::IntArray();
    a->setLength(int(values.size()));
    int i = 0;
    for (int v : values)
        (*a)[i++] = v;
    return a;
}

// Runs `op` on a worker thread while another thread holds the monitor of
// `object`. True when the operation did not finish while the monitor was
// held and did finish once it was free. A correct operation always passes;
// one that does not take the monitor finishes within the grace time and fails.
inline bool waitsForMonitor(lang::Object* object, const std::function<void()>& op)
{
    using namespace std::chrono_literals;
    std::atomic<bool> held{false};
    std::atomic<bool> letGo{false};
    std::atomic<bool> done{false};
    std::thread holder([&] {
        object->lock();
        held = true;
        while (!letGo)
            std::this_thread::sleep_for(1ms);
        object->unlock();
    });
    while (!held)
        std::this_thread::sleep_for(1ms);
    std::thread worker([&] {
        op();
        done = true;
    });
    std::this_thread::sleep_for(60ms);
    bool finishedWhileHeld = done;
    letGo = true;
    holder.join();
    worker.join();
    return !finishedWhileHeld && done;
}

} // namespace spritetest
