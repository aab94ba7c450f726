// The PNG reader: every colour type widened to blue, green, red, alpha;
// 16-bit and low bit depths; interlacing; cut data that must not be read
// past its end; chunks claiming more than the data holds; oversized
// pictures; size-only reads; the file form.
#include "tests/support/TempDir.h"
#include "tests/windowing/images/PictureWriters.h"
#include "windowing/images/ImageBase.h"
#include "windowing/images/PngReader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <zlib.h>

#include <cstdlib>
#include <memory>

using namespace testpictures;

namespace {

struct PngRead {
    bool ok = false;
    int width = -1;
    int height = -1;
    bool alpha = false;
    std::vector<uint32_t> pixels;
};

PngRead readPng(const Bytes& bytes, bool alphaBefore = false)
{
    PngRead r;
    r.alpha = alphaBefore;
    uint32_t* pixels = nullptr;
    // An exactly sized heap copy, so that a read past the end is caught.
    std::unique_ptr<unsigned char[]> copy(new unsigned char[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    r.ok = window::readPNG(copy.get(), int(bytes.size()), pixels, r.width, r.height, r.alpha);
    if (pixels) {
        r.pixels.assign(pixels, pixels + size_t(r.width) * size_t(r.height));
        std::free(pixels);
    }
    return r;
}

std::vector<uint32_t> noisePixels(int n, unsigned seed, bool opaque)
{
    Bytes b = noise(size_t(n) * 4, seed);
    std::vector<uint32_t> out;
    for (int i = 0; i < n; ++i) {
        uint32_t p = uint32_t(b[size_t(4 * i)]) << 24 | uint32_t(b[size_t(4 * i + 1)]) << 16 |
                     uint32_t(b[size_t(4 * i + 2)]) << 8 | b[size_t(4 * i + 3)];
        out.push_back(opaque ? (p | 0xFF000000u) : p);
    }
    return out;
}

PngSpec greySpec(int w, int h, int colorType, int bitDepth, const Bytes& samples)
{
    PngSpec s;
    s.width = w;
    s.height = h;
    s.colorType = colorType;
    s.bitDepth = bitDepth;
    int perRow = int(samples.size()) / h;
    for (int y = 0; y < h; ++y)
        s.rows.push_back(Bytes(samples.begin() + y * perRow, samples.begin() + (y + 1) * perRow));
    return s;
}

} // namespace

TEST(PngReaderTest, ColourWithAndWithoutAlpha)
{
    std::vector<uint32_t> rgba = noisePixels(13 * 7, 1, false);
    PngRead a = readPng(pngRGBA(13, 7, rgba));
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.width, 13);
    EXPECT_EQ(a.height, 7);
    EXPECT_TRUE(a.alpha);
    EXPECT_EQ(a.pixels, rgba);

    std::vector<uint32_t> rgb = noisePixels(9 * 5, 2, true);
    PngRead b = readPng(pngRGB(9, 5, rgb), true);
    ASSERT_TRUE(b.ok);
    EXPECT_FALSE(b.alpha);
    EXPECT_EQ(b.pixels, rgb);
}

TEST(PngReaderTest, GreyAndGreyWithAlpha)
{
    Bytes grey = noise(6 * 4, 3);
    PngRead g = readPng(encodePng(greySpec(6, 4, PNG_COLOR_TYPE_GRAY, 8, grey)), true);
    ASSERT_TRUE(g.ok);
    EXPECT_FALSE(g.alpha);
    for (size_t i = 0; i < grey.size(); ++i)
        EXPECT_EQ(g.pixels[i], 0xFF000000u | uint32_t(grey[i]) * 0x010101u);

    Bytes ga = noise(5 * 3 * 2, 4);
    PngRead h = readPng(encodePng(greySpec(5, 3, PNG_COLOR_TYPE_GRAY_ALPHA, 8, ga)));
    ASSERT_TRUE(h.ok);
    EXPECT_TRUE(h.alpha);
    for (size_t i = 0; i < 15; ++i)
        EXPECT_EQ(h.pixels[i], uint32_t(ga[2 * i + 1]) << 24 | uint32_t(ga[2 * i]) * 0x010101u);
}

TEST(PngReaderTest, PalettesExpandWithTheirTransparency)
{
    Bytes palette = makeTable(4, 5);
    PngSpec s;
    s.width = 4;
    s.height = 2;
    s.colorType = PNG_COLOR_TYPE_PALETTE;
    s.bitDepth = 2;
    s.palette = palette;
    // Indices 0 1 2 3 / 3 2 1 0, four per byte, most significant first.
    s.rows = {Bytes{0x1B}, Bytes{0xE4}};
    PngRead plain = readPng(encodePng(s), true);
    ASSERT_TRUE(plain.ok);
    EXPECT_FALSE(plain.alpha);
    std::vector<uint32_t> want = {tableColor(palette, 0), tableColor(palette, 1), tableColor(palette, 2),
                                  tableColor(palette, 3), tableColor(palette, 3), tableColor(palette, 2),
                                  tableColor(palette, 1), tableColor(palette, 0)};
    EXPECT_EQ(plain.pixels, want);

    s.trns = {0, 128}; // entries 2 and 3 stay opaque
    PngRead clear = readPng(encodePng(s));
    ASSERT_TRUE(clear.ok);
    EXPECT_TRUE(clear.alpha);
    want[0] &= 0x00FFFFFFu;
    want[7] &= 0x00FFFFFFu;
    want[1] = (want[1] & 0x00FFFFFFu) | 0x80000000u;
    want[6] = (want[6] & 0x00FFFFFFu) | 0x80000000u;
    EXPECT_EQ(clear.pixels, want);
}

TEST(PngReaderTest, AKeyColourOfGreyAndColourPicturesBecomesTransparent)
{
    // Grey: 8-bit samples 10 20 30, of which 20 is the key.
    PngSpec grey;
    grey.width = 3;
    grey.height = 1;
    grey.colorType = PNG_COLOR_TYPE_GRAY;
    grey.rows = {Bytes{10, 20, 30}};
    grey.trnsGrey = 20;
    PngRead g = readPng(encodePng(grey));
    ASSERT_TRUE(g.ok);
    EXPECT_TRUE(g.alpha);
    EXPECT_EQ((std::vector<uint32_t>{0xFF0A0A0Au, 0x00141414u, 0xFF1E1E1Eu}), g.pixels);

    // Colour: two pixels, the second the key (1, 2, 3); a pixel that differs
    // from the key in one sample only stays opaque.
    PngSpec colour;
    colour.width = 3;
    colour.height = 1;
    colour.colorType = PNG_COLOR_TYPE_RGB;
    colour.rows = {Bytes{1, 2, 4, 1, 2, 3, 200, 100, 50}};
    colour.trnsRed = 1;
    colour.trnsGreen = 2;
    colour.trnsBlue = 3;
    PngRead c = readPng(encodePng(colour));
    ASSERT_TRUE(c.ok);
    EXPECT_TRUE(c.alpha);
    EXPECT_EQ((std::vector<uint32_t>{0xFF010204u, 0x00010203u, 0xFFC86432u}), c.pixels);
}

TEST(PngReaderTest, SixteenBitAndOneBitSamplesBecomeEightBit)
{
    PngSpec s;
    s.width = 2;
    s.height = 1;
    s.colorType = PNG_COLOR_TYPE_RGB;
    s.bitDepth = 16;
    s.rows = {Bytes{0x12, 0xFF, 0x34, 0x00, 0x56, 0x80, 0xAB, 0x01, 0xCD, 0x02, 0xEF, 0x03}};
    PngRead r = readPng(encodePng(s));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.pixels, (std::vector<uint32_t>{0xFF123456u, 0xFFABCDEFu}));

    PngRead bits = readPng(encodePng(greySpec(8, 1, PNG_COLOR_TYPE_GRAY, 1, Bytes{0xA5})));
    ASSERT_TRUE(bits.ok);
    std::vector<uint32_t> want;
    for (int i = 7; i >= 0; --i)
        want.push_back(((0xA5 >> i) & 1) ? 0xFFFFFFFFu : 0xFF000000u);
    EXPECT_EQ(bits.pixels, want);
}

TEST(PngReaderTest, InterlacedPicturesMatchTheirTwins)
{
    std::vector<uint32_t> rgba = noisePixels(17 * 11, 6, false);
    PngRead a = readPng(pngRGBA(17, 11, rgba, true));
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.pixels, rgba);
}

TEST(PngReaderTest, CutAndDamagedDataFailWithoutReadingPastTheEnd)
{
    Bytes good = pngRGBA(20, 20, noisePixels(400, 7, false));
    // The library's own lines go to the debugger output, never to the
    // player's log.
    ::testing::internal::CaptureStderr();
    for (size_t cut : {size_t(8), size_t(20), size_t(40), good.size() / 2, good.size() - 13}) {
        PngRead r = readPng(Bytes(good.begin(), good.begin() + long(cut)));
        EXPECT_FALSE(r.ok) << cut;
        EXPECT_TRUE(r.pixels.empty());
    }
    Bytes damaged = good;
    for (size_t i = 40; i < damaged.size(); i += 7)
        damaged[i] ^= 0x5A;
    EXPECT_FALSE(readPng(damaged).ok);
    EXPECT_EQ("", ::testing::internal::GetCapturedStderr());
    EXPECT_TRUE(window::isPNG(good.data()));
    EXPECT_FALSE(window::isPNG(reinterpret_cast<const unsigned char*>("GIF89a")));
}

// One chunk: length, type, data, then the check value over type and data;
// claimed replaces the length written (the data stays as given).
Bytes chunk(const char* type, const Bytes& data, uint32_t claimed)
{
    Bytes out;
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(claimed >> shift));
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(type[i]));
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(out.data() + 4), uInt(4 + data.size()));
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(crc >> shift));
    return out;
}

// The peak memory of the process so far, in megabytes.
long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

TEST(PngReaderTest, RefusesAChunkLongerThanTheDataBeforeAllocatingIt)
{
    // 44 bytes: a 16384 x 16384 picture whose next chunk, a compressed text,
    // claims 2 GB and holds 3 bytes. Only the check on the claimed length
    // keeps the library from allocating and clearing all of it first.
    Bytes header = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr = chunk("IHDR", {0, 0, 0x40, 0, 0, 0, 0x40, 0, 16, 6, 0, 0, 0}, 13);
    header.insert(header.end(), ihdr.begin(), ihdr.end());
    Bytes damaged = header;
    const Bytes claim = {0x7F, 0xFF, 0xFF, 0xFF, 'z', 'T', 'X', 't', 'a', 'b', 'c'};
    damaged.insert(damaged.end(), claim.begin(), claim.end());
    ASSERT_EQ(damaged.size(), 44u);

    const long before = peakMegabytes();
    EXPECT_FALSE(readPng(damaged).ok);
    window::ImageBase::forceImmediateDecode = false;
    window::ImageBase::decodeDeferral = 1;
    EXPECT_FALSE(readPng(damaged).ok) << "a size-only read meets the chunk too";
    window::ImageBase::decodeDeferral = 0;
    window::ImageBase::forceImmediateDecode = true;
    testsupport::TempDir dir;
    std::string path = dir.write("damaged.png", asString(damaged));
    uint32_t* pixels = nullptr;
    int w = 0, h = 0;
    bool alpha = false;
    EXPECT_FALSE(window::readPNG(reinterpret_cast<const unsigned char*>(path.c_str()), 0, pixels, w, h, alpha));
    EXPECT_EQ(pixels, nullptr);
    EXPECT_LT(peakMegabytes() - before, 256) << "the claimed length was allocated";

    // The end chunk fits exactly (its check value ends the data); claiming
    // one byte more than is left is refused.
    Bytes good = pngRGBA(2, 2, noisePixels(4, 12, false));
    EXPECT_TRUE(readPng(good).ok);
    Bytes over = good;
    ASSERT_EQ(over[over.size() - 9], 0);
    over[over.size() - 9] = 1; // the low byte of the end chunk's length
    EXPECT_FALSE(readPng(over).ok);
}

TEST(PngReaderTest, RefusesPicturesWiderThanTheLimit)
{
    Bytes row((window::ImageBase::kMaxSide + 1 + 7) / 8, 0);
    PngRead r = readPng(encodePng(greySpec(window::ImageBase::kMaxSide + 1, 1, PNG_COLOR_TYPE_GRAY, 1, row)));
    EXPECT_FALSE(r.ok);
    Bytes ok((window::ImageBase::kMaxSide + 7) / 8, 0);
    EXPECT_TRUE(readPng(encodePng(greySpec(window::ImageBase::kMaxSide, 1, PNG_COLOR_TYPE_GRAY, 1, ok))).ok);
}

TEST(PngReaderTest, DeferredReadsGiveOnlyTheSize)
{
    window::ImageBase::forceImmediateDecode = false;
    window::ImageBase::decodeDeferral = 2;
    PngRead r = readPng(pngRGBA(5, 9, noisePixels(45, 8, false)), false);
    window::ImageBase::decodeDeferral = 0;
    window::ImageBase::forceImmediateDecode = true;
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.width, 5);
    EXPECT_EQ(r.height, 9);
    EXPECT_TRUE(r.pixels.empty());
    EXPECT_FALSE(r.alpha); // left alone
}

TEST(PngReaderTest, ReadsAFileWhenTheLengthIsZero)
{
    testsupport::TempDir dir;
    std::vector<uint32_t> rgba = noisePixels(3 * 3, 9, false);
    std::string path = dir.write("p.png", asString(pngRGBA(3, 3, rgba)));
    uint32_t* pixels = nullptr;
    int w = 0, h = 0;
    bool alpha = false;
    ASSERT_TRUE(window::readPNG(reinterpret_cast<const unsigned char*>(path.c_str()), 0, pixels, w, h, alpha));
    EXPECT_EQ(std::vector<uint32_t>(pixels, pixels + 9), rgba);
    std::free(pixels);
    const std::string missing = dir.file("missing.png");
    EXPECT_FALSE(window::readPNG(reinterpret_cast<const unsigned char*>(missing.c_str()), 0, pixels, w, h, alpha));
}
