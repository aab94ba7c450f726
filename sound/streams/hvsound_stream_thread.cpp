// hvsound_stream_thread.cpp: the stream layer's list, locks and thread: the
// refill pass over every stream with its end countdown, the sync pass run
// by each mix cycle, and the layer's start and shutdown.
#include "sound/streams/StreamLocks.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/sound_software.h"

#include <atomic>

namespace {

// The stream thread's priority code (highest) and the stack size it asks
// for (which thread creation does not use).
constexpr int kThreadPriority = 2;
constexpr int kThreadStack = 10240;
// The fill-time meter weighs the previous value this much (percent).
constexpr int kFillSmoothing = 80;
// Shutdown waits this long for the thread's answer (and then waits for it
// to end all the same).
constexpr DWORD kShutdownLimitMs = 1000;
// Without software channels the thread measures the block period from its
// own rounds, when a round took at most this long; a millisecond holds 48
// samples at the highest mix rate.
constexpr uint32_t kLongestRoundMs = 19;
constexpr int kSamplesPerMs = 48;
// The mixer block without a mixer: 10 ms, 480 samples rounded down to 256.
constexpr float kUnmixedBlockMs = 10.0f;
constexpr int kUnmixedBlock = 256;

struct StreamLayer {
    HVSOUND_STREAM head; // the list's sentinel
    std::atomic<int> threadState{HVSOUND_STREAMTHREAD_STOPPED};
    HANDLE thread = nullptr;
    HANDLE wake = nullptr; // ends the thread's rest early at shutdown
    std::atomic<DWORD> threadId{0};
    HVSOUND_DSPUNIT* syncUnit = nullptr;
    CRITICAL_SECTION* streamLock = nullptr;
    CRITICAL_SECTION* listLock = nullptr;
    std::atomic<float> totalFillTime{0.0f};
    // The stream the refill pass is at (under the stream lock).
    HVSOUND_STREAM* passAt = nullptr;
};

StreamLayer g_layer;

HVSOUND_STATE& threadState()
{
    return *HVSOUND_GetState();
}

DWORD WINAPI streamThreadMain(LPVOID)
{
    g_layer.threadId = GetCurrentThreadId();
    while (g_layer.threadState == HVSOUND_STREAMTHREAD_RUNNING) {
        uint32_t t0 = HVSOUND_Timer_Milliseconds();
        HVSOUND_Sleep(0);
        HVSOUND_Stream_Update(float(HVSOUND_STREAM_PERIOD_MS));
        if (g_layer.threadState != HVSOUND_STREAMTHREAD_RUNNING)
            break;
        WaitForSingleObject(g_layer.wake, HVSOUND_STREAM_PERIOD_MS);
        uint32_t round = HVSOUND_Timer_Milliseconds() - t0;
        if (!threadState().systemChannel && round > 0 && round <= kLongestRoundMs) {
            HVSOUND_CriticalSection_Enter(g_layer.streamLock);
            threadState().mixer.blockDurationMs = float(round);
            threadState().mixer.blockLength = int(round) * kSamplesPerMs;
            HVSOUND_CriticalSection_Leave(g_layer.streamLock);
        }
    }
    g_layer.totalFillTime = 0.0f;
    g_layer.threadState = HVSOUND_STREAMTHREAD_STOPPED;
    return 0;
}

void enter(CRITICAL_SECTION* lock)
{
    if (lock)
        HVSOUND_Sleep(0);
    HVSOUND_CriticalSection_Enter(lock);
}

void makeSyncCall(const HVSOUND_DEFERREDCALL* call)
{
    auto callback = reinterpret_cast<HVSOUND_STREAM_SYNCCALLBACK>(call->function);
    callback(static_cast<HVSOUND_STREAM*>(call->object), call->name, call->value, call->userData);
}

// Fires every sync point of one stream that has become audible. In a mix
// cycle the callback is called once the cycle has ended, with a copy of the
// point's name (the point may be gone by then).
void syncStream(HVSOUND_STREAM* s)
{
    HVSOUND_SYNCLIST& list = s->syncList;
    int generation = 0;
    uint32_t heard = HVSOUND_Stream_GetPlayedSample(s, true, &generation);
    if (generation != s->lastGeneration) {
        // A new loop: its points are all ahead again.
        list.cursor = list.head.next;
        s->lastGeneration = generation;
    }
    while (list.cursor && list.cursor != &list.tail && list.cursor->offset <= heard) {
        HVSOUND_SYNCPOINT* passed = list.cursor;
        list.cursor = passed->next;
        if (list.callback) {
            HVSOUND_DEFERREDCALL call = {};
            call.make = makeSyncCall;
            call.object = s;
            call.function = reinterpret_cast<void (*)()>(list.callback);
            call.userData = s->syncUserData;
            call.value = passed->offset;
            HVSOUND_String_CopyN(call.name, passed->name, HVSOUND_DEFERREDCALL_NAME_BYTES - 1);
            HVSOUND_DSP_Defer(call);
        }
    }
}

} // namespace

HVSOUND_STREAM* HVSOUND_Stream_ListHead()
{
    return &g_layer.head;
}

bool HVSOUND_Stream_LayerRunning()
{
    // The start makes the list before it sets the state; the list itself,
    // whose links change under its lock, is not read here.
    return g_layer.threadState == HVSOUND_STREAMTHREAD_RUNNING;
}

HVSOUND_STREAM* HVSOUND_Stream_PassAt()
{
    return g_layer.passAt;
}

bool HVSOUND_Stream_OnStreamThread()
{
    DWORD id = g_layer.threadId;
    return id != 0 && id == GetCurrentThreadId();
}

void HVSOUND_Stream_EnterStreamLock()
{
    if (!HVSOUND_Stream_OnStreamThread())
        enter(g_layer.streamLock);
}

void HVSOUND_Stream_LeaveStreamLock()
{
    if (!HVSOUND_Stream_OnStreamThread())
        HVSOUND_CriticalSection_Leave(g_layer.streamLock);
}

void HVSOUND_Stream_EnterListLock()
{
    enter(g_layer.listLock);
}

void HVSOUND_Stream_LeaveListLock()
{
    HVSOUND_CriticalSection_Leave(g_layer.listLock);
}

HVSOUND_CHANNEL* HVSOUND_Stream_Channel(HVSOUND_STREAM* stream)
{
    HVSOUND_CHANNEL* c = stream->channelRecord;
    if (!c || stream->channel == -1)
        return nullptr;
    // A new handle is made under the mixer lock (by any thread's start or
    // stop, and by the music player's notes on the mixer thread).
    HVSOUND_MixerLockScope lock;
    return c->handle == stream->channel ? c : nullptr;
}

bool HVSOUND_Stream_ChannelPaused(HVSOUND_CHANNEL* channel)
{
    HVSOUND_STATE& s = threadState();
    // The flags, and the software layer's copy, are written under the mixer lock.
    HVSOUND_MixerLockScope lock;
    if (channel->index < 0 || channel->index >= s.softwareChannels)
        return (channel->flags & HVSOUND_CHANNEL_PAUSED) != 0;
    return HVSOUND_Software_State(channel)->paused;
}

HVSOUND_DSPUNIT* HVSOUND_Stream_SyncUnit()
{
    return g_layer.syncUnit;
}

float HVSOUND_Stream_TotalFillTime()
{
    return g_layer.totalFillTime;
}

bool HVSOUND_Stream_StartThread()
{
    HVSOUND_STATE& s = threadState();
    if (!g_layer.head.next)
        g_layer.head.next = g_layer.head.prev = &g_layer.head;
    g_layer.threadState = HVSOUND_STREAMTHREAD_RUNNING;
    bool threaded = !(s.initFlags & HVSOUND_INIT_UPDATE_DRIVEN);
    if (threaded && !g_layer.streamLock)
        g_layer.streamLock = HVSOUND_CriticalSection_Create();
    if (threaded && !g_layer.listLock)
        g_layer.listLock = HVSOUND_CriticalSection_Create();
    // The sync pass runs in the mix cycles of the software channels; without
    // them the blocks are the layer's own.
    if (s.softwareChannels > 0 && s.systemChannel) {
        g_layer.syncUnit = HVSOUND_DSP_Create(HVSOUND_Stream_SyncDSP, 0, nullptr);
        if (!g_layer.syncUnit) {
            g_layer.threadState = HVSOUND_STREAMTHREAD_STOPPED;
            return false;
        }
        HVSOUND_DSP_SetActive(g_layer.syncUnit, true);
    } else {
        s.mixer.blockDurationMs = kUnmixedBlockMs;
        s.mixer.blockLength = kUnmixedBlock;
    }
    if (threaded && !g_layer.thread) {
        if (!g_layer.wake)
            g_layer.wake = HVSOUND_Event_Create();
        g_layer.thread = g_layer.wake ? HVSOUND_Thread_Create(streamThreadMain, nullptr, kThreadPriority, kThreadStack)
                                      : nullptr;
        if (!g_layer.thread) {
            // Nothing of the layer is left running.
            if (g_layer.syncUnit)
                HVSOUND_DSP_Free(g_layer.syncUnit);
            g_layer.syncUnit = nullptr;
            g_layer.threadState = HVSOUND_STREAMTHREAD_STOPPED;
            HVSOUND_SetError(HVSOUND_ERR_MEMORY);
            return false;
        }
    }
    return true;
}

void HVSOUND_Stream_Shutdown()
{
    if (!threadState().initialised)
        return;
    g_layer.threadState = HVSOUND_STREAMTHREAD_STOP;
    if (g_layer.thread) {
        HVSOUND_Event_Set(g_layer.wake);
        if (WaitForSingleObject(g_layer.thread, kShutdownLimitMs) == WAIT_TIMEOUT)
            OutputDebugStringA("HVSOUND: the stream thread has not stopped after 1000 ms; waiting for it\n");
        // Joined, never cut off: it may be inside the stream lock.
        HVSOUND_Thread_Kill(g_layer.thread);
        g_layer.thread = nullptr;
        g_layer.threadId = 0;
    }
    HVSOUND_Event_Close(g_layer.wake);
    g_layer.wake = nullptr;
    g_layer.threadState = HVSOUND_STREAMTHREAD_STOPPED;
    if (g_layer.syncUnit)
        HVSOUND_DSP_Free(g_layer.syncUnit);
    g_layer.syncUnit = nullptr;
    for (HVSOUND_STREAM* s = g_layer.head.next; s && s != &g_layer.head; s = s->next) {
        if (s->ready)
            HVSOUND_Stream_StopCore(s, false);
    }
    HVSOUND_CriticalSection_Free(g_layer.streamLock);
    HVSOUND_CriticalSection_Free(g_layer.listLock);
    g_layer.streamLock = nullptr;
    g_layer.listLock = nullptr;
}

namespace {

// The sync pass where no mix cycle runs it, keeping its callbacks until it
// has walked the list.
void syncWithoutMixer()
{
    HVSOUND_Stream_SyncDSP(nullptr, nullptr, 0, nullptr);
}

} // namespace

void HVSOUND_Stream_Update(float milliseconds)
{
    // The whole pass holds the stream lock (under output type 12 the place
    // of one): a call its callbacks make that would wait for the stream
    // thread is refused there.
    HVSOUND_CriticalSection_Enter(g_layer.streamLock);
    float total = 0.0f;
    HVSOUND_STREAM* head = &g_layer.head;
    for (HVSOUND_STREAM* s = head->next; s && s != head;) {
        // A callback of the stream (its fill, a file callback in the fill,
        // its end callback) may close any stream. Closed, this one stays in
        // the list until the pass has left it, so the next is read only
        // then; any other is unlinked at once.
        g_layer.passAt = s;
        // Starts, stops and the music player change the channel's handle
        // and frequency under the mixer lock.
        HVSOUND_CHANNEL* c;
        int position = 0;
        int frequency = 0;
        {
            HVSOUND_MixerLockScope lock;
            c = HVSOUND_Stream_Channel(s);
            if (c) {
                position = c->functions.getPosition(c);
                frequency = c->frequency;
            }
        }
        if (c && s->fillProcedure && !s->seeking) {
            int half = s->sample->length / 2;
            if (frequency > 0 && half > 0 && position / half != s->nextHalf) {
                HVSOUND_LoadMeter_Start(&s->loadMeter);
                HVSOUND_Stream_FillHalf(s);
                s->fillTime = HVSOUND_LoadMeter_End(&s->loadMeter, kFillSmoothing);
            }
            total += s->fillTime;
            if (s->countdown >= 0 && !HVSOUND_Stream_ChannelPaused(c)) {
                s->countdown -= int(milliseconds * 256.0f);
                if (s->countdown < 1) {
                    s->countdown = 0;
                    s->ended = true;
                }
            }
            if (s->ended)
                HVSOUND_Stream_StopCore(s, true);
        }
        HVSOUND_STREAM* next = s->next;
        g_layer.passAt = nullptr;
        if (s->passHolds)
            HVSOUND_Stream_PassLeft(s);
        s = next;
    }
    if (!threadState().systemChannel)
        HVSOUND_DSP_RunKeepingCalls(syncWithoutMixer);
    g_layer.totalFillTime = total;
    HVSOUND_CriticalSection_Leave(g_layer.streamLock);
}

void* HVSOUND_Stream_SyncDSP(void* /*blockStart*/, void* buffer, int /*length*/, void* /*parameter*/)
{
    StreamLocks lock(StreamLocks::List);
    HVSOUND_STREAM* head = &g_layer.head;
    for (HVSOUND_STREAM* s = head->next; s && s != head; s = s->next) {
        HVSOUND_CHANNEL* c = s->channelRecord;
        if (s->playing && c && !HVSOUND_Stream_ChannelPaused(c))
            syncStream(s);
        else
            s->fillTime = 0.0f;
        HVSOUND_POSITIONRING& ring = s->timeStamps;
        if (ring.entries && ring.count > 0) {
            int generation = 0;
            uint32_t played = HVSOUND_Stream_GetPlayedSample(s, false, &generation);
            ring.entries[ring.writeIndex] = {played, uint32_t(generation)};
            ring.writeIndex = (ring.writeIndex + 1) % ring.count;
        }
    }
    return buffer;
}
