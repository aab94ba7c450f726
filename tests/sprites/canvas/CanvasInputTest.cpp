// Input through the canvas: events queued by the window layer and taken on
// the next tick, presses and releases reaching buttons and dialogs and
// ending in handleAction with a name, modal dialogs, dragging, the cursor
// commands of pointer moves, keys, and action events from sprites.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/sprites/support/DefinitionLists.h"
#include "tests/sprites/support/TestSprite.h"

#include "sprites/buttons/RectButtonSprite.h"
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/transitions/TransitionFactory.h"
#include "sprites/transitions/TransitionBase.h"
#include "windowing/window/Cursor.h"
#include "windowing/window/Event.h"

namespace {

using canvastest::CanvasTest;
using canvastest::WindowedCanvasTest;
using sprite::ButtonMixin;
using sprite::DialogSprite;
using sprite::RectButtonSprite;
using window::Event;

// A dialog whose answers to translateCommand and keyDown the test chooses.
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
    int keyAnswer = 0;
    int actionAnswer = 0;
    std::vector<int> clickCounts;
    std::vector<int> keys;
    std::vector<std::string> offered;
};

class CanvasInputTest : public CanvasTest {
protected:
    void SetUp() override { canvas->start(); }

    RectButtonSprite* button(const char* name, int left, int top, int w = 40, int h = 20)
    {
        RectButtonSprite* b = new RectButtonSprite();
        lang::IntArray* n = spritetest::numberList({left, top, w, h, ButtonMixin::NORMAL});
        b->configure(nullptr, n);
        n->release();
        return world.add(name, b);
    }

    AnsweringDialog* dialog(const char* name, int left, int top, int w, int h, bool modal = false)
    {
        AnsweringDialog* d = new AnsweringDialog(modal);
        lang::IntArray* n = spritetest::numberList({left, top, w, h});
        d->configure(nullptr, n);
        n->release();
        return world.add(name, d);
    }

    // A rectangular button inside a dialog, at the dialog's own coordinates.
    RectButtonSprite* buttonIn(DialogSprite* d, const char* name, int left, int top)
    {
        RectButtonSprite* b = new RectButtonSprite();
        lang::IntArray* n = spritetest::numberList({left, top, 40, 20, ButtonMixin::NORMAL});
        b->configure(nullptr, n);
        n->release();
        d->addChild(name, b);
        world.made.push_back(b);
        return b;
    }
};

TEST_F(CanvasInputTest, AnEventWaitsInTheQueueUntilTheNextTick)
{
    RectButtonSprite* ok = button("Ok", 100, 100);
    ASSERT_TRUE(world.post(Event::MOUSE_DOWN, 110, 110));
    EXPECT_TRUE(canvas->actions.empty());
    world.tick(1);
    ASSERT_EQ(canvas->actions.size(), 1u);
    EXPECT_EQ(canvas->actions[0].command, "Ok");
    EXPECT_EQ(canvas->actions[0].receiver, ok);
    EXPECT_EQ(canvas->frames, 0) << "input does not wait for a frame";
}

TEST_F(CanvasInputTest, APressOffEveryButtonOrOnADisabledOneGivesNoCommand)
{
    RectButtonSprite* ok = button("Ok", 100, 100);
    world.click(300, 300);
    ok->setEnabled(false);
    world.click(110, 110);
    EXPECT_TRUE(canvas->actions.empty());
}

TEST_F(CanvasInputTest, AFireOnReleaseButtonFiresOnceOnTheReleaseOverIt)
{
    RectButtonSprite* ok = button("Ok", 100, 100);
    ok->setFireOnRelease(true);
    world.post(Event::MOUSE_DOWN, 110, 110);
    world.tick(1);
    EXPECT_TRUE(canvas->actions.empty());
    EXPECT_STREQ(canvas->getPressedButtonName().c_str(), "Ok");
    EXPECT_EQ(ok->getState(), ButtonMixin::PRESSED);
    world.post(Event::MOUSE_UP, 112, 112);
    world.tick(1);
    EXPECT_EQ(canvas->commands(), (std::vector<std::string>{"Ok"}));
    EXPECT_EQ(ok->getState(), ButtonMixin::NORMAL);

    // A press elsewhere arms nothing: its release over the button is no click.
    world.click(400, 400);
    world.post(Event::MOUSE_UP, 110, 110);
    world.tick(1);
    EXPECT_EQ(canvas->commands(), (std::vector<std::string>{"Ok"}));

    // Pressed, then released off the button: nothing.
    world.post(Event::MOUSE_DOWN, 110, 110);
    world.tick(1);
    world.post(Event::MOUSE_UP, 300, 300);
    world.tick(1);
    EXPECT_EQ(canvas->actions.size(), 1u);
}

TEST_F(CanvasInputTest, TheTopmostButtonTakesThePressAndTransitioningSpritesAreSkipped)
{
    button("Below", 100, 100);
    RectButtonSprite* above = button("Above", 110, 100);
    world.click(120, 110);
    sprite::TransitionBase* wipe = sprite::TransitionFactory::create(100, *above->getBounds(), false, 24);
    above->show(true, wipe);
    wipe->advanceCapture(); // as if the sprite's picture were taken
    wipe->release();
    ASSERT_TRUE(above->isTransitioning());
    world.click(120, 110);
    EXPECT_EQ(canvas->commands(), (std::vector<std::string>{"Above", "Below"}));
}

TEST_F(CanvasInputTest, AScreenTransitionShowingSwallowsPresses)
{
    button("Ok", 100, 100);
    sprite::TransitionBase* t = sprite::TransitionFactory::createFullScreen(100, 24);
    canvas->setTransition(t);
    t->release();
    world.click(110, 110);
    EXPECT_TRUE(canvas->actions.empty());
    canvas->setTransition(nullptr);
    world.click(110, 110);
    EXPECT_EQ(canvas->commands(), (std::vector<std::string>{"Ok"}));
}

TEST_F(CanvasInputTest, AButtonInADialogFiresWithTheDialogAsTheReceiver)
{
    AnsweringDialog* d = dialog("Panel", 100, 100, 300, 200);
    buttonIn(d, "Close", 10, 10);
    world.post(Event::MOUSE_DOWN, 115, 115, 0, 2);
    world.tick(1);
    ASSERT_EQ(canvas->actions.size(), 1u);
    EXPECT_EQ(canvas->actions[0].command, "Close");
    EXPECT_EQ(canvas->actions[0].receiver, d);
    EXPECT_EQ(d->clickCounts, (std::vector<int>{2})) << "the press's click count";
}

struct TranslateCase {
    int answer;
    bool acts;
    const char* command;
};

class DialogAnswers : public CanvasInputTest, public ::testing::WithParamInterface<TranslateCase> {};

TEST_P(DialogAnswers, TheDialogsTranslationDecidesTheCommand)
{
    const TranslateCase& c = GetParam();
    // Under the dialog, where the press goes when the dialog does not take it.
    button("Beneath", 110, 110);
    AnsweringDialog* d = dialog("Panel", 100, 100, 300, 200);
    buttonIn(d, "Close", 10, 10);
    d->translateAnswer = c.answer;
    world.post(Event::MOUSE_DOWN, 115, 115);
    world.tick(1);
    if (!c.acts) {
        EXPECT_TRUE(canvas->actions.empty());
        return;
    }
    ASSERT_EQ(canvas->actions.size(), 1u);
    EXPECT_EQ(canvas->actions[0].command, c.command);
}

INSTANTIATE_TEST_SUITE_P(Answers, DialogAnswers,
                         ::testing::Values(TranslateCase{0, true, "Close"}, TranslateCase{1, true, "translated"},
                                           TranslateCase{2, true, "CLOSED"}, TranslateCase{3, false, ""},
                                           // Any other answer: the walk goes on to the button beneath.
                                           TranslateCase{7, true, "Beneath"}));

TEST_F(CanvasInputTest, AModalDialogTakesPressesOutsideItselfWithoutACommand)
{
    button("Beneath", 10, 10);
    AnsweringDialog* d = dialog("Modal", 300, 300, 100, 100, true);
    world.click(20, 20);
    ASSERT_EQ(canvas->actions.size(), 1u);
    EXPECT_EQ(canvas->actions[0].command, "");
    EXPECT_EQ(canvas->actions[0].receiver, d);
    d->setVisible(false);
    world.click(20, 20);
    EXPECT_EQ(canvas->commands(), (std::vector<std::string>{"", "Beneath"}));
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

TEST_F(CanvasInputTest, KeysGoToTheTopVisibleDialogAndComeBackTranslated)
{
    AnsweringDialog* lower = dialog("Lower", 0, 0, 100, 100);
    AnsweringDialog* upper = dialog("Upper", 0, 0, 100, 100);
    upper->keyAnswer = DialogSprite::COMMAND_READY;
    upper->translateAnswer = 0;
    world.post(Event::KEY_DOWN, 0, 0, 'a');
    world.tick(1);
    EXPECT_EQ(canvas->commands(), (std::vector<std::string>{"typed"}));
    EXPECT_EQ(upper->clickCounts, (std::vector<int>{1}));
    // A key the top dialog does not take goes nowhere else.
    upper->keyAnswer = DialogSprite::NOT_HANDLED;
    world.post(Event::KEY_DOWN, 0, 0, 'b');
    world.tick(1);
    EXPECT_TRUE(lower->keys.empty());
    EXPECT_EQ(canvas->actions.size(), 1u);
    // A hidden dialog is passed over.
    upper->setVisible(false);
    lower->keyAnswer = DialogSprite::COMMAND_READY;
    world.post(Event::KEY_DOWN, 0, 0, 'c');
    world.tick(1);
    EXPECT_EQ(lower->keys, (std::vector<int>{'c'}));
    EXPECT_EQ(canvas->commands(), (std::vector<std::string>{"typed", "typed"}));
}

TEST_F(CanvasInputTest, EscapeNeverReachesTheQueue)
{
    auto* e = new Event(canvas, Event::KEY_DOWN, canvas);
    e->key = 27;
    EXPECT_FALSE(canvas->keyDown(e, 27));
    e->key = 'x';
    EXPECT_TRUE(canvas->keyDown(e, 'x'));
    e->release();
}

TEST_F(CanvasInputTest, PointerMovesSwitchBetweenTheHandAndTheNormalCursor)
{
    RectButtonSprite* ok = button("Ok", 100, 100);
    spritetest::TestSprite* hot = world.add("Hot", new spritetest::TestSprite(300, 300, 20, 20));
    hot->setMouseOverCursor(sprite::SpriteBase::CURSOR_HAND);
    world.post(Event::MOUSE_MOVE, 110, 110);
    world.tick(1);
    EXPECT_EQ(canvas->getCursor(), window::Cursor::handCursor);
    EXPECT_EQ(ok->getState(), ButtonMixin::ROLLOVER);
    world.post(Event::MOUSE_MOVE, 110, 111);
    world.tick(1);
    world.post(Event::MOUSE_MOVE, 500, 500);
    world.tick(1);
    EXPECT_EQ(canvas->getCursor(), window::Cursor::normalCursor);
    world.post(Event::MOUSE_MOVE, 300, 300);
    world.tick(1);
    EXPECT_EQ(canvas->commands(), (std::vector<std::string>{"handCursor", "normalCursor", "handCursor"}));
}

TEST_F(CanvasInputTest, ADialogUnderThePointerHidesTheButtonsBeneathIt)
{
    RectButtonSprite* beneath = button("Beneath", 100, 100);
    dialog("Panel", 50, 50, 200, 200);
    world.post(Event::MOUSE_MOVE, 110, 110);
    world.tick(1);
    EXPECT_EQ(beneath->getState(), ButtonMixin::ROLLOVER) << "it still follows the pointer";
    EXPECT_NE(canvas->getCursor(), window::Cursor::handCursor) << "but the dialog blocks its hand";
}

TEST_F(CanvasInputTest, ASpritesActionReachesHandleActionAtOnceAndAQueuedOneOnTheTick)
{
    spritetest::TestSprite* mover = world.add("Mover", new spritetest::TestSprite(10, 10, 4, 4));
    auto* done = new lang::String("MoveDone");
    mover->setAction(canvas, done);
    done->release();
    mover->fireAction();
    ASSERT_EQ(canvas->actions.size(), 1u);
    EXPECT_EQ(canvas->actions[0].receiver, mover);
    EXPECT_EQ(canvas->actions[0].command, "MoveDone");

    auto* queued = new lang::String("Queued");
    auto* e = new Event(mover, Event::ACTION, queued);
    queued->release();
    canvas->postEvent(e);
    e->release();
    EXPECT_EQ(canvas->actions.size(), 1u);
    world.tick(1);
    EXPECT_EQ(canvas->commands(), (std::vector<std::string>{"MoveDone", "Queued"}));
    EXPECT_EQ(canvas->actions[1].receiver, mover);
}

TEST_F(CanvasInputTest, CursorCommandsSetTheCursorAndOtherCommandsGoToTheShowingDialogsFromTheTop)
{
    AnsweringDialog* lower = dialog("Lower", 0, 0, 100, 100);
    AnsweringDialog* hidden = dialog("Hidden", 0, 0, 100, 100);
    AnsweringDialog* upper = dialog("Upper", 0, 0, 100, 100);
    hidden->setVisible(false);
    lang::String open("openHandCursor");
    canvas->handleAction(nullptr, &open);
    EXPECT_EQ(canvas->getCursor(), window::Cursor::openHandCursor);
    EXPECT_TRUE(upper->offered.empty());

    lang::String go("Go");
    canvas->handleAction(nullptr, &go);
    EXPECT_EQ(upper->offered, (std::vector<std::string>{"Go"}));
    EXPECT_EQ(lower->offered, (std::vector<std::string>{"Go"}));
    EXPECT_TRUE(hidden->offered.empty());
    upper->actionAnswer = DialogSprite::HANDLED;
    canvas->handleAction(nullptr, &go);
    EXPECT_EQ(lower->offered.size(), 1u) << "an answer of 1 to 3 ends the offer";
    lang::String empty("");
    canvas->handleAction(nullptr, &empty);
    EXPECT_EQ(upper->offered.size(), 2u);
}

// The whole road: a press on the window, the window procedure, the queue,
// the timer tick, the button, the handler.
TEST_F(WindowedCanvasTest, APressOnTheWindowReachesHandleActionWithTheButtonsName)
{
    RectButtonSprite* ok = new RectButtonSprite();
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
    EXPECT_TRUE(canvas->actions.empty()) << "queued until the tick";
    world.tick(16);
    ASSERT_FALSE(canvas->actions.empty());
    EXPECT_EQ(canvas->actions.back().command, "Ok");
    EXPECT_EQ(canvas->actions.back().receiver, ok);
}

} // namespace
