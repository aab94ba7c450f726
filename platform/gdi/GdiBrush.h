// GdiBrush.h: the object behind a brush handle (solid or hollow).
#pragma once

#include "platform/gdi/GdiObject.h"

namespace platform {

class GdiBrush final : public GdiObject {
public:
    GdiBrush(UINT style, COLORREF color) : GdiObject(OBJ_BRUSH), style(style), color(color) {}

    bool isNull() const { return style == BS_NULL; }

    UINT style;
    COLORREF color;
};

} // namespace platform
