// AnimateSpriteLuaTest.cpp: the methods of hv.AnimateSprite called from scripts.
#include "tests/sprites/images/TestPictures.h"
#include "tests/sprites/support/SpriteLuaFixture.h"

#include "sprites/images/AnimateSprite.h"

namespace {

class AnimateSpriteLuaTest : public SpriteLuaFixture {
protected:
    AnimateSpriteLuaTest()
    {
        m_grid = spritetest::makePicture(8, 2, [](int x, int) { return x % 2 ? 0xFFFFFFFFu : 0x00FFFFFFu; });
        a = keep(new sprite::AnimateSprite(m_grid, 4, 1));
        expose(a, "a");
    }
    ~AnimateSpriteLuaTest() override { m_grid->release(); }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            a->tick(++m_frame, nullptr, nullptr);
    }

    window::ImageWinDX* m_grid;
    sprite::AnimateSprite* a;
    int m_frame = 0;
};

TEST_F(AnimateSpriteLuaTest, FramesAreReadAndSet)
{
    ASSERT_EQ("", run("n = a:getNumFrames(); a:setFrame(2); f = a:getFrame(); busy = a:animating()"));
    EXPECT_EQ(4, globalInt("n"));
    EXPECT_EQ(2, globalInt("f"));
    EXPECT_EQ(2, a->getFrame());
    EXPECT_EQ("", run("assert(busy == false)"));
    EXPECT_TRUE(failsWith("a.setFrame(a, 1, 2)", "bad argument #3 to 'setFrame' (too many arguments)"));
    EXPECT_TRUE(failsWith("a.animating(a, 1)", "bad argument #2 to 'animating' (too many arguments)"));
    EXPECT_TRUE(failsWith("a.setPingPong(a)", "bad argument #3 to 'setPingPong' (too many arguments)"));
    EXPECT_EQ("", run("a:setPingPong(true)"));
    EXPECT_TRUE(a->isPingPong());
}

TEST_F(AnimateSpriteLuaTest, PlayAnimationTakesNothingFiveNumbersOrATable)
{
    ASSERT_EQ("", run("a:setFrame(3); a:playAnimation()"));
    EXPECT_EQ(0, a->getFrame());
    EXPECT_EQ(3, a->getEndFrame());
    EXPECT_EQ(1, a->getFrameStep());
    EXPECT_FALSE(a->isLooping());
    EXPECT_FALSE(a->isPingPong());
    ticks(4);
    EXPECT_EQ(3, a->getFrame());
    EXPECT_FALSE(a->isPlaying());

    ASSERT_EQ("", run("a:playAnimation(3, 0, 2, 2, 1)"));
    EXPECT_EQ(3, a->getFrame());
    EXPECT_EQ(-1, a->getFrameStep());
    EXPECT_EQ(2, a->getLoopsLeft());
    EXPECT_EQ(2, a->getFrameRate());

    ASSERT_EQ("", run("a:playAnimation({ startFrame = 1, endFrame = 2, loops = -1, frameStep = 'x' })"));
    EXPECT_EQ(1, a->getFrame());
    EXPECT_EQ(1, a->getStartFrame());
    EXPECT_EQ(2, a->getEndFrame());
    EXPECT_EQ(1, a->getFrameStep());
    EXPECT_EQ(1, a->getFrameRate());
    EXPECT_TRUE(a->isLooping());
    EXPECT_EQ(2, a->getLoopsLeft());
}

TEST_F(AnimateSpriteLuaTest, SetFrameRateWaitsTheDelayFirst)
{
    ASSERT_EQ("", run("a:playAnimation(); a:setFrameRate(2, 10)"));
    EXPECT_EQ(2, a->getFrameRate());
    EXPECT_EQ(10, a->getStartDelay());
    ticks(11);
    EXPECT_EQ(0, a->getFrame());
    ticks(1);
    EXPECT_EQ(1, a->getFrame());
    ASSERT_EQ("", run("a:setFrameRate(3)"));
    EXPECT_EQ(0, a->getStartDelay());
}

TEST_F(AnimateSpriteLuaTest, HittestImageUsesTheFrameShown)
{
    a->setPosition(0, 0);
    ASSERT_EQ("", run("a:setFrame(0); clear = a:hittestImage(0, 0); solid = a:hittestImage(1, 0)"));
    EXPECT_EQ("", run("assert(clear == false and solid == true)"));
}

} // namespace
