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
    // At the mix rate every value as it is. At half of it every output frame
    // lies between two of the buffer, also at the buffer's end, where the
    // mixer reads the guard that repeats its first frame: a constant stays
    // itself across all of it (so the data's values are also the ones heard).
    std::vector<int16_t> constant(size_t(2 * 40000));
    for (size_t i = 0; i < constant.size(); ++i)
        constant[i] = int16_t(i % 2 ? -8000 : 10000);
    wavtest::WavBuilder halfRate;
    halfRate.pcm(2, kRate / 2, 16).data(bytesOf(constant));
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int blocks;
        std::vector<int16_t> expected; // left, right, ...
    };
    const Case cases[] = {
        // 30,720 frames: three changes of buffer half.
        {"at the mix rate", wav16(60000, 2), 60, pcmValues(60000, 2)},
        // Twice round the buffer of 2 x 4,096 frames, which plays 16,384.
        {"a constant at half the mix rate", halfRate.build(), 70, constant},
    };
    for (const Case& c : cases) {
        HVSOUND_STREAM* s = openMemory(c.bytes);
        ASSERT_NE(s, nullptr) << c.what;
        heard.clear();
        playOnce(s);
        update(c.blocks);
        ASSERT_EQ(heard.size(), size_t(c.blocks * kBlock * 2)) << c.what;
        for (size_t i = 0; i < size_t(kRamp * 2); ++i)
            ASSERT_LE(std::abs(heard[i]), std::abs(c.expected[i])) << c.what << ": ramping up at " << i / 2;
        for (size_t i = size_t(kRamp * 2); i < heard.size(); ++i)
            ASSERT_EQ(heard[i], c.expected[i]) << c.what << ": frame " << i / 2;
        close(s);
    }
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
    // The silence after a stream's end plays on as position until the
    // stream stops: the data's last half is filled up with it (the data ends
    // 8,000 frames into the third half) and the next half is all of it.
    struct Case {
        const char* what;
        int frames;
        int blocks; // at most, while the stream plays
    };
    const Case cases[] = {
        {"a long stream", 100000, 40},
        {"a stream played into the silence after its end", 2 * kHalf + 8000, 200},
    };
    for (const Case& c : cases) {
        HVSOUND_STREAM* s = openMemory(wav16(c.frames, 1));
        ASSERT_NE(s, nullptr) << c.what;
        playOnce(s);
        int blocks = 0;
        while (blocks < c.blocks) {
            update();
            if (s->channel == -1)
                break;
            ++blocks;
            uint32_t played = HVSOUND_Stream_GetPlayedSample(s, false, nullptr);
            ASSERT_EQ(played, uint32_t(blocks * kBlock)) << c.what << ", block " << blocks;
            uint32_t heardNow = HVSOUND_Stream_GetPlayedSample(s, true, nullptr);
            ASSERT_EQ(heardNow, uint32_t(std::max(0, blocks - kRingBlocks) * kBlock)) << c.what << ", block " << blocks;
        }
        if (c.frames > c.blocks * kBlock) {
            HVSOUND_Stream_Stop(s);
            EXPECT_EQ(HVSOUND_Stream_GetPlayedSample(s, false, nullptr), uint32_t(blocks * kBlock))
                << "where it stopped";
        } else {
            EXPECT_GT(blocks * kBlock, 3 * kHalf) << "it played into the half after its data's";
            EXPECT_NEAR(double(HVSOUND_Stream_GetPlayedSample(s, false, nullptr)), c.frames, kRate / 1000.0)
                << "after the end: the whole length";
        }
        close(s);
    }
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
    s->busy = 1; // as inside its own refill (a prefill, a fill, a seek)
    EXPECT_EQ(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
    EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_INVALID_PARAM);
    s->busy = 0;
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
