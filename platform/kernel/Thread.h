// Thread.h: threads as kernel objects: creation (also suspended), resuming,
// recorded priorities and exit codes. A thread's handle becomes signalled when
// the thread ends, so WaitForSingleObject joins it with or without a time-out.
#pragma once

#include "platform/Win32Types.h"

#include <cstddef>
#include <cstdint>

typedef size_t SIZE_T;
typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);

// Creation flag: the thread is made but runs no code until ResumeThread.
#define CREATE_SUSPENDED 0x00000004u

// The exit code GetExitCodeThread reports while the thread has not ended.
#define STILL_ACTIVE 259u

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

// Starts `start(parameter)` on a new thread and returns its handle (null when
// no thread could be made). The stack size and security are ignored: threads
// get the system's default stack. `threadId`, when given, receives the id that
// GetCurrentThreadId() returns on the new thread. The handle holds one
// reference and the running thread another, so closing the handle of a thread
// that still runs is safe.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId);

// The C runtime's form of the same: the routine returns unsigned, the handle
// comes back as an integer (0 on failure).
uintptr_t crtBeginThreadEx(void* security, unsigned stackSize, unsigned (*start)(void*), void* argument,
                           unsigned initFlags, unsigned* threadId);

// Lowers a suspended thread's suspend count; at 0 it starts running. Returns
// the count before the call (0 for a running thread) or (DWORD)-1 for a handle
// that is not a thread.
DWORD ResumeThread(HANDLE thread);

// Records a THREAD_PRIORITY_* value for the thread; other values fail. The
// system scheduler's priority is not changed: raising it needs privileges that
// the game does not have, so the value only serves GetThreadPriority.
BOOL SetThreadPriority(HANDLE thread, int priority);
// The recorded priority, or THREAD_PRIORITY_ERROR_RETURN for a bad handle.
int GetThreadPriority(HANDLE thread);

// STILL_ACTIVE while the thread has not ended, then the value its routine
// returned. False for a handle that is not a thread.
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);

namespace platform {

// The system's id of the calling thread (the one /proc lists it by).
long systemThreadId();

// What a thread of this process is doing, as the system tells it.
struct ThreadActivity {
    // Asleep in a call (waiting for a pipe, a child, the disk), as opposed
    // to running, waiting for a processor, or stopped.
    bool asleep = false;
    // The processor time it has had so far.
    int64_t processorMs = 0;
};
// The activity of the thread with that system id; false when it cannot be
// read (the thread has ended, or the system does not tell).
bool threadActivity(long systemId, ThreadActivity& activity);

// How many times slower than alone a thread of the caller's runs now, at
// least 1: the threads ready to run on the machine (or its load over the
// last minute, when higher) over the processors the calling thread may use.
// A thread it waits on (another program's, as a display's server) gets its
// processor no sooner.
double machineCrowding();

} // namespace platform
