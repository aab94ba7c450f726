// hvsound_channel.cpp: channel handles, the public channel calls, playing a
// sample on one channel or a chain of sub-channels, and the free-channel
// search with priorities and stealing.
#include "sound/core/hvsound_channel.h"

#include "sound/core/hvsound_hooks.h"
#include "sound/core/hvsound_sample.h"
#include "sound/mixer/sound_software.h"

#include "platform/kernel/CRuntime.h"

namespace {

HVSOUND_STATE& state()
{
    return *HVSOUND_GetState();
}

bool engineReady()
{
    if (!state().initialised || !state().channels) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return false;
    }
    return true;
}

bool hasSerial(int handle)
{
    return handle >= 0 && (handle >> 12) != 0;
}

bool isSystemHandle(int handle)
{
    return (handle & 0xFFFF) == (HVSOUND_SYSTEMCHANNEL & 0xFFFF);
}

int clampByte(int v)
{
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// Runs `action` on the record of `channel` (and on the records linked from
// it when `followChain`), or on every channel for -3, under the mixer lock:
// the mixer thread's music player takes channels and changes them under it.
// The result is that of the last record handled.
// The answer of `read` for the record of `channel`, read under the mixer
// lock; `none` when the engine is down or the handle finds no record.
template <class T, class Read>
T readChannel(int channel, T none, Read read)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!engineReady())
        return none;
    HVSOUND_MixerLockScope lock;
    HVSOUND_CHANNEL* c = HVSOUND_Channel_Find(channel);
    return c ? read(c) : none;
}

template <class Action>
bool forChannels(int channel, bool followChain, Action action)
{
    if (!engineReady())
        return false;
    HVSOUND_MixerLockScope lock;
    auto runChain = [&](HVSOUND_CHANNEL* record) {
        bool result = action(record);
        if (followChain) {
            for (HVSOUND_CHANNEL* c = record->link; c; c = c->link)
                result = action(c);
        }
        return result;
    };
    if (channel == HVSOUND_ALL) {
        bool result = false;
        for (int i = 0; i < state().totalChannels; ++i)
            result = runChain(&state().channels[i]);
        return result;
    }
    HVSOUND_CHANNEL* record = HVSOUND_Channel_Find(channel);
    if (!record)
        return false;
    return runChain(record);
}

bool setPausedRecord(HVSOUND_CHANNEL* c, bool paused)
{
    bool ok = c->functions.setPaused(c, paused);
    if (ok) {
        if (paused)
            c->flags |= HVSOUND_CHANNEL_PAUSED;
        else
            c->flags &= ~HVSOUND_CHANNEL_PAUSED;
    }
    return ok;
}

bool setPanRecord(HVSOUND_CHANNEL* c, int pan, bool withSeparation)
{
    if (pan != -1)
        pan = clampByte(pan);
    if (withSeparation)
        pan = int((float(pan) - 128.0f) * state().panSeparation + 128.0f);
    c->pan = pan;
    return c->functions.setPan(c, pan, 0);
}

bool setVolumeAbsoluteRecord(HVSOUND_CHANNEL* c, int volume)
{
    volume = clampByte(volume);
    c->flags |= HVSOUND_CHANNEL_ABSOLUTE;
    c->volume = volume;
    if (c->flags & HVSOUND_CHANNEL_MUTED)
        return true;
    return c->functions.setVolume(c, volume);
}

// A random offset in -variation .. variation - 1 from the runtime's generator.
int randomVariation(int variation)
{
    return crtRand() % (2 * variation) - variation;
}

bool isHardwareSample(const HVSOUND_SAMPLE* sample)
{
    return (sample->mode & (HVSOUND_MODE_HW3D | HVSOUND_MODE_HW2D)) != 0;
}

bool isSoftwareIndex(int index)
{
    return index >= state().softwarePool.first && index <= state().softwarePool.last;
}

// The search of a pool for channel -1: the first idle channel, else the
// lowest priority below 256 (ties: the quietest) when it is not above the
// new sound's priority.
HVSOUND_CHANNEL* searchPool(HVSOUND_CHANNELPOOL* pool, HVSOUND_SAMPLE* sample, int priority, int exclude,
                            bool stopSame)
{
    int count = pool->last - pool->first + 1;
    if (count <= 0)
        return nullptr;
    HVSOUND_CHANNEL* table = state().channels;
    if ((sample->mode & HVSOUND_MODE_STOPSAME) && stopSame) {
        for (int i = pool->first; i <= pool->last; ++i) {
            if (HVSOUND_Channel_CurrentSample(&table[i]) == sample) {
                HVSOUND_Channel_Stop(&table[i]);
                break;
            }
        }
    }
    int start = isHardwareSample(sample) ? pool->first : pool->next;
    if (start < pool->first || start > pool->last)
        start = pool->first;
    HVSOUND_CHANNEL* chosen = nullptr;
    HVSOUND_CHANNEL* candidate = nullptr;
    int bestPriority = 1000;
    int bestVolume = 256;
    for (int n = 0; n < count; ++n) {
        HVSOUND_CHANNEL* c = &table[pool->first + (start - pool->first + n) % count];
        if ((c->flags & (HVSOUND_CHANNEL_RESERVED | HVSOUND_CHANNEL_STOPPING)) || c->index == exclude)
            continue;
        if (!c->functions.isPlaying(c)) {
            chosen = c;
            break;
        }
        int playingPriority;
        int meanVolume;
        {
            HVSOUND_MixerLockScope lock;
            playingPriority = c->priority;
            meanVolume = c->meanVolume;
        }
        if (playingPriority < HVSOUND_PRIORITY_NEVER_STOLEN &&
            (playingPriority < bestPriority || (playingPriority == bestPriority && meanVolume < bestVolume))) {
            candidate = c;
            bestPriority = playingPriority;
            bestVolume = meanVolume;
        }
    }
    if (!chosen && candidate && bestPriority <= priority)
        chosen = candidate;
    if (chosen)
        pool->next = pool->first + (chosen->index - pool->first + 1) % count;
    return chosen;
}

// Stops a partly built chain of sub-channels after a failed play.
void releaseChain(HVSOUND_CHANNEL* head)
{
    for (HVSOUND_CHANNEL* c = head; c; c = c->link)
        c->flags &= ~HVSOUND_CHANNEL_RESERVED;
    HVSOUND_Channel_Stop(head);
}

// One play of `sample` on `target` (a handle, -1 or -1000); the new handle
// or -1.
int playOnce(int target, int count, HVSOUND_SAMPLE* sample, HVSOUND_DSPUNIT* unit, bool paused)
{
    HVSOUND_STATE& s = state();
    if (sample->playbackLimit >= 0) {
        int playing = 0;
        for (int i = 0; i < s.totalChannels; ++i) {
            HVSOUND_CHANNEL* c = &s.channels[i];
            if (HVSOUND_Channel_CurrentSample(c) == sample && c->functions.isPlaying(c))
                ++playing;
        }
        if (playing >= sample->playbackLimit)
            return -1;
    }
    HVSOUND_CHANNELPOOL* pool = &s.softwarePool;
    if (isHardwareSample(sample))
        pool = (sample->mode & HVSOUND_MODE_HW3D) ? &s.hardware3DPool : &s.hardware2DPool;
    HVSOUND_CHANNEL* first = HVSOUND_Channel_Allocate(target, pool, sample, sample->priority, -1, true);
    if (!first)
        return -1;

    if (!isHardwareSample(sample) && (sample->mode & HVSOUND_MODE_MULTICHANNEL) && count >= 2) {
        HVSOUND_CHANNEL* previous = first;
        first->flags |= HVSOUND_CHANNEL_RESERVED;
        for (int k = 1; k < count; ++k) {
            HVSOUND_CHANNEL* sub = HVSOUND_Channel_Allocate(HVSOUND_FREE, &s.softwarePool, sample, sample->priority,
                                                            previous->index, false);
            if (!sub) {
                releaseChain(first);
                return -1;
            }
            sub->flags |= HVSOUND_CHANNEL_RESERVED;
            sub->subChannel = 1;
            previous->link = sub;
            previous = sub;
        }
        for (HVSOUND_CHANNEL* c = first; c; c = c->link)
            c->flags &= ~HVSOUND_CHANNEL_RESERVED;
    }

    setPausedRecord(first, true);
    if (!first->functions.start(first, unit, sample)) {
        HVSOUND_SetError(HVSOUND_ERR_PLAY);
        return -1;
    }
    bool result = setPausedRecord(first, paused);
    for (HVSOUND_CHANNEL* c = first->link; c; c = c->link)
        result = setPausedRecord(c, paused);
    if (!result)
        return -1;
    if (hasSerial(target))
        return first->handle;
    return HVSOUND_Channel_MakeHandle(first->index);
}

} // namespace

int HVSOUND_Channel_MakeHandle(int index)
{
    if (index == HVSOUND_SYSTEMCHANNEL)
        return HVSOUND_SYSTEMCHANNEL;
    HVSOUND_STATE& s = state();
    if (!s.channels || index < 0 || index >= s.totalChannels)
        return -1;
    HVSOUND_CHANNEL* c = &s.channels[index];
    c->handle = (c->serial << 12) | index;
    c->serial = c->serial >= HVSOUND_CHANNEL_SERIAL_MAX ? 1 : c->serial + 1;
    return c->handle;
}

HVSOUND_CHANNEL* HVSOUND_Channel_Find(int handle)
{
    HVSOUND_STATE& s = state();
    if (!s.channels) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return nullptr;
    }
    if (isSystemHandle(handle) && s.systemChannel)
        return s.systemChannel;
    if (handle >= 0) {
        int index = handle & HVSOUND_CHANNEL_INDEX_MASK;
        if (index < s.totalChannels + s.spareChannels) {
            HVSOUND_CHANNEL* c = &s.channels[index];
            if (!hasSerial(handle) || c->handle == handle)
                return c;
        }
    }
    HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
    return nullptr;
}

bool HVSOUND_Channel_Stop(HVSOUND_CHANNEL* channel)
{
    bool result = true;
    HVSOUND_CHANNEL* c = channel;
    while (c) {
        HVSOUND_CHANNEL* next = c->link;
        c->flags |= HVSOUND_CHANNEL_STOPPING;
        if (c->index >= 0)
            HVSOUND_Channel_MakeHandle(c->index);
        result = c->functions.stop(c);
        c->flags &= ~HVSOUND_CHANNEL_STOPPING;
        {
            HVSOUND_MixerLockScope lock;
            c->currentSample = nullptr;
            c->priority = 0;
        }
        c->subChannel = 0;
        c->link = nullptr;
        c = next;
    }
    return result;
}

bool HVSOUND_Channel_SetFrequency(HVSOUND_CHANNEL* channel, int hz)
{
    bool result = true;
    for (HVSOUND_CHANNEL* c = channel; c; c = c->link) {
        if (c->frequency == hz) {
            result = true;
            continue;
        }
        c->frequency = hz;
        result = c->functions.setFrequency(c, hz);
    }
    return result;
}

bool HVSOUND_Channel_SetVolume(HVSOUND_CHANNEL* c, int volume)
{
    volume = clampByte(volume);
    c->flags &= ~HVSOUND_CHANNEL_ABSOLUTE;
    c->volume = volume;
    if (c->flags & HVSOUND_CHANNEL_MUTED)
        return true;
    return c->functions.setVolume(c, state().sfxMasterVolume * volume / 255);
}

bool HVSOUND_Channel_SetPan(HVSOUND_CHANNEL* c, int pan)
{
    return setPanRecord(c, pan, true);
}

void HVSOUND_Channel_Reset(HVSOUND_CHANNEL* c, int frequency, int pan)
{
    c->frequencyScale = 1.0f;
    c->volumeScale = 1.0f;
    c->serial = 1;
    c->handle = 0;
    c->currentSample = nullptr;
    c->link = nullptr;
    c->priority = 0;
    c->frequency = 44100;
    c->volume = 255;
    c->secondVolume = 255;
    c->pan = 128;
    c->flags = 0;
    c->maxDistance = 1000000.0f;
    c->minDistance = 1.0f;
    c->state3D = 1;
    c->functions.initChannel(c);
    c->functions.stop(c);
    c->functions.setVolume(c, 255);
    c->functions.setFrequency(c, frequency);
    c->functions.setPan(c, pan, 0);
}

bool HVSOUND_StopSound(int channel)
{
    HVSOUND_ClearErrorOnInitThread();
    return forChannels(channel, false, [](HVSOUND_CHANNEL* c) { return HVSOUND_Channel_Stop(c); });
}

bool HVSOUND_SetFrequency(int channel, int hz)
{
    HVSOUND_ClearErrorOnInitThread();
    return forChannels(channel, false, [hz](HVSOUND_CHANNEL* c) { return HVSOUND_Channel_SetFrequency(c, hz); });
}

bool HVSOUND_SetVolume(int channel, int volume)
{
    HVSOUND_ClearErrorOnInitThread();
    bool chain = channel == HVSOUND_ALL || hasSerial(channel);
    return forChannels(channel, chain, [volume](HVSOUND_CHANNEL* c) { return HVSOUND_Channel_SetVolume(c, volume); });
}

bool HVSOUND_SetVolumeAbsolute(int channel, int volume)
{
    HVSOUND_ClearErrorOnInitThread();
    bool chain = channel == HVSOUND_ALL || hasSerial(channel);
    return forChannels(channel, chain, [volume](HVSOUND_CHANNEL* c) { return setVolumeAbsoluteRecord(c, volume); });
}

bool HVSOUND_SetPan(int channel, int pan)
{
    HVSOUND_ClearErrorOnInitThread();
    bool chain = channel == HVSOUND_ALL || hasSerial(channel);
    return forChannels(channel, chain, [pan](HVSOUND_CHANNEL* c) { return setPanRecord(c, pan, true); });
}

bool HVSOUND_SetPanDirect(int channel, int pan)
{
    HVSOUND_ClearErrorOnInitThread();
    bool chain = channel == HVSOUND_ALL || hasSerial(channel);
    return forChannels(channel, chain, [pan](HVSOUND_CHANNEL* c) { return setPanRecord(c, pan, false); });
}

bool HVSOUND_SetPaused(int channel, bool paused)
{
    HVSOUND_ClearErrorOnInitThread();
    return forChannels(channel, true, [paused](HVSOUND_CHANNEL* c) { return setPausedRecord(c, paused); });
}

bool HVSOUND_GetPaused(int channel)
{
    return readChannel(channel, false, [](HVSOUND_CHANNEL* c) { return (c->flags & HVSOUND_CHANNEL_PAUSED) != 0; });
}

bool HVSOUND_GetMute(int channel)
{
    return readChannel(channel, false, [](HVSOUND_CHANNEL* c) { return (c->flags & HVSOUND_CHANNEL_MUTED) != 0; });
}

bool HVSOUND_SetPriority(int channel, int priority)
{
    HVSOUND_ClearErrorOnInitThread();
    return forChannels(channel, true, [priority](HVSOUND_CHANNEL* c) {
        HVSOUND_MixerLockScope lock;
        c->priority = priority;
        return true;
    });
}

bool HVSOUND_SetReserved(int channel, bool reserved)
{
    HVSOUND_ClearErrorOnInitThread();
    return forChannels(channel, true, [reserved](HVSOUND_CHANNEL* c) {
        if (reserved)
            c->flags |= HVSOUND_CHANNEL_RESERVED;
        else
            c->flags &= ~HVSOUND_CHANNEL_RESERVED;
        return true;
    });
}

int HVSOUND_GetFrequency(int channel)
{
    return readChannel(channel, 0, [](HVSOUND_CHANNEL* c) { return c->frequency; });
}

int HVSOUND_GetVolume(int channel)
{
    return readChannel(channel, 0, [](HVSOUND_CHANNEL* c) { return c->volume; });
}

HVSOUND_SAMPLE* HVSOUND_GetCurrentSample(int channel)
{
    return readChannel(channel, static_cast<HVSOUND_SAMPLE*>(nullptr),
                       [](HVSOUND_CHANNEL* c) { return c->currentSample; });
}

HVSOUND_SAMPLE* HVSOUND_Channel_CurrentSample(const HVSOUND_CHANNEL* channel)
{
    HVSOUND_MixerLockScope lock;
    return channel->currentSample;
}

bool HVSOUND_IsPlaying(int channel)
{
    return readChannel(channel, false, [](HVSOUND_CHANNEL* c) { return c->functions.isPlaying(c); });
}

int HVSOUND_GetCurrentPosition(int channel)
{
    return readChannel(channel, 0, [](HVSOUND_CHANNEL* c) { return c->functions.getPosition(c); });
}

bool HVSOUND_SetCurrentPosition(int channel, int position)
{
    HVSOUND_ClearErrorOnInitThread();
    return forChannels(channel, true, [position](HVSOUND_CHANNEL* c) {
        HVSOUND_SAMPLE* sample = HVSOUND_Channel_CurrentSample(c);
        if (!sample || position < 0 || position >= sample->length) {
            HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
            return false;
        }
        return c->functions.setPosition(c, position);
    });
}

HVSOUND_CHANNEL* HVSOUND_Channel_Allocate(int channel, HVSOUND_CHANNELPOOL* pool, HVSOUND_SAMPLE* sample,
                                          int priority, int exclude, bool stopSame)
{
    HVSOUND_STATE& s = state();
    HVSOUND_CHANNEL* c = nullptr;
    if (channel == HVSOUND_SYSTEMCHANNEL) {
        c = s.systemChannel;
        if (!c) {
            HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
            return nullptr;
        }
    } else if (channel == HVSOUND_FREE) {
        c = searchPool(pool, sample, priority, exclude, stopSame);
        if (!c) {
            HVSOUND_SetError(HVSOUND_ERR_CHANNEL_ALLOC);
            return nullptr;
        }
    } else {
        int index = channel & HVSOUND_CHANNEL_INDEX_MASK;
        if (channel < 0 || index >= s.totalChannels) {
            HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
            return nullptr;
        }
        if (sample && isHardwareSample(sample) == isSoftwareIndex(index)) {
            HVSOUND_SetError(HVSOUND_ERR_CHANNEL_ALLOC);
            return nullptr;
        }
        c = &s.channels[index];
    }

    if (c->link)
        HVSOUND_Channel_Stop(c);
    if (!c->functions.setSample(c, sample)) {
        HVSOUND_SetError(HVSOUND_ERR_CHANNEL_ALLOC);
        return nullptr;
    }
    if (!sample)
        return c;

    c->flags |= HVSOUND_CHANNEL_ALLOCATING;
    {
        HVSOUND_MixerLockScope lock;
        c->frequencyScale = 1.0f;
        c->secondVolume = 255;
        c->priority = sample->priority;
        c->mode = sample->mode;
        c->loopStart = sample->loopStart;
        c->loopEnd = sample->loopStart + sample->loopLength;
        c->link = nullptr;
        c->subChannel = 0;
        c->frequency = -1;
        c->minDistance = sample->minDistance;
        c->maxDistance = sample->maxDistance;
    }

    int frequency = sample->frequency;
    int volume = sample->volume;
    int pan = sample->pan;
    if (sample->frequencyVariation > 0) {
        frequency += randomVariation(sample->frequencyVariation);
        if (frequency < 101)
            frequency = 101;
    }
    if (sample->volumeVariation > 0)
        volume = clampByte(volume + randomVariation(sample->volumeVariation));
    if (sample->panVariation > 0)
        pan = clampByte(pan + randomVariation(sample->panVariation));
    HVSOUND_Channel_SetFrequency(c, frequency);
    HVSOUND_Channel_SetVolume(c, volume);
    setPanRecord(c, pan, true);

    const HVSOUND_3DSETTINGS* listener = HVSOUND_3D_Settings();
    c->position = listener->listenerPosition[0];
    c->velocity = HVSOUND_VECTOR{0.0f, 0.0f, 0.0f};
    if (sample->data)
        HVSOUND_3D_Update(c, true);
    c->flags &= ~HVSOUND_CHANNEL_ALLOCATING;
    return c;
}

int HVSOUND_PlaySound(int channel, HVSOUND_SAMPLE* sample)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!sample) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return -1;
    }
    int list[HVSOUND_MAX_SUBCHANNELS];
    for (int& entry : list)
        entry = -1;
    list[0] = channel;
    int count = 1;
    if ((sample->mode & HVSOUND_MODE_MULTICHANNEL) && !isHardwareSample(sample))
        count = sample->channels;
    return HVSOUND_PlaySoundEx(list, count, sample, state().defaultChannelDSP, false);
}

int HVSOUND_PlaySoundEx(const int* channels, int count, HVSOUND_SAMPLE* sample, HVSOUND_DSPUNIT* unit, bool paused)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!engineReady())
        return -1;
    if (!sample)
        return -1;
    if (!channels || count < 0 || count >= HVSOUND_MAX_SUBCHANNELS) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return -1;
    }
    // A unit outside the chain fails like every other bad argument: with -1,
    // never with 0, which is a valid bare channel index.
    if (!HVSOUND_DSP_Exists(unit)) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return -1;
    }
    // The free-channel search and the new sound's settings are made under
    // the mixer lock, as the mixer thread's music player makes its own.
    HVSOUND_MixerLockScope lock;
    if (channels[0] == HVSOUND_ALL) {
        int result = -1;
        for (int i = 0; i < state().totalChannels; ++i)
            result = playOnce(i, count, sample, unit, paused);
        return result;
    }
    return playOnce(channels[0], count, sample, unit, paused);
}
