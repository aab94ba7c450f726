// OuterSanctumLua.cpp: the native methods of hv.OuterSanctum.
#include "scenes/sanctum/OuterSanctum.h"

#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

// setAllowClicks(on): clicks are taken only while on.
int luaSetAllowClicks(lua_State* L)
{
    auto* room = SceneLua::self<OuterSanctum>(L, "OuterSanctum", 2);
    room->setAllowClicks(lua_toboolean(L, 2) != 0);
    return SceneLua::returnLast(L);
}

// setupPuzzle(): a new code; the old rows fade out.
int luaSetupPuzzle(lua_State* L)
{
    SceneLua::self<OuterSanctum>(L, "OuterSanctum", 1)->setupPuzzle(false);
    return SceneLua::returnLast(L);
}

int luaFadeOutIncorrectRows(lua_State* L)
{
    SceneLua::self<OuterSanctum>(L, "OuterSanctum", 1)->fadeOutIncorrectRows();
    return SceneLua::returnLast(L);
}

// code(): the four kinds of the code, place by place (shown once its rows
// have run out).
int luaCode(lua_State* L)
{
    const int* answer = SceneLua::self<OuterSanctum>(L, "OuterSanctum", 1)->getAnswer();
    for (int i = 0; i < OuterSanctum::PLACES; ++i)
        lua_pushinteger(L, answer[i]);
    return OuterSanctum::PLACES;
}

int luaShowInstructions(lua_State* L)
{
    auto* room = SceneLua::self<OuterSanctum>(L, "OuterSanctum", 1);
    SceneInstructions::open(room, OuterSanctum::INSTRUCTIONS_GAME);
    return SceneLua::returnLast(L);
}

const luaL_Reg kOuterSanctumMethods[] = {
    {"code", &sprite::SpriteBaseLua::guarded<luaCode>},
    {"setAllowClicks", &sprite::SpriteBaseLua::guarded<luaSetAllowClicks>},
    {"setupPuzzle", &sprite::SpriteBaseLua::guarded<luaSetupPuzzle>},
    {"fadeOutIncorrectRows", &sprite::SpriteBaseLua::guarded<luaFadeOutIncorrectRows>},
    {"showInstructions", &sprite::SpriteBaseLua::guarded<luaShowInstructions>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* OuterSanctum::luaMethods()
{
    return kOuterSanctumMethods;
}
