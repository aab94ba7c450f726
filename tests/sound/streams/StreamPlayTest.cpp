// StreamPlayTest.cpp: playing streams on the update-driven engine: what the
// mixer outputs, a whole Ogg file against libvorbisfile's decode, restarts
// after a stop and after the end, the played position, failed plays, a
// stream whose channel was taken, and closing while playing.
#include "sound/core/hvsound_channel.h"
#include "tests/sound/formats/VorbisFixtures.h"
#include "tests/sound/streams/StreamTestSupport.h"

namespace {

using namespace streamtest;

constexpr int kRamp = 64; // frames over which a start ramps up at 22,050 Hz

class SoundStreamPlay : public StreamFixture {
protected:
    // Plays a stream as the sound clip does: once, at the stream's own pan.
    int playOnce(HVSOUND_STREAM* s)
    {
        EXPECT_TRUE(HVSOUND_Stream_SetMode(s, HVSOUND_MODE_LOOP_OFF));
        int channel = HVSOUND_Stream_Play(HVSOUND_FREE, s);
        EXPECT_NE(channel, -1) << HVSOUND_GetError();
        return channel;
    }

    // Updates until the stream has stopped (at most `limit` blocks);
    // answers the blocks that were mixed while it played.
    int runToEnd(HVSOUND_STREAM* s, int limit = 400)
    {
        int blocks = 0;
        while (s->channel != -1 && blocks < limit) {
            update();
            ++blocks;
        }
        EXPECT_EQ(s->channel, -1) << "the stream ended within " << limit << " blocks";
        return blocks;
    }
};

TEST_F(SoundStreamPlay, TheMixerOutputsTheWavDataAcrossRefills)
{
    startEngine();
    HVSOUND_STREAM* s = openMemory(wav16(60000, 2));
    ASSERT_NE(s, nullptr);
    playOnce(s);
    update(60); // 30,720 frames: three changes of buffer half
    std::vector<int16_t> data = pcmValues(60000, 2);
    ASSERT_EQ(heard.size(), size_t(60 * kBlock * 2));
    for (size_t i = 0; i < size_t(kRamp * 2); ++i)
        ASSERT_LE(std::abs(heard[i]), std::abs(data[i])) << "ramping up at " << i / 2;
    for (size_t i = size_t(kRamp * 2); i < heard.size(); ++i)
        ASSERT_EQ(heard[i], data[i]) << "frame " << i / 2;
}

TEST_F(SoundStreamPlay, AnOggPlaysThroughAsLibvorbisfileDecodesItThenEnds)
{
    startEngine();
    for (int channels : {1, 2}) {
        std::vector<uint8_t> ogg = vorbistest::encodeTone(channels, kRate, 30000);
        std::vector<int16_t> reference = vorbistest::referenceDecode(ogg);
        HVSOUND_STREAM* s = openMemory(ogg);
        ASSERT_NE(s, nullptr);
        recordFromStart(s);
        playOnce(s);
        runToEnd(s);
        ASSERT_GE(recorded.size(), reference.size());
        std::vector<int16_t> decoded(recorded.begin(), recorded.begin() + long(reference.size()));
        EXPECT_EQ(firstDifference(decoded, reference), -1) << channels << " channels";
        for (size_t i = reference.size(); i < recorded.size(); ++i)
            ASSERT_EQ(recorded[i], 0) << "silence after the end, at " << i;
        EXPECT_TRUE(s->ended);
        EXPECT_FALSE(s->playing);
        // After an end: the whole length, to the millisecond.
        EXPECT_NEAR(double(HVSOUND_Stream_GetPlayedSample(s, false, nullptr)), 30000.0, kRate / 1000.0);
        close(s);
    }
}

TEST_F(SoundStreamPlay, StopThenPlayAndPlayAfterTheEndRestartFromTheFirstSample)
{
    startEngine();
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int channels;
        bool toTheEnd;
    };
    std::vector<uint8_t> ogg = vorbistest::encodeTone(2, kRate, 25000);
    std::vector<int16_t> oggStart = vorbistest::referenceDecode(ogg);
    oggStart.resize(size_t(kHalf * 2));
    std::vector<int16_t> wavStart = pcmValues(kHalf, 2);
    const Case cases[] = {
        {"WAV, stopped", wav16(25000, 2), 2, false},
        {"WAV, ended", wav16(25000, 2), 2, true},
        {"Ogg, stopped", ogg, 2, false},
        {"Ogg, ended", ogg, 2, true},
    };
    for (const Case& c : cases) {
        HVSOUND_STREAM* s = openMemory(c.bytes);
        ASSERT_NE(s, nullptr);
        const std::vector<int16_t>& start = c.bytes == ogg ? oggStart : wavStart;
        playOnce(s);
        if (c.toTheEnd) {
            runToEnd(s);
        } else {
            update(30);
            EXPECT_TRUE(HVSOUND_Stream_Stop(s));
            EXPECT_EQ(s->channel, -1);
        }
        EXPECT_TRUE(s->rewind) << c.what;
        int channel = playOnce(s);
        EXPECT_EQ(HVSOUND_GetCurrentPosition(channel), 0) << c.what;
        EXPECT_EQ(firstDifference(bufferHalf(s, 0), start), -1) << c.what;
        EXPECT_EQ(HVSOUND_Stream_GetPlayedSample(s, false, nullptr), 0u) << c.what;
        heard.clear();
        update(20);
        for (size_t i = size_t(kRamp * 2); i < heard.size(); ++i)
            ASSERT_EQ(heard[i], i < start.size() ? start[i] : heard[i]) << c.what << ", frame " << i / 2;
        close(s);
    }
}

TEST_F(SoundStreamPlay, ThePlayedPositionFollowsTheChannelAndTheHeardOneLagsByTheOutputRing)
{
    startEngine();
    HVSOUND_STREAM* s = openMemory(wav16(100000, 1));
    ASSERT_NE(s, nullptr);
    playOnce(s);
    for (int blocks = 1; blocks <= 40; ++blocks) {
        update();
        uint32_t played = HVSOUND_Stream_GetPlayedSample(s, false, nullptr);
        ASSERT_EQ(played, uint32_t(blocks * kBlock)) << blocks;
        uint32_t heardNow = HVSOUND_Stream_GetPlayedSample(s, true, nullptr);
        ASSERT_EQ(heardNow, uint32_t(std::max(0, blocks - kRingBlocks) * kBlock)) << blocks;
    }
    HVSOUND_Stream_Stop(s);
    EXPECT_EQ(HVSOUND_Stream_GetPlayedSample(s, false, nullptr), uint32_t(40 * kBlock)) << "where it stopped";
}

TEST_F(SoundStreamPlay, EveryFailedPlayAnswersMinusOne)
{
    startEngine();
    HVSOUND_STREAM* s = openMemory(wav16(1000, 1));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(HVSOUND_Stream_Play(HVSOUND_FREE, nullptr), -1);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    HVSOUND_DSPUNIT notInTheChain = {};
    EXPECT_EQ(HVSOUND_Stream_PlayEx(HVSOUND_FREE, s, &notInTheChain, false), -1);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    s->prefilling = true;
    EXPECT_EQ(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    s->prefilling = false;
    EXPECT_EQ(HVSOUND_Stream_Play(12345, s), -1) << "a channel outside the table";
    EXPECT_FALSE(s->playing);
    EXPECT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_NONE);
}

TEST_F(SoundStreamPlay, AStreamWhoseChannelWasTakenPlaysAgainWithoutCuttingTheOtherSound)
{
    startEngine(2);
    HVSOUND_STREAM* s = openMemory(wav16(50000, 1));
    ASSERT_NE(s, nullptr);
    int first = HVSOUND_Stream_Play(HVSOUND_FREE, s);
    ASSERT_NE(first, -1);
    int index = first & HVSOUND_CHANNEL_INDEX_MASK;

    // The channel was stopped under the stream: it plays there again.
    HVSOUND_StopSound(first);
    int again = HVSOUND_Stream_Play(HVSOUND_FREE, s);
    EXPECT_EQ(again & HVSOUND_CHANNEL_INDEX_MASK, index);
    EXPECT_TRUE(HVSOUND_IsPlaying(again));

    // Another sound took the channel: the stream goes elsewhere.
    HVSOUND_StopSound(again);
    HVSOUND_SAMPLE* other = rampSample(1000, HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO | HVSOUND_MODE_LOOP_NORMAL);
    int otherChannel = HVSOUND_PlaySound(index, other);
    ASSERT_NE(otherChannel, -1);
    int moved = HVSOUND_Stream_Play(HVSOUND_FREE, s);
    ASSERT_NE(moved, -1);
    EXPECT_NE(moved & HVSOUND_CHANNEL_INDEX_MASK, index);
    EXPECT_TRUE(HVSOUND_IsPlaying(otherChannel)) << "the other sound plays on";
    EXPECT_EQ(HVSOUND_GetCurrentSample(otherChannel), other);
}

TEST_F(SoundStreamPlay, ClosingAPlayingStreamStopsItsChannelAndFreesEverything)
{
    startEngine();
    for (bool ogg : {false, true}) {
        HVSOUND_STREAM* s = openMemory(ogg ? vorbistest::encodeTone(2, kRate, 40000) : wav16(40000, 2));
        ASSERT_NE(s, nullptr);
        int channel = HVSOUND_Stream_Play(HVSOUND_FREE, s);
        update(25);
        close(s);
        EXPECT_FALSE(HVSOUND_IsPlaying(channel));
        EXPECT_EQ(HVSOUND_Stream_ListHead()->next, HVSOUND_Stream_ListHead());
    }
    EXPECT_FALSE(HVSOUND_Stream_Close(nullptr));
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
}

} // namespace
