// FountainCUTest.cpp: the fountain close-up driven as its script drives it:
// the valve door, the draining, the key and its twinkle, the pipe door, the
// mended pipes and the fixed water to the way back to the market place; the
// clicks on its hot spots and on none; a key held on leaving put back, and
// twinkling in the drained basin on later visits; events without a command;
// and the argument checks of its Lua methods.
#include "scenes/fountain/FountainCU.h"

#include "core/lang/Integer.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/pipes/PipesCU.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/ScalerSprite.h"
#include "windowing/window/Event.h"
#include "tests/scenes/support/FountainScene.h"
#include "tests/scenes/support/ScriptedDraw.h"

#include <algorithm>

namespace scenetest {
namespace {

class FountainCUTest : public FountainScene {
protected:
    sprite::SpriteBase* sprite(const char* name) { return fountain->getSprite(name); }
    std::string lua(const std::string& call) { return runLua(fountain, "return self:" + call); }
};

TEST_F(FountainCUTest, FromTheValveToTheMarketPlace)
{
    auto* draws = new ScriptedDraw();
    fountain->setRandomDraw(std::unique_ptr<RandomDraw>(draws));
    EXPECT_TRUE(canvas->isPuzzleActive());
    clearRecords();
    lua("openValveDoor()");
    ASSERT_TRUE(stepUntil([this] { return sprite("ValveDoorOpen")->isVisible(); }));
    EXPECT_FALSE(sprite("ClosedValveDoor")->isVisible());
    EXPECT_EQ(1, sprite("ValveDoorOpen")->getMouseOverCursor()) << "the hand";
    lua("drainWaterFromFountain()");
    EXPECT_TRUE(fountain->isDraining());
    // Four turns of the valve, two ticks a frame; then the water sinks.
    ASSERT_TRUE(stepUntil([this] { return !fountain->isDraining(); }));
    EXPECT_TRUE(fountain->isTwinkleOn());
    // The valve door opens with entry 7 of the sound table.
    EXPECT_EQ((std::vector<int>{7, FountainCU::SOUND_VALVE, FountainCU::SOUND_DRAIN}), soundsPlayed());
    // The key twinkles when its countdown runs out, and is drawn again.
    draws->addBetween({3, 50});
    fountain->handleCommand(FountainCU::FINISH_DRAINING);
    EXPECT_EQ(3, fountain->getTwinkleCountdown());
    frames(4);
    EXPECT_TRUE(sprite("KeyTwinkle")->isVisible());
    EXPECT_EQ(50, fountain->getTwinkleCountdown());
    // No countdown while the game is paused.
    canvas->setGameState(LanternfieldCanvas::STATE_PAUSED);
    frames(5);
    EXPECT_EQ(50, fountain->getTwinkleCountdown());
    canvas->setGameState(LanternfieldCanvas::STATE_PLAYING);

    lua("pickupKey()");
    EXPECT_TRUE(fountain->isKeyHeld());
    EXPECT_EQ(FountainCU::CURSOR_KEY, canvas->getItemOnCursor());
    EXPECT_EQ("true", lua("useKeyOnPipeDoor()"));
    EXPECT_EQ("false", lua("useKeyOnPipeDoor()")) << "the key is used up";
    EXPECT_TRUE(sprite("PipeDoorOpenBroken")->isVisible());

    // The pipes are mended in their close-up; it tells the fountain.
    openPipes();
    EXPECT_FALSE(sprite("CloseButton")->isVisible());
    lua("enterPipesCU()");
    world.click(pieceX(kCrossed), pieceY());
    ASSERT_TRUE(painted([this] { return sprite("PipeDoorOpenFixed")->isVisible(); }));
    EXPECT_EQ(FountainCU::FIXED_STARS + 0, fountain->getEffects().size());
    // The stars burst while the door fades in, then go: none stays drawn
    // on the door, open or shut again.
    auto starsShown = [this] {
        int shown = 0;
        for (int i = 0; i < fountain->getEffects().size(); ++i)
            shown += static_cast<sprite::SpriteBase*>(fountain->getEffects().elementAt(i))->isVisible() ? 1 : 0;
        return shown;
    };
    EXPECT_EQ(FountainCU::FIXED_STARS, starsShown());
    ASSERT_TRUE(stepUntil([&starsShown] { return starsShown() == 0; }));
    EXPECT_LE(framesRun, FountainCU::FIXED_FADE + FountainCU::STARS_FADE + 1);

    clearCalls();
    lua("turnOnFixedWater()");
    ASSERT_TRUE(stepUntil([this] { return !calls("LF_showTaskCompleted").empty(); }));
    EXPECT_EQ(40, framesRun) << "the water rises over 40 frames";
    ASSERT_TRUE(stepUntil([this] { return fountain->getState() == Room::STATE_LEAVING; }));
    // The wait's first step runs in the frame that starts it.
    EXPECT_EQ(FountainCU::BANNER_TICKS - 1, framesRun);
    EXPECT_EQ(FountainCU::MARKET_PLACE, canvas->getPendingRoom());
    // Greyed while the water rises, and hidden with it had the game gone to
    // the menu while the pipes board was open: the next entry, after a
    // restart too, has Leave shown and ready again.
    sprite("CloseButton")->setVisible(false);
    enter(kRoom);
    EXPECT_TRUE(sprite("CloseButton")->isVisible());
    EXPECT_EQ(sprite::ButtonMixin::NORMAL, sprite::ButtonMixin::fromSprite(sprite("CloseButton"))->getState());
}

TEST_F(FountainCUTest, ClicksOnTheHotSpotsAndOnNothing)
{
    const struct {
        const char* what;
        int x, y;
        bool keyHeld;
        const char* call;
        std::vector<int> sounds;
    } cases[] = {
        {"the pipe door", 620, 120, false, "clickOnPipeDoor", {}},
        {"the valve", 120, 120, false, "clickOnValveDoor", {}},
        {"the valve with the key held", 120, 120, true, "", {FountainCU::SOUND_NOTHING, FountainCU::SOUND_KEY_BACK}},
        {"the key in the water", 390, 430, false, "clickOnKeyInFountain", {}},
        {"nothing", 300, 300, false, "", {FountainCU::SOUND_NOTHING}},
        {"nothing with the key held", 300, 300, true, "", {FountainCU::SOUND_NOTHING, FountainCU::SOUND_KEY_BACK}},
    };
    for (const auto& c : cases) {
        if (c.keyHeld)
            lua("pickupKey()");
        clearCalls();
        clearRecords();
        world.click(c.x, c.y);
        std::vector<std::string> hot;
        for (const char* f : {"clickOnPipeDoor", "clickOnValveDoor", "clickOnKeyInFountain"}) {
            if (!calls(f).empty())
                hot.push_back(f);
        }
        EXPECT_EQ(*c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{}, hot) << c.what;
        EXPECT_EQ(c.sounds, soundsPlayed()) << c.what;
        EXPECT_FALSE(fountain->isKeyHeld()) << c.what;
    }
    // A turning valve takes no click.
    lua("turnOffBrokenWater(true)");
    clearCalls();
    world.click(120, 120);
    EXPECT_TRUE(calls("clickOnValveDoor").empty());
}

TEST_F(FountainCUTest, AKeyHeldOnLeavingLiesInTheWaterAgainAndTwinklesOnLaterVisits)
{
    auto* draws = new ScriptedDraw();
    fountain->setRandomDraw(std::unique_ptr<RandomDraw>(draws));
    lua("pickupKey()");
    ASSERT_EQ(FountainCU::CURSOR_KEY, canvas->getItemOnCursor());
    canvas->leaveCurrentRoom();
    EXPECT_FALSE(fountain->isKeyHeld());
    EXPECT_TRUE(sprite("KeyInFountain")->isVisible()) << "the next visit can take it";
    EXPECT_NE(FountainCU::CURSOR_KEY, canvas->getItemOnCursor());

    // Whether the key twinkles on the next visit: in the drained basin only.
    const struct {
        const char* story;
        bool keyShown;
        bool twinkles;
    } visits[] = {
        {"LF.fountainDrained = false", true, false},
        {"LF.fountainDrained = true", true, true},
        {"LF.fountainDrained = true", false, false}, // the key opened the pipe door
    };
    for (const auto& v : visits) {
        SCOPED_TRACE(std::string(v.story) + (v.keyShown ? "" : ", the key gone"));
        runLua(fountain, v.story);
        sprite("KeyInFountain")->setVisible(v.keyShown);
        draws->addBetween({7});
        enter(kRoom);
        EXPECT_EQ(v.twinkles, fountain->isTwinkleOn());
        if (v.twinkles) {
            EXPECT_EQ(1, sprite("KeyInFountain")->getMouseOverCursor()) << "the hand";
            frames(8);
            EXPECT_TRUE(sprite("KeyTwinkle")->isVisible());
        }
        canvas->leaveCurrentRoom();
        sprite("KeyTwinkle")->setVisible(false);
    }
}

TEST_F(FountainCUTest, AnEventWithoutACommandChangesNothing)
{
    lua("drainWaterFromFountain()");
    lua("pickupKey()");
    clearRecords();
    lang::Integer number(3);
    window::Event withNumber(fountain, window::Event::ACTION, &number);
    window::Event withObject(fountain, window::Event::ACTION, fountain);
    for (window::Event* e : {&withNumber, &withObject}) {
        EXPECT_FALSE(fountain->handleEvent(e));
        EXPECT_TRUE(fountain->isDraining()) << "the draining is not finished";
        EXPECT_FALSE(fountain->isTwinkleOn());
        EXPECT_TRUE(fountain->isKeyHeld());
        EXPECT_FALSE(sprite("KeyTwinkle")->isVisible());
        EXPECT_TRUE(soundsPlayed().empty());
    }
}

TEST_F(FountainCUTest, LuaMethodsCheckTheirArguments)
{
    EXPECT_EQ("true", lua("turnOnBrokenWater(true)"));
    EXPECT_EQ("false", lua("putKeyInFountain()")) << "no key held";
    expectLuaErrors(fountain, {
                                  {"self:pickupKey(1)", "too many arguments"},
                                  {"self:turnOffBrokenWater()", "too many arguments"},
                                  {"self:turnOnBrokenWater(true, 2)", "too many arguments"},
                                  {"hv.FountainCU.openValveDoor({})", "not a Sprite object"},
                                  {"hv.FountainCU.enterPipesCU(7)", "table expected"},
                              });
    const std::string other = runLua(room(2), "return hv.FountainCU.drainWaterFromFountain(self)");
    EXPECT_NE(std::string::npos, other.find("not a FountainCU")) << other;
}

} // namespace
} // namespace scenetest
