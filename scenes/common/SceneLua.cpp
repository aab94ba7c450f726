// SceneLua.cpp: the Lua argument checks and helpers of the scene classes.
#include "scenes/common/SceneLua.h"

#include "game/rooms/Room.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

#include <string>

const char SceneLua::kTooManyArguments[] = "too many arguments";

sprite::SpriteBase* SceneLua::checkSelf(lua_State* L, const char* className, int count)
{
    sprite::SpriteBase* object = sprite::SpriteBaseLua::check(L, 1, className);
    sprite::SpriteBaseLua::checkCount(L, count, count + 1, kTooManyArguments);
    return object;
}

lang::String SceneLua::lowerWord(lua_State* L, int index)
{
    const char* text = luaL_checkstring(L, index);
    return lang::String(text).toLowerCase();
}

int SceneLua::returnLast(lua_State* L)
{
    lua_pushvalue(L, lua_gettop(L));
    return 1;
}

void SceneLua::bindRoomClass(Room* room, const char* className, const luaL_Reg* methods)
{
    const std::string metatable = std::string("hv.") + className;
    const std::string script = std::string(className) + ".lua";
    sprite::SpriteBaseLua::bindClass(room, metatable.c_str(), Room::kMetatable, script.c_str(), className, methods);
}
