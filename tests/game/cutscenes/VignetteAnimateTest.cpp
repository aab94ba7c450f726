// VignetteAnimateTest.cpp: the animated cut scene: its pages read from the
// definition (at most ten pictures a page), the pictures' timetable chained
// by their end messages, late messages dropped after a page turn, and the
// way out, choosing the slide group when it leads into the slide show.
#include "game/cutscenes/Vignette.h"
#include "game/cutscenes/VignetteAnimate.h"
#include "tests/game/cutscenes/CutSceneWorld.h"

#include <gtest/gtest.h>

namespace gametest {
namespace {

constexpr int kRoom = LanternfieldCanvas::ROOM_VIGNETTE_INTRO;

class VignetteAnimateTest : public ::testing::Test {
protected:
    // Two pages into the slide show at group 3; fades of 10 frames; page 1
    // has two pictures (30 frames, then 5: shorter than the fade), page 2
    // none.
    void make(std::initializer_list<int> definition = {0, 2, 9, 3, 1, 10, 2, 30, 5, 0})
    {
        room = world.addRoom<VignetteAnimate>(kRoom, definition);
        for (const char* name : {"Page1_bu", "Page1_graphic1", "Page1_graphic2", "Page2_bu"})
            world.addSprite(room, name);
        world.addButtons(room);
        slides = world.addRoom<Vignette>(LanternfieldCanvas::ROOM_VIGNETTE, {0, 4, 1, 1, 0, 2, 1, 0, 3, 1, 0, 4, 1, 0});
        world.addRoom(0, {0});
    }
    sprite::SpriteBase* graphic(int g) { return room->getSprite(("Page1_graphic" + std::to_string(g)).c_str()); }
    void send(const char* command)
    {
        lang::String c(command);
        room->handleAction(nullptr, &c);
    }

    CutSceneWorld world;
    VignetteAnimate* room = nullptr;
    Vignette* slides = nullptr;
};

TEST_F(VignetteAnimateTest, TheDefinitionGivesThePagesAndTheirTimetables)
{
    make();
    EXPECT_EQ(2, room->getPageCount());
    EXPECT_EQ(9, room->getExitRoom());
    EXPECT_EQ(3, room->getVignetteGroup());
    EXPECT_TRUE(room->getContinueOnLast());
    EXPECT_EQ(10, room->getFadeFrames());
    ASSERT_EQ(2u, room->getPages().size());
    EXPECT_EQ(2, room->getPages()[0].graphicCount);
    EXPECT_EQ(5, room->getPages()[0].graphicTimes[1]);
    EXPECT_EQ(0, room->getPages()[1].graphicCount);
    // Twelve pictures keep ten, and the page after still reads right; a list
    // that ends early gives the pages it holds.
    auto* many = world.addRoom<VignetteAnimate>(30, {0, 2, 0, 0, 1, 24, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 77});
    ASSERT_EQ(2, many->getPageCount());
    EXPECT_EQ(VignetteAnimate::MAX_GRAPHICS, many->getPages()[0].graphicCount);
    EXPECT_EQ(10, many->getPages()[0].graphicTimes[9]);
    EXPECT_EQ(1, many->getPages()[1].graphicCount);
    EXPECT_EQ(77, many->getPages()[1].graphicTimes[0]);
    auto* shortList = world.addRoom<VignetteAnimate>(31, {0, 5, 0, 0, 1, 24, 1, 50});
    EXPECT_EQ(1, shortList->getPageCount());
    auto* bare = world.addRoom<VignetteAnimate>(32, {0});
    EXPECT_EQ(0, bare->getPageCount());
    EXPECT_EQ(VignetteAnimate::DEFAULT_FADE_FRAMES, bare->getFadeFrames());
}

TEST_F(VignetteAnimateTest, ThePicturesFadeInOneAfterTheOtherOnTheirTimetable)
{
    make();
    world.enter(kRoom);
    EXPECT_TRUE(world.shown(room, "Page1_bu"));
    EXPECT_FALSE(world.shown(room, "Page2_bu"));
    EXPECT_TRUE(world.shown(room, "NextButton"));
    EXPECT_FALSE(world.shown(room, "ContinueButton"));
    EXPECT_EQ(0, graphic(1)->getAlpha());
    EXPECT_EQ(0, graphic(2)->getAlpha()) << "a picture not reached yet waits transparent";
    ASSERT_NE(nullptr, graphic(1)->getActionCommand());
    EXPECT_EQ("graphicVisible1_1", std::string(graphic(1)->getActionCommand()->c_str()));
    // Picture 1 fades for 10 frames, then the room waits 30 - 10 frames.
    world.frames(10);
    EXPECT_EQ(VignetteAnimate::GRAPHIC_ALPHA, graphic(1)->getAlpha());
    world.frames(19);
    EXPECT_EQ(1, room->getGraphic());
    world.frames(1);
    EXPECT_EQ(2, room->getGraphic()) << "30 frames after the first began";
    EXPECT_GT(graphic(2)->getAlphaSteps(), 0);
    EXPECT_EQ(VignetteAnimate::GRAPHIC_ALPHA, graphic(1)->getAlpha()) << "the first stays";
    // Picture 2's time is shorter than the fade: it fades from the frame it
    // began in, waits one frame, then the chain ends with no picture left.
    world.frames(9);
    EXPECT_EQ(2, room->getGraphic());
    world.frames(1);
    EXPECT_EQ(3, room->getGraphic());
    world.frames(50);
    EXPECT_EQ(3, room->getGraphic());
}

TEST_F(VignetteAnimateTest, ATurnedPageDropsTheOldPagesLateMessages)
{
    make();
    world.enter(kRoom);
    send("graphicWaiting1_2");
    EXPECT_EQ(1, room->getGraphic()) << "not the picture now running";
    world.frames(5);
    world.pressButton(room);
    EXPECT_EQ(2, room->getPage());
    EXPECT_EQ(1, room->getGraphic());
    // The first picture's fade still ends and sends its message: dropped.
    world.frames(40);
    EXPECT_EQ(1, room->getGraphic());
    send("graphicWaiting1_1");
    EXPECT_EQ(1, room->getGraphic());
    // A page without pictures: its background and the way on.
    EXPECT_TRUE(world.shown(room, "Page2_bu"));
    EXPECT_FALSE(world.shown(room, "Page1_bu"));
    EXPECT_FALSE(graphic(1)->isVisible());
    EXPECT_FALSE(world.shown(room, "NextButton"));
    EXPECT_TRUE(world.shown(room, "ContinueButton"));
}

TEST_F(VignetteAnimateTest, TheWayOutChoosesTheSlideGroupFirst)
{
    make();
    world.enter(kRoom);
    world.pressButton(room);
    world.canvas->setInTransition(true);
    world.pressButton(room);
    EXPECT_EQ(kRoom, world.current()) << "not during the canvas's fades";
    world.canvas->setInTransition(false);
    world.pressButton(room);
    EXPECT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, world.current());
    EXPECT_EQ(3, slides->getGroup());
}

TEST_F(VignetteAnimateTest, WithoutTheContinueFlagTheLastPageStillOffersNextWhichLeaves)
{
    make({0, 1, 0, 3, 0, 10, 0});
    world.enter(kRoom);
    EXPECT_TRUE(world.shown(room, "NextButton"));
    EXPECT_FALSE(world.shown(room, "ContinueButton"));
    world.pressButton(room);
    EXPECT_EQ(0, world.current());
    EXPECT_EQ(0, slides->getGroup()) << "only the slide show's group is chosen";
}

} // namespace
} // namespace gametest
