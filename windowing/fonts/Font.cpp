// Font.cpp: making and deleting the GDI font, and its metrics made once.
#include "windowing/fonts/Font.h"

#include "core/lang/Synchronized.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/GdiText.h"
#include "windowing/fonts/FontMetrics.h"

namespace window {

Font::Font(const char* face, int style, int size, int charset, int outPrecision, int pitchAndFamily)
    : m_hFont(nullptr), m_pMetrics(nullptr)
{
    // A negative height asks for a character height of size pixels.
    m_hFont = CreateFontA(-MulDiv(size, 72, 72), 0, 0, 0, (style & kBold) ? FW_BOLD : FW_DONTCARE,
                          (style & kItalic) ? TRUE : FALSE, (style & kUnderline) ? TRUE : FALSE, FALSE,
                          DWORD(charset), DWORD(outPrecision), CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                          DWORD(pitchAndFamily), face);
}

Font::~Font()
{
    FontMetrics* metrics = m_pMetrics.exchange(nullptr);
    if (metrics)
        metrics->release();
    if (m_hFont)
        DeleteObject(m_hFont);
}

FontMetrics* Font::getFontMetrics()
{
    FontMetrics* metrics = m_pMetrics.load(std::memory_order_acquire);
    if (!metrics) {
        lang::Synchronized guard(this, true);
        metrics = m_pMetrics.load(std::memory_order_acquire);
        if (!metrics) {
            metrics = new FontMetrics(this);
            m_pMetrics.store(metrics, std::memory_order_release);
        }
    }
    metrics->addRef();
    return metrics;
}

} // namespace window
