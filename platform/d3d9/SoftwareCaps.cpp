// SoftwareCaps.cpp: the capability record of the configured limits.
#include "platform/d3d9/SoftwareCaps.h"

namespace platform::d3d9 {

D3DCAPS9 SoftwareCaps::toCaps() const
{
    D3DCAPS9 caps = {};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.AdapterOrdinal = 0;
    caps.Caps3 = fullScreenFlipOrDiscard ? D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD : 0;
    caps.DevCaps = hardwareTransform ? D3DDEVCAPS_HWTRANSFORMANDLIGHT : 0;
    caps.RasterCaps = scissorTest ? D3DPRASTERCAPS_SCISSORTEST : 0;
    caps.AlphaCmpCaps = alphaCompare ? (D3DPCMPCAPS_NEVER | D3DPCMPCAPS_LESS | D3DPCMPCAPS_EQUAL | D3DPCMPCAPS_LESSEQUAL |
                                        D3DPCMPCAPS_GREATER | D3DPCMPCAPS_NOTEQUAL | D3DPCMPCAPS_GREATEREQUAL |
                                        D3DPCMPCAPS_ALWAYS)
                                     : D3DPCMPCAPS_ALWAYS;
    caps.TextureCaps = (powerOfTwoTextures ? D3DPTEXTURECAPS_POW2 : 0) | (squareTextures ? D3DPTEXTURECAPS_SQUAREONLY : 0);
    caps.MaxTextureWidth = maxTextureWidth;
    caps.MaxTextureHeight = maxTextureHeight;
    caps.MaxTextureAspectRatio = maxTextureAspectRatio;
    caps.MaxPointSize = maxPointSize;
    return caps;
}

} // namespace platform::d3d9
