// LuaRecorder.h: records calls into Lua: functions defined at chosen paths
// ("LF_save", "rooms.Hall.onEnter") note their name and arguments, and the
// global function record(...) notes its arguments; calls may come from the
// loader thread and the window thread.
#pragma once

#include <mutex>
#include <string>
#include <vector>

struct lua_State;

namespace testsupport {

class LuaRecorder {
public:
    // Defines record(...) in the state.
    void attach(lua_State* L);
    // Defines a recording function at the dotted path, making the tables on
    // the way; it returns nothing.
    void define(const std::string& path);

    // "name(arg, arg)" per call in order: numbers as "%.14g", strings
    // quoted, tables as "table", booleans, nil; record(...)'s as "record(...)".
    std::vector<std::string> calls() const;
    // How many calls began with `prefix`.
    int count(const std::string& prefix) const;
    void clear();

private:
    static int recordCall(lua_State* L);
    void add(const std::string& call);

    lua_State* m_pState = nullptr;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
};

} // namespace testsupport
