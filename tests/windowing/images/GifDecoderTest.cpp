// The GIF reader: versions, colour tables, transparency, interlacing, code
// sizes, several frames, frames that do not match the screen, cut and
// hostile data, and deferred decoding.
#include "tests/support/TempDir.h"
#include "tests/windowing/images/PictureWriters.h"
#include "windowing/images/GifDecoder.h"
#include "windowing/images/ImageBase.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testpictures;
using window::GifDecoder;
using window::ImageBase;

namespace {

struct Decoded {
    int result = -1;
    int width = -1;
    int height = -1;
    bool alpha = false;
    std::vector<uint32_t> pixels;
    int delay = 0;
    bool looping = false;
};

Decoded decodeGif(const Bytes& bytes)
{
    Decoded d;
    uint32_t* pixels = nullptr;
    GifDecoder decoder;
    d.result = decoder.readGIF(bytes.data(), int(bytes.size()), d.width, d.height, pixels, d.alpha);
    if (pixels) {
        d.pixels.assign(pixels, pixels + size_t(d.width) * size_t(d.height));
        std::free(pixels);
    }
    d.delay = decoder.getDelay();
    d.looping = decoder.isLooping();
    return d;
}

// The pixels a frame covering the whole screen should give.
std::vector<uint32_t> expected(const Bytes& table, const Bytes& indices)
{
    std::vector<uint32_t> out;
    for (uint8_t i : indices)
        out.push_back(size_t(i) * 3 < table.size() ? tableColor(table, i) : 0xFF000000u);
    return out;
}

// Appends bytes one by one (the range insert trips a false warning of GCC 12).
void add(Bytes& out, const Bytes& more)
{
    for (uint8_t b : more)
        out.push_back(b);
}

GifSpec simpleGif(int w, int h, const Bytes& table, const Bytes& indices, int minCodeSize = 8)
{
    GifSpec s;
    s.width = w;
    s.height = h;
    s.globalTable = table;
    GifFrame f;
    f.width = w;
    f.height = h;
    f.indices = indices;
    f.minCodeSize = minCodeSize;
    s.frames.push_back(f);
    return s;
}

} // namespace

TEST(GifDecoderTest, DecodesBothVersionsWithTheGlobalTable)
{
    const Bytes table = makeTable(256, 1);
    const Bytes indices = noise(37 * 23, 2);
    for (const char* version : {"87a", "89a"}) {
        GifSpec s = simpleGif(37, 23, table, indices);
        s.version = version;
        Decoded d = decodeGif(encodeGif(s));
        ASSERT_EQ(d.result, 1) << version;
        EXPECT_EQ(d.width, 37);
        EXPECT_EQ(d.height, 23);
        EXPECT_FALSE(d.alpha);
        EXPECT_EQ(d.pixels, expected(table, indices)) << version;
    }
}

TEST(GifDecoderTest, RefusesOtherSignaturesAndShortHeaders)
{
    const Bytes table = makeTable(4, 3);
    Bytes good = encodeGif(simpleGif(4, 4, table, noise(16, 4, 4), 2));
    Bytes bad = good;
    bad[4] = '8'; // "GIF88a"
    EXPECT_EQ(decodeGif(bad).result, 0);
    Bytes notGif = good;
    notGif[0] = 'J';
    EXPECT_EQ(decodeGif(notGif).result, 0);
    // Cut inside the screen descriptor, then inside the global table.
    EXPECT_EQ(decodeGif(Bytes(good.begin(), good.begin() + 10)).result, 0);
    EXPECT_EQ(decodeGif(Bytes(good.begin(), good.begin() + 15)).result, 0);
    // Header complete but nothing after it.
    EXPECT_EQ(decodeGif(Bytes(good.begin(), good.begin() + 13 + 12)).result, 0);
}

TEST(GifDecoderTest, OddCodeSizesAndFullTablesDecodeExactly)
{
    // Noise fills the 4096-entry table many times over (clear codes), and
    // every minimum code size from 1 to 11 changes where codes widen.
    for (int m : {1, 2, 3, 5, 7, 8, 11}) {
        int colours = m >= 8 ? 256 : (1 << m);
        int entries = colours < 2 ? 2 : colours;
        const Bytes table = makeTable(entries, unsigned(m));
        const Bytes indices = noise(211 * 97, unsigned(100 + m), colours);
        Decoded d = decodeGif(encodeGif(simpleGif(211, 97, table, indices, m)));
        ASSERT_EQ(d.result, 1) << "m=" << m;
        EXPECT_EQ(d.pixels, expected(table, indices)) << "m=" << m;
    }
    // Long runs: strings grow long before the table fills.
    const Bytes table = makeTable(4, 9);
    Bytes runs(300 * 200, 1);
    for (size_t i = 0; i < runs.size(); i += 977)
        runs[i] = 2;
    Decoded d = decodeGif(encodeGif(simpleGif(300, 200, table, runs, 2)));
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(d.pixels, expected(table, runs));
}

TEST(GifDecoderTest, MinimumCodeSizeOneWidensRightAfterTheFirstCode)
{
    // Worked by hand as an encoder writes it: with minimum code size 1 the
    // clear code is 2, the end code 3 and the first free code 4, which
    // already needs 3 bits; so only the first code after a clear is read
    // with 2 bits, the rest with 3 until the table reaches 8 entries.
    //   clear 2 | 0 -> 0 | 1 -> 1, adds 4 = 0 1 | 4 -> 0 1, adds 5 = 1 0 |
    //   6 (not yet in the table) -> 0 1 0, adds 6 | 1 -> 1, adds 7, now 4 bits |
    //   clear 2 (4 bits) | 1 -> 1 (2 bits) | 0 -> 0, adds 4 = 1 0 | 4 -> 1 0 | end 3
    const std::vector<std::pair<int, int>> codes = {{2, 2}, {0, 2}, {1, 3}, {4, 3}, {6, 3}, {1, 3},
                                                    {2, 4}, {1, 2}, {0, 3}, {4, 3}, {3, 3}};
    const Bytes table = makeTable(2, 30);
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 12, 0, 1, 0, 0x80, 0, 0};
    add(gif, table);
    add(gif, Bytes{0x2C, 0, 0, 0, 0, 12, 0, 1, 0, 0, 1});
    add(gif, packCodes(codes));
    gif.push_back(0x3B);
    Decoded d = decodeGif(gif);
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(d.pixels, expected(table, Bytes{0, 1, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0}));
}

TEST(GifDecoderTest, RefusesMinimumCodeSizesOutsideOneToEleven)
{
    const Bytes table = makeTable(4, 5);
    for (int m : {0, 12, 200}) {
        GifSpec s = simpleGif(4, 2, table, noise(8, 6, 2), 2);
        Bytes bytes = encodeGif(s);
        // The code size byte follows the 13-byte header, the table and the
        // 10-byte image descriptor.
        size_t at = 13 + table.size() + 10;
        ASSERT_EQ(bytes[at], 2);
        bytes[at] = uint8_t(m);
        Decoded d = decodeGif(bytes);
        EXPECT_EQ(d.result, 0) << "m=" << m;
        EXPECT_TRUE(d.pixels.empty());
    }
}

TEST(GifDecoderTest, InterlacedMatchesItsTwinAtEveryHeight)
{
    const Bytes table = makeTable(16, 7);
    for (int h = 1; h <= 17; ++h) {
        const Bytes indices = noise(size_t(5 * h), unsigned(h), 16);
        GifSpec plain = simpleGif(5, h, table, indices, 4);
        GifSpec interlaced = plain;
        interlaced.frames[0].interlaced = true;
        Decoded a = decodeGif(encodeGif(plain));
        Decoded b = decodeGif(encodeGif(interlaced));
        ASSERT_EQ(b.result, 1) << "h=" << h;
        EXPECT_EQ(a.pixels, b.pixels) << "h=" << h;
        EXPECT_EQ(b.pixels, expected(table, indices)) << "h=" << h;
    }
}

TEST(GifDecoderTest, TransparencyFollowsTheControlFlag)
{
    Bytes table = makeTable(8, 8);
    const Bytes indices = noise(6 * 6, 9, 8);
    GifSpec s = simpleGif(6, 6, table, indices, 3);
    s.graphicControl = true;
    s.transparentIndex = 3;
    s.delay = 25;
    s.transparentFlag = true;
    Decoded on = decodeGif(encodeGif(s));
    ASSERT_EQ(on.result, 1);
    EXPECT_TRUE(on.alpha);
    EXPECT_EQ(on.delay, 25);
    std::vector<uint32_t> want = expected(table, indices);
    for (size_t i = 0; i < indices.size(); ++i)
        if (indices[i] == 3)
            want[i] = 0; // transparent black, whatever the table holds
    EXPECT_EQ(on.pixels, want);

    s.transparentFlag = false;
    Decoded off = decodeGif(encodeGif(s));
    ASSERT_EQ(off.result, 1);
    EXPECT_FALSE(off.alpha);
    EXPECT_EQ(off.pixels, expected(table, indices));
}

TEST(GifDecoderTest, ReadsTheLoopingBlockAndOnlyTheFirstFrame)
{
    const Bytes table = makeTable(4, 10);
    GifSpec s = simpleGif(3, 3, table, Bytes(9, 1), 2);
    s.looping = true;
    GifFrame second = s.frames[0];
    second.indices = Bytes(9, 2);
    s.frames.push_back(second);
    Decoded d = decodeGif(encodeGif(s));
    ASSERT_EQ(d.result, 1);
    EXPECT_TRUE(d.looping);
    EXPECT_EQ(d.pixels, std::vector<uint32_t>(9, tableColor(table, 1)));
}

TEST(GifDecoderTest, LocalTableWinsAndMissingEntriesAreOpaqueBlack)
{
    const Bytes global = makeTable(4, 11);
    const Bytes local = makeTable(4, 12);
    GifSpec s = simpleGif(4, 2, global, Bytes{0, 1, 2, 3, 4, 5, 6, 7}, 3);
    s.frames[0].localTable = local;
    Decoded d = decodeGif(encodeGif(s));
    ASSERT_EQ(d.result, 1);
    std::vector<uint32_t> want = {tableColor(local, 0), tableColor(local, 1), tableColor(local, 2),
                                  tableColor(local, 3), 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u};
    EXPECT_EQ(d.pixels, want);

    // Only a local table.
    s.globalTable.clear();
    EXPECT_EQ(decodeGif(encodeGif(s)).pixels, want);
    // No table at all.
    s.frames[0].localTable.clear();
    EXPECT_EQ(decodeGif(encodeGif(s)).result, 0);
}

TEST(GifDecoderTest, BlocksBeforeTheImage)
{
    const Bytes table = makeTable(4, 13);
    Bytes good = encodeGif(simpleGif(2, 2, table, Bytes{0, 1, 2, 3}, 2));
    size_t imageAt = 13 + table.size();
    // Padding zero bytes before the descriptor are skipped.
    Bytes padded = good;
    padded.insert(padded.begin() + long(imageAt), {0, 0, 0});
    EXPECT_EQ(decodeGif(padded).result, 1);
    // A trailer, an unknown block or the end of the data before any image.
    for (uint8_t block : {uint8_t(0x3B), uint8_t(0x99)}) {
        Bytes early = good;
        early.insert(early.begin() + long(imageAt), block);
        EXPECT_EQ(decodeGif(early).result, 0);
    }
    EXPECT_EQ(decodeGif(Bytes(good.begin(), good.begin() + long(imageAt))).result, 0);
    // An extension cut in the middle.
    Bytes cut(good.begin(), good.begin() + long(imageAt));
    cut.insert(cut.end(), {0x21, 0xFE, 10, 'a', 'b'});
    EXPECT_EQ(decodeGif(cut).result, 0);
}

TEST(GifDecoderTest, CutDataKeepsWhatWasDecoded)
{
    const Bytes table = makeTable(16, 14);
    Bytes indices = noise(40 * 30, 15, 16);
    Bytes full = encodeGif(simpleGif(40, 30, table, indices, 4));
    // Keep the header, table, descriptor, code size and the first sub-block
    // only (no end code, no terminator).
    size_t dataAt = 13 + table.size() + 10 + 1;
    Bytes cut(full.begin(), full.begin() + long(dataAt + 1 + 60));
    Decoded d = decodeGif(cut);
    ASSERT_EQ(d.result, 1);
    Decoded whole = decodeGif(full);
    ASSERT_EQ(whole.pixels, expected(table, indices));
    // A prefix matches, and the rest shows the background index 0.
    size_t same = 0;
    while (same < d.pixels.size() && d.pixels[same] == whole.pixels[same])
        ++same;
    EXPECT_GT(same, 40u);
    EXPECT_LT(same, d.pixels.size());
    for (size_t i = same + 8; i < d.pixels.size(); ++i)
        ASSERT_EQ(d.pixels[i], tableColor(table, 0)) << i;
}

TEST(GifDecoderTest, ScreenOutsideASmallFrameShowsBackgroundOrTransparent)
{
    const Bytes table = makeTable(8, 16);
    GifSpec s;
    s.width = 6;
    s.height = 5;
    s.globalTable = table;
    s.background = 5;
    GifFrame f;
    f.left = 2;
    f.top = 1;
    f.width = 3;
    f.height = 2;
    f.indices = {1, 2, 3, 4, 6, 7};
    f.minCodeSize = 3;
    s.frames.push_back(f);

    auto check = [&](uint32_t fill) {
        Decoded d = decodeGif(encodeGif(s));
        ASSERT_EQ(d.result, 1);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                uint32_t want = fill;
                if (x >= 2 && x < 5 && y >= 1 && y < 3)
                    want = tableColor(table, f.indices[size_t((y - 1) * 3 + (x - 2))]);
                EXPECT_EQ(d.pixels[size_t(y * 6 + x)], want) << x << "," << y;
            }
    };
    check(tableColor(table, 5));
    s.graphicControl = true;
    s.transparentFlag = true;
    s.transparentIndex = 0;
    check(0);
}

TEST(GifDecoderTest, FramesBeyondTheScreenAreClipped)
{
    const Bytes table = makeTable(16, 17);
    GifSpec s;
    s.width = 10;
    s.height = 8;
    s.globalTable = table;
    GifFrame f;
    f.left = 6;
    f.top = 5;
    f.width = 9;
    f.height = 7;
    f.indices = noise(63, 18, 16);
    f.minCodeSize = 4;
    s.frames.push_back(f);
    for (bool interlaced : {false, true}) {
        s.frames[0].interlaced = interlaced;
        Decoded d = decodeGif(encodeGif(s));
        ASSERT_EQ(d.result, 1);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                uint32_t want = tableColor(table, 0);
                if (x >= 6 && y >= 5)
                    want = tableColor(table, f.indices[size_t((y - 5) * 9 + (x - 6))]);
                EXPECT_EQ(d.pixels[size_t(y * 10 + x)], want) << x << "," << y << " interlaced " << interlaced;
            }
    }
    // A frame placed wholly outside changes nothing.
    s.frames[0].left = 500;
    s.frames[0].interlaced = false;
    Decoded outside = decodeGif(encodeGif(s));
    ASSERT_EQ(outside.result, 1);
    EXPECT_EQ(outside.pixels, std::vector<uint32_t>(80, tableColor(table, 0)));
}

TEST(GifDecoderTest, OutputBeyondTheFrameIsDiscarded)
{
    const Bytes table = makeTable(4, 19);
    GifSpec s = simpleGif(4, 4, table, Bytes(16, 0), 2);
    Bytes more = noise(400, 20, 4); // far more indices than the 16 pixels
    Bytes bytes = encodeGif(s);
    size_t dataAt = 13 + table.size() + 10 + 1;
    Bytes lzw = encodeLzw(more, 2);
    Bytes hostile(bytes.begin(), bytes.begin() + long(dataAt));
    hostile.insert(hostile.end(), lzw.begin(), lzw.end());
    hostile.push_back(0x3B);
    Decoded d = decodeGif(hostile);
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(d.pixels, expected(table, Bytes(more.begin(), more.begin() + 16)));
}

TEST(GifDecoderTest, LongestStringsDoNotOverflow)
{
    // Every code after the first is the next free code, so each string is
    // one longer than the one before, up to the full table: about 4,000
    // characters per string. The frame is huge, the screen one pixel.
    const int m = 1;
    std::vector<std::pair<int, int>> codes;
    int size = m + 1;
    int mask = (1 << size) - 1;
    int next = (1 << m) + 2;
    codes.push_back({1 << m, size}); // clear
    codes.push_back({0, size});
    if (next > mask) {
        ++size;
        mask = mask * 2 + 1;
    }
    while (next < 4096) {
        codes.push_back({next, size});
        ++next;
        if (next > mask && size < 12) {
            ++size;
            mask = mask * 2 + 1;
        }
    }
    codes.push_back({(1 << m) + 1, size}); // end
    Bytes table = makeTable(2, 21);
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0};
    add(gif, table);
    add(gif, Bytes{0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, uint8_t(m)});
    add(gif, packCodes(codes));
    gif.push_back(0x3B);
    Decoded d = decodeGif(gif);
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(d.pixels, std::vector<uint32_t>{tableColor(table, 0)});
}

TEST(GifDecoderTest, RootCodesAboveTheTableKeepTheirLowByte)
{
    // With a minimum code size of 9 the roots run to 511; a root of 300
    // shows index 300 & 255 = 44, also inside longer strings.
    const Bytes table = makeTable(256, 27);
    auto gifOf = [&](int width, const std::vector<std::pair<int, int>>& codes) {
        Bytes gif = {'G', 'I', 'F', '8', '9', 'a', uint8_t(width), 0, 1, 0, 0xF7, 0, 0};
        add(gif, table);
        add(gif, Bytes{0x2C, 0, 0, 0, 0, uint8_t(width), 0, 1, 0, 0, 9});
        add(gif, packCodes(codes));
        return gif;
    };
    Decoded a = decodeGif(gifOf(4, {{512, 10}, {300, 10}, {257, 10}, {514, 10}, {513, 10}}));
    ASSERT_EQ(a.result, 1);
    EXPECT_EQ(a.pixels, expected(table, Bytes{44, 1, 44, 1}));
    // The code not yet in the table, after such a root.
    Decoded b = decodeGif(gifOf(3, {{512, 10}, {300, 10}, {514, 10}, {513, 10}}));
    ASSERT_EQ(b.result, 1);
    EXPECT_EQ(b.pixels, expected(table, Bytes{44, 44, 44}));
}

TEST(GifDecoderTest, RefusesEmptyAndOversizedScreens)
{
    const Bytes table = makeTable(2, 22);
    GifSpec s = simpleGif(1, 1, table, Bytes{0}, 2);
    s.width = 20000;
    EXPECT_EQ(decodeGif(encodeGif(s)).result, 0);
    s.width = 0;
    EXPECT_EQ(decodeGif(encodeGif(s)).result, 0);
}

TEST(GifDecoderTest, DeferredDecodingReadsOnlyTheSize)
{
    const Bytes table = makeTable(4, 23);
    Bytes bytes = encodeGif(simpleGif(7, 3, table, noise(21, 24, 4), 2));
    ImageBase::forceImmediateDecode = false;
    ImageBase::decodeDeferral = 1;
    Decoded d = decodeGif(bytes);
    ImageBase::decodeDeferral = 0;
    ImageBase::forceImmediateDecode = true;
    EXPECT_EQ(d.result, 2);
    EXPECT_EQ(d.width, 7);
    EXPECT_EQ(d.height, 3);
    EXPECT_TRUE(d.pixels.empty());
}

TEST(GifDecoderTest, ReadsAFileWhenTheLengthIsZero)
{
    const Bytes table = makeTable(4, 25);
    const Bytes indices = noise(12, 26, 4);
    Bytes bytes = encodeGif(simpleGif(4, 3, table, indices, 2));
    testsupport::TempDir dir;
    std::string path = dir.write("file.gif", asString(bytes));
    Decoded d;
    uint32_t* pixels = nullptr;
    GifDecoder decoder;
    d.result = decoder.readGIF(reinterpret_cast<const unsigned char*>(path.c_str()), 0, d.width, d.height, pixels,
                               d.alpha);
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(std::vector<uint32_t>(pixels, pixels + 12), expected(table, indices));
    std::free(pixels);

    GifDecoder missing;
    const std::string missingFile = dir.file("missing.gif");
    EXPECT_EQ(missing.readGIF(reinterpret_cast<const unsigned char*>(missingFile.c_str()), 0, d.width, d.height,
                              pixels, d.alpha),
              0);
}
