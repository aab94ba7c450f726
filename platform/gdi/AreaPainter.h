// AreaPainter.h: writes pixels of a device context's surface, limited to the
// area the context may draw (its clip region within the surface).
#pragma once

#include "platform/gdi/DeviceContext.h"

namespace platform {

class AreaPainter {
public:
    explicit AreaPainter(DeviceContext& dc) : m_surface(dc.surface()), m_area(dc.drawableArea()) {}

    // False when nothing can be drawn (no pixels, or an empty clip).
    bool active() const { return m_surface.valid() && !m_area.empty(); }
    // The bounding box of the drawable area; shapes are cut to it before painting.
    const RECT& limit() const { return m_area.bounds(); }
    const PixelSurface& surface() const { return m_surface; }
    bool contains(LONG x, LONG y) const { return active() && m_area.contains(x, y); }

    // Calls f(pixel, x) for each drawable pixel of the row span [x0, x1) at y.
    template <class F>
    void span(LONG y, LONG x0, LONG x1, F&& f)
    {
        if (!active())
            return;
        m_area.forEachSpanPart(y, x0, x1, [&](LONG a, LONG b) {
            uint32_t* row = m_surface.row(static_cast<int>(y));
            for (LONG x = a; x < b; ++x)
                f(row[x], x);
        });
    }

private:
    PixelSurface m_surface;
    BandedRegion m_area;
};

} // namespace platform
