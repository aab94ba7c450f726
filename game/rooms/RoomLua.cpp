// RoomLua.cpp: the native methods of hv.Room that room scripts call on self.
#include "game/rooms/Room.h"

#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

const char kTooMany[] = "too many arguments";

// The room of argument 1, then exactly `count` values on the stack.
Room* self(lua_State* L, int count)
{
    auto* room = static_cast<Room*>(sprite::SpriteBaseLua::check(L, 1, "Room"));
    sprite::SpriteBaseLua::checkCount(L, count, count + 1, kTooMany);
    return room;
}

// The caller receives the last value it passed.
int returnLast(lua_State* L)
{
    lua_pushvalue(L, lua_gettop(L));
    return 1;
}

// addCharacter(name, afterName, x, y, visible, enabled, idle)
int luaAddCharacter(lua_State* L)
{
    Room* room = self(L, 8);
    const char* name = luaL_checkstring(L, 2);
    const char* after = luaL_checkstring(L, 3);
    const int x = int(luaL_checkinteger(L, 4));
    const int y = int(luaL_checkinteger(L, 5));
    room->addCharacter(lang::String(name), lang::String(after), x, y, lua_toboolean(L, 6) != 0,
                       lua_toboolean(L, 7) != 0, lua_toboolean(L, 8) != 0);
    return returnLast(L);
}

// hasCharacter(name)
int luaHasCharacter(lua_State* L)
{
    Room* room = self(L, 2);
    const char* name = luaL_checkstring(L, 2);
    lua_pushboolean(L, room->hasCharacter(lang::String(name)));
    return 1;
}

// removeCharacter(name)
int luaRemoveCharacter(lua_State* L)
{
    Room* room = self(L, 2);
    const char* name = luaL_checkstring(L, 2);
    room->removeCharacter(lang::String(name));
    return returnLast(L);
}

const luaL_Reg kMethods[] = {
    {"addCharacter", &sprite::SpriteBaseLua::guarded<luaAddCharacter>},
    {"hasCharacter", &sprite::SpriteBaseLua::guarded<luaHasCharacter>},
    {"removeCharacter", &sprite::SpriteBaseLua::guarded<luaRemoveCharacter>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* Room::luaMethods()
{
    return kMethods;
}
