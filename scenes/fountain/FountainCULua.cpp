// FountainCULua.cpp: the native methods of hv.FountainCU.
#include "scenes/fountain/FountainCU.h"

#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

FountainCU* self(lua_State* L, int count)
{
    return SceneLua::self<FountainCU>(L, "FountainCU", count);
}

// Methods without arguments that return their object.
template <void (FountainCU::*Method)()>
int plain(lua_State* L)
{
    (self(L, 1)->*Method)();
    return SceneLua::returnLast(L);
}

// Methods of one flag (Lua truth) that return the flag.
template <void (FountainCU::*Method)(bool)>
int withFlag(lua_State* L)
{
    FountainCU* room = self(L, 2);
    (room->*Method)(lua_toboolean(L, 2) != 0);
    return SceneLua::returnLast(L);
}

// Methods that answer whether the key was held.
template <bool (FountainCU::*Method)()>
int answering(lua_State* L)
{
    FountainCU* room = self(L, 1);
    lua_pushboolean(L, (room->*Method)() ? 1 : 0);
    return 1;
}

const luaL_Reg kMethods[] = {
    {"drainWaterFromFountain", &sprite::SpriteBaseLua::guarded<plain<&FountainCU::drainWaterFromFountain>>},
    {"enterPipesCU", &sprite::SpriteBaseLua::guarded<plain<&FountainCU::enterPipesCU>>},
    {"openValveDoor", &sprite::SpriteBaseLua::guarded<plain<&FountainCU::openValveDoor>>},
    {"pickupKey", &sprite::SpriteBaseLua::guarded<plain<&FountainCU::pickupKey>>},
    {"putKeyInFountain", &sprite::SpriteBaseLua::guarded<answering<&FountainCU::putKeyInFountain>>},
    {"turnOffBrokenWater", &sprite::SpriteBaseLua::guarded<withFlag<&FountainCU::turnOffBrokenWater>>},
    {"turnOnBrokenWater", &sprite::SpriteBaseLua::guarded<withFlag<&FountainCU::turnOnBrokenWater>>},
    {"turnOnFixedWater", &sprite::SpriteBaseLua::guarded<plain<&FountainCU::turnOnFixedWater>>},
    {"useKeyOnPipeDoor", &sprite::SpriteBaseLua::guarded<answering<&FountainCU::useKeyOnPipeDoor>>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* FountainCU::luaMethods()
{
    return kMethods;
}
