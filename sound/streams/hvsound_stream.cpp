// hvsound_stream.cpp: opening a stream (file or memory, format probing,
// double buffer, position history, sync points), making one, playing,
// stopping, closing, its mode and position, and the byte/sample arithmetic.
#include "sound/streams/StreamLocks.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_hooks.h"
#include "sound/core/hvsound_sample.h"
#include "sound/core/system_file.h"
#include "sound/core/system_memory.h"
#include "sound/formats/format_oggvorbis.h"
#include "sound/formats/format_wav.h"
#include "sound/mixer/sound_software.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kCompressed =
    HVSOUND_MODE_COMPRESSED_A | HVSOUND_MODE_COMPRESSED_B | HVSOUND_MODE_COMPRESSED_C;
// A file name may come as a URL of the local file system.
constexpr char kFileScheme[] = "file://";
constexpr int kFileSchemeLength = 7;
// Converted (compressed) WAV data is read in whole blocks of at least this
// many bytes.
constexpr int kConvertedSourceMinimum = 2048;
// No codec decodes to more than 16 times its input (4-bit ADPCM gives 4);
// a larger claim comes from a damaged format and would only waste memory.
constexpr int kMaxExpansion = 16;
// Buffers for downmixing a stereo source that has none of its own.
constexpr int kDownmixSourceBytes = 4096;
constexpr int kDownmixDecodeBytes = 40960;
constexpr int kRawRate = 44100;
constexpr char kStreamSampleName[] = "Streamer Sample";

HVSOUND_STATE& state()
{
    return *HVSOUND_GetState();
}

bool isStereo(uint32_t mode)
{
    return (mode & HVSOUND_MODE_STEREO) != 0;
}

bool isSixteenBit(uint32_t mode)
{
    return (mode & HVSOUND_MODE_16BITS) != 0;
}

// The mixer's block length, which the stream thread may set on an engine
// without software channels.
int mixerBlockLength()
{
    StreamLocks lock(StreamLocks::Stream);
    int block = state().mixer.blockLength;
    return block > 0 ? block : 256;
}

bool closeWav(void* codec)
{
    return HVSOUND_WAV_Close(static_cast<HVSOUND_WAV_CODEC*>(codec));
}

bool closeVorbis(void* codec)
{
    return HVSOUND_Vorbis_Close(static_cast<HVSOUND_VORBIS_CODEC*>(codec));
}

void resetMpeg(void* codec)
{
    HVSOUND_MPEG_ResetDecoder(static_cast<HVSOUND_MPEG_DECODER*>(codec));
}

bool closeMpeg(void* codec)
{
    return HVSOUND_MPEG_FreeDecoder(static_cast<HVSOUND_MPEG_DECODER*>(codec));
}

// What the reader that accepted a file tells about it.
struct Opened {
    uint32_t mode = 0;
    int rate = 0;
    int dataLength = 0;
    int pcmLength = 0;   // bytes
    int pcmSamples = -1; // the Ogg reader counts samples instead
    void* codec = nullptr;
    int sourceSize = 0;
    int decodeSize = 0;
    int blockAlign = 1;
    int dataOffset = 0;
    int lengthMs = -1;
    int loop[2] = {0, 0};
    HVSOUND_WAV_CueList cues;
    HVSOUND_MPEG_FRAMETABLE frames = {0, 0, nullptr};
    HVSOUND_STREAM_READCALLBACK read = nullptr;
    HVSOUND_STREAM_RESETCALLBACK reset = nullptr;
    HVSOUND_STREAM_CLOSECALLBACK close = nullptr;
    int bufferBytes = 0; // set by the reader for the block-compressed format
};

void closeCodec(Opened& o)
{
    if (o.close && o.codec)
        o.close(o.codec);
    o.codec = nullptr;
    HVSOUND_MPEG_FreeFrameTable(&o.frames);
}

bool openRaw(HVSOUND_FILE* file, Opened& o)
{
    HVSOUND_File_Seek(file, 0, SEEK_END);
    o.dataLength = HVSOUND_File_Tell(file);
    HVSOUND_File_Seek(file, 0, SEEK_SET);
    o.pcmLength = o.dataLength;
    o.dataOffset = 0;
    o.read = HVSOUND_PCM_ReadCallback;
    o.rate = kRawRate;
    o.blockAlign = (isSixteenBit(o.mode) ? 2 : 1) * (isStereo(o.mode) ? 2 : 1);
    return true;
}

bool openWav(HVSOUND_FILE* file, Opened& o)
{
    uint32_t mode = o.mode;
    HVSOUND_WAV_CODEC* codec = nullptr;
    if (!HVSOUND_WAV_Open(file, &mode, &o.rate, &o.dataLength, &o.pcmLength, &codec, &o.blockAlign, &o.dataOffset,
                          o.loop, &o.cues))
        return false;
    o.mode = mode;
    o.codec = codec;
    o.read = HVSOUND_PCM_ReadCallback;
    o.close = closeWav;
    if (codec->acm) {
        // Converted data is read in whole source blocks; a block align of 0
        // would never reach the minimum.
        if (o.blockAlign <= 0) {
            closeCodec(o);
            HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
            return false;
        }
        o.sourceSize = o.blockAlign;
        while (o.sourceSize < kConvertedSourceMinimum)
            o.sourceSize *= 2;
        int64_t perSource = o.dataLength > 0 ? int64_t(o.sourceSize) * o.pcmLength / o.dataLength : 0;
        o.decodeSize = int(std::min<int64_t>((perSource + 1) * 3 / 2, int64_t(o.sourceSize) * kMaxExpansion));
    }
    if ((mode & HVSOUND_MODE_COMPRESSED_A) && o.blockAlign > 0) {
        int64_t bytes = int64_t(HVSOUND_STREAM_BUFFER_MS) * o.rate / 1000 * 36 / 64 / o.blockAlign * o.blockAlign;
        o.bufferBytes = int(bytes) * (isStereo(mode) ? 2 : 1);
    }
    return true;
}

bool openVorbis(HVSOUND_FILE* file, Opened& o)
{
    uint32_t mode = o.mode;
    HVSOUND_VORBIS_CODEC* codec = nullptr;
    if (!HVSOUND_Vorbis_Open(file, &mode, &o.rate, &o.dataLength, &o.pcmSamples, &codec, &o.sourceSize,
                             &o.dataOffset, &o.lengthMs))
        return false;
    o.mode = mode;
    o.codec = codec;
    o.blockAlign = isStereo(mode) ? 4 : 2;
    o.read = HVSOUND_Vorbis_ReadCallback;
    o.close = closeVorbis;
    return true;
}

bool openMpeg(HVSOUND_FILE* file, Opened& o)
{
    uint32_t mode = o.mode;
    HVSOUND_MPEG_DECODER* decoder = nullptr;
    if (!HVSOUND_MPEG_Open(file, &mode, &o.rate, &o.dataLength, &o.pcmLength, &decoder, &o.sourceSize,
                           &o.dataOffset, &o.lengthMs, &o.frames, o.loop, &o.cues)) {
        // An exact scan that ran out of memory leaves part of a table.
        HVSOUND_MPEG_FreeFrameTable(&o.frames);
        return false;
    }
    o.mode = mode;
    o.codec = decoder;
    o.read = HVSOUND_MPEG_ReadCallback;
    o.reset = resetMpeg;
    o.close = closeMpeg;
    // A frame at a time: its compressed bytes, and its PCM.
    o.sourceSize = HVSOUND_MPEG_SOURCE_SIZE;
    o.decodeSize = HVSOUND_MPEG_MAX_FRAME_PCM;
    // Frame-table offsets are exact bytes.
    o.blockAlign = 1;
    return true;
}

// Tries the readers in turn; none: error 10.
bool probe(HVSOUND_FILE* file, Opened& o)
{
    if (o.mode & HVSOUND_MODE_LOADRAW)
        return openRaw(file, o);
    for (auto reader : {openWav, openVorbis, openMpeg}) {
        HVSOUND_File_Seek(file, 0, SEEK_SET);
        if (reader(file, o))
            return true;
    }
    HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
    return false;
}

HVSOUND_FILE* openFile(const void* nameOrData, uint32_t mode, int offset, int length, const char** fileName)
{
    *fileName = nullptr;
    if (mode & HVSOUND_MODE_LOADMEMORY)
        return HVSOUND_File_OpenWindow(nameOrData, HVSOUND_FILE_KIND_MEMORY, offset, length);
    const char* name = static_cast<const char*>(nameOrData);
    if (HVSOUND_String_CompareNoCaseN(name, kFileScheme, kFileSchemeLength) == 0)
        name += kFileSchemeLength;
    *fileName = name;
    uint32_t kind = HVSOUND_File_HasUserCallbacks() ? HVSOUND_FILE_KIND_USER : HVSOUND_FILE_KIND_BUFFERED;
    return HVSOUND_File_OpenWindow(name, kind, offset, length);
}

uint32_t normaliseOpenMode(uint32_t mode)
{
    if (mode & HVSOUND_MODE_2D)
        mode &= ~HVSOUND_MODE_HW3D;
    if (mode & HVSOUND_MODE_16BITS)
        mode &= ~HVSOUND_MODE_8BITS;
    if (mode & HVSOUND_MODE_STEREO)
        mode &= ~(HVSOUND_MODE_MULTICHANNEL | HVSOUND_MODE_MONO);
    return mode;
}

void unlinkStream(HVSOUND_STREAM* stream)
{
    StreamLocks lock(StreamLocks::Both);
    if (!stream->next)
        return;
    stream->prev->next = stream->next;
    stream->next->prev = stream->prev;
    stream->next = stream->prev = nullptr;
}

// Frees everything a stream owns but the record itself.
void releaseResources(HVSOUND_STREAM* stream)
{
    if (stream->closeCallback && stream->codecState)
        stream->closeCallback(stream->codecState);
    stream->codecState = nullptr;
    HVSOUND_File_Close(stream->file);
    stream->file = nullptr;
    HVSOUND_MPEG_FreeFrameTable(&stream->frameTable);
    HVSOUND_Stream_SyncList_Free(&stream->syncList);
    HVSOUND_FREE(stream->subStreams);
    stream->subStreams = nullptr;
    stream->subStreamCount = stream->subStreamCurrent = 0;
    if (stream->sample)
        HVSOUND_Sample_Free(stream->sample);
    stream->sample = nullptr;
    HVSOUND_FREE(stream->sourceBuffer);
    HVSOUND_FREE(stream->decodeBuffer);
    HVSOUND_FREE(stream->fillBuffer);
    stream->fillBuffer = nullptr;
    HVSOUND_FREE(stream->history.entries);
    HVSOUND_FREE(stream->timeStamps.entries);
    stream->sourceBuffer = stream->decodeBuffer = nullptr;
    stream->history.entries = stream->timeStamps.entries = nullptr;
}

HVSOUND_STREAM* newRecord()
{
    void* memory = HVSOUND_CALLOC(int(sizeof(HVSOUND_STREAM)));
    if (!memory) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return nullptr;
    }
    return new (memory) HVSOUND_STREAM{};
}

void freeRecord(HVSOUND_STREAM* stream)
{
    stream->~HVSOUND_STREAM();
    HVSOUND_FREE(stream);
}

// One holder of a closed stream lets go of it; the last frees its resources
// and its record.
void letGoClosed(void* record)
{
    auto* stream = static_cast<HVSOUND_STREAM*>(record);
    if (stream->holds.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    releaseResources(stream);
    freeRecord(stream);
}

// A failed open leaves nothing behind: the record is unlinked and emptied,
// and freed unless the caller gave it (a non-blocking open keeps it to mark
// it failed).
HVSOUND_STREAM* abandon(HVSOUND_STREAM* stream, bool ownRecord, int error)
{
    unlinkStream(stream);
    releaseResources(stream);
    if (ownRecord)
        freeRecord(stream);
    HVSOUND_SetError(error);
    return nullptr;
}

bool allocRing(HVSOUND_POSITIONRING& ring, int count, int blockLength)
{
    ring.count = count;
    ring.blockLength = blockLength;
    ring.writeIndex = 0;
    ring.remainder = 0;
    ring.entries = static_cast<HVSOUND_STREAMPOSITION*>(HVSOUND_CALLOC(int(sizeof(HVSOUND_STREAMPOSITION)) * count));
    return ring.entries != nullptr;
}

// Moves the reader's cue points into the stream's sync list.
bool addSyncPoints(HVSOUND_STREAM* stream, const HVSOUND_WAV_CueList& cues)
{
    for (const HVSOUND_WAV_CuePoint& cue : cues) {
        HVSOUND_SYNCPOINT* point = HVSOUND_Stream_SyncPoint_Add(&stream->syncList, cue.offset, cue.name);
        if (!point)
            return false;
        point->cueId = cue.cueId;
    }
    return true;
}

bool isSoftwareSample(const HVSOUND_SAMPLE* sample)
{
    return !(sample->mode & (HVSOUND_MODE_HW3D | HVSOUND_MODE_HW2D));
}

// True while the stream's channel handle still names a channel playing the
// stream's sample. The look is one step under the mixer lock, under which
// every start and stop changes a channel: a start on the channel by another
// thread between the look and the question would give up the device's voice
// that the question asks (a hardware channel's buffer, gone once released).
bool channelPlaysStream(HVSOUND_STREAM* stream)
{
    HVSOUND_MixerLockScope lock;
    HVSOUND_CHANNEL* c = HVSOUND_Stream_Channel(stream);
    return c && c->currentSample == stream->sample && c->functions.isPlaying(c);
}

void setChannel(HVSOUND_STREAM* stream, int handle)
{
    // A channel's handle is made under the mixer lock (by any thread's start
    // or stop, and by the music player's notes on the mixer thread), so it
    // is compared under it; the mixer lock comes before the list lock.
    HVSOUND_MixerLockScope mixerLock;
    if (void (*hook)() = HVSOUND_Stream_HandleHook.load())
        hook();
    HVSOUND_CHANNEL* record = handle == -1 ? nullptr : HVSOUND_Channel_Find(handle);
    StreamLocks lock(StreamLocks::List);
    stream->channel = record ? handle : -1;
    stream->channelRecord = record;
}

// Inside a mix cycle on the mixer thread (a unit's callback, under the mixer
// lock) a call that takes the stream lock would wait for the stream thread's
// pass, which waits for the mixer lock: it is refused with error 14.
// Update-driven, the cycle runs on the caller's thread, where no pass can
// hold the stream lock, and the call goes ahead.
bool refusedInMixCycle()
{
    if (!HVSOUND_DSP_InMixCycle() || !HVSOUND_Thread_IsEngineThread())
        return false;
    HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
    return true;
}

HVSOUND_STREAM* queueOpen(const void* nameOrData, uint32_t mode, int offset, int length)
{
    if (!HVSOUND_Async_StartThread())
        return nullptr;
    HVSOUND_STREAM* stream = newRecord();
    if (!stream)
        return nullptr;
    HVSOUND_Stream_SyncList_Init(&stream->syncList);
    stream->queueEntry.next = stream->queueEntry.prev = &stream->queueEntry;
    stream->queueEntry.object = stream;
    stream->queueEntry.type = 0;
    if (mode & HVSOUND_MODE_LOADMEMORY) {
        stream->memory = nameOrData;
    } else if (nameOrData) {
        HVSOUND_String_CopyN(stream->name, static_cast<const char*>(nameOrData), HVSOUND_STREAM_NAME_BYTES - 1);
        stream->name[HVSOUND_STREAM_NAME_BYTES - 1] = '\0';
    }
    stream->flags = HVSOUND_STREAM_OPEN_PENDING;
    stream->subStreamIndex = -1;
    stream->channel = -1;
    stream->openOffset = offset;
    stream->openLength = length;
    stream->mode = mode;
    HVSOUND_Async_Append(&stream->queueEntry);
    return stream;
}

} // namespace

int HVSOUND_Stream_BytesToSamples(int bytes, uint32_t mode, int channels)
{
    int64_t samples = bytes;
    if (mode & HVSOUND_MODE_COMPRESSED_B)
        samples = samples * 28 / 16;
    else if (mode & HVSOUND_MODE_COMPRESSED_A)
        samples = samples * 64 / 36;
    else if (mode & HVSOUND_MODE_COMPRESSED_C)
        samples = samples * 14 / 8;
    else if (mode & HVSOUND_MODE_16BITS)
        samples /= 2;
    if (mode & HVSOUND_MODE_STEREO)
        samples /= 2;
    else if ((mode & HVSOUND_MODE_MULTICHANNEL) && channels > 0)
        samples /= channels;
    return int(samples);
}

int HVSOUND_Stream_SamplesToBytes(int samples, uint32_t mode, int channels)
{
    int64_t bytes = samples;
    if (mode & HVSOUND_MODE_COMPRESSED_B)
        bytes = bytes * 16 / 28;
    else if (mode & HVSOUND_MODE_COMPRESSED_A)
        bytes = bytes * 36 / 64;
    else if (mode & HVSOUND_MODE_COMPRESSED_C)
        bytes = ((bytes / 14) * 16 + bytes % 14) / 2;
    else if (mode & HVSOUND_MODE_16BITS)
        bytes *= 2;
    if (mode & HVSOUND_MODE_STEREO)
        bytes *= 2;
    else if ((mode & HVSOUND_MODE_MULTICHANNEL) && channels > 0)
        bytes *= channels;
    return int(bytes);
}

HVSOUND_STREAM* HVSOUND_Stream_Open(const void* nameOrData, uint32_t mode, int offset, int length)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!state().initialised) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return nullptr;
    }
    if (mode & HVSOUND_MODE_NONBLOCKING)
        return queueOpen(nameOrData, mode, offset, length);
    if (refusedInMixCycle())
        return nullptr;
    HVSOUND_STREAM* stream = HVSOUND_Stream_OpenCore(nullptr, nameOrData, mode, offset, length);
    if (stream)
        stream->ready = true;
    return stream;
}

HVSOUND_STREAM* HVSOUND_Stream_OpenCore(HVSOUND_STREAM* record, const void* nameOrData, uint32_t mode, int offset,
                                        int length)
{
    HVSOUND_LoadUnderWay load;
    // 1, 2, 3: the mode, the file and its window.
    mode = normaliseOpenMode(mode);
    if (!nameOrData) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return nullptr;
    }
    const char* fileName = nullptr;
    HVSOUND_FILE* file = openFile(nameOrData, mode, offset, length, &fileName);
    if (!file)
        return nullptr;

    // 4. The reader.
    Opened o;
    o.mode = mode;
    if (!probe(file, o)) {
        int error = HVSOUND_GetError();
        HVSOUND_File_Close(file);
        HVSOUND_SetError(error == HVSOUND_ERR_MEMORY ? error : HVSOUND_ERR_FILE_FORMAT);
        return nullptr;
    }
    mode = o.mode;
    // A rate beyond what any channel can play only comes from damaged data;
    // it would also size the 400 ms buffer beyond reason.
    if (!HVSOUND_Sample_IsPlayableRate(o.rate)) {
        closeCodec(o);
        HVSOUND_File_Close(file);
        HVSOUND_SetError(HVSOUND_ERR_FILE_BAD);
        return nullptr;
    }

    // 5. Stereo under 3D needs a downmix, which the block-compressed
    // formats cannot have.
    auto refuse = [&](int error) -> HVSOUND_STREAM* {
        closeCodec(o);
        HVSOUND_File_Close(file);
        HVSOUND_SetError(error);
        return nullptr;
    };
    bool downmix = false;
    if (mode & HVSOUND_MODE_MONO)
        mode &= ~HVSOUND_MODE_FORCEMONO;
    if ((mode & HVSOUND_MODE_HW3D) && isStereo(mode) && !(mode & HVSOUND_MODE_FORCEMONO))
        return refuse(HVSOUND_ERR_INVALID_PARAM);
    if ((mode & HVSOUND_MODE_FORCEMONO) && isStereo(mode)) {
        if (mode & kCompressed)
            return refuse(HVSOUND_ERR_INVALID_PARAM);
        if (o.sourceSize == 0) {
            o.sourceSize = kDownmixSourceBytes;
            o.decodeSize = kDownmixDecodeBytes;
            o.blockAlign = isSixteenBit(mode) ? 4 : 2;
        }
        downmix = true;
        mode = (mode & ~HVSOUND_MODE_STEREO) | HVSOUND_MODE_MONO;
    }

    // 6. One half of the double buffer holds 400 ms in whole mixer blocks.
    int block = mixerBlockLength();
    int rate = std::max(1, o.rate);
    int bufferBytes = o.bufferBytes;
    if (bufferBytes <= 0) {
        int samples = int(int64_t(HVSOUND_STREAM_BUFFER_MS) * rate / 1000);
        samples = samples < block ? block : samples / block * block;
        bufferBytes = samples * (isSixteenBit(mode) ? 2 : 1) * (isStereo(mode) ? 2 : 1);
    }
    int channels = isStereo(mode) ? 2 : (mode & HVSOUND_MODE_MONO) ? 1 : 0;

    // 7. The record and its sample.
    bool ownRecord = record == nullptr;
    HVSOUND_STREAM* stream =
        HVSOUND_Stream_Create(record, HVSOUND_Stream_FileFill, bufferBytes, mode, rate, nullptr, channels);
    if (!stream)
        return refuse(HVSOUND_ERR_MEMORY);
    stream->file = file;
    stream->codecState = o.codec;
    stream->closeCallback = o.close;
    stream->frameTable = o.frames;
    o.codec = nullptr;
    o.frames = {0, 0, nullptr};

    // 8. Position history, and for a software sample the time stamps of the
    // output ring; 10. the sync points. The record is listed already, so the
    // sync pass may look at it: they are made under the list lock.
    bool made;
    {
        StreamLocks lock(StreamLocks::List);
        int historyCount = stream->sample->length / block;
        int ringCount = state().mixBufferLength / block;
        made = allocRing(stream->history, std::max(1, historyCount), block) &&
               (!isSoftwareSample(stream->sample) || ringCount <= 0 ||
                allocRing(stream->timeStamps, ringCount, block)) &&
               addSyncPoints(stream, o.cues);
    }
    if (!made)
        return abandon(stream, ownRecord, HVSOUND_ERR_MEMORY);

    // 9. The sample is named after the file.
    HVSOUND_String_CopyN(stream->sample->name, fileName ? fileName : "", HVSOUND_SAMPLE_NAME_BYTES - 1);
    stream->sample->name[HVSOUND_SAMPLE_NAME_BYTES - 1] = '\0';

    // 10. The record.
    stream->dataLength = o.dataLength;
    stream->dataOffset = o.dataOffset;
    stream->lengthMs = o.lengthMs;
    stream->blockAlign = o.blockAlign > 0 ? o.blockAlign : 1;
    stream->readCallback = o.read;
    stream->resetCallback = o.reset;
    stream->position = 0;
    stream->loopStart = uint32_t(o.loop[0]);
    stream->loopEnd = uint32_t(o.loop[1]);
    stream->skip = 0;
    if (o.sourceSize > 0) {
        stream->sourceBuffer = static_cast<uint8_t*>(HVSOUND_CALLOC(o.sourceSize));
        stream->sourceSize = o.sourceSize;
    }
    if (o.decodeSize > 0) {
        stream->decodeBuffer = static_cast<uint8_t*>(HVSOUND_ALLOC(o.decodeSize));
        stream->decodeSize = o.decodeSize;
    }
    if ((o.sourceSize > 0 && !stream->sourceBuffer) || (o.decodeSize > 0 && !stream->decodeBuffer))
        return abandon(stream, ownRecord, HVSOUND_ERR_MEMORY);

    // 11. Lengths.
    if (o.pcmSamples >= 0) {
        stream->lengthSamples = o.pcmSamples;
    } else {
        int64_t samples = o.pcmLength;
        if (isSixteenBit(mode) || (mode & kCompressed))
            samples /= 2;
        if (isStereo(mode) || downmix)
            samples /= 2;
        else if ((mode & HVSOUND_MODE_MULTICHANNEL) && channels > 0)
            samples /= channels;
        stream->lengthSamples = int(samples);
    }
    if (stream->lengthMs < 0)
        stream->lengthMs = int((int64_t(stream->lengthSamples) * 1000 + 999) / rate);

    // 12. From the start, with the buffer filled.
    StreamLocks lock(StreamLocks::Stream);
    HVSOUND_Stream_SetPositionCore(stream, 0, true, false);
    stream->seeking = false;
    stream->rewind = false;
    stream->prefillNeeded = false;
    return stream;
}

HVSOUND_STREAM* HVSOUND_Stream_Create(HVSOUND_STREAM* record, HVSOUND_STREAM_FILLPROC fill, int bytes,
                                      uint32_t mode, int rate, void* fillUserData, int channels)
{
    HVSOUND_STREAM* stream = record ? record : newRecord();
    if (!stream)
        return nullptr;
    HVSOUND_SAMPLE* sample = HVSOUND_Sample_AllocChannels(
        HVSOUND_SAMPLE_INTERNAL, HVSOUND_Stream_BytesToSamples(bytes, mode, channels) * 2, mode, std::max(1, rate),
        255, isStereo(mode) ? -1 : 128, 255, channels);
    if (!sample) {
        // A caller's record is left as it was: a non-blocking open marks it
        // failed itself, once it has read from it all it needs, since its
        // owner may close and free it at that mark.
        if (!record)
            freeRecord(stream);
        return nullptr;
    }
    // Zeroed, so that nothing of the heap reaches the buffer through a fill
    // that writes less than it is asked for.
    int halfBytes = HVSOUND_Stream_SamplesToBytes(sample->length / 2, mode, sample->channels);
    auto* fillBuffer = static_cast<uint8_t*>(HVSOUND_CALLOC(std::max(1, halfBytes)));
    if (!fillBuffer) {
        HVSOUND_Sample_Free(sample);
        if (!record)
            freeRecord(stream);
        return nullptr;
    }
    HVSOUND_String_Copy(sample->name, kStreamSampleName);
    HVSOUND_Sample_SetMode(sample, (sample->mode & ~uint32_t(HVSOUND_MODE_LOOP_OFF | HVSOUND_MODE_LOOP_BIDI)) |
                                       HVSOUND_MODE_LOOP_NORMAL);
    if (sample->length > 1)
        HVSOUND_Sample_SetLoopPoints(sample, 0, sample->length - 1);

    stream->sample = sample;
    stream->fillBuffer = fillBuffer;
    stream->fillProcedure = fill;
    stream->mode = mode;
    stream->channel = -1;
    stream->channelRecord = nullptr;
    stream->countdown = -1;
    stream->loopCount = -1;
    stream->loopsLeft = -1;
    stream->blockAlign = 4;
    stream->fillUserData = fillUserData;
    stream->prefillNeeded = true;
    stream->subStreamIndex = -1;
    HVSOUND_Stream_SyncList_Init(&stream->syncList);

    StreamLocks lock(StreamLocks::Both);
    HVSOUND_STREAM* head = HVSOUND_Stream_ListHead();
    stream->next = head;
    stream->prev = head->prev;
    head->prev->next = stream;
    head->prev = stream;
    return stream;
}

int HVSOUND_Stream_Play(int channel, HVSOUND_STREAM* stream)
{
    return HVSOUND_Stream_PlayEx(channel, stream, nullptr, false);
}

std::atomic<void (*)()> HVSOUND_Stream_ReplayHook{nullptr};
std::atomic<void (*)()> HVSOUND_Stream_HandleHook{nullptr};

int HVSOUND_Stream_PlayEx(int channel, HVSOUND_STREAM* stream, HVSOUND_DSPUNIT* unit, bool paused)
{
    HVSOUND_ClearErrorOnInitThread();
    // Every failure answers -1: 0 would be a valid channel index.
    if (!stream) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return -1;
    }
    if (stream->closing || refusedInMixCycle())
        return -1;
    if (!state().initialised || !HVSOUND_Stream_LayerRunning()) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return -1;
    }
    if (!stream->ready) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return -1;
    }
    if (unit && !HVSOUND_DSP_Exists(unit)) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return -1;
    }

    // A seek on another thread (a sync callback's) refills the buffer under
    // the stream lock; only a play made from inside that refill, or from
    // inside the stream's fill, finds it under way.
    StreamLocks lock(StreamLocks::Stream);
    if (stream->closing)
        return -1;
    if (stream->busy > 0) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return -1;
    }
    if (stream->playing) {
        if (!channelPlaysStream(stream)) {
            // The stream's channel lost its sound: play it there again, unless
            // another sound has taken that channel meanwhile. The look and
            // the play are one step under the mixer lock, under which every
            // start takes a channel: a sound started between them (on
            // another thread, or a note of the mixer thread's songs) would
            // be cut off by a play on that channel.
            int handle;
            {
                HVSOUND_MixerLockScope mixerLock;
                int target = HVSOUND_FREE;
                if (stream->channel != -1) {
                    int index = stream->channel & HVSOUND_CHANNEL_INDEX_MASK;
                    HVSOUND_CHANNEL* c = index < state().totalChannels ? &state().channels[index] : nullptr;
                    if (c && !c->functions.isPlaying(c))
                        target = index;
                }
                if (void (*hook)() = HVSOUND_Stream_ReplayHook.load())
                    hook();
                handle = HVSOUND_PlaySound(target, stream->sample);
            }
            setChannel(stream, handle);
        }
        return stream->channel;
    }

    stream->fillTime = 0.0f;
    stream->ended = false;
    {
        StreamLocks listLock(StreamLocks::List);
        stream->playing = true;
    }
    stream->loopsLeft = stream->loopCount;
    if (stream->prefillNeeded)
        HVSOUND_Stream_Prefill(stream);
    if (stream->rewind)
        HVSOUND_Stream_SetPositionCore(stream, 0, false, false);

    int channels[HVSOUND_MAX_SUBCHANNELS];
    std::fill(std::begin(channels), std::end(channels), -1);
    channels[0] = channel;
    int count = (stream->sample->mode & HVSOUND_MODE_MULTICHANNEL) ? stream->sample->channels : 1;
    int handle = HVSOUND_PlaySoundEx(channels, count, stream->sample, unit, true);
    if (handle == -1) {
        HVSOUND_Stream_StopCore(stream, false);
        HVSOUND_SetError(HVSOUND_ERR_PLAY);
        return -1;
    }
    setChannel(stream, handle);
    HVSOUND_SetPaused(handle, paused);
    stream->rewind = true;
    return handle;
}

bool HVSOUND_Stream_Stop(HVSOUND_STREAM* stream)
{
    HVSOUND_ClearErrorOnInitThread();
    return !refusedInMixCycle() && HVSOUND_Stream_StopCore(stream, false);
}

bool HVSOUND_Stream_StopCore(HVSOUND_STREAM* stream, bool callEnd)
{
    if (!stream || !stream->ready) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    if (!state().initialised) {
        HVSOUND_SetError(HVSOUND_ERR_UNINITIALISED);
        return false;
    }
    bool wasPlaying;
    {
        StreamLocks lock(StreamLocks::Stream);
        uint32_t stoppedAt = stream->stoppedAt;
        if (channelPlaysStream(stream)) {
            stoppedAt = uint32_t(HVSOUND_GetCurrentPosition(stream->channel));
            HVSOUND_StopSound(stream->channel);
        }
        StreamLocks listLock(StreamLocks::List);
        stream->stoppedAt = stoppedAt;
        stream->fillTime = 0.0f;
        wasPlaying = stream->playing;
        stream->playing = false;
        stream->decodeLeft = 0;
        stream->decodeOffset = 0;
        stream->channel = -1;
        stream->channelRecord = nullptr;
        stream->rewind = true;
        stream->countdown = -1;
    }
    if (wasPlaying && callEnd && stream->endCallback)
        stream->endCallback(stream, nullptr, 0, stream->endUserData);
    return true;
}

bool HVSOUND_Stream_Close(HVSOUND_STREAM* stream)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!stream || !(stream->ready || stream->openFailed)) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    // Already closing: the close under way goes on, wherever this is asked.
    if (stream->closing)
        return true;
    if (refusedInMixCycle())
        return false;
    // The refill work runs under the stream lock, and so does the pass:
    // found under way here, they run on this thread, and the caller is one
    // of their callbacks.
    StreamLocks lock(StreamLocks::Stream);
    if (stream->closing)
        return true;
    if (stream->busy > 0) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    stream->closing = true;
    if (stream->ready && state().initialised)
        HVSOUND_Stream_StopCore(stream, false);
    // The pass at this stream reads the next from it once the callback has
    // returned: it unlinks the stream itself then.
    bool passHolds = HVSOUND_Stream_PassAt() == stream;
    if (!passHolds)
        unlinkStream(stream);
    stream->endCallback = nullptr;
    stream->endUserData = nullptr;
    if (channelPlaysStream(stream))
        HVSOUND_StopSound(stream->channel);
    // The close, the pass and a sync callback of the stream that the mixer
    // thread calls now each have the record until they let go of it.
    stream->passHolds = passHolds;
    stream->holds.store(passHolds ? 3 : 2, std::memory_order_relaxed);
    if (HVSOUND_DSP_ForgetCalls(stream, letGoClosed))
        letGoClosed(stream);
    letGoClosed(stream);
    return true;
}

void HVSOUND_Stream_PassLeft(HVSOUND_STREAM* stream)
{
    unlinkStream(stream);
    letGoClosed(stream);
}

bool HVSOUND_Stream_SetMode(HVSOUND_STREAM* stream, uint32_t mode)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!stream || !stream->ready || !stream->sample || refusedInMixCycle()) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    StreamLocks lock(StreamLocks::Stream);
    if (mode & HVSOUND_MODE_LOOP_ANY) {
        // Bidirectional looping cannot be decoded: it loops normally.
        uint32_t loop = (mode & (HVSOUND_MODE_LOOP_NORMAL | HVSOUND_MODE_LOOP_BIDI)) ? HVSOUND_MODE_LOOP_NORMAL : 0u;
        loop |= mode & HVSOUND_MODE_LOOP_OFF;
        stream->mode = (stream->mode & ~HVSOUND_MODE_LOOP_ANY) | loop;
    }
    if ((mode & HVSOUND_MODE_2D) && !(mode & HVSOUND_MODE_HW3D))
        stream->sample->mode |= HVSOUND_MODE_2D;
    return true;
}

HVSOUND_SAMPLE* HVSOUND_Stream_GetSample(HVSOUND_STREAM* stream)
{
    HVSOUND_ClearErrorOnInitThread();
    if (!stream || !stream->ready) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return nullptr;
    }
    return stream->sample;
}

bool HVSOUND_Stream_SetPositionCore(HVSOUND_STREAM* stream, uint32_t byteOffset, bool force, bool noPrefill)
{
    if (!stream || (!stream->ready && !force) || int64_t(byteOffset) >= int64_t(stream->dataLength) ||
        refusedInMixCycle()) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    // The stream lock keeps the stream thread's pass out, so the buffer can
    // be refilled here. A seek from inside the stream's own refill work (its
    // fill, a file callback of a seek) would refill the buffer under it.
    StreamLocks lock(StreamLocks::Stream);
    if (stream->busy > 0 || stream->closing) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return false;
    }
    HVSOUND_StreamBusy busy(stream);
    bool playsNow = channelPlaysStream(stream);
    int handle = stream->channel;
    bool wasPaused = false;
    if (!noPrefill) {
        if (playsNow) {
            wasPaused = HVSOUND_GetPaused(handle);
            HVSOUND_SetPaused(handle, true);
        }
        stream->seeking = true;
    }
    HVSOUND_Stream_Seek(stream, HVSOUND_STREAM_SEEK_BYTES, byteOffset, !noPrefill);
    if (!noPrefill) {
        HVSOUND_Stream_Prefill(stream);
        stream->seeking = false;
        // A file callback of the seek may have stopped the stream.
        if (playsNow && stream->channel == handle)
            HVSOUND_SetPaused(handle, wasPaused);
        stream->rewind = false;
    }
    return true;
}

bool HVSOUND_PCM_ReadCallback(HVSOUND_STREAM* stream, void* sourceBuffer, int sourceSize, void* destination,
                              int* length)
{
    HVSOUND_WAV_ReadSource source{stream->file, static_cast<HVSOUND_WAV_CODEC*>(stream->codecState),
                                  stream->dataOffset, stream->dataLength, isSixteenBit(stream->mode)};
    return HVSOUND_PCM_Read(source, sourceBuffer, sourceSize, destination, length);
}
