// DialogSpriteLua.cpp: the native methods of hv.DialogSprite.
#include "sprites/dialogs/DialogSprite.h"
#include "sprites/base/SpriteBaseLua.h"

#include <lua.hpp>

namespace sprite {

namespace {

const char kTooMany[] = "too many arguments";

DialogSprite* self(lua_State* L)
{
    return static_cast<DialogSprite*>(SpriteBaseLua::check(L, 1, "DialogSprite"));
}

// Keeps the dialog alive while the call runs: a command may drop the last
// other reference to it.
class Held {
public:
    explicit Held(DialogSprite* dialog) : m_pDialog(dialog) { m_pDialog->addRef(); }
    ~Held() { m_pDialog->release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    DialogSprite* m_pDialog;
};

// bringToFront(sprite): the sprite goes on top of the dialog's children.
int luaBringToFront(lua_State* L)
{
    DialogSprite* s = self(L);
    // The argument must hold a sprite, like self.
    SpriteBase* child = SpriteBaseLua::check(L, 2, "SpriteBase");
    s->bringToFront(child);
    return 0;
}

// dialogAction(text): offers the command to the dialog.
int luaDialogAction(lua_State* L)
{
    DialogSprite* s = self(L);
    SpriteBaseLua::checkAtMost(L, 2, 3, kTooMany);
    const char* text = lua_tostring(L, 2);
    Held held(s);
    s->dialogAction(lang::String(text ? text : ""));
    return 0;
}

int luaLastCommand(lua_State* L)
{
    DialogSprite* s = self(L);
    const lang::String& command = s->getLastCommand();
    lua_pushlstring(L, command.c_str(), size_t(command.length()));
    return 1;
}

// sprite(name): the named part's table, or nil.
int luaSprite(lua_State* L)
{
    DialogSprite* s = self(L);
    const char* name = lua_tostring(L, 2);
    SpriteBaseLua::pushTable(L, name ? s->getSprite(name) : nullptr);
    return 1;
}

const luaL_Reg kMethods[] = {
    {"bringToFront", &SpriteBaseLua::guarded<luaBringToFront>},
    {"dialogAction", &SpriteBaseLua::guarded<luaDialogAction>},
    {"lastCommand", &SpriteBaseLua::guarded<luaLastCommand>},
    {"sprite", &SpriteBaseLua::guarded<luaSprite>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* DialogSprite::luaMethods()
{
    return kMethods;
}

} // namespace sprite
