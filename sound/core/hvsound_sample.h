// hvsound_sample.h: sample records: allocation with mode normalisation, the
// sample table, writing with format conversion, lock and unlock, loop points
// with their guard samples, freeing and loading.
#pragma once

#include "sound/core/hvsound.h"
#include "sound/output/output_driver.h"

#include <atomic>
#include <cstdint>

constexpr int HVSOUND_SAMPLE_NAME_BYTES = 256;
// The sample table grows by this many slots.
constexpr int HVSOUND_SAMPLE_TABLE_STEP = 256;
// Index of a sample kept outside the table (primary buffer, stream buffers).
constexpr int HVSOUND_SAMPLE_INTERNAL = -2;
constexpr int HVSOUND_SAMPLE_FREE_SLOT = -1;
// Bytes after every plane for the interpolator's right-hand neighbour and
// the value the guard replaced.
constexpr int HVSOUND_GUARD_BYTES = 8;

struct HVSOUND_SAMPLE {
    char name[HVSOUND_SAMPLE_NAME_BYTES];
    int tableIndex;
    uint8_t* data;      // channel 0's PCM data
    void* dataBlock;    // the allocated block
    int length;         // samples (frames per channel)
    int loopStart;      // samples
    int loopLength;     // samples; the loop ends at loopStart + loopLength - 1
    int guardPosition;  // where the last loop guard was written; -1 none
    int playbackLimit;  // most channels playing it at once; -1 unlimited
    int channels;       // interleaved channels of a multichannel sample
    uint32_t mode;
    int frequency;
    int volume;
    int pan; // -1 for stereo
    int priority;
    int frequencyVariation;
    int volumeVariation;
    int panVariation;
    int moduleRate;   // the module player's C2 rate, 8363 at allocation
    int moduleSample; // non-zero for a module's instrument sample
    float minDistance;
    float maxDistance;
    int hardware; // the data lives in a driver buffer
    uint8_t* staging; // interleaved view of a planar multichannel sample
    int stagingOffset;
    HVSOUND_SampleFunctions functions;
};

HVSOUND_SAMPLE* HVSOUND_Sample_Alloc(int index, int length, uint32_t mode, int frequency, int volume, int pan,
                                     int priority);
// The form for a stream's double buffer: with a channel count, length 0
// allowed (no data), and the record freed on a data failure.
HVSOUND_SAMPLE* HVSOUND_Sample_AllocChannels(int index, int length, uint32_t mode, int frequency, int volume,
                                             int pan, int priority, int channels);
void HVSOUND_Sample_Free(HVSOUND_SAMPLE* sample);
// Test hook: when set, called by a free on its own thread once no channel
// plays the sample and no song holds it, before it waits for the mixer.
extern std::atomic<void (*)(HVSOUND_SAMPLE*)> HVSOUND_Sample_FreeHook;
bool HVSOUND_Sample_Upload(HVSOUND_SAMPLE* sample, const void* source, uint32_t sourceMode);
// Writes `bytes` bytes of source data at byte `offset` of the sample,
// converting width, delta coding and signedness.
bool HVSOUND_Sample_Write(HVSOUND_SAMPLE* sample, const void* source, int offset, int bytes, uint32_t sourceMode);
bool HVSOUND_Sample_Lock(HVSOUND_SAMPLE* sample, int offset, int bytes, void** ptr1, void** ptr2, int* len1,
                         int* len2);
bool HVSOUND_Sample_Unlock(HVSOUND_SAMPLE* sample, void* ptr1, void* ptr2, int len1, int len2);
bool HVSOUND_Sample_SetMode(HVSOUND_SAMPLE* sample, uint32_t mode);
bool HVSOUND_Sample_SetLoopPoints(HVSOUND_SAMPLE* sample, int start, int end);
bool HVSOUND_Sample_GetDefaults(HVSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan, int* priority);
bool HVSOUND_Sample_GetDefaultsEx(HVSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan, int* priority,
                                  int* frequencyVariation, int* volumeVariation, int* panVariation);

struct HVSOUND_FILE;
// Loads a sample from a file or memory block (mode 0x8000), as raw PCM
// (0x10000) or through the Ogg Vorbis, MPEG audio and WAV readers in turn.
HVSOUND_SAMPLE* HVSOUND_Sample_Load(int index, const void* nameOrData, uint32_t mode, int offset, int length);
HVSOUND_SAMPLE* HVSOUND_Sample_LoadCore(int index, const void* nameOrData, uint32_t mode, int offset, int length,
                                        HVSOUND_FILE* openFile);

// True for a rate a file's sound may have: one a channel can play. Any other
// comes from damaged data, and sample loads and stream opens refuse it.
bool HVSOUND_Sample_IsPlayableRate(int rate);

// The mode allocation gives a requested mode.
uint32_t HVSOUND_Sample_NormaliseMode(uint32_t mode);
// Whether a sample of `length` frames in `mode` (of `channels` when
// multichannel) can be made: its bytes, with the guards around them, are
// counted in 64 bits and must fit one engine allocation. Allocation refuses
// any other length (error 12); a reader checks a length its file gives first.
bool HVSOUND_Sample_LengthFits(int64_t length, uint32_t mode, int channels);
// Bytes of PCM data (all channels) and bytes per frame of one plane.
int HVSOUND_Sample_ByteLength(const HVSOUND_SAMPLE* sample);
// Rewrites the guard values after the loop of every plane.
void HVSOUND_Sample_WriteGuards(HVSOUND_SAMPLE* sample);
// The software layer's sample functions.
void HVSOUND_Sample_SetSoftwareFunctions(HVSOUND_SAMPLE* sample);
