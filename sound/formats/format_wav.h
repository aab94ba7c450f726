// format_wav.h: the RIFF WAVE reader: the chunk walker (format, data, fact,
// cue points and their labels, sampler loop), stream opening with PCM or
// compressed data, whole-file loads into samples and the PCM read callback.
#pragma once

#include "sound/formats/acm_stream.h"

#include <cstdint>
#include <vector>

struct HVSOUND_FILE;
struct HVSOUND_SAMPLE;
struct HVSOUND_STREAM;

constexpr int HVSOUND_WAV_CUE_NAME_BYTES = 256;

// A cue point of the file: its sample offset, the id labels refer to, and
// the label's name (empty when none).
struct HVSOUND_WAV_CuePoint {
    uint32_t cueId;
    uint32_t offset;
    char name[HVSOUND_WAV_CUE_NAME_BYTES];
};
// Cue points sorted by offset; the stream layer moves them into its sync list.
using HVSOUND_WAV_CueList = std::vector<HVSOUND_WAV_CuePoint>;

// Per-open conversion state: null ACM stream = plain PCM.
struct HVSOUND_WAV_CODEC {
    void* reserved;
    HACMSTREAM acm;
};

// Walks the RIFF chunks from the file's current position. Every output is
// optional. `dataOffset` must be -1 on entry for the data chunk to be
// taken. `format` receives an engine block (free with HVSOUND_FREE) of at
// least 40 bytes. `loopPoints` receives the sampler chunk's first loop as
// {start, end} (in samples) and is left alone when there is none.
bool HVSOUND_WAV_ParseChunks(HVSOUND_FILE* file, WAVEFORMATEX** format, int* dataOffset, int* dataLength,
                             int* factCount, HVSOUND_WAV_CueList* cues, int* loopPoints);

// Opens WAV data for playing: sets the mode's format bits and answers the
// rate, data and PCM lengths, the codec state, the source block align, the
// data offset and the loop points ({0, 0} when none or unusable).
bool HVSOUND_WAV_Open(HVSOUND_FILE* file, uint32_t* mode, int* rate, int* dataLength, int* pcmLength,
                      HVSOUND_WAV_CODEC** codec, int* blockAlign, int* dataOffset, int* loopPoints,
                      HVSOUND_WAV_CueList* cues);
bool HVSOUND_WAV_Close(HVSOUND_WAV_CODEC* codec);
// Converts `sourceBytes` bytes; `destinationBytes` goes in as the room and
// comes back as the bytes written. Without conversion nothing happens.
bool HVSOUND_WAV_Convert(HVSOUND_WAV_CODEC* codec, const void* source, int sourceBytes, void* destination,
                         int* destinationBytes);
HVSOUND_SAMPLE* HVSOUND_WAV_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode);

// What the PCM read callback needs of a stream.
struct HVSOUND_WAV_ReadSource {
    HVSOUND_FILE* file;
    HVSOUND_WAV_CODEC* codec;
    int dataOffset;
    int dataLength;
    bool sixteenBit;
};
// Reads up to `*length` bytes of PCM (or `sourceSize` source bytes to
// convert) into `destination`; `*length` becomes the bytes delivered. False
// on the last block or a failure.
bool HVSOUND_PCM_Read(const HVSOUND_WAV_ReadSource& source, void* sourceBuffer, int sourceSize, void* destination,
                      int* length);
