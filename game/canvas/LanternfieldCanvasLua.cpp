// LanternfieldCanvasLua.cpp: the native methods of hv.LanternfieldCanvas,
// the Lua class of the global `canvas`: the chapter and room-change calls
// and the item on the cursor.
#include "game/canvas/LanternfieldCanvas.h"

#include "game/rooms/Room.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/script/ScriptHost.h"

#include <lua.hpp>

namespace {

const char kTooMany[] = "too many arguments";

// The canvas of argument 1, then exactly `count` arguments; argument errors
// leave by a long jump, so both checks run before anything else.
LanternfieldCanvas* self(lua_State* L, int count)
{
    auto* canvas =
        static_cast<LanternfieldCanvas*>(ScriptHost::checkObject(L, 1, "LanternfieldCanvas", "Sprite"));
    sprite::SpriteBaseLua::checkCount(L, count, count + 1, kTooMany);
    return canvas;
}

// The method's own result: its last argument.
int returnLast(lua_State* L)
{
    lua_pushvalue(L, lua_gettop(L));
    return 1;
}

// startChapter(): starts or continues the progress record's chapter.
int luaStartChapter(lua_State* L)
{
    self(L, 1)->startChapter();
    return returnLast(L);
}

// exitToMenu(): leaves the room and returns to the main menu.
int luaExitToMenu(lua_State* L)
{
    self(L, 1)->exitToMenu();
    return returnLast(L);
}

// setEndGameVignette(): the cut scene shows the end of the story next.
int luaSetEndGameVignette(lua_State* L)
{
    self(L, 1)->setEndGameVignette();
    return returnLast(L);
}

// setPuzzleActive(flag): a puzzle starts (true) or ends.
int luaSetPuzzleActive(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 2);
    canvas->setPuzzleActive(lua_toboolean(L, 2) != 0);
    return returnLast(L);
}

// dropSpecialCursor(): the item or tool on the pointer is let go (the
// object is checked, the count is not).
int luaDropSpecialCursor(lua_State* L)
{
    auto* canvas =
        static_cast<LanternfieldCanvas*>(ScriptHost::checkObject(L, 1, "LanternfieldCanvas", "Sprite"));
    canvas->dropSpecialCursor();
    return returnLast(L);
}

// dropInvalidCursorItem(): the item on the pointer does not fit here.
int luaDropInvalidCursorItem(lua_State* L)
{
    self(L, 1)->dropInvalidCursorItem();
    return returnLast(L);
}

// getItemOnCursor(): the name of the item taken from the bar, "" for none.
int luaGetItemOnCursor(lua_State* L)
{
    sprite::SpriteBase* item = self(L, 1)->getHeldItemSprite();
    lua_pushstring(L, item ? item->getName().c_str() : "");
    return 1;
}

// enterPegsCU(n): the current room pauses and peg puzzle n (1 to 3) grows
// open over its outer village room; any other n opens nothing.
int luaEnterPegsCU(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 2);
    canvas->enterPegsCU(int(luaL_checkinteger(L, 2)));
    return returnLast(L);
}

// exitPegsCU(): the peg close-up shrinks closed.
int luaExitPegsCU(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 1);
    sprite::DialogSprite* pegs = canvas->getCloseUp(1);
    if (pegs && LanternfieldCanvas::sceneHooks.closePegs)
        LanternfieldCanvas::sceneHooks.closePegs(pegs);
    return returnLast(L);
}

const luaL_Reg kMethods[] = {
    {"dropInvalidCursorItem", &sprite::SpriteBaseLua::guarded<luaDropInvalidCursorItem>},
    {"dropSpecialCursor", &sprite::SpriteBaseLua::guarded<luaDropSpecialCursor>},
    {"enterPegsCU", &sprite::SpriteBaseLua::guarded<luaEnterPegsCU>},
    {"exitPegsCU", &sprite::SpriteBaseLua::guarded<luaExitPegsCU>},
    {"exitToMenu", &sprite::SpriteBaseLua::guarded<luaExitToMenu>},
    {"getItemOnCursor", &sprite::SpriteBaseLua::guarded<luaGetItemOnCursor>},
    {"setEndGameVignette", &sprite::SpriteBaseLua::guarded<luaSetEndGameVignette>},
    {"setPuzzleActive", &sprite::SpriteBaseLua::guarded<luaSetPuzzleActive>},
    {"startChapter", &sprite::SpriteBaseLua::guarded<luaStartChapter>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* LanternfieldCanvas::luaMethods()
{
    return kMethods;
}
