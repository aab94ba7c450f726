// Speed of the sound engine's software mixers: channel-frames mixed per
// second by the float and the 16-bit mixer for channel counts, sample
// formats, steps and volume ramps, a whole mix cycle, and a memory copy
// for scale. The engine runs update-driven (no thread, no device).
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/mixer/hvsound_dsp.h"
#include "sound/core/hvsound_sample.h"
#include "sound/mixer/mixer_fpui.h"
#include "sound/mixer/sound_software.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr int kSampleFrames = kRate; // one second, looping

enum Format { kMono16, kMono8, kStereo16, kStereo8 };
const char* const kFormatNames[] = {"mono16", "mono8", "stereo16", "stereo8"};
// Source frames per output frame, in hundredths.
const int kSteps[] = {50, 100, 137, 200};

// Starts the engine with `mixer` and `channels` channels all playing
// looping noise of `format` at `step` source frames per output frame.
class MixSetup {
public:
    MixSetup(int mixer, int channels, Format format, int stepHundredths)
    {
        HVSOUND_GetState()->mixerType = mixer;
        HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
        m_ok = HVSOUND_Init(kRate, channels, 0) && HVSOUND_GetMixer() == mixer;
        if (!m_ok)
            return;
        bool stereo = format == kStereo16 || format == kStereo8;
        bool wide = format == kMono16 || format == kStereo16;
        uint32_t mode = HVSOUND_MODE_LOOP_NORMAL | HVSOUND_MODE_2D | (wide ? HVSOUND_MODE_16BITS : HVSOUND_MODE_8BITS) |
                        (stereo ? HVSOUND_MODE_STEREO : HVSOUND_MODE_MONO);
        HVSOUND_SAMPLE* sample = HVSOUND_Sample_Alloc(-1, kSampleFrames, mode, kRate, 255, stereo ? -1 : 128, 128);
        std::mt19937 random(12345);
        std::vector<int16_t> noise(size_t(kSampleFrames) * (stereo ? 2 : 1));
        for (int16_t& v : noise)
            v = int16_t(int(random() % 20001) - 10000);
        HVSOUND_Sample_Upload(sample, noise.data(), HVSOUND_MODE_16BITS | (stereo ? HVSOUND_MODE_STEREO : HVSOUND_MODE_MONO));
        int frequency = kRate * stepHundredths / 100;
        for (int i = 0; i < channels; ++i) {
            int handle = HVSOUND_PlaySound(HVSOUND_FREE, sample);
            HVSOUND_SetFrequency(handle, frequency);
            // Spread the channels over the sample and the stereo field.
            HVSOUND_SetCurrentPosition(handle, (i * 7919) % kSampleFrames);
            if (!stereo)
                HVSOUND_SetPan(handle, (i * 37) % 256);
        }
    }
    ~MixSetup() { HVSOUND_Close(); }
    MixSetup(const MixSetup&) = delete;
    MixSetup& operator=(const MixSetup&) = delete;

    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
};

// Args: mixer type, channels, format, step index, ramp (0/1).
void BM_Mix(benchmark::State& state)
{
    int mixerType = int(state.range(0));
    int channels = int(state.range(1));
    auto format = Format(state.range(2));
    int step = kSteps[state.range(3)];
    bool ramp = state.range(4) != 0;
    MixSetup setup(mixerType, channels, format, step);
    if (!setup.ok()) {
        state.SkipWithError("the engine did not start with this mixer");
        return;
    }
    const HVSOUND_MIXER* mixer = HVSOUND_Software_Mixer();
    HVSOUND_CHANNELLIST* list = &HVSOUND_Software_ChannelsUnit()->channels;
    const int block = HVSOUND_GetState()->mixer.blockLength;
    void* buffer = HVSOUND_Software_MixBuffer();
    int volume = 255;
    for (auto _ : state) {
        if (ramp) {
            // A new volume on every channel: each block starts a ramp.
            volume = volume == 255 ? 200 : 255;
            HVSOUND_SetVolume(HVSOUND_ALL, volume);
        }
        mixer->clear(buffer, block);
        mixer->mix(buffer, list, block);
        benchmark::ClobberMemory();
    }
    int64_t channelFrames = int64_t(state.iterations()) * channels * block;
    state.SetItemsProcessed(channelFrames);
    state.counters["x_realtime_32ch"] = benchmark::Counter(double(channelFrames) / (32.0 * kRate), benchmark::Counter::kIsRate);
    state.SetLabel(std::string(mixer->name + 14) + " " + kFormatNames[format] + " step " +
                   std::to_string(step / 100.0).substr(0, 4) + (ramp ? " ramps" : ""));
}

const int64_t kFloat = HVSOUND_MIXER_QUALITY_FPU;
const int64_t kInt16 = HVSOUND_MIXER_QUALITY_MMXP6;

// Channel counts with 16-bit mono at step 1.37.
BENCHMARK(BM_Mix)->ArgsProduct({{kFloat, kInt16}, {1, 8, 32, 128}, {kMono16}, {2}, {0}});
// Formats at 32 channels, step 1.37.
BENCHMARK(BM_Mix)->ArgsProduct({{kFloat, kInt16}, {32}, {kMono8, kStereo16, kStereo8}, {2}, {0}});
// Steps at 32 channels of 16-bit mono.
BENCHMARK(BM_Mix)->ArgsProduct({{kFloat, kInt16}, {32}, {kMono16}, {0, 1, 3}, {0}});
// Ramps: every block a new volume.
BENCHMARK(BM_Mix)->ArgsProduct({{kFloat, kInt16}, {32}, {kMono16, kMono8}, {2}, {1}});

// A whole update: clear, mix, output conversion, for 32 channels.
void BM_MixCycle(benchmark::State& state)
{
    MixSetup setup(int(state.range(0)), 32, kMono16, 137);
    if (!setup.ok()) {
        state.SkipWithError("the engine did not start with this mixer");
        return;
    }
    const int block = HVSOUND_GetState()->mixer.blockLength;
    for (auto _ : state)
        HVSOUND_Update();
    state.SetItemsProcessed(int64_t(state.iterations()) * 32 * block);
    state.SetLabel(HVSOUND_Software_Mixer()->name + 14);
}
BENCHMARK(BM_MixCycle)->Arg(kFloat)->Arg(kInt16);

// Memory bandwidth for scale: the mixers read 1 to 4 source bytes per
// channel-frame.
void BM_Memcpy(benchmark::State& state)
{
    size_t bytes = size_t(state.range(0));
    std::vector<char> from(bytes, 1);
    std::vector<char> to(bytes, 0);
    for (auto _ : state) {
        memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_Memcpy)->Arg(64 << 20);

} // namespace

BENCHMARK_MAIN();
