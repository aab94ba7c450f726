// The system-font text: its box from the font's measures, the picture it
// renders from glyph bitmaps (coverage as alpha on the text colour, glyphs
// placed on the font's baseline), how it is drawn, and where it lands.
#include "tests/sprites/images/TestPictures.h"
#include "tests/sprites/support/DefinitionLists.h"
#include "tests/sprites/support/RecordingGraphics.h"

#include "core/lang/Class.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/headless/HeadlessBackend.h"
#include "sprites/text/TextSprite.h"
#include "windowing/gdi/CMainDC.h"
#include "windowing/fonts/Font.h"
#include "windowing/fonts/FontMetrics.h"
#include "windowing/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

using sprite::TextSprite;

namespace {

const char* const kFontFile = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
const uint32_t kInk = 0xFF336699u;

// One glyph's bitmap as the font gives it: levels 0..64, rows padded to 4.
struct GlyphBits {
    GLYPHMETRICS gm{};
    std::vector<unsigned char> bits;
    int pitch = 0;
    int at(int col, int row) const { return bits[size_t(row * pitch + col)]; }
};

GlyphBits glyphBits(window::Font* font, unsigned char c)
{
    GlyphBits g;
    window::CMainDC* screen = new window::CMainDC();
    HDC dc = screen->getDC();
    SelectObject(dc, font->getHandle());
    MAT2 identity{};
    identity.eM11.value = 1;
    identity.eM22.value = 1;
    DWORD size = GetGlyphOutlineA(dc, c, GGO_GRAY8_BITMAP, &g.gm, 0, nullptr, &identity);
    if (size != GDI_ERROR && size > 0) {
        g.bits.resize(size);
        GetGlyphOutlineA(dc, c, GGO_GRAY8_BITMAP, &g.gm, size, g.bits.data(), &identity);
    }
    g.pitch = int((g.gm.gmBlackBoxX + 3) & ~3u);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    screen->release();
    return g;
}

// Records the colours in force at each string and picture drawn.
class TextRecorder : public spritetest::RecordingGraphics {
public:
    struct Drawn {
        std::string op, text;
        int x, y;
        uint32_t colour, imageColour;
    };
    std::vector<Drawn> drawn;

    bool drawImage(window::ImageBase* image, int x, int y) override
    {
        drawn.push_back({"image", "", x, y, m_color.getValue(), m_imageColor.getValue()});
        return spritetest::RecordingGraphics::drawImage(image, x, y);
    }
    void drawString(lang::String* text, int x, int y) override
    {
        drawn.push_back({"string", text->c_str(), x, y, m_color.getValue(), m_imageColor.getValue()});
    }
    void fillRect(int x, int y, int w, int h) override
    {
        drawn.push_back({"fill", std::to_string(w) + "x" + std::to_string(h), x, y, m_color.getValue(), 0});
    }
};

class TextSpriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (access(kFontFile, R_OK) != 0)
            GTEST_SKIP() << "missing " << kFontFile;
        platform::useHeadlessBackend();
        platform::setFontFileOverride(kFontFile);
        font = new window::Font("Arial", 0, 20, DEFAULT_CHARSET, 0, 0);
        metrics = font->getFontMetrics();
    }
    void TearDown() override
    {
        for (lang::Object* o : owned)
            o->release();
        if (metrics)
            metrics->release();
        if (font)
            font->release();
        platform::setFontFileOverride(nullptr);
    }

    TextSprite* make(const char* text, bool outlined = false, bool boxed = false)
    {
        ColorWin32 ink(kInk), shadow(0xFF102030u);
        TextSprite* s = new TextSprite(font, &ink, &shadow, outlined, boxed);
        owned.push_back(s);
        s->setText(lang::String(text));
        return s;
    }

    int stringWidth(const char* text) { return metrics->stringWidth(lang::String(text)); }

    window::Font* font = nullptr;
    window::FontMetrics* metrics = nullptr;
    std::vector<lang::Object*> owned;
};

TEST_F(TextSpriteTest, TheBoxIsTheTextsExtentWithAMargin)
{
    TextSprite* s = make("");
    EXPECT_EQ(0, s->width());
    EXPECT_EQ(0, s->height());
    EXPECT_FALSE(s->isShowing());
    s->setCursorWidth(6);
    s->setCursorShown(true);
    EXPECT_EQ(6 + 4, s->width()) << "an empty text with the cursor";
    EXPECT_EQ(metrics->getHeight() + 2, s->height());
    EXPECT_EQ(nullptr, s->getImage());

    s->setCursorShown(false);
    s->setText(lang::String("Hello"));
    ASSERT_GT(stringWidth("Hello"), 0);
    EXPECT_EQ(stringWidth("Hello") + 4, s->width());
    EXPECT_EQ(metrics->getHeight() + 2, s->height());
    ASSERT_NE(nullptr, s->getImage());
    EXPECT_EQ(s->width(), s->getImage()->getWidth()) << "rendered at the box's size";
    EXPECT_EQ(s->height(), s->getImage()->getHeight());
    EXPECT_TRUE(s->getImage()->hasAlpha());

    // Without a font there is nothing to measure or show.
    s->setFont(nullptr);
    EXPECT_EQ(0, s->width());
    EXPECT_FALSE(s->isShowing());
    EXPECT_EQ(nullptr, s->getImage());
}

TEST_F(TextSpriteTest, GlyphCoverageBecomesAlphaOnTheTextColourAtTheBaseline)
{
    // A wide glyph, and one narrower than its 4-byte rows.
    for (const char* text : {"H", "l"}) {
        TextSprite* s = make(text);
        window::ImageBase* image = s->getImage();
        ASSERT_NE(nullptr, image);
        GlyphBits h = glyphBits(font, static_cast<unsigned char>(text[0]));
        ASSERT_GT(h.gm.gmBlackBoxX, 0u);
        if (text[0] == 'l') {
            ASSERT_LT(h.gm.gmBlackBoxX, 4u);
        }
        const int left = 2 + int(h.gm.gmptGlyphOrigin.x);
        const int top = metrics->getAscent() - int(h.gm.gmptGlyphOrigin.y);
        int inked = 0;
        for (int y = 0; y < image->getHeight(); ++y)
            for (int x = 0; x < image->getWidth(); ++x) {
                int col = x - left, row = y - top;
                int level = col >= 0 && row >= 0 && col < int(h.gm.gmBlackBoxX) && row < int(h.gm.gmBlackBoxY)
                                ? h.at(col, row)
                                : 0;
                uint32_t alpha = level == 0 ? 0u : uint32_t(4 * level - 1);
                ASSERT_EQ(alpha << 24 | (kInk & 0xFFFFFFu), spritetest::pixelAt(image, x, y)) << text << " " << x << "," << y;
                inked += level == 64;
            }
        EXPECT_GT(inked, 10) << text << ": the stems are fully covered";
    }
    TextSprite* s = make("H");
    window::ImageBase* image = s->getImage();

    // A space only moves the pen: " H" is "H" moved by the space's advance.
    TextSprite* spaced = make(" H");
    GlyphBits space = glyphBits(font, ' ');
    const int advance = space.gm.gmCellIncX;
    ASSERT_GT(advance, 0);
    window::ImageBase* moved = spaced->getImage();
    for (int y = 0; y < image->getHeight(); ++y)
        for (int x = 0; x < image->getWidth(); ++x)
            ASSERT_EQ(spritetest::pixelAt(image, x, y), spritetest::pixelAt(moved, x + advance, y)) << x << "," << y;

    // A new colour renders the text again.
    ColorWin32 red(0xFFFF0000u);
    s->setColors(&red, nullptr);
    EXPECT_EQ(0xFF0000u, spritetest::pixelAt(s->getImage(), 0, 0) & 0xFFFFFFu);
}

TEST_F(TextSpriteTest, AtDoubleScaleThePictureIsHalfAndTheGlyphsAreCutAtItsEdge)
{
    TextSprite* s = make("");
    s->setScale(2.0);
    s->setText(lang::String("WWWW"));
    ASSERT_NE(nullptr, s->getImage());
    EXPECT_EQ(s->width() / 2, s->getImage()->getWidth());
    EXPECT_EQ(s->height() / 2, s->getImage()->getHeight());
    // The first W is whole: its leftmost ink column reaches the picture's
    // edge region only as the glyphs do at scale 1; the last column is inked
    // by a W cut there.
    bool inkAtRightEdge = false;
    window::ImageBase* image = s->getImage();
    for (int y = 0; y < image->getHeight(); ++y)
        inkAtRightEdge |= (spritetest::pixelAt(image, image->getWidth() - 1, y) >> 24) != 0;
    EXPECT_TRUE(inkAtRightEdge);

    // Drawn, the half-size picture is centred on the position; the scale of
    // the graphics brings it back to the box.
    TextRecorder* g = new TextRecorder();
    s->draw(g);
    ASSERT_EQ(1u, g->drawn.size());
    EXPECT_EQ(-(image->getWidth() >> 1), g->drawn[0].x);
    EXPECT_EQ(-(image->getHeight() >> 1), g->drawn[0].y);
    g->release();

    // Scaled to nothing, there is no picture.
    s->setScale(0.0);
    s->setText(lang::String("W"));
    EXPECT_EQ(nullptr, s->getImage());
}

TEST_F(TextSpriteTest, DrawingUsesThePictureOrTheStringsAndTheCursor)
{
    TextSprite* s = make("Hi");
    s->setColorBalance(100, 110, 120, 130);
    const int w = s->width(), h = s->height();
    const int x = -(w >> 1), y = h - (h >> 1) - 2 - metrics->getDescent();
    TextRecorder* g = new TextRecorder();
    s->draw(g);
    ASSERT_EQ(1u, g->drawn.size());
    EXPECT_EQ("image", g->drawn[0].op);
    EXPECT_EQ(0x646E7882u, g->drawn[0].imageColour) << "in the colour balance";

    TextSprite* boxed = make("Hi", false, true);
    g->drawn.clear();
    boxed->draw(g);
    ASSERT_EQ(2u, g->drawn.size());
    EXPECT_EQ("fill", g->drawn[0].op);
    EXPECT_EQ(std::to_string(w) + "x" + std::to_string(h), g->drawn[0].text);
    EXPECT_EQ(-(w >> 1), g->drawn[0].x);
    EXPECT_EQ(-(h >> 1), g->drawn[0].y);
    EXPECT_EQ(0xFF102030u, g->drawn[0].colour);
    EXPECT_EQ("image", g->drawn[1].op);

    // An outlined text has no picture: four strings in the shadow colour
    // around its place, then the text.
    TextSprite* outlined = make("Hi", true);
    EXPECT_EQ(nullptr, outlined->getImage());
    g->drawn.clear();
    outlined->draw(g);
    ASSERT_EQ(5u, g->drawn.size());
    const int places[5][2] = {{x + 2, y + 2}, {x, y + 2}, {x + 2, y}, {x, y}, {x + 1, y + 1}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ("string", g->drawn[size_t(i)].op);
        EXPECT_EQ("Hi", g->drawn[size_t(i)].text);
        EXPECT_EQ(places[i][0], g->drawn[size_t(i)].x) << i;
        EXPECT_EQ(places[i][1], g->drawn[size_t(i)].y) << i;
        EXPECT_EQ(i < 4 ? 0xFF102030u : kInk, g->drawn[size_t(i)].colour) << i;
    }

    // The cursor "|" blinks every 20 frames at the end of the box.
    s->setCursorWidth(5);
    s->setCursorShown(true);
    util::RectangleNM bounds;
    std::vector<int> shown;
    for (int frame = 1; frame < 60; ++frame) {
        s->tick(frame, &bounds, nullptr);
        g->drawn.clear();
        s->draw(g);
        if (g->drawn.size() == 2)
            shown.push_back(frame);
    }
    ASSERT_EQ(20u, shown.size());
    EXPECT_EQ(20, shown.front());
    EXPECT_EQ(39, shown.back());
    s->tick(80, &bounds, nullptr);
    g->drawn.clear();
    s->draw(g);
    ASSERT_EQ(2u, g->drawn.size());
    EXPECT_EQ("|", g->drawn[1].text);
    EXPECT_EQ(s->width() - 5 - (s->width() >> 1), g->drawn[1].x);
    EXPECT_EQ(kInk, g->drawn[1].colour);
    g->release();
}

TEST_F(TextSpriteTest, ThePositionIsTheBottomCornerAndThePictureLandsInTheBox)
{
    TextSprite* s = make("Hi");
    s->setPosition(20, 40);
    EXPECT_EQ(20, s->left());
    EXPECT_EQ(40, s->top());
    util::RectangleNM* box = s->getBounds();
    EXPECT_EQ(20, box->x);
    EXPECT_EQ(42, box->y + box->height) << "the reported top is 2 above the box's bottom";

    window::ImageWinDX* target = spritetest::makeTarget(120, 60);
    window::Graphics* g = target->getGraphics();
    s->draw(g);
    g->release();
    window::ImageBase* image = s->getImage();
    int opaque = 0;
    for (int y = 0; y < image->getHeight(); ++y)
        for (int x = 0; x < image->getWidth(); ++x) {
            uint32_t alpha = spritetest::pixelAt(image, x, y) >> 24;
            uint32_t drawn = spritetest::pixelAt(target, box->x + x, box->y + y);
            if (alpha == 0) {
                ASSERT_EQ(0xFF000000u, drawn) << x << "," << y;
            } else if (alpha == 255) {
                ASSERT_EQ(kInk, drawn) << x << "," << y;
            }
            opaque += alpha == 255;
        }
    EXPECT_GT(opaque, 10);
    target->release();

    s->setAlignment(2);
    EXPECT_EQ(20, s->left()) << "the right edge now";
    EXPECT_EQ(20, s->getBounds()->x + s->getBounds()->width);
    EXPECT_EQ(40, s->top());
}

TEST_F(TextSpriteTest, HiddenThePictureGoesAndShownItIsRenderedAgain)
{
    TextSprite* s = make("Hi");
    std::vector<uint32_t> before(s->getImage()->getPixels(),
                                 s->getImage()->getPixels() + s->width() * s->height());
    s->unloadImages();
    EXPECT_EQ(nullptr, s->getImage());
    s->loadImages();
    ASSERT_NE(nullptr, s->getImage());
    EXPECT_EQ(before, std::vector<uint32_t>(s->getImage()->getPixels(),
                                            s->getImage()->getPixels() + s->width() * s->height()));

    // An emptied text leaves no picture of the old one behind.
    s->setCursorWidth(5);
    s->setCursorShown(true);
    s->setText(lang::String(""));
    EXPECT_EQ(nullptr, s->getImage());
    EXPECT_EQ(9, s->width());
}

TEST_F(TextSpriteTest, MadeByNameItHasNoFontAndItsCopyIsAPlainBox)
{
    lang::Object* made = lang::Class::forName(lang::String("TextSprite"))->newInstance();
    ASSERT_TRUE(made->isInstanceOf("TextSprite"));
    TextSprite* s = static_cast<TextSprite*>(made);
    owned.push_back(s);
    lang::IntArray* numbers = spritetest::numberList({50, 60, 1});
    EXPECT_TRUE(s->configure(nullptr, numbers));
    numbers->release();
    s->setText(lang::String("Hi"));
    EXPECT_FALSE(s->isShowing());
    s->setFont(font);
    EXPECT_TRUE(s->isShowing());
    EXPECT_EQ(50, s->left()) << "aligned to the centre, the position stays";
    EXPECT_EQ(50 - (s->width() >> 1), s->getBounds()->x);
    sprite::SpriteBase* copy = s->clone();
    EXPECT_STREQ("BoundsSprite", copy->getClassName());
    copy->release();
}

} // namespace
