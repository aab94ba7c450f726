// CallBoxLua.cpp: the native methods of hv.CallBox. A boolean argument is
// read by Lua's truth, a digit as an integer (0 when it is no number).
#include "scenes/callbox/CallBox.h"

#include "scenes/common/SceneLua.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace {

CallBox* self(lua_State* L, int count)
{
    return SceneLua::self<CallBox>(L, "CallBox", count);
}

bool flag(lua_State* L)
{
    return lua_toboolean(L, 2) != 0;
}

// addDigit(digit)
int luaAddDigit(lua_State* L)
{
    CallBox* room = self(L, 2);
    room->addDigit(sprite::SpriteBaseLua::toInt(L, 2));
    return 0;
}

// clearDial(enable)
int luaClearDial(lua_State* L)
{
    CallBox* room = self(L, 2);
    room->clearDial(flag(L));
    return 0;
}

// clearRegister(animate)
int luaClearRegister(lua_State* L)
{
    CallBox* room = self(L, 2);
    room->clearRegister(flag(L));
    return 0;
}

// isComboCorrect() -> boolean
int luaIsComboCorrect(lua_State* L)
{
    CallBox* room = self(L, 1);
    lua_pushboolean(L, room->isComboCorrect());
    return 1;
}

// liftReceiver(lift) -> lift
int luaLiftReceiver(lua_State* L)
{
    CallBox* room = self(L, 2);
    const bool lift = flag(L);
    room->liftReceiver(lift);
    lua_pushboolean(L, lift);
    return 1;
}

// testCombo(show)
int luaTestCombo(lua_State* L)
{
    CallBox* room = self(L, 2);
    room->testCombo(flag(L));
    return 0;
}

// updateRegister()
int luaUpdateRegister(lua_State* L)
{
    CallBox* room = self(L, 1);
    room->updateRegister();
    return 0;
}

// usedMillionaireCombo() -> boolean
int luaUsedMillionaireCombo(lua_State* L)
{
    CallBox* room = self(L, 1);
    lua_pushboolean(L, room->usedMillionaireCombo());
    return 1;
}

using sprite::SpriteBaseLua;

const luaL_Reg kMethods[] = {
    {"addDigit", &SpriteBaseLua::guarded<luaAddDigit>},
    {"clearDial", &SpriteBaseLua::guarded<luaClearDial>},
    {"clearRegister", &SpriteBaseLua::guarded<luaClearRegister>},
    {"isComboCorrect", &SpriteBaseLua::guarded<luaIsComboCorrect>},
    {"liftReceiver", &SpriteBaseLua::guarded<luaLiftReceiver>},
    {"testCombo", &SpriteBaseLua::guarded<luaTestCombo>},
    {"updateRegister", &SpriteBaseLua::guarded<luaUpdateRegister>},
    {"usedMillionaireCombo", &SpriteBaseLua::guarded<luaUsedMillionaireCombo>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* CallBox::luaMethods()
{
    return kMethods;
}
