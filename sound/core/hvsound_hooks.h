// hvsound_hooks.h: the entry points that engine start, stop, update, the
// sample loader and the mix cycle call in the layers built on top of the
// engine core: streams, the file layer and format readers, the MPEG and
// Vorbis tables, the non-blocking open queue, module music and the waveOut
// and DirectSound drivers, gathered in one include. (The DSP chain and the
// mixer thread are declared in hvsound_dsp.h and sound_software.h, the file
// layer in system_file.h, the WAV, Ogg and MPEG readers in format_wav.h,
// format_oggvorbis.h and format_mpeg.h, the MPEG tables in mpeg_tables.h,
// streams in hvsound_stream.h, the open queue in hvsound_async.h and module
// music in hvmusic.h.)
#pragma once

#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/sound_software.h"
#include "sound/formats/format_wav.h"
#include "sound/formats/format_mpeg.h"
#include "sound/formats/format_oggvorbis.h"
#include "sound/formats/mpeg_tables.h"
#include "sound/core/system_file.h"
#include "sound/streams/hvsound_stream.h"
#include "sound/core/hvsound_async.h"
#include "sound/music/hvmusic.h"

#include <cstdint>

struct HVSOUND_DSPUNIT;
struct HVSOUND_SAMPLE;
struct HVSOUND_FILE;
struct HVSOUND_OutputDriver;

// Output drivers.
#include "sound/output/output_dsound.h"
#include "sound/output/output_winmm.h"
