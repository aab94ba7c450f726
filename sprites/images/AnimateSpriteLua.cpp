// AnimateSpriteLua.cpp: the native methods of hv.AnimateSprite.
#include "sprites/images/AnimateSprite.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace sprite {

namespace {

const char kTooMany[] = "too many arguments";

AnimateSprite* self(lua_State* L)
{
    return static_cast<AnimateSprite*>(SpriteBaseLua::check(L, 1, "AnimateSprite"));
}

// The number in field `key` of the table at `index` when it is one, else
// the fallback.
int intField(lua_State* L, int index, const char* key, int fallback)
{
    lua_getfield(L, index, key);
    int value = lua_isnumber(L, -1) ? SpriteBaseLua::toInt(L, -1) : fallback;
    lua_pop(L, 1);
    return value;
}

int intArgument(lua_State* L, int index, int fallback)
{
    return lua_isnumber(L, index) ? SpriteBaseLua::toInt(L, index) : fallback;
}

int luaAnimating(lua_State* L)
{
    AnimateSprite* s = self(L);
    SpriteBaseLua::checkCount(L, 1, 2, kTooMany);
    lua_pushboolean(L, s->isAnimating());
    return 1;
}

int luaGetFrame(lua_State* L)
{
    lua_pushinteger(L, self(L)->getFrame());
    return 1;
}

int luaGetNumFrames(lua_State* L)
{
    lua_pushinteger(L, self(L)->getFrameCount());
    return 1;
}

int luaHittestImage(lua_State* L)
{
    AnimateSprite* s = self(L);
    lua_pushboolean(L, s->hittestImage(SpriteBaseLua::toInt(L, 2), SpriteBaseLua::toInt(L, 3)));
    return 1;
}

// playAnimation(), playAnimation(start, end, loops, rate, step) or
// playAnimation{startFrame=, endFrame=, loops=, frameRate=, frameStep=};
// what is not given (or no number) takes the default 0, -1, 0, 1, 1.
int luaPlayAnimation(lua_State* L)
{
    AnimateSprite* s = self(L);
    int start = 0, end = -1, loops = 0, rate = 1, step = 1;
    if (lua_istable(L, 2)) {
        start = intField(L, 2, "startFrame", start);
        end = intField(L, 2, "endFrame", end);
        loops = intField(L, 2, "loops", loops);
        rate = intField(L, 2, "frameRate", rate);
        step = intField(L, 2, "frameStep", step);
    } else if (lua_gettop(L) >= 2) {
        start = intArgument(L, 2, start);
        end = intArgument(L, 3, end);
        loops = intArgument(L, 4, loops);
        rate = intArgument(L, 5, rate);
        step = intArgument(L, 6, step);
    }
    s->playAnimation(start, end, loops, rate, false, step);
    return 0;
}

int luaSetFrame(lua_State* L)
{
    AnimateSprite* s = self(L);
    SpriteBaseLua::checkCount(L, 2, 3, kTooMany);
    s->setFrame(SpriteBaseLua::toInt(L, 2));
    return 0;
}

int luaSetFrameRate(lua_State* L)
{
    AnimateSprite* s = self(L);
    s->setFrameRate(SpriteBaseLua::toInt(L, 2));
    s->setStartDelay(SpriteBaseLua::toInt(L, 3));
    return 0;
}

int luaSetPingPong(lua_State* L)
{
    AnimateSprite* s = self(L);
    SpriteBaseLua::checkCount(L, 2, 3, kTooMany);
    s->setPingPong(lua_toboolean(L, 2) != 0);
    return 0;
}

const luaL_Reg kMethods[] = {
    {"animating", &SpriteBaseLua::guarded<luaAnimating>},
    {"getFrame", &SpriteBaseLua::guarded<luaGetFrame>},
    {"getNumFrames", &SpriteBaseLua::guarded<luaGetNumFrames>},
    {"hittestImage", &SpriteBaseLua::guarded<luaHittestImage>},
    {"playAnimation", &SpriteBaseLua::guarded<luaPlayAnimation>},
    {"setFrame", &SpriteBaseLua::guarded<luaSetFrame>},
    {"setFrameRate", &SpriteBaseLua::guarded<luaSetFrameRate>},
    {"setPingPong", &SpriteBaseLua::guarded<luaSetPingPong>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* AnimateSprite::luaMethods()
{
    return kMethods;
}

} // namespace sprite
