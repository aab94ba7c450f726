// Speed of the Direct3D window graphics (drawImage through the image's
// texture tiles and the software device) against pixman and SDL2's software
// renderer on the same two scenes: one full-screen 800 x 600 alpha-blended
// textured quad, and 50 sprites of 128 x 128 with colour modulation. At the
// end the program prints the ratios of the graphics' times to the others'.
#include "platform/user/Backend.h"
#include "platform/user/User.h"
#include "windowing/window/Frame.h"
#include "windowing/d3d/GraphicsWWinDX.h"
#include "windowing/d3d/ImageWinDX.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kSprite = 128;
constexpr int kSprites = 50;
// The modulation colour of the sprites: red, green and blue scaled by
// 0xC0, 0xA0 and 0x60 out of 0xFF.
constexpr int kModRed = 0xC0, kModGreen = 0xA0, kModBlue = 0x60;

// Mostly opaque noise with some transparent and some half-transparent
// pixels (straight alpha, 0xAARRGGBB).
std::vector<uint32_t> noise(int width, int height, uint32_t seed)
{
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (uint32_t& p : pixels) {
        seed = seed * 1664525u + 1013904223u;
        const uint32_t alpha = (seed >> 24) < 200 ? 0xFF : (seed >> 24) < 230 ? 0x00 : 0x80;
        p = alpha << 24 | (seed & 0xFFFFFF);
    }
    return pixels;
}

// The same pixels with the colour multiplied by the alpha (pixman's form).
std::vector<uint32_t> premultiplied(const std::vector<uint32_t>& in)
{
    std::vector<uint32_t> out(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const uint32_t a = in[i] >> 24;
        auto m = [a](uint32_t c) { return (c * a + 127) / 255; };
        out[i] = a << 24 | m((in[i] >> 16) & 0xFF) << 16 | m((in[i] >> 8) & 0xFF) << 8 | m(in[i] & 0xFF);
    }
    return out;
}

// Where the 50 sprites go: a fixed scatter over the screen, inside it.
std::vector<std::pair<int, int>> spritePlaces()
{
    std::vector<std::pair<int, int>> places;
    uint32_t seed = 77;
    for (int i = 0; i < kSprites; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int x = int((seed >> 8) % uint32_t(kWidth - kSprite));
        seed = seed * 1664525u + 1013904223u;
        const int y = int((seed >> 8) % uint32_t(kHeight - kSprite));
        places.emplace_back(x, y);
    }
    return places;
}

const std::vector<uint32_t>& fullTexture()
{
    static const std::vector<uint32_t> pixels = noise(kWidth, kHeight, 12345);
    return pixels;
}

const std::vector<uint32_t>& spriteTexture()
{
    static const std::vector<uint32_t> pixels = noise(kSprite, kSprite, 999);
    return pixels;
}

// ---------------------------------------------------------------------------
// The Direct3D window graphics, on a headless window.

class BenchFrame : public window::Frame {
public:
    BenchFrame()
    {
        m_designWidth = kWidth;
        m_designHeight = kHeight;
    }
};

class GraphicsScene {
public:
    GraphicsScene()
    {
        platform::setWindowBackend("headless");
        frame = new BenchFrame();
        util::RectangleNM bounds(0, 0, kWidth, kHeight);
        frame->create(nullptr, &bounds);
        graphics = static_cast<window::GraphicsWWinDX*>(frame->getGraphics());
        full = image(fullTexture(), kWidth, kHeight);
        sprite = image(spriteTexture(), kSprite, kSprite);
        // One drawing bracket for the whole run: what is timed is the drawing.
        context = graphics->create();
        graphics->fillRectAlpha(0, 0, kWidth, kHeight, 0xFF336699u);
        graphics->drawImage(full, 0, 0);    // makes the textures
        graphics->drawImage(sprite, 0, 0);
    }

    ~GraphicsScene()
    {
        context->dispose();
        context->release();
        full->release();
        sprite->release();
        graphics->release();
        DestroyWindow(frame->getHWND());
        frame->release();
    }

    static window::ImageWinDX* image(const std::vector<uint32_t>& pixels, int width, int height)
    {
        auto* made = new window::ImageWinDX(width, height, 1, false);
        std::copy(pixels.begin(), pixels.end(), made->getPixels());
        made->setModified(true);
        return made;
    }

    BenchFrame* frame;
    window::GraphicsWWinDX* graphics;
    window::Graphics* context;
    window::ImageWinDX* full;
    window::ImageWinDX* sprite;
};

void BM_Graphics_FullScreenQuad(benchmark::State& state)
{
    GraphicsScene scene;
    for (auto _ : state)
        scene.graphics->drawImage(scene.full, 0, 0);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Graphics_FullScreenQuad)->Unit(benchmark::kMicrosecond);

void BM_Graphics_ModulatedSprites(benchmark::State& state)
{
    GraphicsScene scene;
    const auto places = spritePlaces();
    // Colour bytes are doubled by the modulation: 0x80 is unchanged.
    scene.graphics->setImageColor(0x80000000u | uint32_t(kModRed / 2) << 16 | uint32_t(kModGreen / 2) << 8 |
                                  uint32_t(kModBlue / 2));
    for (auto _ : state)
        for (const auto& p : places)
            scene.graphics->drawImage(scene.sprite, p.first, p.second);
    state.SetItemsProcessed(state.iterations() * kSprites * kSprite * kSprite);
}
BENCHMARK(BM_Graphics_ModulatedSprites)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------
// pixman

struct PixmanScene {
    PixmanScene()
        : target(size_t(kWidth) * kHeight, 0xFF336699u), fullPixels(premultiplied(fullTexture())),
          spritePixels(premultiplied(spriteTexture()))
    {
        dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, target.data(), kWidth * 4);
        full = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, fullPixels.data(), kWidth * 4);
        sprite = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSprite, kSprite, spritePixels.data(), kSprite * 4);
        // A per-channel mask: the colour modulation.
        pixman_color_t colour = {uint16_t(kModRed * 257), uint16_t(kModGreen * 257), uint16_t(kModBlue * 257),
                                 0xFFFF};
        modulation = pixman_image_create_solid_fill(&colour);
        pixman_image_set_component_alpha(modulation, 1);
    }
    ~PixmanScene()
    {
        pixman_image_unref(dst);
        pixman_image_unref(full);
        pixman_image_unref(sprite);
        pixman_image_unref(modulation);
    }

    std::vector<uint32_t> target, fullPixels, spritePixels;
    pixman_image_t* dst;
    pixman_image_t* full;
    pixman_image_t* sprite;
    pixman_image_t* modulation;
};

void BM_Pixman_FullScreenQuad(benchmark::State& state)
{
    PixmanScene scene;
    for (auto _ : state)
        pixman_image_composite32(PIXMAN_OP_OVER, scene.full, nullptr, scene.dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Pixman_FullScreenQuad)->Unit(benchmark::kMicrosecond);

void BM_Pixman_ModulatedSprites(benchmark::State& state)
{
    PixmanScene scene;
    const auto places = spritePlaces();
    for (auto _ : state)
        for (const auto& p : places)
            pixman_image_composite32(PIXMAN_OP_OVER, scene.sprite, scene.modulation, scene.dst, 0, 0, 0, 0, p.first,
                                     p.second, kSprite, kSprite);
    state.SetItemsProcessed(state.iterations() * kSprites * kSprite * kSprite);
}
BENCHMARK(BM_Pixman_ModulatedSprites)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------
// SDL2's software renderer drawing into a surface

struct SdlScene {
    SdlScene()
    {
        surface = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_FillRect(surface, nullptr, 0xFF336699u);
        renderer = SDL_CreateSoftwareRenderer(surface);
        full = texture(fullTexture(), kWidth, kHeight);
        sprite = texture(spriteTexture(), kSprite, kSprite);
    }
    ~SdlScene()
    {
        SDL_DestroyTexture(full);
        SDL_DestroyTexture(sprite);
        SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(surface);
    }

    SDL_Texture* texture(const std::vector<uint32_t>& pixels, int width, int height)
    {
        SDL_Texture* t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
        SDL_UpdateTexture(t, nullptr, pixels.data(), width * 4);
        SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
        return t;
    }

    SDL_Surface* surface;
    SDL_Renderer* renderer;
    SDL_Texture* full;
    SDL_Texture* sprite;
};

void BM_SDL_FullScreenQuad(benchmark::State& state)
{
    SdlScene scene;
    if (!scene.renderer) {
        state.SkipWithError("no SDL software renderer");
        return;
    }
    const SDL_Rect dest{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        SDL_RenderCopy(scene.renderer, scene.full, nullptr, &dest);
        SDL_RenderFlush(scene.renderer);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_SDL_FullScreenQuad)->Unit(benchmark::kMicrosecond);

void BM_SDL_ModulatedSprites(benchmark::State& state)
{
    SdlScene scene;
    if (!scene.renderer) {
        state.SkipWithError("no SDL software renderer");
        return;
    }
    SDL_SetTextureColorMod(scene.sprite, kModRed, kModGreen, kModBlue);
    const auto places = spritePlaces();
    for (auto _ : state) {
        for (const auto& p : places) {
            const SDL_Rect dest{p.first, p.second, kSprite, kSprite};
            SDL_RenderCopy(scene.renderer, scene.sprite, nullptr, &dest);
        }
        SDL_RenderFlush(scene.renderer);
    }
    state.SetItemsProcessed(state.iterations() * kSprites * kSprite * kSprite);
}
BENCHMARK(BM_SDL_ModulatedSprites)->Unit(benchmark::kMicrosecond);

// Collects each benchmark's time per iteration beside the usual report.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        // With repetitions the median stands for the benchmark.
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[name] = run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times[name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() const
    {
        std::printf("\nTime of the Direct3D graphics relative to the others (below 1 is faster):\n");
        for (const char* scene : {"FullScreenQuad", "ModulatedSprites"}) {
            auto find = [this](const std::string& name) {
                auto median = medians.find(name);
                if (median != medians.end())
                    return median->second;
                auto it = times.find(name);
                return it == times.end() ? 0.0 : it->second;
            };
            const double ours = find(std::string("BM_Graphics_") + scene);
            const double pixman = find(std::string("BM_Pixman_") + scene);
            const double sdl = find(std::string("BM_SDL_") + scene);
            std::printf("  %-17s graphics / pixman = %.2f (goal 1.5 or less)   graphics / SDL2 = %.2f (goal below 1)\n",
                        scene, pixman > 0 ? ours / pixman : 0.0, sdl > 0 ? ours / sdl : 0.0);
        }
    }

    std::map<std::string, double> times;
    std::map<std::string, double> medians;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
