// ButtonSpriteLua.cpp: the native methods of hv.ButtonSprite.
#include "sprites/ButtonSprite.h"
#include "sprites/SpriteBaseLua.h"

#include <lua.hpp>

namespace sprite {

namespace {

const char kTooMany[] = "too many arguments";

ButtonSprite* self(lua_State* L)
{
    return static_cast<ButtonSprite*>(SpriteBaseLua::check(L, 1, "ButtonSprite"));
}

int luaEnable(lua_State* L)
{
    ButtonSprite* s = self(L);
    SpriteBaseLua::checkCount(L, 2, 3, kTooMany);
    s->setEnabled(lua_toboolean(L, 2) != 0);
    return 0;
}

int luaIsEnabled(lua_State* L)
{
    ButtonSprite* s = self(L);
    SpriteBaseLua::checkCount(L, 1, 2, kTooMany);
    lua_pushboolean(L, s->isEnabled());
    return 1;
}

int luaHittestAndEnabled(lua_State* L)
{
    ButtonSprite* s = self(L);
    SpriteBaseLua::checkCount(L, 3, 4, kTooMany);
    lua_pushboolean(L, s->hitAndEnabled(SpriteBaseLua::toInt(L, 2), SpriteBaseLua::toInt(L, 3)));
    return 1;
}

const luaL_Reg kMethods[] = {
    {"enable", &SpriteBaseLua::guarded<luaEnable>},
    {"isEnabled", &SpriteBaseLua::guarded<luaIsEnabled>},
    {"hittestAndEnabled", &SpriteBaseLua::guarded<luaHittestAndEnabled>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* ButtonSprite::luaMethods()
{
    return kMethods;
}

} // namespace sprite
