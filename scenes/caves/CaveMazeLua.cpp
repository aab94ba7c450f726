// CaveMazeLua.cpp: the native method of hv.CaveMaze.
#include "scenes/caves/CaveMaze.h"

#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

// getPuzzleIndex() -> the index 0 to 3 of the puzzle on the current
// screen, 1 on any other screen.
int luaGetPuzzleIndex(lua_State* L)
{
    auto* room = SceneLua::self<CaveMaze>(L, "CaveMaze", 1);
    lua_pushinteger(L, room->getPuzzleIndex());
    return 1;
}

const luaL_Reg kMethods[] = {
    {"getPuzzleIndex", &sprite::SpriteBaseLua::guarded<luaGetPuzzleIndex>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* CaveMaze::luaMethods()
{
    return kMethods;
}
