// ButtonLuaTest.cpp: the methods of hv.ButtonSprite and hv.RectButtonSprite
// called from scripts.
#include "tests/sprites/support/SpriteLuaFixture.h"

#include "sprites/buttons/ButtonSprite.h"
#include "sprites/buttons/RectButtonSprite.h"

namespace {

using sprite::ButtonMixin;

class ButtonLuaTest : public SpriteLuaFixture {
protected:
    ButtonLuaTest()
    {
        button = keep(new sprite::ButtonSprite());
        rect = keep(new sprite::RectButtonSprite());
        rect->setSize(10, 10);
        expose(button, "button");
        expose(rect, "rect");
    }
    sprite::ButtonSprite* button;
    sprite::RectButtonSprite* rect;
};

TEST_F(ButtonLuaTest, ScriptsEnableAndAskButtons)
{
    ASSERT_EQ("", run("before = rect:isEnabled(); rect:enable(true); after = rect:isEnabled()\n"
                      "hit, miss = rect:hittestAndEnabled(9, 9), rect:hittestAndEnabled(10, 9)"));
    EXPECT_EQ("", run("assert(before == false and after == true and hit == true and miss == false)"));
    EXPECT_EQ(ButtonMixin::NORMAL, rect->getState());
    ASSERT_EQ("", run("rect:enable(false)"));
    EXPECT_EQ(ButtonMixin::DISABLED, rect->getState());

    button->setState(ButtonMixin::SELECTED);
    ASSERT_EQ("", run("button:enable(true); e = button:isEnabled()"));
    EXPECT_EQ(ButtonMixin::SELECTED, button->getState());
    EXPECT_EQ("", run("assert(e == true)"));
    ASSERT_EQ("", run("button:enable(nil); e = button:isEnabled()"));
    EXPECT_EQ(ButtonMixin::DISABLED, button->getState());
}

TEST_F(ButtonLuaTest, WrongCallsAreRefused)
{
    EXPECT_TRUE(failsWith("button.enable(button)", "bad argument #3 to 'enable' (too many arguments)"));
    EXPECT_TRUE(failsWith("rect.isEnabled(rect, 1)", "bad argument #2 to 'isEnabled' (too many arguments)"));
    EXPECT_TRUE(
        failsWith("rect.hittestAndEnabled(rect, 1)", "bad argument #4 to 'hittestAndEnabled' (too many arguments)"));
    EXPECT_TRUE(failsWith("button.enable(rect, true)", "(not a ButtonSprite)"));
    EXPECT_TRUE(failsWith("rect.enable(button, true)", "(not a RectButtonSprite)"));
    EXPECT_TRUE(failsWith("rect.enable({}, true)", "(not a Sprite object)"));
    EXPECT_EQ(ButtonMixin::DISABLED, rect->getState());
    EXPECT_EQ(ButtonMixin::DISABLED, button->getState());
}

} // namespace
