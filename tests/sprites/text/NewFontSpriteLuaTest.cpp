// NewFontSpriteLuaTest.cpp: the methods of hv.NewFontSprite called from scripts.
#include "tests/sprites/support/SpriteLuaFixture.h"
#include "tests/sprites/text/TestFont.h"

#include "sprites/images/ImageSprite.h"
#include "sprites/text/NewFontSprite.h"

namespace {

class NewFontSpriteLuaTest : public SpriteLuaFixture {
protected:
    NewFontSpriteLuaTest() : m_picture(fonttest::makeFontPicture()), m_table(fonttest::makeGlyphTable())
    {
        writeClassScript("NewFontSprite.lua", "NewFontSprite");
        t = keep(new sprite::NewFontSprite());
        t->setFont(m_picture, m_table);
        expose(t, "t");
    }
    ~NewFontSpriteLuaTest() override
    {
        m_table->release();
        m_picture->release();
    }

    window::ImageWinDX* m_picture;
    window::ImageWinDX* m_table;
    sprite::NewFontSprite* t;
};

TEST_F(NewFontSpriteLuaTest, EachMethodSetsAndGivesItsArgumentBack)
{
    ASSERT_EQ("", run("r1 = t:setText('AB'); w1 = t:width(); r2 = t:setKerning(-2); w2 = t:width()"));
    EXPECT_EQ("AB", globalText("r1"));
    EXPECT_EQ(15, globalInt("w1"));
    EXPECT_EQ(-2, globalInt("r2"));
    EXPECT_EQ(19, globalInt("w2"));
    ASSERT_EQ("", run("r3 = t:setLeading(4); t:setText('A\\nB'); h = t:height()"));
    EXPECT_EQ(4, globalInt("r3"));
    EXPECT_EQ(24, globalInt("h"));

    ASSERT_EQ("", run("t:setKerning(0); t:setText('AB AB AB'); r4 = t:setWrapToWidth(40)"));
    EXPECT_EQ(40, globalInt("r4"));
    EXPECT_STREQ("AB AB\nAB", t->getText().c_str());
    ASSERT_EQ("", run("r5 = t:rotateText(math.pi / 2)"));
    EXPECT_NEAR(90.0, t->getRotation(), 1e-9);
    EXPECT_EQ("", run("assert(r5 == math.pi / 2)"));

    ASSERT_EQ("", run("r6 = t:setText(nil)"));
    EXPECT_EQ("<nil>", globalText("r6"));
    EXPECT_STREQ("", t->getText().c_str());
    ASSERT_EQ("", run("r7 = t:setText(42)"));
    EXPECT_EQ(42, globalInt("r7"));
    EXPECT_STREQ("42", t->getText().c_str());
    ASSERT_EQ("", run("assert(type(r7) == 'number')"));
}

TEST_F(NewFontSpriteLuaTest, ArgumentsAndSelfAreChecked)
{
    EXPECT_TRUE(failsWith("t.setText(t, 'a', 'b')", "bad argument #3 to 'setText' (too many arguments)"));
    EXPECT_TRUE(failsWith("t.setKerning(t)", "bad argument #3 to 'setKerning' (too many arguments)"));
    EXPECT_TRUE(failsWith("t:setLeading(1, 2)", "(too many arguments)"));
    sprite::ImageSprite* picture = keep(new sprite::ImageSprite());
    expose(picture, "p");
    EXPECT_TRUE(failsWith("t.setText(p, 'x')", "(not a NewFontSprite)"));
    EXPECT_TRUE(failsWith("t.setText({}, 'x')", "(not a Sprite object)"));
    EXPECT_TRUE(failsWith("p:setText('x')", "attempt to call method 'setText'"));
    // The base methods are there too.
    ASSERT_EQ("", run("t:setPosition(7, 8); x = t:x()"));
    EXPECT_EQ(7, globalInt("x"));
}

} // namespace
