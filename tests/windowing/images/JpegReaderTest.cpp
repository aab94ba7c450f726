// The JPEG reader: colour and grey, baseline and progressive, compared with
// libjpeg's own decode; cut data; four-component pictures; oversized
// pictures; size-only reads; the memory source's contract; and the
// temporary-file backing store of the memory module.
#include "tests/support/TempDir.h"
#include "tests/windowing/images/PictureWriters.h"
#include "windowing/images/ImageBase.h"
#include "windowing/images/JpegReader.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

using namespace testpictures;

namespace {

struct Read {
    bool ok = false;
    int width = -1;
    int height = -1;
    std::vector<uint32_t> pixels;
};

Read readJpeg(const Bytes& bytes)
{
    Read r;
    uint32_t* pixels = nullptr;
    std::unique_ptr<unsigned char[]> copy(new unsigned char[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    r.ok = window::readJPEG(copy.get(), int(bytes.size()), pixels, r.width, r.height);
    if (pixels) {
        r.pixels.assign(pixels, pixels + size_t(r.width) * size_t(r.height));
        std::free(pixels);
    }
    return r;
}

// What libjpeg's own decode of the same bytes gives, as pixels.
std::vector<uint32_t> reference(const Bytes& jpeg)
{
    int w = 0, h = 0, c = 0;
    Bytes samples;
    if (!decodeJpegReference(jpeg, w, h, c, samples))
        return {};
    std::vector<uint32_t> out;
    for (int i = 0; i < w * h; ++i) {
        if (c == 1)
            out.push_back(0xFF000000u | uint32_t(samples[size_t(i)]) * 0x010101u);
        else
            out.push_back(0xFF000000u | uint32_t(samples[size_t(3 * i)]) << 16 |
                          uint32_t(samples[size_t(3 * i + 1)]) << 8 | samples[size_t(3 * i + 2)]);
    }
    return out;
}

// A picture with smooth areas and edges.
Bytes colourSamples(int w, int h, unsigned seed)
{
    Bytes n = noise(size_t(w * h * 3), seed, 32);
    Bytes s(size_t(w * h * 3));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(3 * (y * w + x));
            s[i] = uint8_t((x * 255 / (w > 1 ? w - 1 : 1) + n[i]) & 0xFF);
            s[i + 1] = uint8_t(((x / 8 + y / 8) % 2 ? 200 : 40) + n[i + 1] / 4);
            s[i + 2] = uint8_t(y * 255 / (h > 1 ? h - 1 : 1));
        }
    return s;
}

} // namespace

TEST(JpegReaderTest, BaselineColourMatchesTheLibrarysDecode)
{
    Bytes jpeg = encodeJpeg(40, 30, 3, colourSamples(40, 30, 1));
    Read r = readJpeg(jpeg);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.width, 40);
    EXPECT_EQ(r.height, 30);
    EXPECT_EQ(r.pixels, reference(jpeg));
    // And close to what was encoded (red of the first pixel of row 10).
    Bytes src = colourSamples(40, 30, 1);
    EXPECT_NEAR(int((r.pixels[400] >> 16) & 0xFF), int(src[1200]), 24);
}

TEST(JpegReaderTest, GreyAndProgressivePictures)
{
    Bytes grey = noise(33 * 17, 2);
    Bytes g = encodeJpeg(33, 17, 1, grey);
    Read a = readJpeg(g);
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.pixels, reference(g));
    for (uint32_t p : a.pixels) {
        ASSERT_EQ(p >> 24, 0xFFu);
        ASSERT_EQ(p & 0xFF, (p >> 8) & 0xFF);
        ASSERT_EQ(p & 0xFF, (p >> 16) & 0xFF);
    }
    Bytes progressive = encodeJpeg(64, 48, 3, colourSamples(64, 48, 3), 85, true);
    Read b = readJpeg(progressive);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.pixels, reference(progressive));
}

TEST(JpegReaderTest, CutDataStillGivesAPicture)
{
    Bytes jpeg = encodeJpeg(64, 64, 3, colourSamples(64, 64, 4));
    Bytes cut(jpeg.begin(), jpeg.begin() + long(jpeg.size() * 6 / 10));
    Read r = readJpeg(cut);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.width, 64);
    EXPECT_EQ(r.pixels, reference(cut));
}

TEST(JpegReaderTest, RefusesFourComponentsDamageAndOversize)
{
    Bytes cmyk = encodeJpeg(8, 8, 4, noise(8 * 8 * 4, 5));
    EXPECT_FALSE(readJpeg(cmyk).ok);
    window::ImageBase::forceImmediateDecode = false;
    window::ImageBase::decodeDeferral = 1;
    EXPECT_FALSE(readJpeg(cmyk).ok); // also when only the size is asked
    window::ImageBase::decodeDeferral = 0;
    window::ImageBase::forceImmediateDecode = true;

    // The library's own lines (a damaged picture, or one of another kind,
    // is no JPEG) go to the debugger output, never to the player's log.
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(readJpeg(Bytes{0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3, 4, 5, 6}).ok);
    EXPECT_FALSE(readJpeg(noise(500, 6)).ok);
    EXPECT_FALSE(readJpeg(Bytes{0x88, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0}).ok) << "a PNG damaged in its head";
    const Bytes whole = encodeJpeg(64, 64, 3, colourSamples(64, 64, 4));
    EXPECT_TRUE(readJpeg(Bytes(whole.begin(), whole.begin() + long(whole.size() * 6 / 10))).ok)
        << "cut short: a warning";
    EXPECT_EQ("", ::testing::internal::GetCapturedStderr());

    const int wide = window::ImageBase::kMaxSide + 16;
    Read big = readJpeg(encodeJpeg(wide, 8, 1, Bytes(size_t(wide) * 8, 128), 50));
    EXPECT_FALSE(big.ok);
    EXPECT_TRUE(big.pixels.empty());
}

TEST(JpegReaderTest, DeferredReadsGiveOnlyTheSize)
{
    Bytes jpeg = encodeJpeg(21, 13, 3, colourSamples(21, 13, 7));
    window::ImageBase::forceImmediateDecode = false;
    window::ImageBase::decodeDeferral = 1;
    Read r = readJpeg(jpeg);
    window::ImageBase::decodeDeferral = 0;
    window::ImageBase::forceImmediateDecode = true;
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.width, 21);
    EXPECT_EQ(r.height, 13);
    EXPECT_TRUE(r.pixels.empty());
}

TEST(JpegReaderTest, ReadsAFileWhenTheLengthIsZero)
{
    testsupport::TempDir dir;
    Bytes jpeg = encodeJpeg(9, 9, 3, colourSamples(9, 9, 8));
    std::string path = dir.write("p.jpg", asString(jpeg));
    uint32_t* pixels = nullptr;
    int w = 0, h = 0;
    ASSERT_TRUE(window::readJPEG(reinterpret_cast<const unsigned char*>(path.c_str()), 0, pixels, w, h));
    EXPECT_EQ(std::vector<uint32_t>(pixels, pixels + 81), reference(jpeg));
    std::free(pixels);
    const std::string missing = dir.file("missing.jpg");
    EXPECT_FALSE(window::readJPEG(reinterpret_cast<const unsigned char*>(missing.c_str()), 0, pixels, w, h));
}

namespace {

// A decompression object whose errors jump back here and whose warnings are counted.
struct Probe {
    jpeg_decompress_struct cinfo;
    struct Err {
        jpeg_error_mgr pub;
        jmp_buf jump;
        int warnings = 0;
        int lastCode = 0;
    } err;

    static void onError(j_common_ptr c)
    {
        Err* e = reinterpret_cast<Err*>(c->err);
        e->lastCode = c->err->msg_code;
        longjmp(e->jump, 1);
    }
    static void onMessage(j_common_ptr c, int level)
    {
        Err* e = reinterpret_cast<Err*>(c->err);
        if (level < 0) {
            ++e->warnings;
            e->lastCode = c->err->msg_code;
        }
    }

    Probe()
    {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = onError;
        err.pub.emit_message = onMessage;
        jpeg_create_decompress(&cinfo);
    }
    ~Probe() { jpeg_destroy_decompress(&cinfo); }
    bool fill() { return cinfo.src->fill_input_buffer(&cinfo) == TRUE; }
};

} // namespace

TEST(JpegMemorySourceTest, HandsOutTheCallersBytesThenEndMarkers)
{
    Bytes data = noise(5000, 9);
    Probe p;
    window::jpeg_memory_src(&p.cinfo, data.data(), int(data.size()));
    p.cinfo.src->init_source(&p.cinfo);
    ASSERT_TRUE(p.fill());
    EXPECT_EQ(p.cinfo.src->next_input_byte, data.data()); // read in place, no copy
    EXPECT_EQ(p.cinfo.src->bytes_in_buffer, 4096u);
    ASSERT_TRUE(p.fill());
    EXPECT_EQ(p.cinfo.src->next_input_byte, data.data() + 4096);
    EXPECT_EQ(p.cinfo.src->bytes_in_buffer, 904u);
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(p.fill());
        ASSERT_EQ(p.cinfo.src->bytes_in_buffer, 2u);
        EXPECT_EQ(p.cinfo.src->next_input_byte[0], 0xFF);
        EXPECT_EQ(p.cinfo.src->next_input_byte[1], JPEG_EOI);
        EXPECT_EQ(p.err.warnings, i); // one warning per refill
        EXPECT_EQ(p.err.lastCode, JWRN_JPEG_EOF);
    }

    // Skipping across refills; the same record is reused for a new source.
    window::jpeg_memory_src(&p.cinfo, data.data(), int(data.size()));
    p.cinfo.src->init_source(&p.cinfo);
    p.fill();
    p.cinfo.src->skip_input_data(&p.cinfo, 4100);
    EXPECT_EQ(p.cinfo.src->next_input_byte, data.data() + 4100);
    EXPECT_EQ(p.cinfo.src->bytes_in_buffer, 900u);
    p.cinfo.src->skip_input_data(&p.cinfo, -5);
    EXPECT_EQ(p.cinfo.src->bytes_in_buffer, 900u);
}

TEST(JpegMemorySourceTest, AnEmptySourceEndsWithEmptyInput)
{
    Probe p;
    unsigned char nothing[1] = {0};
    window::jpeg_memory_src(&p.cinfo, nothing, 0);
    if (setjmp(p.err.jump) == 0) {
        jpeg_read_header(&p.cinfo, TRUE);
        FAIL() << "no error";
    }
    EXPECT_EQ(p.err.lastCode, JERR_INPUT_EMPTY);
}

TEST(JpegBackingStoreTest, LargeProgressiveDecodesSpillToDeleteOnCloseFiles)
{
    // A progressive picture keeps all its coefficients, about 3 MB here:
    // more than the 1,000,000 bytes of working memory, so the memory module
    // spills to temporary files named "jpg..." in the temporary directory.
    testsupport::TempDir dir;
    const char* old = std::getenv("TMPDIR");
    std::string saved = old ? old : "";
    setenv("TMPDIR", dir.path().c_str(), 1);
    int fd = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_GE(inotify_add_watch(fd, dir.path().c_str(), IN_CREATE | IN_DELETE), 0);

    const int w = 1024, h = 1024;
    Bytes jpeg = encodeJpeg(w, h, 3, colourSamples(w, h, 10), 90, true);
    // The writer above may have spilled too; only the reader's files count.
    char drain[4096];
    while (read(fd, drain, sizeof drain) > 0) {
    }
    Read r = readJpeg(jpeg);

    int created = 0, deleted = 0;
    char events[8192] __attribute__((aligned(8)));
    ssize_t n = read(fd, events, sizeof events);
    for (ssize_t at = 0; at < n;) {
        const inotify_event* e = reinterpret_cast<const inotify_event*>(events + at);
        if (e->len > 0 && std::strncmp(e->name, "jpg", 3) == 0) {
            if (e->mask & IN_CREATE)
                ++created;
            if (e->mask & IN_DELETE)
                ++deleted;
        }
        at += ssize_t(sizeof(inotify_event) + e->len);
    }
    close(fd);
    // The reference decode spills too: into the test's folder as well.
    const std::vector<uint32_t> expected = reference(jpeg);
    if (old)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");

    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.pixels, expected);
    EXPECT_GT(created, 0);
    EXPECT_EQ(deleted, created);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}
