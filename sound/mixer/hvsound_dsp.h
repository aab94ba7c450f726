// hvsound_dsp.h: DSP units and the priority-ordered DSP chain that every mix
// cycle walks, handing each active unit the buffer the one before returned.
#pragma once

#include "sound/mixer/sound_software.h"

// A unit's work on one block: `blockStart` is the block's place in the mix
// buffer, `buffer` what the unit before returned, `length` the block length
// in frames. Returns the buffer for the next unit (null keeps `buffer`).
typedef void* (*HVSOUND_DSPCALLBACK)(void* blockStart, void* buffer, int length, void* parameter);

struct HVSOUND_DSPUNIT {
    HVSOUND_DSPUNIT* next; // the chain, circular through its head
    HVSOUND_DSPUNIT* prev;
    HVSOUND_DSPCALLBACK callback;
    int priority; // >= 0; the chain is sorted ascending
    bool active;  // false at creation
    void* parameter;
    HVSOUND_CHANNELLIST channels; // the software channels this unit mixes
};

// Empties the chain (engine start). Units still in it are freed.
void HVSOUND_DSP_Init();
// Frees every unit (software layer close); the channels of each go to the
// idle list. Afterwards there is no chain until the next init or create.
void HVSOUND_DSP_FreeAll();

// A new inactive unit, inserted after every unit of lower or equal priority
// (so equal priorities run in the order made); null with error 12.
HVSOUND_DSPUNIT* HVSOUND_DSP_Create(HVSOUND_DSPCALLBACK callback, int priority, void* parameter);
// Moves a unit in the chain; a negative priority becomes 0. Waits for a
// running mix cycle to end first. Error 14 for a unit not in the chain, and
// inside a mix cycle on the calling thread (a unit's callback), which cannot
// wait for its own cycle.
bool HVSOUND_DSP_SetPriority(HVSOUND_DSPUNIT* unit, int priority);
bool HVSOUND_DSP_SetActive(HVSOUND_DSPUNIT* unit, bool active);
bool HVSOUND_DSP_GetActive(HVSOUND_DSPUNIT* unit);
// A null unit counts as valid; otherwise true when the unit is in the chain.
// Without a chain: error 14 and false.
bool HVSOUND_DSP_Exists(HVSOUND_DSPUNIT* unit);
// Unlinks and frees a unit of the chain (error 14 otherwise) once a running
// mix cycle has ended; inside a mix cycle on the calling thread (a unit's
// callback) it is refused with error 14, as SetPriority is. A channel
// group's channels move to the channels unit and keep playing; the channels
// unit's own go to the idle list.
bool HVSOUND_DSP_Free(HVSOUND_DSPUNIT* unit);

// The first unit of the chain in mixing order and the one after `unit`
// (null at the end or without a chain).
HVSOUND_DSPUNIT* HVSOUND_DSP_First();
HVSOUND_DSPUNIT* HVSOUND_DSP_Next(HVSOUND_DSPUNIT* unit);

// One mix cycle over `length` frames at frame `offset` of the primary
// buffer, only while the system channel plays the primary buffer: every
// active unit in chain order, under the mixer lock; then the callbacks that
// fell due in it, with no lock held.
void HVSOUND_DSP_MixCycle(int offset, int length);
// True while a mix cycle runs.
bool HVSOUND_DSP_IsBusy();
// True inside a mix cycle on this thread (in a unit's callback).
bool HVSOUND_DSP_InMixCycle();

// A callback of the caller's (a song's or a stream's) that falls due in a
// mix cycle. The cycle holds the mixer lock, and a callback may call the
// engine, which takes the stream lock before it: so the cycle keeps its
// callbacks, in the order they fell due, and makes them once it has let its
// locks go. `make` makes the call from the fields its maker filled.
constexpr int HVSOUND_DEFERREDCALL_NAME_BYTES = 256;
struct HVSOUND_DEFERREDCALL {
    void (*make)(const HVSOUND_DEFERREDCALL* call);
    void* object; // the song or stream the call is for
    void (*function)();
    void* userData;
    uint32_t value;
    char name[HVSOUND_DEFERREDCALL_NAME_BYTES];
};
// Inside a mix cycle on this thread the call is kept for the cycle's end
// (error 12 when there is no memory to keep it); elsewhere it is made now,
// except inside HVSOUND_DSP_RunKeepingCalls.
void HVSOUND_DSP_Defer(const HVSOUND_DEFERREDCALL& call);
// Runs `walk` (outside a mix cycle) keeping the calls it defers as a cycle
// does, and makes them once it has returned: a walk of records whose
// callbacks may free them (the sync pass of an engine without software
// channels) goes on with none freed under it.
void HVSOUND_DSP_RunKeepingCalls(void (*walk)());
// Drops the kept calls for `object`, whose song or stream goes away. True
// when it may go now; false while a call for it runs on another thread,
// which then gives it to `release` once that call has returned.
bool HVSOUND_DSP_ForgetCalls(void* object, void (*release)(void* object));
