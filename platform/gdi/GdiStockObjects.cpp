// GdiStockObjects.cpp: the stock objects and their handles.
#include "platform/gdi/GdiStockObjects.h"

#include "platform/gdi/GdiHandleTable.h"

#include <cstring>

namespace platform {

namespace {

std::shared_ptr<GdiFont> makeFont(LONG height, LONG weight, BYTE pitchAndFamily, const char* face)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return std::make_shared<GdiFont>(lf);
}

} // namespace

GdiStockObjects& GdiStockObjects::instance()
{
    // Never destroyed, like the handle table that holds the same objects.
    static GdiStockObjects* stock = new GdiStockObjects;
    return *stock;
}

GdiStockObjects::GdiStockObjects()
{
    m_whiteBrush = std::make_shared<GdiBrush>(BS_SOLID, RGB(255, 255, 255));
    m_blackPen = std::make_shared<GdiPen>(PS_SOLID, 0, RGB(0, 0, 0));
    // The system font is a bold sans serif face 16 pixels high.
    m_systemFont = makeFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "sans-serif");
    m_defaultPalette = std::make_shared<GdiPalette>(20);
    m_placeholder = GdiBitmap::createPlaceholder();

    m_objects[WHITE_BRUSH] = m_whiteBrush;
    m_objects[LTGRAY_BRUSH] = std::make_shared<GdiBrush>(BS_SOLID, RGB(192, 192, 192));
    m_objects[GRAY_BRUSH] = std::make_shared<GdiBrush>(BS_SOLID, RGB(128, 128, 128));
    m_objects[DKGRAY_BRUSH] = std::make_shared<GdiBrush>(BS_SOLID, RGB(64, 64, 64));
    m_objects[BLACK_BRUSH] = std::make_shared<GdiBrush>(BS_SOLID, RGB(0, 0, 0));
    m_objects[NULL_BRUSH] = std::make_shared<GdiBrush>(BS_NULL, 0);
    m_objects[WHITE_PEN] = std::make_shared<GdiPen>(PS_SOLID, 0, RGB(255, 255, 255));
    m_objects[BLACK_PEN] = m_blackPen;
    m_objects[NULL_PEN] = std::make_shared<GdiPen>(PS_NULL, 0, 0);
    m_objects[OEM_FIXED_FONT] = makeFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "monospace");
    m_objects[ANSI_FIXED_FONT] = makeFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "monospace");
    m_objects[ANSI_VAR_FONT] = makeFont(12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "sans-serif");
    m_objects[SYSTEM_FONT] = m_systemFont;
    m_objects[DEVICE_DEFAULT_FONT] = m_systemFont;
    m_objects[DEFAULT_PALETTE] = m_defaultPalette;
    m_objects[SYSTEM_FIXED_FONT] = makeFont(16, FW_NORMAL, FIXED_PITCH | FF_MODERN, "monospace");
    m_objects[DEFAULT_GUI_FONT] = makeFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "sans-serif");

    GdiHandleTable& table = GdiHandleTable::instance();
    for (auto& object : m_objects) {
        if (object && !object->handle())
            table.add(object, true);
    }
    table.add(m_placeholder, true);
}

std::shared_ptr<GdiObject> GdiStockObjects::get(int index) const
{
    if (index < 0 || index >= static_cast<int>(sizeof m_objects / sizeof m_objects[0]))
        return nullptr;
    return m_objects[index];
}

} // namespace platform
