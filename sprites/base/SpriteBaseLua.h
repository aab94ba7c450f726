// SpriteBaseLua.h: the Lua face of sprites: each sprite's table (made,
// given its class metatable, and cut loose when the sprite goes), the
// methods of hv.SpriteBase, and the calls the program makes on a sprite's
// table ("nextFrame", "completeAnimations").
#pragma once

#include <cstddef>

struct lua_State;
struct luaL_Reg;

namespace sprite {

class SpriteBase;

class SpriteBaseLua {
public:
    // The metatable of every sprite table, built on first use from the
    // native methods and then the table hv.SpriteBase of "Sprite.lua".
    static const char kMetatable[];
    // The word of the type-check error for a table that holds no sprite.
    static const char kObjectWord[];

    // Gives sprites made from now on a Lua table in the script host's state
    // (none while there is no script host), and routes their per-frame Lua
    // calls; called once the script host exists.
    static void connect();
    // Sprites made from now on get no table.
    static void disconnect();

    // The hooks connect installs in SpriteBase::luaHooks.
    static void createTable(SpriteBase* sprite);
    static void releaseTable(SpriteBase* sprite);
    static void callNextFrame(SpriteBase* sprite, int frame);

    // A subclass constructor's Lua step: when the sprite has a table, the
    // class metatable is built once (the base's fields, the script's table
    // hv.<className>, then the native methods) and given to the table.
    static void bindClass(SpriteBase* sprite, const char* metatable, const char* baseMetatable,
                          const char* scriptFile, const char* className, const luaL_Reg* methods);

    // Calls the method `name` of the sprite's table with the table as its
    // only argument, under the script host's traceback handler; nothing when
    // the sprite has no table.
    static void callMethod(SpriteBase* sprite, const char* name);

    // Pushes the sprite's table, or nil when it has none.
    static void pushTable(lua_State* L, SpriteBase* sprite);

    // The type check of a sprite method: argument `index` must be a sprite
    // table ("table expected", "not a Sprite object") whose sprite is an
    // instance of className ("not a <className>"). Raises a Lua argument
    // error, so call it before any C++ object with a destructor exists.
    static SpriteBase* check(lua_State* L, int index, const char* className);

    // Raises an argument error at `position` with `message` unless the call
    // has `count` arguments (self included).
    static void checkCount(lua_State* L, int count, int position, const char* message);
    // The same for at most `count` arguments.
    static void checkAtMost(lua_State* L, int count, int position, const char* message);

    // The number at `index` truncated toward zero into the int range (0 for
    // anything that is no number, and for NaN).
    static int toInt(lua_State* L, int index);
    // The alpha factor at `index` (0.0 to 2.0, 1.0 = unchanged) as an alpha
    // byte: 2.0 gives 255, anything else truncate(factor x 128). Outside the
    // range: an argument error at position 3.
    static int alphaByte(lua_State* L, int index);

    // The native methods of hv.SpriteBase, ending with an empty entry.
    static const luaL_Reg* methods();

    using Function = int (*)(lua_State*);
    // Runs a native method so that no C++ exception crosses Lua's error
    // jump: an exception becomes a Lua error carrying its message.
    template <Function F>
    static int guarded(lua_State* L)
    {
        char message[200];
        message[0] = 0;
        try {
            return F(L);
        } catch (...) {
            describeException(message, sizeof message);
        }
        return raise(L, message);
    }

private:
    // The text of the exception being handled.
    static void describeException(char* message, size_t size);
    // Raises a Lua error with the message.
    static int raise(lua_State* L, const char* message);
    // Builds the metatable hv.SpriteBase when the state has none yet.
    static void ensureMetatable(lua_State* L);
};

} // namespace sprite
