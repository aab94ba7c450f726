// GdiObjects.cpp: device contexts, object selection, bitmaps, pens, brushes,
// palettes, attributes and clipping over the handle table.
#include "platform/gdi/GdiObjects.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiHandleTable.h"
#include "platform/gdi/GdiRegion.h"
#include "platform/gdi/GdiStockObjects.h"

#include <atomic>
#include <cstring>
#include <mutex>

using platform::BandedRegion;
using platform::DeviceContext;
using platform::GdiBitmap;
using platform::GdiBrush;
using platform::GdiFont;
using platform::GdiHandleTable;
using platform::GdiObject;
using platform::GdiPalette;
using platform::GdiPen;
using platform::GdiRegion;
using platform::GdiStockObjects;

namespace {

std::shared_ptr<DeviceContext> objectDcOf(HDC dc)
{
    return GdiHandleTable::instance().get<DeviceContext>(dc);
}

template <class Handle>
Handle addObject(std::shared_ptr<GdiObject> object)
{
    return static_cast<Handle>(GdiHandleTable::instance().add(std::move(object)));
}

// Complexity of the drawable clip area, as the clipping calls return it.
int clipComplexity(DeviceContext& dc)
{
    return dc.drawableArea().complexity();
}

int combineClip(HDC handle, const BandedRegion& rect, int mode)
{
    auto dc = objectDcOf(handle);
    if (!dc)
        return ERROR;
    DeviceContext::State& s = dc->state();
    if (!s.hasClip) {
        s.clip = BandedRegion(dc->surfaceBounds());
        s.hasClip = true;
    }
    s.clip = BandedRegion::combine(s.clip, rect, mode);
    return clipComplexity(*dc);
}

} // namespace

HGDIOBJ GetStockObject(int index)
{
    auto object = GdiStockObjects::instance().get(index);
    return object ? object->handle() : nullptr;
}

BOOL DeleteObject(HGDIOBJ handle)
{
    GdiHandleTable& table = GdiHandleTable::instance();
    auto object = table.find(handle);
    if (!object || object->type() == OBJ_DC || object->type() == OBJ_MEMDC)
        return FALSE;
    if (object->isStock())
        return TRUE;
    if (auto bitmap = std::dynamic_pointer_cast<GdiBitmap>(object)) {
        // Its pixels are still in use by the context it is selected into.
        if (DeviceContext::isSelected(*bitmap))
            return FALSE;
    }
    return table.remove(handle) ? TRUE : FALSE;
}

DWORD GetObjectType(HGDIOBJ handle)
{
    auto object = GdiHandleTable::instance().find(handle);
    return object ? object->type() : 0;
}

int GetObjectA(HGDIOBJ handle, int size, LPVOID buffer)
{
    auto object = GdiHandleTable::instance().find(handle);
    if (!object || size < 0)
        return 0;
    auto copyOut = [&](const void* data, int bytes) {
        if (!buffer)
            return bytes;
        if (size < bytes)
            return 0;
        std::memcpy(buffer, data, static_cast<size_t>(bytes));
        return bytes;
    };
    switch (object->type()) {
    case OBJ_BITMAP:
        return std::static_pointer_cast<GdiBitmap>(object)->describe(size, buffer);
    case OBJ_PEN: {
        auto pen = std::static_pointer_cast<GdiPen>(object);
        LOGPEN lp{static_cast<UINT>(pen->style), {pen->width, 0}, pen->color};
        return copyOut(&lp, sizeof lp);
    }
    case OBJ_BRUSH: {
        auto brush = std::static_pointer_cast<GdiBrush>(object);
        LOGBRUSH lb{brush->style, brush->color, 0};
        return copyOut(&lb, sizeof lb);
    }
    case OBJ_FONT:
        return copyOut(&std::static_pointer_cast<GdiFont>(object)->logical, sizeof(LOGFONTA));
    case OBJ_PAL: {
        WORD entries = std::static_pointer_cast<GdiPalette>(object)->entries;
        return copyOut(&entries, sizeof entries);
    }
    default:
        return 0;
    }
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ objectHandle)
{
    auto dc = objectDcOf(handle);
    auto object = GdiHandleTable::instance().find(objectHandle);
    if (!dc || !object)
        return nullptr;
    if (object->type() == OBJ_REGION) {
        int result = SelectClipRgn(handle, static_cast<HRGN>(objectHandle));
        return result == ERROR ? HGDI_ERROR : reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(result));
    }
    return dc->select(object);
}

HGDIOBJ GetCurrentObject(HDC handle, UINT type)
{
    auto dc = objectDcOf(handle);
    if (!dc)
        return nullptr;
    const DeviceContext::State& s = dc->state();
    switch (type) {
    case OBJ_PEN: return s.pen ? s.pen->handle() : nullptr;
    case OBJ_BRUSH: return s.brush ? s.brush->handle() : nullptr;
    case OBJ_FONT: return s.font ? s.font->handle() : nullptr;
    case OBJ_PAL: return s.palette ? s.palette->handle() : nullptr;
    case OBJ_BITMAP: return s.bitmap ? s.bitmap->handle() : nullptr;
    default: return nullptr;
    }
}

HDC CreateCompatibleDC(HDC dc)
{
    if (dc && !objectDcOf(dc))
        return nullptr;
    return addObject<HDC>(DeviceContext::createMemory());
}

BOOL DeleteDC(HDC handle)
{
    auto dc = objectDcOf(handle);
    // A window's context goes back through ReleaseDC, not DeleteDC.
    if (!dc || !dc->isMemory())
        return FALSE;
    return GdiHandleTable::instance().remove(handle) ? TRUE : FALSE;
}

int GetDeviceCaps(HDC handle, int index)
{
    auto dc = objectDcOf(handle);
    return dc ? dc->deviceCaps(index) : 0;
}

int SaveDC(HDC handle)
{
    auto dc = objectDcOf(handle);
    return dc ? dc->save() : 0;
}

BOOL RestoreDC(HDC handle, int level)
{
    auto dc = objectDcOf(handle);
    return dc && dc->restore(level) ? TRUE : FALSE;
}

BOOL GdiFlush()
{
    // Drawing reaches the pixels at once; there is no batch to flush.
    return TRUE;
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset)
{
    (void)offset;
    if (bits)
        *bits = nullptr;
    if (dc && !objectDcOf(dc))
        return nullptr;
    if (!info || section != nullptr || usage != DIB_RGB_COLORS)
        return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biBitCount != 32 || h.biCompression != BI_RGB ||
        h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
        return nullptr;
    bool topDown = h.biHeight < 0;
    int height = topDown ? -h.biHeight : h.biHeight;
    auto bitmap = GdiBitmap::create(h.biWidth, height, topDown, true);
    if (!bitmap)
        return nullptr;
    void* pixels = bitmap->bits();
    HBITMAP handle = addObject<HBITMAP>(bitmap);
    if (bits)
        *bits = pixels;
    return handle;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    if (dc && !objectDcOf(dc))
        return nullptr;
    if (width == 0 || height == 0)
        return static_cast<HBITMAP>(GdiStockObjects::instance().placeholderBitmap()->handle());
    auto bitmap = GdiBitmap::create(width, height, true, false);
    return bitmap ? addObject<HBITMAP>(bitmap) : nullptr;
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    if ((style & PS_STYLE_MASK) > PS_INSIDEFRAME)
        return nullptr;
    return addObject<HPEN>(std::make_shared<GdiPen>(style, width, color & 0xFFFFFFu));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    return addObject<HBRUSH>(std::make_shared<GdiBrush>(BS_SOLID, color & 0xFFFFFFu));
}

HPALETTE CreateHalftonePalette(HDC)
{
    return addObject<HPALETTE>(std::make_shared<GdiPalette>(256));
}

HPALETTE SelectPalette(HDC handle, HPALETTE palette, BOOL)
{
    auto dc = objectDcOf(handle);
    auto pal = GdiHandleTable::instance().get<GdiPalette>(palette);
    if (!dc || !pal)
        return nullptr;
    return dc->selectPalette(pal);
}

UINT RealizePalette(HDC handle)
{
    // True-colour surfaces map no palette entries.
    return objectDcOf(handle) ? 0 : GDI_ERROR;
}

#define HV_DC_ATTRIBUTE(Type, Setter, Getter, field, failure)  \
    Type Setter(HDC handle, Type value)                        \
    {                                                          \
        auto dc = objectDcOf(handle);                                \
        if (!dc)                                               \
            return failure;                                    \
        Type previous = dc->state().field;                     \
        dc->state().field = value;                             \
        return previous;                                       \
    }                                                          \
    Type Getter(HDC handle)                                    \
    {                                                          \
        auto dc = objectDcOf(handle);                                \
        return dc ? static_cast<Type>(dc->state().field) : failure; \
    }

HV_DC_ATTRIBUTE(COLORREF, SetTextColor, GetTextColor, textColor, CLR_INVALID)
HV_DC_ATTRIBUTE(COLORREF, SetBkColor, GetBkColor, bkColor, CLR_INVALID)
HV_DC_ATTRIBUTE(UINT, SetTextAlign, GetTextAlign, textAlign, GDI_ERROR)
#undef HV_DC_ATTRIBUTE

namespace {

// The integer modes accept only their own range; anything else fails with 0.
int setMode(HDC handle, int DeviceContext::State::*field, int value, int lowest, int highest)
{
    auto dc = objectDcOf(handle);
    if (!dc || value < lowest || value > highest)
        return 0;
    int previous = dc->state().*field;
    dc->state().*field = value;
    return previous;
}

int getMode(HDC handle, int DeviceContext::State::*field)
{
    auto dc = objectDcOf(handle);
    return dc ? dc->state().*field : 0;
}

} // namespace

int SetBkMode(HDC dc, int mode) { return setMode(dc, &DeviceContext::State::bkMode, mode, TRANSPARENT, OPAQUE); }
int GetBkMode(HDC dc) { return getMode(dc, &DeviceContext::State::bkMode); }
int SetROP2(HDC dc, int mode) { return setMode(dc, &DeviceContext::State::rop2, mode, R2_BLACK, R2_WHITE); }
int GetROP2(HDC dc) { return getMode(dc, &DeviceContext::State::rop2); }
int SetPolyFillMode(HDC dc, int mode)
{
    return setMode(dc, &DeviceContext::State::polyFillMode, mode, ALTERNATE, WINDING);
}
int GetPolyFillMode(HDC dc) { return getMode(dc, &DeviceContext::State::polyFillMode); }
int SetStretchBltMode(HDC dc, int mode)
{
    return setMode(dc, &DeviceContext::State::stretchMode, mode, BLACKONWHITE, HALFTONE);
}
int GetStretchBltMode(HDC dc) { return getMode(dc, &DeviceContext::State::stretchMode); }

BOOL GetCurrentPositionEx(HDC handle, LPPOINT point)
{
    auto dc = objectDcOf(handle);
    if (!dc || !point)
        return FALSE;
    *point = dc->state().position;
    return TRUE;
}

BOOL GetViewportOrgEx(HDC handle, LPPOINT point)
{
    if (!objectDcOf(handle) || !point)
        return FALSE;
    *point = {0, 0};
    return TRUE;
}

int SelectClipRgn(HDC handle, HRGN region)
{
    auto dc = objectDcOf(handle);
    if (!dc)
        return ERROR;
    DeviceContext::State& s = dc->state();
    if (!region) {
        s.hasClip = false;
        s.clip.clear();
        return clipComplexity(*dc);
    }
    auto rgn = GdiHandleTable::instance().get<GdiRegion>(region);
    if (!rgn)
        return ERROR;
    s.clip = rgn->area;
    s.hasClip = true;
    return clipComplexity(*dc);
}

int GetClipRgn(HDC handle, HRGN region)
{
    auto dc = objectDcOf(handle);
    auto rgn = GdiHandleTable::instance().get<GdiRegion>(region);
    if (!dc || !rgn)
        return -1;
    if (!dc->state().hasClip)
        return 0;
    rgn->area = dc->state().clip;
    return 1;
}

int GetClipBox(HDC handle, LPRECT box)
{
    auto dc = objectDcOf(handle);
    if (!dc || !box)
        return ERROR;
    BandedRegion area = dc->drawableArea();
    *box = area.bounds();
    return area.complexity();
}

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom)
{
    auto dc = objectDcOf(handle);
    if (!dc)
        return ERROR;
    DeviceContext::State& s = dc->state();
    BandedRegion rect(left, top, right, bottom);
    s.clip = s.hasClip ? BandedRegion::combine(s.clip, rect, RGN_AND) : rect;
    s.hasClip = true;
    return clipComplexity(*dc);
}

int ExcludeClipRect(HDC handle, int left, int top, int right, int bottom)
{
    return combineClip(handle, BandedRegion(left, top, right, bottom), RGN_DIFF);
}

int OffsetClipRgn(HDC handle, int dx, int dy)
{
    auto dc = objectDcOf(handle);
    if (!dc)
        return ERROR;
    DeviceContext::State& s = dc->state();
    if (s.hasClip && !s.clip.offset(dx, dy))
        return ERROR;
    return clipComplexity(*dc);
}

namespace platform {

namespace {

// Every context draws 32-bit pixels; only the reported depth may change.
std::atomic<int> s_screenBits{32};

} // namespace

void setScreenBitsPerPixel(int bits)
{
    s_screenBits = bits > 0 ? bits : 32;
}

int screenBitsPerPixel()
{
    return s_screenBits;
}

} // namespace platform
