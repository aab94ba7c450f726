// AirCompressorTest.cpp: the air compressor in the fixture game: fuses placed
// and swapped with the counts the script reads, the bolts, the diodes'
// drag, carry and home rules by mouse, the wires read back from a paint,
// the light's steps and a spark routine at full sockets.
#include "scenes/aircompressor/AirCompressor.h"

#include "core/lang/String.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/images/AnimateSprite.h"
#include "tests/scenes/support/SceneFixture.h"
#include "tests/scenes/support/ScriptedDraw.h"
#include "tests/scenes/support/ZoomCheck.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/window/Event.h"

#include <algorithm>

namespace scenetest {
namespace {

constexpr int kRoom = 21;

// Fuse click areas at (100 + 60p, 100), 40 x 40; right fuses 1, 2, 3 (blue,
// purple, yellow). Wiring area (200, 250, 500, 300); anchors in the
// rectangle (600, 250, 20, 250): x 610, y 300, 350, 400, 450. Wires red,
// green, blue, white, 3 wide; the right diode of socket s is 3 - s.
const char kNumbers[] = "0 100 100 160 100 220 100 40 40 1 2 3 200 250 500 300 600 250 20 250 "
                        "255 0 0 0 255 0 0 0 255 255 255 255 3 3 2 1 0";

std::string manifest()
{
    std::string m = std::string("<data>\n") + kNumbers + "\n<sprites>\n";
    const char* colours[] = {"Green", "Blue", "Purple", "Yellow"};
    for (int f = 0; f < 4; ++f) {
        const std::string c = colours[f];
        m += "Fuse_" + c + "OnGround Sprite fuse " + std::to_string(100 + 50 * f) + " 500\n";
        for (int p = 1; p <= 3; ++p)
            m += "Fuse_" + c + "_Pos" + std::to_string(p) + " AnimateSprite lit " + std::to_string(40 + 60 * p) +
                 " 100 2 1 0\n";
    }
    for (int p = 0; p < 3; ++p)
        m += "FuseBolt" + std::to_string(p) + " AnimateSprite bolt " + std::to_string(100 + 60 * p) + " 100 3 1 0\n";
    for (int d = 1; d <= 4; ++d) {
        m += "Diode" + std::to_string(d) + " Sprite diode 220 " + std::to_string(220 + 50 * d) + "\n";
        m += "DiodeRect" + std::to_string(d) + " Sprite socket 450 " + std::to_string(220 + 50 * d) + "\n";
    }
    m += "Sparks AnimateSprite sparks 0 0 4 1 0\n"
         "RustSparkle1 AnimateSprite sparkle 0 0 3 1 0\nRustSparkle2 AnimateSprite sparkle 0 0 3 1 0\n"
         "RustSparkle3 AnimateSprite sparkle 0 0 3 1 0\nRust Sprite fuse 20 20\nDoor_FuseClosed Sprite fuse 80 80\n"
         "Button_Start AnimateSprite lit 300 20 2 1 0\nButton_Test AnimateSprite lit 360 20 2 1 0\n"
         "AirCompressorClose ButtonSprite close 740 540 1 1 0 0 0 1\nWireSparks Sprite fuse 0 0\n"
         "IndicatorLight Sprite fuse 0 0\n<end>\n";
    return m;
}

class AirCompressorTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        data.picture("fuse", 30, 30, 0xFF806040u);
        framesPicture(data, "lit", 2, 30, 30);
        framesPicture(data, "bolt", 3, 30, 30);
        data.picture("diode", 20, 20, 0xFF404040u);
        data.picture("socket", 30, 30, 0xFF202020u);
        framesPicture(data, "sparks", 4, 20, 20);
        framesPicture(data, "sparkle", 3, 10, 10);
        framesPicture(data, "close", 1, 40, 40);
        SceneSetup scene;
        scene.index = kRoom;
        scene.className = "AirCompressor";
        scene.manifest = manifest();
        scene.callbacks = {"onDiodeDropped"};
        // The instructions were seen: none open over the board.
        gametest::GameOptions options;
        options.gameScript = "function LF_getShowGameInstructions(n) return false end\n";
        ASSERT_TRUE(startScene(scene, options));
        air = static_cast<AirCompressor*>(room(kRoom));
        ASSERT_TRUE(air->isInstanceOf("AirCompressor"));
        air->setRandomDraw(&draw);
        enter(kRoom);
        ASSERT_TRUE(stepUntil([this] { return !air->isTransitioning(); }));
    }
    std::string lua(const std::string& code) { return runLua(air, code); }
    // A press and a release (each with one timer tick) at points of the screen.
    void press(int x, int y) { world.mouseDown(x, y); }
    void release(int x, int y) { world.mouseUp(x, y); }
    sprite::AnimateSprite* animation(const char* name)
    {
        return static_cast<sprite::AnimateSprite*>(air->getSprite(name));
    }

    AirCompressor* air = nullptr;
    ScriptedDraw draw;
};

TEST_F(AirCompressorTest, FusesArePlacedSwappedAndCounted)
{
    clearRecords();
    EXPECT_EQ("Fuse_BlueOnGround", lua("return self:getGroundFuseClicked(155, 510)"));
    EXPECT_EQ("", lua("return self:getGroundFuseClicked(10, 10)"));
    EXPECT_EQ("0", lua("return self:getClickedFuseIndex(100, 139)"));
    EXPECT_EQ("-1", lua("return self:getClickedFuseIndex(140, 100)")) << "the areas are half-open";
    EXPECT_EQ("13", lua("return self:pickUpItem('Fuse_GreenOnGround')"));
    EXPECT_FALSE(air->getSprite("Fuse_GreenOnGround")->isVisible());
    EXPECT_EQ(AirCompressor::LIGHT_FLICKER, air->getLightKind());
    EXPECT_FALSE(air->isLightOnStart());
    EXPECT_EQ("8", lua("return self:placeFuse(0)"));
    EXPECT_EQ("-1", lua("return self:getNumCorrectFuses()"));
    // Each step: a Lua call, its answer, then the count the script reads.
    // Right fuses: blue at 0, purple at 1, yellow at 2.
    struct Step {
        const char* call;
        const char* answer;
        const char* correct;
    };
    const Step steps[] = {
        {"self:pickUpItem('Fuse_BlueOnGround')", "14", "-1"},
        {"self:placeFuse(3)", "14", "-1"}, // a position outside 0..2 changes nothing
        {"self:placeFuse(1)", "8", "-1"},
        {"self:pickUpItem('Fuse_PurpleOnGround')", "15", "-1"},
        {"self:placeFuse(2)", "8", "0"},
        // Into a full position: the old fuse goes back to the ground.
        {"self:pickUpItem('Fuse_YellowOnGround')", "16", "0"},
        {"self:placeFuse(2)", "8", "1"},
        {"self:pickUpItem('Fuse_PurpleOnGround')", "15", "1"},
        {"self:placeFuse(1)", "8", "2"},
        // Taken out of a holder into a full one: the two change places.
        {"self:placeFuse(0)", "13", "-1"},
        {"self:placeFuse(1)", "8", "1"},
        {"self:pickUpItem('Fuse_BlueOnGround')", "14", "1"},
        {"self:placeFuse(0)", "8", "2"},
        {"self:pickUpItem('Fuse_PurpleOnGround')", "15", "2"},
        {"self:placeFuse(1)", "8", "3"},
        {"self:dropItem(true)", "8", "3"},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(step.answer, lua("return " + std::string(step.call))) << step.call;
        EXPECT_EQ(step.correct, lua("return self:getNumCorrectFuses()")) << step.call;
    }
    EXPECT_EQ(AirCompressor::LIGHT_GLOW, air->getLightKind()) << "the third fuse starts the glow on Test";
    EXPECT_FALSE(air->isLightOnStart());
    EXPECT_EQ(255, air->getSprite("Button_Test")->getAlpha());
    EXPECT_EQ(0, animation("Fuse_Yellow_Pos3")->getFrame()) << "unlit until the script lights them";
    EXPECT_TRUE(air->getSprite("Fuse_GreenOnGround")->isVisible()) << "put back";
    lua("self:lightFuses(true)");
    EXPECT_EQ(1, animation("Fuse_Blue_Pos1")->getFrame());
    EXPECT_EQ(0, air->getBoltsRunning());
    // Taken out with nothing held: the old fuse goes onto the cursor and
    // the Test overlay flickers again.
    EXPECT_EQ("14", lua("return self:placeFuse(0)"));
    EXPECT_EQ(AirCompressor::ITEM_FIRST_FUSE + 1, canvas->getCurrentCursor());
    EXPECT_EQ(AirCompressor::LIGHT_FLICKER, air->getLightKind());
    EXPECT_FALSE(animation("Fuse_Blue_Pos1")->isVisible());
    lua("self:dropItem(true)");
    // Lit with a position empty: the bolt plays twice there and then hides.
    lua("self:lightFuses(true)");
    EXPECT_EQ(1, air->getBoltsRunning());
    EXPECT_EQ("true", lua("return self:isShowingAnimation()"));
    ASSERT_TRUE(stepUntil([this] { return air->getBoltsRunning() == 0; }, 20));
    EXPECT_EQ(6, framesRun) << "three frames, twice";
    EXPECT_FALSE(air->getSprite("FuseBolt0")->isVisible());
    // Lit again before the bolt ends: it starts over, and ends once.
    lua("self:lightFuses(true)");
    frames(2);
    lua("self:lightFuses(true)");
    EXPECT_EQ(1, air->getBoltsRunning());
    ASSERT_TRUE(stepUntil([this] { return lua("return self:isShowingAnimation()") == "false"; }, 20));
    const std::vector<int> sounds = soundsPlayed();
    EXPECT_EQ(92, sounds.front());
    EXPECT_NE(sounds.end(), std::find(sounds.begin(), sounds.end(), AirCompressor::SOUND_FUSE_PLACED));
}

// The sample's rule for a click in the fuse stage: a holder takes the fuse
// held, a ground fuse is picked up, anywhere else the held one goes back.
const char kAirFuseClicks[] = "rooms.AirCompressor.onClick = function(self, x, y) "
                              "local h = self:getClickedFuseIndex(x, y) "
                              "if h >= 0 then self:placeFuse(h) return end "
                              "local f = self:getGroundFuseClicked(x, y) "
                              "if f ~= '' then self:pickUpItem(f) "
                              "elseif self:holdingItem() then self:dropItem(true) end end";

TEST_F(AirCompressorTest, AFuseIsDraggedIntoAHolderOrBackToTheGroundAsWellAsCarried)
{
    lua(kAirFuseClicks);
    constexpr int none = AirCompressor::HELD_NOTHING;
    const struct {
        const char* what;
        int fromX, fromY, toX, toY;
        int placed0, placed1; // the fuses in positions 0 and 1 afterwards
        int held;             // the item on the cursor afterwards
    } drags[] = {
        {"green dragged into holder 0", 115, 515, 120, 120, 0, -1, none},
        {"blue dragged off every holder: back to the ground", 165, 515, 400, 300, 0, -1, none},
        {"a release at its press keeps the purple carried", 215, 515, 216, 516, 0, -1, AirCompressor::ITEM_FIRST_FUSE + 2},
        {"then a click on holder 0 knocks the green back to the ground", 120, 120, 120, 120, 2, -1, none},
        {"a click away changes nothing", 400, 300, 400, 300, 2, -1, none},
        {"the purple dragged out of holder 0 into holder 1", 120, 120, 180, 120, -1, 2, none},
        {"the green dragged into holder 0 again", 115, 515, 120, 120, 0, 2, none},
        // A drag moves one fuse: the one it swaps out goes where it came from.
        {"the yellow dragged onto the green, which goes back to the ground", 265, 515, 120, 120, 3, 2, none},
        {"the yellow dragged from holder 0 onto holder 1: the two change places", 120, 120, 180, 120, 2, 3, none},
    };
    for (const auto& d : drags) {
        press(d.fromX, d.fromY);
        world.mouseMove(d.toX, d.toY);
        release(d.toX, d.toY);
        EXPECT_EQ(d.placed0, air->getPlacedFuse(0)) << d.what;
        EXPECT_EQ(d.placed1, air->getPlacedFuse(1)) << d.what;
        EXPECT_EQ(d.held, air->getHeldItem()) << d.what;
    }
    EXPECT_EQ(none, canvas->getCurrentCursor());
    EXPECT_TRUE(air->getSprite("Fuse_GreenOnGround")->isVisible());
    EXPECT_TRUE(air->getSprite("Fuse_BlueOnGround")->isVisible());
}

TEST_F(AirCompressorTest, AFuseHeldOnLeavingGoesBackWhereItCameFrom)
{
    lua(kAirFuseClicks);
    // Off to the dive dock and back (any way out leaves the room alike).
    auto leaveAndReturn = [this] {
        canvas->changeRoom(AirCompressor::DIVE_DOCK_ROOM);
        world.stepFrames(40);
        ASSERT_EQ(AirCompressor::DIVE_DOCK_ROOM, canvas->getCurrentRoomIndex());
        enter(kRoom);
        world.stepFrames(40);
        ASSERT_EQ(Room::STATE_PLAYING, air->getState());
    };
    // Picked up from the ground: on the ground again.
    world.click(115, 515);
    ASSERT_EQ(AirCompressor::ITEM_FIRST_FUSE, air->getHeldItem());
    leaveAndReturn();
    EXPECT_EQ(AirCompressor::HELD_NOTHING, air->getHeldItem());
    EXPECT_TRUE(air->getSprite("Fuse_GreenOnGround")->isVisible());
    EXPECT_EQ(AirCompressor::HELD_NOTHING, canvas->getCurrentCursor());
    // Taken out of holder 1: back in holder 1.
    world.click(115, 515);
    EXPECT_EQ(AirCompressor::ITEM_FIRST_FUSE, air->getHeldItem());
    world.click(180, 120);
    EXPECT_EQ(0, air->getPlacedFuse(1));
    world.click(180, 120);
    ASSERT_EQ(AirCompressor::ITEM_FIRST_FUSE, air->getHeldItem());
    ASSERT_EQ(-1, air->getPlacedFuse(1));
    leaveAndReturn();
    EXPECT_EQ(AirCompressor::HELD_NOTHING, air->getHeldItem());
    EXPECT_EQ(0, air->getPlacedFuse(1));
    EXPECT_TRUE(animation("Fuse_Green_Pos2")->isVisible());
    EXPECT_FALSE(air->getSprite("Fuse_GreenOnGround")->isVisible());
}

TEST_F(AirCompressorTest, DiodesAreDraggedCarriedAndDroppedAndTheWiresDrawn)
{
    lua("self:startWireGame(true) self:initWireGame()");
    // A release at the press carries the diode; the next release drops it.
    press(230, 280);
    EXPECT_EQ(0, air->getDraggedDiode());
    EXPECT_FALSE(air->getSprite("Diode1")->isVisible());
    release(231, 281);
    EXPECT_TRUE(air->isCarrying());
    world.mouseMove(460, 280);
    release(460, 280);
    EXPECT_EQ(0, air->getSocketContent(0));
    EXPECT_EQ(455, air->getSprite("Diode1")->left());
    // Dropped on a socket that holds another diode: home, and its socket empties.
    press(230, 330);
    world.mouseMove(300, 330);
    release(300, 330);
    EXPECT_EQ(220, air->getSprite("Diode2")->left()) << "dropped off the sockets: home";
    press(230, 330);
    world.mouseMove(460, 330);
    release(460, 330);
    press(460, 330);
    world.mouseMove(460, 285);
    release(460, 285);
    EXPECT_EQ(-1, air->getSocketContent(1));
    EXPECT_EQ(0, air->getSocketContent(0));
    EXPECT_EQ(220, air->getSprite("Diode2")->left());
    // Out of the wiring area while dragged: home at once.
    press(230, 330);
    world.mouseMove(100, 330);
    EXPECT_EQ(-1, air->getDraggedDiode());
    EXPECT_TRUE(world.debugText().find("start dropWire wires: 0, -1, -1, -1.\nindex = -1\n") != std::string::npos);
    // All four in: the status counts the right ones (3 - s); the wrong go home.
    for (int d = 1; d <= 3; ++d) {
        press(230, 280 + 50 * d);
        world.mouseMove(460, 280 + 50 * d);
        release(460, 280 + 50 * d);
        if (d < 3) {
            EXPECT_EQ("-1", lua("return self:getWiringStatus()"));
        }
    }
    EXPECT_EQ("0", lua("return self:getWiringStatus()"));
    EXPECT_EQ(AirCompressor::LIGHT_GLOW, air->getLightKind());
    EXPECT_TRUE(air->isLightOnStart());
    // The wires, read back from a paint: diode 4's white wire to (610, 450).
    world.mouseMove(10, 10);
    window::Graphics* g = canvas->getGraphics();
    std::vector<uint32_t> pixels(size_t(800) * 600, 0);
    g->getBackBuffer(0, 0, 800, 600, pixels.data());
    g->release();
    EXPECT_EQ(0xFFFFFFu, pixels[size_t(450) * 800 + 609] & 0xFFFFFFu);
    EXPECT_EQ(0xFF0000u, pixels[size_t(300) * 800 + 609] & 0xFFFFFFu) << "diode 1's red wire";
    // Sockets with diodes other than their right one: the diodes they held go home.
    lua("self:clearWrongWires()");
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(-1, air->getSocketContent(s));
    EXPECT_EQ(220, air->getSprite("Diode4")->left());
}

TEST_F(AirCompressorTest, ClearingWrongWiresSendsHomeTheDiodesTheSocketsHeld)
{
    lua("self:startWireGame(true) self:initWireGame()");
    // Sockets 0 and 2 get their right diodes (4 and 2); sockets 1 and 3
    // get diodes 1 and 3, which are wrong there.
    const int diodeOfSocket[] = {4, 1, 2, 3};
    for (int s = 0; s < 4; ++s) {
        const int d = diodeOfSocket[s];
        press(230, 230 + 50 * d);
        world.mouseMove(460, 280 + 50 * s);
        release(460, 280 + 50 * s);
    }
    ASSERT_EQ("2", lua("return self:getWiringStatus()"));
    lua("self:clearWrongWires()");
    const int contents[] = {3, -1, 1, -1};
    const int lefts[] = {220, 455, 220, 455}; // diodes 1 to 4: home or in a socket
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(contents[i], air->getSocketContent(i)) << "socket " << i;
        EXPECT_EQ(lefts[i], air->getSprite(("Diode" + std::to_string(i + 1)).c_str())->left()) << "diode " << i + 1;
    }
    // A name that is no sprite is carried as nothing and put back as nothing.
    EXPECT_EQ("8", lua("return self:pickUpItem('NoSuchThing')"));
    EXPECT_EQ("8", lua("return self:dropItem(true)"));
    expectLuaErrors(air, {
                             {"self.getWiringStatus({})", "(not a Sprite object)"},
                             {"self.getWiringStatus(canvas)", "(not a AirCompressor)"},
                             {"self:placeFuse()", "bad argument #2 to 'placeFuse' (too many arguments)"},
                             {"self:initFlicker('glow', true, 1)", "bad argument #3 to 'initFlicker' (too many arguments)"},
                         });
}

TEST_F(AirCompressorTest, ThePulseStepsAndTheGlowIgnoresItsEnd)
{
    lua("self:initFlicker('pulse', true)");
    sprite::SpriteBase* start = air->getSprite("Button_Start");
    EXPECT_TRUE(start->isVisible());
    EXPECT_FALSE(air->getSprite("Button_Test")->isVisible());
    EXPECT_EQ(0, start->getAlpha());
    EXPECT_EQ(5, air->getLightCountdown());
    frames(5);
    EXPECT_FALSE(air->isLightStepping());
    frames(24);
    EXPECT_EQ(255, start->getAlpha());
    frames(1);
    EXPECT_TRUE(air->isLightStepping()) << "held lit 5 frames, then falls";
    EXPECT_FALSE(air->getLightPhase());
    // A press stops the light; the release starts it again on that button.
    lua("self:pressButton('Button_Test', true)");
    EXPECT_FALSE(air->isLightStepping());
    lua("self:pressButton('Button_Test', false)");
    EXPECT_FALSE(air->isLightOnStart());
    EXPECT_TRUE(air->isLightStepping());
    lua("self:initFlicker('glow', true)");
    auto* command = new lang::String("FlickerDone");
    auto* done = new window::Event(air, window::Event::ACTION, command);
    EXPECT_FALSE(air->handleEvent(done));
    done->release();
    command->release();
    EXPECT_EQ(255, start->getAlpha());
    EXPECT_FALSE(air->isLightStepping());
    // The close button zooms back to the dive dock.
    world.click(750, 550);
    expectZoom(canvas, "+iAirCompressorMask", 135, 47, 4.0f, 0.3f);
    world.stepFrames(40);
    EXPECT_EQ(AirCompressor::DIVE_DOCK_ROOM, canvas->getCurrentRoomIndex());
}

TEST_F(AirCompressorTest, ASparkRoutineAtFullSocketsLastsTwentyFourFrames)
{
    lua("self:startWireGame(true) self:initWireGame()");
    for (int d = 1; d <= 4; ++d) {
        press(230, 230 + 50 * d);
        world.mouseMove(460, 230 + 50 * d);
        release(460, 230 + 50 * d);
    }
    ASSERT_EQ("0", lua("return self:getWiringStatus()"));
    draw.addBetween({40});
    lua("self:startSparkRoutine(2)");
    EXPECT_EQ(24, air->getSparkFramesLeft());
    EXPECT_TRUE(air->sparkClone(3)->isVisible());
    lua("self:startSparkRoutine(0)");
    EXPECT_EQ(24, air->getSparkFramesLeft()) << "a running routine is not restarted";
    frames(23);
    EXPECT_TRUE(air->isSparkRoutineRunning());
    frames(1);
    EXPECT_FALSE(air->isSparkRoutineRunning());
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(air->sparkClone(i)->isVisible());
}

} // namespace
} // namespace scenetest
