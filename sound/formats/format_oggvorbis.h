// format_oggvorbis.h: the Ogg Vorbis reader: recognition, vorbisfile over the
// engine's file layer, stream decoding and seeking, whole-file loads, and the
// Vorbis window tables the engine computes at start-up.
#pragma once

#include <cstdint>

struct HVSOUND_FILE;
struct HVSOUND_SAMPLE;
struct HVSOUND_STREAM;

// The codec state of one open Ogg file: a vorbisfile decoder and what the
// reader keeps of it, allocated through the engine's memory functions.
// Once vorbisfile has reported a fault other than a hole on the decoder,
// the decoder is never read or seeked again: decodes deliver nothing and
// seeks fail. (A link whose codebooks libvorbis could not make ready is
// left half made, and decoding with it again divides by zero.)
struct HVSOUND_VORBIS_CODEC;

// Opens Ogg Vorbis data for playing: sets the mode's format bits (16-bit
// signed, mono or stereo) and answers the rate, the data length (the file's
// bytes), the length in samples of the first link, the codec state, the
// source buffer size (0: none needed), the data offset and the length in ms.
// A chained file's data ends where its first link of another rate or
// channel count, or with a setup header refused as below, begins: the file's
// window is narrowed to the links before it. Not Ogg, a setup header holding
// a codebook libvorbis would hang or crash on (a value lookup of dimension
// 0), refused by vorbisfile, more than two channels or no samples: error 10
// and false, with the file left open for the next reader.
bool HVSOUND_Vorbis_Open(HVSOUND_FILE* file, uint32_t* mode, int* rate, int* dataLength, int* pcmSamples,
                         HVSOUND_VORBIS_CODEC** codec, int* sourceSize, int* dataOffset, int* lengthMs);
// Decodes up to `*length` bytes of 16-bit little-endian signed PCM;
// `*length` becomes the bytes delivered (0 and false at the end or on an
// error that cannot be skipped).
bool HVSOUND_Vorbis_Decode(HVSOUND_VORBIS_CODEC* codec, void* destination, int* length);
// True once vorbisfile has reported a fault on the decoder: its data has
// ended for good, and a loop must not go back into it.
bool HVSOUND_Vorbis_Failed(const HVSOUND_VORBIS_CODEC* codec);
// The stream read callback: decodes into `destination`; true while data came.
bool HVSOUND_Vorbis_ReadCallback(HVSOUND_STREAM* stream, void* sourceBuffer, int sourceSize, void* destination,
                                 int* length);
// Seeks to a byte of the file, or to a sample of the first link. With
// `lap` the new position's first samples are cross-faded with what the old
// position would have gone on with, so that a jump in playing sound does
// not click; a restart after silence has nothing to fade from. A file
// with a link of 64-sample short blocks is never cross-faded: libvorbis
// has no lapping window for them (it would read through a null one).
bool HVSOUND_Vorbis_SeekBytes(HVSOUND_VORBIS_CODEC* codec, int64_t byte, bool lap);
bool HVSOUND_Vorbis_SeekSamples(HVSOUND_VORBIS_CODEC* codec, int64_t sample, bool lap);
// Ends the decoder and frees the state; false for null.
bool HVSOUND_Vorbis_Close(HVSOUND_VORBIS_CODEC* codec);
// Decodes a whole Ogg file into a new sample (null and an error otherwise).
HVSOUND_SAMPLE* HVSOUND_Vorbis_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode);

// The Vorbis windows for half-window lengths 32 .. 4096 (powers of two).
// Computed once by engine start; the system's libvorbis keeps its own copy,
// so these are not handed to it (a function of libvorbis's own name would
// replace the one it calls internally).
void HVSOUND_Vorbis_InitWindows();
// The table of half-window length `n`, or null for any type but 0 or any
// other length.
const float* HVSOUND_Vorbis_GetWindow(int type, int n);
