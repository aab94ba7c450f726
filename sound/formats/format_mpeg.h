// format_mpeg.h: the MPEG audio reader: frame headers, decoder life cycle,
// frame decoding, frame scans, stream opening (bare frame files or MPEG
// audio in a RIFF WAVE file), the stream read and whole-file sample loads.
// Only layer III is accepted, in MPEG-1, MPEG-2 and MPEG-2.5.
#pragma once

#include "sound/formats/format_wav.h"
#include "sound/formats/mpeg_layer3.h"

#include <cstdint>

struct HVSOUND_FILE;
struct HVSOUND_SAMPLE;
struct HVSOUND_STREAM;

// How far the sync search looks for the first frame, in byte positions.
constexpr int HVSOUND_MPEG_SYNC_SEARCH = 4096;
// The source buffer a stream reads frames into: header and largest body.
constexpr int HVSOUND_MPEG_SOURCE_SIZE = 5000;
// PCM bytes of the largest frame (two granules of stereo).
constexpr int HVSOUND_MPEG_MAX_FRAME_PCM = 4608;
// The frame table grows by this many entries.
constexpr uint32_t HVSOUND_MPEG_FRAMETABLE_STEP = 4096;

// Byte offsets of every frame, counted from the first (exact opens).
struct HVSOUND_MPEG_FRAMETABLE {
    uint32_t count;
    uint32_t capacity;
    uint32_t* offsets;
};
void HVSOUND_MPEG_FreeFrameTable(HVSOUND_MPEG_FRAMETABLE* table);

// Parses a 4-byte frame header into the decoder. 1 when valid, 0 when
// refused (the decoder keeps its earlier fields then). Each output may be
// null.
int HVSOUND_MPEG_ParseHeader(HVSOUND_MPEG_DECODER* decoder, const uint8_t* header, int* frequency, int* channels,
                             int* bodyLength);

HVSOUND_MPEG_DECODER* HVSOUND_MPEG_CreateDecoder();
bool HVSOUND_MPEG_FreeDecoder(HVSOUND_MPEG_DECODER* decoder);
void HVSOUND_MPEG_ResetDecoder(HVSOUND_MPEG_DECODER* decoder);
// Empties the bit reservoir (after a seek): the next frame's main data that
// begins in the frames before it decodes to silence, as after an open,
// instead of from bytes of another place in the file. The overlap and the
// synthesis history are kept, so a loop joins its end to its start.
void HVSOUND_MPEG_EmptyReservoir(HVSOUND_MPEG_DECODER* decoder);

// Decodes one frame (its header and body, `frameBytes` bytes in all; a
// shorter body than the header announces decodes as far as it goes) into
// `destination`, which holds HVSOUND_MPEG_MAX_FRAME_PCM bytes. Answers the
// layer III decoder's result, 0 for a refused header (also one of another
// rate or channel count than the opened stream's).
int HVSOUND_MPEG_DecodeFrame(HVSOUND_MPEG_DECODER* decoder, const uint8_t* frame, int frameBytes, void* destination,
                             int* pcmBytes);

// Counts the frames from the file's position up to `limit` bytes on and
// answers their PCM bytes at `pcmBytesPerFrame` each (0 when none), filling
// `table` when given. With `format` (an opened stream's decoder), frames of
// another rate or channel count than its stream's are passed over, as the
// read passes them over. The file position is kept.
int HVSOUND_MPEG_ScanFrames(HVSOUND_FILE* file, int limit, int pcmBytesPerFrame, HVSOUND_MPEG_FRAMETABLE* table,
                            const HVSOUND_MPEG_DECODER* format = nullptr);

// Opens MPEG audio for playing: sets the mode's format bits and answers
// the rate, data and PCM lengths, a decoder (reset, owned by the caller),
// the source buffer size, the offset of the first frame, the length in ms,
// the loop points of a RIFF "smpl" chunk ({0, 0} when none) and its cue
// points. Mode 0x20000 scans every frame for an exact length (and fills
// `frameTable` when given).
bool HVSOUND_MPEG_Open(HVSOUND_FILE* file, uint32_t* mode, int* rate, int* dataLength, int* pcmLength,
                       HVSOUND_MPEG_DECODER** decoder, int* sourceSize, int* dataOffset, int* lengthMs,
                       HVSOUND_MPEG_FRAMETABLE* frameTable, int* loopPoints, HVSOUND_WAV_CueList* cues);

// What the stream read needs of a stream.
struct HVSOUND_MPEG_ReadSource {
    HVSOUND_FILE* file;
    HVSOUND_MPEG_DECODER* decoder;
    int dataEnd; // the first byte after the MPEG data; -1 = the file's end
};
// Reads the next frame into `sourceBuffer` and decodes it into
// `destination` (`*length` bytes of room going in, the PCM bytes coming
// out). A damaged frame makes the read slide byte by byte to the next
// confirmed frame. False, with length 0, when the data has ended.
bool HVSOUND_MPEG_Read(const HVSOUND_MPEG_ReadSource& source, void* sourceBuffer, int sourceSize, void* destination,
                       int* length);

// The stream layer's read callback: the next frame of the stream's file,
// up to the end of its MPEG data, through the stream's decoder.
bool HVSOUND_MPEG_ReadCallback(HVSOUND_STREAM* stream, void* sourceBuffer, int sourceSize, void* destination,
                               int* length);
// The PCM bytes one frame decodes to (from the open); 0 for none.
int HVSOUND_MPEG_FrameBytes(const HVSOUND_MPEG_DECODER* decoder);

HVSOUND_SAMPLE* HVSOUND_MPEG_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode);
