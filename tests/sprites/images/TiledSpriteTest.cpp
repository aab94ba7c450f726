// The tiled box: tiles from an offset with gaps, cut at the box's edges;
// the plain colour without a picture; set-up from a definition; pictures
// unloaded and loaded; and walks that could never end.
#include "tests/sprites/images/TestPictures.h"
#include "tests/sprites/support/DefinitionLists.h"
#include "tests/sprites/support/RecordingGraphics.h"
#include "tests/support/TempDir.h"
#include "tests/windowing/d3d/D3DTestSupport.h"

#include "core/lang/Class.h"
#include "sprites/images/TiledSprite.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using sprite::TiledSprite;
using spritetest::imageList;
using spritetest::numberList;
using spritetest::RecordingGraphics;

namespace {

// The top-left corners of the tiles one draw of the sprite places, in the
// box's own coordinates.
std::vector<std::pair<int, int>> tilesOf(TiledSprite* s, RecordingGraphics* g)
{
    g->calls.clear();
    s->draw(g);
    std::vector<std::pair<int, int>> corners;
    for (const RecordingGraphics::Call& c : g->ofOp("drawImage"))
        corners.emplace_back(c.x, c.y);
    return corners;
}

TEST(TiledSpriteTest, TilesRunFromTheOffsetAcrossAndDownTheBox)
{
    window::ImageWinDX* tile = d3dtest::makeImage(32, 32, d3dtest::patternPixel);
    TiledSprite* s = new TiledSprite(100, 50, tile, 0, 0, 0, 0);
    s->setPosition(200, 100);
    RecordingGraphics* g = new RecordingGraphics();
    std::vector<std::pair<int, int>> expected = {{0, 0}, {0, 32}, {32, 0}, {32, 32}, {64, 0}, {64, 32}, {96, 0}, {96, 32}};
    EXPECT_EQ(expected, tilesOf(s, g));
    // The box is the clip, and the tiles are placed from its corner.
    std::vector<RecordingGraphics::Call> clips = g->ofOp("clipRect");
    ASSERT_EQ(1u, clips.size());
    EXPECT_EQ(200, clips[0].x);
    EXPECT_EQ(100, clips[0].y);
    EXPECT_EQ(100, clips[0].w);
    EXPECT_EQ(50, clips[0].h);
    EXPECT_EQ(200, g->ofOp("drawImage")[0].translateX);
    EXPECT_EQ(100, g->ofOp("drawImage")[0].translateY);

    // A negative offset starts with parts of tiles; gaps space them out.
    s->setOffset(-10, -20);
    s->setGap(8, 2);
    expected = {{-10, -20}, {-10, 14}, {-10, 48}, {30, -20}, {30, 14}, {30, 48}, {70, -20}, {70, 14}, {70, 48}};
    EXPECT_EQ(expected, tilesOf(s, g));
    g->release();
    s->release();
    tile->release();
}

TEST(TiledSpriteTest, WalksThatCouldNotEndDrawNothing)
{
    window::ImageWinDX* empty = new window::ImageWinDX(0, 0, 1, false);
    ASSERT_EQ(0, empty->getWidth());
    TiledSprite* s = new TiledSprite(100, 50, empty, 0, 0, 0, 0);
    RecordingGraphics* g = new RecordingGraphics();
    EXPECT_TRUE(tilesOf(s, g).empty());
    window::ImageWinDX* tile = d3dtest::makeImage(4, 4, d3dtest::patternPixel);
    s->setImage(tile);
    s->setGap(-4, 0);
    EXPECT_TRUE(tilesOf(s, g).empty()) << "a gap that takes back the whole tile";
    s->setGap(-3, 0);
    EXPECT_EQ(100u * 13u, tilesOf(s, g).size()) << "one pixel a step: 100 columns of 13 rows";

    // Tiles far before the box are passed over, not walked one by one.
    s->setGap(0, 0);
    s->setOffset(-2000000000, -2000000001);
    std::vector<std::pair<int, int>> tiles = tilesOf(s, g);
    ASSERT_EQ(25u * 13u, tiles.size());
    EXPECT_EQ(0, tiles.front().first);
    EXPECT_EQ(-1, tiles.front().second);
    g->release();
    s->release();
    tile->release();
    empty->release();
}

TEST(TiledSpriteTest, ADefinitionWithOrWithoutAPicture)
{
    window::ImageWinDX* tile = d3dtest::makeImage(8, 8, d3dtest::patternPixel);
    lang::Object* made = lang::Class::forName(lang::String("TiledSprite"))->newInstance();
    ASSERT_TRUE(made->isInstanceOf("TiledSprite"));
    TiledSprite* s = static_cast<TiledSprite*>(made);
    EXPECT_EQ(nullptr, s->getImage());

    lang::ObjectArray* withTile = imageList({tile});
    lang::IntArray* three = numberList({1, 2, 3});
    EXPECT_FALSE(s->configure(withTile, three)) << "a picture needs 4 numbers";
    lang::IntArray* eight = numberList({10, 20, 30, 40, -1, -2, 3, 4});
    EXPECT_TRUE(s->configure(withTile, eight));
    EXPECT_EQ(tile, s->getImage());
    EXPECT_EQ(30, s->width());
    RecordingGraphics* g = new RecordingGraphics();
    std::vector<std::pair<int, int>> expected = {{-1, -2}, {-1, 10}, {-1, 22}, {-1, 34}, {10, -2}, {10, 10}, {10, 22}, {10, 34}, {21, -2}, {21, 10}, {21, 22}, {21, 34}};
    EXPECT_EQ(expected, tilesOf(s, g)) << "offset (-1, -2), gaps (3, 4)";

    TiledSprite* plain = new TiledSprite(0, 0, nullptr, 0, 0, 0, 0);
    lang::ObjectArray* noTile = imageList({nullptr});
    lang::IntArray* six = numberList({1, 2, 3, 4, 5, 6});
    EXPECT_FALSE(plain->configure(noTile, six)) << "a colour needs 7 numbers";
    lang::IntArray* eleven = numberList({0x12, 0x34, 0x56, 5, 6, 70, 80, 1, 2, 3, 4});
    EXPECT_TRUE(plain->configure(noTile, eleven));
    g->calls.clear();
    plain->draw(g);
    std::vector<RecordingGraphics::Call> fills = g->ofOp("fillRect");
    ASSERT_EQ(1u, fills.size());
    EXPECT_EQ(5, fills[0].x);
    EXPECT_EQ(6, fills[0].y);
    EXPECT_EQ(70, fills[0].w);
    EXPECT_EQ(80, fills[0].h);
    EXPECT_EQ(0xFF123456u, fills[0].argb) << "opaque";
    EXPECT_TRUE(g->ofOp("drawImage").empty());

    // A clone tiles the same way.
    sprite::SpriteBase* copy = s->clone();
    EXPECT_EQ(expected, tilesOf(static_cast<TiledSprite*>(copy), g));
    copy->release();
    for (lang::Object* o : std::initializer_list<lang::Object*>{g, eleven, six, noTile, plain, eight, three, withTile, s, tile})
        o->release();
}

TEST(TiledSpriteTest, EachOptionalPairOfNumbersCountsFromItsExactCount)
{
    // The offset needs numbers 4 and 5 (with a picture) or 7 and 8 (a
    // colour), the gap the two after them: a count one short leaves them.
    struct Case {
        bool picture;
        std::vector<int> numbers;
        bool accepted;
        int offsetX, offsetY, gapX, gapY;
    };
    const Case cases[] = {
        {true, {10, 20, 30, 40}, true, 0, 0, 0, 0},
        {true, {10, 20, 30, 40, -1}, true, 0, 0, 0, 0},
        {true, {10, 20, 30, 40, -1, -2}, true, -1, -2, 0, 0},
        {true, {10, 20, 30, 40, -1, -2, 3}, true, -1, -2, 0, 0},
        {true, {10, 20, 30, 40, -1, -2, 3, 4}, true, -1, -2, 3, 4},
        {false, {1, 2, 3, 4, 5, 6}, false, 0, 0, 0, 0},
        {false, {1, 2, 3, 4, 5, 6, 7}, true, 0, 0, 0, 0},
        {false, {1, 2, 3, 4, 5, 6, 7, -1}, true, 0, 0, 0, 0},
        {false, {1, 2, 3, 4, 5, 6, 7, -1, -2}, true, -1, -2, 0, 0},
        {false, {1, 2, 3, 4, 5, 6, 7, -1, -2, 3}, true, -1, -2, 0, 0},
        {false, {1, 2, 3, 4, 5, 6, 7, -1, -2, 3, 4}, true, -1, -2, 3, 4},
    };
    window::ImageWinDX* tile = d3dtest::makeImage(8, 8, d3dtest::patternPixel);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.picture ? "picture, " : "colour, ") + std::to_string(c.numbers.size()) + " numbers");
        TiledSprite* s = new TiledSprite(0, 0, nullptr, 0, 0, 0, 0);
        lang::ObjectArray* images = imageList({c.picture ? tile : nullptr});
        lang::IntArray* numbers = new lang::IntArray();
        numbers->setLength(int(c.numbers.size()));
        for (size_t i = 0; i < c.numbers.size(); ++i)
            (*numbers)[int(i)] = c.numbers[i];
        EXPECT_EQ(c.accepted, s->configure(images, numbers));
        EXPECT_EQ(c.offsetX, s->getOffsetX());
        EXPECT_EQ(c.offsetY, s->getOffsetY());
        EXPECT_EQ(c.gapX, s->getGapX());
        EXPECT_EQ(c.gapY, s->getGapY());
        numbers->release();
        images->release();
        s->release();
    }
    tile->release();
}

TEST(TiledSpriteTest, HidingFreesThePicturesPixelsUnlessTheyAreKept)
{
    testsupport::TempDir dir;
    ASSERT_TRUE(spritetest::writePng(dir.file("tile.png"), 4, 4, d3dtest::patternPixel));
    window::ImageWinDX* named = new window::ImageWinDX(lang::String(dir.file("tile.png").c_str()), true);
    ASSERT_TRUE(named->hasPixels());
    TiledSprite* s = new TiledSprite(10, 10, named, 0, 0, 0, 0);
    s->setKeepImages(true);
    s->unloadImages();
    EXPECT_TRUE(named->hasPixels());
    s->setKeepImages(false);
    s->unloadImages();
    EXPECT_FALSE(named->hasPixels());
    s->loadImages();
    EXPECT_TRUE(named->hasPixels());
    EXPECT_EQ(d3dtest::patternPixel(3, 2), named->getPixels()[2 * 4 + 3]);

    // A picture made in memory could not be read back, so it stays.
    window::ImageWinDX* made = d3dtest::makeImage(4, 4, d3dtest::patternPixel);
    s->setImage(made);
    s->unloadImages();
    EXPECT_TRUE(made->hasPixels());
    s->release();
    made->release();
    named->release();
}

// On the window graphics' software device.
class TiledSpriteDrawTest : public d3dtest::D3DTest {};

TEST_F(TiledSpriteDrawTest, TheTilesFillTheBoxAndAreCutAtItsEdges)
{
    openFrame();
    window::ImageWinDX* tile = d3dtest::makeImage(32, 32, d3dtest::patternPixel);
    TiledSprite* s = new TiledSprite(100, 50, tile, -5, -7, 0, 0);
    s->setPosition(40, 30);
    paint([&](window::GraphicsWWinDX* g) {
        background(g, 0xFF000000u);
        s->draw(g);
    });
    auto pixels = backBuffer();
    for (int y = 25; y < 85; ++y)
        for (int x = 35; x < 145; ++x) {
            bool inside = x >= 40 && x < 140 && y >= 30 && y < 80;
            // Box pixel (bx, by) shows tile pixel ((bx + 5) mod 32, (by + 7) mod 32).
            uint32_t expected = inside ? d3dtest::patternPixel((x - 40 + 5) % 32, (y - 30 + 7) % 32) : 0xFF000000u;
            ASSERT_EQ(d3dtest::hex(expected), d3dtest::hex(at(pixels, x, y))) << x << "," << y;
        }
    s->release();
    tile->release();
}

} // namespace
