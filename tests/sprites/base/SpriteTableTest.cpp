// SpriteTableTest.cpp: each sprite's Lua table, the metatable built from the
// native methods and the class scripts, and the program's calls into it.
#include "tests/sprites/support/SpriteLuaFixture.h"
#include "tests/sprites/support/TestSprite.h"

#include "sprites/images/AnimateSprite.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/images/ImageSprite.h"
#include "sprites/buttons/RectButtonSprite.h"

namespace {

using spritetest::TestSprite;

class SpriteTableTest : public SpriteLuaFixture {};

TEST_F(SpriteTableTest, ASpriteIsATableHoldingItsObject)
{
    TestSprite* s = keep(new TestSprite(100, 50, 20, 10));
    ASSERT_NE(sprite::SpriteBase::NO_LUA_REF, s->getLuaRef());
    sprite::SpriteBaseLua::pushTable(L, s);
    lua_getfield(L, -1, "__c++");
    EXPECT_EQ(static_cast<lang::Object*>(s), lua_touserdata(L, -1));
    lua_pop(L, 1);
    // Its metatable is the registry's hv.SpriteBase, which is its own index.
    ASSERT_TRUE(lua_getmetatable(L, -1));
    luaL_getmetatable(L, "hv.SpriteBase");
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
    lua_getfield(L, -1, "__index");
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
    lua_settop(L, 0);

    expose(s, "s");
    EXPECT_EQ("", run("w = s:width(); name = tostring(s)"));
    EXPECT_EQ(20, globalInt("w"));
    EXPECT_EQ(0u, globalText("name").find("SpriteBase: 0x"));
}

TEST_F(SpriteTableTest, ATableKeptByAScriptNoLongerReachesAReleasedSprite)
{
    TestSprite* s = new TestSprite(0, 0, 4, 4);
    expose(s, "kept");
    ASSERT_EQ("", run("assert(kept:width() == 4)"));
    s->release();
    EXPECT_TRUE(failsWith("kept:width()", "calling 'width' on bad self (not a Sprite object)"));
}

TEST_F(SpriteTableTest, SpriteScriptRunsOnceAndItsFunctionsReplaceNatives)
{
    write("Sprite.lua", "runs = (runs or 0) + 1\n"
                        "hv = hv or {}\n"
                        "hv.SpriteBase = { width = function(self) return 99 end,\n"
                        "                  twiceHeight = function(self) return 2 * self:height() end }\n");
    TestSprite* a = keep(new TestSprite(0, 0, 4, 6));
    TestSprite* b = keep(new TestSprite(0, 0, 8, 10));
    expose(a, "a");
    expose(b, "b");
    ASSERT_EQ("", run("wa = a:width(); hb = b:twiceHeight(); la = a:left()"));
    EXPECT_EQ(1, globalInt("runs"));
    EXPECT_EQ(99, globalInt("wa"));
    EXPECT_EQ(20, globalInt("hb"));
    // Natives the script did not replace stay.
    EXPECT_EQ(-2, globalInt("la"));
}

TEST_F(SpriteTableTest, ABrokenSpriteScriptGoesToStandardErrorAndKeepsTheNatives)
{
    write("Sprite.lua", "hv = hv or {\n");
    ::testing::internal::CaptureStderr();
    TestSprite* s = keep(new TestSprite(0, 0, 4, 6));
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, err.find("Sprite.lua"));
    EXPECT_TRUE(m_boxes.boxes().empty());
    expose(s, "s");
    EXPECT_EQ("", run("assert(s:height() == 6)"));
    EXPECT_EQ(0, lua_gettop(L));
}

TEST_F(SpriteTableTest, ASpriteScriptWithoutItsClassTableLeavesTheNatives)
{
    // hv is no table at all: nothing to copy, and no unprotected error.
    write("Sprite.lua", "hv = 5\n");
    TestSprite* s = keep(new TestSprite(0, 0, 4, 6));
    expose(s, "s");
    EXPECT_EQ("", run("assert(s:width() == 4)"));
    EXPECT_EQ(0, lua_gettop(L));
}

TEST_F(SpriteTableTest, EachClassScriptRunsOnceAndClassesInherit)
{
    write("AnimateSprite.lua", "animateRuns = (animateRuns or 0) + 1\n"
                               "hv = hv or {}\nhv.AnimateSprite = { kind = function() return 'animate' end }\n");
    write("ButtonSprite.lua", "buttonRuns = (buttonRuns or 0) + 1\n"
                              "hv = hv or {}\nhv.ButtonSprite = { kind = function() return 'button' end }\n");
    sprite::AnimateSprite* a1 = keep(new sprite::AnimateSprite(nullptr, 1, 1));
    keep(new sprite::AnimateSprite(nullptr, 1, 1));
    sprite::ButtonSprite* b1 = keep(new sprite::ButtonSprite());
    keep(new sprite::ButtonSprite());
    sprite::RectButtonSprite* r = keep(new sprite::RectButtonSprite());
    expose(a1, "a");
    expose(b1, "b");
    expose(r, "r");
    ASSERT_EQ("", run("ka = a:kind(); kb = b:kind(); f = b:getFrame(); e = b:isEnabled(); w = r:width()"));
    EXPECT_EQ(1, globalInt("animateRuns"));
    EXPECT_EQ(1, globalInt("buttonRuns"));
    EXPECT_EQ("animate", globalText("ka"));
    EXPECT_EQ("button", globalText("kb"));
    // A button has the animated sprite's methods and the base's.
    EXPECT_EQ("0", globalText("f"));
    EXPECT_EQ("", run("assert(e == false)"));
    EXPECT_EQ(0, globalInt("w"));
    // A rectangle button is no animated sprite.
    EXPECT_TRUE(failsWith("r:getFrame()", "attempt to call method 'getFrame'"));
}

TEST_F(SpriteTableTest, MethodsTestTheirSelf)
{
    sprite::ImageSprite* image = keep(new sprite::ImageSprite());
    sprite::AnimateSprite* animate = keep(new sprite::AnimateSprite(nullptr, 1, 1));
    sprite::RectButtonSprite* rect = keep(new sprite::RectButtonSprite());
    expose(image, "img");
    expose(animate, "anim");
    expose(rect, "rect");
    EXPECT_TRUE(failsWith("anim.getFrame(img)", "(not a AnimateSprite)"));
    EXPECT_TRUE(failsWith("anim.width({})", "(not a Sprite object)"));
    EXPECT_TRUE(failsWith("anim.width(5)", "table expected"));
    EXPECT_TRUE(failsWith("anim.width({ ['__c++'] = io.stdout })", "(not a Sprite object)"));
    EXPECT_TRUE(failsWith("img:getName(1)", "bad argument #1 to 'getName' (too many arguments)"));
    // A table of another scripted class answers as no sprite.
    sprite::ButtonSprite* button = keep(new sprite::ButtonSprite());
    expose(button, "button");
    EXPECT_TRUE(failsWith("button.isEnabled(rect)", "(not a ButtonSprite)"));
    EXPECT_TRUE(failsWith("rect.isEnabled(button)", "(not a RectButtonSprite)"));
    EXPECT_TRUE(failsWith("button.getFrame(rect)", "(not a AnimateSprite)"));
}

TEST_F(SpriteTableTest, NextFrameIsCalledWithTheFrameWhileLuaAnimationsRun)
{
    TestSprite* s = keep(new TestSprite(0, 0, 4, 4));
    expose(s, "s");
    ASSERT_EQ("", run("function s:nextFrame(frame) seen = frame; self:movePosition(1, 0) end\n"
                      "s:setHasLuaAnimations(true)"));
    EXPECT_TRUE(s->hasLuaAnimations());
    s->luaNextFrame(17);
    EXPECT_EQ(17, globalInt("seen"));
    EXPECT_EQ(1, s->getX());
    s->setPaused(true);
    s->luaNextFrame(18);
    EXPECT_EQ(17, globalInt("seen"));
    EXPECT_EQ(0, lua_gettop(L));
}

TEST_F(SpriteTableTest, AnErrorInNextFrameIsReportedAndTheGameGoesOn)
{
    TestSprite* s = keep(new TestSprite(0, 0, 4, 4));
    expose(s, "s");
    ASSERT_EQ("", run("function s:nextFrame(frame) error('broken ' .. frame) end"));
    s->setHasLuaAnimations(true);
    s->luaNextFrame(3);
    ASSERT_EQ(1u, m_boxes.boxes().size());
    EXPECT_EQ("Script Error", m_boxes.boxes()[0].caption);
    EXPECT_NE(std::string::npos, m_boxes.boxes()[0].text.find("broken 3"));
    EXPECT_NE(std::string::npos, m_boxes.boxes()[0].text.find("stack traceback"));
    EXPECT_EQ(0, lua_gettop(L));
}

TEST_F(SpriteTableTest, TheProgramCallsCompleteAnimationsOnTheTable)
{
    TestSprite* s = keep(new TestSprite(0, 0, 4, 4));
    expose(s, "s");
    ASSERT_EQ("", run("function s:completeAnimations() done = self:width() end"));
    sprite::SpriteBaseLua::callMethod(s, "completeAnimations");
    EXPECT_EQ(4, globalInt("done"));
    EXPECT_EQ(0, lua_gettop(L));
}

} // namespace
