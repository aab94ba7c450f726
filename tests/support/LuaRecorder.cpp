// LuaRecorder.cpp: recording Lua functions.
#include "tests/support/LuaRecorder.h"

#include <lua.hpp>

#include <cstdio>

namespace testsupport {

void LuaRecorder::attach(lua_State* L)
{
    m_pState = L;
    if (L)
        define("record");
}

void LuaRecorder::define(const std::string& path)
{
    lua_State* L = m_pState;
    if (!L)
        return;
    // Walk (and make) the tables of the path up to its last part.
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    size_t start = 0;
    for (size_t dot = path.find('.'); dot != std::string::npos; dot = path.find('.', start)) {
        const std::string part = path.substr(start, dot - start);
        lua_getfield(L, -1, part.c_str());
        if (!lua_istable(L, -1)) {
            lua_pop(L, 1);
            lua_newtable(L);
            lua_pushvalue(L, -1);
            lua_setfield(L, -3, part.c_str());
        }
        lua_remove(L, -2);
        start = dot + 1;
    }
    lua_pushlightuserdata(L, this);
    lua_pushstring(L, path.c_str());
    lua_pushcclosure(L, recordCall, 2);
    lua_setfield(L, -2, path.substr(start).c_str());
    lua_pop(L, 1);
}

int LuaRecorder::recordCall(lua_State* L)
{
    auto* self = static_cast<LuaRecorder*>(lua_touserdata(L, lua_upvalueindex(1)));
    std::string call = lua_tostring(L, lua_upvalueindex(2));
    call += "(";
    for (int i = 1; i <= lua_gettop(L); ++i) {
        if (i > 1)
            call += ", ";
        switch (lua_type(L, i)) {
        case LUA_TNUMBER: {
            char text[40];
            std::snprintf(text, sizeof text, "%.14g", lua_tonumber(L, i));
            call += text;
            break;
        }
        case LUA_TSTRING:
            call += std::string("\"") + lua_tostring(L, i) + "\"";
            break;
        case LUA_TBOOLEAN:
            call += lua_toboolean(L, i) ? "true" : "false";
            break;
        case LUA_TNIL:
            call += "nil";
            break;
        default:
            call += lua_typename(L, lua_type(L, i));
            break;
        }
    }
    call += ")";
    self->add(call);
    return 0;
}

void LuaRecorder::add(const std::string& call)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.push_back(call);
}

std::vector<std::string> LuaRecorder::calls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

int LuaRecorder::count(const std::string& prefix) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int n = 0;
    for (const std::string& call : m_calls)
        n += call.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
}

void LuaRecorder::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.clear();
}

} // namespace testsupport
