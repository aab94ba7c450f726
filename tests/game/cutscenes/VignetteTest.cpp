// VignetteTest.cpp: the slide-show cut scene: its groups read from the
// definition (short or damaged lists included), the slide and caption shown,
// paging, the way out into a room behind the dimmer (the inventory, the
// scene marked seen and the chapter's music on arrival), and the chapter's end.
#include "game/cutscenes/Vignette.h"
#include "game/inventory/Inventory.h"
#include "sprites/script/ScriptHost.h"
#include "tests/support/LuaRun.h"
#include "tests/game/cutscenes/CutSceneWorld.h"

#include <gtest/gtest.h>

namespace gametest {
namespace {

class VignetteTest : public ::testing::Test {
protected:
    // Groups: slide 1 alone then room 12; slides 2 to 4 then the chapter's
    // end; slides 70 and 71 (no captions) then room 5.
    void SetUp() override
    {
        vignette = world.addRoom<Vignette>(LanternfieldCanvas::ROOM_VIGNETTE, {0, 3, 1, 1, 12, 2, 3, -1, 70, 2, 5});
        for (int n : {1, 2, 3, 4, 70, 71}) {
            world.addSprite(vignette, "Slide" + std::to_string(n));
            world.addSprite(vignette, "Text" + std::to_string(n));
        }
        world.addButtons(vignette);
        world.addRoom(12, {0});
        world.addRoom(5, {0});
    }
    void enterGroup(int group)
    {
        vignette->setGroup(group);
        world.enter(LanternfieldCanvas::ROOM_VIGNETTE);
    }
    sprite::SpriteBase* sprite(const std::string& name) { return vignette->getSprite(name.c_str()); }

    CutSceneWorld world;
    Vignette* vignette = nullptr;
};

TEST_F(VignetteTest, TheGroupsComeFromTheDefinitionAndDamagedListsAreReadSafely)
{
    ASSERT_EQ(3, vignette->getGroupCount());
    EXPECT_EQ(2, vignette->getGroups()[1].firstSlide);
    EXPECT_EQ(3, vignette->getGroups()[1].slideCount);
    EXPECT_EQ(-1, vignette->getGroups()[1].exitRoom);
    struct Case {
        std::initializer_list<int> definition;
        int groups;
    };
    const Case cases[] = {
        {{0}, 0},                        // no group count at all
        {{0, 5, 1, 1, 12, 2}, 1},        // five declared, one whole triple
        {{0, -3, 1, 1, 12}, 0},          // a negative count
        {{0, 1, 1, 2000000000, 12}, 1},  // an absurd slide count is cut
    };
    for (const Case& c : cases) {
        auto* room = world.addRoom<Vignette>(30, c.definition);
        EXPECT_EQ(c.groups, room->getGroupCount());
        if (c.groups > 0) {
            EXPECT_LE(room->getGroups()[0].slideCount, Vignette::MAX_GROUP_SLIDES);
        }
        world.enter(30);
        room->advance();
        EXPECT_EQ(30, world.current()) << "nothing to leave by, nothing breaks";
    }
}

TEST_F(VignetteTest, AOneSlideGroupOffersOnlyContinueAndLeavesBehindTheDimmer)
{
    enterGroup(0);
    EXPECT_TRUE(world.shown(vignette, "Slide1"));
    EXPECT_FALSE(world.shown(vignette, "Slide2"));
    EXPECT_FALSE(world.shown(vignette, "NextButton"));
    EXPECT_TRUE(world.shown(vignette, "ContinueButton"));
    // The caption waits transparent, then fades in over 45 frames.
    EXPECT_TRUE(world.shown(vignette, "Text1"));
    EXPECT_EQ(0, sprite("Text1")->getAlpha());
    world.frames(Vignette::CAPTION_DELAY_FRAMES + Vignette::CAPTION_FADE_FRAMES);
    EXPECT_EQ(128, sprite("Text1")->getAlpha());

    world.pressButton(vignette);
    EXPECT_EQ(Room::STATE_LEAVING, vignette->getState());
    EXPECT_TRUE(world.dimFull()->isVisible());
    world.frames(Vignette::EXIT_DELAY_FRAMES - 1);
    EXPECT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, world.current()) << "the dimmer closes first";
    EXPECT_EQ(128, world.dimFull()->getAlpha());
    // A press once the dimmer stands still is swallowed: the room is leaving.
    world.pressButton(vignette);
    EXPECT_EQ(2, vignette->getPage());
    world.frames(1);
    EXPECT_EQ(12, world.current());
    EXPECT_GT(world.dimFull()->getAlphaSteps(), 0) << "and opens again";
    world.frames(Vignette::ENTER_FADE_FRAMES);
    EXPECT_FALSE(world.dimFull()->isVisible());
    world.frames(Vignette::EXIT_DELAY_FRAMES);
    EXPECT_EQ(12, world.current()) << "left once";
}

TEST_F(VignetteTest, LeavingIntoARoomShowsTheInventoryMarksTheSceneSeenAndPlaysTheChaptersMusic)
{
    ScriptHost* previous = ScriptHost::instance;
    auto* host = new ScriptHost();
    lua_State* L = host->getState();
    ASSERT_EQ("", testsupport::runLua(L, "function LF_setVignetteSeen(c) seen = c end\n"
                                         "function LF_replaceMusic(n) music = n end\n"));
    auto* inventory = new Inventory();
    inventory->setVisible(false);
    world.made.push_back(inventory);
    world.canvas->bindInventory(inventory);
    world.canvas->getProgress()->chapter = 3;
    enterGroup(0);
    world.pressButton(vignette);
    world.frames(Vignette::EXIT_DELAY_FRAMES);
    EXPECT_EQ(12, world.current());
    EXPECT_TRUE(inventory->isVisible());
    lua_getglobal(L, "seen");
    lua_getglobal(L, "music");
    EXPECT_EQ(3, lua_tointeger(L, -2)) << "the chapter's cut scene is marked seen";
    EXPECT_STREQ("+sMusicChapter3", lua_tostring(L, -1));
    lua_pop(L, 2);
    delete host;
    ScriptHost::instance = previous;
}

TEST_F(VignetteTest, NextPagesThroughTheGroupAndIgnoresPressesWhileTheDimmerFades)
{
    enterGroup(1);
    EXPECT_TRUE(world.shown(vignette, "Slide2"));
    EXPECT_TRUE(world.shown(vignette, "NextButton"));
    EXPECT_FALSE(world.shown(vignette, "ContinueButton"));
    world.dimFull()->setVisible(true);
    world.dimFull()->setAlphaDestination(0, 10, 1);
    world.pressButton(vignette);
    EXPECT_EQ(1, vignette->getPage()) << "not while the dimmer fades";
    world.frames(10);
    world.pressButton(vignette);
    EXPECT_EQ(2, vignette->getPage());
    EXPECT_FALSE(world.shown(vignette, "Slide2"));
    EXPECT_TRUE(world.shown(vignette, "Slide3"));
    EXPECT_FALSE(world.shown(vignette, "Text2"));
    world.pressButton(vignette);
    EXPECT_TRUE(world.shown(vignette, "Slide4"));
    EXPECT_FALSE(world.shown(vignette, "NextButton"));
    EXPECT_TRUE(world.shown(vignette, "ContinueButton"));
    // The group's exit room is -1: the chapter ends, and the next one starts
    // with its own slides.
    world.pressButton(vignette);
    EXPECT_EQ(2, world.canvas->getProgress()->chapter);
    EXPECT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, world.current());
    EXPECT_EQ(1, vignette->getGroup());
}

TEST_F(VignetteTest, SlidesFromSixtyOnHaveNoCaptionAndAGroupOutOfRangeIsTheFirst)
{
    sprite("Text70")->setVisible(false);
    enterGroup(2);
    EXPECT_TRUE(world.shown(vignette, "Slide70"));
    EXPECT_FALSE(world.shown(vignette, "Text70"));
    EXPECT_EQ(128, sprite("Text70")->getAlpha());
    world.frames(Vignette::CAPTION_DELAY_FRAMES + 1);
    EXPECT_EQ(0, sprite("Text70")->getAlphaSteps());
    enterGroup(7);
    EXPECT_TRUE(world.shown(vignette, "Slide1"));
    EXPECT_TRUE(world.shown(vignette, "ContinueButton"));
}

} // namespace
} // namespace gametest
