// The wipe: the shown part and its position frame by frame in each
// direction, with and without the picture sliding, reversed and in
// ping-pong, and the pixels of a half-done wipe drawn into an image.
#include "tests/sprites/support/RecordingGraphics.h"

#include "sprites/transitions/TransitionWipe.h"
#include "windowing/d3d/GraphicsIWinDX.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

using sprite::TransitionBase;
using sprite::TransitionWipe;
using util::RectangleNM;

namespace {

// An 800 x 600 wipe ready to step (no capture needed for its geometry).
TransitionWipe* wipe(int direction, bool srcMoves, bool reverse = false, int frames = 24)
{
    TransitionWipe* t = new TransitionWipe(direction, frames, 0, 0, 800, 600, false);
    t->setSrcMoves(srcMoves);
    t->setReverse(reverse);
    t->reset();
    return t;
}

void stepN(TransitionBase* t, int n)
{
    for (int i = 0; i < n; ++i)
        t->step();
}

void expectLayer(TransitionBase* t, int x, int y, int w, int h, int px, int py)
{
    RectangleNM* r = t->getLayerRect(0);
    EXPECT_EQ(x, r->x);
    EXPECT_EQ(y, r->y);
    EXPECT_EQ(w, r->width);
    EXPECT_EQ(h, r->height);
    EXPECT_EQ(px, t->getLayerPosition(0)->x);
    EXPECT_EQ(py, t->getLayerPosition(0)->y);
}

TEST(TransitionWipeTest, EightHundredPixelsOverTwentyFourFramesLeaveAnEightPixelSliver)
{
    TransitionWipe* t = wipe(TransitionBase::DIR_LEFT, false);
    t->step();
    expectLayer(t, 0, 0, 767, 600, 0, 0);
    stepN(t, 23);
    // 24 x 33 = 792 pixels gone.
    expectLayer(t, 0, 0, 8, 600, 0, 0);
    EXPECT_EQ(4, t->step());
    t->release();
}

TEST(TransitionWipeTest, ALeftWipeCutsInPlaceOrSlidesThePictureOut)
{
    // Cut in place: the right edge moves left over a still picture.
    TransitionWipe* cut = wipe(TransitionBase::DIR_LEFT, false);
    stepN(cut, 3);
    expectLayer(cut, 0, 0, 800 - 99, 600, 0, 0);
    cut->release();

    // Sliding: the picture's content moves left, its left part gone.
    TransitionWipe* slide = wipe(TransitionBase::DIR_LEFT, true);
    stepN(slide, 3);
    expectLayer(slide, 99, 0, 800 - 99, 600, 0, 0);
    slide->release();
}

TEST(TransitionWipeTest, RightUpAndDownWipesMoveTheirOwnEdges)
{
    TransitionWipe* right = wipe(TransitionBase::DIR_RIGHT, true);
    stepN(right, 2);
    expectLayer(right, 0, 0, 734, 600, 66, 0);
    right->release();

    TransitionWipe* rightCut = wipe(TransitionBase::DIR_RIGHT, false);
    stepN(rightCut, 2);
    expectLayer(rightCut, 66, 0, 734, 600, 66, 0);
    rightCut->release();

    // 600 / 24 = 25 pixels a frame vertically.
    TransitionWipe* up = wipe(TransitionBase::DIR_UP, true);
    stepN(up, 2);
    expectLayer(up, 0, 50, 800, 550, 0, 0);
    up->release();

    TransitionWipe* downCut = wipe(TransitionBase::DIR_DOWN, false);
    stepN(downCut, 2);
    expectLayer(downCut, 0, 50, 800, 550, 0, 50);
    downCut->release();
}

TEST(TransitionWipeTest, ADiagonalWipeMovesBothEdges)
{
    TransitionWipe* t = wipe(TransitionBase::DIR_DOWN | TransitionBase::DIR_RIGHT, true);
    stepN(t, 4);
    expectLayer(t, 0, 0, 800 - 132, 600 - 100, 132, 100);
    t->release();
}

TEST(TransitionWipeTest, AReversedSlidingWipeGrowsBackFromOnePixel)
{
    // Right, sliding: a one-pixel column at x = width - 1, drawn at the left.
    TransitionWipe* right = wipe(TransitionBase::DIR_RIGHT, true, true);
    expectLayer(right, 799, 0, 1, 600, 0, 0);
    right->step();
    expectLayer(right, 766, 0, 34, 600, 0, 0);
    right->release();

    // Left, sliding: the first column enters at the right edge.
    TransitionWipe* left = wipe(TransitionBase::DIR_LEFT, true, true);
    expectLayer(left, 0, 0, 1, 600, 799, 0);
    left->step();
    expectLayer(left, 0, 0, 34, 600, 766, 0);
    left->release();

    TransitionWipe* up = wipe(TransitionBase::DIR_UP, true, true);
    expectLayer(up, 0, 0, 800, 1, 0, 599);
    up->release();
}

TEST(TransitionWipeTest, AReversedCutWipeGrowsFromWhereTheForwardWipeEnds)
{
    // Left, cut in place: the forward wipe ends at the left edge; the
    // reversed one grows its right edge from there over a still picture.
    TransitionWipe* left = wipe(TransitionBase::DIR_LEFT, false, true);
    expectLayer(left, 0, 0, 1, 600, 0, 0);
    left->step();
    expectLayer(left, 0, 0, 34, 600, 0, 0);
    left->release();

    // Right, cut in place: the left edge grows back from the right edge.
    TransitionWipe* right = wipe(TransitionBase::DIR_RIGHT, false, true);
    expectLayer(right, 799, 0, 1, 600, 799, 0);
    right->step();
    expectLayer(right, 766, 0, 34, 600, 766, 0);
    stepN(right, 23);
    // Always the picture's own pixels at their own place.
    RectangleNM* r = right->getLayerRect(0);
    EXPECT_EQ(r->x, right->getLayerPosition(0)->x);
    EXPECT_EQ(800, r->x + r->width);
    right->release();

    TransitionWipe* down = wipe(TransitionBase::DIR_DOWN, false, true);
    expectLayer(down, 0, 599, 800, 1, 0, 599);
    down->release();
}

TEST(TransitionWipeTest, PingPongPlaysReversedFirstThenForwardTheOtherWay)
{
    TransitionWipe* t = new TransitionWipe(TransitionBase::DIR_LEFT, 4, 0, 0, 800, 600, false);
    t->setPingPong(true);
    EXPECT_TRUE(t->isReverse());
    t->reset();
    expectLayer(t, 0, 0, 1, 600, 799, 0);
    stepN(t, 4);
    expectLayer(t, 0, 0, 801, 600, -1, 0);
    EXPECT_EQ(5, t->step());
    // Now forward, to the right, from the whole picture.
    EXPECT_FALSE(t->isReverse());
    EXPECT_EQ(TransitionBase::DIR_RIGHT, t->getDirection());
    expectLayer(t, 0, 0, 800, 600, 0, 0);
    t->step();
    expectLayer(t, 0, 0, 600, 600, 200, 0);
    stepN(t, 3);
    EXPECT_EQ(4, t->step());
    t->release();

    TransitionWipe* off = new TransitionWipe();
    off->setPingPong(false);
    EXPECT_FALSE(off->isReverse());
    off->release();
}

TEST(TransitionWipeTest, AFrameCountBelowOneDoesNotDivideByZero)
{
    TransitionWipe* t = wipe(TransitionBase::DIR_LEFT, false, false, 0);
    EXPECT_EQ(0, t->step());
    expectLayer(t, 0, 0, 0, 600, 0, 0);
    t->release();
}

TEST(TransitionWipeTest, AHalfDoneWipeShowsTheOldPictureOnlyWhereItIsLeft)
{
    const uint32_t oldScene = 0xFFC00000u;
    const uint32_t newScene = 0xFF0000C0u;
    window::ImageWinDX* screen = new window::ImageWinDX(80, 60, 1, false);
    window::ImageWinDX* picture = new window::ImageWinDX(80, 60, 1, false);
    for (int i = 0; i < 80 * 60; ++i) {
        screen->getPixels()[i] = newScene;
        // The old picture's column number in its blue byte.
        picture->getPixels()[i] = oldScene | uint32_t(i % 80);
    }

    // Sliding left over 8 frames: 10 pixels a frame.
    TransitionWipe* t = new TransitionWipe(TransitionBase::DIR_LEFT, 8, 0, 0, 80, 60, false);
    t->setLayerImage(0, picture);
    t->reset();
    for (int i = 0; i < 3; ++i)
        t->step();
    window::GraphicsIWinDX* g = new window::GraphicsIWinDX(screen, nullptr);
    t->paint(g);
    uint32_t* px = screen->getPixels();
    for (int y : {0, 31, 59}) {
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(oldScene | uint32_t(x + 30), px[y * 80 + x]) << x << "," << y;
        for (int x = 50; x < 80; ++x)
            ASSERT_EQ(newScene, px[y * 80 + x]) << x << "," << y;
    }
    g->release();
    t->release();
    picture->release();
    screen->release();
}

} // namespace
