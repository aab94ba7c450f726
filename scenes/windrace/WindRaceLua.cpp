// WindRaceLua.cpp: the native methods of hv.WindRace.
#include "scenes/windrace/WindRace.h"

#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

// setState(name): "reset" (any case) starts the race again; any other name
// does nothing.
int luaSetState(lua_State* L)
{
    auto* room = SceneLua::self<WindRace>(L, "WindRace", 2);
    if (SceneLua::lowerWord(L, 2).equals("reset"))
        room->setState(WindRace::STATE_RESTART);
    return SceneLua::returnLast(L);
}

const luaL_Reg kMethods[] = {
    {"setState", &sprite::SpriteBaseLua::guarded<luaSetState>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* WindRace::luaMethods()
{
    return kMethods;
}
