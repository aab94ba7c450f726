// Font.h: one GDI font made from a face name, a style and a size in pixels,
// with its measures made on first request.
#pragma once

#include "core/lang/Object.h"
#include "platform/gdi/GdiTypes.h"

#include <atomic>

namespace window {

class FontMetrics;

class Font : public lang::Object {
public:
    // Style bits: 1 bold (weight 700; otherwise the default weight), 2 italic,
    // 4 underlined. size is the character (em) height in pixels.
    static const int kBold = 1;
    static const int kItalic = 2;
    static const int kUnderline = 4;

    Font(const char* face, int style, int size, int charset, int outPrecision, int pitchAndFamily);
    // Deletes the GDI font and releases the metrics.
    ~Font() override;

    // The font's measures with one added reference (the caller releases it).
    // Made once, on the first call, under the font's monitor.
    FontMetrics* getFontMetrics();
    // The GDI font, for selecting into a device context (null when GDI could
    // not make it).
    HFONT getHandle() const { return m_hFont; }

    HV_CLASS_NAME("Font", lang::Object)

private:
    HFONT m_hFont;
    std::atomic<FontMetrics*> m_pMetrics;
};

} // namespace window
