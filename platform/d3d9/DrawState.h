// DrawState.h: everything the rasterizer needs of the device's state for one
// draw: the target and stencil buffers, the clip rectangle, texture stage 0,
// the tests and the blend.
#pragma once

#include "platform/d3d9/D3D9Types.h"

namespace platform::d3d9 {

class PixelBuffer;

struct DrawState {
    PixelBuffer* target = nullptr;
    // The stencil bytes of the depth-stencil buffer; null when there are none.
    PixelBuffer* stencil = nullptr;
    // Pixels [left, right) x [top, bottom) may be written; inside the target.
    RECT clip = {0, 0, 0, 0};
    DWORD cullMode = D3DCULL_CCW;

    // Texture stage 0 and its sampler.
    const PixelBuffer* texture = nullptr;
    DWORD colourOp = D3DTOP_MODULATE;
    DWORD colourArg1 = D3DTA_TEXTURE;
    DWORD colourArg2 = D3DTA_CURRENT;
    DWORD alphaOp = D3DTOP_SELECTARG1;
    DWORD alphaArg1 = D3DTA_TEXTURE;
    DWORD alphaArg2 = D3DTA_CURRENT;
    DWORD magFilter = D3DTEXF_POINT;
    DWORD minFilter = D3DTEXF_POINT;
    DWORD addressU = D3DTADDRESS_WRAP;
    DWORD addressV = D3DTADDRESS_WRAP;

    bool alphaTest = false;
    DWORD alphaFunc = D3DCMP_ALWAYS;
    DWORD alphaRef = 0;

    bool stencilEnable = false;
    DWORD stencilFunc = D3DCMP_ALWAYS;
    DWORD stencilRef = 0;
    DWORD stencilMask = 0xFFFFFFFF;
    DWORD stencilWriteMask = 0xFFFFFFFF;
    DWORD stencilFail = D3DSTENCILOP_KEEP;
    DWORD stencilPass = D3DSTENCILOP_KEEP;

    bool blendEnable = false;
    DWORD srcBlend = D3DBLEND_ONE;
    DWORD destBlend = D3DBLEND_ZERO;

    // Side of a point in pixels, already limited.
    float pointSize = 1.0f;
    bool pointSprite = false;
};

} // namespace platform::d3d9
