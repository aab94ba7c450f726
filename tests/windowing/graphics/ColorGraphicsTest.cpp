// Colours, device-context wrappers, and the drawing state of the graphics
// interface: its stack, alpha, corner colours, clipping, translation, the
// rectangle outline and Bezier points.
#include "platform/gdi/GdiObjects.h"
#include "windowing/gdi/CDCWin32.h"
#include "windowing/gdi/CMainDC.h"
#include "windowing/graphics/ColorWin32.h"
#include "windowing/fonts/Font.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using window::Graphics;

TEST(ColorTest, PacksChannelsAndConvertsToGdiOrder)
{
    ColorBase red(255, 0, 0, 255);
    EXPECT_EQ(red.getValue(), 0xFFFF0000u);
    EXPECT_EQ(red.toBGR(), 255u);
    ColorWin32 c(0x7F123456u);
    EXPECT_EQ(c.toBGR(), 0x00563412u);
    EXPECT_EQ(c.getAlpha(), 0x7F);
    EXPECT_EQ(c.getOpaqueRGB(), 0xFF123456u);
    // Channels keep their low 8 bits.
    EXPECT_EQ(ColorBase(0x1FF, 0x100, -1, 0x180).getValue(), 0x80FF00FFu);
    EXPECT_EQ(c.setRGBA(1, 2, 3, 4), 0x04010203u);
    EXPECT_EQ(ColorBase().getValue(), 0u);
}

TEST(ColorTest, TheEightConstantsAreOpaqueAndExact)
{
    const struct {
        const ColorBase& colour;
        uint32_t value;
    } constants[] = {
        {ColorBase::black, 0xFF000000u},  {ColorBase::white, 0xFFFFFFFFu}, {ColorBase::blue, 0xFF0000FFu},
        {ColorBase::red, 0xFFCC0000u},    {ColorBase::green, 0xFF00FF00u}, {ColorBase::orange, 0xFFFF6600u},
        {ColorBase::yellow, 0xFFFFFF00u}, {ColorBase::gray, 0xFF808080u},
    };
    for (const auto& c : constants)
        EXPECT_EQ(c.colour.getValue(), c.value) << std::hex << c.value;
    ColorWin32 copy(ColorBase::red);
    EXPECT_EQ(copy.toBGR(), 0x000000CCu);
}

TEST(ColorTest, EqualityIncludesAlphaAndNeedsAColour)
{
    ColorBase a(10, 20, 30, 255);
    ColorWin32 b(10, 20, 30, 255);
    ColorBase c(10, 20, 30, 254);
    EXPECT_TRUE(a.equals(&b));
    EXPECT_TRUE(b.equals(&a));
    EXPECT_FALSE(a.equals(&c));
    lang::Object other;
    EXPECT_FALSE(a.equals(&other));
    EXPECT_FALSE(a.equals(nullptr));
    EXPECT_TRUE(b.isInstanceOf("ColorBase"));
    EXPECT_TRUE(b.isInstanceOf("ColorWin32"));
    EXPECT_FALSE(a.isInstanceOf("ColorWin32"));
    EXPECT_STREQ(b.getClassName(), "ColorWin32");
}

TEST(DeviceContextTest, WrappersGiveTheirContextsBack)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    window::CDCWin32* wrapper = new window::CDCWin32(dc);
    wrapper->setFontSelected(true);
    EXPECT_TRUE(wrapper->isInstanceOf("CDCWin32"));
    wrapper->release();
    // The memory context is gone.
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 0);

    (new window::CDCWin32(nullptr))->release(); // nothing to give back

    window::CMainDC* screen = new window::CMainDC();
    EXPECT_NE(screen->getDC(), nullptr);
    EXPECT_TRUE(screen->isInstanceOf("CDCWin32"));
    EXPECT_STREQ(screen->getClassName(), "CMainDC");
    screen->release();
}

namespace {

// A graphics that records the calls of the base operations.
class RecordingGraphics : public Graphics {
public:
    bool acceptComposite = false;
    std::vector<std::string> calls;

    bool setCompositeMode(int mode) override
    {
        calls.push_back("composite " + std::to_string(mode));
        return acceptComposite && (mode == 0 || mode == 1);
    }
    bool drawImageCentered(window::ImageBase*, int cx, int cy, util::RectangleNM*, double, double, double,
                           int) override
    {
        calls.push_back("centered " + std::to_string(cx) + "," + std::to_string(cy));
        return true;
    }
    bool drawImage(window::ImageBase*, int, int) override { return true; }
    Graphics* create() override { return nullptr; }
    void dispose() override {}
    Graphics* beginRenderToImage(int*, int*) override { return nullptr; }
    void endRenderToImage(window::ImageBase*, int, int) override {}
    void fillOval(int, int, int, int) override {}
    void fillRect(int, int, int, int) override {}
    void fillRectAlpha(int, int, int, int, uint32_t) override {}
    void drawString(lang::String*, int, int) override {}
    void drawBytes(const unsigned char*, int, int, int, int) override {}
    void drawLine(int x1, int y1, int x2, int y2, int width) override
    {
        calls.push_back("line " + std::to_string(x1) + "," + std::to_string(y1) + " " + std::to_string(x2) + "," +
                        std::to_string(y2) + " w" + std::to_string(width));
    }
    void drawPath(window::Polygon*, int) override {}
    void drawPolygon(window::Polygon*) override {}
    void fillPolygon(window::Polygon*) override {}
    void drawTruncated(lang::String*, util::RectangleNM*) override {}
    void drawBezier(const int*, int, int, int, int) override {}
    void fillBezier(const int*, int, int) override {}
    void setPixel(int x, int y, uint32_t argb) override
    {
        calls.push_back("pixel " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(argb));
    }

    using Graphics::setPixel;
    using Graphics::popState;
    using Graphics::pushState;
};

} // namespace

TEST(GraphicsTest, SavedStatesComeBackInOrder)
{
    RecordingGraphics g;
    g.acceptComposite = true;
    g.pushState();
    g.translate(5, 6);
    g.scale(2.0, 3.0);
    g.setColor(0x11223344u);
    g.setImageColor(0x55667788u);
    g.setCornerColors(ColorBase(1u), ColorBase(2u), ColorBase(3u), ColorBase(4u));
    g.setAlpha(200);
    g.setClipRect(util::RectangleNM(1, 2, 3, 4));
    g.pushState();
    g.translate(100, 100);
    g.setColor(0u);
    g.setAlpha(7);

    g.popState();
    EXPECT_EQ(g.getTranslateX(), 5);
    EXPECT_EQ(g.getTranslateY(), 6);
    EXPECT_EQ(g.getScaleY(), 3.0);
    EXPECT_EQ(g.getColor().getValue(), 0x11223344u);
    EXPECT_EQ(g.getCornerColor(2).getValue(), 3u);
    EXPECT_EQ(g.getAlpha(), 200);
    EXPECT_EQ(g.getClipRect().width, 3);
    // The composite mode did not change, so it was not applied again.
    EXPECT_TRUE(std::find(g.calls.begin(), g.calls.end(), "composite 0") == g.calls.end());

    g.popState();
    EXPECT_EQ(g.getTranslateX(), 0);
    EXPECT_EQ(g.getColor().getValue(), 0xFF000000u);
    EXPECT_EQ(g.getImageColor().getValue(), 0x80808080u);
    EXPECT_FALSE(g.areCornerColorsOn());
    EXPECT_EQ(g.getStateStack(), nullptr);
    g.popState(); // nothing left: no effect
}

TEST(GraphicsTest, CompositeModeIsRestoredOnlyWhenAccepted)
{
    RecordingGraphics g;
    Graphics::GraphicsDataStorage* entry = g.saveState(nullptr);
    entry->compositeMode = 1;
    g.restoreState(entry);
    EXPECT_EQ(g.calls.back(), "composite 1");
    EXPECT_EQ(g.getCompositeMode(), 0); // refused
    g.acceptComposite = true;
    g.restoreState(entry);
    EXPECT_EQ(g.getCompositeMode(), 1);
    delete entry;
}

TEST(GraphicsTest, FontsAreHeldByReferenceAndNotPartOfTheState)
{
    window::Font* a = new window::Font("Arial", 0, 12, 1, 0, 0);
    window::Font* b = new window::Font("Arial", 1, 14, 1, 0, 0);
    {
        RecordingGraphics g;
        g.setFont(a);
        EXPECT_EQ(a->getRefCount(), 2);
        g.pushState();
        g.setFont(b);
        EXPECT_EQ(a->getRefCount(), 1);
        EXPECT_EQ(b->getRefCount(), 2);
        g.popState();
        EXPECT_EQ(g.getFont(), b); // restoring leaves the font alone
        g.setFont(nullptr);        // refused
        EXPECT_EQ(g.getFont(), b);
    }
    EXPECT_EQ(b->getRefCount(), 1);
    a->release();
    b->release();
}

TEST(GraphicsTest, CornerColoursAndAlpha)
{
    RecordingGraphics g;
    g.setImageColor(0x80112233u);
    EXPECT_EQ(g.getCornerColor(0).getValue(), 0x80112233u); // corners off
    g.setCornerColors(ColorBase(10u), ColorBase(11u), ColorBase(12u), ColorBase(13u));
    EXPECT_EQ(g.getCornerColor(3).getValue(), 13u);
    EXPECT_EQ(g.getCornerColor(4).getValue(), 0x80112233u);
    EXPECT_EQ(g.getCornerColor(-1).getValue(), 0x80112233u);

    g.setPixel(3, 4); // plots the drawing colour
    EXPECT_EQ(g.calls.back(), "pixel 3,4 " + std::to_string(0xFF000000u));

    ColorBase c(0x80445566u);
    g.applyAlpha(c);
    EXPECT_EQ(c.getValue(), 0x80445566u); // alpha 128 changes nothing
    g.setAlpha(255);
    g.applyAlpha(c);
    EXPECT_EQ(c.getValue(), 0xFF445566u); // min(255, 128 * 255 / 128)
    g.setAlpha(64);
    EXPECT_EQ(g.getImageColorWithAlpha().getValue(), 0x40112233u);
    g.setAlpha(999);
    EXPECT_EQ(g.getAlpha(), 255);
    g.setAlpha(-5);
    EXPECT_EQ(g.getAlpha(), 0);
}

TEST(GraphicsTest, ClipAndTranslationUseTruncatedScaledValues)
{
    RecordingGraphics g;
    g.setClipRect(util::RectangleNM(0, 0, 800, 600));
    g.translate(10, 20);
    EXPECT_FALSE(g.scale(0.5, 2.0));
    g.translate(-3, 3); // -1.5 truncates to -1, 6 stays 6
    EXPECT_EQ(g.getTranslateX(), 9);
    EXPECT_EQ(g.getTranslateY(), 26);
    g.clipRect(5, 5, 9, 9); // (2 + 9, 10 + 26, 4, 18)
    util::RectangleNM r;
    g.getClipBounds(&r);
    EXPECT_EQ(r.x, 11);
    EXPECT_EQ(r.y, 36);
    EXPECT_EQ(r.width, 4);
    EXPECT_EQ(r.height, 18);
    g.clipRect(1000, 1000, 5, 5);
    g.getClipBounds(&r);
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.x, 0);

    g.scale(2);
    EXPECT_EQ(g.getScaleX(), 1.0);
    EXPECT_EQ(g.getScaleY(), 4.0);
}

TEST(GraphicsTest, RectangleOutlineAndCentredImages)
{
    RecordingGraphics g;
    g.drawRect(10, 20, 1, 5);
    ASSERT_EQ(g.calls.size(), 4u);
    EXPECT_EQ(g.calls[0], "line 10,20 10,20 w2");
    EXPECT_EQ(g.calls[1], "line 10,20 10,24 w2");
    EXPECT_EQ(g.calls[2], "line 10,24 10,24 w2");
    EXPECT_EQ(g.calls[3], "line 10,24 10,20 w2");

    util::RectangleNM src(0, 0, 7, 9);
    g.drawImageAt(nullptr, 100, 200, &src, 1, 1, 0, 0);
    EXPECT_EQ(g.calls.back(), "centered 103,204");
    window::ImageWinDX* image = new window::ImageWinDX(5, 3, 1, false);
    g.drawImageAt(image, 0, 0, nullptr, 1, 1, 0, 0);
    EXPECT_EQ(g.calls.back(), "centered 2,1");
    image->release();
}

TEST(GraphicsTest, BezierPointsFollowTheBernsteinWeights)
{
    const int line[] = {0, 0, 100, 40};
    util::Point p = Graphics::bezierPoint(line, 1, 0.5, 1);
    EXPECT_EQ(p.x, 50);
    EXPECT_EQ(p.y, 20);
    // (1-t)^2 p0 + 2t(1-t) p1 + t^2 p2 at t = 1/4, scaled by 2.
    const int quad[] = {0, 0, 100, 200, 200, 0};
    p = Graphics::bezierPoint(quad, 2, 0.25, 2);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 150);
    const int cubic[] = {0, 0, 0, 100, 100, 100, 100, 0};
    p = Graphics::bezierPoint(cubic, 3, 0.5, 1);
    EXPECT_EQ(p.x, 50);
    EXPECT_EQ(p.y, 75);
    p = Graphics::bezierPoint(cubic, 3, 0.0, 3);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    // Truncation toward zero: -33.33 becomes -33.
    const int negative[] = {0, 0, -100, -100};
    p = Graphics::bezierPoint(negative, 1, 1.0 / 3.0, 1);
    EXPECT_EQ(p.x, -33);
}
