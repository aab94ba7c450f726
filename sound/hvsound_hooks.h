// hvsound_hooks.h: the entry points that engine start, stop, update and the
// sample loader call in the layers built on top of the engine core: the DSP
// chain and mixer thread, streams, the file layer and format readers, the
// MPEG and Vorbis tables, the non-blocking open queue, module music and the
// waveOut and DirectSound drivers. hvsound_hooks.cpp holds a neutral body
// for each one until its layer provides the real one.
#pragma once

#include <cstdint>

struct HVSOUND_DSPUNIT;
struct HVSOUND_SAMPLE;
struct HVSOUND_FILE;
struct HVSOUND_OutputDriver;

// DSP chain and mixer thread.
void HVSOUND_DSP_Init();
// A null unit counts as valid.
bool HVSOUND_DSP_Exists(HVSOUND_DSPUNIT* unit);
// One mix cycle over `length` samples at sample `offset` of the primary buffer.
void HVSOUND_DSP_MixCycle(int offset, int length);
bool HVSOUND_Software_StartMixerThread();
void HVSOUND_Software_StopMixer();

// Streams.
bool HVSOUND_Stream_StartThread();
void HVSOUND_Stream_Shutdown();
void HVSOUND_Stream_Update(float milliseconds);

// Decoder tables.
void HVSOUND_MPEG_InitTables();
void HVSOUND_Vorbis_InitWindows();

// Non-blocking open queue.
void HVSOUND_Async_Init();
void HVSOUND_Async_Shutdown();

// Module music.
void HVMUSIC_StopAllSongs();
// Applies every loaded song's tempo again (the mix rate may have changed).
void HVMUSIC_ApplyTempoToAll();
// Clears every reference a loaded song holds to the sample.
void HVMUSIC_ForgetSample(HVSOUND_SAMPLE* sample);

// File layer.
HVSOUND_FILE* HVSOUND_File_Open(const void* nameOrData, uint32_t kind, int length);
void HVSOUND_File_SetStart(HVSOUND_FILE* file, int offset);
void HVSOUND_File_SetEnd(HVSOUND_FILE* file, int lastByte);
int HVSOUND_File_Read(void* buffer, int size, int count, HVSOUND_FILE* file);
int HVSOUND_File_Seek(HVSOUND_FILE* file, int offset, int origin);
int HVSOUND_File_Tell(HVSOUND_FILE* file);
void HVSOUND_File_Close(HVSOUND_FILE* file);
bool HVSOUND_File_HasUserCallbacks();

// Whole-file readers; each answers a new sample or null (error 10 when the
// data is not theirs).
HVSOUND_SAMPLE* HVSOUND_Vorbis_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode);
HVSOUND_SAMPLE* HVSOUND_MPEG_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode);
HVSOUND_SAMPLE* HVSOUND_WAV_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode);

// Output drivers.
HVSOUND_OutputDriver* HVSOUND_Output_WinMM();
HVSOUND_OutputDriver* HVSOUND_Output_DirectSound();
