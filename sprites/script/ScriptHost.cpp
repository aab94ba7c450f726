// ScriptHost.cpp: the Lua state, script errors, class metatables, object
// binding and calls by name.
#include "sprites/script/ScriptHost.h"

#include "platform/files/Files.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/kernel/Thread.h"
#include "platform/user/Backend.h"
#include "platform/user/MessageBox.h"

#include <lua.hpp>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <new>
#include <string>

ScriptHost* ScriptHost::instance = nullptr;

namespace {

// The process's host, made by the static initialisers before main; when it
// cannot be allocated the instance stays null.
ScriptHost* const s_processHost = new (std::nothrow) ScriptHost;

const char kObjectField[] = "__c++";

// The Lua instructions between two looks at the clock.
constexpr int kGuardInstructions = 10000;
// A call that runs this long starts to look for the window's close (the
// window's thread may be the one it keeps busy), then this often.
constexpr int64_t kGuardFirstWindowLookUs = 250000;
constexpr int64_t kGuardWindowLookUs = 100000;

std::atomic<int> guardTimeLimitMs{ScriptHost::DEFAULT_TIME_LIMIT_MS};
// Close requests so far; a call begun before the close stops when one came
// after it began.
std::atomic<unsigned> guardCloseRequests{0};
std::atomic<bool> guardClosing{false};
std::atomic<bool> guardRefusing{false};
// The running time of the calls made since the close was requested (their
// threads' processor time, in microseconds, of the calls that have ended).
std::atomic<int64_t> guardCloseRanUs{0};
// The system id of the thread making the call under way (0: none), for
// other threads to see.
std::atomic<long> guardCallThread{0};

// The outermost guarded call under way (Lua runs on one thread at a time).
struct ScriptGuard {
    int depth = 0;
    // The state's main thread; the hook may run on one of its coroutines.
    lua_State* main = nullptr;
    std::string name;
    int64_t startUs = 0;
    int64_t nextWindowLookUs = 0;
    unsigned closeRequestsAtStart = 0;
    unsigned windowClosesAtStart = 0;
    // Whether the call began once the game was closing: it is one of the
    // close's own (its save), which runs on the time the closing game gives
    // its scripts, and a later close request neither stops it nor gives it
    // more.
    bool closingAtStart = false;
    // Set once the call is being stopped: every instruction raises the
    // error from then on, so that a script that catches it goes no further.
    enum Stop { RUNNING, TOO_LONG, CLOSING } stop = RUNNING;
};
ScriptGuard scriptGuard;

// Whether the time the closing game gives its scripts is over: their own
// running time counts, the call under way on this thread included, not the
// time they wait or the machine keeps them waiting (nor the save's writing
// between them).
bool guardCloseTimeOver()
{
    if (!guardClosing)
        return false;
    int64_t ran = guardCloseRanUs.load();
    if (scriptGuard.depth > 0 && scriptGuard.closingAtStart)
        ran += ScriptHost::threadMicroseconds() - scriptGuard.startUs;
    return ran >= int64_t(ScriptHost::CLOSE_TIME_LIMIT_MS) * 1000;
}

// The window's close waits in the backend while the window's thread runs
// the script: the backend is asked for its events (only on the thread that
// takes them) and the close is counted.
bool guardWindowClosed()
{
    platform::WindowBackend& backend = platform::windowBackend();
    if (backend.pumpInterval() >= 0)
        backend.pump();
    return platform::events::closeRequestCount() != scriptGuard.windowClosesAtStart;
}

void guardHook(lua_State* L, lua_Debug*);

// Stops the call in the thread `L` runs: from now on it and the main thread
// raise the error at each of their instructions, so a script that catches
// it (with pcall) finds it again at once, in this thread or the one it
// returns to (guardedResume stops every other thread).
int guardRaise(lua_State* L)
{
    const ScriptGuard& guard = scriptGuard;
    lua_sethook(L, guardHook, LUA_MASKCOUNT, 1);
    if (guard.main && guard.main != L)
        lua_sethook(guard.main, guardHook, LUA_MASKCOUNT, 1);
    if (guard.stop == ScriptGuard::TOO_LONG)
        return luaL_error(L, "%s ran for more than %d ms and was stopped", guard.name.c_str(),
                          guardTimeLimitMs.load());
    return luaL_error(L, "%s was stopped: the game is closing", guard.name.c_str());
}

void guardHook(lua_State* L, lua_Debug*)
{
    ScriptGuard& guard = scriptGuard;
    if (guard.depth == 0) {
        // A coroutine kept from a call that has ended, resumed outside any.
        lua_sethook(L, nullptr, 0, 0);
        return;
    }
    if (guard.stop == ScriptGuard::RUNNING) {
        // A coroutine left with a stopped call's hook looks at the clock as
        // seldom as any other again.
        if (lua_gethookcount(L) != kGuardInstructions)
            lua_sethook(L, guardHook, LUA_MASKCOUNT, kGuardInstructions);
        const int64_t ran = ScriptHost::threadMicroseconds() - guard.startUs;
        const bool requestSince = guardCloseRequests.load() != guard.closeRequestsAtStart;
        if ((requestSince && !guard.closingAtStart) || guardRefusing || guardCloseTimeOver()) {
            guard.stop = ScriptGuard::CLOSING;
        } else if (ran > int64_t(guardTimeLimitMs.load()) * 1000) {
            guard.stop = ScriptGuard::TOO_LONG;
        } else if (!guard.closingAtStart && ran >= guard.nextWindowLookUs) {
            // The close's own calls need no look: the game closes already.
            guard.nextWindowLookUs = ran + kGuardWindowLookUs;
            if (guardWindowClosed()) {
                ScriptHost::requestClose();
                guard.stop = ScriptGuard::CLOSING;
            }
        }
        if (guard.stop == ScriptGuard::RUNNING)
            return;
    }
    guardRaise(L);
}

// Whether the call under way has been stopped.
bool guardStopped()
{
    return scriptGuard.depth > 0 && scriptGuard.stop != ScriptGuard::RUNNING;
}

// The library's own functions that the guarded ones below stand for (the
// same in every state): the scripts reach them only through those.
std::atomic<lua_CFunction> libraryResume{nullptr};
std::atomic<lua_CFunction> libraryCreate{nullptr};
std::atomic<lua_CFunction> libraryTraceback{nullptr};

// coroutine.resume within the guard. A coroutine runs under the guard's
// hook (one made outside any call has none); once the call is stopped none
// is resumed, and the thread that resumed one is stopped as soon as it has
// control again. So after a stop no thread of the state runs on, however
// its coroutines nest and catch, nor does one made after it: a new
// coroutine takes its maker's hook, which raises at once.
int guardedResume(lua_State* L)
{
    lua_State* co = lua_tothread(L, 1);
    if (scriptGuard.depth > 0) {
        if (scriptGuard.stop != ScriptGuard::RUNNING)
            return guardRaise(L);
        if (co && lua_gethook(co) != guardHook)
            lua_sethook(co, guardHook, LUA_MASKCOUNT, kGuardInstructions);
    }
    // The library's resume, run in this call: its results are this call's.
    const int results = libraryResume.load()(L);
    if (guardStopped())
        return guardRaise(L);
    return results;
}

// A function made by coroutine.wrap: resumes its coroutine (the upvalue) as
// guardedResume does, and the coroutine's error becomes the caller's, with
// the caller's place, as the library's own.
int guardedWrapped(lua_State* L)
{
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    const int results = guardedResume(L);
    if (lua_toboolean(L, -results))
        return results - 1;
    if (lua_isstring(L, -1)) {
        luaL_where(L, 1);
        lua_insert(L, -2);
        lua_concat(L, 2);
    }
    return lua_error(L);
}

int guardedWrap(lua_State* L)
{
    libraryCreate.load()(L);
    lua_pushcclosure(L, guardedWrapped, 1);
    return 1;
}

// A message handler (the upvalue) within the guard. The guard raises its
// error from its hook, where Lua runs no hooks, so a handler of the script
// would run unguarded: once the call is stopped the message goes on as it
// is, through the library's traceback at most, which runs no script.
int guardedHandler(lua_State* L)
{
    lua_pushvalue(L, lua_upvalueindex(1));
    if (guardStopped() && lua_tocfunction(L, -1) != libraryTraceback.load()) {
        lua_settop(L, 1);
        return 1;
    }
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, 1);
    return 1;
}

// Puts guardedHandler around the handler at the absolute index `index`.
void guardHandlerAt(lua_State* L, int index)
{
    lua_pushvalue(L, index);
    lua_pushcclosure(L, guardedHandler, 1);
    lua_replace(L, index);
}

// xpcall with its handler within the guard.
int guardedXpcall(lua_State* L)
{
    luaL_checkany(L, 2);
    lua_settop(L, 2);
    guardHandlerAt(L, 2);
    lua_insert(L, 1);
    const int status = lua_pcall(L, 0, LUA_MULTRET, 1);
    lua_pushboolean(L, status == 0);
    lua_replace(L, 1);
    return lua_gettop(L);
}

// Sets the fields named in `names` of the table at the top of the stack to nil.
void removeFields(lua_State* L, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        lua_pushnil(L);
        lua_setfield(L, -2, name);
    }
}

// Leaves the scripts nothing that switches the guard off or runs script
// code outside it: no hook setter; no finalizer of theirs (Lua calls one
// with hooks off), so no proxy and no way to the file handles' metatable or
// their environments; no native library that would bring either back. The
// coroutine functions and xpcall are replaced by guarded ones.
void guardEnvironment(lua_State* L)
{
    lua_getglobal(L, "debug");
    if (lua_istable(L, -1)) {
        lua_getfield(L, -1, "traceback");
        libraryTraceback = lua_tocfunction(L, -1);
        lua_pop(L, 1);
        removeFields(L, {"sethook", "getregistry", "getmetatable", "setmetatable", "getfenv", "setfenv"});
    }
    lua_pop(L, 1);
    lua_pushnil(L);
    lua_setglobal(L, "newproxy");

    // require keeps its preload and script searchers, not the third and
    // fourth, which load native libraries.
    lua_getglobal(L, "package");
    if (lua_istable(L, -1)) {
        removeFields(L, {"loadlib"});
        lua_getfield(L, -1, "loaders");
        if (lua_istable(L, -1)) {
            for (int i = 4; i >= 3; --i) {
                lua_pushnil(L);
                lua_rawseti(L, -2, i);
            }
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);

    // The file handles keep their metatable to themselves; their methods
    // are found in a table of their own.
    luaL_getmetatable(L, LUA_FILEHANDLE);
    if (lua_istable(L, -1)) {
        lua_newtable(L);
        lua_pushnil(L);
        while (lua_next(L, -3)) {
            if (lua_type(L, -2) == LUA_TSTRING && std::strncmp(lua_tostring(L, -2), "__", 2) != 0) {
                lua_pushvalue(L, -2);
                lua_insert(L, -2);
                lua_rawset(L, -4);
            } else {
                lua_pop(L, 1);
            }
        }
        lua_setfield(L, -2, "__index");
        lua_pushboolean(L, 0);
        lua_setfield(L, -2, "__metatable");
    }
    lua_pop(L, 1);

    lua_getglobal(L, "coroutine");
    if (lua_istable(L, -1)) {
        lua_getfield(L, -1, "resume");
        libraryResume = lua_tocfunction(L, -1);
        lua_getfield(L, -2, "create");
        libraryCreate = lua_tocfunction(L, -1);
        lua_pop(L, 2);
        lua_pushcfunction(L, guardedResume);
        lua_setfield(L, -2, "resume");
        lua_pushcfunction(L, guardedWrap);
        lua_setfield(L, -2, "wrap");
    }
    lua_pop(L, 1);
    lua_register(L, "xpcall", guardedXpcall);
}

// "the function at <script>:<line>" for the function at `index`.
std::string functionPlace(lua_State* L, int index)
{
    lua_Debug info{};
    lua_pushvalue(L, index);
    if (!lua_isfunction(L, -1) || !lua_getinfo(L, ">S", &info)) {
        lua_pop(L, 1);
        return "a script call";
    }
    return std::string("the function at ") + info.short_src + ":" + std::to_string(info.linedefined);
}

} // namespace

void ScriptHost::setTimeLimit(int ms)
{
    guardTimeLimitMs = ms > 0 ? ms : DEFAULT_TIME_LIMIT_MS;
}

void ScriptHost::requestClose()
{
    // The calls from the first request on share the time the closing game
    // gives its scripts; a later request gives no more.
    guardClosing = true;
    ++guardCloseRequests;
}

bool ScriptHost::isClosing()
{
    return guardClosing;
}

long ScriptHost::runningThread()
{
    return guardCallThread;
}

int64_t ScriptHost::threadMicroseconds(long thread)
{
    // A thread's own clock is named after its system id, as the system's
    // thread library names it: the id's complement shifted by three bits,
    // 4 (a thread's clock, not a process's) and 2 (its scheduler's count).
    const clockid_t clock =
        thread == 0 ? CLOCK_THREAD_CPUTIME_ID : clockid_t((~uint32_t(thread) << 3) | 4u | 2u);
    timespec now{};
    if (::clock_gettime(clock, &now) != 0)
        return -1;
    return int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void ScriptHost::leaveCallUnderWay()
{
    scriptGuard = ScriptGuard();
    guardCallThread = 0;
}

void ScriptHost::refuseScripts(bool refuse)
{
    guardRefusing = refuse;
}

void ScriptHost::clearClose()
{
    guardClosing = false;
    guardRefusing = false;
    guardCloseRanUs = 0;
}

int ScriptHost::guardedPcall(int nargs, int nresults, int handler, const char* name)
{
    lua_State* L = m_pState;
    if (guardRefusing || guardCloseTimeOver()) {
        lua_pop(L, nargs + 1);
        lua_pushfstring(L, "%s was not run: the game is closing", name ? name : "a script");
        return LUA_ERRRUN;
    }
    ScriptGuard& guard = scriptGuard;
    if (guard.depth++ == 0) {
        guard.main = L;
        guard.name = name ? name : functionPlace(L, lua_gettop(L) - nargs);
        guard.startUs = ScriptHost::threadMicroseconds();
        guard.nextWindowLookUs = kGuardFirstWindowLookUs;
        guard.closeRequestsAtStart = guardCloseRequests.load();
        guard.windowClosesAtStart = platform::events::closeRequestCount();
        guard.stop = ScriptGuard::RUNNING;
        guard.closingAtStart = guardClosing;
        guardCallThread = platform::systemThreadId();
        lua_sethook(L, guardHook, LUA_MASKCOUNT, kGuardInstructions);
    }
    if (handler != 0)
        guardHandlerAt(L, handler);
    const int status = lua_pcall(L, nargs, nresults, handler);
    if (--guard.depth == 0) {
        lua_sethook(L, nullptr, 0, 0);
        if (guard.closingAtStart)
            guardCloseRanUs += ScriptHost::threadMicroseconds() - guard.startUs;
        guardCallThread = 0;
    }
    return status;
}

ScriptHost::ScriptHost() : m_pState(nullptr), m_scriptsRun(10)
{
    instance = this;
    m_pState = luaL_newstate();
    if (!m_pState)
        return;
    lua_pushcfunction(m_pState, luaAlert);
    lua_setglobal(m_pState, "_ALERT");
    lua_atpanic(m_pState, luaPanic);
    luaL_openlibs(m_pState);
    guardEnvironment(m_pState);
}

ScriptHost::~ScriptHost()
{
    if (m_pState)
        lua_close(m_pState);
    if (instance == this)
        instance = nullptr;
}

void ScriptHost::showScriptError(const char* title, lua_State* L)
{
    // The scripts refused while the loader is stopped are no news.
    if (guardRefusing)
        return;
    const char* message = lua_gettop(L) > 0 ? lua_tostring(L, -1) : "";
    if (!message)
        message = "(error object is not a string)";
    std::string line;
    if (title) {
        line = title;
        line += ": ";
    }
    line += message;
    line += "\n";
    OutputDebugStringA(line.c_str());
    // Nobody is left to read a box while the game closes.
    if (!guardClosing)
        MessageBoxA(nullptr, message, title ? title : "Script Error", MB_OK);
}

int ScriptHost::luaAlert(lua_State* L)
{
    showScriptError("Lua Alert", L);
    return 0;
}

int ScriptHost::luaPanic(lua_State* L)
{
    showScriptError("Lua Panic", L);
    return 0;
}

bool ScriptHost::pcallWithTraceback(int nargs, int nresults, const char* name)
{
    lua_State* L = m_pState;
    if (!L)
        return false;
    int function = lua_gettop(L) - nargs;
    auto abandon = [&]() {
        lua_settop(L, function - 1);
        for (int i = 0; i < nresults; ++i)
            lua_pushnil(L);
        return false;
    };

    lua_getglobal(L, "debug");
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        return abandon();
    }
    lua_getfield(L, -1, "traceback");
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 2);
        return abandon();
    }
    lua_remove(L, -2);
    lua_insert(L, function);
    if (guardedPcall(nargs, nresults, function, name) != 0) {
        showScriptError(nullptr, L);
        // The message and the handler go; nils stand in for the results.
        lua_pop(L, 2);
        for (int i = 0; i < nresults; ++i)
            lua_pushnil(L);
        return false;
    }
    // The handler lies under the results.
    lua_remove(L, function);
    return true;
}

int ScriptHost::runScriptFile(const char* fileName, int remember)
{
    lua_State* L = m_pState;
    if (!L)
        return 1;
    std::string path = platform::nativePath(fileName);
    if (luaL_loadfile(L, path.c_str()) != 0 || guardedPcall(0, 0, 0, fileName) != 0) {
        showScriptError("runScriptFile", L);
        lua_pop(L, 1);
        return 1;
    }
    if (remember == 1) {
        lang::String* name = new lang::String(fileName);
        m_scriptsRun.addElement(name);
        name->release();
    }
    return 0;
}

int ScriptHost::runScriptBuffer(const char* buffer, size_t size, const char* chunkName, const char* errorTitle)
{
    lua_State* L = m_pState;
    if (!L)
        return 1;
    if (luaL_loadbuffer(L, buffer, size, chunkName) != 0 || guardedPcall(0, 0, 0, chunkName) != 0) {
        showScriptError(errorTitle, L);
        lua_pop(L, 1);
        return 1;
    }
    return 0;
}

void ScriptHost::copyTable(lua_State* L, int from, int to)
{
    lua_pushnil(L);
    while (lua_next(L, from) != 0) {
        lua_pushvalue(L, -2);
        lua_insert(L, -2);
        lua_rawset(L, to);
    }
}

int ScriptHost::setupMetatableForClass(const char* metatableName, const char* baseMetatableName,
                                       const char* scriptFile, const char* className, const luaL_Reg* methods)
{
    lua_State* L = m_pState;
    if (!L)
        return 1;
    lua_getfield(L, LUA_REGISTRYINDEX, metatableName);
    bool exists = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (exists)
        return 0;

    int top = lua_gettop(L);
    luaL_newmetatable(L, metatableName);
    int metatable = lua_gettop(L);
    if (baseMetatableName) {
        lua_getfield(L, LUA_REGISTRYINDEX, baseMetatableName);
        if (lua_istable(L, -1))
            copyTable(L, lua_gettop(L), metatable);
        lua_pop(L, 1);
    }

    std::string path = platform::nativePath(scriptFile);
    if (luaL_loadfile(L, path.c_str()) != 0 || guardedPcall(0, 0, 0, scriptFile) != 0) {
        showScriptError("setupMetatableForClass", L);
        lua_settop(L, top);
        return 1;
    }

    // The class table the script made, when it made one.
    int classTable = 0;
    lua_getglobal(L, "hv");
    if (lua_istable(L, -1)) {
        lua_getfield(L, -1, className);
        if (lua_istable(L, -1)) {
            classTable = lua_gettop(L);
            copyTable(L, classTable, metatable);
        }
    }

    lua_pushvalue(L, metatable);
    lua_setfield(L, metatable, "__index");
    if (methods) {
        lua_pushvalue(L, metatable);
        luaL_register(L, nullptr, methods);
        lua_pop(L, 1);
    }
    if (classTable) {
        lua_pushvalue(L, metatable);
        lua_setmetatable(L, classTable);
    }
    lua_settop(L, top);
    return 0;
}

void ScriptHost::callLuaFunction(const char* name, int arg)
{
    if (!m_pState)
        return;
    lua_getglobal(m_pState, name);
    lua_pushinteger(m_pState, arg);
    pcallWithTraceback(1, 0, name);
}

void ScriptHost::callLuaFunctionIntInt(const char* name, int arg1, int arg2)
{
    if (!m_pState)
        return;
    lua_getglobal(m_pState, name);
    lua_pushinteger(m_pState, arg1);
    lua_pushinteger(m_pState, arg2);
    pcallWithTraceback(2, 0, name);
}

void ScriptHost::callLuaFunctionIntResult(const char* name, int arg)
{
    if (!m_pState)
        return;
    lua_getglobal(m_pState, name);
    lua_pushinteger(m_pState, arg);
    pcallWithTraceback(1, 1, name);
}

void ScriptHost::callLuaFunctionWithResult(const char* name)
{
    if (!m_pState)
        return;
    lua_getglobal(m_pState, name);
    pcallWithTraceback(0, 1, name);
}

void ScriptHost::callLuaFunctionNoArgs(const char* name)
{
    if (!m_pState)
        return;
    lua_getglobal(m_pState, name);
    pcallWithTraceback(0, 0, name);
}

void ScriptHost::callLuaFunctionString(const char* name, const lang::String& text)
{
    if (!m_pState)
        return;
    lua_getglobal(m_pState, name);
    lua_pushlstring(m_pState, text.c_str(), size_t(text.length()));
    pcallWithTraceback(1, 0, name);
}

bool ScriptHost::popLuaBoolean()
{
    if (!m_pState || lua_gettop(m_pState) == 0)
        return false;
    bool value = lua_toboolean(m_pState, -1) != 0;
    lua_pop(m_pState, 1);
    return value;
}

int ScriptHost::popLuaInteger()
{
    if (!m_pState || lua_gettop(m_pState) == 0)
        return 0;
    int value = 0;
    if (lua_isnumber(m_pState, -1)) {
        // Truncated toward zero and held to the int range; NaN counts as 0.
        double d = lua_tonumber(m_pState, -1);
        if (d >= 2147483647.0)
            value = 2147483647;
        else if (d <= -2147483648.0)
            value = -2147483647 - 1;
        else if (d == d)
            value = int(d);
    }
    lua_pop(m_pState, 1);
    return value;
}

lang::String ScriptHost::popLuaString()
{
    if (!m_pState || lua_gettop(m_pState) == 0)
        return lang::String("");
    lang::String value("");
    if (lua_type(m_pState, -1) == LUA_TSTRING) {
        size_t length = 0;
        const char* text = lua_tolstring(m_pState, -1, &length);
        value = lang::String(text, 0, int(length));
    }
    lua_pop(m_pState, 1);
    return value;
}

bool ScriptHost::getLuaBoolean(const char* path)
{
    lua_State* L = m_pState;
    if (!L || !path)
        return false;
    int top = lua_gettop(L);
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    bool found = true;
    const char* part = path;
    for (;;) {
        const char* dot = std::strchr(part, '.');
        if (!lua_istable(L, -1)) {
            found = false;
            break;
        }
        std::string name = dot ? std::string(part, size_t(dot - part)) : std::string(part);
        lua_getfield(L, -1, name.c_str());
        lua_remove(L, -2);
        if (!dot)
            break;
        part = dot + 1;
    }
    bool value = found && lua_toboolean(L, -1) != 0;
    lua_settop(L, top);
    return value;
}

int ScriptHost::bindObject(lang::Object* object, const char* metatableName)
{
    lua_State* L = m_pState;
    if (!L)
        return LUA_NOREF;
    lua_createtable(L, 0, 1);
    lua_pushlightuserdata(L, object);
    lua_setfield(L, -2, kObjectField);
    luaL_getmetatable(L, metatableName);
    lua_setmetatable(L, -2);
    return luaL_ref(L, LUA_REGISTRYINDEX);
}

void ScriptHost::setObjectMetatable(int ref, const char* metatableName)
{
    lua_State* L = m_pState;
    if (!L || ref == LUA_NOREF || ref == LUA_REFNIL)
        return;
    lua_rawgeti(L, LUA_REGISTRYINDEX, ref);
    if (lua_istable(L, -1)) {
        luaL_getmetatable(L, metatableName);
        lua_setmetatable(L, -2);
    }
    lua_pop(L, 1);
}

void ScriptHost::pushObject(int ref)
{
    if (m_pState)
        lua_rawgeti(m_pState, LUA_REGISTRYINDEX, ref);
}

void ScriptHost::unbindObject(int ref)
{
    lua_State* L = m_pState;
    if (!L || ref == LUA_NOREF || ref == LUA_REFNIL)
        return;
    lua_rawgeti(L, LUA_REGISTRYINDEX, ref);
    if (lua_istable(L, -1)) {
        lua_pushstring(L, kObjectField);
        lua_pushnil(L);
        lua_rawset(L, -3);
    }
    lua_pop(L, 1);
    luaL_unref(L, LUA_REGISTRYINDEX, ref);
}

lang::Object* ScriptHost::checkObject(lua_State* L, int index, const char* className, const char* objectWord)
{
    if (index < 0 && index > LUA_REGISTRYINDEX)
        index = lua_gettop(L) + index + 1;
    luaL_checktype(L, index, LUA_TTABLE);
    lua_pushstring(L, kObjectField);
    lua_rawget(L, index);
    // Only light user data: a script holds full user data (a file), but
    // not a pointer of its own.
    lang::Object* object =
        lua_islightuserdata(L, -1) ? static_cast<lang::Object*>(lua_touserdata(L, -1)) : nullptr;
    lua_pop(L, 1);
    // The message is built in a plain buffer: the argument error leaves this
    // function by a long jump, past any C++ destructor.
    char message[160];
    if (!object) {
        std::snprintf(message, sizeof message, "not a %s object", objectWord);
        luaL_argerror(L, index, message);
        return nullptr;
    }
    if (className && !object->isInstanceOf(className)) {
        std::snprintf(message, sizeof message, "not a %s", className);
        luaL_argerror(L, index, message);
        return nullptr;
    }
    return object;
}
