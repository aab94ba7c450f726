// ButtonSpriteLua.cpp: the native methods of hv.ButtonSprite.
#include "sprites/buttons/ButtonSprite.h"

#include "sprites/buttons/ButtonLuaMethods.h"

namespace sprite {
namespace {
constexpr char kLuaName[] = "ButtonSprite";
}

const luaL_Reg* ButtonSprite::luaMethods()
{
    return ButtonLuaMethods<ButtonSprite, kLuaName>::methods();
}

} // namespace sprite
