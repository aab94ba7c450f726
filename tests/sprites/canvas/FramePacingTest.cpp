// The canvas's frame loop on the fake clock: at most one 40 ms logic frame
// per tick, a skipped paint one frame behind, a dropped backlog, paints only
// after a change, the debug freeze, and sprites leaving the list mid-frame.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/sprites/support/TestSprite.h"

#include "core/lang/System.h"
#include "sprites/transitions/TransitionBase.h"
#include "sprites/transitions/TransitionFactory.h"

#include <functional>

namespace {

using canvastest::CanvasTest;
using spritetest::TestSprite;
using window::Event;

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
}

INSTANTIATE_TEST_SUITE_P(Ticks, SingleTickPacing,
                         ::testing::Values(OneTick{39, 0, 0, 0, 0.039},  // not yet a period
                                           OneTick{40, 1, 1, 0, 0.0},    // exactly one period
                                           OneTick{85, 1, 0, 1, 0.045},  // one behind: no paint
                                           OneTick{125, 1, 1, 0, 0.0})); // two behind: dropped

TEST_F(CanvasTest, SixteenMillisecondTicksGiveTwentyFiveFramesASecond)
{
    world.tick(100);
    EXPECT_EQ(canvas->frames, 0) << "nothing before start";
    canvas->start();
    std::vector<int> framesAfter;
    for (int i = 0; i < 250; ++i) {
        int before = canvas->frames;
        world.tick(16);
        ASSERT_LE(canvas->frames - before, 1) << "tick " << i;
        framesAfter.push_back(canvas->frames);
    }
    EXPECT_EQ(canvas->frames, 100);
    framesAfter.resize(10);
    EXPECT_EQ(framesAfter, (std::vector<int>{0, 0, 1, 1, 2, 2, 2, 3, 3, 4}));
}

TEST_F(CanvasTest, APaintRunsOnlyAfterSomethingChanged)
{
    TestSprite* s = world.add("Mover", new TestSprite(100, 100, 10, 10));
    canvas->start();
    world.runFrames(4);
    EXPECT_EQ(canvas->paints, 1) << "start marks the canvas dirty, then nothing moves";
    s->setDestination(200, 100, 4);
    world.runFrames(6);
    EXPECT_EQ(canvas->paints, 5);
}

TEST_F(CanvasTest, DebugKeysFreezeTheFramesAndStepThemOneByOne)
{
    canvas->start();
    world.post(Event::KEY_DOWN, 0, 0, Event::F1);
    world.tick(40);
    EXPECT_FALSE(sprite::GameCanvas3::isFrozen()) << "only in debug mode";
    lang::System::setDebugMode(true);
    world.post(Event::KEY_DOWN, 0, 0, Event::F1);
    world.tick(40);
    EXPECT_TRUE(sprite::GameCanvas3::isFrozen());
    canvas->setDirty(true);
    world.tick(40);
    EXPECT_EQ(canvas->frames, 1);
    EXPECT_EQ(canvas->paints, 2) << "frozen, a dirty canvas still paints";
    for (int key : {Event::RIGHT, Event::DOWN, Event::LEFT})
        world.post(Event::KEY_DOWN, 0, 0, key);
    world.tick(10);
    EXPECT_EQ(canvas->frames, 3) << "right and down step, left does not";
    world.post(Event::KEY_DOWN, 0, 0, Event::F1);
    world.tick(40);
    EXPECT_EQ(canvas->frames, 4);
    lang::System::setDebugMode(false);
}

// A sprite that notes the frames it is ticked in.
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
    a->onTick = [&] {
        if (canvas->getFrameCounter() == 1)
            canvas->removeSprite(b);
    };
    canvas->start();
    world.runFrames(3);
    EXPECT_FALSE(b->isVisible());
    EXPECT_EQ(canvas->getSprite("B"), nullptr);
    EXPECT_EQ(canvas->getChildCount(), 1);
    EXPECT_EQ(b->ticked, (std::vector<int>{0, 1})) << "still ticked in the frame it was removed in";
    EXPECT_EQ(a->ticked.size(), 3u);
}

TEST_F(CanvasTest, ASpriteWithATransitionOfItsOwnStepsItInsteadOfItsPlainTick)
{
    FrameProbe* plain = world.add("Plain", new FrameProbe(10, 10, 4, 4));
    FrameProbe* coming = world.add("Coming", new FrameProbe(50, 50, 4, 4));
    sprite::TransitionBase* wipe = sprite::TransitionFactory::create(100, *coming->getBounds(), false, 24);
    coming->show(true, wipe);
    wipe->advanceCapture();
    wipe->release();
    canvas->start();
    world.runFrames(2);
    EXPECT_EQ(plain->ticked.size(), 2u);
    EXPECT_TRUE(coming->ticked.empty());
    EXPECT_TRUE(canvas->isDirty() || canvas->paints > 0) << "the transition's steps change the picture";
}

TEST_F(CanvasTest, TheFrameWalkStopsAtTheEndOfAListThatShrankUnderIt)
{
    FrameProbe* a = world.add("A", new FrameProbe(10, 10, 4, 4));
    FrameProbe* b = world.add("B", new FrameProbe(20, 20, 4, 4));
    FrameProbe* c = world.add("C", new FrameProbe(30, 30, 4, 4));
    b->onTick = [&] {
        world.root->removeElement(a);
        world.root->removeElement(c);
    };
    canvas->start();
    world.runFrames(1);
    EXPECT_EQ(b->ticked.size(), 1u);
    EXPECT_TRUE(c->ticked.empty());
}

TEST_F(CanvasTest, AddSpriteMovesASpriteAndAddSpriteBehindPutsItUnderAnother)
{
    TestSprite* a = world.add("A", new TestSprite(0, 0, 1, 1));
    TestSprite* b = world.add("B", new TestSprite(0, 0, 1, 1));
    TestSprite* c = world.add("C", new TestSprite(0, 0, 1, 1));
    canvas->addSprite("Renamed", a, 99);
    canvas->addSpriteBehind("C", c, b);
    std::vector<sprite::SpriteBase*> order;
    for (int i = 0; sprite::SpriteBase* s = canvas->childAt(i); ++i) {
        order.push_back(s);
        s->release();
    }
    EXPECT_EQ(order, (std::vector<sprite::SpriteBase*>{c, b, a}));
    EXPECT_EQ(canvas->getSprite("A"), nullptr);
    EXPECT_EQ(canvas->getSprite("Renamed"), a);
}

} // namespace
