// Input through the canvas: events queued by the window layer and taken on
// the next tick, presses and releases reaching buttons and dialogs and
// ending in handleAction with a name, modal dialogs, dragging, keys, the
// cursor commands of pointer moves, and action events from sprites.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/sprites/support/DefinitionLists.h"
#include "tests/sprites/support/TestSprite.h"

#include "sprites/buttons/RectButtonSprite.h"
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/transitions/TransitionBase.h"
#include "sprites/transitions/TransitionFactory.h"
#include "windowing/window/Cursor.h"

namespace {

using canvastest::CanvasTest;
using canvastest::WindowedCanvasTest;
using sprite::ButtonMixin;
using sprite::DialogSprite;
using sprite::RectButtonSprite;
using window::Event;
using Commands = std::vector<std::string>;

// A dialog whose answers to translateCommand, keyDown and dialogAction the
// test chooses (a negative translation answer keeps the dialog's own).
class AnsweringDialog : public DialogSprite {
public:
    explicit AnsweringDialog(bool modal) : DialogSprite(modal) {}
    int translateCommand(lang::String* command, lang::String* out, int clickCount) override
    {
        clickCounts.push_back(clickCount);
        if (translateAnswer < 0)
            return DialogSprite::translateCommand(command, out, clickCount);
        *out = "translated";
        return translateAnswer;
    }
    int keyDown(int key) override
    {
        keys.push_back(key);
        m_lastCommand = "typed";
        return keyAnswer;
    }
    int dialogAction(lang::String command) override
    {
        offered.push_back(command.c_str());
        return actionAnswer;
    }
    int translateAnswer = -1;
    int keyAnswer = COMMAND_READY;
    int actionAnswer = NOT_HANDLED;
    std::vector<int> clickCounts;
    std::vector<int> keys;
    Commands offered;
};

class CanvasInputTest : public CanvasTest {
protected:
    void SetUp() override { canvas->start(); }

    // An enabled click area at (left, top), on the canvas or in a dialog.
    RectButtonSprite* button(const char* name, int left, int top, DialogSprite* in = nullptr)
    {
        auto* b = new RectButtonSprite();
        lang::IntArray* n = spritetest::numberList({left, top, 40, 20, ButtonMixin::NORMAL});
        b->configure(nullptr, n);
        n->release();
        if (!in)
            return world.add(name, b);
        in->addChild(name, b);
        world.made.push_back(b);
        return b;
    }

    AnsweringDialog* dialog(const char* name, int left, int top, int w, int h, bool modal = false)
    {
        auto* d = new AnsweringDialog(modal);
        lang::IntArray* n = spritetest::numberList({left, top, w, h});
        d->configure(nullptr, n);
        n->release();
        return world.add(name, d);
    }
};

TEST_F(CanvasInputTest, AnEventWaitsInTheQueueUntilTheNextTick)
{
    RectButtonSprite* ok = button("Ok", 100, 100);
    ASSERT_TRUE(world.post(Event::MOUSE_DOWN, 110, 110));
    EXPECT_TRUE(canvas->commands.empty());
    world.tick(1);
    EXPECT_EQ(canvas->commands, Commands{"Ok"});
    EXPECT_EQ(canvas->receivers[0], ok);
    EXPECT_EQ(canvas->frames, 0) << "input does not wait for a frame";
    canvas->stop();
    EXPECT_FALSE(world.post(Event::MOUSE_DOWN, 110, 110)) << "refused once stopped";
}

TEST_F(CanvasInputTest, AFireOnReleaseButtonFiresOnceOnTheReleaseOverIt)
{
    RectButtonSprite* ok = button("Ok", 100, 100);
    ok->setFireOnRelease(true);
    world.post(Event::MOUSE_DOWN, 110, 110);
    world.tick(1);
    EXPECT_TRUE(canvas->commands.empty());
    EXPECT_EQ(ok->getState(), ButtonMixin::PRESSED);
    world.post(Event::MOUSE_UP, 112, 112);
    world.tick(1);
    EXPECT_EQ(canvas->commands, Commands{"Ok"});
    // A release with no press of its own, and a press released elsewhere.
    world.post(Event::MOUSE_UP, 110, 110);
    world.tick(1);
    world.post(Event::MOUSE_DOWN, 110, 110);
    world.tick(1);
    world.post(Event::MOUSE_UP, 300, 300);
    world.tick(1);
    EXPECT_EQ(canvas->commands, Commands{"Ok"});
}

TEST_F(CanvasInputTest, TransitioningSpritesAndAScreenTransitionTakeNoPresses)
{
    button("Below", 100, 100);
    RectButtonSprite* above = button("Above", 110, 100);
    sprite::TransitionBase* wipe = sprite::TransitionFactory::create(100, *above->getBounds(), false, 24);
    above->show(true, wipe);
    wipe->advanceCapture(); // as if the sprite's picture were taken: it runs
    wipe->release();
    world.click(120, 110);
    sprite::TransitionBase* screen = sprite::TransitionFactory::createFullScreen(100, 24);
    canvas->setTransition(screen);
    screen->release();
    world.click(120, 110);
    EXPECT_EQ(canvas->commands, Commands{"Below"});
}

TEST_F(CanvasInputTest, AHiddenRectButtonStillTakesPressesAsAnInvisibleHotSpot)
{
    button("Below", 100, 100);
    RectButtonSprite* hidden = button("Hidden", 110, 100);
    hidden->setVisible(false);
    world.click(120, 110);
    // Disabled, it lets the press through to what lies below.
    hidden->setEnabled(false);
    world.click(120, 110);
    EXPECT_EQ(canvas->commands, (Commands{"Hidden", "Below"}));
}

struct TranslateCase {
    int answer;
    Commands commands;
};

class DialogAnswers : public CanvasInputTest, public ::testing::WithParamInterface<TranslateCase> {};

TEST_P(DialogAnswers, TheDialogsTranslationDecidesTheCommandOfItsButton)
{
    button("Beneath", 110, 110);
    AnsweringDialog* d = dialog("Panel", 100, 100, 300, 200);
    button("Close", 10, 10, d);
    d->translateAnswer = GetParam().answer;
    world.post(Event::MOUSE_DOWN, 115, 115, 0, 2);
    world.tick(1);
    EXPECT_EQ(canvas->commands, GetParam().commands);
    EXPECT_EQ(d->clickCounts, std::vector<int>{2}) << "the press's click count";
    if (!canvas->commands.empty() && canvas->commands[0] != "Beneath") {
        EXPECT_EQ(canvas->receivers[0], d);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, DialogAnswers,
                         ::testing::Values(TranslateCase{-1, {"Close"}}, TranslateCase{1, {"translated"}},
                                           TranslateCase{2, {"CLOSED"}}, TranslateCase{3, {}},
                                           // Any other answer: on to the button beneath.
                                           TranslateCase{7, {"Beneath"}}));

TEST_F(CanvasInputTest, AModalDialogTakesPressesOutsideItselfWithoutACommand)
{
    button("Beneath", 10, 10);
    AnsweringDialog* d = dialog("Modal", 300, 300, 100, 100, true);
    world.click(20, 20);
    EXPECT_EQ(canvas->receivers[0], d);
    d->setVisible(false);
    world.click(20, 20);
    EXPECT_EQ(canvas->commands, (Commands{"", "Beneath"}));
}

TEST_F(CanvasInputTest, DraggingADialogThroughTheCanvasKeepsItOnTheScreen)
{
    AnsweringDialog* d = dialog("Panel", 100, 100, 300, 200);
    d->setDraggable(true);
    world.post(Event::MOUSE_DOWN, 200, 200);
    world.post(Event::MOUSE_DRAG, 260, 230);
    world.tick(1);
    EXPECT_EQ(d->left(), 160);
    EXPECT_EQ(d->top(), 130);
    world.post(Event::MOUSE_DRAG, 2000, -900);
    world.post(Event::MOUSE_UP, 2000, -900);
    world.tick(1);
    EXPECT_EQ(d->left(), 800 - 300);
    EXPECT_EQ(d->top(), 0);
    EXPECT_FALSE(d->isDragging());
}

TEST_F(CanvasInputTest, KeysGoToTheTopVisibleDialogButEscapeIsNeverQueued)
{
    AnsweringDialog* lower = dialog("Lower", 0, 0, 100, 100);
    AnsweringDialog* upper = dialog("Upper", 0, 0, 100, 100);
    upper->translateAnswer = 0;
    world.post(Event::KEY_DOWN, 0, 0, 'a');
    upper->keyAnswer = DialogSprite::NOT_HANDLED;
    world.tick(1);
    EXPECT_EQ(canvas->commands, Commands{});
    EXPECT_TRUE(lower->keys.empty()) << "a key the top dialog refuses goes nowhere";
    upper->setVisible(false);
    world.post(Event::KEY_DOWN, 0, 0, 'b');
    world.tick(1);
    EXPECT_EQ(lower->keys, std::vector<int>{'b'});
    EXPECT_EQ(lower->clickCounts, std::vector<int>{1});
    EXPECT_EQ(canvas->commands, Commands{"typed"});
    auto* e = new Event(canvas, Event::KEY_DOWN, canvas);
    EXPECT_FALSE(canvas->keyDown(e, 27));
    e->release();
}

TEST_F(CanvasInputTest, PointerMovesSwitchBetweenTheHandAndTheNormalCursor)
{
    RectButtonSprite* ok = button("Ok", 100, 100);
    auto* hot = world.add("Hot", new spritetest::TestSprite(300, 300, 20, 20));
    hot->setMouseOverCursor(sprite::SpriteBase::CURSOR_HAND);
    const int path[][2] = {{110, 110}, {111, 110}, {500, 500}, {300, 300}};
    for (const auto& p : path) {
        world.post(Event::MOUSE_MOVE, p[0], p[1]);
        world.tick(1);
    }
    EXPECT_EQ(ok->getState(), ButtonMixin::NORMAL);
    EXPECT_EQ(canvas->commands, (Commands{"handCursor", "normalCursor", "handCursor"}));
    EXPECT_EQ(canvas->getCursor(), window::Cursor::handCursor);
}

TEST_F(CanvasInputTest, PointerMovesStopAtADialogAboveAndPassTransitioningSprites)
{
    button("Below", 100, 100);
    AnsweringDialog* panel = dialog("Panel", 90, 90, 100, 100);
    RectButtonSprite* fading = button("Fading", 300, 300);
    fading->setMouseOverCursor(sprite::SpriteBase::CURSOR_NONE); // only its own answer could show the hand
    sprite::TransitionBase* wipe = sprite::TransitionFactory::create(100, *fading->getBounds(), false, 24);
    fading->show(true, wipe);
    wipe->advanceCapture();
    wipe->release();
    // Over the button but under the dialog, then over the sprite that is
    // coming in: neither takes the pointer; without the dialog the button does.
    for (const int x : {110, 310}) {
        world.post(Event::MOUSE_MOVE, x, x);
        world.tick(1);
    }
    EXPECT_EQ(canvas->commands, Commands{});
    EXPECT_EQ(fading->getState(), ButtonMixin::NORMAL);
    panel->setVisible(false);
    world.post(Event::MOUSE_MOVE, 110, 110);
    world.tick(1);
    EXPECT_EQ(canvas->commands, Commands{"handCursor"});
}

TEST_F(CanvasInputTest, AModalDialogEndsTheReleaseWalkBeforeTheDialogsBelow)
{
    AnsweringDialog* lower = dialog("Lower", 0, 0, 200, 200);
    button("Close", 10, 10, lower)->setFireOnRelease(true);
    AnsweringDialog* modal = dialog("Modal", 400, 400, 100, 100, true);
    // The press is the lower dialog's; the modal one opens before the release.
    for (const bool modalShown : {true, false}) {
        modal->setVisible(false);
        canvas->commands.clear();
        world.post(Event::MOUSE_DOWN, 20, 20);
        world.tick(1);
        modal->setVisible(modalShown);
        world.post(Event::MOUSE_UP, 20, 20);
        world.tick(1);
        EXPECT_EQ(canvas->commands, modalShown ? Commands{""} : (Commands{"", "Close"})) << modalShown;
    }
}

TEST_F(CanvasInputTest, ASpritesActionArrivesAtOnceAndAQueuedActionOnTheTick)
{
    auto* mover = world.add("Mover", new spritetest::TestSprite(10, 10, 4, 4));
    auto* done = new lang::String("MoveDone");
    mover->setAction(canvas, done);
    mover->fireAction();
    auto* e = new Event(mover, Event::ACTION, done);
    done->release();
    canvas->postEvent(e);
    e->release();
    EXPECT_EQ(canvas->commands, Commands{"MoveDone"});
    world.tick(1);
    EXPECT_EQ(canvas->commands, (Commands{"MoveDone", "MoveDone"}));
    EXPECT_EQ(canvas->receivers, (std::vector<lang::Object*>{mover, mover}));
}

TEST_F(CanvasInputTest, CursorCommandsSetTheCursorAndOthersGoToTheShowingDialogsFromTheTop)
{
    AnsweringDialog* lower = dialog("Lower", 0, 0, 100, 100);
    dialog("Hidden", 0, 0, 100, 100)->setVisible(false);
    AnsweringDialog* upper = dialog("Upper", 0, 0, 100, 100);
    lang::String open("openHandCursor");
    canvas->handleAction(nullptr, &open);
    EXPECT_EQ(canvas->getCursor(), window::Cursor::openHandCursor);
    lang::String go("Go");
    canvas->handleAction(nullptr, &go);
    upper->actionAnswer = DialogSprite::HANDLED;
    canvas->handleAction(nullptr, &go);
    EXPECT_EQ(upper->offered, (Commands{"Go", "Go"}));
    EXPECT_EQ(lower->offered, Commands{"Go"}) << "an answer of 1 to 3 ends the offer";
}

// The whole road: a press on the window, the window procedure, the queue,
// the timer tick, the button and the handler.
TEST_F(WindowedCanvasTest, APressOnTheWindowReachesHandleActionWithTheButtonsName)
{
    auto* ok = new RectButtonSprite();
    lang::IntArray* n = spritetest::numberList({200, 150, 60, 30, ButtonMixin::NORMAL});
    ok->configure(nullptr, n);
    n->release();
    world.add("Ok", ok);
    canvas->start();
    POINT p{210, 160};
    ClientToScreen(canvas->getHWND(), &p);
    platform::events::mouseMoved(p.x, p.y);
    platform::events::mouseButton(platform::events::MouseButton::Left, true);
    platform::events::mouseButton(platform::events::MouseButton::Left, false);
    windowtest::pump();
    EXPECT_TRUE(canvas->commands.empty()) << "queued until the tick";
    world.tick(16);
    ASSERT_FALSE(canvas->commands.empty());
    EXPECT_EQ(canvas->commands.back(), "Ok");
    EXPECT_EQ(canvas->receivers.back(), ok);
}

} // namespace
