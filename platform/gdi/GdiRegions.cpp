// GdiRegions.cpp: the region calls over the handle table and BandedRegion.
#include "platform/gdi/GdiRegions.h"

#include "platform/gdi/GdiHandleTable.h"
#include "platform/gdi/GdiRegion.h"

#include <cstring>

using platform::BandedRegion;
using platform::GdiHandleTable;
using platform::GdiRegion;

namespace {

std::shared_ptr<GdiRegion> regionOf(HRGN handle)
{
    return GdiHandleTable::instance().get<GdiRegion>(handle);
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    auto region = std::make_shared<GdiRegion>(BandedRegion(left, top, right, bottom));
    return static_cast<HRGN>(GdiHandleTable::instance().add(region));
}

HRGN CreateRectRgnIndirect(const RECT* rect)
{
    if (!rect)
        return nullptr;
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL SetRectRgn(HRGN handle, int left, int top, int right, int bottom)
{
    auto region = regionOf(handle);
    if (!region)
        return FALSE;
    region->area.setRect(left, top, right, bottom);
    return TRUE;
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode)
{
    if (mode < RGN_AND || mode > RGN_COPY)
        return ERROR;
    auto target = regionOf(dest);
    auto first = regionOf(a);
    auto second = mode == RGN_COPY ? first : regionOf(b);
    if (!target || !first || !second)
        return ERROR;
    // Computed aside first, since dest may be one of the operands.
    BandedRegion result = BandedRegion::combine(first->area, second->area, mode);
    target->area = std::move(result);
    return target->area.complexity();
}

int OffsetRgn(HRGN handle, int dx, int dy)
{
    auto region = regionOf(handle);
    if (!region || !region->area.offset(dx, dy))
        return ERROR;
    return region->area.complexity();
}

BOOL PtInRegion(HRGN handle, int x, int y)
{
    auto region = regionOf(handle);
    return region && region->area.contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN handle, const RECT* rect)
{
    auto region = regionOf(handle);
    return region && rect && region->area.intersects(*rect) ? TRUE : FALSE;
}

int GetRgnBox(HRGN handle, LPRECT box)
{
    auto region = regionOf(handle);
    if (!region || !box)
        return ERROR;
    *box = region->area.bounds();
    return region->area.complexity();
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    auto first = regionOf(a);
    auto second = regionOf(b);
    if (!first || !second)
        return ERROR;
    return first->area == second->area ? TRUE : FALSE;
}

DWORD GetRegionData(HRGN handle, DWORD size, LPRGNDATA data)
{
    auto region = regionOf(handle);
    if (!region)
        return 0;
    const auto& rects = region->area.rects();
    DWORD rectBytes = static_cast<DWORD>(rects.size() * sizeof(RECT));
    DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER)) + rectBytes;
    if (!data)
        return needed;
    if (size < needed)
        return 0;
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(rects.size());
    data->rdh.nRgnSize = rectBytes;
    data->rdh.rcBound = region->area.bounds();
    if (!rects.empty())
        std::memcpy(reinterpret_cast<char*>(data) + sizeof(RGNDATAHEADER), rects.data(), rectBytes);
    return needed;
}

namespace platform {

bool regionArea(HRGN handle, BandedRegion& out)
{
    auto region = regionOf(handle);
    if (!region)
        return false;
    out = region->area;
    return true;
}

} // namespace platform
