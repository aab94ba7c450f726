// Painting the canvas in its window on the headless layer, read back from
// the device: the root sprites in list order, hidden and removed sprites,
// the root list operations, a screen transition captured from the painted
// frame and drawn over the new scene, and the one show message.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/sprites/support/TestSprite.h"

#include "sprites/transitions/TransitionBase.h"
#include "sprites/transitions/TransitionFactory.h"

namespace {

using canvastest::WindowedCanvasTest;
using spritetest::TestSprite;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;

class CanvasPaintTest : public WindowedCanvasTest {
protected:
    TestSprite* sprite(const char* name, int cx, int cy, int w, int h, uint32_t colour)
    {
        return world.add(name, new TestSprite(cx, cy, w, h, colour));
    }
};

TEST_F(CanvasPaintTest, RootSpritesAreDrawnFirstToLastAndHiddenOnesNotAtAll)
{
    sprite("Under", 100, 100, 100, 100, kRed);
    sprite("Over", 150, 150, 100, 100, kGreen);
    TestSprite* hidden = sprite("Hidden", 300, 300, 50, 50, kBlue);
    hidden->setVisible(false);
    canvas->start();
    world.runFrames(1);
    EXPECT_EQ(pixelAt(60, 60), kRed);
    EXPECT_EQ(pixelAt(140, 140), kGreen) << "the later sprite is on top";
    EXPECT_NE(pixelAt(300, 300), kBlue);
    EXPECT_EQ(hidden->paints, 0);
}

TEST_F(CanvasPaintTest, AddSpriteMovesAndAddSpriteBehindInsertsUnderAnother)
{
    TestSprite* a = sprite("A", 100, 100, 100, 100, kRed);
    TestSprite* b = sprite("B", 100, 100, 100, 100, kGreen);
    canvas->addSprite("A", a, -1);
    EXPECT_EQ(canvas->getChildCount(), 2) << "added again, it moves";
    canvas->start();
    world.runFrames(1);
    EXPECT_EQ(pixelAt(100, 100), kRed);
    TestSprite* c = new TestSprite(100, 100, 100, 100, kBlue);
    world.made.push_back(c);
    canvas->addSpriteBehind("C", c, b);
    canvas->addSprite("Renamed", b, 99);
    EXPECT_EQ(canvas->getSprite("B"), nullptr);
    EXPECT_EQ(canvas->getSprite("Renamed"), b);
    sprite::SpriteBase* order[3];
    for (int i = 0; i < 3; ++i) {
        order[i] = canvas->childAt(i);
        order[i]->release();
    }
    EXPECT_EQ(order[0], c);
    EXPECT_EQ(order[1], a);
    EXPECT_EQ(order[2], b);
    EXPECT_EQ(canvas->childAt(3), nullptr);
}

TEST_F(CanvasPaintTest, NothingIsDrawnWhileTheProgramQuits)
{
    TestSprite* s = sprite("S", 100, 100, 10, 10, kRed);
    canvas->start();
    window::WindowGlobals::setQuitting(true);
    world.runFrames(1);
    EXPECT_EQ(s->paints, 0);
    EXPECT_FALSE(canvas->isDirty());
}

TEST_F(CanvasPaintTest, AScreenTransitionCapturesThePaintedFrameAndWipesItOffTheNewScene)
{
    TestSprite* oldScene = sprite("Old", 400, 300, 800, 600, kRed);
    TestSprite* newScene = sprite("New", 400, 300, 800, 600, kGreen);
    newScene->setVisible(false);
    canvas->start();
    world.runFrames(1);
    // A left wipe of five frames: 160 pixels a frame.
    sprite::TransitionBase* wipe = sprite::TransitionFactory::createFullScreen(100, 5);
    canvas->setTransition(wipe);
    wipe->release();
    canvas->setDirty(true);
    world.runFrames(1);
    EXPECT_EQ(canvas->capturedLayers, (std::vector<int>{0}));
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

TEST_F(CanvasPaintTest, TheCanvasWindowIsShownAfterTheFirstPaintOfTheProcessOnly)
{
    canvastest::TestCanvas::forgetShowPosted();
    canvas->setVisible(false);
    canvas->start();
    world.runFrames(1);
    windowtest::pump();
    EXPECT_TRUE(canvas->isVisible());
    canvas->setVisible(false);
    canvas->setDirty(true);
    world.runFrames(1);
    windowtest::pump();
    EXPECT_FALSE(canvas->isVisible());
}

} // namespace
