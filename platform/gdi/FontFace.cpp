// FontFace.cpp: GDI text metrics and glyph rendering over FreeType.
#include "platform/gdi/FontFace.h"

#include "platform/gdi/AnsiCodePage.h"
#include "platform/gdi/FontLibrary.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

// Character heights are kept within 1..2048 pixels: nothing larger fits any
// screen, and a wild height must not ask FreeType for giant bitmaps.
const int64_t kMaxEmPixels = 2048;
// The character height of a font made with height 0.
const LONG kDefaultHeight = -16;
// Synthetic italic slants by about 12 degrees (tan = 0.2126 in 16.16).
const FT_Fixed kObliqueShear = 0x366A;

LONG roundDiv(int64_t num, int64_t den)
{
    // Rounds num / den half away from zero (den > 0).
    if (num >= 0)
        return static_cast<LONG>((num * 2 + den) / (den * 2));
    return -static_cast<LONG>((-num * 2 + den) / (den * 2));
}

} // namespace

std::shared_ptr<FontFace> FontFace::open(const std::string& path, int index, LONG height, LONG weight,
                                         bool syntheticBold, bool syntheticItalic)
{
    FontLibrary& lib = FontLibrary::instance();
    std::lock_guard<std::recursive_mutex> lock(lib.mutex());
    FT_Library library = lib.library();
    if (!library)
        return nullptr;
    std::shared_ptr<FontFace> face(new FontFace);
    if (FT_New_Face(library, path.c_str(), index, &face->m_face) != 0) {
        face->m_face = nullptr;
        return nullptr;
    }
    face->m_syntheticBold = syntheticBold;
    face->m_syntheticItalic = syntheticItalic;
    if (!face->setUp(height, weight))
        return nullptr;
    return face;
}

FontFace::~FontFace()
{
    if (m_face) {
        std::lock_guard<std::recursive_mutex> lock(FontLibrary::instance().mutex());
        FT_Done_Face(m_face);
    }
}

bool FontFace::setUp(LONG height, LONG weight)
{
    FT_Face face = m_face;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0)
        return false;
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);

    const int64_t upem = face->units_per_EM;
    // GDI measures the cell from the Windows ascent and descent of the OS/2 table.
    int64_t winAscent = face->ascender;
    int64_t winDescent = -face->descender;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        winAscent = os2->usWinAscent;
        winDescent = os2->usWinDescent;
    }
    int64_t cell = winAscent + winDescent;
    if (cell <= 0)
        return false;

    if (height == 0)
        height = kDefaultHeight;
    Metrics& m = m_metrics;
    if (height < 0) {
        int64_t em = std::min<int64_t>(-int64_t(height), kMaxEmPixels);
        m_emPixels = static_cast<int>(em);
        m.ascent = roundDiv(winAscent * em, upem);
        m.descent = roundDiv(winDescent * em, upem);
        m.height = m.ascent + m.descent;
    } else {
        int64_t h = std::min<int64_t>(height, kMaxEmPixels);
        m_emPixels = std::max<LONG>(1, roundDiv(h * upem, cell));
        m.height = static_cast<LONG>(h);
        m.ascent = roundDiv(winAscent * h, cell);
        m.descent = m.height - m.ascent;
    }
    m.internalLeading = std::max<LONG>(0, m.height - m_emPixels);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(m_emPixels)) != 0)
        return false;

    const int64_t em = m_emPixels;
    const TT_HoriHeader* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (hhea) {
        int64_t gap = int64_t(hhea->Line_Gap) - (cell - (int64_t(hhea->Ascender) - hhea->Descender));
        m.externalLeading = std::max<LONG>(0, roundDiv(gap * em, upem));
    }
    int extra = m_syntheticBold ? 1 : 0;
    if (os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0)
        m.aveCharWidth = roundDiv(int64_t(os2->xAvgCharWidth) * em, upem) + extra;
    else
        m.aveCharWidth = advance('x');
    m.maxCharWidth = roundDiv(int64_t(face->max_advance_width) * em, upem) + extra;
    m.weight = (face->style_flags & FT_STYLE_FLAG_BOLD) || m_syntheticBold ? std::max<LONG>(weight, FW_BOLD)
                                                                           : (weight == 0 ? FW_NORMAL : weight);
    m.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) || m_syntheticItalic;
    m.fixedPitch = FT_IS_FIXED_WIDTH(face);
    m.underlinePosition = std::max<LONG>(1, roundDiv(-int64_t(face->underline_position) * em, upem));
    m.underlineThickness = std::max<LONG>(1, roundDiv(int64_t(face->underline_thickness) * em, upem));
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
        m.strikeoutPosition = roundDiv(int64_t(os2->yStrikeoutPosition) * em, upem);
        m.strikeoutThickness = std::max<LONG>(1, roundDiv(int64_t(os2->yStrikeoutSize) * em, upem));
    } else {
        m.strikeoutPosition = m.ascent / 3;
    }
    if (face->family_name)
        m.family = face->family_name;
    return true;
}

const FontFace::Glyph* FontFace::glyph(unsigned char code)
{
    std::lock_guard<std::recursive_mutex> lock(FontLibrary::instance().mutex());
    if (!m_glyphs[code] && !m_failed[code]) {
        m_glyphs[code] = render(code);
        m_failed[code] = !m_glyphs[code];
    }
    // A rendered glyph is never changed or freed while the face lives.
    return m_glyphs[code].get();
}

int FontFace::advance(unsigned char code)
{
    const Glyph* g = glyph(code);
    return g ? g->advance : 0;
}

std::unique_ptr<FontFace::Glyph> FontFace::render(unsigned char code)
{
    FT_Face face = m_face;
    // A character the font lacks shows the font's missing-glyph shape (glyph 0).
    FT_UInt index = FT_Get_Char_Index(face, ansiCodePoint(code));
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
        return nullptr;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (m_syntheticItalic) {
            FT_Matrix shear = {0x10000, kObliqueShear, 0, 0x10000};
            FT_Outline_Transform(&slot->outline, &shear);
        }
        if (m_syntheticBold)
            FT_Outline_EmboldenXY(&slot->outline, 64, 0);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return nullptr;

    std::unique_ptr<Glyph> g(new Glyph);
    g->advance = static_cast<int>((slot->advance.x + 32) >> 6) + (m_syntheticBold ? 1 : 0);
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.width == 0 || bm.rows == 0 || bm.buffer == nullptr)
        return g;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO)
        return nullptr;
    g->left = slot->bitmap_left;
    g->top = slot->bitmap_top;
    g->width = static_cast<int>(bm.width);
    g->rows = static_cast<int>(bm.rows);
    g->coverage.resize(static_cast<size_t>(g->width) * g->rows);
    for (int y = 0; y < g->rows; ++y) {
        const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        uint8_t* dst = &g->coverage[static_cast<size_t>(y) * g->width];
        for (int x = 0; x < g->width; ++x) {
            if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                dst[x] = src[x];
            else
                dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        }
    }
    return g;
}

} // namespace platform
