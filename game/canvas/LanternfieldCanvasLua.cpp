// LanternfieldCanvasLua.cpp: the native methods of hv.LanternfieldCanvas,
// the Lua class of the global `canvas`: each checks its arguments and calls
// one operation of the canvas (chapters, menus, close-ups, music, cursors).
#include "game/canvas/LanternfieldCanvas.h"

#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/script/ScriptHost.h"

#include <lua.hpp>

namespace {

const char kTooMany[] = "too many arguments";

// The canvas of argument 1 ("not a Sprite object", "not a
// LanternfieldCanvas"); argument errors leave by a long jump, so the check
// runs before anything else.
LanternfieldCanvas* canvasOf(lua_State* L)
{
    return static_cast<LanternfieldCanvas*>(ScriptHost::checkObject(L, 1, "LanternfieldCanvas", "Sprite"));
}

// The canvas, then exactly `count` values on the stack (the canvas
// included); any other count fails at the position one past the expected.
LanternfieldCanvas* self(lua_State* L, int count)
{
    LanternfieldCanvas* canvas = canvasOf(L);
    sprite::SpriteBaseLua::checkCount(L, count, count + 1, kTooMany);
    return canvas;
}

// A method without a result of its own reports its last argument.
int returnLast(lua_State* L)
{
    lua_pushvalue(L, lua_gettop(L));
    return 1;
}

int checkInt(lua_State* L, int index)
{
    return int(luaL_checkinteger(L, index));
}

lang::String checkString(lua_State* L, int index)
{
    size_t length = 0;
    const char* text = luaL_checklstring(L, index, &length);
    return lang::String(text, 0, int(length));
}

bool toBool(lua_State* L, int index)
{
    return lua_toboolean(L, index) != 0;
}

int pushString(lua_State* L, const lang::String& text)
{
    lua_pushlstring(L, text.c_str(), size_t(text.length()));
    return 1;
}

// The name of a room of the table, "" for an index without one.
lang::String roomName(LanternfieldCanvas* canvas, int index)
{
    Room* room = canvas->getRoom(index);
    return room ? room->getName() : lang::String("");
}

// The current room keeps its state while a close-up opens over it.
void pauseCurrentRoom(LanternfieldCanvas* canvas)
{
    if (Room* room = canvas->getCurrentRoom())
        room->pauseIfVisible();
}

int luaDropSpecialCursor(lua_State* L)
{
    canvasOf(L)->dropSpecialCursor();
    return returnLast(L);
}

int luaEnableQuitButton(lua_State* L)
{
    self(L, 2)->enableQuitButton(toBool(L, 2));
    return returnLast(L);
}

int luaExitToMenu(lua_State* L)
{
    self(L, 1)->exitToMenu();
    return returnLast(L);
}

int luaEnterCircuitBoard(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 1);
    if (sprite::DialogSprite* board = canvas->getCloseUp(LanternfieldCanvas::CLOSE_UP_CIRCUIT_BOARD)) {
        pauseCurrentRoom(canvas);
        if (LanternfieldCanvas::sceneHooks.openCircuitBoard)
            LanternfieldCanvas::sceneHooks.openCircuitBoard(
                board, canvas->getRoom(LanternfieldCanvas::ROOM_DIVE_DOCK_INTERIOR));
    }
    return returnLast(L);
}

int luaExitCircuitBoard(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 1);
    sprite::DialogSprite* board = canvas->getCloseUp(LanternfieldCanvas::CLOSE_UP_CIRCUIT_BOARD);
    if (board && LanternfieldCanvas::sceneHooks.closeCircuitBoard)
        LanternfieldCanvas::sceneHooks.closeCircuitBoard(board);
    return returnLast(L);
}

int luaStartChapter(lua_State* L)
{
    self(L, 1)->startChapter();
    return returnLast(L);
}

int luaEnterPegsCU(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 2);
    canvas->enterPegsCU(checkInt(L, 2));
    return returnLast(L);
}

int luaExitPegsCU(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 1);
    sprite::DialogSprite* pegs = canvas->getCloseUp(LanternfieldCanvas::CLOSE_UP_PEGS);
    if (pegs && LanternfieldCanvas::sceneHooks.closePegs)
        LanternfieldCanvas::sceneHooks.closePegs(pegs);
    return returnLast(L);
}

int luaEnterSafeCrack(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 1);
    if (sprite::DialogSprite* safe = canvas->getCloseUp(LanternfieldCanvas::CLOSE_UP_SAFE_CRACK)) {
        pauseCurrentRoom(canvas);
        if (LanternfieldCanvas::sceneHooks.openSafeCrack)
            LanternfieldCanvas::sceneHooks.openSafeCrack(safe,
                                                          canvas->getRoom(LanternfieldCanvas::ROOM_MANSION_STUDY));
    }
    return returnLast(L);
}

int luaExitSafeCrack(lua_State* L)
{
    self(L, 1)->exitSafeCrack();
    return returnLast(L);
}

int luaFadeMusic(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 3);
    const int target = checkInt(L, 2);
    const int frames = checkInt(L, 3);
    canvas->fadeMusic(target, frames);
    return returnLast(L);
}

int luaGetFXVolume(lua_State* L)
{
    lua_pushinteger(L, self(L, 1)->getFXVolume());
    return 1;
}

int luaGetCursorName(lua_State* L)
{
    return pushString(L, LanternfieldCanvas::cursorNameOf(self(L, 1)->getCurrentCursor()));
}

int luaGetItemOnCursor(lua_State* L)
{
    sprite::SpriteBase* item = self(L, 1)->getHeldItemSprite();
    return pushString(L, item ? item->getName() : lang::String(""));
}

int luaGetLastRoom(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 1);
    return pushString(L, roomName(canvas, canvas->getProgress() ? canvas->getProgress()->lastRoom : -1));
}

int luaGetMusicVolume(lua_State* L)
{
    lua_pushinteger(L, self(L, 1)->getMusicVolume());
    return 1;
}

int luaGetNextRoom(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 1);
    return pushString(L, roomName(canvas, canvas->getPendingRoom()));
}

int luaIsPuzzleActive(lua_State* L)
{
    lua_pushboolean(L, self(L, 1)->isPuzzleActive());
    return 1;
}

int luaDropInvalidCursorItem(lua_State* L)
{
    self(L, 1)->dropInvalidCursorItem();
    return returnLast(L);
}

int luaRevertBackgroundMusic(lua_State* L)
{
    canvasOf(L)->revertBackgroundMusic();
    return returnLast(L);
}

int luaSetBackgroundMusic(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 2);
    canvas->setBackgroundMusic(checkString(L, 2));
    return returnLast(L);
}

int luaSetChapterBackgroundMusic(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 2);
    canvas->setChapterBackgroundMusic(checkInt(L, 2));
    return returnLast(L);
}

int luaSetEndGameVignette(lua_State* L)
{
    self(L, 1)->setEndGameVignette();
    return returnLast(L);
}

int luaSetGameCursor(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 3);
    const int index = LanternfieldCanvas::cursorIndexOf(checkString(L, 2));
    canvas->setCursor(index, toBool(L, 3));
    return returnLast(L);
}

int luaSetIsResetGame(lua_State* L)
{
    self(L, 2)->setResetGame(toBool(L, 2));
    return returnLast(L);
}

int luaSetNoMusic(lua_State* L)
{
    self(L, 2)->setNoMusic(toBool(L, 2));
    return returnLast(L);
}

int luaSetPuzzleActive(lua_State* L)
{
    self(L, 2)->setPuzzleActive(toBool(L, 2));
    return returnLast(L);
}

int luaSetSpecialCursor(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 3);
    const int index = LanternfieldCanvas::cursorIndexOf(checkString(L, 2));
    canvas->setSpecialCursor(index, toBool(L, 3), -1);
    return returnLast(L);
}

int luaSetupTempleDoorPuzzle(lua_State* L)
{
    LanternfieldCanvas* canvas = self(L, 2);
    canvas->setupTempleDoorPuzzle(checkInt(L, 2));
    return returnLast(L);
}

int luaSetInTransition(lua_State* L)
{
    // The flag is set whatever the arguments say; "TransitionDone" clears it.
    canvasOf(L)->setInTransition(true);
    return returnLast(L);
}

template <int (*F)(lua_State*)>
constexpr lua_CFunction guarded()
{
    return &sprite::SpriteBaseLua::guarded<F>;
}

const luaL_Reg kMethods[] = {
    {"dropSpecialCursor", guarded<luaDropSpecialCursor>()},
    {"enableQuitButton", guarded<luaEnableQuitButton>()},
    {"exitToMenu", guarded<luaExitToMenu>()},
    {"enterCircuitBoard", guarded<luaEnterCircuitBoard>()},
    {"exitCircuitBoard", guarded<luaExitCircuitBoard>()},
    {"startChapter", guarded<luaStartChapter>()},
    {"enterPegsCU", guarded<luaEnterPegsCU>()},
    {"exitPegsCU", guarded<luaExitPegsCU>()},
    {"enterSafeCrack", guarded<luaEnterSafeCrack>()},
    {"exitSafeCrack", guarded<luaExitSafeCrack>()},
    {"fadeMusic", guarded<luaFadeMusic>()},
    {"getFXVolume", guarded<luaGetFXVolume>()},
    {"getCursorName", guarded<luaGetCursorName>()},
    {"getItemOnCursor", guarded<luaGetItemOnCursor>()},
    {"getLastRoom", guarded<luaGetLastRoom>()},
    {"getMusicVolume", guarded<luaGetMusicVolume>()},
    {"getNextRoom", guarded<luaGetNextRoom>()},
    {"isPuzzleActive", guarded<luaIsPuzzleActive>()},
    {"dropInvalidCursorItem", guarded<luaDropInvalidCursorItem>()},
    {"revertBackgroundMusic", guarded<luaRevertBackgroundMusic>()},
    {"setBackgroundMusic", guarded<luaSetBackgroundMusic>()},
    {"setChapterBackgroundMusic", guarded<luaSetChapterBackgroundMusic>()},
    {"setEndGameVignette", guarded<luaSetEndGameVignette>()},
    {"setGameCursor", guarded<luaSetGameCursor>()},
    {"setIsResetGame", guarded<luaSetIsResetGame>()},
    {"setNoMusic", guarded<luaSetNoMusic>()},
    {"setPuzzleActive", guarded<luaSetPuzzleActive>()},
    {"setSpecialCursor", guarded<luaSetSpecialCursor>()},
    {"setupTempleDoorPuzzle", guarded<luaSetupTempleDoorPuzzle>()},
    {"setInTransition", guarded<luaSetInTransition>()},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* LanternfieldCanvas::luaMethods()
{
    return kMethods;
}
