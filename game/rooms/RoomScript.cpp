// RoomScript.cpp: the room's calls into its Lua table rooms[<room name>].
// Each call runs under the script host's traceback handler, so a missing
// table or function, an error in the script, or a call that runs too long,
// shows "Script Error" and the game goes on; the Lua stack is left exactly as
// it was.
#include "game/rooms/Room.h"

#include "sprites/base/SpriteBaseLua.h"
#include "sprites/script/ScriptHost.h"

#include <lua.hpp>

#include <chrono>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// The Lua instructions between two looks at the clock.
constexpr int kInstructionsPerCheck = 10000;

int scriptTimeLimitMs = Room::DEFAULT_SCRIPT_TIME_LIMIT_MS;
// Room calls under way (a script may make the game call another room
// function); the outermost one owns the clock.
int timedCallDepth = 0;
Clock::time_point timedCallDeadline;
std::string timedCallName;

// The count hook: past the deadline every instruction raises an error, so
// that a script that catches one with pcall cannot go on looping.
void stopOverlongCall(lua_State* L, lua_Debug*)
{
    if (Clock::now() < timedCallDeadline)
        return;
    lua_sethook(L, stopOverlongCall, LUA_MASKCOUNT, 1);
    luaL_error(L, "%s ran for more than %d ms and was stopped", timedCallName.c_str(), scriptTimeLimitMs);
}

void beginTimedCall(lua_State* L, const char* table, const char* function)
{
    if (timedCallDepth++ > 0)
        return;
    timedCallName = std::string("rooms[\"") + table + "\"]." + function;
    timedCallDeadline = Clock::now() + std::chrono::milliseconds(scriptTimeLimitMs);
    lua_sethook(L, stopOverlongCall, LUA_MASKCOUNT, kInstructionsPerCheck);
}

void endTimedCall(lua_State* L)
{
    if (--timedCallDepth == 0)
        lua_sethook(L, nullptr, 0, 0);
}

// Pushes rooms[table][function] and the room's table; false (with the stack
// back at `top` after an error box) when `rooms` or its entry is no table.
bool pushRoomFunction(lua_State* L, int top, const char* table, const char* function, int selfRef)
{
    lua_getglobal(L, "rooms");
    if (lua_istable(L, -1)) {
        lua_getfield(L, -1, table);
        if (lua_istable(L, -1)) {
            lua_getfield(L, -1, function);
            ScriptHost::instance->pushObject(selfRef);
            return true;
        }
    }
    std::string message = std::string("rooms[\"") + table + "\"] is not a table (calling " + function + ")";
    lua_settop(L, top);
    lua_pushstring(L, message.c_str());
    ScriptHost::showScriptError("Script Error", L);
    lua_settop(L, top);
    return false;
}

} // namespace

void Room::callRoomFunction(const char* table, const char* function, const int* args, int count)
{
    ScriptHost* host = ScriptHost::instance;
    lua_State* L = host ? host->getState() : nullptr;
    if (!L || getLuaRef() == NO_LUA_REF)
        return;
    const int top = lua_gettop(L);
    if (!pushRoomFunction(L, top, table, function, getLuaRef()))
        return;
    for (int i = 0; i < count; ++i)
        lua_pushinteger(L, args[i]);
    beginTimedCall(L, table, function);
    host->pcallWithTraceback(count + 1, 0);
    endTimedCall(L);
    lua_settop(L, top);
}

void Room::setScriptTimeLimit(int ms)
{
    scriptTimeLimitMs = ms > 0 ? ms : DEFAULT_SCRIPT_TIME_LIMIT_MS;
}

void Room::callScript(const char* table, const char* function)
{
    const int args[] = {1};
    callRoomFunction(table, function, args, 1);
}

void Room::callScriptInt(const char* table, const char* function, int n)
{
    const int args[] = {n};
    callRoomFunction(table, function, args, 1);
}

void Room::callScriptXY(const char* table, const char* function, int x, int y)
{
    const int args[] = {x, y};
    callRoomFunction(table, function, args, 2);
}

void Room::callOuterSanctumShowResults(int a, int b, int c)
{
    const int args[] = {a, b, c};
    callRoomFunction("OuterSanctum", "showResults", args, 3);
}

void Room::callArtRestorationAnimateThumbnail(sprite::SpriteBase* sprite)
{
    ScriptHost* host = ScriptHost::instance;
    lua_State* L = host ? host->getState() : nullptr;
    if (!L || getLuaRef() == NO_LUA_REF)
        return;
    const int top = lua_gettop(L);
    if (!pushRoomFunction(L, top, "ArtRestoration", "animateThumbnail", getLuaRef()))
        return;
    sprite::SpriteBaseLua::pushTable(L, sprite);
    beginTimedCall(L, "ArtRestoration", "animateThumbnail");
    host->pcallWithTraceback(2, 0);
    endTimedCall(L);
    lua_settop(L, top);
}
