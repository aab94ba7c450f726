// NewFontSpriteLua.cpp: the native methods of hv.NewFontSprite. Each takes
// exactly one argument after self and gives that argument back.
#include "sprites/text/NewFontSprite.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace sprite {

namespace {

// The sprite of a method call with exactly one argument after self.
NewFontSprite* self(lua_State* L)
{
    NewFontSprite* s = static_cast<NewFontSprite*>(SpriteBaseLua::check(L, 1, "NewFontSprite"));
    SpriteBaseLua::checkCount(L, 2, 3, "too many arguments");
    return s;
}

int luaSetKerning(lua_State* L)
{
    self(L)->setKerning(SpriteBaseLua::toInt(L, 2));
    return 1;
}

int luaSetLeading(lua_State* L)
{
    self(L)->setLeading(SpriteBaseLua::toInt(L, 2));
    return 1;
}

int luaRotateText(lua_State* L)
{
    self(L)->setRotationRadians(lua_tonumber(L, 2));
    return 1;
}

// A string, or nil (or anything else that is no text) for the empty text.
int luaSetText(lua_State* L)
{
    NewFontSprite* s = self(L);
    int type = lua_type(L, 2);
    if (type != LUA_TSTRING && type != LUA_TNUMBER) {
        s->setText("");
        return 1;
    }
    // A copy is turned into text, so that the argument given back stays as it was.
    lua_pushvalue(L, 2);
    s->setText(lua_tostring(L, -1));
    lua_pop(L, 1);
    return 1;
}

int luaSetWrapToWidth(lua_State* L)
{
    self(L)->wrapToWidth(SpriteBaseLua::toInt(L, 2));
    return 1;
}

const luaL_Reg kMethods[] = {
    {"setKerning", &SpriteBaseLua::guarded<luaSetKerning>},
    {"setLeading", &SpriteBaseLua::guarded<luaSetLeading>},
    {"rotateText", &SpriteBaseLua::guarded<luaRotateText>},
    {"setText", &SpriteBaseLua::guarded<luaSetText>},
    {"setWrapToWidth", &SpriteBaseLua::guarded<luaSetWrapToWidth>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* NewFontSprite::luaMethods()
{
    return kMethods;
}

} // namespace sprite
