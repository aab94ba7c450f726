// RealModulesTest.cpp: the S3M player on modules no one here wrote (the five
// of Debian's pachi-data package, unpacked into the build folder by the test
// command): each loads, plays its first pass to the end, lasts as long as
// openmpt123 says and sounds like openmpt123's rendering of it. Skipped when
// the files or openmpt123 are missing.
#include "tests/sound/music/MusicTestSupport.h"

#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/mixer_fpui.h"
#include "tests/sound/output/OutputTestSupport.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using musictest::moduleDir;
using musictest::readFile;

constexpr int kWindow = musictest::kRate / 10; // samples of one 100 ms envelope step
constexpr double kMaxSeconds = 600.0;          // no first pass here is longer

struct Module {
    const char* name;
    // How far the reference plays the same notes: menu.s3m has patterns cut
    // short of their 64 rows, whose missing rows the reference fills from
    // the bytes after them (the next pattern, sample data); from pattern 12
    // (order 13, 115.76 s) on, a speed command read that way moves it ahead.
    double comparableSeconds;
    double durationTolerance;
};
const Module kModules[] = {
    {"credits.s3m", kMaxSeconds, 0.01}, {"menu.s3m", 115.0, 0.02},   {"stage1.s3m", kMaxSeconds, 0.01},
    {"stage3.s3m", kMaxSeconds, 0.01},  {"stage4.s3m", kMaxSeconds, 0.01},
};

bool haveOpenmpt()
{
    return std::system("command -v openmpt123 >/dev/null 2>&1") == 0;
}

std::string run(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[512];
        while (fgets(buffer, sizeof buffer, p))
            out += buffer;
        pclose(p);
    }
    return out;
}

// openmpt123's duration of sub-song 0 in seconds, or -1.
double referenceSeconds(const fs::path& file)
{
    std::string info = run("openmpt123 --info --subsong 0 '" + file.string() + "' 2>&1");
    size_t at = info.find("Duration");
    if (at == std::string::npos)
        return -1.0;
    at = info.find(": ", at);
    int minutes = 0;
    double seconds = 0.0;
    if (at == std::string::npos || sscanf(info.c_str() + at + 2, "%d:%lf", &minutes, &seconds) != 2)
        return -1.0;
    return minutes * 60.0 + seconds;
}

// RMS of the mono mix per 100 ms of a 16-bit stereo WAV file.
std::vector<double> wavEnvelope(const fs::path& path)
{
    std::vector<uint8_t> bytes = readFile(path);
    auto u32 = [&](size_t at) { return uint32_t(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24); };
    std::vector<double> envelope;
    size_t p = 12;
    while (p + 8 <= bytes.size()) {
        uint32_t size = u32(p + 4);
        if (memcmp(&bytes[p], "data", 4) == 0) {
            size_t frames = std::min<size_t>(size, bytes.size() - p - 8) / 4;
            double sum = 0.0;
            for (size_t f = 0; f < frames; ++f) {
                const uint8_t* q = &bytes[p + 8 + 4 * f];
                double mono = (int16_t(q[0] | q[1] << 8) + int16_t(q[2] | q[3] << 8)) / 2.0;
                sum += mono * mono;
                if ((f + 1) % kWindow == 0) {
                    envelope.push_back(std::sqrt(sum / kWindow));
                    sum = 0.0;
                }
            }
            break;
        }
        p += 8 + size + (size & 1);
    }
    return envelope;
}

double pearson(const std::vector<double>& a, const std::vector<double>& b, size_t n)
{
    n = std::min({n, a.size(), b.size()});
    double ma = 0.0, mb = 0.0;
    for (size_t i = 0; i < n; ++i) {
        ma += a[i];
        mb += b[i];
    }
    ma /= double(n);
    mb /= double(n);
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = 0; i < n; ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return ab / std::sqrt(aa * bb);
}

// What playing a song's first pass gave: its length up to the end of the
// song or the first row played again, and the envelope heard meanwhile.
struct FirstPass {
    std::set<int> rows;
    bool done = false;
    bool ended = false; // the song stopped by itself
    int64_t samples = 0;
    double sum = 0.0;
    int inWindow = 0;
    std::vector<double> envelope;
};
FirstPass* g_pass = nullptr;

// The song's tick hook, watched: counts the samples of every tick until the
// first pass is over.
void watchedTick(HVMUSIC_SONG* song)
{
    bool rowTick = song->tick == 0;
    HVSOUND_S3M_Update(song);
    if (g_pass->done)
        return;
    if (!song->playing) {
        g_pass->done = g_pass->ended = true;
        return;
    }
    if (rowTick && !g_pass->rows.insert(song->order * 64 + song->row).second) {
        g_pass->done = true;
        return;
    }
    g_pass->samples += song->samplesPerTick;
}

void* listen(void*, void* buffer, int length, void*)
{
    std::vector<uint32_t> words(static_cast<size_t>(length));
    HVSOUND_Software_Mixer()->output(words.data(), buffer, length);
    for (uint32_t w : words) {
        double mono = (int16_t(uint16_t(w & 0xFFFF)) + int16_t(uint16_t(w >> 16))) / 2.0;
        g_pass->sum += mono * mono;
        if (++g_pass->inWindow == kWindow) {
            g_pass->envelope.push_back(std::sqrt(g_pass->sum / kWindow));
            g_pass->sum = 0.0;
            g_pass->inWindow = 0;
        }
    }
    return buffer;
}

class RealModulesTest : public musictest::MusicFixture {
protected:
    void SetUp() override
    {
        MusicFixture::SetUp();
        if (!fs::exists(moduleDir() / "stage1.s3m"))
            GTEST_SKIP() << "pachi-data is not unpacked in " << moduleDir() << " (scripts/test.sh fetches it)";
    }

    void TearDown() override
    {
        g_pass = nullptr;
        MusicFixture::TearDown();
    }

    // Plays a module's first pass on the update-driven output.
    FirstPass playFirstPass(const Module& m)
    {
        FirstPass pass;
        g_pass = &pass;
        HVSOUND_DSPUNIT* ear = HVSOUND_DSP_Create(listen, 5000, nullptr);
        HVSOUND_DSP_SetActive(ear, true);
        HVMUSIC_SONG* song = load(readFile(moduleDir() / m.name), HVMUSIC_MODE_LOOP_OFF);
        EXPECT_NE(song, nullptr) << m.name << " error " << HVSOUND_GetError();
        if (song) {
            EXPECT_TRUE(HVMUSIC_PlaySong(song));
            song->tickHook = watchedTick;
            const int blocks = int(kMaxSeconds * musictest::kRate / HVSOUND_GetState()->mixer.blockLength);
            for (int b = 0; b < blocks && !pass.done; ++b)
                HVSOUND_Update();
            EXPECT_TRUE(pass.done) << m.name << " plays on past " << kMaxSeconds << " s";
            HVMUSIC_StopSong(song);
        }
        HVSOUND_DSP_Free(ear);
        g_pass = nullptr;
        return pass;
    }
};

TEST_F(RealModulesTest, EveryModuleLoadsWithTheInstrumentsAndChannelsItsHeaderNames)
{
    for (const Module& m : kModules) {
        std::vector<uint8_t> bytes = readFile(moduleDir() / m.name);
        ASSERT_GT(bytes.size(), 96u) << m.name;
        HVMUSIC_SONG* song = load(bytes);
        ASSERT_NE(song, nullptr) << m.name << " error " << HVSOUND_GetError();
        int instruments = bytes[34] | bytes[35] << 8;
        int channels = 0;
        for (int i = 0; i < 32; ++i)
            channels += bytes[64 + i] < 16;
        EXPECT_EQ(song->sampleCount, instruments) << m.name;
        EXPECT_EQ(song->channelCount, channels) << m.name;
        EXPECT_GT(song->orderCount, 0) << m.name;
        for (int i = 0; i < song->sampleCount; ++i) {
            size_t header = size_t(bytes[96 + (bytes[32] | bytes[33] << 8) + 2 * i] |
                                   bytes[97 + (bytes[32] | bytes[33] << 8) + 2 * i] << 8) * 16;
            uint32_t length = bytes[header] == 1 ? uint32_t(bytes[header + 16] | bytes[header + 17] << 8 |
                                                            bytes[header + 18] << 16 | bytes[header + 19] << 24)
                                                 : 0;
            ASSERT_NE(song->samples[i], nullptr) << m.name;
            EXPECT_EQ(uint32_t(song->samples[i]->length), length) << m.name << " instrument " << i + 1;
        }
        for (int p = 0; p < song->patternCount; ++p) {
            const HVMUSIC_PATTERN& pattern = song->patterns[p];
            for (int c = 0; pattern.cells && c < HVMUSIC_ROWS * song->channelCount; ++c)
                ASSERT_LE(pattern.cells[c].effect, 26) << m.name << " pattern " << p << " cell " << c;
        }
    }
}

TEST_F(RealModulesTest, EveryModulePlaysItsFirstPassAsLongAndAsShapedAsTheReference)
{
    bool reference = haveOpenmpt();
    testsupport::TempDir temp;
    const fs::path& scratch = temp.path();
    for (const Module& m : kModules) {
        FirstPass pass = playFirstPass(m);
        double seconds = double(pass.samples) / musictest::kRate;
        EXPECT_GT(seconds, 30.0) << m.name;
        double loudest = 0.0;
        for (double v : pass.envelope)
            loudest = std::max(loudest, v);
        EXPECT_GT(loudest, 1000.0) << m.name << " is heard";
        if (!reference)
            continue;

        double expected = referenceSeconds(moduleDir() / m.name);
        ASSERT_GT(expected, 0.0) << m.name;
        EXPECT_NEAR(seconds, expected, expected * m.durationTolerance) << m.name;

        fs::copy_file(moduleDir() / m.name, scratch / m.name, fs::copy_options::overwrite_existing);
        run("cd '" + scratch.string() +
            "' && openmpt123 --quiet --render --force --no-float --samplerate 22050 --filter 2 --ramping 0 "
            "--stereo 100 --subsong 0 --output-type wav '" + m.name + "' >/dev/null 2>&1");
        std::vector<double> theirs = wavEnvelope(scratch / (std::string(m.name) + ".wav"));
        ASSERT_FALSE(theirs.empty()) << m.name;
        size_t steps = std::min(pass.envelope.size(), size_t(m.comparableSeconds * 10));
        double r = pearson(pass.envelope, theirs, steps);
        printf("%-11s first pass %8.3f s, openmpt123 %8.3f s (%+.2f%%), envelope correlation %.4f over %zu s\n",
               m.name, seconds, expected, (seconds - expected) / expected * 100.0, r, steps / 10);
        RecordProperty(std::string(m.name) + " correlation", std::to_string(r));
        EXPECT_GE(r, 0.9) << m.name;
    }
}

class RealModuleOutputTest : public soundtest::OutputFixture {};

TEST_F(RealModuleOutputTest, AModuleIsHeardThroughTheWaveOutDevice)
{
    if (!fs::exists(moduleDir() / "stage1.s3m"))
        GTEST_SKIP() << "pachi-data is not unpacked in " << moduleDir();
    platform::setClock(nullptr);
    start(32, HVSOUND_OUTPUT_WINMM);
    std::vector<uint8_t> bytes = readFile(moduleDir() / "stage1.s3m");
    HVMUSIC_SONG* song = HVMUSIC_LoadSongEx(bytes.data(), 0, int(bytes.size()), HVSOUND_MODE_LOADMEMORY, nullptr, 0);
    ASSERT_NE(song, nullptr);
    ASSERT_TRUE(HVMUSIC_PlaySong(song));
    int block = HVSOUND_GetState()->mixer.blockLength;
    bool heard = soundtest::within([&] {
        for (int16_t v : play(size_t(block)))
            if (v > 1000 || v < -1000)
                return true;
        return false;
    });
    EXPECT_TRUE(heard) << "the song reaches the device through the mixer thread";
    EXPECT_GT(song->tick + song->row + song->order, 0) << "the mixer thread advances the song";
    HVMUSIC_FreeSong(song);
}

} // namespace
