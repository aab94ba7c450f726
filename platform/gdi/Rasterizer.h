// Rasterizer.h: which pixels the GDI shapes cover: lines stepped as GDI steps
// them, wide lines, polygons under both fill modes, and ellipses.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/SpanList.h"

#include <cstdint>

namespace platform {

// Calls f(x, y) for each point of the line from (x1, y1) towards (x2, y2): one
// point per step along the longer axis, the other coordinate rounded to the
// nearest pixel (halves away from the start). The end point is produced only
// with includeEnd. With a limit, only points inside it are produced, and the
// steps outside it along the longer axis are skipped without walking them.
template <class F>
void forEachLinePoint(LONG x1, LONG y1, LONG x2, LONG y2, bool includeEnd, const RECT* limit, F&& f)
{
    int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    bool xMajor = adx >= ady;
    int64_t steps = xMajor ? adx : ady;
    int64_t minorDelta = xMajor ? ady : adx;
    int64_t last = includeEnd ? steps : steps - 1;
    if (last < 0)
        return;
    int64_t first = 0;
    if (limit) {
        // The range of steps whose major coordinate lies inside the limit.
        int64_t start = xMajor ? x1 : y1;
        int sign = xMajor ? sx : sy;
        int64_t lo = xMajor ? limit->left : limit->top;
        int64_t hi = (xMajor ? limit->right : limit->bottom) - 1;
        if (lo > hi)
            return;
        int64_t a = (lo - start) * sign, b = (hi - start) * sign;
        if (a > b) {
            int64_t t = a;
            a = b;
            b = t;
        }
        if (a > first)
            first = a;
        if (b < last)
            last = b;
    }
    for (int64_t i = first; i <= last; ++i) {
        // Offsets fit 64 bits only through a wider product: both factors can reach 2^32.
        int64_t minor = steps == 0 ? 0
                                   : static_cast<int64_t>((static_cast<__int128>(2 * i) * minorDelta + steps) /
                                                          (2 * static_cast<__int128>(steps)));
        int64_t x = xMajor ? x1 + sx * i : x1 + sx * minor;
        int64_t y = xMajor ? y1 + sy * minor : y1 + sy * i;
        if (limit && (x < limit->left || x >= limit->right || y < limit->top || y >= limit->bottom))
            continue;
        f(static_cast<LONG>(x), static_cast<LONG>(y));
    }
}

// A line of a pen `width` pixels wide (2 or more): a round stamp of that
// diameter at every point of the line, both ends included. Only the part
// inside `limit` is added.
void addWideLine(SpanList& spans, LONG x1, LONG y1, LONG x2, LONG y2, int width, const RECT& limit);

// The inside of a polygon (closed from the last point back to the first):
// the pixels whose centres lie inside under the fill mode (ALTERNATE or WINDING).
void addPolygon(SpanList& spans, const POINT* points, int count, int fillMode, const RECT& limit);

// The pixels whose centres lie inside the ellipse inscribed in the box
// left <= x < right, top <= y < bottom.
void addEllipse(SpanList& spans, double left, double top, double right, double bottom, const RECT& limit);

// The ring between that ellipse and the one `thickness` pixels further in.
void addEllipseRing(SpanList& spans, double left, double top, double right, double bottom, int thickness,
                    const RECT& limit);

} // namespace platform
