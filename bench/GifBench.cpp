// Speed of the engine's GIF reader against giflib on an 800 x 600 picture,
// both producing the same 32-bit pixels (giflib's indices turned into pixels
// through the colour table), with giflib's indices alone shown beside. The
// program checks that both give the same pixels and ends with the ratio.
#include "bench/RatioReporter.h"
#include "windowing/images/GifDecoder.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const int kWidth = 800;
const int kHeight = 600;

// A picture like the game's art: smooth shaded areas (long runs after
// quantising to 256 colours), shapes with edges, and a noisy textured band.
std::vector<GifByteType> makeIndices()
{
    std::vector<GifByteType> px(size_t(kWidth) * kHeight);
    uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            int v = (x / 5 + y / 7) % 96;
            double dx = x - 260.0, dy = y - 300.0;
            if (dx * dx + dy * dy < 150.0 * 150.0)
                v = 96 + int(std::sqrt(dx * dx + dy * dy)) / 6;
            if (x > 520 && x < 760 && y > 80 && y < 520)
                v = 128 + ((x / 12) ^ (y / 12)) % 32;
            if (y > 470) {
                seed = seed * 1664525u + 1013904223u;
                v = 160 + int((seed >> 24) % 96);
            }
            px[size_t(y) * kWidth + size_t(x)] = GifByteType(v);
        }
    return px;
}

int writeToVector(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

std::vector<unsigned char> encodeWithGiflib(const std::vector<GifByteType>& indices, std::vector<GifColorType>& colors)
{
    std::vector<unsigned char> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToVector, &error);
    colors.resize(256);
    for (int i = 0; i < 256; ++i)
        colors[size_t(i)] = GifColorType{GifByteType(i * 7), GifByteType(255 - i), GifByteType((i * 13) & 0xFF)};
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr);
    for (int y = 0; y < kHeight; ++y)
        EGifPutLine(gif, const_cast<GifByteType*>(&indices[size_t(y) * kWidth]), kWidth);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

struct Memory {
    const unsigned char* data;
    size_t size;
    size_t at;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int length)
{
    Memory* m = static_cast<Memory*>(gif->UserData);
    size_t n = std::min(size_t(length), m->size - m->at);
    std::memcpy(out, m->data + m->at, n);
    m->at += n;
    return int(n);
}

// giflib's whole decode; with toPixels the first image becomes 32-bit pixels
// of the screen as the engine's reader gives them.
bool decodeWithGiflib(const std::vector<unsigned char>& gifData, bool toPixels, std::vector<uint32_t>& pixels)
{
    Memory m{gifData.data(), gifData.size(), 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&m, readFromMemory, &error);
    if (!gif)
        return false;
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
        DGifCloseFile(gif, &error);
        return false;
    }
    if (toPixels) {
        const SavedImage& image = gif->SavedImages[0];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        uint32_t lut[256];
        for (int i = 0; i < 256; ++i) {
            if (map && i < map->ColorCount) {
                const GifColorType& c = map->Colors[i];
                lut[i] = 0xFF000000u | uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
            } else {
                lut[i] = 0xFF000000u;
            }
        }
        pixels.resize(size_t(gif->SWidth) * size_t(gif->SHeight));
        const GifByteType* in = image.RasterBits;
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = lut[in[i]];
    }
    DGifCloseFile(gif, &error);
    return true;
}

std::vector<unsigned char>& benchGif()
{
    static std::vector<unsigned char> data = [] {
        std::vector<GifColorType> colors;
        return encodeWithGiflib(makeIndices(), colors);
    }();
    return data;
}

void BM_OurGifDecoder(benchmark::State& state)
{
    const std::vector<unsigned char>& data = benchGif();
    for (auto _ : state) {
        int w = 0, h = 0;
        uint32_t* pixels = nullptr;
        bool alpha = false;
        window::GifDecoder decoder;
        int result = decoder.readGIF(data.data(), int(data.size()), w, h, pixels, alpha);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(pixels);
        std::free(pixels);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_OurGifDecoder)->Unit(benchmark::kMicrosecond);

void BM_GiflibToPixels(benchmark::State& state)
{
    const std::vector<unsigned char>& data = benchGif();
    std::vector<uint32_t> pixels;
    for (auto _ : state) {
        bool ok = decodeWithGiflib(data, true, pixels);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_GiflibToPixels)->Unit(benchmark::kMicrosecond);

void BM_GiflibIndicesOnly(benchmark::State& state)
{
    const std::vector<unsigned char>& data = benchGif();
    std::vector<uint32_t> unused;
    for (auto _ : state) {
        bool ok = decodeWithGiflib(data, false, unused);
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_GiflibIndicesOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // Both readers must give the same pixels before their speed means anything.
    const std::vector<unsigned char>& data = benchGif();
    std::vector<uint32_t> reference;
    if (!decodeWithGiflib(data, true, reference)) {
        std::fprintf(stderr, "giflib could not decode the benchmark picture\n");
        return 1;
    }
    int w = 0, h = 0;
    uint32_t* ours = nullptr;
    bool alpha = false;
    window::GifDecoder decoder;
    if (decoder.readGIF(data.data(), int(data.size()), w, h, ours, alpha) != 1 || w != kWidth || h != kHeight ||
        std::memcmp(ours, reference.data(), reference.size() * 4) != 0) {
        std::fprintf(stderr, "the engine's GIF reader and giflib disagree on the benchmark picture\n");
        std::free(ours);
        return 1;
    }
    std::free(ours);
    std::printf("picture: %d x %d, %zu bytes of GIF\n", kWidth, kHeight, data.size());

    benchmark::Initialize(&argc, argv);
    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    double oursTime = reporter.find("BM_OurGifDecoder");
    double giflibTime = reporter.find("BM_GiflibToPixels");
    double giflibIndices = reporter.find("BM_GiflibIndicesOnly");
    if (oursTime > 0 && giflibTime > 0)
        std::printf("ratio: giflib (to pixels) / ours = %.2f; giflib (indices only) / ours = %.2f (above 1: ours is faster)\n",
                    giflibTime / oursTime, giflibIndices > 0 ? giflibIndices / oursTime : 0.0);
    return 0;
}
