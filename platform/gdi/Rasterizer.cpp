// Rasterizer.cpp: wide lines, polygons and ellipses as row spans.
#include "platform/gdi/Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {

namespace {

// Pixels x whose centres x + 0.5 lie in [a, b).
void addCentresBetween(SpanList& spans, LONG y, double a, double b, const RECT& limit)
{
    double lo = std::ceil(a - 0.5), hi = std::ceil(b - 0.5);
    lo = std::max(lo, double(limit.left));
    hi = std::min(hi, double(limit.right));
    if (lo < hi)
        spans.add(y, static_cast<LONG>(lo), static_cast<LONG>(hi));
}

// Half-width of an ellipse's row at the centre height yc; false outside it.
bool ellipseHalfWidth(double cy, double rx, double ry, double yc, double& half)
{
    if (rx <= 0 || ry <= 0)
        return false;
    double n = (yc - cy) / ry;
    if (n <= -1 || n >= 1)
        return false;
    half = rx * std::sqrt(1 - n * n);
    return true;
}

} // namespace

void addWideLine(SpanList& spans, LONG x1, LONG y1, LONG x2, LONG y2, int width, const RECT& limit)
{
    // The stamp: offsets -(w-1)/2 .. w/2 on each axis, rounded off at the corners.
    int lo = -(width - 1) / 2, hi = width / 2;
    double centre = (hi + lo) / 2.0, radius = width / 2.0;
    std::vector<int> rowFrom, rowTo;
    for (int dy = lo; dy <= hi; ++dy) {
        int from = hi + 1, to = lo - 1;
        for (int dx = lo; dx <= hi; ++dx) {
            double ex = dx - centre, ey = dy - centre;
            if (ex * ex + ey * ey <= radius * radius) {
                from = std::min(from, dx);
                to = std::max(to, dx);
            }
        }
        rowFrom.push_back(from);
        rowTo.push_back(to);
    }
    RECT grown = {LONG(std::max<int64_t>(int64_t(limit.left) - hi, INT32_MIN)),
                  LONG(std::max<int64_t>(int64_t(limit.top) - hi, INT32_MIN)),
                  LONG(std::min<int64_t>(int64_t(limit.right) - lo, INT32_MAX)),
                  LONG(std::min<int64_t>(int64_t(limit.bottom) - lo, INT32_MAX))};
    forEachLinePoint(x1, y1, x2, y2, true, &grown, [&](LONG x, LONG y) {
        for (int i = 0; i < static_cast<int>(rowFrom.size()); ++i) {
            if (rowFrom[i] > rowTo[i])
                continue;
            int64_t row = int64_t(y) + lo + i;
            if (row < limit.top || row >= limit.bottom)
                continue;
            int64_t a = std::max<int64_t>(int64_t(x) + rowFrom[i], limit.left);
            int64_t b = std::min<int64_t>(int64_t(x) + rowTo[i] + 1, limit.right);
            if (a < b)
                spans.add(static_cast<LONG>(row), static_cast<LONG>(a), static_cast<LONG>(b));
        }
    });
}

void addPolygon(SpanList& spans, const POINT* points, int count, int fillMode, const RECT& limit)
{
    if (count < 3)
        return;
    LONG minY = points[0].y, maxY = points[0].y;
    for (int i = 1; i < count; ++i) {
        minY = std::min(minY, points[i].y);
        maxY = std::max(maxY, points[i].y);
    }
    minY = std::max(minY, limit.top);
    maxY = std::min(maxY, limit.bottom);
    struct Crossing {
        double x;
        int direction;
    };
    std::vector<Crossing> crossings;
    for (LONG y = minY; y < maxY; ++y) {
        double yc = y + 0.5;
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            const POINT& a = points[i];
            const POINT& b = points[(i + 1) % count];
            if (a.y == b.y)
                continue;
            double ya = a.y, yb = b.y;
            if (yc < std::min(ya, yb) || yc >= std::max(ya, yb))
                continue;
            double x = a.x + (yc - ya) * (double(b.x) - a.x) / (yb - ya);
            crossings.push_back({x, b.y > a.y ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& p, const Crossing& q) { return p.x < q.x; });
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].direction;
            bool inside = fillMode == WINDING ? winding != 0 : (i % 2 == 0);
            if (inside)
                addCentresBetween(spans, y, crossings[i].x, crossings[i + 1].x, limit);
        }
    }
}

void addEllipse(SpanList& spans, double left, double top, double right, double bottom, const RECT& limit)
{
    double cx = (left + right) / 2, cy = (top + bottom) / 2;
    double rx = (right - left) / 2, ry = (bottom - top) / 2;
    LONG y0 = static_cast<LONG>(std::max(std::floor(top), double(limit.top)));
    LONG y1 = static_cast<LONG>(std::min(std::ceil(bottom), double(limit.bottom)));
    for (LONG y = y0; y < y1; ++y) {
        double half;
        if (ellipseHalfWidth(cy, rx, ry, y + 0.5, half))
            addCentresBetween(spans, y, cx - half, cx + half, limit);
    }
}

void addEllipseRing(SpanList& spans, double left, double top, double right, double bottom, int thickness,
                    const RECT& limit)
{
    double cx = (left + right) / 2, cy = (top + bottom) / 2;
    double rx = (right - left) / 2, ry = (bottom - top) / 2;
    double irx = rx - thickness, iry = ry - thickness;
    LONG y0 = static_cast<LONG>(std::max(std::floor(top), double(limit.top)));
    LONG y1 = static_cast<LONG>(std::min(std::ceil(bottom), double(limit.bottom)));
    for (LONG y = y0; y < y1; ++y) {
        double outer, inner;
        if (!ellipseHalfWidth(cy, rx, ry, y + 0.5, outer))
            continue;
        if (ellipseHalfWidth(cy, irx, iry, y + 0.5, inner)) {
            addCentresBetween(spans, y, cx - outer, cx - inner, limit);
            addCentresBetween(spans, y, cx + inner, cx + outer, limit);
        } else {
            addCentresBetween(spans, y, cx - outer, cx + outer, limit);
        }
    }
}

} // namespace platform
