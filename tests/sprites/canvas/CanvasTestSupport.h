// CanvasTestSupport.h: a canvas that records the commands reaching its
// handler and counts its frames and paints, a clip that records what the
// canvas asks of it, and fixtures that run the canvas on the fake clock,
// with or without the headless window around it.
#pragma once

#include "core/util/Hashtable.h"
#include "core/util/Vector.h"
#include "platform/kernel/Clock.h"
#include "sound/clip/AudioClip.h"
#include "sprites/canvas/GameCanvas3.h"
#include "tests/windowing/window/WindowTestSupport.h"
#include "windowing/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace canvastest {

class TestCanvas : public sprite::GameCanvas3 {
public:
    struct Action {
        lang::Object* receiver;
        std::string command;
    };

    void handleAction(lang::Object* receiver, lang::String* command) override
    {
        actions.push_back({receiver, command ? command->c_str() : "<null>"});
        GameCanvas3::handleAction(receiver, command);
    }
    void doFrame() override
    {
        ++frames;
        GameCanvas3::doFrame();
    }
    // Counts the paints; draws only when asked (a paint needs the window).
    void paint() override
    {
        ++paints;
        if (drawsPaints)
            GameCanvas3::paint();
        else
            m_bDirty = false;
    }
    void onTransitionFinished() override { ++transitionsFinished; }
    void afterTransitionPaint(int layer) override { capturedLayers.push_back(layer); }

    // The commands seen so far, in order.
    std::vector<std::string> commands() const
    {
        std::vector<std::string> out;
        for (const Action& a : actions)
            out.push_back(a.command);
        return out;
    }

    static void forgetShowPosted() { s_bShowPosted = false; }
    // The client size a window would give it.
    void setClientSize(int width, int height) { m_size = util::Dimension(width, height); }

    std::vector<Action> actions;
    std::vector<int> capturedLayers;
    int frames = 0;
    int paints = 0;
    int transitionsFinished = 0;
    bool drawsPaints = false;
};

// A clip that notes the canvas's calls; fades run as the clip's own.
class RecordingClip : public window::AudioClip {
public:
    void play() override { calls.push_back("play"); }
    void loop() override { calls.push_back("loop"); }
    void stop() override { calls.push_back("stop"); }
    void pause() override { calls.push_back("pause"); }
    void fadeVolume(int target, int steps, bool pauseAtEnd) override
    {
        calls.push_back("fadeVolume " + std::to_string(target) + " " + std::to_string(steps) + " " +
                        (pauseAtEnd ? "1" : "0"));
        AudioClip::fadeVolume(target, steps, pauseAtEnd);
    }
    void fadePitch(float target, int steps) override
    {
        calls.push_back("fadePitch " + std::to_string(target) + " " + std::to_string(steps));
        AudioClip::fadePitch(target, steps);
    }
    bool updateFades(int frame) override
    {
        ++updates;
        return AudioClip::updateFades(frame);
    }

    std::vector<std::string> calls;
    int updates = 0;
};

// A canvas on the fake clock with an empty root list and name table, as a
// manifest load leaves them.
class CanvasWorld {
public:
    CanvasWorld()
    {
        // The clock first: the canvas's timer reads its frequency when made.
        platform::setClock(&clock);
        sprite::GameCanvas3::setFrozen(false);
        canvas = new TestCanvas();
        root = new util::Vector(10);
        names = new util::Hashtable();
        names->setStringKeys(true);
        canvas->takeLoadedData(root, names, nullptr, nullptr, nullptr);
    }
    ~CanvasWorld()
    {
        canvas->release();
        root->release();
        names->release();
        for (lang::Object* o : made)
            o->release();
        sprite::GameCanvas3::setFrozen(false);
        platform::setClock(nullptr);
    }
    CanvasWorld(const CanvasWorld&) = delete;
    CanvasWorld& operator=(const CanvasWorld&) = delete;

    // Adds the sprite on top of the root list; the world keeps the creation
    // reference until the end of the test.
    template <class T>
    T* add(const char* name, T* sprite)
    {
        canvas->addSprite(name, sprite, -1);
        made.push_back(sprite);
        return sprite;
    }

    // Advances the clock and runs one timer tick.
    void tick(int milliseconds)
    {
        clock.advance(uint32_t(milliseconds));
        canvas->onTimer();
    }

    // Runs ticks of 40 ms until `count` more logic frames have run.
    void runFrames(int count)
    {
        int target = canvas->frames + count;
        while (canvas->frames < target)
            tick(sprite::GameCanvas3::FRAME_PERIOD_MS);
    }

    // A new event of that type at (x, y), posted to the canvas.
    bool post(int id, int x, int y, int key = 0, int clickCount = 1)
    {
        auto* e = new window::Event(canvas, id, canvas);
        e->x = x;
        e->y = y;
        e->key = key;
        e->clickCount = clickCount;
        bool posted = canvas->postEvent(e);
        e->release();
        return posted;
    }

    // A press and a release at (x, y), each taken on its own tick.
    void click(int x, int y)
    {
        post(window::Event::MOUSE_DOWN, x, y);
        tick(16);
        post(window::Event::MOUSE_UP, x, y);
        tick(16);
    }

    platform::FakeClock clock{50000};
    TestCanvas* canvas = nullptr;
    util::Vector* root = nullptr;
    util::Hashtable* names = nullptr;
    std::vector<lang::Object*> made;
};

class CanvasTest : public ::testing::Test {
protected:
    CanvasWorld world;
    TestCanvas* canvas = world.canvas;
};

// The canvas as the game has it: the child of an 800 x 600 frame on the
// headless window layer, with the keyboard focus.
class WindowedCanvasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::useHeadlessBackend();
        platform::resetWindowLayer();
        ASSERT_TRUE(window::WindowGlobals::registerWindowClass());
        window::WindowGlobals::setFocusRequester(nullptr);
        window::WindowGlobals::setQuitting(false);
        window::WindowGlobals::setMainThreadId(GetCurrentThreadId());
        frame = new windowtest::ProbeFrame(800, 600);
        util::RectangleNM bounds(0, 0, 800, 600);
        ASSERT_TRUE(frame->create(nullptr, &bounds));
        ShowWindow(frame->getHWND(), SW_SHOW);
        ASSERT_TRUE(canvas->create(frame, &bounds));
        canvas->setVisible(true);
        canvas->requestFocus();
        windowtest::pump();
        canvas->drawsPaints = true;
    }

    void TearDown() override
    {
        // The window's own reference goes with the window.
        if (canvas->getHWND())
            DestroyWindow(canvas->getHWND());
        frame->closeDestroys = true;
        DestroyWindow(frame->getHWND());
        frame->release();
        windowtest::pump();
        platform::resetWindowLayer();
        window::WindowGlobals::setQuitting(false);
    }

    // The colour at (x, y) of the last frame the canvas drew.
    uint32_t pixelAt(int x, int y)
    {
        // The read-back copies from the buffer's top-left corner.
        std::vector<uint32_t> pixels(size_t(800) * 600, 0);
        window::Graphics* g = canvas->getGraphics();
        g->getBackBuffer(0, 0, 800, 600, pixels.data());
        g->release();
        return pixels[size_t(y) * 800 + size_t(x)];
    }

    CanvasWorld world;
    TestCanvas* canvas = world.canvas;
    windowtest::ProbeFrame* frame = nullptr;
};

} // namespace canvastest
