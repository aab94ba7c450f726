// CharacterLua.cpp: the native methods of hv.Character, through which the
// room scripts place characters, pose them, let them walk and talk, and read
// back whether they are idle or talking.
#include "game/characters/Character.h"

#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

#include <cstring>

namespace {

const char kTooMany[] = "too many arguments";

// The character of argument 1 (the type checks raise Lua errors, so they
// come before anything with a destructor).
Character* self(lua_State* L)
{
    return static_cast<Character*>(sprite::SpriteBaseLua::check(L, 1, "Character"));
}

// The character of argument 1, then exactly `count` values on the stack.
Character* self(lua_State* L, int count)
{
    Character* character = self(L);
    sprite::SpriteBaseLua::checkCount(L, count, count + 1, kTooMany);
    return character;
}

int integer(lua_State* L, int index)
{
    return int(luaL_checkinteger(L, index));
}

// A flag by the Lua truth rule from the last value on the stack.
bool lastFlag(lua_State* L)
{
    return lua_toboolean(L, lua_gettop(L)) != 0;
}

// The number in field `key` of the table at `index` when it is one, else
// the fallback.
double numberField(lua_State* L, int index, const char* key, double fallback)
{
    lua_getfield(L, index, key);
    const double value = lua_isnumber(L, -1) ? lua_tonumber(L, -1) : fallback;
    lua_pop(L, 1);
    return value;
}

int intField(lua_State* L, int index, const char* key, int fallback)
{
    lua_getfield(L, index, key);
    const int value = lua_isnumber(L, -1) ? sprite::SpriteBaseLua::toInt(L, -1) : fallback;
    lua_pop(L, 1);
    return value;
}

// The index of the name in the null-ended list, or -1.
int optionIndex(const char* name, const char* const* list)
{
    for (int i = 0; name && list[i]; ++i) {
        if (std::strcmp(name, list[i]) == 0)
            return i;
    }
    return -1;
}

int pushBoolean(lua_State* L, bool value)
{
    lua_pushboolean(L, value);
    return 1;
}

int luaHittest(lua_State* L)
{
    Character* c = self(L, 3);
    const int x = integer(L, 2);
    const int y = integer(L, 3);
    return pushBoolean(L, c->hittest(x, y));
}

int luaIsEnabled(lua_State* L)
{
    return pushBoolean(L, self(L, 1)->isEnabled());
}

int luaIsIdle(lua_State* L)
{
    return pushBoolean(L, self(L, 1)->getState() == Character::STATE_IDLE);
}

int luaIsTalking(lua_State* L)
{
    return pushBoolean(L, self(L, 1)->isTalking());
}

int luaMoveTo(lua_State* L)
{
    Character* c = self(L, 4);
    const int x = integer(L, 2);
    const int y = integer(L, 3);
    c->moveTo(x, y, integer(L, 4));
    return 0;
}

int luaSetAnimLayer(lua_State* L)
{
    Character* c = self(L, 4);
    const int layer = luaL_checkoption(L, 2, nullptr, Character::kLayerNames);
    const char* name = luaL_checkstring(L, 3);
    const int frame = integer(L, 4);
    c->setAnimLayer(layer, lang::String(name), frame);
    return 0;
}

int luaSetBlinking(lua_State* L)
{
    self(L, 2)->setBlinking(lastFlag(L));
    return 0;
}

int luaSetBodyType(lua_State* L)
{
    Character* c = self(L, 2);
    c->setBodyTypeAndShow(luaL_checkoption(L, 2, nullptr, Character::kTypeNames));
    return 0;
}

int luaSetConversation(lua_State* L)
{
    self(L, 2)->setConversation(lastFlag(L));
    return 0;
}

int luaSetEnabled(lua_State* L)
{
    self(L, 2)->setEnabled(lastFlag(L));
    return 0;
}

// setFixedTalkBalloonPosition(fixed, x, y [, "NW" | "SW" | "SE" | "NE" | "PHONE"]):
// the position name only counts as the fifth value on the stack.
int luaSetFixedTalkBalloonPosition(lua_State* L)
{
    Character* c = self(L);
    const bool fixed = lua_toboolean(L, 2) != 0;
    const int x = integer(L, 3);
    const int y = integer(L, 4);
    const int anchor = lua_gettop(L) == 5 ? luaL_checkoption(L, 5, nullptr, Character::kAnchorNames)
                                          : Character::ANCHOR_AUTO;
    c->setFixedTalkBalloonPosition(fixed, x, y, anchor);
    return 0;
}

int luaSetHeadType(lua_State* L)
{
    Character* c = self(L, 2);
    c->setHeadTypeLayers(luaL_checkoption(L, 2, nullptr, Character::kTypeNames));
    return 0;
}

int luaSetIdle(lua_State* L)
{
    self(L, 2)->setIdle(lastFlag(L));
    return 0;
}

int luaSetOffset(lua_State* L)
{
    Character* c = self(L, 3);
    const int x = integer(L, 2);
    c->setOffset(x, integer(L, 3));
    return 0;
}

int luaAmbients(lua_State* L)
{
    self(L, 2)->setAmbients(lastFlag(L));
    return 0;
}

int luaSetState(lua_State* L)
{
    Character* c = self(L, 2);
    const char* name = luaL_checkstring(L, 2);
    c->setState(lang::String(name));
    return 0;
}

// setTalkAlpha{alpha = factor, frames = n}: the factor (1.0 = opaque) x 128,
// held to the alpha byte's range, over n frames (1 when not given).
int luaSetTalkAlpha(lua_State* L)
{
    Character* c = self(L);
    luaL_checktype(L, 2, LUA_TTABLE);
    const double factor = numberField(L, 2, "alpha", 1.0);
    const int frames = intField(L, 2, "frames", 1);
    // Held to the byte: a factor above 1.99 or below 0 would wrap around.
    int alpha = sprite::SpriteBase::toInt(factor * 128.0);
    alpha = alpha < 0 ? 0 : alpha > 255 ? 255 : alpha;
    c->fadeTalkBalloon(alpha, frames);
    return 0;
}

int luaShowTalkToMeButton(lua_State* L)
{
    self(L, 2)->showTalkToMeButton(lastFlag(L));
    return 0;
}

// startAnimation(layer, startFrame, endFrame, loops, frameRate, frameStep) or
// startAnimation{layer = name, startFrame = 0, endFrame = -1, loops = 0,
// frameRate = 1}; the end is reported with "AnimationFinished".
int luaStartAnimation(lua_State* L)
{
    Character* c = self(L);
    const int top = lua_gettop(L);
    int layer = 0;
    int startFrame = 0, endFrame = -1, loops = 0, rate = 1, step = 1;
    if (top == 7) {
        layer = luaL_checkoption(L, 2, nullptr, Character::kLayerNames);
        startFrame = integer(L, 3);
        endFrame = integer(L, 4);
        loops = integer(L, 5);
        rate = integer(L, 6);
        step = integer(L, 7);
    } else {
        if (top > 7)
            luaL_argerror(L, 8, kTooMany);
        luaL_checktype(L, 2, LUA_TTABLE);
        lua_getfield(L, 2, "layer");
        const char* name = lua_tostring(L, -1);
        layer = optionIndex(name, Character::kLayerNames);
        if (layer < 0)
            luaL_argerror(L, 2, lua_pushfstring(L, "invalid layer " LUA_QS, name ? name : "nil"));
        lua_pop(L, 1);
        startFrame = intField(L, 2, "startFrame", startFrame);
        endFrame = intField(L, 2, "endFrame", endFrame);
        loops = intField(L, 2, "loops", loops);
        rate = intField(L, 2, "frameRate", rate);
    }
    c->startAnimation(layer, startFrame, endFrame, rate, step, loops, lang::String(""));
    return 0;
}

int luaStopTalk(lua_State* L)
{
    self(L, 1)->stopTalk();
    return 0;
}

int luaTalk(lua_State* L)
{
    Character* c = self(L, 2);
    const char* id = luaL_checkstring(L, 2);
    c->talk(lang::String(id), false);
    return 0;
}

int luaTalkDelay(lua_State* L)
{
    Character* c = self(L, 2);
    c->setTalkFrames(integer(L, 2));
    return 0;
}

int luaTalkTimer(lua_State* L)
{
    Character* c = self(L, 2);
    const char* id = luaL_checkstring(L, 2);
    c->talk(lang::String(id), true);
    return 0;
}

int luaTalkToMeButtonEnter(lua_State* L)
{
    self(L, 1)->popTalkToMeButton();
    return 0;
}

int luaWalk(lua_State* L)
{
    self(L)->setWalking(lastFlag(L));
    return 0;
}

using sprite::SpriteBaseLua;

const luaL_Reg kMethods[] = {
    {"hittest", &SpriteBaseLua::guarded<luaHittest>},
    {"isEnabled", &SpriteBaseLua::guarded<luaIsEnabled>},
    {"isIdle", &SpriteBaseLua::guarded<luaIsIdle>},
    {"isTalking", &SpriteBaseLua::guarded<luaIsTalking>},
    {"moveTo", &SpriteBaseLua::guarded<luaMoveTo>},
    {"setAnimLayer", &SpriteBaseLua::guarded<luaSetAnimLayer>},
    {"setBlinking", &SpriteBaseLua::guarded<luaSetBlinking>},
    {"setBodyType", &SpriteBaseLua::guarded<luaSetBodyType>},
    {"setConversation", &SpriteBaseLua::guarded<luaSetConversation>},
    {"setEnabled", &SpriteBaseLua::guarded<luaSetEnabled>},
    {"setFixedTalkBalloonPosition", &SpriteBaseLua::guarded<luaSetFixedTalkBalloonPosition>},
    {"setHeadType", &SpriteBaseLua::guarded<luaSetHeadType>},
    {"setIdle", &SpriteBaseLua::guarded<luaSetIdle>},
    {"setOffset", &SpriteBaseLua::guarded<luaSetOffset>},
    {"ambients", &SpriteBaseLua::guarded<luaAmbients>},
    {"setState", &SpriteBaseLua::guarded<luaSetState>},
    {"setTalkAlpha", &SpriteBaseLua::guarded<luaSetTalkAlpha>},
    {"showTalkToMeButton", &SpriteBaseLua::guarded<luaShowTalkToMeButton>},
    {"startAnimation", &SpriteBaseLua::guarded<luaStartAnimation>},
    {"stopTalk", &SpriteBaseLua::guarded<luaStopTalk>},
    {"talk", &SpriteBaseLua::guarded<luaTalk>},
    {"talkDelay", &SpriteBaseLua::guarded<luaTalkDelay>},
    {"talkTimer", &SpriteBaseLua::guarded<luaTalkTimer>},
    {"talkToMeButtonEnter", &SpriteBaseLua::guarded<luaTalkToMeButtonEnter>},
    {"walk", &SpriteBaseLua::guarded<luaWalk>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* Character::luaMethods()
{
    return kMethods;
}
