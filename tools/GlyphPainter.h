// GlyphPainter.h: draws glyphs of the engine's fonts into 0xAARRGGBB pixels
// the way the system-font text sprite renders them: each glyph's grey levels
// g (1..64) become alpha 4g - 1 over the text colour. Used by the text tool
// and the sample data generator (its bitmap font).
#pragma once

#include "platform/gdi/Gdi.h"

#include <cstdint>
#include <vector>

namespace window {
class Font;
}

namespace tools {

class GlyphPainter {
public:
    // Selects the font into the screen's context for the painter's life.
    explicit GlyphPainter(window::Font* font);
    ~GlyphPainter();
    GlyphPainter(const GlyphPainter&) = delete;
    GlyphPainter& operator=(const GlyphPainter&) = delete;

    // Draws character `code` (ANSI) with its pen at penX and its baseline at
    // baselineY into pixels (width x height, rows one after the other), its
    // alpha added to what the pixels hold. The glyph's metrics go to
    // `metrics` when given. Returns the pen's advance, or -1 when the glyph
    // cannot be read.
    int draw(unsigned char code, uint32_t* pixels, int width, int height, int penX, int baselineY,
             GLYPHMETRICS* metrics = nullptr);

private:
    HDC m_dc;
    void* m_screen;
    std::vector<unsigned char> m_bits;
};

} // namespace tools
