// DialogInputTest.cpp: presses, releases, moves and keys routed through a
// dialog to its buttons and nested dialogs, the commands and result codes
// that come back, and dragging.
#include "tests/sprites/containers/ContainerTestSupport.h"
#include "tests/sprites/images/TestPictures.h"

#include "sprites/buttons/ButtonSprite.h"
#include "sprites/buttons/RectButtonSprite.h"
#include "windowing/window/Event.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using spritetest::CountingSprite;
using sprite::ButtonMixin;
using sprite::DialogSprite;
using sprite::RectButtonSprite;
using sprite::SpriteBase;

// A nested dialog whose command filter, key answer and command answer are
// set by the test; it notes the commands it is offered.
class ScriptedDialog : public DialogSprite {
public:
    explicit ScriptedDialog(bool modal = false) : DialogSprite(modal) {}

    int filterCommand(lang::String* command, lang::String* out) override
    {
        filtered.push_back(command->c_str());
        if (filterResult < 0)
            return DialogSprite::filterCommand(command, out);
        *out = lang::String(replacement.c_str());
        return filterResult;
    }
    int keyDown(int key) override
    {
        keys.push_back(key);
        m_lastCommand = lang::String(keyCommand.c_str());
        return keyResult;
    }
    int dialogAction(lang::String command) override
    {
        actions.push_back(command.c_str());
        return actionResult;
    }
    int mouseDown(window::Event* e) override
    {
        if (swallowsPresses)
            return NOT_HANDLED;
        return DialogSprite::mouseDown(e);
    }

    int filterResult = -1;
    std::string replacement;
    int keyResult = 0;
    std::string keyCommand;
    int actionResult = 0;
    bool swallowsPresses = false;
    std::vector<std::string> filtered;
    std::vector<int> keys;
    std::vector<std::string> actions;
};

class DialogInputTest : public ::testing::Test {
protected:
    DialogInputTest()
    {
        // 300 x 200 with its top-left corner at (100, 100) on the screen.
        dialog = new DialogSprite(false);
        place(dialog, 100, 100, 300, 200);
    }
    ~DialogInputTest() override
    {
        for (lang::Object* o : made)
            o->release();
        dialog->release();
    }

    static void place(DialogSprite* d, int left, int top, int w, int h)
    {
        lang::IntArray* params = spritetest::numbers({left, top, w, h});
        d->configure(nullptr, params);
        params->release();
    }

    // An enabled rectangular button at (left, top) of the parent's frame.
    RectButtonSprite* button(DialogSprite* parent, const char* name, int left, int top, int w = 50, int h = 20)
    {
        RectButtonSprite* b = new RectButtonSprite();
        made.push_back(b);
        lang::IntArray* params = spritetest::numbers({left, top, w, h, ButtonMixin::NORMAL});
        b->configure(nullptr, params);
        params->release();
        parent->addChild(name, b);
        return b;
    }

    ScriptedDialog* nested(DialogSprite* parent, const char* name, int left, int top, int w, int h,
                           bool modal = false)
    {
        ScriptedDialog* d = new ScriptedDialog(modal);
        made.push_back(d);
        place(d, left, top, w, h);
        parent->addChild(name, d);
        return d;
    }

    window::Event* event(int id, int x, int y)
    {
        lang::String* arg = new lang::String("");
        window::Event* e = new window::Event(dialog, id, arg);
        arg->release();
        e->x = x;
        e->y = y;
        made.push_back(e);
        return e;
    }
    int press(int x, int y) { return dialog->mouseDown(event(window::Event::MOUSE_DOWN, x, y)); }
    int release(int x, int y) { return dialog->mouseUp(event(window::Event::MOUSE_UP, x, y)); }
    bool move(int x, int y) { return dialog->mouseMove(event(window::Event::MOUSE_MOVE, x, y)); }
    std::string command() { return dialog->getLastCommand().c_str(); }

    DialogSprite* dialog;
    std::vector<lang::Object*> made;
};

TEST_F(DialogInputTest, AClickOutsideIsNotHandledUnlessTheDialogIsModal)
{
    button(dialog, "Ok", 10, 10);
    EXPECT_EQ(DialogSprite::NOT_HANDLED, press(50, 50));
    EXPECT_EQ("", command());
    dialog->setModal(true);
    EXPECT_EQ(DialogSprite::HANDLED, press(50, 50));
    EXPECT_EQ("", command());
    dialog->setVisible(false);
    EXPECT_EQ(DialogSprite::NOT_HANDLED, press(115, 115));
}

TEST_F(DialogInputTest, AButtonThatFiresOnPressGivesItsNameAsTheCommand)
{
    button(dialog, "Ok", 10, 10);
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(110, 110));
    EXPECT_EQ("Ok", command());
    // Empty space inside the dialog is handled without a command.
    EXPECT_EQ(DialogSprite::HANDLED, press(300, 250));
    EXPECT_EQ("", command());
    EXPECT_FALSE(dialog->isDragging());
    // Its release is no one's.
    EXPECT_EQ(DialogSprite::NOT_HANDLED, release(300, 250));
}

TEST_F(DialogInputTest, TheTopmostEnabledButtonUnderThePointTakesThePress)
{
    RectButtonSprite* below = button(dialog, "Below", 10, 10);
    RectButtonSprite* above = button(dialog, "Above", 30, 10);
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(135, 115));
    EXPECT_EQ("Above", command());
    above->setEnabled(false);
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(135, 115));
    EXPECT_EQ("Below", command());
    dialog->bringToFront(below);
    above->setEnabled(true);
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(135, 115));
    EXPECT_EQ("Below", command());

    // A hidden picture button is not hit; a hidden click area is.
    window::ImageWinDX* picture = spritetest::makePicture(60, 20, [](int, int) { return 0xFFFFFFFFu; });
    sprite::ButtonSprite* pictureButton = new sprite::ButtonSprite();
    made.push_back(pictureButton);
    pictureButton->setGrid(picture, 3, 1);
    picture->release();
    pictureButton->setPosition(30, 10);
    pictureButton->setState(ButtonMixin::NORMAL);
    dialog->addChild("Picture", pictureButton);
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(135, 115));
    EXPECT_EQ("Picture", command());
    pictureButton->setVisible(false);
    below->setVisible(false);
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(135, 115));
    EXPECT_EQ("Below", command());
}

TEST_F(DialogInputTest, AButtonThatFiresOnReleaseFiresOnlyWhenReleasedOverIt)
{
    RectButtonSprite* ok = button(dialog, "Ok", 10, 10);
    RectButtonSprite* other = button(dialog, "Other", 100, 10);
    dialog->setFireOnRelease(true);
    EXPECT_TRUE(ok->getFireOnRelease());

    EXPECT_EQ(DialogSprite::HANDLED, press(115, 115));
    EXPECT_EQ("", command());
    EXPECT_EQ(ButtonMixin::PRESSED, ok->getState());
    EXPECT_EQ(DialogSprite::COMMAND_READY, release(120, 120));
    EXPECT_EQ("Ok", command());
    EXPECT_EQ(ButtonMixin::NORMAL, ok->getState());

    // Released elsewhere, even over another button: nothing, and the
    // button is no longer pressed.
    press(115, 115);
    EXPECT_EQ(DialogSprite::NOT_HANDLED, release(205, 115));
    EXPECT_EQ(ButtonMixin::NORMAL, ok->getState());
    EXPECT_EQ(ButtonMixin::NORMAL, other->getState());
    // A second release belongs to no press.
    EXPECT_EQ(DialogSprite::NOT_HANDLED, release(115, 115));
}

TEST_F(DialogInputTest, DraggingMovesTheDialogInsideTheScreen)
{
    button(dialog, "Ok", 10, 10);
    dialog->setDraggable(true);
    // A press on a button is no drag.
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(110, 110));
    EXPECT_FALSE(dialog->isDragging());

    EXPECT_EQ(DialogSprite::HANDLED, press(300, 250));
    EXPECT_TRUE(dialog->isDragging());
    EXPECT_FALSE(move(350, 250));
    EXPECT_EQ(150, dialog->left());
    EXPECT_EQ(100, dialog->top());
    move(1000, 240);
    EXPECT_EQ(800 - 300, dialog->left());
    EXPECT_EQ(90, dialog->top());
    move(1000, -500);
    EXPECT_EQ(0, dialog->top());
    move(-2000, 2000);
    EXPECT_EQ(0, dialog->left());
    EXPECT_EQ(600 - 200, dialog->top());

    EXPECT_EQ(DialogSprite::HANDLED, release(0, 0));
    EXPECT_FALSE(dialog->isDragging());
    move(500, 500);
    EXPECT_EQ(0, dialog->left());
}

TEST_F(DialogInputTest, ANestedDialogGetsThePressInItsOwnCoordinates)
{
    // The nested dialog covers (50, 50) to (150, 150) of the outer one; its
    // button (10, 10) to (30, 30) of its own.
    ScriptedDialog* inner = nested(dialog, "Inner", 50, 50, 100, 100);
    button(inner, "Btn", 10, 10, 20, 20);
    window::Event* e = event(window::Event::MOUSE_DOWN, 165, 165);
    EXPECT_EQ(DialogSprite::COMMAND_READY, dialog->mouseDown(e));
    EXPECT_EQ("Btn", command());
    EXPECT_STREQ("Inner", dialog->getPressedName().c_str());
    EXPECT_EQ(165, e->x);
    EXPECT_EQ(165, e->y);
    EXPECT_EQ((std::vector<std::string>{"Btn"}), inner->filtered);
    // Just outside the nested button: the nested dialog handles it.
    EXPECT_EQ(DialogSprite::HANDLED, press(181, 165));
    EXPECT_EQ("", command());
}

TEST_F(DialogInputTest, AButtonUnderANestedDialogThatTookThePressDoesNotFire)
{
    button(dialog, "Under", 40, 40, 120, 120);
    nested(dialog, "Inner", 50, 50, 100, 100);
    EXPECT_EQ(DialogSprite::HANDLED, press(160, 160));
    EXPECT_EQ("", command());
    // Beside the nested dialog the button is reached.
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(145, 145));
    EXPECT_EQ("Under", command());
}

TEST_F(DialogInputTest, AFireOnReleaseButtonInANestedDialogFiresThroughIt)
{
    ScriptedDialog* inner = nested(dialog, "Inner", 50, 50, 100, 100);
    RectButtonSprite* b = button(inner, "Btn", 10, 10, 20, 20);
    dialog->setFireOnRelease(true);
    EXPECT_TRUE(b->getFireOnRelease());
    EXPECT_EQ(DialogSprite::HANDLED, press(165, 165));
    EXPECT_STREQ("Inner", dialog->getPressedName().c_str());
    EXPECT_EQ(ButtonMixin::PRESSED, b->getState());
    EXPECT_EQ(DialogSprite::COMMAND_READY, release(170, 170));
    EXPECT_EQ("Btn", command());

    inner->filterResult = DialogSprite::CANCEL_COMMAND_TOO;
    press(165, 165);
    EXPECT_EQ(DialogSprite::HANDLED, release(170, 170));
    EXPECT_EQ("", command());
}

TEST_F(DialogInputTest, ANestedModalDialogTakesPressesOutsideItself)
{
    button(dialog, "Ok", 10, 10);
    ScriptedDialog* modal = nested(dialog, "Modal", 150, 100, 100, 50, true);
    // Outside the modal dialog but over the outer button: the modal one
    // swallows it.
    EXPECT_EQ(DialogSprite::HANDLED, press(115, 115));
    EXPECT_EQ("", command());
    EXPECT_STREQ("Modal", dialog->getPressedName().c_str());
    EXPECT_EQ(DialogSprite::NOT_HANDLED, release(115, 115));

    // A modal dialog that does not handle it: the outer one does, and a
    // draggable outer dialog starts a drag.
    modal->swallowsPresses = true;
    dialog->setDraggable(true);
    EXPECT_EQ(DialogSprite::HANDLED, press(115, 115));
    EXPECT_STREQ("Modal", dialog->getPressedName().c_str());
    EXPECT_TRUE(dialog->isDragging());
    EXPECT_EQ(DialogSprite::HANDLED, release(115, 115));

    // Hidden, it takes nothing.
    modal->setVisible(false);
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(115, 115));
    EXPECT_EQ("Ok", command());
}

TEST_F(DialogInputTest, ANestedFilterKeepsReplacesOrCancelsTheCommand)
{
    ScriptedDialog* inner = nested(dialog, "Inner", 50, 50, 100, 100);
    button(inner, "Btn", 10, 10, 20, 20);

    inner->filterResult = DialogSprite::KEEP_COMMAND;
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(165, 165));
    EXPECT_EQ("Btn", command());

    inner->filterResult = DialogSprite::REPLACE_COMMAND;
    inner->replacement = "Renamed";
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(165, 165));
    EXPECT_EQ("Renamed", command());

    inner->filterResult = DialogSprite::CANCEL_COMMAND;
    EXPECT_EQ(DialogSprite::HANDLED, press(165, 165));
    EXPECT_EQ("", command());

    inner->filterResult = DialogSprite::CANCEL_COMMAND_TOO;
    EXPECT_EQ(DialogSprite::HANDLED, press(165, 165));
    EXPECT_EQ("", command());

    inner->filterResult = 9;
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(165, 165));
    EXPECT_EQ("Btn", command());
}

TEST_F(DialogInputTest, FilteringAsksTheVisibleNestedDialogsFromTheTop)
{
    ScriptedDialog* bottom = nested(dialog, "Bottom", 0, 0, 10, 10);
    ScriptedDialog* hidden = nested(dialog, "Hidden", 0, 0, 10, 10);
    ScriptedDialog* top = nested(dialog, "Top", 0, 0, 10, 10);
    bottom->filterResult = DialogSprite::CANCEL_COMMAND;
    hidden->filterResult = DialogSprite::REPLACE_COMMAND;
    hidden->setVisible(false);
    top->filterResult = DialogSprite::KEEP_COMMAND;
    lang::String in("Go");
    lang::String out;
    EXPECT_EQ(DialogSprite::CANCEL_COMMAND, dialog->filterCommand(&in, &out));
    EXPECT_EQ(DialogSprite::CANCEL_COMMAND, dialog->translateCommand(&in, &out, 2));
    EXPECT_EQ((std::vector<std::string>{"Go", "Go"}), top->filtered);
    EXPECT_TRUE(hidden->filtered.empty());
    bottom->filterResult = DialogSprite::KEEP_COMMAND;
    EXPECT_EQ(DialogSprite::KEEP_COMMAND, dialog->filterCommand(&in, &out));
}

TEST_F(DialogInputTest, KeysGoToTheVisibleNestedDialogsFromTheTop)
{
    ScriptedDialog* bottom = nested(dialog, "Bottom", 0, 0, 10, 10);
    ScriptedDialog* hidden = nested(dialog, "Hidden", 0, 0, 10, 10);
    ScriptedDialog* top = nested(dialog, "Top", 0, 0, 10, 10);
    hidden->setVisible(false);
    hidden->keyResult = 1;
    bottom->keyResult = 1;
    bottom->keyCommand = "Enter";
    EXPECT_EQ(DialogSprite::COMMAND_READY, dialog->keyDown(13));
    EXPECT_EQ("Enter", command());
    EXPECT_EQ((std::vector<int>{13}), top->keys);
    EXPECT_TRUE(hidden->keys.empty());

    // A filter result outside 0 to 3 passes the key result through.
    bottom->keyResult = 5;
    bottom->filterResult = 7;
    EXPECT_EQ(5, dialog->keyDown(65));
    bottom->filterResult = DialogSprite::CANCEL_COMMAND;
    EXPECT_EQ(DialogSprite::HANDLED, dialog->keyDown(65));
    EXPECT_EQ("", command());
    bottom->keyResult = 0;
    EXPECT_EQ(DialogSprite::NOT_HANDLED, dialog->keyDown(65));
}

TEST_F(DialogInputTest, CommandsAreOfferedToNestedDialogsFromTheTop)
{
    ScriptedDialog* bottom = nested(dialog, "Bottom", 0, 0, 10, 10);
    ScriptedDialog* top = nested(dialog, "Top", 0, 0, 10, 10);
    button(dialog, "NotADialog", 0, 0);
    bottom->actionResult = 2;
    top->actionResult = 5;
    EXPECT_EQ(2, dialog->dialogAction(lang::String("Next")));
    EXPECT_EQ((std::vector<std::string>{"Next"}), top->actions);
    EXPECT_EQ((std::vector<std::string>{"Next"}), bottom->actions);
    bottom->actionResult = 0;
    EXPECT_EQ(0, dialog->dialogAction(lang::String("Next")));
}

TEST_F(DialogInputTest, MovesRollButtonsOverAndTellWhetherSomethingReacts)
{
    RectButtonSprite* ok = button(dialog, "Ok", 10, 10);
    EXPECT_TRUE(move(115, 115));
    EXPECT_EQ(ButtonMixin::ROLLOVER, ok->getState());
    EXPECT_FALSE(move(300, 250));
    EXPECT_EQ(ButtonMixin::NORMAL, ok->getState());

    // A plain sprite with a mouse-over cursor reacts too.
    CountingSprite* hot = new CountingSprite(205, 105, 10, 10);
    made.push_back(hot);
    dialog->addChild("Hot", hot);
    EXPECT_FALSE(move(305, 205));
    hot->setMouseOverCursor(SpriteBase::CURSOR_HAND);
    EXPECT_TRUE(move(305, 205));
}

TEST_F(DialogInputTest, ANestedModalDialogTakesEveryMove)
{
    RectButtonSprite* ok = button(dialog, "Ok", 10, 10);
    ScriptedDialog* modal = nested(dialog, "Modal", 150, 100, 100, 50, true);
    RectButtonSprite* inside = button(modal, "Inside", 0, 0, 10, 10);
    EXPECT_FALSE(move(115, 115));
    EXPECT_EQ(ButtonMixin::NORMAL, ok->getState());
    EXPECT_TRUE(move(252, 202));
    EXPECT_EQ(ButtonMixin::ROLLOVER, inside->getState());
    modal->setModal(false);
    EXPECT_TRUE(move(115, 115));
    EXPECT_EQ(ButtonMixin::ROLLOVER, ok->getState());
}

TEST_F(DialogInputTest, AFadingOutDialogSwallowsPresses)
{
    button(dialog, "Ok", 10, 10);
    dialog->fade(-20);
    EXPECT_TRUE(dialog->isModalBusy());
    EXPECT_EQ(DialogSprite::HANDLED, press(110, 110));
    EXPECT_EQ("", command());
    dialog->fade(20);
    EXPECT_FALSE(dialog->isModalBusy());
    EXPECT_EQ(DialogSprite::COMMAND_READY, press(110, 110));
}

} // namespace
