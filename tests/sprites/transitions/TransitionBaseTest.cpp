// Stepping a transition frame by frame (results, delay, ping-pong, layer
// changes), capturing its pictures, and painting its layers in order with
// the fade of the first layer.
#include "tests/sprites/support/RecordingGraphics.h"

#include "sprites/transitions/TransitionBase.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

#include <vector>

using sprite::TransitionBase;
using spritetest::RecordingGraphics;

namespace {

// A transition begun and given its first picture (w x h) by a capture.
TransitionBase* capturedTransition(int frames, int w = 80, int h = 60)
{
    TransitionBase* t = new TransitionBase(frames, 0, 0, w, h, false);
    t->begin();
    RecordingGraphics* g = new RecordingGraphics();
    t->capture(g, 0, 0, w, h);
    g->release();
    t->reset();
    return t;
}

std::vector<int> stepTimes(TransitionBase* t, int n)
{
    std::vector<int> results;
    for (int i = 0; i < n; ++i)
        results.push_back(t->step());
    return results;
}

TEST(TransitionBaseTest, WaitsForItsPictureThenRunsItsFramesAndFinishes)
{
    TransitionBase* t = new TransitionBase(24, 0, 0, 80, 60, false);
    EXPECT_FALSE(t->isCapturing());
    t->begin();
    EXPECT_TRUE(t->isCapturing());
    EXPECT_FALSE(t->isRunning());
    EXPECT_EQ(2, t->step());

    RecordingGraphics* g = new RecordingGraphics();
    t->capture(g, 0, 0, 80, 60);
    g->release();
    EXPECT_FALSE(t->isCapturing());
    EXPECT_TRUE(t->isRunning());
    t->reset();

    // Frames 1..24 run; the 25th step moves past the last layer.
    for (int i = 1; i <= 24; ++i) {
        ASSERT_EQ(0, t->step()) << "step " << i;
        ASSERT_EQ(i, t->getFrame());
    }
    EXPECT_EQ(4, t->step());
    EXPECT_TRUE(t->isFinished());
    EXPECT_EQ(-1, t->getCurrentLayer());
    EXPECT_EQ(2, t->step());
    EXPECT_FALSE(t->isRunning());
    t->release();
}

TEST(TransitionBaseTest, ADelayOfFiveFramesDelaysFiveStepsOnce)
{
    TransitionBase* t = capturedTransition(24);
    t->setDelay(5);
    EXPECT_EQ(std::vector<int>({3, 3, 3, 3, 3, 0, 0}), stepTimes(t, 7));
    EXPECT_EQ(2, t->getFrame());
    EXPECT_EQ(0, t->getDelay());
    t->release();
}

TEST(TransitionBaseTest, PingPongRestartsOnceReversedInTheFlippedDirection)
{
    TransitionBase* t = capturedTransition(3);
    t->setDirection(TransitionBase::DIR_LEFT | TransitionBase::DIR_UP);
    t->setPingPong(true);
    EXPECT_EQ(std::vector<int>({0, 0, 0, 5}), stepTimes(t, 4));
    EXPECT_TRUE(t->isReverse());
    EXPECT_EQ(TransitionBase::DIR_RIGHT | TransitionBase::DIR_DOWN, t->getDirection());
    EXPECT_EQ(0, t->getFrame());
    EXPECT_EQ(0, t->getCurrentLayer());
    EXPECT_EQ(std::vector<int>({0, 0, 0, 4, 2}), stepTimes(t, 5));
    // The finishing pass does not flip back.
    EXPECT_TRUE(t->isReverse());
    t->release();
}

TEST(TransitionBaseTest, WithoutAFrameCountOnlyTheLayerDoneFlagEndsALayer)
{
    TransitionBase* t = capturedTransition(0);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(0, t->step());
    t->setLayerDone(true);
    EXPECT_EQ(4, t->step());
    t->release();
}

TEST(TransitionBaseTest, AFilledSecondLayerIsALayerOfItsOwn)
{
    TransitionBase* t = new TransitionBase(2, 0, 0, 80, 60, false);
    t->setFillSecondLayer(true);
    t->setFillColour(0xFF112233u);
    t->begin();
    RecordingGraphics* g = new RecordingGraphics();
    t->capture(g, 0, 0, 80, 60);
    g->release();
    // One capture: the fill layer needs no picture.
    EXPECT_EQ(-1, t->getState());
    EXPECT_EQ(nullptr, t->getLayerImage(1));
    EXPECT_EQ(0, t->getLayerRect(1)->x);
    EXPECT_EQ(80, t->getLayerRect(1)->width);
    t->reset();

    EXPECT_EQ(std::vector<int>({0, 0, 0}), stepTimes(t, 3));
    EXPECT_EQ(1, t->getCurrentLayer());
    EXPECT_EQ(0, t->getFrame());
    EXPECT_EQ(std::vector<int>({0, 0, 4}), stepTimes(t, 3));
    t->release();
}

TEST(TransitionBaseTest, ACaptureReadsTheDrawnPictureIntoTheLayerBeingCaptured)
{
    TransitionBase* t = new TransitionBase(24, 0, 0, 40, 30, false);
    t->begin();
    RecordingGraphics* g = new RecordingGraphics();
    g->backBufferBase = 0xFF000000u;
    t->capture(g, 0, 0, 40, 30);
    window::ImageBase* image = t->getLayerImage(0);
    ASSERT_NE(nullptr, image);
    ASSERT_EQ(40, image->getWidth());
    ASSERT_EQ(30, image->getHeight());
    EXPECT_EQ(0xFF000000u | (29u * 1000u + 39u), image->getPixels()[29 * 40 + 39]);
    EXPECT_EQ(0xFF000000u | (5u * 1000u + 7u), image->getPixels()[5 * 40 + 7]);
    EXPECT_EQ(40, t->getLayerBaseRect(0)->width);
    EXPECT_EQ(30, t->getLayerRect(0)->height);
    EXPECT_EQ(-1, t->getState());

    // Not capturing: a further capture changes nothing.
    t->capture(g, 0, 0, 10, 10);
    EXPECT_EQ(image, t->getLayerImage(0));
    EXPECT_EQ(1u, g->ofOp("getBackBuffer").size());
    g->release();
    t->release();
}

TEST(TransitionBaseTest, FadingTakesTheFirstLayerOutOverTheSecondHalf)
{
    TransitionBase* t = capturedTransition(24);
    t->setFade(true);
    std::vector<int> alphas;
    for (int frame = 1; frame <= 24; ++frame) {
        t->step();
        RecordingGraphics* g = new RecordingGraphics();
        t->paint(g);
        std::vector<RecordingGraphics::Call> draws = g->ofOp("drawImageCentered");
        EXPECT_EQ(1u, draws.size());
        alphas.push_back(draws.empty() ? -1 : draws[0].alpha);
        // Blending goes off only while the layer is fully opaque, and back on.
        std::vector<RecordingGraphics::Call> blends = g->ofOp("setBlendMode");
        if (frame <= 12) {
            ASSERT_EQ(2u, blends.size());
            EXPECT_FALSE(blends[0].flag);
            EXPECT_TRUE(blends[1].flag);
        } else {
            EXPECT_TRUE(blends.empty()) << frame;
        }
        g->release();
    }
    for (int frame = 1; frame <= 12; ++frame)
        EXPECT_EQ(128, alphas[frame - 1]);
    // a = 1 - (frame - 12) / 12, alpha = trunc(a * 128).
    EXPECT_EQ(117, alphas[12]); // frame 13: 128 * 11/12 = 117.33
    EXPECT_EQ(64, alphas[17]);  // frame 18
    EXPECT_EQ(10, alphas[22]);  // frame 23: 128 / 12 = 10.67
    EXPECT_EQ(0, alphas[23]);   // frame 24
    t->release();
}

TEST(TransitionBaseTest, LayersDrawBottomToTopWithTheFillLayerUnderThePicture)
{
    TransitionBase* t = new TransitionBase(24, 10, 20, 80, 60, false);
    t->setFillSecondLayer(true);
    t->setFillColour(0x80ABCDEFu);
    t->begin();
    RecordingGraphics* capture = new RecordingGraphics();
    t->capture(capture, 0, 0, 80, 60);
    capture->release();
    t->setLayerPosition(1, 10, 20);
    t->reset();
    t->step();

    RecordingGraphics* g = new RecordingGraphics();
    t->paint(g);
    EXPECT_EQ(std::vector<std::string>({"setBlendMode", "fillRectAlpha", "drawImageCentered", "setBlendMode"}),
              g->ops());
    RecordingGraphics::Call fill = g->calls[1];
    EXPECT_EQ(10, fill.x);
    EXPECT_EQ(20, fill.y);
    EXPECT_EQ(80, fill.w);
    EXPECT_EQ(60, fill.h);
    EXPECT_EQ(0x80ABCDEFu, fill.argb);
    RecordingGraphics::Call image = g->calls[2];
    EXPECT_EQ(t->getLayerImage(0), image.image);
    // Centred on the shown part placed at the layer's position.
    EXPECT_EQ(10 + 40, image.x);
    EXPECT_EQ(20 + 30, image.y);
    EXPECT_EQ(80, image.src.width);
    EXPECT_EQ(1.0, image.scaleX);
    EXPECT_EQ(128, image.alpha);
    EXPECT_EQ(2, t->getDrawOrder()[0]);
    EXPECT_EQ(0, t->getDrawOrder()[2]);
    g->release();
    t->release();
}

TEST(TransitionBaseTest, LayersBehindTheCurrentOneOrWithNothingShownAreInactive)
{
    TransitionBase* t = capturedTransition(2);
    t->setFillSecondLayer(true);
    EXPECT_TRUE(t->isLayerActive(0));
    t->setLayerRect(0, 0, 0, 0, 60);
    EXPECT_FALSE(t->isLayerActive(0));
    t->setLayerRect(0, 0, 0, 80, 60);
    stepTimes(t, 3); // on to layer 1
    ASSERT_EQ(1, t->getCurrentLayer());
    EXPECT_FALSE(t->isLayerActive(0));
    EXPECT_TRUE(t->isLayerActive(1));
    EXPECT_FALSE(t->isLayerActive(-1));
    EXPECT_FALSE(t->isLayerActive(3));
    t->release();
}

TEST(TransitionBaseTest, LayerAccessorsIgnoreIndicesOutsideTheThreeLayers)
{
    TransitionBase* t = new TransitionBase();
    window::ImageWinDX* image = new window::ImageWinDX(4, 4, 1, false);
    t->setLayerImage(3, image);
    t->setLayerImage(-1, image);
    t->setLayerRect(5, 1, 2, 3, 4);
    t->setLayerPosition(-2, 1, 2);
    t->createLayerImage(3, 10, 10);
    EXPECT_EQ(1, image->getRefCount());
    EXPECT_EQ(nullptr, t->getLayerRect(3));
    EXPECT_EQ(nullptr, t->getLayerPosition(-1));
    EXPECT_EQ(nullptr, t->getLayerImage(7));
    // Defaults: the whole screen, 24 frames, drawn at the origin.
    EXPECT_EQ(800, t->getLayerRect(0)->width);
    EXPECT_EQ(600, t->getLayerBaseRect(2)->height);
    EXPECT_EQ(24, t->getFrames());
    EXPECT_TRUE(t->getSrcMoves());
    EXPECT_EQ(TransitionBase::DIR_LEFT, t->getDirection());
    t->setLayerImage(0, image);
    EXPECT_EQ(2, image->getRefCount());
    t->release();
    EXPECT_EQ(1, image->getRefCount());
    image->release();
}

TEST(TransitionBaseTest, ACloneSharesThePicturesAndFillsItsSecondLayer)
{
    TransitionBase* t = capturedTransition(12);
    t->setLayerPosition(0, 5, 6);
    t->setFillColour(0xFF010203u);
    t->step();
    window::ImageBase* image = t->getLayerImage(0);
    TransitionBase* copy = t->clone();
    EXPECT_EQ(image, copy->getLayerImage(0));
    EXPECT_EQ(2, image->getRefCount()); // the original's and the copy's
    EXPECT_EQ(5, copy->getLayerPosition(0)->x);
    EXPECT_EQ(1, copy->getFrame());
    EXPECT_EQ(12, copy->getFrames());
    EXPECT_EQ(0xFF010203u, copy->getFillColour());
    EXPECT_TRUE(copy->getFillSecondLayer());
    EXPECT_FALSE(t->getFillSecondLayer());
    copy->release();
    t->release();
}

} // namespace
