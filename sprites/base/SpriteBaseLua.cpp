// SpriteBaseLua.cpp: sprite tables and their metatables, the program's calls
// into them, and the native methods of hv.SpriteBase.
#include "sprites/base/SpriteBaseLua.h"

#include "core/lang/Exception.h"
#include "platform/files/Files.h"
#include "platform/kernel/StandardError.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/transitions/TransitionBase.h"
#include "sprites/transitions/TransitionFactory.h"

#include <lua.hpp>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace sprite {

const char SpriteBaseLua::kMetatable[] = "hv.SpriteBase";
const char SpriteBaseLua::kObjectWord[] = "Sprite";

namespace {

const char kObjectField[] = "__c++";
const char kTooMany[] = "too many arguments";
const char kWrongNumber[] = "wrong number of arguments";

lua_State* hostState()
{
    ScriptHost* host = ScriptHost::instance;
    return host ? host->getState() : nullptr;
}

SpriteBase* self(lua_State* L)
{
    return SpriteBaseLua::check(L, 1, "SpriteBase");
}

// The number in field `key` of the table at `index` when it is one, else
// the fallback. Scales are read as doubles, coordinates as integers.
int intField(lua_State* L, int index, const char* key, int fallback)
{
    lua_getfield(L, index, key);
    int value = lua_isnumber(L, -1) ? SpriteBase::toInt(lua_tonumber(L, -1)) : fallback;
    lua_pop(L, 1);
    return value;
}

double numberField(lua_State* L, int index, const char* key, double fallback)
{
    lua_getfield(L, index, key);
    double value = lua_isnumber(L, -1) ? lua_tonumber(L, -1) : fallback;
    lua_pop(L, 1);
    return value;
}

// The integer at `index` when it is a number, else the fallback.
int intArgument(lua_State* L, int index, int fallback)
{
    return lua_isnumber(L, index) ? SpriteBaseLua::toInt(L, index) : fallback;
}

int byteArgument(lua_State* L, int index)
{
    int value = SpriteBaseLua::toInt(L, index);
    return value < 0 ? 0 : value > 255 ? 255 : value;
}

// Releases one reference when it goes, also when an exception passes.
struct Held {
    explicit Held(lang::Object* o) : object(o) {}
    ~Held() { object->release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    lang::Object* object;
};

int pushInteger(lua_State* L, int value)
{
    lua_pushinteger(L, value);
    return 1;
}

int pushBoolean(lua_State* L, bool value)
{
    lua_pushboolean(L, value ? 1 : 0);
    return 1;
}

// "Class: 0xaddress "name"" for a table holding an object, else a mark
// that the table is the metatable itself. The address is printed whole.
int luaDescribe(lua_State* L)
{
    void* pointer = nullptr;
    if (lua_istable(L, 1)) {
        lua_pushstring(L, kObjectField);
        lua_rawget(L, 1);
        if (lua_islightuserdata(L, -1))
            pointer = lua_touserdata(L, -1);
        lua_pop(L, 1);
    }
    if (!pointer) {
        lua_pushstring(L, "SpriteBase metatable?");
        return 1;
    }
    lang::Object* object = static_cast<lang::Object*>(pointer);
    const char* name = object->isInstanceOf("SpriteBase") ? static_cast<SpriteBase*>(object)->getName().c_str() : "";
    char text[128];
    std::snprintf(text, sizeof text, "%s: 0x%llx \"%s\"", object->getClassName(),
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(pointer)), name);
    lua_pushstring(L, text);
    return 1;
}

int luaAlpha(lua_State* L)
{
    SpriteBase* s = self(L);
    lua_pushnumber(L, s->getAlpha() / 128.0);
    return 1;
}

int luaBottom(lua_State* L)
{
    SpriteBase* s = self(L);
    int h = s->height();
    return pushInteger(L, s->getY() - (h >> 1) + h);
}

int luaCenterX(lua_State* L)
{
    return pushInteger(L, self(L)->getX());
}

int luaCenterY(lua_State* L)
{
    return pushInteger(L, self(L)->getY());
}

int luaCompleteCurrentAnimations(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 1, 2, kTooMany);
    s->completeAnimations();
    return 0;
}

int luaGetName(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 1, 2, kTooMany);
    const lang::String& name = s->getName();
    lua_pushlstring(L, name.c_str(), size_t(name.length()));
    return 1;
}

int luaHandleAction(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkAtMost(L, 3, 4, kTooMany);
    lang::Object* sender = nullptr;
    if (!lua_isnoneornil(L, 2))
        sender = ScriptHost::checkObject(L, 2, nullptr, SpriteBaseLua::kObjectWord);
    const char* text = lua_tostring(L, 3);
    // Made after the checks (an argument error jumps past destructors); the
    // sprite is held because the action may drop its last other reference.
    Held command(new lang::String(text ? text : ""));
    s->addRef();
    Held sprite(s);
    s->handleAction(sender, static_cast<lang::String*>(command.object));
    return 0;
}

int luaHasLuaAnimations(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 1, 2, kTooMany);
    return pushBoolean(L, s->hasLuaAnimations());
}

int luaHeight(lua_State* L)
{
    return pushInteger(L, self(L)->height());
}

int luaHittest(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 3, 4, kTooMany);
    return pushBoolean(L, s->hittest(SpriteBaseLua::toInt(L, 2), SpriteBaseLua::toInt(L, 3)));
}

int luaIsAnimating(lua_State* L)
{
    return pushBoolean(L, self(L)->isAnimating());
}

int luaIsPaused(lua_State* L)
{
    return pushBoolean(L, self(L)->isPaused());
}

int luaLeft(lua_State* L)
{
    SpriteBase* s = self(L);
    return pushInteger(L, s->getX() - (s->width() >> 1));
}

int luaMovePosition(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkAtMost(L, 3, 4, kTooMany);
    int dx = 0;
    int dy = 0;
    if (lua_gettop(L) == 2 && lua_istable(L, 2)) {
        dx = intField(L, 2, "dx", 0);
        dy = intField(L, 2, "dy", 0);
    } else {
        dx = SpriteBaseLua::toInt(L, 2);
        dy = SpriteBaseLua::toInt(L, 3);
    }
    s->movePosition(dx, dy);
    return 0;
}

int luaRight(lua_State* L)
{
    SpriteBase* s = self(L);
    int w = s->width();
    return pushInteger(L, s->getX() - (w >> 1) + w);
}

int luaRotateBy(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 2, 3, kTooMany);
    s->rotateBy(lua_tonumber(L, 2));
    return 0;
}

int luaSetAlphaBalance(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 2, 3, kWrongNumber);
    s->setAlphaBalance(SpriteBaseLua::alphaByte(L, 2));
    return 0;
}

int luaSetAlphaDestination(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 3, 3, kWrongNumber);
    int alpha = SpriteBaseLua::alphaByte(L, 2);
    s->setAlphaDestination(alpha, SpriteBaseLua::toInt(L, 3), 0);
    return 0;
}

// Coordinates given as two numbers or as one table {x=, y=}; what is
// missing keeps the current value (so no coordinates keep the place).
void readPoint(lua_State* L, int& x, int& y)
{
    if (lua_gettop(L) == 2 && lua_istable(L, 2)) {
        x = intField(L, 2, "x", x);
        y = intField(L, 2, "y", y);
    } else {
        x = intArgument(L, 2, x);
        y = intArgument(L, 3, y);
    }
}

int luaSetCenter(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkAtMost(L, 3, 4, kTooMany);
    int x = s->getX();
    int y = s->getY();
    readPoint(L, x, y);
    s->setCenter(x, y);
    return 0;
}

int luaSetColorBalance(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 4, 5, kTooMany);
    s->setColorBalance(255, byteArgument(L, 2), byteArgument(L, 3), byteArgument(L, 4));
    return 0;
}

int luaSetDestination(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 4, 3, kTooMany);
    int l = lua_isnil(L, 2) ? s->left() : SpriteBaseLua::toInt(L, 2);
    int t = lua_isnil(L, 3) ? s->top() : SpriteBaseLua::toInt(L, 3);
    s->setDestination(l, t, SpriteBaseLua::toInt(L, 4));
    return 0;
}

int luaSetFlipType(lua_State* L)
{
    static const char* const kFlips[] = {"none", "horizontal", "vertical", "diagonal", nullptr};
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 2, 3, kTooMany);
    s->setFlipType(luaL_checkoption(L, 2, nullptr, kFlips));
    return 0;
}

int luaSetHasLuaAnimations(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 2, 3, kWrongNumber);
    s->setHasLuaAnimations(lua_toboolean(L, 2) != 0);
    return 0;
}

int luaSetMouseOverCursor(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 2, 3, kTooMany);
    const char* name = lua_type(L, 2) == LUA_TSTRING ? lua_tostring(L, 2) : "";
    if (std::strcmp(name, "normal") == 0)
        s->setMouseOverCursor(SpriteBase::CURSOR_NORMAL);
    else if (std::strcmp(name, "hand") == 0)
        s->setMouseOverCursor(SpriteBase::CURSOR_HAND);
    else if (std::strcmp(name, "none") == 0)
        s->setMouseOverCursor(SpriteBase::CURSOR_NONE);
    return 0;
}

int luaSetPaused(lua_State* L)
{
    SpriteBase* s = self(L);
    s->setPaused(lua_toboolean(L, lua_gettop(L)) != 0);
    return 0;
}

int luaSetPosition(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkAtMost(L, 3, 4, kTooMany);
    int l = s->left();
    int t = s->top();
    readPoint(L, l, t);
    s->setPosition(l, t);
    return 0;
}

int luaSetRotation(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 2, 3, kTooMany);
    s->rotateBy(lua_tonumber(L, 2) - s->getRotation());
    return 0;
}

int luaSetScale(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkAtMost(L, 3, 4, kTooMany);
    int n = lua_gettop(L);
    double sx = 1.0;
    double sy = 1.0;
    if (n == 2 && lua_istable(L, 2)) {
        sx = numberField(L, 2, "x", s->getScaleX());
        sy = numberField(L, 2, "y", s->getScaleY());
    } else if (n == 2) {
        sx = sy = lua_tonumber(L, 2);
    } else if (n == 3) {
        sx = lua_tonumber(L, 2);
        sy = lua_tonumber(L, 3);
    }
    s->setScale(sx, sy);
    return 0;
}

int luaSetScaleDestination(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 3, 4, kTooMany);
    float factor = float(lua_tonumber(L, 2));
    s->setScaleDestination(factor, factor, SpriteBaseLua::toInt(L, 3));
    return 0;
}

int luaSetSpin(lua_State* L)
{
    SpriteBase* s = self(L);
    SpriteBaseLua::checkCount(L, 2, 3, kTooMany);
    s->setSpin(SpriteBaseLua::toInt(L, 2));
    return 0;
}

// show(visible) or show(transitionTable): the table's "visible" (the
// opposite of the current flag when it holds no boolean) is shown or hidden
// through the transition the table describes, over the sprite's bounds.
int luaShow(lua_State* L)
{
    SpriteBase* s = self(L);
    int n = lua_gettop(L);
    if (n >= 2 && lua_istable(L, n)) {
        lua_getfield(L, n, "visible");
        bool visible = lua_isboolean(L, -1) ? lua_toboolean(L, -1) != 0 : !s->isVisible();
        lua_pop(L, 1);
        // Errors in the table are raised before anything is made.
        TransitionBase* transition =
            TransitionFactory::createFromLuaTable(L, *s->getBounds(), true, s->getX(), s->getY());
        s->show(visible, transition);
        if (transition)
            transition->release();
        return pushBoolean(L, visible);
    }
    bool visible = lua_toboolean(L, n) != 0;
    s->setVisible(visible);
    return pushBoolean(L, visible);
}

int luaTop(lua_State* L)
{
    SpriteBase* s = self(L);
    return pushInteger(L, s->getY() - (s->height() >> 1));
}

int luaVisible(lua_State* L)
{
    return pushBoolean(L, self(L)->isVisible());
}

int luaWidth(lua_State* L)
{
    return pushInteger(L, self(L)->width());
}

int luaX(lua_State* L)
{
    return pushInteger(L, self(L)->left());
}

int luaY(lua_State* L)
{
    return pushInteger(L, self(L)->top());
}

template <SpriteBaseLua::Function F>
constexpr luaL_Reg entry(const char* name)
{
    return luaL_Reg{name, &SpriteBaseLua::guarded<F>};
}

const luaL_Reg kMethods[] = {
    entry<luaDescribe>("__tostring"),
    entry<luaAlpha>("alpha"),
    entry<luaBottom>("bottom"),
    entry<luaCenterX>("centerX"),
    entry<luaCenterY>("centerY"),
    // No argument convention is fixed for the clip from Lua: the two names
    // describe the sprite and change nothing.
    entry<luaDescribe>("clipRect"),
    entry<luaCompleteCurrentAnimations>("completeCurrentAnimations"),
    entry<luaGetName>("getName"),
    entry<luaHandleAction>("handleAction"),
    entry<luaHasLuaAnimations>("hasLuaAnimations"),
    entry<luaHeight>("height"),
    entry<luaHittest>("hittest"),
    entry<luaIsAnimating>("isAnimating"),
    entry<luaIsPaused>("isPaused"),
    entry<luaLeft>("left"),
    entry<luaMovePosition>("movePosition"),
    entry<luaRight>("right"),
    entry<luaRotateBy>("rotateBy"),
    entry<luaSetAlphaBalance>("setAlphaBalance"),
    entry<luaSetAlphaDestination>("setAlphaDestination"),
    entry<luaSetCenter>("setCenter"),
    entry<luaDescribe>("setClip"),
    entry<luaSetColorBalance>("setColorBalance"),
    entry<luaSetDestination>("setDestination"),
    entry<luaSetFlipType>("setFlipType"),
    entry<luaSetHasLuaAnimations>("setHasLuaAnimations"),
    entry<luaSetMouseOverCursor>("setMouseOverCursor"),
    entry<luaSetPaused>("setPaused"),
    entry<luaSetPosition>("setPosition"),
    entry<luaSetRotation>("setRotation"),
    entry<luaSetScale>("setScale"),
    entry<luaSetScaleDestination>("setScaleDestination"),
    entry<luaSetSpin>("setSpin"),
    entry<luaShow>("show"),
    entry<luaTop>("top"),
    entry<luaVisible>("visible"),
    entry<luaWidth>("width"),
    entry<luaX>("x"),
    entry<luaY>("y"),
    {nullptr, nullptr},
};

// Copies every key and value of the table at `from` into the table at `to`
// (both absolute indexes).
void copyFields(lua_State* L, int from, int to)
{
    lua_pushnil(L);
    while (lua_next(L, from) != 0) {
        lua_pushvalue(L, -2);
        lua_insert(L, -2);
        lua_rawset(L, to);
    }
}

} // namespace

const luaL_Reg* SpriteBaseLua::methods()
{
    return kMethods;
}

void SpriteBaseLua::connect()
{
    SpriteBase::luaHooks.createLuaTable = &SpriteBaseLua::createTable;
    SpriteBase::luaHooks.releaseLuaTable = &SpriteBaseLua::releaseTable;
    SpriteBase::luaHooks.callLuaNextFrame = &SpriteBaseLua::callNextFrame;
}

void SpriteBaseLua::disconnect()
{
    SpriteBase::luaHooks = SpriteBase::LuaHooks();
}

void SpriteBaseLua::ensureMetatable(lua_State* L)
{
    lua_getfield(L, LUA_REGISTRYINDEX, kMetatable);
    bool exists = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (exists)
        return;
    int top = lua_gettop(L);
    luaL_newmetatable(L, kMetatable);
    int metatable = lua_gettop(L);
    lua_pushvalue(L, metatable);
    lua_setfield(L, metatable, "__index");
    luaL_register(L, nullptr, kMethods);

    std::string path = platform::nativePath("Sprite.lua");
    if (luaL_loadfile(L, path.c_str()) != 0 || ScriptHost::instance->guardedPcall(0, 0, 0, "Sprite.lua") != 0) {
        const char* message = lua_tostring(L, -1);
        platform::StandardError::line(std::string(message ? message : "(error object is not a string)") + "\n");
        lua_pop(L, 1);
    }
    // The script's functions replace natives of the same name. A script that
    // left no table hv.SpriteBase (or no table hv) has nothing to copy.
    lua_getglobal(L, "hv");
    if (lua_istable(L, -1)) {
        lua_pushstring(L, "SpriteBase");
        lua_rawget(L, -2);
        if (lua_istable(L, -1))
            copyFields(L, lua_gettop(L), metatable);
    }
    lua_settop(L, top);
}

void SpriteBaseLua::createTable(SpriteBase* sprite)
{
    lua_State* L = hostState();
    if (!L)
        return;
    ensureMetatable(L);
    sprite->setLuaRef(ScriptHost::instance->bindObject(static_cast<lang::Object*>(sprite), kMetatable));
}

void SpriteBaseLua::releaseTable(SpriteBase* sprite)
{
    int ref = sprite->getLuaRef();
    sprite->setLuaRef(SpriteBase::NO_LUA_REF);
    if (hostState())
        ScriptHost::instance->unbindObject(ref);
}

void SpriteBaseLua::bindClass(SpriteBase* sprite, const char* metatable, const char* baseMetatable,
                              const char* scriptFile, const char* className, const luaL_Reg* methods)
{
    if (sprite->getLuaRef() == SpriteBase::NO_LUA_REF || !hostState())
        return;
    ScriptHost::instance->setupMetatableForClass(metatable, baseMetatable, scriptFile, className, methods);
    ScriptHost::instance->setObjectMetatable(sprite->getLuaRef(), metatable);
}

namespace {

// Pushes the method `name` of the sprite's table and the table after it;
// false (nothing pushed) when the sprite has no table.
bool pushMethodCall(lua_State* L, SpriteBase* sprite, const char* name)
{
    if (sprite->getLuaRef() == SpriteBase::NO_LUA_REF)
        return false;
    lua_rawgeti(L, LUA_REGISTRYINDEX, sprite->getLuaRef());
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        return false;
    }
    lua_getfield(L, -1, name);
    lua_insert(L, -2);
    return true;
}

} // namespace

void SpriteBaseLua::callNextFrame(SpriteBase* sprite, int frame)
{
    lua_State* L = hostState();
    if (!L || !pushMethodCall(L, sprite, "nextFrame"))
        return;
    lua_pushinteger(L, frame);
    ScriptHost::instance->pcallWithTraceback(2, 0);
}

void SpriteBaseLua::callMethod(SpriteBase* sprite, const char* name)
{
    lua_State* L = hostState();
    if (!L || !pushMethodCall(L, sprite, name))
        return;
    ScriptHost::instance->pcallWithTraceback(1, 0);
}

void SpriteBaseLua::pushTable(lua_State* L, SpriteBase* sprite)
{
    if (sprite && sprite->getLuaRef() != SpriteBase::NO_LUA_REF)
        lua_rawgeti(L, LUA_REGISTRYINDEX, sprite->getLuaRef());
    else
        lua_pushnil(L);
}

SpriteBase* SpriteBaseLua::check(lua_State* L, int index, const char* className)
{
    return static_cast<SpriteBase*>(ScriptHost::checkObject(L, index, className, kObjectWord));
}

void SpriteBaseLua::checkCount(lua_State* L, int count, int position, const char* message)
{
    if (lua_gettop(L) != count)
        luaL_argerror(L, position, message);
}

void SpriteBaseLua::checkAtMost(lua_State* L, int count, int position, const char* message)
{
    if (lua_gettop(L) > count)
        luaL_argerror(L, position, message);
}

int SpriteBaseLua::toInt(lua_State* L, int index)
{
    return SpriteBase::toInt(lua_tonumber(L, index));
}

int SpriteBaseLua::alphaByte(lua_State* L, int index)
{
    double factor = lua_tonumber(L, index);
    // Written so that NaN fails the test too.
    if (!(factor >= 0.0 && factor <= 2.0))
        luaL_argerror(L, 3, "invalid argument (must be 0.0 - 2.0)");
    if (factor == 2.0)
        return 255;
    return int(factor * 128.0);
}

void SpriteBaseLua::describeException(char* message, size_t size)
{
    try {
        throw;
    } catch (lang::Exception* e) {
        lang::String text = e->toString();
        std::snprintf(message, size, "%s", text.c_str());
        e->release();
    } catch (const std::exception& e) {
        std::snprintf(message, size, "%s", e.what());
    } catch (...) {
        std::snprintf(message, size, "unknown exception");
    }
}

int SpriteBaseLua::raise(lua_State* L, const char* message)
{
    return luaL_error(L, "%s", message);
}

} // namespace sprite
