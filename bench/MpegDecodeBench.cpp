// Speed of the MPEG layer III decoder: a 128 kbit/s joint stereo stream
// (made by lame at start-up from a synthetic signal) decoded whole through
// the engine's reader, and by libmpg123 with its generic decoder and with
// its default (fastest) one, in the same run; the ratios are printed last.
#include "bench/RatioReporter.h"
#include "sound/core/system_file.h"
#include "sound/formats/format_mpeg.h"
#include "tests/sound/formats/MpegTestSupport.h"

#include <benchmark/benchmark.h>
#include <mpg123.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 20;

void put(std::FILE* f, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        std::fputc(int(v >> (8 * i)) & 0xFF, f);
}

// Chords with vibrato, a beat of noise bursts and a little hiss: enough
// spectral content and transients that the encoder uses every tool.
bool writeSignal(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    int frames = kRate * kSeconds;
    std::fwrite("RIFF", 1, 4, f);
    put(f, 36 + uint32_t(frames) * 4, 4);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put(f, 16, 4);
    put(f, 1, 2);
    put(f, 2, 2);
    put(f, kRate, 4);
    put(f, kRate * 4, 4);
    put(f, 4, 2);
    put(f, 16, 2);
    std::fwrite("data", 1, 4, f);
    put(f, uint32_t(frames) * 4, 4);
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    const double notes[] = {220.0, 277.18, 329.63, 440.0, 554.37};
    for (int i = 0; i < frames; ++i) {
        double t = double(i) / kRate;
        double left = 0, right = 0;
        for (int n = 0; n < 5; ++n) {
            double phase = 2 * M_PI * notes[n] * t + 0.5 * std::sin(2 * M_PI * 5 * t);
            left += std::sin(phase * (n + 1) / 2.0 + n) * 0.1;
            right += std::sin(phase + n * 0.7) * 0.1;
        }
        double beat = std::fmod(t, 0.5) < 0.02 ? 0.4 : 0.01;
        left += noise(random) * beat;
        right += noise(random) * beat;
        put(f, uint32_t(int16_t(std::lrint(left * 20000))), 2);
        put(f, uint32_t(int16_t(std::lrint(right * 20000))), 2);
    }
    std::fclose(f);
    return true;
}

const std::vector<uint8_t>& stream()
{
    static std::vector<uint8_t> data = [] {
        std::vector<uint8_t> bytes;
        char dir[] = "/tmp/hv-mpegbench-XXXXXX";
        if (!mkdtemp(dir))
            return bytes;
        std::string wav = std::string(dir) + "/in.wav";
        std::string mp3 = std::string(dir) + "/out.mp3";
        std::string command = "lame --quiet -t -b 128 " + wav + " " + mp3;
        if (writeSignal(wav) && std::system(command.c_str()) == 0) {
            if (std::FILE* f = std::fopen(mp3.c_str(), "rb")) {
                int c;
                while ((c = std::fgetc(f)) != EOF)
                    bytes.push_back(uint8_t(c));
                std::fclose(f);
            }
        }
        std::remove(wav.c_str());
        std::remove(mp3.c_str());
        rmdir(dir);
        return bytes;
    }();
    return data;
}

// Decodes the whole stream with libmpg123's decoder `name` (null: its
// default choice); answers the PCM samples.
size_t decodeMpg123(const char* name, const std::vector<uint8_t>& bytes, std::vector<int16_t>* keep)
{
    mpg123_handle* handle = mpg123_new(name, nullptr);
    if (!handle)
        return 0;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_open_feed(handle);
    mpg123_feed(handle, bytes.data(), bytes.size());
    size_t samples = 0;
    unsigned char out[16384];
    for (;;) {
        size_t done = 0;
        int result = mpg123_read(handle, out, sizeof(out), &done);
        samples += done / 2;
        if (keep)
            keep->insert(keep->end(), reinterpret_cast<int16_t*>(out), reinterpret_cast<int16_t*>(out + done));
        if (result == MPG123_NEW_FORMAT)
            continue;
        if (result != MPG123_OK)
            break;
    }
    mpg123_delete(handle);
    return samples;
}

void setCounters(benchmark::State& state, size_t samples)
{
    state.counters["audio_seconds_per_second"] =
        benchmark::Counter(double(samples) / 2 / kRate, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_OurDecoder(benchmark::State& state)
{
    std::vector<uint8_t> bytes = stream();
    size_t samples = 0;
    for (auto _ : state) {
        samples = 0;
        mpegtest::forEachFrame(bytes, 0, [&](const int16_t* pcm, int count) {
            benchmark::DoNotOptimize(pcm);
            samples += size_t(count);
        });
    }
    setCounters(state, samples);
}
BENCHMARK(BM_OurDecoder)->Unit(benchmark::kMillisecond);

void BM_Mpg123Generic(benchmark::State& state)
{
    size_t samples = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(samples = decodeMpg123("generic", stream(), nullptr));
    setCounters(state, samples);
}
BENCHMARK(BM_Mpg123Generic)->Unit(benchmark::kMillisecond);

void BM_Mpg123Default(benchmark::State& state)
{
    size_t samples = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(samples = decodeMpg123(nullptr, stream(), nullptr));
    setCounters(state, samples);
}
BENCHMARK(BM_Mpg123Default)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (stream().empty()) {
        std::fprintf(stderr, "lame could not make the benchmark stream (is it installed?)\n");
        return 1;
    }
    mpg123_init();
    // Both decoders must give the same PCM before their speed means anything.
    std::vector<uint8_t> bytes = stream();
    std::vector<int16_t> ours, theirs;
    ours = mpegtest::decodeStream(bytes);
    decodeMpg123("generic", bytes, &theirs);
    size_t n = std::min(ours.size(), theirs.size());
    double signal = 0, error = 0;
    for (size_t i = 0; i < n; ++i) {
        double d = double(ours[i]) - theirs[i];
        signal += double(theirs[i]) * theirs[i];
        error += d * d;
    }
    double snr = error > 0 ? 10 * std::log10(signal / error) : 999.0;
    std::printf("stream: %zu bytes, %d s of 128 kbit/s stereo; ours %zu samples, libmpg123 %zu, SNR %.1f dB\n",
                bytes.size(), kSeconds, ours.size(), theirs.size(), snr);
    if (n == 0 || snr < 80.0) {
        std::fprintf(stderr, "the engine's decoder and libmpg123 disagree on the benchmark stream\n");
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    benchsupport::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    mpg123_exit();

    double oursTime = reporter.find("BM_OurDecoder");
    double generic = reporter.find("BM_Mpg123Generic");
    double fastest = reporter.find("BM_Mpg123Default");
    if (oursTime > 0 && generic > 0 && fastest > 0)
        std::printf("ratio: libmpg123 generic / ours = %.2f; libmpg123 default / ours = %.2f (above 1: ours is faster)\n",
                    generic / oursTime, fastest / oursTime);
    return 0;
}
