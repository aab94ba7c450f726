// The image graphics' software drawing: pixels, fills under the clip, lines
// one point short of the end, blended, additive and shadow blits, clipping by
// the context's region, and centred images placed with one translation.
#include "GraphicsTestSupport.h"

#include "core/util/Region.h"
#include "windowing/gdi/FancyHelper.h"
#include "windowing/d3d/GraphicsIWinDX.h"

#include <set>
#include <utility>

using window::GraphicsIWinDX;
using window::ImageWinDX;

namespace {

class ImageGraphicsTest : public gfxtest::GraphicsTest {
protected:
    void TearDown() override
    {
        if (g)
            g->release();
        if (target)
            target->release();
    }
    void makeTarget(int w, int h, uint32_t fill, bool alpha = false)
    {
        target = bufferImage(w, h, fill, alpha);
        g = new GraphicsIWinDX(target, nullptr);
    }

    ImageWinDX* target = nullptr;
    GraphicsIWinDX* g = nullptr;
};

TEST_F(ImageGraphicsTest, SetPixelBlendsByAlphaAndStoresOpaqueColours)
{
    makeTarget(4, 4, 0xFF102030);
    g->translate(1, 1);

    // Alpha 0x80: each channel (s * 128 + d * 128) >> 8, alpha 255.
    g->setPixel(0, 0, 0x80FF0000u);
    EXPECT_EQ(0xFF871018u, at(target, 1, 1));
    EXPECT_TRUE(target->isModified());

    // Alpha 255 stores the value as it is.
    g->setPixel(1, 0, 0xFFABCDEFu);
    EXPECT_EQ(0xFFABCDEFu, at(target, 2, 1));

    // Alpha 0 keeps the colour but makes it opaque.
    target->getPixels()[3] = 0x00405060u;
    g->setPixel(2, -1, 0x00FFFFFFu);
    EXPECT_EQ(0xFF405060u, at(target, 3, 0));

    // The drawing colour, with alpha forced to 255.
    g->setColor(0x00112233u);
    g->setPixel(-1, 2);
    EXPECT_EQ(0xFF112233u, at(target, 0, 3));

    EXPECT_EQ(0xFF112233u, g->getPixel(-1, 2));
    EXPECT_EQ(0u, g->getPixel(3, 0)); // (4, 1): outside
    EXPECT_EQ(0u, g->getPixel(-2, 0));
}

TEST_F(ImageGraphicsTest, SetPixelOutsideTheTargetChangesNothing)
{
    makeTarget(3, 3, 0xFF000000);
    g->setColor(0xFFFFFFFFu);
    for (auto p : {std::make_pair(-1, 0), std::make_pair(0, -1), std::make_pair(3, 0), std::make_pair(0, 3)}) {
        g->setPixel(p.first, p.second);
        g->setPixel(p.first, p.second, 0xFFFFFFFFu);
    }
    EXPECT_EQ(9, count(target, 0xFF000000u));
    EXPECT_FALSE(target->isModified());
}

TEST_F(ImageGraphicsTest, FillRectFillsOnlyWhatTheClipLeaves)
{
    makeTarget(10, 10, 0);
    g->setColor(0xFF00FF00u);
    g->translate(1, 0);
    g->clipRect(1, 2, 5, 5); // target pixels x 2..6, y 2..6
    g->fillRect(-1, 0, 4, 10); // target pixels x 0..3
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 2 && x < 4 && y >= 2 && y < 7;
            ASSERT_EQ(inside ? 0xFF00FF00u : 0u, at(target, x, y)) << x << "," << y;
        }
    EXPECT_TRUE(target->isModified());

    // A fill wholly outside the clip draws nothing.
    target->setModified(false);
    g->fillRect(7, 0, 3, 3);
    EXPECT_EQ(10, count(target, 0xFF00FF00u));
    EXPECT_FALSE(target->isModified());
}

TEST_F(ImageGraphicsTest, ThinLinesPlotEveryPointButTheLast)
{
    makeTarget(8, 8, 0);
    g->setColor(0xFFFFFFFFu);
    g->translate(1, 1);
    g->drawLine(0, 0, 4, 0, 1);  // target (1..4, 1)
    g->drawLine(0, 2, 3, 5, 0);  // target (1,3) (2,4) (3,5)
    g->drawLine(6, 6, 6, 6, 1);  // no points at all
    std::set<std::pair<int, int>> expected = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 3}, {2, 4}, {3, 5}};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(expected.count({x, y}) ? 0xFFFFFFFFu : 0u, at(target, x, y)) << x << "," << y;
}

TEST_F(ImageGraphicsTest, GdiDrawingLeavesABufferImageAlone)
{
    makeTarget(8, 8, 0xFF000000u);
    g->setColor(0xFFFFFFFFu);
    g->drawLine(0, 0, 7, 7, 3);
    g->fillOval(0, 0, 8, 8);
    g->fillRectAlpha(0, 0, 8, 8, 0xFFFFFFFFu);
    lang::String text("Hi");
    g->drawString(&text, 0, 7);
    EXPECT_EQ(64, count(target, 0xFF000000u));
}

TEST_F(ImageGraphicsTest, AdditiveModeAddsImagesAndReportsThePreviousMode)
{
    makeTarget(4, 2, 0xFF101010u);
    ImageWinDX* source = bufferImage(2, 2, 0xFF204080u);
    source->getPixels()[1] = 0xFFF0F0F0u;
    EXPECT_EQ(0, g->setBlitMode(1));
    g->translate(1, 0);
    EXPECT_TRUE(g->drawImage(source, 0, 0));
    EXPECT_EQ(0xFF101010u, at(target, 0, 0));
    EXPECT_EQ(0xFF305090u, at(target, 1, 0));
    EXPECT_EQ(0xFFFFFFFFu, at(target, 2, 0)); // capped at 255
    EXPECT_EQ(0xFF305090u, at(target, 1, 1));
    EXPECT_EQ(0xFF101010u, at(target, 3, 1));
    EXPECT_TRUE(target->isModified());
    EXPECT_EQ(1, g->setBlitMode(0));

    // Back in normal mode the opaque source replaces the pixels.
    EXPECT_TRUE(g->drawImage(source, 0, 0));
    EXPECT_EQ(0xFF204080u, at(target, 1, 0));
    source->release();
}

TEST_F(ImageGraphicsTest, BlendingFollowsTheTargetsAlpha)
{
    // A half-transparent red over a transparent pixel and an opaque blue one.
    ImageWinDX* source = bufferImage(2, 1, 0x80FF0000u, true);

    // Without alpha in the target: d + ((s - d) * (0x80 >> 1) >> 7) per channel.
    makeTarget(2, 1, 0, false);
    target->getPixels()[1] = 0xFF0000FFu;
    EXPECT_TRUE(g->drawImage(source, 0, 0));
    EXPECT_EQ(0x7F0000u, rgb(target, 0, 0));
    EXPECT_EQ(0x7F007Fu, rgb(target, 1, 0));
    g->release();
    target->release();

    // With alpha: the transparent pixel takes the source as it is; the
    // opaque one blends as before.
    makeTarget(2, 1, 0, true);
    target->getPixels()[1] = 0xFF0000FFu;
    EXPECT_TRUE(g->drawImage(source, 0, 0));
    EXPECT_EQ(0x80FF0000u, at(target, 0, 0));
    EXPECT_EQ(0x7F007Fu, rgb(target, 1, 0));
    source->release();
}

TEST_F(ImageGraphicsTest, TheImageColourModulatesBlits)
{
    makeTarget(1, 1, 0xFF000000u);
    ImageWinDX* source = bufferImage(1, 1, 0xFF404040u);
    // Factors: alpha 0x80 (x1), red 0xFF, green 0x80, blue 0x40; each channel s * f >> 7.
    g->setImageColor(0x80FF8040u);
    EXPECT_TRUE(g->drawImage(source, 0, 0));
    EXPECT_EQ(0xFF7F4020u, at(target, 0, 0));
    source->release();
}

TEST_F(ImageGraphicsTest, ImagesWithoutPixelsAreNotDrawn)
{
    makeTarget(2, 2, 0xFF000000u);
    ImageWinDX* empty = new ImageWinDX(lang::String("no-such-picture.png"));
    EXPECT_FALSE(g->drawImage(empty, 0, 0));
    EXPECT_FALSE(g->drawImage(nullptr, 0, 0));
    EXPECT_FALSE(g->drawImageCentered(empty, 1, 1, nullptr, 1.0, 1.0, 0.0, 0));
    EXPECT_EQ(4, count(target, 0xFF000000u));
    EXPECT_FALSE(target->isModified());
    empty->release();
}

TEST_F(ImageGraphicsTest, BlitsAndBlendedFillsFollowTheContextsClipRegion)
{
    makeTarget(6, 2, 0xFF000000u);
    ImageWinDX* source = bufferImage(6, 2, 0xFFFFFFFFu);
    // A hole in the middle of the clip: two rectangles remain.
    g->excludeClipRect(2, 0, 2, 2);
    EXPECT_TRUE(g->drawImage(source, 0, 0));
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ((x == 2 || x == 3) ? 0xFF000000u : 0xFFFFFFFFu, at(target, x, 1)) << x;

    fillImage(target, 0xFF0000FFu);
    g->fillRectBlended(0, 0, 6, 1, 0x80FF0000u);
    // (s * 128 + d * 128) >> 8 per channel, opaque.
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ((x == 2 || x == 3) ? 0xFF0000FFu : 0xFF7F007Fu, at(target, x, 0)) << x;
        EXPECT_EQ(0xFF0000FFu, at(target, x, 1)) << x;
    }
    source->release();
}

TEST_F(ImageGraphicsTest, AnEmptyClipRegionClipsEverythingAway)
{
    makeTarget(3, 3, 0xFF000000u);
    ImageWinDX* source = bufferImage(3, 3, 0xFFFFFFFFu);
    util::Region empty;
    g->setClip(&empty);
    EXPECT_TRUE(g->drawImage(source, 0, 0));
    g->fillRectBlended(0, 0, 3, 3, 0xFFFFFFFFu);
    EXPECT_EQ(9, count(target, 0xFF000000u));
    util::RectangleNM bounds(1, 1, 1, 1);
    g->getClipBounds(&bounds);
    EXPECT_EQ(0, bounds.width * bounds.height);

    // A region with area clips to it; no region at all removes the clip.
    util::Region corner;
    corner.addRect(0, 0, 1, 1);
    g->setClip(&corner);
    EXPECT_TRUE(g->drawImage(source, 0, 0));
    EXPECT_EQ(1, count(target, 0xFFFFFFFFu));
    g->setClip(nullptr);
    EXPECT_TRUE(g->drawImage(source, 0, 0));
    EXPECT_EQ(9, count(target, 0xFFFFFFFFu));
    source->release();
}

TEST_F(ImageGraphicsTest, ClipBoundsAreTheClipWithinTheImage)
{
    makeTarget(20, 10, 0);
    util::RectangleNM bounds;
    g->getClipBounds(&bounds);
    EXPECT_EQ(0, bounds.x);
    EXPECT_EQ(0, bounds.y);
    EXPECT_EQ(20, bounds.width);
    EXPECT_EQ(10, bounds.height);
    g->translate(2, 3);
    g->clipRect(1, 1, 30, 4);
    g->getClipBounds(&bounds);
    EXPECT_EQ(3, bounds.x);
    EXPECT_EQ(4, bounds.y);
    EXPECT_EQ(17, bounds.width);
    EXPECT_EQ(4, bounds.height);
    util::Region* region = g->getClipRegion();
    EXPECT_TRUE(region->intersects(util::RectangleNM(3, 4, 1, 1)));
    EXPECT_FALSE(region->intersects(util::RectangleNM(2, 4, 1, 1)));
    region->release();
}

TEST_F(ImageGraphicsTest, CentredImagesAreTranslatedOnce)
{
    makeTarget(12, 12, 0);
    // Each source pixel tells its own position: 0xFF0000yx.
    ImageWinDX* source = bufferImage(4, 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source->getPixels()[y * 4 + x] = 0xFF000000u | uint32_t(y << 4 | x) | 0x800000u;
    g->translate(3, 2);

    // The whole image centred on (5, 5) covers x 3..6, y 3..6 before the translation.
    EXPECT_TRUE(g->drawImageCentered(source, 5, 5, nullptr, 1.0, 1.0, 0.0, 0));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            bool inside = x >= 6 && x < 10 && y >= 5 && y < 9;
            uint32_t expected = inside ? (0xFF800000u | uint32_t((y - 5) << 4 | (x - 6))) : 0u;
            ASSERT_EQ(expected, at(target, x, y)) << x << "," << y;
        }

    // A part of the image: its corner lands on the corner of the area, which
    // stays the clip afterwards.
    fillImage(target, 0);
    util::RectangleNM part(1, 2, 2, 2);
    EXPECT_TRUE(g->drawImageCentered(source, 1, 1, &part, 2.0, 2.0, 45.0, 1));
    EXPECT_EQ(0xFF800021u, at(target, 3, 2));
    EXPECT_EQ(0xFF800022u, at(target, 4, 2));
    EXPECT_EQ(0xFF800032u, at(target, 4, 3));
    EXPECT_EQ(4, 144 - count(target, 0));
    g->setColor(0xFFFFFFFFu);
    g->fillRect(-10, -10, 40, 40);
    EXPECT_EQ(4, count(target, 0xFFFFFFFFu));
    EXPECT_EQ(0xFFFFFFFFu, at(target, 3, 2));
    source->release();
}

TEST_F(ImageGraphicsTest, CopiesShareTheTargetTranslationAndClip)
{
    makeTarget(6, 6, 0);
    g->translate(1, 1);
    g->clipRect(0, 0, 2, 2);
    window::FancyHelper* helper = g->getFancyHelper();
    window::Graphics* copy = g->create();
    EXPECT_TRUE(copy->isInstanceOf("GraphicsIWinDX"));
    EXPECT_EQ(helper, copy->getFancyHelper());
    copy->setColor(0xFFFFFFFFu);
    copy->fillRect(0, 0, 6, 6);
    EXPECT_EQ(4, count(target, 0xFFFFFFFFu));
    EXPECT_EQ(0xFFFFFFFFu, at(target, 1, 1));
    EXPECT_EQ(0xFFFFFFFFu, at(target, 2, 2));
    copy->dispose();
    copy->release();
}

} // namespace
