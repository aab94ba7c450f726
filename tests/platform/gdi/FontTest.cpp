// Fonts on a pinned font file: metric invariants, extents, glyph bitmaps and text drawing.
#include "Dib.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

using gditest::Dib;

namespace {

const char* const kPinnedFont = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

bool pinnedFontPresent() { return access(kPinnedFont, R_OK) == 0; }

class Fonts : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!pinnedFontPresent())
            GTEST_SKIP() << "missing " << kPinnedFont;
        platform::setFontFileOverride(kPinnedFont);
        dc = CreateCompatibleDC(nullptr);
    }
    void TearDown() override
    {
        for (HFONT f : fonts)
            DeleteObject(f);
        if (dc)
            DeleteDC(dc);
        platform::setFontFileOverride(nullptr);
    }

    HFONT font(int height, int weight = FW_NORMAL, bool italic = false, bool underline = false)
    {
        HFONT f = CreateFontA(height, 0, 0, 0, weight, italic, underline, 0, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, 0,
                              "Arial");
        fonts.push_back(f);
        return f;
    }
    TEXTMETRICA metrics(HFONT f)
    {
        SelectObject(dc, f);
        TEXTMETRICA tm{};
        EXPECT_TRUE(GetTextMetricsA(dc, &tm));
        return tm;
    }
    LONG width(HFONT f, const char* text)
    {
        SelectObject(dc, f);
        SIZE size{-1, -1};
        EXPECT_TRUE(GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size));
        return size.cx;
    }

    HDC dc = nullptr;
    std::vector<HFONT> fonts;
};

TEST_F(Fonts, NegativeHeightIsTheCharacterHeight)
{
    for (int em : {8, 10, 13, 20, 36}) {
        TEXTMETRICA tm = metrics(font(-em));
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight) << em;
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, em) << em;
        EXPECT_GT(tm.tmHeight, em) << "the cell holds accents above the em";
        EXPECT_LE(tm.tmHeight, em * 13 / 10 + 1) << em;
        EXPECT_GT(tm.tmDescent, 0);
        EXPECT_GT(tm.tmAveCharWidth, 0);
        EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
        EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    }
}

TEST_F(Fonts, PositiveHeightIsTheCellHeight)
{
    for (int cell : {9, 12, 16, 25, 40}) {
        TEXTMETRICA tm = metrics(font(cell));
        EXPECT_EQ(tm.tmHeight, cell);
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, cell);
        EXPECT_LT(tm.tmHeight - tm.tmInternalLeading, cell);
    }
    // The same cell asked for either way gives the same split.
    TEXTMETRICA byEm = metrics(font(-30));
    TEXTMETRICA byCell = metrics(font(byEm.tmHeight));
    EXPECT_EQ(byCell.tmHeight, byEm.tmHeight);
    EXPECT_NEAR(byCell.tmAscent, byEm.tmAscent, 1);
    // Height 0 still gives a usable font.
    EXPECT_GT(metrics(font(0)).tmHeight, 0);
}

TEST_F(Fonts, WildHeightsAreCapped)
{
    for (int height : {INT32_MIN, INT32_MAX, -100000}) {
        TEXTMETRICA tm = metrics(font(height));
        EXPECT_GT(tm.tmHeight, 0) << height;
        EXPECT_LE(tm.tmHeight, 4096) << height;
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    }
}

TEST_F(Fonts, ExtentsAddUpCharacterAdvances)
{
    HFONT f = font(-16);
    SelectObject(dc, f);
    SIZE size{-1, -1};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "", 0, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, metrics(f).tmHeight);
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "x", -1, &size));
    LONG previous = 0;
    std::string text;
    for (char c : std::string("The quick brown fox")) {
        text.push_back(c);
        LONG w = width(f, text.c_str());
        EXPECT_GE(w, previous) << text;
        previous = w;
    }
    EXPECT_GT(width(f, "i"), 0);
    EXPECT_GT(width(f, "W"), width(f, "i"));
    EXPECT_EQ(width(f, "AV"), width(f, "A") + width(f, "V")) << "no kerning";
    EXPECT_GT(width(f, " "), 0);
    EXPECT_GT(width(f, "\x80"), 0) << "the euro sign of the ANSI code page";
}

TEST_F(Fonts, BoldIsNoNarrowerAndReportsItsWeight)
{
    HFONT regular = font(-14), bold = font(-14, FW_BOLD), semibold = font(-14, FW_SEMIBOLD);
    const char* sample = "Harbour lanterns, 1234";
    EXPECT_GE(width(bold, sample), width(regular, sample));
    EXPECT_GT(width(bold, sample), width(regular, sample)) << "the pinned face is regular, so bold is widened";
    EXPECT_GE(metrics(bold).tmWeight, FW_BOLD);
    EXPECT_GE(width(semibold, sample), width(regular, sample));
    EXPECT_EQ(metrics(bold).tmHeight, metrics(regular).tmHeight);
    TEXTMETRICA italic = metrics(font(-14, FW_NORMAL, true, true));
    EXPECT_NE(italic.tmItalic, 0);
    EXPECT_NE(italic.tmUnderlined, 0);
}

TEST_F(Fonts, GrayGlyphBitmapsArePaddedAndHold65Levels)
{
    HFONT f = font(-32);
    SelectObject(dc, f);
    TEXTMETRICA tm = metrics(f);
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const unsigned char samples[] = {'A', 'g', 'W', '1', '|', 0xE9, 0x80};
    for (unsigned char c : samples) {
        GLYPHMETRICS gm{};
        DWORD size = GetGlyphOutlineA(dc, c, GGO_GRAY8_BITMAP, &gm, 0, nullptr, &identity);
        ASSERT_NE(size, GDI_ERROR) << int(c);
        DWORD pitch = (gm.gmBlackBoxX + 3) & ~3u;
        EXPECT_EQ(pitch % 4, 0u);
        EXPECT_EQ(size, pitch * gm.gmBlackBoxY) << int(c);
        EXPECT_LE(gm.gmptGlyphOrigin.y, tm.tmAscent + 1) << int(c);
        EXPECT_GE(gm.gmptGlyphOrigin.y - static_cast<LONG>(gm.gmBlackBoxY), -tm.tmDescent - 1) << int(c);
        char text[2] = {static_cast<char>(c), 0};
        EXPECT_EQ(gm.gmCellIncX, width(f, text)) << int(c);

        std::vector<BYTE> bits(size + 8, 0xEE);
        GLYPHMETRICS again{};
        ASSERT_EQ(GetGlyphOutlineA(dc, c, GGO_GRAY8_BITMAP, &again, size, bits.data(), &identity), size);
        EXPECT_EQ(again.gmBlackBoxX, gm.gmBlackBoxX);
        int maxLevel = 0, covered = 0;
        for (DWORD y = 0; y < gm.gmBlackBoxY; ++y)
            for (DWORD x = 0; x < pitch; ++x) {
                BYTE v = bits[y * pitch + x];
                ASSERT_LE(v, 64) << int(c);
                if (x >= gm.gmBlackBoxX) {
                    EXPECT_EQ(v, 0) << "padding";
                }
                maxLevel = std::max<int>(maxLevel, v);
                covered += v > 0;
            }
        EXPECT_EQ(maxLevel, 64) << "a 32-pixel glyph has fully covered pixels: " << int(c);
        EXPECT_GT(covered, 4) << int(c);
        EXPECT_EQ(bits[size], 0xEE) << "nothing written past the size";
    }
    // 'g' reaches below the baseline.
    GLYPHMETRICS g{};
    GetGlyphOutlineA(dc, 'g', GGO_METRICS, &g, 0, nullptr, &identity);
    EXPECT_GT(static_cast<LONG>(g.gmBlackBoxY), g.gmptGlyphOrigin.y);
}

// Glyphs one to three pixels wide still have rows of 4 bytes: each row holds
// the coverage the same glyph leaves when drawn as text, then zero padding.
TEST_F(Fonts, NarrowGlyphsKeepFourByteRows)
{
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    bool found[4] = {false, false, false, false};
    for (int height = 6; height <= 40; ++height) {
        HFONT f = font(-height);
        for (unsigned char c : {'|', 'l', 'i', '.', '!', '\'', ':', 'I', ',', 'j', 'f', 't', 'r'}) {
            SelectObject(dc, f);
            GLYPHMETRICS gm{};
            DWORD size = GetGlyphOutlineA(dc, c, GGO_GRAY8_BITMAP, &gm, 0, nullptr, &identity);
            const UINT w = gm.gmBlackBoxX;
            if (size == GDI_ERROR || size == 0 || w > 3 || found[w])
                continue;
            found[w] = true;
            SCOPED_TRACE(std::string("'") + char(c) + "' at " + std::to_string(height) + " px, " +
                         std::to_string(w) + " wide");
            const DWORD rows = gm.gmBlackBoxY;
            ASSERT_EQ(size, 4 * rows);
            std::vector<BYTE> bits(size, 0xEE);
            ASSERT_EQ(GetGlyphOutlineA(dc, c, GGO_GRAY8_BITMAP, &gm, size, bits.data(), &identity), size);

            Dib dib(40, 60, true, 0x00FFFFFFu);
            SelectObject(dib.dc, f);
            SetTextColor(dib.dc, RGB(0, 0, 0));
            SetBkMode(dib.dc, TRANSPARENT);
            SetTextAlign(dib.dc, TA_BASELINE);
            const char text[2] = {char(c), 0};
            ASSERT_TRUE(TextOutA(dib.dc, 8, 45, text, 1));
            SelectObject(dib.dc, GetStockObject(SYSTEM_FONT));
            int inked = 0;
            for (DWORD y = 0; y < rows; ++y) {
                for (UINT x = 0; x < 4; ++x) {
                    const BYTE level = bits[y * 4 + x];
                    if (x >= w) {
                        EXPECT_EQ(level, 0) << "padding at " << x << "," << y;
                        continue;
                    }
                    const int coverage =
                        255 - int(dib.at(8 + gm.gmptGlyphOrigin.x + int(x), 45 - gm.gmptGlyphOrigin.y + int(y)) & 0xFF);
                    EXPECT_EQ(level, (coverage * 64 + 127) / 255) << "at " << x << "," << y;
                    inked += level > 0;
                }
            }
            EXPECT_GT(inked, 0);
        }
    }
    EXPECT_TRUE(found[1] || found[2]) << "no glyph one or two pixels wide";
    EXPECT_TRUE(found[3]) << "no glyph three pixels wide";
}

TEST_F(Fonts, BlankGlyphsOnlyAdvance)
{
    SelectObject(dc, font(-20));
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS gm{};
    EXPECT_EQ(GetGlyphOutlineA(dc, ' ', GGO_GRAY8_BITMAP, &gm, 0, nullptr, &identity), 0u);
    EXPECT_GT(gm.gmCellIncX, 0);
    EXPECT_EQ(GetGlyphOutlineA(dc, ' ', GGO_METRICS, &gm, 0, nullptr, &identity), 0u);
}

TEST_F(Fonts, GlyphQueriesRefuseWhatTheyCannotDo)
{
    SelectObject(dc, font(-20));
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const MAT2 doubled = {{0, 2}, {0, 0}, {0, 0}, {0, 2}};
    GLYPHMETRICS gm{};
    EXPECT_EQ(GetGlyphOutlineA(dc, 'A', GGO_GRAY8_BITMAP, &gm, 0, nullptr, &doubled), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(dc, 'A', GGO_GRAY8_BITMAP, &gm, 0, nullptr, nullptr), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(dc, 'A', GGO_NATIVE, &gm, 0, nullptr, &identity), GDI_ERROR);
    DWORD size = GetGlyphOutlineA(dc, 'A', GGO_GRAY8_BITMAP, &gm, 0, nullptr, &identity);
    std::vector<BYTE> small(size - 1);
    EXPECT_EQ(GetGlyphOutlineA(dc, 'A', GGO_GRAY8_BITMAP, &gm, size - 1, small.data(), &identity), GDI_ERROR);
    // The euro sign is a real glyph, not the missing-glyph box a control code shows.
    std::vector<BYTE> euro(4096), missing(4096);
    GLYPHMETRICS gmEuro{}, gmMissing{};
    DWORD euroSize = GetGlyphOutlineA(dc, 0x80, GGO_GRAY8_BITMAP, &gmEuro, 4096, euro.data(), &identity);
    DWORD missingSize = GetGlyphOutlineA(dc, 0x81, GGO_GRAY8_BITMAP, &gmMissing, 4096, missing.data(), &identity);
    ASSERT_NE(euroSize, GDI_ERROR);
    ASSERT_NE(missingSize, GDI_ERROR);
    EXPECT_TRUE(euroSize != missingSize || euro != missing);
}

TEST_F(Fonts, TextDrawsInsideItsCellInTheTextColour)
{
    Dib dib(80, 40, true, 0x00FFFFFFu);
    HFONT f = font(-18);
    SelectObject(dib.dc, f);
    SetTextColor(dib.dc, RGB(0, 0, 0));
    SetBkMode(dib.dc, TRANSPARENT);
    SIZE size;
    GetTextExtentPoint32A(dib.dc, "Hig", 3, &size);
    ASSERT_TRUE(TextOutA(dib.dc, 5, 6, "Hig", 3));
    int dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x) {
            uint32_t p = dib.at(x, y);
            bool inCell = x >= 5 && x < 5 + size.cx && y >= 6 && y < 6 + size.cy;
            if (!inCell) {
                EXPECT_EQ(p, 0x00FFFFFFu) << x << "," << y;
            }
            // Text pixels are grey levels between the background and the text colour.
            EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
            dark += (p & 0xFF) == 0;
        }
    EXPECT_GT(dark, 10);

    // Opaque background fills the whole cell; the baseline alignment puts the cell's top ascent rows up.
    Dib opaque(80, 40, true, 0);
    SelectObject(opaque.dc, f);
    SetBkColor(opaque.dc, RGB(0, 0, 255));
    SetTextAlign(opaque.dc, TA_BASELINE);
    TextOutA(opaque.dc, 5, 30, "Hig", 3);
    TEXTMETRICA tm;
    GetTextMetricsA(opaque.dc, &tm);
    EXPECT_NE(opaque.at(5, 30 - tm.tmAscent), 0u);
    EXPECT_EQ(opaque.at(5, 30 - tm.tmAscent - 1), 0u);
    EXPECT_NE(opaque.at(4 + size.cx, 30 + tm.tmDescent - 1), 0u);
    EXPECT_EQ(opaque.at(4 + size.cx, 30 + tm.tmDescent), 0u);
    SelectObject(dib.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(opaque.dc, GetStockObject(SYSTEM_FONT));
}

TEST_F(Fonts, OpaqueEmptyTextFillsTheRectangle)
{
    Dib dib(10, 10);
    SetBkColor(dib.dc, RGB(10, 20, 30));
    RECT r{2, 3, 7, 5};
    EXPECT_TRUE(ExtTextOutA(dib.dc, 2, 3, ETO_OPAQUE, &r, "", 0, nullptr));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(dib.at(x, y), (x >= 2 && x < 7 && y >= 3 && y < 5) ? 0x000A141Eu : 0xFF000000u) << x << "," << y;
}

TEST_F(Fonts, DrawTextMeasuresWrapsAndEllipsises)
{
    HFONT f = font(-12);
    SelectObject(dc, f);
    TEXTMETRICA tm = metrics(f);
    char text[] = "Lanterns over the harbour";
    RECT r{0, 0, 1000, 0};
    EXPECT_EQ(DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX), tm.tmHeight);
    EXPECT_EQ(r.right, width(f, text));
    RECT narrow{0, 0, 60, 0};
    EXPECT_EQ(DrawTextA(dc, text, -1, &narrow, DT_CALCRECT | DT_WORDBREAK), tm.tmHeight * 3);
    EXPECT_LE(narrow.right, 60);
    RECT cut{0, 0, 60, 0};
    DrawTextA(dc, text, -1, &cut, DT_CALCRECT | DT_SINGLELINE | DT_WORD_ELLIPSIS);
    EXPECT_LE(cut.right, 60);
    EXPECT_GT(cut.right, 30);
    char prefixed[] = "&File";
    RECT a{0, 0, 1000, 0}, b{0, 0, 1000, 0};
    DrawTextA(dc, prefixed, -1, &a, DT_CALCRECT | DT_SINGLELINE);
    DrawTextA(dc, prefixed, -1, &b, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(a.right, width(f, "File"));
    EXPECT_EQ(b.right, width(f, "&File"));

    // Drawing stays inside the box.
    Dib dib(100, 30, true, 0x00FFFFFFu);
    SelectObject(dib.dc, f);
    SetBkMode(dib.dc, TRANSPARENT);
    RECT box{10, 5, 70, 25};
    EXPECT_EQ(DrawTextExA(dib.dc, text, -1, &box, DT_WORD_ELLIPSIS | DT_NOPREFIX, nullptr), tm.tmHeight);
    int changed = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            if (dib.at(x, y) != 0x00FFFFFFu) {
                ++changed;
                EXPECT_TRUE(x >= 10 && x < 70 && y >= 5 && y < 25) << x << "," << y;
            }
    EXPECT_GT(changed, 0);
    SelectObject(dib.dc, GetStockObject(SYSTEM_FONT));
}

TEST_F(Fonts, OverrideChangesFontsAlreadyMade)
{
    HFONT f = font(-20);
    SelectObject(dc, f);
    char name[64] = {};
    ASSERT_GT(GetTextFaceA(dc, sizeof name, name), 0);
    EXPECT_STREQ(name, "Liberation Sans");
    EXPECT_EQ(GetTextFaceA(dc, 0, nullptr), static_cast<int>(std::strlen("Liberation Sans")) + 1);
    testsupport::TempDir dir;
    platform::setFontFileOverride(dir.file("missing.ttf").c_str());
    TEXTMETRICA tm;
    EXPECT_FALSE(GetTextMetricsA(dc, &tm)) << "no usable file: the call fails instead of inventing metrics";
    platform::setFontFileOverride(kPinnedFont);
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
}

TEST(FontResolution, ArialResolvesToItsMetricCompatibleFace)
{
    if (!pinnedFontPresent())
        GTEST_SKIP() << "fonts-liberation is not installed";
    platform::setFontFileOverride(nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    for (int weight : {FW_NORMAL, FW_BOLD}) {
        HFONT f = CreateFontA(-10, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, 0, "Arial");
        SelectObject(dc, f);
        char name[64] = {};
        GetTextFaceA(dc, sizeof name, name);
        EXPECT_STREQ(name, "Liberation Sans") << weight;
        TEXTMETRICA tm;
        ASSERT_TRUE(GetTextMetricsA(dc, &tm));
        EXPECT_EQ(tm.tmWeight, weight);
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(f);
    }
    DeleteDC(dc);
}

TEST(MulDiv, RoundsHalfAwayFromZeroAndReportsOverflow)
{
    EXPECT_EQ(MulDiv(10, 72, 72), 10);
    EXPECT_EQ(MulDiv(7, 1, 2), 4);
    EXPECT_EQ(MulDiv(-7, 1, 2), -4);
    EXPECT_EQ(MulDiv(7, -1, -2), 4);
    EXPECT_EQ(MulDiv(5, 3, 4), 4);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(INT32_MAX, 2, 1), -1);
    EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);
    EXPECT_EQ(MulDiv(INT32_MIN, 1, 1), INT32_MIN);
}

} // namespace
