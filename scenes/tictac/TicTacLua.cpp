// TicTacLua.cpp: the native methods of hv.TicTac.
#include "scenes/tictac/TicTac.h"

#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

// setState(name): "start" starts afresh, "startround" lays out a new game
// at once, "endround" fades the pieces and lays it out after that; any
// other name does nothing. Returns its last argument.
int luaSetState(lua_State* L)
{
    auto* room = SceneLua::self<TicTac>(L, "TicTac", 2);
    const lang::String name = SceneLua::lowerWord(L, 2);
    if (name.equals("start"))
        room->setState(TicTac::STATE_START);
    else if (name.equals("startround"))
        room->setState(TicTac::STATE_NEW_GAME);
    else if (name.equals("endround"))
        room->setState(TicTac::STATE_END_GAME);
    return SceneLua::returnLast(L);
}

const luaL_Reg kMethods[] = {
    {"setState", &sprite::SpriteBaseLua::guarded<luaSetState>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* TicTac::luaMethods()
{
    return kMethods;
}
