// GraphicsWWin32.cpp: drawing with GDI on a device context.
#include "windowing/gdi/GraphicsWWin32.h"

#include "core/lang/Synchronized.h"
#include "core/util/Region.h"
#include "platform/gdi/Gdi.h"
#include "windowing/fonts/Font.h"
#include "windowing/gdi/ImageWin32.h"
#include "windowing/graphics/Polygon.h"

#include <string>

namespace window {

namespace {

// Guards restoring and giving back contexts, so that one thread at a time does it.
lang::Object* gdiGraphicsLock()
{
    static lang::Object* lock = new lang::Object();
    return lock;
}

void CALLBACK plotPoint(int x, int y, LPARAM data)
{
    reinterpret_cast<GraphicsWWin32*>(data)->setPixel(x, y);
}

} // namespace

GraphicsWWin32::GraphicsWWin32(CDCWin32* dc)
    : m_pDC(nullptr), m_nSavedState(0), m_hPalette(nullptr), m_hScratchOldBitmap(nullptr), m_pScratch(nullptr)
{
    if (dc == nullptr)
        return;
    attachContext(dc);
    HDC h = dc->getDC();
    if (GetDeviceCaps(h, BITSPIXEL) * GetDeviceCaps(h, PLANES) <= 256) {
        m_hPalette = CreateHalftonePalette(h);
        if (m_hPalette) {
            SelectPalette(h, m_hPalette, FALSE);
            RealizePalette(h);
        }
    }
}

GraphicsWWin32::~GraphicsWWin32()
{
    lang::Synchronized guard(gdiGraphicsLock(), true);
    GraphicsWWin32::dispose();
    if (m_pScratch) {
        RestoreDC(m_pScratch->getDC(), -1);
        m_pScratch->release();
        m_pScratch = nullptr;
    }
    if (m_hPalette) {
        DeleteObject(m_hPalette);
        m_hPalette = nullptr;
    }
}

void GraphicsWWin32::attachContext(CDCWin32* dc)
{
    dc->addRef();
    m_pDC = dc;
    m_nSavedState = SaveDC(dc->getDC());
}

void GraphicsWWin32::prepareDC() {}

bool GraphicsWWin32::drawImageCentered(ImageBase*, int, int, util::RectangleNM*, double, double, double, int)
{
    return false;
}

bool GraphicsWWin32::drawImage(ImageBase* image, int x, int y)
{
    prepareDC();
    if (image == nullptr || image->getPixels() == nullptr)
        return false;
    if (m_pDC == nullptr || !image->isInstanceOf("ImageWin32"))
        return false;
    ImageWin32* picture = static_cast<ImageWin32*>(image);

    CDCWin32* source = picture->selectInto(nullptr);
    bool scratchUsed = false;
    if (source == nullptr) {
        if (m_pScratch == nullptr) {
            HDC scratch = CreateCompatibleDC(nullptr);
            if (scratch == nullptr)
                return false;
            m_hScratchOldBitmap = static_cast<HBITMAP>(GetCurrentObject(scratch, OBJ_BITMAP));
            SaveDC(scratch);
            m_pScratch = new CDCWin32(scratch, nullptr);
        }
        source = picture->selectInto(m_pScratch);
        scratchUsed = true;
    }
    HDC src = source->getDC();
    HPALETTE oldPalette = nullptr;
    if (m_hPalette) {
        oldPalette = SelectPalette(src, m_hPalette, TRUE);
        RealizePalette(src);
    }
    BitBlt(hdc(), x + m_nTranslateX, y + m_nTranslateY, picture->getWidth(), picture->getHeight(), src, 0, 0,
           SRCCOPY);
    if (m_hPalette)
        SelectPalette(src, oldPalette, TRUE);
    // The image's DIB must not stay selected in the scratch context.
    if (scratchUsed)
        SelectObject(src, m_hScratchOldBitmap);
    return true;
}

void GraphicsWWin32::clipRect(int x, int y, int w, int h)
{
    if (m_pDC == nullptr)
        return;
    int left = x + m_nTranslateX, top = y + m_nTranslateY;
    IntersectClipRect(hdc(), left, top, left + w, top + h);
}

void GraphicsWWin32::excludeClipRect(int x, int y, int w, int h)
{
    prepareDC();
    if (m_pDC == nullptr)
        return;
    int left = x + m_nTranslateX, top = y + m_nTranslateY;
    ExcludeClipRect(hdc(), left, top, left + w, top + h);
}

void GraphicsWWin32::setClip(util::Region* region)
{
    prepareDC();
    if (m_pDC == nullptr)
        return;
    if (region == nullptr) {
        SelectClipRgn(hdc(), nullptr);
    } else if (HRGN handle = region->getHandle()) {
        SelectClipRgn(hdc(), handle);
    } else {
        // An empty region has no handle; selecting none would remove the clip
        // instead of clipping everything away.
        HRGN empty = CreateRectRgn(0, 0, 0, 0);
        if (empty == nullptr)
            return;
        SelectClipRgn(hdc(), empty);
        DeleteObject(empty);
    }
    POINT origin{0, 0};
    GetViewportOrgEx(hdc(), &origin);
    OffsetClipRgn(hdc(), origin.x, origin.y);
}

bool GraphicsWWin32::readClipBox(RECT& box)
{
    return m_pDC != nullptr && GetClipBox(hdc(), &box) != ERROR;
}

util::RectangleNM* GraphicsWWin32::getClipBounds(util::RectangleNM* out)
{
    prepareDC();
    RECT box{0, 0, 0, 0};
    if (!readClipBox(box))
        return Graphics::getClipBounds(out);
    *out = util::RectangleNM(box.left, box.top, box.right - box.left, box.bottom - box.top);
    return out;
}

util::Region* GraphicsWWin32::getClipRegion()
{
    prepareDC();
    if (m_pDC != nullptr) {
        HRGN clip = CreateRectRgn(0, 0, 0, 0);
        if (clip != nullptr) {
            if (GetClipRgn(hdc(), clip) == 1)
                return new util::Region(clip);
            DeleteObject(clip);
        }
    }
    util::RectangleNM box;
    getClipBounds(&box);
    util::Region* region = new util::Region();
    region->addRect(box);
    return region;
}

Graphics* GraphicsWWin32::create()
{
    GraphicsWWin32* copy = new GraphicsWWin32(m_pDC);
    copy->setTranslation(m_nTranslateX, m_nTranslateY);
    return copy;
}

void GraphicsWWin32::dispose()
{
    lang::Synchronized guard(gdiGraphicsLock(), true);
    if (m_pDC == nullptr)
        return;
    if (m_hPalette)
        SelectPalette(hdc(), static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), TRUE);
    RestoreDC(hdc(), m_nSavedState);
    m_pDC->release();
    m_pDC = nullptr;
}

Graphics* GraphicsWWin32::beginRenderToImage(int*, int*)
{
    return nullptr;
}

void GraphicsWWin32::endRenderToImage(ImageBase*, int, int) {}

void GraphicsWWin32::fillOval(int x, int y, int w, int h)
{
    prepareDC();
    if (m_pDC == nullptr)
        return;
    HDC dc = hdc();
    HBRUSH brush = CreateSolidBrush(drawingColor());
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    SelectObject(dc, GetStockObject(NULL_PEN));
    int left = x + m_nTranslateX, top = y + m_nTranslateY;
    Ellipse(dc, left, top, left + w, top + h);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

void GraphicsWWin32::opaqueFill(int x, int y, int w, int h, COLORREF color)
{
    prepareDC();
    if (m_pDC == nullptr)
        return;
    int left = x + m_nTranslateX, top = y + m_nTranslateY;
    RECT r{left, top, left + w, top + h};
    SetBkColor(hdc(), color);
    ExtTextOutA(hdc(), 0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
}

void GraphicsWWin32::fillRect(int x, int y, int w, int h)
{
    opaqueFill(x, y, w, h, drawingColor());
}

void GraphicsWWin32::fillRectAlpha(int x, int y, int w, int h, uint32_t argb)
{
    opaqueFill(x, y, w, h, ColorBase(argb).toBGR());
}

void GraphicsWWin32::drawString(lang::String* text, int x, int y)
{
    if (text == nullptr)
        return;
    drawBytes(reinterpret_cast<const unsigned char*>(text->c_str()), 0, text->length(), x, y);
}

void GraphicsWWin32::drawBytes(const unsigned char* bytes, int offset, int length, int x, int y)
{
    prepareDC();
    if (m_pDC == nullptr || bytes == nullptr || offset < 0 || length <= 0)
        return;
    HDC dc = hdc();
    SetTextColor(dc, drawingColor());
    SetTextAlign(dc, TA_BASELINE);
    SetBkMode(dc, TRANSPARENT);
    ExtTextOutA(dc, x + m_nTranslateX, y + m_nTranslateY, 0, nullptr, reinterpret_cast<const char*>(bytes) + offset,
                UINT(length), nullptr);
}

void GraphicsWWin32::drawLine(int x1, int y1, int x2, int y2, int width)
{
    if (width < 2) {
        // setPixel applies the translation.
        LineDDA(x1, y1, x2, y2, plotPoint, reinterpret_cast<LPARAM>(this));
        return;
    }
    prepareDC();
    if (m_pDC == nullptr)
        return;
    HDC dc = hdc();
    HPEN pen = CreatePen(PS_SOLID, width, drawingColor());
    HGDIOBJ oldPen = SelectObject(dc, pen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    MoveToEx(dc, x1 + m_nTranslateX, y1 + m_nTranslateY, nullptr);
    LineTo(dc, x2 + m_nTranslateX, y2 + m_nTranslateY);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void GraphicsWWin32::polygonPoints(Polygon* polygon, std::vector<POINT>& out) const
{
    out.clear();
    if (polygon == nullptr)
        return;
    out.reserve(size_t(polygon->getCount()));
    for (int i = 0; i < polygon->getCount(); ++i)
        out.push_back(POINT{polygon->getX(i) + m_nTranslateX, polygon->getY(i) + m_nTranslateY});
}

void GraphicsWWin32::drawPath(Polygon* polygon, int width)
{
    prepareDC();
    std::vector<POINT> points;
    polygonPoints(polygon, points);
    if (m_pDC == nullptr || points.empty())
        return;
    HDC dc = hdc();
    HPEN pen = CreatePen(PS_SOLID, width, drawingColor());
    HGDIOBJ oldPen = SelectObject(dc, pen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Polyline(dc, points.data(), int(points.size()));
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void GraphicsWWin32::drawPolygon(Polygon* polygon)
{
    prepareDC();
    std::vector<POINT> points;
    polygonPoints(polygon, points);
    if (m_pDC == nullptr || points.empty())
        return;
    HDC dc = hdc();
    HPEN pen = CreatePen(PS_SOLID, 1, drawingColor());
    HGDIOBJ oldPen = SelectObject(dc, pen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    ::Polygon(dc, points.data(), int(points.size()));
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void GraphicsWWin32::fillPolygon(Polygon* polygon)
{
    prepareDC();
    std::vector<POINT> points;
    polygonPoints(polygon, points);
    if (m_pDC == nullptr || points.empty())
        return;
    HDC dc = hdc();
    HBRUSH brush = CreateSolidBrush(drawingColor());
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    SelectObject(dc, GetStockObject(NULL_PEN));
    ::Polygon(dc, points.data(), int(points.size()));
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

void GraphicsWWin32::drawTruncated(lang::String* text, util::RectangleNM* box)
{
    prepareDC();
    if (m_pDC == nullptr || text == nullptr || box == nullptr)
        return;
    HDC dc = hdc();
    SetTextColor(dc, drawingColor());
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, 0);
    // DrawTextExA takes a writable text.
    std::string copy(text->c_str(), size_t(text->length()));
    RECT r{box->x, box->y, box->x + box->width, box->y + box->height};
    DrawTextExA(dc, &copy[0], int(copy.size()), &r, DT_WORD_ELLIPSIS | DT_NOPREFIX, nullptr);
}

void GraphicsWWin32::setFont(Font* font)
{
    if (font == nullptr)
        return;
    prepareDC();
    if (m_pDC != nullptr && font->getHandle() != nullptr) {
        m_pDC->setFontSelected(true);
        SelectObject(hdc(), font->getHandle());
    }
    Graphics::setFont(font);
}

void GraphicsWWin32::drawBezier(const int* points, int count, int dx, int dy, int scale)
{
    prepareDC();
    if (m_pDC == nullptr || points == nullptr || count < 1)
        return;
    HDC dc = hdc();
    MoveToEx(dc, (points[0] + dx) * scale + m_nTranslateX, (points[1] + dy) * scale + m_nTranslateY, nullptr);
    const double step = 1.0 / kBezierSteps;
    for (double t = 0.0; t < 1.0; t += step) {
        util::Point p = bezierPoint(points, count - 1, t, scale);
        LineTo(dc, p.x + dx * scale + m_nTranslateX, p.y + dy * scale + m_nTranslateY);
    }
    const int* last = points + 2 * (count - 1);
    LineTo(dc, (last[0] + dx) * scale + m_nTranslateX, (last[1] + dy) * scale + m_nTranslateY);
}

void GraphicsWWin32::fillBezier(const int* points, int count, int scale)
{
    prepareDC();
    if (m_pDC == nullptr || points == nullptr || count < 1)
        return;
    std::vector<POINT> curve;
    curve.reserve(size_t(kBezierSteps) + 2);
    curve.push_back(POINT{points[0] * scale + m_nTranslateX, points[1] * scale + m_nTranslateY});
    const double step = 1.0 / kBezierSteps;
    for (double t = 0.0; t < 1.0; t += step) {
        util::Point p = bezierPoint(points, count - 1, t, scale);
        curve.push_back(POINT{p.x + m_nTranslateX, p.y + m_nTranslateY});
    }
    const int* last = points + 2 * (count - 1);
    curve.push_back(POINT{last[0] * scale + m_nTranslateX, last[1] * scale + m_nTranslateY});
    HDC dc = hdc();
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    ::Polygon(dc, curve.data(), int(curve.size()));
    SelectObject(dc, oldBrush);
}

} // namespace window
