// AnimateSpriteTest.cpp: frame playback tick by tick (once, backward, loops,
// ping-pong, frame rate, delay, loop hold), the action at the end of a run,
// and the animated and scaling sprites' set-up from definitions.
#include "tests/sprites/images/TestPictures.h"
#include "tests/sprites/support/TestSprite.h"

#include "core/lang/IntArray.h"
#include "core/lang/ObjectArray.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/images/ScalerSprite.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

using sprite::AnimateSprite;
using sprite::ScalerSprite;
using spritetest::RecordingReceiver;

lang::IntArray* numbers(std::initializer_list<int> values)
{
    lang::IntArray* a = new lang::IntArray;
    a->setLength(int(values.size()));
    int i = 0;
    for (int v : values)
        (*a)[i++] = v;
    return a;
}

class AnimateSpriteTest : public ::testing::Test {
protected:
    AnimateSpriteTest()
    {
        // Eight frames of 2 x 2 in a row.
        m_grid = spritetest::makePicture(16, 2, [](int x, int) { return 0xFF000000u | uint32_t(x / 2); });
        a = new AnimateSprite(m_grid, 8, 1);
        lang::String* command = new lang::String("ended");
        a->setAction(&receiver, command);
        command->release();
    }
    ~AnimateSpriteTest() override
    {
        a->release();
        m_grid->release();
    }

    // The frame after each of `count` ticks.
    std::vector<int> play(int count)
    {
        std::vector<int> frames;
        for (int i = 0; i < count; ++i) {
            a->tick(++m_frame, nullptr, nullptr);
            frames.push_back(a->getFrame());
        }
        return frames;
    }

    window::ImageWinDX* m_grid;
    AnimateSprite* a;
    RecordingReceiver receiver;
    int m_frame = 0;
};

TEST_F(AnimateSpriteTest, APlayOnceStopsOnTheLastFrameAndSendsTheAction)
{
    a->playAnimation(0, -1, 0, 1, false, 1);
    EXPECT_TRUE(a->isPlaying());
    EXPECT_TRUE(a->isAnimating());
    EXPECT_EQ(std::vector<int>({1, 2, 3, 4, 5, 6, 7}), play(7));
    EXPECT_TRUE(receiver.received.empty());
    EXPECT_EQ(std::vector<int>({7}), play(1));
    ASSERT_EQ(1u, receiver.received.size());
    EXPECT_EQ("ended", receiver.received[0].command);
    EXPECT_FALSE(a->isPlaying());
    EXPECT_FALSE(a->isAnimating());
    EXPECT_EQ(std::vector<int>({7, 7}), play(2));
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(AnimateSpriteTest, AnEndBeforeTheStartPlaysBackwardAndStopsAtTheEnd)
{
    a->playAnimation(7, 0, 0, 1, false, 1);
    EXPECT_EQ(-1, a->getFrameStep());
    EXPECT_EQ(std::vector<int>({6, 5, 4, 3, 2, 1, 0}), play(7));
    EXPECT_TRUE(receiver.received.empty());
    // The run ends on frame 0: the sprite stays on it, still showing.
    EXPECT_EQ(std::vector<int>({0, 0}), play(2));
    EXPECT_EQ(1u, receiver.received.size());
    EXPECT_FALSE(a->isPlaying());
    EXPECT_TRUE(a->isShowing());
}

TEST_F(AnimateSpriteTest, ABackwardLoopWrapsToItsStart)
{
    a->playAnimation(5, 2, 2, 1, false, 1);
    EXPECT_EQ(std::vector<int>({4, 3, 2, 5, 4, 3, 2, 2}), play(8));
    EXPECT_EQ(1u, receiver.received.size());
    EXPECT_EQ(5, a->getStartFrame());
    EXPECT_EQ(2, a->getEndFrame());
}

TEST_F(AnimateSpriteTest, LoopsPlayTheRangeThatManyTimes)
{
    a->playAnimation(0, 3, 2, 1, false, 1);
    EXPECT_EQ(std::vector<int>({1, 2, 3, 0, 1, 2, 3}), play(7));
    EXPECT_TRUE(receiver.received.empty());
    EXPECT_EQ(std::vector<int>({3, 3}), play(2));
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(AnimateSpriteTest, NegativeLoopsRunWithoutEnd)
{
    a->playAnimation(0, 3, -1, 1, false, 1);
    EXPECT_EQ(std::vector<int>({1, 2, 3, 0, 1, 2, 3, 0, 1, 2}), play(10));
    EXPECT_TRUE(receiver.received.empty());
}

TEST_F(AnimateSpriteTest, PingPongTurnsAtBothEnds)
{
    a->setPingPongsLeft(5);
    a->playAnimation(0, 3, 5, 1, true, 1);
    EXPECT_EQ(std::vector<int>({1, 2, 3, 3, 2, 1, 0, 0, 1}), play(9));
    EXPECT_EQ(4, a->getPingPongsLeft());
    EXPECT_TRUE(receiver.received.empty());
}

TEST_F(AnimateSpriteTest, FrameRateDelayAndPause)
{
    a->playAnimation(0, -1, 0, 3, false, 1);
    EXPECT_EQ(std::vector<int>({0, 0, 1, 1, 1, 2}), play(6));

    a->playAnimation(0, -1, 0, 2, false, 1);
    a->setStartDelay(10);
    std::vector<int> frames = play(12);
    EXPECT_EQ(std::vector<int>(11, 0), std::vector<int>(frames.begin(), frames.begin() + 11));
    EXPECT_EQ(1, frames[11]);

    a->setPaused(true);
    int ticks = a->getTickCount();
    EXPECT_EQ(std::vector<int>({1, 1}), play(2));
    EXPECT_EQ(ticks, a->getTickCount());
    a->setPaused(false);
    // A stopped sprite only counts its ticks.
    a->setFrameStep(0, false);
    EXPECT_EQ(std::vector<int>({1, 1}), play(2));
    EXPECT_EQ(2, a->getTickCount());
}

TEST_F(AnimateSpriteTest, ALoopHoldsItsLastFrameUntilTheHoldPeriod)
{
    a->playAnimation(0, 1, 2, 1, false, 1);
    a->setLoopHold(3);
    // Tick 2 would wrap but holds; tick 3 is a multiple of 3 and wraps.
    EXPECT_EQ(std::vector<int>({1, 1, 0, 1, 1}), play(5));
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(AnimateSpriteTest, AStepAgainstARangeItLiesAboveOfFallsBackToTheStart)
{
    a->setFrame(7);
    a->setFrameRange(2, 3);
    a->setLoopsLeft(5);
    a->setFrameStep(-1, true);
    // 7 - 1 lies above the range, whose period 3 - 2 - 1 is empty.
    EXPECT_EQ(std::vector<int>({2}), play(1));
}

TEST_F(AnimateSpriteTest, ADefinitionSetsGridFrameAndPlayback)
{
    lang::ObjectArray* res = new lang::ObjectArray;
    res->setLength(1);
    *res->at(0) = m_grid;
    AnimateSprite* b = new AnimateSprite(nullptr, 1, 1);
    lang::IntArray* p = numbers({10, 20, 4, 2, 5});
    EXPECT_TRUE(b->configure(res, p));
    p->release();
    EXPECT_EQ(8, b->getFrameCount());
    EXPECT_EQ(5, b->getFrame());
    EXPECT_EQ(10, b->left());
    EXPECT_EQ(20, b->top());
    EXPECT_EQ(4, b->width());
    EXPECT_EQ(1, b->height());
    EXPECT_EQ(0, b->getFrameStep());
    EXPECT_TRUE(b->isVisible());

    p = numbers({0, 0, 8, 1, -1});
    EXPECT_TRUE(b->configure(res, p));
    p->release();
    EXPECT_FALSE(b->isVisible());
    EXPECT_EQ(-1, b->getFrame());

    p = numbers({0, 0, 8, 1, 0, 2, 1, 1});
    EXPECT_TRUE(b->configure(res, p));
    p->release();
    EXPECT_EQ(2, b->getFrameRate());
    EXPECT_TRUE(b->isPingPong());
    EXPECT_TRUE(b->isLooping());
    EXPECT_EQ(1, b->getFrameStep());

    b->release();
    res->release();
}

TEST(ScalerSpriteTest, AScalingRunStepsByWholePercentsAndEndsWithTheAction)
{
    RecordingReceiver receiver;
    ScalerSprite* s = new ScalerSprite();
    EXPECT_EQ(0x22, s->getAnchor());
    lang::String* command = new lang::String("scaled");
    s->setAction(&receiver, command);
    command->release();
    s->startScaling(100, 50, 3, false, 0, 0, true, 0.0, 90.0);
    EXPECT_EQ(1.0, s->getScaleX());
    EXPECT_TRUE(s->isAnimating());
    // (50 - 100) / 3 = -16 percent a tick, then the end itself.
    const double scales[] = {0.84, 0.68, 0.5};
    const double rotations[] = {30.0, 60.0, 90.0};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(receiver.received.empty());
        s->tick(i + 1, nullptr, nullptr);
        EXPECT_DOUBLE_EQ(scales[i], s->getScaleX()) << i;
        EXPECT_DOUBLE_EQ(scales[i], s->getScaleY()) << i;
        EXPECT_DOUBLE_EQ(rotations[i], s->getRotation()) << i;
    }
    ASSERT_EQ(1u, receiver.received.size());
    EXPECT_EQ("scaled", receiver.received[0].command);
    EXPECT_FALSE(s->isAnimating());
    s->tick(4, nullptr, nullptr);
    EXPECT_EQ(1u, receiver.received.size());
    s->setAction(nullptr, nullptr);
    s->release();
}

TEST(ScalerSpriteTest, AFadingRunFadesAlongAndAnEmptyRunEndsAtOnce)
{
    window::ImageWinDX* picture = spritetest::makePicture(2, 2, [](int, int) { return 0xFFFFFFFFu; });
    picture->setHasAlpha(false);
    ScalerSprite* s = new ScalerSprite();
    s->setImage(picture);
    s->startScaling(50, 100, 4, true, 0, 128, false, 0.0, 0.0);
    EXPECT_TRUE(picture->hasAlpha());
    EXPECT_EQ(0, s->getAlpha());
    EXPECT_EQ(0.5, s->getScaleX());
    for (int i = 1; i <= 4; ++i)
        s->tick(i, nullptr, nullptr);
    EXPECT_EQ(128, s->getAlpha());
    EXPECT_EQ(1.0, s->getScaleX());

    s->startScaling(100, 300, 0, true, 0, 40, true, 0.0, 45.0);
    EXPECT_EQ(3.0, s->getScaleX());
    EXPECT_EQ(40, s->getAlpha());
    EXPECT_EQ(45.0, s->getRotation());
    EXPECT_FALSE(s->isAnimating());
    // A negative length is no run either: nothing keeps counting.
    s->startScaling(100, 200, -5, false, 0, 0, false, 0.0, 0.0);
    EXPECT_EQ(2.0, s->getScaleX());
    EXPECT_FALSE(s->isAnimating());
    s->release();
    picture->release();
}

TEST(ScalerSpriteTest, ADefinitionGivesScaleAlphaAndRotation)
{
    window::ImageWinDX* picture = spritetest::makePicture(8, 4, [](int, int) { return 0xFFFFFFFFu; });
    lang::ObjectArray* res = new lang::ObjectArray;
    res->setLength(1);
    *res->at(0) = picture;
    lang::IntArray* p = numbers({40, 30, 2, 1, 150, 64, 90});
    ScalerSprite* s = new ScalerSprite();
    EXPECT_TRUE(s->configure(res, p));
    EXPECT_EQ(2, s->getFrameCount());
    EXPECT_EQ(1.5, s->getScaleX());
    EXPECT_EQ(64, s->getAlpha());
    EXPECT_EQ(90.0, s->getRotation());
    // The anchor is the centre: the position given is the centre.
    EXPECT_EQ(40, s->getX());
    EXPECT_EQ(30, s->getY());
    p->release();

    // A shorter definition leaves scale, alpha and rotation alone.
    ScalerSprite* plain = new ScalerSprite();
    p = numbers({1, 2, 1, 1});
    EXPECT_TRUE(plain->configure(res, p));
    EXPECT_EQ(1.0, plain->getScaleX());
    EXPECT_EQ(128, plain->getAlpha());
    p->release();

    plain->release();
    s->release();
    res->release();
    picture->release();
}

} // namespace
