// Utility.cpp: the Utility module and its resource-text function.
#include "sprites/script/Utility.h"

#include "core/lang/String.h"
#include "platform/files/Files.h"
#include "platform/kernel/StandardError.h"
#include "sprites/script/ScriptHost.h"

#include <lua.hpp>

#include <string>

namespace {

// The mark in a state's registry that the module was registered there.
const char kRegisteredMark[] = "hv.Utility";

} // namespace

Utility* Utility::instance()
{
    static Utility* module = new Utility;
    ScriptHost* host = ScriptHost::instance;
    lua_State* L = host ? host->getState() : nullptr;
    if (L) {
        lua_getfield(L, LUA_REGISTRYINDEX, kRegisteredMark);
        bool registered = !lua_isnil(L, -1);
        lua_pop(L, 1);
        if (!registered)
            module->registerLua();
    }
    return module;
}

void Utility::registerLua()
{
    ScriptHost* host = ScriptHost::instance;
    lua_State* L = host ? host->getState() : nullptr;
    if (!L)
        return;
    // Marked first: a script that fails is not run again.
    lua_pushboolean(L, 1);
    lua_setfield(L, LUA_REGISTRYINDEX, kRegisteredMark);
    int top = lua_gettop(L);
    std::string path = platform::nativePath("Utility.lua");
    if (luaL_loadfile(L, path.c_str()) != 0 || host->guardedPcall(0, 0, 0, "Utility.lua") != 0) {
        const char* message = lua_tostring(L, -1);
        platform::StandardError::line(std::string(message ? message : "(error object is not a string)") + "\n");
        lua_settop(L, top);
        return;
    }
    lua_getglobal(L, "hv");
    bool usable = lua_istable(L, -1) || lua_isnil(L, -1);
    lua_pop(L, 1);
    if (!usable) {
        // luaL_register would raise an error outside any protected call.
        platform::StandardError::line("Utility.lua: the global hv is not a table\n");
        return;
    }
    static const luaL_Reg functions[] = {{"getResourceString", getResourceString}, {nullptr, nullptr}};
    luaL_register(L, "hv", functions);
    lua_settop(L, top);
}

int Utility::getResourceString(lua_State* L)
{
    // Checked before any C++ object exists: an argument error jumps out.
    const char* key = luaL_checkstring(L, 1);
    lang::String text = lang::String::loadText(key);
    lua_pushlstring(L, text.c_str(), size_t(text.length()));
    return 1;
}
