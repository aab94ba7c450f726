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
#include <climits>
#include <cmath>
#include <cstring>
#include <deque>
#include <vector>

struct HVSOUND_VORBIS_CODEC {
    OggVorbis_File file;
    // vorbisfile reported a fault other than a hole: never touched again.
    bool failed;
    // Every link played has short blocks libvorbis can cross-fade with.
    bool lapping;
};

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
// libvorbis's lapping seeks take the short block's window from a table that
// has none for its smallest block size, 64 (its windows for decoding do).
constexpr long kSmallestLappedBlock = 128;

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

// Notes a vorbisfile result on the decoder: any fault but a hole (a read's
// damaged page) or a position out of range (a seek refused before it
// touches anything) ends the decoder for good.
long vorbisNoteResult(HVSOUND_VORBIS_CODEC* codec, long result)
{
    if (result < 0 && result != OV_HOLE && result != OV_EINVAL)
        codec->failed = true;
    return result;
}

// One vorbisfile read of 16-bit little-endian signed PCM, going on past
// holes up to the limit; nothing from a failed decoder.
long readSkippingHoles(HVSOUND_VORBIS_CODEC* codec, char* destination, int length)
{
    long got = OV_HOLE;
    for (int tries = 0; !codec->failed && got == OV_HOLE && tries < kHoleRetries; ++tries)
        got = vorbisNoteResult(codec, ov_read(&codec->file, destination, length, 0, 2, 1, nullptr));
    return codec->failed ? OV_EFAULT : got;
}

// One of vorbisfile's seeks, unless the decoder has failed.
bool vorbisSeekWith(HVSOUND_VORBIS_CODEC* codec, int (*seek)(OggVorbis_File*, ogg_int64_t), int64_t position)
{
    if (!codec || codec->failed)
        return false;
    return vorbisNoteResult(codec, seek(&codec->file, ogg_int64_t(position))) == 0;
}

// The Vorbis setup header check. libvorbis accepts a codebook of
// dimension 0 that carries a value lookup, and then either never returns
// from building its value table (lookup type 1) or divides by the
// dimension while decoding a residue of type 0 (a SIGFPE). No encoder
// writes such a book: a file holding one is damaged and refused before
// libvorbis sees it.

constexpr int kHeaderReadChunk = 8192;
// The sync pattern in front of every codebook.
constexpr long kCodebookSync = 0x564342;

// Bits of a packet, least significant first, as the Vorbis packets are
// packed. A read past the end answers -1 and leaves the reader exhausted.
class PacketBits {
public:
    PacketBits(const unsigned char* data, long bytes) : data_(data), bits_(int64_t(bytes) * 8) {}

    long read(int count)
    {
        if (count == 0)
            return 0;
        if (position_ + count > bits_) {
            position_ = bits_ + 1;
            return -1;
        }
        long value = 0;
        for (int i = 0; i < count; ++i, ++position_)
            value |= long((data_[position_ >> 3] >> (position_ & 7)) & 1) << i;
        return value;
    }
    bool exhausted() const { return position_ > bits_; }

private:
    const unsigned char* data_;
    int64_t bits_;
    int64_t position_ = 0;
};

int bitsFor(long value)
{
    int bits = 0;
    for (; value > 0; value >>= 1)
        ++bits;
    return bits;
}

// The number of values a lookup type 1 book stores: the largest v with
// v^dimension <= entries (libvorbis counts none for dimension 0).
long latticeValues(long entries, long dimension)
{
    if (dimension <= 0 || entries < 1)
        return 0;
    // Does v^dimension stay within the entries?
    auto fits = [entries, dimension](long v) {
        long power = 1;
        for (long i = 0; i < dimension; ++i) {
            if (power > entries / v)
                return false;
            power *= v;
        }
        return true;
    };
    long v = std::max(1L, long(std::floor(std::pow(double(entries), 1.0 / double(dimension)))));
    while (v > 1 && !fits(v))
        --v;
    while (fits(v + 1))
        ++v;
    return v;
}

// False when the setup packet holds a codebook with a value lookup and
// dimension 0. A packet that is not a setup header, or that ends or breaks
// off before such a book turns up, is no objection (libvorbis judges it).
bool setupCodebooksUsable(const unsigned char* packet, long bytes)
{
    if (bytes < 7 || packet[0] != 5 || std::memcmp(packet + 1, "vorbis", 6) != 0)
        return true;
    PacketBits bits(packet + 7, bytes - 7);
    long books = bits.read(8) + 1;
    for (long book = 0; book < books && !bits.exhausted(); ++book) {
        if (bits.read(24) != kCodebookSync)
            return true;
        long dimension = bits.read(16);
        long entries = bits.read(24);
        if (entries < 0)
            return true;
        if (bits.read(1) == 0) {
            // Unordered: a 5-bit length per entry, each behind a used flag
            // in a sparse book.
            bool sparse = bits.read(1) == 1;
            for (long e = 0; e < entries && !bits.exhausted(); ++e) {
                if (!sparse || bits.read(1) == 1)
                    bits.read(5);
            }
        } else {
            // Ordered: runs of entries of growing lengths.
            bits.read(5);
            long entry = 0;
            while (entry < entries) {
                long run = bits.read(bitsFor(entries - entry));
                if (run < 0)
                    return true;
                entry += run;
            }
        }
        long lookup = bits.read(4);
        if (lookup == 1 || lookup == 2) {
            if (dimension == 0)
                return false;
            bits.read(32); // minimum
            bits.read(32); // delta
            long valueBits = bits.read(4) + 1;
            bits.read(1); // sequence flag
            long values = lookup == 1 ? latticeValues(entries, dimension) : entries * dimension;
            for (long v = 0; v < values && !bits.exhausted(); ++v)
                bits.read(int(valueBits));
        } else if (lookup != 0) {
            return true;
        }
    }
    return true;
}

// One logical stream met at the start of a link while its setup header
// is looked for.
struct HeaderStream {
    ogg_stream_state state;
    int packets = 0;
    bool judged = false; // its setup header was checked, or it is no Vorbis stream
};

// Reads the file with libogg from `from`, the start of a link, and checks
// the setup header of every Vorbis stream that begins there (the streams of
// a link all begin before any of them goes on). Bytes between pages that
// are no page (a damaged disk's or download's) are passed over. The check
// reads as far as the setup headers are (a comment header holding a cover
// picture can be megabytes long): a link with no stream, or with a stream
// whose setup header the data ends before, is not passed. The file
// position is left wherever the reading stopped.
bool setupHeadersUsable(HVSOUND_FILE* file, int from)
{
    HVSOUND_File_Seek(file, from, SEEK_SET);
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    std::deque<HeaderStream> streams;
    bool begun = false; // a page that is no stream's first was met
    bool usable = true;
    bool done = false;
    auto allJudged = [&streams] {
        return std::all_of(streams.begin(), streams.end(), [](const HeaderStream& s) { return s.judged; });
    };
    while (!done) {
        char* buffer = ogg_sync_buffer(&sync, kHeaderReadChunk);
        int got = buffer ? HVSOUND_File_Read(buffer, 1, kHeaderReadChunk, file) : 0;
        if (got <= 0)
            break;
        ogg_sync_wrote(&sync, got);
        ogg_page page;
        int result;
        while (!done && (result = ogg_sync_pageout(&sync, &page)) != 0) {
            if (result < 0)
                continue; // bytes skipped up to the next page
            if (ogg_page_bos(&page)) {
                // A stream beginning after the link's streams went on
                // belongs to the next link.
                if (begun) {
                    done = true;
                    break;
                }
                streams.emplace_back();
                ogg_stream_init(&streams.back().state, ogg_page_serialno(&page));
            } else {
                begun = true;
            }
            for (HeaderStream& stream : streams) {
                if (stream.judged || ogg_stream_pagein(&stream.state, &page) != 0)
                    continue;
                ogg_packet packet;
                while (!stream.judged && (result = ogg_stream_packetout(&stream.state, &packet)) != 0) {
                    if (result < 0)
                        continue;
                    ++stream.packets;
                    if (stream.packets == 1 && (packet.bytes < 7 || std::memcmp(packet.packet, "\x01vorbis", 7) != 0))
                        stream.judged = true;
                    if (stream.packets == 3) {
                        stream.judged = true;
                        usable = usable && setupCodebooksUsable(packet.packet, packet.bytes);
                    }
                }
            }
            done = !usable || (begun && allJudged());
        }
    }
    usable = usable && !streams.empty() && allJudged();
    for (HeaderStream& stream : streams)
        ogg_stream_clear(&stream.state);
    ogg_sync_clear(&sync);
    return usable;
}

// The number of links from the first that can be played one after another
// as one sound: up to the first link whose rate or channel count differs
// from the first link's, or whose setup header is refused. The file
// position is put back where vorbisfile left it.
int playableLinks(OggVorbis_File* state, HVSOUND_FILE* file)
{
    const vorbis_info* first = ov_info(state, 0);
    int links = int(ov_streams(state));
    if (!first || links <= 1 || !state->offsets)
        return links;
    int position = HVSOUND_File_Tell(file);
    int link = 1;
    for (; link < links; ++link) {
        const vorbis_info* info = ov_info(state, link);
        if (!info || info->channels != first->channels || info->rate != first->rate ||
            !setupHeadersUsable(file, int(state->offsets[link])))
            break;
    }
    HVSOUND_File_Seek(file, position, SEEK_SET);
    return link;
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
    auto* opened = static_cast<HVSOUND_VORBIS_CODEC*>(HVSOUND_CALLOC(int(sizeof(HVSOUND_VORBIS_CODEC))));
    if (!opened) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return false;
    }
    OggVorbis_File* state = &opened->file;
    if (!setupHeadersUsable(file, 0)) {
        HVSOUND_FREE(opened);
        HVSOUND_File_Seek(file, 0, SEEK_SET);
        HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
        return false;
    }
    HVSOUND_File_Seek(file, 0, SEEK_END);
    int length = HVSOUND_File_Tell(file);
    HVSOUND_File_Seek(file, 0, SEEK_SET);

    // A refused file goes to the next reader with its window as it came.
    const int windowEnd = file->end;
    bool ready = ov_open_callbacks(file, state, nullptr, 0, kCallbacks) >= 0;
    int links = ready ? playableLinks(state, file) : 0;
    if (ready && links < ov_streams(state)) {
        // The data ends for vorbisfile where the first link it cannot play
        // begins: it never reads that link's headers or audio again.
        int end = int(state->offsets[links]);
        ov_clear(state);
        HVSOUND_File_SetEnd(file, file->start + end - 1);
        length = end;
        HVSOUND_File_Seek(file, 0, SEEK_SET);
        ready = ov_open_callbacks(file, state, nullptr, 0, kCallbacks) >= 0;
    }
    if (!ready) {
        // vorbisfile has already cleaned up after itself.
        HVSOUND_FREE(opened);
        HVSOUND_File_SetEnd(file, windowEnd);
        HVSOUND_SetError(HVSOUND_ERR_FILE_FORMAT);
        return false;
    }
    vorbis_info* info = ov_info(state, -1);
    ov_comment(state, -1);
    ogg_int64_t samples = ov_pcm_total(state, 0);
    // More frames than an int counts: an Ogg file with a damaged last
    // granule, which no other reader is to take for its own.
    bool damaged = samples > 0x7FFFFFFF;
    if (!info || info->channels < 1 || info->channels > 2 || samples <= 0 || damaged) {
        HVSOUND_Vorbis_Close(opened);
        HVSOUND_File_SetEnd(file, windowEnd);
        HVSOUND_SetError(damaged ? HVSOUND_ERR_FILE_BAD : HVSOUND_ERR_FILE_FORMAT);
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
    // A damaged granule at a low rate gives more milliseconds than an int holds.
    if (lengthMs)
        *lengthMs = int(std::min(ov_time_total(state, -1) * 1000.0, double(INT_MAX)));
    opened->lapping = true;
    for (int link = 0; link < ov_streams(state); ++link)
        opened->lapping = opened->lapping && vorbis_info_blocksize(ov_info(state, link), 0) >= kSmallestLappedBlock;
    if (codec)
        *codec = opened;
    else
        HVSOUND_Vorbis_Close(opened);
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

bool HVSOUND_Vorbis_Failed(const HVSOUND_VORBIS_CODEC* codec)
{
    return codec && codec->failed;
}

bool HVSOUND_Vorbis_ReadCallback(HVSOUND_STREAM* stream, void* /*sourceBuffer*/, int /*sourceSize*/,
                                 void* destination, int* length)
{
    HVSOUND_Vorbis_Decode(static_cast<HVSOUND_VORBIS_CODEC*>(stream->codecState), destination, length);
    return *length != 0;
}

bool HVSOUND_Vorbis_SeekBytes(HVSOUND_VORBIS_CODEC* codec, int64_t byte, bool lap)
{
    return vorbisSeekWith(codec, lap && codec && codec->lapping ? ov_raw_seek_lap : ov_raw_seek, byte);
}

bool HVSOUND_Vorbis_SeekSamples(HVSOUND_VORBIS_CODEC* codec, int64_t sample, bool lap)
{
    return vorbisSeekWith(codec, lap && codec && codec->lapping ? ov_pcm_seek_lap : ov_pcm_seek, sample);
}

bool HVSOUND_Vorbis_Close(HVSOUND_VORBIS_CODEC* codec)
{
    if (!codec)
        return false;
    codec->file.datasource = nullptr;
    ov_clear(&codec->file);
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
    // The length is the last page's granule position: a damaged one can
    // claim more bytes than a sample can hold.
    if (!HVSOUND_Sample_LengthFits(samples, mode, stereo ? 2 : 1)) {
        HVSOUND_Vorbis_Close(codec);
        HVSOUND_SetError(HVSOUND_ERR_FILE_BAD);
        return nullptr;
    }
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
    if (HVSOUND_Sample_Lock(sample, 0, HVSOUND_Sample_ByteLength(sample), &p[0], &p[1], &len[0], &len[1]) && p[0]) {
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
