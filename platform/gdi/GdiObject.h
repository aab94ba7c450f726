// GdiObject.h: the base of everything a GDI handle refers to: regions,
// bitmaps, pens, brushes, fonts, palettes and device contexts.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace platform {

class GdiObject {
public:
    // The object's type as GetObjectType reports it (OBJ_REGION, OBJ_BITMAP, ...).
    explicit GdiObject(DWORD type) : m_type(type) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    virtual ~GdiObject() = default;

    DWORD type() const { return m_type; }
    HGDIOBJ handle() const { return m_handle; }
    // Stock objects live for the whole process; DeleteObject leaves them alone.
    bool isStock() const { return m_stock; }

private:
    friend class GdiHandleTable;
    DWORD m_type;
    HGDIOBJ m_handle = nullptr;
    bool m_stock = false;
};

} // namespace platform
