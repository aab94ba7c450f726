// RoomLua.cpp: the native methods of hv.Room that room scripts call on self.
#include "game/rooms/Room.h"

#include <lua.hpp>

namespace {

const luaL_Reg kMethods[] = {
    {nullptr, nullptr},
};

} // namespace

const luaL_Reg* Room::luaMethods()
{
    return kMethods;
}
