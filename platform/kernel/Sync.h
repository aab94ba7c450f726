// Sync.h: critical sections, events and interlocked counters.
#pragma once

#include "platform/Win32Types.h"

// A recursive lock: the owning thread may enter it again; each enter needs a leave.
struct CRITICAL_SECTION {
    void* impl = nullptr;
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

void InitializeCriticalSection(LPCRITICAL_SECTION cs);
void DeleteCriticalSection(LPCRITICAL_SECTION cs);
void EnterCriticalSection(LPCRITICAL_SECTION cs);
void LeaveCriticalSection(LPCRITICAL_SECTION cs);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs);

// Events: a manual-reset event stays signalled until ResetEvent and wakes every
// waiter; an auto-reset event wakes one waiter and clears itself. Names are ignored.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Waits on any kernel object (events, threads). Returns WAIT_OBJECT_0, WAIT_TIMEOUT
// or WAIT_FAILED for a bad handle.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
BOOL CloseHandle(HANDLE object);

// Atomic counters. Increment and decrement return the new value; the exchanges
// return the value the target held before.
LONG InterlockedIncrement(LONG volatile* value);
LONG InterlockedDecrement(LONG volatile* value);
LONG InterlockedExchange(LONG volatile* target, LONG value);
LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand);
