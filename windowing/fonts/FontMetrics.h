// FontMetrics.h: the measures of a font (height, ascent, descent) read once
// on the screen context, and the extent of a text in it.
#pragma once

#include "core/lang/String.h"
#include "platform/gdi/GdiTypes.h"

namespace window {

class Font;

class FontMetrics : public lang::Object {
public:
    // Reads the font's text metrics on the screen context. The metrics hold
    // the font without a reference: the font owns them, and they must not
    // outlive it.
    explicit FontMetrics(Font* font);

    int getHeight() const { return int(m_metrics.tmHeight); }
    int getAscent() const { return int(m_metrics.tmAscent); }
    int getDescent() const { return int(m_metrics.tmDescent); }
    const TEXTMETRICA& getTextMetrics() const { return m_metrics; }
    Font* getFont() const { return m_pFont; }

    // The width and height of the text in the font; both 0 for an empty text
    // (without asking GDI) or when GDI cannot measure it.
    void stringExtent(const lang::String& text, int& width, int& height);
    int stringWidth(const lang::String& text);

    HV_CLASS_NAME("FontMetrics", lang::Object)

private:
    Font* m_pFont;
    TEXTMETRICA m_metrics;
};

} // namespace window
