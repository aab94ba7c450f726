// Region.h: an area of the screen over a GDI region handle (null while the
// region is empty), used for the areas to repaint and for clipping.
#pragma once

#include "core/util/RectangleNM.h"
#include "platform/Win32Types.h"

namespace util {

class Region : public lang::Object {
public:
    Region() : m_hRegion(nullptr) {}
    // Takes ownership of an existing region handle.
    explicit Region(HRGN handle) : m_hRegion(handle) {}
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;
    ~Region() override;

    // Adds the rectangle (x, y) to (x + w, y + h) to the region.
    virtual void addRect(int x, int y, int w, int h);
    virtual void addRect(const RectangleNM& r);
    virtual void offset(int dx, int dy);
    // Deletes the handle: the region is empty.
    virtual void clear();
    // Whether any part of r lies in the region (never for an empty r).
    virtual bool intersects(const RectangleNM& r);
    virtual HRGN getHandle() { return m_hRegion; }
    // Cuts the region to the rectangle; an empty rectangle empties it.
    void intersectRect(int x, int y, int w, int h);

    HV_CLASS_NAME("Region", lang::Object)

private:
    HRGN m_hRegion;
};

} // namespace util
