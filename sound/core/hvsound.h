// hvsound.h: the sound engine's state record, error codes, mode bits and the
// engine-wide calls: set-up, start and stop, update, master volume, drivers.
#pragma once

#include "platform/Win32Types.h"
#include "sound/output/output_driver.h"
#include "sound/core/system_memory.h"
#include "sound/core/system_thread.h"

#include <cstdint>

struct HVSOUND_SAMPLE;
struct HVSOUND_CHANNEL;
struct HVSOUND_DSPUNIT;
struct HVMUSIC_SONG;

// Error codes of the engine's one process-wide error word.
enum : int {
    HVSOUND_ERR_NONE = 0,
    HVSOUND_ERR_INITIALISED = 1,   // a set-up call after init
    HVSOUND_ERR_UNINITIALISED = 2, // not initialised, or no channel table
    HVSOUND_ERR_INIT = 3,          // starting the output (or the stream layer) failed
    HVSOUND_ERR_ALLOCATED = 4,     // the output device is in use
    HVSOUND_ERR_PLAY = 5,          // the driver failed to start a channel
    HVSOUND_ERR_FORMAT = 6,        // the output refused the primary buffer format
    HVSOUND_ERR_COOPERATIVE = 7,   // the output refused the cooperative level
    HVSOUND_ERR_CREATEBUFFER = 8,  // making an output buffer failed
    HVSOUND_ERR_FILE_NOTFOUND = 9, // opening a file failed
    HVSOUND_ERR_FILE_FORMAT = 10,  // the data is of no known format
    HVSOUND_ERR_FILE_BAD = 11,     // the data is damaged
    HVSOUND_ERR_MEMORY = 12,       // out of memory, or no thread or event
    HVSOUND_ERR_INVALID_PARAM = 14,
    HVSOUND_ERR_CHANNEL_ALLOC = 16, // no free channel
};

// Output types.
enum : int {
    HVSOUND_OUTPUT_AUTODETECT = -1,
    HVSOUND_OUTPUT_NOSOUND = 0,
    HVSOUND_OUTPUT_WINMM = 1,
    HVSOUND_OUTPUT_DSOUND = 2,
    // No sound, no threads: mixing runs inside HVSOUND_Update, one block a call.
    HVSOUND_OUTPUT_NOSOUND_NONREALTIME = 12,
};

// Init flags.
enum : uint32_t {
    HVSOUND_INIT_GLOBALFOCUS = 0x2,
    HVSOUND_INIT_PRIMARY_3D = 0x4, // the primary mix buffer gets mode bit 0x100000
    HVSOUND_INIT_ENABLE_LEVELS = 0x8,
    HVSOUND_INIT_UPDATE_DRIVEN = 0x200, // set by init for output type 12
    HVSOUND_INIT_DEFER_3D = 0x800,
    HVSOUND_INIT_3D_LIGHT = 0x1000,
    HVSOUND_INIT_3D_FULL = 0x2000,
};

// Mode bits shared by samples, channels and streams.
enum : uint32_t {
    HVSOUND_MODE_LOOP_OFF = 0x1,
    HVSOUND_MODE_LOOP_NORMAL = 0x2,
    HVSOUND_MODE_LOOP_BIDI = 0x4,
    HVSOUND_MODE_8BITS = 0x8,
    HVSOUND_MODE_16BITS = 0x10,
    HVSOUND_MODE_MONO = 0x20,
    HVSOUND_MODE_STEREO = 0x40,
    HVSOUND_MODE_UNSIGNED = 0x80,
    HVSOUND_MODE_SIGNED = 0x100,
    HVSOUND_MODE_DELTA = 0x200,
    HVSOUND_MODE_HW3D = 0x1000,
    HVSOUND_MODE_2D = 0x2000,
    HVSOUND_MODE_STOPSAME = 0x4000, // a new play stops the earlier one; multichannel data interleaved
    HVSOUND_MODE_LOADMEMORY = 0x8000,
    HVSOUND_MODE_LOADRAW = 0x10000,
    HVSOUND_MODE_MPEGACCURATE = 0x20000,
    HVSOUND_MODE_FORCEMONO = 0x40000,
    HVSOUND_MODE_HW2D = 0x80000,
    HVSOUND_MODE_3D = 0x100000,
    HVSOUND_MODE_COMPRESSED_A = 0x400000, // block-compressed formats that only hardware holds
    HVSOUND_MODE_COMPRESSED_B = 0x800000,
    HVSOUND_MODE_NONBLOCKING = 0x1000000,
    HVSOUND_MODE_COMPRESSED_C = 0x2000000,
    HVSOUND_MODE_MULTICHANNEL = 0x4000000,
    HVSOUND_MODE_PRIMARY = 0x80000000u,

    HVSOUND_MODE_LOOP_ANY = 0x7,
};

// The three channel pools: first and last index and the next index to try.
struct HVSOUND_CHANNELPOOL {
    int first;
    int last;
    int next;
};

// The software mixer's block ring, filled by the software layer.
struct HVSOUND_MIXERSTATE {
    int blockLength;        // samples per block
    float blockDurationMs;  // block length in ms
    int rampConstant;       // mix rate x 128 / 44100
    int currentBlock;       // ring index of the next block to mix
    int blocksMixed;        // blocks the mixer thread has mixed since it started
    CRITICAL_SECTION* lock; // guards channel lists and sample pointers
    HVSOUND_LOADMETER loadMeter;
    float processorLoad; // percent
};

// The engine's one state record.
struct HVSOUND_STATE {
    HVSOUND_OutputDriver* driver;
    int outputType;
    uint32_t initFlags;
    bool emulatedOutput;
    bool driversEnumerated;
    int sfxMasterVolume;
    float panSeparation;
    HWND window;
    DWORD initThread;
    bool initialised;
    int mixerType;
    int mixRate;
    // The buffer length the caller set (-1 = default), in ms; init keeps it
    // and works on a copy, so a failed init cannot change it.
    int bufferLength;
    int bufferLengthChosen; // the set or default value init used
    int bufferLengthMs;     // twice that, then rounded to whole blocks by the software layer
    int mixBufferLength;    // samples of the primary mix buffer
    HVSOUND_DSPUNIT* defaultChannelDSP;
    int driverCount;
    char driverNames[HVSOUND_MAX_DRIVERS][HVSOUND_DRIVER_NAME_BYTES];
    int driverIndex; // -1 = the system's default device
    bool driverStarted;
    HVSOUND_CHANNEL* channels;
    HVSOUND_CHANNEL* systemChannel;
    HVSOUND_CHANNELPOOL hardware3DPool;
    HVSOUND_CHANNELPOOL hardware2DPool;
    HVSOUND_CHANNELPOOL softwarePool;
    int totalChannels;
    int softwareChannels;
    int hardware3DCount;
    int hardware2DCount;
    int minHardwareChannels;
    int maxHardwareChannels;
    int spareChannels;
    HVSOUND_SAMPLE** samples;
    int sampleTableSize;
    HVSOUND_SAMPLE* primaryBuffer;
    HVMUSIC_SONG* songs;
    HVSOUND_MIXERSTATE mixer;
    uint32_t lastUpdateMs;
    HVSOUND_MEMPOOL memoryPool;
};

// The state record; never null.
HVSOUND_STATE* HVSOUND_GetState();

// The error word. Public calls clear it first when they run on the thread
// that started the engine; the engine's own threads never clear it.
int HVSOUND_GetError();
void HVSOUND_SetError(int code);
void HVSOUND_ClearErrorOnInitThread();

// Set-up calls, refused with error 1 once the engine runs.
bool HVSOUND_SetOutput(int type);
bool HVSOUND_SetBufferSize(int milliseconds);
bool HVSOUND_SetHWND(HWND window);
bool HVSOUND_IsOldWindowsNT();

// Init and close belong to the thread that starts the engine. On one of the
// engine's own threads (the mixer, stream and loader threads, which make the
// callbacks of songs, streams and opens), on any thread inside an engine
// call that holds one of the engine's locks (a DSP unit's callback, a file
// callback of a seek, a stream's fill or end callback in a refill pass, also
// update-driven), and in a file callback of a load under way on any thread
// (a sample load, a stream open or a song load, blocking or not), they are
// refused with error 14 and change nothing: init answers false, close
// returns at once, and the engine runs on until its starter closes it.
// Update-driven (output type 12), a song's or a sync callback comes on the
// caller's thread after the mix cycle, where the close is made. Without
// software channels no mix cycle runs: a sync callback then comes at the end
// of the refill pass, inside it, where they are refused.
bool HVSOUND_Init(int mixRate, int maxChannels, uint32_t flags);
void HVSOUND_Close();
void HVSOUND_Update();

int HVSOUND_GetMixer();
int HVSOUND_GetMaxChannels();
int HVSOUND_GetChannelsPlaying();
void HVSOUND_SetSFXMasterVolume(int volume);
bool HVSOUND_Driver_EnsureEnumerated();
