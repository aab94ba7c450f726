// hvsound_hooks.h: the entry points that engine start, stop, update, the
// sample loader and the mix cycle call in the layers built on top of the
// engine core: streams, the file layer and format readers, the MPEG and
// Vorbis tables, the non-blocking open queue, module music and the waveOut
// and DirectSound drivers. hvsound_hooks.cpp holds a neutral body for each
// one until its layer provides the real one. (The DSP chain and the mixer
// thread are declared in hvsound_dsp.h and sound_software.h, the file layer
// in system_file.h, the WAV, Ogg and MPEG readers in format_wav.h,
// format_oggvorbis.h and format_mpeg.h, the MPEG tables in mpeg_tables.h,
// streams in hvsound_stream.h.)
#pragma once

#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/sound_software.h"
#include "sound/formats/format_wav.h"
#include "sound/formats/format_mpeg.h"
#include "sound/formats/format_oggvorbis.h"
#include "sound/formats/mpeg_tables.h"
#include "sound/core/system_file.h"
#include "sound/streams/hvsound_stream.h"

#include <cstdint>

struct HVSOUND_DSPUNIT;
struct HVSOUND_SAMPLE;
struct HVSOUND_FILE;
struct HVSOUND_OutputDriver;

// Module music: the music DSP unit's work on one block (plays and mixes the
// loaded songs); returns `buffer`.
void* HVMUSIC_MixSongs(void* blockStart, void* buffer, int length, void* parameter);

// Non-blocking open queue: engine start and close, starting the loader
// thread (false when it cannot run), and queueing an entry for it.
void HVSOUND_Async_Init();
void HVSOUND_Async_Shutdown();
bool HVSOUND_Async_StartThread();
void HVSOUND_Async_Append(HVSOUND_ASYNCENTRY* entry);

// Module music.
void HVMUSIC_StopAllSongs();
// Applies every loaded song's tempo again (the mix rate may have changed).
void HVMUSIC_ApplyTempoToAll();
// Clears every reference a loaded song holds to the sample.
void HVMUSIC_ForgetSample(HVSOUND_SAMPLE* sample);

// Output drivers.
#include "sound/output/output_dsound.h"
#include "sound/output/output_winmm.h"
