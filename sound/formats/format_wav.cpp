// format_wav.cpp: the RIFF WAVE reader. Chunk sizes come from the file and
// are trusted only as far as the file reaches: the walk stops at the end of
// the data, tables are bounded by their chunk, and loops are checked before
// use.
#include "sound/formats/format_wav.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_sample.h"
#include "sound/core/system_file.h"
#include "sound/core/system_memory.h"

#include <algorithm>
#include <cstring>

namespace {

// The format record is read into at least this many zeroed bytes: the size
// of an extensible record, the longest one read field by field.
constexpr int kFormatMinimumBytes = 40;
constexpr int kSmplBytes = 60;
constexpr WORD kWavTagMpeg = 80;
constexpr WORD kWavTagMpegLayer3 = 85;

uint32_t u32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool wavReadExact(HVSOUND_FILE* file, void* buffer, int bytes)
{
    return HVSOUND_File_Read(buffer, 1, bytes, file) == bytes;
}

bool readU32(HVSOUND_FILE* file, uint32_t* value)
{
    uint8_t bytes[4];
    if (!wavReadExact(file, bytes, 4))
        return false;
    *value = u32(bytes);
    return true;
}

// Bytes from the window's start to its end.
int64_t windowLength(HVSOUND_FILE* file)
{
    int here = HVSOUND_File_Tell(file);
    HVSOUND_File_Seek(file, 0, SEEK_END);
    int64_t length = HVSOUND_File_Tell(file);
    HVSOUND_File_Seek(file, here, SEEK_SET);
    return length;
}

// Reads the labels of an "adtl" list into the first `cueCount` cue points.
void readLabels(HVSOUND_FILE* file, int64_t listDataStart, int64_t listBytes, HVSOUND_WAV_CueList& cues,
                size_t cueCount)
{
    int64_t q = 0;
    while (q >= 0 && q + 8 <= listBytes) {
        HVSOUND_File_Seek(file, static_cast<int>(listDataStart + q), SEEK_SET);
        uint8_t header[8];
        if (!wavReadExact(file, header, 8))
            return;
        uint32_t size = u32(header + 4);
        uint32_t cueId = 0;
        if (std::memcmp(header, "labl", 4) == 0 && size >= 4 && readU32(file, &cueId)) {
            for (size_t i = 0; i < cueCount && i < cues.size(); ++i) {
                if (cues[i].cueId != cueId)
                    continue;
                int nameBytes = static_cast<int>(std::min<uint32_t>(size - 4, HVSOUND_WAV_CUE_NAME_BYTES - 1));
                char* name = cues[i].name;
                int got = std::max(0, HVSOUND_File_Read(name, 1, nameBytes, file));
                name[got] = '\0';
                break;
            }
        }
        q += int64_t(size) + 8 + (size & 1);
        if (q + 4 >= listBytes)
            return;
    }
}

void freeFormat(WAVEFORMATEX** format)
{
    if (format && *format) {
        HVSOUND_FREE(*format);
        *format = nullptr;
    }
}

} // namespace

bool HVSOUND_WAV_ParseChunks(HVSOUND_FILE* file, WAVEFORMATEX** format, int* dataOffset, int* dataLength,
                             int* factCount, HVSOUND_WAV_CueList* cues, int* loopPoints)
{
    if (format)
        *format = nullptr;
    int64_t entry = HVSOUND_File_Tell(file);
    int64_t fileEnd = windowLength(file);
    uint8_t header[12];
    if (!wavReadExact(file, header, 12) || std::memcmp(header, "RIFF", 4) != 0) {
        HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
        return false;
    }
    uint32_t riffSize = u32(header + 4);
    if (dataOffset)
        *dataOffset = -1;
    size_t cueCount = 0;

    // `pos` is 8 bytes before the next chunk header. The walk ends at the
    // RIFF size or where no whole chunk header is left in the file, which
    // ends truncated files and bogus sizes alike.
    int64_t pos = entry + 4;
    while (pos >= 1 && pos - entry < int64_t(riffSize) && pos + 16 <= fileEnd) {
        HVSOUND_File_Seek(file, static_cast<int>(pos + 8), SEEK_SET);
        uint8_t chunk[8];
        if (!wavReadExact(file, chunk, 8))
            break;
        uint32_t size = u32(chunk + 4);
        int64_t chunkData = pos + 16;
        // What the file really holds of this chunk.
        int64_t present = std::max<int64_t>(0, std::min<int64_t>(size, fileEnd - chunkData));

        if (std::memcmp(chunk, "fmt ", 4) == 0 && format) {
            // A later format chunk replaces an earlier one. The record is
            // zeroed and at least 40 bytes long, so that the fields past a
            // short chunk read as 0: the usual 16-byte PCM chunk has no
            // extension size, which then reads as no extension.
            freeFormat(format);
            int bytes = static_cast<int>(std::max<int64_t>(present, kFormatMinimumBytes));
            *format = static_cast<WAVEFORMATEX*>(HVSOUND_CALLOC(bytes));
            if (!*format) {
                HVSOUND_SetError(HVSOUND_ERR_MEMORY);
                return false;
            }
            HVSOUND_File_Read(*format, 1, static_cast<int>(present), file);
            // The extra bytes claimed must be bytes we hold.
            int extraHeld = std::max(0, bytes - int(sizeof(WAVEFORMATEX)));
            if ((*format)->cbSize > extraHeld)
                (*format)->cbSize = static_cast<WORD>(extraHeld);
        } else if (std::memcmp(chunk, "cue ", 4) == 0 && cues) {
            uint32_t count = 0;
            if (readU32(file, &count) && count != 0) {
                cues->clear();
                count = static_cast<uint32_t>(std::min<int64_t>(count, std::max<int64_t>(0, present - 4) / 24));
                for (uint32_t i = 0; i < count; ++i) {
                    uint8_t record[24];
                    if (!wavReadExact(file, record, 24))
                        break;
                    HVSOUND_WAV_CuePoint point{};
                    point.cueId = u32(record);
                    point.offset = u32(record + 20);
                    cues->push_back(point);
                }
                cueCount = cues->size();
            }
        } else if (std::memcmp(chunk, "fact", 4) == 0) {
            uint32_t count = 0;
            if (factCount && readU32(file, &count))
                *factCount = static_cast<int>(count);
        } else if (std::memcmp(chunk, "LIST", 4) == 0) {
            uint8_t type[4];
            if (cues && wavReadExact(file, type, 4) && std::memcmp(type, "adtl", 4) == 0)
                readLabels(file, chunkData + 4, std::min<int64_t>(size, present) - 4, *cues, cueCount);
        } else if (std::memcmp(chunk, "smpl", 4) == 0) {
            uint8_t smpl[kSmplBytes];
            if (wavReadExact(file, smpl, kSmplBytes) && loopPoints) {
                loopPoints[0] = static_cast<int>(u32(smpl + 44));
                loopPoints[1] = static_cast<int>(u32(smpl + 48));
            }
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (dataOffset && *dataOffset == -1) {
                *dataOffset = static_cast<int>(chunkData);
                // Data cut short by the end of the file counts only as far
                // as it goes.
                if (dataLength)
                    *dataLength = static_cast<int>(present);
            }
        }
        pos += int64_t(size) + 8 + (size & 1);
    }

    if (cues)
        std::stable_sort(cues->begin(), cues->end(), [](const HVSOUND_WAV_CuePoint& a, const HVSOUND_WAV_CuePoint& b) {
            return a.offset < b.offset;
        });
    if (format && !*format) {
        HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
        return false;
    }
    if (dataOffset && *dataOffset == -1) {
        freeFormat(format);
        *dataOffset = 0;
        return false;
    }
    return true;
}

bool HVSOUND_WAV_Close(HVSOUND_WAV_CODEC* codec)
{
    if (!codec)
        return true;
    if (codec->acm)
        acmStreamClose(codec->acm, 0);
    HVSOUND_FREE(codec);
    return true;
}

bool HVSOUND_WAV_Open(HVSOUND_FILE* file, uint32_t* mode, int* rate, int* dataLength, int* pcmLength,
                      HVSOUND_WAV_CODEC** codec, int* blockAlign, int* dataOffset, int* loopPoints,
                      HVSOUND_WAV_CueList* cues)
{
    WAVEFORMATEX* source = nullptr;
    int offset = -1;
    int length = 0;
    int loop[2] = {0, 0};
    HVSOUND_File_Seek(file, 0, SEEK_SET);
    HVSOUND_WAV_CueList found;
    bool walked = HVSOUND_WAV_ParseChunks(file, &source, &offset, &length, nullptr, cues ? &found : nullptr, loop);
    if (!walked)
        return false;

    auto fail = [&](int error, HVSOUND_WAV_CODEC* state) {
        if (error)
            HVSOUND_SetError(error);
        HVSOUND_FREE(source);
        HVSOUND_WAV_Close(state);
        return false;
    };

    WORD tag = source->wFormatTag;
    if (tag == WAVE_FORMAT_EXTENSIBLE)
        tag = static_cast<WORD>(reinterpret_cast<const uint8_t*>(source)[24] |
                                reinterpret_cast<const uint8_t*>(source)[25] << 8);
    if (tag == kWavTagMpeg || tag == kWavTagMpegLayer3)
        return fail(HVSOUND_ERR_FILE_FORMAT, nullptr);
    if (source->nChannels < 1 || source->nChannels > 2)
        return fail(HVSOUND_ERR_FILE_FORMAT, nullptr);

    WAVEFORMATEX destination{};
    destination.wFormatTag = WAVE_FORMAT_PCM;
    auto* state = static_cast<HVSOUND_WAV_CODEC*>(HVSOUND_CALLOC(sizeof(HVSOUND_WAV_CODEC)));
    if (!state)
        return fail(HVSOUND_ERR_MEMORY, nullptr);

    int pcm = 0;
    if (tag == WAVE_FORMAT_PCM && (source->wBitsPerSample == 8 || source->wBitsPerSample == 16)) {
        // A PCM block align of 0 would make every position computation
        // divide by zero; the frame size is known anyway.
        if (source->nBlockAlign == 0)
            source->nBlockAlign = static_cast<WORD>(source->nChannels * source->wBitsPerSample / 8);
        std::memcpy(&destination, source, sizeof(WAVEFORMATEX));
        destination.wFormatTag = WAVE_FORMAT_PCM;
        pcm = length;
    } else {
        // The codec sees the real tag of an extensible record.
        source->wFormatTag = tag;
        if (acmFormatSuggest(nullptr, source, &destination, sizeof(WAVEFORMATEX), ACM_FORMATSUGGESTF_WFORMATTAG) !=
            MMSYSERR_NOERROR)
            return fail(HVSOUND_ERR_FILE_FORMAT, state);
        if (acmStreamOpen(&state->acm, nullptr, source, &destination, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) !=
            MMSYSERR_NOERROR) {
            state->acm = nullptr;
            return fail(HVSOUND_ERR_FILE_FORMAT, state);
        }
        DWORD size = 0;
        acmStreamSize(state->acm, static_cast<DWORD>(length), &size, ACM_STREAMSIZEF_SOURCE);
        pcm = static_cast<int>(std::min<DWORD>(size, 0x7FFFFFFF));
    }

    uint32_t m = *mode & ~uint32_t(0x8 | 0x10 | 0x20 | 0x40 | 0x80 | 0x100);
    m |= destination.wBitsPerSample == 8 ? 0x88u : 0x110u;
    m |= destination.nChannels == 1 ? 0x20u : 0x40u;
    *mode = m;

    // A sampler loop is used only when it lies inside the data and is not
    // empty; anything else would stall a stream at its loop end.
    int frameBytes = destination.wBitsPerSample / 8 * destination.nChannels;
    int samples = pcm / frameBytes;
    if (loop[0] < 0 || loop[1] < 0 || loop[0] >= samples)
        loop[0] = loop[1] = 0;
    loop[1] = std::min(loop[1], samples - 1);
    if (loop[0] >= loop[1])
        loop[0] = loop[1] = 0;

    if (rate)
        *rate = static_cast<int>(destination.nSamplesPerSec);
    if (dataLength)
        *dataLength = length;
    if (pcmLength)
        *pcmLength = pcm;
    if (blockAlign)
        *blockAlign = source->nBlockAlign;
    if (dataOffset)
        *dataOffset = offset;
    if (loopPoints) {
        loopPoints[0] = loop[0];
        loopPoints[1] = loop[1];
    }
    if (cues)
        *cues = std::move(found);
    HVSOUND_FREE(source);
    if (codec)
        *codec = state;
    else
        HVSOUND_WAV_Close(state);
    return true;
}

bool HVSOUND_WAV_Convert(HVSOUND_WAV_CODEC* codec, const void* source, int sourceBytes, void* destination,
                         int* destinationBytes)
{
    if (!codec || !codec->acm)
        return true;
    ACMSTREAMHEADER header{};
    header.cbStruct = sizeof(ACMSTREAMHEADER);
    header.pbSrc = static_cast<LPBYTE>(const_cast<void*>(source));
    header.cbSrcLength = static_cast<DWORD>(std::max(0, sourceBytes));
    header.pbDst = static_cast<LPBYTE>(destination);
    header.cbDstLength = static_cast<DWORD>(std::max(0, *destinationBytes));
    acmStreamPrepareHeader(codec->acm, &header, 0);
    acmStreamConvert(codec->acm, &header, 0);
    *destinationBytes = static_cast<int>(header.cbDstLengthUsed);
    acmStreamUnprepareHeader(codec->acm, &header, 0);
    return true;
}

HVSOUND_SAMPLE* HVSOUND_WAV_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode)
{
    int rate = 0, dataLength = 0, pcmLength = 0, blockAlign = 0, dataOffset = -1;
    int loop[2] = {0, 0};
    HVSOUND_WAV_CODEC* codec = nullptr;
    if (!HVSOUND_WAV_Open(file, &mode, &rate, &dataLength, &pcmLength, &codec, &blockAlign, &dataOffset, loop, nullptr))
        return nullptr;

    bool sixteen = (mode & HVSOUND_MODE_16BITS) || (mode & HVSOUND_MODE_COMPRESSED_A);
    bool stereo = (mode & HVSOUND_MODE_STEREO) != 0;
    int frameBytes = (sixteen ? 2 : 1) * (stereo ? 2 : 1);
    int samples = pcmLength / frameBytes;
    if ((mode & HVSOUND_MODE_FORCEMONO) && stereo)
        mode &= ~HVSOUND_MODE_HW3D;
    HVSOUND_SAMPLE* sample =
        samples > 0 ? HVSOUND_Sample_Alloc(index, samples, mode, rate, 255, stereo ? -1 : 128, 255) : nullptr;
    if (!sample) {
        if (samples <= 0)
            HVSOUND_SetError(HVSOUND_ERR_FILE_BAD);
        HVSOUND_WAV_Close(codec);
        return nullptr;
    }
    auto failWith = [&](int error) -> HVSOUND_SAMPLE* {
        HVSOUND_SetError(error);
        HVSOUND_WAV_Close(codec);
        HVSOUND_Sample_Free(sample);
        HVSOUND_SetError(error);
        return nullptr;
    };

    HVSOUND_File_Seek(file, dataOffset, SEEK_SET);
    void* ptr[2] = {nullptr, nullptr};
    int len[2] = {0, 0};
    int wanted = samples * frameBytes;
    if (!HVSOUND_Sample_Lock(sample, 0, wanted, &ptr[0], &ptr[1], &len[0], &len[1]) || !ptr[0])
        return failWith(HVSOUND_ERR_FILE_BAD);

    int delivered = 0;
    if (codec->acm && !(mode & HVSOUND_MODE_COMPRESSED_A)) {
        void* block = HVSOUND_ALLOC(std::max(1, dataLength));
        if (!block) {
            HVSOUND_Sample_Unlock(sample, ptr[0], ptr[1], len[0], len[1]);
            return failWith(HVSOUND_ERR_MEMORY);
        }
        int got = std::max(0, HVSOUND_File_Read(block, 1, dataLength, file));
        delivered = len[0];
        HVSOUND_WAV_Convert(codec, block, got, ptr[0], &delivered);
        HVSOUND_FREE(block);
    } else {
        int unit = sixteen ? 2 : 1;
        for (int r = 0; r < 2; ++r) {
            if (!ptr[r] || len[r] <= 0)
                continue;
            int got = std::max(0, HVSOUND_File_Read(ptr[r], unit, len[r] / unit, file));
            delivered += got;
            if (got < len[r])
                break;
        }
    }
    // Whatever the file did not deliver is silence rather than stale memory.
    int zeroFrom = delivered;
    for (int r = 0; r < 2; ++r) {
        if (!ptr[r])
            continue;
        int start = std::min(std::max(0, zeroFrom), len[r]);
        std::memset(static_cast<uint8_t*>(ptr[r]) + start, 0, static_cast<size_t>(len[r] - start));
        zeroFrom -= len[r];
    }

    if (!sixteen) {
        // 8-bit WAV data is unsigned; the sample holds it signed.
        for (int r = 0; r < 2; ++r) {
            auto* bytes = static_cast<uint8_t*>(ptr[r]);
            for (int i = 0; bytes && i < len[r]; ++i)
                bytes[i] ^= 0x80;
        }
        mode = (mode & ~HVSOUND_MODE_UNSIGNED) | HVSOUND_MODE_SIGNED;
        sample->mode = (sample->mode & ~HVSOUND_MODE_UNSIGNED) | HVSOUND_MODE_SIGNED;
    }
    HVSOUND_Sample_Unlock(sample, ptr[0], ptr[1], len[0], len[1]);

    // The sample ends where the data did.
    int finalSamples = std::max(1, std::min(samples, delivered / frameBytes));
    if (finalSamples < sample->length)
        sample->length = finalSamples;
    if (loop[0] < loop[1] && loop[0] < sample->length) {
        HVSOUND_Sample_SetLoopPoints(sample, loop[0], loop[1]);
        if (!(mode & HVSOUND_MODE_LOOP_OFF))
            HVSOUND_Sample_SetMode(sample, (mode & ~uint32_t(HVSOUND_MODE_LOOP_OFF | HVSOUND_MODE_LOOP_BIDI)) |
                                               HVSOUND_MODE_LOOP_NORMAL);
    } else {
        HVSOUND_Sample_SetLoopPoints(sample, 0, sample->length - 1);
    }
    HVSOUND_WAV_Close(codec);
    return sample;
}

bool HVSOUND_PCM_Read(const HVSOUND_WAV_ReadSource& source, void* sourceBuffer, int sourceSize, void* destination,
                      int* length)
{
    if (!length)
        return false;
    if (!destination) {
        *length = 0;
        return false;
    }
    int end = source.dataOffset + source.dataLength;
    int p = HVSOUND_File_Tell(source.file);
    if (!source.codec || !source.codec->acm) {
        bool more = true;
        if (p + *length >= end) {
            *length = std::max(0, end - p);
            more = false;
        }
        int unit = source.sixteenBit ? 2 : 1;
        int asked = *length / unit * unit;
        int got = asked > 0 ? std::max(0, HVSOUND_File_Read(destination, unit, asked / unit, source.file)) : 0;
        *length = got;
        return more && got >= asked;
    }
    if (!sourceBuffer) {
        *length = 0;
        return false;
    }
    int n = std::min(sourceSize, end - p);
    if (n <= 0) {
        *length = 0;
        return false;
    }
    if (HVSOUND_File_Read(sourceBuffer, 1, n, source.file) != n) {
        *length = 0;
        return false;
    }
    HVSOUND_WAV_Convert(source.codec, sourceBuffer, n, destination, length);
    return true;
}
