// S3mWriterTest.cpp: the sample game's module music as the tools write it:
// the player sounds each note at its pitch for its rows, a rest cuts the
// note, and openmpt123 (when installed) reads the module as lasting its
// rows.
#include "tests/sound/music/MusicTestSupport.h"

#include "tools/S3mWriter.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using tools::S3mWriter;

class S3mWriterTest : public musictest::MusicFixture {};

TEST_F(S3mWriterTest, EachNoteSoundsAtItsPitchForItsRowsAndARestCutsIt)
{
    // A4 for two rows, a rest of one, C5 for three; then silence to the end
    // of the pattern.
    const std::vector<S3mWriter::Note> melody = {{440.0, 200, 0.2}, {0.0, 100, 0.0}, {523.25, 300, 0.1}};
    HVMUSIC_SONG* song = load(S3mWriter::module("test", melody));
    ASSERT_NE(nullptr, song) << "error " << HVSOUND_GetError();
    ASSERT_TRUE(HVMUSIC_PlaySong(song));
    EXPECT_EQ(S3mWriter::SPEED, song->defaultSpeed);
    EXPECT_EQ(S3mWriter::TEMPO, song->defaultTempo);

    // The sine's period is PERIOD_SAMPLES samples: the tone is the channel's
    // sample rate over that.
    auto toneOf = [](const musictest::Heard& h) { return double(h.frequency) / S3mWriter::PERIOD_SAMPLES; };
    const std::vector<musictest::Heard> trace = ticks(song, 6 * S3mWriter::SPEED);
    struct Expect {
        int row;
        double hertz;
        int volume;
    };
    for (Expect e : {Expect{0, 440.0, 51}, Expect{1, 440.0, 51}, Expect{2, 0.0, 0}, Expect{3, 523.25, 26},
                     Expect{5, 523.25, 26}}) {
        const musictest::Heard& h = trace[size_t(e.row * S3mWriter::SPEED + 1)];
        EXPECT_EQ(e.volume, h.playing ? h.volume : 0) << "row " << e.row;
        if (e.hertz > 0) {
            EXPECT_TRUE(h.playing) << "row " << e.row;
            EXPECT_NEAR(e.hertz, toneOf(h), e.hertz * 0.003) << "row " << e.row;
        }
    }
}

TEST_F(S3mWriterTest, NotesRoundToTheNearestSemitoneWithinTheEightOctaves)
{
    struct Case {
        double hertz;
        uint8_t note;
    };
    for (Case c : {Case{261.63, 0x40}, Case{277.0, 0x41}, Case{440.0, 0x49}, Case{880.0, 0x59}, Case{130.81, 0x30},
                   Case{1.0, 0x00}, Case{100000.0, 0x7B}})
        EXPECT_EQ(c.note, S3mWriter::noteOf(c.hertz)) << c.hertz;
}

TEST_F(S3mWriterTest, AnIndependentPlayerReadsTheModuleAsLastingItsRows)
{
    if (std::system("command -v openmpt123 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "openmpt123 is not installed";
    // 70 rows: two patterns, the second padded to its 64 rows.
    const std::vector<S3mWriter::Note> melody = {{392.0, 3000, 0.2}, {0.0, 1000, 0.0}, {494.0, 3000, 0.2}};
    testsupport::TempDir dir;
    const std::filesystem::path file = dir.path() / "melody.s3m";
    const std::vector<uint8_t> bytes = S3mWriter::module("test", melody);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    std::string info;
    if (FILE* p = popen(("openmpt123 --info '" + file.string() + "' 2>&1").c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, p))
            info += buffer;
        pclose(p);
    }
    EXPECT_NE(std::string::npos, info.find("Channels...: 1")) << info;
    int minutes = -1;
    double seconds = -1;
    const size_t at = info.find("Duration...: ");
    ASSERT_NE(std::string::npos, at) << info;
    ASSERT_EQ(2, sscanf(info.c_str() + at + 13, "%d:%lf", &minutes, &seconds)) << info;
    EXPECT_NEAR(128 * S3mWriter::ROW_MS / 1000.0, minutes * 60 + seconds, 0.01);
}

} // namespace
