// Waterfall.cpp: the waterfall mini-game's script face.
#include "scenes/rooms/Waterfall.h"

#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

HV_DEFINE_METACLASS(Waterfall);

namespace {

// showGameInstructions(): the instructions of game 17 open now.
int luaShowGameInstructions(lua_State* L)
{
    auto* room = SceneLua::self<Waterfall>(L, "Waterfall", 1);
    SceneInstructions::open(room, Waterfall::INSTRUCTIONS_GAME);
    return SceneLua::returnLast(L);
}

// hideGameInstructions(): they close, and no game's instructions are at hand.
int luaHideGameInstructions(lua_State* L)
{
    auto* room = SceneLua::self<Waterfall>(L, "Waterfall", 1);
    SceneInstructions::close(room, Waterfall::INSTRUCTIONS_GAME);
    return SceneLua::returnLast(L);
}

const luaL_Reg kWaterfallMethods[] = {
    {"showGameInstructions", &sprite::SpriteBaseLua::guarded<luaShowGameInstructions>},
    {"hideGameInstructions", &sprite::SpriteBaseLua::guarded<luaHideGameInstructions>},
    {nullptr, nullptr},
};

} // namespace

Waterfall::Waterfall() : MiniGameRoom(INSTRUCTIONS_GAME)
{
    SceneLua::bindRoomClass(this, "Waterfall", kWaterfallMethods);
}

const luaL_Reg* Waterfall::luaMethods()
{
    return kWaterfallMethods;
}
