// Images: archive items and loose files, decoding by signature, failures,
// deferred decoding, "a|b" masks and setMask, blank images, copies, the DIB
// section of the GDI-capable image, and the size limits.
#include "core/lang/ResourceFile.h"
#include "core/lang/String.h"
#include "platform/gdi/GdiObjects.h"
#include "tests/support/TempDir.h"
#include "tests/windowing/images/PictureWriters.h"
#include "tools/archive/ArchiveWriter.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/images/ImageArray.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>
#include <png.h>

#include <unistd.h>

#include <climits>
#include <cstring>

using namespace testpictures;
using lang::String;
using window::ImageBase;
using window::ImageWin32;
using window::ImageWinDX;

namespace {

std::vector<uint32_t> pixelsOf(ImageBase* image)
{
    uint32_t* p = image->getPixels();
    if (!p)
        return {};
    return std::vector<uint32_t>(p, p + size_t(image->getWidth()) * size_t(image->getHeight()));
}

std::vector<uint32_t> rgbaNoise(int n, unsigned seed)
{
    Bytes b = noise(size_t(n) * 4, seed);
    std::vector<uint32_t> out;
    for (int i = 0; i < n; ++i)
        out.push_back(uint32_t(b[size_t(4 * i)]) << 24 | uint32_t(b[size_t(4 * i + 1)]) << 16 |
                      uint32_t(b[size_t(4 * i + 2)]) << 8 | b[size_t(4 * i + 3)]);
    return out;
}

// A grey picture whose blue byte (the mask value) is the given level everywhere.
Bytes greyPng(int w, int h, const Bytes& levels)
{
    PngSpec s;
    s.width = w;
    s.height = h;
    s.colorType = PNG_COLOR_TYPE_GRAY;
    for (int y = 0; y < h; ++y)
        s.rows.push_back(Bytes(levels.begin() + y * w, levels.begin() + (y + 1) * w));
    return encodePng(s);
}

// Pictures in an open archive and in a temporary folder, for one test.
class ImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        picture = rgbaNoise(6 * 4, 1);
        opaque = rgbaNoise(5 * 3, 2);
        for (auto& p : opaque)
            p |= 0xFF000000u;
        tools::ArchiveWriter w;
        w.add("pic", asString(pngRGBA(6, 4, picture)));
        w.add("opaque", asString(pngRGB(5, 3, opaque)));
        w.add("mask", asString(greyPng(2, 2, Bytes{0, 255, 64, 128})));
        w.add("bigmask", asString(greyPng(8, 8, noise(64, 3))));
        w.add("gif", asString(encodeGif(gifSpec())));
        w.add("jpg", asString(encodeJpeg(16, 8, 3, noise(16 * 8 * 3, 4))));
        w.add("cmyk", asString(encodeJpeg(8, 8, 4, noise(8 * 8 * 4, 5))));
        w.add("short", "GIF89a");
        w.add("junk", asString(noise(300, 6)));
        archive = dir.file("pictures.bin");
        ASSERT_TRUE(w.write(archive));
        lang::ResourceFile::open(String(archive.c_str()));
    }
    void TearDown() override
    {
        lang::ResourceFile::closeAll();
        ImageBase::forceImmediateDecode = true;
        ImageBase::decodeDeferral = 0;
    }

    static GifSpec gifSpec()
    {
        GifSpec s;
        s.width = 4;
        s.height = 2;
        s.globalTable = makeTable(4, 7);
        s.graphicControl = true;
        s.transparentFlag = true;
        s.transparentIndex = 2;
        GifFrame f;
        f.width = 4;
        f.height = 2;
        f.indices = {0, 1, 2, 3, 3, 2, 1, 0};
        f.minCodeSize = 2;
        s.frames.push_back(f);
        return s;
    }

    testsupport::TempDir dir;
    std::string archive;
    std::vector<uint32_t> picture;
    std::vector<uint32_t> opaque;
};

} // namespace

TEST_F(ImageTest, ArchiveItemsOfEveryFormat)
{
    ImageWinDX* png = new ImageWinDX(String("+pic"));
    EXPECT_EQ(png->getWidth(), 6);
    EXPECT_TRUE(png->hasPixels());
    EXPECT_TRUE(png->hasAlpha());
    EXPECT_TRUE(png->isModified());
    EXPECT_EQ(pixelsOf(png), picture);
    EXPECT_STREQ(png->getName().c_str(), "+pic");
    png->release();

    ImageWinDX* gif = new ImageWinDX(String("+gif"));
    ASSERT_TRUE(gif->hasPixels());
    EXPECT_TRUE(gif->hasAlpha());
    Bytes table = makeTable(4, 7);
    EXPECT_EQ(pixelsOf(gif)[0], tableColor(table, 0));
    EXPECT_EQ(pixelsOf(gif)[2], 0u);
    gif->release();

    ImageWinDX* jpg = new ImageWinDX(String("+jpg"));
    ASSERT_TRUE(jpg->hasPixels());
    EXPECT_FALSE(jpg->hasAlpha());
    EXPECT_EQ(jpg->getWidth(), 16);
    EXPECT_EQ(pixelsOf(jpg)[5] >> 24, 0xFFu);
    jpg->release();
}

TEST_F(ImageTest, LooseFilesByPathAndInTheCurrentDirectory)
{
    std::string path = dir.write("opaque.png", asString(pngRGB(5, 3, opaque)));
    ImageWinDX* a = new ImageWinDX(String(path.c_str()));
    EXPECT_EQ(pixelsOf(a), opaque);
    EXPECT_FALSE(a->hasAlpha());
    a->release();

    // "logo" names the file of that name in the current directory.
    dir.write("logo", asString(pngRGBA(6, 4, picture)));
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    ImageWinDX* logo = new ImageWinDX(String("logo"));
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_EQ(pixelsOf(logo), picture);
    logo->release();

    // A file larger than the first read buffer is read whole.
    std::vector<uint32_t> big = rgbaNoise(120 * 90, 8);
    std::string bigPath = dir.write("big.png", asString(pngRGBA(120, 90, big)));
    ASSERT_GT(std::filesystem::file_size(bigPath), 8192u * 4);
    ImageWinDX* b = new ImageWinDX(String(bigPath.c_str()));
    EXPECT_EQ(pixelsOf(b), big);
    b->release();
}

TEST_F(ImageTest, MissingAndUndecodableNamesFailAndAreNotRetried)
{
    const std::string missing = dir.file("missing.png");
    for (const char* name : {"+nothing", missing.c_str(), "+junk", "+cmyk"}) {
        ImageWinDX* image = new ImageWinDX(String(name));
        EXPECT_FALSE(image->hasPixels()) << name;
        EXPECT_TRUE(image->isLoadFailed()) << name;
        image->release();
    }
    // The file appears later: the failure stands until the pixels are freed.
    std::string path = dir.file("late.png");
    ImageWinDX* late = new ImageWinDX(String(path.c_str()));
    EXPECT_TRUE(late->isLoadFailed());
    dir.write("late.png", asString(pngRGB(5, 3, opaque)));
    EXPECT_EQ(late->getPixels(), nullptr);
    late->freePixels();
    EXPECT_FALSE(late->isLoadFailed());
    EXPECT_EQ(pixelsOf(late), opaque);
    late->release();

    // Without an archive, items cannot be found.
    lang::ResourceFile::closeAll();
    ImageWinDX* item = new ImageWinDX(String("+pic"));
    EXPECT_TRUE(item->isLoadFailed());
    item->release();
}

TEST_F(ImageTest, TooShortDataIsIgnoredWithoutFailing)
{
    ImageWinDX* image = new ImageWinDX(String("+short"));
    EXPECT_FALSE(image->hasPixels());
    EXPECT_FALSE(image->isLoadFailed());
    image->release();
    ImageWinDX* bytes = new ImageWinDX(reinterpret_cast<const unsigned char*>("GIF89a"), 6);
    EXPECT_FALSE(bytes->hasPixels());
    EXPECT_FALSE(bytes->isLoadFailed());
    bytes->release();
}

TEST_F(ImageTest, DecodingFromBytesKeepsNoName)
{
    Bytes png = pngRGBA(6, 4, picture);
    ImageWinDX* image = new ImageWinDX(png.data(), int(png.size()));
    EXPECT_EQ(pixelsOf(image), picture);
    EXPECT_TRUE(image->getName().isEmpty());
    image->freePixels();
    EXPECT_EQ(image->getWidth(), 0); // unnamed: nothing to load again
    EXPECT_EQ(image->getHeight(), 0);
    EXPECT_EQ(image->getPixels(), nullptr);
    image->release();
}

TEST_F(ImageTest, FreedNamedImagesKeepTheirSizeAndLoadAgain)
{
    ImageWinDX* image = new ImageWinDX(String("+pic"));
    image->freePixels();
    EXPECT_FALSE(image->hasPixels());
    EXPECT_FALSE(image->hasAlpha());
    EXPECT_EQ(image->getWidth(), 6);
    EXPECT_EQ(image->getHeight(), 4);
    EXPECT_EQ(pixelsOf(image), picture);
    image->release();
}

TEST_F(ImageTest, DeferredDecodingReadsTheSizeFirst)
{
    ImageBase::forceImmediateDecode = false;
    ImageBase::decodeDeferral = 1;
    for (const char* name : {"+pic", "+gif", "+jpg"}) {
        ImageWinDX* image = new ImageWinDX(String(name));
        EXPECT_FALSE(image->hasPixels()) << name;
        EXPECT_FALSE(image->isLoadFailed()) << name;
        EXPECT_GT(image->getWidth(), 0) << name;
        // A load while still deferred gives only the size again.
        EXPECT_EQ(image->getPixels(), nullptr) << name;
        ImageBase::decodeDeferral = 0;
        EXPECT_NE(image->getPixels(), nullptr) << name;
        ImageBase::decodeDeferral = 1;
        image->release();
    }
    // The forced form decodes at once whatever the deferral.
    ImageWinDX* splash = new ImageWinDX(String("+pic"), true);
    EXPECT_TRUE(splash->hasPixels());
    EXPECT_FALSE(ImageBase::forceImmediateDecode);
    splash->release();
    // A missing item fails at once even while deferred.
    ImageWinDX* missing = new ImageWinDX(String("+nothing"));
    EXPECT_TRUE(missing->isLoadFailed());
    missing->release();
    // Undecodable data is not a failure while deferred; it is once decoded.
    ImageWinDX* junk = new ImageWinDX(String("+junk"));
    EXPECT_FALSE(junk->isLoadFailed());
    ImageBase::forceImmediateDecode = true;
    junk->load();
    EXPECT_TRUE(junk->isLoadFailed());
    junk->release();
}

TEST_F(ImageTest, MaskNamesTileTheMaskAndCutItAtTheEdges)
{
    ImageWinDX* image = new ImageWinDX(String("+pic|+mask"));
    ASSERT_TRUE(image->hasPixels());
    EXPECT_TRUE(image->hasAlpha());
    const uint8_t levels[4] = {0, 255, 64, 128};
    std::vector<uint32_t> px = pixelsOf(image);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            uint32_t alpha = 255u - levels[(y % 2) * 2 + (x % 2)];
            uint32_t want = (picture[size_t(y * 6 + x)] & 0x00FFFFFFu) | (alpha << 24);
            EXPECT_EQ(px[size_t(y * 6 + x)], want) << x << "," << y;
        }
    image->release();

    ImageWinDX* big = new ImageWinDX(String("+opaque|+bigmask"));
    Bytes bigLevels = noise(64, 3);
    px = pixelsOf(big);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(px[size_t(y * 5 + x)] >> 24, 255u - bigLevels[size_t(y * 8 + x)]);
    big->release();

    // "a|b|c": the picture a, masked by the image "b|c".
    ImageWinDX* chain = new ImageWinDX(String("+pic|+mask|+bigmask"));
    EXPECT_EQ(pixelsOf(chain)[1] >> 24, 0u); // mask level 255 at (1, 0)
    EXPECT_STREQ(chain->getName().c_str(), "+pic|+mask|+bigmask");
    chain->release();
}

TEST_F(ImageTest, EmptyMasksLeaveThePictureAlone)
{
    ImageWinDX* image = new ImageWinDX(String("+opaque"));
    image->setModified(false);
    ImageWinDX* none = new ImageWinDX(String("+nothing"));
    image->applyMask(none);
    ImageWinDX* blank = new ImageWinDX(0, 0, 1, false);
    image->applyMask(blank);
    image->applyMask(nullptr);
    EXPECT_EQ(pixelsOf(image), opaque);
    EXPECT_FALSE(image->isModified());
    EXPECT_FALSE(image->hasAlpha());
    // A missing mask in a name loads the picture unmasked.
    ImageWinDX* named = new ImageWinDX(String("+opaque|+nothing"));
    EXPECT_EQ(pixelsOf(named), opaque);
    named->release();
    none->release();
    blank->release();
    image->release();
}

TEST_F(ImageTest, SetMaskRecordsTheMaskInTheName)
{
    ImageWinDX* image = new ImageWinDX(String("+pic"));
    ImageWinDX* mask = new ImageWinDX(String("+mask"));
    image->setMask(mask);
    EXPECT_STREQ(image->getName().c_str(), "+pic|+mask");
    EXPECT_EQ(pixelsOf(image)[1] >> 24, 0u);
    // Freed and reloaded, the picture comes back masked.
    image->freePixels();
    EXPECT_EQ(pixelsOf(image)[1] >> 24, 0u);
    // Another mask replaces the first in the name.
    ImageWinDX* other = new ImageWinDX(String("+bigmask"));
    image->setMask(other);
    EXPECT_STREQ(image->getName().c_str(), "+pic|+bigmask");
    // A mask without a name changes the pixels but not the name.
    ImageWinDX* unnamed = new ImageWinDX(2, 2, 1, false);
    image->setMask(unnamed);
    EXPECT_STREQ(image->getName().c_str(), "+pic|+bigmask");
    EXPECT_EQ(pixelsOf(image)[0] >> 24, 255u);
    unnamed->release();
    other->release();
    mask->release();
    image->release();
}

TEST_F(ImageTest, BlankImagesAndTheirLimits)
{
    ImageWinDX* image = new ImageWinDX(7, 5, 1, false);
    EXPECT_EQ(image->getPitch(), 28);
    EXPECT_EQ(pixelsOf(image), std::vector<uint32_t>(35, 0u));
    EXPECT_TRUE(image->isModified());
    image->release();

    EXPECT_TRUE(ImageBase::isAcceptedSize(16384, 16384));
    EXPECT_FALSE(ImageBase::isAcceptedSize(16385, 1));
    EXPECT_FALSE(ImageBase::isAcceptedSize(1, 16385));
    EXPECT_FALSE(ImageBase::isAcceptedSize(0, 5));
    EXPECT_FALSE(ImageBase::isAcceptedSize(-3, 5));
    EXPECT_FALSE(ImageBase::isAcceptedSize(INT_MAX, INT_MAX));
    ImageWinDX* huge = new ImageWinDX(70000, 70000, 1, false); // 2^34 bytes: refused, not wrapped
    EXPECT_FALSE(huge->hasPixels());
    EXPECT_TRUE(huge->isLoadFailed());
    huge->release();
    // A Direct3D image keeps no surface.
    ImageWinDX* noBuffer = new ImageWinDX(4, 4, 1, true);
    EXPECT_FALSE(noBuffer->hasPixels());
    EXPECT_FALSE(noBuffer->hasSurface());
    noBuffer->release();
}

TEST_F(ImageTest, CopiesHoldTheSamePixelsAndName)
{
    ImageWinDX* image = new ImageWinDX(String("+pic"));
    ImageWinDX* copy = image->clone();
    EXPECT_EQ(pixelsOf(copy), picture);
    EXPECT_NE(copy->getPixels(), image->getPixels());
    EXPECT_TRUE(copy->hasAlpha());
    EXPECT_STREQ(copy->getName().c_str(), "+pic");
    copy->release();

    // The source is loaded for the copy when it is deferred.
    ImageBase::forceImmediateDecode = false;
    ImageBase::decodeDeferral = 1;
    ImageWinDX* deferred = new ImageWinDX(String("+opaque"));
    ImageBase::decodeDeferral = 0;
    ImageWinDX* second = deferred->clone();
    EXPECT_EQ(pixelsOf(second), opaque);
    second->release();
    deferred->release();

    // A copy of nothing has no pixels.
    ImageWinDX* missing = new ImageWinDX(String("+nothing"));
    ImageWinDX* third = missing->clone();
    EXPECT_FALSE(third->hasPixels());
    third->release();
    missing->release();
    image->release();
}

TEST_F(ImageTest, DibSectionsHoldThePixelsForGdi)
{
    ImageWin32* image = new ImageWin32(String("+pic"));
    ASSERT_TRUE(image->hasPixels());
    EXPECT_FALSE(image->hasSurface());
    image->createSurface();
    ASSERT_TRUE(image->hasSurface());
    EXPECT_EQ(pixelsOf(image), picture); // moved into the section intact
    BITMAP bm;
    ASSERT_NE(GetObjectA(image->getBitmap(), sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmBits, image->getPixels());
    image->syncSize();
    EXPECT_EQ(image->getWidth(), 6);
    EXPECT_EQ(image->getHeight(), 4);

    window::CDCWin32* dc = image->getDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(image->getDC(), dc);
    EXPECT_EQ(GetCurrentObject(dc->getDC(), OBJ_BITMAP), image->getBitmap());
    EXPECT_EQ(image->selectInto(nullptr), dc);

    ImageWin32* copy = image->clone();
    EXPECT_TRUE(copy->hasSurface());
    EXPECT_EQ(pixelsOf(copy), picture);
    copy->release();

    image->freePixels();
    EXPECT_FALSE(image->hasSurface());
    EXPECT_EQ(pixelsOf(image), picture); // loaded again from the name
    image->release();

    // A blank image made with a section, and a context selected elsewhere.
    ImageWin32* blank = new ImageWin32(3, 2, 1, true);
    EXPECT_TRUE(blank->hasSurface());
    EXPECT_EQ(pixelsOf(blank), std::vector<uint32_t>(6, 0u));
    blank->release();
    ImageWin32* other = new ImageWin32(String("+opaque"));
    window::CDCWin32* scratch = new window::CDCWin32(CreateCompatibleDC(nullptr));
    EXPECT_EQ(other->selectInto(scratch), scratch);
    EXPECT_EQ(GetCurrentObject(scratch->getDC(), OBJ_BITMAP), other->getBitmap());
    // Put the context's own placeholder bitmap back before it goes.
    SelectObject(scratch->getDC(), CreateCompatibleBitmap(nullptr, 0, 0));
    scratch->release();
    other->release();
}

TEST(ImageClassTest, ClassNamesAlongTheChain)
{
    ImageWinDX* image = new ImageWinDX(1, 1, 1, false);
    EXPECT_TRUE(image->isInstanceOf("ImageBase"));
    EXPECT_TRUE(image->isInstanceOf("ImageWin32"));
    EXPECT_TRUE(image->isInstanceOf("ImageWinDX"));
    EXPECT_STREQ(image->getClassName(), "ImageWinDX");
    window::Graphics* g = image->getGraphics();
    ASSERT_NE(g, nullptr) << "an image hands out a graphics that draws into its pixels";
    g->release();
    image->release();
    window::ImageArray* list = new window::ImageArray();
    EXPECT_TRUE(list->isInstanceOf("ImageArray"));
    EXPECT_TRUE(list->isInstanceOf("ObjectArray"));
    EXPECT_STREQ(list->getClassName(), "ImageArray");
    list->release();
}
