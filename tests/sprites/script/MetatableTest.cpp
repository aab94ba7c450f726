// MetatableTest.cpp: class metatables built from class scripts, base
// metatables and native methods.
#include "ScriptTestFixture.h"

namespace {

using MetatableTest = ScriptTestFixture;

int nativeName(lua_State* L)
{
    lua_pushstring(L, "native");
    return 1;
}

int nativeOnly(lua_State* L)
{
    lua_pushstring(L, "only native");
    return 1;
}

const luaL_Reg kNatives[] = {{"name", nativeName}, {"nativeOnly", nativeOnly}, {nullptr, nullptr}};

TEST_F(MetatableTest, AClassScriptRunsOnceAndTheNativesWin)
{
    write("Door.lua", "runs = (runs or 0) + 1\n"
                      "hv = hv or {}\n"
                      "hv.Door = { name = function() return 'script' end, open = function() return 'opened' end }");
    EXPECT_EQ(0, m_host->setupMetatableForClass("hv.Door", nullptr, "Door.lua", "Door", kNatives));
    EXPECT_EQ(0, m_host->setupMetatableForClass("hv.Door", nullptr, "Door.lua", "Door", kNatives));
    EXPECT_EQ(1, globalInt("runs"));
    EXPECT_EQ(0, lua_gettop(L));

    lua_newtable(L);
    luaL_getmetatable(L, "hv.Door");
    lua_setmetatable(L, -2);
    lua_setglobal(L, "door");
    EXPECT_EQ("", run("assert(door:name() == 'native')\n"
                      "assert(door:open() == 'opened')\n"
                      "assert(door:nativeOnly() == 'only native')\n"
                      // The class table itself finds the natives through its metatable.
                      "assert(getmetatable(hv.Door) == getmetatable(door))\n"
                      "assert(hv.Door.nativeOnly() == 'only native')"));
}

TEST_F(MetatableTest, BaseMethodsAreInheritedAndTheScriptOverridesThem)
{
    write("Base.lua", "hv = hv or {}\nhv.Base = { kind = function() return 'base' end,"
                      " greet = function() return 'hello' end }");
    write("Derived.lua", "hv = hv or {}\nhv.Derived = { kind = function() return 'derived' end }");
    ASSERT_EQ(0, m_host->setupMetatableForClass("hv.Base", nullptr, "Base.lua", "Base", kNatives));
    ASSERT_EQ(0, m_host->setupMetatableForClass("hv.Derived", "hv.Base", "Derived.lua", "Derived", nullptr));
    lua_newtable(L);
    luaL_getmetatable(L, "hv.Derived");
    lua_setmetatable(L, -2);
    lua_setglobal(L, "d");
    EXPECT_EQ("", run("assert(d:kind() == 'derived')\n"
                      "assert(d:greet() == 'hello')\n"
                      "assert(d:nativeOnly() == 'only native')"));
}

TEST_F(MetatableTest, AClassScriptWithAnErrorShowsOneBoxAndItsObjectsGetNoMethods)
{
    write("Broken.lua", "hv = hv or {}\nhv.Broken = {");
    EXPECT_EQ(1, m_host->setupMetatableForClass("hv.Broken", nullptr, "Broken.lua", "Broken", kNatives));
    EXPECT_EQ(0, m_host->setupMetatableForClass("hv.Broken", nullptr, "Broken.lua", "Broken", kNatives));
    auto boxes = m_boxes.boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("setupMetatableForClass", boxes[0].caption);
    EXPECT_NE(std::string::npos, boxes[0].text.find("Broken.lua"));
    EXPECT_EQ(0, lua_gettop(L));

    lang::Object thing;
    int ref = m_host->bindObject(&thing, "hv.Broken");
    m_host->pushObject(ref);
    lua_setglobal(L, "b");
    EXPECT_NE(std::string::npos, run("return b:name()").find("attempt to call method 'name'"));
    m_host->unbindObject(ref);
}

TEST_F(MetatableTest, AScriptWithoutItsClassTableKeepsTheNatives)
{
    write("Plain.lua", "plain = true");
    write("Odd.lua", "hv = 5");
    EXPECT_EQ(0, m_host->setupMetatableForClass("hv.Plain", nullptr, "Plain.lua", "Plain", kNatives));
    EXPECT_EQ(0, m_host->setupMetatableForClass("hv.Odd", nullptr, "Odd.lua", "Odd", kNatives));
    EXPECT_EQ(0, lua_gettop(L));
    lua_newtable(L);
    luaL_getmetatable(L, "hv.Odd");
    lua_setmetatable(L, -2);
    lua_setglobal(L, "o");
    EXPECT_EQ("", run("assert(o:name() == 'native')"));
    EXPECT_TRUE(m_boxes.boxes().empty());
}

} // namespace
