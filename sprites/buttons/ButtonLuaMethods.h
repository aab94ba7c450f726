// ButtonLuaMethods.h: the native Lua methods every button class shares
// (enable, isEnabled, hittestAndEnabled), for a button class B registered in
// Lua under the class name Name.
#pragma once

#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace sprite {

template <class B, const char* Name>
class ButtonLuaMethods {
public:
    static const luaL_Reg* methods()
    {
        static const luaL_Reg table[] = {
            {"enable", &SpriteBaseLua::guarded<enable>},
            {"isEnabled", &SpriteBaseLua::guarded<isEnabled>},
            {"hittestAndEnabled", &SpriteBaseLua::guarded<hittestAndEnabled>},
            {nullptr, nullptr},
        };
        return table;
    }

private:
    static constexpr const char* kTooMany = "too many arguments";

    static B* self(lua_State* L) { return static_cast<B*>(SpriteBaseLua::check(L, 1, Name)); }

    static int enable(lua_State* L)
    {
        B* s = self(L);
        SpriteBaseLua::checkCount(L, 2, 3, kTooMany);
        s->setEnabled(lua_toboolean(L, 2) != 0);
        return 0;
    }

    static int isEnabled(lua_State* L)
    {
        B* s = self(L);
        SpriteBaseLua::checkCount(L, 1, 2, kTooMany);
        lua_pushboolean(L, s->isEnabled());
        return 1;
    }

    static int hittestAndEnabled(lua_State* L)
    {
        B* s = self(L);
        SpriteBaseLua::checkCount(L, 3, 4, kTooMany);
        lua_pushboolean(L, s->hitAndEnabled(SpriteBaseLua::toInt(L, 2), SpriteBaseLua::toInt(L, 3)));
        return 1;
    }
};

} // namespace sprite
