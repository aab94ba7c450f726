// RoomScript.cpp: the room's calls into its Lua table rooms[<room name>].
// Each call runs under the script host's traceback handler, so a missing
// table or function, an error in the script, or a call that runs too long,
// shows "Script Error" and the game goes on; the Lua stack is left exactly as
// it was. A notice (a word to the player about the play, which the game goes
// on without) is skipped when the script does not define it.
#include "game/rooms/Room.h"

#include "sprites/base/SpriteBaseLua.h"
#include "sprites/script/ScriptHost.h"

#include <lua.hpp>

#include <string>

namespace {

// rooms["<table>"].<function>, as a stopped call's message names it.
std::string roomCallName(const char* table, const char* function)
{
    return std::string("rooms[\"") + table + "\"]." + function;
}

// Pushes rooms[table][function] and the room's table; false (with the stack
// back at `top` after an error box) when `rooms` or its entry is no table,
// and false without a box for a notice the table leaves undefined.
bool pushRoomFunction(lua_State* L, int top, const char* table, const char* function, int selfRef,
                      bool notice = false)
{
    lua_getglobal(L, "rooms");
    if (lua_istable(L, -1)) {
        lua_getfield(L, -1, table);
        if (lua_istable(L, -1)) {
            lua_getfield(L, -1, function);
            if (notice && lua_isnil(L, -1)) {
                lua_settop(L, top);
                return false;
            }
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

void Room::callRoomFunction(const char* table, const char* function, const int* args, int count, bool notice)
{
    ScriptHost* host = ScriptHost::instance;
    lua_State* L = host ? host->getState() : nullptr;
    if (!L || getLuaRef() == NO_LUA_REF)
        return;
    const int top = lua_gettop(L);
    if (!pushRoomFunction(L, top, table, function, getLuaRef(), notice))
        return;
    for (int i = 0; i < count; ++i)
        lua_pushinteger(L, args[i]);
    host->pcallWithTraceback(count + 1, 0, roomCallName(table, function).c_str());
    lua_settop(L, top);
}

void Room::setScriptTimeLimit(int ms)
{
    ScriptHost::setTimeLimit(ms > 0 ? ms : DEFAULT_SCRIPT_TIME_LIMIT_MS);
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

void Room::callNotice(const char* table, const char* function)
{
    const int args[] = {1};
    callRoomFunction(table, function, args, 1, true);
}

void Room::callNoticeInt(const char* table, const char* function, int n)
{
    const int args[] = {n};
    callRoomFunction(table, function, args, 1, true);
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
    host->pcallWithTraceback(2, 0, roomCallName("ArtRestoration", "animateThumbnail").c_str());
    lua_settop(L, top);
}
