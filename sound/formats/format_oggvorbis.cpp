// format_oggvorbis.cpp: the Ogg Vorbis reader over libvorbisfile: the
// callbacks onto the engine's file layer, open, decode, seek, close, the
// whole-file load and the window tables.
#include "sound/formats/format_oggvorbis.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_sample.h"
#include "sound/core/system_file.h"
#include "sound/core/system_memory.h"
#include "sound/streams/hvsound_stream.h"

// The header's static callback sets would be unused here.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Ogg pages begin with this capture pattern.
constexpr char kCapture[4] = {'O', 'g', 'g', 'S'};
// A damaged page makes ov_read report a hole; the data after it is still
// good, so decoding goes on, but a file of nothing but holes must end.
constexpr int kHoleRetries = 64;
// Half-window lengths of the Vorbis windows: 32 << 0 .. 32 << 7.
constexpr int kWindowTables = 8;
constexpr int kSmallestWindow = 32;
// pi / 2 as the single-precision constant the window formula starts from.
constexpr float kHalfPiFloat = 1.5707964f;

size_t fileRead(void* buffer, size_t size, size_t count, void* source)
{
    int64_t bytes = int64_t(size) * int64_t(count);
    if (bytes <= 0)
        return 0;
    int got = HVSOUND_File_Read(buffer, 1, int(std::min<int64_t>(bytes, 0x7FFFFFFF)), static_cast<HVSOUND_FILE*>(source));
    // vorbisfile reads a short count as the end of the data.
    return got > 0 ? size_t(got) / (size ? size : 1) : 0;
}

int fileSeek(void* source, ogg_int64_t offset, int origin)
{
    // The file layer keeps 32-bit positions: the low 32 bits are the offset.
    int result = HVSOUND_File_Seek(static_cast<HVSOUND_FILE*>(source), int(uint32_t(uint64_t(offset))), origin);
    return result < 0 ? -1 : 0;
}

long fileTell(void* source)
{
    return HVSOUND_File_Tell(static_cast<HVSOUND_FILE*>(source));
}

const ov_callbacks kCallbacks = {fileRead, fileSeek, nullptr, fileTell};

float g_windows[(kSmallestWindow << kWindowTables) - kSmallestWindow];
bool g_windowsReady = false;

int64_t tableIndex(int n)
{
    for (int t = 0; t < kWindowTables; ++t) {
        if (n == kSmallestWindow << t)
            return t;
    }
    return -1;
}

// Where table t starts in the one array: the lengths before it add up to
// 32 x (2^t - 1).
float* tableStart(int64_t t)
{
    return g_windows + kSmallestWindow * ((int64_t(1) << t) - 1);
}

// One vorbisfile read of 16-bit little-endian signed PCM, going on past
// holes up to the limit.
long readSkippingHoles(HVSOUND_VORBIS_CODEC* codec, char* destination, int length)
{
    long got = OV_HOLE;
    for (int tries = 0; got == OV_HOLE && tries < kHoleRetries; ++tries)
        got = ov_read(codec, destination, length, 0, 2, 1, nullptr);
    return got;
}

} // namespace

bool HVSOUND_Vorbis_Open(HVSOUND_FILE* file, uint32_t* mode, int* rate, int* dataLength, int* pcmSamples,
                         HVSOUND_VORBIS_CODEC** codec, int* sourceSize, int* dataOffset, int* lengthMs)
{
    char capture[4] = {};
    HVSOUND_File_Seek(file, 0, SEEK_SET);
    if (HVSOUND_File_Read(capture, 1, 4, file) != 4 || std::memcmp(capture, kCapture, 4) != 0) {
        HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
        return false;
    }
    auto* state = static_cast<HVSOUND_VORBIS_CODEC*>(HVSOUND_CALLOC(int(sizeof(HVSOUND_VORBIS_CODEC))));
    if (!state) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    HVSOUND_File_Seek(file, 0, SEEK_END);
    int length = HVSOUND_File_Tell(file);
    HVSOUND_File_Seek(file, 0, SEEK_SET);

    if (ov_open_callbacks(file, state, nullptr, 0, kCallbacks) < 0) {
        // vorbisfile has already cleaned up after itself.
        HVSOUND_FREE(state);
        HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
        return false;
    }
    vorbis_info* info = ov_info(state, -1);
    ov_comment(state, -1);
    ogg_int64_t samples = ov_pcm_total(state, 0);
    if (!info || info->channels < 1 || info->channels > 2 || samples <= 0 || samples > 0x7FFFFFFF) {
        HVSOUND_Vorbis_Close(state);
        HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
        return false;
    }

    uint32_t m = *mode & ~uint32_t(HVSOUND_MODE_8BITS | HVSOUND_MODE_MONO | HVSOUND_MODE_STEREO | HVSOUND_MODE_UNSIGNED);
    m |= HVSOUND_MODE_16BITS | HVSOUND_MODE_SIGNED;
    m |= info->channels == 1 ? HVSOUND_MODE_MONO : HVSOUND_MODE_STEREO;
    *mode = m;
    if (rate)
        *rate = int(info->rate);
    if (dataLength)
        *dataLength = length;
    if (pcmSamples)
        *pcmSamples = int(samples);
    if (sourceSize)
        *sourceSize = 0;
    if (dataOffset)
        *dataOffset = int(ov_raw_tell(state));
    if (lengthMs)
        *lengthMs = int(ov_time_total(state, -1) * 1000.0);
    if (codec)
        *codec = state;
    else
        HVSOUND_Vorbis_Close(state);
    return true;
}

bool HVSOUND_Vorbis_Decode(HVSOUND_VORBIS_CODEC* codec, void* destination, int* length)
{
    if (!codec || !destination || !length || *length <= 0) {
        if (length)
            *length = 0;
        return false;
    }
    long got = readSkippingHoles(codec, static_cast<char*>(destination), *length);
    if (got < 0) {
        *length = 0;
        return false;
    }
    *length = int(got);
    return true;
}

bool HVSOUND_Vorbis_ReadCallback(HVSOUND_STREAM* stream, void* /*sourceBuffer*/, int /*sourceSize*/,
                                 void* destination, int* length)
{
    HVSOUND_Vorbis_Decode(static_cast<HVSOUND_VORBIS_CODEC*>(stream->codecState), destination, length);
    return *length != 0;
}

bool HVSOUND_Vorbis_SeekBytes(HVSOUND_VORBIS_CODEC* codec, int64_t byte, bool lap)
{
    if (!codec)
        return false;
    return (lap ? ov_raw_seek_lap(codec, ogg_int64_t(byte)) : ov_raw_seek(codec, ogg_int64_t(byte))) == 0;
}

bool HVSOUND_Vorbis_SeekSamples(HVSOUND_VORBIS_CODEC* codec, int64_t sample, bool lap)
{
    if (!codec)
        return false;
    return (lap ? ov_pcm_seek_lap(codec, ogg_int64_t(sample)) : ov_pcm_seek(codec, ogg_int64_t(sample))) == 0;
}

bool HVSOUND_Vorbis_Close(HVSOUND_VORBIS_CODEC* codec)
{
    if (!codec)
        return false;
    codec->datasource = nullptr;
    ov_clear(codec);
    HVSOUND_FREE(codec);
    return true;
}

HVSOUND_SAMPLE* HVSOUND_Vorbis_LoadSample(int index, HVSOUND_FILE* file, uint32_t mode)
{
    int rate = 0;
    int samples = 0;
    HVSOUND_VORBIS_CODEC* codec = nullptr;
    if (!HVSOUND_Vorbis_Open(file, &mode, &rate, nullptr, &samples, &codec, nullptr, nullptr, nullptr))
        return nullptr;
    bool stereo = (mode & HVSOUND_MODE_STEREO) != 0;
    int frameBytes = stereo ? 4 : 2;
    if (stereo && (mode & HVSOUND_MODE_FORCEMONO))
        mode &= ~HVSOUND_MODE_HW3D;
    HVSOUND_SAMPLE* sample = HVSOUND_Sample_Alloc(index, samples, mode, rate, 255, stereo ? -1 : 128, 255);
    if (!sample) {
        HVSOUND_Vorbis_Close(codec);
        return nullptr;
    }

    void* p[2] = {nullptr, nullptr};
    int len[2] = {0, 0};
    int done = 0;
    // vorbisfile leaves a chained file at the start of its second link once
    // opened; the sample is the first link's sound.
    HVSOUND_Vorbis_SeekBytes(codec, 0, false);
    if (HVSOUND_Sample_Lock(sample, 0, samples * frameBytes, &p[0], &p[1], &len[0], &len[1]) && p[0]) {
        auto* memory = static_cast<char*>(p[0]);
        while (done < len[0]) {
            long got = readSkippingHoles(codec, memory + done, len[0] - done);
            if (got <= 0)
                break;
            done += int(got);
        }
        HVSOUND_Sample_Unlock(sample, p[0], p[1], len[0], len[1]);
    }
    HVSOUND_Vorbis_Close(codec);

    // The sample ends where the decoded data did; the rest of the block
    // (zeroed when it was made) is never played.
    int decoded = done / frameBytes;
    if (decoded <= 0) {
        HVSOUND_Sample_Free(sample);
        HVSOUND_SetError(HVSOUND_ERR_FILE_BAD);
        return nullptr;
    }
    if (decoded < sample->length)
        sample->length = decoded;
    HVSOUND_Sample_SetLoopPoints(sample, 0, sample->length - 1);
    return sample;
}

void HVSOUND_Vorbis_InitWindows()
{
    if (g_windowsReady)
        return;
    for (int t = 0; t < kWindowTables; ++t) {
        int n = kSmallestWindow << t;
        float* table = tableStart(t);
        for (int i = 0; i < n; ++i) {
            float x = (float(i) + 0.5f) / float(n) * kHalfPiFloat;
            double s = std::sin(double(x));
            table[i] = float(std::sin(M_PI / 2.0 * s * s));
        }
    }
    g_windowsReady = true;
}

const float* HVSOUND_Vorbis_GetWindow(int type, int n)
{
    int64_t t = tableIndex(n);
    if (type != 0 || t < 0 || !g_windowsReady)
        return nullptr;
    return tableStart(t);
}
