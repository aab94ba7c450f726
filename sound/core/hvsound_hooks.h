// hvsound_hooks.h: the entry points that engine start, stop, update, the
// sample loader and the mix cycle call in the layers built on top of the
// engine core: streams, the file layer and format readers, the MPEG and
// Vorbis tables, the non-blocking open queue, module music and the waveOut
// and DirectSound drivers. hvsound_hooks.cpp holds a neutral body for each
// one until its layer provides the real one. (The DSP chain and the mixer
// thread are declared in hvsound_dsp.h and sound_software.h, the file layer
// in system_file.h, the WAV reader in format_wav.h, the open queue in
// hvsound_async.h and module music in hvmusic.h.)
#pragma once

#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/sound_software.h"
#include "sound/formats/format_wav.h"
#include "sound/core/system_file.h"
#include "sound/core/hvsound_async.h"
#include "sound/music/hvmusic.h"

#include <cstdint>

struct HVSOUND_DSPUNIT;
struct HVSOUND_SAMPLE;
struct HVSOUND_FILE;
struct HVSOUND_OutputDriver;

// Streams.
bool HVSOUND_Stream_StartThread();
void HVSOUND_Stream_Shutdown();
void HVSOUND_Stream_Update(float milliseconds);

// Decoder tables.
void HVSOUND_MPEG_InitTables();
void HVSOUND_Vorbis_InitWindows();


// Whole-file readers; each answers a new sample or null (error 10 when the
// data is not theirs).
HVSOUND_SAMPLE* HVSOUND_Vorbis_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode);
HVSOUND_SAMPLE* HVSOUND_MPEG_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode);

// Output drivers.
#include "sound/output/output_dsound.h"
#include "sound/output/output_winmm.h"
