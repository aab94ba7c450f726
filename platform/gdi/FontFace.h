// FontFace.h: one font file opened by FreeType at one size, with the GDI
// metrics of that size and the glyphs of the ANSI code page rendered on demand.
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

struct FT_FaceRec_;

namespace platform {

class FontFace {
public:
    // A rendered glyph: coverage 0..255 in rows of `width` bytes. left is the
    // black box's offset from the pen, top its height above the baseline.
    struct Glyph {
        int left = 0;
        int top = 0;
        int width = 0;
        int rows = 0;
        int advance = 0;
        std::vector<uint8_t> coverage;
        bool blank() const { return width == 0 || rows == 0; }
    };

    struct Metrics {
        LONG height = 0;
        LONG ascent = 0;
        LONG descent = 0;
        LONG internalLeading = 0;
        LONG externalLeading = 0;
        LONG aveCharWidth = 0;
        LONG maxCharWidth = 0;
        LONG weight = FW_NORMAL;
        bool italic = false;
        bool fixedPitch = false;
        int underlinePosition = 0; // rows below the baseline
        int underlineThickness = 1;
        int strikeoutPosition = 0; // rows above the baseline
        int strikeoutThickness = 1;
        std::string family;
    };

    // Opens face `index` of the file at the size that the GDI height asks for
    // (below 0: em height in pixels; above 0: ascent + descent; 0: a default).
    // syntheticBold widens every glyph by a pixel; syntheticItalic slants it.
    // Null when the file cannot be used.
    static std::shared_ptr<FontFace> open(const std::string& path, int index, LONG height, LONG weight,
                                          bool syntheticBold, bool syntheticItalic);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const Metrics& metrics() const { return m_metrics; }
    int emPixels() const { return m_emPixels; }
    // The glyph of an ANSI character code; null when FreeType cannot render it.
    const Glyph* glyph(unsigned char code);
    // The advance of a character; 0 when it has no glyph.
    int advance(unsigned char code);

private:
    FontFace() = default;
    bool setUp(LONG height, LONG weight);
    std::unique_ptr<Glyph> render(unsigned char code);

    FT_FaceRec_* m_face = nullptr;
    int m_emPixels = 0;
    bool m_syntheticBold = false;
    bool m_syntheticItalic = false;
    Metrics m_metrics;
    std::array<std::unique_ptr<Glyph>, 256> m_glyphs;
    std::array<bool, 256> m_failed{};
};

} // namespace platform
