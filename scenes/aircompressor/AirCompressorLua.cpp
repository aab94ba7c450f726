// AirCompressorLua.cpp: the native methods of hv.AirCompressor.
#include "scenes/aircompressor/AirCompressor.h"

#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

AirCompressor* self(lua_State* L, int count)
{
    return SceneLua::self<AirCompressor>(L, "AirCompressor", count);
}

bool boolean(lua_State* L, int index)
{
    return lua_toboolean(L, index) != 0;
}

int integer(lua_State* L, int index)
{
    return int(luaL_checkinteger(L, index));
}

int luaClearWrongWires(lua_State* L)
{
    self(L, 1)->clearWrongWires();
    return 0;
}

int luaDoGearSparkles(lua_State* L)
{
    self(L, 2)->doGearSparkles(boolean(L, 2));
    return 0;
}

int luaDropItem(lua_State* L)
{
    lua_pushinteger(L, self(L, 2)->dropItem(boolean(L, 2)));
    return 1;
}

int luaEnableButtons(lua_State* L)
{
    self(L, 2)->enableButtons(boolean(L, 2));
    return 0;
}

int luaExitRoomTrans(lua_State* L)
{
    self(L, 1)->goToRoom(AirCompressor::DIVE_DOCK_ROOM);
    return 0;
}

int luaFitRightParts(lua_State* L)
{
    self(L, 2)->fitRightParts(boolean(L, 2));
    return 0;
}

int luaGetClickedFuseIndex(lua_State* L)
{
    AirCompressor* room = self(L, 3);
    lua_pushinteger(L, room->getClickedFuseIndex(integer(L, 2), integer(L, 3)));
    return 1;
}

int luaGetGroundFuseClicked(lua_State* L)
{
    AirCompressor* room = self(L, 3);
    const int x = integer(L, 2);
    const int y = integer(L, 3);
    lua_pushstring(L, room->getGroundFuseClicked(x, y).c_str());
    return 1;
}

int luaGetNumCorrectFuses(lua_State* L)
{
    lua_pushinteger(L, self(L, 1)->getNumCorrectFuses());
    return 1;
}

int luaGetWiringStatus(lua_State* L)
{
    lua_pushinteger(L, self(L, 1)->getWiringStatus());
    return 1;
}

int luaHoldingItem(lua_State* L)
{
    lua_pushboolean(L, self(L, 1)->holdingItem());
    return 1;
}

int luaInitFlicker(lua_State* L)
{
    AirCompressor* room = self(L, 3);
    const lang::String effect(luaL_checkstring(L, 2));
    // The scripts name only these three; any other word leaves the light off.
    int kind = AirCompressor::LIGHT_OFF;
    if (effect.equals("flicker"))
        kind = AirCompressor::LIGHT_FLICKER;
    else if (effect.equals("pulse"))
        kind = AirCompressor::LIGHT_PULSE;
    else if (effect.equals("glow"))
        kind = AirCompressor::LIGHT_GLOW;
    room->setLightEffect(kind, boolean(L, 3));
    return 0;
}

int luaInitFuseGame(lua_State* L)
{
    self(L, 1)->initFuseGame();
    return 0;
}

int luaInitWireGame(lua_State* L)
{
    self(L, 1)->initWireGame();
    return 0;
}

int luaIsShowingAnimation(lua_State* L)
{
    lua_pushboolean(L, self(L, 1)->isShowingAnimation());
    return 1;
}

int luaLightFuses(lua_State* L)
{
    self(L, 2)->lightFuses(boolean(L, 2));
    return 0;
}

int luaPickUpItem(lua_State* L)
{
    AirCompressor* room = self(L, 2);
    const lang::String name(luaL_checkstring(L, 2));
    lua_pushinteger(L, room->pickUpItem(name));
    return 1;
}

int luaPlaceFuse(lua_State* L)
{
    AirCompressor* room = self(L, 2);
    lua_pushinteger(L, room->placeFuse(integer(L, 2)));
    return 1;
}

int luaPressButton(lua_State* L)
{
    AirCompressor* room = self(L, 3);
    const lang::String name(luaL_checkstring(L, 2));
    room->pressButton(name, boolean(L, 3));
    return 0;
}

int luaShowFuses(lua_State* L)
{
    self(L, 2)->showFuses(boolean(L, 2));
    return 0;
}

int luaStartSparkRoutine(lua_State* L)
{
    AirCompressor* room = self(L, 2);
    room->startSparkRoutine(integer(L, 2));
    return 0;
}

int luaStartWireGame(lua_State* L)
{
    self(L, 2)->startWireGame(boolean(L, 2));
    return 0;
}

template <lua_CFunction F>
constexpr luaL_Reg method(const char* name)
{
    return {name, &sprite::SpriteBaseLua::guarded<F>};
}

const luaL_Reg kMethods[] = {
    method<luaClearWrongWires>("clearWrongWires"),
    method<luaDoGearSparkles>("doGearSparkles"),
    method<luaDropItem>("dropItem"),
    method<luaEnableButtons>("enableButtons"),
    method<luaExitRoomTrans>("exitRoomTrans"),
    method<luaFitRightParts>("fitRightParts"),
    method<luaGetClickedFuseIndex>("getClickedFuseIndex"),
    method<luaGetGroundFuseClicked>("getGroundFuseClicked"),
    method<luaGetNumCorrectFuses>("getNumCorrectFuses"),
    method<luaGetWiringStatus>("getWiringStatus"),
    method<luaHoldingItem>("holdingItem"),
    method<luaInitFlicker>("initFlicker"),
    method<luaInitFuseGame>("initFuseGame"),
    method<luaInitWireGame>("initWireGame"),
    method<luaIsShowingAnimation>("isShowingAnimation"),
    method<luaLightFuses>("lightFuses"),
    method<luaPickUpItem>("pickUpItem"),
    method<luaPlaceFuse>("placeFuse"),
    method<luaPressButton>("pressButton"),
    method<luaShowFuses>("showFuses"),
    method<luaStartSparkRoutine>("startSparkRoutine"),
    method<luaStartWireGame>("startWireGame"),
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* AirCompressor::luaMethods()
{
    return kMethods;
}
