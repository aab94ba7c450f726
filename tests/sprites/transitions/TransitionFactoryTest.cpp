// The transition factory: transitions by type code, transitions from Lua
// option tables with their defaults and errors, and the transition classes
// created by name.
#include "sprites/transitions/TransitionBarnDoor.h"
#include "sprites/transitions/TransitionFactory.h"
#include "sprites/transitions/TransitionScale.h"
#include "sprites/transitions/TransitionWipe.h"

#include "core/lang/Class.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>

using sprite::TransitionBarnDoor;
using sprite::TransitionBase;
using sprite::TransitionFactory;
using sprite::TransitionWipe;

namespace {

TEST(TransitionFactoryTest, WipeCodesRunInTheirEightDirections)
{
    const int directions[] = {1, 2, 4, 8, 3, 6, 9, 12};
    for (int i = 0; i < 8; ++i) {
        TransitionBase* t = TransitionFactory::create(100 + i, util::RectangleNM(10, 20, 30, 40), false, 12);
        ASSERT_NE(nullptr, t) << 100 + i;
        EXPECT_TRUE(t->isInstanceOf("TransitionWipe"));
        EXPECT_EQ(directions[i], t->getDirection());
        EXPECT_EQ(12, t->getFrames());
        EXPECT_TRUE(t->getSrcMoves());
        EXPECT_FALSE(t->isReverse());
        EXPECT_FALSE(t->isOverlay());
        // Begun: waiting for the picture to capture.
        EXPECT_EQ(0, t->getState());
        EXPECT_EQ(10, t->getLayerPosition(0)->x);
        EXPECT_EQ(20, t->getLayerPosition(0)->y);
        EXPECT_EQ(30, t->getLayerRect(0)->width);
        EXPECT_EQ(40, t->getLayerBaseRect(0)->height);
        t->release();
    }
}

TEST(TransitionFactoryTest, BarnDoorCodesChooseOrientationAndReverse)
{
    struct {
        int type, orientation;
        bool reverse;
    } cases[] = {{200, 1, false}, {201, 1, true}, {202, 2, false}, {203, 2, true}};
    for (const auto& c : cases) {
        TransitionBase* t = TransitionFactory::createFullScreen(c.type, 24);
        ASSERT_NE(nullptr, t) << c.type;
        ASSERT_TRUE(t->isInstanceOf("TransitionBarnDoor"));
        EXPECT_EQ(c.orientation, static_cast<TransitionBarnDoor*>(t)->getOrientation());
        EXPECT_EQ(c.reverse, t->isReverse());
        EXPECT_EQ(800, t->getLayerRect(0)->width);
        EXPECT_EQ(600, t->getLayerRect(0)->height);
        EXPECT_EQ(0, t->getState());
        t->release();
    }
}

TEST(TransitionFactoryTest, UnknownCodesMakeNothing)
{
    for (int type : {0, 99, 108, 150, 199, 204, 312, 402, -1})
        EXPECT_EQ(nullptr, TransitionFactory::createFullScreen(type, 24)) << type;
}

TEST(TransitionFactoryTest, FrameCountsAreKeptWhereTheEffectsCanDivideByThem)
{
    TransitionBase* wipe = TransitionFactory::createFullScreen(100, 0);
    EXPECT_EQ(1, wipe->getFrames());
    wipe->release();
    TransitionBase* door = TransitionFactory::createFullScreen(200, 1);
    EXPECT_EQ(2, door->getFrames());
    door->release();
}

TEST(TransitionFactoryTest, TheTransitionClassesAreCreatedByName)
{
    for (const char* name : {"TransitionBase", "TransitionWipe", "TransitionBarnDoor", "TransitionScale",
                             "TransitionFactory"}) {
        lang::Class* metaclass = lang::Class::forName(lang::String(name));
        ASSERT_NE(nullptr, metaclass) << name;
        lang::Object* object = metaclass->newInstance();
        EXPECT_TRUE(object->isInstanceOf(name)) << name;
        EXPECT_STREQ(name, object->getClassName());
        object->release();
    }
    lang::Object* scale = lang::Class::forName(lang::String("TransitionScale"))->newInstance();
    EXPECT_TRUE(scale->isInstanceOf("TransitionBase"));
    EXPECT_EQ(-1, static_cast<TransitionBase*>(scale)->getState());
    scale->release();
}

// Runs createFromLuaTable on a table built by a Lua expression, inside a
// protected call so that its Lua errors come back as text.
class LuaTableTest : public ::testing::Test {
protected:
    void SetUp() override { L = luaL_newstate(); }
    void TearDown() override
    {
        if (made)
            made->release();
        lua_close(L);
    }

    struct Call {
        LuaTableTest* test;
        util::RectangleNM bounds;
        bool useBounds;
    };

    static int callFactory(lua_State* L)
    {
        Call* call = static_cast<Call*>(lua_touserdata(L, 1));
        lua_remove(L, 1);
        int before = lua_gettop(L);
        LuaTableTest* test = call->test;
        test->made = TransitionFactory::createFromLuaTable(L, call->bounds, call->useBounds, test->maskX, test->maskY);
        call->test->stackKept = lua_gettop(L) == before;
        return 0;
    }

    // The transition made from the table expression, or null with the error text.
    TransitionBase* make(const std::string& table, bool useBounds = false,
                         util::RectangleNM bounds = util::RectangleNM(5, 6, 70, 80))
    {
        error.clear();
        std::string chunk = "return " + table;
        if (luaL_loadstring(L, chunk.c_str()) != 0 || lua_pcall(L, 0, 1, 0) != 0) {
            ADD_FAILURE() << lua_tostring(L, -1);
            lua_pop(L, 1);
            return nullptr;
        }
        Call call{this, bounds, useBounds};
        lua_pushcfunction(L, callFactory);
        lua_insert(L, -2);
        lua_pushlightuserdata(L, &call);
        lua_insert(L, -2);
        if (lua_pcall(L, 2, 0, 0) != 0) {
            error = lua_tostring(L, -1);
            lua_pop(L, 1);
        }
        EXPECT_EQ(0, lua_gettop(L));
        return made;
    }

    lua_State* L = nullptr;
    TransitionBase* made = nullptr;
    bool stackKept = false;
    std::string error;
    int maskX = 400;
    int maskY = 300;
};

TEST_F(LuaTableTest, AWipeOnlyNamedGetsNoDirectionAndTheDefaults)
{
    TransitionBase* t = make("{transition = 'wipe'}");
    ASSERT_NE(nullptr, t) << error;
    EXPECT_TRUE(stackKept);
    EXPECT_TRUE(t->isInstanceOf("TransitionWipe"));
    EXPECT_EQ(0, t->getDirection());
    EXPECT_EQ(24, t->getFrames());
    EXPECT_FALSE(t->getSrcMoves());
    EXPECT_FALSE(t->getFade());
    EXPECT_FALSE(t->isReverse());
    EXPECT_EQ(0, t->getState());
    // The whole screen unless the caller's bounds are asked for.
    EXPECT_EQ(800, t->getLayerRect(0)->width);
    EXPECT_EQ(0, t->getLayerPosition(0)->x);
}

TEST_F(LuaTableTest, OptionsSetDirectionFramesAndFlags)
{
    TransitionBase* t = make("{transition = 'wipe', frames = 10, direction = 'upLeft', srcMoves = true, "
                             "fade = true, reverse = true}",
                             true);
    ASSERT_NE(nullptr, t) << error;
    EXPECT_EQ(3, t->getDirection());
    EXPECT_EQ(10, t->getFrames());
    EXPECT_TRUE(t->getSrcMoves());
    EXPECT_TRUE(t->getFade());
    EXPECT_TRUE(t->isReverse());
    EXPECT_EQ(5, t->getLayerPosition(0)->x);
    EXPECT_EQ(6, t->getLayerPosition(0)->y);
    EXPECT_EQ(70, t->getLayerRect(0)->width);
}

TEST_F(LuaTableTest, BarnDoorsComeFromTheirName)
{
    TransitionBase* t = make("{transition = 'barnDoor', direction = 'vertical', reverse = true, frames = 12.9}");
    ASSERT_NE(nullptr, t) << error;
    ASSERT_TRUE(t->isInstanceOf("TransitionBarnDoor"));
    EXPECT_EQ(TransitionBarnDoor::HORIZONTAL, static_cast<TransitionBarnDoor*>(t)->getOrientation());
    EXPECT_EQ(2, t->getDirection());
    EXPECT_TRUE(t->isReverse());
    EXPECT_EQ(12, t->getFrames());
}

TEST_F(LuaTableTest, OnlyRealBooleansAndNumbersCount)
{
    TransitionBase* t = make("{transition = 'wipe', srcMoves = 1, fade = 'yes', frames = 'ten'}");
    ASSERT_NE(nullptr, t) << error;
    EXPECT_FALSE(t->getSrcMoves());
    EXPECT_FALSE(t->getFade());
    EXPECT_EQ(24, t->getFrames());
}

TEST_F(LuaTableTest, FrameCountsOutsideTheIntRangeAreHeld)
{
    TransitionBase* t = make("{transition = 'wipe', frames = -1e300}");
    ASSERT_NE(nullptr, t) << error;
    EXPECT_EQ(1, t->getFrames());
    t->release();
    made = nullptr;
    t = make("{transition = 'barnDoor', frames = 0/0}");
    ASSERT_NE(nullptr, t) << error;
    EXPECT_EQ(2, t->getFrames());
}

TEST_F(LuaTableTest, NoneIsAnIllegalTransitionType)
{
    EXPECT_EQ(nullptr, make("{transition = 'none'}"));
    EXPECT_NE(std::string::npos, error.find("Illegal transition type specified")) << error;
}

TEST_F(LuaTableTest, AMissingOrUnknownTransitionIsAnArgumentError)
{
    EXPECT_EQ(nullptr, make("{frames = 3}"));
    EXPECT_NE(std::string::npos, error.find("bad argument")) << error;
    EXPECT_EQ(nullptr, make("{transition = 'spin'}"));
    EXPECT_NE(std::string::npos, error.find("invalid transition 'spin'")) << error;
    EXPECT_EQ(nullptr, make("{transition = 'wipe', direction = 'sideways'}"));
    EXPECT_NE(std::string::npos, error.find("invalid direction 'sideways'")) << error;
    EXPECT_EQ(nullptr, make("{transition = 'wipe', mosaicStyle = 'melt'}"));
    EXPECT_NE(std::string::npos, error.find("invalid mosaicStyle 'melt'")) << error;
    EXPECT_EQ(nullptr, make("{transition = 'mask'}"));
    EXPECT_NE(std::string::npos, error.find("mask")) << error;
}

TEST_F(LuaTableTest, ANonStringDirectionMeansNone)
{
    TransitionBase* t = make("{transition = 'wipe', direction = 4}");
    ASSERT_NE(nullptr, t) << error;
    EXPECT_EQ(0, t->getDirection());
}

} // namespace
