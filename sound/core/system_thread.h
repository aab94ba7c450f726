// system_thread.h: the sound engine's threads, locks, events and sleeps (all
// inert under output type 12), its clocks, load meter and processor tests.
#pragma once

#include "platform/kernel/Kernel.h"

#include <atomic>
#include <cstdint>

// Starts `routine(parameter)` on a new thread. Priority codes: -1 below
// normal, 0 above normal, 2 highest, 3 time critical; any other code leaves
// the normal priority. The stack size is not used. Output type 12 makes no
// thread and answers the handle value 1.
HANDLE HVSOUND_Thread_Create(LPTHREAD_START_ROUTINE routine, void* parameter, int priorityCode, int stackSize);
// True on a thread made by HVSOUND_Thread_Create (the mixer, stream and
// loader threads, which make the engine's callbacks).
bool HVSOUND_Thread_IsEngineThread();
// Test hook: when set, called on the thread that asks for an engine thread,
// just before the thread is made.
extern std::atomic<void (*)()> HVSOUND_Thread_CreateHook;
// Ends the use of a thread: waits until its routine has returned and releases
// the handle. The caller must have asked the thread to stop first; a thread
// is never cut off in the middle of its work, where it could hold a lock.
void HVSOUND_Thread_Kill(HANDLE thread);

// Recursive locks from the engine's memory; null under output type 12. A null
// lock makes every call a no-op.
CRITICAL_SECTION* HVSOUND_CriticalSection_Create();
void HVSOUND_CriticalSection_Free(CRITICAL_SECTION* lock);
void HVSOUND_CriticalSection_Enter(CRITICAL_SECTION* lock);
void HVSOUND_CriticalSection_Leave(CRITICAL_SECTION* lock);
// True while this thread holds one of the engine's locks (or, under output
// type 12, is where it would hold one): inside an engine call, in a callback
// it makes under the lock (a DSP unit's in a mix cycle, a file callback of a
// seek, a stream's fill or end callback in a refill pass). A call that would
// wait for another of the engine's threads, which may be waiting for that
// lock, must not wait here.
bool HVSOUND_CriticalSection_HeldHere();

// A load of a sample, a stream or a song under way on this thread, for its
// scope: its file callbacks run here, and a call in one of them must not
// free what the load goes on with once the callback returns.
class HVSOUND_LoadUnderWay {
public:
    HVSOUND_LoadUnderWay();
    ~HVSOUND_LoadUnderWay();
    HVSOUND_LoadUnderWay(const HVSOUND_LoadUnderWay&) = delete;
    HVSOUND_LoadUnderWay& operator=(const HVSOUND_LoadUnderWay&) = delete;
};
// True while a load is under way on this thread.
bool HVSOUND_Thread_LoadUnderWay();

// Auto-reset events, initially not signalled; null under output type 12.
HANDLE HVSOUND_Event_Create();
void HVSOUND_Event_Set(HANDLE event);
void HVSOUND_Event_Wait(HANDLE event);
void HVSOUND_Event_Close(HANDLE event);

void HVSOUND_Sleep(int milliseconds);

// The microsecond clock from the performance counter, cut to 32 bits (it
// wraps about every 71.6 minutes), and the milliseconds derived from it.
uint32_t HVSOUND_Timer_Microseconds();
uint32_t HVSOUND_Timer_Milliseconds();

// Measures the share of time a thread spends working between two stamps.
struct HVSOUND_LOADMETER {
    uint32_t startTime;
    uint32_t lastStamp;
    uint32_t endTime;
    float load;   // percent
    float period; // microseconds, smoothed
};
void HVSOUND_LoadMeter_Start(HVSOUND_LOADMETER* meter);
// Ends a measurement; `smoothing` (percent) weighs the previous values.
float HVSOUND_LoadMeter_End(HVSOUND_LOADMETER* meter, int smoothing);

// Processor facts for the choice of mixing routine.
bool HVSOUND_CPU_HasCPUID();
bool HVSOUND_CPU_HasMMX();
bool HVSOUND_CPU_IsFamily6();
