// The software pixel routines: fills, shadows, additive and normal blits with
// their modulation, each expectation worked out by hand, and the clipping of
// source and destination on every side.
#include "windowing/gdi/FancyHelper.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

#include <vector>

using window::FancyHelper;
using window::ImageWinDX;

namespace {

// An image of the given pixels.
ImageWinDX* imageOf(int w, int h, const std::vector<uint32_t>& pixels)
{
    ImageWinDX* image = new ImageWinDX(w, h, 0, false);
    std::copy(pixels.begin(), pixels.end(), image->getPixels());
    return image;
}

// Blits one source pixel onto one destination pixel.
uint32_t blendOne(FancyHelper& f, uint32_t src, uint32_t dst, bool destinationAlpha)
{
    ImageWinDX* image = imageOf(1, 1, {src});
    f.attach(image);
    uint32_t d = dst;
    f.blitBlend(&d, 4, 1, 1, 0, 0, nullptr, nullptr, destinationAlpha);
    image->release();
    return d;
}

uint32_t addOne(FancyHelper& f, uint32_t src, uint32_t dst, bool copyOntoEmpty)
{
    ImageWinDX* image = imageOf(1, 1, {src});
    f.attach(image);
    uint32_t d = dst;
    f.blitAdditive(&d, 4, 1, 1, 0, 0, nullptr, nullptr, copyOntoEmpty);
    image->release();
    return d;
}

} // namespace

TEST(FancyHelperTest, ModulationAndModulatedColours)
{
    FancyHelper f;
    EXPECT_EQ(f.getFormat(), 32);
    EXPECT_FALSE(f.setModulation(128, 128, 128, 128));
    EXPECT_TRUE(f.setModulation(128, 256, 64, 128));
    EXPECT_FALSE(f.setModulation(128, 256, 64, 128));
    // 200 * 256 >> 7 = 400 capped; 100 * 64 >> 7 = 50; 50 unchanged.
    EXPECT_EQ(f.modulateColor(200, 100, 50), 0xFFFF3232u);
    EXPECT_TRUE(f.isInstanceOf("FancyHelper"));
}

TEST(FancyHelperTest, AttachTakesTheImagesPixels)
{
    FancyHelper f;
    EXPECT_FALSE(f.attach(nullptr));
    ImageWinDX* bad = new ImageWinDX(-1, 4, 0, false);
    EXPECT_FALSE(f.attach(bad));
    bad->release();
    ImageWinDX* image = imageOf(2, 1, {1, 2});
    EXPECT_TRUE(f.attach(image));
    EXPECT_EQ(f.getSourcePixels(), image->getPixels());
    EXPECT_EQ(f.getSourceWidth(), 2);
    image->release();
}

TEST(FancyHelperTest, OpaqueFillsAreClippedToThePixels)
{
    FancyHelper f;
    std::vector<uint32_t> px(4 * 3, 0);
    util::RectangleNM r(-1, -1, 3, 2);
    f.fillRectOpaque(px.data(), 4, 3, 0xFF0000FFu, &r);
    std::vector<uint32_t> want(12, 0);
    want[0] = want[1] = 0xFF0000FFu;
    EXPECT_EQ(px, want);
    util::RectangleNM left(-5, 0, 3, 3), above(0, -9, 4, 4), right(3, 2, 10, 10);
    f.fillRectOpaque(px.data(), 4, 3, 7u, &left);
    f.fillRectOpaque(px.data(), 4, 3, 7u, &above);
    EXPECT_EQ(px, want);
    f.fillRectOpaque(px.data(), 4, 3, 7u, &right);
    EXPECT_EQ(px[11], 7u);
    EXPECT_EQ(px[7], 0u);
}

TEST(FancyHelperTest, BlendedFillsMixByTheirAlpha)
{
    FancyHelper f;
    util::RectangleNM one(0, 0, 1, 1);
    uint32_t d = 0x00649632u; // red 100, green 150, blue 50
    f.fillRectBlend(&d, 1, 1, 0x00C86400u, &one);
    EXPECT_EQ(d, 0x00649632u); // alpha 0: untouched, alpha byte too
    // Half: 100 + (100 * 128 >> 8) = 150; 150 + (-50 * 128 >> 8) = 125; 50 - 25 = 25.
    f.fillRectBlend(&d, 1, 1, 0x80C86400u, &one);
    EXPECT_EQ(d, 0xFF967D19u);
    // Full alpha is one step short going up, exact going down.
    d = 0x00FF0000u;
    f.fillRectBlend(&d, 1, 1, 0xFF00FFFFu, &one);
    EXPECT_EQ(d, 0xFF00FEFEu);
}

TEST(FancyHelperTest, ShadowsDarkenByTheSourceOpacity)
{
    FancyHelper f;
    ImageWinDX* image = imageOf(3, 1, {0xFF000000u, 0x01FFFFFFu, 0x02FFFFFFu});
    f.attach(image);
    std::vector<uint32_t> d(3, 0x00C8C8C8u);
    f.blitShadow(d.data(), 3, 1, 0, 0, nullptr, nullptr);
    EXPECT_EQ(d, std::vector<uint32_t>(3, 0x00C8C8C8u)); // the shadow is off
    f.setShadow(true, 0, 0);
    f.blitShadow(d.data(), 3, 1, 0, 0, nullptr, nullptr);
    // 255 x 128 >> 8 = 127: 200 - (200 * 127 >> 8) = 101. Alpha 1 casts
    // nothing (128 < 256); alpha 2 reaches 256, darkens by 0 but sets alpha.
    EXPECT_EQ(d[0], 0xFF656565u);
    EXPECT_EQ(d[1], 0x00C8C8C8u);
    EXPECT_EQ(d[2], 0xFFC8C8C8u);

    // Blits cast the shadow at the offset first.
    f.setShadow(true, 1, 0);
    std::vector<uint32_t> e(2, 0xFFC8C8C8u);
    ImageWinDX* dot = imageOf(1, 1, {0xFF000000u});
    f.attach(dot);
    f.blitBlend(e.data(), 8, 2, 1, 0, 0, nullptr, nullptr, false);
    EXPECT_EQ(e[0], 0xFF000000u);
    EXPECT_EQ(e[1], 0xFF656565u);
    image->release();
    dot->release();
}

TEST(FancyHelperTest, NormalBlendsWithNeutralFactors)
{
    FancyHelper f;
    EXPECT_EQ(blendOne(f, 0xFF102030u, 0xFF405060u, false), 0xFF102030u);
    EXPECT_EQ(blendOne(f, 0x00102030u, 0xFF405060u, false), 0xFF405060u);
    // 7-bit mix over all four bytes with sa >> 1 = 64:
    // red 100 + (100 * 64 >> 7) = 150, green 150 - 25, blue 50 - 25,
    // alpha 255 + (-127 * 64 >> 7) = 191.
    EXPECT_EQ(blendOne(f, 0x80C86400u, 0xFF649632u, false), 0xBF967D19u);
    // sa = 1 mixes by 0.
    EXPECT_EQ(blendOne(f, 0x01FFFFFFu, 0xFF000000u, false), 0xFF000000u);
}

TEST(FancyHelperTest, NormalBlendsWithModulation)
{
    FancyHelper f;
    // Colour factors: red x0.5, blue x2.
    f.setModulation(128, 64, 128, 256);
    EXPECT_EQ(blendOne(f, 0xFF804020u, 0xFF999999u, false), 0xFF404040u);
    // e = 128: 0 + (64 * 128 >> 8) = 32 in every channel.
    EXPECT_EQ(blendOne(f, 0x80804020u, 0xFF000000u, false), 0xFF202020u);
    // A factor past x2 is capped at 255.
    f.setModulation(128, 512, 128, 128);
    EXPECT_EQ(blendOne(f, 0xFFC80000u, 0xFF000000u, false), 0xFFFF0000u);
    // Neutral colour, alpha x0.5: e = 127, 128 * 127 >> 8 = 63, 31, 15.
    f.setModulation(64, 128, 128, 128);
    EXPECT_EQ(blendOne(f, 0xFF804020u, 0xFF000000u, false), 0xFF3F1F0Fu);
    // Alpha factor 0 draws nothing.
    f.setModulation(0, 128, 128, 128);
    EXPECT_EQ(blendOne(f, 0xFF804020u, 0xFF000000u, false), 0xFF000000u);
}

TEST(FancyHelperTest, BlendsOntoTransparentDestinations)
{
    FancyHelper f;
    // A transparent destination takes the source as it is.
    EXPECT_EQ(blendOne(f, 0x80112233u, 0x00FFFFFFu, true), 0x80112233u);
    // An opaque one is blended as without destination alpha.
    EXPECT_EQ(blendOne(f, 0x80C86400u, 0xFF649632u, true), 0xBF967D19u);
    // Half over half: alpha 128 + 128 * 127 / 255 = 191; red weighted
    // 255 * 32640 / (32640 + 16256) = 170, blue 255 * 16256 / 48896 = 84.
    EXPECT_EQ(blendOne(f, 0x80FF0000u, 0x800000FFu, true), 0xBFAA0054u);
}

TEST(FancyHelperTest, AdditiveBlits)
{
    FancyHelper f;
    EXPECT_EQ(addOne(f, 0xFF010203u, 0xFF102030u, false), 0xFF112233u);
    EXPECT_EQ(addOne(f, 0xFF404040u, 0xFFF0F0F0u, false), 0xFFFFFFFFu);
    // sa = 128: 255 * 128 >> 8 = 127, 64, 32.
    EXPECT_EQ(addOne(f, 0x80FF8040u, 0xFF000000u, false), 0xFF7F4020u);
    EXPECT_EQ(addOne(f, 0x00FF8040u, 0x12345678u, false), 0x12345678u);
    // A destination of alpha 0 takes the source unchanged when asked.
    EXPECT_EQ(addOne(f, 0x80FF8040u, 0x00101010u, true), 0x80FF8040u);
    EXPECT_EQ(addOne(f, 0x80FF8040u, 0x00101010u, false), 0xFF8F5030u);
    f.setModulation(128, 64, 128, 256);
    EXPECT_EQ(addOne(f, 0xFF404040u, 0xFF000000u, false), 0xFF204080u);
    // e = 128: ((128 * 128 >> 8) * 64 >> 7) = 32, 64, (64 * 256 >> 7) = 128.
    EXPECT_EQ(addOne(f, 0x80808080u, 0xFF000000u, false), 0xFF204080u);
    f.setModulation(64, 128, 128, 128);
    EXPECT_EQ(addOne(f, 0xFF808080u, 0xFF000000u, false), 0xFF3F3F3Fu);
}

TEST(FancyHelperTest, BlitsClipSourceAndDestinationOnEverySide)
{
    // A 4 x 4 opaque source with distinct pixels, blitted at many places,
    // with source rectangles reaching past each edge of the source and clip
    // rectangles past each edge of the destination. The expectation maps
    // every destination pixel back to the source independently.
    std::vector<uint32_t> src(16);
    for (int i = 0; i < 16; ++i)
        src[size_t(i)] = 0xFF000000u | uint32_t(i + 1);
    ImageWinDX* image = imageOf(4, 4, src);
    FancyHelper f;
    ASSERT_TRUE(f.attach(image));
    const util::RectangleNM sources[] = {{0, 0, 4, 4}, {1, 1, 2, 3}, {-2, -1, 4, 4}, {2, 3, 9, 9}, {-3, -3, 20, 20}};
    const util::RectangleNM clips[] = {{0, 0, 6, 5}, {-4, -4, 7, 6}, {2, 1, 100, 100}, {1, 1, 0, 3}};
    for (const auto& s : sources)
        for (const auto& c : clips)
            for (int x = -5; x <= 6; x += 1)
                for (int y = -5; y <= 5; y += 2) {
                    std::vector<uint32_t> dst(30, 0xFF000000u);
                    f.blitBlend(dst.data(), 24, 6, 5, x, y, &c, &s, false);
                    for (int dy = 0; dy < 5; ++dy)
                        for (int dx = 0; dx < 6; ++dx) {
                            int u = dx - x + s.x, v = dy - y + s.y;
                            bool inClip = dx >= c.x && dx < c.x + c.width && dy >= c.y && dy < c.y + c.height;
                            bool inSrc = u >= s.x && u < s.x + s.width && v >= s.y && v < s.y + s.height;
                            bool inImage = u >= 0 && u < 4 && v >= 0 && v < 4;
                            uint32_t want = inClip && inSrc && inImage ? src[size_t(v * 4 + u)] : 0xFF000000u;
                            ASSERT_EQ(dst[size_t(dy * 6 + dx)], want)
                                << "at " << dx << "," << dy << " blit " << x << "," << y << " src " << s.x << ","
                                << s.y << " clip " << c.x << "," << c.y;
                        }
                }
    // With no source rectangle the whole image is drawn.
    std::vector<uint32_t> dst(30, 0);
    f.blitAdditive(dst.data(), 24, 6, 5, 3, 2, nullptr, nullptr, true);
    EXPECT_EQ(dst[size_t(2 * 6 + 3)], src[0]);
    EXPECT_EQ(dst[size_t(4 * 6 + 5)], src[size_t(2 * 4 + 2)]);
    EXPECT_EQ(dst[0], 0u);
    image->release();
}
