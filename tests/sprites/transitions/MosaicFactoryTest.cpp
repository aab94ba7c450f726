// Mosaics from the transition factory, by type code and from Lua option
// tables, and made by class name.
#include "tests/sprites/support/RecordingGraphics.h"

#include "sprites/transitions/TransitionFactory.h"
#include "sprites/transitions/TransitionMosaic.h"

#include "core/lang/Class.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>

using sprite::TransitionBase;
using sprite::TransitionFactory;
using sprite::TransitionMosaic;

namespace {

TEST(MosaicFactoryTest, TypeCodesChooseStyleRemovalAndDirection)
{
    struct {
        int style, removal, direction;
    } kinds[] = {{0, 0, 1}, {1, 0, 1}, {1, 0, 2}, {1, 1, 1}, {2, 0, 1}, {3, 0, 1},
                 {4, 0, 1}, {4, 0, 2}, {4, 1, 1}, {5, 0, 1}, {5, 0, 2}, {5, 1, 1}};
    for (int i = 0; i < 12; ++i) {
        TransitionBase* t = TransitionFactory::create(300 + i, util::RectangleNM(10, 20, 300, 200), false, 16);
        ASSERT_NE(nullptr, t) << 300 + i;
        ASSERT_TRUE(t->isInstanceOf("TransitionMosaic")) << 300 + i;
        TransitionMosaic* m = static_cast<TransitionMosaic*>(t);
        EXPECT_EQ(kinds[i].style, m->getStyle()) << 300 + i;
        EXPECT_EQ(kinds[i].removal, m->getRemoveMode()) << 300 + i;
        EXPECT_EQ(kinds[i].direction, m->getDirection()) << 300 + i;
        EXPECT_EQ(10, m->getGridX());
        EXPECT_EQ(6, m->getGridY());
        EXPECT_EQ(2, m->getTilesPerRender());
        EXPECT_EQ(16, m->getFrames());
        EXPECT_TRUE(m->getSrcMoves());
        EXPECT_FALSE(m->isReverse());
        EXPECT_EQ(0, m->getState());
        EXPECT_EQ(10, m->getLayerPosition(0)->x);
        EXPECT_EQ(300, m->getLayerBaseRect(0)->width);
        t->release();
    }
    EXPECT_EQ(nullptr, TransitionFactory::createFullScreen(312, 24));
}

TEST(MosaicFactoryTest, AMosaicGetsTheTwoFramesItsHalvesNeed)
{
    for (int frames : {-5, 0, 1}) {
        TransitionBase* t = TransitionFactory::createFullScreen(306, frames);
        EXPECT_EQ(2, t->getFrames()) << frames;
        t->release();
    }
}

TEST(MosaicFactoryTest, TheMosaicClassIsCreatedByName)
{
    lang::Class* metaclass = lang::Class::forName(lang::String("TransitionMosaic"));
    ASSERT_NE(nullptr, metaclass);
    lang::Object* object = metaclass->newInstance();
    ASSERT_TRUE(object->isInstanceOf("TransitionBase"));
    EXPECT_STREQ("TransitionMosaic", object->getClassName());
    TransitionMosaic* m = static_cast<TransitionMosaic*>(object);
    EXPECT_EQ(24, m->getFrames());
    EXPECT_EQ(800, m->getLayerRect(0)->width);
    EXPECT_EQ(5, m->getGridX());
    EXPECT_EQ(-1, m->getState());
    object->release();
}

// createFromLuaTable on a table written in Lua, inside a protected call.
class MosaicLuaTest : public ::testing::Test {
protected:
    void SetUp() override { L = luaL_newstate(); }
    void TearDown() override
    {
        if (made)
            made->release();
        lua_close(L);
    }

    static int callFactory(lua_State* L)
    {
        MosaicLuaTest* test = static_cast<MosaicLuaTest*>(lua_touserdata(L, 1));
        lua_remove(L, 1);
        test->made = TransitionFactory::createFromLuaTable(L, util::RectangleNM(5, 6, 200, 100), true, 0, 0);
        return 0;
    }

    TransitionMosaic* make(const std::string& table)
    {
        std::string chunk = "return " + table;
        if (luaL_loadstring(L, chunk.c_str()) != 0 || lua_pcall(L, 0, 1, 0) != 0) {
            ADD_FAILURE() << lua_tostring(L, -1);
            lua_pop(L, 1);
            return nullptr;
        }
        lua_pushcfunction(L, callFactory);
        lua_insert(L, -2);
        lua_pushlightuserdata(L, this);
        lua_insert(L, -2);
        if (lua_pcall(L, 2, 0, 0) != 0) {
            ADD_FAILURE() << lua_tostring(L, -1);
            lua_pop(L, 1);
        }
        if (!made || !made->isInstanceOf("TransitionMosaic"))
            return nullptr;
        return static_cast<TransitionMosaic*>(made);
    }

    lua_State* L = nullptr;
    TransitionBase* made = nullptr;
};

TEST_F(MosaicLuaTest, AMosaicNamedAloneTakesTheTableDefaults)
{
    TransitionMosaic* m = make("{transition = 'mosaic'}");
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(TransitionMosaic::DISAPPEAR, m->getStyle());
    EXPECT_EQ(TransitionMosaic::REMOVE_WIPE, m->getRemoveMode());
    EXPECT_EQ(10, m->getGridX());
    EXPECT_EQ(6, m->getGridY());
    EXPECT_EQ(1, m->getTilesPerRender());
    EXPECT_EQ(0, m->getDirection());
    EXPECT_EQ(24, m->getFrames());
    EXPECT_FALSE(m->getSrcMoves());
    EXPECT_EQ(0, m->getState());
    EXPECT_EQ(5, m->getLayerPosition(0)->x);
}

TEST_F(MosaicLuaTest, TheMosaicKeysSetStyleRemovalGridAndTilesPerRender)
{
    TransitionMosaic* m = make("{transition = 'mosaic', mosaicStyle = 'checkerboard', mosaicRemove = 'shrink', "
                               "mosaicGridX = 8, mosaicGridY = 4, mosaicNumTilesPerRender = 8, "
                               "direction = 'right', reverse = true, frames = 1}");
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(TransitionMosaic::CHECKERBOARD, m->getStyle());
    EXPECT_EQ(TransitionMosaic::REMOVE_SHRINK, m->getRemoveMode());
    EXPECT_EQ(8, m->getGridX());
    EXPECT_EQ(4, m->getGridY());
    EXPECT_EQ(8, m->getTilesPerRender());
    EXPECT_EQ(4, m->getDirection());
    EXPECT_TRUE(m->isReverse());
    EXPECT_TRUE(m->isTwoLayerReverse());
    EXPECT_EQ(2, m->getFrames());
}

TEST_F(MosaicLuaTest, GridsThatDoNotFitTheTileTableAreHeldToIt)
{
    TransitionMosaic* m = make("{transition = 'mosaic', mosaicGridX = 100, mosaicGridY = 100}");
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(100, m->getGridX());
    EXPECT_EQ(5, m->getGridY());
    made->release();
    made = nullptr;
    m = make("{transition = 'mosaic', mosaicGridX = 0, mosaicGridY = -3}");
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(1, m->getGridX());
    EXPECT_EQ(1, m->getGridY());
    // A one-tile mosaic still runs: its tile goes and the layer ends.
    spritetest::RecordingGraphics* screen = new spritetest::RecordingGraphics();
    m->capture(screen, 0, 0, 200, 100);
    screen->release();
    EXPECT_EQ(-1, m->getState());
    m->reset();
    EXPECT_EQ(1, m->getTileCount());
    EXPECT_EQ(0, m->step());
    EXPECT_FALSE(m->getTile(0).visible);
}

} // namespace
