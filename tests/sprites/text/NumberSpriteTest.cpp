// The number sprite: each format read back cell by cell from a drawing of a
// strip whose cells say which cell and which column they are; the box the
// number needs; separators from the archive's text items; and counting.
#include "tests/sprites/images/TestPictures.h"
#include "tests/sprites/support/DefinitionLists.h"
#include "tests/support/TempDir.h"

#include "core/lang/Class.h"
#include "core/lang/ResourceFile.h"
#include "sprites/text/NumberSprite.h"
#include "tools/archive/ArchiveWriter.h"
#include "windowing/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using sprite::NumberSprite;

namespace {

const int kCell = 10;
const int kStripHeight = 4;

// Cell k of a strip, column c of the cell: red k + 1, green c.
uint32_t stripPixel(int x, int)
{
    return 0xFF000000u | uint32_t(x / kCell + 1) << 16 | uint32_t(x % kCell) << 8;
}

class NumberSpriteTest : public ::testing::Test {
protected:
    NumberSpriteTest()
    {
        m_full = spritetest::makePicture(15 * kCell, kStripHeight, stripPixel);
        m_digits = spritetest::makePicture(10 * kCell, kStripHeight, stripPixel);
        separators(".", ",");
    }
    ~NumberSpriteTest() override
    {
        for (NumberSprite* s : m_sprites)
            s->release();
        m_digits->release();
        m_full->release();
        lang::ResourceFile::closeAll();
    }

    // The archive's separator texts, and the cells worked out from them.
    void separators(const std::string& decimal, const std::string& thousands)
    {
        lang::ResourceFile::closeAll();
        tools::ArchiveWriter archive;
        archive.addText("IDS_DECIMAL_SEPARATOR", decimal);
        archive.addText("IDS_THOUSANDS_SEPARATOR", thousands);
        std::string path = m_dir.file("texts" + std::to_string(m_archives++) + ".bin");
        ASSERT_TRUE(archive.write(path));
        lang::ResourceFile::open(lang::String(path.c_str()));
        NumberSprite::readSeparators();
    }

    NumberSprite* make(int mode, int value, bool digitStrip = false)
    {
        NumberSprite* s = new NumberSprite(mode);
        m_sprites.push_back(s);
        s->setDigitsImage(digitStrip ? m_digits : m_full);
        s->setPosition(10, 2);
        s->setValue(value);
        return s;
    }

    // The number as drawn, read left to right from the cells' pixels: each
    // cell drawn from its first column gives one character, a gap of
    // background a space. Only the box and 15 pixels left of it are read.
    std::string shown(NumberSprite* s, bool digitStrip = false)
    {
        window::ImageWinDX* target = spritetest::makeTarget(300, 8);
        window::Graphics* g = target->getGraphics();
        s->draw(g);
        g->release();
        const char* full = ":-$,.0123456789";
        std::string text;
        bool gap = false;
        int right = s->getBounds()->x + s->getBounds()->width;
        for (int x = s->getBounds()->x - 15; x < right; ++x) {
            uint32_t p = spritetest::pixelAt(target, x, 3);
            int cell = int(p >> 16 & 0xFF) - 1;
            int column = int(p >> 8 & 0xFF);
            if (cell < 0) {
                gap = !text.empty();
                continue;
            }
            if (column == 0) {
                if (gap)
                    text += ' ';
                text += digitStrip ? char('0' + cell) : full[cell];
            }
            gap = false;
        }
        target->release();
        return text;
    }

    // The columns of the box the drawing covers.
    int covered(NumberSprite* s)
    {
        window::ImageWinDX* target = spritetest::makeTarget(300, 8);
        window::Graphics* g = target->getGraphics();
        s->draw(g);
        g->release();
        int count = 0;
        for (int x = 0; x < 300; ++x)
            count += spritetest::pixelAt(target, x, 3) != 0xFF000000u;
        target->release();
        return count;
    }

    testsupport::TempDir m_dir;
    int m_archives = 0;
    window::ImageWinDX* m_full;
    window::ImageWinDX* m_digits;
    std::vector<NumberSprite*> m_sprites;
};

TEST_F(NumberSpriteTest, ThousandsAreSeparatedAndNegativesGetTheMinus)
{
    NumberSprite* s = make(NumberSprite::MODE_PLAIN, 1234567);
    EXPECT_EQ(10, s->getCellWidth());
    EXPECT_EQ(16, s->getHalfCells());
    EXPECT_EQ(80, s->width()) << "seven cells and two half cells";
    EXPECT_EQ(kStripHeight, s->height());
    EXPECT_EQ("1,234,567", shown(s));
    EXPECT_EQ(80, covered(s)) << "the cells fill the box, flush right";

    s->setValue(-42);
    EXPECT_EQ(30, s->width());
    EXPECT_EQ("-42", shown(s));
    s->setValue(INT32_MIN);
    EXPECT_EQ("-2,147,483,648", shown(s));

    NumberSprite* d = make(NumberSprite::MODE_DIGITS_ONLY, -42, true);
    EXPECT_EQ(10, d->getCellWidth());
    EXPECT_EQ(20, d->width());
    EXPECT_EQ("42", shown(d, true)) << "digits only: no sign";
    d->setValue(1234567);
    EXPECT_EQ("1234567", shown(d, true));
    d->setDigitsImage(m_full);
    EXPECT_EQ(15, d->getCellWidth()) << "a 150-pixel strip of 10 cells";
}

TEST_F(NumberSpriteTest, AmountsAreHundredthsAfterTheSignSymbol)
{
    NumberSprite* s = make(NumberSprite::MODE_AMOUNT, 1234567);
    EXPECT_EQ("$12,345.67", shown(s));
    EXPECT_EQ(90, s->width());
    EXPECT_EQ(90, covered(s));
    s->setValue(500);
    EXPECT_EQ("$5", shown(s)) << "whole amounts without decimals";
    EXPECT_EQ(20, s->width());
    s->setValue(5);
    EXPECT_EQ("$.05", shown(s));
    EXPECT_EQ(35, s->width());
    EXPECT_EQ(35, covered(s));
    s->setValue(150000);
    EXPECT_EQ("$1,500", shown(s));
    EXPECT_EQ(55, covered(s));
    EXPECT_EQ(55, s->width());
    // A negative amount: the same cells behind the minus.
    s->setValue(-5);
    EXPECT_EQ("-$.05", shown(s));
    EXPECT_EQ(45, s->width());
    EXPECT_EQ(45, covered(s));
    s->setValue(-1234);
    EXPECT_EQ("-$12.34", shown(s));
    EXPECT_EQ(65, covered(s));
    EXPECT_EQ(65, s->width());

    // The user's format decides which cells separate.
    separators(",", ".");
    EXPECT_EQ(NumberSprite::CELL_COMMA, NumberSprite::decimalCell());
    EXPECT_EQ(NumberSprite::CELL_POINT, NumberSprite::thousandsCell());
    s->setValue(1234567);
    EXPECT_EQ("$12.345,67", shown(s));
    separators(",", "\xC2\xA0");
    EXPECT_EQ(NumberSprite::CELL_NONE, NumberSprite::thousandsCell());
    EXPECT_EQ("$12 345,67", shown(s)) << "a no-break space leaves a gap";
    separators(".", " ");
    EXPECT_EQ(NumberSprite::CELL_NONE, NumberSprite::thousandsCell());
    EXPECT_EQ(NumberSprite::CELL_POINT, NumberSprite::decimalCell());
    NumberSprite* plain = make(NumberSprite::MODE_PLAIN, 1234567);
    EXPECT_EQ("1 234 567", shown(plain));
    EXPECT_EQ(80, plain->width());
}

TEST_F(NumberSpriteTest, TimesAreHoursMinutesAndSecondsFromSeconds)
{
    NumberSprite* s = make(NumberSprite::MODE_TIME, 3725);
    EXPECT_EQ(10205, s->getValue());
    EXPECT_EQ("1:02:05", shown(s));
    EXPECT_EQ(70, s->width());
    EXPECT_EQ(70, covered(s));
    s->setValue(60);
    EXPECT_EQ("1:00", shown(s));
    // The exact boundaries of a minute and an hour.
    s->setValue(59);
    EXPECT_EQ(59, s->getValue());
    EXPECT_EQ("59", shown(s));
    s->setValue(3599);
    EXPECT_EQ(5959, s->getValue());
    EXPECT_EQ("59:59", shown(s));
    EXPECT_EQ(50, s->width());
    s->setValue(3600);
    EXPECT_EQ(10000, s->getValue()) << "exactly one hour";
    EXPECT_EQ("1:00:00", shown(s));
    EXPECT_EQ(70, s->width());
    EXPECT_EQ(70, covered(s));
    s->setValue(101 * 3600 + 125);
    EXPECT_EQ("1:01:02:05", shown(s)) << "hundreds of hours: a separator between every pair";
    EXPECT_EQ(covered(s), s->width());

    s->setMinDigits(4);
    s->setValue(0);
    EXPECT_EQ("00:00", shown(s)) << "two pairs of zeros";
    EXPECT_EQ(50, s->width());

    // A half-cell separator: 5 columns of cell 0.
    s->setMinDigits(0);
    s->setTimeSeparatorHalfCells(1);
    s->setValue(3725);
    EXPECT_EQ(60, s->width());
    EXPECT_EQ("1:02:05", shown(s));
    EXPECT_EQ(60, covered(s));
}

TEST_F(NumberSpriteTest, LeadingZerosSignsAndSpacing)
{
    NumberSprite* s = make(NumberSprite::MODE_PLAIN, 5);
    s->setMinDigits(2);
    s->setValue(5);
    EXPECT_EQ("05", shown(s));
    s->setMinDigits(4);
    s->setValue(5);
    EXPECT_EQ("0,005", shown(s));

    NumberSprite* plus = make(NumberSprite::MODE_SIGNED_PLUS, 7);
    EXPECT_EQ("$7", shown(plus));
    EXPECT_EQ(20, plus->width());
    plus->setValue(-7);
    EXPECT_EQ("-7", shown(plus));
    EXPECT_EQ(20, plus->width()) << "no sign symbol for a negative value";
    plus->setValue(1234);
    EXPECT_EQ("$1,234", shown(plus));
    EXPECT_EQ(55, plus->width()) << "the separator is part of the box";
    EXPECT_EQ(55, covered(plus));

    NumberSprite* suffix = make(NumberSprite::MODE_SUFFIX, 7);
    EXPECT_EQ("7$", shown(suffix));
    EXPECT_EQ(20, suffix->width());

    // Spacing draws each cell that much closer to the one before it.
    NumberSprite* tight = make(NumberSprite::MODE_DIGITS_ONLY, 1234, true);
    tight->setSpacing(2);
    EXPECT_EQ(40 - 6, tight->width());
    EXPECT_EQ(34, covered(tight));
}

TEST_F(NumberSpriteTest, ADefinitionGivesPlaceFormatValueAndStrip)
{
    lang::Object* made = lang::Class::forName(lang::String("NumberSprite"))->newInstance();
    ASSERT_TRUE(made->isInstanceOf("NumberSprite"));
    NumberSprite* s = static_cast<NumberSprite*>(made);
    m_sprites.push_back(s);
    EXPECT_FALSE(s->isShowing()) << "no strip";

    lang::ObjectArray* images = spritetest::imageList({m_full});
    lang::IntArray* numbers = spritetest::numberList({100, 2, 2, 1234, 4, 0, 6});
    EXPECT_TRUE(s->configure(images, numbers));
    EXPECT_TRUE(s->isShowing());
    EXPECT_EQ(100, s->left());
    EXPECT_EQ(100, s->getBounds()->x + s->getBounds()->width) << "aligned right: the position is the right edge";
    EXPECT_EQ("$001,234", shown(s));
    s->setValue(1234567);
    EXPECT_EQ(100, s->getBounds()->x + s->getBounds()->width) << "a longer number grows to the left";
    s->setValue(1234);

    // The copy draws the same number in the same box.
    sprite::SpriteBase* copy = s->clone();
    NumberSprite* twin = static_cast<NumberSprite*>(copy);
    m_sprites.push_back(twin);
    EXPECT_EQ(s->getBounds()->x, twin->getBounds()->x);
    EXPECT_EQ(s->width(), twin->width());
    EXPECT_EQ("$001,234", shown(twin));

    // A definition without its strip or numbers shows nothing and reads no
    // further than it has.
    lang::IntArray* none = spritetest::numberList({});
    EXPECT_TRUE(s->configure(nullptr, none));
    EXPECT_FALSE(s->isShowing());
    none->release();
    numbers->release();
    images->release();
}

// Ticks until the count ends; the values after each tick.
std::vector<int> countAll(NumberSprite* s, int limit = 10000)
{
    std::vector<int> values;
    util::RectangleNM bounds;
    for (int frame = 1; s->isCounting() && frame <= limit; ++frame) {
        s->tick(frame, &bounds, nullptr);
        values.push_back(s->getValue());
    }
    return values;
}

TEST_F(NumberSpriteTest, CountingUpSpeedsUpAndLandsOnTheTarget)
{
    NumberSprite* s = make(NumberSprite::MODE_PLAIN, 0);
    s->countTo(1000);
    std::vector<int> values = countAll(s);
    ASSERT_FALSE(s->isCounting());
    EXPECT_EQ(1000, s->getValue());
    std::vector<int> first(values.begin(), values.begin() + 9);
    EXPECT_EQ((std::vector<int>{1, 3, 6, 10, 15, 22, 31, 42, 56}), first) << "steps 1, 2, 3, 4, 5, 7, 9, 11, 14";
    for (size_t i = 1; i < values.size(); ++i) {
        ASSERT_GE(values[i], values[i - 1]);
        ASSERT_LE(values[i], 1000);
    }
    s->countTo(1000);
    EXPECT_FALSE(s->isCounting()) << "already there";
}

TEST_F(NumberSpriteTest, CountingDownRunsAtMostFiveAFrame)
{
    NumberSprite* s = make(NumberSprite::MODE_PLAIN, 1000);
    s->countTo(0);
    std::vector<int> values = countAll(s);
    EXPECT_EQ(0, s->getValue());
    std::vector<int> first(values.begin(), values.begin() + 7);
    EXPECT_EQ((std::vector<int>{999, 997, 994, 990, 985, 980, 975}), first) << "steps -1, -2, -3, -4, -5, -5";
    EXPECT_GE(values.size(), 195u);
    EXPECT_LE(values.size(), 206u);
    for (size_t i = 1; i < values.size(); ++i)
        ASSERT_LE(values[i], values[i - 1]);

    // Turned while it ran fast upward, the count first steps down by one.
    s->countTo(5000);
    util::RectangleNM bounds;
    for (int frame = 1; frame <= 20; ++frame)
        s->tick(frame, &bounds, nullptr);
    int before = s->getValue();
    s->countTo(0);
    s->tick(21, &bounds, nullptr);
    EXPECT_EQ(before - 1, s->getValue());
}

TEST_F(NumberSpriteTest, ATimeCountsInSeconds)
{
    NumberSprite* s = make(NumberSprite::MODE_TIME, 50);
    s->countTo(130);
    std::vector<int> values = countAll(s);
    ASSERT_FALSE(s->isCounting());
    EXPECT_EQ(210, s->getValue()) << "2:10";
    EXPECT_EQ("2:10", shown(s));
    // Each value is a time, and the times only grow.
    int previous = 50;
    for (int v : values) {
        ASSERT_LT(v % 100, 60);
        int seconds = v / 100 * 60 + v % 100;
        ASSERT_GE(seconds, previous);
        previous = seconds;
    }
    s->countTo(0);
    countAll(s);
    EXPECT_EQ(0, s->getValue());
}

} // namespace
