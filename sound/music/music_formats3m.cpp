// music_formats3m.cpp: the S3M loader: header, channel map, orders, default
// pans, instruments as engine samples and the packed patterns, read from the
// whole file held in memory with every offset checked against its length.
#include "sound/music/music_formats3m.h"

#include "sound/core/hvsound.h"
#include "sound/core/hvsound_sample.h"
#include "sound/core/system_file.h"
#include "sound/music/hvmusic.h"

#include <cstring>

namespace {

constexpr int kHeaderBytes = 96; // up to the order list
constexpr int kTagOffset = 44;
constexpr int kChannelSlots = 32;
constexpr int kInstrumentBytes = 80;
constexpr int kSongNameBytes = 28;
constexpr int kSampleNameBytes = 28;
constexpr uint8_t kPanTableFlag = 0xFC;
constexpr uint8_t kPanGiven = 0x20; // a stored pan byte holds a pan
constexpr uint8_t kStereoFlag = 0x80;
constexpr uint16_t kFastSlidesFlag = 0x40;
// Tracker version 3.00 slides volumes on every tick, tick 0 included. Files
// keep the version as hex digits after the tracker's own digit (0x1320 is
// 3.20, 0x3214 is 2.14), so 3.00 is 0x300 in the low 12 bits.
constexpr uint16_t kFastSlidesVersion = 0x300;
constexpr int kSignedSamples = 1; // the "Ffi" header word
// Instrument flags.
constexpr uint8_t kInstrumentLoop = 1;
constexpr uint8_t kInstrument16Bit = 4;
constexpr uint8_t kSampleInstrument = 1;
// Loops shorter than this play as one-shot samples.
constexpr uint32_t kMinLoopLength = 3;
// Stored note values.
constexpr uint8_t kStoredNoteCut = 254;
constexpr uint8_t kStoredNoteNone = 255;
constexpr uint8_t kLastEffect = 26; // Z
// Module samples: 2D, mono, signed; the width is added per instrument.
constexpr uint32_t kSampleMode = HVSOUND_MODE_2D | HVSOUND_MODE_SIGNED | HVSOUND_MODE_MONO;
constexpr int kSamplePriority = 255;
constexpr int kCenterPan = 128;

// The file's bytes with bounds-checked little-endian reads.
struct Bytes {
    const uint8_t* data;
    int64_t size;

    bool has(int64_t offset, int64_t count) const { return offset >= 0 && count >= 0 && offset + count <= size; }
    uint8_t u8(int64_t offset) const { return has(offset, 1) ? data[offset] : 0; }
    uint16_t u16(int64_t offset) const
    {
        return has(offset, 2) ? uint16_t(data[offset] | (data[offset + 1] << 8)) : 0;
    }
    uint32_t u32(int64_t offset) const
    {
        return has(offset, 4) ? uint32_t(u16(offset)) | (uint32_t(u16(offset + 2)) << 16) : 0;
    }
};

bool fail(int error)
{
    HVSOUND_SetError(error);
    return false;
}

void copyName(char* destination, int capacity, const uint8_t* source, int count)
{
    int n = count < capacity - 1 ? count : capacity - 1;
    memcpy(destination, source, size_t(n));
    destination[n] = 0;
}

// The song's order list: the file's orders up to the first end marker, skip
// markers dropped. `jumpTarget` maps each file order index to its place in
// that list, for the jump effect (a skip marker jumps to the order after it;
// an order after the end marker lies past the end).
bool readOrders(HVMUSIC_SONG* song, const Bytes& file, int orderSlots, uint8_t* jumpTarget)
{
    song->orders = static_cast<uint8_t*>(HVSOUND_CALLOC(orderSlots > 0 ? orderSlots : 1));
    if (!song->orders)
        return fail(HVSOUND_ERR_MEMORY);
    bool ended = false;
    int kept = 0;
    int highest = -1;
    for (int i = 0; i < orderSlots; ++i) {
        uint8_t value = file.u8(kHeaderBytes + i);
        if (value == HVSOUND_S3M_ORDER_END)
            ended = true;
        // A jump byte cannot name an order at or past 255.
        if (kept >= HVSOUND_S3M_JUMP_PAST_END)
            ended = true;
        if (ended) {
            jumpTarget[i] = HVSOUND_S3M_JUMP_PAST_END;
            continue;
        }
        jumpTarget[i] = uint8_t(kept);
        if (value == HVSOUND_S3M_ORDER_SKIP)
            continue;
        song->orders[kept++] = value;
        if (value > highest)
            highest = value;
    }
    for (int i = 0; i < orderSlots; ++i) {
        if (jumpTarget[i] >= kept)
            jumpTarget[i] = HVSOUND_S3M_JUMP_PAST_END;
    }
    song->orderCount = kept;
    song->patternCount = highest + 1;
    // Nothing to play: refused rather than played from an empty list.
    return kept > 0 ? true : fail(HVSOUND_ERR_FILE_BAD);
}

// One instrument as an engine sample (length 0 for an empty instrument).
// Lengths and loops are held to the data the file holds.
HVSOUND_SAMPLE* readInstrument(const Bytes& file, int64_t offset, bool signedData)
{
    bool present = file.has(offset, kInstrumentBytes) && file.u8(offset) == kSampleInstrument;
    uint32_t segment = (uint32_t(file.u8(offset + 13)) << 16) | file.u16(offset + 14);
    int64_t dataOffset = int64_t(segment) * 16;
    uint32_t length = present ? file.u32(offset + 16) : 0;
    uint32_t loopStart = file.u32(offset + 20);
    uint32_t loopEnd = file.u32(offset + 24);
    int volume = file.u8(offset + 28);
    uint8_t flags = file.u8(offset + 31);
    int c2 = file.u16(offset + 32);
    int width = (flags & kInstrument16Bit) ? 2 : 1;

    int64_t available = dataOffset < file.size ? (file.size - dataOffset) / width : 0;
    if (int64_t(length) > available)
        length = uint32_t(available);
    if (loopEnd > length)
        loopEnd = length;
    bool loop = (flags & kInstrumentLoop) && loopStart < length && loopEnd > loopStart &&
                loopEnd - loopStart >= kMinLoopLength;

    uint32_t mode = kSampleMode | (width == 2 ? HVSOUND_MODE_16BITS : HVSOUND_MODE_8BITS) |
                    (loop ? HVSOUND_MODE_LOOP_NORMAL : HVSOUND_MODE_LOOP_OFF);
    HVSOUND_SAMPLE* sample = HVSOUND_Sample_AllocChannels(HVSOUND_SAMPLE_INTERNAL, int(length), mode, c2,
                                                          volume > HVMUSIC_MAX_VOLUME ? HVMUSIC_MAX_VOLUME : volume,
                                                          kCenterPan, kSamplePriority, 1);
    if (!sample)
        return nullptr;
    sample->moduleRate = c2;
    if (file.has(offset + 48, kSampleNameBytes))
        copyName(sample->name, HVSOUND_SAMPLE_NAME_BYTES, file.data + offset + 48, kSampleNameBytes);
    if (loop) {
        sample->loopStart = int(loopStart);
        sample->loopLength = int(loopEnd - loopStart);
    }
    if (length > 0) {
        uint32_t sourceMode = (width == 2 ? HVSOUND_MODE_16BITS : HVSOUND_MODE_8BITS) |
                              (signedData ? HVSOUND_MODE_SIGNED : HVSOUND_MODE_UNSIGNED);
        if (!HVSOUND_Sample_Write(sample, file.data + dataOffset, 0, int(length) * width, sourceMode)) {
            HVSOUND_Sample_Free(sample);
            HVSOUND_SetError(HVSOUND_ERR_MEMORY);
            return nullptr;
        }
    }
    return sample;
}

uint8_t unpackNote(uint8_t stored)
{
    if (stored == kStoredNoteCut)
        return HVMUSIC_NOTE_CUT;
    if (stored == kStoredNoteNone)
        return HVMUSIC_NOTE_NONE;
    int octave = stored >> 4;
    int semitone = stored & 15;
    int index = octave * 12 + semitone;
    // Semitones 12..15 name no note; the table ends at index 131.
    if (semitone > 11 || index >= HVSOUND_S3M_PERIODS)
        return HVMUSIC_NOTE_NONE;
    return uint8_t(index + 1);
}

// Unpacks one pattern: 64 rows, each a run of entries ended by a 0 byte.
// The packed data ends at its stored length, which counts the two bytes of
// the length word itself, or at the file's end: trackers have saved
// patterns cut short (the last row then has no end byte), and what
// follows them is the next pattern or sample data, not rows of this one. An
// entry cut off at the end is dropped; rows not reached stay empty. Effect
// numbers past Z, which only damaged data holds, are dropped too.
void unpackPattern(HVMUSIC_CELL* cells, int channels, const Bytes& file, int64_t offset, const int* channelMap,
                   const uint8_t* jumpTarget, int orderSlots)
{
    int64_t end = offset + file.u16(offset);
    if (end > file.size)
        end = file.size;
    int64_t p = offset + 2;
    int row = 0;
    while (row < HVMUSIC_ROWS && p < end) {
        uint8_t what = file.data[p++];
        if (what == 0) {
            ++row;
            continue;
        }
        int need = ((what & 0x20) ? 2 : 0) + ((what & 0x40) ? 1 : 0) + ((what & 0x80) ? 2 : 0);
        if (p + need > end)
            break;
        HVMUSIC_CELL cell = {};
        if (what & 0x20) {
            cell.note = unpackNote(file.data[p]);
            cell.instrument = file.data[p + 1];
            p += 2;
        }
        if (what & 0x40)
            cell.volume = uint8_t(file.data[p++] + 1);
        if (what & 0x80) {
            cell.effect = file.data[p];
            cell.parameter = file.data[p + 1];
            p += 2;
            if (cell.effect > kLastEffect)
                cell.effect = cell.parameter = 0; // no such effect: damaged data
            if (cell.effect == HVSOUND_S3M_FX_JUMP)
                cell.parameter = cell.parameter < orderSlots ? jumpTarget[cell.parameter] : HVSOUND_S3M_JUMP_PAST_END;
        }
        int channel = channelMap[what & 31];
        if (channel >= 0)
            cells[row * channels + channel] = cell;
    }
}

bool readPatterns(HVMUSIC_SONG* song, const Bytes& file, int64_t pointers, int stored, const int* channelMap,
                  const uint8_t* jumpTarget, int orderSlots)
{
    if (stored > song->patternCount)
        song->patternCount = stored;
    song->patterns = static_cast<HVMUSIC_PATTERN*>(
        HVSOUND_CALLOC(int(sizeof(HVMUSIC_PATTERN)) * (song->patternCount > 0 ? song->patternCount : 1)));
    if (!song->patterns)
        return fail(HVSOUND_ERR_MEMORY);
    for (int i = 0; i < song->patternCount; ++i)
        song->patterns[i].rows = HVMUSIC_ROWS;
    int cellBytes = int(sizeof(HVMUSIC_CELL)) * HVMUSIC_ROWS * song->channelCount;
    for (int i = 0; i < stored; ++i) {
        int64_t offset = int64_t(file.u16(pointers + 2 * i)) * 16;
        if (offset == 0 || !file.has(offset, 2) || song->channelCount == 0)
            continue;
        auto* cells = static_cast<HVMUSIC_CELL*>(HVSOUND_CALLOC(cellBytes));
        if (!cells)
            return fail(HVSOUND_ERR_MEMORY);
        song->patterns[i].cells = cells;
        unpackPattern(cells, song->channelCount, file, offset, channelMap, jumpTarget, orderSlots);
    }
    return true;
}

bool parse(HVMUSIC_SONG* song, const Bytes& file)
{
    if (!file.has(kTagOffset, 4) || memcmp(file.data + kTagOffset, "SCRM", 4) != 0)
        return fail(HVSOUND_ERR_FILE_FORMAT);
    song->format = HVMUSIC_FORMAT_S3M;
    song->tickHook = HVSOUND_S3M_Update;
    song->masterVolume = HVMUSIC_MASTER_VOLUME_MAX;
    song->defaultSpeed = 6;
    song->defaultTempo = 125;
    song->initialGlobalVolume = HVMUSIC_MAX_VOLUME;
    song->restartOrder = 0;

    copyName(song->name, HVMUSIC_NAME_BYTES, file.data, kSongNameBytes);
    int orderSlots = file.u16(32);
    int instruments = file.u16(34);
    int patterns = file.u16(36);
    uint16_t flags = file.u16(38);
    uint16_t version = file.u16(40);
    bool signedData = file.u16(42) == kSignedSamples;
    song->fastVolumeSlides = (flags & kFastSlidesFlag) || (version & 0xFFF) == kFastSlidesVersion;
    if (!file.has(0, kHeaderBytes))
        return fail(HVSOUND_ERR_FILE_BAD);
    int globalVolume = file.u8(48);
    song->initialGlobalVolume = uint8_t(globalVolume > HVMUSIC_MAX_VOLUME ? HVMUSIC_MAX_VOLUME : globalVolume);
    song->defaultSpeed = file.u8(49);
    song->defaultTempo = file.u8(50);
    bool stereo = (file.u8(51) & kStereoFlag) != 0;
    bool panTable = file.u8(53) == kPanTableFlag;

    int channelMap[kChannelSlots];
    int channels = 0;
    for (int i = 0; i < kChannelSlots; ++i) {
        uint8_t setting = file.u8(64 + i);
        channelMap[i] = -1;
        if (setting < 16) {
            channelMap[i] = channels;
            song->defaultPan[channels] = setting < 8 ? 0 : 255;
            ++channels;
        }
    }
    song->channelCount = channels;
    song->channels = static_cast<HVMUSIC_CHANNEL_STATE*>(
        HVSOUND_CALLOC(int(sizeof(HVMUSIC_CHANNEL_STATE)) * (channels > 0 ? channels : 1)));
    if (!song->channels)
        return fail(HVSOUND_ERR_MEMORY);

    if (!file.has(kHeaderBytes, orderSlots))
        return fail(HVSOUND_ERR_FILE_BAD);
    uint8_t* jumpTarget = static_cast<uint8_t*>(HVSOUND_CALLOC(orderSlots > 0 ? orderSlots : 1));
    if (!jumpTarget)
        return fail(HVSOUND_ERR_MEMORY);
    bool ok = readOrders(song, file, orderSlots, jumpTarget);

    int64_t instrumentPointers = kHeaderBytes + orderSlots;
    int64_t patternPointers = instrumentPointers + 2 * instruments;
    int64_t pans = patternPointers + 2 * patterns;
    if (ok && !file.has(instrumentPointers, 2 * (instruments + patterns)))
        ok = fail(HVSOUND_ERR_FILE_BAD);
    if (ok && panTable && file.has(pans, kChannelSlots)) {
        for (int i = 0; i < kChannelSlots; ++i) {
            uint8_t pan = file.u8(pans + i);
            if (channelMap[i] >= 0 && (pan & kPanGiven))
                song->defaultPan[channelMap[i]] = uint8_t((pan & 15) * 16);
        }
    }
    if (ok && !stereo) {
        for (int i = 0; i < channels; ++i)
            song->defaultPan[i] = kCenterPan;
    }

    if (ok) {
        song->samples = static_cast<HVSOUND_SAMPLE**>(
            HVSOUND_CALLOC(int(sizeof(HVSOUND_SAMPLE*)) * (instruments > 0 ? instruments : 1)));
        if (!song->samples)
            ok = fail(HVSOUND_ERR_MEMORY);
    }
    for (int i = 0; ok && i < instruments; ++i) {
        int64_t offset = int64_t(file.u16(instrumentPointers + 2 * i)) * 16;
        HVSOUND_SAMPLE* sample = readInstrument(file, offset, signedData);
        if (!sample) {
            ok = fail(HVSOUND_ERR_MEMORY);
            break;
        }
        song->samples[i] = sample;
        song->sampleCount = i + 1;
    }
    if (ok)
        ok = readPatterns(song, file, patternPointers, patterns, channelMap, jumpTarget, orderSlots);
    HVSOUND_FREE(jumpTarget);
    if (ok)
        HVSOUND_SetError(HVSOUND_ERR_NONE);
    return ok;
}

} // namespace

bool HVSOUND_S3M_Load(HVMUSIC_SONG* song, HVSOUND_FILE* file)
{
    int size = HVSOUND_File_Seek(file, 0, SEEK_END);
    HVSOUND_File_Seek(file, 0, SEEK_SET);
    if (size < kTagOffset + 4)
        return fail(HVSOUND_ERR_FILE_FORMAT);
    auto* data = static_cast<uint8_t*>(HVSOUND_ALLOC(size));
    if (!data)
        return fail(HVSOUND_ERR_MEMORY);
    int got = HVSOUND_File_Read(data, 1, size, file);
    Bytes bytes{data, got > 0 ? got : 0};
    bool ok = parse(song, bytes);
    HVSOUND_FREE(data);
    return ok;
}
