// BookshelfLua.cpp: the native methods of hv.Bookshelf.
#include "scenes/bookshelf/Bookshelf.h"

#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

Bookshelf* self(lua_State* L)
{
    return SceneLua::self<Bookshelf>(L, "Bookshelf", 1);
}

int luaEnterClockCU(lua_State* L)
{
    self(L)->enterClockCU();
    return 0;
}

int luaExitClockCU(lua_State* L)
{
    self(L)->exitClockCU();
    return 0;
}

int luaIsKeyOnCursor(lua_State* L)
{
    lua_pushboolean(L, self(L)->isKeyOnCursor());
    return 1;
}

int luaPickupKey(lua_State* L)
{
    self(L)->pickupKey();
    return 0;
}

int luaPutKeyOnClock(lua_State* L)
{
    self(L)->putKeyOnClock();
    return 0;
}

int luaStartKeyTwinkle(lua_State* L)
{
    self(L)->startKeyTwinkle();
    return 0;
}

int luaUseKeyOnDrawer(lua_State* L)
{
    self(L)->useKeyOnDrawer();
    return 0;
}

const luaL_Reg kMethods[] = {
    {"enterClockCU", &sprite::SpriteBaseLua::guarded<luaEnterClockCU>},
    {"exitClockCU", &sprite::SpriteBaseLua::guarded<luaExitClockCU>},
    {"isKeyOnCursor", &sprite::SpriteBaseLua::guarded<luaIsKeyOnCursor>},
    {"pickupKey", &sprite::SpriteBaseLua::guarded<luaPickupKey>},
    {"putKeyOnClock", &sprite::SpriteBaseLua::guarded<luaPutKeyOnClock>},
    {"startKeyTwinkle", &sprite::SpriteBaseLua::guarded<luaStartKeyTwinkle>},
    {"useKeyOnDrawer", &sprite::SpriteBaseLua::guarded<luaUseKeyOnDrawer>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* Bookshelf::luaMethods()
{
    return kMethods;
}
