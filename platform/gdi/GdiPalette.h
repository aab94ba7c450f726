// GdiPalette.h: the object behind a palette handle. Every surface here has 32
// bits per pixel, so a palette only needs to exist and be selectable.
#pragma once

#include "platform/gdi/GdiObject.h"

namespace platform {

class GdiPalette final : public GdiObject {
public:
    explicit GdiPalette(WORD entries) : GdiObject(OBJ_PAL), entries(entries) {}

    WORD entries;
};

} // namespace platform
