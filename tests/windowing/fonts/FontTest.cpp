// Fonts and their metrics on a pinned font file: metric invariants, extents,
// styles, the one metrics object per font, and the glyph bitmaps text
// rendering reads through the font's handle.
#include "windowing/gdi/CMainDC.h"
#include "windowing/fonts/Font.h"
#include "windowing/fonts/FontMetrics.h"

#include "platform/gdi/Gdi.h"
#include "platform/user/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>
#include <vector>

using window::Font;
using window::FontMetrics;

namespace {

const char* const kPinnedFont = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

class FontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (access(kPinnedFont, R_OK) != 0)
            GTEST_SKIP() << "missing " << kPinnedFont;
        // The screen context the metrics measure on comes from a display-less window layer.
        platform::useHeadlessBackend();
        platform::setFontFileOverride(kPinnedFont);
    }
    void TearDown() override
    {
        for (Font* f : fonts)
            f->release();
        platform::setFontFileOverride(nullptr);
    }

    Font* font(int style, int size)
    {
        Font* f = new Font("Arial", style, size, DEFAULT_CHARSET, 0, 0);
        fonts.push_back(f);
        return f;
    }
    // The metrics of a font; the font keeps them alive.
    FontMetrics* metrics(Font* f)
    {
        FontMetrics* m = f->getFontMetrics();
        m->release();
        return m;
    }

    std::vector<Font*> fonts;
};

TEST_F(FontTest, AscentAndDescentMakeTheHeightAndSizeIsTheCharacterHeight)
{
    for (int size : {8, 10, 16, 33}) {
        FontMetrics* m = metrics(font(0, size));
        EXPECT_GT(m->getAscent(), 0) << size;
        EXPECT_GT(m->getDescent(), 0) << size;
        EXPECT_EQ(m->getAscent() + m->getDescent(), m->getHeight()) << size;
        // The size asks for the character height: the cell less its internal leading.
        EXPECT_EQ(size, m->getHeight() - m->getTextMetrics().tmInternalLeading) << size;
    }
}

TEST_F(FontTest, EmptyTextMeasuresNothing)
{
    FontMetrics* m = metrics(font(0, 12));
    int width = -1, height = -1;
    m->stringExtent(lang::String(), width, height);
    EXPECT_EQ(0, width);
    EXPECT_EQ(0, height);
    m->stringExtent(lang::String(""), width, height);
    EXPECT_EQ(0, width);
    EXPECT_EQ(0, height);
    EXPECT_EQ(0, m->stringWidth(lang::String("")));
}

TEST_F(FontTest, WidthsGrowWithTheTextAndHeightIsTheFontHeight)
{
    FontMetrics* m = metrics(font(0, 14));
    const char* texts[] = {"i", "iW", "iWm", "iWm ", "iWm x", "iWm x\xE9"};
    int previous = 0;
    for (const char* t : texts) {
        int width = 0, height = 0;
        m->stringExtent(lang::String(t), width, height);
        EXPECT_GT(width, previous) << t;
        EXPECT_EQ(m->getHeight(), height) << t;
        EXPECT_EQ(width, m->stringWidth(lang::String(t))) << t;
        previous = width;
    }
}

TEST_F(FontTest, BoldIsNoNarrowerThanRegular)
{
    FontMetrics* regular = metrics(font(0, 20));
    FontMetrics* bold = metrics(font(Font::kBold, 20));
    lang::String text("Harbour lights, 1234!");
    EXPECT_GE(bold->stringWidth(text), regular->stringWidth(text));
    EXPECT_GE(bold->getTextMetrics().tmWeight, FW_BOLD);
    EXPECT_LT(regular->getTextMetrics().tmWeight, FW_BOLD);
}

TEST_F(FontTest, EachStyleBitAloneAndAllTogether)
{
    const struct {
        int style;
        bool bold, italic, underlined;
    } cases[] = {
        {0, false, false, false},
        {Font::kBold, true, false, false},
        {Font::kItalic, false, true, false},
        {Font::kUnderline, false, false, true},
        {Font::kBold | Font::kItalic | Font::kUnderline, true, true, true},
    };
    for (const auto& c : cases) {
        const TEXTMETRICA& tm = metrics(font(c.style, 12))->getTextMetrics();
        EXPECT_EQ(tm.tmWeight >= FW_BOLD, c.bold) << "style " << c.style;
        if (!c.bold) {
            EXPECT_EQ(FW_NORMAL, tm.tmWeight) << "style " << c.style;
        }
        EXPECT_EQ(tm.tmItalic != 0, c.italic) << "style " << c.style;
        EXPECT_EQ(tm.tmUnderlined != 0, c.underlined) << "style " << c.style;
        EXPECT_EQ(0, tm.tmStruckOut) << "style " << c.style;
    }
}

TEST_F(FontTest, OneMetricsObjectPerFontEachCallAddingAReference)
{
    Font* f = font(0, 10);
    FontMetrics* a = f->getFontMetrics();
    int count = a->getRefCount();
    FontMetrics* b = f->getFontMetrics();
    EXPECT_EQ(a, b);
    EXPECT_EQ(count + 1, b->getRefCount());
    EXPECT_EQ(f, a->getFont());
    b->release();
    a->release();
    // The font still holds its own reference.
    EXPECT_EQ(1, a->getRefCount());
    EXPECT_NE(metrics(font(0, 10)), a);
}

TEST_F(FontTest, MetricsAskedFromManyThreadsAtOnceAreOneObject)
{
    Font* f = font(0, 10);
    const int kThreads = 8;
    std::vector<FontMetrics*> seen(kThreads, nullptr);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] { seen[size_t(i)] = f->getFontMetrics(); });
    for (std::thread& t : threads)
        t.join();
    for (FontMetrics* m : seen)
        EXPECT_EQ(seen[0], m);
    EXPECT_EQ(kThreads + 1, seen[0]->getRefCount());
    for (FontMetrics* m : seen)
        m->release();
}

// The glyph bitmaps a text sprite renders from: the font selected into the
// screen context, the identity transform, 65 grey levels in rows padded to 4 bytes.
class GlyphTest : public FontTest {
protected:
    void SetUp() override
    {
        FontTest::SetUp();
        if (IsSkipped())
            return;
        screen = new window::CMainDC();
        f = font(0, 24);
        SelectObject(screen->getDC(), f->getHandle());
    }
    void TearDown() override
    {
        if (screen) {
            SelectObject(screen->getDC(), GetStockObject(SYSTEM_FONT));
            screen->release();
        }
        FontTest::TearDown();
    }

    static MAT2 identity()
    {
        MAT2 m{};
        m.eM11.value = 1;
        m.eM22.value = 1;
        return m;
    }

    window::CMainDC* screen = nullptr;
    Font* f = nullptr;
};

TEST_F(GlyphTest, GreyBitmapsHavePaddedRowsAndCoverage)
{
    MAT2 mat = identity();
    const unsigned char chars[] = {'A', 'g', 'W', 'i', 0xE9 /* e acute in the ANSI code page */};
    for (unsigned char c : chars) {
        GLYPHMETRICS gm{};
        DWORD size = GetGlyphOutlineA(screen->getDC(), c, GGO_GRAY8_BITMAP, &gm, 0, nullptr, &mat);
        ASSERT_NE(GDI_ERROR, size) << int(c);
        ASSERT_GT(gm.gmBlackBoxX, 0u) << int(c);
        ASSERT_GT(gm.gmBlackBoxY, 0u) << int(c);
        DWORD pitch = (gm.gmBlackBoxX + 3) & ~3u;
        EXPECT_EQ(pitch * gm.gmBlackBoxY, size) << int(c);
        EXPECT_GT(gm.gmCellIncX, 0) << int(c);
        EXPECT_EQ(0, gm.gmCellIncY) << int(c);
        // The box lies within the cell: its top at most the ascent above the baseline.
        EXPECT_LE(gm.gmptGlyphOrigin.y, metrics(f)->getAscent()) << int(c);

        std::vector<unsigned char> bits(size + 8, 0xEE);
        GLYPHMETRICS again{};
        ASSERT_EQ(size, GetGlyphOutlineA(screen->getDC(), c, GGO_GRAY8_BITMAP, &again, size, bits.data(), &mat));
        EXPECT_EQ(gm.gmBlackBoxX, again.gmBlackBoxX);
        int inked = 0, full = 0;
        for (DWORD y = 0; y < gm.gmBlackBoxY; ++y)
            for (DWORD x = 0; x < pitch; ++x) {
                unsigned char v = bits[y * pitch + x];
                ASSERT_LE(v, 64) << int(c) << " at " << x << "," << y;
                if (x >= gm.gmBlackBoxX) {
                    EXPECT_EQ(0, v) << "padding of " << int(c);
                }
                inked += v > 0;
                full += v == 64;
            }
        EXPECT_GT(inked, 0) << int(c);
        EXPECT_GT(full, 0) << int(c);
        // Nothing past the size asked for is written.
        for (DWORD i = size; i < bits.size(); ++i)
            EXPECT_EQ(0xEE, bits[i]);
    }
}

TEST_F(GlyphTest, CellIncrementsAddUpToTheMeasuredWidth)
{
    MAT2 mat = identity();
    const char* text = "Lanternfield, 1 Quay St.";
    int sum = 0;
    for (const char* p = text; *p; ++p) {
        GLYPHMETRICS gm{};
        ASSERT_NE(GDI_ERROR, GetGlyphOutlineA(screen->getDC(), (unsigned char)*p, GGO_METRICS, &gm, 0, nullptr, &mat));
        sum += gm.gmCellIncX;
    }
    EXPECT_EQ(sum, metrics(f)->stringWidth(lang::String(text)));
}

} // namespace
