// FontMetrics.cpp: reading text metrics and extents on the screen context.
#include "windowing/fonts/FontMetrics.h"

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/GdiText.h"
#include "windowing/gdi/CMainDC.h"
#include "windowing/fonts/Font.h"

namespace window {

namespace {

// The screen context with the font selected; the stock system font goes back
// in before the context is given back.
class ScreenWithFont {
public:
    explicit ScreenWithFont(Font* font) : m_dc(new CMainDC())
    {
        HDC dc = m_dc->getDC();
        if (dc && font && font->getHandle())
            SelectObject(dc, font->getHandle());
    }
    ~ScreenWithFont()
    {
        if (HDC dc = m_dc->getDC())
            SelectObject(dc, GetStockObject(SYSTEM_FONT));
        m_dc->release();
    }
    ScreenWithFont(const ScreenWithFont&) = delete;
    ScreenWithFont& operator=(const ScreenWithFont&) = delete;

    HDC dc() const { return m_dc->getDC(); }

private:
    CMainDC* m_dc;
};

} // namespace

FontMetrics::FontMetrics(Font* font) : m_pFont(font), m_metrics{}
{
    ScreenWithFont screen(font);
    if (!screen.dc() || !GetTextMetricsA(screen.dc(), &m_metrics))
        m_metrics = TEXTMETRICA{};
}

void FontMetrics::stringExtent(const lang::String& text, int& width, int& height)
{
    width = 0;
    height = 0;
    if (text.isEmpty())
        return;
    ScreenWithFont screen(m_pFont);
    SIZE size{0, 0};
    if (screen.dc() && GetTextExtentPoint32A(screen.dc(), text.c_str(), text.length(), &size)) {
        width = int(size.cx);
        height = int(size.cy);
    }
}

int FontMetrics::stringWidth(const lang::String& text)
{
    int width = 0;
    int height = 0;
    stringExtent(text, width, height);
    return width;
}

} // namespace window
