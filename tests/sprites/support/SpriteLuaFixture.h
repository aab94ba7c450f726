// SpriteLuaFixture.h: a fresh script host whose sprites get Lua tables, in a
// temporary working folder holding the class scripts; sprites made through
// keep() are released before the host goes.
#pragma once

#include "tests/sprites/script/ScriptTestFixture.h"

#include "sprites/base/SpriteBase.h"
#include "sprites/base/SpriteBaseLua.h"

#include <string>
#include <vector>

class SpriteLuaFixture : public ScriptTestFixture {
protected:
    SpriteLuaFixture()
    {
        writeClassScript("Sprite.lua", "SpriteBase");
        writeClassScript("AnimateSprite.lua", "AnimateSprite");
        writeClassScript("ButtonSprite.lua", "ButtonSprite");
        writeClassScript("RectButtonSprite.lua", "RectButtonSprite");
        sprite::SpriteBaseLua::connect();
    }
    ~SpriteLuaFixture() override
    {
        for (sprite::SpriteBase* s : m_kept)
            s->release();
        sprite::SpriteBaseLua::disconnect();
    }

    // A script that makes the empty class table hv.<className>.
    void writeClassScript(const std::string& file, const std::string& className)
    {
        write(file, "hv = hv or {}\nhv." + className + " = {}\n");
    }

    // Released at the end of the test, before the script host.
    template <class T>
    T* keep(T* sprite)
    {
        m_kept.push_back(sprite);
        return sprite;
    }

    // Makes the sprite's table the global `name`.
    void expose(sprite::SpriteBase* sprite, const char* name)
    {
        sprite::SpriteBaseLua::pushTable(L, sprite);
        lua_setglobal(L, name);
    }

    // Whether running the code failed with a message containing `part`.
    ::testing::AssertionResult failsWith(const std::string& code, const std::string& part)
    {
        std::string error = run(code);
        if (error.find(part) != std::string::npos)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "'" << code << "' gave \"" << error << "\", not \"" << part << "\"";
    }

    std::vector<sprite::SpriteBase*> m_kept;
};
