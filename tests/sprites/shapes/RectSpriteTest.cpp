// The one-colour box: its colour tinted by the colour balance, its set-up
// from a definition, its copy, and the box filled on the window graphics.
#include "tests/sprites/support/DefinitionLists.h"
#include "tests/sprites/support/RecordingGraphics.h"
#include "tests/windowing/d3d/D3DTestSupport.h"

#include "core/lang/Class.h"
#include "sprites/shapes/RectSprite.h"

#include <gtest/gtest.h>

using sprite::RectSprite;
using spritetest::RecordingGraphics;
using spritetest::numberList;

namespace {

// The one fill a draw of the sprite makes.
RecordingGraphics::Call fillOf(RectSprite* s)
{
    RecordingGraphics* g = new RecordingGraphics();
    s->draw(g);
    std::vector<RecordingGraphics::Call> fills = g->ofOp("fillRectAlpha");
    g->release();
    EXPECT_EQ(1u, fills.size());
    return fills.empty() ? RecordingGraphics::Call() : fills[0];
}

TEST(RectSpriteTest, TheBoxIsFilledInTheColourTintedByTheBalance)
{
    RectSprite* s = new RectSprite(30, 20, 0x80FF0000u, false);
    s->setPosition(5, 7);
    RecordingGraphics::Call fill = fillOf(s);
    EXPECT_EQ(5, fill.x);
    EXPECT_EQ(7, fill.y);
    EXPECT_EQ(30, fill.w);
    EXPECT_EQ(20, fill.h);
    EXPECT_EQ(0x80FF0000u, fill.argb) << "the neutral balance leaves the colour as it is";

    // Alpha 0x80 x 255 / 128 = 255; red 255 x 200 / 128 is held at 255.
    s->setColorBalance(255, 200, 128, 128);
    EXPECT_EQ(0xFFFF0000u, fillOf(s).argb);
    // Each channel c x b / 128, truncated: 0x64 x 64 / 128 = 0x32,
    // 0x33 x 100 / 128 = 0x27, 0x11 x 0 = 0, 0xC8 x 96 / 128 = 0x96.
    s->setColor(0xC8643311u);
    s->setColorBalance(96, 64, 100, 0);
    EXPECT_EQ(0x96322700u, fillOf(s).argb);
    s->release();
}

TEST(RectSpriteTest, ADefinitionGivesBoxColourVisibilityAndFilledFlag)
{
    lang::Object* made = lang::Class::forName(lang::String("RectSprite"))->newInstance();
    ASSERT_TRUE(made->isInstanceOf("RectSprite"));
    RectSprite* s = static_cast<RectSprite*>(made);
    EXPECT_EQ(0, s->width());
    EXPECT_EQ(0u, s->getFillColor());

    lang::IntArray* five = numberList({10, 20, 30, 40, int(0x80000000u)});
    EXPECT_TRUE(s->configure(nullptr, five));
    EXPECT_EQ(10, s->left());
    EXPECT_EQ(20, s->top());
    EXPECT_EQ(30, s->width());
    EXPECT_EQ(40, s->height());
    EXPECT_EQ(0x80000000u, s->getFillColor());
    EXPECT_TRUE(s->isVisible());
    EXPECT_FALSE(s->isFilled());

    lang::IntArray* seven = numberList({0, 0, 800, 600, 0x40102030, 0, 1});
    EXPECT_TRUE(s->configure(nullptr, seven));
    EXPECT_FALSE(s->isVisible());
    EXPECT_TRUE(s->isFilled());

    // A copy has the box, colour and flag.
    sprite::SpriteBase* copy = s->clone();
    EXPECT_EQ(800, copy->width());
    EXPECT_EQ(0x40102030u, static_cast<RectSprite*>(copy)->getFillColor());
    EXPECT_TRUE(static_cast<RectSprite*>(copy)->isFilled());
    copy->release();

    // A short definition reads its missing numbers as 0.
    lang::IntArray* two = numberList({3, 4});
    EXPECT_TRUE(s->configure(nullptr, two));
    EXPECT_EQ(0, s->width());
    EXPECT_EQ(0u, s->getFillColor());
    two->release();
    seven->release();
    five->release();
    s->release();
}

// On the window graphics' software device.
class RectSpriteDrawTest : public d3dtest::D3DTest {};

TEST_F(RectSpriteDrawTest, AHalfTransparentBoxIsBlendedOverWhatIsBehind)
{
    openFrame();
    RectSprite* s = new RectSprite(30, 20, 0x80FF0000u, false);
    s->setPosition(100, 50);
    paint([&](window::GraphicsWWinDX* g) {
        background(g, 0xFF0000FFu);
        s->draw(g);
    });
    auto pixels = backBuffer();
    const uint32_t blended = d3dtest::over(0x80FF0000u, 0xFF0000FFu);
    for (int y = 48; y < 72; ++y)
        for (int x = 98; x < 132; ++x) {
            bool inside = x >= 100 && x < 130 && y >= 50 && y < 70;
            ASSERT_TRUE(d3dtest::sameColour(at(pixels, x, y) | 0xFF000000u, inside ? blended | 0xFF000000u : 0xFF0000FFu))
                << x << "," << y << ": " << d3dtest::hex(at(pixels, x, y));
        }
    s->release();
}

} // namespace
