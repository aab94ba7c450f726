// The seed pictures of the GIF, PNG and JPEG fuzzing corpora: small pictures
// of each kind the readers handle, each checked to decode. With
// HV_WRITE_FUZZ_SEEDS=<fuzz/corpus folder> set, the test also writes them
// there (fuzz/corpus/gif, png and jpeg).
#include "tests/windowing/images/PictureWriters.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

using namespace testpictures;

namespace {

std::map<std::string, Bytes> gifSeeds()
{
    std::map<std::string, Bytes> seeds;
    GifSpec s;
    s.version = "87a";
    s.width = 8;
    s.height = 6;
    s.globalTable = makeTable(4, 1);
    GifFrame f;
    f.width = 8;
    f.height = 6;
    f.indices = noise(48, 2, 4);
    f.minCodeSize = 2;
    s.frames.push_back(f);
    seeds["87a"] = encodeGif(s);

    s.version = "89a";
    s.graphicControl = true;
    s.transparentFlag = true;
    s.transparentIndex = 1;
    s.delay = 10;
    s.looping = true;
    s.frames[0].interlaced = true;
    seeds["interlaced_transparent"] = encodeGif(s);

    GifSpec odd;
    odd.width = 12;
    odd.height = 10;
    odd.background = 3;
    odd.globalTable = makeTable(2, 3);
    GifFrame small;
    small.left = 2;
    small.top = 3;
    small.width = 14;
    small.height = 9;
    small.indices = noise(14 * 9, 4, 2);
    small.minCodeSize = 1;
    small.localTable = makeTable(2, 5);
    odd.frames.push_back(small);
    GifFrame second = small;
    second.minCodeSize = 7;
    odd.frames.push_back(second);
    seeds["offset_two_frames_codesize1"] = encodeGif(odd);

    GifSpec wide;
    wide.width = 40;
    wide.height = 20;
    wide.globalTable = makeTable(256, 6);
    GifFrame w;
    w.width = 40;
    w.height = 20;
    w.indices = noise(800, 7);
    w.minCodeSize = 8;
    wide.frames.push_back(w);
    seeds["noise_256"] = encodeGif(wide);
    return seeds;
}

std::map<std::string, Bytes> pngSeeds()
{
    std::map<std::string, Bytes> seeds;
    std::vector<uint32_t> px;
    Bytes n = noise(64, 8);
    for (int i = 0; i < 16; ++i)
        px.push_back(uint32_t(n[size_t(4 * i)]) << 24 | uint32_t(n[size_t(4 * i + 1)]) << 16 |
                     uint32_t(n[size_t(4 * i + 2)]) << 8 | n[size_t(4 * i + 3)]);
    seeds["rgba"] = pngRGBA(4, 4, px);
    seeds["rgb_interlaced"] = pngRGB(4, 4, px, true);

    PngSpec grey;
    grey.width = 8;
    grey.height = 2;
    grey.colorType = PNG_COLOR_TYPE_GRAY;
    grey.bitDepth = 1;
    grey.rows = {Bytes{0xA5}, Bytes{0x3C}};
    seeds["grey1"] = encodePng(grey);

    PngSpec ga;
    ga.width = 2;
    ga.height = 2;
    ga.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    ga.bitDepth = 16;
    ga.rows = {noise(8, 9), noise(8, 10)};
    seeds["grey_alpha16"] = encodePng(ga);

    PngSpec pal;
    pal.width = 4;
    pal.height = 2;
    pal.colorType = PNG_COLOR_TYPE_PALETTE;
    pal.bitDepth = 2;
    pal.palette = makeTable(4, 11);
    pal.trns = {0, 128};
    pal.rows = {Bytes{0x1B}, Bytes{0xE4}};
    seeds["palette_trns"] = encodePng(pal);
    return seeds;
}

std::map<std::string, Bytes> jpegSeeds()
{
    std::map<std::string, Bytes> seeds;
    seeds["baseline"] = encodeJpeg(16, 16, 3, noise(16 * 16 * 3, 12, 64), 75);
    seeds["grey"] = encodeJpeg(8, 8, 1, noise(64, 13), 75);
    seeds["progressive"] = encodeJpeg(24, 16, 3, noise(24 * 16 * 3, 14, 64), 60, true);
    return seeds;
}

void checkAndWrite(const char* kind, const std::map<std::string, Bytes>& seeds)
{
    for (const auto& s : seeds) {
        window::ImageWinDX* image = new window::ImageWinDX(s.second.data(), int(s.second.size()));
        EXPECT_TRUE(image->hasPixels()) << kind << " " << s.first;
        EXPECT_LE(s.second.size(), 4096u) << kind << " " << s.first;
        image->release();
    }
    const char* root = std::getenv("HV_WRITE_FUZZ_SEEDS");
    if (!root)
        return;
    std::filesystem::path dir = std::filesystem::path(root) / kind;
    std::filesystem::create_directories(dir);
    for (const auto& s : seeds) {
        std::ofstream out(dir / s.first, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(s.second.data()), std::streamsize(s.second.size()));
    }
}

} // namespace

TEST(FuzzSeedsTest, SeedPicturesDecode)
{
    checkAndWrite("gif", gifSeeds());
    checkAndWrite("png", pngSeeds());
    checkAndWrite("jpeg", jpegSeeds());
}
