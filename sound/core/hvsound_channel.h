// hvsound_channel.h: channel records and handles, the public channel calls
// with their clamps, playing a sample and the search for a free channel.
#pragma once

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_3d.h"
#include "sound/output/output_driver.h"

#include <cstdint>

// Channel handles: bits 0-11 the index, bits 12-30 the serial.
enum : int {
    HVSOUND_FREE = -1,          // any free channel (play only)
    HVSOUND_ALL = -3,           // every channel 0 .. total - 1 (setters and stop)
    HVSOUND_SYSTEMCHANNEL = -1000,
};
constexpr int HVSOUND_CHANNEL_INDEX_MASK = 0xFFF;
constexpr int HVSOUND_CHANNEL_SERIAL_MAX = 0x7FFFF;
constexpr int HVSOUND_MAX_SUBCHANNELS = 16;
// A playing channel of this priority or more is never stolen.
constexpr int HVSOUND_PRIORITY_NEVER_STOLEN = 256;

// Channel flags, one word for the engine, the software layer, music and drivers.
enum : uint32_t {
    HVSOUND_CHANNEL_ABSOLUTE = 0x1,       // the SFX master volume does not apply
    HVSOUND_CHANNEL_MUTED = 0x2,
    HVSOUND_CHANNEL_INVERT_LEFT = 0x4,    // the mixer negates the left side
    HVSOUND_CHANNEL_RESERVED = 0x8,       // never picked by the free-channel search
    HVSOUND_CHANNEL_PAUSED = 0x10,
    HVSOUND_CHANNEL_MUSIC = 0x20,         // owned by the music player
    HVSOUND_CHANNEL_RESUME_PENDING = 0x100,
    HVSOUND_CHANNEL_ALLOCATING = 0x200,
    HVSOUND_CHANNEL_STOPPING = 0x2000,
};

enum : int {
    HVSOUND_DIRECTION_FORWARD = 1,
    HVSOUND_DIRECTION_BACKWARD = 2,
};

struct HVSOUND_CHANNEL {
    HVSOUND_CHANNEL* next; // the software mixer's channel lists
    HVSOUND_CHANNEL* prev;
    int index;  // position in the table; -1000 for the system channel
    int handle; // the last handle made
    int serial; // the next serial to hand out
    int volume; // 0..255 as last set, before the master scale
    int frequency;
    int pan;
    int priority; // 0 when idle
    uint32_t flags;
    uint32_t mode; // the sample's mode, copied on allocation
    HVSOUND_VECTOR position;
    HVSOUND_VECTOR velocity;
    float minDistance;
    float maxDistance;
    int state3D; // 1 from start
    HVSOUND_SAMPLE* currentSample;
    HVSOUND_DSPUNIT* dspUnit;
    HVSOUND_CHANNEL* link; // the next sub-channel of a multichannel sample
    int subChannel;        // 1 on every record of a chain but the first

    // Software mixing state.
    int mixVolume; // what the volume function last got (master applied)
    int mixPan;    // what the pan function last got
    int leftVolume;
    int rightVolume;
    int meanVolume;     // 0..255, the tie-break of channel stealing
    int secondVolume;   // 0..255, the distance volume scale
    float frequencyScale; // the Doppler factor
    float volumeScale;
    uint32_t playPosition; // with `fraction`, a 32.32 position
    uint32_t fraction;
    uint64_t step; // 32.32 source samples per output sample
    int direction;
    int loopStart;
    int loopEnd; // one past the last sample of the loop
    int rampLeft;
    int rampRight;
    int rampCount;
    uint8_t* dataPointer; // this channel's plane of the sample
    int32_t* levelRing;

    HVSOUND_ChannelFunctions functions;
};

// Makes and stores a new handle for the channel of that index (-1000 stays
// -1000); -1 for an index outside the table.
int HVSOUND_Channel_MakeHandle(int index);
// The record of a handle or bare index, or null (error 14; error 2 without
// a table). A handle whose serial differs from the record's is stale.
HVSOUND_CHANNEL* HVSOUND_Channel_Find(int handle);
// Finds a channel for `sample`: a given one, or with -1 a free or stealable
// one of `pool`; `exclude` is an index the search skips (-1 none).
HVSOUND_CHANNEL* HVSOUND_Channel_Allocate(int channel, HVSOUND_CHANNELPOOL* pool, HVSOUND_SAMPLE* sample,
                                          int priority, int exclude, bool stopSame);

bool HVSOUND_StopSound(int channel);
bool HVSOUND_SetFrequency(int channel, int hz);
bool HVSOUND_SetVolume(int channel, int volume);
bool HVSOUND_SetVolumeAbsolute(int channel, int volume);
bool HVSOUND_SetPan(int channel, int pan);
bool HVSOUND_SetPanDirect(int channel, int pan);
bool HVSOUND_SetPaused(int channel, bool paused);
bool HVSOUND_GetPaused(int channel);
bool HVSOUND_GetMute(int channel);
bool HVSOUND_SetPriority(int channel, int priority);
bool HVSOUND_SetReserved(int channel, bool reserved);
int HVSOUND_GetFrequency(int channel);
int HVSOUND_GetVolume(int channel);
HVSOUND_SAMPLE* HVSOUND_GetCurrentSample(int channel);
bool HVSOUND_IsPlaying(int channel);
int HVSOUND_GetCurrentPosition(int channel);
bool HVSOUND_SetCurrentPosition(int channel, int position);

// Plays a sample on a channel (-1 = any free) and answers its new handle, or -1.
int HVSOUND_PlaySound(int channel, HVSOUND_SAMPLE* sample);
// The same with a list of `count` channels for a multichannel sample, a DSP
// unit (null = none) and a start in the paused state.
int HVSOUND_PlaySoundEx(const int* channels, int count, HVSOUND_SAMPLE* sample, HVSOUND_DSPUNIT* unit, bool paused);

// The sample a channel plays, read under the mixer lock: the mixer thread
// clears it (and the priority) when a one-shot sample ends.
HVSOUND_SAMPLE* HVSOUND_Channel_CurrentSample(const HVSOUND_CHANNEL* channel);

// Record-level forms that the engine itself uses on records it already holds.
bool HVSOUND_Channel_Stop(HVSOUND_CHANNEL* channel);
bool HVSOUND_Channel_SetFrequency(HVSOUND_CHANNEL* channel, int hz);
bool HVSOUND_Channel_SetVolume(HVSOUND_CHANNEL* channel, int volume);
bool HVSOUND_Channel_SetPan(HVSOUND_CHANNEL* channel, int pan);
// Gives a record its start values (as engine start does) with the given
// frequency and pan, and makes the driver calls that set it up.
void HVSOUND_Channel_Reset(HVSOUND_CHANNEL* channel, int frequency, int pan);
