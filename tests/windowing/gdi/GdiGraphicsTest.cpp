// The GDI side of the graphics, drawing into DIB sections: fills, ovals,
// lines, Bezier fills, text, clipping (an empty region clips everything),
// image blits through the scratch context, and the saved context state.
#include "GraphicsTestSupport.h"

#include "core/util/Region.h"
#include "platform/gdi/Gdi.h"
#include "windowing/fonts/Font.h"
#include "windowing/gdi/GraphicsIWin32.h"
#include "windowing/gdi/GraphicsWWin32.h"

#include <unistd.h>

using window::GraphicsIWin32;
using window::GraphicsWWin32;
using window::ImageWin32;

namespace {

const uint32_t kWhite = 0xFFFFFFu;
const char* const kGdiGraphicsPinnedFont = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

class GdiGraphicsTest : public gfxtest::GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        canvas = dibImage(12, 12, 0xFFFFFFFFu);
        g = new GraphicsWWin32(canvas->getDC());
    }
    void TearDown() override
    {
        if (g)
            g->release();
        if (canvas)
            canvas->release();
        platform::setFontFileOverride(nullptr);
    }
    // Whether every pixel outside the rectangle is still white.
    bool whiteOutside(int x0, int y0, int x1, int y1)
    {
        for (int y = 0; y < canvas->getHeight(); ++y)
            for (int x = 0; x < canvas->getWidth(); ++x)
                if ((x < x0 || x >= x1 || y < y0 || y >= y1) && rgb(canvas, x, y) != kWhite)
                    return false;
        return true;
    }

    ImageWin32* canvas = nullptr;
    GraphicsWWin32* g = nullptr;
};

TEST_F(GdiGraphicsTest, FillRectIsTranslatedAndClipped)
{
    g->setColor(0xFF0000FFu);
    g->translate(1, 0);
    g->fillRect(1, 2, 3, 3);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ((x >= 2 && x < 5 && y >= 2 && y < 5) ? 0x0000FFu : kWhite, rgb(canvas, x, y)) << x << "," << y;

    g->clipRect(6, 0, 2, 12); // device x 7..8
    g->setColor(0xFF00FF00u);
    g->fillRect(-1, 0, 12, 12);
    EXPECT_EQ(0x00FF00u, rgb(canvas, 7, 0));
    EXPECT_EQ(0x00FF00u, rgb(canvas, 8, 11));
    EXPECT_EQ(kWhite, rgb(canvas, 6, 0));
    EXPECT_EQ(kWhite, rgb(canvas, 9, 0));

    // fillRectAlpha fills opaquely in its own colour.
    g->fillRectAlpha(6, 5, 1, 1, 0x10FF0000u);
    EXPECT_EQ(0xFF0000u, rgb(canvas, 7, 5));
}

TEST_F(GdiGraphicsTest, AnEmptyRegionClipsEverythingAndNoRegionNothing)
{
    util::Region empty;
    g->setClip(&empty);
    g->setColor(0xFF000000u);
    g->fillRect(0, 0, 12, 12);
    EXPECT_TRUE(whiteOutside(0, 0, 0, 0));
    util::RectangleNM box;
    g->getClipBounds(&box);
    EXPECT_EQ(0, box.width * box.height);

    util::Region square;
    square.addRect(3, 3, 2, 2);
    g->setClip(&square);
    g->fillRect(0, 0, 12, 12);
    EXPECT_EQ(4, count(canvas, 0, 0xFFFFFFu));
    g->getClipBounds(&box);
    EXPECT_EQ(3, box.x);
    EXPECT_EQ(2, box.width);

    g->setClip(nullptr);
    g->fillRect(0, 0, 12, 12);
    EXPECT_EQ(144, count(canvas, 0, 0xFFFFFFu));
}

TEST_F(GdiGraphicsTest, DisposeRestoresTheContextAndStopsDrawing)
{
    g->clipRect(0, 0, 2, 2);
    util::Region* clip = g->getClipRegion();
    EXPECT_TRUE(clip->intersects(util::RectangleNM(1, 1, 1, 1)));
    EXPECT_FALSE(clip->intersects(util::RectangleNM(2, 2, 1, 1)));
    clip->release();

    HDC dc = canvas->getDC()->getDC();
    g->dispose();
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(0, GetClipRgn(dc, probe)); // the clip set through the graphics is gone
    DeleteObject(probe);
    EXPECT_EQ(nullptr, g->getContext());
    g->setColor(0xFF000000u);
    g->fillRect(0, 0, 12, 12);
    EXPECT_TRUE(whiteOutside(0, 0, 0, 0));
}

TEST_F(GdiGraphicsTest, OvalsLinesAndBezierFills)
{
    g->setColor(0xFFFF0000u);
    g->fillOval(0, 0, 10, 10);
    EXPECT_EQ(0xFF0000u, rgb(canvas, 5, 5));
    EXPECT_EQ(kWhite, rgb(canvas, 0, 0));
    EXPECT_EQ(kWhite, rgb(canvas, 9, 9));
    EXPECT_TRUE(whiteOutside(0, 0, 10, 10));

    fillImage(canvas, 0xFFFFFFFFu);
    g->setColor(0xFF0000FFu);
    g->drawLine(2, 10, 8, 10, 2); // a wide pen draws both ends
    EXPECT_EQ(0x0000FFu, rgb(canvas, 2, 10));
    EXPECT_EQ(0x0000FFu, rgb(canvas, 8, 10));
    EXPECT_TRUE(whiteOutside(1, 8, 10, 12));

    // The thin line goes through setPixel, which plots nothing on a device context.
    fillImage(canvas, 0xFFFFFFFFu);
    g->drawLine(0, 0, 11, 11, 1);
    EXPECT_TRUE(whiteOutside(0, 0, 0, 0));

    // A quadratic curve from (0, 0) over (10, 0) to (10, 10), closed and filled black.
    const int points[] = {0, 0, 10, 0, 10, 10};
    g->fillBezier(points, 3, 1);
    // Between the chord and the curve (at y = 2 the curve is near x = 7).
    EXPECT_EQ(0u, rgb(canvas, 5, 2));
    EXPECT_EQ(kWhite, rgb(canvas, 9, 2));
    EXPECT_EQ(kWhite, rgb(canvas, 2, 8));
    EXPECT_TRUE(whiteOutside(0, 0, 11, 11));
}

TEST_F(GdiGraphicsTest, TextIsDrawnOnItsBaselineInTheDrawingColour)
{
    if (access(kGdiGraphicsPinnedFont, R_OK) != 0)
        GTEST_SKIP() << "missing " << kGdiGraphicsPinnedFont;
    platform::setFontFileOverride(kGdiGraphicsPinnedFont);
    ImageWin32* page = dibImage(60, 20, 0xFFFFFFFFu);
    GraphicsWWin32* text = new GraphicsWWin32(page->getDC());
    window::Font* font = new window::Font("Arial", 0, 12, DEFAULT_CHARSET, 0, 0);
    text->setFont(font);
    EXPECT_TRUE(page->getDC()->isFontSelected());
    EXPECT_EQ(font, text->getFont());
    text->setColor(0xFF0000FFu);
    lang::String line("HHH");
    text->translate(2, 0);
    text->drawString(&line, 0, 14);
    // Capitals stand on the baseline: ink only above row 14, right of x 2, in blue.
    int inked = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            uint32_t p = rgb(page, x, y);
            if (p == kWhite)
                continue;
            ++inked;
            EXPECT_LT(y, 14) << x << "," << y;
            EXPECT_GE(x, 2) << x << "," << y;
            // Blue over white: red and green fall together, blue stays.
            EXPECT_EQ(0xFFu, p & 0xFFu) << x << "," << y;
            EXPECT_EQ(p >> 16, (p >> 8) & 0xFFu) << x << "," << y;
        }
    EXPECT_GT(inked, 20);

    // Truncated text stays inside its box, which is not translated.
    fillImage(page, 0xFFFFFFFFu);
    lang::String longText("Lanternfield harbour lights");
    util::RectangleNM box(5, 2, 40, 16);
    text->drawTruncated(&longText, &box);
    inked = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            if (rgb(page, x, y) != kWhite) {
                ++inked;
                EXPECT_TRUE(box.contains(x, y)) << x << "," << y;
            }
    EXPECT_GT(inked, 20);
    text->release();
    font->release();
    page->release();
}

TEST_F(GdiGraphicsTest, ImagesAreBlittedThroughTheScratchContext)
{
    ImageWin32* picture = dibImage(3, 2, 0xFF123456u);
    EXPECT_TRUE(g->drawImage(picture, 4, 5));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ((x >= 4 && x < 7 && y >= 5 && y < 7) ? 0x123456u : kWhite, rgb(canvas, x, y)) << x << "," << y;
    // The picture's DIB section was not left in the scratch context: its own context can take it.
    window::CDCWin32* own = picture->getDC();
    EXPECT_EQ(picture->getBitmap(), GetCurrentObject(own->getDC(), OBJ_BITMAP));
    // Drawn from its own context too.
    EXPECT_TRUE(g->drawImage(picture, 0, 0));
    EXPECT_EQ(0x123456u, rgb(canvas, 2, 1));
    picture->release();

    ImageWin32* failed = new ImageWin32(lang::String("missing.gif"));
    EXPECT_FALSE(g->drawImage(failed, 0, 0));
    failed->release();
}

// The image graphics on a DIB section: GDI where it can, software otherwise.
class DibImageGraphicsTest : public gfxtest::GraphicsTest {
protected:
    void TearDown() override
    {
        if (g)
            g->release();
        if (target)
            target->release();
    }
    void makeTarget(uint32_t fill)
    {
        target = dibImage(8, 8, fill);
        g = new GraphicsIWin32(target, nullptr);
    }
    ImageWin32* target = nullptr;
    GraphicsIWin32* g = nullptr;
};

TEST_F(DibImageGraphicsTest, OpaqueImagesAreCopiedAndAdditiveOnesAdded)
{
    makeTarget(0xFF101010u);
    ImageWin32* picture = dibImage(2, 2, 0xFF204080u);
    EXPECT_EQ(nullptr, g->getContext());
    EXPECT_TRUE(g->drawImage(picture, 1, 1));
    EXPECT_NE(nullptr, g->getContext()); // copied by GDI
    EXPECT_EQ(0x204080u, rgb(target, 1, 1));
    EXPECT_EQ(0x204080u, rgb(target, 2, 2));
    EXPECT_EQ(0x101010u, rgb(target, 3, 3));
    EXPECT_TRUE(target->isModified());

    g->setBlitMode(1);
    EXPECT_TRUE(g->drawImage(picture, 2, 2));
    // Added: 0x204080 + 0x204080 with blue capped, and 0x101010 + 0x204080.
    EXPECT_EQ(0xFF4080FFu, at(target, 2, 2));
    EXPECT_EQ(0xFF305090u, at(target, 3, 3));
    picture->release();
}

TEST_F(DibImageGraphicsTest, CopiesShareTheContextWithTheirOwnSavedState)
{
    makeTarget(0xFFFFFFFFu);
    g->clipRect(0, 0, 3, 3);
    g->prepareDC();
    window::Graphics* copy = g->create();
    EXPECT_EQ(g->getContext(), static_cast<GraphicsIWin32*>(copy)->getContext());
    copy->clipRect(0, 0, 1, 1);
    copy->dispose();
    copy->release();
    util::RectangleNM box;
    g->getClipBounds(&box);
    EXPECT_EQ(3, box.width);
    EXPECT_EQ(3, box.height);
    g->setColor(0xFF000000u);
    g->fillRectAlpha(0, 0, 8, 8, 0xFF000000u); // by GDI, under the GDI clip
    EXPECT_EQ(9, count(target, 0, 0xFFFFFFu));
}

} // namespace
