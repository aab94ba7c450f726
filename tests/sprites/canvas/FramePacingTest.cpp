// The canvas's frame loop on the fake clock: at most one 40 ms logic frame
// per 16 ms tick, a skipped paint one frame behind, a dropped backlog, paints
// only when something changed, the debug freeze, and what one frame runs.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/sprites/support/TestSprite.h"

#include "core/lang/System.h"
#include "sprites/transitions/TransitionBase.h"
#include "sprites/transitions/TransitionFactory.h"
#include "windowing/window/Event.h"

#include <functional>

namespace {

using canvastest::CanvasTest;
using spritetest::TestSprite;

TEST_F(CanvasTest, BeforeStartTicksRunNothingAndInputIsRefused)
{
    world.tick(200);
    EXPECT_EQ(canvas->frames, 0);
    EXPECT_EQ(canvas->paints, 0);
    EXPECT_FALSE(world.post(window::Event::MOUSE_DOWN, 1, 1));
}

struct OneTick {
    int milliseconds;
    int frames;
    int paints;
    int behind;
    double carry;
};

class SingleTickPacing : public CanvasTest, public ::testing::WithParamInterface<OneTick> {};

TEST_P(SingleTickPacing, RunsAtMostOneFrameAndPaintsUnlessOneBehind)
{
    const OneTick& c = GetParam();
    canvas->start();
    world.tick(c.milliseconds);
    EXPECT_EQ(canvas->frames, c.frames);
    EXPECT_EQ(canvas->paints, c.paints);
    EXPECT_EQ(canvas->getBehind(), c.behind);
    EXPECT_NEAR(canvas->getCarry(), c.carry, 1e-9);
    EXPECT_EQ(canvas->getFrameCounter(), c.frames);
}

INSTANTIATE_TEST_SUITE_P(Ticks, SingleTickPacing,
                         ::testing::Values(OneTick{39, 0, 0, 0, 0.039},  // not yet a period
                                           OneTick{40, 1, 1, 0, 0.0},    // exactly one period
                                           OneTick{85, 1, 0, 1, 0.045},  // one behind: no paint
                                           OneTick{125, 1, 1, 0, 0.0})); // two behind: dropped

TEST_F(CanvasTest, SixteenMillisecondTicksGiveTwentyFiveFramesASecond)
{
    canvas->start();
    std::vector<int> framesAfter;
    for (int i = 0; i < 250; ++i) {
        int before = canvas->frames;
        world.tick(16);
        ASSERT_LE(canvas->frames - before, 1) << "tick " << i;
        if (i < 10)
            framesAfter.push_back(canvas->frames);
    }
    EXPECT_EQ(canvas->frames, 100);
    // 48 ms after three ticks, 80 ms after five: the pattern repeats.
    EXPECT_EQ(framesAfter, (std::vector<int>{0, 0, 1, 1, 2, 2, 2, 3, 3, 4}));
}

TEST_F(CanvasTest, APaintRunsOnlyAfterSomethingChanged)
{
    TestSprite* s = world.add("Mover", new TestSprite(100, 100, 10, 10));
    canvas->start();
    world.runFrames(1);
    EXPECT_EQ(canvas->paints, 1) << "start marks the canvas dirty";
    world.runFrames(3);
    EXPECT_EQ(canvas->paints, 1) << "nothing moved";
    s->setDestination(200, 100, 4);
    world.runFrames(4);
    EXPECT_EQ(canvas->paints, 5);
    world.runFrames(2);
    EXPECT_EQ(canvas->paints, 5);
}

TEST_F(CanvasTest, FrozenCanvasRunsNoFrameButStillPaints)
{
    canvas->start();
    sprite::GameCanvas3::setFrozen(true);
    world.tick(40);
    EXPECT_EQ(canvas->paints, 1) << "dirty from start";
    world.tick(40);
    EXPECT_EQ(canvas->paints, 1);
    canvas->setDirty(true);
    world.tick(40);
    EXPECT_EQ(canvas->frames, 0);
    EXPECT_EQ(canvas->paints, 2);
}

TEST_F(CanvasTest, DebugKeysFreezeAndStepSingleFrames)
{
    lang::System::setDebugMode(true);
    canvas->start();
    world.post(window::Event::KEY_DOWN, 0, 0, window::Event::F1);
    world.tick(10);
    EXPECT_TRUE(sprite::GameCanvas3::isFrozen());
    world.tick(40);
    EXPECT_EQ(canvas->frames, 0);
    world.post(window::Event::KEY_DOWN, 0, 0, window::Event::RIGHT);
    world.post(window::Event::KEY_DOWN, 0, 0, window::Event::DOWN);
    world.post(window::Event::KEY_DOWN, 0, 0, window::Event::LEFT);
    world.tick(10);
    EXPECT_EQ(canvas->frames, 2) << "right and down step, left does not";
    world.post(window::Event::KEY_DOWN, 0, 0, window::Event::F1);
    world.tick(40);
    EXPECT_FALSE(sprite::GameCanvas3::isFrozen());
    EXPECT_EQ(canvas->frames, 3);
    lang::System::setDebugMode(false);
}

TEST_F(CanvasTest, WithoutDebugModeF1IsAnOrdinaryKey)
{
    lang::System::setDebugMode(false);
    canvas->start();
    world.post(window::Event::KEY_DOWN, 0, 0, window::Event::F1);
    world.tick(40);
    EXPECT_FALSE(sprite::GameCanvas3::isFrozen());
    EXPECT_EQ(canvas->frames, 1);
}

TEST_F(CanvasTest, StopEndsTheFramesAndEmptiesTheQueue)
{
    canvas->start();
    EXPECT_TRUE(world.post(window::Event::MOUSE_DOWN, 5, 5));
    canvas->stop();
    EXPECT_FALSE(world.post(window::Event::MOUSE_DOWN, 5, 5));
    world.tick(100);
    EXPECT_EQ(canvas->frames, 0);
    EXPECT_TRUE(canvas->actions.empty());
}

// A sprite that notes the frames it is ticked in and whether it was still in
// the root list then.
class FrameProbe : public TestSprite {
public:
    using TestSprite::TestSprite;
    bool tick(int frame, util::RectangleNM* bounds, util::Region* region) override
    {
        ticked.push_back(frame);
        if (onTick)
            onTick();
        return TestSprite::tick(frame, bounds, region);
    }
    std::vector<int> ticked;
    std::function<void()> onTick;
};

TEST_F(CanvasTest, ARemovedSpriteIsHiddenAtOnceAndLeavesTheListAtTheFrameEnd)
{
    FrameProbe* a = world.add("A", new FrameProbe(10, 10, 4, 4));
    FrameProbe* b = world.add("B", new FrameProbe(20, 20, 4, 4));
    // A removes B during the frame: B is hidden, still ticked this frame.
    a->onTick = [&] {
        if (canvas->getFrameCounter() == 1)
            canvas->removeSprite(b);
    };
    canvas->start();
    world.runFrames(2);
    EXPECT_FALSE(b->isVisible());
    EXPECT_EQ(canvas->getSprite("B"), nullptr);
    EXPECT_EQ(canvas->getChildCount(), 1);
    EXPECT_EQ(b->ticked, (std::vector<int>{0, 1}));
    world.runFrames(1);
    EXPECT_EQ(a->ticked, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(b->ticked.size(), 2u);
}

TEST_F(CanvasTest, TheFrameWalkStopsAtTheEndOfAListThatShrankUnderIt)
{
    FrameProbe* a = world.add("A", new FrameProbe(10, 10, 4, 4));
    FrameProbe* b = world.add("B", new FrameProbe(20, 20, 4, 4));
    FrameProbe* c = world.add("C", new FrameProbe(30, 30, 4, 4));
    // B takes A and C straight out of the list while the frame walks it.
    b->onTick = [&] {
        world.root->removeElement(a);
        world.root->removeElement(c);
    };
    canvas->start();
    world.runFrames(1);
    EXPECT_EQ(a->ticked.size(), 1u);
    EXPECT_EQ(b->ticked.size(), 1u);
    EXPECT_TRUE(c->ticked.empty());
    EXPECT_EQ(canvas->getChildCount(), 1);
}

TEST_F(CanvasTest, TheRunningTransitionStepsEachFrameAndMarksTheCanvasDirty)
{
    sprite::TransitionBase* t = sprite::TransitionFactory::createFullScreen(100, 5);
    ASSERT_NE(t, nullptr);
    canvas->setTransition(t);
    EXPECT_TRUE(canvas->isCapturePending());
    EXPECT_TRUE(canvas->isOverlayShowing());
    EXPECT_FALSE(canvas->isTransitionRunning()) << "it waits for its picture";
    canvas->start();
    world.runFrames(1);
    EXPECT_EQ(t->getFrame(), 0) << "still capturing: no step";
    // Captured (by hand here): it runs and finishes after its five frames.
    t->advanceCapture();
    EXPECT_TRUE(canvas->isTransitionRunning());
    world.runFrames(6);
    EXPECT_TRUE(t->isFinished());
    EXPECT_FALSE(canvas->isOverlayShowing());
    t->release();
}

} // namespace
