// mixer_fpui.h: the mixer descriptors and the mixing routines: the float
// mixer (float mix buffer, interpolation, float volume ramps) and the 16-bit
// mixers (saturating 16-bit mix buffer, integer ramps), their clear and
// output conversions, and the 8-bit conversion table.
#pragma once

#include "sound/mixer/sound_software.h"

#include <cstdint>

struct HVSOUND_SAMPLE;

// One mixer kind. Only three of the fourteen descriptors carry routines; the
// float one's init and shutdown build and free its conversion table, and its
// init installs the processor-specific clear and output variants.
struct HVSOUND_MIXER {
    const char* name;
    bool (*init)();
    void (*shutdown)();
    // Zeroes `count` frames of a mix buffer.
    void (*clear)(void* buffer, int count);
    // Adds every playing, unpaused channel of the list into the buffer.
    void (*mix)(void* buffer, HVSOUND_CHANNELLIST* channels, int frames);
    // Converts `frames` mix-buffer frames into 16-bit interleaved stereo.
    void (*output)(void* destination, const void* source, int frames);
    int32_t bitsPerSample; // per value of the mix buffer: 32 (float) or 16
    int32_t channels;      // values per frame: 2
    int32_t capability;    // 7 for the float mixer, 3 for the 16-bit ones
};

// The descriptor of a mixer type (0..13), or null outside the table.
HVSOUND_MIXER* HVSOUND_Mixer_Descriptor(int type);
// True when the descriptor can mix (it has clear, mix and output routines).
bool HVSOUND_Mixer_CanMix(const HVSOUND_MIXER* mixer);

// The float mixer's set-up and clean-up: the 8-bit table (error 12 when it
// cannot be allocated), the routine variants for the processor, and the
// ramp length R for the state's mix rate.
bool HVSOUND_Mixer_Init();
void HVSOUND_Mixer_Shutdown();

// Volume changes ramp over R output frames (mix rate x 128 / 44,100: 64 at
// 22,050 Hz). The software layer sets it for every mixer kind.
void HVSOUND_Mixer_SetRampLength(int frames);
int HVSOUND_Mixer_RampLength();

// The 8-bit conversion table (null until HVSOUND_Mixer_Init): a sample byte,
// read as signed, scaled to the 16-bit range (127 -> 32767.0, 128 -> -32768.0).
const float* HVSOUND_Mixer_ByteTable();

// Float mixer routines: a frame is two floats.
void HVSOUND_Mixer_Clear_FPU(void* buffer, int count);
void HVSOUND_Mixer_Clear_FPU_MMX(void* buffer, int count);
void HVSOUND_Mixer_Mix_FPU(void* buffer, HVSOUND_CHANNELLIST* channels, int frames);
// Rounds to the nearest integer (ties to even), clamps to -32768..32767 and
// writes one 32-bit word per frame, left in the low 16 bits.
void HVSOUND_Mixer_Output_FPU(void* destination, const void* source, int frames);
void HVSOUND_Mixer_Output_FPU_P6(void* destination, const void* source, int frames);

// 16-bit mixer routines: a frame is one 32-bit word of two 16-bit values,
// left low. The two mix routines compute the same.
void HVSOUND_Mixer_Clear_MMX(void* buffer, int count);
void HVSOUND_Mixer_Mix_MMXP5(void* buffer, HVSOUND_CHANNELLIST* channels, int frames);
void HVSOUND_Mixer_Mix_MMXP6(void* buffer, HVSOUND_CHANNELLIST* channels, int frames);
void HVSOUND_Mixer_Output_MMX(void* destination, const void* source, int frames);

// Where a channel playing `sample` is after moving past the end of its
// region (32.32 position `position`, `direction` 1 forward or 2 back): a
// normal loop wraps by whole loop lengths, a bidirectional loop reflects
// (turning the direction), a one-shot sample has ended (false).
bool HVSOUND_Mixer_WrapPosition(const HVSOUND_SAMPLE* sample, int64_t* position, int* direction);

// The peak levels of the next `frames` frames of a channel from where it
// plays now, without moving it: the largest |value x left volume| and
// |value x right volume|, with 16-bit values cut to their upper 8 bits
// (each 0..32,640). A channel without a sample or data measures 0.
void HVSOUND_Mixer_MeasureLevels(const HVSOUND_CHANNEL* channel, int frames, int32_t* left, int32_t* right);
