// ConcentrationLua.cpp: the native methods of hv.Concentration.
#include "scenes/concentration/Concentration.h"

#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

// setState(word): "start" starts afresh, "startround" lays out a new game
// at once, "endround" a moment later; any other word does nothing.
int luaSetState(lua_State* L)
{
    auto* room = SceneLua::self<Concentration>(L, "Concentration", 2);
    const lang::String word = SceneLua::lowerWord(L, 2);
    if (word.equals("start"))
        room->setState(Concentration::STATE_START);
    else if (word.equals("startround"))
        room->setState(Concentration::STATE_NEW_GAME);
    else if (word.equals("endround"))
        room->setState(Concentration::STATE_END_ROUND);
    return 0;
}

const luaL_Reg kMethods[] = {
    {"setState", &sprite::SpriteBaseLua::guarded<luaSetState>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* Concentration::luaMethods()
{
    return kMethods;
}
