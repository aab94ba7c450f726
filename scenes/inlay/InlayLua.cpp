// InlayLua.cpp: the native method of hv.Inlay.
#include "scenes/inlay/Inlay.h"

#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

// setPlaying(on): the pieces take clicks while on. Returns its argument.
int luaSetPlaying(lua_State* L)
{
    auto* room = SceneLua::self<Inlay>(L, "Inlay", 2);
    room->setPlaying(lua_toboolean(L, 2) != 0);
    return SceneLua::returnLast(L);
}

const luaL_Reg kMethods[] = {
    {"setPlaying", &sprite::SpriteBaseLua::guarded<luaSetPlaying>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* Inlay::luaMethods()
{
    return kMethods;
}
