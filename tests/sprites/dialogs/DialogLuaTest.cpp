// DialogLuaTest.cpp: the methods of hv.DialogSprite called from scripts,
// with their argument checks.
#include "tests/sprites/containers/ContainerTestSupport.h"
#include "tests/sprites/support/SpriteLuaFixture.h"

#include "sprites/dialogs/DialogSprite.h"

namespace {

using spritetest::CountingSprite;
using sprite::DialogSprite;
using sprite::SpriteBase;

// A dialog that notes the commands offered to it.
class ListeningDialog : public DialogSprite {
public:
    ListeningDialog() : DialogSprite(false) {}
    int dialogAction(lang::String command) override
    {
        heard.push_back(command.c_str());
        return 1;
    }
    std::vector<std::string> heard;
};

class DialogLuaTest : public SpriteLuaFixture {
protected:
    DialogLuaTest()
    {
        write("DialogSprite.lua", "hv = hv or {}\nhv.DialogSprite = {}\n"
                                  "function hv.DialogSprite.kind(self) return 'dialog' end\n");
        dialog = keep(new ListeningDialog());
        part = keep(new CountingSprite(5, 5, 10, 10));
        other = keep(new CountingSprite(5, 5, 10, 10));
        dialog->addChild("Part", part);
        dialog->addChild("Other", other);
        plain = keep(new CountingSprite(0, 0, 1, 1));
        expose(dialog, "dialog");
        expose(part, "part");
        expose(other, "other");
        expose(plain, "plain");
    }

    ListeningDialog* dialog;
    CountingSprite* part;
    CountingSprite* other;
    CountingSprite* plain;
};

TEST_F(DialogLuaTest, ScriptsFindPartsReadTheCommandAndOfferCommands)
{
    ASSERT_EQ("", run("found = dialog:sprite('Part') == part\n"
                      "missing = dialog:sprite('Nothing') == nil and dialog:sprite() == nil\n"
                      "kind = dialog:kind()\n"
                      "name = dialog:sprite('Other'):getName()"));
    EXPECT_EQ("", run("assert(found and missing)"));
    EXPECT_EQ("dialog", globalText("kind"));
    EXPECT_EQ("Other", globalText("name"));

    dialog->setLastCommand(lang::String("Close"));
    ASSERT_EQ("", run("command = dialog:lastCommand()"));
    EXPECT_EQ("Close", globalText("command"));

    ASSERT_EQ("", run("dialog:dialogAction('Open'); dialog:dialogAction()"));
    EXPECT_EQ((std::vector<std::string>{"Open", ""}), dialog->heard);
}

TEST_F(DialogLuaTest, BringToFrontPutsTheSpriteOnTop)
{
    SpriteBase* top = dialog->childAt(1);
    EXPECT_EQ(other, top);
    top->release();
    ASSERT_EQ("", run("dialog:bringToFront(part)"));
    top = dialog->childAt(1);
    EXPECT_EQ(part, top);
    top->release();
    // A sprite that was no child joins on top.
    ASSERT_EQ("", run("dialog:bringToFront(plain)"));
    EXPECT_EQ(3, dialog->getChildCount());
}

TEST_F(DialogLuaTest, ADialogCannotTakeADialogThatHoldsIt)
{
    ListeningDialog* inner = keep(new ListeningDialog());
    dialog->addChild("Inner", inner);
    expose(inner, "inner");
    // Refused quietly: the script goes on and the tree stays a tree.
    ASSERT_EQ("", run("inner:bringToFront(dialog); inner:bringToFront(inner); dialog:bringToFront(dialog)"));
    EXPECT_EQ(0, inner->getChildCount());
    EXPECT_EQ(3, dialog->getChildCount());
    EXPECT_FALSE(inner->addChild("Outer", dialog));
    EXPECT_STREQ("", dialog->getName().c_str()) << "not renamed by a refused add";
    EXPECT_EQ(nullptr, inner->getSprite("Outer"));
    dialog->tick(1, nullptr, nullptr);
    EXPECT_FALSE(part->ticks.empty());

    // A part taken by the nested dialog leaves the outer one and its name.
    ASSERT_EQ("", run("inner:bringToFront(part)"));
    EXPECT_EQ(inner, part->getParent());
    EXPECT_EQ(nullptr, dialog->getSprite("Part"));
    EXPECT_EQ(2, dialog->getChildCount());
}

TEST_F(DialogLuaTest, WrongCallsAreRefused)
{
    EXPECT_TRUE(failsWith("dialog:dialogAction('a', 'b')", "bad argument #2 to 'dialogAction' (too many arguments)"));
    EXPECT_TRUE(failsWith("dialog:bringToFront({})", "(not a Sprite object)"));
    EXPECT_TRUE(failsWith("dialog:bringToFront(3)", "table expected"));
    EXPECT_TRUE(failsWith("dialog:bringToFront()", "table expected"));
    EXPECT_EQ(2, dialog->getChildCount());
    // The dialog methods belong to dialogs only.
    EXPECT_TRUE(failsWith("dialog.lastCommand(plain)", "(not a DialogSprite)"));
    EXPECT_TRUE(failsWith("dialog.sprite({}, 'Part')", "(not a Sprite object)"));
    EXPECT_TRUE(failsWith("plain:lastCommand()", "attempt to call method 'lastCommand'"));
    EXPECT_TRUE(dialog->heard.empty());
}

TEST_F(DialogLuaTest, APartWithoutATableGivesNil)
{
    // Made while no script host gives sprites tables.
    sprite::SpriteBaseLua::disconnect();
    CountingSprite* bare = keep(new CountingSprite(0, 0, 1, 1));
    sprite::SpriteBaseLua::connect();
    dialog->addChild("Bare", bare);
    ASSERT_EQ("", run("bare = dialog:sprite('Bare') == nil"));
    EXPECT_EQ("", run("assert(bare)"));
}

} // namespace
