// ScriptHost.h: the program's one Lua 5.1 state: running scripts, reporting
// script errors in message boxes, building a metatable per scripted class,
// binding native objects to Lua tables, and calling Lua functions by name.
#pragma once

#include "core/lang/Object.h"
#include "core/lang/String.h"
#include "core/util/Vector.h"

#include <cstddef>
#include <cstdint>

struct lua_State;
struct luaL_Reg;

// Every object with a Lua face is a table whose field "__c++" holds the object
// (as a lang::Object*, light user data) and whose metatable is its class's
// "hv.<Class>" from the Lua registry; the object keeps a registry reference to
// the table. Lua is used by one thread at a time (the loader thread while
// loading, the window thread after), so nothing here takes a lock.
//
// Every way into Lua (script files, calls of functions) runs under one time
// guard: a call that runs longer than the time limit is stopped with an
// error naming the script or function. The limit counts the call's own
// running time (the processor time of its thread), so time spent waiting
// for the player in a message box the script opened does not count. A
// close request stops a call that is running (stuck in a loop, say) at once,
// and the calls the closing game still makes (its save) together get a
// short running time of their own, which a later request neither cuts nor
// lengthens. A stopped call stays stopped in every coroutine of the state:
// no pcall lets its script go on.
class ScriptHost {
public:
    // How long one call into Lua may run.
    static constexpr int DEFAULT_TIME_LIMIT_MS = 5000;
    // How long the calls made after the first close request may still run
    // together (their own running time); past it each is stopped and a new
    // one is not run.
    static constexpr int CLOSE_TIME_LIMIT_MS = 2000;

    // Opens the state with the standard libraries (less what would take the
    // time guard off or run script code outside it: the hook setter, the
    // ways to a finalizer, native libraries), the global "_ALERT" and the
    // panic handler, and becomes the instance.
    ScriptHost();
    // The process's host is never destroyed; a host made for a test closes its
    // state and, when it is the instance, leaves the instance null.
    ~ScriptHost();
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // The host every Lua call of the program uses; made before main runs.
    static ScriptHost* instance;

    lua_State* getState() const { return m_pState; }

    // Writes "title: message\n" (only the message without a title) to the
    // debugger output and shows the message (the value on top of the stack,
    // which stays there) in a box titled `title`, or "Script Error".
    static void showScriptError(const char* title, lua_State* L);
    // The global "_ALERT": a "Lua Alert" box with its argument.
    static int luaAlert(lua_State* L);
    // The panic handler: a "Lua Panic" box; the Lua library then ends the process.
    static int luaPanic(lua_State* L);

    // Calls the function that lies under its `nargs` arguments with
    // debug.traceback as the message handler. On an error the traceback is
    // shown ("Script Error"), and the function and arguments are replaced by
    // `nresults` nils, so the stack is as if the call had returned nothing
    // useful. Without debug.traceback nothing is called (the same nils).
    // True when the call ran without error. `name` names the call in the
    // message of a stop (null: the function's script and line).
    bool pcallWithTraceback(int nargs, int nresults, const char* name = nullptr);
    // lua_pcall under the time guard; `name` names the call in the message
    // of a stop (null: the function's script and line). Nested calls run
    // within the outermost one's time.
    int guardedPcall(int nargs, int nresults, int handler, const char* name);

    // The time limit of one call (0 or less: the default); tests shorten it.
    static void setTimeLimit(int ms);
    // A close request (the window's close, a quit signal), from any thread:
    // a call running now that began before the first request is stopped at
    // its next look at the clock, the calls from the first request on (the
    // close's own) run for CLOSE_TIME_LIMIT_MS together at most, and
    // script errors are written to the debugger output without
    // a box, so that nothing waits for a player who leaves.
    static void requestClose();
    static bool isClosing();
    // The system id (platform::systemThreadId) of the thread making a call
    // into Lua now, seen from any thread; 0 when no call is under way (a
    // script blocked in a call that does not return is under way for ever).
    static long runningThread();
    // The processor time, in microseconds, of a thread of this process (its
    // system id; 0: the calling thread): its own running time, without the
    // time it waits (for a message box, say) or the machine keeps it from
    // running. The time guard counts this clock. -1 for a thread that has
    // ended.
    static int64_t threadMicroseconds(long thread = 0);
    // The thread making the call under way is held in it for good (see
    // platform::DisplayThread) and the calling thread goes on in its stead:
    // the calls from now on are timed afresh, as if that call had returned.
    static void leaveCallUnderWay();
    // While refused, no script runs at all: the call under way is stopped at
    // its next look at the clock and each new one fails at once (the loader
    // is stopped for a close while it loads).
    static void refuseScripts(bool refuse);
    // A new run of the game: scripts run and errors show as ever.
    static void clearClose();

    // Runs a script file (a path relative to the working directory, '\' or
    // '/'); 0 on success, 1 (after a "runScriptFile" box) on a load or run
    // error. With remember 1 a successful file's name is kept in scriptsRun.
    int runScriptFile(const char* fileName, int remember);
    // Runs a script held in memory, named `chunkName` in its messages; 0 on
    // success, 1 after a box titled `errorTitle` (or "Script Error").
    int runScriptBuffer(const char* buffer, size_t size, const char* chunkName, const char* errorTitle);

    // Builds the metatable `metatableName` once: the base metatable's fields,
    // then those of the table hv.<className> that `scriptFile` defines, then
    // the native methods (a list ending with an empty entry), which win;
    // "__index" is the metatable itself, and hv.<className> gets it as its own
    // metatable. Returns 0 when it exists or was built, 1 when the script did
    // not load or run (a "setupMetatableForClass" box; the metatable then
    // stays registered without methods). A script that leaves no table
    // hv.<className> gives a class with the base's and the native methods.
    int setupMetatableForClass(const char* metatableName, const char* baseMetatableName, const char* scriptFile,
                               const char* className, const luaL_Reg* methods);

    // Calls of a global Lua function by name, each under the traceback handler:
    // an error shows a "Script Error" box and the program goes on. The ones
    // with a result leave it (nil after an error) on the stack for a pop.
    void callLuaFunction(const char* name, int arg);
    void callLuaFunctionIntInt(const char* name, int arg1, int arg2);
    void callLuaFunctionIntResult(const char* name, int arg);
    void callLuaFunctionWithResult(const char* name);
    void callLuaFunctionNoArgs(const char* name);
    void callLuaFunctionString(const char* name, const lang::String& text);

    // Take the top of the stack and pop it: its truth; a number truncated
    // toward zero into the int range (0 for no number); a text ("" for no
    // string). With an empty stack: false, 0, "".
    bool popLuaBoolean();
    int popLuaInteger();
    lang::String popLuaString();

    // The truth of the value at a path of field names joined by dots, read
    // from the globals; false when any table on the way is missing.
    bool getLuaBoolean(const char* path);

    // Makes an object's Lua face: a table {"__c++" = object} with the
    // metatable registered as `metatableName`. Returns the registry reference
    // (LUA_NOREF without a state).
    int bindObject(lang::Object* object, const char* metatableName);
    // Gives the table of a reference the metatable registered as `metatableName`.
    void setObjectMetatable(int ref, const char* metatableName);
    // Pushes the table of a reference.
    void pushObject(int ref);
    // Ends an object's Lua face: the table's "__c++" becomes nil, so a script
    // that kept the table gets argument errors instead of a destroyed object,
    // and the reference is dropped.
    void unbindObject(int ref);
    // The type check of a Lua method: the argument at `index` must be a table
    // ("table expected") whose "__c++" holds an object ("not a <objectWord>
    // object" otherwise) that is an instance of `className` ("not a
    // <className>"; no class test when null). Raises a Lua argument error.
    static lang::Object* checkObject(lua_State* L, int index, const char* className, const char* objectWord);

    // The names of the script files run with the remember flag.
    util::Vector& getScriptsRun() { return m_scriptsRun; }

private:
    // Copies every key and value of the table at `from` into the table at `to`.
    static void copyTable(lua_State* L, int from, int to);

    lua_State* m_pState;
    util::Vector m_scriptsRun;
};
