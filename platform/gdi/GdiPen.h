// GdiPen.h: the object behind a pen handle.
#pragma once

#include "platform/gdi/GdiObject.h"

namespace platform {

// Every style but PS_NULL draws solid lines; widths below 1 draw 1 pixel wide.
class GdiPen final : public GdiObject {
public:
    GdiPen(int style, int width, COLORREF color) : GdiObject(OBJ_PEN), style(style), width(width), color(color) {}

    bool isNull() const { return (style & PS_STYLE_MASK) == PS_NULL; }
    int pixelWidth() const { return width < 1 ? 1 : width; }

    int style;
    int width;
    COLORREF color;
};

} // namespace platform
