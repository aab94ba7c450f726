// InventoryLua.cpp: the native methods of hv.Inventory, the Lua class of the
// global `inventory`: items given and taken, hints, the room-item tip,
// sparkles and the cave map, each a forwarder with its argument checks.
#include "game/inventory/Inventory.h"

#include "sprites/base/SpriteBaseLua.h"
#include "sprites/script/ScriptHost.h"

#include <lua.hpp>

namespace {

const char kTooMany[] = "too many arguments";

// The inventory of argument 1 ("not a Sprite object", "not an Inventory").
// Argument errors leave by a long jump, before any C++ object exists.
Inventory* inventoryOf(lua_State* L)
{
    lang::Object* object = ScriptHost::checkObject(L, 1, nullptr, sprite::SpriteBaseLua::kObjectWord);
    if (!object->isInstanceOf("Inventory"))
        luaL_argerror(L, 1, "not an Inventory");
    return static_cast<Inventory*>(object);
}

// The inventory, then exactly `count` Lua values (the inventory included);
// a wrong count is reported at the position after the last expected value.
Inventory* self(lua_State* L, int count)
{
    Inventory* inventory = inventoryOf(L);
    sprite::SpriteBaseLua::checkCount(L, count, count + 1, kTooMany);
    return inventory;
}

// A text argument that must really be a Lua string: anything else makes the
// method do nothing.
bool isText(lua_State* L, int index)
{
    return lua_type(L, index) == LUA_TSTRING;
}

// The string at `index` (a number is turned into its text in place).
lang::String text(lua_State* L, int index)
{
    size_t length = 0;
    const char* s = lua_tolstring(L, index, &length);
    return lang::String(s, 0, int(length));
}

// The same after the standard string check, which raises for anything
// that is neither a string nor a number.
lang::String checkedText(lua_State* L, int index)
{
    size_t length = 0;
    const char* s = luaL_checklstring(L, index, &length);
    return lang::String(s, 0, int(length));
}

int checkedInt(lua_State* L, int index)
{
    return int(luaL_checkinteger(L, index));
}

// The methods that give nothing report the value on top of their stack.
int returnLast(lua_State* L)
{
    lua_pushvalue(L, lua_gettop(L));
    return 1;
}

// addHint, removeHint and setHint (textId, id): a text id that is no string
// does nothing.
template <void (Inventory::*Operation)(const lang::String&, int)>
int luaHintMethod(lua_State* L)
{
    Inventory* inventory = self(L, 3);
    if (isText(L, 2)) {
        const int id = checkedInt(L, 3);
        (inventory->*Operation)(text(L, 2), id);
    }
    return returnLast(L);
}

// addItemToList(name)
int luaAddItemToList(lua_State* L)
{
    Inventory* inventory = self(L, 2);
    inventory->addItemToList(checkedText(L, 2));
    return returnLast(L);
}

// enableItems(flag)
int luaEnableItems(lua_State* L)
{
    Inventory* inventory = self(L, 2);
    inventory->enableItems(lua_toboolean(L, lua_gettop(L)) != 0);
    return returnLast(L);
}

// hasItem(name) -> boolean
int luaHasItem(lua_State* L)
{
    Inventory* inventory = self(L, 2);
    lua_pushboolean(L, inventory->hasItem(checkedText(L, 2)));
    return 1;
}

// removeItemFromList(name)
int luaRemoveItemFromList(lua_State* L)
{
    Inventory* inventory = self(L, 2);
    if (isText(L, 2))
        inventory->removeItemFromList(text(L, 2));
    return returnLast(L);
}

// replaceHint(textOut, textIn, idIn, idOut)
int luaReplaceHint(lua_State* L)
{
    Inventory* inventory = self(L, 5);
    if (isText(L, 2) && isText(L, 3)) {
        const int idIn = checkedInt(L, 4);
        const int idOut = checkedInt(L, 5);
        inventory->replaceHint(text(L, 2), text(L, 3), idIn, idOut);
    }
    return returnLast(L);
}

// lowerHintPaper()
int luaLowerHintPaper(lua_State* L)
{
    self(L, 1)->lowerHintPaper();
    return returnLast(L);
}

// setRoomItemTip(textId, number, slide)
int luaSetRoomItemTip(lua_State* L)
{
    Inventory* inventory = self(L, 4);
    // Every check before the first C++ text exists.
    luaL_checkstring(L, 2);
    const int number = checkedInt(L, 3);
    inventory->setRoomItemTip(text(L, 2), number, lua_toboolean(L, 4) != 0);
    return returnLast(L);
}

// setToOrigin()
int luaSetToOrigin(lua_State* L)
{
    self(L, 1)->setToOrigin();
    return returnLast(L);
}

// showCaveMap(flag)
int luaShowCaveMap(lua_State* L)
{
    Inventory* inventory = self(L, 2);
    inventory->showCaveMap(lua_toboolean(L, lua_gettop(L)) != 0);
    return returnLast(L);
}

// showRoomItemTip(flag)
int luaShowRoomItemTip(lua_State* L)
{
    Inventory* inventory = self(L, 2);
    inventory->stepHintDisplay(lua_toboolean(L, lua_gettop(L)) != 0);
    return returnLast(L);
}

// sparkleInSprite(targetName, templateName), with any number of values.
int luaSparkleInSprite(lua_State* L)
{
    Inventory* inventory = inventoryOf(L);
    luaL_checkstring(L, 2);
    luaL_checkstring(L, 3);
    inventory->sparkleInSprite(text(L, 2), text(L, 3));
    return returnLast(L);
}

const luaL_Reg kMethods[] = {
    {"addHint", &sprite::SpriteBaseLua::guarded<luaHintMethod<&Inventory::addHint>>},
    {"addItemToList", &sprite::SpriteBaseLua::guarded<luaAddItemToList>},
    {"enableItems", &sprite::SpriteBaseLua::guarded<luaEnableItems>},
    {"hasItem", &sprite::SpriteBaseLua::guarded<luaHasItem>},
    {"lowerHintPaper", &sprite::SpriteBaseLua::guarded<luaLowerHintPaper>},
    {"removeHint", &sprite::SpriteBaseLua::guarded<luaHintMethod<&Inventory::removeHint>>},
    {"removeItemFromList", &sprite::SpriteBaseLua::guarded<luaRemoveItemFromList>},
    {"replaceHint", &sprite::SpriteBaseLua::guarded<luaReplaceHint>},
    {"setHint", &sprite::SpriteBaseLua::guarded<luaHintMethod<&Inventory::setHint>>},
    {"setRoomItemTip", &sprite::SpriteBaseLua::guarded<luaSetRoomItemTip>},
    {"setToOrigin", &sprite::SpriteBaseLua::guarded<luaSetToOrigin>},
    {"showCaveMap", &sprite::SpriteBaseLua::guarded<luaShowCaveMap>},
    {"showRoomItemTip", &sprite::SpriteBaseLua::guarded<luaShowRoomItemTip>},
    {"sparkleInSprite", &sprite::SpriteBaseLua::guarded<luaSparkleInSprite>},
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* Inventory::luaMethods()
{
    return kMethods;
}
