// Fuzzes the restore of a saved story: the input is the text a profile
// keeps. Whatever it holds, the restore must leave the Lua stack, the
// string methods and the hooks as they were, make no global but the story
// table, and a story it takes must be a table of plain data.
#include "game/progress/SavedStory.h"

#include <lua.hpp>

#include <cstdint>
#include <string>

namespace {

// Plain data, as the restore defines it, at most `depth` tables deep.
bool fuzzStoryIsPlain(lua_State* L, int index, int depth)
{
    const int type = lua_type(L, index);
    if (type == LUA_TNUMBER || type == LUA_TSTRING || type == LUA_TBOOLEAN)
        return true;
    if (type != LUA_TTABLE || depth > 9 || lua_getmetatable(L, index))
        return false;
    bool plain = true;
    lua_pushnil(L);
    while (plain && lua_next(L, index)) {
        const int key = lua_type(L, -2);
        plain = (key == LUA_TNUMBER || key == LUA_TSTRING || key == LUA_TBOOLEAN) &&
                fuzzStoryIsPlain(L, lua_gettop(L), depth + 1);
        lua_pop(L, 1);
    }
    if (!plain)
        lua_pop(L, 1);
    return plain;
}

int fuzzStoryGlobalCount(lua_State* L)
{
    int count = 0;
    lua_pushnil(L);
    while (lua_next(L, LUA_GLOBALSINDEX)) {
        ++count;
        lua_pop(L, 1);
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    // The story table the game holds before a profile is read.
    luaL_dostring(L, "LF = {chapter = 1, seen = {1, 0}}");
    const int globals = fuzzStoryGlobalCount(L);

    std::string message;
    const SavedStory::Result result =
        SavedStory::restore(L, reinterpret_cast<const char*>(data), size, message);

    if (lua_gettop(L) != 0 || lua_gethook(L) != nullptr || fuzzStoryGlobalCount(L) != globals)
        __builtin_trap();
    if (luaL_dostring(L, "assert(('a'):upper() == 'A')") != 0)
        __builtin_trap();
    lua_getglobal(L, "LF");
    if (!lua_istable(L, -1) || (result == SavedStory::RESTORED && !fuzzStoryIsPlain(L, 1, 0)))
        __builtin_trap();
    if (result != SavedStory::RESTORED && message.empty())
        __builtin_trap();
    lua_close(L);
    return 0;
}
