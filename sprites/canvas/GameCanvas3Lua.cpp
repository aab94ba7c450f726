// GameCanvas3Lua.cpp: the native methods of hv.GameCanvas3, the Lua class
// "Canvas" whose one object is the global `canvas`.
#include "sprites/canvas/GameCanvas3.h"

#include "core/lang/Hold.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/transitions/TransitionBase.h"
#include "sprites/transitions/TransitionFactory.h"

#include <lua.hpp>

#include <cstdint>
#include <cstdio>

namespace sprite {

namespace {

const char kTooMany[] = "too many arguments";
const char kWrongNumber[] = "wrong number of arguments";

// Argument errors leave by a long jump: every check runs before any C++
// object with a destructor exists.
GameCanvas3* self(lua_State* L)
{
    return static_cast<GameCanvas3*>(ScriptHost::checkObject(L, 1, "GameCanvas3", "Canvas"));
}

// The argument's sprite: a sprite table ("not a Sprite object" otherwise).
SpriteBase* spriteArgument(lua_State* L, int index)
{
    return SpriteBaseLua::check(L, index, "SpriteBase");
}

int returnArgument(lua_State* L, int index)
{
    if (index > lua_gettop(L))
        lua_pushnil(L);
    else
        lua_pushvalue(L, index);
    return 1;
}

int returnLast(lua_State* L)
{
    return returnArgument(L, lua_gettop(L));
}

int luaDescribe(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    char text[128];
    std::snprintf(text, sizeof text, "%s: 0x%llx", canvas->getClassName(),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(static_cast<lang::Object*>(canvas))));
    lua_pushstring(L, text);
    return 1;
}

// add(name, sprite): the sprite goes on top of the root list under the name.
int luaAdd(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    SpriteBase* sprite = spriteArgument(L, 3);
    const char* name = lua_tostring(L, 2);
    canvas->addSprite(name ? name : "", sprite, -1);
    return returnLast(L);
}

// bendSound(index, factor, steps): the factor keeps its fraction.
int luaBendSound(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    SpriteBaseLua::checkCount(L, 4, 5, kTooMany);
    canvas->bendSound(SpriteBaseLua::toInt(L, 2), float(lua_tonumber(L, 3)), SpriteBaseLua::toInt(L, 4));
    return returnLast(L);
}

// bringToFront(sprite): re-added on top under its own name.
int luaBringToFront(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    SpriteBase* sprite = spriteArgument(L, 2);
    lang::String name(sprite->getName());
    canvas->addSprite(name.c_str(), sprite, -1);
    return returnLast(L);
}

int luaCodeBase(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    const lang::String& base = canvas->getCodeBase();
    lua_pushlstring(L, base.c_str(), size_t(base.length()));
    return 1;
}

// doTransition(table): a screen transition from the table's options; its
// "destination" names where the game goes when it covers the screen.
int luaDoTransition(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    if (!lua_istable(L, 2))
        return returnArgument(L, 2);
    // A static rectangle: an error in the table jumps past destructors.
    static const util::RectangleNM screen(0, 0, GameCanvas3::SCREEN_WIDTH, GameCanvas3::SCREEN_HEIGHT);
    lua_pushvalue(L, 2);
    TransitionBase* transition = TransitionFactory::createFromLuaTable(
        L, screen, false, GameCanvas3::SCREEN_WIDTH / 2, GameCanvas3::SCREEN_HEIGHT / 2);
    lua_pop(L, 1);
    lua_getfield(L, 2, "destination");
    const char* destination = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : "";
    canvas->setTransition(transition);
    canvas->setDestination(lang::String(destination));
    lua_pop(L, 1);
    if (transition)
        transition->release();
    canvas->setDirty(true);
    return returnArgument(L, 2);
}

// fadeSound(index, volume, steps [, pauseAtEnd]).
int luaFadeSound(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    SpriteBaseLua::checkAtMost(L, 5, 6, kTooMany);
    const bool pauseAtEnd = lua_gettop(L) >= 5 && SpriteBaseLua::toInt(L, 5) != 0;
    canvas->fadeSound(SpriteBaseLua::toInt(L, 2), SpriteBaseLua::toInt(L, 3), SpriteBaseLua::toInt(L, 4),
                      pauseAtEnd);
    return returnLast(L);
}

// handleAction(sender or nil, command).
int luaHandleAction(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    SpriteBaseLua::checkAtMost(L, 3, 4, kTooMany);
    SpriteBase* sender = lua_isnoneornil(L, 2) ? nullptr : spriteArgument(L, 2);
    const char* text = lua_tostring(L, 3);
    // The canvas stays while the command runs, whatever it does.
    lang::Hold hold(canvas);
    lang::String command(text ? text : "");
    canvas->handleAction(sender, &command);
    return returnArgument(L, 3);
}

int luaLoopSound(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    SpriteBaseLua::checkAtMost(L, 2, 3, kTooMany);
    canvas->loopSound(SpriteBaseLua::toInt(L, 2));
    return returnArgument(L, 2);
}

int luaPlaySound(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    SpriteBaseLua::checkAtMost(L, 2, 3, kTooMany);
    canvas->playSound(SpriteBaseLua::toInt(L, 2));
    return returnArgument(L, 2);
}

// setHasLuaAnimations(flag): the canvas's "nextFrame" runs every frame while set.
int luaSetHasLuaAnimations(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    SpriteBaseLua::checkCount(L, 2, 3, kWrongNumber);
    canvas->setHasLuaAnimations(lua_toboolean(L, 2) != 0);
    return returnArgument(L, 2);
}

int luaSize(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    util::Dimension* size = canvas->size();
    lua_createtable(L, 0, 2);
    lua_pushinteger(L, size->width);
    lua_setfield(L, -2, "width");
    lua_pushinteger(L, size->height);
    lua_setfield(L, -2, "height");
    return 1;
}

// sprite(name): the named sprite's table, or nil.
int luaSprite(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    const char* name = lua_gettop(L) >= 2 ? lua_tostring(L, lua_gettop(L)) : nullptr;
    SpriteBaseLua::pushTable(L, name ? canvas->getSprite(name) : nullptr);
    return 1;
}

int luaStopSound(lua_State* L)
{
    GameCanvas3* canvas = self(L);
    SpriteBaseLua::checkAtMost(L, 2, 3, kTooMany);
    canvas->stopSound(SpriteBaseLua::toInt(L, 2));
    return returnArgument(L, 2);
}

const luaL_Reg kMethods[] = {
    {"__tostring", &SpriteBaseLua::guarded<luaDescribe>},
    {"add", &SpriteBaseLua::guarded<luaAdd>},
    {"bendSound", &SpriteBaseLua::guarded<luaBendSound>},
    {"bringToFront", &SpriteBaseLua::guarded<luaBringToFront>},
    {"codeBase", &SpriteBaseLua::guarded<luaCodeBase>},
    {"doTransition", &SpriteBaseLua::guarded<luaDoTransition>},
    {"fadeSound", &SpriteBaseLua::guarded<luaFadeSound>},
    {"handleAction", &SpriteBaseLua::guarded<luaHandleAction>},
    {"loopSound", &SpriteBaseLua::guarded<luaLoopSound>},
    {"playSound", &SpriteBaseLua::guarded<luaPlaySound>},
    {"setHasLuaAnimations", &SpriteBaseLua::guarded<luaSetHasLuaAnimations>},
    {"size", &SpriteBaseLua::guarded<luaSize>},
    {"sprite", &SpriteBaseLua::guarded<luaSprite>},
    {"stopSound", &SpriteBaseLua::guarded<luaStopSound>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* GameCanvas3::luaMethods()
{
    return kMethods;
}

} // namespace sprite
