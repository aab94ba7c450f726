// The bitmap-font text: layout sizes, glyphs read back from a drawing,
// alignment, wrapping and fitting, key editing, the blinking cursor, the text
// item named like the sprite, and glyph tables read from a picture file.
#include "tests/sprites/support/DefinitionLists.h"
#include "tests/sprites/support/RecordingGraphics.h"
#include "tests/sprites/text/TestFont.h"
#include "tests/support/TempDir.h"
#include "tests/windowing/d3d/D3DTestSupport.h"

#include "core/lang/Class.h"
#include "core/lang/ResourceFile.h"
#include "sprites/text/NewFontSprite.h"
#include "tools/archive/ArchiveWriter.h"
#include "windowing/window/Event.h"
#include "windowing/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using sprite::NewFontSprite;

namespace {

// A glyph found in a drawing: its code and the corner it was drawn at.
using Placed = std::tuple<int, int, int>;

class NewFontSpriteTest : public ::testing::Test {
protected:
    NewFontSpriteTest() : m_picture(fonttest::makeFontPicture()), m_table(fonttest::makeGlyphTable()) {}
    ~NewFontSpriteTest() override
    {
        for (lang::Object* o : m_owned)
            o->release();
        m_table->release();
        m_picture->release();
        lang::ResourceFile::closeAll();
    }

    NewFontSprite* make(const char* text)
    {
        NewFontSprite* s = new NewFontSprite();
        m_owned.push_back(s);
        s->setFont(m_picture, m_table);
        s->setPosition(10, 5);
        s->setText(text);
        return s;
    }

    window::Event* key(int code)
    {
        window::Event* e = new window::Event(m_picture, window::Event::KEY_DOWN, m_picture);
        e->key = code;
        m_owned.push_back(e);
        return e;
    }

    // The glyphs a drawing of the sprite shows, by the corners where their
    // first column and row landed, top to bottom and left to right.
    std::vector<Placed> drawn(NewFontSprite* s)
    {
        window::ImageWinDX* target = spritetest::makeTarget(300, 60);
        window::Graphics* g = target->getGraphics();
        s->draw(g);
        g->release();
        std::vector<Placed> glyphs;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 300; ++x) {
                uint32_t p = spritetest::pixelAt(target, x, y);
                if (fonttest::codeOf(p) != 0 && fonttest::columnOf(p) == 0 && fonttest::rowOf(p) == 0)
                    glyphs.emplace_back(fonttest::codeOf(p), x, y);
            }
        target->release();
        return glyphs;
    }

    std::string text(NewFontSprite* s) { return s->getText().c_str(); }

    window::ImageWinDX* m_picture;
    window::ImageWinDX* m_table;
    std::vector<lang::Object*> m_owned;
};

TEST_F(NewFontSpriteTest, TheBoxIsTheLaidOutSizeOfTheText)
{
    NewFontSprite* s = make("");
    EXPECT_EQ(0, s->width());
    EXPECT_EQ(fonttest::kLineHeight, s->height()) << "an empty text is one line high";
    s->setCursorVisible(true);
    EXPECT_EQ(fonttest::kCursorWidth, s->getCursorWidth());
    s->setText("");
    EXPECT_EQ(fonttest::kCursorWidth, s->width());

    // -left(A) + right(A) + right(B) = 1 + 7 + 7.
    s = make("AB");
    EXPECT_EQ(15, s->width());
    EXPECT_EQ(15, s->lineWidth(0));
    // W reaches 2 pixels past its advance when it ends a line.
    s->setText("AW");
    EXPECT_EQ(2, s->getOverhang());
    EXPECT_EQ(17, s->width());
    s->setText("WA");
    EXPECT_EQ(14, s->width()) << "only the last glyph of a line overhangs";

    // Kerning comes off every advance, the space's too; negative spreads.
    s->setText("A B");
    EXPECT_EQ(1 + 7 + 4 + 7, s->width());
    s->setKerning(-2);
    EXPECT_EQ(1 + 9 + 6 + 9, s->width());
    s->setKerning(0);

    // Lines: the widest sets the width; leading between them.
    s->setText("A\nBBB");
    s->setLeading(3);
    EXPECT_EQ(2 * fonttest::kLineHeight + 3, s->height());
    EXPECT_EQ(21, s->width());
    EXPECT_EQ(8, s->lineWidth(0));
    EXPECT_EQ(21, s->lineWidth(2));
    EXPECT_EQ(0, s->lineWidth(5)) << "past the end";
    s->setText("A\x01\x02" "B");
    EXPECT_EQ(15, s->width()) << "control codes are passed over";
}

TEST_F(NewFontSpriteTest, GlyphsAreDrawnFromThePenAndTheFirstWithoutItsOffset)
{
    NewFontSprite* s = make("AjB");
    EXPECT_EQ(20, s->width());
    // A at the line's start; j two pixels back from A's advance (8); B at 13.
    EXPECT_EQ((std::vector<Placed>{{'A', 10, 5}, {'j', 16, 5}, {'B', 23, 5}}), drawn(s));
    EXPECT_EQ(10 + 13, s->getLastGlyphX()) << "where B landed";
    EXPECT_EQ(5, s->getLastGlyphY());

    s->setText("A B\nj");
    s->setLeading(2);
    // The space is not drawn; j starts the next line without its offset.
    EXPECT_EQ((std::vector<Placed>{{'A', 10, 5}, {'B', 22, 5}, {'j', 10, 17}}), drawn(s));
}

TEST_F(NewFontSpriteTest, LinesAreAlignedInsideTheBoxAroundThePosition)
{
    NewFontSprite* s = make("AB\nA");
    s->setPosition(100, 5);
    s->setAlignment(1);
    EXPECT_EQ(100, s->left()) << "the position stays, now the box's centre";
    EXPECT_EQ(100 - 7, s->getBounds()->x);
    // Lines of 15 and 8 in a box of 15: the second starts at (15 - 8) >> 1.
    EXPECT_EQ((std::vector<Placed>{{'A', 93, 5}, {'B', 101, 5}, {'A', 96, 15}}), drawn(s));
    s->setAlignment(2);
    EXPECT_EQ(100, s->left());
    EXPECT_EQ(85, s->getBounds()->x) << "the position is the right edge";
    EXPECT_EQ((std::vector<Placed>{{'A', 85, 5}, {'B', 93, 5}, {'A', 92, 15}}), drawn(s));
    s->setAlignment(0);
    EXPECT_EQ(100, s->getBounds()->x);
}

TEST_F(NewFontSpriteTest, WrappingBreaksAtTheSpaceInFrontOfAWordThatEndsPastTheWidth)
{
    NewFontSprite* s = make("AB AB AB");
    EXPECT_EQ(51, s->width());
    s->wrapToWidth(60);
    EXPECT_EQ("AB AB AB", text(s)) << "wider than the text";
    s->wrapToWidth(51);
    EXPECT_EQ("AB AB AB", text(s)) << "no line is wider than the text";
    s->wrapToWidth(40);
    EXPECT_EQ("AB AB\nAB", text(s));
    EXPECT_EQ(33, s->width());
    EXPECT_EQ(2 * fonttest::kLineHeight, s->height());

    s->setText("AB AB AB AB");
    s->wrapToWidth(20);
    EXPECT_EQ("AB\nAB\nAB\nAB", text(s));
    s->setText("ABABABAB");
    s->wrapToWidth(10);
    EXPECT_EQ("ABABABAB", text(s)) << "one word is never broken";

    // A wrap width wraps every new text.
    lang::IntArray* numbers = spritetest::numberList({0, 0, 0, -1, 0, 40});
    lang::ObjectArray* images = spritetest::imageList({m_picture, m_table});
    s->configure(images, numbers);
    s->setText("AB AB AB");
    EXPECT_EQ("AB AB\nAB", text(s));
    images->release();
    numbers->release();
}

TEST_F(NewFontSpriteTest, FittingCutsTheTextAndEndsItWithAnEllipsis)
{
    NewFontSprite* s = make("ABABAB");
    EXPECT_EQ(43, s->width());
    s->fitToWidth(43);
    EXPECT_EQ("ABABAB", text(s)) << "a text that fits";
    s->fitToWidth(30);
    EXPECT_EQ("ABA\x85", text(s));
    EXPECT_EQ(1 + 21 + 6, s->width());
    s->fitToWidth(3);
    EXPECT_EQ("\x85", text(s)) << "down to the ellipsis alone";
    EXPECT_EQ(6, s->width());
}

TEST_F(NewFontSpriteTest, KeysEditTheTextAtTheCursor)
{
    NewFontSprite* s = make("AB");
    EXPECT_EQ(2, s->getCursorIndex());
    EXPECT_TRUE(s->handleKey(key(window::Event::LEFT), 0, false));
    EXPECT_TRUE(s->handleKey(key('x'), 0, false));
    EXPECT_EQ("AxB", text(s));
    EXPECT_EQ(2, s->getCursorIndex());
    EXPECT_EQ(22, s->width()) << "laid out again";
    EXPECT_TRUE(s->handleKey(key(8), 0, false));
    EXPECT_EQ("AB", text(s));
    EXPECT_TRUE(s->handleKey(key(window::Event::DELETE_KEY), 0, false));
    EXPECT_EQ("A", text(s));
    EXPECT_FALSE(s->handleKey(key(window::Event::DELETE_KEY), 0, false)) << "nothing after the cursor";
    EXPECT_TRUE(s->handleKey(key(window::Event::LEFT), 0, false));
    EXPECT_FALSE(s->handleKey(key(8), 0, false)) << "Backspace at the start";

    // A name takes name characters only; a limit stops typing.
    EXPECT_FALSE(s->handleKey(key('!'), 0, true));
    EXPECT_TRUE(s->handleKey(key(233), 0, true));
    EXPECT_EQ("\xE9" "A", text(s));
    EXPECT_FALSE(s->handleKey(key('B'), 2, false));
    EXPECT_TRUE(s->handleKey(key('B'), 3, false));
    EXPECT_EQ("\xE9" "BA", text(s));
    // Function keys, arrows and control codes type nothing.
    for (int code : {window::Event::F1, window::Event::F15, window::Event::UP, 13, 9, 27, 0})
        EXPECT_FALSE(s->handleKey(key(code), 0, false)) << code;
    EXPECT_EQ("\xE9" "BA", text(s));
    EXPECT_FALSE(s->handleKey(nullptr, 0, false));

    // After a fit cut the text, the cursor stands within it again.
    s->setText("ABABAB");
    s->fitToWidth(20);
    EXPECT_LE(s->getCursorIndex(), s->getText().length());
    EXPECT_TRUE(s->handleKey(key(8), 0, false));
}

TEST_F(NewFontSpriteTest, TheCursorBlinksEveryTwentyFramesAfterTheText)
{
    NewFontSprite* s = make("AB");
    s->setCursorVisible(true);
    s->setText("AB");
    EXPECT_EQ(15 + fonttest::kCursorWidth, s->width());
    util::RectangleNM bounds;
    std::vector<int> on;
    spritetest::RecordingGraphics* g = new spritetest::RecordingGraphics();
    for (int frame = 1; frame <= 80; ++frame) {
        s->tick(frame, &bounds, nullptr);
        g->calls.clear();
        s->draw(g);
        if (!g->ofOp("fillRect").empty())
            on.push_back(frame);
    }
    ASSERT_EQ(40u, on.size());
    EXPECT_EQ(20, on.front());
    EXPECT_EQ(39, on[19]);
    EXPECT_EQ(60, on[20]);
    EXPECT_EQ(79, on.back());
    // After B's advance (15), at the space's left offset; the cursor colour,
    // one pixel wide and a line high.
    s->tick(100, &bounds, nullptr);
    g->calls.clear();
    s->draw(g);
    std::vector<spritetest::RecordingGraphics::Call> bars = g->ofOp("fillRect");
    ASSERT_EQ(1u, bars.size());
    EXPECT_EQ(15 + fonttest::kSpaceLeft, bars[0].x);
    EXPECT_EQ(0, bars[0].y);
    EXPECT_EQ(1, bars[0].w);
    EXPECT_EQ(fonttest::kLineHeight, bars[0].h);
    EXPECT_EQ(0xFFFFFFFFu, bars[0].argb);
    EXPECT_EQ(10, bars[0].translateX);
    // In front of the first glyph: the line's start.
    s->handleKey(key(window::Event::LEFT), 0, false);
    s->handleKey(key(window::Event::LEFT), 0, false);
    g->calls.clear();
    s->draw(g);
    EXPECT_EQ(fonttest::kSpaceLeft, g->ofOp("fillRect")[0].x);
    g->release();
}

TEST_F(NewFontSpriteTest, ARevealShowsOneMoreCharacterAFrameInPlace)
{
    NewFontSprite* s = make("AB\nBA");
    const std::vector<Placed> whole = drawn(s);
    ASSERT_EQ(4u, whole.size());
    const int width = s->width();
    util::RectangleNM bounds;
    int frame = 0;

    s->startReveal();
    EXPECT_TRUE(s->isRevealing());
    EXPECT_TRUE(drawn(s).empty()) << "nothing at first";
    EXPECT_EQ(width, s->width()) << "the box keeps the whole text's size";
    // The line break counts as a character: 1, 2, 2, 3, 4 glyphs.
    const size_t glyphsAfter[] = {1, 2, 2, 3, 4};
    for (size_t shown : glyphsAfter) {
        EXPECT_TRUE(s->isRevealing());
        EXPECT_TRUE(s->tick(++frame, &bounds, nullptr)) << "each step changes the look";
        std::vector<Placed> part = drawn(s);
        ASSERT_EQ(shown, part.size()) << "frame " << frame;
        EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin())) << "each where it stands in the whole text";
    }
    EXPECT_FALSE(s->isRevealing()) << "the counter stops with the last character";
    EXPECT_FALSE(s->tick(++frame, &bounds, nullptr));

    // Paused (its own flag, or the sprite's), the reveal waits.
    s->startReveal();
    s->tick(++frame, &bounds, nullptr);
    s->setRevealPaused(true);
    EXPECT_TRUE(s->isRevealPaused());
    s->tick(++frame, &bounds, nullptr);
    EXPECT_EQ(1, s->getRevealed());
    s->setRevealPaused(false);
    s->setPaused(true);
    s->tick(++frame, &bounds, nullptr);
    EXPECT_EQ(1, s->getRevealed());
    s->setPaused(false);
    s->tick(++frame, &bounds, nullptr);
    EXPECT_EQ(2, s->getRevealed());

    // A new text stops the reveal and shows whole.
    s->setText("BA");
    EXPECT_FALSE(s->isRevealing());
    EXPECT_EQ(2u, drawn(s).size());
    // An empty text has nothing to reveal.
    s->setText("");
    s->startReveal();
    EXPECT_FALSE(s->isRevealing());
}

TEST_F(NewFontSpriteTest, ADefinedTextTakesTheTextItemNamedLikeTheSprite)
{
    testsupport::TempDir dir;
    tools::ArchiveWriter archive;
    archive.addText("Title", "Hi \xC3\xA9t\xC3\xA9");
    ASSERT_TRUE(archive.write(dir.file("texts.bin")));
    lang::ResourceFile::open(lang::String(dir.file("texts.bin").c_str()));

    lang::Object* made = lang::Class::forName(lang::String("NewFontSprite"))->newInstance();
    ASSERT_TRUE(made->isInstanceOf("NewFontSprite"));
    NewFontSprite* s = static_cast<NewFontSprite*>(made);
    m_owned.push_back(s);
    s->setName(lang::String("Title"));
    lang::ObjectArray* images = spritetest::imageList({m_picture, m_table});
    lang::IntArray* numbers = spritetest::numberList({40, 5, 1, int(0x80FF8040u), 2, 0, -1});
    EXPECT_TRUE(s->configure(images, numbers));
    EXPECT_EQ(0x80FF8040u, s->getColor().getValue());
    EXPECT_EQ(-1, s->getKerning());
    EXPECT_FALSE(s->isTextGiven());
    EXPECT_EQ("", text(s)) << "the text comes on first use";
    s->getBounds();
    EXPECT_EQ("Hi \xE9t\xE9", text(s));
    EXPECT_EQ(40, s->left());
    EXPECT_TRUE(s->isShowing());

    // A copy keeps font, text and settings; it takes its text from the item
    // named like itself on first use.
    sprite::SpriteBase* copy = s->clone();
    NewFontSprite* twin = static_cast<NewFontSprite*>(copy);
    m_owned.push_back(twin);
    EXPECT_EQ(m_table, twin->getGlyphTable());
    EXPECT_EQ("Hi \xE9t\xE9", text(twin));
    EXPECT_EQ(s->getX(), twin->getX());
    EXPECT_EQ(s->width(), twin->width());
    EXPECT_EQ(40, twin->left());
    twin->getBounds();
    EXPECT_EQ("", text(twin)) << "no item is named like the unnamed copy";
    EXPECT_EQ(-1, twin->getKerning());
    images->release();
    numbers->release();
}

TEST_F(NewFontSpriteTest, CodesTheTableHasNoRecordForArePassedOver)
{
    window::ImageWinDX* shortTable = fonttest::makeGlyphTable(127);
    NewFontSprite* s = make("A\xE9 B\x85");
    s->setFont(m_picture, shortTable);
    shortTable->release();
    EXPECT_EQ(1 + 7 + 4 + 7, s->width());
    EXPECT_EQ((std::vector<Placed>{{'A', 10, 5}, {'B', 22, 5}}), drawn(s));
    s->setCursorVisible(true);
    EXPECT_EQ(fonttest::kCursorWidth, s->getCursorWidth());
    s->fitToWidth(5);
    EXPECT_EQ("\x85", text(s)) << "an ellipsis without a record is cut to alone";
    s->handleKey(key(250), 0, false);
    s->wrapToWidth(1);
}

TEST_F(NewFontSpriteTest, WithoutAGlyphTableNothingIsMeasuredOrDrawn)
{
    NewFontSprite* s = make("AB");
    s->setFont(m_picture, nullptr);
    EXPECT_EQ(0, s->height());
    EXPECT_FALSE(s->isShowing());
    s->setCursorVisible(true);
    s->setText("AB");
    EXPECT_EQ(4, s->width()) << "the cursor's width without a '_' glyph";
    s->fitToWidth(1);
    EXPECT_EQ("AB", text(s));
}

TEST_F(NewFontSpriteTest, AGlyphTableIsReadWordForWordFromAPictureFile)
{
    // Negative words are opaque white-ish pixels, small ones transparent:
    // both must come through decoding unchanged.
    testsupport::TempDir dir;
    std::string path = dir.file("glyphs.png");
    ASSERT_TRUE(spritetest::writePng(path, 6, 224, [](int x, int y) {
        return uint32_t(fonttest::glyphRecord(y + 32)[size_t(x)]);
    }));
    window::ImageWinDX* table = new window::ImageWinDX(lang::String(path.c_str()), true);
    NewFontSprite* s = make("AjWB");
    s->setFont(m_picture, table);
    table->release();
    EXPECT_EQ(1 + 7 + 5 + 7 + 7, s->width());
    EXPECT_EQ((std::vector<Placed>{{'A', 10, 5}, {'j', 16, 5}, {'W', 23, 5}, {'B', 30, 5}}), drawn(s));

    // Hidden, the font picture's pixels go (when it can be read back).
    std::string fontPath = dir.file("font.png");
    ASSERT_TRUE(spritetest::writePng(fontPath, 224 * fonttest::kGlyphStep, fonttest::kLineHeight, fonttest::glyphPixel));
    window::ImageWinDX* font = new window::ImageWinDX(lang::String(fontPath.c_str()), true);
    s->setFont(font, s->getGlyphTable());
    font->release();
    s->unloadImages();
    EXPECT_FALSE(s->getFontImage()->hasPixels());
    s->loadImages();
    EXPECT_TRUE(s->getFontImage()->hasPixels());
    EXPECT_EQ(4u, drawn(s).size());
}

} // namespace

namespace {

// On the window graphics' software device: the text lands where it does on
// a picture, and turns about its position.
class NewFontSpriteDrawTest : public d3dtest::D3DTest {};

TEST_F(NewFontSpriteDrawTest, TextLandsInItsBoxAndTurnsAboutItsPosition)
{
    openFrame();
    window::ImageWinDX* picture = fonttest::makeFontPicture();
    window::ImageWinDX* table = fonttest::makeGlyphTable();
    NewFontSprite* s = new NewFontSprite();
    s->setFont(picture, table);
    s->setText("AB");
    s->setPosition(100, 50);
    auto drawAndRead = [&]() {
        paint([&](window::GraphicsWWinDX* g) {
            background(g, 0xFF000000u);
            s->draw(g);
        });
        return backBuffer();
    };
    std::vector<uint32_t> pixels = drawAndRead();
    // Glyph pixel (col, row) of A at (100 + col, 50 + row); B from x 108.
    EXPECT_EQ(d3dtest::hex(fonttest::glyphPixel(('A' - 32) * fonttest::kGlyphStep + 2, 3)), d3dtest::hex(at(pixels, 102, 53)));
    EXPECT_EQ(d3dtest::hex(fonttest::glyphPixel(('B' - 32) * fonttest::kGlyphStep, 0)), d3dtest::hex(at(pixels, 108, 50)));
    EXPECT_EQ(0xFF000000u, at(pixels, 106, 50));

    // A quarter turn clockwise about the box's centre (107, 55): the text
    // now runs down, its top row at the right.
    s->setRotationRadians(3.14159265358979323846 / 2);
    pixels = drawAndRead();
    int lit = 0;
    for (int y = 40; y < 70; ++y)
        for (int x = 95; x < 120; ++x)
            if (fonttest::codeOf(at(pixels, x, y)) == 'A' && fonttest::columnOf(at(pixels, x, y)) == 0)
                lit += fonttest::rowOf(at(pixels, x, y)) == 0 ? 1 : 0;
    EXPECT_EQ(1, lit) << "A's corner pixel lands once";
    // A's top-left pixel spans (-7, -5) to (-6, -4) from the centre; turned
    // clockwise it spans (4, -7) to (5, -6): the pixel at (111, 48).
    EXPECT_EQ('A', fonttest::codeOf(at(pixels, 111, 48)));
    s->release();
    table->release();
    picture->release();
}

} // namespace
