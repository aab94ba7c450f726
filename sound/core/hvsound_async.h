// hvsound_async.h: the non-blocking open queue: streams and songs opened with
// mode 0x1000000 are queued here and opened in queue order by a loader thread
// of their own, so the caller never waits for a file.
#pragma once

#include "platform/Win32Types.h"

#include <cstdint>

// The entry a queued record embeds; `object` is the record, `type` says
// which kind it is. While its open runs, the entry marks its record as being
// opened: `opener` is the thread that opens it (0 at any other time), and
// `release` what is to be done with a record its owner let go meanwhile.
// Both change under the queue's lock.
struct HVSOUND_ASYNCENTRY {
    HVSOUND_ASYNCENTRY* next;
    HVSOUND_ASYNCENTRY* prev;
    void* object;
    uint32_t type;
    DWORD opener;
    void (*release)(void* object);
};

enum : uint32_t {
    HVSOUND_ASYNC_STREAM = 0,
    HVSOUND_ASYNC_MODULE = 1,
};

// Loader state 0 (running), an empty queue; engine start calls it.
void HVSOUND_Async_Init();
// True when the loader thread exists or could be made (priority code 1).
// Threads that make their first non-blocking opens at once start one loader.
bool HVSOUND_Async_StartThread();
// Asks the loader to stop and waits until it has (engine stop). Records
// still queued then are marked failed and leave the queue.
void HVSOUND_Async_Shutdown();
// Appends an entry (its object and type set) at the tail of the queue.
// Without threads (output type 12) the open is made at once on the caller's
// thread.
void HVSOUND_Async_Append(HVSOUND_ASYNCENTRY* entry);
// Takes `object` back from the queue before its record is freed: a queued
// entry is unlinked. A record being opened now is waited for when `mayWait`
// and another thread opens it; otherwise (the opener's open, a file
// callback or the open-done callback, may itself wait for a lock the caller
// holds, or be the caller) it is left to its opener, which gives it to
// `release` once the open has returned. True when the record may go now.
bool HVSOUND_Async_Withdraw(HVSOUND_ASYNCENTRY* entry, void* object, void (*release)(void* object), bool mayWait);
// True while the entry's record is being opened and has been withdrawn: its
// owner has let it go, and the open tells nobody of it.
bool HVSOUND_Async_Withdrawn(HVSOUND_ASYNCENTRY* entry);
// The loader thread's procedure.
DWORD WINAPI HVSOUND_Async_Thread(LPVOID parameter);
