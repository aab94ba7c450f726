// format_mpeg.cpp: the MPEG audio reader. Frames are found by their sync
// word and confirmed by the header that follows them; damaged data is
// crossed byte by byte. Nothing the file says is trusted as a size before
// it is checked against what was really read.
#include "sound/formats/format_mpeg.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_sample.h"
#include "sound/core/system_file.h"
#include "sound/core/system_memory.h"
#include "sound/formats/mpeg_tables.h"
#include "sound/streams/hvsound_stream.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr uint16_t kTagMpeg = 80;
constexpr uint16_t kTagMpegLayer3 = 85;
// Headers announcing a body shorter than this are refused.
constexpr int kMinimumBody = 16;

// Layer III bit rates in kbit/s by index (15 is forbidden and gives 0).
const int kBitratesMpeg1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
const int kBitratesLsf[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};

bool readExact(HVSOUND_FILE* file, void* buffer, int bytes)
{
    return HVSOUND_File_Read(buffer, 1, bytes, file) == bytes;
}

int fileLength(HVSOUND_FILE* file)
{
    int here = HVSOUND_File_Tell(file);
    HVSOUND_File_Seek(file, 0, SEEK_END);
    int length = HVSOUND_File_Tell(file);
    HVSOUND_File_Seek(file, here, SEEK_SET);
    return length;
}

// Parses `header` into `d` with the remembered layer cleared first.
int parseFresh(HVSOUND_MPEG_DECODER* d, const uint8_t* header, int* bodyLength = nullptr)
{
    d->rememberedLayer = 0;
    return HVSOUND_MPEG_ParseHeader(d, header, nullptr, nullptr, bodyLength);
}

bool appendFrame(HVSOUND_MPEG_FRAMETABLE* table, uint32_t offset)
{
    if (table->count == table->capacity) {
        uint32_t capacity = table->capacity + HVSOUND_MPEG_FRAMETABLE_STEP;
        void* grown = HVSOUND_REALLOC(table->offsets, int(capacity * sizeof(uint32_t)));
        if (!grown)
            return false;
        table->offsets = static_cast<uint32_t*>(grown);
        table->capacity = capacity;
    }
    table->offsets[table->count++] = offset;
    return true;
}

// True when the decoder's current header is of another rate or channel
// count than the stream it decodes (a frame like that is damaged data: a
// flipped mode or rate bit, or another file joined on).
bool ofOtherFormat(const HVSOUND_MPEG_DECODER* d)
{
    return d->streamFrequency != 0 && (d->frequency != d->streamFrequency || d->channels != d->streamChannels);
}

// True when the bytes one body after the header at `position` start a
// frame, or the data ends exactly there. The file position is restored.
bool followedBySync(HVSOUND_FILE* file, int position, int bodyLength, int dataEnd)
{
    int next = position + 4 + bodyLength;
    if (dataEnd >= 0 && next >= dataEnd)
        return next == dataEnd;
    int here = HVSOUND_File_Tell(file);
    HVSOUND_File_Seek(file, next, SEEK_SET);
    uint8_t sync[2] = {0, 0};
    int got = HVSOUND_File_Read(sync, 1, 2, file);
    HVSOUND_File_Seek(file, here, SEEK_SET);
    if (got == 0)
        return fileLength(file) == next;
    return got == 2 && sync[0] == 0xFF && (sync[1] & 0xE0) == 0xE0;
}

} // namespace

void HVSOUND_MPEG_FreeFrameTable(HVSOUND_MPEG_FRAMETABLE* table)
{
    if (!table)
        return;
    if (table->offsets)
        HVSOUND_FREE(table->offsets);
    table->offsets = nullptr;
    table->count = table->capacity = 0;
}

int HVSOUND_MPEG_ParseHeader(HVSOUND_MPEG_DECODER* d, const uint8_t* header, int* frequency, int* channels,
                             int* bodyLength)
{
    uint32_t h = uint32_t(header[0]) << 24 | uint32_t(header[1]) << 16 | uint32_t(header[2]) << 8 | header[3];
    if ((h >> 24) != 0xFF || ((h >> 21) & 7) != 7)
        return 0;
    bool mpeg25 = !(h & (1u << 20));
    bool lsf = mpeg25 || !(h & (1u << 19));
    int layer = 4 - int((h >> 17) & 3);
    if (layer != 3 || (d->rememberedLayer != 0 && d->rememberedLayer != layer))
        return 0;
    int bitrateIndex = int(h >> 12) & 15;
    int frequencyIndex = int(h >> 10) & 3;
    if (bitrateIndex == 0 || frequencyIndex == 3)
        return 0;
    frequencyIndex += mpeg25 ? 6 : lsf ? 3 : 0;
    int frequency0 = HVSOUND_MPEG_Frequencies[frequencyIndex];
    int bitrate = lsf ? kBitratesLsf[bitrateIndex] : kBitratesMpeg1[bitrateIndex];
    int padding = int(h >> 9) & 1;
    int body = bitrate * 144000 / (lsf ? frequency0 * 2 : frequency0) + padding - 4;
    if (body < kMinimumBody)
        return 0;

    d->lsf = lsf;
    d->mpeg25 = mpeg25;
    d->layer = layer;
    if (d->rememberedLayer == 0)
        d->rememberedLayer = layer;
    d->protection = !(h & (1u << 16));
    d->bitrateIndex = bitrateIndex;
    d->frequencyIndex = frequencyIndex;
    d->frequency = frequency0;
    d->bitrate = bitrate;
    d->padding = padding;
    d->privateBit = int(h >> 8) & 1;
    d->mode = int(h >> 6) & 3;
    d->modeExtension = int(h >> 4) & 3;
    d->copyright = int(h >> 3) & 1;
    d->original = int(h >> 2) & 1;
    d->emphasis = int(h) & 3;
    d->channels = d->mode == 3 ? 1 : 2;
    d->bodyLength = body;
    if (frequency)
        *frequency = frequency0;
    if (channels)
        *channels = d->channels;
    if (bodyLength)
        *bodyLength = body;
    return 1;
}

HVSOUND_MPEG_DECODER* HVSOUND_MPEG_CreateDecoder()
{
    HVSOUND_MPEG_InitTables();
    auto* d = static_cast<HVSOUND_MPEG_DECODER*>(HVSOUND_CALLOC(sizeof(HVSOUND_MPEG_DECODER)));
    if (!d)
        return nullptr;
    d->previousBodyLength = -1;
    d->synthPosition = 1;
    return d;
}

bool HVSOUND_MPEG_FreeDecoder(HVSOUND_MPEG_DECODER* decoder)
{
    if (!decoder)
        return false;
    HVSOUND_FREE(decoder);
    return true;
}

void HVSOUND_MPEG_ResetDecoder(HVSOUND_MPEG_DECODER* decoder)
{
    if (decoder)
        HVSOUND_MPEG_ResetLayer3(decoder);
}

void HVSOUND_MPEG_EmptyReservoir(HVSOUND_MPEG_DECODER* decoder)
{
    if (decoder) {
        decoder->heldBytes = 0;
        decoder->previousBodyLength = -1;
    }
}

int HVSOUND_MPEG_DecodeFrame(HVSOUND_MPEG_DECODER* d, const uint8_t* frame, int frameBytes, void* destination,
                             int* pcmBytes)
{
    if (pcmBytes)
        *pcmBytes = 0;
    // The frame's own header is parsed every time: the decoder's fields may
    // describe a header looked at after it.
    if (frameBytes < 4 || !HVSOUND_MPEG_ParseHeader(d, frame, nullptr, nullptr, nullptr) || ofOtherFormat(d))
        return 0;
    int body = std::min(d->bodyLength, frameBytes - 4);
    int result = HVSOUND_MPEG_DecodeLayer3(d, frame + 4, body, destination, pcmBytes);
    d->previousBodyLength = d->bodyLength;
    return result;
}

int HVSOUND_MPEG_ScanFrames(HVSOUND_FILE* file, int limit, int pcmBytesPerFrame, HVSOUND_MPEG_FRAMETABLE* table,
                            const HVSOUND_MPEG_DECODER* format)
{
    int start = HVSOUND_File_Tell(file);
    HVSOUND_MPEG_DECODER* scratch = HVSOUND_MPEG_CreateDecoder();
    if (!scratch) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return 0;
    }
    if (format) {
        scratch->streamFrequency = format->streamFrequency;
        scratch->streamChannels = format->streamChannels;
    }
    if (table)
        table->count = 0;
    int64_t total = 0;
    int64_t p = 0; // relative to the start; always the position of the next header read
    while (p < limit) {
        HVSOUND_File_Seek(file, int(start + p), SEEK_SET);
        uint8_t header[4];
        if (!readExact(file, header, 4))
            break;
        int body = 0;
        if (parseFresh(scratch, header, &body) && p + body < limit) {
            if (ofOtherFormat(scratch)) {
                // Passed over as the read passes it over.
                p += body + 4;
                continue;
            }
            if (table && !appendFrame(table, uint32_t(p))) {
                HVSOUND_SetError(HVSOUND_ERR_MEMORY);
                total = 0;
                break;
            }
            total += pcmBytesPerFrame;
            p += body + 4;
        } else {
            // Not a frame: try one byte further.
            ++p;
        }
    }
    HVSOUND_File_Seek(file, start, SEEK_SET);
    HVSOUND_MPEG_FreeDecoder(scratch);
    return int(std::min<int64_t>(total, INT_MAX));
}

bool HVSOUND_MPEG_Open(HVSOUND_FILE* file, uint32_t* mode, int* rate, int* dataLength, int* pcmLength,
                       HVSOUND_MPEG_DECODER** decoderOut, int* sourceSize, int* dataOffset, int* lengthMs,
                       HVSOUND_MPEG_FRAMETABLE* frameTable, int* loopPoints, HVSOUND_WAV_CueList* cues)
{
    HVSOUND_MPEG_DECODER* d = HVSOUND_MPEG_CreateDecoder();
    if (!d) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    auto refuse = [&](int error) {
        if (error)
            HVSOUND_SetError(error);
        HVSOUND_MPEG_FreeDecoder(d);
        return false;
    };

    // A RIFF WAVE file must hold MPEG audio; anything else is a bare file.
    int offset = 0;
    int length = 0;
    int loop[2] = {0, 0};
    HVSOUND_WAV_CueList found;
    uint8_t magic[4] = {0, 0, 0, 0};
    HVSOUND_File_Seek(file, 0, SEEK_SET);
    bool riff = readExact(file, magic, 4) && std::memcmp(magic, "RIFF", 4) == 0;
    HVSOUND_File_Seek(file, 0, SEEK_SET);
    if (riff) {
        WAVEFORMATEX* format = nullptr;
        int chunkOffset = -1, chunkLength = 0;
        bool walked =
            HVSOUND_WAV_ParseChunks(file, &format, &chunkOffset, &chunkLength, nullptr, cues ? &found : nullptr, loop);
        if (!walked)
            return refuse(0);
        uint16_t tag = format->wFormatTag;
        if (tag == WAVE_FORMAT_EXTENSIBLE)
            tag = uint16_t(reinterpret_cast<const uint8_t*>(format)[24] |
                           reinterpret_cast<const uint8_t*>(format)[25] << 8);
        HVSOUND_FREE(format);
        if (tag != kTagMpeg && tag != kTagMpegLayer3)
            return refuse(HVSOUND_ERR_FILE_FORMAT);
        offset = chunkOffset;
        length = chunkLength;
    } else {
        length = fileLength(file);
    }
    if (length <= 0)
        return refuse(HVSOUND_ERR_FILE_FORMAT);
    const int dataEnd = offset + length;

    // Sync search: a header within reach, confirmed by a header of the same
    // rate and channel count one body further on (or by the data ending
    // exactly where its frame does, so that a file of one frame opens). A
    // first frame that disagrees with the next one (a flipped mode bit,
    // another file joined on) does not set the stream's format.
    int frequency = 0, channels = 0, body = 0;
    for (;;) {
        bool accepted = false;
        for (int tries = 0; tries < HVSOUND_MPEG_SYNC_SEARCH && offset < dataEnd; ++tries) {
            HVSOUND_File_Seek(file, offset, SEEK_SET);
            uint8_t header[4];
            d->rememberedLayer = 0;
            if (readExact(file, header, 4) && HVSOUND_MPEG_ParseHeader(d, header, &frequency, &channels, &body)) {
                accepted = true;
                break;
            }
            ++offset;
        }
        if (!accepted)
            return refuse(HVSOUND_ERR_FILE_FORMAT);
        int next = offset + 4 + body;
        uint8_t header[4];
        HVSOUND_File_Seek(file, next, SEEK_SET);
        if (next == dataEnd || (next + 4 <= dataEnd && readExact(file, header, 4) && parseFresh(d, header) &&
                                d->frequency == frequency && d->channels == channels))
            break;
        ++offset;
    }

    uint32_t m = *mode & ~uint32_t(HVSOUND_MODE_8BITS | HVSOUND_MODE_MONO | HVSOUND_MODE_STEREO |
                                   HVSOUND_MODE_UNSIGNED);
    m |= HVSOUND_MODE_16BITS | HVSOUND_MODE_SIGNED | (channels == 1 ? HVSOUND_MODE_MONO : HVSOUND_MODE_STEREO);
    *mode = m;
    d->streamFrequency = frequency;
    d->streamChannels = channels;

    // The first frame tells the PCM bytes of every frame.
    int frameBytes = 4 + body;
    int pcmPerFrame = 0;
    {
        uint8_t* frame = static_cast<uint8_t*>(HVSOUND_ALLOC(frameBytes));
        if (!frame)
            return refuse(HVSOUND_ERR_MEMORY);
        alignas(16) int16_t pcm[HVSOUND_MPEG_MAX_FRAME_PCM / 2];
        HVSOUND_File_Seek(file, offset, SEEK_SET);
        int got = std::max(0, HVSOUND_File_Read(frame, 1, frameBytes, file));
        HVSOUND_MPEG_DecodeFrame(d, frame, got, pcm, &pcmPerFrame);
        HVSOUND_FREE(frame);
    }
    if (pcmPerFrame == 0)
        pcmPerFrame = channels == 1 ? 2304 : 4608;
    int roundedFrame = (frameBytes + 1) & ~1;

    // The data from the first frame on.
    int remaining = dataEnd - offset;
    int pcm = 0;
    if (*mode & HVSOUND_MODE_MPEGACCURATE) {
        HVSOUND_File_Seek(file, offset, SEEK_SET);
        pcm = HVSOUND_MPEG_ScanFrames(file, remaining, pcmPerFrame, frameTable, d);
        if (pcm == 0)
            return refuse(0);
        d->totalPcmBytes = pcm;
    } else {
        pcm = int(std::min(double(INT_MAX), double(pcmPerFrame) / roundedFrame * remaining));
    }
    d->pcmBytesPerFrame = pcmPerFrame;
    d->rememberedLayer = 3;
    HVSOUND_MPEG_ResetDecoder(d);

    if (rate)
        *rate = frequency;
    if (dataLength)
        *dataLength = riff ? length : remaining;
    if (pcmLength)
        *pcmLength = pcm;
    if (sourceSize)
        *sourceSize = HVSOUND_MPEG_SOURCE_SIZE;
    if (dataOffset)
        *dataOffset = offset;
    if (lengthMs)
        *lengthMs = int(double(pcm / 2 / channels) / frequency * 1000.0);
    if (loopPoints) {
        loopPoints[0] = loop[0];
        loopPoints[1] = loop[1];
    }
    if (cues)
        *cues = std::move(found);
    if (decoderOut)
        *decoderOut = d;
    else
        HVSOUND_MPEG_FreeDecoder(d);
    return true;
}

bool HVSOUND_MPEG_Read(const HVSOUND_MPEG_ReadSource& source, void* sourceBuffer, int sourceSize, void* destination,
                       int* length)
{
    if (!length)
        return false;
    int room = *length;
    *length = 0;
    HVSOUND_MPEG_DECODER* d = source.decoder;
    auto* frame = static_cast<uint8_t*>(sourceBuffer);
    if (!d || !frame || !destination)
        return false;

    bool first = true;
    for (;;) {
        int position = HVSOUND_File_Tell(source.file);
        if (source.dataEnd >= 0 && position + 4 > source.dataEnd)
            return false;
        uint8_t header[4];
        if (!readExact(source.file, header, 4))
            return false;
        int body = 0;
        bool valid = HVSOUND_MPEG_ParseHeader(d, header, nullptr, nullptr, &body) != 0;
        // The first candidate is trusted; one found by sliding must be
        // followed by another sync word.
        if (valid && !first)
            valid = followedBySync(source.file, position, body, source.dataEnd);
        if (!valid) {
            first = false;
            HVSOUND_File_Seek(source.file, position + 1, SEEK_SET);
            continue;
        }
        if (sourceSize < 4 + body)
            return false;
        std::memcpy(frame, header, 4);
        int got = std::max(0, HVSOUND_File_Read(frame + 4, 1, body, source.file));
        if (got < body)
            return false;
        int pcmBytes = 0;
        alignas(16) int16_t pcm[HVSOUND_MPEG_MAX_FRAME_PCM / 2];
        bool direct = room >= HVSOUND_MPEG_MAX_FRAME_PCM;
        HVSOUND_MPEG_DecodeFrame(d, frame, 4 + body, direct ? destination : pcm, &pcmBytes);
        if (pcmBytes == 0) {
            // A damaged frame, or one of another format: skipped. The header
            // after it must be confirmed, as after any slide, since its
            // length may be wrong.
            first = false;
            continue;
        }
        if (!direct) {
            pcmBytes = std::min(pcmBytes, std::max(0, room));
            std::memcpy(destination, pcm, size_t(pcmBytes));
        }
        *length = pcmBytes;
        return true;
    }
}

bool HVSOUND_MPEG_ReadCallback(HVSOUND_STREAM* stream, void* sourceBuffer, int sourceSize, void* destination,
                               int* length)
{
    HVSOUND_MPEG_ReadSource source{stream->file, static_cast<HVSOUND_MPEG_DECODER*>(stream->codecState),
                                   stream->dataOffset + stream->dataLength};
    return HVSOUND_MPEG_Read(source, sourceBuffer, sourceSize, destination, length);
}

int HVSOUND_MPEG_FrameBytes(const HVSOUND_MPEG_DECODER* decoder)
{
    return decoder ? decoder->pcmBytesPerFrame : 0;
}

HVSOUND_SAMPLE* HVSOUND_MPEG_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode)
{
    int rate = 0, dataLength = 0, pcmLength = 0, sourceSize = 0, dataOffset = 0, lengthMs = 0;
    int loop[2] = {0, 0};
    HVSOUND_MPEG_DECODER* d = nullptr;
    if (!HVSOUND_MPEG_Open(file, &mode, &rate, &dataLength, &pcmLength, &d, &sourceSize, &dataOffset, &lengthMs,
                           nullptr, loop, nullptr))
        return nullptr;
    bool stereo = (mode & HVSOUND_MODE_STEREO) != 0;
    int frameBytes = stereo ? 4 : 2;
    int total = pcmLength;
    if (!(mode & HVSOUND_MODE_MPEGACCURATE)) {
        HVSOUND_File_Seek(file, dataOffset, SEEK_SET);
        total = HVSOUND_MPEG_ScanFrames(file, dataLength, stereo ? 4608 : 2304, nullptr, d);
    }
    int samples = total / frameBytes;
    if (samples <= 0) {
        HVSOUND_MPEG_FreeDecoder(d);
        HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
        return nullptr;
    }
    if ((mode & HVSOUND_MODE_HW3D) && stereo)
        mode |= HVSOUND_MODE_FORCEMONO;
    if ((mode & HVSOUND_MODE_FORCEMONO) && stereo)
        mode &= ~HVSOUND_MODE_HW3D;
    HVSOUND_SAMPLE* sample = HVSOUND_Sample_Alloc(index, samples, mode, rate, 255, stereo ? -1 : 128, 255);
    if (!sample) {
        HVSOUND_MPEG_FreeDecoder(d);
        return nullptr;
    }
    void* ptr[2] = {nullptr, nullptr};
    int len[2] = {0, 0};
    if (!HVSOUND_Sample_Lock(sample, 0, samples * frameBytes, &ptr[0], &ptr[1], &len[0], &len[1]) || !ptr[0]) {
        HVSOUND_MPEG_FreeDecoder(d);
        HVSOUND_Sample_Free(sample);
        HVSOUND_SetError(HVSOUND_ERR_FILE_BAD);
        return nullptr;
    }

    // Decode frame after frame until the sample is full or the data ends;
    // the last frame is cut to the room left rather than dropped.
    auto* out = static_cast<uint8_t*>(ptr[0]);
    int room = len[0];
    int written = 0;
    uint8_t* frame = static_cast<uint8_t*>(HVSOUND_ALLOC(HVSOUND_MPEG_SOURCE_SIZE));
    alignas(16) int16_t pcm[HVSOUND_MPEG_MAX_FRAME_PCM / 2];
    HVSOUND_MPEG_ReadSource source{file, d, dataOffset + dataLength};
    HVSOUND_File_Seek(file, dataOffset, SEEK_SET);
    while (frame && written < room) {
        int got = HVSOUND_MPEG_MAX_FRAME_PCM;
        bool more = HVSOUND_MPEG_Read(source, frame, HVSOUND_MPEG_SOURCE_SIZE, pcm, &got);
        int copy = std::min(got, room - written);
        std::memcpy(out + written, pcm, size_t(copy));
        written += copy;
        if (!more)
            break;
    }
    if (written < room)
        std::memset(out + written, 0, size_t(room - written));
    if (frame)
        HVSOUND_FREE(frame);
    HVSOUND_Sample_Unlock(sample, ptr[0], ptr[1], len[0], len[1]);
    HVSOUND_MPEG_FreeDecoder(d);

    if (written < frameBytes) {
        HVSOUND_Sample_Free(sample);
        HVSOUND_SetError(HVSOUND_ERR_FILE_BAD);
        return nullptr;
    }
    if (written / frameBytes < sample->length)
        sample->length = written / frameBytes;
    if (loop[0] < loop[1] && loop[0] < sample->length) {
        HVSOUND_Sample_SetLoopPoints(sample, loop[0], loop[1]);
        if (!(mode & HVSOUND_MODE_LOOP_OFF))
            HVSOUND_Sample_SetMode(sample, (mode & ~uint32_t(HVSOUND_MODE_LOOP_OFF | HVSOUND_MODE_LOOP_BIDI)) |
                                               HVSOUND_MODE_LOOP_NORMAL);
    } else {
        HVSOUND_Sample_SetLoopPoints(sample, 0, sample->length - 1);
    }
    return sample;
}
