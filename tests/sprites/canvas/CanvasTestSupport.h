// CanvasTestSupport.h: a canvas that records the commands reaching its
// handler and counts its frames and paints, a clip that records what the
// canvas asks of it, and fixtures that run the canvas on the fake clock,
// with or without the headless window around it.
#pragma once

#include "core/util/Hashtable.h"
#include "platform/kernel/Clock.h"
#include "sound/clip/AudioClip.h"
#include "sprites/canvas/GameCanvas3.h"
#include "tests/windowing/window/WindowTestSupport.h"
#include "windowing/graphics/Graphics.h"

#include <string>
#include <vector>

namespace canvastest {

class TestCanvas : public sprite::GameCanvas3 {
public:
    void handleAction(lang::Object* receiver, lang::String* command) override
    {
        receivers.push_back(receiver);
        commands.push_back(command ? command->c_str() : "<null>");
        GameCanvas3::handleAction(receiver, command);
    }
    void doFrame() override
    {
        ++frames;
        GameCanvas3::doFrame();
    }
    // Counts the paints; draws only when asked (drawing needs the window).
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
    void setClientSize(int width, int height) { m_size = util::Dimension(width, height); }
    static void forgetShowPosted() { s_bShowPosted = false; }

    std::vector<lang::Object*> receivers;
    std::vector<std::string> commands;
    std::vector<int> capturedLayers;
    int frames = 0;
    int paints = 0;
    int transitionsFinished = 0;
    bool drawsPaints = false;
};

// A clip that notes the canvas's calls; its fades run as the clip's own.
class RecordingClip : public window::AudioClip {
public:
    void play() override { calls.push_back("play"); }
    void loop() override { calls.push_back("loop"); }
    void stop() override { calls.push_back("stop"); }
    void pause() override { calls.push_back("pause"); }
    void fadeVolume(int target, int steps, bool pauseAtEnd) override
    {
        calls.push_back("fadeVolume " + std::to_string(target) + " " + std::to_string(steps) + " " +
                        std::to_string(int(pauseAtEnd)));
        AudioClip::fadeVolume(target, steps, pauseAtEnd);
    }
    void fadePitch(float target, int steps) override
    {
        calls.push_back("fadePitch " + std::to_string(target) + " " + std::to_string(steps));
        AudioClip::fadePitch(target, steps);
    }

    std::vector<std::string> calls;
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
        platform::setClock(nullptr);
    }
    CanvasWorld(const CanvasWorld&) = delete;
    CanvasWorld& operator=(const CanvasWorld&) = delete;

    // Puts the sprite on top of the root list; released at the end.
    template <class T>
    T* add(const char* name, T* sprite)
    {
        canvas->addSprite(name, sprite, -1);
        made.push_back(sprite);
        return sprite;
    }

    void tick(int milliseconds)
    {
        clock.advance(uint32_t(milliseconds));
        canvas->onTimer();
    }

    void runFrames(int count)
    {
        for (int target = canvas->frames + count; canvas->frames < target;)
            tick(sprite::GameCanvas3::FRAME_PERIOD_MS);
    }

    // Posts a new event of that type at (x, y).
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
        tick(1);
        post(window::Event::MOUSE_UP, x, y);
        tick(1);
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

// The canvas as the game has it: the full-size child of an 800 x 600 frame
// on the headless window layer, with the keyboard focus; paints draw.
class WindowedCanvasTest : public CanvasTest {
protected:
    void SetUp() override
    {
        platform::useHeadlessBackend();
        platform::resetWindowLayer();
        ASSERT_TRUE(window::WindowGlobals::registerWindowClass());
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
        DestroyWindow(canvas->getHWND());
        frame->closeDestroys = true;
        DestroyWindow(frame->getHWND());
        frame->release();
        windowtest::pump();
        platform::resetWindowLayer();
        window::WindowGlobals::setQuitting(false);
    }

    // The colour at (x, y) of the last frame drawn (read from the top-left).
    uint32_t pixelAt(int x, int y)
    {
        std::vector<uint32_t> pixels(size_t(800) * 600, 0);
        window::Graphics* g = canvas->getGraphics();
        g->getBackBuffer(0, 0, 800, 600, pixels.data());
        g->release();
        return pixels[size_t(y) * 800 + size_t(x)];
    }

    windowtest::ProbeFrame* frame = nullptr;
};

} // namespace canvastest
