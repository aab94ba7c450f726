// ScriptHostTest.cpp: running scripts, error boxes, protected calls, calls by
// name and the values taken back from the stack.
#include "ScriptTestFixture.h"

#include "platform/user/headless/HeadlessBackend.h"

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

using ScriptHostTest = ScriptTestFixture;

TEST_F(ScriptHostTest, RunsScriptFilesAndRemembersThoseAskedFor)
{
    std::filesystem::create_directory(m_dir.path() / "rooms");
    write("rooms/Dock.lua", "dock = (dock or 0) + 1");
    write("Main.lua", "main = 'ran'");
    EXPECT_EQ(0, m_host->runScriptFile("rooms\\Dock.lua", 1)); // the program's own paths use '\'
    EXPECT_EQ(0, m_host->runScriptFile("Main.lua", 0));
    EXPECT_EQ(0, m_host->runScriptFile("rooms\\Dock.lua", 1));
    EXPECT_EQ(2, globalInt("dock"));
    EXPECT_EQ("ran", globalText("main"));
    util::Vector& run = m_host->getScriptsRun();
    ASSERT_EQ(2, run.size());
    EXPECT_STREQ("rooms\\Dock.lua", static_cast<lang::String*>(run.elementAt(0))->c_str());
    EXPECT_TRUE(m_boxes.boxes().empty());
    EXPECT_EQ(0, lua_gettop(L));
}

TEST_F(ScriptHostTest, AScriptThatFailsShowsOneBoxAndTheProgramGoesOn)
{
    write("Syntax.lua", "x = = 1");
    write("Runtime.lua", "before = 1\nerror('broken on purpose')\nafter = 1");
    for (const char* file : {"Missing.lua", "Syntax.lua", "Runtime.lua"}) {
        SCOPED_TRACE(file);
        m_boxes.clear();
        m_debug.clear();
        EXPECT_EQ(1, m_host->runScriptFile(file, 1));
        auto boxes = m_boxes.boxes();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("runScriptFile", boxes[0].caption);
        EXPECT_NE(std::string::npos, boxes[0].text.find(file)) << boxes[0].text;
        EXPECT_EQ("runScriptFile: " + boxes[0].text + "\n", m_debug.text());
        EXPECT_EQ(0, lua_gettop(L));
    }
    EXPECT_NE(std::string::npos, m_boxes.boxes()[0].text.find("broken on purpose"));
    EXPECT_EQ(1, globalInt("before"));
    EXPECT_EQ(0, globalInt("after"));
    EXPECT_EQ(0, m_host->getScriptsRun().size());
}

TEST_F(ScriptHostTest, RunsScriptsFromMemory)
{
    std::string code = "saved = { coins = 12 }";
    EXPECT_EQ(0, m_host->runScriptBuffer(code.data(), code.size(), "LF", "readProfileData"));
    EXPECT_EQ("", run("assert(saved.coins == 12)"));
    std::string bad = "saved = {";
    EXPECT_EQ(1, m_host->runScriptBuffer(bad.data(), bad.size(), "LF", "readProfileData"));
    ASSERT_EQ(1u, m_boxes.boxes().size());
    EXPECT_EQ("readProfileData", m_boxes.boxes()[0].caption);
    EXPECT_EQ(0u, m_boxes.boxes()[0].text.find("[string \"LF\"]")) << m_boxes.boxes()[0].text;
    EXPECT_EQ(0, lua_gettop(L));
}

TEST_F(ScriptHostTest, AlertShowsABoxAndTheScriptGoesOn)
{
    EXPECT_EQ("", run("_ALERT('careful'); went_on = true"));
    ASSERT_EQ(1u, m_boxes.boxes().size());
    EXPECT_EQ("Lua Alert", m_boxes.boxes()[0].caption);
    EXPECT_EQ("careful", m_boxes.boxes()[0].text);
    EXPECT_TRUE(m_debug.contains("Lua Alert: careful\n"));
    EXPECT_EQ("", run("assert(went_on)"));
}

TEST_F(ScriptHostTest, AnErrorInAProtectedCallShowsTheTracebackAndLeavesTheStack)
{
    ASSERT_EQ("", run("function onEnter(room) local t = nil; return t.field end"));
    lua_pushinteger(L, 111); // something of the caller's below the call
    lua_getglobal(L, "onEnter");
    lua_pushstring(L, "Dock");
    EXPECT_FALSE(m_host->pcallWithTraceback(1, 0));
    ASSERT_EQ(1, lua_gettop(L));
    EXPECT_EQ(111, lua_tointeger(L, 1));
    auto boxes = m_boxes.boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Script Error", boxes[0].caption);
    EXPECT_NE(std::string::npos, boxes[0].text.find("attempt to index local 't'"));
    EXPECT_NE(std::string::npos, boxes[0].text.find("stack traceback:"));
    // Without a title the debugger line is the message alone.
    EXPECT_EQ(boxes[0].text + "\n", m_debug.text());

    // With results asked for, nils stand in for them.
    lua_getglobal(L, "onEnter");
    EXPECT_FALSE(m_host->pcallWithTraceback(0, 2));
    ASSERT_EQ(3, lua_gettop(L));
    EXPECT_TRUE(lua_isnil(L, 2));
    EXPECT_TRUE(lua_isnil(L, 3));
}

TEST_F(ScriptHostTest, AProtectedCallKeepsEveryResult)
{
    ASSERT_EQ("", run("function pair(a) return a + 1, 'two' end"));
    lua_pushinteger(L, 111);
    lua_getglobal(L, "pair");
    lua_pushinteger(L, 41);
    EXPECT_TRUE(m_host->pcallWithTraceback(1, 2));
    ASSERT_EQ(3, lua_gettop(L));
    EXPECT_EQ(111, lua_tointeger(L, 1));
    EXPECT_EQ(42, lua_tointeger(L, 2));
    EXPECT_STREQ("two", lua_tostring(L, 3));
    EXPECT_TRUE(m_boxes.boxes().empty());
}

TEST_F(ScriptHostTest, WithoutTheTracebackFunctionNothingIsCalled)
{
    ASSERT_EQ("", run("function f() called = true; return 1 end; debug = nil"));
    lua_getglobal(L, "f");
    lua_pushinteger(L, 1);
    EXPECT_FALSE(m_host->pcallWithTraceback(1, 1));
    ASSERT_EQ(1, lua_gettop(L));
    EXPECT_TRUE(lua_isnil(L, 1));
    lua_settop(L, 0);
    EXPECT_EQ("<nil>", globalText("called"));
    ASSERT_EQ("", run("debug = { traceback = 5 }"));
    lua_getglobal(L, "f");
    EXPECT_FALSE(m_host->pcallWithTraceback(0, 0));
    EXPECT_EQ(0, lua_gettop(L));
    EXPECT_EQ("<nil>", globalText("called"));
}

TEST_F(ScriptHostTest, CallsFunctionsByNameWithArgumentsAndResults)
{
    ASSERT_EQ("", run("log = ''\n"
                      "function one(n) log = log .. 'one' .. n .. ';' end\n"
                      "function two(a, b) log = log .. 'two' .. a .. ',' .. b .. ';' end\n"
                      "function none() log = log .. 'none;' end\n"
                      "function text(s) log = log .. 'text' .. s .. ';' end\n"
                      "function double(n) return n * 2 end\n"
                      "function name() return 'Ann' end\n"
                      "function yes() return 0 end"));
    m_host->callLuaFunction("one", 5);
    m_host->callLuaFunctionIntInt("two", -1, 2);
    m_host->callLuaFunctionNoArgs("none");
    m_host->callLuaFunctionString("text", lang::String("caf\xe9"));
    EXPECT_EQ("one5;two-1,2;none;textcaf\xe9;", globalText("log"));
    m_host->callLuaFunctionIntResult("double", 21);
    EXPECT_EQ(42, m_host->popLuaInteger());
    m_host->callLuaFunctionWithResult("name");
    EXPECT_STREQ("Ann", m_host->popLuaString().c_str());
    m_host->callLuaFunctionWithResult("yes");
    EXPECT_TRUE(m_host->popLuaBoolean()); // 0 is true in Lua
    EXPECT_EQ(0, lua_gettop(L));
    EXPECT_TRUE(m_boxes.boxes().empty());
}

TEST_F(ScriptHostTest, AnErrorInACallByNameShowsABoxAndTheProgramGoesOn)
{
    ASSERT_EQ("", run("function bad() error('no such room') end"));
    m_host->callLuaFunctionWithResult("bad");
    EXPECT_STREQ("", m_host->popLuaString().c_str());
    m_host->callLuaFunctionIntResult("missingFunction", 3);
    EXPECT_EQ(0, m_host->popLuaInteger());
    m_host->callLuaFunctionString("bad", lang::String("x"));
    EXPECT_EQ(0, lua_gettop(L));
    auto boxes = m_boxes.boxes();
    ASSERT_EQ(3u, boxes.size());
    for (const auto& box : boxes)
        EXPECT_EQ("Script Error", box.caption);
    EXPECT_NE(std::string::npos, boxes[0].text.find("no such room"));
    EXPECT_NE(std::string::npos, boxes[1].text.find("attempt to call a nil value"));
}

TEST_F(ScriptHostTest, PopsConvertTheTopOfTheStack)
{
    lua_pushnumber(L, -3.9);
    EXPECT_EQ(-3, m_host->popLuaInteger());
    lua_pushnumber(L, 1e20);
    EXPECT_EQ(INT_MAX, m_host->popLuaInteger());
    lua_pushstring(L, "12");
    EXPECT_EQ(12, m_host->popLuaInteger()); // Lua converts numeric texts
    lua_pushstring(L, "twelve");
    EXPECT_EQ(0, m_host->popLuaInteger());
    lua_pushnumber(L, 12);
    EXPECT_STREQ("", m_host->popLuaString().c_str());
    lua_pushlstring(L, "a\0b", 3);
    EXPECT_EQ(3, m_host->popLuaString().length());
    lua_pushnil(L);
    EXPECT_FALSE(m_host->popLuaBoolean());
    EXPECT_EQ(0, lua_gettop(L));
    // An empty stack gives the defaults and stays empty.
    EXPECT_FALSE(m_host->popLuaBoolean());
    EXPECT_EQ(0, m_host->popLuaInteger());
    EXPECT_STREQ("", m_host->popLuaString().c_str());
    EXPECT_EQ(0, lua_gettop(L));
}

TEST_F(ScriptHostTest, DottedPathsGiveTheTruthOfTheirValue)
{
    ASSERT_EQ("", run("LF = { fountainFixedWaterOn = 0, off = false, deep = { on = 'yes' }, number = 5 }\n"
                      "gISpyBadCursor = true"));
    EXPECT_TRUE(m_host->getLuaBoolean("LF.fountainFixedWaterOn"));
    EXPECT_FALSE(m_host->getLuaBoolean("LF.off"));
    EXPECT_FALSE(m_host->getLuaBoolean("LF.globalISpyActive"));
    EXPECT_TRUE(m_host->getLuaBoolean("LF.deep.on"));
    EXPECT_TRUE(m_host->getLuaBoolean("gISpyBadCursor"));
    // A missing or non-table step on the way is false, not a panic.
    EXPECT_FALSE(m_host->getLuaBoolean("Missing.flag"));
    EXPECT_FALSE(m_host->getLuaBoolean("LF.number.flag"));
    EXPECT_FALSE(m_host->getLuaBoolean("LF.missing.deeper.flag"));
    EXPECT_EQ(0, lua_gettop(L));
    EXPECT_TRUE(m_boxes.boxes().empty());
}

// The panic handler's box is the last word before Lua ends the process.
void callUnprotected()
{
    ScriptHost host;
    lua_State* state = host.getState();
    luaL_loadstring(state, "error('beyond repair')");
    lua_call(state, 0, 0);
}

TEST(ScriptHostDeathTest, AnUnprotectedErrorShowsLuaPanicAndEndsTheProcess)
{
    EXPECT_EXIT(callUnprotected(), ::testing::ExitedWithCode(1), "Lua Panic: .*beyond repair");
}

} // namespace

namespace {

// Lua's way of saying that the script has started its loop.
std::atomic<bool> scriptHostLooping{false};
int scriptHostNoteLooping(lua_State*)
{
    scriptHostLooping = true;
    return 0;
}

// A call from Lua into the program that calls Lua again and returns.
int scriptHostCallInner(lua_State*)
{
    ScriptHost::instance->callLuaFunctionNoArgs("LF_inner");
    return 0;
}

// A call from Lua into the program that waits past the time the closing
// game gives its scripts, as a slow machine or a slow disk keeps it.
int scriptHostWaitPastTheCloseTime(lua_State*)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ScriptHost::CLOSE_TIME_LIMIT_MS + 200));
    return 0;
}

// A display whose events hold one close of the window, which the script's
// own thread takes when it asks for them.
class ScriptHostClosingBackend : public platform::HeadlessBackend {
public:
    int pumpInterval() const override { return 10; }
    void pump() override
    {
        if (scriptHostLooping.exchange(false))
            platform::events::closeRequested(nullptr);
    }
};

} // namespace

TEST_F(ScriptHostTest, EveryWayIntoLuaIsStoppedAfterTheTimeLimitWithItsName)
{
    ScriptHost::setTimeLimit(30);
    write("Loop.lua", "while true do end");
    write("Looping.lua", "hv = {Looping = {}} while true do end");
    lua_register(L, "callInner", scriptHostCallInner);
    // The loops that would go on unstopped end by themselves after two
    // seconds, so that a fault fails the test instead of hanging it.
    ASSERT_EQ("", run("function LF_loop() while true do pcall(function() while true do end end) end end\n"
                      "endless = function() while true do end end\n"
                      "function LF_escape() local co = coroutine.create(function() while true do end end)\n"
                      "  coroutine.resume(co)\n"
                      "  local t = os.clock() while os.clock() - t < 2 do pcall(function() for i = 1, 1e5 do end end) end\n"
                      "end\n"
                      "function LF_inner() end\n"
                      "function LF_outer() callInner() local t = os.clock() while os.clock() - t < 2 do end end"));
    // The ways a script could run on unguarded; runOn notes the escape.
    Dl_info luaLibrary{};
    ASSERT_NE(0, dladdr(reinterpret_cast<void*>(lua_getallocf(L, nullptr)), &luaLibrary));
    lua_pushstring(L, luaLibrary.dli_fname);
    lua_setglobal(L, "luaLibrary");
    ASSERT_EQ("", run("function runOn() local t = os.clock() while os.clock() - t < 2 do end escaped = 1 end\n"
                      "function LF_nest()\n"
                      "  local t = os.clock()\n"
                      "  local function level(n) return coroutine.wrap(function()\n"
                      "    while os.clock() - t < 2 do if n > 0 then pcall(level(n - 1)) escaped = 1 end end\n"
                      "    escaped = 1 end) end\n"
                      "  level(3)()\n"
                      "end\n"
                      "function LF_kept() kept() end\n"
                      "function LF_unhook() if debug.sethook then debug.sethook() end runOn() end\n"
                      "function LF_native()\n"
                      "  local open = package.loadlib and package.loadlib(luaLibrary, 'luaopen_debug')\n"
                      "  if open then open() else\n"
                      "    package.cpath, package.path, package.loaded.debug = luaLibrary, '', nil\n"
                      "    pcall(require, 'debug')\n"
                      "  end\n"
                      "  LF_unhook()\n"
                      "end\n"
                      "function LF_finalizers()\n"
                      "  local function plant()\n"
                      "    local file, d = io.open('Loop.lua'), debug\n"
                      "    for _, meta in pairs({newproxy and getmetatable(newproxy(true)), getmetatable(file),\n"
                      "        file.__index, d.getmetatable and d.getmetatable(file),\n"
                      "        d.getregistry and d.getregistry()['FILE*']}) do\n"
                      "      if type(meta) == 'table' then meta.__gc = runOn end\n"
                      "    end\n"
                      "    if d.setmetatable then d.setmetatable(io.open('Loop.lua'), {__gc = runOn}) end\n"
                      "    if d.getfenv then tostring, d.getfenv(file).__close = runOn, print end\n"
                      "  end\n"
                      "  plant() collectgarbage() while true do end\n"
                      "end\n"
                      "function LF_handler() xpcall(function() while true do end end, runOn) while true do end end"));
    struct Case {
        const char* what;
        std::function<void()> call;
        const char* title;
        const char* named;
    };
    const std::vector<Case> cases = {
        {"a script file", [&] { EXPECT_EQ(1, m_host->runScriptFile("Loop.lua", 1)); }, "runScriptFile", "Loop.lua"},
        {"a script in memory",
         [&] { EXPECT_EQ(1, m_host->runScriptBuffer("while true do end", 17, "Story", "readStory")); }, "readStory",
         "Story"},
        {"a class script",
         [&] { EXPECT_EQ(1, m_host->setupMetatableForClass("hv.Looping", nullptr, "Looping.lua", "Looping", nullptr)); },
         "setupMetatableForClass", "Looping.lua"},
        {"a function by name", [&] { m_host->callLuaFunction("LF_loop", 1); }, "Script Error", "LF_loop"},
        {"a function with a result",
         [&] {
             m_host->callLuaFunctionWithResult("LF_loop");
             EXPECT_TRUE(lua_isnil(L, -1));
             lua_pop(L, 1);
         },
         "Script Error", "LF_loop"},
        {"a loop that catches the stop once a coroutine was stopped",
         [&] { m_host->callLuaFunctionNoArgs("LF_escape"); }, "Script Error", "LF_escape"},
        {"a call that goes on after a nested call has ended",
         [&] { m_host->callLuaFunctionNoArgs("LF_outer"); }, "Script Error", "LF_outer"},
        {"coroutines nested four deep, each catching its child's stop",
         [&] { m_host->callLuaFunctionNoArgs("LF_nest"); }, "Script Error", "LF_nest"},
        {"a coroutine made outside any call",
         [&] {
             ASSERT_EQ("", run("kept = coroutine.wrap(runOn)"));
             m_host->callLuaFunctionNoArgs("LF_kept");
         },
         "Script Error", "LF_kept"},
        {"a script that takes the hook off", [&] { m_host->callLuaFunctionNoArgs("LF_unhook"); }, "Script Error",
         "LF_unhook"},
        {"a script that loads the hook setter", [&] { m_host->callLuaFunctionNoArgs("LF_native"); },
         "Script Error", "LF_native"},
        {"finalizers", [&] { m_host->callLuaFunctionNoArgs("LF_finalizers"); }, "Script Error", "LF_finalizers"},
        {"error handlers, the script's own and its traceback",
         [&] {
             ASSERT_EQ("", run("keep, debug.traceback = debug.traceback, runOn"));
             m_host->callLuaFunctionNoArgs("LF_handler");
             ASSERT_EQ("", run("debug.traceback = keep"));
         },
         "Script Error", "LF_handler"},
        {"a function without a name",
         [&] {
             lua_getglobal(L, "endless");
             EXPECT_FALSE(m_host->pcallWithTraceback(0, 0));
         },
         "Script Error", "the function at [string"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_boxes.clear();
        c.call();
        const std::vector<platform::MessageBoxRecord> boxes = m_boxes.boxes();
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(c.title, boxes.back().caption);
        EXPECT_NE(std::string::npos, boxes.back().text.find(c.named)) << boxes.back().text;
        EXPECT_NE(std::string::npos, boxes.back().text.find("ran for more than 30 ms")) << boxes.back().text;
        EXPECT_EQ(0, lua_gettop(L));
        EXPECT_EQ(0, globalInt("escaped")) << "ran on unguarded";
        // The next call runs as ever.
        EXPECT_EQ("", run("after = 1 escaped = nil"));
    }
    ScriptHost::setTimeLimit(0);
}

TEST_F(ScriptHostTest, ACloseRequestStopsTheScriptThatRunsNowWithoutABox)
{
    // However long the limit, a close request ends the loop: a quit signal
    // from another thread, or the window's close that the script's own
    // thread finds among the display's events.
    ScriptHost::setTimeLimit(600000);
    lua_register(L, "noteLooping", scriptHostNoteLooping);
    ASSERT_EQ("", run("function LF_stuck() noteLooping() while true do end end"));
    for (const bool byWindow : {false, true}) {
        SCOPED_TRACE(byWindow ? "the window's close" : "a quit signal");
        m_boxes.clear();
        m_debug.clear();
        scriptHostLooping = false;
        std::thread closer;
        if (byWindow) {
            platform::setWindowBackend(std::make_unique<ScriptHostClosingBackend>());
        } else {
            closer = std::thread([] {
                while (!scriptHostLooping)
                    std::this_thread::yield();
                ScriptHost::requestClose();
            });
        }
        m_host->callLuaFunctionNoArgs("LF_stuck");
        if (closer.joinable())
            closer.join();
        EXPECT_TRUE(ScriptHost::isClosing());
        EXPECT_TRUE(m_boxes.boxes().empty()) << "nobody is left to read a box";
        EXPECT_TRUE(m_debug.contains("LF_stuck was stopped: the game is closing")) << m_debug.text();
        EXPECT_EQ(0, lua_gettop(L));
        platform::setWindowBackend(std::unique_ptr<platform::WindowBackend>());
        ScriptHost::clearClose();
    }
    ScriptHost::setTimeLimit(0);

    // The closing game's time counts what its scripts run, not what they
    // wait: a save that waited past it still ends.
    ScriptHost::requestClose();
    lua_register(L, "waitPastTheCloseTime", scriptHostWaitPastTheCloseTime);
    const std::string save = "waitPastTheCloseTime() for i = 1, 100000 do end saved = 'yes'";
    EXPECT_EQ(0, m_host->runScriptBuffer(save.data(), save.size(), "save", nullptr)) << m_debug.text();
    EXPECT_EQ("yes", globalText("saved"));
    ScriptHost::clearClose();

    // While scripts are refused (the loader is stopped) nothing runs: the
    // call under way, begun once the game was closing, stops at once.
    ScriptHost::requestClose();
    std::thread refuser([] {
        while (ScriptHost::runningThread() == 0)
            std::this_thread::yield();
        ScriptHost::refuseScripts(true);
    });
    const std::string loading = "local t = os.clock() while os.clock() - t < 4 do end loaded = 'yes'";
    const int64_t loadingFrom = ScriptHost::threadMicroseconds();
    EXPECT_EQ(1, m_host->runScriptBuffer(loading.data(), loading.size(), "loading", nullptr));
    EXPECT_LT(ScriptHost::threadMicroseconds() - loadingFrom, ScriptHost::CLOSE_TIME_LIMIT_MS * 1000 / 2);
    refuser.join();
    EXPECT_EQ("<nil>", globalText("loaded"));
    write("Ran.lua", "ran = 'yes'");
    EXPECT_EQ(1, m_host->runScriptFile("Ran.lua", 0));
    ScriptHost::clearClose();
    EXPECT_EQ("<nil>", globalText("ran"));
    EXPECT_EQ(0, m_host->runScriptFile("Ran.lua", 0));
    EXPECT_EQ("yes", globalText("ran"));
}

TEST_F(ScriptHostTest, TheClosingGameGivesItsCallsTwoSecondsFromTheFirstRequestAndThenRunsNone)
{
    auto runningMs = [] {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    };
    lua_register(L, "noteLooping", scriptHostNoteLooping);
    ASSERT_EQ("", run("function busy(s) local t = os.clock() while os.clock() - t < s do end end\n"
                      "function LF_quarter() busy(0.5) end\n"
                      "function LF_stuck() noteLooping() busy(4) end"));
    ScriptHost::requestClose();
    m_host->callLuaFunctionNoArgs("LF_quarter");
    // A second request does not start the two seconds again: the call made
    // now has what is left of them. Nor do the requests that come while it
    // runs (more quit signals, the window closed again) stop it or give it
    // more: it is the close's own, as the save is.
    ScriptHost::requestClose();
    scriptHostLooping = false;
    platform::setWindowBackend(std::make_unique<ScriptHostClosingBackend>());
    std::atomic<bool> stuckEnded{false};
    std::thread requests([&stuckEnded] {
        while (!stuckEnded) {
            if (ScriptHost::runningThread() != 0)
                ScriptHost::requestClose();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    const int64_t before = runningMs();
    m_host->callLuaFunctionNoArgs("LF_stuck");
    const int64_t stuckMs = runningMs() - before;
    stuckEnded = true;
    requests.join();
    platform::setWindowBackend(std::unique_ptr<platform::WindowBackend>());
    EXPECT_GT(stuckMs, ScriptHost::CLOSE_TIME_LIMIT_MS / 2);
    EXPECT_LT(stuckMs, ScriptHost::CLOSE_TIME_LIMIT_MS * 7 / 8);
    EXPECT_TRUE(m_debug.contains("LF_stuck was stopped: the game is closing")) << m_debug.text();
    // Once they are over no call runs.
    write("Late.lua", "late = 1");
    EXPECT_EQ(1, m_host->runScriptFile("Late.lua", 0));
    EXPECT_EQ(0, globalInt("late"));
    EXPECT_TRUE(m_boxes.boxes().empty());
    ScriptHost::clearClose();
}
