// LuaRun.h: runs a piece of Lua code for a test, in protected mode.
#pragma once

#include <lua.hpp>

#include <string>

namespace testsupport {

// The error message, or "" when the code ran; the stack is left as it was.
inline std::string runLua(lua_State* L, const std::string& code)
{
    const int top = lua_gettop(L);
    std::string error;
    if (luaL_loadstring(L, code.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0) {
        const char* m = lua_tostring(L, -1);
        error = m ? m : "?";
    }
    lua_settop(L, top);
    return error;
}

} // namespace testsupport
