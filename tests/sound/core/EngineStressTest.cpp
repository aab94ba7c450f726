// EngineStressTest.cpp: the sound engine used from several threads at once.
// Application threads and every kind of callback the engine makes (a song's
// row, a stream's sync and end, a DSP unit's, the user file callbacks on
// every thread that reads a file) call the engine at random, with fixed
// seeds, on both device outputs, through samples, streams, songs and units
// that pass between them. Run under the sanitizers: a record used after its
// free, a race or a hang fails it, as do a close or restart that a callback
// gets through, two samples in one slot, or an engine that stops mixing.
#include "sound/core/system_file.h"
#include "sound/music/hvmusic.h"
#include "tests/sound/music/S3mBuilder.h"
#include "tests/sound/streams/StreamTestSupport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace enginestress {

constexpr int kStressRate = 22050;
// Operations of each application thread in a round, and the threads besides
// the one that starts the engine.
constexpr int kOperations = 400;
constexpr int kWorkers = 2;

enum class Kind { Sample, Stream, Song, Unit };

struct Held {
    Kind kind;
    void* record;
};

// The records that pass between the threads and callbacks: whoever takes one
// has it alone until it puts it back or frees it. Its lock is never held
// over an engine call.
class RecordPool {
public:
    void put(Kind kind, void* record)
    {
        if (!record)
            return;
        std::lock_guard<std::mutex> lock(m_lock);
        m_records.push_back({kind, record});
    }

    void* take(Kind kind, std::mt19937& rng)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::vector<size_t> ofKind;
        for (size_t i = 0; i < m_records.size(); ++i) {
            if (m_records[i].kind == kind)
                ofKind.push_back(i);
        }
        if (ofKind.empty())
            return nullptr;
        size_t i = ofKind[rng() % ofKind.size()];
        void* record = m_records[i].record;
        m_records[i] = m_records.back();
        m_records.pop_back();
        return record;
    }

    // Takes that very record when it is there.
    bool takeThis(void* record)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = std::find_if(m_records.begin(), m_records.end(), [&](const Held& h) { return h.record == record; });
        if (it == m_records.end())
            return false;
        *it = m_records.back();
        m_records.pop_back();
        return true;
    }

    std::vector<Held> takeAll()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::vector<Held> all;
        all.swap(m_records);
        return all;
    }

private:
    std::mutex m_lock;
    std::vector<Held> m_records;
};

// One round: its seed, its records, and what the callbacks did.
struct Round {
    uint32_t seed = 0;
    RecordPool pool;
    const std::vector<uint8_t>* wav = nullptr;
    const std::vector<uint8_t>* module = nullptr;
    std::atomic<uint32_t> nextThread{0};
    // Callbacks make calls only while the round acts; `inCalls` counts
    // those making them now.
    std::atomic<bool> acting{false};
    std::atomic<int> inCalls{0};
    std::atomic<int> callbackCalls{0};
    std::atomic<int> closesTried{0};
    std::atomic<int> closesGoneThrough{0};
    std::atomic<int> lastHandle{-1};
};
std::atomic<Round*> g_round{nullptr};

// Each thread's generator, seeded anew for each round from the round's seed
// and the order in which the thread first drew from it.
struct ThreadRandom {
    const Round* round = nullptr;
    std::mt19937 rng;
};
thread_local ThreadRandom t_random;
// Calls a callback makes do not make calls again in callbacks of their own.
thread_local int t_inCallback = 0;

std::mt19937& randomOf(Round& round)
{
    if (t_random.round != &round) {
        t_random.round = &round;
        t_random.rng.seed(round.seed * 1000u + round.nextThread.fetch_add(1));
    }
    return t_random.rng;
}

// The user files: "wav" and "s3m" from the round's data, anything else
// missing. Each of their callbacks may make calls.
void callbackCalls(int oneIn, void* own, Kind ownKind);

void* stressOpen(const char* name)
{
    callbackCalls(6, nullptr, Kind::Sample);
    Round* round = g_round;
    if (!round)
        return nullptr;
    const std::string file = name;
    const std::vector<uint8_t>* data = file == "wav" ? round->wav : file == "s3m" ? round->module : nullptr;
    return data ? new soundtest::MemoryFile{data, 0} : nullptr;
}

void stressClose(void* handle)
{
    callbackCalls(6, nullptr, Kind::Sample);
    delete static_cast<soundtest::MemoryFile*>(handle);
}

int stressRead(void* buffer, int bytes, void* handle)
{
    callbackCalls(12, nullptr, Kind::Sample);
    return static_cast<soundtest::MemoryFile*>(handle)->read(buffer, bytes);
}

int stressSeek(void* handle, int offset, int origin)
{
    callbackCalls(12, nullptr, Kind::Sample);
    return static_cast<soundtest::MemoryFile*>(handle)->seek(offset, origin);
}

int stressTell(void* handle)
{
    return static_cast<soundtest::MemoryFile*>(handle)->at;
}

bool streamEnded(HVSOUND_STREAM* s, void*, int, void*)
{
    callbackCalls(2, s, Kind::Stream);
    return true;
}

bool streamSynced(HVSOUND_STREAM* s, const char*, uint32_t, void*)
{
    callbackCalls(2, s, Kind::Stream);
    return true;
}

void songRow(HVMUSIC_SONG* song, int)
{
    callbackCalls(4, song, Kind::Song);
}

void* unitMixes(void*, void* buffer, int, void*)
{
    callbackCalls(8, nullptr, Kind::Unit);
    return buffer;
}

// A stream's callbacks are set before any other thread can have it.
HVSOUND_STREAM* withCallbacks(HVSOUND_STREAM* s)
{
    if (s && s->ready) {
        s->endCallback = streamEnded;
        HVSOUND_Stream_EnterListLock();
        s->syncList.callback = streamSynced;
        HVSOUND_Stream_LeaveListLock();
    }
    return s;
}

HVMUSIC_SONG* withRowCallback(HVMUSIC_SONG* song)
{
    if (song) {
        song->rowCallback.function = songRow;
        song->rowCallback.every = 1;
    }
    return song;
}

// What a load reads: the user file of that name, or the data in memory.
struct LoadSource {
    const void* nameOrData;
    uint32_t mode;
    int length;
};

LoadSource loadSource(bool fromFile, const char* name, const std::vector<uint8_t>& data)
{
    if (fromFile)
        return {name, 0u, 0};
    return {data.data(), HVSOUND_MODE_LOADMEMORY, int(data.size())};
}

// One random call of an application thread or, with `own` and its kind, of
// a callback (which may also try the engine's close and restart). A call
// that frees the callback's own record clears `own`: a callback does not use
// its record after freeing it.
void randomCall(Round& round, std::mt19937& rng, bool inCallback, void*& own, Kind ownKind)
{
    RecordPool& pool = round.pool;
    const bool fromFile = rng() % 2 == 0;
    const LoadSource wav = loadSource(fromFile, rng() % 8 ? "wav" : "missing", *round.wav);
    const LoadSource module = loadSource(fromFile, "s3m", *round.module);
    switch (rng() % 18) {
    case 0:
        pool.put(Kind::Sample, HVSOUND_Sample_Load(HVSOUND_FREE, wav.nameOrData, wav.mode, 0, wav.length));
        break;
    case 1:
        pool.put(Kind::Sample, HVSOUND_Sample_Alloc(HVSOUND_FREE, 64 + int(rng() % 2000),
                                                    HVSOUND_MODE_16BITS | HVSOUND_MODE_LOOP_NORMAL, kStressRate, 255,
                                                    128, int(rng() % 256)));
        break;
    case 2:
        if (void* s = pool.take(Kind::Sample, rng))
            HVSOUND_Sample_Free(static_cast<HVSOUND_SAMPLE*>(s));
        break;
    case 3:
        if (void* s = pool.take(Kind::Sample, rng)) {
            int handle = HVSOUND_PlaySound(HVSOUND_FREE, static_cast<HVSOUND_SAMPLE*>(s));
            HVSOUND_SetFrequency(handle, 8000 + int(rng() % 40000));
            round.lastHandle = handle;
            pool.put(Kind::Sample, s);
        }
        break;
    case 4: {
        const int handle = round.lastHandle;
        HVSOUND_SetVolume(HVSOUND_ALL, int(rng() % 256));
        HVSOUND_SetPaused(handle, rng() % 2 == 0);
        HVSOUND_GetChannelsPlaying();
        HVSOUND_SetSFXMasterVolume(128 + int(rng() % 128));
        if (rng() % 3 == 0)
            HVSOUND_StopSound(handle);
        break;
    }
    case 5: {
        uint32_t loop = rng() % 2 ? HVSOUND_MODE_LOOP_NORMAL : HVSOUND_MODE_LOOP_OFF;
        pool.put(Kind::Stream, withCallbacks(HVSOUND_Stream_Open(wav.nameOrData, wav.mode | loop, 0, wav.length)));
        break;
    }
    case 6:
        pool.put(Kind::Stream, HVSOUND_Stream_Open(wav.nameOrData,
                                                   wav.mode | HVSOUND_MODE_NONBLOCKING | HVSOUND_MODE_LOOP_NORMAL, 0,
                                                   wav.length));
        break;
    case 7:
        if (void* s = pool.take(Kind::Stream, rng)) {
            round.lastHandle = HVSOUND_Stream_Play(HVSOUND_FREE, static_cast<HVSOUND_STREAM*>(s));
            pool.put(Kind::Stream, s);
        }
        break;
    case 8:
        if (void* record = pool.take(Kind::Stream, rng)) {
            auto* s = static_cast<HVSOUND_STREAM*>(record);
            switch (rng() % 3) {
            case 0:
                HVSOUND_Stream_Stop(s);
                break;
            case 1:
                if (s->ready)
                    HVSOUND_Stream_SetPositionCore(s, uint32_t(rng() % 4000) * 2, false, false);
                break;
            default:
                HVSOUND_Stream_SetMode(s, rng() % 2 ? HVSOUND_MODE_LOOP_NORMAL : HVSOUND_MODE_LOOP_OFF);
                break;
            }
            pool.put(Kind::Stream, s);
        }
        break;
    case 9:
        if (void* s = pool.take(Kind::Stream, rng)) {
            if (!HVSOUND_Stream_Close(static_cast<HVSOUND_STREAM*>(s)))
                pool.put(Kind::Stream, s); // its open is still under way, or its refill work runs here
            else if (s == own)
                own = nullptr;
        }
        break;
    case 10:
        pool.put(Kind::Song, withRowCallback(HVMUSIC_LoadSongEx(module.nameOrData, 0, module.length, module.mode,
                                                                nullptr, 0)));
        break;
    case 11:
        pool.put(Kind::Song, HVMUSIC_LoadSongEx(module.nameOrData, 0, module.length,
                                                module.mode | HVSOUND_MODE_NONBLOCKING, nullptr, 0));
        break;
    case 12:
        if (void* record = pool.take(Kind::Song, rng)) {
            auto* song = static_cast<HVMUSIC_SONG*>(record);
            switch (rng() % 5) {
            case 0:
            case 1:
                HVMUSIC_PlaySong(song);
                break;
            case 2:
                HVMUSIC_StopSong(song);
                break;
            case 3:
                HVMUSIC_SetBPM(song, 60 + int(rng() % 200));
                break;
            default:
                HVMUSIC_SetPaused(song, rng() % 2 == 0);
                HVMUSIC_SetMasterVolume(song, int(rng() % 300));
                break;
            }
            pool.put(Kind::Song, song);
        }
        break;
    case 13:
        if (void* song = pool.take(Kind::Song, rng)) {
            HVMUSIC_FreeSong(static_cast<HVMUSIC_SONG*>(song));
            if (song == own)
                own = nullptr;
        }
        break;
    case 14:
        // A unit is made on an application thread only: the calls of a
        // callback leave the chain as a cycle walks it.
        if (!inCallback) {
            HVSOUND_DSPUNIT* unit = HVSOUND_DSP_Create(unitMixes, int(rng() % 400), nullptr);
            if (unit) {
                HVSOUND_DSP_SetActive(unit, true);
                pool.put(Kind::Unit, unit);
            }
        }
        break;
    case 15:
        if (void* unit = pool.take(Kind::Unit, rng)) {
            if (rng() % 2 || !HVSOUND_DSP_Free(static_cast<HVSOUND_DSPUNIT*>(unit))) {
                HVSOUND_DSP_SetPriority(static_cast<HVSOUND_DSPUNIT*>(unit), int(rng() % 400));
                pool.put(Kind::Unit, unit);
            }
        }
        break;
    case 16:
        // The callback's own song or stream: played, stopped or sought, or
        // freed when no other has it.
        if (own && ownKind == Kind::Stream) {
            auto* s = static_cast<HVSOUND_STREAM*>(own);
            switch (rng() % 4) {
            case 0:
                HVSOUND_Stream_Play(HVSOUND_FREE, s);
                break;
            case 1:
                HVSOUND_Stream_Stop(s);
                break;
            case 2:
                HVSOUND_Stream_SetPositionCore(s, 0, false, false);
                break;
            default:
                if (pool.takeThis(s)) {
                    if (HVSOUND_Stream_Close(s))
                        own = nullptr;
                    else
                        pool.put(Kind::Stream, s);
                }
                break;
            }
        } else if (own && ownKind == Kind::Song) {
            auto* song = static_cast<HVMUSIC_SONG*>(own);
            switch (rng() % 3) {
            case 0:
                HVMUSIC_StopSong(song);
                break;
            case 1:
                HVMUSIC_PlaySong(song);
                break;
            default:
                if (pool.takeThis(song)) {
                    HVMUSIC_FreeSong(song);
                    own = nullptr;
                }
                break;
            }
        }
        break;
    default:
        // Every callback is made where the engine cannot be closed or
        // restarted: the engine runs on, as its starter left it.
        if (inCallback) {
            ++round.closesTried;
            if (rng() % 2) {
                HVSOUND_Close();
                if (!HVSOUND_GetState()->initialised)
                    ++round.closesGoneThrough;
            } else if (HVSOUND_Init(kStressRate, 16, 0)) {
                ++round.closesGoneThrough;
            }
        }
        break;
    }
}

void callbackCalls(int oneIn, void* own, Kind ownKind)
{
    Round* round = g_round;
    if (!round || !round->acting || t_inCallback > 0)
        return;
    std::mt19937& rng = randomOf(*round);
    if (rng() % uint32_t(oneIn) != 0)
        return;
    ++round->inCalls;
    if (round->acting) {
        ++t_inCallback;
        for (int calls = 1 + int(rng() % 2); calls > 0; --calls) {
            randomCall(*round, rng, true, own, ownKind);
            ++round->callbackCalls;
        }
        --t_inCallback;
    }
    --round->inCalls;
}

class SoundEngineStress : public soundtest::SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        // The devices play in real time.
        platform::setClock(nullptr);
    }

    void TearDown() override
    {
        g_round = nullptr;
        HVSOUND_File_SetUserCallbacks(nullptr);
        SoundFixture::TearDown();
    }

    static int blocksMixed()
    {
        HVSOUND_MixerLockScope lock;
        return HVSOUND_GetState()->mixer.blocksMixed;
    }
};

TEST_F(SoundEngineStress, ThreadsAndCallbacksCallingTheEngineAtRandomLeaveItWhole)
{
    const std::vector<uint8_t> wav =
        streamtest::wav16(kStressRate / 8, 1, kStressRate, [](wavtest::WavBuilder& w) { w.cue({{1, 200}}); });
    s3mtest::S3mBuilder builder;
    builder.constantInstrument();
    const std::vector<uint8_t> module = builder.note(0, 0, 0, s3mtest::kC4, 1).speed(1).tempo(255).build();
    const HVSOUND_FILE_CALLBACKS files = {stressOpen, stressClose, stressRead, stressSeek, stressTell};
    const double processorBefore = soundtest::processorSeconds();
    const std::pair<uint32_t, int> rounds[] = {{1, HVSOUND_OUTPUT_DSOUND},
                                               {2, HVSOUND_OUTPUT_WINMM},
                                               {3, HVSOUND_OUTPUT_DSOUND},
                                               {4, HVSOUND_OUTPUT_WINMM}};
    for (const auto& [seed, output] : rounds) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", output " + std::to_string(output));
        Round round;
        round.seed = seed;
        round.wav = &wav;
        round.module = &module;
        HVSOUND_SetOutput(output);
        ASSERT_TRUE(HVSOUND_Init(kStressRate, 16, 0)) << "error " << HVSOUND_GetError();
        HVSOUND_File_SetUserCallbacks(&files);
        g_round = &round;
        round.acting = true;
        const int mixedBefore = blocksMixed();

        // The starter's thread and the workers make their calls at once.
        std::atomic<int> actorsDone{0};
        auto act = [&round, &actorsDone](bool starter) {
            std::mt19937& rng = randomOf(round);
            for (int op = 0; op < kOperations; ++op) {
                void* none = nullptr;
                randomCall(round, rng, false, none, Kind::Sample);
                if (starter && rng() % 8 == 0)
                    HVSOUND_Update();
                std::this_thread::sleep_for(std::chrono::microseconds(rng() % 6000));
            }
            ++actorsDone;
        };
        std::vector<std::thread> workers;
        for (int i = 0; i < kWorkers; ++i)
            workers.emplace_back(act, false);
        act(true);
        soundtest::mustReach([&] { return actorsDone == kWorkers + 1; }, "the application threads' calls never end",
                             120.0);
        for (std::thread& worker : workers)
            worker.join();

        // The callbacks stop making calls; what the round made is freed
        // while the engine runs (a stream still opening once it closes).
        round.acting = false;
        soundtest::mustReach([&] { return round.inCalls == 0; }, "the callbacks' calls never end", 60.0);
        soundtest::mustReach([&] { return blocksMixed() > mixedBefore + 3; }, "the engine no longer mixes");
        EXPECT_GT(round.callbackCalls, 0) << "calls made by callbacks";
        EXPECT_GT(round.closesTried, 0);
        EXPECT_EQ(round.closesGoneThrough, 0) << "closes and restarts a callback got through";
        std::vector<HVSOUND_STREAM*> opening;
        for (const Held& held : round.pool.takeAll()) {
            switch (held.kind) {
            case Kind::Sample: {
                auto* sample = static_cast<HVSOUND_SAMPLE*>(held.record);
                HVSOUND_STATE* st = HVSOUND_GetState();
                EXPECT_TRUE(sample->tableIndex >= 0 && sample->tableIndex < st->sampleTableSize &&
                            st->samples[sample->tableIndex] == sample)
                    << "a sample lost its slot";
                HVSOUND_Sample_Free(sample);
                break;
            }
            case Kind::Stream:
                if (!HVSOUND_Stream_Close(static_cast<HVSOUND_STREAM*>(held.record)))
                    opening.push_back(static_cast<HVSOUND_STREAM*>(held.record));
                break;
            case Kind::Song:
                EXPECT_TRUE(HVMUSIC_FreeSong(static_cast<HVMUSIC_SONG*>(held.record)));
                break;
            case Kind::Unit:
                EXPECT_TRUE(HVSOUND_DSP_Free(static_cast<HVSOUND_DSPUNIT*>(held.record)));
                break;
            }
        }
        HVSOUND_Close();
        for (HVSOUND_STREAM* s : opening)
            EXPECT_TRUE(HVSOUND_Stream_Close(s));
        HVSOUND_File_SetUserCallbacks(nullptr);
        g_round = nullptr;
    }
    // The threads spend most of their time waiting: the whole test, with the
    // engine's threads, takes some seconds of processor time under
    // ThreadSanitizer.
    EXPECT_LT(soundtest::processorSeconds() - processorBefore, 60.0) << "processor seconds the rounds took";
}

} // namespace enginestress
