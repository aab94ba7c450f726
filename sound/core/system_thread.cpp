// system_thread.cpp: threads, locks, events and sleeps over the kernel layer,
// the engine clocks, the load meter and the processor tests.
#include "sound/core/system_thread.h"

#include "sound/core/hvsound.h"
#include "sound/core/system_memory.h"

#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

// The handle answered for a thread under output type 12, where none is made.
HANDLE const kNoThread = reinterpret_cast<HANDLE>(uintptr_t(1));

bool updateDriven()
{
    return HVSOUND_GetState()->outputType == HVSOUND_OUTPUT_NOSOUND_NONREALTIME;
}

// True on the threads the engine made.
thread_local bool t_engineThread = false;
// How many holds of the engine's locks this thread has taken and not let go,
// null locks (output type 12) counted too.
thread_local int t_locksHeld = 0;
// How many loads are under way on this thread (a load's file callback may
// start another).
thread_local int t_loads = 0;

// What a thread the engine makes runs: its routine, marked as the engine's.
struct EngineThreadStart {
    LPTHREAD_START_ROUTINE routine;
    void* parameter;
};

DWORD WINAPI engineThreadMain(LPVOID parameter)
{
    EngineThreadStart start = *static_cast<EngineThreadStart*>(parameter);
    delete static_cast<EngineThreadStart*>(parameter);
    t_engineThread = true;
    return start.routine(start.parameter);
}

} // namespace

std::atomic<void (*)()> HVSOUND_Thread_CreateHook{nullptr};

HANDLE HVSOUND_Thread_Create(LPTHREAD_START_ROUTINE routine, void* parameter, int priorityCode, int /*stackSize*/)
{
    if (updateDriven())
        return kNoThread;
    if (void (*hook)() = HVSOUND_Thread_CreateHook.load())
        hook();
    DWORD id = 0;
    auto* start = new (std::nothrow) EngineThreadStart{routine, parameter};
    HANDLE thread = start ? CreateThread(nullptr, 0, engineThreadMain, start, 0, &id) : nullptr;
    if (!thread) {
        delete start;
        return nullptr;
    }
    switch (priorityCode) {
    case -1:
        SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
        break;
    case 0:
        SetThreadPriority(thread, THREAD_PRIORITY_ABOVE_NORMAL);
        break;
    case 2:
        SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
        break;
    case 3:
        SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
        break;
    default:
        break;
    }
    return thread;
}

bool HVSOUND_Thread_IsEngineThread()
{
    return t_engineThread;
}

void HVSOUND_Thread_Kill(HANDLE thread)
{
    if (!thread || thread == kNoThread || updateDriven())
        return;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

CRITICAL_SECTION* HVSOUND_CriticalSection_Create()
{
    if (updateDriven())
        return nullptr;
    auto* lock = static_cast<CRITICAL_SECTION*>(HVSOUND_CALLOC(int(sizeof(CRITICAL_SECTION))));
    if (lock)
        InitializeCriticalSection(lock);
    return lock;
}

void HVSOUND_CriticalSection_Free(CRITICAL_SECTION* lock)
{
    if (!lock)
        return;
    DeleteCriticalSection(lock);
    HVSOUND_FREE(lock);
}

void HVSOUND_CriticalSection_Enter(CRITICAL_SECTION* lock)
{
    if (lock)
        EnterCriticalSection(lock);
    ++t_locksHeld;
}

void HVSOUND_CriticalSection_Leave(CRITICAL_SECTION* lock)
{
    --t_locksHeld;
    if (lock)
        LeaveCriticalSection(lock);
}

bool HVSOUND_CriticalSection_HeldHere()
{
    return t_locksHeld > 0;
}

HVSOUND_LoadUnderWay::HVSOUND_LoadUnderWay()
{
    ++t_loads;
}

HVSOUND_LoadUnderWay::~HVSOUND_LoadUnderWay()
{
    --t_loads;
}

bool HVSOUND_Thread_LoadUnderWay()
{
    return t_loads > 0;
}

HANDLE HVSOUND_Event_Create()
{
    if (updateDriven())
        return nullptr;
    return CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

void HVSOUND_Event_Set(HANDLE event)
{
    if (event)
        SetEvent(event);
}

void HVSOUND_Event_Wait(HANDLE event)
{
    if (event)
        WaitForSingleObject(event, INFINITE);
}

void HVSOUND_Event_Close(HANDLE event)
{
    if (event)
        CloseHandle(event);
}

void HVSOUND_Sleep(int milliseconds)
{
    if (!updateDriven())
        Sleep(DWORD(milliseconds < 0 ? 0 : milliseconds));
}

uint32_t HVSOUND_Timer_Microseconds()
{
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    if (QueryPerformanceCounter(&count) && QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
        // Whole seconds and the remainder apart, so that a fast counter (the
        // system one counts nanoseconds) cannot overflow the product.
        uint64_t c = uint64_t(count.QuadPart);
        uint64_t f = uint64_t(frequency.QuadPart);
        uint64_t micro = (c / f) * 1000000u + (c % f) * 1000000u / f;
        return uint32_t(micro);
    }
    return GetTickCount() * 1000u;
}

uint32_t HVSOUND_Timer_Milliseconds()
{
    return HVSOUND_Timer_Microseconds() / 1000u;
}

void HVSOUND_LoadMeter_Start(HVSOUND_LOADMETER* meter)
{
    meter->startTime = HVSOUND_Timer_Microseconds();
}

float HVSOUND_LoadMeter_End(HVSOUND_LOADMETER* meter, int smoothing)
{
    uint32_t now = HVSOUND_Timer_Microseconds();
    float k = float(smoothing) * 0.01f;
    float elapsed = now >= meter->endTime ? float(now - meter->endTime) : 0.0f;
    meter->period = elapsed + k * meter->period;
    meter->load = k * meter->load;
    float span = (1.0f - k) * meter->period;
    if (now > meter->startTime && span > 0.0f)
        meter->load += float(now - meter->startTime) / span * 100.0f;
    meter->endTime = now;
    meter->lastStamp = now;
    return (1.0f - k) * meter->load;
}

#if defined(__x86_64__) || defined(__i386__)

bool HVSOUND_CPU_HasCPUID()
{
    return __get_cpuid_max(0, nullptr) != 0;
}

bool HVSOUND_CPU_HasMMX()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    return __get_cpuid(1, &a, &b, &c, &d) && (d & (1u << 23)) != 0;
}

bool HVSOUND_CPU_IsFamily6()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    return __get_cpuid(1, &a, &b, &c, &d) && ((a >> 8) & 0xF) >= 6;
}

#else

// Other processors have no CPUID; the software layer then mixes with floats.
bool HVSOUND_CPU_HasCPUID()
{
    return false;
}

bool HVSOUND_CPU_HasMMX()
{
    return false;
}

bool HVSOUND_CPU_IsFamily6()
{
    return false;
}

#endif
