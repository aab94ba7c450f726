// StreamThreadTest.cpp: streams on a real output with real threads (SDL's
// dummy audio device plays in real time): refills by the stream thread, the
// end of a stream played once, an MP3 stream sought while it plays, its
// pitch changed and its channel taken while it plays, the engine's close
// within a second with a stream playing, stream calls from song and sync
// callbacks, a song, stream or unit freed in its own callback on one of the
// engine's threads (done or refused) and the engine's close and restart
// refused there, a song or stream freed while its callback runs, the close's
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

// What the first callback of a row did on one of the engine's threads: the
// call on its own song, stream or unit (its error; none when it went
// through), then the engine's close and restart.
struct CallbackCalls {
    std::atomic<bool> asked{false};
    std::atomic<bool> returned{false};
    std::atomic<int> ownError{HVSOUND_ERR_NONE};
    std::atomic<int> closeError{HVSOUND_ERR_NONE};
    std::atomic<int> restartError{HVSOUND_ERR_NONE};
};
CallbackCalls g_calls;

template <typename F>
void callOnce(F ownCall)
{
    if (g_calls.asked.exchange(true))
        return;
    g_calls.ownError = ownCall() ? HVSOUND_ERR_NONE : HVSOUND_GetError();
    HVSOUND_Close();
    g_calls.closeError = HVSOUND_GetError();
    g_calls.restartError = HVSOUND_Init(kRate, 16, 0) ? HVSOUND_ERR_NONE : HVSOUND_GetError();
    g_calls.returned = true;
}

void freeInOpenDone(HVMUSIC_SONG* song, int)
{
    callOnce([song] { return HVMUSIC_FreeSong(song); });
}

// Set by the open-done callback of a song freed in a file callback of its
// open, which its owner has let go and which is told nothing more.
std::atomic<bool> g_toldAfterFree{false};

// A stream whose first fill on the stream thread holds the thread's pass,
// and with it the stream lock, until the row's calls have returned (or a
// hang's limit), so that a unit's callback makes its stream call meanwhile.
std::atomic<HVSOUND_STREAM*> g_heldStream{nullptr};
std::atomic<bool> g_passHeld{false};

bool holdThePassOnce(HVSOUND_STREAM* s, void* destination, int bytes, void* data)
{
    if (HVSOUND_Stream_OnStreamThread() && !g_passHeld.exchange(true)) {
        auto end = Clock::now() + std::chrono::seconds(20);
        while (!g_calls.returned && Clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return HVSOUND_Stream_FileFill(s, destination, bytes, data);
}

// The files of the non-blocking opens by name: each open waits until the
// test lets the files go (so that the test can name the song or stream and
// set its open-done callback first), makes the row's call, if any, and
// opens nothing.
std::atomic<bool> g_filesGo{false};
std::atomic<void (*)()> g_inFileOpen{nullptr};
std::atomic<HVMUSIC_SONG*> g_openSong{nullptr};
std::atomic<HVSOUND_STREAM*> g_openStream{nullptr};

void* openNothingOnceLetGo(const char*)
{
    auto end = Clock::now() + std::chrono::seconds(20);
    while (!g_filesGo && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (void (*call)() = g_inFileOpen)
        call();
    return nullptr;
}

TEST_F(SoundStreamThread, ACallInACallbackOnTheEnginesOwnThreadCompletesOrIsRefusedAndItsStarterClosesIt)
{
    // Each row frees or closes, in one kind of callback made on one of the
    // engine's threads, the song, stream or unit the callback is for, a call
    // that waits for that thread elsewhere; then the engine closes and
    // restarts itself, which the close would wait for too. The own call
    // goes through (its record goes, at once or once the callback returns)
    // or is refused with error 14, the close and restart are refused, the
    // engine runs on and its starter closes it, and the engine's memory is
    // given back.
    const std::vector<uint8_t> module = s3mtest::S3mBuilder().speed(5).build();
    const std::vector<uint8_t> wav = wav16(kRate / 4, 1);
    std::vector<uint8_t> rowModule;
    HVMUSIC_SONG* song = nullptr;
    HVSOUND_STREAM* stream = nullptr;
    // A song opened by name first, which holds the loader until the files go.
    HVMUSIC_SONG* blocker = nullptr;
    auto block = [&] {
        blocker = HVMUSIC_LoadSongEx("blocker.s3m", 0, 0, HVSOUND_MODE_NONBLOCKING, nullptr, 0);
        ASSERT_NE(blocker, nullptr);
    };
    const uint32_t nonBlockingMemory = HVSOUND_MODE_LOADMEMORY | HVSOUND_MODE_NONBLOCKING;
    const HVSOUND_FILE_CALLBACKS files = {openNothingOnceLetGo, nullptr, nullptr, nullptr, nullptr};
    struct Row {
        const char* name;
        int ownError;
        std::function<void()> start;
    };
    const Row rows[] = {
        {"a song's row callback on the mixer thread", HVSOUND_ERR_NONE,
         [&] {
             song = fastSong(rowModule,
                             [](HVMUSIC_SONG* s, int) { callOnce([s] { return HVMUSIC_FreeSong(s); }); });
             ASSERT_NE(song, nullptr);
             ASSERT_TRUE(HVMUSIC_PlaySong(song));
         }},
        {"a stream's sync callback on the mixer thread", HVSOUND_ERR_NONE,
         [&] {
             stream = openMemory(wavWithSyncPoint(), HVSOUND_MODE_LOOP_NORMAL);
             ASSERT_NE(stream, nullptr);
             setSyncCallback(stream, [](HVSOUND_STREAM* s, const char*, uint32_t, void*) {
                 callOnce([s] { return HVSOUND_Stream_Close(s); });
                 return true;
             });
             ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, stream), -1);
         }},
        {"a stream's end callback on the stream thread", HVSOUND_ERR_NONE,
         [&] {
             stream = openMemory(wav, HVSOUND_MODE_LOOP_OFF);
             ASSERT_NE(stream, nullptr);
             stream->endCallback = [](HVSOUND_STREAM* s, void*, int, void*) {
                 callOnce([s] { return HVSOUND_Stream_Close(s); });
                 return true;
             };
             ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, stream), -1);
         }},
        {"a stream's fill on the stream thread", HVSOUND_ERR_INVALID_PARAM,
         [&] {
             stream = openMemory(wav, HVSOUND_MODE_LOOP_NORMAL);
             ASSERT_NE(stream, nullptr);
             locked([&] {
                 stream->fillProcedure = [](HVSOUND_STREAM* s, void* destination, int bytes, void* data) {
                     if (HVSOUND_Stream_OnStreamThread())
                         callOnce([s] { return HVSOUND_Stream_Close(s); });
                     return HVSOUND_Stream_FileFill(s, destination, bytes, data);
                 };
                 return 0;
             });
             ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, stream), -1);
         }},
        {"a unit's callback in a mix cycle on the mixer thread", HVSOUND_ERR_INVALID_PARAM,
         [&] {
             HVSOUND_DSPUNIT* unit = HVSOUND_DSP_Create(
                 [](void*, void* buffer, int, void* self) {
                     callOnce([self] { return HVSOUND_DSP_Free(static_cast<HVSOUND_DSPUNIT*>(self)); });
                     return buffer;
                 },
                 100, nullptr);
             ASSERT_NE(unit, nullptr);
             unit->parameter = unit;
             HVSOUND_DSP_SetActive(unit, true);
         }},
        {"a unit's callback in a mix cycle on the mixer thread, with the stream thread in its pass",
         HVSOUND_ERR_INVALID_PARAM,
         [&] {
             stream = g_heldStream = openMemory(wav, HVSOUND_MODE_LOOP_NORMAL);
             ASSERT_NE(stream, nullptr);
             locked([&] {
                 stream->fillProcedure = holdThePassOnce;
                 return 0;
             });
             HVSOUND_DSPUNIT* unit = HVSOUND_DSP_Create(
                 [](void*, void* buffer, int, void*) {
                     if (g_passHeld)
                         callOnce([] { return HVSOUND_Stream_Stop(g_heldStream); });
                     return buffer;
                 },
                 100, nullptr);
             ASSERT_NE(unit, nullptr);
             HVSOUND_DSP_SetActive(unit, true);
             ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, stream), -1);
         }},
        {"a file callback of a non-blocking song open on the loader thread", HVSOUND_ERR_NONE,
         [&] {
             g_inFileOpen = [] { callOnce([] { return HVMUSIC_FreeSong(g_openSong); }); };
             song = g_openSong = HVMUSIC_LoadSongEx("freed.s3m", 0, 0, HVSOUND_MODE_NONBLOCKING, nullptr, 0);
             ASSERT_NE(song, nullptr);
             song->openDone = [](HVMUSIC_SONG*, int) { g_toldAfterFree = true; };
         }},
        {"a file callback of a non-blocking stream open on the loader thread", HVSOUND_ERR_INVALID_PARAM,
         [&] {
             g_inFileOpen = [] { callOnce([] { return HVSOUND_Stream_Close(g_openStream); }); };
             stream = g_openStream = HVSOUND_Stream_Open("closed.wav", HVSOUND_MODE_NONBLOCKING, 0, 0);
             ASSERT_NE(stream, nullptr);
         }},
        {"a song's open-done callback after a failed load on the loader thread", HVSOUND_ERR_NONE,
         [&] {
             song = HVMUSIC_LoadSongEx("missing.s3m", 0, 0, HVSOUND_MODE_NONBLOCKING, nullptr, 0);
             ASSERT_NE(song, nullptr);
             song->openDone = freeInOpenDone;
         }},
        {"a song's open-done callback after a good load on the loader thread", HVSOUND_ERR_NONE,
         [&] {
             block();
             song = HVMUSIC_LoadSongEx(module.data(), 0, int(module.size()), nonBlockingMemory, nullptr, 0);
             ASSERT_NE(song, nullptr);
             song->openDone = freeInOpenDone;
         }},
        {"a stream's open-done callback on the loader thread", HVSOUND_ERR_NONE,
         [&] {
             block();
             stream = HVSOUND_Stream_Open(wav.data(), nonBlockingMemory, 0, int(wav.size()));
             ASSERT_NE(stream, nullptr);
             stream->openDoneCallback = [](HVSOUND_STREAM* s, void*, int, void*) {
                 callOnce([s] { return HVSOUND_Stream_Close(s); });
                 return true;
             };
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        g_calls.asked = g_calls.returned = false;
        g_calls.ownError = g_calls.closeError = g_calls.restartError = HVSOUND_ERR_NONE;
        g_filesGo = g_toldAfterFree = g_passHeld = false;
        g_inFileOpen = nullptr;
        const int bytesBefore = HVSOUND_GetState()->memoryPool.bytesInUse;
        startThreaded();
        HVSOUND_File_SetUserCallbacks(&files);
        row.start();
        g_filesGo = true;
        mustReach(10.0, [] { return g_calls.returned.load(); }, std::string("the calls in ") + row.name);
        EXPECT_EQ(g_calls.ownError, row.ownError);
        EXPECT_EQ(g_calls.closeError, HVSOUND_ERR_INVALID_PARAM);
        EXPECT_EQ(g_calls.restartError, HVSOUND_ERR_INVALID_PARAM);
        EXPECT_TRUE(HVSOUND_GetState()->initialised) << "the engine runs on";
        answers("the starter's close", [] { HVSOUND_Close(); });
        EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_UNINITIALISED) << "later calls find the engine closed";
        HVSOUND_File_SetUserCallbacks(nullptr);
        EXPECT_FALSE(g_toldAfterFree) << "a song freed in its open's file callback had its open-done call";
        // What the callback freed is gone; what it was refused, the test frees.
        if (stream)
            forget(stream);
        if (row.ownError != HVSOUND_ERR_NONE) {
            if (song) {
                EXPECT_TRUE(HVMUSIC_FreeSong(song));
            }
            if (stream) {
                EXPECT_TRUE(HVSOUND_Stream_Close(stream));
            }
        }
        if (blocker) {
            EXPECT_TRUE(HVMUSIC_FreeSong(blocker));
        }
        EXPECT_EQ(HVSOUND_GetState()->memoryPool.bytesInUse, bytesBefore) << "the engine's memory is given back";
        song = blocker = nullptr;
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
