// ImageSpriteTest.cpp: sized and image sprites: placement as the picture
// changes, drawing (pixels read back from a target image), pixel hit tests,
// configuration from definitions and the unloading of pixels.
#include "tests/sprites/images/TestPictures.h"
#include "tests/sprites/support/RecordingGraphics.h"
#include "tests/support/TempDir.h"

#include "core/lang/Class.h"
#include "core/lang/IntArray.h"
#include "core/lang/ObjectArray.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/base/BoundsSprite.h"
#include "sprites/images/ImageSprite.h"
#include "windowing/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

using sprite::AnimateSprite;
using sprite::BoundsSprite;
using sprite::ImageSprite;
using spritetest::makePicture;
using spritetest::makeTarget;
using spritetest::pixelAt;

// A 4 x 2 picture: every pixel a colour of its own, opaque.
uint32_t distinct(int x, int y)
{
    return 0xFF000000u | uint32_t(0x10 * (x + 1)) << 16 | uint32_t(0x40 * (y + 1)) << 8 | 0x20u;
}

lang::IntArray* imageSpriteNumbers(std::initializer_list<int> values)
{
    lang::IntArray* a = new lang::IntArray;
    a->setLength(int(values.size()));
    int i = 0;
    for (int v : values)
        (*a)[i++] = v;
    return a;
}

lang::ObjectArray* images(std::initializer_list<window::ImageBase*> values)
{
    lang::ObjectArray* a = new lang::ObjectArray;
    a->setLength(int(values.size()));
    int i = 0;
    for (window::ImageBase* v : values)
        *a->at(i++) = v;
    return a;
}

// Records what paint hands the graphics, including rotation and flip.
class PaintRecorder : public spritetest::RecordingGraphics {
public:
    bool drawImageCentered(window::ImageBase* image, int cx, int cy, util::RectangleNM* src, double scaleX,
                           double scaleY, double rot, int flipBits) override
    {
        rotation = rot;
        flip = flipBits;
        imageColor = getImageColor().getValue();
        cornersOn = areCornerColorsOn();
        return RecordingGraphics::drawImageCentered(image, cx, cy, src, scaleX, scaleY, rot, flipBits);
    }
    double rotation = 0.0;
    int flip = 0;
    uint32_t imageColor = 0;
    bool cornersOn = false;
};

TEST(BoundsSpriteTest, ASizedBoxKeepsItsCornerWhenResized)
{
    BoundsSprite* b = new BoundsSprite(10, 20, 30, 40);
    EXPECT_EQ(25, b->getX());
    EXPECT_EQ(40, b->getY());
    EXPECT_EQ(10, b->left());
    EXPECT_EQ(20, b->top());
    b->setSize(51, 61);
    EXPECT_EQ(10, b->left());
    EXPECT_EQ(20, b->top());
    EXPECT_EQ(35, b->getX());
    EXPECT_EQ(50, b->getY());
    EXPECT_EQ(51, b->getBounds()->width);

    // A definition with fewer numbers reads the missing ones as 0.
    lang::IntArray* p = imageSpriteNumbers({7});
    EXPECT_TRUE(b->configure(nullptr, p));
    p->release();
    EXPECT_EQ(7, b->left());
    EXPECT_EQ(0, b->top());
    EXPECT_EQ(0, b->width());

    b->release();
}

TEST(ImageSpriteTest, ThePictureSetsTheSizeAndTheCornerStays)
{
    ImageSprite* s = new ImageSprite();
    EXPECT_FALSE(s->isShowing());
    s->setPosition(10, 20);
    window::ImageWinDX* small = makePicture(20, 10, distinct);
    window::ImageWinDX* big = makePicture(40, 30, distinct);
    s->setImage(small);
    EXPECT_EQ(2, small->getRefCount());
    EXPECT_EQ(20, s->width());
    EXPECT_EQ(10, s->left());
    EXPECT_EQ(20, s->top());
    EXPECT_EQ(20, s->getX());
    EXPECT_EQ(25, s->getY());
    EXPECT_TRUE(s->isShowing());
    s->setImage(big);
    EXPECT_EQ(1, small->getRefCount());
    EXPECT_EQ(10, s->left());
    EXPECT_EQ(20, s->top());
    EXPECT_EQ(30, s->getX());
    EXPECT_EQ(35, s->getY());
    EXPECT_EQ(util::RectangleNM(10, 20, 40, 30).hashCode(), s->getBounds()->hashCode());

    s->setSourceRect(util::RectangleNM(5, 5, 10, 6));
    EXPECT_EQ(10, s->left());
    EXPECT_EQ(20, s->top());
    EXPECT_EQ(15, s->getX());
    EXPECT_EQ(23, s->getY());
    EXPECT_EQ(10, s->width());

    s->setImage(nullptr);
    EXPECT_EQ(1, big->getRefCount());
    EXPECT_EQ(0, s->width());
    EXPECT_FALSE(s->isShowing());
    s->release();
    small->release();
    big->release();
}

TEST(ImageSpriteTest, DrawsItsPictureAtItsPlaceInItsColourBalance)
{
    window::ImageWinDX* target = makeTarget(16, 12);
    window::ImageWinDX* picture = makePicture(4, 2, distinct);
    ImageSprite* s = new ImageSprite();
    s->setImage(picture);
    s->setPosition(5, 7);
    window::Graphics* g = target->getGraphics();
    s->draw(g);
    for (int y = 6; y <= 9; ++y)
        for (int x = 4; x <= 9; ++x) {
            bool inside = x >= 5 && x < 9 && y >= 7 && y < 9;
            EXPECT_EQ(inside ? distinct(x - 5, y - 7) : 0xFF000000u, pixelAt(target, x, y)) << x << "," << y;
        }

    // Red halved, blue doubled (and held at 255): (0x10, 0x40, 0x20) becomes
    // (0x08, 0x40, 0x3F) for the first pixel.
    s->setColorBalance(128, 64, 128, 255);
    s->setPosition(0, 0);
    s->draw(g);
    EXPECT_EQ(0xFF08403Fu, pixelAt(target, 0, 0));
    // (0x40, 0x80, 0x20): red 0x20, blue 0x20 x 255 >> 7 = 0x3F.
    EXPECT_EQ(0xFF20803Fu, pixelAt(target, 3, 1));

    // Hidden, or without a picture, nothing is drawn.
    s->setPosition(10, 0);
    s->setVisible(false);
    s->draw(g);
    EXPECT_EQ(0xFF000000u, pixelAt(target, 10, 0));
    g->release();
    s->release();
    picture->release();
    target->release();
}

TEST(ImageSpriteTest, PaintHandsOverTransformAndColours)
{
    window::ImageWinDX* picture = makePicture(4, 2, distinct);
    ImageSprite* s = new ImageSprite();
    s->setImage(picture);
    s->setCenter(50, 60);
    s->setScale(2.0, 3.0);
    s->rotateBy(30);
    s->setFlipType(sprite::SpriteBase::FLIP_VERTICAL);
    s->setColorBalance(100, 110, 120, 130);
    PaintRecorder* g = new PaintRecorder;
    s->paint(g);
    ASSERT_EQ(1u, g->calls.size());
    const spritetest::RecordingGraphics::Call& c = g->calls[0];
    EXPECT_EQ(picture, c.image);
    EXPECT_EQ(50, c.x);
    EXPECT_EQ(60, c.y);
    EXPECT_EQ(4, c.src.width);
    EXPECT_EQ(2.0, c.scaleX);
    EXPECT_EQ(3.0, c.scaleY);
    EXPECT_EQ(30.0, g->rotation);
    EXPECT_EQ(2, g->flip);
    EXPECT_EQ(0x646E7882u, g->imageColor);
    EXPECT_FALSE(g->cornersOn);

    s->setCornerColor(0, ColorWin32(0xFF000001u));
    s->setCornerColor(3, ColorWin32(0xFF000004u));
    s->setUseCornerColors(true);
    s->paint(g);
    EXPECT_TRUE(g->cornersOn);
    EXPECT_EQ(0xFF000001u, g->getCornerColor(0).getValue());
    EXPECT_EQ(0xFF000004u, g->getCornerColor(3).getValue());
    g->release();
    s->release();
    picture->release();
}

TEST(ImageSpriteTest, AnAnimatedSpriteDrawsTheCellOfItsFrame)
{
    // 200 x 100 in 4 x 2 cells of 50 x 50; each cell one colour.
    window::ImageWinDX* grid = makePicture(200, 100, [](int x, int y) {
        return 0xFF000000u | uint32_t((y / 50) * 4 + x / 50 + 1) * 0x101010u;
    });
    AnimateSprite* a = new AnimateSprite(grid, 4, 2);
    EXPECT_EQ(8, a->getFrameCount());
    a->setFrame(5);
    EXPECT_EQ(50, a->getSourceRect().x);
    EXPECT_EQ(50, a->getSourceRect().y);
    EXPECT_EQ(50, a->getSourceRect().width);
    EXPECT_EQ(50, a->getSourceRect().height);
    window::ImageWinDX* target = makeTarget(60, 60);
    a->setPosition(5, 5);
    window::Graphics* g = target->getGraphics();
    a->draw(g);
    EXPECT_EQ(0xFF606060u, pixelAt(target, 5, 5));
    EXPECT_EQ(0xFF606060u, pixelAt(target, 54, 54));
    EXPECT_EQ(0xFF000000u, pixelAt(target, 55, 55));
    EXPECT_EQ(0xFF000000u, pixelAt(target, 4, 4));
    // Frames above the last become the last; a negative frame shows nothing.
    a->setFrame(20);
    EXPECT_EQ(7, a->getFrame());
    EXPECT_EQ(150, a->getSourceRect().x);
    a->setFrame(-1);
    EXPECT_FALSE(a->isShowing());
    g->release();
    target->release();
    a->release();
    grid->release();
}

// 4 x 2: the left column fully transparent, alpha 1 in the second, opaque beyond.
uint32_t alphaSteps(int x, int)
{
    static const uint32_t alpha[] = {0x00, 0x01, 0x80, 0xFF};
    return alpha[x] << 24 | 0x00FFFFFFu;
}

TEST(ImageSpriteTest, PixelHitTestsFollowTheAlphaUnderThePoint)
{
    window::ImageWinDX* picture = makePicture(4, 2, alphaSteps);
    ImageSprite* s = new ImageSprite();
    s->setImage(picture);
    s->setPosition(10, 20);
    EXPECT_FALSE(s->hittestImage(10, 20, 1));
    EXPECT_TRUE(s->hittestImage(11, 20, 1));
    EXPECT_FALSE(s->hittestImage(11, 21, 2));
    EXPECT_TRUE(s->hittestImage(12, 21, 0x80));
    EXPECT_FALSE(s->hittestImage(12, 21, 0x81));
    EXPECT_TRUE(s->hittestOpaque(13, 21));
    EXPECT_FALSE(s->hittestOpaque(14, 21));
    EXPECT_FALSE(s->hittestOpaque(13, 22));
    EXPECT_FALSE(s->hittestOpaque(9, 20));
    // The plain hit test is the box.
    EXPECT_TRUE(s->hittest(10, 20));

    s->setBoundsHitTest(true);
    EXPECT_TRUE(s->hittestOpaque(10, 20));
    EXPECT_FALSE(s->hittestOpaque(14, 20));
    s->setBoundsHitTest(false);

    // Flipped across, the transparent column is drawn on the right: the
    // test follows the picture as drawn.
    s->setFlipType(sprite::SpriteBase::FLIP_HORIZONTAL);
    EXPECT_TRUE(s->hittestOpaque(10, 20));
    EXPECT_TRUE(s->hittestImage(10, 20, 0xFF));
    EXPECT_FALSE(s->hittestOpaque(13, 20));
    EXPECT_TRUE(s->hittestImage(12, 20, 1));
    EXPECT_FALSE(s->hittestImage(12, 20, 2));
    s->setFlipType(sprite::SpriteBase::FLIP_NONE);

    // Twice the size about the centre (12, 21): the box grows to 8 x 4 from
    // (8, 19), and offsets map back truncated toward the centre: 12 - 4 is
    // column 0, 12 - 3 column 1 (alpha 1), 12 + 3 column 3, 12 + 4 outside.
    s->setScale(2.0);
    EXPECT_EQ(8, s->getBounds()->x);
    EXPECT_EQ(8, s->getBounds()->width);
    EXPECT_FALSE(s->hittestOpaque(8, 21));
    EXPECT_TRUE(s->hittestOpaque(9, 21));
    EXPECT_FALSE(s->hittestImage(9, 21, 2));
    EXPECT_TRUE(s->hittestImage(11, 21, 0x80));
    EXPECT_TRUE(s->hittestImage(15, 21, 0xFF));
    EXPECT_FALSE(s->hittestOpaque(16, 21));
    s->release();
    picture->release();
}

TEST(ImageSpriteTest, AnAnimatedSpriteTestsItsFrameOrItsBoundsWithoutOne)
{
    // Two cells of 4 x 2: the first transparent, the second opaque.
    window::ImageWinDX* grid = makePicture(8, 2, [](int x, int) { return x < 4 ? 0x00FFFFFFu : 0xFFFFFFFFu; });
    AnimateSprite* a = new AnimateSprite(grid, 2, 1);
    a->setPosition(0, 0);
    EXPECT_FALSE(a->hittestImage(1, 1));
    a->setFrame(1);
    EXPECT_TRUE(a->hittestImage(1, 1));
    EXPECT_FALSE(a->hittestImage(4, 1));
    a->setFrame(0);
    a->setFrame(-1);
    EXPECT_TRUE(a->hittestImage(1, 1));
    a->release();
    grid->release();
}

TEST(ImageSpriteTest, OpaqueEdgesAreFoundFromEachSide)
{
    // 6 x 5, opaque only at (2..3, 1..3).
    window::ImageWinDX* picture =
        makePicture(6, 5, [](int x, int y) { return x >= 2 && x <= 3 && y >= 1 && y <= 3 ? 0xFF000000u : 0u; });
    ImageSprite* s = new ImageSprite();
    s->setImage(picture);
    s->setPosition(100, 200);
    int x = 102, y = 0;
    EXPECT_TRUE(s->findOpaqueEdge(x, y, 'T', 1));
    EXPECT_EQ(201, y);
    EXPECT_TRUE(s->findOpaqueEdge(x, y, 'B', 1));
    EXPECT_EQ(203, y);
    y = 202;
    EXPECT_TRUE(s->findOpaqueEdge(x, y, 'L', 1));
    EXPECT_EQ(102, x);
    EXPECT_TRUE(s->findOpaqueEdge(x, y, 'R', 1));
    EXPECT_EQ(103, x);
    x = 100;
    EXPECT_FALSE(s->findOpaqueEdge(x, y, 'T', 1));
    EXPECT_FALSE(s->findOpaqueEdge(x, y, 'X', 1));
    EXPECT_EQ(100, x);
    s->release();
    picture->release();
}

class ImageFilesTest : public ::testing::Test {
protected:
    ImageFilesTest() : m_deferral(window::ImageBase::decodeDeferral) {}
    ~ImageFilesTest() override { window::ImageBase::decodeDeferral = m_deferral; }

    std::string png(const std::string& name, int w, int h, const std::function<uint32_t(int, int)>& pixel)
    {
        std::string path = m_dir.file(name);
        EXPECT_TRUE(spritetest::writePng(path, w, h, pixel));
        return path;
    }

    testsupport::TempDir m_dir;
    int m_deferral;
};

TEST_F(ImageFilesTest, HiddenPicturesGiveTheirPixelsBackAndHitTestsReadThemAgain)
{
    window::ImageWinDX* picture = new window::ImageWinDX(lang::String(png("p.png", 4, 2, alphaSteps).c_str()));
    ASSERT_TRUE(picture->hasPixels());
    ImageSprite* s = new ImageSprite();
    s->setImage(picture);
    s->unloadImages();
    EXPECT_FALSE(picture->hasPixels());
    EXPECT_EQ(4, s->width());
    // The test reads the pixels back in.
    EXPECT_TRUE(s->hittestOpaque(3, 1));
    EXPECT_FALSE(s->hittestOpaque(0, 1));
    EXPECT_TRUE(picture->hasPixels());

    s->unloadImages();
    s->loadImages();
    EXPECT_TRUE(picture->hasPixels());

    s->setKeepLoaded(true);
    s->unloadImages();
    EXPECT_TRUE(picture->hasPixels());
    s->setKeepLoaded(false);

    // A pending unload happens at the next tick.
    s->setUnloadPending(true);
    s->tick(1, nullptr, nullptr);
    EXPECT_FALSE(picture->hasPixels());
    EXPECT_FALSE(s->isUnloadPending());
    s->release();
    picture->release();
}

TEST_F(ImageFilesTest, APictureThatCouldNotBeReadAgainKeepsItsPixels)
{
    window::ImageWinDX* made = makePicture(4, 2, alphaSteps);
    ImageSprite* s = new ImageSprite();
    s->setImage(made);
    s->unloadImages();
    EXPECT_TRUE(made->hasPixels());
    EXPECT_TRUE(s->hittestOpaque(3, 1));
    s->release();
    made->release();
}

TEST_F(ImageFilesTest, AMissingPictureMissesEveryPixelTest)
{
    window::ImageWinDX* gone = new window::ImageWinDX(lang::String(m_dir.file("none.png").c_str()));
    ImageSprite* s = new ImageSprite();
    s->setImage(gone);
    s->setSourceRect(util::RectangleNM(0, 0, 4, 4));
    EXPECT_FALSE(s->hittestOpaque(1, 1));
    s->release();
    gone->release();
}

TEST_F(ImageFilesTest, ASecondImageIsTheFirstOnesAlphaMask)
{
    std::string a = png("a.png", 2, 1, [](int, int) { return 0xFF102030u; });
    // Alpha = 255 - blue of the mask.
    std::string m = png("m.png", 2, 1, [](int x, int) { return x == 0 ? 0xFF0000FFu : 0xFF000010u; });
    window::ImageWinDX* picture = new window::ImageWinDX(lang::String(a.c_str()));
    window::ImageWinDX* mask = new window::ImageWinDX(lang::String(m.c_str()));
    lang::ObjectArray* res = images({picture, mask});
    lang::IntArray* p = imageSpriteNumbers({3, 4});

    // Decoded now: a masked copy; the shared picture stays as it was.
    window::ImageBase::decodeDeferral = 0;
    ImageSprite* now = new ImageSprite();
    EXPECT_TRUE(now->configure(res, p));
    ASSERT_NE(nullptr, now->getImage());
    EXPECT_NE(picture, now->getImage());
    EXPECT_EQ(0x00102030u, pixelAt(now->getImage(), 0, 0));
    EXPECT_EQ(0xEF102030u, pixelAt(now->getImage(), 1, 0));
    EXPECT_EQ(0xFF102030u, pixelAt(picture, 0, 0));
    EXPECT_EQ(3, now->left());
    EXPECT_EQ(4, now->top());

    // Decoded later: an image named "a|m" that masks itself when read.
    window::ImageBase::decodeDeferral = 1;
    ImageSprite* later = new ImageSprite();
    EXPECT_TRUE(later->configure(res, p));
    ASSERT_NE(nullptr, later->getImage());
    EXPECT_EQ(a + "|" + m, later->getImage()->getName().c_str());
    window::ImageBase::decodeDeferral = 0;
    EXPECT_FALSE(later->hittestOpaque(3, 4));
    EXPECT_TRUE(later->hittestOpaque(4, 4));

    now->release();
    later->release();
    res->release();
    p->release();
    picture->release();
    mask->release();
}

TEST(ImageSpriteConfigureTest, ADefinitionGivesPictureAndPlaceAndToleratesGaps)
{
    window::ImageWinDX* picture = makePicture(4, 2, distinct);
    lang::ObjectArray* res = images({picture});
    lang::IntArray* p = imageSpriteNumbers({30, 40});
    ImageSprite* s = new ImageSprite();
    EXPECT_TRUE(s->configure(res, p));
    EXPECT_EQ(picture, s->getImage());
    EXPECT_EQ(30, s->left());
    EXPECT_EQ(40, s->top());
    res->release();
    p->release();

    // An empty slot and no numbers: no picture, at 0, 0.
    ImageSprite* empty = new ImageSprite();
    res = images({nullptr, picture});
    EXPECT_TRUE(empty->configure(res, nullptr));
    EXPECT_EQ(nullptr, empty->getImage());
    EXPECT_EQ(0, empty->left());
    res->release();

    empty->release();
    s->release();
    picture->release();
}

TEST(SpriteClassesTest, TheManifestCreatesImageSpritesAsSprite)
{
    struct Named {
        const char* name;
        const char* className;
    };
    const Named classes[] = {{"Sprite", "ImageSprite"},
                             {"BoundsSprite", "BoundsSprite"},
                             {"AnimateSprite", "AnimateSprite"},
                             {"ScalerSprite", "ScalerSprite"},
                             {"ButtonSprite", "ButtonSprite"},
                             {"RectButtonSprite", "RectButtonSprite"}};
    for (const Named& n : classes) {
        lang::Class* c = lang::Class::forName(lang::String(n.name));
        ASSERT_NE(nullptr, c) << n.name;
        lang::Object* o = c->newInstance();
        EXPECT_STREQ(n.className, o->getClassName());
        EXPECT_TRUE(o->isInstanceOf("SpriteBase"));
        o->release();
    }
    EXPECT_EQ(nullptr, lang::Class::forName(lang::String("ImageSprite")));
}

} // namespace
