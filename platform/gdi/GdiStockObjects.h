// GdiStockObjects.h: the stock pens, brushes, fonts and palette, and the
// placeholder bitmap of new memory device contexts, made once per process.
#pragma once

#include "platform/gdi/GdiBitmap.h"
#include "platform/gdi/GdiBrush.h"
#include "platform/gdi/GdiFont.h"
#include "platform/gdi/GdiPalette.h"
#include "platform/gdi/GdiPen.h"

#include <memory>

namespace platform {

class GdiStockObjects {
public:
    static GdiStockObjects& instance();

    // The stock object of a GetStockObject index; null for an unknown index.
    std::shared_ptr<GdiObject> get(int index) const;

    std::shared_ptr<GdiPen> blackPen() const { return m_blackPen; }
    std::shared_ptr<GdiBrush> whiteBrush() const { return m_whiteBrush; }
    std::shared_ptr<GdiFont> systemFont() const { return m_systemFont; }
    std::shared_ptr<GdiPalette> defaultPalette() const { return m_defaultPalette; }
    std::shared_ptr<GdiBitmap> placeholderBitmap() const { return m_placeholder; }

private:
    GdiStockObjects();

    std::shared_ptr<GdiObject> m_objects[18];
    std::shared_ptr<GdiPen> m_blackPen;
    std::shared_ptr<GdiBrush> m_whiteBrush;
    std::shared_ptr<GdiFont> m_systemFont;
    std::shared_ptr<GdiPalette> m_defaultPalette;
    std::shared_ptr<GdiBitmap> m_placeholder;
};

} // namespace platform
