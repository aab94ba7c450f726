// hvsound_stream_refill.cpp: keeping a stream's double buffer supplied:
// seeking, the prefill, filling one half from the decoder (decode buffer,
// skip, downmix, looping, the end countdown), the position history and the
// position being played.
#include "sound/streams/StreamLocks.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_channel.h"
#include "sound/core/hvsound_hooks.h"
#include "sound/core/hvsound_sample.h"
#include "sound/core/system_file.h"
#include "sound/formats/format_oggvorbis.h"
#include "sound/mixer/sound_software.h"

#include <algorithm>
#include <cstring>

namespace {

// A decoder that keeps delivering nothing while claiming more data, and
// reads nothing of its file meanwhile, makes no progress: after this many
// such calls in a row its data counts as ended, so a fill cannot spin. A
// call that consumes data is progress even when it delivers nothing (a
// damaged stretch being crossed); the data's end stops those.
constexpr int kMaxIdleReads = 16;
// MPEG decoding restarts this many frames before a seek target, because a
// frame needs the bit reservoir and overlap of the frames before it.
constexpr int kMpegPrerollFrames = 2;

HVSOUND_STATE& refillState()
{
    return *HVSOUND_GetState();
}

bool isVorbis(const HVSOUND_STREAM* stream)
{
    return stream->readCallback == HVSOUND_Vorbis_ReadCallback;
}

bool isMpeg(const HVSOUND_STREAM* stream)
{
    return stream->readCallback == HVSOUND_MPEG_ReadCallback;
}

// The stream's data can no longer be read: the file failed, or the Ogg
// decoder reported a fault (after which it must not be seeked to loop).
bool refillReadFailed(const HVSOUND_STREAM* stream)
{
    if (stream->file && stream->file->lastReadFailed)
        return true;
    return isVorbis(stream) && HVSOUND_Vorbis_Failed(static_cast<const HVSOUND_VORBIS_CODEC*>(stream->codecState));
}

int channelsOf(const HVSOUND_STREAM* stream)
{
    return stream->sample ? stream->sample->channels : 0;
}

int toSamples(const HVSOUND_STREAM* stream, int bytes)
{
    return HVSOUND_Stream_BytesToSamples(bytes, stream->mode, channelsOf(stream));
}

int toBytes(const HVSOUND_STREAM* stream, int samples)
{
    return HVSOUND_Stream_SamplesToBytes(samples, stream->mode, channelsOf(stream));
}

int64_t lengthMs(const HVSOUND_STREAM* stream)
{
    if (stream->lengthMs >= 0)
        return stream->lengthMs;
    int rate = std::max(1, stream->sample->frequency);
    return (int64_t(stream->lengthSamples) * 1000 + 999) / rate;
}

// Where the stream's file is read next (0 without a file).
int fileOffset(const HVSOUND_STREAM* stream)
{
    return stream->file ? HVSOUND_File_Tell(stream->file) : 0;
}

bool loops(const HVSOUND_STREAM* stream)
{
    return (stream->mode & (HVSOUND_MODE_LOOP_NORMAL | HVSOUND_MODE_LOOP_BIDI)) != 0;
}

bool hasLoopPoints(const HVSOUND_STREAM* stream)
{
    return stream->loopStart != 0 || stream->loopEnd != 0;
}

// Hands `bytes` bytes of sound (silence when `sound` is null) to the buffer
// at `offset` in one step: the lock, the copy and the unlock all under the
// mixer lock, under which the mixer reads the buffer (a mix cycle holds it
// throughout). The mixer so reads a half wholly as it was or wholly as it
// is now, whenever its sound was made, and never while the lock has taken
// away the guard its loop reads at the buffer's end.
bool handOver(HVSOUND_SAMPLE* sample, int offset, int bytes, const uint8_t* sound)
{
    HVSOUND_MixerLockScope lock;
    void* p[2] = {nullptr, nullptr};
    int len[2] = {0, 0};
    if (!HVSOUND_Sample_Lock(sample, offset, bytes, &p[0], &p[1], &len[0], &len[1]))
        return false;
    int done = 0;
    for (int r = 0; r < 2; ++r) {
        int n = std::min(len[r], bytes - done);
        if (!p[r] || n <= 0)
            continue;
        if (sound)
            std::memcpy(p[r], sound + done, size_t(n));
        else
            std::memset(p[r], 0, size_t(n));
        done += n;
    }
    HVSOUND_Sample_Unlock(sample, p[0], p[1], len[0], len[1]);
    return true;
}

void flipUnsigned(const HVSOUND_STREAM* stream, uint8_t* data, int bytes)
{
    if (!(stream->mode & HVSOUND_MODE_UNSIGNED))
        return;
    if (stream->mode & HVSOUND_MODE_16BITS) {
        for (int i = 1; i < bytes; i += 2)
            data[i] ^= 0x80; // the high byte of a little-endian value
    } else {
        for (int i = 0; i < bytes; ++i)
            data[i] ^= 0x80;
    }
}

// Decodes one read into the decode buffer (downmixed when asked); answers
// the decoder's "more data follows".
bool decodeIntoBuffer(HVSOUND_STREAM* stream)
{
    int length = stream->decodeSize;
    bool more = stream->readCallback(stream, stream->sourceBuffer, stream->sourceSize, stream->decodeBuffer, &length);
    length = std::max(0, std::min(length, stream->decodeSize));
    if (stream->mode & HVSOUND_MODE_FORCEMONO) {
        int frameBytes = (stream->mode & HVSOUND_MODE_16BITS) ? 4 : 2;
        int frames = length / frameBytes;
        HVSOUND_PCM_StereoToMono(stream->decodeBuffer, stream->decodeBuffer, frames, stream->mode);
        length = frames * frameBytes / 2;
    }
    stream->decodeLeft = length;
    stream->decodeOffset = 0;
    return more;
}

// Drops up to the pending skip from the decode buffer; answers the bytes
// dropped.
int consumeSkip(HVSOUND_STREAM* stream)
{
    int dropped = std::min(stream->skip, stream->decodeLeft);
    stream->skip -= dropped;
    stream->decodeLeft -= dropped;
    stream->decodeOffset += dropped;
    return dropped;
}

int copyFromBuffer(HVSOUND_STREAM* stream, uint8_t* destination, int take)
{
    int n = std::min(take, stream->decodeLeft);
    std::memcpy(destination, stream->decodeBuffer + stream->decodeOffset, size_t(n));
    stream->decodeLeft -= n;
    stream->decodeOffset = stream->decodeLeft > 0 ? stream->decodeOffset + n : 0;
    return n;
}

// The data has run out for good: the rest of the half is silence and the
// countdown to the moment the last sound is heard starts.
void startEnding(HVSOUND_STREAM* stream, uint8_t* rest, int written, int requested)
{
    std::memset(rest, 0, size_t(requested - written));
    HVSOUND_SAMPLE* sample = stream->sample;
    if (stream->mode & HVSOUND_MODE_COMPRESSED_B) {
        stream->countdown = 0;
        return;
    }
    int64_t rate = std::max(1, sample->frequency);
    int64_t bufferMs = (int64_t(sample->length) * 1000 + 999) / rate;
    int64_t half = bufferMs / 2;
    int64_t ms = int64_t(written) * half / std::max(1, requested);
    if (!stream->prefilling)
        ms += half;
    if (!(sample->mode & (HVSOUND_MODE_HW3D | HVSOUND_MODE_HW2D)))
        ms += std::max(0, refillState().bufferLengthMs);
    stream->countdown = int(std::min<int64_t>(ms * 256, 0x7FFFFFFF));
    HVSOUND_Stream_RecordPosition(stream, toSamples(stream, requested - written));
}

// The played position under the list lock (see GetPlayedSample).
uint32_t playedSample(HVSOUND_STREAM* stream, bool audible, int* generation)
{
    if (generation)
        *generation = stream->lastGeneration;
    const HVSOUND_POSITIONRING& ring = stream->timeStamps;
    if (audible && ring.entries && ring.count > 0) {
        // The oldest entry: what the output plays now was mixed a ring ago.
        const HVSOUND_STREAMPOSITION& e = ring.entries[ring.writeIndex];
        if (generation)
            *generation = int(e.generation);
        return e.position;
    }
    const HVSOUND_POSITIONRING& h = stream->history;
    int64_t p = stream->stoppedAt;
    if (stream->playing && stream->channelRecord)
        p = stream->channelRecord->functions.getPosition(stream->channelRecord);
    int64_t block = std::max(1, h.blockLength);
    int64_t i = p / block;
    if (!h.entries || i < 0 || i >= h.count)
        return 0;
    if (generation)
        *generation = int(h.entries[i].generation);
    return uint32_t(h.entries[i].position + (p - i * block));
}

} // namespace

bool HVSOUND_Stream_Seek(HVSOUND_STREAM* stream, int type, uint32_t value, bool moveCursor)
{
    int64_t length = lengthMs(stream);
    int64_t rate = std::max(1, stream->sample->frequency);
    int64_t dataBytes = stream->dataLength;
    int64_t byte;
    int64_t sample;
    switch (type) {
    case HVSOUND_STREAM_SEEK_BYTES:
        byte = value;
        sample = dataBytes > 0 ? length * value / dataBytes * rate / 1000 : 0;
        break;
    case HVSOUND_STREAM_SEEK_MS:
        sample = rate * value / 1000;
        byte = length > 0 ? dataBytes * value / length : 0;
        break;
    case HVSOUND_STREAM_SEEK_SAMPLES: {
        sample = value;
        int64_t ms = (int64_t(value) * 1000 + 999) / rate;
        byte = length > 0 ? dataBytes * ms / length : 0;
        break;
    }
    default:
        return false;
    }

    if (isVorbis(stream)) {
        // A jump inside playing sound (a loop) is cross-faded; a seek that
        // restarts the buffer from silence (open, rewind) must not fade in
        // the sound of where the stream was before.
        auto* codec = static_cast<HVSOUND_VORBIS_CODEC*>(stream->codecState);
        bool lap = !stream->seeking;
        if (type == HVSOUND_STREAM_SEEK_BYTES)
            HVSOUND_Vorbis_SeekBytes(codec, byte, lap);
        else
            HVSOUND_Vorbis_SeekSamples(codec, sample, lap);
    } else {
        if (isMpeg(stream)) {
            auto* decoder = static_cast<HVSOUND_MPEG_DECODER*>(stream->codecState);
            HVSOUND_MPEG_EmptyReservoir(decoder);
            int frameBytes = HVSOUND_MPEG_FrameBytes(decoder);
            if (frameBytes > 0) {
                int64_t values = (stream->mode & HVSOUND_MODE_STEREO) || (stream->mode & HVSOUND_MODE_FORCEMONO) ? 2
                                 : (stream->mode & HVSOUND_MODE_MULTICHANNEL) ? std::max(1, channelsOf(stream))
                                                                               : 1;
                int64_t pcmBytes = sample * 2 * values;
                int64_t frames = pcmBytes / frameBytes;
                int64_t skip = pcmBytes % frameBytes;
                int64_t back = std::min<int64_t>(kMpegPrerollFrames, frames);
                frames -= back;
                skip += back * frameBytes;
                // The skip is taken from the decode buffer, where a
                // downmixed frame holds half its bytes.
                if (stream->mode & HVSOUND_MODE_FORCEMONO)
                    skip /= 2;
                stream->skip = int(std::min<int64_t>(skip, INT32_MAX));
                int64_t totalPcm = int64_t(stream->lengthSamples) * 2 * values;
                if (stream->frameTable.count > 0) {
                    byte = stream->frameTable.offsets[std::min<int64_t>(frames, stream->frameTable.count - 1)];
                } else if (totalPcm > 0) {
                    // Without a table the frame's place is estimated from
                    // the mean frame length; the bytes of the target itself
                    // would start decoding after the frames to skip.
                    byte = frames * frameBytes * dataBytes / totalPcm;
                }
            }
        }
        int64_t align = std::max(1, stream->blockAlign);
        byte = byte / align * align + stream->dataOffset;
        if (byte > int64_t(stream->dataOffset) + dataBytes)
            byte = stream->dataOffset;
        HVSOUND_File_Seek(stream->file, int(byte), SEEK_SET);
    }
    stream->position = uint32_t(sample);
    if (moveCursor)
        HVSOUND_Stream_SyncCursor_Seek(stream, uint32_t(sample));
    return true;
}

bool HVSOUND_Stream_Prefill(HVSOUND_STREAM* stream)
{
    HVSOUND_StreamBusy busy(stream);
    stream->prefilling = true;
    HVSOUND_SAMPLE* sample = stream->sample;
    if (HVSOUND_Stream_Channel(stream))
        HVSOUND_SetCurrentPosition(stream->channel, 0);
    handOver(sample, 0, HVSOUND_Sample_ByteLength(sample), nullptr);
    if (stream->resetCallback)
        stream->resetCallback(stream->codecState);
    stream->countdown = -1;
    stream->nextHalf = 0;
    stream->decodeLeft = 0;
    stream->decodeOffset = 0;
    {
        StreamLocks lock(StreamLocks::List);
        stream->history.writeIndex = 0;
        stream->history.remainder = 0;
    }
    HVSOUND_Stream_FillHalf(stream);
    if (stream->timeStamps.entries && stream->history.entries) {
        // Until the output has played a ring's worth, what is heard is the
        // buffer's start.
        StreamLocks lock(StreamLocks::List);
        HVSOUND_STREAMPOSITION first = stream->history.entries[0];
        std::fill(stream->timeStamps.entries, stream->timeStamps.entries + stream->timeStamps.count, first);
        stream->lastGeneration = int(first.generation);
    }
    stream->prefilling = false;
    return true;
}

bool HVSOUND_Stream_FillHalf(HVSOUND_STREAM* stream)
{
    HVSOUND_SAMPLE* sample = stream->sample;
    int halfSamples = sample->length / 2;
    int bytes = toBytes(stream, halfSamples);
    // The half's sound is made outside the mixer lock, into the stream's own
    // buffer, so that the mixer waits for no decoding, only for the copy.
    // After the data's end the half is silence, played as position too.
    bool filled = stream->countdown == -1;
    if (filled) {
        HVSOUND_StreamBusy busy(stream);
        if (!stream->fillProcedure(stream, stream->fillBuffer, bytes, stream->fillUserData))
            stream->ended = true;
    }
    if (!filled)
        HVSOUND_Stream_RecordPosition(stream, toSamples(stream, bytes));
    if (!handOver(sample, toBytes(stream, stream->nextHalf * halfSamples), bytes,
                  filled ? stream->fillBuffer : nullptr))
        return false;
    stream->nextHalf = 1 - stream->nextHalf;
    return true;
}

bool HVSOUND_Stream_FileFill(HVSOUND_STREAM* stream, void* destinationStart, int bytes, void* /*userData*/)
{
    auto* destination = static_cast<uint8_t*>(destinationStart);
    int written = 0;
    int idle = 0;
    bool loopedEmpty = false; // a loop was taken and nothing written since
    // Output can only be skipped on its way through the decode buffer.
    if (!stream->decodeBuffer)
        stream->skip = 0;
    while (written < bytes) {
        int left = bytes - written;
        int take = left;
        bool loopLimited = hasLoopPoints(stream) && loops(stream) && stream->loopsLeft != 0 &&
                           !(stream->mode & HVSOUND_MODE_COMPRESSED_B);
        bool atLoopEnd = false;
        if (loopLimited && int64_t(stream->loopEnd) <= int64_t(stream->position) + toSamples(stream, left)) {
            int align = std::max(1, stream->blockAlign);
            take = toBytes(stream, int(int64_t(stream->loopEnd) - int64_t(stream->position))) / align * align;
            // A loop end at or behind the position is reached at once.
            atLoopEnd = take <= 0;
            take = std::max(0, take);
        }

        bool more = true;
        int n = 0;
        int dropped = 0;
        const int readFrom = fileOffset(stream);
        if (!atLoopEnd) {
            if (stream->decodeLeft == 0) {
                bool viaBuffer = stream->decodeBuffer &&
                                 (take < stream->decodeSize || (stream->mode & HVSOUND_MODE_FORCEMONO) || stream->skip > 0);
                if (viaBuffer) {
                    more = decodeIntoBuffer(stream);
                } else {
                    n = take;
                    more = stream->readCallback(stream, stream->sourceBuffer, stream->sourceSize, destination, &n);
                    n = std::max(0, std::min(n, take));
                }
            }
            if (stream->decodeLeft > 0) {
                dropped = consumeSkip(stream);
                n = copyFromBuffer(stream, destination, take);
                // What the decoder left in its buffer is still to come.
                more = more || stream->decodeLeft > 0 || stream->skip > 0;
            }
        }

        flipUnsigned(stream, destination, n);
        destination += n;
        written += n;
        HVSOUND_Stream_RecordPosition(stream, toSamples(stream, n));
        if (n > 0)
            loopedEmpty = false;

        if (loopLimited && int64_t(stream->position) >= int64_t(stream->loopEnd))
            atLoopEnd = true;
        if (atLoopEnd) {
            more = false;
            stream->decodeLeft = 0;
            stream->decodeOffset = 0;
        }
        idle = (n == 0 && dropped == 0 && more && fileOffset(stream) == readFrom) ? idle + 1 : 0;
        if (idle >= kMaxIdleReads)
            more = false;
        if (more)
            continue;

        // The data ended (or the loop end was reached): loop, or end.
        if (!loops(stream) || stream->loopsLeft == 0 || refillReadFailed(stream) || loopedEmpty ||
            idle >= kMaxIdleReads) {
            startEnding(stream, destination, written, bytes);
            break;
        }
        if (stream->loopStart != 0)
            HVSOUND_Stream_Seek(stream, HVSOUND_STREAM_SEEK_SAMPLES, stream->loopStart, false);
        else
            HVSOUND_Stream_Seek(stream, HVSOUND_STREAM_SEEK_BYTES, 0, false);
        stream->decodeLeft = 0;
        stream->decodeOffset = 0;
        // Every stream starts with endless loops (-1) and no call of this
        // program sets a count, so this never runs; it is kept for the
        // record's loop count, which a caller may set.
        if (stream->loopsLeft > 0)
            --stream->loopsLeft;
        ++stream->loopGeneration;
        loopedEmpty = true;
        idle = 0;
    }
    return true;
}

void HVSOUND_Stream_RecordPosition(HVSOUND_STREAM* stream, int samples)
{
    if (stream->mode & HVSOUND_MODE_COMPRESSED_B)
        return;
    StreamLocks lock(StreamLocks::List);
    HVSOUND_POSITIONRING& h = stream->history;
    while (samples > 0) {
        if (h.remainder == 0) {
            if (h.entries && h.count > 0) {
                h.entries[h.writeIndex] = {stream->position, uint32_t(stream->loopGeneration)};
                h.writeIndex = (h.writeIndex + 1) % h.count;
            }
            h.remainder = std::max(1, h.blockLength);
        }
        int n = std::min(samples, h.remainder);
        stream->position += uint32_t(n);
        h.remainder -= n;
        samples -= n;
    }
}

uint32_t HVSOUND_Stream_GetPlayedSample(HVSOUND_STREAM* stream, bool audible, int* generation)
{
    if (stream->ended) {
        if (generation)
            *generation = stream->lastGeneration;
        int64_t rate = std::max(1, stream->sample->frequency);
        return uint32_t(rate * lengthMs(stream) / 1000);
    }
    // The channel's position is read under the mixer lock, which comes
    // before the list lock here as in the sync pass.
    HVSOUND_Software_Lock();
    uint32_t result = 0;
    {
        StreamLocks lock(StreamLocks::List);
        result = playedSample(stream, audible, generation);
    }
    HVSOUND_Software_Unlock();
    return result;
}
