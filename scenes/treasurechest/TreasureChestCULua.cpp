// TreasureChestCULua.cpp: the native methods of hv.TreasureChestCU, through
// which the chest's script leaves the chest, reaches the board's key block
// and asks for the next board.
#include "scenes/treasurechest/TreasureChestCU.h"

#include "scenes/common/SceneLua.h"
#include "scenes/slideblock/SlideBlockPuzzle.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/buttons/ButtonSprite.h"

#include <lua.hpp>

namespace {

const char kClass[] = "TreasureChestCU";

TreasureChestCU* self(lua_State* L, int count)
{
    return SceneLua::self<TreasureChestCU>(L, kClass, count);
}

// The board of the chest (argument 1 of a call taking `count` arguments),
// or null before the chest was first entered.
SlideBlockPuzzle* board(lua_State* L, int count)
{
    return self(L, count)->getBoard();
}

int integer(lua_State* L, int index)
{
    return int(luaL_checkinteger(L, index));
}

// exitRoomTrans(name): leaves for the room of that name.
int luaExitRoomTrans(lua_State* L)
{
    TreasureChestCU* chest = self(L, 2);
    chest->goToRoomNamed(lang::String(luaL_checkstring(L, 2)));
    return 0;
}

// exitRoomTransChap6(n): zooms into the golden room after board n.
int luaExitRoomTransChap6(lua_State* L)
{
    TreasureChestCU* chest = self(L, 2);
    chest->zoomToGoldenRoom(integer(L, 2));
    return 0;
}

// exitRoomTransChap6After(n, frames): the same once the frames have passed.
int luaExitRoomTransChap6After(lua_State* L)
{
    TreasureChestCU* chest = self(L, 3);
    chest->zoomToGoldenRoomAfter(integer(L, 2), integer(L, 3));
    return 0;
}

// getKeyBlock(): the key block's table, nil without a board or key.
int luaGetKeyBlock(lua_State* L)
{
    SlideBlockPuzzle* b = board(L, 1);
    sprite::SpriteBaseLua::pushTable(L, b ? b->getKeyBlock() : nullptr);
    return 1;
}

// getKeyBlockColumnDeltaX(): how far the key block has to go to leave the
// board; -1 without a board.
int luaGetKeyBlockColumnDeltaX(lua_State* L)
{
    SlideBlockPuzzle* b = board(L, 1);
    lua_pushinteger(L, b ? b->getKeyBlockColumnDeltaX() : -1);
    return 1;
}

// setupPuzzle(n): board n at once.
int luaSetupPuzzle(lua_State* L)
{
    SlideBlockPuzzle* b = board(L, 2);
    const int n = integer(L, 2);
    if (b)
        b->buildBoard(n);
    return 0;
}

// showGodRays(): the chapter's god rays over the key.
int luaShowGodRays(lua_State* L)
{
    if (SlideBlockPuzzle* b = board(L, 1))
        b->showGodRays();
    return 0;
}

// showLockUnlock(n): camera flash n.
int luaShowLockUnlock(lua_State* L)
{
    TreasureChestCU* chest = self(L, 2);
    chest->showLockUnlock(integer(L, 2));
    return 0;
}

// startDoorAnimation(n): the doors close over board n and open again.
int luaStartDoorAnimation(lua_State* L)
{
    SlideBlockPuzzle* b = board(L, 2);
    const int n = integer(L, 2);
    if (b)
        b->startDoorAnimation(n);
    return 0;
}

// enableCloseButton(flag): the board's close button on or off.
int luaEnableCloseButton(lua_State* L)
{
    if (SlideBlockPuzzle* b = board(L, 2))
        b->enableCloseButton(lua_toboolean(L, 2) != 0);
    return 0;
}

const luaL_Reg kMethods[] = {
    {"exitRoomTrans", &sprite::SpriteBaseLua::guarded<luaExitRoomTrans>},
    {"exitRoomTransChap6", &sprite::SpriteBaseLua::guarded<luaExitRoomTransChap6>},
    {"exitRoomTransChap6After", &sprite::SpriteBaseLua::guarded<luaExitRoomTransChap6After>},
    {"getKeyBlock", &sprite::SpriteBaseLua::guarded<luaGetKeyBlock>},
    {"getKeyBlockColumnDeltaX", &sprite::SpriteBaseLua::guarded<luaGetKeyBlockColumnDeltaX>},
    {"setupPuzzle", &sprite::SpriteBaseLua::guarded<luaSetupPuzzle>},
    {"showGodRays", &sprite::SpriteBaseLua::guarded<luaShowGodRays>},
    {"showLockUnlock", &sprite::SpriteBaseLua::guarded<luaShowLockUnlock>},
    {"startDoorAnimation", &sprite::SpriteBaseLua::guarded<luaStartDoorAnimation>},
    {"enableCloseButton", &sprite::SpriteBaseLua::guarded<luaEnableCloseButton>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* TreasureChestCU::luaMethods()
{
    return kMethods;
}
