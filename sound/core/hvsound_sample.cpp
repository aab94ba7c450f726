// hvsound_sample.cpp: sample allocation and the sample table, the software
// sample data with its loop guards, writing with conversion, lock and
// unlock, loop points, freeing and loading.
#include "sound/core/hvsound_sample.h"

#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_hooks.h"
#include "sound/core/system_memory.h"
#include "sound/mixer/sound_software.h"
#include "sound/output/output_nosound.h"

#include <cstdint>
#include <cstring>
#include <mutex>

namespace {

constexpr uint32_t kCompressed =
    HVSOUND_MODE_COMPRESSED_A | HVSOUND_MODE_COMPRESSED_B | HVSOUND_MODE_COMPRESSED_C;

HVSOUND_STATE& sampleState()
{
    return *HVSOUND_GetState();
}

int widthOf(uint32_t mode)
{
    return (mode & HVSOUND_MODE_16BITS) ? 2 : 1;
}

// Planar multichannel samples keep one plane per channel and are locked
// through an interleaved staging buffer; with 0x4000 their data stays
// interleaved in one plane, like a stereo sample.
bool isPlanar(const HVSOUND_SAMPLE* s)
{
    return (s->mode & HVSOUND_MODE_MULTICHANNEL) && !(s->mode & HVSOUND_MODE_STOPSAME) && s->channels > 1;
}

int planeCount(const HVSOUND_SAMPLE* s)
{
    return isPlanar(s) ? s->channels : 1;
}

// Interleaved channels in one frame of the data as the caller sees it.
int framesChannelsOf(uint32_t mode, int channels)
{
    if (mode & HVSOUND_MODE_STEREO)
        return 2;
    if ((mode & HVSOUND_MODE_MULTICHANNEL) && channels > 0)
        return channels;
    return 1;
}

int framesChannels(const HVSOUND_SAMPLE* s)
{
    return framesChannelsOf(s->mode, s->channels);
}

// The software block for `bytes` of data: 16 bytes in front of the data and
// the guards after each plane (one plane unless multichannel).
int64_t softwareBlockBytes(int64_t bytes, uint32_t mode, int channels)
{
    if (mode & HVSOUND_MODE_MULTICHANNEL)
        return bytes + 64 + int64_t(HVSOUND_GUARD_BYTES) * (channels > 0 ? channels : 1);
    return bytes + 72;
}

// Bytes of one frame within one plane.
int planeFrameBytes(const HVSOUND_SAMPLE* s)
{
    return widthOf(s->mode) * (isPlanar(s) ? 1 : framesChannels(s));
}

uint8_t* planeData(const HVSOUND_SAMPLE* s, int plane)
{
    int planeBytes = s->length * planeFrameBytes(s);
    return s->data + size_t(plane) * size_t(planeBytes + HVSOUND_GUARD_BYTES);
}

// Where a plane keeps the value its guard replaced: in the guard bytes, after
// the frame just past the end.
uint8_t* savedValue(const HVSOUND_SAMPLE* s, int plane)
{
    return planeData(s, plane) + size_t(s->length + 1) * size_t(planeFrameBytes(s));
}

void restoreGuards(HVSOUND_SAMPLE* s)
{
    if (!s->data || s->guardPosition < 0)
        return;
    int fb = planeFrameBytes(s);
    if (s->guardPosition <= s->length) {
        for (int p = 0; p < planeCount(s); ++p)
            memcpy(planeData(s, p) + size_t(s->guardPosition) * size_t(fb), savedValue(s, p), size_t(fb));
    }
    s->guardPosition = -1;
}

HVSOUND_SAMPLE* newRecord(int index, uint32_t mode)
{
    auto* s = static_cast<HVSOUND_SAMPLE*>(HVSOUND_CALLOC(int(sizeof(HVSOUND_SAMPLE))));
    if (!s) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return nullptr;
    }
    s->minDistance = 1.0f;
    s->playbackLimit = -1;
    s->guardPosition = -1;
    s->tableIndex = index;
    s->moduleRate = 8363;
    s->mode = (mode & ~HVSOUND_MODE_UNSIGNED) | HVSOUND_MODE_SIGNED;
    s->frequency = 44100;
    s->volume = 255;
    s->pan = 128;
    s->priority = 255;
    s->maxDistance = 1000000.0f;
    HVSOUND_NoSound_SetSampleFunctions(s);
    if (s->mode & (HVSOUND_MODE_HW3D | HVSOUND_MODE_HW2D))
        sampleState().driver->initSampleFunctions(s);
    else
        HVSOUND_Sample_SetSoftwareFunctions(s);
    return s;
}

// The sample table: its slots, its pointer and its size change under this
// lock, so that threads loading samples at once keep a slot each. Nothing
// under it waits for anything else: a sample the table gives up is freed
// once the lock is let go.
std::mutex g_tableLock;

// Grows the table to hold `index` (under the table lock).
bool growTable(int index)
{
    HVSOUND_STATE& st = sampleState();
    int size = st.sampleTableSize;
    while (index >= size)
        size += HVSOUND_SAMPLE_TABLE_STEP;
    auto* table = static_cast<HVSOUND_SAMPLE**>(HVSOUND_REALLOC(st.samples, int(sizeof(HVSOUND_SAMPLE*)) * size));
    if (!table) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    memset(table + st.sampleTableSize, 0, sizeof(HVSOUND_SAMPLE*) * size_t(size - st.sampleTableSize));
    st.samples = table;
    st.sampleTableSize = size;
    return true;
}

// Makes a record in slot `index` of the table (-1: the first empty slot),
// or gives up the sample that holds that slot now through `displaced`
// (under the table lock).
HVSOUND_SAMPLE* placeRecord(int index, uint32_t mode, HVSOUND_SAMPLE** displaced)
{
    HVSOUND_STATE& st = sampleState();
    *displaced = nullptr;
    if (!st.samples) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return nullptr;
    }
    if (index < HVSOUND_SAMPLE_FREE_SLOT) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return nullptr;
    }
    if (index == HVSOUND_SAMPLE_FREE_SLOT) {
        for (int i = 0; i < st.sampleTableSize; ++i) {
            if (!st.samples[i]) {
                index = i;
                break;
            }
        }
        if (index < 0) {
            index = st.sampleTableSize;
            if (!growTable(index))
                return nullptr;
        }
    } else {
        if (index >= st.sampleTableSize && !growTable(index))
            return nullptr;
        if (st.samples[index]) {
            *displaced = st.samples[index];
            st.samples[index] = nullptr;
            return nullptr;
        }
    }
    HVSOUND_SAMPLE* s = newRecord(index, mode);
    if (s)
        st.samples[index] = s;
    return s;
}

// Allocates a record in slot `index` (-2 outside the table, -1 the first
// empty slot), freeing what the slot held.
HVSOUND_SAMPLE* allocRecord(int index, uint32_t mode)
{
    HVSOUND_STATE& st = sampleState();
    if (!st.driver) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return nullptr;
    }
    mode = HVSOUND_Sample_NormaliseMode(mode);
    if (index == HVSOUND_SAMPLE_INTERNAL)
        return newRecord(index, mode);
    for (;;) {
        HVSOUND_SAMPLE* displaced;
        HVSOUND_SAMPLE* s;
        {
            std::lock_guard<std::mutex> lock(g_tableLock);
            s = placeRecord(index, mode, &displaced);
        }
        if (!displaced)
            return s;
        // Freed outside the lock: the free waits for the mixer. Another
        // thread may fill the slot meanwhile; its sample is freed in turn.
        HVSOUND_Sample_Free(displaced);
    }
}

void freeRecord(HVSOUND_SAMPLE* s)
{
    if (s->tableIndex >= 0) {
        HVSOUND_STATE& st = sampleState();
        std::lock_guard<std::mutex> lock(g_tableLock);
        if (st.samples && s->tableIndex < st.sampleTableSize && st.samples[s->tableIndex] == s)
            st.samples[s->tableIndex] = nullptr;
    }
    HVSOUND_FREE(s);
}

// Copies `count` source bytes into the sample's bytes at `dest`, converting
// the width; answers the bytes written.
int convertWidth(uint8_t* dest, const uint8_t* src, int destBytes, int sourceWidth, int sampleWidth)
{
    if (sourceWidth == sampleWidth) {
        memcpy(dest, src, size_t(destBytes));
    } else if (sourceWidth == 2) {
        for (int i = 0; i < destBytes; ++i)
            dest[i] = src[2 * i + 1]; // the high byte of each 16-bit value
    } else {
        for (int i = 0; i < destBytes / 2; ++i) {
            dest[2 * i] = 0;
            dest[2 * i + 1] = src[i];
        }
    }
    return destBytes;
}

struct WriteState {
    int32_t runningSum = 0;
};

void finishValues(uint8_t* dest, int bytes, int width, uint32_t sourceMode, WriteState& ws)
{
    if (width == 2) {
        int n = bytes / 2;
        for (int i = 0; i < n; ++i) {
            int16_t v;
            memcpy(&v, dest + 2 * i, 2);
            if (sourceMode & HVSOUND_MODE_DELTA) {
                ws.runningSum = int16_t(uint16_t(ws.runningSum + v));
                v = int16_t(ws.runningSum);
            }
            if (sourceMode & HVSOUND_MODE_UNSIGNED)
                v = int16_t(uint16_t(v) ^ 0x8000u);
            memcpy(dest + 2 * i, &v, 2);
        }
    } else {
        for (int i = 0; i < bytes; ++i) {
            uint8_t v = dest[i];
            if (sourceMode & HVSOUND_MODE_DELTA) {
                ws.runningSum = uint8_t(ws.runningSum + v);
                v = uint8_t(ws.runningSum);
            }
            if (sourceMode & HVSOUND_MODE_UNSIGNED)
                v ^= 0x80u;
            dest[i] = v;
        }
    }
}

// Software sample functions.

bool softwareCreateBuffer(HVSOUND_SAMPLE* s)
{
    if (s->mode & kCompressed) {
        HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
        return false;
    }
    if (s->dataBlock) {
        HVSOUND_FREE(s->dataBlock);
        s->dataBlock = nullptr;
        s->data = nullptr;
    }
    HVSOUND_FREE(s->staging);
    s->staging = nullptr;
    int bytes = HVSOUND_Sample_ByteLength(s);
    // Within an int: the allocation checked the length.
    int block = int(softwareBlockBytes(bytes, s->mode, s->channels));
    // Zeroed, so that a sample played before its data arrives is silent.
    auto* memory = static_cast<uint8_t*>(HVSOUND_CALLOC(block));
    if (!memory) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    if (isPlanar(s)) {
        s->staging = static_cast<uint8_t*>(HVSOUND_CALLOC(bytes));
        if (!s->staging) {
            HVSOUND_FREE(memory);
            HVSOUND_SetError(HVSOUND_ERR_MEMORY);
            return false;
        }
    }
    s->dataBlock = memory;
    s->data = memory + 16;
    s->guardPosition = -1;
    HVSOUND_Sample_WriteGuards(s);
    return true;
}

void softwareReleaseBuffer(HVSOUND_SAMPLE* s)
{
    HVSOUND_FREE(s->dataBlock);
    HVSOUND_FREE(s->staging);
    s->dataBlock = nullptr;
    s->data = nullptr;
    s->staging = nullptr;
}

bool softwareLock(HVSOUND_SAMPLE* s, int offset, int length, void** ptr1, void** ptr2, int* len1, int* len2)
{
    *ptr1 = *ptr2 = nullptr;
    *len1 = *len2 = 0;
    int total = HVSOUND_Sample_ByteLength(s);
    if (length > total)
        length = total;
    if (!s->data || offset < 0 || offset > total || length < 0)
        return false;
    restoreGuards(s);
    uint8_t* base = s->data;
    if (isPlanar(s)) {
        // The caller sees interleaved frames: build them from the planes.
        int width = widthOf(s->mode);
        for (int f = 0; f < s->length; ++f) {
            for (int p = 0; p < s->channels; ++p)
                memcpy(s->staging + (size_t(f) * size_t(s->channels) + size_t(p)) * size_t(width),
                       planeData(s, p) + size_t(f) * size_t(width), size_t(width));
        }
        base = s->staging;
        s->stagingOffset = offset;
    }
    *ptr1 = base + offset;
    if (offset + length <= total) {
        *len1 = length;
    } else {
        *len1 = total - offset;
        *ptr2 = base;
        *len2 = offset + length - total;
    }
    return true;
}

void splitStaging(HVSOUND_SAMPLE* s, int from, int bytes)
{
    int width = widthOf(s->mode);
    int frameBytes = width * s->channels;
    int first = from / frameBytes;
    int last = (from + bytes + frameBytes - 1) / frameBytes;
    if (last > s->length)
        last = s->length;
    for (int f = first; f < last; ++f) {
        for (int p = 0; p < s->channels; ++p)
            memcpy(planeData(s, p) + size_t(f) * size_t(width),
                   s->staging + (size_t(f) * size_t(s->channels) + size_t(p)) * size_t(width), size_t(width));
    }
}

bool softwareUnlock(HVSOUND_SAMPLE* s, void* /*ptr1*/, void* /*ptr2*/, int len1, int len2)
{
    if (!s->data)
        return false;
    if (isPlanar(s)) {
        if (len1 > 0)
            splitStaging(s, s->stagingOffset, len1);
        if (len2 > 0)
            splitStaging(s, 0, len2);
    }
    HVSOUND_Sample_WriteGuards(s);
    return true;
}

// Makes a copy of `source` in a new mode (8-bit, or mono) and puts it in
// the source's place; answers the copy or null (the source is then kept).
HVSOUND_SAMPLE* replaceWithCopy(HVSOUND_SAMPLE* source, uint32_t newMode)
{
    HVSOUND_SAMPLE* copy = HVSOUND_Sample_Alloc(HVSOUND_SAMPLE_INTERNAL, source->length, newMode,
                                                source->frequency, source->volume,
                                                (newMode & HVSOUND_MODE_STEREO) ? -1 : (source->pan < 0 ? 128 : source->pan),
                                                source->priority);
    if (!copy)
        return nullptr;
    if (source->data && copy->data) {
        int frames = source->length;
        int sourceChannels = framesChannels(source);
        int sourceWidth = widthOf(source->mode);
        int values = frames * sourceChannels;
        if ((newMode & HVSOUND_MODE_MONO) && sourceChannels == 2) {
            HVSOUND_PCM_StereoToMono(copy->data, source->data, frames, source->mode);
        } else if (sourceWidth == 2 && !(newMode & HVSOUND_MODE_16BITS)) {
            for (int i = 0; i < values; ++i)
                copy->data[i] = source->data[2 * i + 1];
        } else {
            memcpy(copy->data, source->data, size_t(HVSOUND_Sample_ByteLength(copy)));
        }
    }
    HVSOUND_String_CopyN(copy->name, source->name, HVSOUND_SAMPLE_NAME_BYTES);
    copy->name[HVSOUND_SAMPLE_NAME_BYTES - 1] = 0;
    copy->loopStart = source->loopStart;
    copy->loopLength = source->loopLength;
    copy->moduleRate = source->moduleRate;
    copy->frequencyVariation = source->frequencyVariation;
    copy->volumeVariation = source->volumeVariation;
    copy->panVariation = source->panVariation;
    copy->minDistance = source->minDistance;
    copy->maxDistance = source->maxDistance;
    copy->playbackLimit = source->playbackLimit;
    HVSOUND_Sample_WriteGuards(copy);

    // The copy takes the source's slot at once, so that no other load
    // takes it between; the source goes as a sample of no slot.
    int slot = source->tableIndex;
    if (slot >= 0) {
        HVSOUND_STATE& st = sampleState();
        std::lock_guard<std::mutex> lock(g_tableLock);
        if (st.samples && slot < st.sampleTableSize && st.samples[slot] == source) {
            st.samples[slot] = copy;
            copy->tableIndex = slot;
        }
    }
    HVSOUND_Sample_Free(source);
    return copy;
}

HVSOUND_SAMPLE* loadRaw(int index, HVSOUND_FILE* file, uint32_t mode, bool memory, const void* name)
{
    int size = HVSOUND_File_Seek(file, 0, 2) >= 0 ? HVSOUND_File_Tell(file) : 0;
    HVSOUND_File_Seek(file, 0, 0);
    bool stereo = (mode & HVSOUND_MODE_STEREO) != 0;
    bool wide = (mode & HVSOUND_MODE_16BITS) != 0;
    int samples = size;
    if (stereo)
        samples /= 2;
    if (wide)
        samples /= 2;
    if (samples <= 0) {
        HVSOUND_SetError(HVSOUND_ERR_FILE_BAD);
        return nullptr;
    }
    uint32_t allocMode = mode;
    if (stereo && (mode & HVSOUND_MODE_FORCEMONO))
        allocMode &= ~HVSOUND_MODE_HW3D;
    HVSOUND_SAMPLE* s = HVSOUND_Sample_Alloc(index, samples, allocMode, 44100, 255, stereo ? -1 : 128, 255);
    if (!s)
        return nullptr;
    s->loopStart = 0;
    s->loopLength = samples;
    s->moduleRate = 8363;
    if (memory)
        HVSOUND_String_Copy(s->name, "Memory file");
    else
        HVSOUND_String_CopyN(s->name, static_cast<const char*>(name), HVSOUND_SAMPLE_NAME_BYTES - 1);
    s->name[HVSOUND_SAMPLE_NAME_BYTES - 1] = 0;

    int unit = wide ? 2 : 1;
    int bytes = samples * unit * (stereo ? 2 : 1);
    void* buffer = HVSOUND_ALLOC(bytes);
    if (!buffer) {
        HVSOUND_Sample_Free(s);
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return nullptr;
    }
    int got = HVSOUND_File_Read(buffer, unit, bytes / unit, file);
    if (got < bytes)
        memset(static_cast<uint8_t*>(buffer) + (got > 0 ? got : 0), 0, size_t(bytes - (got > 0 ? got : 0)));
    HVSOUND_Sample_Upload(s, buffer, mode);
    HVSOUND_FREE(buffer);
    return s;
}

} // namespace

uint32_t HVSOUND_Sample_NormaliseMode(uint32_t mode)
{
    HVSOUND_STATE& st = sampleState();
    if (st.hardware3DCount <= 0 && (mode & HVSOUND_MODE_HW3D)) {
        mode &= ~HVSOUND_MODE_3D;
        mode &= ~HVSOUND_MODE_HW3D;
    }
    if (!(mode & (HVSOUND_MODE_MONO | HVSOUND_MODE_STEREO | HVSOUND_MODE_MULTICHANNEL)))
        mode |= HVSOUND_MODE_MONO;
    if (!(mode & (HVSOUND_MODE_8BITS | HVSOUND_MODE_16BITS)))
        mode |= HVSOUND_MODE_8BITS;
    if (!(mode & HVSOUND_MODE_LOOP_ANY))
        mode |= HVSOUND_MODE_LOOP_OFF;
    if ((mode & HVSOUND_MODE_3D) && !(mode & (HVSOUND_MODE_HW2D | HVSOUND_MODE_HW3D)))
        mode |= HVSOUND_MODE_HW2D;
    if (mode & (HVSOUND_MODE_HW2D | HVSOUND_MODE_2D))
        mode &= ~HVSOUND_MODE_HW3D;
    if (mode & HVSOUND_MODE_16BITS)
        mode &= ~HVSOUND_MODE_8BITS;
    if (mode & HVSOUND_MODE_STEREO)
        mode &= ~(HVSOUND_MODE_MONO | HVSOUND_MODE_MULTICHANNEL);
    if (mode & HVSOUND_MODE_HW2D)
        mode |= HVSOUND_MODE_2D;
    if (mode & HVSOUND_MODE_3D)
        mode |= HVSOUND_MODE_STOPSAME;
    // Hardware 2D voices only exist when the driver offers them.
    if (!(mode & HVSOUND_MODE_PRIMARY) && st.driver && st.driver->hardware2D == 0)
        mode &= ~HVSOUND_MODE_HW2D;
    if (mode & HVSOUND_MODE_COMPRESSED_A) {
        mode &= ~(HVSOUND_MODE_COMPRESSED_A | HVSOUND_MODE_8BITS);
        mode |= HVSOUND_MODE_16BITS;
    }
    return mode;
}

bool HVSOUND_Sample_LengthFits(int64_t length, uint32_t mode, int channels)
{
    if (length < 0)
        return false;
    mode = HVSOUND_Sample_NormaliseMode(mode);
    int64_t bytes = length * widthOf(mode) * framesChannelsOf(mode, channels);
    return bytes <= HVSOUND_MEMORY_MAX_BYTES && softwareBlockBytes(bytes, mode, channels) <= HVSOUND_MEMORY_MAX_BYTES;
}

int HVSOUND_Sample_ByteLength(const HVSOUND_SAMPLE* s)
{
    return s->length * widthOf(s->mode) * framesChannels(s);
}

void HVSOUND_Sample_WriteGuards(HVSOUND_SAMPLE* s)
{
    if (!s->data || s->length <= 0)
        return;
    restoreGuards(s);
    int fb = planeFrameBytes(s);
    int guard = s->loopStart + s->loopLength;
    if (guard < 0 || guard > s->length)
        return;
    for (int p = 0; p < planeCount(s); ++p) {
        uint8_t* plane = planeData(s, p);
        memcpy(savedValue(s, p), plane + size_t(guard) * size_t(fb), size_t(fb));
        if (s->mode & HVSOUND_MODE_LOOP_NORMAL) {
            memcpy(plane + size_t(guard) * size_t(fb), plane + size_t(s->loopStart) * size_t(fb), size_t(fb));
        } else if (s->mode & HVSOUND_MODE_LOOP_BIDI) {
            int last = guard - 1 < 0 ? 0 : guard - 1;
            memcpy(plane + size_t(guard) * size_t(fb), plane + size_t(last) * size_t(fb), size_t(fb));
        } else {
            memset(plane + size_t(s->length) * size_t(fb), 0, size_t(fb));
        }
    }
    s->guardPosition = guard;
}

void HVSOUND_Sample_SetSoftwareFunctions(HVSOUND_SAMPLE* s)
{
    s->functions.createBuffer = softwareCreateBuffer;
    s->functions.releaseBuffer = softwareReleaseBuffer;
    s->functions.lock = softwareLock;
    s->functions.unlock = softwareUnlock;
}

HVSOUND_SAMPLE* HVSOUND_Sample_AllocChannels(int index, int length, uint32_t mode, int frequency, int volume,
                                             int pan, int priority, int channels)
{
    HVSOUND_ClearErrorOnInitThread();
    if (length < 0) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return nullptr;
    }
    // Refused before the slot's sample is freed: a byte count that wrapped
    // would size a buffer smaller than the length its guards are written at.
    if (!HVSOUND_Sample_LengthFits(length, mode, channels)) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return nullptr;
    }
    HVSOUND_SAMPLE* s = allocRecord(index, mode);
    if (!s)
        return nullptr;
    s->frequency = frequency;
    s->volume = volume;
    s->pan = pan;
    s->priority = priority;
    s->length = length;
    s->loopStart = 0;
    s->loopLength = length;
    s->channels = channels;
    if (length > 0 && !s->functions.createBuffer(s)) {
        int error = HVSOUND_GetError();
        freeRecord(s);
        HVSOUND_SetError(error);
        return nullptr;
    }
    return s;
}

HVSOUND_SAMPLE* HVSOUND_Sample_Alloc(int index, int length, uint32_t mode, int frequency, int volume, int pan,
                                     int priority)
{
    HVSOUND_ClearErrorOnInitThread();
    if (length < 1) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return nullptr;
    }
    return HVSOUND_Sample_AllocChannels(index, length, mode, frequency, volume, pan, priority,
                                        (mode & HVSOUND_MODE_STEREO) ? 2 : 1);
}

std::atomic<void (*)(HVSOUND_SAMPLE*)> HVSOUND_Sample_FreeHook{nullptr};

void HVSOUND_Sample_Free(HVSOUND_SAMPLE* sample)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!sample) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return;
    }
    HVSOUND_STATE& st = sampleState();
    {
        // The songs forget the sample in the same hold of the lock that
        // stops its channels: the mixer thread's player starts the notes of
        // a song's samples under it, and would take the sample up again
        // between the two.
        HVSOUND_MixerLockScope lock;
        HVMUSIC_ForgetSample(sample);
        for (int i = 0; st.channels && i < st.totalChannels; ++i) {
            if (st.channels[i].currentSample == sample)
                HVSOUND_Channel_Stop(&st.channels[i]);
        }
    }
    if (void (*hook)(HVSOUND_SAMPLE*) = HVSOUND_Sample_FreeHook.load())
        hook(sample);
    if (st.channels) {
        // A mixer thread may still be finishing a block with it.
        for (;;) {
            bool inUse = false;
            for (int i = 0; i < st.totalChannels && !inUse; ++i)
                inUse = HVSOUND_Channel_CurrentSample(&st.channels[i]) == sample;
            if (!inUse)
                break;
            HVSOUND_Sleep(1);
        }
    }
    sample->functions.releaseBuffer(sample);
    freeRecord(sample);
}

bool HVSOUND_Sample_Upload(HVSOUND_SAMPLE* sample, const void* source, uint32_t sourceMode)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!sample) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    int64_t bytes = sample->length;
    if (sourceMode & HVSOUND_MODE_COMPRESSED_B)
        bytes = bytes * 16 / 28;
    else if (sourceMode & HVSOUND_MODE_COMPRESSED_A)
        bytes = bytes * 36 / 64;
    else if (sourceMode & HVSOUND_MODE_COMPRESSED_C)
        bytes = bytes * 8 / 14;
    else if ((sourceMode & HVSOUND_MODE_16BITS) && !(sourceMode & 0xC00))
        bytes *= 2;
    if (sourceMode & HVSOUND_MODE_STEREO)
        bytes *= 2;
    else if ((sourceMode & HVSOUND_MODE_MULTICHANNEL) && sample->channels > 0)
        bytes *= sample->channels;
    return HVSOUND_Sample_Write(sample, source, 0, int(bytes), sourceMode);
}

bool HVSOUND_Sample_Write(HVSOUND_SAMPLE* sample, const void* source, int offset, int bytes, uint32_t sourceMode)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!sample || !source) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    if (sourceMode & HVSOUND_MODE_16BITS)
        sourceMode &= ~HVSOUND_MODE_8BITS;
    if (sourceMode & HVSOUND_MODE_STEREO)
        sourceMode &= ~(HVSOUND_MODE_MONO | HVSOUND_MODE_MULTICHANNEL);
    if ((sourceMode & HVSOUND_MODE_COMPRESSED_A) && !(sample->mode & HVSOUND_MODE_COMPRESSED_A))
        bytes = int(int64_t(bytes) * 64 / 36 * 2);
    if (sample->functions.write)
        return sample->functions.write(sample, source, offset, bytes, sourceMode);
    // Nothing here decodes the block-compressed formats; copying them as PCM
    // would read past the caller's data.
    if (sourceMode & kCompressed) {
        HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
        return false;
    }

    // `bytes` counts source bytes; the sample's bytes differ when the widths do.
    int sourceWidth = widthOf(sourceMode);
    int sampleWidth = widthOf(sample->mode);
    int sampleBytes = int(int64_t(bytes) * sampleWidth / sourceWidth);
    void* p[2] = {nullptr, nullptr};
    int len[2] = {0, 0};
    if (!HVSOUND_Sample_Lock(sample, offset, sampleBytes, &p[0], &p[1], &len[0], &len[1]))
        return false;
    const auto* src = static_cast<const uint8_t*>(source);
    WriteState ws;
    for (int r = 0; r < 2; ++r) {
        if (!p[r] || len[r] <= 0)
            continue;
        auto* dest = static_cast<uint8_t*>(p[r]);
        convertWidth(dest, src, len[r], sourceWidth, sampleWidth);
        finishValues(dest, len[r], sampleWidth, sourceMode, ws);
        src += size_t(len[r]) * size_t(sourceWidth) / size_t(sampleWidth);
    }
    return HVSOUND_Sample_Unlock(sample, p[0], p[1], len[0], len[1]);
}

bool HVSOUND_Sample_Lock(HVSOUND_SAMPLE* sample, int offset, int bytes, void** ptr1, void** ptr2, int* len1,
                         int* len2)
{
    HVSOUND_ClearErrorOnInitThread();
    void* dummyPtr[2];
    int dummyLen[2];
    ptr1 = ptr1 ? ptr1 : &dummyPtr[0];
    ptr2 = ptr2 ? ptr2 : &dummyPtr[1];
    len1 = len1 ? len1 : &dummyLen[0];
    len2 = len2 ? len2 : &dummyLen[1];
    *ptr1 = *ptr2 = nullptr;
    *len1 = *len2 = 0;
    if (!sample || offset < 0 || offset > HVSOUND_Sample_ByteLength(sample)) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    return sample->functions.lock(sample, offset, bytes, ptr1, ptr2, len1, len2);
}

bool HVSOUND_Sample_Unlock(HVSOUND_SAMPLE* sample, void* ptr1, void* ptr2, int len1, int len2)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!sample) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    return sample->functions.unlock(sample, ptr1, ptr2, len1, len2);
}

bool HVSOUND_Sample_SetMode(HVSOUND_SAMPLE* sample, uint32_t mode)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!sample) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    // The mixer thread reads the mode, the loop and the guards of a sample
    // that plays.
    HVSOUND_MixerLockScope lock;
    if (mode & HVSOUND_MODE_LOOP_ANY) {
        uint32_t loop = (mode & HVSOUND_MODE_LOOP_NORMAL) ? HVSOUND_MODE_LOOP_NORMAL
                        : (mode & HVSOUND_MODE_LOOP_BIDI) ? HVSOUND_MODE_LOOP_BIDI
                                                          : 0u;
        loop |= mode & HVSOUND_MODE_LOOP_OFF;
        restoreGuards(sample);
        sample->mode = (sample->mode & ~HVSOUND_MODE_LOOP_ANY) | loop;
        HVSOUND_Sample_WriteGuards(sample);
    }
    if (!(mode & (HVSOUND_MODE_HW3D | HVSOUND_MODE_HW2D))) {
        if (mode & HVSOUND_MODE_2D)
            sample->mode |= HVSOUND_MODE_2D;
        else
            sample->mode &= ~HVSOUND_MODE_2D;
    }
    return true;
}

bool HVSOUND_Sample_SetLoopPoints(HVSOUND_SAMPLE* sample, int start, int end)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!sample || start < 0 || start >= sample->length || start >= end) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    if (end > sample->length - 1)
        end = sample->length - 1;
    HVSOUND_MixerLockScope lock;
    restoreGuards(sample);
    sample->loopStart = start;
    sample->loopLength = end - start + 1;
    HVSOUND_Sample_WriteGuards(sample);
    return true;
}

bool HVSOUND_Sample_GetDefaultsEx(HVSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan, int* priority,
                                  int* frequencyVariation, int* volumeVariation, int* panVariation)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!sample) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    if (frequency)
        *frequency = sample->frequency;
    if (volume)
        *volume = sample->volume;
    if (pan)
        *pan = sample->pan;
    if (priority)
        *priority = sample->priority;
    if (frequencyVariation)
        *frequencyVariation = sample->frequencyVariation;
    if (volumeVariation)
        *volumeVariation = sample->volumeVariation;
    if (panVariation)
        *panVariation = sample->panVariation;
    return true;
}

bool HVSOUND_Sample_GetDefaults(HVSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan, int* priority)
{
    return HVSOUND_Sample_GetDefaultsEx(sample, frequency, volume, pan, priority, nullptr, nullptr, nullptr);
}

HVSOUND_SAMPLE* HVSOUND_Sample_Load(int index, const void* nameOrData, uint32_t mode, int offset, int length)
{
    return HVSOUND_Sample_LoadCore(index, nameOrData, mode, offset, length, nullptr);
}

bool HVSOUND_Sample_IsPlayableRate(int rate)
{
    return rate >= 1 && rate <= HVSOUND_SOFTWARE_MAX_FREQUENCY;
}

HVSOUND_SAMPLE* HVSOUND_Sample_LoadCore(int index, const void* nameOrData, uint32_t mode, int offset, int length,
                                        HVSOUND_FILE* openFile)
{
    HVSOUND_ClearErrorOnInitThread();
    HVSOUND_LoadUnderWay load;
    if (!sampleState().initialised) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return nullptr;
    }
    if (!nameOrData) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return nullptr;
    }
    bool memory = (mode & HVSOUND_MODE_LOADMEMORY) != 0;
    HVSOUND_FILE* file = openFile;
    if (!file) {
        uint32_t kind = memory ? 1u : HVSOUND_File_HasUserCallbacks() ? 2u : 0u;
        file = HVSOUND_File_OpenWindow(nameOrData, kind, offset, length);
        if (!file)
            return nullptr;
    }

    HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
    HVSOUND_SAMPLE* sample = nullptr;
    if (mode & HVSOUND_MODE_LOADRAW) {
        sample = loadRaw(index, file, mode, memory, nameOrData);
    } else {
        HVSOUND_SAMPLE* (*readers[])(int, HVSOUND_FILE*, uint32_t) = {
            HVSOUND_Vorbis_LoadSample, HVSOUND_MPEG_LoadSample, HVSOUND_WAV_LoadSample};
        for (auto reader : readers) {
            if (sample || HVSOUND_GetError() != HVSOUND_ERR_FILE_FORMAT)
                break;
            HVSOUND_File_Seek(file, 0, 0);
            sample = reader(index, file, mode);
        }
    }
    if (!openFile)
        HVSOUND_File_Close(file);
    // A rate no channel can play (0 would hold a channel for ever) is
    // refused as the stream open refuses it.
    if (sample && !HVSOUND_Sample_IsPlayableRate(sample->frequency)) {
        HVSOUND_Sample_Free(sample);
        HVSOUND_SetError(HVSOUND_ERR_FILE_BAD);
        return nullptr;
    }
    if (!sample || (sample->mode & kCompressed))
        return sample;

    HVSOUND_SetError(HVSOUND_ERR_NONE);
    if ((mode & HVSOUND_MODE_8BITS) && (sample->mode & HVSOUND_MODE_16BITS)) {
        uint32_t newMode = (sample->mode & ~HVSOUND_MODE_16BITS) | HVSOUND_MODE_8BITS;
        HVSOUND_SAMPLE* copy = replaceWithCopy(sample, newMode);
        if (!copy) {
            HVSOUND_Sample_Free(sample);
            return nullptr;
        }
        sample = copy;
    }
    // A reader may ask for the downmix itself (the MPEG reader does for a
    // stereo file loaded as a 3D sample).
    if (((mode | sample->mode) & HVSOUND_MODE_FORCEMONO) && (sample->mode & HVSOUND_MODE_STEREO)) {
        uint32_t newMode = (sample->mode & ~HVSOUND_MODE_STEREO) | HVSOUND_MODE_MONO;
        HVSOUND_SAMPLE* copy = replaceWithCopy(sample, newMode);
        if (!copy) {
            HVSOUND_Sample_Free(sample);
            return nullptr;
        }
        sample = copy;
    }
    return sample;
}
