// RectButtonSpriteLua.cpp: the native methods of hv.RectButtonSprite.
#include "sprites/RectButtonSprite.h"

#include "sprites/ButtonLuaMethods.h"

namespace sprite {
namespace {
constexpr char kLuaName[] = "RectButtonSprite";
}

const luaL_Reg* RectButtonSprite::luaMethods()
{
    return ButtonLuaMethods<RectButtonSprite, kLuaName>::methods();
}

} // namespace sprite
