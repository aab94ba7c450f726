// SparkleSpriteTest.cpp: sparkles scattered by a room over a sprite's opaque
// pixels or over a rectangle: where they go, when they start, how they fade,
// and their clean-up 100 frames later.
#include "game/effects/SparkleSprite.h"
#include "tests/game/support/BareCanvas.h"
#include "tests/sprites/images/TestPictures.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace gametest {
namespace {

using Points = std::vector<std::pair<int, int>>;

class SparkleSpriteTest : public ::testing::Test {
protected:
    SparkleSpriteTest()
    {
        room = world.addRoom(2, {0});
        world.enter(2);
        // Three 4 x 4 frames.
        window::ImageWinDX* glint = spritetest::makePicture(12, 4, [](int, int) { return 0xFFFFFFFFu; });
        model = new SparkleSprite();
        model->setGrid(glint, 3, 1);
        glint->release();
        room->addChild("Glint", model);
        model->release();
    }

    // A 10 x 20 sprite "Chest" at (100, 200), opaque where `pixel` says so.
    void addChest(const std::function<uint32_t(int, int)>& pixel)
    {
        window::ImageWinDX* picture = spritetest::makePicture(10, 20, pixel);
        auto* chest = new sprite::AnimateSprite(picture, 1, 1);
        picture->release();
        chest->setPosition(100, 200);
        room->addChild("Chest", chest);
        chest->release();
    }
    SparkleSprite* sparkle(int i) { return static_cast<SparkleSprite*>(room->getEffects().elementAt(i)); }
    Points centres()
    {
        Points out;
        for (int i = 0; i < room->getEffects().size(); ++i)
            out.push_back({sparkle(i)->getCentreX(), sparkle(i)->getCentreY()});
        return out;
    }

    BareWorld world;
    Room* room = nullptr;
    SparkleSprite* model = nullptr;
};

TEST_F(SparkleSpriteTest, ASpriteWithoutACountGetsOneTryPerThirtyPixelsOnItsOpaquePixels)
{
    // The left half of the chest is opaque.
    addChest([](int x, int) { return x < 5 ? 0xFF804020u : 0x00804020u; });
    room->getRandom().seed(11);
    util::Random draws;
    draws.seed(11);
    Points expected;
    for (int i = 0; i < 200 / 30; ++i) {
        const int x = 100 + draws.nextInt(10);
        const int y = 200 + draws.nextInt(20);
        if (x < 105 && y < 220) {
            expected.push_back({x, y});
            draws.nextInt(5);
        }
    }
    const int actionsBefore = world.canvas->getScheduledActionCount();
    room->addSparkleInSprite(lang::String("Chest"), lang::String("Glint"), 5, 30, 0);
    EXPECT_EQ(expected, centres());
    for (int i = 0; i < room->getEffects().size(); ++i) {
        EXPECT_FALSE(sparkle(i)->isVisible()) << "waiting for its start";
        EXPECT_EQ(sparkle(i)->getCentreX() - 2, sparkle(i)->left()) << "centred on its point";
        EXPECT_EQ(sparkle(i)->getCentreY() - 2, sparkle(i)->top());
        EXPECT_LE(sparkle(i)->getDelay(), 5);
        EXPECT_EQ(30, sparkle(i)->getLife());
        EXPECT_EQ(room, sparkle(i)->getParent()) << "on the room";
    }
    EXPECT_EQ(actionsBefore + 1, world.canvas->getScheduledActionCount());
}

TEST_F(SparkleSpriteTest, ARectangleWithoutACountTriesByItsAreaAndHugeCountsAreHeld)
{
    // 60 x 20 pixels without a count: 1200 / 30 tries, each a sparkle.
    room->addSparkleInRect(300, 300, 60, 20, lang::String("Glint"), 0, 1000, 0);
    EXPECT_EQ(40, room->getEffects().size());
    // A script's count of a billion, at the far end of the int range, places
    // what a screen holds and no more.
    room->addSparkleInRect(2147483647, -2147483647, 2147483647, 10, lang::String("Glint"), 0, 1000, 1000000000);
    EXPECT_EQ(40 + Room::MAX_SPARKLES, room->getEffects().size());
}

TEST_F(SparkleSpriteTest, NoOpaquePixelNoSparkleButTheCleanupIsStillAsked)
{
    addChest([](int, int) { return 0x00FFFFFFu; });
    const int actionsBefore = world.canvas->getScheduledActionCount();
    room->addSparkleInSprite(lang::String("Chest"), lang::String("Glint"), 5, 30, 12);
    EXPECT_EQ(0, room->getEffects().size());
    EXPECT_EQ(actionsBefore + 1, world.canvas->getScheduledActionCount());
    // Unknown names change nothing.
    room->addSparkleInSprite(lang::String("Nothing"), lang::String("Glint"), 5, 30, 12);
    room->addSparkleInRect(0, 0, 10, 10, lang::String("Chest"), 5, 30, 12);
    EXPECT_EQ(0, room->getEffects().size());
}

TEST_F(SparkleSpriteTest, TheCleanupAHundredFramesLaterTakesEverySparkleAway)
{
    room->addSparkleInRect(300, 300, 40, 20, lang::String("Glint"), 0, 1000, 4);
    ASSERT_EQ(4, room->getEffects().size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_GE(sparkle(i)->getCentreX(), 300);
        EXPECT_LE(sparkle(i)->getCentreX(), 340);
        EXPECT_GE(sparkle(i)->getCentreY(), 300);
        EXPECT_LE(sparkle(i)->getCentreY(), 320);
    }
    for (int frame = 0; frame < 50; ++frame)
        world.canvas->doFrame();
    // Placed later, taken away with the first ones.
    room->addSparkleInRect(300, 300, 40, 20, lang::String("Glint"), 0, 1000, 2);
    std::vector<SparkleSprite*> placed;
    for (int i = 0; i < 6; ++i) {
        placed.push_back(sparkle(i));
        placed.back()->addRef();
    }
    for (int frame = 50; frame < 99; ++frame)
        world.canvas->doFrame();
    EXPECT_EQ(6, room->getEffects().size());
    world.canvas->doFrame();
    EXPECT_EQ(0, room->getEffects().size()) << "the hundredth frame cleans up";
    for (SparkleSprite* s : placed) {
        EXPECT_FALSE(s->isVisible());
        EXPECT_EQ(nullptr, s->getParent()) << "out of the room";
        s->release();
    }
}

TEST_F(SparkleSpriteTest, ASparkleWithoutDelayStartsOnTheNextFrameAtAFaintAlpha)
{
    room->addSparkleInRect(0, 0, 100, 100, lang::String("Glint"), 0, 1000, 20);
    for (int i = 0; i < 20; ++i) {
        SparkleSprite* s = sparkle(i);
        s->tick(1, nullptr, nullptr);
        EXPECT_TRUE(s->isVisible()) << i;
        EXPECT_GE(s->getAlpha(), SparkleSprite::BASE_ALPHA);
        EXPECT_LT(s->getAlpha(), 128) << "never fully opaque";
        EXPECT_EQ(-1, s->getDelay());
        EXPECT_EQ(1, s->getFrame()) << "started at frame 0, then its frames play";
    }
}

TEST_F(SparkleSpriteTest, TheLastFrameFadesOutInSixFramesAndTheEndOfLifeInTwentyThree)
{
    // Played through its three frames; then one whose frames hold still.
    room->addSparkleInRect(0, 0, 10, 10, lang::String("Glint"), 0, 1000, 1);
    room->addSparkleInRect(0, 0, 10, 10, lang::String("Glint"), 0, 1, 1);
    SparkleSprite* played = sparkle(0);
    SparkleSprite* brief = sparkle(1);
    for (int frame = 1; frame <= 3; ++frame) {
        played->tick(frame, nullptr, nullptr);
        brief->tick(frame, nullptr, nullptr);
        brief->setFrame(0);
    }
    ASSERT_EQ(2, played->getFrame());
    EXPECT_EQ(SparkleSprite::END_FADE_FRAMES - 1, played->getAlphaSteps()) << "the fade at the last frame";
    EXPECT_EQ(SparkleSprite::LIFE_FADE_FRAMES - 1, brief->getAlphaSteps()) << "its one frame of life is over";
    for (int frame = 4; frame < 40; ++frame) {
        played->tick(frame, nullptr, nullptr);
        brief->tick(frame, nullptr, nullptr);
        brief->setFrame(0);
    }
    EXPECT_TRUE(played->isVisible()) << "it stays, faded";
    EXPECT_LT(played->getAlpha(), 10);
    EXPECT_FALSE(brief->isVisible()) << "the fade at the end of its life hides it";
}

} // namespace
} // namespace gametest
