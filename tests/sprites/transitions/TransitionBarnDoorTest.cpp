// The barn door: the split into two doors, the doors opening (cut at the
// middle or sliding apart), the reversed door closing toward the middle, and
// the doors drawn in place of the current layer.
#include "tests/sprites/support/RecordingGraphics.h"

#include "sprites/transitions/TransitionBarnDoor.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

using sprite::TransitionBarnDoor;
using util::RectangleNM;

namespace {

TransitionBarnDoor* door(int orientation, bool srcMoves, bool reverse = false, int frames = 24)
{
    TransitionBarnDoor* t = new TransitionBarnDoor(orientation, frames, 0, 0, 800, 600, false);
    t->setSrcMoves(srcMoves);
    t->setReverse(reverse);
    t->reset();
    return t;
}

void expectDoor(const TransitionBarnDoor::Door& d, int x, int y, int w, int h, int px, int py)
{
    EXPECT_EQ(x, d.rect.x);
    EXPECT_EQ(y, d.rect.y);
    EXPECT_EQ(w, d.rect.width);
    EXPECT_EQ(h, d.rect.height);
    EXPECT_EQ(px, d.position.x);
    EXPECT_EQ(py, d.position.y);
}

TEST(TransitionBarnDoorTest, SideBySideDoorsEachLoseSeventeenPixelsAFrame)
{
    TransitionBarnDoor* t = door(TransitionBarnDoor::HORIZONTAL, false);
    expectDoor(t->getDoor(0), 0, 0, 400, 600, 0, 0);
    expectDoor(t->getDoor(1), 400, 0, 400, 600, 400, 0);
    t->step();
    // 400 / (24 - 1) = 17: the doors are cut at the middle.
    expectDoor(t->getDoor(0), 0, 0, 383, 600, 0, 0);
    expectDoor(t->getDoor(1), 417, 0, 383, 600, 417, 0);
    for (int i = 0; i < 22; ++i)
        t->step();
    expectDoor(t->getDoor(0), 0, 0, 400 - 23 * 17, 600, 0, 0);
    expectDoor(t->getDoor(1), 400 + 23 * 17, 0, 400 - 23 * 17, 600, 400 + 23 * 17, 0);
    t->release();
}

TEST(TransitionBarnDoorTest, SlidingDoorsMoveApartWhole)
{
    TransitionBarnDoor* t = door(TransitionBarnDoor::HORIZONTAL, true);
    t->step();
    t->step();
    expectDoor(t->getDoor(0), 0, 0, 400, 600, -34, 0);
    expectDoor(t->getDoor(1), 400, 0, 400, 600, 434, 0);
    t->release();
}

TEST(TransitionBarnDoorTest, DoorsOneAboveTheOtherOpenUpAndDown)
{
    TransitionBarnDoor* t = door(TransitionBarnDoor::VERTICAL, false);
    expectDoor(t->getDoor(0), 0, 0, 800, 300, 0, 0);
    expectDoor(t->getDoor(1), 0, 300, 800, 300, 0, 300);
    t->step();
    // 300 / 23 = 13.
    expectDoor(t->getDoor(0), 0, 0, 800, 287, 0, 0);
    expectDoor(t->getDoor(1), 0, 313, 800, 287, 0, 313);
    t->release();
}

TEST(TransitionBarnDoorTest, AReversedDoorClosesTheWholePictureTowardTheMiddle)
{
    TransitionBarnDoor* t = door(TransitionBarnDoor::HORIZONTAL, false, true);
    expectDoor(t->getDoor(0), 0, 0, 800, 600, 0, 0);
    t->step();
    // (800 / 23) / 2 = 17 from each side.
    expectDoor(t->getDoor(0), 17, 0, 766, 600, 17, 0);
    t->release();

    TransitionBarnDoor* v = door(TransitionBarnDoor::VERTICAL, false, true);
    v->step();
    // (600 / 23) / 2 = 13.
    expectDoor(v->getDoor(0), 0, 13, 800, 574, 0, 13);
    v->release();
}

TEST(TransitionBarnDoorTest, DoorsFollowALayerThatIsNotAtTheOrigin)
{
    TransitionBarnDoor* t = new TransitionBarnDoor(TransitionBarnDoor::HORIZONTAL, 11, 100, 50, 200, 80, false);
    t->setSrcMoves(false);
    t->reset();
    expectDoor(t->getDoor(0), 0, 0, 100, 80, 100, 50);
    expectDoor(t->getDoor(1), 100, 0, 100, 80, 200, 50);
    t->step();
    // 100 / 10 = 10 a frame.
    expectDoor(t->getDoor(1), 110, 0, 90, 80, 210, 50);
    t->release();
}

TEST(TransitionBarnDoorTest, TheCurrentLayerIsDrawnAsItsOpenDoors)
{
    TransitionBarnDoor* t = new TransitionBarnDoor(TransitionBarnDoor::HORIZONTAL, 3, 0, 0, 80, 60, false);
    window::ImageWinDX* picture = new window::ImageWinDX(80, 60, 1, false);
    t->setSrcMoves(false);
    t->setLayerImage(0, picture);
    t->reset();
    t->step();
    spritetest::RecordingGraphics* g = new spritetest::RecordingGraphics();
    t->paint(g);
    std::vector<spritetest::RecordingGraphics::Call> draws = g->ofOp("drawImageCentered");
    ASSERT_EQ(2u, draws.size());
    // 40 / 2 = 20 a frame: the left door keeps (0, 0, 20, 60) at 0, the
    // right one shows (60, 0, 20, 60) at 60.
    EXPECT_EQ(picture, draws[0].image);
    EXPECT_EQ(0, draws[0].src.x);
    EXPECT_EQ(20, draws[0].src.width);
    EXPECT_EQ(10, draws[0].x);
    EXPECT_EQ(60, draws[1].src.x);
    EXPECT_EQ(20, draws[1].src.width);
    EXPECT_EQ(70, draws[1].x);
    EXPECT_EQ(30, draws[1].y);

    // Fully open doors are not drawn.
    t->step();
    g->calls.clear();
    t->paint(g);
    EXPECT_TRUE(g->ofOp("drawImageCentered").empty());
    EXPECT_EQ(0, t->step());
    EXPECT_EQ(4, t->step());
    g->release();
    t->release();
    picture->release();
}

TEST(TransitionBarnDoorTest, ASecondLayerIsSplitWhenItsTurnComes)
{
    TransitionBarnDoor* t = new TransitionBarnDoor(TransitionBarnDoor::VERTICAL, 3, 0, 0, 80, 60, false);
    t->setFillSecondLayer(true);
    t->setFillColour(0xFF445566u);
    t->setSrcMoves(false);
    t->reset();
    for (int i = 0; i < 3; ++i)
        t->step();
    // The fourth step moves on to the fill layer, splits it afresh and
    // opens its doors by a first 30 / 2 = 15 pixels.
    t->step();
    ASSERT_EQ(1, t->getCurrentLayer());
    expectDoor(t->getDoor(0), 0, 0, 80, 15, 0, 0);
    expectDoor(t->getDoor(1), 0, 45, 80, 15, 0, 45);
    spritetest::RecordingGraphics* g = new spritetest::RecordingGraphics();
    t->paint(g);
    std::vector<spritetest::RecordingGraphics::Call> fills = g->ofOp("fillRectAlpha");
    ASSERT_EQ(2u, fills.size());
    EXPECT_EQ(0xFF445566u, fills[0].argb);
    EXPECT_EQ(0, fills[0].y);
    EXPECT_EQ(15, fills[0].h);
    EXPECT_EQ(45, fills[1].y);
    EXPECT_EQ(80, fills[1].w);
    EXPECT_TRUE(g->ofOp("drawImageCentered").empty());
    g->release();
    t->release();
}

TEST(TransitionBarnDoorTest, FewerThanTwoFramesDoNotDivideByZero)
{
    TransitionBarnDoor* t = door(TransitionBarnDoor::HORIZONTAL, false, false, 1);
    EXPECT_EQ(0, t->step());
    expectDoor(t->getDoor(0), 0, 0, 0, 600, 0, 0);
    t->release();
}

} // namespace
