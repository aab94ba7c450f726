// BridgeLua.cpp: the native method of hv.Bridge.
#include "scenes/bridge/Bridge.h"

#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

// setState(name): "start", "preview_1", "preview_2", "startround",
// "endround" or "preview_done" in any case enters its state; any other
// name does nothing.
int luaSetState(lua_State* L)
{
    auto* room = SceneLua::self<Bridge>(L, "Bridge", 2);
    const int state = Bridge::stateNamed(lang::String(luaL_checkstring(L, 2)));
    if (state != Bridge::STATE_NONE)
        room->enterState(state);
    return 0;
}

const luaL_Reg kMethods[] = {
    {"setState", &sprite::SpriteBaseLua::guarded<luaSetState>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* Bridge::luaMethods()
{
    return kMethods;
}
