// SavedStory.cpp: the saved story text run as data in a table of its own.
#include "game/progress/SavedStory.h"

#include <lua.hpp>

namespace {

// The game's own text is a few dozen assignments of flat tables, run in a
// few hundred steps: these bounds are far beyond it. The steps grow with
// the text, so that a story saved as long as the settings keep it is taken
// back; what a text may build does not: the time and memory of the restore
// (and of every later save) follow the tables and values of the story, not
// the length of its text, and a few bytes of text make a table.
constexpr int kMaxTableDepth = 8;
// Steps between two looks at the budget, and looks allowed: a million
// steps, and four more for each byte of the text.
constexpr int kStepsPerCheck = 1000;
constexpr long kMaxChecks = 1000;
constexpr long kStepsPerByte = 4;
// Memory the text may take beyond what the state held before it ran: the
// longest list a story may hold, built as its save writes it, needs some
// 30 MB.
constexpr long kMaxGrowthMb = 64;
// How large a story may be, in units of what its check costs (the save and
// the second run of what the save writes take about a microsecond a unit
// on a desktop machine): a value counts one, a string (key or value) or a
// table three more, an entry outside its table's list six more. That is
// some 500,000 numbers in a list, 125,000 strings or tables, or 50,000
// entries under names.
constexpr long kMaxStorySize = 500000;
constexpr long kStoryStringSize = 3;
constexpr long kStoryTableSize = 3;
constexpr long kStoryNamedSize = 6;

// The budget of the run in progress (Lua runs on one thread at a time).
struct Budget {
    lua_Alloc alloc;
    void* data;
    long grown;
    long maxGrowth;
    // Set once growth was refused.
    bool exceeded;
    long checks;
    long maxChecks;
};
Budget* s_budget = nullptr;

// Hands every request to the state's own allocator and refuses growth
// beyond the budget, which Lua reports as a memory error.
void* budgetedAlloc(void* ud, void* block, size_t oldSize, size_t newSize)
{
    auto* budget = static_cast<Budget*>(ud);
    if (newSize > oldSize && budget->grown + long(newSize - oldSize) > budget->maxGrowth) {
        budget->exceeded = true;
        return nullptr;
    }
    void* result = budget->alloc(budget->data, block, oldSize, newSize);
    if (result || newSize == 0)
        budget->grown += long(newSize) - long(oldSize);
    return result;
}

void countSteps(lua_State* L, lua_Debug*)
{
    if (s_budget && ++s_budget->checks > s_budget->maxChecks)
        luaL_error(L, "the saved story runs too long");
}

// Whether the value at `index` is plain data, tables of it included, each
// table held in one place only, and the story within its size: `seen` (an
// absolute index) holds the tables met so far, so that each is judged once;
// `size` counts what was met. `why` gets the reason of a no.
bool isPlainData(lua_State* L, int index, int seen, int depth, long& size, std::string& why)
{
    switch (lua_type(L, index)) {
    case LUA_TNUMBER:
    case LUA_TSTRING:
    case LUA_TBOOLEAN:
        return true;
    case LUA_TTABLE:
        break;
    default:
        return false;
    }
    if (depth >= kMaxTableDepth || !lua_checkstack(L, 3)) {
        why = "a story table nested too deeply";
        return false;
    }
    // A table met before is held twice, or holds itself.
    lua_pushvalue(L, index);
    lua_rawget(L, seen);
    const bool met = lua_toboolean(L, -1);
    lua_pop(L, 1);
    if (met) {
        why = "a table held twice in the story, or in itself";
        return false;
    }
    if (lua_getmetatable(L, index)) {
        lua_pop(L, 1);
        return false;
    }
    const int table = index > 0 ? index : lua_gettop(L) + index + 1;
    lua_pushvalue(L, table);
    lua_pushboolean(L, 1);
    lua_rawset(L, seen);
    size += kStoryTableSize;
    const double listLength = double(lua_objlen(L, table));
    lua_pushnil(L);
    while (lua_next(L, table)) {
        const int keyType = lua_type(L, -2);
        const double key = keyType == LUA_TNUMBER ? lua_tonumber(L, -2) : 0;
        const bool listed = keyType == LUA_TNUMBER && key >= 1 && key <= listLength && key == double(long(key));
        size += 1 + (keyType == LUA_TSTRING ? kStoryStringSize : 0) +
                (lua_type(L, -1) == LUA_TSTRING ? kStoryStringSize : 0) + (listed ? 0 : kStoryNamedSize);
        if (size > kMaxStorySize) {
            why = "a story larger than a story may be (over " + std::to_string(kMaxStorySize) +
                  ", where a value counts 1, a string or a table 4, an entry under a name 10)";
            lua_pop(L, 2);
            return false;
        }
        const bool plain = (keyType == LUA_TNUMBER || keyType == LUA_TSTRING || keyType == LUA_TBOOLEAN) &&
                           isPlainData(L, lua_gettop(L), seen, depth + 1, size, why);
        lua_pop(L, 1);
        if (!plain) {
            lua_pop(L, 1);
            return false;
        }
    }
    return true;
}

// Runs the compiled text on top of the stack in the table `env`, with the
// string methods hidden and within the budget; false with the error message
// on top of the stack, and `tooLarge` set when the text would have built
// more than its memory allows.
bool runBudgeted(lua_State* L, int env, size_t length, bool& tooLarge)
{
    lua_pushvalue(L, env);
    lua_setfenv(L, -2);

    // Strings find their methods through one shared metatable; the text
    // needs none of them ("x"):rep(n) is how a text would fill the memory).
    lua_pushliteral(L, "");
    const bool haveStringMeta = lua_getmetatable(L, -1) != 0;
    int meta = 0;
    if (haveStringMeta) {
        lua_remove(L, -2);
        meta = lua_gettop(L);
        lua_getfield(L, meta, "__index");
        lua_pushnil(L);
        lua_setfield(L, meta, "__index");
        lua_pushvalue(L, meta - 1);
    } else {
        lua_pop(L, 1);
        lua_pushvalue(L, -1);
    }

    Budget budget{};
    budget.maxGrowth = kMaxGrowthMb << 20;
    budget.maxChecks = kMaxChecks + kStepsPerByte * long(length) / kStepsPerCheck;
    budget.alloc = lua_getallocf(L, &budget.data);
    lua_Hook oldHook = lua_gethook(L);
    const int oldMask = lua_gethookmask(L);
    const int oldCount = lua_gethookcount(L);
    s_budget = &budget;
    lua_setallocf(L, budgetedAlloc, &budget);
    lua_sethook(L, countSteps, LUA_MASKCOUNT, kStepsPerCheck);
    const bool ok = lua_pcall(L, 0, 0, 0) == 0;
    lua_sethook(L, oldHook, oldMask, oldCount);
    lua_setallocf(L, budget.alloc, budget.data);
    s_budget = nullptr;
    tooLarge = !ok && budget.exceeded;
    if (tooLarge) {
        lua_pop(L, 1);
        lua_pushfstring(L, "a story that needs more than %d MB", int(kMaxGrowthMb));
    }

    if (haveStringMeta) {
        // Above the text's function: the metatable and its saved methods.
        lua_pushvalue(L, meta + 1);
        lua_setfield(L, meta, "__index");
        if (!ok)
            lua_replace(L, meta - 1);
        lua_settop(L, ok ? meta - 2 : meta - 1);
        return ok;
    }
    if (!ok)
        lua_replace(L, -2);
    else
        lua_pop(L, 1);
    return ok;
}

// The Lua registry's field holding the fresh game's story table.
const char kFreshStoryField[] = "hv.freshStory";
// Tables nested deeper than this are shared by a copy, not copied.
constexpr int kMaxCopyDepth = 64;

// Pushes a copy of the value at the absolute index `index`: tables deeply,
// each one once (`seen` maps each table copied to its copy, so tables held
// twice, or holding themselves, are so in the copy too), anything else as
// it is.
void copyStoryValue(lua_State* L, int index, int seen, int depth)
{
    if (!lua_istable(L, index) || depth > kMaxCopyDepth || !lua_checkstack(L, 6)) {
        lua_pushvalue(L, index);
        return;
    }
    lua_pushvalue(L, index);
    lua_rawget(L, seen);
    if (!lua_isnil(L, -1))
        return;
    lua_pop(L, 1);
    lua_newtable(L);
    const int copy = lua_gettop(L);
    lua_pushvalue(L, index);
    lua_pushvalue(L, copy);
    lua_rawset(L, seen);
    if (lua_getmetatable(L, index))
        lua_setmetatable(L, copy);
    lua_pushnil(L);
    while (lua_next(L, index)) {
        const int value = lua_gettop(L);
        copyStoryValue(L, value - 1, seen, depth + 1);
        copyStoryValue(L, value, seen, depth + 1);
        lua_rawset(L, copy);
        lua_pop(L, 1);
    }
}

// Pushes a copy of the value at the absolute index `index`.
void copyStory(lua_State* L, int index)
{
    lua_newtable(L);
    const int seen = lua_gettop(L);
    copyStoryValue(L, index, seen, 0);
    lua_remove(L, seen);
}

// Runs the text in a table of its own that holds nothing but a fresh LF;
// RESTORED leaves that LF on the stack, anything else leaves the stack as
// it was.
SavedStory::Result runStory(lua_State* L, const char* text, size_t length, std::string& message)
{
    const int top = lua_gettop(L);
    // Precompiled chunks start with the escape character; a text never does.
    if (length > 0 && text[0] == LUA_SIGNATURE[0]) {
        message = "a precompiled chunk";
        return SavedStory::REFUSED;
    }
    lua_newtable(L);
    const int env = lua_gettop(L);
    lua_newtable(L);
    lua_setfield(L, env, "LF");

    bool tooLarge = false;
    if (luaL_loadbuffer(L, length ? text : "", length, "LF") != 0 || !runBudgeted(L, env, length, tooLarge)) {
        const char* error = lua_tostring(L, -1);
        message = error ? error : "(error object is not a string)";
        lua_settop(L, top);
        return tooLarge ? SavedStory::REFUSED : SavedStory::FAILED;
    }
    // The text may leave only the story table, and only data in it.
    SavedStory::Result result = SavedStory::RESTORED;
    lua_newtable(L);
    const int seen = lua_gettop(L);
    std::string why = "a story table that is not plain data";
    long size = 0;
    lua_pushnil(L);
    while (result == SavedStory::RESTORED && lua_next(L, env)) {
        const char* name = lua_type(L, -2) == LUA_TSTRING ? lua_tostring(L, -2) : nullptr;
        if (!name || std::string(name) != "LF") {
            message = "a value beside the story table";
            result = SavedStory::REFUSED;
        } else if (!lua_istable(L, -1) || !isPlainData(L, -1, seen, 0, size, why)) {
            message = why;
            result = SavedStory::REFUSED;
        }
        lua_pop(L, 1);
    }
    // "LF = nil" leaves no story at all: nothing to restore from.
    lua_getfield(L, env, "LF");
    if (result == SavedStory::RESTORED && !lua_istable(L, -1)) {
        message = "no story table";
        result = SavedStory::REFUSED;
    }
    lua_replace(L, top + 1);
    lua_settop(L, result == SavedStory::RESTORED ? top + 1 : top);
    return result;
}

} // namespace

void SavedStory::keepFresh(lua_State* L)
{
    lua_getglobal(L, "LF");
    copyStory(L, lua_gettop(L));
    lua_setfield(L, LUA_REGISTRYINDEX, kFreshStoryField);
    lua_pop(L, 1);
}

void SavedStory::makeFresh(lua_State* L)
{
    lua_getfield(L, LUA_REGISTRYINDEX, kFreshStoryField);
    copyStory(L, lua_gettop(L));
    lua_setglobal(L, "LF");
    lua_pop(L, 1);
}

SavedStory::Result SavedStory::restore(lua_State* L, const char* text, size_t length, std::string& message,
                                       const SaveText& save, size_t maxSaved)
{
    const int top = lua_gettop(L);
    message.clear();
    lua_checkstack(L, 16);
    Result result = runStory(L, text, length, message);
    if (result != RESTORED) {
        lua_settop(L, top);
        return result;
    }
    const int saved = lua_gettop(L);
    lua_getglobal(L, "LF");
    const int before = lua_gettop(L);
    if (!lua_istable(L, before)) {
        lua_newtable(L);
        lua_pushvalue(L, -1);
        lua_setglobal(L, "LF");
    } else {
        lua_pushvalue(L, before);
    }
    const int story = lua_gettop(L);
    // What the story held under the saved names, to put back when the
    // story taken cannot be saved.
    lua_newtable(L);
    const int replaced = lua_gettop(L);
    lua_pushnil(L);
    while (lua_next(L, saved)) {
        lua_pushvalue(L, -2);
        lua_pushvalue(L, -1);
        lua_rawget(L, story);
        lua_rawset(L, replaced);
        lua_pushvalue(L, -2);
        lua_insert(L, -2);
        lua_rawset(L, story);
    }
    if (save) {
        // The story taken is saved as its save writes it, within what the
        // settings keep, and that text is taken back.
        std::string savedText;
        std::string why;
        if (!save(savedText, why))
            message = "a story its save cannot write: " + why;
        else if (savedText.size() > maxSaved)
            message = "a story whose save is longer than a story taken may be (" + std::to_string(savedText.size()) +
                      " bytes, over " + std::to_string(maxSaved) + ")";
        else if (runStory(L, savedText.data(), savedText.size(), why) != RESTORED)
            message = "a story whose save is not taken back (" + why + ")";
        if (!message.empty()) {
            result = REFUSED;
            lua_pushnil(L);
            while (lua_next(L, saved)) {
                lua_pop(L, 1);
                lua_pushvalue(L, -1);
                lua_pushvalue(L, -1);
                lua_rawget(L, replaced);
                lua_rawset(L, story);
            }
            lua_pushvalue(L, before);
            lua_setglobal(L, "LF");
        }
    }
    lua_settop(L, top);
    return result;
}
