// The scale transition: even whole-pixel moves with their carries, the
// scale step with bounce, the fade in and out, the ready handshake, and the
// start and end values.
#include "sprites/transitions/TransitionScale.h"

#include <gtest/gtest.h>

#include <vector>

using sprite::TransitionScale;

namespace {

struct Current {
    int x, y;
    float sx, sy;
    int alpha;
};

Current current(TransitionScale* t)
{
    Current c{};
    t->getCurrent(c.x, c.y, c.sx, c.sy, c.alpha);
    return c;
}

// A started run, drawn once so that it steps.
TransitionScale* run(int frames, int x0, int y0, int x1, int y1, float s0, float s1, float fade, int bounce = 0)
{
    TransitionScale* t = new TransitionScale(frames, x0, y0, x1, y1, s0, s1, fade, 1, 1, 1, 1, 0, bounce);
    t->begin();
    t->reset();
    t->setReady(true);
    return t;
}

TEST(TransitionScaleTest, TwentySevenPixelsOverTenFramesGoInStepsOfTwoAndThree)
{
    TransitionScale* t = run(10, 0, 0, 27, 0, 1.0f, 1.0f, 0.0f);
    // 27 / 10 = 2.7; the remainder 7 carries one more pixel whenever the
    // gathered remainder reaches 10: after frames 2, 3, 5, 6, 8, 9 and 10.
    std::vector<int> steps;
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(1, t->step());
        Current c = current(t);
        steps.push_back(c.x);
        sum += c.x;
        EXPECT_EQ(0, c.y);
        EXPECT_EQ(128, c.alpha);
    }
    EXPECT_EQ(std::vector<int>({2, 3, 3, 2, 3, 3, 2, 3, 3, 3}), steps);
    EXPECT_EQ(27, sum);
    EXPECT_EQ(4, t->step());
    t->release();
}

TEST(TransitionScaleTest, MovesBackwardCarryTheOtherWay)
{
    TransitionScale* t = run(10, 27, 40, 0, 0, 1.0f, 1.0f, 0.0f);
    int sumX = 0, sumY = 0;
    for (int i = 0; i < 10; ++i) {
        t->step();
        Current c = current(t);
        EXPECT_TRUE(c.x == -2 || c.x == -3) << c.x;
        EXPECT_EQ(-4, c.y);
        sumX += c.x;
        sumY += c.y;
    }
    EXPECT_EQ(-27, sumX);
    EXPECT_EQ(-40, sumY);
    t->release();
}

TEST(TransitionScaleTest, AGrowingSpriteFadesInOverTheFractionOfTheRun)
{
    TransitionScale* t = run(20, 0, 0, 0, 0, 0.1f, 1.0f, 0.5f);
    EXPECT_EQ(0, current(t).alpha);
    std::vector<int> alphas;
    for (int i = 0; i < 20; ++i) {
        t->step();
        alphas.push_back(current(t).alpha);
    }
    // Over frames 1..10: trunc(frame x 12.8), then opaque.
    EXPECT_EQ(std::vector<int>({12, 25, 38, 51, 64, 76, 89, 102, 115, 128, 128, 128, 128, 128, 128, 128, 128, 128,
                                128, 128}),
              alphas);
    // The scale grows by (1.0 - 0.1) / 20 a frame.
    EXPECT_FLOAT_EQ(0.045f, current(t).sx);
    EXPECT_FLOAT_EQ(0.045f, current(t).sy);
    t->release();
}

TEST(TransitionScaleTest, AShrinkingSpriteFadesOutOverTheLastFrames)
{
    TransitionScale* t = run(20, 0, 0, 0, 0, 1.0f, 0.1f, 0.5f);
    EXPECT_EQ(128, current(t).alpha);
    std::vector<int> alphas;
    for (int i = 0; i < 20; ++i) {
        t->step();
        alphas.push_back(current(t).alpha);
    }
    // Opaque before frame 10, then trunc((20 - frame) x 12.8) down to 0.
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(128, alphas[i]);
    EXPECT_EQ(128, alphas[9]);
    EXPECT_EQ(115, alphas[10]);
    EXPECT_EQ(64, alphas[14]);
    EXPECT_EQ(0, alphas[19]);
    t->release();
}

TEST(TransitionScaleTest, AShrinkingSpriteFadingOverTheWholeRunStillFadesOut)
{
    TransitionScale* t = run(20, 0, 0, 0, 0, 1.0f, 0.5f, 1.0f);
    t->step();
    // (20 - 1) x 128 / 20.
    EXPECT_EQ(121, current(t).alpha);
    for (int i = 0; i < 19; ++i)
        t->step();
    EXPECT_EQ(0, current(t).alpha);
    t->release();
}

TEST(TransitionScaleTest, AFadeTooShortForOneFrameJumpsToItsEndAlpha)
{
    TransitionScale* shrink = run(4, 0, 0, 0, 0, 1.0f, 0.5f, 0.1f);
    std::vector<int> alphas;
    for (int i = 0; i < 4; ++i) {
        shrink->step();
        alphas.push_back(current(shrink).alpha);
    }
    EXPECT_EQ(std::vector<int>({128, 128, 128, 0}), alphas);
    shrink->release();

    TransitionScale* grow = run(4, 0, 0, 0, 0, 0.5f, 1.0f, 0.1f);
    grow->step();
    EXPECT_EQ(128, current(grow).alpha);
    grow->release();
}

TEST(TransitionScaleTest, ItStepsOnlyOnceTheSpriteHasBeenDrawn)
{
    TransitionScale* t = new TransitionScale(5, 0, 0, 10, 0, 1.0f, 1.0f, 0.0f, 1, 1, 1, 1, 0, 0);
    t->begin();
    EXPECT_EQ(-1, t->getState());
    EXPECT_FALSE(t->isCapturing());
    EXPECT_TRUE(t->isRunning());
    EXPECT_FALSE(t->isScreenTransition());
    t->reset();
    EXPECT_EQ(2, t->step());
    EXPECT_EQ(2, t->step());
    t->setReady(true);
    EXPECT_EQ(1, t->step());
    EXPECT_EQ(1, t->getFrame());
    t->release();
}

TEST(TransitionScaleTest, ABounceOvershootsByATenthAndHoldsThreeFrames)
{
    TransitionScale* t = run(10, 0, 0, 0, 0, 1.0f, 2.0f, 0.0f, 1);
    float total = 1.0f;
    for (int i = 0; i < 9; ++i) {
        ASSERT_EQ(1, t->step());
        total += current(t).sx;
    }
    // Towards 2.2 in steps of 0.12.
    EXPECT_NEAR(1.0f + 9 * 0.12f, total, 1e-5);
    EXPECT_EQ(1, t->step());
    EXPECT_FLOAT_EQ(0.0f, current(t).sx);
    EXPECT_TRUE(t->isDone());
    EXPECT_EQ(13, t->getFrames());
    EXPECT_EQ(0, t->step());
    EXPECT_EQ(0, t->step());
    EXPECT_EQ(0, t->step());
    EXPECT_EQ(4, t->step());
    t->release();
}

TEST(TransitionScaleTest, StartAndEndValuesFollowTheDirectionOfTheFade)
{
    TransitionScale* grow = new TransitionScale(8, 1, 2, 3, 4, 0.5f, 1.5f, 0.25f, 1, 1, 1, 1, 0, 0);
    int x, y, a;
    float sx, sy;
    grow->getStart(x, y, sx, sy, a);
    EXPECT_EQ(1, x);
    EXPECT_EQ(2, y);
    EXPECT_FLOAT_EQ(0.5f, sx);
    EXPECT_FLOAT_EQ(0.5f, sy);
    EXPECT_EQ(0, a);
    grow->getEnd(x, y, sx, sy, a);
    EXPECT_EQ(3, x);
    EXPECT_EQ(4, y);
    EXPECT_FLOAT_EQ(1.5f, sx);
    EXPECT_EQ(128, a);
    EXPECT_TRUE(grow->hasStartValues());
    EXPECT_TRUE(grow->hasEndValues());
    grow->finish();
    grow->getCurrent(x, y, sx, sy, a);
    EXPECT_EQ(3, x);
    EXPECT_FLOAT_EQ(1.5f, sy);
    grow->release();

    TransitionScale* shrink = new TransitionScale(8, 0, 0, 0, 0, 1.5f, 0.5f, 0.25f, 1, 1, 1, 1, 0, 0);
    shrink->getStart(x, y, sx, sy, a);
    EXPECT_EQ(128, a);
    shrink->getEnd(x, y, sx, sy, a);
    EXPECT_EQ(0, a);
    shrink->release();

    TransitionScale* plain = new TransitionScale(8, 0, 0, 0, 0, 1.5f, 0.5f, 0.0f, 1, 1, 1, 1, 0, 0);
    plain->getStart(x, y, sx, sy, a);
    EXPECT_EQ(128, a);
    plain->getEnd(x, y, sx, sy, a);
    EXPECT_EQ(128, a);
    plain->release();
}

TEST(TransitionScaleTest, AMoveKindZeroMovesNothing)
{
    TransitionScale* t = new TransitionScale(5, 0, 0, 50, 50, 1.0f, 2.0f, 0.0f, 1, 0, 1, 1, 0, 0);
    t->reset();
    t->setReady(true);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(1, t->step());
        EXPECT_EQ(0, current(t).x);
        EXPECT_EQ(0, current(t).y);
    }
    t->release();
}

} // namespace
