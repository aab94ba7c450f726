// GdiRegion.h: the object behind a region handle.
#pragma once

#include "platform/gdi/BandedRegion.h"
#include "platform/gdi/GdiObject.h"

namespace platform {

class GdiRegion final : public GdiObject {
public:
    GdiRegion() : GdiObject(OBJ_REGION) {}
    explicit GdiRegion(const BandedRegion& region) : GdiObject(OBJ_REGION), area(region) {}

    BandedRegion area;
};

} // namespace platform
