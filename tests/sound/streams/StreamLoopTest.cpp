// StreamLoopTest.cpp: looping streams (the whole data, sampler loop points,
// damaged loops, Ogg decoders that fail), the end countdown of a stream that
// plays once (and its pause), reads that deliver nothing, and sync points
// from cue and label chunks, with a stream closed in its own sync callback.
#include "sound/core/system_file.h"
#include "tests/sound/formats/VorbisFixtures.h"
#include "tests/sound/streams/StreamTestSupport.h"

#include <string>
#include <utility>

namespace {

using namespace streamtest;

class SoundStreamLoop : public StreamFixture {
protected:
    // Updates while recording the countdown after each block.
    std::vector<int> runRecordingCountdown(HVSOUND_STREAM* s, int blocks)
    {
        std::vector<int> countdowns;
        for (int i = 0; i < blocks; ++i) {
            update();
            countdowns.push_back(s->countdown);
        }
        return countdowns;
    }
};

TEST_F(SoundStreamLoop, ALoopingStreamLoopsOverItsWholeDataAndNeverStartsToEnd)
{
    startEngine();
    const int frames = 5000;
    std::vector<uint8_t> ogg = vorbistest::encodeTone(1, kRate, frames);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool exact; // a loop of an Ogg is cross-faded
    };
    const Case cases[] = {{"WAV", wav16(frames, 1), true}, {"Ogg", ogg, false}};
    for (const Case& c : cases) {
        HVSOUND_STREAM* s = openMemory(c.bytes, HVSOUND_MODE_LOOP_NORMAL);
        ASSERT_NE(s, nullptr);
        recordFromStart(s);
        ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
        std::vector<int> countdowns = runRecordingCountdown(s, 120);
        for (int countdown : countdowns)
            ASSERT_EQ(countdown, -1) << c.what;
        EXPECT_TRUE(s->playing) << c.what;
        EXPECT_EQ(s->loopGeneration, int(recorded.size()) / frames) << c.what;
        if (c.exact) {
            std::vector<int16_t> data = pcmValues(frames, 1);
            for (size_t i = 0; i < recorded.size(); ++i)
                ASSERT_EQ(recorded[i], data[i % size_t(frames)]) << c.what << " at " << i;
        }
        close(s);
    }
}

// An Ogg decoder libvorbis has reported a fault on is never seeked or read
// again (decoding with the codebooks it left half made divides by zero):
// the stream ends, looping or not, and ends again when played again. Short
// blocks of 64 samples, for which libvorbis has no lapping window, loop
// without the cross-fade.
TEST_F(SoundStreamLoop, AnOggDecoderThatFailedEndsTheStreamAndShortBlocksLoopUnlapped)
{
    std::vector<uint8_t> tone = vorbistest::encodeTone(1, kRate, 20000);
    std::vector<uint8_t> wrongLength = vorbistest::withDamagedBooks(tone, vorbistest::BookDamage::WrongLength);
    ASSERT_FALSE(wrongLength.empty());
    ASSERT_TRUE(vorbistest::referenceDecode(wrongLength).empty()) << "libvorbis refuses the first decode";
    startEngine();
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        uint32_t mode;
        bool ends;
    };
    const Case cases[] = {
        {"a wrong codeword length, looping", wrongLength, HVSOUND_MODE_LOOP_NORMAL, true},
        {"a wrong codeword length, played once", wrongLength, HVSOUND_MODE_LOOP_OFF, true},
        {"short blocks of 64 samples, looping", vorbistest::withBlockSizes(tone, 6, 6), HVSOUND_MODE_LOOP_NORMAL,
         false},
    };
    for (const Case& c : cases) {
        HVSOUND_STREAM* s = openMemory(c.bytes, c.mode);
        ASSERT_NE(s, nullptr) << c.what;
        for (int play = 1; play <= 2; ++play) {
            ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1) << c.what;
            int generation = s->loopGeneration;
            for (int i = 0; i < 100 && s->channel != -1; ++i)
                update();
            EXPECT_EQ(s->channel == -1, c.ends) << c.what << ", play " << play;
            EXPECT_EQ(s->loopGeneration > generation + 1, !c.ends) << c.what << ", play " << play;
            HVSOUND_Stream_Stop(s);
        }
        close(s);
    }
}

// At 1,000 Hz the millisecond arithmetic of a seek by samples is exact, so
// the loop start is found to the sample.
TEST_F(SoundStreamLoop, SamplerLoopPointsLoopBetweenThemAndBadOnesAreIgnored)
{
    startEngine();
    const int frames = 3000;
    std::vector<int16_t> data = pcmValues(frames, 1);
    struct Case {
        const char* what;
        uint32_t start;
        uint32_t end;
        int loopFrom; // where each loop restarts
        int loopTo;   // one past its last sample
    };
    const Case cases[] = {
        {"a loop inside the data", 1000, 2000, 1000, 2000},
        {"start after end: the whole data", 2000, 1000, 0, frames},
        {"start at end: the whole data", 1500, 1500, 0, frames},
        {"end past the data: cut to the data", 500, 90000, 500, frames - 1},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes =
            wav16(frames, 1, 1000, [&](wavtest::WavBuilder& b) { b.sampler(c.start, c.end); });
        HVSOUND_STREAM* s = openMemory(bytes, HVSOUND_MODE_LOOP_NORMAL);
        ASSERT_NE(s, nullptr) << c.what;
        recordFromStart(s);
        ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
        update(400);
        ASSERT_GT(recorded.size(), size_t(3 * frames)) << c.what;
        for (size_t i = 0; i < recorded.size(); ++i) {
            size_t at = i;
            if (i >= size_t(c.loopTo))
                at = size_t(c.loopFrom) + (i - size_t(c.loopTo)) % size_t(c.loopTo - c.loopFrom);
            ASSERT_EQ(recorded[i], data[at]) << c.what << " at " << i;
        }
        close(s);
    }
}

TEST_F(SoundStreamLoop, ASeekPastTheLoopEndGoesBackToTheLoopStart)
{
    startEngine();
    std::vector<uint8_t> bytes = wav16(3000, 1, 1000, [](wavtest::WavBuilder& b) { b.sampler(1000, 2000); });
    HVSOUND_STREAM* s = openMemory(bytes, HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(s, nullptr);
    // Byte 5000 is sample 2500, beyond the loop's end: the fill must not
    // stall there.
    ASSERT_TRUE(HVSOUND_Stream_SetPositionCore(s, 5000, false, false));
    std::vector<int16_t> first = bufferHalf(s, 0);
    std::vector<int16_t> data = pcmValues(3000, 1);
    EXPECT_EQ(first[0], data[1000]);
    EXPECT_EQ(s->loopGeneration, 1);
}

TEST_F(SoundStreamLoop, ALoopOfNoDataEndsInsteadOfSpinning)
{
    startEngine();
    wavtest::WavBuilder b;
    b.pcm(1, kRate, 16).data({});
    HVSOUND_STREAM* s = openMemory(b.build(), HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(s, nullptr) << HVSOUND_GetError();
    ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
    for (int i = 0; i < 200 && s->channel != -1; ++i)
        update();
    EXPECT_EQ(s->channel, -1);
    EXPECT_TRUE(s->ended);
}

// Reads that deliver nothing are ended on only when they read nothing of
// the data either: a decoder crossing a long damaged stretch one empty read
// at a time goes on, one that neither reads nor delivers ends.
int g_streamLoopEmptyReadsLeft = 0;
int g_streamLoopEmptyReadStep = 0;

bool soundStreamLoopEmptyReads(HVSOUND_STREAM* s, void* source, int sourceSize, void* destination, int* length)
{
    if (g_streamLoopEmptyReadsLeft > 0) {
        --g_streamLoopEmptyReadsLeft;
        HVSOUND_File_Seek(s->file, g_streamLoopEmptyReadStep, SEEK_CUR);
        *length = 0;
        return true;
    }
    return HVSOUND_PCM_ReadCallback(s, source, sourceSize, destination, length);
}

TEST_F(SoundStreamLoop, EmptyReadsEndTheDataOnlyWhenTheyReadNothing)
{
    startEngine();
    std::vector<int16_t> data = pcmValues(20000, 1);
    struct Case {
        const char* what;
        int reads;
        int step; // bytes each empty read takes
        bool ends;
    };
    const Case cases[] = {
        {"a hundred reads crossing a damaged stretch", 100, 2, false},
        {"a hundred reads that read nothing", 100, 0, true},
    };
    for (const Case& c : cases) {
        HVSOUND_STREAM* s = openMemory(wav16(20000, 1), HVSOUND_MODE_LOOP_OFF);
        ASSERT_NE(s, nullptr);
        s->readCallback = soundStreamLoopEmptyReads;
        g_streamLoopEmptyReadsLeft = c.reads;
        g_streamLoopEmptyReadStep = c.step;
        ASSERT_TRUE(HVSOUND_Stream_SetPositionCore(s, 0, false, false));
        std::vector<int16_t> first = bufferHalf(s, 0);
        if (c.ends) {
            EXPECT_NE(s->countdown, -1) << c.what;
            EXPECT_EQ(first[0], 0) << c.what;
        } else {
            EXPECT_EQ(s->countdown, -1) << c.what;
            EXPECT_EQ(first[0], data[size_t(c.reads * c.step / 2)]) << c.what << ": the data after the stretch";
        }
        close(s);
    }
}

TEST_F(SoundStreamLoop, AStreamPlayedOnceStopsOnlyAfterItsLastHalfHasPlayed)
{
    startEngine();
    // Data that ends early in a half, and data that ends in a half's last
    // block, so that the mixer reaches the half filled after the end before
    // the stream stops.
    for (const int frames : {20000, 3 * kHalf - kBlock / 2}) {
        SCOPED_TRACE(frames);
        HVSOUND_STREAM* s = openMemory(wav16(frames, 1), HVSOUND_MODE_LOOP_OFF);
        ASSERT_NE(s, nullptr);
        int ends = 0;
        s->endCallback = [](HVSOUND_STREAM*, void*, int, void* count) {
            ++*static_cast<int*>(count);
            return true;
        };
        s->endUserData = &ends;
        int channel = HVSOUND_Stream_Play(HVSOUND_FREE, s);
        ASSERT_NE(channel, -1);
        // The capture's frame where the stream's first frame is mixed.
        const size_t start = heard.size() / 2;

        int blocks = 0;
        int endingFrom = -1;
        while (s->channel != -1 && blocks < 200) {
            update();
            ++blocks;
            if (s->countdown >= 0 && endingFrom < 0)
                endingFrom = blocks;
        }
        ASSERT_EQ(s->channel, -1);
        EXPECT_EQ(ends, 1);
        // The data ran out in the refill that began the ending, well before
        // the mixer got to it; the channel was stopped only after the mixer
        // had played past the data's last sample.
        EXPECT_LT(endingFrom * kBlock, frames);
        int mixed = (blocks - 1) * kBlock;
        EXPECT_GE(mixed, frames);
        EXPECT_LE(mixed, frames + kHalf + kRingBlocks * kBlock);
        EXPECT_FALSE(HVSOUND_IsPlaying(channel));
        // From the data's last sample to the stop the stream is silent: a
        // half filled after the data's end is silence, not the last fill's
        // sound again.
        ASSERT_GT(heard.size() / 2, start + size_t(frames));
        EXPECT_NE(heard[(start + size_t(frames) - 1) * 2], 0) << "the data's last sample";
        size_t sounding = 0;
        for (size_t i = (start + size_t(frames)) * 2; i < heard.size(); ++i)
            sounding += heard[i] != 0;
        EXPECT_EQ(sounding, 0u) << "values heard after the data's end";
        close(s);
    }
}

TEST_F(SoundStreamLoop, APausedCountdownDoesNotRun)
{
    startEngine();
    HVSOUND_STREAM* s = openMemory(wav16(12000, 1), HVSOUND_MODE_LOOP_OFF);
    ASSERT_NE(s, nullptr);
    int channel = HVSOUND_Stream_Play(HVSOUND_FREE, s);
    while (s->countdown < 0)
        update();
    ASSERT_TRUE(HVSOUND_SetPaused(channel, true));
    int countdown = s->countdown;
    update(100);
    EXPECT_EQ(s->countdown, countdown);
    EXPECT_EQ(s->channel, channel);
    ASSERT_TRUE(HVSOUND_SetPaused(channel, false));
    update();
    EXPECT_LT(s->countdown, countdown);
    for (int i = 0; i < 100 && s->channel != -1; ++i)
        update();
    EXPECT_EQ(s->channel, -1);
}

struct Fired {
    std::string name;
    uint32_t offset;
    int generation; // the loop it fired in
};

bool recordSync(HVSOUND_STREAM* stream, const char* name, uint32_t offset, void* list)
{
    static_cast<std::vector<Fired>*>(list)->push_back({name, offset, stream->lastGeneration});
    return true;
}

TEST_F(SoundStreamLoop, SyncPointsFireWhenHeardNewestFirstAndAgainAfterEachLoop)
{
    startEngine();
    const int frames = 6000;
    std::vector<uint8_t> bytes = wav16(frames, 1, kRate, [](wavtest::WavBuilder& b) {
        b.cue({{1, 500}, {2, 3000}, {3, 3000}, {4, 5500}});
        b.labels({{1, "start"}, {2, "second"}, {3, "third"}});
    });
    HVSOUND_STREAM* s = openMemory(bytes, HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(s, nullptr);
    HVSOUND_SYNCPOINT* point = HVSOUND_Stream_SyncPoint_Get(&s->syncList, 2);
    ASSERT_NE(point, nullptr);
    EXPECT_STREQ(point->name, "third") << "the later of two points at one offset comes first";
    EXPECT_EQ(point->cueId, 3u);
    EXPECT_EQ(HVSOUND_Stream_SyncPoint_Get(&s->syncList, 5), nullptr);

    std::vector<Fired> fired;
    s->syncList.callback = recordSync;
    s->syncUserData = &fired;
    ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
    for (int block = 1; block <= 45; ++block) {
        size_t before = fired.size();
        update();
        // What fires has been heard: the output plays a ring behind the mix
        // (the position is known to the block).
        int heardUpTo = std::max(0, block - kRingBlocks) * kBlock;
        for (size_t i = before; i < fired.size(); ++i)
            ASSERT_LE(fired[i].generation * frames + int(fired[i].offset), heardUpTo + kBlock) << block;
    }
    const Fired once[] = {{"start", 500, 0}, {"third", 3000, 0}, {"second", 3000, 0}, {"", 5500, 0}};
    ASSERT_GE(fired.size(), size_t(12)) << "three loops heard";
    for (size_t i = 0; i < fired.size(); ++i) {
        EXPECT_EQ(fired[i].name, once[i % 4].name) << i;
        EXPECT_EQ(fired[i].offset, once[i % 4].offset) << i;
        EXPECT_EQ(fired[i].generation, int(i / 4)) << i;
    }
}

TEST_F(SoundStreamLoop, AStreamClosedInItsSyncCallbackGetsNoneOfItsCallsStillQueued)
{
    startEngine();
    // Two points at one offset fall due in one mix cycle, which calls them
    // after it: the first call closes the stream while the second waits.
    std::vector<uint8_t> bytes = wav16(6000, 1, kRate, [](wavtest::WavBuilder& b) { b.cue({{1, 500}, {2, 500}}); });
    HVSOUND_STREAM* s = openMemory(bytes, HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(s, nullptr);
    forget(s);
    std::vector<Fired> fired;
    s->syncList.callback = [](HVSOUND_STREAM* stream, const char* name, uint32_t offset, void* list) {
        recordSync(stream, name, offset, list);
        return HVSOUND_Stream_Close(stream);
    };
    s->syncUserData = &fired;
    ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
    for (int block = 0; block < 20; ++block)
        update();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].offset, 500u);
}

} // namespace
