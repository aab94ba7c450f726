// The sound clip over streams, checked on the PCM the mixer makes
// (update-driven output with the float mixer, every block captured):
// loading from an archive item into the clip's own copy and from a file,
// playing once to the end, looping, pausing and resuming, stopping and
// replaying, volume and pitch, a looping clip whose channel was taken,
// release, a broken item, a stream loaded from memory, and an MP3 stream
// against the same MP3 played as a sample.
#include "tests/sound/clip/ClipTestSupport.h"
#include "tests/sound/formats/MpegTestSupport.h"

#include <string>
#include <vector>

namespace {

using namespace streamtest;
using cliptest::ProbedClip;
using window::AudioClip;

constexpr int kRamp = 64; // frames over which a start ramps up at 22,050 Hz
// The stream's length: a little over two buffer halves.
constexpr int kFrames = 2 * kHalf + 3000;

class AudioClipStream : public cliptest::ClipFixture {
protected:
    void SetUp() override
    {
        ClipFixture::SetUp();
        song = wav16(kFrames, 2);
        data = pcmValues(kFrames, 2);
        mp3 = mpegtest::lameFile(44100, 2, "-b 128");
        std::string broken = "this is no sound at all";
        openArchive({{"song", song}, {"notasound", {broken.begin(), broken.end()}}, {"tune", mp3}});
        songPath = dir.write("song.wav", std::string(song.begin(), song.end()));
    }

    ProbedClip* clip(const std::string& name, int kind = AudioClip::KIND_STREAM)
    {
        return ClipFixture::clip(name, kind);
    }

    // After the start's ramp, `out` is `expected` from value `from` on,
    // repeating it when `repeat`.
    static void expectHeard(const std::vector<int16_t>& out, const std::vector<int16_t>& expected, size_t from,
                            bool repeat, const std::string& what)
    {
        for (size_t i = 2 * kRamp; i < out.size(); ++i) {
            size_t at = from + i;
            if (repeat)
                at %= expected.size();
            int16_t want = at < expected.size() ? expected[at] : 0;
            ASSERT_EQ(out[i], want) << what << ", frame " << i / 2;
        }
    }

    std::vector<uint8_t> song;
    std::vector<int16_t> data;
    std::vector<uint8_t> mp3;
    std::string songPath;
};

TEST_F(AudioClipStream, AStreamLoadsFromAnItemIntoItsOwnCopyOrFromAFileAndPlaysOnceToItsEnd)
{
    std::string windowsPath = songPath;
    windowsPath[windowsPath.rfind('/')] = '\\';
    struct Case {
        std::string name;
        bool copied;
    };
    for (const Case& c : {Case{"+song", true}, Case{songPath, false}, Case{windowsPath, false}}) {
        ProbedClip* s = clip(c.name);
        EXPECT_FALSE(s->hasData()) << "naming a stream loads nothing";
        s->play();
        ASSERT_TRUE(s->hasData()) << c.name;
        EXPECT_EQ(s->getBaseFrequency(), kRate);
        EXPECT_EQ(s->memoryCopy() != nullptr, c.copied) << c.name;
        HVSOUND_CHANNEL* channel = HVSOUND_Channel_Find(s->getChannel());
        ASSERT_NE(channel, nullptr);
        EXPECT_EQ(channel->priority, 255) << "no effect takes a stream's channel";
        if (c.copied) {
            // The archive goes away; the stream reads its own copy.
            lang::ResourceFile::closeAll();
        }
        std::vector<int16_t> out = listenToTheEnd(s);
        EXPECT_GT(out.size(), data.size()) << c.name;
        expectHeard(out, data, 0, false, c.name);
        s->releaseData();
        EXPECT_FALSE(s->hasData());
        EXPECT_EQ(s->memoryCopy(), nullptr);
        EXPECT_EQ(HVSOUND_Stream_ListHead()->next, HVSOUND_Stream_ListHead()) << "the stream was closed";
        reopenArchive();
    }
}

TEST_F(AudioClipStream, LoopRepeatsPauseHoldsLoopResumesStopSilencesAndPlayRestarts)
{
    ProbedClip* s = clip("+song");
    s->loop();
    ASSERT_NE(s->getChannel(), -1);
    // Past its end it goes on from its start.
    std::vector<int16_t> out = listen(2 * kFrames / kBlock);
    expectHeard(out, data, 0, true, "looping");
    EXPECT_TRUE(s->isPlaying());
    size_t played = out.size();

    int channel = s->getChannel();
    s->pause();
    EXPECT_TRUE(HVSOUND_GetPaused(channel));
    out = listen(3);
    EXPECT_EQ(out.back(), 0);
    s->loop();
    EXPECT_EQ(s->getChannel(), channel) << "a paused clip resumes on its channel";
    EXPECT_FALSE(HVSOUND_GetPaused(channel));
    s->loop();
    EXPECT_EQ(s->getChannel(), channel) << "a playing clip keeps on";
    out = listen(4);
    // It resumes where it was paused, with no new start ramp.
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], data[(played + i) % data.size()]) << "resumed, frame " << i / 2;

    s->stop();
    EXPECT_EQ(s->getChannel(), -1);
    EXPECT_FALSE(s->isPlaying());
    out = listen(2);
    for (size_t i = 2 * kRamp; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0) << "stopped, frame " << i / 2;
    s->play();
    expectHeard(listen(30), data, 0, false, "played again from its start");
    s->play();
    expectHeard(listen(5), data, 0, false, "a second play restarts it");
}

TEST_F(AudioClipStream, VolumeIsAbsoluteAndPitchBendsTheStreamsOwnFrequency)
{
    ProbedClip* s = clip("+song");
    s->setVolume(128);
    s->setPitch(2.0f);
    s->play();
    int channel = s->getChannel();
    EXPECT_EQ(HVSOUND_GetVolume(channel), 128);
    EXPECT_EQ(HVSOUND_GetFrequency(channel), 2 * kRate);
    AudioClip::setMasterVolume(60);
    std::vector<int16_t> out = listen(4);
    // Twice as fast: every other frame of the data, at half volume.
    for (size_t i = 2 * kRamp; i < out.size(); ++i) {
        size_t at = (i / 2) * 4 + i % 2;
        ASSERT_NEAR(out[i], data[at] * 128 / 255, 2) << "frame " << i / 2;
    }
    s->fadeVolume(0, 2, true);
    EXPECT_TRUE(s->updateFades(0));
    EXPECT_EQ(HVSOUND_GetVolume(channel), 64);
    EXPECT_FALSE(s->updateFades(1));
    EXPECT_TRUE(HVSOUND_GetPaused(channel)) << "paused at the end of the fade";
    s->setPitch(1.0f);
    EXPECT_EQ(HVSOUND_GetFrequency(channel), kRate);
}

// Each way a clip's channel can be lost: the stream still plays (its
// channel was taken), or it had played once to its end and the channel
// has been given to another sound since.
TEST_F(AudioClipStream, ALoopingClipWhoseChannelWasTakenStartsOnAFreeChannel)
{
    HVSOUND_SAMPLE* other = rampSample(100000, HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO | HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(other, nullptr);
    for (bool ended : {false, true}) {
        ProbedClip* s = clip("+song");
        if (ended) {
            s->play();
            listenToTheEnd(s);
        } else {
            s->loop();
            update(3);
        }
        int index = s->getChannel() & HVSOUND_CHANNEL_INDEX_MASK;
        int otherChannel = HVSOUND_PlaySound(index, other);
        ASSERT_NE(otherChannel, -1);
        EXPECT_FALSE(s->isPlaying());
        s->loop();
        ASSERT_NE(s->getChannel(), -1) << ended;
        EXPECT_NE(s->getChannel() & HVSOUND_CHANNEL_INDEX_MASK, index) << ended;
        EXPECT_TRUE(s->isPlaying()) << ended;
        EXPECT_TRUE(HVSOUND_IsPlaying(otherChannel)) << ended << ": the other sound plays on";
        EXPECT_EQ(HVSOUND_GetCurrentSample(otherChannel), other);
        s->stop();
        HVSOUND_StopSound(otherChannel);
    }
}

TEST_F(AudioClipStream, ABrokenItemIsTriedOnceAndAStreamIsFreedByItsClipAfterTheEngineCloses)
{
    ProbedClip* bad = clip("+notasound");
    bad->play();
    EXPECT_TRUE(bad->hasLoadFailed());
    EXPECT_FALSE(bad->hasData());
    EXPECT_EQ(bad->memoryCopy(), nullptr) << "the copy of a refused stream is freed";
    bad->loop();
    EXPECT_EQ(bad->getChannel(), -1);

    ProbedClip* s = clip("+song");
    EXPECT_TRUE(s->load(lang::String("+song"), AudioClip::KIND_STREAM));
    EXPECT_NE(s->memoryCopy(), nullptr);
    EXPECT_TRUE(s->load(lang::String(songPath.c_str()), AudioClip::KIND_STREAM));
    EXPECT_EQ(s->memoryCopy(), nullptr) << "a new load lets the old stream and its copy go";
    EXPECT_TRUE(s->load(lang::String("+song"), AudioClip::KIND_STREAM));
    s->loop();
    update(2);
    // Closing the engine stops the stream but leaves it to the clip to free
    // (the fixture checks that every byte of the engine's memory came back).
    AudioClip::closeSound();
    EXPECT_FALSE(s->isPlaying());
    s->stop();
    s->releaseData();
    EXPECT_FALSE(s->hasData());
    EXPECT_EQ(s->memoryCopy(), nullptr);
}

// Data handed to the clip directly (not through an archive item's name) is
// held as the kind it was loaded as, whatever kind is named afterwards.
TEST_F(AudioClipStream, AStreamLoadedFromMemoryIsPlayedAndFreedAsAStream)
{
    ProbedClip* s = clip("", AudioClip::KIND_SAMPLE);
    ASSERT_TRUE(s->loadFromMemory(song.data(), int(song.size()), AudioClip::KIND_STREAM));
    s->setSource(lang::String(songPath.c_str()), AudioClip::KIND_SAMPLE);
    ASSERT_EQ(s->getHeldKind(), AudioClip::KIND_STREAM);
    s->play();
    expectHeard(listenToTheEnd(s), data, 0, false, "streamed from memory");
    s->releaseData();
    EXPECT_EQ(s->memoryCopy(), nullptr);
    EXPECT_EQ(HVSOUND_Stream_ListHead()->next, HVSOUND_Stream_ListHead()) << "the stream was closed";
}

TEST_F(AudioClipStream, AnMp3StreamClipSoundsLikeTheSameItemPlayedAsASample)
{
    if (mp3.empty())
        GTEST_SKIP() << "lame is needed";
    AudioClip* whole = clip("+tune", AudioClip::KIND_SAMPLE);
    whole->play();
    EXPECT_EQ(whole->getBaseFrequency(), 44100);
    std::vector<int16_t> expected = listenToTheEnd(whole);
    AudioClip* streamed = clip("+tune");
    streamed->play();
    EXPECT_EQ(streamed->getBaseFrequency(), 44100);
    std::vector<int16_t> out = listenToTheEnd(streamed);
    ASSERT_GE(out.size(), expected.size());
    out.resize(expected.size());
    EXPECT_EQ(firstDifference(out, expected), -1);
}

} // namespace
