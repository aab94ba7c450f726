// InputTest.cpp: the fixture game's frame and input: the automatic pause on
// focus loss, the question mark and the speech skip taken before the
// dialogs, the keys of the two rooms that use them, and the debug keys.
#include "core/lang/System.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/balloons/TalkBalloon.h"
#include "game/characters/Character.h"
#include "game/cutscenes/Vignette.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "platform/user/Input.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/game/support/GameFixture.h"
#include "windowing/window/Event.h"

namespace gametest {
namespace {

// A room that notes the keys it is given.
class KeyRoom : public Room {
public:
    HV_CLASS_NAME("KeyRoom", Room)
    HV_DECLARE_METACLASS(KeyRoom);
    void keyPressed(int key) override { keys.push_back(key); }
    static std::vector<int> keys;
};
std::vector<int> KeyRoom::keys;
HV_DEFINE_METACLASS(KeyRoom);

class InputTest : public GameFixture {
protected:
    void SetUp() override
    {
        KeyRoom::keys.clear();
        GameOptions options;
        options.roomClasses["Maze"] = "KeyRoom";
        options.roomClasses["Inlay"] = "KeyRoom";
        // The book's "Main menu" button.
        world.data().picture("button.png", 200, 30, 0xFF406080u);
        options.dialogManifests["BookDialog"] = "<sprites>\nEndGame ButtonSprite button.png 0 556 2 1 1 0 0 1\n<end>\n";
        options.gameScript = "rooms.PuzzleCheats = {onEnter = function() record('cheats') end,"
                             " onExit = function() end}\n";
        ASSERT_TRUE(startGame(options));
    }
    void TearDown() override { lang::System::setDebugMode(false); }

    // A key event of that code handed to the key handler; its answer.
    bool key(int code)
    {
        auto* e = new window::Event(canvas, window::Event::KEY_DOWN, canvas);
        e->key = code;
        lang::Object* receiver = nullptr;
        lang::String command("");
        const bool handled = canvas->onKey(e, &receiver, &command);
        if (receiver)
            receiver->release();
        e->release();
        return handled;
    }
    // A press at (x, y): the command the canvas's handler answers with.
    std::string press(int x, int y, int modifiers = 0)
    {
        auto* e = new window::Event(canvas, window::Event::MOUSE_DOWN, canvas);
        e->x = x;
        e->y = y;
        e->modifiers = modifiers;
        lang::Object* receiver = nullptr;
        lang::String command("");
        canvas->onMouseDown(e, &receiver, &command);
        if (receiver)
            receiver->release();
        e->release();
        return command.c_str();
    }
    int chapter() { return canvas->getProgress()->chapter; }

    KeyRoom::KeyRoomClass registration;
};

TEST_F(InputTest, LosingTheFocusPausesAtTheNextFrameButNeverTheIntroduction)
{
    enter(LanternfieldCanvas::ROOM_STORY_INTRO);
    canvas->onFocusLost();
    EXPECT_TRUE(canvas->isPausePending());
    world.stepFrames(1);
    EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, canvas->getGameState());
    EXPECT_FALSE(canvas->isPausePending());

    enter(0);
    canvas->setActive(false);
    EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, canvas->getGameState()) << "not before the frame";
    world.stepFrames(1);
    EXPECT_EQ(LanternfieldCanvas::STATE_PAUSED, canvas->getGameState());
    EXPECT_TRUE(canvas->isSpriteVisible("BookDialog"));
    EXPECT_FALSE(canvas->isPausePending());

    // Regaining the focus takes back a pause not yet taken.
    canvas->exitToMenu();
    canvas->onFocusLost();
    canvas->setActive(true);
    world.stepFrames(1);
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState());
}

TEST_F(InputTest, TheQuestionMarkAndTheSpeechSkipComeBeforeEverythingElse)
{
    enter(3);
    canvas->showSprite("GameInsQuestionMark", true);
    // A dialog over the question mark takes the press first...
    canvas->addSprite("Options", canvas->getSprite("Options"), -1);
    canvas->showSprite("Options", true);
    canvas->setGameInstructionsInfo(-1, 0, 0);
    EXPECT_EQ("", press(5, 5));
    // ...unless the room has a mini-game: then the mark is the canvas's.
    canvas->setGameInstructionsInfo(6, 100, 100);
    EXPECT_EQ("GameInsQuestionMark", press(5, 5));

    // The skip button follows the balloon: presses are aimed at where it
    // stands once the speech has begun.
    // (a speech is skipped only while its text shows, so it gets a real one)
    Character* professor = canvas->getCharacter(2);
    auto* text = new sprite::NewFontSprite();
    canvas->addSprite("SpeechText", text, -1);
    text->release();
    professor->setTalkText(text);
    sprite::SpriteBase* skip = canvas->getSprite("TalkSkip");
    struct Case {
        bool timed; // a timed speech shows no skip button
        int modifiers;
        bool onButton;
        bool skipped;
    };
    for (const Case c : {Case{false, window::Event::CTRL_MASK, true, false}, Case{false, 0, false, false},
                         Case{false, 0, true, true}, Case{true, 0, true, false}}) {
        professor->say(lang::String("A word or two."), c.timed, 4);
        world.stepFrames(1);
        ASSERT_TRUE(professor->isTalking());
        ASSERT_EQ(!c.timed, skip->isVisible());
        const int x = skip->left() + skip->width() / 2 + (c.onButton ? 0 : skip->width());
        press(x, skip->top() + skip->height() / 2, c.modifiers);
        EXPECT_EQ(!c.skipped, professor->isTalking()) << c.timed << " " << c.modifiers << " " << c.onButton;
        professor->stopTalk();
    }
}

TEST_F(InputTest, AHiddenSkipButtonLetsThePressThroughToTheRoom)
{
    enter(3);
    Character* professor = canvas->getCharacter(2);
    sprite::SpriteBase* skip = canvas->getSprite("TalkSkip");
    professor->say(lang::String("A word or two."), false, 4);
    world.stepFrames(1);
    ASSERT_TRUE(skip->isVisible());
    professor->stopTalk();
    ASSERT_FALSE(skip->isVisible());
    clearCalls();
    const int x = skip->left() + skip->width() / 2;
    const int y = skip->top() + skip->height() / 2;
    press(x, y);
    EXPECT_EQ((std::vector<std::string>{"onClick:OldTownConnector(" + std::to_string(x) + ", " + std::to_string(y) +
                                        ")"}),
              calls("onClick"));
}

TEST_F(InputTest, APressBesideAnOpenInstructionsPanelReachesNothingUnderIt)
{
    enter(3);
    canvas->setPuzzleActive(true); // a close-up's game: the bar is hidden
    canvas->setShowGameInstructions(6, true);
    canvas->showGameInstructions(400, 300, 6, true, false, 8, 50, 50, 0.1f, 1.0f);
    ASSERT_TRUE(canvas->isGameInstructionsShowing());
    clearCalls();
    press(750, 350); // the room's exit, greyed under the panel's dimmer
    world.stepFrames(30);
    EXPECT_TRUE(calls("onClick").empty());
    EXPECT_EQ(3, canvas->getProgress()->currentRoom);
    canvas->setQuitVisible(true);
    world.click(780, 20);
    EXPECT_EQ(LanternfieldCanvas::STATE_PAUSED, canvas->getGameState()) << "the pause button still pauses";
    world.stepFrames(30);
    world.click(313, 571); // the book's "Main menu", below the panel
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState()) << "the book takes every press";
}

TEST_F(InputTest, TwoRoomsTakeKeysInTheDebugModeOnly)
{
    enter(LanternfieldCanvas::ROOM_MAZE);
    key('3');
    EXPECT_TRUE(KeyRoom::keys.empty());
    EXPECT_EQ(1, chapter());

    lang::System::setDebugMode(true);
    canvas->clearRecords();
    key('3');
    EXPECT_EQ((std::vector<int>{'3'}), KeyRoom::keys) << "the maze gets the key";
    EXPECT_EQ(3, chapter()) << "and it starts chapter 3 as well";
    EXPECT_EQ(2, canvas->getProgress()->maxChapter);
    EXPECT_EQ((std::vector<std::string>{"PlayButton"}), canvas->commands());

    enter(LanternfieldCanvas::ROOM_INLAY);
    KeyRoom::keys.clear();
    key('5');
    EXPECT_EQ((std::vector<int>{'5'}), KeyRoom::keys);
    EXPECT_EQ(3, chapter()) << "the inlay keeps its keys";
}

TEST_F(InputTest, AChapterKeyStartsItsChapterFromItsSlidesThoughTheyWereSeenBefore)
{
    lang::System::setDebugMode(true);
    enter(3);
    for (int n = 1; n <= 6; ++n)
        canvas->setVignetteSeen(n);
    canvas->getProgress()->maxChapter = 6;
    key('4');
    EXPECT_EQ(6, canvas->getProgress()->maxChapter) << "the story's finished chapters stay finished";
    EXPECT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, canvas->getProgress()->currentRoom);
    EXPECT_EQ(3, static_cast<Vignette*>(canvas->getRoom(LanternfieldCanvas::ROOM_VIGNETTE))->getGroup());
    EXPECT_EQ(0, canvas->getVignetteSeen(5)) << "the chapters after it start afresh too";
    EXPECT_EQ(1, canvas->getVignetteSeen(3));
    // During a fade no chapter can start: the record stays as it is.
    canvas->setInTransition(true);
    key('2');
    EXPECT_EQ(4, chapter());
}

TEST_F(InputTest, DebugKeysCompareTheWholeKeyCode)
{
    lang::System::setDebugMode(true);
    enter(3);
    clearCalls();
    // F12's low byte is 'c': it is no letter.
    key(window::Event::F1 + 11);
    EXPECT_TRUE(canvas->getRoom(3)->isVisible());
    EXPECT_TRUE(calls("cheats").empty());
    key('C');
    EXPECT_FALSE(canvas->getRoom(3)->isVisible());
    EXPECT_FALSE(canvas->getInventory()->isVisible());
    EXPECT_EQ(1u, calls("cheats").size());

    key('p');
    EXPECT_TRUE(canvas->isMouseReadout());
    EXPECT_TRUE(canvas->isSpriteVisible("CheatText"));
    key('P');
    EXPECT_TRUE(canvas->isMouseReadout()) << "only the small p";

    key('4');
    EXPECT_EQ('4', canvas->getLastKey());
}

TEST_F(InputTest, F7PulsesTheHowToPlayDialogsScaleBetweenItsBounds)
{
    lang::System::setDebugMode(true);
    LanternfieldCanvas::debugScaleStep = 0.1;
    sprite::SpriteBase* dialog = canvas->getSprite("Instructions");
    canvas->showSprite("Instructions", true);
    dialog->setScale(1.0);
    std::vector<double> scales;
    for (int i = 0; i < 12; ++i) {
        world.key(VK_F7);
        scales.push_back(dialog->getScaleX());
    }
    const std::vector<double> expected = {1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 1.9, 1.8, 1.7};
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(expected[i], scales[i], 1e-9) << i;
    EXPECT_EQ(0, dialog->getFlipType()) << "the flip alternates with each press";
    LanternfieldCanvas::debugScaleStep = 0.1;
}

} // namespace
} // namespace gametest
