// Speed of the S3M player against libopenmpt: each module of Debian's
// pachi-data package (unpacked into the build folder by scripts/test.sh, or
// found in HV_MODULE_DIR) is rendered for its first 30 seconds to 16-bit
// stereo PCM at 22,050 Hz, by the engine mixing update by update and by
// libopenmpt with linear interpolation and no volume ramping. At the end the
// program prints the ratio of the two times per module, or that the module
// is missing.
#include "sound/core/hvsound.h"
#include "sound/music/hvmusic.h"

#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>
#include <libopenmpt/libopenmpt.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef HV_TEST_DATA_DIR
#define HV_TEST_DATA_DIR "."
#endif

namespace {

constexpr int kRate = 22050;
constexpr int kSeconds = 30;
constexpr int kChannels = 32;
constexpr int kChunkFrames = 512; // libopenmpt renders in pieces of one engine block
const char* const kModules[] = {"credits.s3m", "menu.s3m", "stage1.s3m", "stage3.s3m", "stage4.s3m"};

// Where the modules are looked for.
std::string moduleDir()
{
    const char* dir = std::getenv("HV_MODULE_DIR");
    return dir ? std::string(dir) : std::string(HV_TEST_DATA_DIR) + "/pachi-data/usr/share/pachi/music";
}

std::vector<uint8_t> readModule(const char* name)
{
    std::ifstream in(moduleDir() + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void BM_Engine(benchmark::State& state, const char* name)
{
    std::vector<uint8_t> bytes = readModule(name);
    HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
    if (bytes.empty() || !HVSOUND_Init(kRate, kChannels, 0)) {
        state.SkipWithError("module or engine missing");
        return;
    }
    HVMUSIC_SONG* song =
        HVMUSIC_LoadSongEx(bytes.data(), 0, int(bytes.size()), HVSOUND_MODE_LOADMEMORY, nullptr, 0);
    if (!song) {
        HVSOUND_Close();
        state.SkipWithError("the module did not load");
        return;
    }
    const int blocks = kSeconds * kRate / HVSOUND_GetState()->mixer.blockLength;
    for (auto _ : state) {
        HVMUSIC_PlaySong(song);
        for (int b = 0; b < blocks; ++b)
            HVSOUND_Update();
    }
    state.counters["x_realtime"] = benchmark::Counter(double(state.iterations()) * kSeconds,
                                                      benchmark::Counter::kIsRate);
    HVMUSIC_FreeSong(song);
    HVSOUND_Close();
}
void BM_Openmpt(benchmark::State& state, const char* name)
{
    std::vector<uint8_t> bytes = readModule(name);
    openmpt_module* module = bytes.empty() ? nullptr
                                           : openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr,
                                                                                nullptr, nullptr, nullptr, nullptr,
                                                                                nullptr, nullptr);
    if (!module) {
        state.SkipWithError("module missing");
        return;
    }
    openmpt_module_set_render_param(module, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 2);
    openmpt_module_set_render_param(module, OPENMPT_MODULE_RENDER_VOLUMERAMPING_STRENGTH, 0);
    openmpt_module_set_render_param(module, OPENMPT_MODULE_RENDER_STEREOSEPARATION_PERCENT, 100);
    std::vector<int16_t> buffer(size_t(kChunkFrames) * 2);
    const int chunks = kSeconds * kRate / kChunkFrames;
    for (auto _ : state) {
        openmpt_module_set_position_seconds(module, 0.0);
        for (int c = 0; c < chunks; ++c)
            openmpt_module_read_interleaved_stereo(module, kRate, kChunkFrames, buffer.data());
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["x_realtime"] = benchmark::Counter(double(state.iterations()) * kSeconds,
                                                      benchmark::Counter::kIsRate);
    openmpt_module_destroy(module);
}
} // namespace

int main(int argc, char** argv)
{
    // One benchmark per module and renderer, named after both.
    for (const char* module : kModules) {
        benchmark::RegisterBenchmark((std::string("BM_Engine/") + module).c_str(), BM_Engine, module)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("BM_Openmpt/") + module).c_str(), BM_Openmpt, module)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\nTime of the engine relative to libopenmpt for the same audio (below 1 is faster):\n");
    for (const char* module : kModules) {
        double ours = reporter.find(std::string("BM_Engine/") + module);
        double theirs = reporter.find(std::string("BM_Openmpt/") + module);
        if (ours > 0 && theirs > 0)
            std::printf("  %-12s engine / libopenmpt = %.2f (goal below 1)\n", module, ours / theirs);
        else if (readModule(module).empty())
            std::printf("  %-12s missing: not in %s (scripts/fetch-test-data.sh unpacks the modules)\n",
                        module, moduleDir().c_str());
        else
            std::printf("  %-12s not compared: a renderer did not run (see above)\n", module);
    }
    return 0;
}
