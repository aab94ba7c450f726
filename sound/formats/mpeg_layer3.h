// mpeg_layer3.h: the MPEG audio decoder state and the layer III decoding
// stages (side information, scale factors, Huffman decoding and
// requantisation, stereo processing, alias reduction, the hybrid
// filterbank) that turn one frame into interleaved 16-bit PCM.
#pragma once

#include "sound/formats/mpeg_bitstream.h"
#include "sound/formats/mpeg_synth.h"

#include <cstdint>

// Bytes of each of the two frame buffers: the largest body (1441 bytes at
// 320 kbit/s and 32000 Hz) behind the largest reservoir (511 bytes) fits.
constexpr int HVSOUND_MPEG_FRAME_BUFFER = 2304;
// main_data_begin has 9 bits (8 for MPEG-2): the reservoir reaches back at
// most this far.
constexpr int HVSOUND_MPEG_MAX_RESERVOIR = 511;

// Side information of one granule of one channel. Region starts are in
// spectral lines.
struct HVSOUND_MPEG_GRANULE {
    int part23Length;
    int bigValues;
    int globalGain;
    int scalefacCompress;
    int windowSwitching;
    int blockType;
    int mixed;
    int tableSelect[3];
    int subblockGain[3];
    int region1Start;
    int region2Start;
    int preflag;
    int scalefacScale;
    int count1Table;
};

struct HVSOUND_MPEG_SIDEINFO {
    int mainDataBegin;
    int privateBits;
    int scfsi[2][4];
    HVSOUND_MPEG_GRANULE granule[2][2];
};

struct HVSOUND_MPEG_DECODER {
    // The parsed header of the current frame.
    int lsf;    // MPEG-2 or MPEG-2.5 (one granule per frame)
    int mpeg25; // MPEG-2.5
    int layer;
    int rememberedLayer; // 0 = cleared; the next accepted header sets it
    int protection;      // a 16-bit CRC follows the header
    int bitrateIndex;
    int frequencyIndex; // into HVSOUND_MPEG_Frequencies
    int frequency;
    int bitrate; // kbit/s
    int padding;
    int privateBit;
    int mode; // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    int modeExtension;
    int copyright;
    int original;
    int emphasis;
    int channels;
    int bodyLength;         // the current frame's bytes after its header
    int previousBodyLength; // -1 after a reset: no reservoir
    int haveFrame;          // the header fields belong to the frame to decode next
    int64_t totalPcmBytes;  // exact opens
    int pcmBytesPerFrame;
    // The stream's format, set by the open from frames that agree on it (0
    // until then): a frame of another rate or channel count is refused.
    int streamFrequency;
    int streamChannels;

    // The bit reservoir: each frame's main data is appended to the last
    // `heldBytes` (at most 511) bytes of main data before it, alternating
    // between the two buffers. Zero padding follows for the bit reader.
    uint8_t frameBuffers[2][HVSOUND_MPEG_FRAME_BUFFER + HVSOUND_MPEG_BIT_PADDING];
    int activeBuffer;
    int heldBytes;
    uint32_t bitPosition;

    // The hybrid filterbank's overlap per channel and subband, and how many
    // subbands of it may be non-zero.
    float overlap[2][32][18];
    int overlapSubbands[2];
    HVSOUND_MPEG_SYNTH synth[2];
    int synthPosition;

    // Working storage of one frame.
    HVSOUND_MPEG_SIDEINFO side;
    int scalefacLong[2][22];
    int scalefacShort[2][13][3];
    // The right channel's "no intensity" position per band (MPEG-2: 2^slen
    // - 1 of the band's partition; MPEG-1: 7).
    int isIllegalLong[22];
    int isIllegalShort[13];
    int intensityScale;
    // Where the right channel's own (not intensity-coded) data ends, found
    // before the mid/side matrix mixes the channels: its last non-zero line
    // + 1, and for short blocks the first band of each window above it.
    int rightEnd;
    int rightShortBound[3];
    float spectrum[2][576];
    int nonzero[2]; // lines from 0 that may hold non-zero values
    float hybrid[2][18][32];
};

// Decodes the frame whose header fields are in `decoder` from its `body`
// (the bytes after the header). Writes granules x channels x 1152 bytes and
// answers 1, or the side information reader's result (0 or less: the frame
// gives no output).
int HVSOUND_MPEG_DecodeLayer3(HVSOUND_MPEG_DECODER* decoder, const uint8_t* body, int bodyLength, void* destination,
                              int* pcmBytes);
// Forgets every earlier frame: reservoir, overlap, synthesis history.
void HVSOUND_MPEG_ResetLayer3(HVSOUND_MPEG_DECODER* decoder);

// The stages, each on one granule.
int HVSOUND_MPEG_SideInfo(HVSOUND_MPEG_DECODER* decoder, HVSOUND_MPEG_BitReader& reader);
int HVSOUND_MPEG_SideInfoLSF(HVSOUND_MPEG_DECODER* decoder, HVSOUND_MPEG_BitReader& reader);
void HVSOUND_MPEG_ScaleFactors(HVSOUND_MPEG_DECODER* decoder, int granule, int channel,
                               HVSOUND_MPEG_BitReader& reader);
void HVSOUND_MPEG_ScaleFactorsLSF(HVSOUND_MPEG_DECODER* decoder, int channel, bool intensityChannel,
                                  HVSOUND_MPEG_BitReader& reader);
// Huffman decoding and requantisation of one channel, reading up to bit
// `end`; `ms` lowers the gain by 1 / sqrt(2) for the mid/side matrix.
void HVSOUND_MPEG_Dequantize(HVSOUND_MPEG_DECODER* decoder, int granule, int channel, bool ms,
                             HVSOUND_MPEG_BitReader& reader, uint32_t end);
// The second channel, then the mid/side matrix applied to both.
void HVSOUND_MPEG_DequantizeMS(HVSOUND_MPEG_DECODER* decoder, int granule, HVSOUND_MPEG_BitReader& reader,
                               uint32_t end);
void HVSOUND_MPEG_IntensityStereo(HVSOUND_MPEG_DECODER* decoder, int granule, bool ms);
// Alias reduction between the first `subbands` long-block subbands.
void HVSOUND_MPEG_Antialias(float* spectrum, int subbands);
void HVSOUND_MPEG_Hybrid(HVSOUND_MPEG_DECODER* decoder, int granule, int channel);
// Inverse MDCT of 18 lines with windowing and overlap-add: writes 18
// samples to `out` and keeps the second half in `overlap`.
void HVSOUND_MPEG_IMDCT36(const float* in, float* overlap, float* out, const float* window);
// The three 12-point transforms of a short block (6 lines per window).
void HVSOUND_MPEG_IMDCT12(const float* in, float* overlap, float* out);
