// SceneLua.h: what the Lua methods of the scene classes share: the check of
// self and of the argument count with the scenes' own error texts, the
// lower-cased word argument, the one result, and the making of a room's
// script class over hv.Room.
#pragma once

#include "core/lang/String.h"

struct lua_State;
struct luaL_Reg;

namespace sprite {
class SpriteBase;
}

class Room;

class SceneLua {
public:
    // The argument error of a call with another number of arguments than
    // the method takes (too few included).
    static const char kTooManyArguments[];

    // Argument 1 must be a table ("table expected") whose "__c++" field holds
    // a sprite ("not a Sprite object") that is a `className` ("not a
    // <className>"); then the call must have exactly `count` arguments, self
    // included ("too many arguments" on argument count + 1). The errors leave
    // by Lua's long jump: call this before any C++ object with a destructor
    // is made.
    static sprite::SpriteBase* checkSelf(lua_State* L, const char* className, int count);
    template <class T>
    static T* self(lua_State* L, const char* className, int count)
    {
        return static_cast<T*>(checkSelf(L, className, count));
    }

    // The text of argument `index` lower-cased; a value that is no string or
    // number raises Lua's "string expected" on that argument.
    static lang::String lowerWord(lua_State* L, int index);

    // The method's one result: its last argument. Returns 1.
    static int returnLast(lua_State* L);

    // A room class's Lua face, made in its constructor: the metatable
    // "hv.<className>" built once over "hv.Room" from "<className>.lua" and
    // the native methods, and the room's table given to it.
    static void bindRoomClass(Room* room, const char* className, const luaL_Reg* methods);
};
