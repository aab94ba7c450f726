// StreamThreadTest.cpp: streams on a real output with real threads (SDL's
// dummy audio device plays in real time): refills by the stream thread, the
// end of a stream played once, an MP3 stream sought while it plays, its
// pitch changed and its channel taken while it plays, the engine's close
// within a second with a stream playing, stream calls from song and sync
// callbacks, and opens, plays, stops and closes racing the threads.
#include "sound/core/hvsound_channel.h"
#include "sound/music/hvmusic.h"
#include "tests/sound/formats/MpegTestSupport.h"
#include "tests/sound/formats/VorbisFixtures.h"
#include "tests/sound/music/S3mBuilder.h"
#include "tests/sound/streams/StreamTestSupport.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace streamtest;
using Clock = std::chrono::steady_clock;

class SoundStreamThread : public StreamFixture {
protected:
    void SetUp() override
    {
        StreamFixture::SetUp();
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        // Real threads run on real time.
        platform::setClock(nullptr);
    }

    void startThreaded()
    {
        HVSOUND_SetOutput(HVSOUND_OUTPUT_DSOUND);
        ASSERT_TRUE(HVSOUND_Init(kRate, 16, 0)) << "error " << HVSOUND_GetError();
    }

    // Reads stream fields the stream thread writes, under its lock.
    template <typename F>
    static auto locked(F read)
    {
        HVSOUND_Stream_EnterStreamLock();
        auto value = read();
        HVSOUND_Stream_LeaveStreamLock();
        return value;
    }

    // Waits (at most `seconds` of real time) until `done` holds.
    template <typename F>
    static bool within(double seconds, F done)
    {
        auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < end) {
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }
};

TEST_F(SoundStreamThread, TheStreamThreadRefillsAPlayingStreamUntilItEnds)
{
    startThreaded();
    // One second of sound, played once.
    HVSOUND_STREAM* s = openMemory(wav16(kRate, 2), HVSOUND_MODE_LOOP_OFF);
    ASSERT_NE(s, nullptr);
    static std::atomic<int> ends{0};
    ends = 0;
    s->endCallback = [](HVSOUND_STREAM*, void*, int, void*) {
        ++ends;
        return true;
    };
    ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
    EXPECT_TRUE(within(3.0, [&] { return locked([&] { return s->position; }) > uint32_t(2 * kHalf); }))
        << "the thread refilled both halves";
    EXPECT_TRUE(within(5.0, [&] { return locked([&] { return s->channel; }) == -1; })) << "the stream ended";
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(s->ended);
}

TEST_F(SoundStreamThread, AnMp3StreamSoughtWhileTheThreadRefillsItPlaysOnToItsEnd)
{
    std::vector<uint8_t> mp3 = mpegtest::lameFile(44100, 2, "-b 128");
    if (mp3.empty())
        GTEST_SKIP() << "lame is needed";
    startThreaded();
    for (uint32_t exact : {0u, uint32_t(HVSOUND_MODE_MPEGACCURATE)}) {
        HVSOUND_STREAM* s = openMemory(mp3, HVSOUND_MODE_LOOP_OFF | exact);
        ASSERT_NE(s, nullptr);
        ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
        EXPECT_TRUE(within(3.0, [&] { return locked([&] { return s->position; }) > uint32_t(kRate); }));
        // Back to the middle, then near the start, while the thread runs.
        for (int part : {2, 8}) {
            ASSERT_TRUE(HVSOUND_Stream_SetPositionCore(s, uint32_t(s->dataLength / part), false, false));
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        EXPECT_TRUE(within(5.0, [&] { return locked([&] { return s->channel; }) == -1; })) << "the stream ended";
        EXPECT_TRUE(s->ended);
        close(s);
    }
}

TEST_F(SoundStreamThread, AStreamsChannelChangesSafelyUnderTheThreadThatLooksAtIt)
{
    startThreaded();
    HVSOUND_STREAM* s = openMemory(wav16(kRate, 1), HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(s, nullptr);
    int channel = HVSOUND_Stream_Play(HVSOUND_FREE, s);
    ASSERT_NE(channel, -1);
    const uint32_t mode = HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO | HVSOUND_MODE_LOOP_OFF;
    HVSOUND_SAMPLE* shot = HVSOUND_Sample_Alloc(-1, 1000, mode, kRate, 255, 128, 0);
    ASSERT_NE(shot, nullptr);
    // The game thread bends the stream's pitch, then plays other sounds on
    // its channel: the stream thread looks at that record on every pass.
    for (int round = 0; round < 100; ++round) {
        if (round < 50)
            EXPECT_TRUE(HVSOUND_SetFrequency(channel, kRate + round % 7 * 500));
        else
            EXPECT_TRUE(HVSOUND_StopSound(HVSOUND_PlaySound(channel & HVSOUND_CHANNEL_INDEX_MASK, shot)));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_FALSE(HVSOUND_IsPlaying(channel)) << "the channel went to the other sounds";
    HVSOUND_Sample_Free(shot);
}

// Where the mixer reads a stream: a unit after the channels' one keeps the
// channel's play position and counts the cycles, so that a fill on the
// stream thread can wait for the mixer without being ordered before the
// mixer's later reads.
struct MixerReadProbe {
    HVSOUND_CHANNEL* channel = nullptr;
    std::atomic<int> position{0};
    std::atomic<int> cycles{0};
    std::atomic<bool> readWhileFilled{false};
    bool late = true; // read and written by the fill only
};

void* probeMixerReads(void*, void* buffer, int, void* parameter)
{
    auto* probe = static_cast<MixerReadProbe*>(parameter);
    HVSOUND_MixerLockScope lock;
    probe->position = int(probe->channel->playPosition);
    ++probe->cycles;
    return buffer;
}

// A fill whose sound comes late, the first time: it decodes its half, waits
// until the mixer reads in that half (the other half has played out before
// the decoding was done), puts the sound there and returns once the mixer
// has mixed two more blocks. Afterwards it fills as the stream's own does.
bool lateFill(HVSOUND_STREAM* s, void* destination, int bytes, void* parameter)
{
    auto* probe = static_cast<MixerReadProbe*>(parameter);
    if (!probe->late)
        return HVSOUND_Stream_FileFill(s, destination, bytes, nullptr);
    probe->late = false;
    std::vector<uint8_t> sound(static_cast<size_t>(bytes));
    bool more = HVSOUND_Stream_FileFill(s, sound.data(), bytes, nullptr);
    const int half = s->nextHalf;
    const int halfLength = s->sample->length / 2;
    auto until = [](auto done) {
        auto end = Clock::now() + std::chrono::seconds(5);
        while (!done() && Clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return done();
    };
    bool reached = until([&] { return probe->position / halfLength == half; });
    std::memcpy(destination, sound.data(), sound.size());
    const int cycles = probe->cycles;
    until([&] { return probe->cycles >= cycles + 2; });
    probe->readWhileFilled = reached;
    return more;
}

TEST_F(SoundStreamThread, AHalfFilledLateIsNeverWrittenWhileTheMixerReadsIt)
{
    startThreaded();
    HVSOUND_STREAM* s = openMemory(wav16(kRate, 2), HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(s, nullptr);
    MixerReadProbe probe;
    locked([&] {
        s->fillProcedure = lateFill;
        s->fillUserData = &probe;
        return 0;
    });
    int handle = HVSOUND_Stream_PlayEx(HVSOUND_FREE, s, nullptr, true);
    ASSERT_NE(handle, -1);
    probe.channel = HVSOUND_Channel_Find(handle);
    HVSOUND_DSPUNIT* unit = HVSOUND_DSP_Create(probeMixerReads, 150, &probe);
    ASSERT_NE(unit, nullptr);
    HVSOUND_DSP_SetActive(unit, true);
    HVSOUND_SetPaused(handle, false);
    EXPECT_TRUE(within(5.0, [&] { return probe.readWhileFilled.load(); }))
        << "the mixer reached the half while its fill was under way";
    // No fill runs after the stop, nor a probe after its unit is gone.
    EXPECT_TRUE(HVSOUND_Stream_Stop(s));
    EXPECT_TRUE(HVSOUND_DSP_Free(unit));
}

TEST_F(SoundStreamThread, ClosingTheEngineWithAStreamPlayingTakesLessThanASecond)
{
    startThreaded();
    HVSOUND_STREAM* music = openMemory(vorbistest::encodeTone(2, kRate, 3 * kRate), HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(music, nullptr);
    ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, music), -1);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    auto before = Clock::now();
    HVSOUND_Close();
    double seconds = std::chrono::duration<double>(Clock::now() - before).count();
    EXPECT_LT(seconds, 1.0);
    EXPECT_FALSE(music->playing);
}

TEST_F(SoundStreamThread, StreamCallsFromSongAndSyncCallbacksNeverHangTheEngine)
{
    startThreaded();
    static HVSOUND_STREAM* target;
    static std::atomic<int> rows, syncs;
    rows = syncs = 0;
    target = openMemory(wav16(kRate, 1));
    // A sync point a quarter of a second in seeks its stream back to the start.
    HVSOUND_STREAM* looped =
        openMemory(wav16(kRate, 1, kRate, [](wavtest::WavBuilder& w) { w.cue({{1, kRate / 4}}); }));
    ASSERT_TRUE(target && looped);
    HVSOUND_Stream_EnterListLock();
    looped->syncList.callback = [](HVSOUND_STREAM* s, const char*, uint32_t, void*) {
        ++syncs;
        return HVSOUND_Stream_SetPositionCore(s, 0, false, false);
    };
    HVSOUND_Stream_LeaveListLock();
    // Every row of a fast song stops and starts the other stream.
    s3mtest::S3mBuilder b;
    b.constantInstrument();
    std::vector<uint8_t> module = b.note(0, 0, 0, s3mtest::kC4, 1).speed(1).tempo(255).build();
    HVMUSIC_SONG* song =
        HVMUSIC_LoadSongEx(module.data(), 0, int(module.size()), HVSOUND_MODE_LOADMEMORY, nullptr, 0);
    ASSERT_NE(song, nullptr);
    song->rowCallback.function = [](HVMUSIC_SONG*, int) {
        ++rows;
        HVSOUND_Stream_Stop(target);
        HVSOUND_Stream_Play(HVSOUND_FREE, target);
    };
    song->rowCallback.every = 1;
    ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, looped), -1);
    ASSERT_TRUE(HVMUSIC_PlaySong(song));
    // The counts are read without the engine, which may hang, and without
    // ordering this thread after the callbacks. Meanwhile this thread plays
    // the stream the sync callback seeks again and again (which answers its
    // channel): only the stream's own lock orders the two.
    auto end = Clock::now() + std::chrono::seconds(10);
    auto count = [](const std::atomic<int>& n) { return n.load(std::memory_order_relaxed); };
    while ((count(rows) < 20 || count(syncs) < 4) && Clock::now() < end) {
        HVSOUND_Stream_Play(HVSOUND_FREE, looped);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    // The engine still answers: its calls run on a thread of their own, so a
    // hung engine fails the test instead of hanging it. The close ends the
    // mixer thread after the last callbacks it called.
    auto answered = std::make_shared<std::promise<void>>();
    std::thread([answered, song] {
        HVMUSIC_FreeSong(song);
        HVSOUND_Close();
        answered->set_value();
    }).detach();
    if (answered->get_future().wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "the engine hangs after " << rows << " row and " << syncs << " sync callbacks";
        // Nothing can end the threads that wait for each other: the test
        // program ends here.
        std::fflush(stdout);
        std::_Exit(1);
    }
    EXPECT_GE(rows, 20);
    EXPECT_GE(syncs, 2);
}

TEST_F(SoundStreamThread, OpensPlaysStopsAndClosesRaceTheThreadsSafely)
{
    startThreaded();
    std::vector<uint8_t> ogg = vorbistest::encodeTone(1, kRate, kRate / 2);
    std::vector<uint8_t> wav = wav16(kRate / 2, 2);
    // Every third stream is an MP3 when lame is there to make one.
    std::vector<uint8_t> mp3 = mpegtest::lameFile(22050, 1, "-m m -b 48", true, 0.5);
    // A stream that keeps playing throughout, beside the ones that come and go.
    HVSOUND_STREAM* background = openMemory(wav16(kRate, 1), HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(background, nullptr);
    ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, background), -1);
    for (int round = 0; round < 12; ++round) {
        const std::vector<uint8_t>& bytes = round % 3 == 2 && !mp3.empty() ? mp3 : round % 2 ? ogg : wav;
        HVSOUND_STREAM* s = openMemory(bytes, HVSOUND_MODE_LOOP_NORMAL);
        ASSERT_NE(s, nullptr) << round;
        ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1) << round;
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + 7 * (round % 4)));
        EXPECT_TRUE(HVSOUND_Stream_SetMode(s, HVSOUND_MODE_LOOP_OFF));
        EXPECT_TRUE(HVSOUND_Stream_Stop(s));
        ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1) << round;
        std::this_thread::sleep_for(std::chrono::milliseconds(3 * (round % 3)));
        close(s);
    }
    EXPECT_TRUE(locked([&] { return background->playing; }));
}

} // namespace
