// CallBoxTest.cpp: the call box in the fixture game: combinations dialled
// by clicks on the keys (a script that dials what is clicked, as the game's
// does) with their sounds and tints, the register's slides and sounds, the
// receiver and the dial, the close button, the Lua face, and definitions
// that are short, too long or lack a digit's picture.
#include "scenes/callbox/CallBox.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/progress/ProgressRecord.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/ImageSprite.h"
#include "sprites/transitions/TransitionBase.h"
#include "windowing/window/Event.h"
#include "tests/scenes/support/SceneFixture.h"

namespace scenetest {
namespace {

constexpr int kCallBoxRoom = 22;
constexpr int kRestY = 300;
constexpr int kDisplayY = 240;
constexpr int kKey = 40;

// The middle of key k (1 to 9, three to a row), of "Clear" and of "Enter".
int keyX(int k)
{
    return 200 + 60 * ((k - 1) % 3) + kKey / 2;
}
int keyY(int k)
{
    return 380 + 60 * ((k - 1) / 3) + kKey / 2;
}
constexpr int kEnterX = 420;
constexpr int kEnterY = 400;

// The room's sprites; `numbers` is its <data> list and `digits` the digits
// that have a register picture.
std::string manifest(const std::string& numbers, int digits = 10)
{
    std::string m = "<data>\n" + numbers + "\n<sprites>\n";
    for (int k = 1; k <= 9; ++k) {
        m += "CallBox" + std::to_string(k) + " ButtonSprite key " + std::to_string(keyX(k) - kKey / 2) + " " +
             std::to_string(keyY(k) - kKey / 2) + " 4 1 1 0 3 1\n";
    }
    m += "CallBoxClear ButtonSprite key 400 440 4 1 1 0 3 1\n"
         "CallBoxEnter ButtonSprite key 400 380 4 1 1 0 3 1\n";
    for (int i = 1; i <= 4; ++i)
        m += "CallBoxReg" + std::to_string(i) + " Sprite blank " + std::to_string(100 + 50 * i) + " " +
             std::to_string(kRestY) + "\n";
    for (int d = 0; d < digits; ++d)
        m += "CallBoxRegProto" + std::to_string(d) + " Sprite digit" + std::to_string(d) + " -100 0\n";
    m += "ReceiverOnHook Sprite receiver 600 100\n"
         "ReceiverOffHook Sprite receiver 600 300\n"
         "ReceiverOnHookRect RectButtonSprite 600 100 80 120 1\n"
         "ReceiverOffHookRect RectButtonSprite 600 300 80 120 0\n"
         "CallBoxButtonsRect RectButtonSprite 200 380 160 160 1\n"
         "CloseButton ButtonSprite close 740 540 1 1 0 0 0 1\n"
         "<end>\n";
    return m;
}

// The game's way of dialling: a click on a key dials its digit and shows
// it, "Enter" tests the number and "Clear" clears the register.
const char kDialScript[] = "rooms['CallBox'].onClick = function(self, x, y)\n"
                           "  for k = 1, 9 do\n"
                           "    if self:sprite('CallBox' .. k):hittest(x, y) then\n"
                           "      self:addDigit(k) self:updateRegister() return\n"
                           "    end\n"
                           "  end\n"
                           "  if self:sprite('CallBoxEnter'):hittest(x, y) then self:testCombo(true) end\n"
                           "  if self:sprite('CallBoxClear'):hittest(x, y) then self:clearRegister(true) end\n"
                           "end\n";

class CallBoxTest : public SceneFixture {
protected:
    void start(const std::string& numbers, int digits = 10)
    {
        testsupport::GameData& data = world.data();
        framesPicture(data, "key", 4, kKey, kKey);
        data.picture("blank", 40, 50, 0xFF808080u);
        for (int d = 0; d < 10; ++d)
            data.picture("digit" + std::to_string(d), 40, 50, 0xFF000000u + uint32_t(d) * 0x111111u);
        data.picture("receiver", 80, 120, 0xFF202020u);
        framesPicture(data, "close", 1, 40, 40);
        data.picture("iCallBoxTransition", 64, 64, 0xFFFFFFFFu);
        SceneSetup scene;
        scene.index = kCallBoxRoom;
        scene.className = "CallBox";
        scene.manifest = manifest(numbers, digits);
        gametest::GameOptions options;
        options.gameScript = kDialScript;
        ASSERT_TRUE(startScene(scene, options));
        box = static_cast<CallBox*>(room(kCallBoxRoom));
        ASSERT_TRUE(box->isInstanceOf("CallBox"));
        enter(kCallBoxRoom);
        clearRecords();
    }
    sprite::SpriteBase* place(int i) { return box->getSprite(("CallBoxReg" + std::to_string(i)).c_str()); }
    sprite::ButtonMixin* button(const char* name) { return sprite::ButtonMixin::fromSprite(box->getSprite(name)); }
    // The place's colour balance as alpha, red, green, blue.
    std::vector<int> tint(int i)
    {
        const auto& c = place(i)->getColor();
        return {c.getAlpha(), c.getRed(), c.getGreen(), c.getBlue()};
    }

    CallBox* box = nullptr;
};

TEST_F(CallBoxTest, CombinationsDialledOnTheKeysAreTestedWithTheirSoundsAndTints)
{
    start("0 4 2 7 1 8 300 240");
    const std::vector<int> neutral = {255, 128, 128, 128};
    const std::vector<int> green = {255, 0, 128, 0};
    const std::vector<int> red = {255, 128, 0, 0};
    const struct {
        std::vector<int> digits;
        bool right;
    } cases[] = {
        {{2, 7, 1, 8}, true},
        {{2, 7, 1, 7}, false},
        {{2, 7, 1}, false}, // three right digits of four
        {{7, 2, 1, 8}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.digits));
        std::vector<int> expected;
        for (int d : c.digits) {
            clickAt(keyX(d), keyY(d));
            expected.push_back(CallBox::SOUND_DIGIT + d);
            expected.push_back(CallBox::SOUND_REGISTER_SHOWN);
        }
        ASSERT_EQ(int(c.digits.size()), box->getEnteredCount());
        clickAt(kEnterX, kEnterY);
        expected.push_back(c.right ? CallBox::SOUND_RIGHT : CallBox::SOUND_WRONG);
        EXPECT_EQ(expected, soundsPlayed());
        EXPECT_EQ(c.right ? "true" : "false", runLua(box, "return self:isComboCorrect()"));
        for (int i = 1; i <= 4; ++i)
            EXPECT_EQ(i <= int(c.digits.size()) ? (c.right ? green : red) : neutral, tint(i)) << "place " << i;
        // Showing no verdict plays it all the same but leaves the places neutral.
        clearRecords();
        runLua(box, "self:testCombo(false)");
        EXPECT_EQ(std::vector<int>{c.right ? CallBox::SOUND_RIGHT : CallBox::SOUND_WRONG}, soundsPlayed());
        EXPECT_EQ(neutral, tint(1));
        runLua(box, "self:clearRegister(false)");
        clearRecords();
    }
}

TEST_F(CallBoxTest, TheRegisterSlidesDigitsUpAndBackWithItsSounds)
{
    start("0 4 2 7 1 8 300 240");
    window::ImageBase* blank = static_cast<sprite::ImageSprite*>(place(1))->getImage();
    auto* digit5 = static_cast<sprite::ImageSprite*>(box->getSprite("CallBoxRegProto5"));
    runLua(box, "self:addDigit(5) self:updateRegister()");
    EXPECT_EQ(digit5->getImage(), static_cast<sprite::ImageSprite*>(place(1))->getImage());
    EXPECT_EQ(6, place(1)->getMoveSteps()) << "the place slides up over 6 frames";
    frames(8);
    EXPECT_EQ(kDisplayY, place(1)->top());
    runLua(box, "self:addDigit(3) self:updateRegister()");
    frames(8);
    EXPECT_EQ(kDisplayY, place(2)->top());
    EXPECT_EQ((std::vector<int>{73, 63, 71, 63}), soundsPlayed());

    // Updating again moves nothing that is already up, but always sounds.
    clearRecords();
    runLua(box, "self:updateRegister()");
    EXPECT_EQ(0, place(2)->getMoveSteps());
    EXPECT_EQ(std::vector<int>{CallBox::SOUND_REGISTER_SHOWN}, soundsPlayed());

    // Two digits cleared with the slide: places 1 and 2 slide back and tell
    // the room at their end; places 3 and 4 are set at once.
    clearRecords();
    clearCalls();
    runLua(box, "self:clearRegister(true)");
    EXPECT_EQ(std::vector<int>{CallBox::SOUND_REGISTER_CLEARED}, soundsPlayed());
    EXPECT_EQ(0, box->getEnteredCount());
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(kDisplayY, place(i)->top()) << i;
        EXPECT_EQ(6, place(i)->getMoveSteps()) << i;
        EXPECT_EQ(box, place(i)->getActionReceiver()) << i;
    }
    for (int i = 3; i <= 4; ++i) {
        EXPECT_EQ(kRestY, place(i)->top()) << i;
        EXPECT_EQ(0, place(i)->getMoveSteps()) << i;
    }
    frames(8);
    EXPECT_EQ(kRestY, place(1)->top());
    EXPECT_EQ(kRestY, place(2)->top());
    EXPECT_TRUE(calls("").empty()) << "the ends of the slides reach no script";
    // Back at rest the places show no digit: every one is empty again, and
    // so is a digit cleared without the slide.
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(blank, static_cast<sprite::ImageSprite*>(place(i))->getImage()) << i;
    runLua(box, "self:addDigit(9) self:updateRegister() self:clearRegister(false)");
    EXPECT_EQ(blank, static_cast<sprite::ImageSprite*>(place(1))->getImage());
    // A digit dialled while the clearing still slides keeps its picture.
    runLua(box, "self:addDigit(9) self:updateRegister()");
    frames(8);
    runLua(box, "self:clearRegister(true) self:addDigit(5) self:updateRegister()");
    frames(8);
    EXPECT_EQ(digit5->getImage(), static_cast<sprite::ImageSprite*>(place(1))->getImage());
    runLua(box, "self:clearRegister(false)");

    // Nothing to clear: no sound. A fifth digit is refused with the wrong sound.
    clearRecords();
    runLua(box, "self:clearRegister(true)");
    EXPECT_TRUE(soundsPlayed().empty());
    runLua(box, "for d = 1, 5 do self:addDigit(d) end");
    EXPECT_EQ((std::vector<int>{69, 70, 71, 72, CallBox::SOUND_WRONG}), soundsPlayed());
    EXPECT_EQ(4, box->getEnteredCount());
    EXPECT_EQ(4, box->getEnteredDigit(3));
}

TEST_F(CallBoxTest, TheReceiverTheDialAndTheCloseButton)
{
    start("0 4 2 7 1 8 300 240");
    EXPECT_TRUE(canvas->isPuzzleActive());
    EXPECT_FALSE(box->getSprite("ReceiverOffHook")->isVisible());
    EXPECT_TRUE(box->getSprite("ReceiverOnHook")->isVisible());

    const struct {
        bool lift;
        bool offHookArea, onHookArea, keypadArea;
        std::vector<int> sounds;
    } receiver[] = {
        {true, true, false, false, {CallBox::SOUND_RECEIVER_LIFTED}},
        {false, false, true, true, {}},
    };
    for (const auto& c : receiver) {
        SCOPED_TRACE(c.lift);
        clearRecords();
        EXPECT_EQ(c.lift ? "true" : "false",
                  runLua(box, std::string("return self:liftReceiver(") + (c.lift ? "true" : "false") + ")"));
        EXPECT_EQ(c.sounds, soundsPlayed());
        EXPECT_EQ(c.offHookArea, button("ReceiverOffHookRect")->isEnabled());
        EXPECT_EQ(c.onHookArea, button("ReceiverOnHookRect")->isEnabled());
        EXPECT_EQ(c.keypadArea, button("CallBoxButtonsRect")->isEnabled());
        // Enabling a button gives it the hand and disabling the normal pointer.
        EXPECT_EQ(c.offHookArea ? 1 : 0, box->getSprite("ReceiverOffHookRect")->getMouseOverCursor());
        EXPECT_EQ(c.keypadArea ? 1 : 0, box->getSprite("CallBoxButtonsRect")->getMouseOverCursor());
        sprite::SpriteBase* coming = box->getSprite(c.lift ? "ReceiverOffHook" : "ReceiverOnHook");
        EXPECT_TRUE(coming->isVisible());
        frames(9);
        EXPECT_EQ(128, coming->getAlpha());
        EXPECT_FALSE(box->getSprite(c.lift ? "ReceiverOnHook" : "ReceiverOffHook")->isVisible());
    }

    runLua(box, "self:clearDial(false)");
    EXPECT_FALSE(button("CallBox5")->isEnabled());
    EXPECT_EQ(-1, box->getSprite("CallBoxEnter")->getMouseOverCursor());
    // "clearDialTrue" from a finished animation turns the dial back on.
    auto* command = new lang::String("clearDialTrue");
    box->getSprite("CallBoxClear")->setAction(box, command);
    auto* event = new window::Event(box, window::Event::ACTION, command);
    EXPECT_FALSE(box->handleEvent(event));
    event->release();
    command->release();
    EXPECT_EQ(nullptr, box->getSprite("CallBoxClear")->getActionReceiver());
    EXPECT_TRUE(button("CallBox5")->isEnabled());
    EXPECT_EQ(9, box->getSprite("CallBoxClear")->getMouseOverCursor());
    EXPECT_EQ("false", runLua(box, "return self:usedMillionaireCombo()"));

    clearCalls();
    world.click(760, 560);
    EXPECT_EQ((std::vector<std::string>{"onExit:CallBox(1)"}), calls("onExit"));
    ASSERT_NE(nullptr, canvas->getTransition());
    EXPECT_EQ(36, canvas->getTransition()->getFrames());
    EXPECT_EQ(CallBox::MANSION_GATE_ROOM, canvas->getPendingRoom());
    world.stepFrames(40);
    EXPECT_EQ(CallBox::MANSION_GATE_ROOM, canvas->getProgress()->currentRoom);
    EXPECT_FALSE(canvas->isPuzzleActive());

    expectLuaErrors(box, {
                             {"self.addDigit(self)", "bad argument #3 to 'addDigit' (too many arguments)"},
                             {"self.testCombo(self, true, 1)", "bad argument #3 to 'testCombo' (too many arguments)"},
                             {"self.isComboCorrect(self, 1)", "bad argument #2 to 'isComboCorrect' (too many arguments)"},
                             {"self.addDigit({}, 1)", "bad argument #1 to 'addDigit' (not a Sprite object)"},
                             {"self.updateRegister(canvas)", "bad argument #1 to 'updateRegister' (not a CallBox)"},
                         });
}

TEST_F(CallBoxTest, ShortOrOverlongDefinitionsAndDigitsWithoutPictures)
{
    // Six digits given: four are kept, and the heights are still read after
    // the six; digits 5 to 9 have no picture.
    start("0 6 1 2 3 4 5 6 300 240", 5);
    EXPECT_EQ(4, box->getComboLength());
    EXPECT_EQ(kRestY, box->getRestY());
    EXPECT_EQ(kDisplayY, box->getDisplayY());
    runLua(box, "for d = 1, 4 do self:addDigit(d) end");
    EXPECT_EQ("true", runLua(box, "return self:isComboCorrect()"));
    runLua(box, "self:clearRegister(false) self:addDigit(7)");
    window::ImageBase* before = static_cast<sprite::ImageSprite*>(place(1))->getImage();
    EXPECT_NE(nullptr, before);
    EXPECT_NE(std::string::npos, world.debugText().find("no picture for the digit 7"));
    EXPECT_EQ(1, box->getEnteredCount());
}

TEST_F(CallBoxTest, AShortDefinitionReadsItsMissingNumbersAsZero)
{
    start("0 4 2 7");
    EXPECT_EQ(4, box->getComboLength());
    EXPECT_EQ(0, box->getRestY());
    runLua(box, "self:addDigit(2) self:addDigit(7) self:addDigit(0) self:addDigit(0)");
    EXPECT_EQ("true", runLua(box, "return self:isComboCorrect()"));
}

} // namespace
} // namespace scenetest
