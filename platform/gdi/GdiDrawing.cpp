// GdiDrawing.cpp: fills, shapes, lines, pixels and blits into device contexts.
#include "platform/gdi/GdiDrawing.h"

#include "platform/gdi/AreaPainter.h"
#include "platform/gdi/GdiHandleTable.h"
#include "platform/gdi/RasterOps.h"
#include "platform/gdi/Rasterizer.h"

#include <algorithm>
#include <vector>

using platform::AreaPainter;
using platform::DeviceContext;
using platform::GdiBrush;
using platform::GdiHandleTable;
using platform::GdiPen;
using platform::PixelSurface;
using platform::SpanList;

namespace {

std::shared_ptr<DeviceContext> dcOf(HDC dc)
{
    return GdiHandleTable::instance().get<DeviceContext>(dc);
}

// Paints merged spans with a colour under the binary raster mode.
void paintSpans(AreaPainter& painter, SpanList& spans, COLORREF color, int rop2)
{
    uint32_t pixel = platform::colorToPixel(color);
    spans.forEach([&](LONG y, LONG x0, LONG x1) {
        painter.span(y, x0, x1, [&](uint32_t& p, LONG) { p = platform::applyRop2(rop2, pixel, p); });
    });
}

bool hasPen(const DeviceContext::State& s) { return s.pen && !s.pen->isNull(); }
bool hasBrush(const DeviceContext::State& s) { return s.brush && !s.brush->isNull(); }

// The pixels of one pen stroke from a to b.
void addStroke(SpanList& spans, const GdiPen& pen, POINT a, POINT b, const RECT& limit)
{
    if (pen.pixelWidth() <= 1) {
        // One-pixel lines leave out their end point, which the next segment starts with.
        platform::forEachLinePoint(a.x, a.y, b.x, b.y, false, &limit,
                                   [&](LONG x, LONG y) { spans.add(y, x, x + 1); });
    } else {
        platform::addWideLine(spans, a.x, a.y, b.x, b.y, pen.pixelWidth(), limit);
    }
}

void normalise(int& a, int& b)
{
    if (a > b)
        std::swap(a, b);
}

// The part of a source rectangle that lies inside the source surface, copied
// aside so that a blit within one surface reads the pixels as they were.
struct SourceCopy {
    std::vector<uint32_t> pixels;
    int64_t left = 0; // offset of the copied part within the source rectangle
    int64_t top = 0;
    int64_t width = 0;
    int64_t height = 0;
    bool at(int64_t x, int64_t y, uint32_t& out) const
    {
        x -= left;
        y -= top;
        if (x < 0 || y < 0 || x >= width || y >= height)
            return false;
        out = pixels[static_cast<size_t>(y * width + x)];
        return true;
    }
};

void copySource(DeviceContext& source, int64_t srcX, int64_t srcY, int64_t width, int64_t height, SourceCopy& copy)
{
    PixelSurface s = source.surface();
    int64_t x0 = std::max<int64_t>(srcX, 0), y0 = std::max<int64_t>(srcY, 0);
    int64_t x1 = std::min<int64_t>(srcX + width, s.width), y1 = std::min<int64_t>(srcY + height, s.height);
    if (!s.valid() || x0 >= x1 || y0 >= y1)
        return;
    copy.left = x0 - srcX;
    copy.top = y0 - srcY;
    copy.width = x1 - x0;
    copy.height = y1 - y0;
    copy.pixels.resize(static_cast<size_t>(copy.width * copy.height));
    for (int64_t y = y0; y < y1; ++y)
        std::copy(s.row(static_cast<int>(y)) + x0, s.row(static_cast<int>(y)) + x1,
                  copy.pixels.begin() + static_cast<ptrdiff_t>((y - y0) * copy.width));
}

// The source index whose band holds the centre of destination index i when
// `from` pixels are spread over `to` (the products can pass 64 bits).
int64_t sampleIndex(int64_t i, int64_t from, int64_t to)
{
    return static_cast<int64_t>((static_cast<__int128>(2 * i + 1) * from) / (2 * static_cast<__int128>(to)));
}

} // namespace

int FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle)
{
    auto dc = dcOf(handle);
    auto brush = GdiHandleTable::instance().get<GdiBrush>(brushHandle);
    if (!dc || !rect || !brush)
        return 0;
    if (brush->isNull())
        return 1;
    AreaPainter painter(*dc);
    uint32_t pixel = platform::colorToPixel(brush->color);
    const RECT& limit = painter.limit();
    LONG top = std::max(rect->top, limit.top), bottom = std::min(rect->bottom, limit.bottom);
    for (LONG y = top; y < bottom; ++y)
        painter.span(y, rect->left, rect->right, [&](uint32_t& p, LONG) { p = pixel; });
    return 1;
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom)
{
    auto dc = dcOf(handle);
    if (!dc)
        return FALSE;
    normalise(left, right);
    normalise(top, bottom);
    AreaPainter painter(*dc);
    if (!painter.active())
        return TRUE;
    const DeviceContext::State& s = dc->state();
    const RECT& limit = painter.limit();
    // Box edges are worked out in 64 bits: a pen's width added to an extreme coordinate must not wrap.
    auto addBox = [&](SpanList& spans, int64_t l, int64_t t, int64_t r, int64_t b) {
        for (int64_t y = std::max<int64_t>(t, limit.top); y < std::min<int64_t>(b, limit.bottom); ++y)
            spans.add(static_cast<LONG>(y), static_cast<LONG>(std::max<int64_t>(l, limit.left)),
                      static_cast<LONG>(std::min<int64_t>(r, limit.right)));
    };
    if (!hasPen(s)) {
        if (hasBrush(s)) {
            SpanList fill;
            addBox(fill, left, top, int64_t(right) - 1, int64_t(bottom) - 1);
            paintSpans(painter, fill, s.brush->color, s.rop2);
        }
        return TRUE;
    }
    int w = s.pen->pixelWidth();
    SpanList frame, fill;
    int64_t il = int64_t(left) + w, it = int64_t(top) + w, ir = int64_t(right) - w, ib = int64_t(bottom) - w;
    if (il >= ir || it >= ib) {
        addBox(frame, left, top, right, bottom);
    } else {
        addBox(frame, left, top, right, it);
        addBox(frame, left, ib, right, bottom);
        addBox(frame, left, it, il, ib);
        addBox(frame, ir, it, right, ib);
        if (hasBrush(s))
            addBox(fill, il, it, ir, ib);
    }
    paintSpans(painter, fill, hasBrush(s) ? s.brush->color : 0, s.rop2);
    paintSpans(painter, frame, s.pen->color, s.rop2);
    return TRUE;
}

BOOL Ellipse(HDC handle, int left, int top, int right, int bottom)
{
    auto dc = dcOf(handle);
    if (!dc)
        return FALSE;
    normalise(left, right);
    normalise(top, bottom);
    AreaPainter painter(*dc);
    if (!painter.active())
        return TRUE;
    const DeviceContext::State& s = dc->state();
    const RECT& limit = painter.limit();
    if (!hasPen(s)) {
        if (hasBrush(s)) {
            SpanList fill;
            platform::addEllipse(fill, left, top, right - 1.0, bottom - 1.0, limit);
            paintSpans(painter, fill, s.brush->color, s.rop2);
        }
        return TRUE;
    }
    int w = s.pen->pixelWidth();
    if (hasBrush(s)) {
        SpanList fill;
        platform::addEllipse(fill, double(left) + w, double(top) + w, double(right) - w, double(bottom) - w, limit);
        paintSpans(painter, fill, s.brush->color, s.rop2);
    }
    SpanList ring;
    platform::addEllipseRing(ring, left, top, right, bottom, w, limit);
    paintSpans(painter, ring, s.pen->color, s.rop2);
    return TRUE;
}

BOOL MoveToEx(HDC handle, int x, int y, LPPOINT previous)
{
    auto dc = dcOf(handle);
    if (!dc)
        return FALSE;
    if (previous)
        *previous = dc->state().position;
    dc->state().position = {x, y};
    return TRUE;
}

BOOL LineTo(HDC handle, int x, int y)
{
    auto dc = dcOf(handle);
    if (!dc)
        return FALSE;
    DeviceContext::State& s = dc->state();
    POINT from = s.position;
    s.position = {x, y};
    AreaPainter painter(*dc);
    if (!painter.active() || !hasPen(s))
        return TRUE;
    SpanList spans;
    addStroke(spans, *s.pen, from, {x, y}, painter.limit());
    paintSpans(painter, spans, s.pen->color, s.rop2);
    return TRUE;
}

BOOL Polyline(HDC handle, const POINT* points, int count)
{
    auto dc = dcOf(handle);
    if (!dc || !points || count < 2)
        return FALSE;
    const DeviceContext::State& s = dc->state();
    AreaPainter painter(*dc);
    if (!painter.active() || !hasPen(s))
        return TRUE;
    SpanList spans;
    for (int i = 0; i + 1 < count; ++i)
        addStroke(spans, *s.pen, points[i], points[i + 1], painter.limit());
    paintSpans(painter, spans, s.pen->color, s.rop2);
    return TRUE;
}

BOOL Polygon(HDC handle, const POINT* points, int count)
{
    auto dc = dcOf(handle);
    if (!dc || !points || count < 2)
        return FALSE;
    const DeviceContext::State& s = dc->state();
    AreaPainter painter(*dc);
    if (!painter.active())
        return TRUE;
    if (hasBrush(s)) {
        SpanList fill;
        platform::addPolygon(fill, points, count, s.polyFillMode, painter.limit());
        paintSpans(painter, fill, s.brush->color, s.rop2);
    }
    if (hasPen(s)) {
        SpanList outline;
        for (int i = 0; i < count; ++i)
            addStroke(outline, *s.pen, points[i], points[(i + 1) % count], painter.limit());
        paintSpans(painter, outline, s.pen->color, s.rop2);
    }
    return TRUE;
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color)
{
    auto dc = dcOf(handle);
    if (!dc)
        return CLR_INVALID;
    AreaPainter painter(*dc);
    if (!painter.contains(x, y))
        return CLR_INVALID;
    painter.surface().row(y)[x] = platform::colorToPixel(color);
    return color & 0xFFFFFFu;
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color)
{
    return SetPixel(dc, x, y, color) != CLR_INVALID ? TRUE : FALSE;
}

COLORREF GetPixel(HDC handle, int x, int y)
{
    auto dc = dcOf(handle);
    if (!dc)
        return CLR_INVALID;
    AreaPainter painter(*dc);
    if (!painter.contains(x, y))
        return CLR_INVALID;
    return platform::pixelToColor(painter.surface().row(y)[x]);
}

BOOL PatBlt(HDC handle, int x, int y, int width, int height, DWORD rop)
{
    auto dc = dcOf(handle);
    if (!dc)
        return FALSE;
    int64_t x0 = x, x1 = int64_t(x) + width, y0 = y, y1 = int64_t(y) + height;
    if (x0 > x1)
        std::swap(x0, x1);
    if (y0 > y1)
        std::swap(y0, y1);
    const DeviceContext::State& s = dc->state();
    if (platform::rop3UsesPattern(rop) && !hasBrush(s))
        return TRUE;
    uint32_t pattern = hasBrush(s) ? platform::colorToPixel(s.brush->color) : 0;
    AreaPainter painter(*dc);
    const RECT& limit = painter.limit();
    y0 = std::max<int64_t>(y0, limit.top);
    y1 = std::min<int64_t>(y1, limit.bottom);
    x0 = std::max<int64_t>(x0, limit.left);
    x1 = std::min<int64_t>(x1, limit.right);
    for (int64_t row = y0; row < y1; ++row)
        painter.span(static_cast<LONG>(row), static_cast<LONG>(x0), static_cast<LONG>(x1),
                     [&](uint32_t& p, LONG) { p = platform::applyRop3(rop, pattern, 0, p); });
    return TRUE;
}

BOOL StretchBlt(HDC destHandle, int x, int y, int width, int height, HDC sourceHandle, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop)
{
    auto dest = dcOf(destHandle);
    if (!dest)
        return FALSE;
    if (!platform::rop3UsesSource(rop))
        return PatBlt(destHandle, x, y, width, height, rop);
    auto source = dcOf(sourceHandle);
    if (!source)
        return FALSE;
    if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0)
        return TRUE;
    bool mirrorX = (width < 0) != (srcWidth < 0), mirrorY = (height < 0) != (srcHeight < 0);
    int64_t dx0 = std::min<int64_t>(x, int64_t(x) + width), dy0 = std::min<int64_t>(y, int64_t(y) + height);
    int64_t dw = width < 0 ? -int64_t(width) : width, dh = height < 0 ? -int64_t(height) : height;
    int64_t sx0 = std::min<int64_t>(srcX, int64_t(srcX) + srcWidth), sy0 = std::min<int64_t>(srcY, int64_t(srcY) + srcHeight);
    int64_t sw = srcWidth < 0 ? -int64_t(srcWidth) : srcWidth, sh = srcHeight < 0 ? -int64_t(srcHeight) : srcHeight;

    SourceCopy copy;
    copySource(*source, sx0, sy0, sw, sh, copy);
    if (copy.pixels.empty())
        return TRUE;
    uint32_t pattern = dest->state().brush && !dest->state().brush->isNull()
                           ? platform::colorToPixel(dest->state().brush->color)
                           : 0;
    AreaPainter painter(*dest);
    const RECT& limit = painter.limit();
    int64_t rowFrom = std::max<int64_t>(dy0, limit.top), rowTo = std::min<int64_t>(dy0 + dh, limit.bottom);
    for (int64_t row = rowFrom; row < rowTo; ++row) {
        int64_t i = row - dy0;
        if (mirrorY)
            i = dh - 1 - i;
        int64_t sy = sampleIndex(i, sh, dh);
        painter.span(static_cast<LONG>(row), static_cast<LONG>(std::max<int64_t>(dx0, limit.left)),
                     static_cast<LONG>(std::min<int64_t>(dx0 + dw, limit.right)), [&](uint32_t& p, LONG col) {
                         int64_t j = col - dx0;
                         if (mirrorX)
                             j = dw - 1 - j;
                         int64_t sx = sampleIndex(j, sw, dw);
                         uint32_t s;
                         if (copy.at(sx, sy, s))
                             p = platform::applyRop3(rop, pattern, s, p);
                     });
    }
    return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY, DWORD rop)
{
    if (width <= 0 || height <= 0)
        return dcOf(dest) ? TRUE : FALSE;
    return StretchBlt(dest, x, y, width, height, source, srcX, srcY, width, height, rop);
}

BOOL LineDDA(int x1, int y1, int x2, int y2, LINEDDAPROC proc, LPARAM data)
{
    if (!proc)
        return FALSE;
    platform::forEachLinePoint(x1, y1, x2, y2, false, nullptr, [&](LONG x, LONG y) { proc(x, y, data); });
    return TRUE;
}
