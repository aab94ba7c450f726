// BindingTest.cpp: native objects as Lua tables with "__c++", and the type
// check of their methods.
#include "ScriptTestFixture.h"

namespace {

class Thing : public lang::Object {
public:
    HV_CLASS_NAME("Thing", lang::Object)
    int touched = 0;
};

class Lantern : public Thing {
public:
    HV_CLASS_NAME("Lantern", Thing)
};

int thingTouch(lua_State* L)
{
    Thing* thing = static_cast<Thing*>(ScriptHost::checkObject(L, 1, "Thing", "Thing"));
    ++thing->touched;
    lua_pushstring(L, thing->getClassName());
    return 1;
}

int lanternOnly(lua_State* L)
{
    ScriptHost::checkObject(L, 1, "Lantern", "Thing");
    return 0;
}

const luaL_Reg kThingMethods[] = {{"touch", thingTouch}, {"lanternOnly", lanternOnly}, {nullptr, nullptr}};

class BindingTest : public ScriptTestFixture {
protected:
    BindingTest()
    {
        write("Thing.lua", "hv = hv or {}\n"
                           "hv.Thing = { twice = function(self) self:touch(); return self:touch() end }");
        EXPECT_EQ(0, m_host->setupMetatableForClass("hv.Thing", nullptr, "Thing.lua", "Thing", kThingMethods));
    }
};

TEST_F(BindingTest, TheTableCarriesTheObjectAndFindsItsMethods)
{
    Lantern lantern;
    int ref = m_host->bindObject(&lantern, "hv.Thing");
    ASSERT_NE(LUA_NOREF, ref);
    m_host->pushObject(ref);
    lua_getfield(L, -1, "__c++");
    EXPECT_TRUE(lua_islightuserdata(L, -1));
    EXPECT_EQ(static_cast<lang::Object*>(&lantern), lua_touserdata(L, -1));
    lua_pop(L, 1);
    lua_setglobal(L, "s");
    EXPECT_EQ("", run("assert(s:twice() == 'Lantern')"));
    EXPECT_EQ(2, lantern.touched);

    // The program calls a script method on the table the same way.
    m_host->pushObject(ref);
    lua_getfield(L, -1, "twice");
    lua_insert(L, -2);
    EXPECT_TRUE(m_host->pcallWithTraceback(1, 0));
    EXPECT_EQ(4, lantern.touched);
    EXPECT_EQ(0, lua_gettop(L));

    // A subclass's metatable replaces the first one.
    ASSERT_EQ("", run("lantern_mt = { __index = { kind = function() return 'lantern' end } }"));
    lua_getglobal(L, "lantern_mt");
    lua_setfield(L, LUA_REGISTRYINDEX, "hv.Lantern");
    m_host->setObjectMetatable(ref, "hv.Lantern");
    EXPECT_EQ("", run("assert(s:kind() == 'lantern')"));
    m_host->unbindObject(ref);
}

TEST_F(BindingTest, MethodsRefuseWhatIsNotTheirObject)
{
    Thing thing;
    int ref = m_host->bindObject(&thing, "hv.Thing");
    m_host->pushObject(ref);
    lua_setglobal(L, "t");
    EXPECT_NE(std::string::npos, run("t.lanternOnly(t)").find("(not a Lantern)"));
    EXPECT_NE(std::string::npos, run("t.touch({})").find("(not a Thing object)"));
    EXPECT_NE(std::string::npos, run("t.touch({ ['__c++'] = io.stdout })").find("(not a Thing object)"));
    EXPECT_NE(std::string::npos, run("t.touch(5)").find("table expected"));
    EXPECT_NE(std::string::npos, run("t:lanternOnly()").find("calling 'lanternOnly' on bad self (not a Lantern)"));
    EXPECT_EQ(0, thing.touched);
    m_host->unbindObject(ref);
}

TEST_F(BindingTest, ATableKeptAfterItsObjectWentNoLongerReachesIt)
{
    {
        Thing gone;
        int ref = m_host->bindObject(&gone, "hv.Thing");
        m_host->pushObject(ref);
        lua_setglobal(L, "kept");
        EXPECT_EQ("", run("kept:touch()"));
        m_host->unbindObject(ref);
    }
    EXPECT_NE(std::string::npos, run("kept:touch()").find("(not a Thing object)"));
    // The registry reference is free again.
    lua_getfield(L, LUA_REGISTRYINDEX, "hv.Thing");
    EXPECT_TRUE(lua_istable(L, -1));
    lua_pop(L, 1);
}

} // namespace
