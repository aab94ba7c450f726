// ScriptTestFixture.h: a fresh script host per test, run inside a temporary
// folder that the test's scripts are written to, with message boxes and the
// debugger output recorded.
#pragma once

#include "platform/kernel/DebugOutput.h"
#include "platform/user/MessageBox.h"
#include "sprites/script/ScriptHost.h"
#include "tests/support/LuaRun.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <filesystem>
#include <string>

class ScriptTestFixture : public ::testing::Test {
protected:
    ScriptTestFixture() : m_previous(ScriptHost::instance), m_oldFolder(std::filesystem::current_path())
    {
        m_host = new ScriptHost;
        L = m_host->getState();
        std::filesystem::current_path(m_dir.path());
    }
    ~ScriptTestFixture() override
    {
        std::filesystem::current_path(m_oldFolder);
        delete m_host;
        ScriptHost::instance = m_previous;
    }

    void write(const std::string& name, const std::string& text) { m_dir.write(name, text); }

    // Runs Lua code in protected mode; the error message, or "" when it ran.
    std::string run(const std::string& code) { return testsupport::runLua(L, code); }
    // A global as an integer (0 when it is no number) or as text.
    long long globalInt(const char* name)
    {
        lua_getglobal(L, name);
        long long v = lua_isnumber(L, -1) ? (long long)lua_tonumber(L, -1) : 0;
        lua_pop(L, 1);
        return v;
    }
    std::string globalText(const char* name)
    {
        lua_getglobal(L, name);
        const char* t = lua_tostring(L, -1);
        std::string v = t ? t : "<nil>";
        lua_pop(L, 1);
        return v;
    }

    testsupport::TempDir m_dir;
    platform::MessageBoxCapture m_boxes;
    platform::DebugCapture m_debug;
    ScriptHost* m_previous;
    std::filesystem::path m_oldFolder;
    ScriptHost* m_host;
    lua_State* L;
};
