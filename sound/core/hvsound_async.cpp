// hvsound_async.cpp: the non-blocking open queue and its loader thread. The
// queue is a circular list through a sentinel; callers append at the tail and
// the loader takes the head, both under one lock, so a record can be queued
// or taken back while the loader works.
#include "sound/core/hvsound_async.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_hooks.h"
#include "sound/core/system_thread.h"

#include "platform/kernel/Kernel.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

// How long the loader rests when the queue is empty, and after an entry
// that carried no record.
constexpr int kEmptyQueueRestMs = 50;
constexpr int kEmptyEntryRestMs = 25;
// The loader thread's stack size as asked for; thread creation ignores it.
constexpr int kLoaderStackBytes = 16384;
// Priority code 1 leaves the loader at normal priority.
constexpr int kLoaderPriorityCode = 1;

enum : uint8_t {
    kRunning = 0,
    kStopAsked = 1,
    kStopped = 2,
};

std::mutex g_lock; // the queue, its count and the marks of the records being opened
// Signalled when an open ends, for a free that waits for it.
std::condition_variable g_openEnded;
HVSOUND_ASYNCENTRY g_queue = {&g_queue, &g_queue, nullptr, 0, 0, nullptr};
int g_count = 0;
std::atomic<uint8_t> g_loaderState{kRunning};
// The loader's making and its end: two threads that make their first
// non-blocking opens at once find one loader.
std::mutex g_startLock;
HANDLE g_thread = nullptr;
HANDLE g_wake = nullptr; // ends the loader's rest early at shutdown

bool isLinked(const HVSOUND_ASYNCENTRY* entry)
{
    return entry->next && entry->next != entry;
}

void unlink(HVSOUND_ASYNCENTRY* entry)
{
    entry->prev->next = entry->next;
    entry->next->prev = entry->prev;
    entry->next = entry->prev = entry;
    --g_count;
}

// Marks an entry's record as being opened by this thread (under the lock).
void beginOpening(HVSOUND_ASYNCENTRY* entry)
{
    entry->opener = GetCurrentThreadId();
    entry->release = nullptr;
}

// What is to be done with a record its owner let go while it was opened.
using Release = void (*)(void* object);

// Ends an entry's mark; answers the record's release when its owner let it
// go meanwhile (null: the owner still has it).
Release endOpening(HVSOUND_ASYNCENTRY* entry)
{
    Release release = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        release = entry->release;
        entry->opener = 0;
        entry->release = nullptr;
    }
    g_openEnded.notify_all();
    return release;
}

// A queued stream: opened into its own record from the name or memory block
// it keeps, then marked ready or failed, and its open-done callback told.
// Its owner may close and free it as soon as it sees the mark, so the
// callback is taken from the record and the record stops being this open's
// before the mark is set.
void openStream(HVSOUND_STREAM* stream)
{
    bool pending = (stream->flags & HVSOUND_STREAM_OPEN_PENDING) != 0;
    bool opened = false;
    if (pending) {
        uint32_t mode = stream->mode & ~HVSOUND_MODE_NONBLOCKING;
        const void* source = (mode & HVSOUND_MODE_LOADMEMORY) ? stream->memory : stream->name;
        opened = HVSOUND_Stream_OpenCore(stream, source, mode, stream->openOffset, stream->openLength) != nullptr;
        stream->flags &= ~HVSOUND_STREAM_OPEN_PENDING;
    }
    HVSOUND_STREAM_CALLBACK openDone = stream->openDoneCallback;
    // A stream is never let go while it is not ready: nothing is released.
    endOpening(&stream->queueEntry);
    if (pending) {
        if (opened)
            stream->ready = true;
        else
            stream->openFailed = true;
    }
    if (openDone)
        openDone(stream, nullptr, 0, nullptr);
}

// Opens the record of an entry marked as being opened by this thread; a
// song its owner let go meanwhile goes once the open (its open-done
// callback too) has returned.
void open(HVSOUND_ASYNCENTRY* entry, void* object, uint32_t type)
{
    if (type == HVSOUND_ASYNC_STREAM) {
        openStream(static_cast<HVSOUND_STREAM*>(object));
        return;
    }
    if (type == HVSOUND_ASYNC_MODULE)
        HVMUSIC_LoadQueued(static_cast<HVMUSIC_SONG*>(object));
    if (Release release = endOpening(entry))
        release(object);
}

// A record whose open never ran (its entry was still queued when the loader
// stopped) is marked failed, so that its owner can close or free it.
void dropOpen(void* object, uint32_t type)
{
    if (type == HVSOUND_ASYNC_STREAM) {
        auto* stream = static_cast<HVSOUND_STREAM*>(object);
        stream->flags &= ~HVSOUND_STREAM_OPEN_PENDING;
        stream->openFailed = true;
    } else if (type == HVSOUND_ASYNC_MODULE) {
        auto* song = static_cast<HVMUSIC_SONG*>(object);
        song->openFailed = true;
        song->done = true;
    }
}

void rest(int milliseconds)
{
    if (g_wake)
        WaitForSingleObject(g_wake, DWORD(milliseconds));
    else
        HVSOUND_Sleep(milliseconds);
}

} // namespace

void HVSOUND_Async_Init()
{
    std::lock_guard<std::mutex> lock(g_lock);
    // Entries left from an earlier run point at themselves again, so their
    // records can still be freed.
    while (g_queue.next != &g_queue)
        unlink(g_queue.next);
    g_count = 0;
    g_loaderState = kRunning;
}

bool HVSOUND_Async_StartThread()
{
    std::lock_guard<std::mutex> start(g_startLock);
    if (g_thread)
        return true;
    g_loaderState = kRunning;
    g_wake = HVSOUND_Event_Create();
    g_thread = HVSOUND_Thread_Create(HVSOUND_Async_Thread, nullptr, kLoaderPriorityCode, kLoaderStackBytes);
    if (!g_thread) {
        HVSOUND_Event_Close(g_wake);
        g_wake = nullptr;
        return false;
    }
    return true;
}

void HVSOUND_Async_Shutdown()
{
    // The wait for the loader holds no lock: a callback of its open may
    // queue another open, which looks for the loader.
    HANDLE thread;
    {
        std::lock_guard<std::mutex> start(g_startLock);
        g_loaderState = kStopAsked;
        thread = g_thread;
        if (thread)
            HVSOUND_Event_Set(g_wake);
    }
    if (thread) {
        if (HVSOUND_GetState()->outputType != HVSOUND_OUTPUT_NOSOUND_NONREALTIME) {
            while (g_loaderState.load() != kStopped)
                HVSOUND_Sleep(1);
        }
        HVSOUND_Thread_Kill(thread);
    }
    {
        std::lock_guard<std::mutex> start(g_startLock);
        g_thread = nullptr;
        HVSOUND_Event_Close(g_wake);
        g_wake = nullptr;
    }
    std::lock_guard<std::mutex> lock(g_lock);
    while (g_queue.next != &g_queue) {
        HVSOUND_ASYNCENTRY* entry = g_queue.next;
        unlink(entry);
        if (entry->object)
            dropOpen(entry->object, entry->type);
        entry->object = nullptr;
    }
}

void HVSOUND_Async_Append(HVSOUND_ASYNCENTRY* entry)
{
    if (HVSOUND_GetState()->outputType == HVSOUND_OUTPUT_NOSOUND_NONREALTIME) {
        // No engine thread runs under output type 12: open it now, as the
        // loader would.
        void* object = entry->object;
        {
            std::lock_guard<std::mutex> lock(g_lock);
            entry->next = entry->prev = entry;
            entry->object = nullptr;
            beginOpening(entry);
        }
        open(entry, object, entry->type);
        return;
    }
    std::lock_guard<std::mutex> lock(g_lock);
    entry->prev = g_queue.prev;
    entry->next = &g_queue;
    g_queue.prev->next = entry;
    g_queue.prev = entry;
    ++g_count;
}

bool HVSOUND_Async_Withdraw(HVSOUND_ASYNCENTRY* entry, void* object, void (*release)(void* object), bool mayWait)
{
    std::unique_lock<std::mutex> lock(g_lock);
    if (isLinked(entry) && entry->object == object) {
        unlink(entry);
        entry->object = nullptr;
        return true;
    }
    if (entry->opener == 0)
        return true;
    if (!mayWait || entry->opener == GetCurrentThreadId()) {
        entry->release = release;
        return false;
    }
    g_openEnded.wait(lock, [entry] { return entry->opener == 0; });
    return true;
}

bool HVSOUND_Async_Withdrawn(HVSOUND_ASYNCENTRY* entry)
{
    std::lock_guard<std::mutex> lock(g_lock);
    return entry->opener != 0 && entry->release != nullptr;
}

DWORD WINAPI HVSOUND_Async_Thread(LPVOID)
{
    while (g_loaderState.load() == kRunning) {
        HVSOUND_ASYNCENTRY* entry = nullptr;
        void* object = nullptr;
        bool empty = false;
        {
            std::lock_guard<std::mutex> lock(g_lock);
            if (g_queue.next == &g_queue) {
                empty = true;
            } else {
                entry = g_queue.next;
                unlink(entry);
                object = entry->object;
                entry->object = nullptr;
                if (object)
                    beginOpening(entry);
            }
        }
        if (empty) {
            rest(kEmptyQueueRestMs);
            continue;
        }
        if (!object) {
            rest(kEmptyEntryRestMs);
            continue;
        }
        open(entry, object, entry->type);
    }
    g_loaderState = kStopped;
    return 0;
}
