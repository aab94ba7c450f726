// SoundTestSupport.h: a fixture that runs the sound engine headless and
// deterministic (output type 12, the fake clock, a seeded generator) and
// puts the engine's settings back after each test; a user file that reads
// memory; the waits of the tests that run the engine's threads, whose limits
// only catch a hang and stretch with the machine's load, among them the wait
// of a test that holds one thread mid-step until another is blocked; and the
// processor time of those tests.
#pragma once

#include "platform/kernel/Kernel.h"
#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/mixer/sound_software.h"

#include "tests/support/MachinePace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

namespace soundtest {

class SoundFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setClock(&clock);
        crtSrand(12345);
        HVSOUND_STATE* s = HVSOUND_GetState();
        s->mixerType = HVSOUND_MIXER_QUALITY_AUTODETECT;
        s->sfxMasterVolume = 255;
        HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
        s->bufferLength = -1;
        bytesBefore = s->memoryPool.bytesInUse;
    }

    void TearDown() override
    {
        HVSOUND_Close();
        HVSOUND_STATE* s = HVSOUND_GetState();
        s->memoryPool.userAlloc = malloc;
        s->memoryPool.userRealloc = realloc;
        s->memoryPool.userFree = free;
        s->bufferLength = -1;
        EXPECT_EQ(s->memoryPool.bytesInUse, bytesBefore) << "the engine gave back all its memory";
        platform::setClock(nullptr);
    }

    // Starts the engine with `channels` software channels at 22,050 Hz.
    void start(int channels = 32, int output = HVSOUND_OUTPUT_NOSOUND_NONREALTIME)
    {
        HVSOUND_SetOutput(output);
        ASSERT_TRUE(HVSOUND_Init(22050, channels, 0)) << "error " << HVSOUND_GetError();
    }

    // A 16-bit mono software sample of `length` samples holding 0, 1, 2, ...
    HVSOUND_SAMPLE* rampSample(int length, uint32_t mode = HVSOUND_MODE_16BITS | HVSOUND_MODE_MONO |
                                                             HVSOUND_MODE_LOOP_OFF)
    {
        HVSOUND_SAMPLE* s = HVSOUND_Sample_Alloc(-1, length, mode, 22050, 255, 128, 128);
        EXPECT_NE(s, nullptr);
        if (!s)
            return nullptr;
        auto* data = reinterpret_cast<int16_t*>(s->data);
        for (int i = 0; i < length; ++i)
            data[i] = int16_t(i);
        HVSOUND_Sample_WriteGuards(s);
        return s;
    }

    platform::FakeClock clock{1000};
    int bytesBefore = 0;
};

// A file of the user file callbacks that reads a block of memory: what
// their read and seek do with its handle.
struct MemoryFile {
    const std::vector<uint8_t>* data;
    int at;

    int read(void* buffer, int bytes)
    {
        int n = std::max(0, std::min(bytes, int(data->size()) - at));
        std::memcpy(buffer, data->data() + at, size_t(n));
        at += n;
        return n;
    }

    int seek(int offset, int origin)
    {
        int size = int(data->size());
        int base = origin == SEEK_END ? size : origin == SEEK_CUR ? at : 0;
        at = std::max(0, std::min(size, base + offset));
        return 0;
    }
};

// A hang's limit: a state a working engine reaches is reached well within
// it, however slow the machine, at the machine's pace.
constexpr double kHangSeconds = 20.0;

// Waits until `done` holds, looking every 2 ms, at most `seconds` at the
// pace the machine gives the test (counted on `pace`). False when it never
// does.
template <typename F>
bool within(testsupport::MachinePace& pace, F done, double seconds = kHangSeconds)
{
    while (pace.counted() < seconds * 1000) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}

template <typename F>
bool within(F done, double seconds = kHangSeconds)
{
    return testsupport::reachedAtPace(int(seconds * 1000), done);
}

// Like within, for a state that a hung engine never reaches: the test
// fails, and since nothing can end threads that wait for each other (a
// fixture's close would wait for them too), the test program ends here.
template <typename F>
void mustReach(F done, const std::string& what, double seconds = kHangSeconds)
{
    testsupport::MachinePace pace;
    if (within(pace, done, seconds))
        return;
    ADD_FAILURE() << what << " (waited " << seconds << " s at the machine's pace, " << pace.load() << ")";
    std::fflush(stdout);
    std::_Exit(1);
}

// Waits until the thread whose system id (platform::systemThreadId) is in
// `thread` sleeps in a call, blocked on a lock or in a wait, on three looks
// in a row, or until `done` holds. A test holds one thread mid-step until
// the other is there. False when neither comes within a hang's limit.
template <typename F>
bool untilBlockedOr(const std::atomic<long>& thread, F done)
{
    int asleep = 0;
    return within([&] {
        if (done())
            return true;
        platform::ThreadActivity activity;
        const long id = thread.load();
        asleep = id != 0 && platform::threadActivity(id, activity) && activity.asleep ? asleep + 1 : 0;
        return asleep >= 3;
    });
}

// The processor time this process has used, in seconds.
inline double processorSeconds()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace soundtest
