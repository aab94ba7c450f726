// hvsound_hooks.h: the entry points that engine start, stop, update, the
// sample loader and the mix cycle call in the layers built on top of the
// engine core: streams, the file layer and format readers, the MPEG and
// Vorbis tables, the non-blocking open queue, module music and the waveOut
// and DirectSound drivers. hvsound_hooks.cpp holds a neutral body for each
// one until its layer provides the real one. (The DSP chain and the mixer
// thread are declared in hvsound_dsp.h and sound_software.h, the file layer
// in system_file.h, the WAV and Ogg readers in format_wav.h and
// format_oggvorbis.h, streams in hvsound_stream.h, the open queue in
// hvsound_async.h and module music in hvmusic.h.)
#pragma once

#include "sound/mixer/hvsound_dsp.h"
#include "sound/mixer/sound_software.h"
#include "sound/formats/format_wav.h"
#include "sound/formats/format_oggvorbis.h"
#include "sound/core/system_file.h"
#include "sound/streams/hvsound_stream.h"
#include "sound/core/hvsound_async.h"
#include "sound/music/hvmusic.h"

#include <cstdint>

struct HVSOUND_DSPUNIT;
struct HVSOUND_SAMPLE;
struct HVSOUND_FILE;
struct HVSOUND_OutputDriver;

// Decoder tables.
void HVSOUND_MPEG_InitTables();


// Whole-file readers; each answers a new sample or null (error 10 when the
// data is not theirs).
HVSOUND_SAMPLE* HVSOUND_MPEG_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode);

// MPEG audio streams: the reader's open (error 10 and false when the data is
// not MPEG audio), its stream read, the decoder's reset and free, and the PCM
// bytes one frame decodes to (for seeking).
struct HVSOUND_MPEG_DECODER;
bool HVSOUND_MPEG_Open(HVSOUND_FILE* file, uint32_t* mode, int* rate, int* dataLength, int* pcmLength,
                       HVSOUND_MPEG_DECODER** decoder, int* sourceSize, int* dataOffset, int* lengthMs,
                       HVSOUND_MPEG_FRAMETABLE* frameTable, int* loopPoints, HVSOUND_WAV_CueList* cues);
bool HVSOUND_MPEG_ReadCallback(HVSOUND_STREAM* stream, void* sourceBuffer, int sourceSize, void* destination,
                               int* length);
void HVSOUND_MPEG_ResetDecoder(HVSOUND_MPEG_DECODER* decoder);
bool HVSOUND_MPEG_FreeDecoder(HVSOUND_MPEG_DECODER* decoder);
int HVSOUND_MPEG_FrameBytes(const HVSOUND_MPEG_DECODER* decoder);

// Output drivers.
#include "sound/output/output_dsound.h"
#include "sound/output/output_winmm.h"
