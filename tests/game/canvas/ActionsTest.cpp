// ActionsTest.cpp: the game's command table in the fixture game: which
// commands wait while a fade runs, the case rules, the menu's new game and
// continue with their fades, the pause and its book (which takes a close-up
// left open away), and the web link.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/cutscenes/Vignette.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "platform/shell/Shell.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/settings/User.h"
#include "tests/game/support/GameFixture.h"
#include "tests/support/TestLoaderFrame.h"

#include <functional>
#include <set>

namespace gametest {
namespace {

class ActionsTest : public GameFixture {
protected:
    void SetUp() override { ASSERT_TRUE(startGame()); }
    void send(const char* command, lang::Object* sender = nullptr)
    {
        lang::String text(command);
        canvas->handleAction(sender, &text);
    }
    int current() { return canvas->getProgress()->currentRoom; }
    platform::ShellCapture shell;
};

TEST_F(ActionsTest, MenuCommandsWaitWhileAFadeRunsAndTheRestDoNot)
{
    struct Case {
        const char* command;
        std::function<void()> prepare;
        std::function<bool()> acted;
    };
    const Case cases[] = {
        {"ChangeProfile", [this] { canvas->showSprite("ChoosePlayer", false); },
         [this] { return canvas->isSpriteVisible("ChoosePlayer"); }},
        {"bMenuOptions", [this] { canvas->showSprite("Options", false); },
         [this] { return canvas->isSpriteVisible("Options"); }},
        {"bMenuHowtoPlay", [this] { canvas->showSprite("Instructions", false); },
         [this] { return canvas->isSpriteVisible("Instructions"); }},
        {"bMenuInstructions",
         [this] {
             canvas->setPuzzleActive(true);
             canvas->setGameInstructionsInfo(3, 400, 300);
             canvas->showSprite("GameInstructions", false);
         },
         [this] { return canvas->isSpriteVisible("GameInstructions"); }},
        {"PlayButton", [this] { clearCalls(); },
         [this] { return !calls("Lanternfield.lua").empty(); }},
        {"upsellHV", [] {}, [this] { return !shell.calls().empty(); }},
        {"bMenuExit", [] {}, [this] { return world.setting("NORMALEXIT", 0) == 1; }},
        // These answer in a fade as well.
        {"Quit", [this] { enter(3); canvas->setQuitVisible(true); },
         [this] { return canvas->getGameState() == LanternfieldCanvas::STATE_PAUSED; }},
        {"ResumeGame", [] {},
         [this] { return canvas->getGameState() == LanternfieldCanvas::STATE_PLAYING; }},
        {"bOptionsClose", [this] { canvas->showSprite("Dim", true); },
         [this] { return !canvas->isSpriteVisible("Dim"); }},
        {"EndGame", [] {},
         [this] { return canvas->getGameState() == LanternfieldCanvas::STATE_MAIN_MENU; }},
    };
    const std::set<std::string> waits = {"ChangeProfile", "bMenuOptions",      "bMenuHowtoPlay", "bMenuInstructions",
                                          "PlayButton",    "upsellHV",          "bMenuExit"};
    for (const Case& c : cases) {
        const bool waiting = waits.count(c.command) > 0;
        c.prepare();
        canvas->setInTransition(true);
        send(c.command);
        EXPECT_EQ(!waiting, c.acted()) << c.command << " in a fade";
        canvas->setInTransition(false);
        if (waiting) {
            send(c.command);
            EXPECT_TRUE(c.acted()) << c.command;
        }
    }
}

TEST_F(ActionsTest, CaseRulesOfTheTable)
{
    canvas->showSprite("Options", false);
    send("BMENUOPTIONS");
    EXPECT_TRUE(canvas->isSpriteVisible("Options")) << "any case";

    sprite::SpriteBase* sender = canvas->getSprite("TaskCompleted");
    lang::String end("someAction");
    sender->setAction(canvas, &end);
    sender->setVisible(true);
    send("showFalse", sender);
    EXPECT_TRUE(sender->isVisible()) << "exact: a capital F is another command";
    send("showfalse", sender);
    EXPECT_FALSE(sender->isVisible());
    EXPECT_EQ(nullptr, sender->getActionCommand());

    canvas->setInTransition(true);
    send("transitiondone");
    EXPECT_TRUE(canvas->isInTransition());
    send("TransitionDone");
    EXPECT_FALSE(canvas->isInTransition());

    clearCalls();
    send("ShowTaskCompleted");
    send("showtaskcompleted");
    EXPECT_EQ(1u, calls("LF_showTaskCompleted").size());
}

TEST_F(ActionsTest, ANewGameFadesOutIntoTheIntroductionAndFadesIn)
{
    ASSERT_TRUE(canvas->isResetGame());
    send("bStart1");
    EXPECT_TRUE(canvas->isInTransition());
    sprite::SpriteBase* dim = canvas->getSprite("DimFull");
    EXPECT_TRUE(dim->isVisible());
    EXPECT_EQ(20, dim->getAlphaSteps());
    world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP - 1);
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState()) << "still fading out";
    world.stepFrames(2);
    EXPECT_EQ(LanternfieldCanvas::ROOM_STORY_INTRO, current());
    EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, canvas->getGameState());
    EXPECT_FALSE(canvas->isResetGame());
    EXPECT_FALSE(canvas->isSpriteVisible("Quit"));
    EXPECT_TRUE(canvas->isInTransition());
    world.stepFrames(LanternfieldCanvas::FADE_IN_FRAMES + 1);
    EXPECT_FALSE(canvas->isInTransition());
    EXPECT_FALSE(dim->isVisible());
}

TEST_F(ActionsTest, ContinuingLoadsTheProfileOrGivesItItsFirstRecord)
{
    canvas->setProfileName(lang::String("Ann"));
    canvas->setResetGame(false);
    canvas->getProgress()->currentRoom = 14;
    canvas->setVignetteSeen(1);
    send("bStart1");
    EXPECT_FALSE(world.settings()->getString(lang::String("Ann\\userdata\\0"), lang::String("")).isEmpty())
        << "a profile without a record is saved at once";
    world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + 1);
    EXPECT_EQ(14, current());
    EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, canvas->getGameState());
    world.stepFrames(LanternfieldCanvas::FADE_IN_FRAMES + 1);
    ASSERT_FALSE(canvas->isInTransition());

    // Back in the menu, the next start continues from the saved room.
    enter(5);
    canvas->exitToMenu();
    canvas->getProgress()->currentRoom = 30;
    send("bStart1");
    world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + 1);
    EXPECT_EQ(5, current());

    // Left on a chapter's slides (the slide group is not saved), the next
    // start shows that chapter's slides.
    auto* slides = static_cast<Vignette*>(canvas->getRoom(LanternfieldCanvas::ROOM_VIGNETTE));
    canvas->getProgress()->chapter = 3;
    canvas->setVignetteSeen(3);
    enter(LanternfieldCanvas::ROOM_VIGNETTE);
    canvas->exitToMenu();
    slides->setGroup(0);
    send("TransitionDone");
    send("bStart1");
    world.stepFrames(LanternfieldCanvas::FADE_OUT_NEXT_STEP + 1);
    EXPECT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, current());
    EXPECT_EQ(2, slides->getGroup());
}

TEST_F(ActionsTest, ThePauseOpensTheBookAndResumesWhereItWas)
{
    enter(3);
    canvas->setQuitVisible(true);
    canvas->enableQuitButton(false);
    send("Quit");
    EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, canvas->getGameState()) << "a disabled button does not pause";
    canvas->enableQuitButton(true);
    send("Quit");
    EXPECT_EQ(LanternfieldCanvas::STATE_PAUSED, canvas->getGameState());
    EXPECT_TRUE(canvas->isSpriteVisible("BookDialog"));
    EXPECT_FALSE(canvas->isSpriteVisible("Quit"));
    EXPECT_TRUE(canvas->areActionsPaused());
    send("ResumeGame");
    EXPECT_EQ(LanternfieldCanvas::STATE_PLAYING, canvas->getGameState());
    EXPECT_TRUE(canvas->isSpriteVisible("Quit"));
    EXPECT_FALSE(canvas->areActionsPaused());

    // In the cut scenes and the chapter's end too the button comes back as
    // the book found it (hidden when the pause came from a lost focus).
    for (int room : {9, 23, 24}) {
        for (bool shown : {true, false}) {
            canvas->changeRoom(room);
            canvas->setQuitVisible(shown);
            canvas->setGameState(LanternfieldCanvas::STATE_PAUSED);
            send("ResumeGame");
            EXPECT_EQ(shown, canvas->isSpriteVisible("Quit")) << room;
        }
    }

    // A close-up left open over the room, its how-to-play up, goes when the
    // book leads to the menu or plays a chapter again (the room's dimming
    // under it is the close-up's to undo, as it closes).
    for (const char* command : {"EndGame", "ReplayGame"}) {
        enter(3);
        canvas->getCloseUp(1)->setVisible(true);
        canvas->showSprite("GameInstructions", true);
        send("Quit");
        send(command);
        EXPECT_FALSE(canvas->getCloseUp(1)->isVisible()) << command;
        EXPECT_FALSE(canvas->isSpriteVisible("GameInstructions")) << command;
    }
}

TEST_F(ActionsTest, AChapterPlayedAgainLeavesTheLaterOnesToStartFromTheirSlides)
{
    enter(3);
    canvas->getProgress()->chapter = 4;
    canvas->getProgress()->maxChapter = 5;
    for (int n = 1; n <= 6; ++n)
        canvas->setVignetteSeen(n);
    send("ReplayGame");
    EXPECT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, current());
    for (int n = 1; n <= 6; ++n)
        EXPECT_EQ(n < 4 ? 1 : 0, canvas->getVignetteSeen(n)) << n;
}

TEST_F(ActionsTest, TheWebLinkLeavesFullScreenAndOpensOnlyWebAddresses)
{
    send("upsellHV");
    world.setSetting("VISITURL", "http://example.com/a b");
    send("upsellHV");
    world.setSetting("VISITURL", "javascript:alert(1)");
    send("upsellHV");
    const std::vector<platform::ShellRecord> calls = shell.calls();
    ASSERT_EQ(6u, calls.size());
    EXPECT_EQ("iexplore.exe", calls[0].file);
    EXPECT_EQ("https://harbinvel.example/", calls[0].parameters);
    EXPECT_EQ((std::vector<std::string>{"xdg-open", "https://harbinvel.example/"}), calls[1].command);
    EXPECT_EQ("http://example.com/a b", calls[3].file);
    EXPECT_TRUE(calls[3].command.empty()) << "a space would split the address";
    EXPECT_TRUE(calls[5].command.empty());
    EXPECT_EQ(3u, frame->fullScreenCalls.size());
    EXPECT_EQ("off", frame->fullScreenCalls[0]);
}

} // namespace
} // namespace gametest
