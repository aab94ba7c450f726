// SoxWavTest.cpp: WAV files written by sox at test time (PCM of every width
// and layout at several rates) load with the rate, length and samples that
// sox itself reports and converts to raw data. Skipped without sox.
#include "sound/core/system_file.h"
#include "sound/formats/format_wav.h"

#include "tests/sound/core/SoundTestSupport.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// What a shell command prints, and whether it succeeded.
bool capture(const std::string& command, std::string* output = nullptr)
{
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return false;
    std::string text;
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, n);
    bool ok = pclose(pipe) == 0;
    if (output)
        *output = text;
    return ok;
}

std::vector<uint8_t> readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int soxInfo(const std::string& flag, const std::string& path)
{
    std::string text;
    return capture("sox --i " + flag + " " + path, &text) ? std::stoi(text) : -1;
}

class SoundSoxWav : public soundtest::SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        if (!capture("sox --version"))
            GTEST_SKIP() << "sox is not installed";
    }
};

TEST_F(SoundSoxWav, FilesWrittenBySoxLoadAsSoxReadsThem)
{
    start();
    struct Case {
        int rate;
        int channels;
        int bits;
    };
    const Case cases[] = {{8000, 1, 8}, {11025, 2, 8}, {22050, 1, 16}, {44100, 2, 16}, {48000, 1, 16}};
    testsupport::TempDir dir;
    for (const Case& k : cases) {
        std::string name = std::to_string(k.rate) + "-" + std::to_string(k.channels) + "-" + std::to_string(k.bits);
        SCOPED_TRACE(name);
        std::string wav = dir.file(name + ".wav");
        std::string raw = dir.file(name + ".raw");
        // Two tones, a different one on each side, a tenth of a second.
        std::string make = "sox -D -n -r " + std::to_string(k.rate) + " -c " + std::to_string(k.channels) + " -b " +
                           std::to_string(k.bits) + " " + wav + " synth 0.1 sine 440 sine 1250 gain -2";
        ASSERT_TRUE(capture(make)) << make;
        // sox's own reading of the file: signed samples, as the engine keeps them.
        ASSERT_TRUE(capture("sox -D " + wav + " -t raw -e signed-integer -b " + std::to_string(k.bits) + " " + raw));
        std::vector<uint8_t> expected = readAll(raw);
        int frames = soxInfo("-s", wav);
        ASSERT_GT(frames, 0);
        ASSERT_EQ(expected.size(), size_t(frames) * size_t(k.channels * k.bits / 8));

        HVSOUND_SAMPLE* s = HVSOUND_Sample_Load(-1, wav.c_str(), 0, 0, 0);
        ASSERT_NE(s, nullptr) << "error " << HVSOUND_GetError();
        EXPECT_EQ(s->frequency, soxInfo("-r", wav));
        EXPECT_EQ(s->length, frames);
        EXPECT_EQ((s->mode & HVSOUND_MODE_STEREO) != 0, soxInfo("-c", wav) == 2);
        EXPECT_EQ((s->mode & HVSOUND_MODE_16BITS) != 0, k.bits == 16);
        std::vector<uint8_t> loaded(s->data, s->data + HVSOUND_Sample_ByteLength(s));
        EXPECT_TRUE(loaded == expected) << "the samples differ from sox's raw conversion";
        HVSOUND_Sample_Free(s);
    }
}

} // namespace
