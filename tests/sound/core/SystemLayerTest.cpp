// The sound engine's system layer: memory and its pool, strings, the PCM
// routine, clocks and the load meter, threads and locks under each output.
#include "tests/sound/core/SoundTestSupport.h"

#include <atomic>
#include <climits>
#include <cstring>
#include <vector>

namespace {

using soundtest::SoundFixture;

TEST(SoundCoreMemory, HeapBlocksCarryTheirSizeAndKeepTheCountsExact)
{
    HVSOUND_MEMPOOL* pool = HVSOUND_Memory_DefaultPool();
    int before = pool->bytesInUse;
    void* a = HVSOUND_ALLOC(0);
    void* b = HVSOUND_ALLOC(0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b) << "a request for 0 bytes still gets its own block";
    auto* c = static_cast<uint8_t*>(HVSOUND_CALLOC(100));
    ASSERT_NE(c, nullptr);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(c[i], 0);
    EXPECT_EQ(pool->bytesInUse, before + 100);
    memset(c, 7, 100);
    c = static_cast<uint8_t*>(HVSOUND_REALLOC(c, 300));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c[99], 7) << "realloc keeps the data";
    EXPECT_EQ(pool->bytesInUse, before + 300);
    EXPECT_GE(pool->peakBytesInUse, before + 300);
    // Sizes whose 16-byte header would wrap the int count.
    EXPECT_EQ(HVSOUND_ALLOC(INT_MAX - 8), nullptr);
    EXPECT_EQ(HVSOUND_REALLOC(c, INT_MAX - 8), nullptr);
    EXPECT_EQ(c[99], 7) << "a refused realloc keeps the block";
    HVSOUND_FREE(a);
    HVSOUND_FREE(b);
    HVSOUND_FREE(c);
    HVSOUND_FREE(nullptr);
    EXPECT_EQ(pool->bytesInUse, before);
}

// A block-map pool of 8 blocks of 64 bytes (each allocation also carries
// its 16-byte header).
class SoundCoreMemoryPool : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&pool, 0, sizeof pool);
        pool.blockMap = map;
        pool.memory = memory;
        pool.blockCount = 8;
        pool.blockSize = 64;
    }
    HVSOUND_MEMPOOL pool;
    uint8_t map[8] = {};
    alignas(16) uint8_t memory[8 * 64] = {};
};

TEST_F(SoundCoreMemoryPool, TakesTheFirstRunThatFitsAndCountsWholeBlocks)
{
    void* a = HVSOUND_Memory_Alloc(&pool, 40, __FILE__, __LINE__);  // 56 bytes: 1 block
    void* b = HVSOUND_Memory_Alloc(&pool, 100, __FILE__, __LINE__); // 116: 2 blocks
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(static_cast<uint8_t*>(a), memory + 16);
    EXPECT_EQ(static_cast<uint8_t*>(b), memory + 64 + 16);
    EXPECT_EQ(pool.blocksInUse, 3);
    EXPECT_EQ(pool.bytesInUse, 140);
    HVSOUND_Memory_Free(&pool, a);
    EXPECT_EQ(map[0], 0);
    void* c = HVSOUND_Memory_Alloc(&pool, 10, __FILE__, __LINE__);
    EXPECT_EQ(c, a) << "first fit reuses the freed block";
    EXPECT_EQ(HVSOUND_Memory_Alloc(&pool, 8 * 64, __FILE__, __LINE__), nullptr);
    EXPECT_EQ(pool.peakBlocksInUse, 3);
    EXPECT_EQ(pool.peakBlockBytes, 3 * 64);
    EXPECT_EQ(pool.overhead, 3 * 64 - pool.peakBytesInUse);
}

TEST_F(SoundCoreMemoryPool, ReallocGrowsInPlaceOrMovesAndKeepsBlocksWhenNothingFits)
{
    auto* a = static_cast<uint8_t*>(HVSOUND_Memory_Alloc(&pool, 40, __FILE__, __LINE__));
    memcpy(a, "sound", 6);
    auto* grown = static_cast<uint8_t*>(HVSOUND_Memory_Realloc(&pool, a, 100, __FILE__, __LINE__));
    EXPECT_EQ(grown, a) << "the blocks after it were free";
    EXPECT_STREQ(reinterpret_cast<char*>(grown), "sound");

    void* wall = HVSOUND_Memory_Alloc(&pool, 40, __FILE__, __LINE__); // block 2
    ASSERT_NE(wall, nullptr);
    auto* moved = static_cast<uint8_t*>(HVSOUND_Memory_Realloc(&pool, grown, 200, __FILE__, __LINE__));
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved, memory + 3 * 64 + 16) << "no room in place: first fit after the wall";
    EXPECT_STREQ(reinterpret_cast<char*>(moved), "sound");
    EXPECT_EQ(map[0], 0);
    EXPECT_EQ(map[1], 0);

    // 5 blocks do not fit anywhere now: the caller keeps its block, which
    // must stay marked as used.
    EXPECT_EQ(HVSOUND_Memory_Realloc(&pool, moved, 5 * 64, __FILE__, __LINE__), nullptr);
    EXPECT_EQ(map[3] + map[4] + map[5] + map[6], 4);
    void* other = HVSOUND_Memory_Alloc(&pool, 100, __FILE__, __LINE__);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, static_cast<void*>(moved)) << "the failed realloc's blocks were not handed out again";
    EXPECT_STREQ(reinterpret_cast<char*>(moved), "sound");
}

TEST(SoundCoreStrings, BoundedCopyStopsAtNWithoutTerminating)
{
    char buffer[8] = "xxxxxxx";
    HVSOUND_String_CopyN(buffer, "abc", 2);
    EXPECT_EQ(std::string(buffer, 4), "abxx");
    HVSOUND_String_CopyN(buffer, "ab", 6);
    EXPECT_EQ(std::string(buffer, 4), std::string("ab\0x", 4)) << "stops after the terminator, no padding";
    char joined[16] = "lan";
    EXPECT_STREQ(HVSOUND_String_Append(joined, "tern"), "lantern");
    EXPECT_EQ(HVSOUND_String_Length(joined), 7);
}

TEST(SoundCoreStrings, ComparesBoundedAndWithoutCase)
{
    EXPECT_EQ(HVSOUND_String_CompareN("abc", "abd", 2), 0);
    EXPECT_EQ(HVSOUND_String_CompareN("abc", "abd", 3), 'c' - 'd');
    EXPECT_EQ(HVSOUND_String_CompareN("b", "a", 0), 1) << "the first character is always compared";
    EXPECT_EQ(HVSOUND_String_CompareN("ab", "ab", 10), 0);
    EXPECT_EQ(HVSOUND_String_CompareNoCaseN("FILE://x", "file://y", 7), 0);
    EXPECT_NE(HVSOUND_String_CompareNoCaseN("[", "{", 1), 0) << "only A-Z change case";
    EXPECT_EQ(HVSOUND_String_LowerChar('Q'), 'q');
    EXPECT_EQ(HVSOUND_String_LowerChar(0xC4), 0xC4);
}

TEST(SoundCoreStrings, MoveIsSafeForOverlapEitherWay)
{
    char text[] = "abcdef";
    HVSOUND_String_Move(text + 1, text, 4);
    EXPECT_STREQ(text, "aabcdf");
    HVSOUND_String_Move(text, text + 2, 4);
    EXPECT_STREQ(text, "bcdfdf");
}

TEST(SoundCorePcm, StereoToMonoAveragesSignedAndUnsignedValues)
{
    int16_t wide[] = {1000, 3000, -32768, -32767, 32767, 32767};
    int16_t wideOut[3];
    HVSOUND_PCM_StereoToMono(wideOut, wide, 3, HVSOUND_MODE_16BITS);
    EXPECT_EQ(wideOut[0], 2000);
    EXPECT_EQ(wideOut[1], -32768);
    EXPECT_EQ(wideOut[2], 32767);

    uint8_t unsignedBytes[] = {0, 255, 200, 100};
    uint8_t unsignedOut[2];
    HVSOUND_PCM_StereoToMono(unsignedOut, unsignedBytes, 2, HVSOUND_MODE_8BITS | HVSOUND_MODE_UNSIGNED);
    EXPECT_EQ(unsignedOut[0], 127);
    EXPECT_EQ(unsignedOut[1], 150);

    int8_t signedBytes[] = {-128, 127, -100, -50};
    int8_t signedOut[2];
    HVSOUND_PCM_StereoToMono(signedOut, signedBytes, 2, HVSOUND_MODE_8BITS);
    EXPECT_EQ(signedOut[0], -1);
    EXPECT_EQ(signedOut[1], -75);
}

// A clock whose counter runs at 1 GHz, like the system one.
class NanosecondClock : public platform::Clock {
public:
    int64_t counter = 0;
    uint32_t tickCount() override { return uint32_t(counter / 1000000); }
    int64_t performanceCounter() override { return counter; }
    int64_t performanceFrequency() override { return 1000000000; }
    void sleep(uint32_t) override {}
};

TEST(SoundCoreClock, MicrosecondsComeFromTheCounterAndWrapAt32Bits)
{
    NanosecondClock clock;
    platform::ScopedClock scoped(clock);
    // Three hours of uptime: counter x 1,000,000 no longer fits 64 bits.
    clock.counter = int64_t(3) * 3600 * 1000000000 + 123456789;
    uint64_t micro = uint64_t(3) * 3600 * 1000000 + 123456;
    EXPECT_EQ(HVSOUND_Timer_Microseconds(), uint32_t(micro));
    EXPECT_EQ(HVSOUND_Timer_Milliseconds(), uint32_t(micro) / 1000);
}

TEST(SoundCoreClock, LoadMeterReportsTheWorkingShare)
{
    platform::FakeClock clock(0);
    platform::ScopedClock scoped(clock);
    HVSOUND_LOADMETER meter{};
    // Without smoothing, load = work / period.
    clock.advanceMicroseconds(1000);
    meter.endTime = HVSOUND_Timer_Microseconds();
    clock.advanceMicroseconds(7500);
    HVSOUND_LoadMeter_Start(&meter);
    clock.advanceMicroseconds(2500);
    EXPECT_FLOAT_EQ(HVSOUND_LoadMeter_End(&meter, 0), 25.0f);
    EXPECT_FLOAT_EQ(meter.period, 10000.0f);

    // A clock that went back counts as no time passing, without a fault.
    meter.endTime = HVSOUND_Timer_Microseconds() + 500;
    HVSOUND_LoadMeter_Start(&meter);
    float load = HVSOUND_LoadMeter_End(&meter, 50);
    EXPECT_GE(load, 0.0f);
}

TEST(SoundCoreCpu, MixerChoiceFallsBackByProcessor)
{
    EXPECT_EQ(HVSOUND_Software_ChooseMixer(HVSOUND_MIXER_QUALITY_AUTODETECT, true, true),
              HVSOUND_MIXER_QUALITY_MMXP6);
    EXPECT_EQ(HVSOUND_Software_ChooseMixer(HVSOUND_MIXER_QUALITY_AUTODETECT, true, false),
              HVSOUND_MIXER_QUALITY_MMXP5);
    EXPECT_EQ(HVSOUND_Software_ChooseMixer(HVSOUND_MIXER_QUALITY_AUTODETECT, false, true),
              HVSOUND_MIXER_QUALITY_FPU);
    EXPECT_EQ(HVSOUND_Software_ChooseMixer(HVSOUND_MIXER_AUTODETECT, true, true), HVSOUND_MIXER_MMXP6);
    EXPECT_EQ(HVSOUND_Software_ChooseMixer(HVSOUND_MIXER_AUTODETECT, true, false), HVSOUND_MIXER_MMXP5);
    EXPECT_EQ(HVSOUND_Software_ChooseMixer(HVSOUND_MIXER_AUTODETECT, false, false), HVSOUND_MIXER_BLENDMODE);
    EXPECT_EQ(HVSOUND_Software_ChooseMixer(HVSOUND_MIXER_QUALITY_FPU, true, true), HVSOUND_MIXER_QUALITY_FPU);
#if defined(__x86_64__)
    EXPECT_TRUE(HVSOUND_CPU_HasCPUID());
    EXPECT_TRUE(HVSOUND_CPU_HasMMX());
    EXPECT_TRUE(HVSOUND_CPU_IsFamily6());
#endif
}

using SoundCoreThreads = SoundFixture;

std::atomic<int> g_runs{0};
std::atomic<bool> g_stop{false};

DWORD WINAPI countingThread(LPVOID)
{
    g_runs++;
    while (!g_stop.load())
        Sleep(1);
    return 0;
}

TEST_F(SoundCoreThreads, UpdateDrivenOutputMakesNoThreadLockOrEvent)
{
    HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND_NONREALTIME);
    g_runs = 0;
    HANDLE thread = HVSOUND_Thread_Create(countingThread, nullptr, 3, 10240);
    EXPECT_EQ(thread, reinterpret_cast<HANDLE>(uintptr_t(1)));
    HVSOUND_Thread_Kill(thread);
    EXPECT_EQ(g_runs.load(), 0);
    EXPECT_EQ(HVSOUND_CriticalSection_Create(), nullptr);
    EXPECT_EQ(HVSOUND_Event_Create(), nullptr);
    HVSOUND_CriticalSection_Enter(nullptr);
    HVSOUND_CriticalSection_Leave(nullptr);
    HVSOUND_Event_Set(nullptr);
    HVSOUND_Event_Wait(nullptr);
    HVSOUND_Event_Close(nullptr);
    uint32_t before = GetTickCount();
    HVSOUND_Sleep(50);
    EXPECT_EQ(GetTickCount(), before) << "no sleep happens";
}

TEST_F(SoundCoreThreads, ThreadsGetTheirPriorityAndKillJoinsAfterTheStopRequest)
{
    platform::setClock(nullptr); // a real thread, real sleeps
    HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND);
    const int codes[] = {-1, 0, 1, 2, 3, 7};
    const int expected[] = {THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_NORMAL,
                            THREAD_PRIORITY_HIGHEST,      THREAD_PRIORITY_TIME_CRITICAL, THREAD_PRIORITY_NORMAL};
    for (int i = 0; i < 6; ++i) {
        g_stop = false;
        HANDLE thread = HVSOUND_Thread_Create(countingThread, nullptr, codes[i], 0);
        ASSERT_NE(thread, nullptr);
        EXPECT_EQ(GetThreadPriority(thread), expected[i]) << "code " << codes[i];
        g_stop = true;
        HVSOUND_Thread_Kill(thread);
    }
    platform::setClock(&clock);
}

TEST_F(SoundCoreThreads, LocksAreRecursiveAndEventsResetThemselves)
{
    HVSOUND_SetOutput(HVSOUND_OUTPUT_NOSOUND);
    CRITICAL_SECTION* lock = HVSOUND_CriticalSection_Create();
    ASSERT_NE(lock, nullptr);
    HVSOUND_CriticalSection_Enter(lock);
    HVSOUND_CriticalSection_Enter(lock);
    HVSOUND_CriticalSection_Leave(lock);
    HVSOUND_CriticalSection_Leave(lock);
    HVSOUND_CriticalSection_Free(lock);

    HANDLE event = HVSOUND_Event_Create();
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD(WAIT_TIMEOUT)) << "made unsignalled";
    HVSOUND_Event_Set(event);
    HVSOUND_Event_Wait(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD(WAIT_TIMEOUT)) << "a wait resets it";
    HVSOUND_Event_Close(event);
}

} // namespace
