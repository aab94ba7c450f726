// hvmusic.cpp: the music player: song allocation, loading and freeing, the
// public HVMUSIC_ calls, the tempo rule and C2 table, the music channels and
// the songs unit that advances every playing song tick by tick and mixes its
// channels. The song list and every song a mix cycle may be playing change
// only under the mixer lock, which the mix cycle holds for its whole walk.
#include "sound/music/hvmusic.h"

#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_sample.h"
#include "sound/core/system_file.h"
#include "sound/mixer/mixer_fpui.h"
#include "sound/mixer/sound_software.h"
#include "sound/music/music_formats3m.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

// C2 frequency by finetune; 8..15 are the finetunes -8..-1.
constexpr int kC2Table[16] = {8363, 8413, 8463, 8529, 8581, 8651, 8723, 8757,
                              7895, 7941, 7985, 8046, 8107, 8169, 8232, 8280};
constexpr int kDefaultC2 = 8363;
// Music notes take channels at this priority.
constexpr int kMusicPriority = 255;
// Entries of the position ring: order, row and the low 16 bits of the song
// clock in ms.
constexpr int kPositionWords = 3;
constexpr int64_t kFiredTime = -1;

HVSOUND_STATE& state()
{
    return *HVSOUND_GetState();
}

// Song calls hold the mixer lock while they change what a mix cycle reads.
using MixerLock = HVSOUND_MixerLockScope;

bool requireSong(const HVMUSIC_SONG* song)
{
    if (!song || !song->valid.load()) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    return true;
}

// The calls on a song's flags: the error cleared, the song checked (error 14
// and `failed` for a bad one), then `f` under the mixer lock, since the
// mixer thread reads and writes these flags.
template <class Result, class F>
Result flagCall(HVMUSIC_SONG* song, Result failed, F f)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!requireSong(song))
        return failed;
    MixerLock lock;
    return f();
}

void linkSong(HVMUSIC_SONG* song)
{
    HVMUSIC_SONG*& head = state().songs;
    song->prev = nullptr;
    song->next = head;
    if (head)
        head->prev = song;
    head = song;
}

void unlinkSong(HVMUSIC_SONG* song)
{
    HVMUSIC_SONG*& head = state().songs;
    if (song->prev)
        song->prev->next = song->next;
    else if (head == song)
        head = song->next;
    if (song->next)
        song->next->prev = song->prev;
    song->next = song->prev = nullptr;
}

void freeCallbackQueues(HVMUSIC_SONG* song)
{
    for (HVMUSIC_CALLBACK* c : {&song->rowCallback, &song->orderCallback, &song->zxxCallback}) {
        HVSOUND_FREE(c->queue);
        c->queue = nullptr;
    }
    for (HVMUSIC_CALLBACK& c : song->instrumentCallbacks) {
        HVSOUND_FREE(c.queue);
        c.queue = nullptr;
    }
}

void resetCallbackQueue(HVMUSIC_CALLBACK* c)
{
    c->writeIndex = c->readIndex = 0;
    if (!c->queue)
        return;
    for (int i = 0; i < HVMUSIC_QUEUE_LENGTH; ++i)
        c->queue[i] = HVMUSIC_CALLBACK_ENTRY{kFiredTime, 0};
}

// Frees what a loader put into the song (samples it owns, patterns, orders,
// channel states), leaving an empty record.
void freeContents(HVMUSIC_SONG* song)
{
    if (song->samples) {
        for (int i = 0; i < song->sampleCount; ++i) {
            HVSOUND_SAMPLE* sample = song->samples[i];
            song->samples[i] = nullptr;
            if (sample && song->format != HVMUSIC_FORMAT_CALLER_SAMPLES)
                HVSOUND_Sample_Free(sample);
        }
        HVSOUND_FREE(song->samples);
    }
    if (song->patterns) {
        for (int i = 0; i < song->patternCount; ++i)
            HVSOUND_FREE(song->patterns[i].cells);
        HVSOUND_FREE(song->patterns);
    }
    HVSOUND_FREE(song->orders);
    HVSOUND_FREE(song->channels);
    song->samples = nullptr;
    song->sampleCount = 0;
    song->patterns = nullptr;
    song->patternCount = 0;
    song->orders = nullptr;
    song->orderCount = 0;
    song->channels = nullptr;
    song->channelCount = 0;
}

void destroySong(HVMUSIC_SONG* song)
{
    freeContents(song);
    freeCallbackQueues(song);
    HVSOUND_FREE(song->positionRing);
    HVSOUND_FREE(song->openSampleList);
    song->~HVMUSIC_SONG();
    HVSOUND_FREE(song);
}

// A new empty song, linked at the head of the song list (null: error 2 or 12).
HVMUSIC_SONG* allocSong()
{
    HVSOUND_STATE& s = state();
    int blocks = 0;
    if (s.mixBufferLength > 0) {
        if (s.mixer.blockLength <= 0) {
            HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
            return nullptr;
        }
        blocks = s.mixBufferLength / s.mixer.blockLength;
    }
    void* memory = HVSOUND_CALLOC(int(sizeof(HVMUSIC_SONG)));
    if (!memory) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return nullptr;
    }
    auto* song = new (memory) HVMUSIC_SONG();
    if (blocks > 0 && !(s.initFlags & HVMUSIC_INIT_IMMEDIATE_CALLBACKS)) {
        song->positionRing = static_cast<uint16_t*>(HVSOUND_CALLOC(blocks * kPositionWords * 2));
        if (!song->positionRing) {
            destroySong(song);
            HVSOUND_SetError(HVSOUND_ERR_MEMORY);
            return nullptr;
        }
        song->positionBlocks = blocks;
    }
    song->unit.parameter = song;
    song->engineChannels = s.totalChannels;
    song->speedFactor = 1.0f;
    song->masterVolume = HVMUSIC_MASTER_VOLUME_MAX;
    song->panSeparation = 1.0f;
    song->looping = true;
    song->nextOrder = song->nextRow = -1;
    song->queueEntry.next = song->queueEntry.prev = &song->queueEntry;
    MixerLock lock;
    linkSong(song);
    return song;
}

// Opens the source through the file layer and runs the S3M loader into
// `song`. False with the loader's error (9 when nothing could be opened).
bool loadInto(HVMUSIC_SONG* song, const void* nameOrData, int offset, int length, uint32_t mode)
{
    HVSOUND_LoadUnderWay load;
    if (!nameOrData) {
        HVSOUND_SetError(HVSOUND_ERR_FILE_NOTFOUND);
        return false;
    }
    bool memory = (mode & HVSOUND_MODE_LOADMEMORY) != 0;
    uint32_t kind = memory ? HVSOUND_FILE_KIND_MEMORY
                           : HVSOUND_File_HasUserCallbacks() ? HVSOUND_FILE_KIND_USER : HVSOUND_FILE_KIND_STDIO;
    // A memory block holds the window at its offset.
    int64_t blockLength = memory ? int64_t(offset > 0 ? offset : 0) + (length > 0 ? length : 0) : 0;
    HVSOUND_FILE* file = HVSOUND_File_Open(nameOrData, kind, blockLength > INT32_MAX ? 0 : int(blockLength));
    if (!file) {
        HVSOUND_SetError(HVSOUND_ERR_FILE_NOTFOUND);
        return false;
    }
    if (offset > 0)
        HVSOUND_File_SetStart(file, offset);
    if (length > 0)
        HVSOUND_File_SetEnd(file, offset + length - 1);
    HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
    bool loaded = HVSOUND_S3M_Load(song, file);
    int error = HVSOUND_GetError();
    HVSOUND_File_Close(file);
    HVSOUND_SetError(error);
    if (!loaded) {
        freeContents(song);
        return false;
    }
    if (song->format != HVMUSIC_FORMAT_CALLER_SAMPLES) {
        for (int i = 0; i < song->sampleCount; ++i) {
            if (song->samples[i])
                song->samples[i]->moduleSample = 1;
        }
    }
    if (mode & HVMUSIC_MODE_LOOP_ON)
        song->looping = true;
    else if (mode & HVMUSIC_MODE_LOOP_OFF)
        song->looping = false;
    return true;
}

// Stops every engine channel of the song and gives it back to the engine
// (under the mixer lock).
void releaseChannels(HVMUSIC_SONG* song)
{
    while (HVSOUND_CHANNEL* c = song->unit.channels.first) {
        c->flags &= ~HVSOUND_CHANNEL_MUSIC;
        HVSOUND_Channel_Stop(c);
        if (song->unit.channels.first == c) // not a list the software layer keeps
            HVSOUND_Software_UnlinkChannel(&song->unit.channels, c);
    }
    // A song still being loaded (on the open queue's thread) has no channel
    // states to reset yet.
    if (!song->valid.load())
        return;
    for (int i = 0; song->channels && i < song->channelCount; ++i)
        song->channels[i].voice.channel = -1;
}

void stopLocked(HVMUSIC_SONG* song)
{
    song->playing = false;
    song->finished = true;
    releaseChannels(song);
}

void makeSongCall(const HVSOUND_DEFERREDCALL* call)
{
    auto function = reinterpret_cast<HVMUSIC_CALLBACK_FUNCTION>(call->function);
    function(static_cast<HVMUSIC_SONG*>(call->object), int(call->value));
}

// Calls a song callback; inside a mix cycle, once the cycle has ended.
void callSong(HVMUSIC_SONG* song, HVMUSIC_CALLBACK_FUNCTION function, int parameter)
{
    HVSOUND_DEFERREDCALL call = {};
    call.make = makeSongCall;
    call.object = song;
    call.function = reinterpret_cast<void (*)()>(function);
    call.value = uint32_t(parameter);
    HVSOUND_DSP_Defer(call);
}

void runDueCallbacks(HVMUSIC_SONG* song, HVMUSIC_CALLBACK* c)
{
    if (!c->queue || !c->function)
        return;
    for (int guard = 0; guard < HVMUSIC_QUEUE_LENGTH; ++guard) {
        HVMUSIC_CALLBACK_ENTRY& e = c->queue[c->readIndex];
        if (e.time < 0 || e.time > song->elapsedSamples)
            return;
        int parameter = e.parameter;
        e.time = kFiredTime;
        c->readIndex = (c->readIndex + 1) % HVMUSIC_QUEUE_LENGTH;
        callSong(song, c->function, parameter);
    }
}

void runAllDueCallbacks(HVMUSIC_SONG* song)
{
    runDueCallbacks(song, &song->rowCallback);
    runDueCallbacks(song, &song->orderCallback);
    runDueCallbacks(song, &song->zxxCallback);
    for (HVMUSIC_CALLBACK& c : song->instrumentCallbacks)
        runDueCallbacks(song, &c);
}

// Plays one block of a song: ticks as they fall due, the song's channels
// mixed piece by piece up to each tick boundary.
void mixSong(HVMUSIC_SONG* song, const HVSOUND_MIXER* mixer, uint8_t* buffer, int length)
{
    // The callbacks due by the clock at the block's start; the mix cycle
    // makes the calls once it has mixed the block and let its locks go.
    runAllDueCallbacks(song);
    const int frameBytes = mixer->channels * mixer->bitsPerSample / 8;
    int remaining = length;
    while (remaining > 0 && song->playing) {
        if (song->samplesLeftInTick <= 0) {
            song->tickHook(song);
            song->samplesLeftInTick = song->samplesPerTick > 0 ? song->samplesPerTick : 1;
            if (!song->playing)
                break;
        }
        int n = remaining < song->samplesLeftInTick ? remaining : song->samplesLeftInTick;
        mixer->mix(buffer, &song->unit.channels, n);
        buffer += size_t(n) * size_t(frameBytes);
        remaining -= n;
        song->samplesLeftInTick -= n;
    }
    if (song->positionRing && song->positionBlocks > 0) {
        uint16_t* entry = song->positionRing + size_t(song->positionIndex) * kPositionWords;
        entry[0] = uint16_t(song->order);
        entry[1] = uint16_t(song->row);
        const int rate = state().mixRate;
        entry[2] = uint16_t(rate > 0 ? song->elapsedSamples * 1000 / rate : 0);
        song->positionIndex = (song->positionIndex + 1) % song->positionBlocks;
    }
    song->elapsedSamples += length;
}

// One holder of a freed song lets go of it; the last destroys it.
void letGoFreed(void* record)
{
    auto* song = static_cast<HVMUSIC_SONG*>(record);
    if (song->holds.fetch_sub(1, std::memory_order_acq_rel) == 1)
        destroySong(song);
}

} // namespace

int HVMUSIC_C2Frequency(int finetune)
{
    return finetune >= 0 && finetune < 16 ? kC2Table[finetune] : kDefaultC2;
}

bool HVMUSIC_SetBPM(HVMUSIC_SONG* song, int bpm)
{
    if (!song)
        return false;
    // The mix cycle reads the tick length as it plays the song.
    MixerLock lock;
    song->bpm = bpm < 1 ? 1 : bpm;
    double ticksPerSecond = double(song->bpm) * 0.4 * double(song->speedFactor);
    if (ticksPerSecond >= 0.01)
        song->samplesPerTick = int(std::lround(double(state().mixRate) / ticksPerSecond));
    return true;
}

HVMUSIC_SONG* HVMUSIC_LoadSong(const char* name)
{
    return HVMUSIC_LoadSongEx(name, 0, 0, 0, nullptr, 0);
}

HVMUSIC_SONG* HVMUSIC_LoadSongEx(const void* nameOrData, int offset, int length, uint32_t mode,
                                 const int* sampleList, int sampleCount)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!state().initialised) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return nullptr;
    }
    HVMUSIC_SONG* song = allocSong();
    if (!song)
        return nullptr;

    if (mode & HVSOUND_MODE_NONBLOCKING) {
        if (!HVSOUND_Async_StartThread()) {
            HVMUSIC_FreeSong(song);
            HVSOUND_SetError(HVSOUND_ERR_MEMORY);
            return nullptr;
        }
        if (mode & HVSOUND_MODE_LOADMEMORY) {
            song->openData = nameOrData;
        } else if (nameOrData) {
            HVSOUND_String_CopyN(song->openName, static_cast<const char*>(nameOrData), HVMUSIC_NAME_BYTES - 1);
            song->openName[HVMUSIC_NAME_BYTES - 1] = 0;
            song->openData = song->openName;
        }
        song->openMode = mode & ~HVSOUND_MODE_NONBLOCKING;
        song->openOffset = offset;
        song->openLength = length;
        if (sampleList && sampleCount > 0) {
            song->openSampleList = static_cast<int*>(HVSOUND_ALLOC(int(sizeof(int)) * sampleCount));
            if (!song->openSampleList) {
                HVMUSIC_FreeSong(song);
                HVSOUND_SetError(HVSOUND_ERR_MEMORY);
                return nullptr;
            }
            memcpy(song->openSampleList, sampleList, sizeof(int) * size_t(sampleCount));
            song->openSampleCount = sampleCount;
        }
        song->queueEntry.object = song;
        song->queueEntry.type = HVSOUND_ASYNC_MODULE;
        HVSOUND_Async_Append(&song->queueEntry);
        return song;
    }

    if (!loadInto(song, nameOrData, offset, length, mode)) {
        int error = HVSOUND_GetError();
        HVMUSIC_FreeSong(song);
        HVSOUND_SetError(error);
        return nullptr;
    }
    song->valid = true;
    return song;
}

void HVMUSIC_LoadQueued(HVMUSIC_SONG* song)
{
    bool loaded = loadInto(song, song->openData, song->openOffset, song->openLength, song->openMode);
    {
        // Freed meanwhile (by a file callback of this open, or on another
        // thread): its owner has let it go, and the loader frees it on
        // return. A free from now on finds it valid, under the same lock.
        MixerLock lock;
        if (HVSOUND_Async_Withdrawn(&song->queueEntry))
            return;
        if (loaded)
            song->valid = true;
        song->ready = loaded;
        song->openFailed = !loaded;
        song->done = true;
    }
    if (song->openDone)
        song->openDone(song, 0);
}

bool HVMUSIC_FreeSong(HVMUSIC_SONG* song)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!song) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    // The free, the loader and the mixer thread each have the record until
    // they let go of it. A song still waiting in the open queue is taken
    // back, so the loader never fills a freed record. One the loader opens
    // now is waited for where the wait can end: not on one of the engine's
    // threads, not inside one of its locks (the open takes them) and not in
    // a file callback of a load (whose caller may be what the open waits
    // for). Elsewhere it is the loader's to let go once the open returns. A
    // callback of the song that the mixer thread calls now (a song played in
    // its open-done callback has them too) has it until the callback
    // returns.
    song->holds.store(3, std::memory_order_relaxed);
    const bool mayWait = !HVSOUND_Thread_IsEngineThread() && !HVSOUND_CriticalSection_HeldHere() &&
                         !HVSOUND_Thread_LoadUnderWay();
    bool loaderDone = HVSOUND_Async_Withdraw(&song->queueEntry, song, letGoFreed, mayWait);
    bool mixerDone;
    {
        MixerLock lock;
        unlinkSong(song);
        stopLocked(song);
        song->valid = false;
        mixerDone = HVSOUND_DSP_ForgetCalls(song, letGoFreed);
    }
    if (loaderDone)
        letGoFreed(song);
    if (mixerDone)
        letGoFreed(song);
    letGoFreed(song);
    return true;
}

bool HVMUSIC_PlaySong(HVMUSIC_SONG* song)
{
    HVSOUND_ClearErrorOnInitThread();
    if (state().mixer.blockLength <= 0 || !HVSOUND_Software_Mixer()) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return false;
    }
    if (!requireSong(song))
        return false;
    MixerLock lock;
    // A free on another thread (the song's loader calls its open-done
    // callback) takes the lock to mark it.
    if (!requireSong(song))
        return false;
    stopLocked(song);
    song->paused = false;
    song->globalVolume = song->initialGlobalVolume;
    song->speed = song->defaultSpeed;
    song->order = song->row = song->tick = 0;
    song->patternDelay = 0;
    // The first order and row are pending, so the first tick takes them and
    // fires their callbacks as it does for every later one.
    song->nextOrder = song->nextRow = 0;
    song->samplesLeftInTick = 0;
    song->elapsedSamples = 0;
    song->positionIndex = 0;
    for (HVMUSIC_CALLBACK* c : {&song->rowCallback, &song->orderCallback, &song->zxxCallback})
        resetCallbackQueue(c);
    for (HVMUSIC_CALLBACK& c : song->instrumentCallbacks)
        resetCallbackQueue(&c);
    if (song->playStart && !song->playStart(song))
        return false;
    HVMUSIC_SetBPM(song, song->defaultTempo);
    for (int i = 0; i < song->channelCount; ++i) {
        HVMUSIC_CHANNEL_STATE& c = song->channels[i];
        memset(&c, 0, sizeof c);
        c.voice.channel = -1;
        c.pan = i < HVMUSIC_MAX_CHANNELS ? song->defaultPan[i] : 128;
        c.secondDefault = i < HVMUSIC_MAX_CHANNELS ? song->defaultSecond[i] : 0;
    }
    song->finished = false;
    song->playing = true;
    song->timeOrigin = state().mixer.currentBlock;
    return true;
}

bool HVMUSIC_StopSong(HVMUSIC_SONG* song)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!requireSong(song))
        return false;
    MixerLock lock;
    stopLocked(song);
    return true;
}

void HVMUSIC_StopAllSongs()
{
    MixerLock lock;
    for (HVMUSIC_SONG* song = state().songs; song; song = song->next)
        stopLocked(song);
}

bool HVMUSIC_SetPaused(HVMUSIC_SONG* song, bool paused)
{
    return flagCall(song, false, [&] {
        song->paused = paused;
        return true;
    });
}

bool HVMUSIC_GetPaused(HVMUSIC_SONG* song)
{
    return flagCall(song, false, [&] { return song->paused; });
}

bool HVMUSIC_SetMasterVolume(HVMUSIC_SONG* song, int volume)
{
    return flagCall(song, false, [&] {
        song->masterVolume = volume < 0 ? 0 : volume > HVMUSIC_MASTER_VOLUME_MAX ? HVMUSIC_MASTER_VOLUME_MAX : volume;
        return true;
    });
}

bool HVMUSIC_IsPlaying(HVMUSIC_SONG* song)
{
    return flagCall(song, false, [&] { return song->playing; });
}

int HVMUSIC_SetLooping(HVMUSIC_SONG* song, bool looping)
{
    return flagCall(song, -1, [&] {
        song->looping = looping;
        return 1;
    });
}

void* HVMUSIC_MixSongs(void* /*blockStart*/, void* buffer, int length, void* /*parameter*/)
{
    const HVSOUND_MIXER* mixer = HVSOUND_Software_Mixer();
    if (!mixer || !buffer || length <= 0)
        return buffer;
    // The mix cycle holds the mixer lock: no song is loaded, freed or stopped
    // from another thread while this walk runs.
    for (HVMUSIC_SONG* song = state().songs; song; song = song->next) {
        if (song->playing && !song->paused && song->masterVolume > 0 && song->tickHook)
            mixSong(song, mixer, static_cast<uint8_t*>(buffer), length);
    }
    return buffer;
}

void HVMUSIC_ApplyTempoToAll()
{
    MixerLock lock;
    for (HVMUSIC_SONG* song = state().songs; song; song = song->next) {
        if (song->valid.load() && song->bpm > 0)
            HVMUSIC_SetBPM(song, song->bpm);
    }
}

void HVMUSIC_ForgetSample(HVSOUND_SAMPLE* sample)
{
    if (!sample)
        return;
    MixerLock lock;
    for (HVMUSIC_SONG* song = state().songs; song; song = song->next) {
        if (!song->valid.load())
            continue; // being loaded: its samples are not yet anyone's to free
        for (int i = 0; song->samples && i < song->sampleCount; ++i) {
            if (song->samples[i] == sample)
                song->samples[i] = nullptr;
        }
        for (int i = 0; song->channels && i < song->channelCount; ++i) {
            if (song->channels[i].voice.sample == sample)
                song->channels[i].voice.sample = nullptr;
        }
    }
}

HVSOUND_CHANNEL* HVMUSIC_Channel_Of(HVMUSIC_SONG* song, const HVMUSIC_VOICE* voice)
{
    HVSOUND_STATE& s = state();
    if (voice->channel < 0 || !s.channels)
        return nullptr;
    int index = voice->channel & HVSOUND_CHANNEL_INDEX_MASK;
    if (index >= s.softwareChannels || index >= s.totalChannels)
        return nullptr;
    HVSOUND_CHANNEL* c = &s.channels[index];
    // Stopped (new handle) or taken by another sound (another unit): gone.
    if (c->handle != voice->channel || c->dspUnit != &song->unit)
        return nullptr;
    return c;
}

bool HVMUSIC_Channel_Start(HVMUSIC_SONG* song, HVMUSIC_VOICE* voice)
{
    HVSOUND_STATE& s = state();
    MixerLock lock;
    HVSOUND_CHANNEL* own = HVMUSIC_Channel_Of(song, voice);
    HVSOUND_SAMPLE* sample = voice->sample;
    if (!sample || !sample->data || sample->length <= 0) {
        // A silent placeholder: whatever the channel played ends.
        if (own) {
            own->flags &= ~HVSOUND_CHANNEL_MUSIC;
            HVSOUND_Channel_Stop(own);
        }
        voice->channel = -1;
        return false;
    }
    int target = own ? own->index : HVSOUND_FREE;
    HVSOUND_CHANNEL* c = HVSOUND_Channel_Allocate(target, &s.softwarePool, sample, kMusicPriority, -1, false);
    if (!c) {
        voice->channel = -1;
        return false;
    }
    c->flags |= HVSOUND_CHANNEL_MUSIC;
    c->flags &= ~HVSOUND_CHANNEL_PAUSED;
    c->functions.setPaused(c, false);
    if (voice->startOffset > 0 && voice->startOffset < sample->length)
        c->functions.setPosition(c, voice->startOffset);
    c->functions.start(c, &song->unit, sample);
    // A channel taken anew gets a new handle, so a voice that had it before
    // (a note that ended on it) no longer reaches it.
    if (!own)
        voice->channel = HVSOUND_Channel_MakeHandle(c->index);
    return true;
}

void HVMUSIC_Callback_Fire(HVMUSIC_SONG* song, HVMUSIC_CALLBACK* callback, int parameter)
{
    if (!callback->function)
        return;
    HVSOUND_STATE& s = state();
    if (s.initFlags & HVMUSIC_INIT_IMMEDIATE_CALLBACKS) {
        callSong(song, callback->function, parameter);
        return;
    }
    if (!callback->queue) {
        callback->queue = static_cast<HVMUSIC_CALLBACK_ENTRY*>(
            HVSOUND_ALLOC(int(sizeof(HVMUSIC_CALLBACK_ENTRY)) * HVMUSIC_QUEUE_LENGTH));
        if (!callback->queue) {
            HVSOUND_SetError(HVSOUND_ERR_MEMORY);
            return;
        }
        resetCallbackQueue(callback);
    }
    // Due once the row's block reaches the output: the ring's length later,
    // less the block being mixed now. In whole samples, as a ring of a whole
    // number of milliseconds would leave a clock in ms no margin for rounding.
    int64_t time = int64_t(s.mixBufferLength) + song->elapsedSamples - s.mixer.blockLength;
    callback->queue[callback->writeIndex] = HVMUSIC_CALLBACK_ENTRY{time < 0 ? 0 : time, uint8_t(parameter)};
    callback->writeIndex = (callback->writeIndex + 1) % HVMUSIC_QUEUE_LENGTH;
}

void HVMUSIC_Callback_FireEvery(HVMUSIC_SONG* song, HVMUSIC_CALLBACK* callback, int counter)
{
    if (callback->function && callback->every > 0 && counter % callback->every == 0)
        HVMUSIC_Callback_Fire(song, callback, counter);
}
