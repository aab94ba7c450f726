// Painting the canvas in its window on the headless layer, read back from
// the device: the root sprites in list order, hidden sprites, a quitting
// program, the one show message, a screen transition captured from the
// painted frame and wiped off the new scene, and the lock order of the
// window's own paint.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/sprites/support/TestSprite.h"
#include "tests/support/MachinePace.h"

#include "core/lang/Synchronized.h"
#include "sprites/transitions/TransitionBase.h"
#include "sprites/transitions/TransitionFactory.h"
#include "windowing/window/WindowGlobals.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using canvastest::WindowedCanvasTest;
using spritetest::TestSprite;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;

TEST_F(WindowedCanvasTest, RootSpritesAreDrawnFirstToLastAndTheWindowShownOnce)
{
    TestSprite* under = world.add("Under", new TestSprite(100, 100, 100, 100, kRed));
    world.add("Over", new TestSprite(150, 150, 100, 100, kGreen));
    TestSprite* hidden = world.add("Hidden", new TestSprite(300, 300, 50, 50, kBlue));
    hidden->setVisible(false);
    canvastest::TestCanvas::forgetShowPosted();
    canvas->setVisible(false);
    canvas->start();
    world.runFrames(1);
    windowtest::pump();
    EXPECT_EQ(pixelAt(60, 60), kRed);
    EXPECT_EQ(pixelAt(140, 140), kGreen) << "the later sprite is on top";
    EXPECT_EQ(hidden->paints, 0);
    EXPECT_EQ(under->prepares, under->paints) << "each showing sprite is prepared before every frame drawn";
    EXPECT_EQ(hidden->prepares, 0);
    EXPECT_TRUE(canvas->isVisible()) << "shown after the first paint";
    canvas->setVisible(false);
    canvas->setDirty(true);
    world.runFrames(1);
    windowtest::pump();
    EXPECT_FALSE(canvas->isVisible()) << "once per process";

    const int drawn = under->paints;
    window::WindowGlobals::setQuitting(true);
    canvas->setDirty(true);
    world.runFrames(1);
    EXPECT_EQ(under->paints, drawn) << "nothing is drawn while the program quits";
}

TEST_F(WindowedCanvasTest, TheWindowsPaintTakesTheCanvasMonitorBeforeThePaintLock)
{
    canvas->start();
    std::atomic<bool> painted{false};
    std::atomic<bool> paintLockTaken{false};
    std::thread painter;
    std::thread other;
    {
        // Another thread holds the canvas monitor: the window's paint waits
        // for it, and must not hold the paint lock while it waits.
        lang::Synchronized canvasGuard(canvas);
        painter = std::thread([this, &painted] {
            canvas->handleMessage(WM_PAINT, 0, 0);
            painted = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        other = std::thread([&paintLockTaken] {
            lang::Synchronized paintGuard(window::WindowGlobals::paintLock());
            paintLockTaken = true;
        });
        EXPECT_TRUE(testsupport::reachedAtPace(1000, [&paintLockTaken] { return paintLockTaken.load(); }))
            << "the waiting paint holds the paint lock";
        EXPECT_FALSE(painted);
    }
    painter.join();
    other.join();
    EXPECT_TRUE(painted);
}

TEST_F(WindowedCanvasTest, AScreenTransitionCapturesThePaintedFrameAndWipesItOffTheNewScene)
{
    TestSprite* oldScene = world.add("Old", new TestSprite(400, 300, 800, 600, kRed));
    TestSprite* newScene = world.add("New", new TestSprite(400, 300, 800, 600, kGreen));
    newScene->setVisible(false);
    canvas->start();
    world.runFrames(1);
    // A left wipe of five frames: 160 pixels a frame.
    sprite::TransitionBase* wipe = sprite::TransitionFactory::createFullScreen(100, 5);
    canvas->setTransition(wipe);
    wipe->release();
    EXPECT_TRUE(canvas->isCapturePending());
    canvas->setDirty(true);
    world.runFrames(1);
    EXPECT_EQ(canvas->capturedLayers, std::vector<int>{0});
    EXPECT_TRUE(canvas->isTransitionRunning());
    oldScene->setVisible(false);
    newScene->setVisible(true);
    world.runFrames(2);
    EXPECT_EQ(pixelAt(100, 300), kRed) << "the old picture still covers the left";
    EXPECT_EQ(pixelAt(700, 300), kGreen) << "the new scene shows where it was wiped off";
    world.runFrames(4);
    EXPECT_EQ(canvas->getTransition(), nullptr);
    EXPECT_EQ(canvas->transitionsFinished, 1);
    EXPECT_EQ(pixelAt(100, 300), kGreen);
}

} // namespace
