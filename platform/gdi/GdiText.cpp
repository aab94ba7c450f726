// GdiText.cpp: fonts, text metrics, glyph bitmaps and text drawing.
#include "platform/gdi/GdiText.h"

#include "platform/gdi/AreaPainter.h"
#include "platform/gdi/FontLibrary.h"
#include "platform/gdi/GdiHandleTable.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using platform::AreaPainter;
using platform::DeviceContext;
using platform::FontFace;
using platform::GdiFont;
using platform::GdiHandleTable;

namespace {

std::shared_ptr<DeviceContext> textDcOf(HDC dc)
{
    return GdiHandleTable::instance().get<DeviceContext>(dc);
}

std::shared_ptr<FontFace> faceOf(DeviceContext& dc)
{
    return dc.state().font ? dc.state().font->face() : nullptr;
}

int textWidth(FontFace& face, const unsigned char* text, size_t count)
{
    int width = 0;
    for (size_t i = 0; i < count; ++i)
        width += face.advance(text[i]);
    return width;
}

bool isIdentity(const MAT2& m)
{
    return m.eM11.value == 1 && m.eM11.fract == 0 && m.eM12.value == 0 && m.eM12.fract == 0 &&
           m.eM21.value == 0 && m.eM21.fract == 0 && m.eM22.value == 1 && m.eM22.fract == 0;
}

// Mixes the text colour into a pixel by coverage 0..255; GDI leaves alpha 0.
uint32_t blend(uint32_t dest, uint32_t color, int coverage)
{
    if (coverage >= 255)
        return color;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int d = (dest >> shift) & 0xFF, c = (color >> shift) & 0xFF;
        int v = d + ((c - d) * coverage + (c >= d ? 127 : -127)) / 255;
        out |= static_cast<uint32_t>(v) << shift;
    }
    return out;
}

struct Clip {
    bool on = false;
    RECT rect{0, 0, 0, 0};
    bool keeps(LONG x, LONG y) const
    {
        return !on || (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom);
    }
};

void fillBox(AreaPainter& painter, LONG left, LONG top, LONG right, LONG bottom, uint32_t pixel, const Clip& clip)
{
    const RECT& limit = painter.limit();
    if (clip.on) {
        left = std::max(left, clip.rect.left);
        right = std::min(right, clip.rect.right);
        top = std::max(top, clip.rect.top);
        bottom = std::min(bottom, clip.rect.bottom);
    }
    for (LONG y = std::max(top, limit.top); y < std::min(bottom, limit.bottom); ++y)
        painter.span(y, left, right, [&](uint32_t& p, LONG) { p = pixel; });
}

// Draws a run of text with its pen starting at x on the given baseline:
// background cell, glyphs, then underline and strike-out.
void drawRun(DeviceContext& dc, FontFace& face, LONG x, LONG baseline, const unsigned char* text, size_t count,
             const INT* spacing, const Clip& clip)
{
    AreaPainter painter(dc);
    if (!painter.active())
        return;
    const DeviceContext::State& s = dc.state();
    const FontFace::Metrics& m = face.metrics();
    int width = 0;
    for (size_t i = 0; i < count; ++i)
        width += spacing ? spacing[i] : face.advance(text[i]);
    if (s.bkMode == OPAQUE)
        fillBox(painter, x, baseline - m.ascent, x + width, baseline + m.descent, platform::colorToPixel(s.bkColor),
                clip);

    uint32_t color = platform::colorToPixel(s.textColor);
    const RECT& limit = painter.limit();
    LONG pen = x;
    for (size_t i = 0; i < count; ++i) {
        const FontFace::Glyph* g = face.glyph(text[i]);
        if (g && !g->blank()) {
            LONG left = pen + g->left;
            for (int row = 0; row < g->rows; ++row) {
                LONG y = baseline - g->top + row;
                if (y < limit.top || y >= limit.bottom)
                    continue;
                const uint8_t* cov = &g->coverage[static_cast<size_t>(row) * g->width];
                painter.span(y, left, left + g->width, [&](uint32_t& p, LONG px) {
                    int c = cov[px - left];
                    if (c > 0 && clip.keeps(px, y))
                        p = blend(p, color, c);
                });
            }
        }
        pen += spacing ? spacing[i] : (g ? g->advance : 0);
    }
    const LOGFONTA& lf = s.font->logical;
    if (lf.lfUnderline) {
        LONG top = baseline + m.underlinePosition - m.underlineThickness / 2;
        fillBox(painter, x, top, x + width, top + m.underlineThickness, color, clip);
    }
    if (lf.lfStrikeOut) {
        LONG top = baseline - m.strikeoutPosition - m.strikeoutThickness / 2;
        fillBox(painter, x, top, x + width, top + m.strikeoutThickness, color, clip);
    }
}

} // namespace

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR face)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic ? 1 : 0;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfStrikeOut = strikeOut ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (face)
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

HFONT CreateFontIndirectA(const LOGFONTA* font)
{
    if (!font)
        return nullptr;
    LOGFONTA lf = *font;
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(GdiHandleTable::instance().add(std::make_shared<GdiFont>(lf)));
}

BOOL GetTextMetricsA(HDC handle, LPTEXTMETRICA tm)
{
    auto dc = textDcOf(handle);
    if (!dc || !tm)
        return FALSE;
    auto face = faceOf(*dc);
    if (!face)
        return FALSE;
    const FontFace::Metrics& m = face->metrics();
    const LOGFONTA& lf = dc->state().font->logical;
    *tm = TEXTMETRICA{};
    tm->tmHeight = m.height;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = m.externalLeading;
    tm->tmAveCharWidth = m.aveCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = m.weight;
    tm->tmOverhang = 0;
    tm->tmDigitizedAspectX = 96;
    tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x1E;
    tm->tmLastChar = 0xFF;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = m.italic ? 255 : 0;
    tm->tmUnderlined = lf.lfUnderline ? 255 : 0;
    tm->tmStruckOut = lf.lfStrikeOut ? 255 : 0;
    // The "fixed pitch" bit is set for variable-pitch fonts.
    tm->tmPitchAndFamily = static_cast<BYTE>((m.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE |
                                             (lf.lfPitchAndFamily & 0xF0));
    tm->tmCharSet = ANSI_CHARSET;
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC handle, LPCSTR text, int count, LPSIZE size)
{
    auto dc = textDcOf(handle);
    if (!dc || !size || count < 0 || (count > 0 && !text))
        return FALSE;
    auto face = faceOf(*dc);
    if (!face)
        return FALSE;
    size->cx = textWidth(*face, reinterpret_cast<const unsigned char*>(text), static_cast<size_t>(count));
    size->cy = face->metrics().height;
    return TRUE;
}

int GetTextFaceA(HDC handle, int count, LPSTR name)
{
    auto dc = textDcOf(handle);
    if (!dc)
        return 0;
    auto face = faceOf(*dc);
    if (!face)
        return 0;
    const std::string& family = face->metrics().family;
    if (!name)
        return static_cast<int>(family.size()) + 1;
    if (count < 1)
        return 0;
    size_t n = std::min(family.size(), static_cast<size_t>(count - 1));
    std::memcpy(name, family.data(), n);
    name[n] = '\0';
    return static_cast<int>(n) + 1;
}

DWORD GetGlyphOutlineA(HDC handle, UINT character, UINT format, LPGLYPHMETRICS gm, DWORD bufferSize, LPVOID buffer,
                       const MAT2* transform)
{
    auto dc = textDcOf(handle);
    if (!dc || !gm || !transform || !isIdentity(*transform) || character > 0xFF)
        return GDI_ERROR;
    int levels;
    switch (format) {
    case GGO_METRICS: levels = 0; break;
    case GGO_BITMAP: levels = 1; break;
    case GGO_GRAY2_BITMAP: levels = 4; break;
    case GGO_GRAY4_BITMAP: levels = 16; break;
    case GGO_GRAY8_BITMAP: levels = 64; break;
    default: return GDI_ERROR;
    }
    auto face = faceOf(*dc);
    if (!face)
        return GDI_ERROR;
    const FontFace::Glyph* g = face->glyph(static_cast<unsigned char>(character));
    if (!g)
        return GDI_ERROR;
    // A blank glyph reports a 1 x 1 black box at the pen, as GDI does.
    gm->gmBlackBoxX = g->blank() ? 1 : static_cast<UINT>(g->width);
    gm->gmBlackBoxY = g->blank() ? 1 : static_cast<UINT>(g->rows);
    gm->gmptGlyphOrigin.x = g->blank() ? 0 : g->left;
    gm->gmptGlyphOrigin.y = g->blank() ? 0 : g->top;
    gm->gmCellIncX = static_cast<SHORT>(g->advance);
    gm->gmCellIncY = 0;
    if (format == GGO_METRICS)
        return 0;
    if (g->blank())
        return 0;

    size_t pitch = levels == 1 ? ((static_cast<size_t>(g->width) + 31) / 32) * 4
                               : (static_cast<size_t>(g->width) + 3) & ~size_t(3);
    size_t needed = pitch * static_cast<size_t>(g->rows);
    if (!buffer || bufferSize == 0)
        return static_cast<DWORD>(needed);
    if (bufferSize < needed)
        return GDI_ERROR;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    std::memset(out, 0, needed);
    for (int y = 0; y < g->rows; ++y) {
        const uint8_t* cov = &g->coverage[static_cast<size_t>(y) * g->width];
        uint8_t* row = out + static_cast<size_t>(y) * pitch;
        for (int x = 0; x < g->width; ++x) {
            if (levels == 1) {
                if (cov[x] >= 128)
                    row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
            } else {
                row[x] = static_cast<uint8_t>((cov[x] * levels + 127) / 255);
            }
        }
    }
    return static_cast<DWORD>(needed);
}

BOOL ExtTextOutA(HDC handle, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                 const INT* spacing)
{
    auto dc = textDcOf(handle);
    if (!dc || (count > 0 && !text))
        return FALSE;
    Clip clip;
    if (rect && (options & ETO_CLIPPED)) {
        clip.on = true;
        clip.rect = *rect;
    }
    if (rect && (options & ETO_OPAQUE)) {
        AreaPainter painter(*dc);
        fillBox(painter, rect->left, rect->top, rect->right, rect->bottom, platform::colorToPixel(dc->state().bkColor),
                clip);
    }
    if (count == 0)
        return TRUE;
    auto face = faceOf(*dc);
    if (!face)
        return FALSE;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    DeviceContext::State& s = dc->state();
    int width = 0;
    for (UINT i = 0; i < count; ++i)
        width += spacing ? spacing[i] : face->advance(bytes[i]);
    bool updateCp = (s.textAlign & TA_UPDATECP) != 0;
    if (updateCp) {
        x = s.position.x;
        y = s.position.y;
    }
    LONG start = x;
    switch (s.textAlign & (TA_CENTER | TA_RIGHT)) {
    case TA_RIGHT: start = x - width; break;
    case TA_CENTER: start = x - width / 2; break;
    default: break;
    }
    const FontFace::Metrics& m = face->metrics();
    LONG baseline = y + m.ascent;
    if ((s.textAlign & TA_BASELINE) == TA_BASELINE)
        baseline = y;
    else if (s.textAlign & TA_BOTTOM)
        baseline = y - m.descent;
    drawRun(*dc, *face, start, baseline, bytes, count, spacing, clip);
    if (updateCp) {
        switch (s.textAlign & (TA_CENTER | TA_RIGHT)) {
        case TA_RIGHT: s.position.x = x - width; break;
        case TA_CENTER: break;
        default: s.position.x = x + width; break;
        }
    }
    return TRUE;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count)
{
    if (count < 0)
        return FALSE;
    return ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

int DrawTextExA(HDC handle, LPSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params)
{
    auto dc = textDcOf(handle);
    if (!dc || !rect || (count != 0 && !text))
        return 0;
    if (count < 0)
        count = static_cast<int>(std::strlen(text));
    auto face = faceOf(*dc);
    if (!face)
        return 0;
    const FontFace::Metrics& m = face->metrics();

    // The text without its '&' prefixes ("&&" stands for '&').
    std::string plain;
    for (int i = 0; i < count; ++i) {
        char c = text[i];
        if (c == '&' && !(format & DT_NOPREFIX)) {
            if (i + 1 < count && text[i + 1] == '&')
                ++i;
            else
                continue;
        }
        plain.push_back(c);
    }

    RECT box = *rect;
    if (params) {
        box.left += params->iLeftMargin;
        box.right -= params->iRightMargin;
        params->uiLengthDrawn = static_cast<UINT>(count);
    }
    LONG boxWidth = box.right - box.left;
    auto widthOf = [&](const std::string& s) {
        return textWidth(*face, reinterpret_cast<const unsigned char*>(s.data()), s.size());
    };

    std::vector<std::string> lines;
    auto addLine = [&](const std::string& line) {
        if (!(format & DT_WORDBREAK) || widthOf(line) <= boxWidth) {
            lines.push_back(line);
            return;
        }
        // Greedy wrapping at spaces; a word wider than the box stays whole on its line.
        std::string current;
        size_t i = 0;
        while (i < line.size()) {
            size_t end = line.find(' ', i);
            if (end == std::string::npos)
                end = line.size();
            std::string word = line.substr(i, end - i);
            std::string candidate = current.empty() ? word : current + " " + word;
            if (!current.empty() && widthOf(candidate) > boxWidth) {
                lines.push_back(current);
                current = word;
            } else {
                current = candidate;
            }
            i = end + 1;
        }
        lines.push_back(current);
    };
    if (format & DT_SINGLELINE) {
        lines.push_back(plain);
    } else {
        size_t i = 0;
        while (true) {
            size_t end = plain.find_first_of("\r\n", i);
            if (end == std::string::npos) {
                addLine(plain.substr(i));
                break;
            }
            addLine(plain.substr(i, end - i));
            i = end + ((plain[end] == '\r' && end + 1 < plain.size() && plain[end + 1] == '\n') ? 2 : 1);
        }
    }
    if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        const std::string dots = "...";
        for (std::string& line : lines) {
            if (widthOf(line) <= boxWidth)
                continue;
            while (!line.empty() && widthOf(line) + widthOf(dots) > boxWidth)
                line.pop_back();
            line += dots;
        }
    }

    LONG lineHeight = m.height + ((format & DT_EXTERNALLEADING) ? m.externalLeading : 0);
    LONG total = lineHeight * static_cast<LONG>(lines.size());
    LONG widest = 0;
    for (const std::string& line : lines)
        widest = std::max<LONG>(widest, widthOf(line));
    if (format & DT_CALCRECT) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }

    LONG top = box.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = box.top + (box.bottom - box.top - total) / 2;
        else if (format & DT_BOTTOM)
            top = box.bottom - total;
    }
    Clip clip;
    if (!(format & DT_NOCLIP)) {
        clip.on = true;
        clip.rect = box;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        LONG w = widthOf(line);
        LONG left = box.left;
        if (format & DT_CENTER)
            left = box.left + (boxWidth - w) / 2;
        else if (format & DT_RIGHT)
            left = box.right - w;
        LONG baseline = top + lineHeight * static_cast<LONG>(i) + m.ascent;
        drawRun(*dc, *face, left, baseline, reinterpret_cast<const unsigned char*>(line.data()), line.size(), nullptr,
                clip);
    }
    return total;
}

int DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format)
{
    return DrawTextExA(dc, const_cast<LPSTR>(text), count, rect, format, nullptr);
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    int64_t product = int64_t(a) * b;
    int64_t divisor = c;
    bool negative = (product < 0) != (divisor < 0);
    uint64_t p = product < 0 ? uint64_t(-(product + 1)) + 1 : uint64_t(product);
    uint64_t d = divisor < 0 ? uint64_t(-divisor) : uint64_t(divisor);
    uint64_t q = (p + d / 2) / d;
    if (q > (negative ? uint64_t(INT32_MAX) + 1 : uint64_t(INT32_MAX)))
        return -1;
    return negative ? static_cast<int>(-static_cast<int64_t>(q)) : static_cast<int>(q);
}

namespace platform {

void setFontFileOverride(const char* path)
{
    FontLibrary::instance().setFileOverride(path);
}

} // namespace platform
