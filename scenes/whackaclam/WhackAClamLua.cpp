// WhackAClamLua.cpp: the native method of hv.WhackAClam.
#include "scenes/whackaclam/WhackAClam.h"

#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

// activateGame(flag): the clams start moving (true) or hold. Returns its
// argument.
int luaActivateGame(lua_State* L)
{
    auto* room = SceneLua::self<WhackAClam>(L, "WhackAClam", 2);
    room->activateGame(lua_toboolean(L, 2) != 0);
    return SceneLua::returnLast(L);
}

const luaL_Reg kMethods[] = {
    {"activateGame", &sprite::SpriteBaseLua::guarded<luaActivateGame>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* WhackAClam::luaMethods()
{
    return kMethods;
}
