// RoomLua.cpp: the native methods of hv.Room that room scripts call on self:
// the drawing order of the room's sprites, characters, ambient animals and
// sounds, sparkles and particle bursts, exits, room changes and chapters.
#include "game/rooms/Room.h"

#include "game/ambient/AmbientSoundManager.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/script/ScriptHost.h"

#include <lua.hpp>

namespace {

const char kTooMany[] = "too many arguments";

// The defaults of addAmbientSound's options, in frames.
constexpr int kStartMin = 200;
constexpr int kStartMax = 400;
constexpr int kRepeatMin = 50;
constexpr int kRepeatMax = 100;

LanternfieldCanvas* luaCanvas()
{
    return LanternfieldCanvas::instance;
}

// The room of argument 1.
Room* room(lua_State* L)
{
    return static_cast<Room*>(ScriptHost::checkObject(L, 1, "Room", "Sprite"));
}

// The room of argument 1, then exactly `count` arguments (self included);
// argument errors leave by a long jump, so the checks come first.
Room* self(lua_State* L, int count)
{
    Room* r = room(L);
    sprite::SpriteBaseLua::checkCount(L, count, count + 1, kTooMany);
    return r;
}

// The same for `fewest` or `fewest + 1` arguments.
Room* selfWithOptional(lua_State* L, int fewest)
{
    Room* r = room(L);
    const int n = lua_gettop(L);
    if (n != fewest && n != fewest + 1)
        luaL_argerror(L, fewest + 2, kTooMany);
    return r;
}

// Strings are read as plain texts: every argument is checked before any
// String is made, since a failed check leaves by a long jump.
const char* text(lua_State* L, int index)
{
    return luaL_checkstring(L, index);
}

int integer(lua_State* L, int index)
{
    return int(luaL_checkinteger(L, index));
}

bool flag(lua_State* L, int index)
{
    return lua_toboolean(L, index) != 0;
}

// The method's own result: its last argument.
int returnLast(lua_State* L)
{
    lua_pushvalue(L, lua_gettop(L));
    return 1;
}

// The option of addAmbientSound's table at index 2, when it is a number.
int option(lua_State* L, const char* key, int fallback)
{
    lua_getfield(L, 2, key);
    const int value = lua_type(L, -1) == LUA_TNUMBER ? int(lua_tointeger(L, -1)) : fallback;
    lua_pop(L, 1);
    return value;
}

// addAfter(name, afterName): the sprite moves just above the other.
int luaAddAfter(lua_State* L)
{
    Room* r = self(L, 3);
    const char* name = text(L, 2);
    const char* after = text(L, 3);
    r->placeAbove(lang::String(name), lang::String(after));
    return returnLast(L);
}

// addAmbientAudioLoop(clip): the loop's volume follows the effects volume.
int luaAddAmbientAudioLoop(lua_State* L)
{
    self(L, 2);
    const int clip = integer(L, 2);
    if (AmbientSoundManager* sounds = luaCanvas() ? luaCanvas()->getAmbientSoundManager() : nullptr)
        sounds->addLoop(clip);
    return returnLast(L);
}

// addAmbientButterflies(count, a, b): butterflies coming back after a..b frames.
int luaAddAmbientButterflies(lua_State* L)
{
    Room* r = self(L, 4);
    r->addAmbientButterflies(integer(L, 2), integer(L, 3), integer(L, 4));
    return returnLast(L);
}

// addAmbientFireflies(count, a, b): fireflies coming back after a..b frames.
int luaAddAmbientFireflies(lua_State* L)
{
    Room* r = self(L, 4);
    r->addAmbientFireflies(integer(L, 2), integer(L, 3), integer(L, 4));
    return returnLast(L);
}

// addAmbientSound({id = n, startMin =, startMax =, min =, max =}): sound n
// recurs; "id" has no default.
int luaAddAmbientSound(lua_State* L)
{
    room(L);
    if (lua_gettop(L) != 2)
        luaL_argerror(L, 3, "wrong number of arguments");
    luaL_checktype(L, 2, LUA_TTABLE);
    lua_getfield(L, 2, "id");
    const bool hasId = lua_type(L, -1) == LUA_TNUMBER;
    lua_pop(L, 1);
    if (!hasId)
        luaL_argerror(L, 2, "the field \"id\" must be a number");
    const int id = option(L, "id", 0);
    const int startMin = option(L, "startMin", kStartMin);
    const int startMax = option(L, "startMax", kStartMax);
    const int min = option(L, "min", kRepeatMin);
    const int max = option(L, "max", kRepeatMax);
    if (AmbientSoundManager* sounds = luaCanvas() ? luaCanvas()->getAmbientSoundManager() : nullptr)
        sounds->addSound(id, startMin, startMax, min, max);
    return returnLast(L);
}

// addAnimate(name), addButtonToTop(name), addSpriteToTop(name): the sprite
// goes on top of the room's drawing order.
int luaBringToTop(lua_State* L)
{
    Room* r = self(L, 2);
    const char* name = text(L, 2);
    r->bringNamedToFront(lang::String(name));
    return returnLast(L);
}

// addCharacter(name, afterName, x, y, visible, enabled, idle).
int luaAddCharacter(lua_State* L)
{
    Room* r = self(L, 8);
    const char* name = text(L, 2);
    const char* after = text(L, 3);
    const int x = integer(L, 4);
    const int y = integer(L, 5);
    r->addCharacter(lang::String(name), lang::String(after), x, y, flag(L, 6), flag(L, 7), flag(L, 8));
    return returnLast(L);
}

// addSparkleInRect(x, y, width, height, template, maxDelay, life[, count]).
int luaAddSparkleInRect(lua_State* L)
{
    Room* r = selfWithOptional(L, 8);
    const int x = integer(L, 2);
    const int y = integer(L, 3);
    const int width = integer(L, 4);
    const int height = integer(L, 5);
    const char* model = text(L, 6);
    const int maxDelay = integer(L, 7);
    const int life = integer(L, 8);
    const int count = lua_gettop(L) == 9 ? integer(L, 9) : 0;
    r->addSparkleInRect(x, y, width, height, lang::String(model), maxDelay, life, count);
    return returnLast(L);
}

// addSparkleInSprite(sprite, template, maxDelay, life[, count]).
int luaAddSparkleInSprite(lua_State* L)
{
    Room* r = selfWithOptional(L, 5);
    const char* target = text(L, 2);
    const char* model = text(L, 3);
    const int maxDelay = integer(L, 4);
    const int life = integer(L, 5);
    const int count = lua_gettop(L) == 6 ? integer(L, 6) : 0;
    r->addSparkleInSprite(lang::String(target), lang::String(model), maxDelay, life, count);
    return returnLast(L);
}

// createParticleEffect(sprite, effect, frames).
int luaCreateParticleEffect(lua_State* L)
{
    Room* r = self(L, 4);
    const char* target = text(L, 2);
    const char* effect = text(L, 3);
    const int frames = integer(L, 4);
    r->createParticleEffect(lang::String(target), lang::String(effect), frames);
    return returnLast(L);
}

// enableDoor(roomName, enable[, skip]): the exits to that room after the
// first `skip` (none skipped by default).
int luaEnableDoor(lua_State* L)
{
    Room* r = selfWithOptional(L, 3);
    const char* name = text(L, 2);
    const bool enable = flag(L, 3);
    const int skip = lua_gettop(L) == 4 ? integer(L, 4) : -1;
    const int target = luaCanvas() ? luaCanvas()->findRoomIndex(lang::String(name)) : -1;
    // A name that is no room's has no exit leading to it.
    if (target >= 0)
        r->enableDoorTo(target, enable, skip);
    return returnLast(L);
}

// enableDoors(enable): every exit of the room.
int luaEnableDoors(lua_State* L)
{
    Room* r = self(L, 2);
    r->enableDoors(flag(L, 2));
    return returnLast(L);
}

// endChapter(): the chapter ends, and so does the click that ended it.
int luaEndChapter(lua_State* L)
{
    Room* r = room(L);
    if (luaCanvas())
        luaCanvas()->advanceChapter();
    r->setChapterEnded();
    return returnLast(L);
}

// getChapterNumber(): 1 to 6.
int luaGetChapterNumber(lua_State* L)
{
    self(L, 1);
    lua_pushinteger(L, Room::chapterNumber());
    return 1;
}

// hasCharacter(name): whether the character stands in the room.
int luaHasCharacter(lua_State* L)
{
    Room* r = self(L, 2);
    const char* name = text(L, 2);
    lua_pushboolean(L, r->hasCharacter(lang::String(name)));
    return 1;
}

// moveToRoom(roomName): at once, without an exit transition.
int luaMoveToRoom(lua_State* L)
{
    self(L, 2);
    const char* name = text(L, 2);
    if (luaCanvas())
        luaCanvas()->changeRoom(luaCanvas()->findRoomIndex(lang::String(name)));
    return returnLast(L);
}

// moveToRoomAfter(roomName, frames): the same once the frames of play have
// passed, the room standing as it is until then; leaving it calls that off.
int luaMoveToRoomAfter(lua_State* L)
{
    Room* r = self(L, 3);
    const char* name = text(L, 2);
    const int frames = integer(L, 3);
    if (luaCanvas())
        r->moveToRoomAfter(luaCanvas()->findRoomIndex(lang::String(name)), frames);
    return returnLast(L);
}

// removeAmbientAudioLoop(clip).
int luaRemoveAmbientAudioLoop(lua_State* L)
{
    self(L, 2);
    const int clip = integer(L, 2);
    if (AmbientSoundManager* sounds = luaCanvas() ? luaCanvas()->getAmbientSoundManager() : nullptr)
        sounds->removeLoop(clip);
    return returnLast(L);
}

// removeCharacter(name): the character goes back to the canvas, hidden.
int luaRemoveCharacter(lua_State* L)
{
    Room* r = self(L, 2);
    const char* name = text(L, 2);
    r->removeCharacter(lang::String(name));
    return returnLast(L);
}

// addAmbientBubbles(): the room's bubbles rise.
int luaAddAmbientBubbles(lua_State* L)
{
    Room* r = self(L, 1);
    r->addAmbientBubbles();
    return returnLast(L);
}

template <lua_CFunction F>
constexpr lua_CFunction guarded = &sprite::SpriteBaseLua::guarded<F>;

const luaL_Reg kMethods[] = {
    {"addAfter", guarded<luaAddAfter>},
    {"addAmbientAudioLoop", guarded<luaAddAmbientAudioLoop>},
    {"addAmbientButterflies", guarded<luaAddAmbientButterflies>},
    {"addAmbientFireflies", guarded<luaAddAmbientFireflies>},
    {"addAmbientSound", guarded<luaAddAmbientSound>},
    {"addAnimate", guarded<luaBringToTop>},
    {"addAnimateAfter", guarded<luaAddAfter>},
    {"addButtonToTop", guarded<luaBringToTop>},
    {"addCharacter", guarded<luaAddCharacter>},
    {"addSparkleInRect", guarded<luaAddSparkleInRect>},
    {"addSparkleInSprite", guarded<luaAddSparkleInSprite>},
    {"createParticleEffect", guarded<luaCreateParticleEffect>},
    {"enableDoor", guarded<luaEnableDoor>},
    {"enableDoors", guarded<luaEnableDoors>},
    {"endChapter", guarded<luaEndChapter>},
    {"getChapterNumber", guarded<luaGetChapterNumber>},
    {"hasCharacter", guarded<luaHasCharacter>},
    {"moveToRoom", guarded<luaMoveToRoom>},
    {"moveToRoomAfter", guarded<luaMoveToRoomAfter>},
    {"removeAmbientAudioLoop", guarded<luaRemoveAmbientAudioLoop>},
    {"removeCharacter", guarded<luaRemoveCharacter>},
    {"addAmbientBubbles", guarded<luaAddAmbientBubbles>},
    {"addSpriteToTop", guarded<luaBringToTop>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* Room::luaMethods()
{
    return kMethods;
}
