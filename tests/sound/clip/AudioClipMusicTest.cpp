// The sound clip over module music, checked on the PCM the mixer makes: an
// S3M module loaded from an archive item and from a file, played (songs
// loop by themselves), paused and resumed by loop, stopped, its volume, and
// the song freed by release, also after the engine has closed.
#include "tests/sound/clip/ClipTestSupport.h"
#include "tests/sound/music/S3mBuilder.h"

#include "sound/music/hvmusic.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using cliptest::ProbedClip;
using window::AudioClip;

// Well after a start's ramp and inside the first block's steady sound.
constexpr size_t kSteady = 2 * 300;
// A row at speed 6 and tempo 125: 6 ticks of 441 frames, in blocks.
constexpr int kRowBlocks = 6;

class AudioClipMusic : public cliptest::ClipFixture {
protected:
    void SetUp() override
    {
        ClipFixture::SetUp();
        // A steady looping note on the first (left) channel, struck again
        // on every row (each strike applies the song's volume).
        s3mtest::S3mBuilder b;
        int instrument = b.constantInstrument(1000, 0xC0);
        b.orders({0});
        for (int row = 0; row < 64; ++row)
            b.note(0, row, 0, s3mtest::kC4, instrument);
        module = b.build();
        std::string broken = "SCRM? no, not a module";
        openArchive({{"tune.s3m", module}, {"broken.s3m", {broken.begin(), broken.end()}}});
        modulePath = dir.write("tune.s3m", std::string(module.begin(), module.end()));
    }

    ProbedClip* clip(const std::string& name) { return ClipFixture::clip(name, AudioClip::KIND_MUSIC); }

    static HVMUSIC_SONG* songOf(ProbedClip* c) { return static_cast<HVMUSIC_SONG*>(c->handle()); }

    // The loudest value heard, left or right, from value `from` on.
    static int level(const std::vector<int16_t>& out, size_t from = kSteady)
    {
        int most = 0;
        for (size_t i = from; i < out.size(); ++i)
            most = std::max(most, std::abs(int(out[i])));
        return most;
    }

    std::vector<uint8_t> module;
    std::string modulePath;
};

TEST_F(AudioClipMusic, AModuleFromAnItemOrAFilePlaysOnWithoutAChannelUntilStopped)
{
    for (const std::string& name : {std::string("+tune.s3m"), modulePath}) {
        ProbedClip* music = clip(name);
        music->play();
        ASSERT_TRUE(music->hasData()) << name;
        EXPECT_EQ(music->memoryCopy(), nullptr) << "a song needs no copy of its data";
        EXPECT_EQ(music->getBaseFrequency(), 0);
        EXPECT_EQ(music->getChannel(), -1);
        EXPECT_TRUE(music->isPlaying());
        // Far past the instrument's 1,000 samples and the pattern's 64 rows:
        // the note loops and the song starts over.
        int loud = level(listen(80));
        EXPECT_GT(loud, 1000) << name;
        EXPECT_TRUE(music->isPlaying());
        music->setPitch(2.0f);
        EXPECT_EQ(music->getChannel(), -1) << "pitch does not reach music";
        music->stop();
        EXPECT_FALSE(music->isPlaying());
        std::vector<int16_t> after = listen(2);
        EXPECT_EQ(after.back(), 0) << name;
        music->releaseData();
        EXPECT_FALSE(music->hasData());
    }
}

TEST_F(AudioClipMusic, PauseHoldsLoopResumesAndVolumeScalesTheSong)
{
    ProbedClip* music = clip("+tune.s3m");
    music->loop();
    ASSERT_TRUE(music->isPlaying());
    int full = level(listen(4));
    ASSERT_GT(full, 1000);

    music->pause();
    EXPECT_TRUE(HVMUSIC_GetPaused(songOf(music)));
    EXPECT_EQ(listen(3).back(), 0);
    music->loop();
    EXPECT_FALSE(HVMUSIC_GetPaused(songOf(music)));
    EXPECT_EQ(level(listen(4)), full) << "resumed";

    // The next strike of the note plays at the song's new volume.
    music->setVolume(128);
    EXPECT_EQ(songOf(music)->masterVolume, 128);
    std::vector<int16_t> out = listen(2 * kRowBlocks);
    EXPECT_NEAR(level(out, out.size() - 2 * 256), full / 2, full / 50 + 2);
    // A volume set before playing applies when it starts.
    music->stop();
    music->setVolume(64);
    music->play();
    EXPECT_EQ(songOf(music)->masterVolume, 64);
}

TEST_F(AudioClipMusic, ABrokenModuleIsTriedOnceAndASongIsFreedByItsClipAfterTheEngineCloses)
{
    ProbedClip* bad = clip("+broken.s3m");
    bad->play();
    EXPECT_TRUE(bad->hasLoadFailed());
    EXPECT_FALSE(bad->isPlaying());
    bad->loop();
    EXPECT_FALSE(bad->hasData());

    ProbedClip* music = clip("+tune.s3m");
    EXPECT_TRUE(music->load(lang::String("+tune.s3m"), AudioClip::KIND_MUSIC));
    EXPECT_TRUE(music->load(lang::String(modulePath.c_str()), AudioClip::KIND_MUSIC)) << "the old song goes";
    music->loop();
    update(2);
    // The fixture checks that every byte of the engine's memory came back.
    AudioClip::closeSound();
    EXPECT_FALSE(music->isPlaying());
    music->releaseData();
    EXPECT_FALSE(music->hasData());
}

} // namespace
