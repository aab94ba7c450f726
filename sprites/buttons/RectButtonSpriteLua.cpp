// RectButtonSpriteLua.cpp: the native methods of hv.RectButtonSprite.
#include "sprites/buttons/RectButtonSprite.h"

#include "sprites/buttons/ButtonLuaMethods.h"

namespace sprite {
namespace {
constexpr char kRectButtonLuaName[] = "RectButtonSprite";
}

const luaL_Reg* RectButtonSprite::luaMethods()
{
    return ButtonLuaMethods<RectButtonSprite, kRectButtonLuaName>::methods();
}

} // namespace sprite
