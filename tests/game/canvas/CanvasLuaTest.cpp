// CanvasLuaTest.cpp: the Lua methods of the global `canvas` in the fixture
// game: every method's argument checks, and what a few of them answer and do.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "sprites/script/ScriptHost.h"
#include "tests/game/support/GameFixture.h"

#include <lua.hpp>

namespace gametest {
namespace {

// What the close-up hooks were asked to open.
struct OpenedPegs {
    int calls = 0;
    int puzzle = 0;
    int x = 0;
    int y = 0;
    Room* host = nullptr;
} g_pegs;

void openPegs(sprite::DialogSprite*, int puzzle, int x, int y, Room* host)
{
    ++g_pegs.calls;
    g_pegs.puzzle = puzzle;
    g_pegs.x = x;
    g_pegs.y = y;
    g_pegs.host = host;
}

class CanvasLuaTest : public GameFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startGame());
        L = ScriptHost::instance->getState();
        ASSERT_EQ(0, luaL_dostring(L, "dock = canvas:sprite('Dock')"));
    }
    void TearDown() override { LanternfieldCanvas::sceneHooks.openPegs = nullptr; }

    // The error of running the code ("" when it ran) and its first result.
    std::string run(const std::string& code, std::string* result = nullptr)
    {
        const int top = lua_gettop(L);
        std::string error;
        if (luaL_loadstring(L, code.c_str()) != 0 || lua_pcall(L, 0, 1, 0) != 0) {
            error = lua_tostring(L, -1) ? lua_tostring(L, -1) : "?";
        } else if (result) {
            luaL_tolstring_compat(result);
        }
        lua_settop(L, top);
        return error;
    }
    void luaL_tolstring_compat(std::string* result)
    {
        if (lua_type(L, -1) == LUA_TSTRING || lua_type(L, -1) == LUA_TNUMBER)
            *result = lua_tostring(L, -1);
        else if (lua_type(L, -1) == LUA_TBOOLEAN)
            *result = lua_toboolean(L, -1) ? "true" : "false";
        else
            *result = lua_typename(L, lua_type(L, -1));
    }
    std::string answer(const std::string& code)
    {
        std::string result;
        const std::string error = run("return " + code, &result);
        return error.empty() ? result : "error: " + error;
    }

    lua_State* L = nullptr;
};

// The extra values of a call: `n` numbers.
std::string numbers(int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += ", 1";
    return out;
}

TEST_F(CanvasLuaTest, EveryMethodChecksItsSelfAndItsArgumentCount)
{
    struct Method {
        const char* name;
        int count; // values with the canvas; 0: not counted
    };
    const Method methods[] = {
        {"dropSpecialCursor", 0}, {"enableQuitButton", 2},        {"exitToMenu", 1},         {"enterCircuitBoard", 1},
        {"exitCircuitBoard", 1},  {"startChapter", 1},            {"enterPegsCU", 2},        {"exitPegsCU", 1},
        {"enterSafeCrack", 1},    {"exitSafeCrack", 1},           {"fadeMusic", 3},          {"getFXVolume", 1},
        {"getCursorName", 1},     {"getItemOnCursor", 1},         {"getLastRoom", 1},        {"getMusicVolume", 1},
        {"getNextRoom", 1},       {"isPuzzleActive", 1},          {"dropInvalidCursorItem", 1},
        {"revertBackgroundMusic", 0}, {"setBackgroundMusic", 2},  {"setChapterBackgroundMusic", 2},
        {"setEndGameVignette", 1}, {"setGameCursor", 3},          {"setIsResetGame", 2},     {"setNoMusic", 2},
        {"setPuzzleActive", 2},   {"setSpecialCursor", 3},        {"setupTempleDoorPuzzle", 2},
        {"setInTransition", 0},
    };
    ASSERT_EQ(30u, sizeof methods / sizeof methods[0]);
    for (const Method& m : methods) {
        const std::string call = std::string("canvas.") + m.name;
        EXPECT_NE(std::string::npos, run(call + "({})").find("not a Sprite object")) << m.name;
        EXPECT_NE(std::string::npos, run(call + "(dock)").find("not a LanternfieldCanvas")) << m.name;
        if (m.count == 0) {
            EXPECT_EQ("", run(call + "(canvas" + numbers(4) + ")")) << m.name << " takes any count";
            continue;
        }
        const std::string expected = "bad argument #" + std::to_string(m.count + 1) + " to '" + m.name +
                                     "' (too many arguments)";
        EXPECT_NE(std::string::npos, run(call + "(canvas" + numbers(m.count) + ")").find(expected)) << m.name;
        if (m.count > 1) {
            EXPECT_NE(std::string::npos, run(call + "(canvas" + numbers(m.count - 2) + ")").find(expected))
                << m.name << " with too few";
        }
    }
    EXPECT_NE(std::string::npos,
              run("canvas:fadeMusic('loud', 3)").find("bad argument #1 to 'fadeMusic' (number expected, got string)"));
}

TEST_F(CanvasLuaTest, MethodsAnswerFromTheCanvas)
{
    EXPECT_EQ("", answer("canvas:getNextRoom()"));
    canvas->setPendingRoom(12);
    EXPECT_EQ("GalleryInterior", answer("canvas:getNextRoom()"));
    canvas->setPendingRoom(-1);
    canvas->getProgress()->lastRoom = 3;
    EXPECT_EQ("OldTownConnector", answer("canvas:getLastRoom()"));
    canvas->getProgress()->lastRoom = -1;
    EXPECT_EQ("", answer("canvas:getLastRoom()"));
    EXPECT_EQ("170", answer("canvas:getFXVolume()"));
    world.setSetting("VOLUMEMUSIC", 99);
    EXPECT_EQ("99", answer("canvas:getMusicVolume()"));
    EXPECT_EQ("normalCursor", answer("canvas:getCursorName()"));
    EXPECT_EQ("", answer("canvas:getItemOnCursor()"));
    EXPECT_EQ("false", answer("canvas:isPuzzleActive()"));
    // A method without a result of its own reports its last argument.
    EXPECT_EQ("true", answer("canvas:setNoMusic(true)"));
    EXPECT_TRUE(canvas->isNoMusic());
    EXPECT_EQ("table", answer("canvas:startChapter()"));

    EXPECT_EQ("1", answer("canvas:setPuzzleActive(1)"));
    EXPECT_TRUE(canvas->isPuzzleActive()) << "Lua truth";
    canvas->setInTransition(false);
    run("canvas:setInTransition(false)");
    EXPECT_TRUE(canvas->isInTransition()) << "set whatever the argument";

    // "Machete" is a special cursor: the ordinary cursor call leaves it alone.
    const int before = canvas->getCurrentCursor();
    run("canvas:setGameCursor('Machete', true)");
    EXPECT_EQ(before, canvas->getCurrentCursor());
    run("canvas:setSpecialCursor('Machete', true)");
    EXPECT_EQ(40, canvas->getItemOnCursor());
    run("canvas:dropSpecialCursor()");
    EXPECT_EQ(-1, canvas->getItemOnCursor());
}

TEST_F(CanvasLuaTest, APegPuzzleOpensOverItsHostRoomAndAnUnknownOneOnlyPausesTheRoom)
{
    LanternfieldCanvas::sceneHooks.openPegs = &openPegs;
    g_pegs = OpenedPegs();
    enter(3);
    run("canvas:enterPegsCU(4)");
    EXPECT_EQ(0, g_pegs.calls);
    EXPECT_EQ(Room::STATE_SUSPENDED, room(3)->getState()) << "the room keeps its state under the close-up";
    run("canvas:enterPegsCU(2)");
    ASSERT_EQ(1, g_pegs.calls);
    EXPECT_EQ(2, g_pegs.puzzle);
    EXPECT_EQ(585, g_pegs.x);
    EXPECT_EQ(165, g_pegs.y);
    EXPECT_EQ(room(41), g_pegs.host);
}

} // namespace
} // namespace gametest
