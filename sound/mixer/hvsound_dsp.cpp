// hvsound_dsp.cpp: the DSP chain (circular through a head record, sorted by
// priority), its units and the mix cycle that walks it. The walk holds the
// mixer lock for the whole cycle, and every change of the chain takes the
// same lock, so no unit is moved or freed while a cycle uses it. The
// callbacks that fall due in a cycle are made after it, outside the lock.
#include "sound/mixer/hvsound_dsp.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/mixer/mixer_fpui.h"

#include <atomic>
#include <mutex>

namespace {

// The chain's head. Its links are null while there is no chain.
HVSOUND_DSPUNIT g_head = {};
std::atomic<bool> g_busy{false};

// The calls the cycles keep: calls[first] to calls[count - 1], oldest
// first. The queue grows by doubling from this. Its own lock guards it and
// the running call; nothing is called while it is held, so it may be taken
// under any other lock (an engine without software channels has no mixer
// lock).
constexpr int kFirstDeferredCalls = 16;
struct DeferredCalls {
    HVSOUND_DEFERREDCALL* calls;
    int first;
    int count;
    int capacity;
};
DeferredCalls g_deferred = {};
std::mutex g_callsLock;

// The kept call being made now, and what is to be released once it returns.
struct RunningCall {
    void* object;
    DWORD thread;
    void (*release)(void* object);
};
RunningCall g_running = {};

// How many mix cycles this thread is inside, and how many walks that keep
// their calls as a cycle does (HVSOUND_DSP_RunKeepingCalls).
thread_local int t_cycleDepth = 0;
thread_local int t_keepDepth = 0;

class ChainLock {
public:
    ChainLock() : m_lock(HVSOUND_GetState()->mixer.lock) { HVSOUND_CriticalSection_Enter(m_lock); }
    ~ChainLock() { HVSOUND_CriticalSection_Leave(m_lock); }
    ChainLock(const ChainLock&) = delete;
    ChainLock& operator=(const ChainLock&) = delete;

private:
    CRITICAL_SECTION* m_lock;
};

bool haveChain()
{
    return g_head.next != nullptr;
}

void makeChain()
{
    g_head.next = g_head.prev = &g_head;
}

bool inChain(const HVSOUND_DSPUNIT* unit)
{
    if (!haveChain())
        return false;
    for (HVSOUND_DSPUNIT* u = g_head.next; u != &g_head; u = u->next) {
        if (u == unit)
            return true;
    }
    return false;
}

// Inserts after every unit of lower or equal priority.
void insert(HVSOUND_DSPUNIT* unit)
{
    HVSOUND_DSPUNIT* after = g_head.prev;
    while (after != &g_head && after->priority > unit->priority)
        after = after->prev;
    unit->prev = after;
    unit->next = after->next;
    after->next->prev = unit;
    after->next = unit;
}

void unlink(HVSOUND_DSPUNIT* unit)
{
    unit->prev->next = unit->next;
    unit->next->prev = unit->prev;
    unit->next = unit->prev = nullptr;
}

// Moves every channel of `unit` onto `target` (null: the idle list).
void moveChannels(HVSOUND_DSPUNIT* unit, HVSOUND_DSPUNIT* target)
{
    while (HVSOUND_CHANNEL* c = unit->channels.first)
        HVSOUND_Software_MoveChannel(c, target);
}

void freeUnit(HVSOUND_DSPUNIT* unit)
{
    moveChannels(unit, nullptr);
    unlink(unit);
    HVSOUND_FREE(unit);
}

// Makes the kept calls in order, each with no lock held.
void makeDeferredCalls()
{
    for (;;) {
        HVSOUND_DEFERREDCALL call;
        RunningCall outer;
        {
            std::lock_guard<std::mutex> lock(g_callsLock);
            DeferredCalls& q = g_deferred;
            if (q.first >= q.count) {
                q.first = q.count = 0;
                return;
            }
            call = q.calls[q.first++];
            outer = g_running;
            g_running = RunningCall{call.object, GetCurrentThreadId(), nullptr};
        }
        call.make(&call);
        RunningCall done;
        {
            std::lock_guard<std::mutex> lock(g_callsLock);
            done = g_running;
            g_running = outer;
        }
        if (done.release)
            done.release(done.object);
    }
}

void mixLocked(int offset, int length)
{
    HVSOUND_STATE* s = HVSOUND_GetState();
    const HVSOUND_MIXER* mixer = HVSOUND_Software_Mixer();
    void* mixBuffer = HVSOUND_Software_MixBuffer();
    ChainLock lock;
    if (!mixer || !mixBuffer || !haveChain() || length <= 0 || !s->systemChannel || !s->primaryBuffer ||
        s->systemChannel->currentSample != s->primaryBuffer)
        return;
    g_busy = true;
    ++t_cycleDepth;
    void* start = static_cast<uint8_t*>(mixBuffer) +
                  size_t(offset) * size_t(mixer->bitsPerSample / 8) * size_t(mixer->channels);
    void* buffer = start;
    for (HVSOUND_DSPUNIT* u = g_head.next; u != &g_head; u = u->next) {
        if (!u->active || !u->callback)
            continue;
        void* result = u->callback(start, buffer, length, u->parameter);
        if (result)
            buffer = result;
    }
    --t_cycleDepth;
    g_busy = false;
}

void freeEveryUnit()
{
    if (!haveChain())
        return;
    while (g_head.next != &g_head)
        freeUnit(g_head.next);
}

// A unit to move or free: in the chain, and not asked for inside a mix
// cycle on this thread (a unit's callback), whose walk of the chain the
// change would pull from under it; error 14 otherwise.
bool requireUnit(HVSOUND_DSPUNIT* unit)
{
    if (!unit || !inChain(unit) || HVSOUND_DSP_InMixCycle()) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    return true;
}

} // namespace

void HVSOUND_DSP_Init()
{
    ChainLock lock;
    freeEveryUnit();
    makeChain();
}

void HVSOUND_DSP_FreeAll()
{
    ChainLock lock;
    freeEveryUnit();
    g_head.next = g_head.prev = nullptr;
    std::lock_guard<std::mutex> calls(g_callsLock);
    HVSOUND_FREE(g_deferred.calls);
    g_deferred = DeferredCalls{};
}

HVSOUND_DSPUNIT* HVSOUND_DSP_Create(HVSOUND_DSPCALLBACK callback, int priority, void* parameter)
{
    HVSOUND_ClearErrorOnInitThread();
    auto* unit = static_cast<HVSOUND_DSPUNIT*>(HVSOUND_CALLOC(int(sizeof(HVSOUND_DSPUNIT))));
    if (!unit) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return nullptr;
    }
    unit->callback = callback;
    unit->priority = priority < 0 ? 0 : priority;
    unit->parameter = parameter;
    ChainLock lock;
    if (!haveChain())
        makeChain();
    insert(unit);
    return unit;
}

bool HVSOUND_DSP_SetPriority(HVSOUND_DSPUNIT* unit, int priority)
{
    HVSOUND_ClearErrorOnInitThread();
    ChainLock lock;
    if (!requireUnit(unit))
        return false;
    unlink(unit);
    unit->priority = priority < 0 ? 0 : priority;
    insert(unit);
    return true;
}

bool HVSOUND_DSP_SetActive(HVSOUND_DSPUNIT* unit, bool active)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!unit) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    ChainLock lock;
    unit->active = active;
    return true;
}

bool HVSOUND_DSP_GetActive(HVSOUND_DSPUNIT* unit)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!unit) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    ChainLock lock;
    return unit->active;
}

bool HVSOUND_DSP_Exists(HVSOUND_DSPUNIT* unit)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!unit)
        return true;
    ChainLock lock;
    if (!haveChain()) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    return inChain(unit);
}

bool HVSOUND_DSP_Free(HVSOUND_DSPUNIT* unit)
{
    HVSOUND_ClearErrorOnInitThread();
    ChainLock lock;
    if (!requireUnit(unit))
        return false;
    HVSOUND_STATE* s = HVSOUND_GetState();
    if (unit == s->defaultChannelDSP) {
        // Nothing mixes channels any more: they wait on the idle list.
        s->defaultChannelDSP = nullptr;
    } else {
        moveChannels(unit, s->defaultChannelDSP);
    }
    HVSOUND_Software_ForgetUnit(unit);
    freeUnit(unit);
    return true;
}

HVSOUND_DSPUNIT* HVSOUND_DSP_First()
{
    ChainLock lock;
    if (!haveChain() || g_head.next == &g_head)
        return nullptr;
    return g_head.next;
}

HVSOUND_DSPUNIT* HVSOUND_DSP_Next(HVSOUND_DSPUNIT* unit)
{
    ChainLock lock;
    if (!unit || !unit->next || unit->next == &g_head)
        return nullptr;
    return unit->next;
}

void HVSOUND_DSP_MixCycle(int offset, int length)
{
    mixLocked(offset, length);
    makeDeferredCalls();
}

bool HVSOUND_DSP_IsBusy()
{
    return g_busy.load();
}

bool HVSOUND_DSP_InMixCycle()
{
    return t_cycleDepth > 0;
}

void HVSOUND_DSP_RunKeepingCalls(void (*walk)())
{
    ++t_keepDepth;
    walk();
    --t_keepDepth;
    if (t_keepDepth == 0 && t_cycleDepth == 0)
        makeDeferredCalls();
}

void HVSOUND_DSP_Defer(const HVSOUND_DEFERREDCALL& call)
{
    if (t_cycleDepth == 0 && t_keepDepth == 0) {
        call.make(&call);
        return;
    }
    std::lock_guard<std::mutex> lock(g_callsLock);
    DeferredCalls& q = g_deferred;
    if (q.count == q.capacity) {
        int capacity = q.capacity > 0 ? q.capacity * 2 : kFirstDeferredCalls;
        void* grown = capacity <= INT32_MAX / int(sizeof(HVSOUND_DEFERREDCALL))
                          ? HVSOUND_REALLOC(q.calls, capacity * int(sizeof(HVSOUND_DEFERREDCALL)))
                          : nullptr;
        if (!grown) {
            HVSOUND_SetError(HVSOUND_ERR_MEMORY);
            return;
        }
        q.calls = static_cast<HVSOUND_DEFERREDCALL*>(grown);
        q.capacity = capacity;
    }
    q.calls[q.count++] = call;
}

bool HVSOUND_DSP_ForgetCalls(void* object, void (*release)(void* object))
{
    std::lock_guard<std::mutex> lock(g_callsLock);
    DeferredCalls& q = g_deferred;
    int kept = q.first;
    for (int i = q.first; i < q.count; ++i) {
        if (q.calls[i].object != object)
            q.calls[kept++] = q.calls[i];
    }
    q.count = kept;
    if (g_running.object != object)
        return true;
    if (g_running.thread == GetCurrentThreadId()) {
        // The call itself lets its object go; it must not use it afterwards.
        g_running.object = nullptr;
        return true;
    }
    g_running.release = release;
    return false;
}
