// BandedRegion.h: an area of the plane held as rectangles in horizontal bands,
// the engine behind GDI region handles and device-context clipping.
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <vector>

namespace platform {

// The rectangles are kept in one canonical form: bands sorted from top to
// bottom that do not overlap; every rectangle of a band has the band's top and
// bottom; within a band the rectangles are sorted by left edge and neither
// overlap nor touch; two touching bands never have the same horizontal spans
// (they are merged). Two regions covering the same pixels therefore hold
// identical rectangle lists. A rectangle covers left <= x < right, top <= y < bottom.
class BandedRegion {
public:
    BandedRegion() = default;
    // A rectangle given by any two opposite corners; an empty one gives an empty region.
    BandedRegion(LONG left, LONG top, LONG right, LONG bottom);
    explicit BandedRegion(const RECT& rect);

    void setRect(LONG left, LONG top, LONG right, LONG bottom);
    void clear();

    bool empty() const { return m_rects.empty(); }
    // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
    int complexity() const;
    // The smallest rectangle holding the region; all zero when it is empty.
    const RECT& bounds() const { return m_bounds; }
    const std::vector<RECT>& rects() const { return m_rects; }

    bool contains(LONG x, LONG y) const;
    // Whether any pixel of the rectangle lies in the region.
    bool intersects(const RECT& rect) const;
    // Moves the region; false (and no change) when a coordinate would leave
    // the 32-bit range.
    bool offset(LONG dx, LONG dy);

    // One of RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF (a minus b), RGN_COPY (a).
    static BandedRegion combine(const BandedRegion& a, const BandedRegion& b, int mode);

    // Calls f(x0, x1) for each part of the row span [x0, x1) at row y that lies
    // in the region, from left to right.
    template <class F>
    void forEachSpanPart(LONG y, LONG x0, LONG x1, F&& f) const
    {
        if (x0 >= x1 || y < m_bounds.top || y >= m_bounds.bottom)
            return;
        size_t i = firstRectOfRow(y);
        for (; i < m_rects.size() && m_rects[i].top <= y; ++i) {
            const RECT& r = m_rects[i];
            if (r.left >= x1)
                break;
            LONG a = r.left > x0 ? r.left : x0;
            LONG b = r.right < x1 ? r.right : x1;
            if (a < b)
                f(a, b);
        }
    }

    bool operator==(const BandedRegion& other) const;
    bool operator!=(const BandedRegion& other) const { return !(*this == other); }

private:
    // Index of the first rectangle of the band holding row y, or of the first
    // band below y when no band holds it.
    size_t firstRectOfRow(LONG y) const;
    void updateBounds();

    std::vector<RECT> m_rects;
    RECT m_bounds{0, 0, 0, 0};
};

} // namespace platform
