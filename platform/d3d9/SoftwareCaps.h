// SoftwareCaps.h: the configurable capabilities and limits of the software
// device, and their defaults.
#pragma once

#include "platform/d3d9/D3D9Types.h"

namespace platform::d3d9 {

struct SoftwareCaps {
    UINT maxTextureWidth = 4096;
    UINT maxTextureHeight = 4096;
    UINT maxTextureAspectRatio = 4096;
    bool powerOfTwoTextures = false;   // textures must have power-of-two sides
    bool squareTextures = false;       // textures must be square
    bool scissorTest = true;           // the scissor test is offered
    bool alphaCompare = true;          // every alpha-test comparison is offered
    bool hardwareTransform = true;     // hardware vertex processing is offered
    bool fullScreenFlipOrDiscard = true;
    float maxPointSize = 256.0f;
    // Bytes of texture memory; what live textures occupy is subtracted.
    UINT textureMemory = 256u * 1024u * 1024u;
    D3DDISPLAYMODE displayMode = {1024, 768, 60, D3DFMT_X8R8G8B8};
    // Reset fails while the application still holds default-pool resources
    // (textures, vertex buffers, surfaces and swap chains), as the system's
    // device does; off by default, on to find resources not released.
    bool strictReset = false;

    // The capability record a device reports.
    D3DCAPS9 toCaps() const;
};

} // namespace platform::d3d9
