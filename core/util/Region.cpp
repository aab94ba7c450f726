// Region.cpp: region operations through the GDI region calls.
#include "core/util/Region.h"

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/GdiRegions.h"
#include "platform/gdi/GdiTypes.h"

namespace util {

Region::~Region()
{
    clear();
}

void Region::addRect(int x, int y, int w, int h)
{
    HRGN added = CreateRectRgn(x, y, x + w, y + h);
    if (!added)
        return;
    if (!m_hRegion) {
        m_hRegion = added;
        return;
    }
    CombineRgn(m_hRegion, m_hRegion, added, RGN_OR);
    DeleteObject(added);
}

void Region::addRect(const RectangleNM& r)
{
    addRect(r.x, r.y, r.width, r.height);
}

void Region::offset(int dx, int dy)
{
    if (m_hRegion)
        OffsetRgn(m_hRegion, dx, dy);
}

void Region::clear()
{
    if (m_hRegion) {
        DeleteObject(m_hRegion);
        m_hRegion = nullptr;
    }
}

bool Region::intersects(const RectangleNM& r)
{
    if (r.width < 1 || r.height < 1 || !m_hRegion)
        return false;
    RECT rect = {r.x, r.y, r.x + r.width, r.y + r.height};
    return RectInRegion(m_hRegion, &rect) != FALSE;
}

void Region::intersectRect(int x, int y, int w, int h)
{
    if (!m_hRegion)
        return;
    if (w < 1 || h < 1) {
        clear();
        return;
    }
    HRGN cut = CreateRectRgn(x, y, x + w, y + h);
    if (!cut)
        return;
    CombineRgn(m_hRegion, m_hRegion, cut, RGN_AND);
    DeleteObject(cut);
}

} // namespace util
