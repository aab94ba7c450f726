// Drawing sprites through a recording graphics: what is drawn, in which
// order and through which clip; and showing and hiding sprites through
// transitions: the sprite's picture handed to the transition, the
// transition painted in its place, and the end of the transition.
#include "tests/sprites/support/RecordingGraphics.h"
#include "tests/sprites/support/TestSprite.h"

#include "sprites/transitions/TransitionFactory.h"
#include "sprites/transitions/TransitionScale.h"
#include "sprites/transitions/TransitionWipe.h"

#include <gtest/gtest.h>

#include <vector>

using sprite::SpriteBase;
using sprite::TransitionBase;
using spritetest::RecordingGraphics;
using spritetest::RecordingReceiver;
using spritetest::TestSprite;

namespace {

class SpriteDrawTest : public ::testing::Test {
protected:
    void SetUp() override { g = new RecordingGraphics(); }
    void TearDown() override
    {
        for (TestSprite* s : sprites)
            s->release();
        g->release();
        command->release();
    }
    TestSprite* make(int x, int y, int w, int h, uint32_t colour = 0xFF00FF00u)
    {
        TestSprite* s = new TestSprite(x, y, w, h, colour);
        s->setAction(&receiver, command);
        sprites.push_back(s);
        return s;
    }

    RecordingGraphics* g = nullptr;
    std::vector<TestSprite*> sprites;
    RecordingReceiver receiver;
    lang::String* command = new lang::String("shown");
};

TEST_F(SpriteDrawTest, AShowingSpritePaintsInADerivedContext)
{
    TestSprite* s = make(50, 40, 20, 10, 0xFF123456u);
    s->draw(g);
    EXPECT_EQ(std::vector<std::string>({"create", "fillRectAlpha", "dispose"}), g->ops());
    RecordingGraphics::Call fill = g->calls[1];
    EXPECT_EQ(40, fill.x);
    EXPECT_EQ(35, fill.y);
    EXPECT_EQ(20, fill.w);
    EXPECT_EQ(0xFF123456u, fill.argb);
    EXPECT_EQ(1, g->getRefCount());
    EXPECT_EQ(nullptr, g->getStateStack());
}

TEST_F(SpriteDrawTest, HiddenOrEmptySpritesDrawNothing)
{
    TestSprite* hidden = make(50, 40, 20, 10);
    hidden->setVisible(false);
    TestSprite* empty = make(50, 40, 0, 10);
    hidden->draw(g);
    empty->draw(g);
    EXPECT_TRUE(g->calls.empty());
}

TEST_F(SpriteDrawTest, SpritesDrawInTheOrderTheyAreDrawnOneOverTheOther)
{
    TestSprite* bottom = make(10, 10, 5, 5, 0xFF000001u);
    TestSprite* middle = make(12, 12, 5, 5, 0xFF000002u);
    TestSprite* top = make(14, 14, 5, 5, 0xFF000003u);
    for (TestSprite* s : {bottom, middle, top})
        s->draw(g);
    std::vector<RecordingGraphics::Call> fills = g->ofOp("fillRectAlpha");
    ASSERT_EQ(3u, fills.size());
    EXPECT_EQ(0xFF000001u, fills[0].argb);
    EXPECT_EQ(0xFF000002u, fills[1].argb);
    EXPECT_EQ(0xFF000003u, fills[2].argb);
}

TEST_F(SpriteDrawTest, TheClipRectangleClipsTheDerivedContextOnly)
{
    TestSprite* s = make(50, 40, 20, 10);
    util::RectangleNM clip(45, 0, 100, 100);
    s->setClipRect(&clip);
    s->draw(g);
    EXPECT_EQ(std::vector<std::string>({"create", "clipRect", "fillRectAlpha", "dispose"}), g->ops());
    EXPECT_EQ(45, g->calls[1].x);
    EXPECT_EQ(100, g->calls[1].h);
    // The clip was part of the derived context's state.
    EXPECT_EQ(0, g->getClipRect().width);
}

TEST_F(SpriteDrawTest, AHideThroughAWipeCapturesTheSpriteThenWipesItAway)
{
    TestSprite* s = make(50, 40, 20, 10, 0xFF00AA00u);
    s->showWithTransition(false, 100);
    TransitionBase* t = s->getTransition();
    ASSERT_NE(nullptr, t);
    EXPECT_TRUE(t->isInstanceOf("TransitionWipe"));
    EXPECT_EQ(SpriteBase::TRANSITION_HIDING, s->getTransitionMode());
    EXPECT_TRUE(s->isVisible());
    EXPECT_TRUE(s->drawsThroughTransition());
    EXPECT_FALSE(s->isTransitioning());
    // Over the sprite's bounds, for 24 frames.
    EXPECT_EQ(40, t->getLayerPosition(0)->x);
    EXPECT_EQ(35, t->getLayerPosition(0)->y);
    EXPECT_EQ(20, t->getLayerRect(0)->width);
    EXPECT_EQ(24, t->getFrames());

    // Waiting for the picture: ticks do nothing.
    EXPECT_FALSE(s->tickTransition(1, nullptr, nullptr));
    EXPECT_EQ(0, t->getFrame());

    // The prepare pass draws the sprite into a picture of its size, with
    // the box's corner at the picture's origin.
    s->prepareTransition(g);
    EXPECT_EQ(std::vector<std::string>(
                  {"beginRenderToImage", "create", "fillRectAlpha", "dispose", "endRenderToImage"}),
              g->ops());
    EXPECT_EQ(20, g->calls[0].w);
    EXPECT_EQ(10, g->calls[0].h);
    RecordingGraphics::Call fill = g->calls[2];
    EXPECT_EQ(40, fill.x);
    EXPECT_EQ(-40, fill.translateX);
    EXPECT_EQ(-35, fill.translateY);
    window::ImageBase* picture = t->getLayerImage(0);
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(picture, g->calls[4].image);
    EXPECT_EQ(20, picture->getWidth());
    EXPECT_EQ(0, g->getTranslateX());
    EXPECT_FALSE(t->isCapturing());
    EXPECT_TRUE(t->isOverlay());
    EXPECT_TRUE(s->isTransitioning());

    // Drawn: the transition's picture in place of the sprite, blended.
    g->calls.clear();
    s->draw(g);
    EXPECT_EQ(std::vector<std::string>({"create", "drawImageCentered", "dispose"}), g->ops());
    EXPECT_EQ(picture, g->calls[1].image);
    EXPECT_EQ(50, g->calls[1].x);
    EXPECT_EQ(40, g->calls[1].y);
    // Painted once, into the picture; not since.
    EXPECT_EQ(1, s->paints);

    // 20 / 24 = 0 pixels a frame: the wipe only runs its frames.
    for (int frame = 2; frame <= 25; ++frame)
        ASSERT_TRUE(s->tickTransition(frame, nullptr, nullptr)) << frame;
    EXPECT_TRUE(s->isVisible());
    EXPECT_TRUE(receiver.received.empty());
    EXPECT_TRUE(s->tickTransition(26, nullptr, nullptr));
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(nullptr, s->getTransition());
    EXPECT_EQ(SpriteBase::TRANSITION_NONE, s->getTransitionMode());
    ASSERT_EQ(1u, receiver.received.size());
    EXPECT_EQ("shown", receiver.received[0].command);
}

TEST_F(SpriteDrawTest, AShowThroughATransitionLeavesTheSpriteVisible)
{
    TestSprite* s = make(50, 40, 20, 10);
    s->setVisible(false);
    TransitionBase* t = sprite::TransitionFactory::create(102, *s->getBounds(), false, 2);
    t->setReverse(true);
    s->show(true, t);
    EXPECT_EQ(2, t->getRefCount());
    t->release();
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(SpriteBase::TRANSITION_SHOWING, s->getTransitionMode());
    s->prepareTransition(g);
    for (int frame = 1; frame <= 3; ++frame)
        s->tickTransition(frame, nullptr, nullptr);
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(nullptr, s->getTransition());
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(SpriteDrawTest, APingPongTransitionSendsTheActionAtItsRestartAndItsEnd)
{
    TestSprite* s = make(50, 40, 20, 10);
    TransitionBase* t = sprite::TransitionFactory::create(100, *s->getBounds(), false, 2);
    t->setPingPong(true);
    s->show(true, t);
    t->release();
    s->prepareTransition(g);
    for (int frame = 1; frame <= 3; ++frame)
        s->tickTransition(frame, nullptr, nullptr);
    EXPECT_EQ(1u, receiver.received.size());
    EXPECT_NE(nullptr, s->getTransition());
    for (int frame = 4; frame <= 6; ++frame)
        s->tickTransition(frame, nullptr, nullptr);
    EXPECT_EQ(2u, receiver.received.size());
    EXPECT_EQ(nullptr, s->getTransition());
}

TEST_F(SpriteDrawTest, ATransitionThatGetsNoPictureStillRuns)
{
    TestSprite* s = make(50, 40, 20, 10);
    g->canRenderToImage = false;
    s->showWithTransition(false, 200);
    s->prepareTransition(g);
    EXPECT_FALSE(s->drawsThroughTransition());
    EXPECT_TRUE(s->isTransitioning());
    g->calls.clear();
    s->draw(g);
    EXPECT_TRUE(g->ofOp("drawImageCentered").empty());
    EXPECT_EQ(0, s->paints);
    for (int frame = 1; frame <= 25; ++frame)
        s->tickTransition(frame, nullptr, nullptr);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(SpriteDrawTest, AnUnknownTransitionTypeShowsOrHidesAtOnce)
{
    TestSprite* s = make(50, 40, 20, 10);
    s->showWithTransition(false, 150);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(nullptr, s->getTransition());
    EXPECT_EQ(SpriteBase::TRANSITION_NONE, s->getTransitionMode());
    s->tick(1, nullptr, nullptr);
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(SpriteDrawTest, AScaleTransitionMovesScalesAndFadesTheSpriteItself)
{
    TestSprite* s = make(0, 0, 20, 10);
    sprite::TransitionScale* t =
        new sprite::TransitionScale(4, 10, 10, 30, 50, 0.5f, 1.0f, 0.5f, 1, 1, 1, 1, 0, 0);
    s->show(true, t);
    t->release();
    // The start values apply at once.
    EXPECT_EQ(10, s->getX());
    EXPECT_EQ(10, s->getY());
    EXPECT_DOUBLE_EQ(0.5, s->getScaleX());
    EXPECT_EQ(0, s->getAlpha());
    EXPECT_FALSE(s->drawsThroughTransition());
    EXPECT_TRUE(s->isTransitioning());

    // Not drawn yet: nothing steps.
    s->tickTransition(1, nullptr, nullptr);
    EXPECT_EQ(0, t->getFrame());
    EXPECT_EQ(10, s->getX());

    // Drawn as itself, which readies the transition.
    s->draw(g);
    EXPECT_EQ(1, s->paints);
    std::vector<int> xs, ys, alphas;
    for (int frame = 2; frame <= 5; ++frame) {
        EXPECT_TRUE(s->tickTransition(frame, nullptr, nullptr));
        xs.push_back(s->getX());
        ys.push_back(s->getY());
        alphas.push_back(s->getAlpha());
    }
    EXPECT_EQ(std::vector<int>({15, 20, 25, 30}), xs);
    EXPECT_EQ(std::vector<int>({20, 30, 40, 50}), ys);
    // Fading in over 2 of the 4 frames.
    EXPECT_EQ(std::vector<int>({64, 128, 128, 128}), alphas);
    EXPECT_NEAR(1.0, s->getScaleX(), 1e-6);
    EXPECT_TRUE(receiver.received.empty());

    EXPECT_TRUE(s->tickTransition(6, nullptr, nullptr));
    EXPECT_EQ(nullptr, s->getTransition());
    EXPECT_EQ(30, s->getX());
    EXPECT_EQ(50, s->getY());
    EXPECT_DOUBLE_EQ(1.0, s->getScaleX());
    EXPECT_EQ(128, s->getAlpha());
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(1u, receiver.received.size());
}

} // namespace
