// GlyphPainter.cpp: glyph bitmaps of the engine's fonts drawn into pixels.
#include "tools/GlyphPainter.h"

#include "windowing/fonts/Font.h"
#include "windowing/gdi/CMainDC.h"

namespace tools {

GlyphPainter::GlyphPainter(window::Font* font)
{
    auto* screen = new window::CMainDC();
    m_screen = screen;
    m_dc = screen->getDC();
    SelectObject(m_dc, font->getHandle());
}

GlyphPainter::~GlyphPainter()
{
    SelectObject(m_dc, GetStockObject(SYSTEM_FONT));
    static_cast<window::CMainDC*>(m_screen)->release();
}

int GlyphPainter::draw(unsigned char code, uint32_t* pixels, int width, int height, int penX, int baselineY,
                       GLYPHMETRICS* metrics)
{
    MAT2 identity{};
    identity.eM11.value = 1;
    identity.eM22.value = 1;
    GLYPHMETRICS gm{};
    const DWORD size = GetGlyphOutlineA(m_dc, code, GGO_GRAY8_BITMAP, &gm, 0, nullptr, &identity);
    if (size == GDI_ERROR)
        return -1;
    if (metrics)
        *metrics = gm;
    // Blank glyphs (the space and the control codes) only advance.
    if (size > 0 && code >= 33) {
        if (size > m_bits.size())
            m_bits.resize(size);
        GetGlyphOutlineA(m_dc, code, GGO_GRAY8_BITMAP, &gm, size, m_bits.data(), &identity);
        // Rows are padded to whole 32-bit words.
        const int pitch = int((gm.gmBlackBoxX + 3) & ~3u);
        const int left = penX + int(gm.gmptGlyphOrigin.x);
        const int top = baselineY - int(gm.gmptGlyphOrigin.y);
        for (int row = 0; row < int(gm.gmBlackBoxY); ++row) {
            const int y = top + row;
            if (y < 0 || y >= height)
                continue;
            for (int col = 0; col < int(gm.gmBlackBoxX); ++col) {
                const int x = left + col;
                const int g = m_bits[size_t(row * pitch + col)];
                if (x < 0 || x >= width || g == 0)
                    continue;
                pixels[y * width + x] |= uint32_t(4 * g - 1) << 24;
            }
        }
    }
    return gm.gmCellIncX;
}

} // namespace tools
