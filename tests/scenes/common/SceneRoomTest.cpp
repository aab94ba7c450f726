// SceneRoomTest.cpp: the room helpers on a canvas without data: sprite
// look-ups that report what is missing, the close button, the pausing tick
// and the puzzles' side of the mini-game instructions.
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneRoom.h"

#include "platform/kernel/DebugOutput.h"
#include "sprites/buttons/RectButtonSprite.h"
#include "sprites/images/AnimateSprite.h"
#include "tests/game/support/BareCanvas.h"

#include <gtest/gtest.h>

namespace {

using gametest::BareWorld;
using sprite::ButtonMixin;

class SceneRoomTest : public ::testing::Test {
protected:
    // A button (or any sprite) added to the room or to the canvas.
    sprite::RectButtonSprite* button(int x, int y, int w, int h)
    {
        auto* b = new sprite::RectButtonSprite();
        lang::IntArray* numbers = spritetest::numberList({x, y, w, h, 1});
        b->configure(nullptr, numbers);
        numbers->release();
        world.made.push_back(b);
        return b;
    }

    BareWorld world;
    platform::DebugCapture debug;
};

TEST_F(SceneRoomTest, MissingOrMistypedSpritesAreReportedAndGiveNull)
{
    Room* room = world.addRoom(17, {0});
    room->setName(lang::String("Concentration"));
    room->addChild("AITurnBG", button(0, 0, 10, 10));
    EXPECT_EQ(nullptr, SceneRoom::find(room, "PlayerScore"));
    EXPECT_TRUE(debug.contains("Concentration: no sprite PlayerScore"));
    EXPECT_EQ(nullptr, SceneRoom::findAnimation(room, "AITurnBG"));
    EXPECT_TRUE(debug.contains("Concentration: the sprite AITurnBG is no AnimateSprite"));
    EXPECT_NE(nullptr, SceneRoom::findButton(room, "AITurnBG"));
    EXPECT_EQ(nullptr, SceneRoom::findButton(nullptr, "AITurnBG"));
    // A text into a sprite that is no text sprite, or into none, changes nothing.
    SceneRoom::setText(room, "AITurnBG", "6");
    SceneRoom::setText(room, "Missing", "6");
    SceneRoom::enableCloseButton(room, false);
    EXPECT_FALSE(SceneRoom::isCloseButtonHit(room, 5, 5)) << "no close button";
}

TEST_F(SceneRoomTest, TheCloseButtonIsHitOnlyWhileEnabled)
{
    Room* room = world.addRoom(52, {0});
    sprite::RectButtonSprite* close = button(700, 20, 60, 40);
    room->addChild(SceneRoom::kCloseButton, close);
    room->setPosition(100, 0);
    // The room stands 100 pixels to the right: the button's box is at 800.
    EXPECT_TRUE(SceneRoom::isCloseButtonHit(room, 810, 30));
    EXPECT_FALSE(SceneRoom::isCloseButtonHit(room, 710, 30));
    SceneRoom::enableCloseButton(room, false);
    EXPECT_EQ(ButtonMixin::DISABLED, close->getState());
    EXPECT_FALSE(SceneRoom::isCloseButtonHit(room, 810, 30));
    close->setState(ButtonMixin::SELECTED);
    SceneRoom::enableCloseButton(room);
    EXPECT_EQ(ButtonMixin::SELECTED, close->getState()) << "a selected button stays selected";
    close->setState(ButtonMixin::DISABLED);
    SceneRoom::enableCloseButton(room);
    EXPECT_EQ(ButtonMixin::NORMAL, close->getState());
}

TEST_F(SceneRoomTest, ThePausingTickRunsTheRoomOnlyWhileTheGamePlaysWithoutInstructions)
{
    Room* room = world.addRoom(52, {0});
    auto* panel = new sprite::DialogSprite(false);
    world.canvas->addSprite("GameInstructions", panel, -1);
    panel->setVisible(false);
    world.made.push_back(panel);
    world.enter(52);

    room->setStateAfter(Room::STATE_LEAVING, 1);
    world.canvas->forceGameState(LanternfieldCanvas::STATE_PAUSED);
    EXPECT_FALSE(SceneRoom::pausingTick(room, 1, nullptr, nullptr));
    world.canvas->forceGameState(LanternfieldCanvas::STATE_PLAYING);
    panel->setVisible(true);
    EXPECT_FALSE(SceneRoom::pausingTick(room, 2, nullptr, nullptr));
    EXPECT_EQ(Room::STATE_PLAYING, room->getState()) << "nothing counted while paused or instructed";
    panel->setVisible(false);
    SceneRoom::pausingTick(room, 3, nullptr, nullptr);
    EXPECT_EQ(Room::STATE_LEAVING, room->getState());
}

TEST_F(SceneRoomTest, TheInstructionsQuestionMarkComesOpensAndGoes)
{
    Room* room = world.addRoom(17, {0});
    sprite::RectButtonSprite* mark = button(760, 40, 30, 30);
    world.canvas->addSprite("GameInsQuestionMark", mark, -1);
    mark->setVisible(false);
    mark->setState(ButtonMixin::DISABLED);
    world.enter(17);

    EXPECT_FALSE(SceneInstructions::openOnQuestionMark(room, 3, 770, 50)) << "hidden";
    SceneInstructions::queue(room, 3, 36);
    EXPECT_TRUE(mark->isVisible());
    EXPECT_EQ(ButtonMixin::NORMAL, mark->getState());
    EXPECT_FALSE(SceneInstructions::openOnQuestionMark(room, 3, 700, 50));
    EXPECT_TRUE(SceneInstructions::openOnQuestionMark(room, 3, 770, 50));
    world.canvas->disableGameInsQuestionMark();
    EXPECT_FALSE(SceneInstructions::openOnQuestionMark(room, 3, 770, 50)) << "disabled";
    world.canvas->setGameInstructionsInfo(3, 0, 0);
    SceneInstructions::close(room, 3);
    EXPECT_FALSE(mark->isVisible());
    EXPECT_EQ(-1, world.canvas->getGameInstructionsGame());
}

} // namespace
