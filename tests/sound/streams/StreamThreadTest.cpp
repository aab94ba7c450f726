// StreamThreadTest.cpp: streams on a real output with real threads (SDL's
// dummy audio device plays in real time): refills by the stream thread, the
// end of a stream played once, an MP3 stream sought while it plays, its
// pitch changed and its channel taken while it plays, the engine's close
// within a second with a stream playing, stream calls from song and sync
// callbacks, the matrix of every kind of callback the engine makes against
// every engine call (each goes through or is refused, none hangs or frees a
// record under a thread working on it, and the engine's close and restart
// are refused there), a song or stream freed while its callback runs, the
// close's order of the mixer thread and the stream layer, and opens, plays,
// stops and closes racing the threads.
#include "platform/kernel/DebugOutput.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/system_file.h"
#include "sound/music/hvmusic.h"
#include "tests/sound/formats/MpegTestSupport.h"
#include "tests/sound/formats/VorbisFixtures.h"
#include "tests/sound/music/S3mBuilder.h"
#include "tests/sound/streams/StreamTestSupport.h"
#include "tests/support/MachinePace.h"

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
using soundtest::mustReach;
using soundtest::within;

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

    // Makes engine calls on a thread of their own, so that a hung engine
    // fails the test instead of hanging it.
    static void answers(const std::string& what, std::function<void()> calls)
    {
        auto answered = std::make_shared<std::atomic<bool>>(false);
        std::thread([answered, calls] {
            calls();
            *answered = true;
        }).detach();
        mustReach([answered] { return answered->load(); }, what + " never returns");
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
    within([] { return g_heldGo.load(); });
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
    EXPECT_TRUE(within([&] { return locked([&] { return s->position; }) > uint32_t(2 * kHalf); }))
        << "the thread refilled both halves";
    EXPECT_TRUE(within([&] { return locked([&] { return s->channel; }) == -1; })) << "the stream ended";
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
        EXPECT_TRUE(within([&] { return locked([&] { return s->position; }) > uint32_t(kRate); }));
        // Back to the middle, then near the start, while the thread runs.
        for (int part : {2, 8}) {
            ASSERT_TRUE(HVSOUND_Stream_SetPositionCore(s, uint32_t(s->dataLength / part), false, false));
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        EXPECT_TRUE(within([&] { return locked([&] { return s->channel; }) == -1; })) << "the stream ended";
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

// A play of a stream whose channel lost its sound, held once it has chosen
// that channel, and a sound a second thread starts meanwhile.
HVSOUND_SAMPLE* g_otherSound = nullptr;
std::atomic<long> g_otherPlayer{0};
std::atomic<int> g_otherHandle{-2};
std::thread g_other;

void holdTheReplay()
{
    g_other = std::thread([] {
        g_otherPlayer = platform::systemThreadId();
        g_otherHandle = HVSOUND_PlaySound(HVSOUND_FREE, g_otherSound);
    });
    soundtest::untilBlockedOr(g_otherPlayer, [] { return g_otherHandle != -2; });
}

TEST_F(SoundStreamThread, AStreamPlayedAgainOnItsChannelNeverCutsASoundStartedThereMeanwhile)
{
    HVSOUND_SetOutput(HVSOUND_OUTPUT_DSOUND);
    ASSERT_TRUE(HVSOUND_Init(kRate, 1, 0)) << "error " << HVSOUND_GetError();
    HVSOUND_STREAM* s = openMemory(wav16(kRate, 1), HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(s, nullptr);
    int channel = HVSOUND_Stream_Play(HVSOUND_FREE, s);
    ASSERT_NE(channel, -1);
    ASSERT_TRUE(HVSOUND_StopSound(channel));
    // Priority 0: it takes only an idle channel.
    g_otherSound = HVSOUND_Sample_Alloc(-1, 1000, HVSOUND_MODE_16BITS | HVSOUND_MODE_LOOP_NORMAL, kRate, 255, 128, 0);
    ASSERT_NE(g_otherSound, nullptr);
    g_otherHandle = -2;
    HVSOUND_Stream_ReplayHook = holdTheReplay;
    int again = HVSOUND_Stream_Play(HVSOUND_FREE, s);
    HVSOUND_Stream_ReplayHook = nullptr;
    g_other.join();
    EXPECT_TRUE(HVSOUND_IsPlaying(again)) << "the stream plays again";
    EXPECT_TRUE(g_otherHandle == -1 || HVSOUND_IsPlaying(g_otherHandle)) << "the other sound was cut off";
    HVSOUND_Sample_Free(g_otherSound);
}

// A stop of a stream on a hardware channel, held as it asks the channel's
// voice whether it plays, and a sound a second thread starts on that channel
// meanwhile: the start gives up the voice (the device's buffer) being asked.
bool (*g_voiceIsPlaying)(HVSOUND_CHANNEL*) = nullptr;
std::atomic<bool> g_holdTheAsk{false};
std::atomic<bool> g_startedWhileHeld{false};

bool heldVoiceIsPlaying(HVSOUND_CHANNEL* c)
{
    if (g_holdTheAsk.exchange(false)) {
        const int index = c->index;
        g_other = std::thread([index] {
            g_otherPlayer = platform::systemThreadId();
            g_otherHandle = HVSOUND_PlaySound(index, g_otherSound);
        });
        soundtest::untilBlockedOr(g_otherPlayer, [] { return g_otherHandle != -2; });
        g_startedWhileHeld = g_otherHandle != -2;
    }
    return g_voiceIsPlaying(c);
}

TEST_F(SoundStreamThread, AStreamsVoiceIsNeverGivenUpWhileAStopAsksIt)
{
    startThreaded();
    const uint32_t hardware = HVSOUND_MODE_HW2D | HVSOUND_MODE_16BITS | HVSOUND_MODE_LOOP_NORMAL;
    HVSOUND_STREAM* s = openMemory(wav16(kRate, 1), hardware);
    ASSERT_NE(s, nullptr);
    int channel = HVSOUND_Stream_Play(HVSOUND_FREE, s);
    ASSERT_NE(channel, -1);
    HVSOUND_CHANNEL* voice = &HVSOUND_GetState()->channels[channel & HVSOUND_CHANNEL_INDEX_MASK];
    ASSERT_GE(voice->index, HVSOUND_GetState()->softwareChannels) << "the stream plays on a device's voice";
    g_otherSound = HVSOUND_Sample_Alloc(-1, 1000, hardware, kRate, 255, 128, 0);
    ASSERT_NE(g_otherSound, nullptr);
    g_otherHandle = -2;
    g_startedWhileHeld = false;
    HVSOUND_Software_Lock();
    g_voiceIsPlaying = voice->functions.isPlaying;
    voice->functions.isPlaying = heldVoiceIsPlaying;
    HVSOUND_Software_Unlock();
    g_holdTheAsk = true;
    EXPECT_TRUE(HVSOUND_Stream_Stop(s));
    g_holdTheAsk = false;
    if (g_other.joinable())
        g_other.join();
    HVSOUND_Software_Lock();
    voice->functions.isPlaying = g_voiceIsPlaying;
    HVSOUND_Software_Unlock();
    EXPECT_FALSE(g_startedWhileHeld) << "a sound started on the channel while the stop asked its voice";
    EXPECT_TRUE(HVSOUND_IsPlaying(g_otherHandle)) << "the other sound plays there once the stop is done";
    HVSOUND_Sample_Free(g_otherSound);
}

// A play of a stream, held as it looks up the new handle of its channel, and
// a sound a second thread starts on that channel meanwhile, which makes the
// channel a new handle.
std::atomic<bool> g_holdTheLook{false};

void holdTheHandleLook()
{
    if (!g_holdTheLook.exchange(false))
        return;
    g_other = std::thread([] {
        g_otherPlayer = platform::systemThreadId();
        g_otherHandle = HVSOUND_PlaySound(0, g_otherSound);
    });
    soundtest::untilBlockedOr(g_otherPlayer, [] { return g_otherHandle != -2; });
    g_startedWhileHeld = g_otherHandle != -2;
}

TEST_F(SoundStreamThread, AStreamsChannelHandleIsNeverRemadeWhileAPlayLooksItUp)
{
    startThreaded();
    HVSOUND_STREAM* s = openMemory(wav16(kRate, 1), HVSOUND_MODE_LOOP_NORMAL);
    ASSERT_NE(s, nullptr);
    g_otherSound = HVSOUND_Sample_Alloc(-1, 1000, HVSOUND_MODE_16BITS | HVSOUND_MODE_LOOP_NORMAL, kRate, 255, 128, 0);
    ASSERT_NE(g_otherSound, nullptr);
    g_otherHandle = -2;
    g_startedWhileHeld = false;
    g_holdTheLook = true;
    HVSOUND_Stream_HandleHook = holdTheHandleLook;
    EXPECT_NE(HVSOUND_Stream_Play(0, s), -1);
    HVSOUND_Stream_HandleHook = nullptr;
    if (g_other.joinable())
        g_other.join();
    EXPECT_FALSE(g_startedWhileHeld) << "a sound started on the channel while the play looked up its handle";
    EXPECT_TRUE(HVSOUND_IsPlaying(g_otherHandle)) << "the other sound plays there once the play is done";
    HVSOUND_Sample_Free(g_otherSound);
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
    auto seen = [](const std::atomic<int>& n) { return n.load(std::memory_order_relaxed); };
    if (watch->late) {
        watch->late = false;
        const int halfLength = s->sample->length / 2;
        const int half = s->nextHalf;
        watch->readWhileFilled = within([&] { return seen(watch->position) / halfLength == half; });
    }
    std::fill_n(out, values / 2, value);
    const int cycles = seen(watch->cycles);
    within([&] { return seen(watch->cycles) >= cycles + 2; });
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
    EXPECT_TRUE(within([&] { return watch.fills.load() >= before + 3; }));
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
    // The stream thread refills it on.
    ASSERT_TRUE(within([&] { return locked([&] { return music->position; }) > uint32_t(2 * kHalf); }));
    // A second at the pace the machine gives the test: a busy machine may
    // delay the engine's threads, but the close must wait out no limit of
    // its own.
    testsupport::MachinePace pace;
    HVSOUND_Close();
    const int took = pace.counted();
    EXPECT_LT(took, 1000) << "milliseconds the close took at the machine's pace, " << pace.load();
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
    auto count = [](const std::atomic<int>& n) { return n.load(std::memory_order_relaxed); };
    within([&] {
        if (count(rows) >= 20 && count(syncs) >= 4)
            return true;
        HVSOUND_Stream_Play(HVSOUND_FREE, looped);
        return false;
    });

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

TEST_F(SoundStreamThread, WithoutSoftwareChannelsASyncCallbackIsMadeOnTheStreamThreadAndMayCloseItsStream)
{
    // No mixer runs: the stream thread's pass looks for the sync points of
    // the streams on hardware voices. The middle one of three closes itself
    // in its sync callback, which the pass makes once it has walked the list.
    HVSOUND_SetOutput(HVSOUND_OUTPUT_DSOUND);
    ASSERT_TRUE(HVSOUND_Init(kRate, 0, 0)) << "error " << HVSOUND_GetError();
    static std::atomic<int> closeError;
    closeError = -1;
    const uint32_t onHardware = HVSOUND_MODE_LOOP_NORMAL | HVSOUND_MODE_HW2D;
    HVSOUND_STREAM* earlier = openMemory(wav16(kRate, 1), onHardware);
    HVSOUND_STREAM* synced = openMemory(wavWithSyncPoint(), onHardware);
    HVSOUND_STREAM* later = openMemory(wav16(kRate, 1), onHardware);
    ASSERT_TRUE(earlier && synced && later);
    forget(synced);
    setSyncCallback(synced, [](HVSOUND_STREAM* s, const char*, uint32_t, void*) {
        if (closeError < 0)
            closeError = HVSOUND_Stream_Close(s) ? HVSOUND_ERR_NONE : HVSOUND_GetError();
        return true;
    });
    for (HVSOUND_STREAM* s : {earlier, synced, later})
        ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1);
    mustReach([] { return closeError.load() >= 0; }, "the sync callback");
    EXPECT_EQ(closeError.load(), HVSOUND_ERR_NONE);
    answers("the engine's close", [] { HVSOUND_Close(); });
}

// The callback matrix. Each row is one kind of callback, made on one of the
// engine's threads or inside an engine call (a blocking load's among them)
// on the caller's; once its row
// is armed, the first such callback makes every call below in this order
// and keeps the error each gave (none when it went through).
enum Call : int {
    kChannelCalls,
    kSampleFree,
    kUnitPriority,
    kUnitFree,
    kSongStop,
    kSongPlay,
    kStreamStop,
    kStreamSeek,
    kStreamPlay,
    kStreamClose,
    kBlockingOpen,
    kFreeEarlier,
    kFreeLater,
    kEngineClose,
    kEngineRestart,
    kFreeOwn,
    kCallCount
};
const char* const kCallNames[kCallCount] = {
    "a channel's play, volume and stop", "a sample's free", "another unit's priority", "another unit's free",
    "a song's stop", "a song's play", "a stream's stop", "a stream's seek", "a stream's play",
    "another stream's close", "a blocking open (and its close)", "the free of a record earlier in its list",
    "the free of a record later in its list", "the engine's close", "the engine's restart",
    "the free of its own record"};

// What the calls act on. The frees take the callback's own song, stream or
// unit and another of the same kind before and after it in its list (the
// stream list, the song list, the DSP chain); the song and stream calls take
// the callback's own where it has one. Set before the row is armed.
enum class Kind { Song, Stream, Unit };
struct CallTargets {
    Kind kind = Kind::Song;
    void* own = nullptr;
    void* earlier = nullptr;
    void* later = nullptr;
    HVSOUND_SAMPLE* sample = nullptr;
    HVSOUND_DSPUNIT* unit = nullptr;
    HVMUSIC_SONG* song = nullptr;
    HVSOUND_STREAM* stream = nullptr;
    HVSOUND_STREAM* closable = nullptr;
    const std::vector<uint8_t>* openable = nullptr; // what the blocking open opens
};
CallTargets g_targets;
std::atomic<bool> g_armed{false};

struct CallbackCalls {
    std::atomic<bool> asked{false};
    std::atomic<bool> returned{false};
    std::atomic<int> errors[kCallCount];
};
CallbackCalls g_calls;

bool freeRecord(Kind kind, void* record)
{
    switch (kind) {
    case Kind::Song:
        return HVMUSIC_FreeSong(static_cast<HVMUSIC_SONG*>(record));
    case Kind::Stream:
        return HVSOUND_Stream_Close(static_cast<HVSOUND_STREAM*>(record));
    case Kind::Unit:
        return HVSOUND_DSP_Free(static_cast<HVSOUND_DSPUNIT*>(record));
    }
    return false;
}

bool makeCall(int call)
{
    const CallTargets& t = g_targets;
    switch (call) {
    case kChannelCalls: {
        int channel = HVSOUND_PlaySound(HVSOUND_FREE, t.sample);
        return channel != -1 && HVSOUND_SetVolume(channel, 100) && HVSOUND_StopSound(channel);
    }
    case kSampleFree:
        HVSOUND_Sample_Free(t.sample);
        return true;
    case kUnitPriority:
        return HVSOUND_DSP_SetPriority(t.unit, 300);
    case kUnitFree:
        return HVSOUND_DSP_Free(t.unit);
    case kSongStop:
        return HVMUSIC_StopSong(t.song);
    case kSongPlay:
        return HVMUSIC_PlaySong(t.song);
    case kStreamStop:
        return HVSOUND_Stream_Stop(t.stream);
    case kStreamSeek:
        return HVSOUND_Stream_SetPositionCore(t.stream, 0, false, false);
    case kStreamPlay:
        return HVSOUND_Stream_Play(HVSOUND_FREE, t.stream) != -1;
    case kStreamClose:
        return HVSOUND_Stream_Close(t.closable);
    case kBlockingOpen: {
        HVSOUND_STREAM* opened = HVSOUND_Stream_Open(t.openable->data(), HVSOUND_MODE_LOADMEMORY, 0,
                                                     int(t.openable->size()));
        return opened && HVSOUND_Stream_Close(opened);
    }
    case kFreeEarlier:
        return freeRecord(t.kind, t.earlier);
    case kFreeLater:
        return freeRecord(t.kind, t.later);
    case kEngineClose:
        HVSOUND_Close();
        return HVSOUND_GetError() == HVSOUND_ERR_NONE;
    case kEngineRestart:
        return HVSOUND_Init(kRate, 16, 0);
    case kFreeOwn:
        return freeRecord(t.kind, t.own);
    default:
        return false;
    }
}

// The row's calls, made by the first callback after the row is armed. The
// error word is the engine's, which its own threads never clear: it is
// cleared before each call.
void makeTheCalls()
{
    if (!g_armed.load(std::memory_order_acquire) || g_calls.asked.exchange(true))
        return;
    for (int call = 0; call < kCallCount; ++call) {
        HVSOUND_SetError(HVSOUND_ERR_NONE);
        bool done = makeCall(call);
        int error = HVSOUND_GetError();
        g_calls.errors[call] = done ? HVSOUND_ERR_NONE : error != HVSOUND_ERR_NONE ? error : -1;
    }
    g_calls.returned = true;
}

// Waits (a hang's limit) until the row is armed.
void awaitArmed()
{
    within([] { return g_armed.load(std::memory_order_acquire); });
}

// The user file functions of the matrix: "own" is the row's own stream's
// file (g_ownFile, from memory), or, where the row makes its calls in the
// open, a file that makes them and then does not open; "load" is the file of
// a blocking load on the caller's thread (g_loadFile); "blocker" holds the
// loader until the row is armed; every other name is missing. Where the row
// says so, the read on the stream thread (in the fill), the seek outside the
// engine's threads (a seek the program makes), or the read or close of the
// file a blocking load reads makes the calls.
enum class FileCalls { None, Open, Read, Seek, LoadRead, LoadClose };
std::atomic<FileCalls> g_fileCalls{FileCalls::None};
const std::vector<uint8_t>* g_ownFile = nullptr;
const std::vector<uint8_t>* g_loadFile = nullptr;
// Set by the open-done callback of a song freed in a file callback of its
// open, which its owner has let go and which is told nothing more.
std::atomic<bool> g_toldAfterFree{false};

struct TestFile : soundtest::MemoryFile {
    bool loaded; // the file of a blocking load
};

void* openTestFile(const char* name)
{
    const std::string file = name;
    if (file == "blocker") {
        awaitArmed();
        return nullptr;
    }
    if (file == "load")
        return g_loadFile ? new TestFile{{g_loadFile, 0}, true} : nullptr;
    if (file != "own")
        return nullptr;
    if (g_fileCalls == FileCalls::Open) {
        awaitArmed();
        makeTheCalls();
        return nullptr;
    }
    return g_ownFile ? new TestFile{{g_ownFile, 0}, false} : nullptr;
}

void closeTestFile(void* handle)
{
    auto* f = static_cast<TestFile*>(handle);
    if (f->loaded && g_fileCalls == FileCalls::LoadClose)
        makeTheCalls();
    delete f;
}

int readTestFile(void* buffer, int bytes, void* handle)
{
    auto* f = static_cast<TestFile*>(handle);
    if ((g_fileCalls == FileCalls::Read && HVSOUND_Stream_OnStreamThread()) ||
        (f->loaded && g_fileCalls == FileCalls::LoadRead))
        makeTheCalls();
    return f->read(buffer, bytes);
}

int seekTestFile(void* handle, int offset, int origin)
{
    if (g_fileCalls == FileCalls::Seek && !HVSOUND_Thread_IsEngineThread())
        makeTheCalls();
    return static_cast<TestFile*>(handle)->seek(offset, origin);
}

int tellTestFile(void* handle)
{
    return static_cast<TestFile*>(handle)->at;
}

// A stream whose first fill on the stream thread holds the thread's pass,
// and with it the stream lock, until the row's calls have returned (or a
// hang's limit), so that a unit's callback makes its calls meanwhile.
std::atomic<bool> g_passHeld{false};

bool holdThePassOnce(HVSOUND_STREAM* s, void* destination, int bytes, void* data)
{
    if (HVSOUND_Stream_OnStreamThread() && g_armed && !g_passHeld.exchange(true))
        within([] { return g_calls.returned.load(); });
    return HVSOUND_Stream_FileFill(s, destination, bytes, data);
}

// Counts the mix cycles, to see the engine mix on.
std::atomic<int> g_cycles{0};

void* countCycle(void*, void* buffer, int, void*)
{
    g_cycles.fetch_add(1, std::memory_order_relaxed);
    return buffer;
}

void* passBuffer(void*, void* buffer, int, void*)
{
    return buffer;
}

TEST_F(SoundStreamThread, ACallInACallbackOnTheEnginesOwnThreadCompletesOrIsRefusedAndItsStarterClosesIt)
{
    // Each row is one kind of callback: made on one of the engine's threads
    // (the mixer, the stream thread, the loader), or inside an engine call
    // (a mix cycle update-driven, a seek, a blocking load) on the caller's.
    // Its first call
    // once the row is armed makes every engine call of the matrix: on a
    // channel, a sample, another unit, a song and a stream (its own where it
    // has one), another stream's close, a blocking open, the free of records
    // of its kind before and after its own in their list, the engine's close
    // and restart, and the free of its own record. Each goes through, or is
    // refused with error 14 where it would wait for a thread that waits for
    // the caller or change a record a thread is working on; none hangs or
    // uses a freed record. The engine mixes on, its starter closes it, and
    // its memory is given back.
    const std::vector<uint8_t> module = s3mtest::S3mBuilder().speed(5).build();
    const std::vector<uint8_t> wav = wav16(kRate / 4, 1);
    const std::vector<uint8_t> synced = wavWithSyncPoint();
    std::vector<uint8_t> rowModule;
    const uint32_t nonBlockingMemory = HVSOUND_MODE_LOADMEMORY | HVSOUND_MODE_NONBLOCKING;
    const HVSOUND_FILE_CALLBACKS files = {openTestFile, closeTestFile, readTestFile, seekTestFile, tellTestFile};

    // Records the row makes, with the call that frees each (none: the test
    // frees it after the engine's close); units go with the engine.
    struct Made {
        Kind kind;
        void* record;
        int freedBy;
    };
    std::vector<Made> made;
    auto song = [&](int freedBy = -1) {
        HVMUSIC_SONG* s =
            HVMUSIC_LoadSongEx(module.data(), 0, int(module.size()), HVSOUND_MODE_LOADMEMORY, nullptr, 0);
        EXPECT_NE(s, nullptr);
        if (s)
            made.push_back({Kind::Song, s, freedBy});
        return s;
    };
    auto queuedSong = [&](const void* source, uint32_t mode, int length, int freedBy = -1) {
        HVMUSIC_SONG* s = HVMUSIC_LoadSongEx(source, 0, length, mode | HVSOUND_MODE_NONBLOCKING, nullptr, 0);
        EXPECT_NE(s, nullptr);
        if (s)
            made.push_back({Kind::Song, s, freedBy});
        return s;
    };
    auto stream = [&](HVSOUND_STREAM* s, int freedBy = -1) {
        EXPECT_NE(s, nullptr);
        if (s) {
            forget(s);
            made.push_back({Kind::Stream, s, freedBy});
        }
        return s;
    };
    auto memoryStream = [&](const std::vector<uint8_t>& bytes, uint32_t mode, int freedBy = -1) {
        return stream(openMemory(bytes, mode), freedBy);
    };
    // A song opened first without blocking, whose open holds the loader
    // until the row is armed.
    auto blockLoader = [&] { queuedSong("blocker", 0, 0); };
    auto play = [](HVSOUND_STREAM* s) { ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, s), -1); };
    // Streams before and after the row's own in the stream list.
    auto streamsAround = [&](const std::function<HVSOUND_STREAM*()>& own) {
        g_targets.kind = Kind::Stream;
        g_targets.earlier = memoryStream(wav, HVSOUND_MODE_LOOP_NORMAL, kFreeEarlier);
        g_targets.stream = own();
        g_targets.own = g_targets.stream;
        g_targets.later = memoryStream(wav, HVSOUND_MODE_LOOP_NORMAL, kFreeLater);
    };
    auto playAround = [&] {
        for (void* s : {g_targets.earlier, g_targets.own, g_targets.later})
            play(static_cast<HVSOUND_STREAM*>(s));
    };
    // Songs before and after the row's own in the song list (made after and
    // before it: a song joins the list at its head).
    auto songsAround = [&](const std::function<HVMUSIC_SONG*()>& own) {
        g_targets.kind = Kind::Song;
        g_targets.later = song(kFreeLater);
        g_targets.song = own();
        g_targets.own = g_targets.song;
        g_targets.earlier = song(kFreeEarlier);
    };
    auto unitsAround = [&](HVSOUND_DSPCALLBACK callback) {
        g_targets.kind = Kind::Unit;
        g_targets.earlier = HVSOUND_DSP_Create(passBuffer, 50, nullptr);
        HVSOUND_DSPUNIT* own = HVSOUND_DSP_Create(callback, 150, nullptr);
        g_targets.own = own;
        g_targets.later = HVSOUND_DSP_Create(passBuffer, 250, nullptr);
        ASSERT_TRUE(g_targets.earlier && own && g_targets.later);
    };
    auto activateOwnUnit = [] { HVSOUND_DSP_SetActive(static_cast<HVSOUND_DSPUNIT*>(g_targets.own), true); };
    auto unitCalls = [](void*, void* buffer, int, void*) {
        makeTheCalls();
        return buffer;
    };
    auto streamCalls = [](HVSOUND_STREAM*, void*, int, void*) {
        makeTheCalls();
        return true;
    };

    using Calls = std::vector<Call>;
    const Calls inTheStreamsRefill = {kStreamSeek, kStreamPlay, kFreeOwn};
    const Calls inAMixCycle = {kUnitPriority, kUnitFree,   kStreamStop, kStreamSeek, kStreamPlay, kStreamClose,
                               kBlockingOpen, kFreeEarlier, kFreeLater,  kFreeOwn};
    const Calls inAnUpdateDrivenMixCycle = {kUnitPriority, kUnitFree, kFreeEarlier, kFreeLater, kFreeOwn};
    const Calls onAnUnreadyStream = {kStreamStop, kStreamSeek, kStreamPlay};
    const Calls onAnUnloadedSong = {kSongStop, kSongPlay};
    struct Row {
        const char* name;
        Calls refused; // besides the engine's close and restart
        std::function<void()> setUp;
        std::function<void()> go; // after the row is armed
        bool updateDriven = false;
        FileCalls fileCalls = FileCalls::None;
    };
    const Row rows[] = {
        {"a song's row callback on the mixer thread", {},
         [&] {
             songsAround([&] {
                 HVMUSIC_SONG* s = fastSong(rowModule, [](HVMUSIC_SONG*, int) { makeTheCalls(); });
                 if (s)
                     made.push_back({Kind::Song, s, kFreeOwn});
                 return s;
             });
         },
         [&] { ASSERT_TRUE(HVMUSIC_PlaySong(g_targets.song)); }},
        {"a stream's sync callback on the mixer thread", {},
         [&] {
             streamsAround([&] {
                 HVSOUND_STREAM* s = memoryStream(synced, HVSOUND_MODE_LOOP_NORMAL, kFreeOwn);
                 if (s)
                     setSyncCallback(s, [](HVSOUND_STREAM*, const char*, uint32_t, void*) {
                         makeTheCalls();
                         return true;
                     });
                 return s;
             });
         },
         playAround},
        {"a stream's end callback on the stream thread", {},
         [&] {
             streamsAround([&] {
                 HVSOUND_STREAM* s = memoryStream(wav, HVSOUND_MODE_LOOP_OFF, kFreeOwn);
                 if (s)
                     s->endCallback = streamCalls;
                 return s;
             });
         },
         playAround},
        {"a stream's fill on the stream thread", inTheStreamsRefill,
         [&] {
             streamsAround([&] {
                 HVSOUND_STREAM* s = memoryStream(wav, HVSOUND_MODE_LOOP_NORMAL, kFreeOwn);
                 if (s)
                     locked([&] {
                         s->fillProcedure = [](HVSOUND_STREAM* own, void* destination, int bytes, void* data) {
                             if (HVSOUND_Stream_OnStreamThread())
                                 makeTheCalls();
                             return HVSOUND_Stream_FileFill(own, destination, bytes, data);
                         };
                         return 0;
                     });
                 return s;
             });
         },
         playAround},
        {"a file's read callback in a stream's fill on the stream thread", inTheStreamsRefill,
         [&] {
             g_ownFile = &wav;
             streamsAround([&] { return stream(HVSOUND_Stream_Open("own", HVSOUND_MODE_LOOP_NORMAL, 0, 0), kFreeOwn); });
         },
         playAround, false, FileCalls::Read},
        {"a file's seek callback in a seek the program makes on its own thread", inTheStreamsRefill,
         [&] {
             g_ownFile = &wav;
             streamsAround([&] { return stream(HVSOUND_Stream_Open("own", HVSOUND_MODE_LOOP_NORMAL, 0, 0), kFreeOwn); });
         },
         [&] {
             playAround();
             answers("the seek", [] { HVSOUND_Stream_SetPositionCore(g_targets.stream, 0, false, false); });
         },
         false, FileCalls::Seek},
        // A blocking load's own record is not the caller's until the load
        // returns: these rows free other records of its kind in its place.
        {"a file's close callback of a blocking sample load on the caller's thread", {},
         [&] {
             g_loadFile = &wav;
             streamsAround([&] { return memoryStream(wav, HVSOUND_MODE_LOOP_NORMAL, kFreeOwn); });
         },
         [&] { EXPECT_NE(HVSOUND_Sample_Load(HVSOUND_FREE, "load", 0, 0, 0), nullptr); }, false,
         FileCalls::LoadClose},
        {"a file's read callback of a blocking stream open on the caller's thread", {},
         [&] {
             g_loadFile = &wav;
             streamsAround([&] { return memoryStream(wav, HVSOUND_MODE_LOOP_NORMAL, kFreeOwn); });
         },
         [&] { stream(HVSOUND_Stream_Open("load", HVSOUND_MODE_LOOP_NORMAL, 0, 0)); }, false, FileCalls::LoadRead},
        {"a file's read callback of a blocking song load on the caller's thread", {},
         [&] {
             g_loadFile = &module;
             songsAround([&] { return song(kFreeOwn); });
         },
         [&] {
             HVMUSIC_SONG* loaded = HVMUSIC_LoadSongEx("load", 0, 0, 0, nullptr, 0);
             EXPECT_NE(loaded, nullptr);
             if (loaded)
                 made.push_back({Kind::Song, loaded, -1});
         },
         false, FileCalls::LoadRead},
        {"a unit's callback in a mix cycle on the mixer thread", inAMixCycle, [&] { unitsAround(unitCalls); },
         activateOwnUnit},
        {"a unit's callback in a mix cycle on the mixer thread, with the stream thread held in its pass",
         inAMixCycle,
         [&] {
             unitsAround([](void*, void* buffer, int, void*) {
                 if (g_passHeld)
                     makeTheCalls();
                 return buffer;
             });
             locked([] {
                 g_targets.stream->fillProcedure = holdThePassOnce;
                 return 0;
             });
         },
         [&] {
             play(g_targets.stream);
             activateOwnUnit();
         }},
        {"a unit's callback in a mix cycle of update-driven mixing on the caller's thread",
         inAnUpdateDrivenMixCycle, [&] { unitsAround(unitCalls); }, activateOwnUnit, true},
        {"a file's open callback of a non-blocking song open on the loader thread", onAnUnloadedSong,
         [&] {
             blockLoader();
             songsAround([&] {
                 HVMUSIC_SONG* s = queuedSong("own", 0, 0, kFreeOwn);
                 if (s)
                     s->openDone = [](HVMUSIC_SONG*, int) { g_toldAfterFree = true; };
                 return s;
             });
         },
         nullptr, false, FileCalls::Open},
        {"a file's open callback of a non-blocking stream open on the loader thread",
         {kStreamStop, kStreamSeek, kStreamPlay, kFreeOwn},
         [&] {
             blockLoader();
             streamsAround([&] { return stream(HVSOUND_Stream_Open("own", HVSOUND_MODE_NONBLOCKING, 0, 0), kFreeOwn); });
         },
         nullptr, false, FileCalls::Open},
        {"a song's open-done callback after a good load on the loader thread", {},
         [&] {
             blockLoader();
             songsAround([&] {
                 HVMUSIC_SONG* s = queuedSong(module.data(), nonBlockingMemory, int(module.size()), kFreeOwn);
                 if (s)
                     s->openDone = [](HVMUSIC_SONG*, int) { makeTheCalls(); };
                 return s;
             });
         },
         nullptr},
        {"a song's open-done callback after a failed load on the loader thread", onAnUnloadedSong,
         [&] {
             blockLoader();
             songsAround([&] {
                 HVMUSIC_SONG* s = queuedSong("missing", 0, 0, kFreeOwn);
                 if (s)
                     s->openDone = [](HVMUSIC_SONG*, int) { makeTheCalls(); };
                 return s;
             });
         },
         nullptr},
        {"a stream's open-done callback after a good open on the loader thread", {},
         [&] {
             blockLoader();
             streamsAround([&] {
                 HVSOUND_STREAM* s =
                     stream(HVSOUND_Stream_Open(wav.data(), nonBlockingMemory, 0, int(wav.size())), kFreeOwn);
                 if (s)
                     s->openDoneCallback = streamCalls;
                 return s;
             });
         },
         nullptr},
        {"a stream's open-done callback after a failed open on the loader thread", onAnUnreadyStream,
         [&] {
             blockLoader();
             streamsAround([&] {
                 HVSOUND_STREAM* s = stream(HVSOUND_Stream_Open("missing", HVSOUND_MODE_NONBLOCKING, 0, 0), kFreeOwn);
                 if (s)
                     s->openDoneCallback = streamCalls;
                 return s;
             });
         },
         nullptr},
    };
    const double processorBefore = soundtest::processorSeconds();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        g_armed = false;
        g_calls.asked = g_calls.returned = false;
        for (auto& error : g_calls.errors)
            error = HVSOUND_ERR_NONE;
        g_fileCalls = row.fileCalls;
        g_toldAfterFree = g_passHeld = false;
        g_ownFile = g_loadFile = nullptr;
        g_targets = CallTargets{};
        made.clear();
        const int bytesBefore = HVSOUND_GetState()->memoryPool.bytesInUse;
        if (row.updateDriven) {
            HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
            ASSERT_TRUE(HVSOUND_Init(kRate, 16, 0));
        } else {
            startThreaded();
        }
        HVSOUND_File_SetUserCallbacks(&files);
        HVSOUND_DSPUNIT* heartbeat = HVSOUND_DSP_Create(countCycle, 4000, nullptr);
        ASSERT_NE(heartbeat, nullptr);
        HVSOUND_DSP_SetActive(heartbeat, true);
        // What the calls take where the callback has no record of that kind
        // of its own.
        g_targets.sample = HVSOUND_Sample_Alloc(-1, 1000, HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO, kRate, 255, 128, 0);
        g_targets.unit = HVSOUND_DSP_Create(passBuffer, 300, nullptr);
        g_targets.song = song();
        g_targets.stream = memoryStream(wav, HVSOUND_MODE_LOOP_NORMAL);
        g_targets.closable = memoryStream(wav, HVSOUND_MODE_LOOP_NORMAL, kStreamClose);
        g_targets.openable = &wav;
        ASSERT_TRUE(g_targets.sample && g_targets.unit && g_targets.song && g_targets.stream && g_targets.closable);
        row.setUp();
        ASSERT_TRUE(g_targets.own && g_targets.earlier && g_targets.later);
        g_armed.store(true, std::memory_order_release);
        if (row.go)
            row.go();
        if (row.updateDriven) {
            for (int i = 0; i < 100 && !g_calls.returned; ++i)
                HVSOUND_Update();
        }
        mustReach([] { return g_calls.returned.load(); }, std::string("the calls in ") + row.name);
        for (int call = 0; call < kCallCount; ++call) {
            bool refused = call == kEngineClose || call == kEngineRestart ||
                           std::find(row.refused.begin(), row.refused.end(), call) != row.refused.end();
            EXPECT_EQ(g_calls.errors[call], refused ? HVSOUND_ERR_INVALID_PARAM : HVSOUND_ERR_NONE)
                << kCallNames[call];
        }
        EXPECT_TRUE(HVSOUND_GetState()->initialised) << "the engine runs on";
        const int cycles = g_cycles.load();
        if (row.updateDriven)
            update(3);
        EXPECT_TRUE(within([cycles] { return g_cycles.load() >= cycles + 3; })) << "the engine mixes on";
        answers("the starter's close", [] { HVSOUND_Close(); });
        EXPECT_EQ(HVSOUND_GetChannelsPlaying(), 0);
        EXPECT_EQ(HVSOUND_GetError(), HVSOUND_ERR_UNINITIALISED) << "later calls find the engine closed";
        EXPECT_FALSE(g_toldAfterFree) << "a song freed in its open's file callback had its open-done call";
        // What the callback freed is gone; the test frees the rest.
        for (const Made& m : made) {
            if (m.freedBy < 0 || g_calls.errors[m.freedBy] != HVSOUND_ERR_NONE) {
                EXPECT_TRUE(freeRecord(m.kind, m.record));
            }
        }
        HVSOUND_File_SetUserCallbacks(nullptr);
        EXPECT_EQ(HVSOUND_GetState()->memoryPool.bytesInUse, bytesBefore) << "the engine's memory is given back";
    }
    // The rows' waits sleep: the whole table, the engine's threads with it,
    // takes about a third of a processor second under ThreadSanitizer.
    EXPECT_LT(soundtest::processorSeconds() - processorBefore, 5.0) << "processor seconds the table took";
}

TEST_F(SoundStreamThread, ASongOrStreamFreedWhileItsCallbackRunsGoesWhenTheCallbackReturns)
{
    // The freeing call returns while the callback still runs on one of the
    // engine's threads; the callback can still read its song or stream, and
    // the fixture finds the record given back once the engine is closed.
    static std::atomic<int> read;
    static std::atomic<HVMUSIC_SONG*> opening;
    static std::atomic<bool> openDoneRuns, freedInOpenDone, unitFreeReturned, unitHolds;
    static std::atomic<long> player;
    openDoneRuns = freedInOpenDone = unitFreeReturned = unitHolds = false;
    player = 0;
    std::vector<uint8_t> module;
    const std::vector<uint8_t> plainModule = s3mtest::S3mBuilder().speed(5).build();
    const HVSOUND_FILE_CALLBACKS files = {openTestFile, closeTestFile, readTestFile, seekTestFile, tellTestFile};
    // A song opened without blocking, behind an open that holds the loader
    // until the test has set the song's callbacks; the blocker is freed.
    auto queued = [&](const std::vector<uint8_t>& bytes, const std::function<void(HVMUSIC_SONG*)>& set) {
        g_armed = false;
        g_fileCalls = FileCalls::None;
        HVSOUND_File_SetUserCallbacks(&files);
        HVMUSIC_SONG* blocker = HVMUSIC_LoadSongEx("blocker", 0, 0, HVSOUND_MODE_NONBLOCKING, nullptr, 0);
        HVMUSIC_SONG* song = HVMUSIC_LoadSongEx(bytes.data(), 0, int(bytes.size()),
                                                HVSOUND_MODE_LOADMEMORY | HVSOUND_MODE_NONBLOCKING, nullptr, 0);
        EXPECT_TRUE(blocker && song);
        if (song)
            set(song);
        g_armed = true;
        mustReach([blocker] { return blocker->done.load(); }, "the blocker's open never ends");
        EXPECT_TRUE(HVMUSIC_FreeSong(blocker));
    };
    // A song freed by a unit's callback while its open-done callback, held,
    // still has it; the callback then plays it, which is refused. During the
    // play the unit's cycle holds the mixer lock until the play, past its
    // first look at the song, waits for that lock, and then frees the song.
    static std::atomic<bool> duringThePlay;
    auto freedByAUnit = [&](bool whileThePlayWaits) {
        openDoneRuns = unitFreeReturned = false;
        duringThePlay = whileThePlayWaits;
        HVSOUND_DSPUNIT* unit = HVSOUND_DSP_Create(
            [](void*, void* buffer, int, void*) {
                if (openDoneRuns && !unitFreeReturned && (!duringThePlay || g_heldGo)) {
                    if (duringThePlay) {
                        unitHolds = true;
                        soundtest::untilBlockedOr(player, [] { return false; });
                    }
                    HVMUSIC_FreeSong(opening);
                    unitFreeReturned = true;
                }
                return buffer;
            },
            150, nullptr);
        ASSERT_NE(unit, nullptr);
        HVSOUND_DSP_SetActive(unit, true);
        queued(plainModule, [](HVMUSIC_SONG* song) {
            opening = song;
            song->openDone = [](HVMUSIC_SONG* s, int) {
                openDoneRuns = true;
                holdFirstCall([s] {
                    if (duringThePlay) {
                        within([] { return unitHolds.load(); });
                        player = platform::systemThreadId();
                    }
                    // Freed: the play is refused, and the record is still there.
                    bool played = HVMUSIC_PlaySong(s);
                    read = !played && HVSOUND_GetError() == HVSOUND_ERR_INVALID_PARAM && !s->valid ? 1 : 2;
                });
            };
        });
    };
    auto blocksMixed = [] {
        HVSOUND_Software_Lock();
        int blocks = HVSOUND_GetState()->mixer.blocksMixed;
        HVSOUND_Software_Unlock();
        return blocks;
    };
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"a song's row callback",
         [&] {
             HVMUSIC_SONG* song = fastSong(module, [](HVMUSIC_SONG* song, int) {
                 holdFirstCall([song] { read = song->rowCallback.every; });
             });
             ASSERT_NE(song, nullptr);
             ASSERT_TRUE(HVMUSIC_PlaySong(song));
             mustReach([] { return g_heldRuns.load(); }, "the song's row callback never runs");
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
             mustReach([] { return g_heldRuns.load(); }, "the stream's sync callback never runs");
             answers("closing the stream", [this, stream] { close(stream); });
         }},
        {"a song's row callback, the song played and freed in its own open-done callback on the loader thread",
         [&] {
             s3mtest::S3mBuilder b;
             b.constantInstrument();
             module = b.note(0, 0, 0, s3mtest::kC4, 1).speed(1).tempo(255).build();
             queued(module, [](HVMUSIC_SONG* song) {
                 song->rowCallback.function = [](HVMUSIC_SONG* s, int) {
                     holdFirstCall([s] { read = s->rowCallback.every; });
                 };
                 song->rowCallback.every = 1;
                 song->openDone = [](HVMUSIC_SONG* s, int) {
                     if (HVMUSIC_PlaySong(s) && within([] { return g_heldRuns.load(); }))
                         HVMUSIC_FreeSong(s);
                     freedInOpenDone = true;
                 };
             });
             mustReach([] { return freedInOpenDone.load(); }, "the open-done callback never returns");
             EXPECT_TRUE(g_heldRuns) << "the song's row callback ran before the free";
         }},
        {"a song's open-done callback on the loader thread, the song freed meanwhile by a unit's callback",
         [&] {
             // The unit's free neither waits for the loader (whose callback
             // plays the song, which takes the mixer lock the unit's cycle
             // holds) nor holds up the mixer for the rest of the open.
             freedByAUnit(false);
             mustReach([] { return unitFreeReturned.load(); }, "the unit's free of the song never returns");
             const int blocks = blocksMixed();
             EXPECT_TRUE(within([&] { return blocksMixed() >= blocks + 3; }))
                 << "the mixer mixes on while the song's open is under way";
         }},
        {"a song's open-done callback on the loader thread, the song freed by a unit's callback while its play "
         "waits for the mixer lock",
         [&] { freedByAUnit(true); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.first);
        resetHeldCallback();
        read = 0;
        startThreaded();
        row.second();
        g_heldGo = true;
        mustReach([] { return g_heldReturned.load(); }, "the held callback never returns");
        EXPECT_EQ(read, 1) << "the callback still had its record";
        HVSOUND_Close();
        HVSOUND_File_SetUserCallbacks(nullptr);
    }
}

// A stream closed in its own end callback, which the stream thread's pass
// keeps until the callback returns; the first of the callbacks the row names
// to find it closes and plays it again and keeps the answers.
std::atomic<HVSOUND_STREAM*> g_closing{nullptr};
std::atomic<bool> g_closingFromUnit{false};
std::atomic<bool> g_closingAsked{false};
std::atomic<bool> g_closingAnswered{false};
std::atomic<int> g_closedAgain{0};
std::atomic<int> g_playedClosing{0};
std::atomic<int> g_closingError{0};

void callOnTheClosingStream()
{
    HVSOUND_STREAM* s = g_closing;
    if (!s || g_closingAsked.exchange(true))
        return;
    HVSOUND_SetError(HVSOUND_ERR_NONE);
    g_closedAgain = HVSOUND_Stream_Close(s) ? 1 : 0;
    g_playedClosing = HVSOUND_Stream_Play(HVSOUND_FREE, s);
    g_closingError = HVSOUND_GetError();
    g_closingAnswered = true;
}

TEST_F(SoundStreamThread, AStreamAlreadyClosingAnswersTrueToACloseAndMinusOneToAPlayWithNoError)
{
    // The stream closes itself in its end callback; the same callback, or a
    // unit's callback in a mix cycle while the end callback waits, closes
    // and plays it again.
    for (bool fromUnit : {false, true}) {
        SCOPED_TRACE(fromUnit ? "in a unit's callback in a mix cycle on the mixer thread"
                              : "in its end callback on the stream thread");
        g_closing = nullptr;
        g_closingFromUnit = fromUnit;
        g_closingAsked = g_closingAnswered = false;
        g_closedAgain = g_playedClosing = g_closingError = -2;
        startThreaded();
        HVSOUND_DSPUNIT* unit = HVSOUND_DSP_Create(
            [](void*, void* buffer, int, void*) {
                if (g_closingFromUnit)
                    callOnTheClosingStream();
                return buffer;
            },
            150, nullptr);
        ASSERT_NE(unit, nullptr);
        HVSOUND_DSP_SetActive(unit, true);
        HVSOUND_STREAM* stream = openMemory(wav16(kRate / 8, 1), HVSOUND_MODE_LOOP_OFF);
        ASSERT_NE(stream, nullptr);
        forget(stream);
        stream->endCallback = [](HVSOUND_STREAM* s, void*, int, void*) {
            if (!HVSOUND_Stream_Close(s))
                return true;
            g_closing = s;
            if (g_closingFromUnit)
                within([] { return g_closingAnswered.load(); });
            else
                callOnTheClosingStream();
            return true;
        };
        ASSERT_NE(HVSOUND_Stream_Play(HVSOUND_FREE, stream), -1);
        mustReach([] { return g_closingAnswered.load(); }, "the calls on the closing stream");
        EXPECT_EQ(g_closedAgain, 1) << "the close of a stream already closing";
        EXPECT_EQ(g_playedClosing, -1) << "the play of a stream closing";
        EXPECT_EQ(g_closingError, HVSOUND_ERR_NONE);
        answers("the engine's close", [] { HVSOUND_Close(); });
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
    mustReach([] { return g_heldRuns.load(); }, "the sync callback never runs");
    std::thread letGo([] {
        within([] {
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
