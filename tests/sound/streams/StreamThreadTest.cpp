// StreamThreadTest.cpp: streams on a real output with real threads (SDL's
// dummy audio device plays in real time): refills by the stream thread, the
// end of a stream played once, an MP3 stream sought while it plays, its
// pitch changed and its channel taken while it plays, the engine's close
// within a second with a stream playing, stream calls from song and sync
// callbacks, the engine's close and restart refused in a callback on its
// own threads, a song or stream freed while its callback runs, the close's
// order of the mixer thread and the stream layer, and opens, plays, stops
// and closes racing the threads.
#include "platform/kernel/DebugOutput.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/system_file.h"
#include "sound/music/hvmusic.h"
#include "tests/sound/formats/MpegTestSupport.h"
#include "tests/sound/formats/VorbisFixtures.h"
#include "tests/sound/music/S3mBuilder.h"
#include "tests/sound/streams/StreamTestSupport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <utility>
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

    // Like within, for a state that a hung engine never reaches: the test
    // fails, and since nothing can end threads that wait for each other (the
    // fixture's close would wait for them too), the test program ends here.
    template <typename F>
    static void mustReach(double seconds, F done, const std::string& what)
    {
        if (within(seconds, done))
            return;
        ADD_FAILURE() << what << " (waited " << seconds << " s)";
        std::fflush(stdout);
        std::_Exit(1);
    }

    // Makes engine calls on a thread of their own, so that a hung engine
    // fails the test instead of hanging it.
    static void answers(const std::string& what, std::function<void()> calls)
    {
        auto answered = std::make_shared<std::atomic<bool>>(false);
        std::thread([answered, calls] {
            calls();
            *answered = true;
        }).detach();
        mustReach(20.0, [answered] { return answered->load(); }, what + " never returns");
    }
};

// A callback held while it runs: the first call says it runs, waits until the
// test lets it go (or a hang's limit) and then reads its song or stream.
std::atomic<bool> g_heldRuns{false};
std::atomic<bool> g_heldGo{false};
std::atomic<bool> g_heldReturned{false};

template <typename F>
void holdFirstCall(F whenLetGo)
{
    if (g_heldRuns.exchange(true))
        return;
    auto end = Clock::now() + std::chrono::seconds(20);
    while (!g_heldGo && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    whenLetGo();
    g_heldReturned = true;
}

void resetHeldCallback()
{
    g_heldRuns = g_heldGo = g_heldReturned = false;
}

// A song whose every row calls `function`; `module` keeps its data.
HVMUSIC_SONG* fastSong(std::vector<uint8_t>& module, HVMUSIC_CALLBACK_FUNCTION function)
{
    s3mtest::S3mBuilder b;
    b.constantInstrument();
    module = b.note(0, 0, 0, s3mtest::kC4, 1).speed(1).tempo(255).build();
    HVMUSIC_SONG* song =
        HVMUSIC_LoadSongEx(module.data(), 0, int(module.size()), HVSOUND_MODE_LOADMEMORY, nullptr, 0);
    if (song) {
        song->rowCallback.function = function;
        song->rowCallback.every = 1;
    }
    return song;
}

// A WAV of one second with a sync point an eighth of a second in.
std::vector<uint8_t> wavWithSyncPoint()
{
    return wav16(kRate, 1, kRate, [](wavtest::WavBuilder& w) { w.cue({{1, kRate / 8}}); });
}

void setSyncCallback(HVSOUND_STREAM* s, HVSOUND_STREAM_SYNCCALLBACK callback)
{
    HVSOUND_Stream_EnterListLock();
    s->syncList.callback = callback;
    HVSOUND_Stream_LeaveListLock();
}

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

// Watches a stream's buffer at every mix: a unit after the channels' one
// counts the mixes that find a half not wholly one constant, or the guard
// after the buffer's end not repeating its first frame (which the mixer
// reads at the loop); it keeps the channel's play position and counts the
// cycles. The fill waits on these with relaxed loads, which order nothing
// between the threads: only the engine's own locks order the mixer's reads
// before a half is written.
struct HalfWatch {
    HVSOUND_STREAM* stream = nullptr;
    HVSOUND_CHANNEL* channel = nullptr;
    std::atomic<int> position{0};
    std::atomic<int> cycles{0};
    std::atomic<int> mixedBadly{0};
    std::atomic<int> fills{0};
    std::atomic<bool> readWhileFilled{false};
    // Read and written by the fill only, or before it runs under the stream lock.
    bool slow = false;
    bool late = true;
};

void* watchHalves(void*, void* buffer, int, void* parameter)
{
    auto* watch = static_cast<HalfWatch*>(parameter);
    HVSOUND_MixerLockScope lock;
    const HVSOUND_SAMPLE* sample = watch->stream->sample;
    const auto* data = reinterpret_cast<const int16_t*>(sample->data);
    const int half = sample->length / 2;
    bool whole = data[sample->length] == data[0];
    for (const int16_t* first : {data, data + half})
        whole = whole && std::all_of(first, first + half, [first](int16_t v) { return v == *first; });
    if (!whole)
        watch->mixedBadly.fetch_add(1, std::memory_order_relaxed);
    watch->position.store(int(watch->channel->playPosition), std::memory_order_relaxed);
    watch->cycles.fetch_add(1, std::memory_order_relaxed);
    return buffer;
}

// A fill that writes one constant a call (1000, 2000, ...). Once slow, it
// writes the first half of its sound, waits until the mixer has mixed two
// more blocks, then writes the rest; its first slow call also comes late:
// it waits until the mixer reads in the half it fills (the other half has
// played out before the sound was made).
bool slowConstantFill(HVSOUND_STREAM* s, void* destination, int bytes, void* parameter)
{
    auto* watch = static_cast<HalfWatch*>(parameter);
    const auto value = int16_t(1000 * (watch->fills.fetch_add(1, std::memory_order_relaxed) + 1));
    auto* out = static_cast<int16_t*>(destination);
    const int values = bytes / 2;
    if (!watch->slow) {
        std::fill_n(out, values, value);
        return true;
    }
    auto until = [](auto done) {
        auto end = Clock::now() + std::chrono::seconds(5);
        while (!done() && Clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return done();
    };
    auto seen = [](const std::atomic<int>& n) { return n.load(std::memory_order_relaxed); };
    if (watch->late) {
        watch->late = false;
        const int halfLength = s->sample->length / 2;
        const int half = s->nextHalf;
        watch->readWhileFilled = until([&] { return seen(watch->position) / halfLength == half; });
    }
    std::fill_n(out, values / 2, value);
    const int cycles = seen(watch->cycles);
    until([&] { return seen(watch->cycles) >= cycles + 2; });
    std::fill_n(out + values / 2, values - values / 2, value);
    return true;
}

TEST_F(SoundStreamThread, AHalfFilledLateIsNeverWrittenWhileTheMixerReadsIt)
{
    startThreaded();
    HVSOUND_STREAM* s = openMemory(wav16(kRate, 1), HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(s, nullptr);
    HalfWatch watch;
    watch.stream = s;
    locked([&] {
        s->fillProcedure = slowConstantFill;
        s->fillUserData = &watch;
        return 0;
    });
    // Refilled from the start: half 0 holds 1000, half 1 silence.
    ASSERT_TRUE(HVSOUND_Stream_SetPositionCore(s, 0, false, false));
    int handle = HVSOUND_Stream_PlayEx(HVSOUND_FREE, s, nullptr, true);
    ASSERT_NE(handle, -1);
    watch.channel = HVSOUND_Channel_Find(handle);
    HVSOUND_DSPUNIT* unit = HVSOUND_DSP_Create(watchHalves, 150, &watch);
    ASSERT_NE(unit, nullptr);
    HVSOUND_DSP_SetActive(unit, true);
    const int before = locked([&] {
        watch.slow = true;
        return watch.fills.load();
    });
    HVSOUND_SetPaused(handle, false);
    // Three slow fills on the stream thread, the first late; then a seek's
    // prefill on this thread, which clears the buffer and fills half 0 slowly
    // while the mixer goes on.
    EXPECT_TRUE(within(10.0, [&] { return watch.fills.load() >= before + 3; }));
    EXPECT_TRUE(watch.readWhileFilled) << "the mixer reached the half while its fill was under way";
    EXPECT_TRUE(HVSOUND_Stream_SetPositionCore(s, 0, false, false));
    EXPECT_EQ(watch.mixedBadly, 0) << "mixes that met a half partly written or the buffer without its guard";
    // No fill runs after the stop, nor a watch after its unit is gone.
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
    setSyncCallback(looped, [](HVSOUND_STREAM* s, const char*, uint32_t, void*) {
        ++syncs;
        return HVSOUND_Stream_SetPositionCore(s, 0, false, false);
    });
    // Every row of a fast song stops and starts the other stream.
    std::vector<uint8_t> module;
    HVMUSIC_SONG* song = fastSong(module, [](HVMUSIC_SONG*, int) {
        ++rows;
        HVSOUND_Stream_Stop(target);
        HVSOUND_Stream_Play(HVSOUND_FREE, target);
    });
    ASSERT_NE(song, nullptr);
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

    // The engine still answers. The close ends the mixer thread after the
    // last callbacks it called.
    answers("the engine after " + std::to_string(rows) + " row and " + std::to_string(syncs) + " sync callbacks",
            [song] {
                HVMUSIC_FreeSong(song);
                HVSOUND_Close();
            });
    EXPECT_GE(rows, 20);
    EXPECT_GE(syncs, 2);
}

// What the first callback to close (and then restart) the engine saw, and
// whether its calls returned.
std::atomic<bool> g_closeAsked{false};
std::atomic<int> g_closeError{HVSOUND_ERR_NONE};
std::atomic<int> g_restartError{HVSOUND_ERR_NONE};
std::atomic<bool> g_closeReturned{false};

void closeTheEngineOnce()
{
    if (g_closeAsked.exchange(true))
        return;
    HVSOUND_Close();
    g_closeError = HVSOUND_GetError();
    g_restartError = HVSOUND_Init(kRate, 16, 0) ? HVSOUND_ERR_NONE : HVSOUND_GetError();
    g_closeReturned = true;
}

void* closeTheEngineAndOpenNothing(const char*)
{
    closeTheEngineOnce();
    return nullptr;
}

TEST_F(SoundStreamThread, TheEnginesCloseOrRestartInACallbackOnItsOwnThreadIsRefusedAndItsStarterClosesIt)
{
    // Each row has the engine close itself, then start again, in one callback
    // made on one of its threads, which the close would wait for.
    std::vector<uint8_t> module;
    HVMUSIC_SONG* song = nullptr;
    HVSOUND_STREAM* stream = nullptr;
    const HVSOUND_FILE_CALLBACKS closingFiles = {closeTheEngineAndOpenNothing, nullptr, nullptr, nullptr, nullptr};
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"a song's row callback on the mixer thread",
         [&] {
             song = fastSong(module, [](HVMUSIC_SONG*, int) { closeTheEngineOnce(); });
             ASSERT_NE(song, nullptr);
             ASSERT_TRUE(HVMUSIC_PlaySong(song));
         }},
        {"a stream's sync callback on the mixer thread",
         [&] {
             stream = openMemory(wavWithSyncPoint(), HVSOUND_MODE_LOOP_NORMAL);
             ASSERT_NE(stream, nullptr);
             setSyncCallback(stream, [](HVSOUND_STREAM*, const char*, uint32_t, void*) {
                 closeTheEngineOnce();
                 return true;
             });
             ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, stream), -1);
         }},
        {"a stream's end callback on the stream thread",
         [&] {
             stream = openMemory(wav16(kRate / 4, 1), HVSOUND_MODE_LOOP_OFF);
             ASSERT_NE(stream, nullptr);
             stream->endCallback = [](HVSOUND_STREAM*, void*, int, void*) {
                 closeTheEngineOnce();
                 return true;
             };
             ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, stream), -1);
         }},
        {"a file callback of a non-blocking open on the loader thread",
         [&] {
             HVSOUND_File_SetUserCallbacks(&closingFiles);
             song = HVMUSIC_LoadSongEx("closing.s3m", 0, 0, HVSOUND_MODE_NONBLOCKING, nullptr, 0);
             ASSERT_NE(song, nullptr);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.first);
        g_closeAsked = g_closeReturned = false;
        g_closeError = g_restartError = HVSOUND_ERR_NONE;
        startThreaded();
        row.second();
        mustReach(10.0, [] { return g_closeReturned.load(); }, std::string("the close in ") + row.first);
        EXPECT_EQ(g_closeError, HVSOUND_ERR_INVALID_PARAM);
        EXPECT_EQ(g_restartError, HVSOUND_ERR_INVALID_PARAM);
        EXPECT_TRUE(HVSOUND_GetState()->initialised) << "the engine runs on";
        answers("the starter's close", [] { HVSOUND_Close(); });
        EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_UNINITIALISED) << "later calls find the engine closed";
        HVSOUND_File_SetUserCallbacks(nullptr);
        if (song) {
            EXPECT_TRUE(HVMUSIC_FreeSong(song));
        }
        if (stream)
            close(stream);
        song = nullptr;
        stream = nullptr;
    }
}

TEST_F(SoundStreamThread, ASongOrStreamFreedWhileItsCallbackRunsGoesWhenTheCallbackReturns)
{
    // The freeing call returns while the callback still runs on the mixer
    // thread; the callback can still read its song or stream, and the fixture
    // finds the record given back once the engine is closed.
    static std::atomic<int> read;
    std::vector<uint8_t> module;
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"a song's row callback",
         [&] {
             HVMUSIC_SONG* song = fastSong(module, [](HVMUSIC_SONG* song, int) {
                 holdFirstCall([song] { read = song->rowCallback.every; });
             });
             ASSERT_NE(song, nullptr);
             ASSERT_TRUE(HVMUSIC_PlaySong(song));
             mustReach(10.0, [] { return g_heldRuns.load(); }, "the song's row callback never runs");
             answers("freeing the song", [song] { EXPECT_TRUE(HVMUSIC_FreeSong(song)); });
         }},
        {"a stream's sync callback",
         [&] {
             HVSOUND_STREAM* stream = openMemory(wavWithSyncPoint(), HVSOUND_MODE_LOOP_NORMAL);
             ASSERT_NE(stream, nullptr);
             stream->syncUserData = reinterpret_cast<void*>(uintptr_t(1));
             setSyncCallback(stream, [](HVSOUND_STREAM* s, const char*, uint32_t, void*) {
                 holdFirstCall([s] { read = int(reinterpret_cast<uintptr_t>(s->syncUserData)); });
                 return true;
             });
             ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, stream), -1);
             mustReach(10.0, [] { return g_heldRuns.load(); }, "the stream's sync callback never runs");
             answers("closing the stream", [this, stream] { close(stream); });
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.first);
        resetHeldCallback();
        read = 0;
        startThreaded();
        row.second();
        g_heldGo = true;
        mustReach(10.0, [] { return g_heldReturned.load(); }, "the held callback never returns");
        EXPECT_EQ(read, 1) << "the callback still had its record";
        HVSOUND_Close();
    }
}

TEST_F(SoundStreamThread, TheEnginesCloseEndsTheMixerThreadBeforeTheStreamLayer)
{
    // A sync callback on the mixer thread is held until the close either
    // waits for that thread (the close says so after its limit) or has
    // stopped the stream layer, which the callback may still call.
    startThreaded();
    platform::DebugCapture debug;
    static platform::DebugCapture* s_debug;
    static std::atomic<int> layerRan;
    s_debug = &debug;
    layerRan = -1;
    resetHeldCallback();
    HVSOUND_STREAM* stream = openMemory(wavWithSyncPoint(), HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(stream, nullptr);
    setSyncCallback(stream, [](HVSOUND_STREAM*, const char*, uint32_t, void*) {
        holdFirstCall([] { layerRan = HVSOUND_Stream_LayerRunning() ? 1 : 0; });
        return true;
    });
    ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, stream), -1);
    mustReach(10.0, [] { return g_heldRuns.load(); }, "the sync callback never runs");
    std::thread letGo([] {
        within(20.0, [] {
            return s_debug->contains("the mixer thread has not finished") || !HVSOUND_Stream_LayerRunning();
        });
        g_heldGo = true;
    });
    answers("the close", [] { HVSOUND_Close(); });
    letGo.join();
    EXPECT_EQ(layerRan, 1) << "the stream layer was stopped while the mixer thread still made a callback";
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
